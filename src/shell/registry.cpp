#include "shell/registry.h"

#include <vector>

#include "toolkit/failure.h"
#include "toolkit/handles.h"

namespace velbrook {

namespace {

constexpr wchar_t Contact_Author[] = L"Please contact the program's author.";

// Key paths are written from the root with a leading backslash; the system
// wants them without.
std::wstring Relative_Path(const std::wstring& key) {
    std::size_t start = 0;
    while (start < key.size() && key[start] == L'\\') ++start;
    return key.substr(start);
}

// A key counts as present only when it opens with full access: a key the user
// may read but not change is as good as absent for routines that write.
// Whatever is opened here is closed when the returned owner goes, whichever
// way the routine leaves.
Key_Handle Open_Key(HKEY root, const std::wstring& key) {
    Key_Handle handle;
    if (::RegOpenKeyExW(root, Relative_Path(key).c_str(), 0, KEY_ALL_ACCESS, handle.put()) != ERROR_SUCCESS)
        handle.release();
    return handle;
}

bool Value_Exists(HKEY key, const std::wstring& name) {
    LONG result = ::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    return result == ERROR_SUCCESS || result == ERROR_MORE_DATA;
}

std::wstring Read_String(HKEY key, const std::wstring& name) {
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        LONG result = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (result == ERROR_FILE_NOT_FOUND) return {};
        if (result != ERROR_SUCCESS) throw Failure(L"Failed to get data for '" + name + L"'");
        if (size == 0) return {};
        if (type != REG_SZ && type != REG_EXPAND_SZ) throw Failure(L"Invalid data type for '" + name + L"'");

        // One spare character so that data stored without its terminating
        // zero (or with an odd byte count) still ends in one here.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
        DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        result = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (result == ERROR_MORE_DATA) continue;  // it grew between the two calls
        if (result == ERROR_FILE_NOT_FOUND) return {};
        if (result != ERROR_SUCCESS) throw Failure(L"Failed to get data for '" + name + L"'");
        if (type != REG_SZ && type != REG_EXPAND_SZ) throw Failure(L"Invalid data type for '" + name + L"'");
        return std::wstring(buffer.data());
    }
}

void Write_String(HKEY key, const std::wstring& name, const std::wstring& data) {
    DWORD size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    if (::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), size) !=
        ERROR_SUCCESS)
        throw Failure(L"Failed to set data for '" + name + L"'");
}

std::wstring Key_Item_Lines(const std::wstring& key, const std::wstring& name) {
    return L" Error Key   = " + key + L"\r\n" + L" Error Item  = " + name + L"\r\n";
}

}  // namespace

bool Write_Registry_Value(Dialogs& dialogs, HKEY root, const std::wstring& key, const std::wstring& name,
                          const std::wstring& data) {
    Key_Handle handle = Open_Key(root, key);
    if (!handle) {
        Error_Box(dialogs,
                  L"Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC.  "
                  L"\r\n\r\n" +
                      Key_Item_Lines(key, name) + L" Error Value = " + data + L"\r\n" + L"\r\n" + Contact_Author);
        return false;
    }
    Write_String(handle.get(), name, data);
    if (Read_String(handle.get(), name) == data) return true;
    Error_Box(dialogs,
              L"Error: The required settings could not be created \r\nor saved in the Windows Registry.  "
              L"\r\n\r\n" +
                  Key_Item_Lines(key, name) + L" Error Value = " + data + L"\r\n" + L"\r\n" + Contact_Author);
    return false;
}

bool Delete_Registry_Value(Dialogs& dialogs, HKEY root, const std::wstring& key, const std::wstring& name) {
    Key_Handle handle = Open_Key(root, key);
    if (!handle) {
        Error_Box(dialogs,
                  L"Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC.  "
                  L"\r\n\r\n" +
                      Key_Item_Lines(key, name) + L"\r\n" + Contact_Author);
        return false;
    }
    // What the delete call says does not matter: whether the value is gone does.
    ::RegDeleteValueW(handle.get(), name.c_str());
    if (!Value_Exists(handle.get(), name)) return true;
    Error_Box(dialogs,
              L"Error: The required Registry Key settings \r\ncould not be removed from the Windows "
              L"Registry.  \r\n\r\n" +
                  Key_Item_Lines(key, name) + L"\r\n" + Contact_Author);
    return false;
}

std::wstring Read_Registry_Value(HKEY root, const std::wstring& key, const std::wstring& name) {
    Key_Handle handle = Open_Key(root, key);
    if (!handle) return {};
    return Read_String(handle.get(), name);
}

}  // namespace velbrook

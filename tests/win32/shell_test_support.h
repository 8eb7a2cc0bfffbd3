#pragma once
// Registry and file helpers for the tests of the registry routines, the
// auto-run entry and the shortcuts.  Everything here works on the test
// prefix's real registry and folders and removes what it made.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace velbrook::testing {

// A number that keeps the names of one test process apart from another's.
inline std::wstring Process_Tag() { return std::to_wstring(::GetCurrentProcessId()); }

// A key of our own under HKEY_CURRENT_USER, deleted with everything below it
// when the test ends.  Used as a root where a test needs keys or values that
// the real hive must not lose or gain.
class Scratch_Key {
public:
    explicit Scratch_Key(const std::wstring& name)
        : path_(L"Software\\Velbrook Tests\\" + name + L" " + Process_Tag()) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                              nullptr) != ERROR_SUCCESS)
            ADD_FAILURE() << "cannot create the scratch key";
    }
    ~Scratch_Key() {
        if (key_) ::RegCloseKey(key_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Velbrook Tests");  // only when empty
    }
    Scratch_Key(const Scratch_Key&) = delete;
    Scratch_Key& operator=(const Scratch_Key&) = delete;

    HKEY get() const { return key_; }

    // Makes a key below this one (with its parents).
    void Create(const std::wstring& sub_key) const {
        HKEY created = nullptr;
        if (::RegCreateKeyExW(key_, sub_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) !=
            ERROR_SUCCESS)
            ADD_FAILURE() << "cannot create a key below the scratch key";
        else
            ::RegCloseKey(created);
    }

private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

// Raw access for setting up and checking, independent of the routines under
// test.  Key paths here are relative (no leading backslash).
inline bool Raw_Set(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
                    DWORD size) {
    return ::RegSetKeyValueW(root, key.c_str(), name.c_str(), type, data, size) == ERROR_SUCCESS;
}

inline bool Raw_Set_String(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    return Raw_Set(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

struct Raw_Value {
    bool exists = false;
    DWORD type = REG_NONE;
    std::wstring bytes_as_text;  // the stored bytes, all of them, zeros included
};

inline Raw_Value Raw_Get(HKEY root, const std::wstring& key, const std::wstring& name) {
    Raw_Value value;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (::RegQueryValueExW(opened, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
        if (::RegQueryValueExW(opened, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()),
                               &size) == ERROR_SUCCESS) {
            value.exists = true;
            buffer.resize(size / sizeof(wchar_t));
            value.bytes_as_text = buffer;
        }
    }
    ::RegCloseKey(opened);
    return value;
}

inline bool Raw_Key_Exists(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    ::RegCloseKey(opened);
    return true;
}

inline void Raw_Delete(HKEY root, const std::wstring& key, const std::wstring& name) {
    ::RegDeleteKeyValueW(root, key.c_str(), name.c_str());
}

inline bool Path_Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace velbrook::testing

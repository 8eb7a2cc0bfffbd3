#include "picture/picture_file.h"

#include <windows.h>

#include <algorithm>

#include "picture/picture.h"
#include "toolkit/handles.h"
#include "toolkit/system_error.h"

namespace velbrook {
namespace {

std::wstring Reason_Of(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return L"it does not exist";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return L"it is in use by another program";
        case ERROR_ACCESS_DENIED:
            return L"access to it is denied";
        default:
            return System_Error_Text(error);
    }
}

[[noreturn]] void Throw_Unreadable(const std::wstring& path, DWORD error) {
    throw Unreadable_File(L"The file \"" + path + L"\" cannot be read: " + Reason_Of(error));
}

}  // namespace

File_Handle Open_Picture_File(const std::wstring& path) {
    File_Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) Throw_Unreadable(path, ::GetLastError());
    return file;
}

std::size_t File_Source::Read(std::uint8_t* into, std::size_t size) noexcept {
    DWORD got = 0;
    if (!file_ ||
        !::ReadFile(file_.get(), into, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 24)), &got, nullptr))
        return 0;
    return got;
}

std::vector<std::uint8_t> Read_Picture_File(const std::wstring& path) {
    const File_Handle file = Open_Picture_File(path);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) Throw_Unreadable(path, ::GetLastError());
    if (static_cast<std::uint64_t>(size.QuadPart) > Max_Picture_File_Bytes)
        throw Failure(L"The file \"" + path + L"\" is too large to be loaded as a picture");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, wanted, &got, nullptr))
            Throw_Unreadable(path, ::GetLastError());
        if (got == 0) break;  // the file shrank while being read
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace velbrook

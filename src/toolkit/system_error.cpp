#include "toolkit/system_error.h"

namespace velbrook {

std::wstring System_Error_Text(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length && text ? std::wstring(text, length) : std::wstring();
    if (text) ::LocalFree(text);
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ' || words.back() == L'.'))
        words.pop_back();
    if (!words.empty()) return words;
    if (code <= 0xFFFF) return L"system error " + std::to_wstring(code);
    wchar_t hex[16];
    ::wsprintfW(hex, L"0x%08lX", static_cast<unsigned long>(code));
    return L"system error " + std::wstring(hex);
}

std::wstring File_Error_Text(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return L"it does not exist";
        case ERROR_PATH_NOT_FOUND:
            return L"its folder does not exist";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return L"it is in use by another program";
        case ERROR_ACCESS_DENIED:
            return L"access to it is denied (it or its folder may be read-only)";
        case ERROR_FILE_READ_ONLY:
            return L"it is read-only";
        case ERROR_DIRECTORY:
            return L"it is a folder";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return L"there is not enough space on the disk";
        case ERROR_WRITE_PROTECT:
            return L"the disk is write-protected";
        case ERROR_FILE_TOO_LARGE:
            return L"it is too large";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return L"there is not enough memory to hold it";
        default:
            return System_Error_Text(error);
    }
}

}  // namespace velbrook

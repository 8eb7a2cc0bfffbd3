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

}  // namespace velbrook

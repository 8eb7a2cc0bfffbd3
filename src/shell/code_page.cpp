#include "shell/code_page.h"

namespace velbrook {

std::wstring Decode_Text(std::string_view bytes, UINT code_page) {
    if (bytes.empty()) return {};
    int size = ::MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

std::string Utf8_Text(std::wstring_view text) {
    if (text.empty()) return {};
    int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::optional<std::string> Ansi_Text(std::wstring_view text) {
    if (text.empty()) return std::string();
    // A UTF-8 code page holds everything (and takes no best-fit flag).
    if (::GetACP() == CP_UTF8) return Utf8_Text(text);
    BOOL lossy = FALSE;
    int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr,
                                     0, nullptr, &lossy);
    if (lossy || size <= 0) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                          nullptr, &lossy);
    if (lossy || Decode_Text(bytes, CP_ACP) != text) return std::nullopt;
    return bytes;
}

}  // namespace velbrook

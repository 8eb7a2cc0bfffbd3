#include "picture_list/extension.h"

#include <algorithm>
#include <array>

namespace velbrook {

std::wstring File_Extension(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) return {};
    const std::size_t separator = path.find_last_of(L"\\/:");
    if (separator != std::wstring_view::npos && separator > dot) return {};
    return std::wstring(path.substr(dot));
}

std::wstring Lower_Ascii(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return lower;
}

bool Is_Accepted_Extension(std::wstring_view path) {
    static constexpr std::array<std::wstring_view, 5> accepted = {L".bmp", L".jpg", L".jpeg",
                                                                  L".emf", L".wmf"};
    const std::wstring extension = Lower_Ascii(File_Extension(path));
    return std::find(accepted.begin(), accepted.end(), extension) != accepted.end();
}

}  // namespace velbrook

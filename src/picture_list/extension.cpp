#include "picture_list/extension.h"

#include <array>

namespace velbrook {

std::wstring File_Extension(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) return {};
    const std::size_t separator = path.find_last_of(L"\\/:");
    if (separator != std::wstring_view::npos && separator > dot) return {};
    return std::wstring(path.substr(dot));
}

std::wstring File_Name_Of(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return std::wstring(separator == std::wstring_view::npos ? path : path.substr(separator + 1));
}

std::wstring Lower_Ascii(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return lower;
}

Picture_File_Type Picture_File_Type_Of(std::wstring_view path, bool more_types) {
    struct Entry {
        std::wstring_view extension;
        Picture_File_Type type;
        bool more;
    };
    static constexpr std::array<Entry, 10> types = {{
        {L".bmp", Picture_File_Type::Bmp, false},
        {L".jpg", Picture_File_Type::Jpeg, false},
        {L".jpeg", Picture_File_Type::Jpeg, false},
        {L".emf", Picture_File_Type::Emf, false},
        {L".wmf", Picture_File_Type::Wmf, false},
        {L".ico", Picture_File_Type::Ico, false},
        {L".png", Picture_File_Type::Png, true},
        {L".gif", Picture_File_Type::Gif, true},
        {L".tif", Picture_File_Type::Tiff, true},
        {L".tiff", Picture_File_Type::Tiff, true},
    }};
    const std::wstring extension = Lower_Ascii(File_Extension(path));
    for (const Entry& entry : types)
        if (entry.extension == extension) return entry.more && !more_types ? Picture_File_Type::None : entry.type;
    return Picture_File_Type::None;
}

bool Is_Accepted_Extension(std::wstring_view path, bool more_types) {
    // Icons load from a list file, but a drop never takes them.
    const Picture_File_Type type = Picture_File_Type_Of(path, more_types);
    return type != Picture_File_Type::None && type != Picture_File_Type::Ico;
}

}  // namespace velbrook

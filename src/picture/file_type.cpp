#include "picture/file_type.h"

#include <array>

#include "shell/text_utils.h"

namespace velbrook {

namespace {

struct Type_Entry {
    std::wstring_view extension;
    Picture_File_Type type;
    bool more;  // counts only when the more picture types are accepted
    bool droppable;
    Page_Drawing drawing;
    const wchar_t* noun;
};

constexpr std::array<Type_Entry, 10> types = {{
    {L".bmp", Picture_File_Type::Bmp, false, true, Page_Drawing::Bitmap, L"bitmap"},
    {L".jpg", Picture_File_Type::Jpeg, false, true, Page_Drawing::Jpeg, L"JPEG picture"},
    {L".jpeg", Picture_File_Type::Jpeg, false, true, Page_Drawing::Jpeg, L"JPEG picture"},
    {L".emf", Picture_File_Type::Emf, false, true, Page_Drawing::Metafile, L"enhanced metafile"},
    {L".wmf", Picture_File_Type::Wmf, false, true, Page_Drawing::Metafile, L"Windows metafile"},
    {L".ico", Picture_File_Type::Ico, false, false, Page_Drawing::Nothing, L"icon"},
    {L".png", Picture_File_Type::Png, true, true, Page_Drawing::Bitmap, L"PNG picture"},
    {L".gif", Picture_File_Type::Gif, true, true, Page_Drawing::Bitmap, L"GIF picture"},
    {L".tif", Picture_File_Type::Tiff, true, true, Page_Drawing::Bitmap, L"TIFF picture"},
    {L".tiff", Picture_File_Type::Tiff, true, true, Page_Drawing::Bitmap, L"TIFF picture"},
}};

const Type_Entry* Entry_Of(std::wstring_view path, bool more_types) {
    const std::wstring extension = Lower_Ascii(File_Extension(path));
    for (const Type_Entry& entry : types)
        if (entry.extension == extension) return entry.more && !more_types ? nullptr : &entry;
    return nullptr;
}

}  // namespace

Picture_File_Type Picture_File_Type_Of(std::wstring_view path, bool more_types) {
    const Type_Entry* entry = Entry_Of(path, more_types);
    return entry ? entry->type : Picture_File_Type::None;
}

bool Is_Accepted_Extension(std::wstring_view path, bool more_types) {
    const Type_Entry* entry = Entry_Of(path, more_types);
    return entry && entry->droppable;
}

Page_Drawing Drawing_For(std::wstring_view path, bool more_types) {
    const Type_Entry* entry = Entry_Of(path, more_types);
    return entry ? entry->drawing : Page_Drawing::Nothing;
}

const wchar_t* Picture_File_Noun(Picture_File_Type type) {
    for (const Type_Entry& entry : types)
        if (entry.type == type) return entry.noun;
    return nullptr;
}

}  // namespace velbrook

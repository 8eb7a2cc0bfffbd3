#include "printing/print_texts.h"

#include "picture_list/extension.h"

namespace velbrook {

std::uint64_t Elapsed_Seconds(std::int64_t start_ms, std::int64_t now_ms) {
    if (now_ms <= start_ms) return 0;
    return static_cast<std::uint64_t>(now_ms - start_ms) / 1000;
}

std::wstring Progress_Text(int page, int entries, std::uint64_t seconds) {
    return L"  Now printing page " + std::to_wstring(page) + L" of " + std::to_wstring(entries) + L" ... " +
           L"    (" + std::to_wstring(seconds) + L" secs elapsed so far ...)";
}

std::wstring Success_Text(int entries, std::uint64_t seconds) {
    return L"  Success: All " + std::to_wstring(entries) + L" pictures have been printed !!" +
           L"    (The entire process took " + std::to_wstring(seconds) + L" seconds).";
}

std::wstring Stopped_Text(const std::wstring& reason) { return L"  Printing stopped: " + reason; }

Page_Drawing Drawing_For(std::wstring_view path, bool more_types) {
    switch (Picture_File_Type_Of(path, more_types)) {
        case Picture_File_Type::Bmp:
        case Picture_File_Type::Png:
        case Picture_File_Type::Gif:
        case Picture_File_Type::Tiff: return Page_Drawing::Bitmap;
        case Picture_File_Type::Jpeg: return Page_Drawing::Jpeg;
        case Picture_File_Type::Emf:
        case Picture_File_Type::Wmf: return Page_Drawing::Metafile;
        case Picture_File_Type::Ico:
        case Picture_File_Type::None: break;
    }
    return Page_Drawing::Nothing;
}

}  // namespace velbrook

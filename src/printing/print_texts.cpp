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

Page_Drawing Drawing_For(std::wstring_view path) {
    const std::wstring extension = Lower_Ascii(File_Extension(path));
    if (extension == L".bmp") return Page_Drawing::Bitmap;
    if (extension == L".jpg" || extension == L".jpeg") return Page_Drawing::Jpeg;
    if (extension == L".emf" || extension == L".wmf") return Page_Drawing::Metafile;
    return Page_Drawing::Nothing;
}

}  // namespace velbrook

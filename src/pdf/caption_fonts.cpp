#include "pdf/caption_fonts.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "pdf/win_ansi.h"
#include "picture/picture.h"
#include "picture/picture_file.h"
#include "shell/text_utils.h"

namespace velbrook {

namespace {

// Fonts that hold whole scripts, in order: Latin, Greek and Cyrillic first,
// then Japanese, Chinese and Korean (a Japanese font holds Greek too).
constexpr const wchar_t* Preferred[] = {L"arial.ttf",   L"segoeui.ttf", L"tahoma.ttf", L"msgothic.ttc", L"meiryo.ttc",
                                        L"yugothr.ttc", L"msyh.ttc",    L"simsun.ttc", L"malgun.ttf",   L"ipag.ttf"};

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

}  // namespace

std::wstring System_Fonts_Folder() {
    wchar_t windows[MAX_PATH + 1] = {};
    UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return L"";
    return std::wstring(windows) + L"\\Fonts\\";
}

Caption_Fonts::Caption_Fonts(std::wstring folder) {
    if (folder.empty()) return;
    if (folder.back() != L'\\') folder += L'\\';
    std::map<std::wstring, std::wstring> found;  // by lower-cased name
    WIN32_FIND_DATAW data;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = Lower(data.cFileName);
            bool truetype = name.size() > 4 && (name.ends_with(L".ttf") || name.ends_with(L".ttc"));
            if (truetype && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found[name] = folder + data.cFileName;
        } while (::FindNextFileW(search, &data));
        ::FindClose(search);
    }
    for (const wchar_t* name : Preferred) {
        if (auto file = found.find(name); file != found.end()) {
            files_.push_back(file->second);
            found.erase(file);
        }
    }
    for (auto& [name, path] : found) files_.push_back(path);
}

void Caption_Fonts::Provide(Pdf_Document& document, std::wstring_view text) {
    if (!document.Needs_Font_For(text)) return;
    std::u32string wanted;
    for (char32_t c : Code_Points(text))
        if (!Win_Ansi_Code(c) && !missing_.count(c) && wanted.find(c) == std::u32string::npos) wanted += c;
    if (wanted.empty()) return;

    std::unique_ptr<Truetype_Font> best;
    std::size_t best_count = 0;
    std::wstring best_path;
    for (const std::wstring& path : files_) {
        if (added_.count(path)) continue;
        std::unique_ptr<Truetype_Font> font;
        try {
            font = std::make_unique<Truetype_Font>(Read_Picture_File(path));
        } catch (const Failure&) {
            continue;  // not a TrueType font with outlines, or unreadable: the next one
        }
        auto count = static_cast<std::size_t>(
            std::count_if(wanted.begin(), wanted.end(), [&](char32_t c) { return font->Glyph_Of(c) != 0; }));
        if (count > best_count) {
            best = std::move(font);
            best_count = count;
            best_path = path;
            if (count == wanted.size()) break;
        }
    }
    if (!best) {
        missing_.insert(wanted.begin(), wanted.end());
        return;
    }
    for (char32_t c : wanted)
        if (best->Glyph_Of(c) == 0) missing_.insert(c);
    added_.insert(best_path);
    document.Add_Font(std::move(best));
}

}  // namespace velbrook

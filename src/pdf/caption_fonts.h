#pragma once
// TrueType fonts for captions that Windows-1252 cannot hold, taken from the
// system's Fonts folder only when a caption needs one: the usual fonts of
// each script first, then every other font file of the folder.

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/pdf_document.h"

namespace velbrook {

// The Windows folder's "Fonts".
std::wstring System_Fonts_Folder();

class Caption_Fonts {
public:
    explicit Caption_Fonts(std::wstring folder);

    // Gives the document a font with every character of `text` when the
    // folder has one; else the one with the most of them.  A caption that
    // Windows-1252 holds needs nothing.
    void Provide(Pdf_Document& document, std::wstring_view text);

private:
    std::vector<std::wstring> files_;
    std::set<std::wstring> added_;
    // Characters no font of the folder has, so that they cost one search.
    std::set<char32_t> missing_;
};

}  // namespace velbrook

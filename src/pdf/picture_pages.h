#pragma once
// One picture file as pages of a PDF, placed as the print run places it: a
// JPEG's own bytes placed by matrix when readers can take them as they are,
// any other picture (every page of a multi-page TIFF) drawn by the picture
// module and stored as deflated pixels.

#include <functional>
#include <string>

#include "pdf/caption_fonts.h"
#include "pdf/pdf_document.h"
#include "pdf/save_pdf_rules.h"
#include "picture/placement.h"

namespace velbrook {

struct Pdf_Page_Setup {
    Pdf_Paper paper;
    Box target;  // dots of the placement grid
    Page_Options options;
    std::int32_t caption_height = 0;  // dots; 0 without captions
};
Pdf_Page_Setup Pdf_Setup_For(const Pdf_Paper& paper, const Page_Options& options);

// Adds the file's pages, calling `page_done` after each; the pages added, 0
// when the file is skipped as the print run skips it (an unknown kind, an
// empty entry, a file that is not a valid picture or cannot be read).
// Other failures (the output, memory) throw.  `keep_going` is asked before
// each further page of a multi-page file.
int Add_Picture_Pages(Pdf_Document& document, Caption_Fonts& fonts, const std::wstring& path,
                      const Pdf_Page_Setup& setup, const std::function<void()>& page_done,
                      const std::function<bool()>& keep_going);

}  // namespace velbrook

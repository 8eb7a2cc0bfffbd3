#pragma once
// One picture file as pages of a PDF: a JPEG's own bytes placed by matrix
// when readers can take them as they are, any other picture drawn and
// stored as deflated pixels.

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
};

// Adds the file's pages; 0 when the file is skipped, as the print run skips
// it (an unknown kind, an empty entry, a file that is not a valid picture or
// cannot be read).  Other failures (the output, memory) throw.
int Add_Picture_Pages(Pdf_Document& document, Caption_Fonts& fonts, const std::wstring& path,
                      const Pdf_Page_Setup& setup);

}  // namespace velbrook

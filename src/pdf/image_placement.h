#pragma once
// Placing a picture on a PDF page by the transformation matrix alone: turns,
// flips, scaling and the choice of the visible part, so that the picture's
// own bytes are never touched.

#include <string>

namespace velbrook {

// A rectangle on the page in points, measured from the page's top-left
// corner downward, as the page layout thinks of it.
struct Page_Box {
    double left = 0, top = 0, right = 0, bottom = 0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    bool Empty() const { return !(right > left && bottom > top); }
};

struct Image_Placement {
    // Exif numbering: 1 as stored, 2 mirrored left-right, 3 half turn, 4
    // mirrored top-bottom, 5 transposed, 6 quarter turn clockwise, 7
    // transverse, 8 quarter turn counter-clockwise.
    int orientation = 1;
    // The picture's pixels as held, before it is oriented.
    double stored_width = 0, stored_height = 0;
    // The visible part, in pixels of the picture as oriented (x right, y down).
    Page_Box source;
    // Where that part goes on the page.
    Page_Box destination;
};

// The matrix (a b c d e f of PDF's cm operator) that takes an image's unit
// square to the page in PDF space (y up, from the bottom), such that the
// oriented picture's `source` part lands on `destination`.
struct Pdf_Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};
Pdf_Matrix Image_Matrix(const Image_Placement& placement, double page_height);

// The content stream operators that draw image resource `name`: a clip to the
// destination, the matrix, the image.  Empty when nothing is visible.
std::string Image_Operators(const Image_Placement& placement, double page_height, const std::string& name);

}  // namespace velbrook

#pragma once
// Sheets: how many pictures go on each sheet of paper and where.  From the
// paper's geometry in device pixels and the layout the user chose, the cells
// of a sheet.  Every sheet of a grid or a print size has the same cells, so
// a plan is a few rectangles whatever the list's length; the runs fill the
// cells in order.  Portable, so that the host tests check every case.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picture/placement.h"

namespace velbrook {

enum class Sheet_Kind { One_Per_Page = 0, Grid = 1, Print_Size = 2, Actual_Size = 3 };

// Lengths in tenths of a millimetre, as the settings file keeps them.
inline constexpr int Least_Grid_Side = 1, Most_Grid_Side = 10;
inline constexpr int Least_Print_Side = 100, Most_Print_Side = 10000;  // 10 mm to 1000 mm
inline constexpr int Most_Margin = 500;                                // 50 mm
inline constexpr int Most_Spacing = 300;                               // 30 mm
inline constexpr int Least_Copies = 1, Most_Copies = 99;

// Options > "Page Layout...".  The defaults are the program's classic page:
// one picture per page, one copy, on the locale's paper when saved as PDF.
struct Sheet_Layout {
    Sheet_Kind kind = Sheet_Kind::One_Per_Page;
    int columns = 2, rows = 2;
    int print_width = 1000, print_height = 1500;  // "10 x 15 cm"
    int margin = 50;                              // from the paper's edge
    int spacing = 30;                             // between cells
    int copies = 1;                               // cells each picture fills, in a row
    std::wstring pdf_paper;                       // a name of Pdf_Papers(); empty: the locale's A4 or Letter
    bool pdf_landscape = false;
    bool operator==(const Sheet_Layout&) const = default;
};

// The named print sizes of the dialog's list, portrait, in tenths of a
// millimetre ("Custom" is not among them).
struct Named_Size {
    std::wstring_view name;
    int width = 0, height = 0;
};
std::span<const Named_Size> Print_Sizes();
// The papers a PDF can be saved on, portrait, in tenths of a millimetre.
std::span<const Named_Size> Pdf_Papers();
// The entry of `sizes` with this name, or nothing.
std::optional<Named_Size> Size_Named(std::span<const Named_Size> sizes, std::wstring_view name);

// Where the paper is and what of it a device can print on, in device pixels.
struct Sheet_Paper {
    std::int32_t paper_width = 0, paper_height = 0;          // the whole sheet (PHYSICALWIDTH, PHYSICALHEIGHT)
    std::int32_t offset_x = 0, offset_y = 0;                 // the printable area on it (PHYSICALOFFSETX, -Y)
    std::int32_t printable_width = 0, printable_height = 0;  // HORZRES, VERTRES
    std::int32_t dots_x = 0, dots_y = 0;                     // pixels per inch across and down
    // The rectangle of the classic page, in pixels of the printable area:
    // what "One picture per page" prints in.
    Box classic_page;
};

// Resolutions and offsets a device can really have: 10 to 100,000 pixels per
// inch, offsets inside the paper, a printable area with a size.  A device
// that reports anything else cannot be planned for.
bool Paper_Is_Sane(const Sheet_Paper& paper);

struct Sheet_Plan {
    // Pixels of the printable area, filled in this order: rows top to bottom,
    // each row left to right.  Empty when the margin leaves no room.
    std::vector<Box> cells;
    // The print size's cells are its size turned a quarter (more fit so).
    bool turned = false;
};

// The cells of every sheet.  Lengths become pixels from the paper's edge:
// pixels = tenths * dots / 254, rounded half up, in 64-bit integers, so a
// 10 x 15 cm cell measures 10 x 15 cm at any resolution.  A margin smaller
// than the unprintable edge is that edge.  One picture per page and actual
// size have one cell: the classic page, or the paper inside the margin.
Sheet_Plan Plan_Sheet(const Sheet_Paper& paper, const Sheet_Layout& layout);

// Tenths of a millimetre as device pixels at `dots` per inch, by the plan's rule.
std::int64_t Pixels_Of_Tenths(std::int64_t tenths, std::int64_t dots);

// Actual size: a picture `width` x `height` device pixels on paper,
// centred in `area`, shrunk with its proportions kept when larger.
Box Centred_Box(const Box& area, std::int64_t width, std::int64_t height);

// How many sheets `pictures` pictures fill, `copies` cells each.
int Sheets_For(int pictures, int copies, int cells_per_sheet);

// A sheet shown smaller (the print preview): `paper` and `plan` scaled by
// `num` / `den`, every place rounded half up, sizes and resolutions at
// least one.  Cells keep their places relative to the printable area.
Sheet_Paper Scaled_Paper(const Sheet_Paper& paper, std::int64_t num, std::int64_t den);
Sheet_Plan Scaled_Plan(const Sheet_Plan& plan, std::int64_t num, std::int64_t den);

}  // namespace velbrook

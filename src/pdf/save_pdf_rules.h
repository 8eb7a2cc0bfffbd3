#pragma once
// The page of a saved PDF and the words of the save, apart from any window:
// the paper by the user's locale, the 5 mm margin, the grid on which
// pictures are placed, and what the status line and the boxes say.

#include <cstdint>
#include <string>

#include "pdf/image_placement.h"
#include "picture/placement.h"
#include "printing/sheet_plan.h"

namespace velbrook {

inline constexpr wchar_t Pdf_Default_File_Name[] = L"Orvel Pics.pdf";
inline constexpr wchar_t Pdf_File_Filter[] = L"PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*";
inline constexpr wchar_t Pdf_Title[] = L"Orvel Pics";
inline constexpr wchar_t Pdf_Producer[] = L"Velbrook v1.0f";

// Pictures are placed on a grid of 300 dots to the inch, the resolution of
// the print run's PDF printer, so that the same options give the same page.
inline constexpr int Pdf_Dots_Per_Inch = 300;
inline constexpr double Pdf_Margin_Millimetres = 5;

struct Pdf_Paper {
    double width = 0, height = 0;  // points
    std::int32_t dots_wide = 0, dots_high = 0;
};
// LOCALE_IPAPERSIZE's value: 1 is US Letter; anything else gets A4.
Pdf_Paper Paper_For_Locale(int paper_size_code);
// That paper's name among Pdf_Papers().
std::wstring_view Locale_Paper_Name(int paper_size_code);
// The paper the layout names, turned when it asks for landscape; the
// locale's when it names none (or none known).
Pdf_Paper Paper_For_Layout(const Sheet_Layout& layout, int paper_size_code);
// The paper less the margin, in dots of the grid.
Box Pdf_Page_Target(const Pdf_Paper& paper);
// The paper as a sheet to plan: all of it printable, on the 300-dot grid.
Sheet_Paper Pdf_Sheet_Paper(const Pdf_Paper& paper);
// Dots of the grid as points from the page's top-left corner.
Page_Box Dots_To_Points(const Box& dots);
// A length in dots of the grid as points.
double Points_Of_Dots(std::int32_t dots);

// Pixels enough to store a drawn picture at 300 dots an inch of its place on
// the page: the whole picture in stored orientation, each side at the
// enlargement of the page direction it ends up in, at least one pixel.
struct Raster_Size {
    std::int32_t width = 0, height = 0;
};
Raster_Size Place_Raster_Size(std::int32_t stored_width, std::int32_t stored_height, const Placement& placement);

// What of a scalable picture is rasterised: of the whole picture drawn at
// `whole`, the `window` (stored orientation, whole pixels) that covers the
// placement's visible part, and that part within the window's picture as
// oriented, for the image's matrix.  A metafile filling a cell with most of
// it cut away costs the part that shows, at the page's resolution.
struct Raster_Window {
    Raster_Size whole;
    Box window;
    Page_Box source;
};
Raster_Window Visible_Raster_Window(std::int32_t stored_width, std::int32_t stored_height, const Placement& placement);

std::wstring Saving_Progress_Text(int page, int entries, std::uint64_t seconds);
std::wstring Saved_Text(int pages, const std::wstring& path, std::uint64_t seconds);
std::wstring Saving_Stopped_Text(const std::wstring& reason);
std::wstring Save_Pdf_Failure_Text(const std::wstring& path, const std::wstring& reason);

}  // namespace velbrook

#include "pdf/save_pdf_rules.h"

#include <algorithm>
#include <cmath>

namespace velbrook {

namespace {

constexpr double Points_Per_Inch = 72;
constexpr double Millimetres_Per_Inch = 25.4;
constexpr int Letter_Code = 1;

Pdf_Paper Paper(double width_inches, double height_inches) {
    return {width_inches * Points_Per_Inch, height_inches * Points_Per_Inch,
            static_cast<std::int32_t>(std::floor(width_inches * Pdf_Dots_Per_Inch)),
            static_cast<std::int32_t>(std::floor(height_inches * Pdf_Dots_Per_Inch))};
}

}  // namespace

Pdf_Paper Paper_For_Locale(int paper_size_code) {
    if (paper_size_code == Letter_Code) return Paper(8.5, 11);
    return Paper(210 / Millimetres_Per_Inch, 297 / Millimetres_Per_Inch);
}

std::wstring_view Locale_Paper_Name(int paper_size_code) { return paper_size_code == Letter_Code ? L"Letter" : L"A4"; }

Pdf_Paper Paper_For_Layout(const Sheet_Layout& layout, int paper_size_code) {
    const std::optional<Named_Size> named = Size_Named(Pdf_Papers(), layout.pdf_paper);
    Pdf_Paper paper = named ? Paper(named->width / 254.0, named->height / 254.0) : Paper_For_Locale(paper_size_code);
    if (layout.pdf_landscape) {
        std::swap(paper.width, paper.height);
        std::swap(paper.dots_wide, paper.dots_high);
    }
    return paper;
}

Sheet_Paper Pdf_Sheet_Paper(const Pdf_Paper& paper) {
    return {.paper_width = paper.dots_wide,
            .paper_height = paper.dots_high,
            .printable_width = paper.dots_wide,
            .printable_height = paper.dots_high,
            .dots_x = Pdf_Dots_Per_Inch,
            .dots_y = Pdf_Dots_Per_Inch,
            .classic_page = Pdf_Page_Target(paper)};
}

Box Pdf_Page_Target(const Pdf_Paper& paper) {
    auto margin =
        static_cast<std::int32_t>(std::lround(Pdf_Margin_Millimetres / Millimetres_Per_Inch * Pdf_Dots_Per_Inch));
    return {margin, margin, paper.dots_wide - margin, paper.dots_high - margin};
}

Page_Box Dots_To_Points(const Box& dots) {
    return {Points_Of_Dots(dots.left), Points_Of_Dots(dots.top), Points_Of_Dots(dots.right),
            Points_Of_Dots(dots.bottom)};
}

double Points_Of_Dots(std::int32_t dots) { return dots * Points_Per_Inch / Pdf_Dots_Per_Inch; }

Raster_Size Place_Raster_Size(std::int32_t stored_width, std::int32_t stored_height, const Placement& placement) {
    const Box& d = placement.destination;
    const Box& s = placement.source;
    if (d.Empty() || s.Empty()) return {1, 1};
    double across = double(d.Width()) / s.Width(), down = double(d.Height()) / s.Height();
    if (Swaps_Sides(placement.orientation)) std::swap(across, down);
    auto side = [](std::int32_t pixels, double scale) {
        // Bounded far below where the arithmetic of the window would wrap.
        const double wanted = std::min(std::ceil(pixels * scale - 1e-9), double(1 << 30));
        return std::max<std::int32_t>(1, static_cast<std::int32_t>(wanted));
    };
    return {side(stored_width, across), side(stored_height, down)};
}

Raster_Window Visible_Raster_Window(std::int32_t stored_width, std::int32_t stored_height, const Placement& placement) {
    Raster_Window out;
    out.whole = Place_Raster_Size(stored_width, stored_height, placement);
    const Raster_Size& whole = out.whole;
    const bool swaps = Swaps_Sides(placement.orientation);
    // Raster pixels for one stored pixel, along the oriented picture's axes.
    const double fx = double(whole.width) / std::max(1, stored_width);
    const double fy = double(whole.height) / std::max(1, stored_height);
    const double across = swaps ? fy : fx, down = swaps ? fx : fy;
    const std::int64_t oriented_w = swaps ? whole.height : whole.width;
    const std::int64_t oriented_h = swaps ? whole.width : whole.height;
    const Box& s = placement.source;
    const double left = s.left * across, top = s.top * down, right = s.right * across, bottom = s.bottom * down;
    const auto clamp = [](double value, std::int64_t most) {
        return static_cast<std::int32_t>(std::clamp<double>(value, 0, double(most)));
    };
    // Widened to whole pixels, at least one.
    Box oriented{clamp(std::floor(left + 1e-9), oriented_w - 1), clamp(std::floor(top + 1e-9), oriented_h - 1), 0, 0};
    oriented.right = std::max(oriented.left + 1, clamp(std::ceil(right - 1e-9), oriented_w));
    oriented.bottom = std::max(oriented.top + 1, clamp(std::ceil(bottom - 1e-9), oriented_h));
    // Its two corner pixels in stored orientation.
    const Pixel_Map map = Map_Oriented_To_Stored(placement.orientation, whole.width, whole.height);
    const auto stored = [&](std::int32_t x, std::int32_t y) {
        return std::pair{map.origin_x + x * map.x_dx + y * map.x_dy, map.origin_y + x * map.y_dx + y * map.y_dy};
    };
    const auto [x0, y0] = stored(oriented.left, oriented.top);
    const auto [x1, y1] = stored(oriented.right - 1, oriented.bottom - 1);
    out.window = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1};
    out.source = {left - oriented.left, top - oriented.top, right - oriented.left, bottom - oriented.top};
    return out;
}

std::wstring Saving_Progress_Text(int page, int entries, std::uint64_t seconds) {
    return L"  Now saving page " + std::to_wstring(page) + L" of " + std::to_wstring(entries) + L" ...     (" +
           std::to_wstring(seconds) + L" secs elapsed so far ...)";
}

std::wstring Saved_Text(int pages, const std::wstring& path, std::uint64_t seconds) {
    return L"  Success: " + std::to_wstring(pages) + (pages == 1 ? L" page" : L" pages") + L" saved to \"" + path +
           L"\" !!    (The entire process took " + std::to_wstring(seconds) + L" seconds).";
}

std::wstring Saving_Stopped_Text(const std::wstring& reason) { return L"  Saving stopped: " + reason; }

std::wstring Save_Pdf_Failure_Text(const std::wstring& path, const std::wstring& reason) {
    return L"The PDF file \"" + path + L"\" could not be saved:\r\n\r\n" + reason;
}

}  // namespace velbrook

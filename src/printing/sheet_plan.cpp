#include "printing/sheet_plan.h"

#include <algorithm>
#include <array>
#include <climits>

namespace velbrook {

namespace {

constexpr std::int64_t Tenths_Per_Inch = 254;
constexpr std::int64_t Least_Dots = 10, Most_Dots = 100000;
// Paper up to 5 m a side: beyond that a device's figures are nonsense.
constexpr std::int64_t Most_Paper_Inches = 200;
// Cells of at least 10 mm on such paper: a row or a column holds a few
// hundred at most, so this bound only stops a planner fed nonsense.
constexpr std::int64_t Most_Cells_A_Side = 500;

constexpr std::array<Named_Size, 11> Print_Size_List{{
    {L"9 x 13 cm", 900, 1300},
    {L"10 x 15 cm", 1000, 1500},
    {L"13 x 18 cm", 1300, 1800},
    {L"15 x 20 cm", 1500, 2000},
    {L"20 x 30 cm", 2000, 3000},
    {L"3.5 x 5 in", 889, 1270},
    {L"4 x 6 in", 1016, 1524},
    {L"5 x 7 in", 1270, 1778},
    {L"8 x 10 in", 2032, 2540},
    {L"Wallet (2.5 x 3.5 in)", 635, 889},
    {L"ID photo (35 x 45 mm)", 350, 450},
}};

constexpr std::array<Named_Size, 9> Pdf_Paper_List{{
    {L"A4", 2100, 2970},
    {L"Letter", 2159, 2794},
    {L"Legal", 2159, 3556},
    {L"A3", 2970, 4200},
    {L"A5", 1480, 2100},
    {L"10 x 15 cm", 1000, 1500},
    {L"13 x 18 cm", 1300, 1800},
    {L"4 x 6 in", 1016, 1524},
    {L"5 x 7 in", 1270, 1778},
}};

std::int32_t Narrow(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

Box Make_Box(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height) {
    return {Narrow(left), Narrow(top), Narrow(left + width), Narrow(top + height)};
}

// The part of the printable area inside the margin, in pixels of the
// printable area; empty when the margin leaves nothing.
struct Area {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    std::int64_t Width() const { return right - left; }
    std::int64_t Height() const { return bottom - top; }
};

Area Inside_Margin(const Sheet_Paper& paper, int margin) {
    const std::int64_t mx = Pixels_Of_Tenths(std::clamp(margin, 0, Most_Margin), paper.dots_x);
    const std::int64_t my = Pixels_Of_Tenths(std::clamp(margin, 0, Most_Margin), paper.dots_y);
    // From the paper's edge, then cut to what the device can print.
    const std::int64_t left = std::max<std::int64_t>(mx, paper.offset_x);
    const std::int64_t top = std::max<std::int64_t>(my, paper.offset_y);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t(paper.paper_width) - mx,
                                                      std::int64_t(paper.offset_x) + paper.printable_width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(paper.paper_height) - my,
                                                       std::int64_t(paper.offset_y) + paper.printable_height);
    Area area{left - paper.offset_x, top - paper.offset_y, right - paper.offset_x, bottom - paper.offset_y};
    if (area.right < area.left) area.right = area.left;
    if (area.bottom < area.top) area.bottom = area.top;
    return area;
}

void Plan_Grid(const Area& area, int columns, int rows, std::int64_t space_x, std::int64_t space_y, Sheet_Plan& plan) {
    columns = std::clamp(columns, Least_Grid_Side, Most_Grid_Side);
    rows = std::clamp(rows, Least_Grid_Side, Most_Grid_Side);
    const std::int64_t cell_width = (area.Width() - (columns - 1) * space_x) / columns;
    const std::int64_t cell_height = (area.Height() - (rows - 1) * space_y) / rows;
    if (cell_width < 1 || cell_height < 1) return;
    // What the division leaves goes half before the block and half after.
    const std::int64_t left = area.left + (area.Width() - columns * cell_width - (columns - 1) * space_x) / 2;
    const std::int64_t top = area.top + (area.Height() - rows * cell_height - (rows - 1) * space_y) / 2;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            plan.cells.push_back(Make_Box(left + column * (cell_width + space_x), top + row * (cell_height + space_y),
                                          cell_width, cell_height));
}

// How many cells of `side` pixels fit in `room` with `space` between them.
std::int64_t Fitting(std::int64_t room, std::int64_t side, std::int64_t space) {
    if (side <= 0 || room < side) return 0;
    return std::min((room + space) / (side + space), Most_Cells_A_Side);
}

void Plan_Print_Size(const Sheet_Paper& paper, const Area& area, const Sheet_Layout& layout, std::int64_t space_x,
                     std::int64_t space_y, Sheet_Plan& plan) {
    const int tenths_wide = std::clamp(layout.print_width, Least_Print_Side, Most_Print_Side);
    const int tenths_high = std::clamp(layout.print_height, Least_Print_Side, Most_Print_Side);
    const std::int64_t width = Pixels_Of_Tenths(tenths_wide, paper.dots_x);
    const std::int64_t height = Pixels_Of_Tenths(tenths_high, paper.dots_y);
    const std::int64_t turned_width = Pixels_Of_Tenths(tenths_high, paper.dots_x);
    const std::int64_t turned_height = Pixels_Of_Tenths(tenths_wide, paper.dots_y);
    const std::int64_t columns = Fitting(area.Width(), width, space_x);
    const std::int64_t rows = Fitting(area.Height(), height, space_y);
    const std::int64_t turned_columns = Fitting(area.Width(), turned_width, space_x);
    const std::int64_t turned_rows = Fitting(area.Height(), turned_height, space_y);
    if (area.Width() <= 0 || area.Height() <= 0) return;

    std::int64_t cell_width = width, cell_height = height, across = columns, down = rows;
    if (turned_columns * turned_rows > columns * rows) {
        plan.turned = true;
        cell_width = turned_width, cell_height = turned_height, across = turned_columns, down = turned_rows;
    }
    if (across * down == 0) {
        // Larger than the sheet: one cell, shrunk to fit with its proportions
        // kept, turned when that keeps more of it.
        const Box upright = Centred_Box({0, 0, Narrow(area.Width()), Narrow(area.Height())}, width, height);
        const Box turned =
            Centred_Box({0, 0, Narrow(area.Width()), Narrow(area.Height())}, turned_width, turned_height);
        plan.turned = std::int64_t(turned.Width()) * turned.Height() > std::int64_t(upright.Width()) * upright.Height();
        const Box& chosen = plan.turned ? turned : upright;
        if (chosen.Empty()) return;
        cell_width = chosen.Width(), cell_height = chosen.Height(), across = 1, down = 1;
    }
    // The block of cells is centred on the paper, and kept inside the margin.
    const std::int64_t block_width = across * cell_width + (across - 1) * space_x;
    const std::int64_t block_height = down * cell_height + (down - 1) * space_y;
    const std::int64_t centre_left = (std::int64_t(paper.paper_width) - block_width) / 2 - paper.offset_x;
    const std::int64_t centre_top = (std::int64_t(paper.paper_height) - block_height) / 2 - paper.offset_y;
    const std::int64_t left = std::clamp(centre_left, area.left, area.right - block_width);
    const std::int64_t top = std::clamp(centre_top, area.top, area.bottom - block_height);
    for (std::int64_t row = 0; row < down; ++row)
        for (std::int64_t column = 0; column < across; ++column)
            plan.cells.push_back(Make_Box(left + column * (cell_width + space_x), top + row * (cell_height + space_y),
                                          cell_width, cell_height));
}

}  // namespace

std::span<const Named_Size> Print_Sizes() { return Print_Size_List; }
std::span<const Named_Size> Pdf_Papers() { return Pdf_Paper_List; }

std::optional<Named_Size> Size_Named(std::span<const Named_Size> sizes, std::wstring_view name) {
    for (const Named_Size& size : sizes)
        if (size.name == name) return size;
    return std::nullopt;
}

std::int64_t Pixels_Of_Tenths(std::int64_t tenths, std::int64_t dots) {
    // Half up, as every length of the plan rounds; tenths and dots are small
    // enough (under 10^4 and 10^5) that the product cannot overflow.
    return (tenths * dots * 2 + Tenths_Per_Inch) / (2 * Tenths_Per_Inch);
}

bool Paper_Is_Sane(const Sheet_Paper& paper) {
    const auto dots_ok = [](std::int64_t dots) { return dots >= Least_Dots && dots <= Most_Dots; };
    if (!dots_ok(paper.dots_x) || !dots_ok(paper.dots_y)) return false;
    if (paper.printable_width <= 0 || paper.printable_height <= 0) return false;
    if (paper.offset_x < 0 || paper.offset_y < 0) return false;
    if (paper.paper_width > Most_Paper_Inches * paper.dots_x || paper.paper_height > Most_Paper_Inches * paper.dots_y)
        return false;
    return std::int64_t(paper.offset_x) + paper.printable_width <= paper.paper_width &&
           std::int64_t(paper.offset_y) + paper.printable_height <= paper.paper_height;
}

Sheet_Plan Plan_Sheet(const Sheet_Paper& paper, const Sheet_Layout& layout) {
    Sheet_Plan plan;
    if (layout.kind == Sheet_Kind::One_Per_Page) {
        if (!paper.classic_page.Empty()) plan.cells.push_back(paper.classic_page);
        return plan;
    }
    if (!Paper_Is_Sane(paper)) return plan;
    const Area area = Inside_Margin(paper, layout.margin);
    if (area.Width() <= 0 || area.Height() <= 0) return plan;
    const int spacing = std::clamp(layout.spacing, 0, Most_Spacing);
    const std::int64_t space_x = Pixels_Of_Tenths(spacing, paper.dots_x);
    const std::int64_t space_y = Pixels_Of_Tenths(spacing, paper.dots_y);
    switch (layout.kind) {
        case Sheet_Kind::Grid:
            Plan_Grid(area, layout.columns, layout.rows, space_x, space_y, plan);
            break;
        case Sheet_Kind::Print_Size:
            Plan_Print_Size(paper, area, layout, space_x, space_y, plan);
            break;
        default:
            plan.cells.push_back(Make_Box(area.left, area.top, area.Width(), area.Height()));
            break;
    }
    return plan;
}

Box Centred_Box(const Box& area, std::int64_t width, std::int64_t height) {
    const std::int64_t room_x = area.Width(), room_y = area.Height();
    if (width <= 0 || height <= 0 || room_x <= 0 || room_y <= 0) return {area.left, area.top, area.left, area.top};
    std::int64_t w = width, h = height;
    // Halved together until the products below stay inside 64 bits.
    while (w > INT32_MAX || h > INT32_MAX) w = (w + 1) / 2, h = (h + 1) / 2;
    if (w > room_x || h > room_y) {
        // The side that meets its edge first decides: compare w/room_x with
        // h/room_y by cross-multiplying, then round the other half up.
        if (w * room_y >= h * room_x) {
            h = std::max<std::int64_t>(1, (h * room_x * 2 + w) / (2 * w));
            w = room_x;
        } else {
            w = std::max<std::int64_t>(1, (w * room_y * 2 + h) / (2 * h));
            h = room_y;
        }
    }
    const std::int64_t left = area.left + (room_x - w) / 2;
    const std::int64_t top = area.top + (room_y - h) / 2;
    return Make_Box(left, top, w, h);
}

int Sheets_For(int pictures, int copies, int cells_per_sheet) {
    if (pictures <= 0 || cells_per_sheet <= 0) return 0;
    const std::int64_t cells = std::int64_t(pictures) * std::max(1, copies);
    return Narrow((cells + cells_per_sheet - 1) / cells_per_sheet);
}

namespace {

// Half up, as every length of the plan rounds (toward +infinity for
// negative places too, so a shift of the origin shifts every place alike).
std::int32_t Scaled_Place(std::int64_t at, std::int64_t num, std::int64_t den) {
    if (den <= 0) return 0;
    const std::int64_t twice = at * num * 2 + den, whole = 2 * den;
    return static_cast<std::int32_t>(twice >= 0 ? twice / whole : -((-twice + whole - 1) / whole));
}

}  // namespace

Sheet_Paper Scaled_Paper(const Sheet_Paper& paper, std::int64_t num, std::int64_t den) {
    const auto size = [&](std::int64_t length) { return std::max<std::int32_t>(1, Scaled_Place(length, num, den)); };
    const auto place = [&](std::int64_t at) { return Scaled_Place(at, num, den); };
    Sheet_Paper out = paper;
    out.paper_width = size(paper.paper_width);
    out.paper_height = size(paper.paper_height);
    out.offset_x = place(paper.offset_x);
    out.offset_y = place(paper.offset_y);
    out.printable_width = size(paper.printable_width);
    out.printable_height = size(paper.printable_height);
    out.dots_x = size(paper.dots_x);
    out.dots_y = size(paper.dots_y);
    const Box& c = paper.classic_page;
    out.classic_page = {place(c.left), place(c.top), place(c.right), place(c.bottom)};
    return out;
}

Sheet_Plan Scaled_Plan(const Sheet_Plan& plan, std::int64_t num, std::int64_t den) {
    Sheet_Plan out;
    out.turned = plan.turned;
    for (const Box& c : plan.cells)
        out.cells.push_back({Scaled_Place(c.left, num, den), Scaled_Place(c.top, num, den),
                             Scaled_Place(c.right, num, den), Scaled_Place(c.bottom, num, den)});
    return out;
}

}  // namespace velbrook

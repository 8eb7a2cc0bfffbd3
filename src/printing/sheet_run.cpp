#include "printing/sheet_run.h"

#include <algorithm>
#include <cmath>

#include "picture/picture_file.h"
#include "printing/print_texts.h"

namespace velbrook {

Cell_Caption Caption_For_Cell(const Page_Options& options, const Sheet_Paper& paper, const Box& cell) {
    if (!options.print_file_names) return {};
    const Box& page = paper.classic_page;
    const int classic = Caption_Strip_Height(paper.dots_y);
    if (cell == page || page.Empty()) return {classic, Caption_Font_Height(classic)};
    // The side that shrinks most decides, so that a caption never outgrows
    // a narrow cell.
    const double scale = std::min({1.0, double(cell.Width()) / page.Width(), double(cell.Height()) / page.Height()});
    const int least = (6 * paper.dots_y + 36) / 72;
    const int font = std::max(least, static_cast<int>(std::lround(Caption_Font_Height_For(paper.dots_y) * scale)));
    const int strip = font * 3 / 2;
    return {strip, Caption_Font_Height(strip)};
}

Physical_Size Physical_Size_Of(const std::wstring& path, const Sheet_Item& item) {
    std::optional<Physical_Size> size;
    try {
        const File_Handle file = Open_Picture_File(path);
        size = Read_Physical_Size(
            [&](std::uint64_t offset, std::span<std::uint8_t> into) { return Read_File_At(file.get(), offset, into); });
    } catch (const Failure&) {
        // The picture loaded a moment ago; if its file is gone now, it is
        // placed as a picture that gives no size.
    }
    if (size) return *size;
    const SIZE loaded = item.Loaded_Size();
    return {.width = loaded.cx, .height = loaded.cy};
}

Box Actual_Size_Target(const Box& cell, const Physical_Size& size, int orientation_tag, const Page_Options& options,
                       const Sheet_Paper& paper, int strip_height) {
    // Inches of the picture as stored, then turned as it will be drawn.
    double inches_wide = size.width / size.dots_x, inches_high = size.height / size.dots_y;
    if (options.camera_orientation && Swaps_Sides(Valid_Orientation(orientation_tag)))
        std::swap(inches_wide, inches_high);
    const Box room{cell.left, cell.top, cell.right, std::max(cell.top, cell.bottom - strip_height)};
    if (options.turn_to_page && (inches_wide > inches_high) != (room.Width() > room.Height()) &&
        inches_wide != inches_high)
        std::swap(inches_wide, inches_high);
    const auto pixels = [](double inches, int dots) {
        return static_cast<std::int64_t>(std::llround(std::min(inches * dots, 1e15)));
    };
    Box target = Centred_Box(room, pixels(inches_wide, paper.dots_x), pixels(inches_high, paper.dots_y));
    target.bottom += strip_height;
    return target;
}

Sheets_Run Run_Sheets(const Sheet_Loop& loop, const Sheet_Plan& plan) {
    Sheets_Run run;
    const auto cells = static_cast<int>(plan.cells.size());
    if (cells == 0 || loop.last_sheet < loop.first_sheet) return run;
    Print_Host& host = loop.host;
    const Sheet_Paper paper = loop.surface.Paper();
    const int copies = std::clamp(loop.layout.copies, Least_Copies, Most_Copies);
    const bool actual_size = loop.layout.kind == Sheet_Kind::Actual_Size;
    // Every cell has the first one's size, so one request serves them all.
    const Box& first = plan.cells.front();
    const Cell_Caption caption = Caption_For_Cell(loop.options, paper, first);
    Picture_Request request{
        .target = {first.Width(), first.Height()}, .options = loop.options, .caption_height = caption.strip_height};
    const auto drawn_here = [&](int sheet) { return sheet >= loop.first_sheet && sheet <= loop.last_sheet; };
    // A picture loaded to be drawn; one that gives nothing is told to the host.
    const auto load = [&](int index, const std::wstring& path) {
        std::unique_ptr<Sheet_Item> item = loop.surface.Load(path, request);
        if (!item) host.Picture_Skipped(index, loop.surface.Skip_Reason());
        return item;
    };
    const auto expected = [&] {
        const int all = Sheets_For(host.Entry_Count(), copies, cells);
        return std::max(0, std::min(all, loop.last_sheet) - loop.first_sheet + 1);
    };

    int sheet = 0, used = 0;  // sheets begun, drawn or not; cells used on the last
    bool stopped = false;
    // At a sheet's end: Abort, or the last sheet wanted.
    const auto stop_here = [&] { return sheet >= loop.last_sheet || loop.stopping(); };
    for (int index = 0; !stopped; ++index) {
        if (index > host.Entry_Count() - 1) break;
        // Abort takes effect between sheets: a sheet begun is filled.
        if (used == 0 && sheet > 0 && stop_here()) break;
        if (used == 0 && sheet == 0 && loop.stopping()) break;
        const bool drawing = drawn_here(used == 0 ? sheet + 1 : sheet);
        if (drawing) host.Select_Index(index);
        loop.process_messages();
        // The list may have shrunk while the messages were served.
        const std::optional<std::wstring> path = host.Entry(index);
        if (!path) break;
        // A multi-page TIFF gives a cell to every page, in order.
        for (int page = 0; !stopped;) {
            request.page = page;
            const bool loading = drawn_here(used == 0 ? sheet + 1 : sheet);
            std::unique_ptr<Sheet_Item> item = loading ? load(index, *path) : loop.surface.Probe(*path, request);
            if (loading) loop.process_messages();
            if (!item) break;
            const int pages = item->Page_Count();
            bool loaded = loading;
            std::optional<Physical_Size> size;
            for (int copy = 0; copy < copies && !stopped; ++copy) {
                if (used == 0) {
                    ++sheet;
                    if (drawn_here(sheet)) loop.surface.Begin_Sheet(++run.drawn, expected());
                }
                if (drawn_here(sheet)) {
                    // Copies that run on from a sheet only counted.
                    if (!loaded) {
                        item = load(index, *path);
                        loaded = true;
                    }
                    Box target = plan.cells[used];
                    if (item && actual_size) {
                        if (!size) size = Physical_Size_Of(*path, *item);
                        target = Actual_Size_Target(target, *size, item->Orientation_Tag(), loop.options, paper,
                                                    caption.strip_height);
                    }
                    // A picture shrunk below a pixel is not drawn; it keeps its cell.
                    if (item && target.Width() > 0 && target.Height() > (actual_size ? caption.strip_height : 0))
                        loop.surface.Draw(*item, *path, target, caption);
                    if (loop.abandon()) {
                        run.abandoned = true;
                        run.seen = sheet;
                        return run;
                    }
                }
                if (++used == cells) {
                    used = 0;
                    if (drawn_here(sheet)) loop.surface.End_Sheet(run.drawn);
                    stopped = stop_here();
                }
            }
            if (++page >= pages || (used == 0 && sheet > 0 && stop_here())) break;
        }
        if (drawing) loop.entry_done(index);
    }
    if (used > 0 && drawn_here(sheet)) loop.surface.End_Sheet(run.drawn);
    run.seen = sheet;
    return run;
}

int Count_Sheets(Sheet_Loop loop, const Sheet_Plan& plan) {
    loop.first_sheet = std::numeric_limits<int>::max();
    return Run_Sheets(loop, plan).seen;
}

}  // namespace velbrook

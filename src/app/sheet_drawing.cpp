#include "app/sheet_drawing.h"

#include <algorithm>

#include "picture/file_type.h"
#include "picture/picture.h"
#include "toolkit/application.h"
#include "toolkit/handles.h"

namespace velbrook {

namespace {

// The PDF save's margin round its classic page, in tenths of a millimetre.
constexpr int Pdf_Classic_Margin = 50;
// Room left round the paper inside the control.
constexpr int Paper_Inset = 4;

Box Paper_Box(const Sheet_Paper& paper) { return {0, 0, paper.paper_width, paper.paper_height}; }

}  // namespace

Sheet_Paper Pdf_Sheet_Paper(int width_tenths, int height_tenths, int dots) {
    Sheet_Paper paper;
    paper.paper_width = static_cast<std::int32_t>(Pixels_Of_Tenths(width_tenths, dots));
    paper.paper_height = static_cast<std::int32_t>(Pixels_Of_Tenths(height_tenths, dots));
    paper.printable_width = paper.paper_width;
    paper.printable_height = paper.paper_height;
    paper.dots_x = paper.dots_y = dots;
    const auto margin = static_cast<std::int32_t>(Pixels_Of_Tenths(Pdf_Classic_Margin, dots));
    paper.classic_page = {margin, margin, paper.paper_width - margin, paper.paper_height - margin};
    if (paper.classic_page.Empty()) paper.classic_page = Paper_Box(paper);
    return paper;
}

Sheet_Drawing::Sheet_Drawing(Container* parent, std::wstring name, Bounds bounds, Sheet_Drawing_Source source)
    : Graphic_Control(parent, std::move(name), bounds), source_(std::move(source)) {}

std::vector<RECT> Sheet_Drawing::Cell_Places() const {
    std::vector<RECT> places;
    for (const Cell& cell : cells_) places.push_back(cell.place);
    return places;
}

void Sheet_Drawing::Forget_Pictures() {
    previews_.clear();
    for (Cell& cell : cells_) cell.picture.reset();
}

std::shared_ptr<const Drawable> Sheet_Drawing::Preview(const std::wstring& path, SIZE size,
                                                       const Page_Options& options) {
    const auto key = std::make_tuple(path, static_cast<int>(size.cx), static_cast<int>(size.cy));
    if (auto found = previews_.find(key); found != previews_.end()) return found->second;
    std::shared_ptr<const Drawable> preview;
    // A file the print run would skip takes no cell here either; one too
    // large to load is left out of the drawing, and the run says why.
    Guarded([&] { Skipping_Unloadable(path, [&] { preview = source_.load_picture(path, size, options); }); },
            On_Failure{[](std::exception_ptr) {}});
    previews_.emplace(key, preview);
    return preview;
}

void Sheet_Drawing::Show(const Sheet_Layout& layout, const Named_Size& paper) {
    const int wide = layout.pdf_landscape ? paper.height : paper.width;
    const int high = layout.pdf_landscape ? paper.width : paper.height;
    cells_.clear();
    paper_ = {};
    Invalidate();
    const std::int64_t room_x = Width() - 2 * Paper_Inset, room_y = Height() - 2 * Paper_Inset;
    if (wide <= 0 || high <= 0 || room_x <= 0 || room_y <= 0) return;
    // The most whole pixels to the inch at which the paper still fits.
    const auto dots = static_cast<int>(std::min(room_x * 254 / wide, room_y * 254 / high));
    const Sheet_Paper sheet = Pdf_Sheet_Paper(wide, high, dots);
    if (!Paper_Is_Sane(sheet)) return;
    const int left = (Width() - sheet.paper_width) / 2, top = (Height() - sheet.paper_height) / 2;
    paper_ = {left, top, left + sheet.paper_width, top + sheet.paper_height};

    const Page_Options options = source_.page_options ? source_.page_options() : Page_Options{};
    if (options != previews_options_) {
        previews_.clear();
        previews_options_ = options;
    }
    const Sheet_Plan plan = Plan_Sheet(sheet, layout);
    for (const Box& box : plan.cells)
        cells_.push_back({.place = {left + box.left, top + box.top, left + box.right, top + box.bottom}});
    // As the print run fills them: each picture that loads takes `copies`
    // cells in a row, one that does not takes none.
    std::size_t next = 0;
    for (int index = 0; next < cells_.size(); ++index) {
        const std::optional<std::wstring> path = source_.entry ? source_.entry(index) : std::nullopt;
        if (!path) break;
        const RECT& place = cells_[next].place;
        std::shared_ptr<const Drawable> preview =
            Preview(*path, {place.right - place.left, place.bottom - place.top}, options);
        if (!preview) continue;
        // What the page would not draw (an icon, say) leaves its cell blank.
        if (Drawing_For(*path, options.more_types) == Page_Drawing::Nothing) preview.reset();
        for (int copy = 0; copy < std::max(1, layout.copies) && next < cells_.size(); ++copy, ++next) {
            cells_[next].picture = preview;
            cells_[next].filled = true;
        }
    }
}

void Sheet_Drawing::Paint(HDC dc, const RECT& area) {
    if (::IsRectEmpty(&paper_)) return;
    const auto placed = [&](const RECT& r) {
        return RECT{area.left + r.left, area.top + r.top, area.left + r.right, area.top + r.bottom};
    };
    const RECT paper = placed(paper_);
    ::FillRect(dc, &paper, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    Brush_Handle empty(::CreateSolidBrush(Empty_Cell_Colour));
    Brush_Handle empty_frame(::CreateSolidBrush(Empty_Cell_Frame));
    for (const Cell& cell : cells_) {
        const RECT place = placed(cell.place);
        if (cell.picture) {
            Dc_State_Guard state(dc);
            ::IntersectClipRect(dc, place.left, place.top, place.right, place.bottom);
            cell.picture->Draw(dc, place);
        } else if (!cell.filled) {
            ::FillRect(dc, &place, empty.get());
            ::FrameRect(dc, &place, empty_frame.get());
        }
    }
    ::FrameRect(dc, &paper, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

}  // namespace velbrook

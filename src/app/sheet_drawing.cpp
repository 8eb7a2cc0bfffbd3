#include "app/sheet_drawing.h"

#include <algorithm>

#include "picture/file_type.h"
#include "pdf/save_pdf_rules.h"
#include "picture/picture.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/handles.h"

namespace velbrook {

namespace {

// Room left round the paper inside the control.
constexpr int Paper_Inset = 4;

}  // namespace

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
    cells_.clear();
    paper_ = {};
    Invalidate();
    Sheet_Layout on_paper = layout;
    on_paper.pdf_paper = std::wstring(paper.name);
    const Sheet_Paper sheet = Pdf_Sheet_Paper(Paper_For_Layout(on_paper, 0));
    const int inset = Dpi_Scaled(Paper_Inset, Dpi());
    const std::int64_t room_x = Width() - 2 * inset, room_y = Height() - 2 * inset;
    if (!Paper_Is_Sane(sheet) || room_x <= 0 || room_y <= 0) return;
    // The sheet's dots scaled down by one ratio both ways, so
    // that the paper keeps its proportions and fits the room.
    const std::int64_t across = std::max<std::int64_t>(sheet.paper_width, sheet.paper_height * room_x / room_y);
    const auto scaled = [&](std::int64_t dots) { return static_cast<LONG>(dots * room_x / across); };
    const LONG wide = scaled(sheet.paper_width), high = scaled(sheet.paper_height);
    const LONG left = (Width() - wide) / 2, top = (Height() - high) / 2;
    paper_ = {left, top, left + wide, top + high};

    const Page_Options options = source_.page_options ? source_.page_options() : Page_Options{};
    if (options != previews_options_) {
        previews_.clear();
        previews_options_ = options;
    }
    const Sheet_Plan plan = Plan_Sheet(sheet, layout);
    for (const Box& box : plan.cells)
        cells_.push_back({.place = {left + scaled(box.left), top + scaled(box.top), left + scaled(box.right),
                                    top + scaled(box.bottom)}});
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

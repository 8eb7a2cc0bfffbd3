#pragma once
// The small drawing of the Page Layout dialog: the first sheet of a layout on
// its PDF paper, with the list's first pictures in their cells, as the print
// run fills them.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "picture_list/list_window.h"
#include "printing/sheet_plan.h"
#include "toolkit/component.h"

namespace velbrook {

// What the drawing shows and where it takes it from.
struct Sheet_Drawing_Source {
    // Entry `index` of the picture list, or nothing past its end.
    std::function<std::optional<std::wstring>(int index)> entry;
    std::function<Page_Options()> page_options;
    Picture_Loader load_picture;
};

inline constexpr COLORREF Empty_Cell_Colour = RGB(0xDC, 0xDC, 0xDC);
inline constexpr COLORREF Empty_Cell_Frame = RGB(0xA0, 0xA0, 0xA0);

class Sheet_Drawing : public Graphic_Control {
public:
    Sheet_Drawing(Container* parent, std::wstring name, Bounds bounds, Sheet_Drawing_Source source);

    // Plans the first sheet of `layout` on `paper` (portrait; turned when the
    // layout asks for landscape) as the PDF save plans it, scales it into
    // the control, and loads what its cells show.
    void Show(const Sheet_Layout& layout, const Named_Size& paper);
    // Lets every loaded picture go; the next Show loads them again.
    void Forget_Pictures();

    // Where the paper and each cell are drawn, in the control's own pixels.
    RECT Paper_Place() const { return paper_; }
    std::vector<RECT> Cell_Places() const;

    void Paint(HDC dc, const RECT& area) override;

private:
    struct Cell {
        RECT place{};
        std::shared_ptr<const Drawable> picture;  // null: nothing drawn in it
        bool filled = false;                      // false: the list ran out before it
    };
    // The preview of `path` for a cell of `size`; null when it does not load.
    std::shared_ptr<const Drawable> Preview(const std::wstring& path, SIZE size, const Page_Options& options);

    Sheet_Drawing_Source source_;
    RECT paper_{};
    std::vector<Cell> cells_;
    // Loaded once for each file and cell size, so that typing in the dialog
    // decodes nothing again; a file that does not load is remembered as null.
    std::map<std::tuple<std::wstring, int, int>, std::shared_ptr<const Drawable>> previews_;
    Page_Options previews_options_;
};

}  // namespace velbrook

#pragma once
// The arithmetic of the layout table: the main window's design geometry,
// recorded once as lines of text, and the proportional scaling of every
// control from it at each resize.  Scaling always starts from the design
// values, so that repeated resizes do not accumulate error.

#include <optional>
#include <string>
#include <string_view>

namespace velbrook {

// Line 0: "569 379 W/H Mainform1" for a design client area of 569 by 379.
std::wstring Layout_Header_Line(int design_w, int design_h);

// A visual control: left, width, top, height, font points and name,
// separated by single spaces.
std::wstring Layout_Control_Line(int left, int width, int top, int height, int font_points, std::wstring_view name);

// Any other component (menu, menu item, dialog) holds its place with this.
inline constexpr wchar_t Layout_Non_Visual_Line[] = L"0";

struct Scale_Factors {
    double sx = 1.0;  // horizontal
    double sy = 1.0;  // vertical
    double sf = 1.0;  // fonts: the tighter of the two
};

// sx = client width / design width, sy = client height / design height,
// sf = sx when sy is not less than sx, else sy.  A design size of 0 or less
// (which the window never records) gives a factor of 1 rather than infinity.
// The design is in pixels of a 96-dpi screen and the client in pixels of
// one of `dpi`, so positions and sizes follow the resolution through sx and
// sy; fonts, whose points the system makes larger at more dpi by itself,
// take sf times 96 / dpi.
Scale_Factors Compute_Scale_Factors(int client_w, int client_h, int design_w, int design_h, int dpi = 96);

// The same, with the design size read from the table's header line.
Scale_Factors Compute_Scale_Factors(std::wstring_view header_line, int client_w, int client_h, int dpi = 96);

struct Scaled_Geometry {
    int left = 0;
    int width = 0;
    int top = 0;
    int height = 0;
    int font_points = 0;
};

// The control's geometry at the present size: each design value times its
// factor, cut toward zero (12.9 gives 12).  Lines of one character or less
// (non-visual components) give nothing.
std::optional<Scaled_Geometry> Scale_Layout_Line(std::wstring_view line, const Scale_Factors& factors);

}  // namespace velbrook

#include "app/layout_table.h"

#include <climits>
#include <cmath>

#include "shell/text_utils.h"

namespace velbrook {
namespace {

constexpr int Design_Dpi = 96;

double Factor(int present, int design) { return design > 0 ? static_cast<double>(present) / design : 1.0; }

// Cut toward zero, kept inside the int range so that a huge window cannot
// make the conversion undefined.
int Scaled(int design_value, double factor) {
    const double value = std::trunc(design_value * factor);
    if (!(value > INT_MIN)) return INT_MIN;  // also catches NaN
    if (value >= INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

}  // namespace

std::wstring Layout_Header_Line(int design_w, int design_h) {
    return std::to_wstring(design_w) + L" " + std::to_wstring(design_h) + L" W/H Mainform1";
}

std::wstring Layout_Control_Line(int left, int width, int top, int height, int font_points, std::wstring_view name) {
    std::wstring line;
    for (int value : {left, width, top, height, font_points}) {
        line += std::to_wstring(value);
        line += L' ';
    }
    line += name;
    return line;
}

Scale_Factors Compute_Scale_Factors(int client_w, int client_h, int design_w, int design_h, int dpi) {
    Scale_Factors factors;
    factors.sy = Factor(client_h, design_h);
    factors.sx = Factor(client_w, design_w);
    factors.sf = factors.sy >= factors.sx ? factors.sx : factors.sy;
    // At 96 dpi the factor stays exactly as it is.
    if (dpi > 0 && dpi != Design_Dpi) factors.sf = factors.sf * Design_Dpi / dpi;
    return factors;
}

Scale_Factors Compute_Scale_Factors(std::wstring_view header_line, int client_w, int client_h, int dpi) {
    return Compute_Scale_Factors(client_w, client_h, Field_As_Integer(header_line, L" ", 1),
                                 Field_As_Integer(header_line, L" ", 2), dpi);
}

std::optional<Scaled_Geometry> Scale_Layout_Line(std::wstring_view line, const Scale_Factors& factors) {
    if (line.size() <= 1) return std::nullopt;
    auto field = [&](int n) { return Field_As_Integer(line, L" ", n); };
    Scaled_Geometry geometry;
    geometry.left = Scaled(field(1), factors.sx);
    geometry.width = Scaled(field(2), factors.sx);
    geometry.top = Scaled(field(3), factors.sy);
    geometry.height = Scaled(field(4), factors.sy);
    geometry.font_points = Scaled(field(5), factors.sf);
    return geometry;
}

}  // namespace velbrook

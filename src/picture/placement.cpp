#include "picture/placement.h"

#include <algorithm>
#include <array>

namespace velbrook {
namespace {

// Each orientation as the matrix that takes a step in the oriented picture to
// a step in the stored one: (stored dx, stored dy) = (a*dx + b*dy, c*dx + d*dy).
struct Matrix {
    int a, b, c, d;
    bool operator==(const Matrix&) const = default;
};
constexpr std::array<Matrix, 9> matrices = {{
    {1, 0, 0, 1},    // unused: 0 counts as 1
    {1, 0, 0, 1},    // 1 as stored
    {-1, 0, 0, 1},   // 2 mirrored left-right
    {-1, 0, 0, -1},  // 3 half turn
    {1, 0, 0, -1},   // 4 mirrored top-bottom
    {0, 1, 1, 0},    // 5 transposed
    {0, 1, -1, 0},   // 6 quarter turn clockwise
    {0, -1, -1, 0},  // 7 transverse
    {0, -1, 1, 0},   // 8 quarter turn counter-clockwise
}};

Matrix Times(const Matrix& m, const Matrix& n) {
    return {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d, m.c * n.a + m.d * n.c, m.c * n.b + m.d * n.d};
}

// Every division of the placement rounds to the nearest pixel, halves up:
// round(n / d) = floor((2n + d) / 2d) for n >= 0, d > 0, in 64 bits, so that
// products of two 32-bit sizes never overflow.  Centring offsets are cut
// toward zero, so that an odd spare pixel goes to the right or the bottom.
std::int64_t Round_Div(std::int64_t numerator, std::int64_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}
std::int64_t Ceil_Div(std::int64_t numerator, std::int64_t denominator) {
    return (numerator + denominator - 1) / denominator;
}

}  // namespace

int Valid_Orientation(int orientation) { return orientation >= 1 && orientation <= 8 ? orientation : 1; }

bool Swaps_Sides(int orientation) { return Valid_Orientation(orientation) >= 5; }

int Compose_Orientations(int first, int then) {
    // A stored step is first's matrix applied to an intermediate step, which
    // is then's matrix applied to an oriented step.
    const Matrix product = Times(matrices[Valid_Orientation(first)], matrices[Valid_Orientation(then)]);
    for (int o = 1; o <= 8; ++o)
        if (matrices[o] == product) return o;
    return 1;
}

Pixel_Map Map_Oriented_To_Stored(int orientation, std::int32_t stored_width, std::int32_t stored_height) {
    const Matrix& m = matrices[Valid_Orientation(orientation)];
    // The oriented picture's first pixel is the stored corner that the
    // matrix's negative steps start from.
    const std::int32_t origin_x = (m.a < 0 || m.b < 0) ? stored_width - 1 : 0;
    const std::int32_t origin_y = (m.c < 0 || m.d < 0) ? stored_height - 1 : 0;
    return {origin_x, origin_y, m.a, m.b, m.c, m.d};
}

Placement Place_Picture(std::int32_t stored_width, std::int32_t stored_height, int exif_orientation,
                        const Page_Options& options, const Box& target, std::int32_t caption_height) {
    Placement placement;
    placement.orientation = options.camera_orientation ? Valid_Orientation(exif_orientation) : 1;
    placement.picture_area = target;
    if (options.print_file_names && !target.Empty()) {
        const std::int32_t strip = std::clamp<std::int32_t>(caption_height, 0, target.Height());
        placement.caption = {target.left, target.bottom - strip, target.right, target.bottom};
        placement.picture_area.bottom = placement.caption.top;
    }
    const Box& area = placement.picture_area;
    if (stored_width <= 0 || stored_height <= 0 || area.Empty()) return placement;

    std::int64_t w = Swaps_Sides(placement.orientation) ? stored_height : stored_width;
    std::int64_t h = Swaps_Sides(placement.orientation) ? stored_width : stored_height;
    const std::int64_t area_w = area.Width(), area_h = area.Height();
    if (options.turn_to_page && w != h && area_w != area_h && (w > h) != (area_w > area_h)) {
        placement.orientation = Compose_Orientations(placement.orientation, Quarter_Turn_Counter_Clockwise);
        std::swap(w, h);
    }
    placement.source = {0, 0, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)};
    placement.destination = area;

    switch (options.fit) {
        case Fit_Mode::Stretch:
            break;
        case Fit_Mode::Fit: {
            // The side that fills its extent decides; the other keeps the
            // picture's proportions, at least one pixel.
            std::int64_t fit_w = area_w, fit_h = area_h;
            if (area_w * h <= area_h * w)
                fit_h = std::max<std::int64_t>(1, Round_Div(area_w * h, w));
            else
                fit_w = std::max<std::int64_t>(1, Round_Div(area_h * w, h));
            placement.destination.left = area.left + static_cast<std::int32_t>((area_w - fit_w) / 2);
            placement.destination.top = area.top + static_cast<std::int32_t>((area_h - fit_h) / 2);
            placement.destination.right = placement.destination.left + static_cast<std::int32_t>(fit_w);
            placement.destination.bottom = placement.destination.top + static_cast<std::int32_t>(fit_h);
            break;
        }
        case Fit_Mode::Fill: {
            // The part of the picture with the area's proportions, centred;
            // the overflow is cut evenly from both sides.
            std::int64_t part_w = w, part_h = h;
            if (area_w * h >= area_h * w)
                part_h = std::clamp<std::int64_t>(Round_Div(w * area_h, area_w), 1, h);
            else
                part_w = std::clamp<std::int64_t>(Round_Div(h * area_w, area_h), 1, w);
            placement.source.left = static_cast<std::int32_t>((w - part_w) / 2);
            placement.source.top = static_cast<std::int32_t>((h - part_h) / 2);
            placement.source.right = placement.source.left + static_cast<std::int32_t>(part_w);
            placement.source.bottom = placement.source.top + static_cast<std::int32_t>(part_h);
            break;
        }
    }
    return placement;
}

Cover_Size Decode_Cover(std::int32_t stored_width, std::int32_t stored_height, const Placement& placement) {
    const Box& d = placement.destination;
    const Box& s = placement.source;
    if (d.Empty() || s.Empty() || stored_width <= 0 || stored_height <= 0) return {};
    const bool swapped = Swaps_Sides(placement.orientation);
    const std::int64_t w = swapped ? stored_height : stored_width;
    const std::int64_t h = swapped ? stored_width : stored_height;
    const std::int64_t cover_w = std::clamp<std::int64_t>(Ceil_Div(w * d.Width(), s.Width()), 1, w);
    const std::int64_t cover_h = std::clamp<std::int64_t>(Ceil_Div(h * d.Height(), s.Height()), 1, h);
    if (swapped) return {static_cast<std::int32_t>(cover_h), static_cast<std::int32_t>(cover_w)};
    return {static_cast<std::int32_t>(cover_w), static_cast<std::int32_t>(cover_h)};
}

}  // namespace velbrook

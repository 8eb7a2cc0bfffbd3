#include "picture/band_plan.h"

#include <algorithm>

namespace velbrook {

std::int32_t Band_Rows_For(std::int32_t stored_width, std::int32_t stored_height) {
    const std::int64_t rows = Band_Bytes / (4 * std::max<std::int64_t>(1, stored_width));
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(rows, 1, std::max<std::int32_t>(1, stored_height)));
}

std::int32_t Slice_Edge(std::int64_t c, std::int64_t from, std::int64_t to, std::int64_t start, std::int64_t end) {
    const std::int64_t span = to - from, length = end - start;
    return static_cast<std::int32_t>(start + (2 * (c - from) * length + span) / (2 * span));
}

std::vector<Band_Slice> Plan_Bands(std::int32_t stored_width, std::int32_t stored_height, const Placement& placement,
                                   std::int32_t band_rows) {
    std::vector<Band_Slice> bands;
    const Box& source = placement.source;
    const Box& destination = placement.destination;
    if (stored_width <= 0 || stored_height <= 0 || band_rows <= 0 || source.Empty() || destination.Empty())
        return bands;
    const bool swapped = Swaps_Sides(placement.orientation);
    const std::int64_t oriented_w = swapped ? stored_height : stored_width;
    const std::int64_t oriented_h = swapped ? stored_width : stored_height;
    const Pixel_Map map = Map_Oriented_To_Stored(placement.orientation, stored_width, stored_height);
    // Stored rows run along the oriented picture's columns when the sides
    // swap, and from its far edge when the orientation steps them backwards.
    const bool from_end = swapped ? (map.y_dx < 0) : (map.y_dy < 0);
    for (std::int64_t y0 = 0; y0 < stored_height; y0 += band_rows) {
        const std::int64_t y1 = std::min<std::int64_t>(stored_height, y0 + band_rows);
        const std::int64_t lo = from_end ? stored_height - y1 : y0, hi = from_end ? stored_height - y0 : y1;
        Box band{0, 0, static_cast<std::int32_t>(oriented_w), static_cast<std::int32_t>(oriented_h)};
        if (swapped)
            band.left = static_cast<std::int32_t>(lo), band.right = static_cast<std::int32_t>(hi);
        else
            band.top = static_cast<std::int32_t>(lo), band.bottom = static_cast<std::int32_t>(hi);
        const Box part{std::max(band.left, source.left), std::max(band.top, source.top),
                       std::min(band.right, source.right), std::min(band.bottom, source.bottom)};
        if (part.Empty()) continue;
        const Box slice{Slice_Edge(part.left, source.left, source.right, destination.left, destination.right),
                        Slice_Edge(part.top, source.top, source.bottom, destination.top, destination.bottom),
                        Slice_Edge(part.right, source.left, source.right, destination.left, destination.right),
                        Slice_Edge(part.bottom, source.top, source.bottom, destination.top, destination.bottom)};
        if (slice.Empty()) continue;
        bands.push_back({static_cast<std::int32_t>(y0), static_cast<std::int32_t>(y1 - y0), part, slice});
    }
    return bands;
}

}  // namespace velbrook

#include "gif/gif_layout.h"

#include <algorithm>
#include <cmath>

namespace velbrook {

bool Is_Stretched_Draw(const Gif_Display_Options& options, const Gif_Sizes& sizes) {
    if (!options.stretch && !options.stretch_ratio) return false;
    if (sizes.width == sizes.logical_width && sizes.height == sizes.logical_height) return false;
    const bool fits = sizes.width >= sizes.logical_width && sizes.height >= sizes.logical_height;
    return !(options.stretch_big_only && fits);
}

namespace {

// Nearest integer, halves to the even neighbour; false when the value is not
// a number that fits.
bool Round_Half_Even(float value, int& result) {
    if (!std::isfinite(value) || std::fabs(value) > 2.0e9f) return false;
    result = static_cast<int>(std::nearbyint(value));
    return true;
}

Gif_Rect Ratio_Rect(const Gif_Sizes& sizes) {
    const Gif_Rect client{0, 0, sizes.width, sizes.height};
    const float width = static_cast<float>(sizes.width);
    const float height = static_cast<float>(sizes.height);
    const float fx = width / static_cast<float>(sizes.logical_width);
    const float fy = height / static_cast<float>(sizes.logical_height);
    Gif_Rect rect = client;
    if (fx > fy) {
        const float scaled = static_cast<float>(sizes.logical_width) * fy;
        const float margin = (width - scaled) / 2.0f;
        const float right = width - margin;
        if (!Round_Half_Even(margin, rect.left) || !Round_Half_Even(right, rect.right)) return client;
    } else {
        const float scaled = static_cast<float>(sizes.logical_height) * fx;
        const float margin = (height - scaled) / 2.0f;
        const float bottom = height - margin;
        if (!Round_Half_Even(margin, rect.top) || !Round_Half_Even(bottom, rect.bottom)) return client;
    }
    return rect;
}

}  // namespace

Gif_Rect Picture_Rect(const Gif_Display_Options& options, bool stretched_draw, const Gif_Sizes& sizes) {
    if (sizes.logical_width <= 0 || sizes.logical_height <= 0) return {};
    const Gif_Rect client{0, 0, sizes.width, sizes.height};
    if (stretched_draw) {
        if (options.stretch_ratio && !options.stretch) return Ratio_Rect(sizes);
        return client;
    }
    if (options.tile) return client;
    if (options.center) {
        // Truncating division: a picture bigger than the control gets negative offsets.
        const int left = (sizes.width - sizes.logical_width) / 2;
        const int top = (sizes.height - sizes.logical_height) / 2;
        return {left, top, left + sizes.logical_width, top + sizes.logical_height};
    }
    return {0, 0, sizes.logical_width, sizes.logical_height};
}

std::vector<Gif_Rect> Paint_Rects(const Gif_Display_Options& options, bool stretched_draw, const Gif_Sizes& sizes) {
    if (sizes.logical_width <= 0 || sizes.logical_height <= 0) return {};
    if (stretched_draw || !options.tile) return {Picture_Rect(options, stretched_draw, sizes)};
    std::vector<Gif_Rect> tiles;
    const int rows = std::max(sizes.height, 0) / sizes.logical_height;
    const int columns = std::max(sizes.width, 0) / sizes.logical_width;
    tiles.reserve(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(columns + 1));
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const int left = c * sizes.logical_width;
            const int top = r * sizes.logical_height;
            tiles.push_back({left, top, left + sizes.logical_width, top + sizes.logical_height});
        }
    }
    return tiles;
}

Gif_Rect Intersect(const Gif_Rect& a, const Gif_Rect& b) {
    const Gif_Rect overlap{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                           std::min(a.bottom, b.bottom)};
    if (overlap.left >= overlap.right || overlap.top >= overlap.bottom) return {};
    return overlap;
}

}  // namespace velbrook

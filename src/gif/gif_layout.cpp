#include "gif/gif_layout.h"

#include <algorithm>
#include <cmath>

namespace velbrook {

bool Is_Stretched_Draw(const TGIFDisplayOptions& options, const TGIFSizes& sizes) {
    if (!options.Stretch && !options.StretchRatio) return false;
    if (sizes.Width == sizes.LogicalWidth && sizes.Height == sizes.LogicalHeight) return false;
    const bool fits = sizes.Width >= sizes.LogicalWidth && sizes.Height >= sizes.LogicalHeight;
    return !(options.StretchBigOnly && fits);
}

namespace {

// Nearest integer, halves to the even neighbour; false when the value is not
// a number that fits.
bool Round_Half_Even(float value, int& result) {
    if (!std::isfinite(value) || std::fabs(value) > 2.0e9f) return false;
    result = static_cast<int>(std::nearbyint(value));
    return true;
}

TGIFRect Ratio_Rect(const TGIFSizes& sizes) {
    const TGIFRect client{0, 0, sizes.Width, sizes.Height};
    const float width = static_cast<float>(sizes.Width);
    const float height = static_cast<float>(sizes.Height);
    const float fx = width / static_cast<float>(sizes.LogicalWidth);
    const float fy = height / static_cast<float>(sizes.LogicalHeight);
    TGIFRect rect = client;
    if (fx > fy) {
        const float scaled = static_cast<float>(sizes.LogicalWidth) * fy;
        const float margin = (width - scaled) / 2.0f;
        const float right = width - margin;
        if (!Round_Half_Even(margin, rect.Left) || !Round_Half_Even(right, rect.Right)) return client;
    } else {
        const float scaled = static_cast<float>(sizes.LogicalHeight) * fx;
        const float margin = (height - scaled) / 2.0f;
        const float bottom = height - margin;
        if (!Round_Half_Even(margin, rect.Top) || !Round_Half_Even(bottom, rect.Bottom)) return client;
    }
    return rect;
}

}  // namespace

TGIFRect Picture_Rect(const TGIFDisplayOptions& options, bool stretched_draw, const TGIFSizes& sizes) {
    if (sizes.LogicalWidth <= 0 || sizes.LogicalHeight <= 0) return {};
    const TGIFRect client{0, 0, sizes.Width, sizes.Height};
    if (stretched_draw) {
        if (options.StretchRatio && !options.Stretch) return Ratio_Rect(sizes);
        return client;
    }
    if (options.Tile) return client;
    if (options.Center) {
        // Truncating division: a picture bigger than the control gets negative offsets.
        const int left = (sizes.Width - sizes.LogicalWidth) / 2;
        const int top = (sizes.Height - sizes.LogicalHeight) / 2;
        return {left, top, left + sizes.LogicalWidth, top + sizes.LogicalHeight};
    }
    return {0, 0, sizes.LogicalWidth, sizes.LogicalHeight};
}

std::vector<TGIFRect> Paint_Rects(const TGIFDisplayOptions& options, bool stretched_draw, const TGIFSizes& sizes) {
    if (sizes.LogicalWidth <= 0 || sizes.LogicalHeight <= 0) return {};
    if (stretched_draw || !options.Tile) return {Picture_Rect(options, stretched_draw, sizes)};
    std::vector<TGIFRect> tiles;
    const int rows = std::max(sizes.Height, 0) / sizes.LogicalHeight;
    const int columns = std::max(sizes.Width, 0) / sizes.LogicalWidth;
    tiles.reserve(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(columns + 1));
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const int left = c * sizes.LogicalWidth;
            const int top = r * sizes.LogicalHeight;
            tiles.push_back({left, top, left + sizes.LogicalWidth, top + sizes.LogicalHeight});
        }
    }
    return tiles;
}

TGIFRect Intersect(const TGIFRect& a, const TGIFRect& b) {
    const TGIFRect overlap{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                           std::min(a.Bottom, b.Bottom)};
    if (overlap.Left >= overlap.Right || overlap.Top >= overlap.Bottom) return {};
    return overlap;
}

}  // namespace velbrook

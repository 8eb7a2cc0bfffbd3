// Where the GIF control draws its picture: the rectangle for every mix of
// Stretch, StretchRatio, StretchBigOnly, Center and Tile, and the tiles.
// Portable arithmetic; the control turns the results into GDI calls.
#pragma once

#include <vector>

namespace velbrook {

struct Gif_Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Gif_Rect&, const Gif_Rect&) = default;
};

struct Gif_Display_Options {
    bool stretch = false;
    bool stretch_ratio = false;
    bool stretch_big_only = false;
    bool center = false;
    bool tile = false;
};

// The control's size W x H and the picture's LW x LH.
struct Gif_Sizes {
    int width = 0;
    int height = 0;
    int logical_width = 0;
    int logical_height = 0;
};

// The picture is drawn scaled: a stretch is asked for, the sizes differ, and
// StretchBigOnly does not hold it back (it only ever scales down a picture
// that does not fit in one of the two directions).
bool Is_Stretched_Draw(const Gif_Display_Options& options, const Gif_Sizes& sizes);

// Where the picture goes, in client coordinates.  Empty for an empty picture.
Gif_Rect Picture_Rect(const Gif_Display_Options& options, bool stretched_draw, const Gif_Sizes& sizes);

// The rectangles the composition is drawn into: the picture rectangle, or,
// when tiled and not stretched, the tiles of rows 0 to H div LH and columns
// 0 to W div LW, both inclusive (rows outer), the last ones clipped by the
// surface; when a size divides exactly, the last row or column lies wholly
// outside the control.
std::vector<Gif_Rect> Paint_Rects(const Gif_Display_Options& options, bool stretched_draw, const Gif_Sizes& sizes);

// The intersection, empty (all zero) when they do not meet.
Gif_Rect Intersect(const Gif_Rect& a, const Gif_Rect& b);

}  // namespace velbrook

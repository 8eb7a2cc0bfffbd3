// Where the GIF control draws its picture: the rectangle for every mix of
// Stretch, StretchRatio, StretchBigOnly, Center and Tile, and the tiles.
// Portable arithmetic; the control turns the results into GDI calls.
#pragma once

#include <vector>

namespace velbrook {

struct TGIFRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TGIFRect&, const TGIFRect&) = default;
};

struct TGIFDisplayOptions {
    bool Stretch = false;
    bool StretchRatio = false;
    bool StretchBigOnly = false;
    bool Center = false;
    bool Tile = false;
};

// The control's size W x H and the picture's LW x LH.
struct TGIFSizes {
    int Width = 0;
    int Height = 0;
    int LogicalWidth = 0;
    int LogicalHeight = 0;
};

// The picture is drawn scaled: a stretch is asked for, the sizes differ, and
// StretchBigOnly does not hold it back (it only ever scales down a picture
// that does not fit in one of the two directions).
bool Is_Stretched_Draw(const TGIFDisplayOptions& options, const TGIFSizes& sizes);

// Where the picture goes, in client coordinates.  Empty for an empty picture.
TGIFRect Picture_Rect(const TGIFDisplayOptions& options, bool stretched_draw, const TGIFSizes& sizes);

// The rectangles the composition is drawn into: the picture rectangle, or,
// when tiled and not stretched, the tiles of rows 0 to H div LH and columns
// 0 to W div LW, both inclusive (rows outer), the last ones clipped by the
// surface; when a size divides exactly, the last row or column lies wholly
// outside the control.
std::vector<TGIFRect> Paint_Rects(const TGIFDisplayOptions& options, bool stretched_draw, const TGIFSizes& sizes);

// The intersection, empty (all zero) when they do not meet.
TGIFRect Intersect(const TGIFRect& a, const TGIFRect& b);

}  // namespace velbrook

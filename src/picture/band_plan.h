#pragma once
// The bands a placed picture is drawn in.  A picture is read a band of stored
// rows at a time; each band is a band of rows of the oriented picture, or of
// columns when a quarter turn swaps its sides, and is stretched into its own
// slice of the destination.  The slices are cut from the whole destination
// by one formula, so that they tile it with no gap and no overlap at any
// scale.  Portable, so that the host tests check the tiling.

#include <cstdint>
#include <vector>

#include "picture/placement.h"

namespace velbrook {

// A band is at most this many bytes of 32-bit pixels, as read or as turned.
inline constexpr std::int64_t Band_Bytes = 4 << 20;

// The stored rows a band holds: as many as Band_Bytes allows for rows of
// `stored_width` pixels, at least one, at most the picture.
std::int32_t Band_Rows_For(std::int32_t stored_width, std::int32_t stored_height);

struct Band_Slice {
    std::int32_t first_row = 0, row_count = 0;  // stored rows [first_row, first_row + row_count)
    Box part;                                   // the visible part of the oriented picture that these rows give
    Box slice;                                  // where that part goes on the device
};

// The device edge of oriented coordinate `c` of the visible span [from, to)
// placed on [start, end): the nearest pixel, halves rounded up, in 64 bits.
std::int32_t Slice_Edge(std::int64_t c, std::int64_t from, std::int64_t to, std::int64_t start, std::int64_t end);

// Bands of `band_rows` stored rows (the last may be shorter) of a picture of
// stored_width x stored_height pixels placed as `placement` says, in the
// order the rows are stored; a band that shows nothing, or whose slice
// rounds to nothing, is left out.  Empty when nothing is drawn.
std::vector<Band_Slice> Plan_Bands(std::int32_t stored_width, std::int32_t stored_height, const Placement& placement,
                                   std::int32_t band_rows);

}  // namespace velbrook

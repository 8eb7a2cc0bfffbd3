#pragma once
// Inside the records of enhanced and Windows metafiles.  The system's players
// trust the offsets, sizes and counts that a record gives for what it
// carries: a bitmap record whose bits lie past its end, or a polyline that
// counts more points than it holds, makes them read outside the record.
// Portable, so that the checks are fuzzed and tested natively.

#include <cstdint>
#include <span>

namespace velbrook {

// The largest frame side a metafile may claim, in 0.01 mm: 10 metres, many
// times any poster.  The frame gives the picture's size and the player's
// scale; a frame of kilometres is a picture too fine to see on any page,
// and one from INT_MIN to INT_MAX has a width no 32-bit integer holds.
inline constexpr std::int64_t Max_Metafile_Frame = 1'000'000;

// Checks what one enhanced metafile record (its bytes, from its type on)
// carries: the bitmaps of the blits and DIB records lie wholly inside it
// and hold the rows and colours their BITMAPINFOHEADER says; the points of
// polylines, polygons, Bezier curves and the characters and spacing of
// ExtTextOut are inside it as their counts say.  Throws Invalid_Picture.
void Check_Emf_Record(std::span<const std::uint8_t> record);

// The same for one Windows metafile record (from its size in words on):
// the bitmap of the DIB blits and SetDIBitsToDevice, the points of
// polygons and polylines and the text of TextOut and ExtTextOut.
void Check_Wmf_Record(std::span<const std::uint8_t> record);

// Escape records hand their bytes to the printer driver as they are, which
// no check here can vouch for: a player that goes record by record leaves
// them out.
bool Is_Emf_Escape_Record(std::uint32_t type);
bool Is_Wmf_Escape_Record(std::uint16_t function);

// Shared by the header and the record checks.
namespace metafile_detail {
// A block of `length` bytes at `offset` from the record's start lies inside
// the record of `record_size` bytes.  A block of no bytes may point anywhere.
bool Inside(std::uint64_t offset, std::uint64_t length, std::uint64_t record_size);
}  // namespace metafile_detail

}  // namespace velbrook

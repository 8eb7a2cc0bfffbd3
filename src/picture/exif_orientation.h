#pragma once
// The orientation a camera wrote into a JPEG's Exif block: which way up the
// stored pixels are meant to be seen.  Portable and fuzzed: the block comes
// from any file a person drops.

#include <cstdint>
#include <span>

namespace velbrook {

// The orientation tag (1 to 8, numbered as in placement.h) of the first Exif
// APP1 segment before the picture's scan; 1 when there is none, when the
// block is damaged, or when the value is out of range.  Every read is checked
// against the segment, so a hostile block never reads outside the file.
int Read_Exif_Orientation(std::span<const std::uint8_t> jpeg_bytes);

}  // namespace velbrook

#pragma once
// What a PDF needs to know to carry a JPEG file unchanged: its size, its
// colour components and whether Adobe stored it inverted.  Read from the
// markers alone; the entropy-coded data is not decoded.

#include <cstdint>
#include <optional>
#include <span>

namespace velbrook {

struct Jpeg_Header {
    int width = 0;
    int height = 0;
    int components = 0;  // 1 grey, 3 YCbCr or RGB, 4 CMYK or YCCK
    bool progressive = false;
    // Adobe's APP14 marker: its CMYK pictures hold inverted values.
    bool adobe = false;
    // Three components named 'R', 'G', 'B' without an Adobe marker: stored
    // as RGB, which a reader would otherwise take for YCbCr.
    bool rgb_named = false;
};

// The header of a JPEG that PDF readers take as it is (8-bit samples, Huffman
// coding, baseline, extended or progressive, 1, 3 or 4 components, a height
// in the frame header); nothing for anything else, which is then decoded and
// stored as pixels.  Never reads outside `bytes`.
std::optional<Jpeg_Header> Read_Jpeg_Header(std::span<const std::uint8_t> bytes);

// True when the markers run from the start to an end-of-image marker
// through at most Max_Jpeg_Scans scans: the entropy-coded data between them
// is stepped over, not decoded.  A cut file ends without one; a file of more
// scans is damaged, and readers of the PDF would decode every one.
bool Jpeg_Reaches_End_Marker(std::span<const std::uint8_t> bytes);

}  // namespace velbrook

#pragma once
// What a PDF needs to know to carry a JPEG file unchanged: its size, its
// colour components and whether Adobe stored it inverted.  Read from the
// markers alone; the entropy-coded data is not decoded.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "picture/jpeg_rows.h"

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

// A JPEG that may be handed on as its own bytes (to a PDF reader, to a
// PostScript printer): its header, and its bytes from the start through the
// end-of-image marker.
struct Jpeg_As_It_Is {
    Jpeg_Header header;
    std::uint64_t length = 0;
};

// The check every JPEG passes before its bytes go anywhere unchanged, since
// a reader or a printer that meets damaged data may lose more than the
// picture: a header that Read_Jpeg_Header takes (found in the file's first
// Jpeg_Head_Bytes), markers that reach the end marker through at most
// Max_Jpeg_Scans scans, and data that libjpeg reads through every row
// without an error, without running out and without meeting a marker
// inside a scan.  libjpeg reads it at an eighth of its size: every
// coefficient is still decoded, hardly any pixel made.  `open` gives the
// file from its start each time it is called (it is read three times, never
// held whole).  Nothing for any other file.
inline constexpr std::size_t Jpeg_Head_Bytes = 1024 * 1024;
std::optional<Jpeg_As_It_Is> Check_Jpeg_As_It_Is(const std::function<std::unique_ptr<Byte_Source>()>& open);

}  // namespace velbrook

#pragma once
// TIFF structures built field by field in either byte order: a whole
// greyscale TIFF file with its directory after the pixels (where libtiff
// writes it), or the same directory alone as a JPEG's Exif block, and the
// JPEG marker segments that carry one.  For the picture-header tests and
// the fuzzers' seeds.  Portable.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace velbrook::test {

inline constexpr std::uint32_t Tiff_Short = 3, Tiff_Long = 4, Tiff_Rational = 5;

struct Tiff_Writer {
    bool big = false;
    std::vector<std::uint8_t> bytes;

    void U16(std::uint32_t v) {
        const auto high = static_cast<std::uint8_t>(v >> 8), low = static_cast<std::uint8_t>(v);
        bytes.insert(bytes.end(), {big ? high : low, big ? low : high});
    }
    void U32(std::uint32_t v) {
        U16(big ? v >> 16 : v & 0xFFFF);
        U16(big ? v & 0xFFFF : v >> 16);
    }
    void Header(std::uint32_t ifd = 8, std::uint32_t magic = 42) {
        bytes.insert(bytes.end(),
                     {static_cast<std::uint8_t>(big ? 'M' : 'I'), static_cast<std::uint8_t>(big ? 'M' : 'I')});
        U16(magic);
        U32(ifd);
    }
    // One entry whose value is a SHORT, which sits in the first two bytes of
    // the value field.
    void Short_Entry(std::uint32_t tag, std::uint32_t value, std::uint32_t type = Tiff_Short, std::uint32_t count = 1) {
        U16(tag), U16(type), U32(count), U16(value), U16(0);
    }
    // One entry whose value field holds a LONG, or the offset of its values.
    void Long_Entry(std::uint32_t tag, std::uint32_t value, std::uint32_t type = Tiff_Long, std::uint32_t count = 1) {
        U16(tag), U16(type), U32(count), U32(value);
    }
};

struct Tiff_Spec {
    bool big = false;
    bool image = true;  // false: the directory alone, as an Exif block holds it
    std::uint32_t width = 6, height = 4;
    bool long_sides = false;  // the sides as LONG rather than SHORT
    bool resolution = true;   // XResolution and YResolution, after the directory
    std::uint32_t x_numerator = 72, x_denominator = 1, y_numerator = 72, y_denominator = 1;
    std::uint32_t unit = 2;  // ResolutionUnit; 0 leaves the tag out
};

inline std::vector<std::uint8_t> Build_Tiff(const Tiff_Spec& spec) {
    const std::uint32_t pixels = spec.image ? spec.width * spec.height : 0;
    const std::uint32_t entries = (spec.image ? 8 : 0) + (spec.resolution ? 2 : 0) + (spec.unit ? 1 : 0);
    const std::uint32_t ifd = 8 + pixels, rationals = ifd + 2 + 12 * entries + 4;
    Tiff_Writer t{spec.big, {}};
    t.Header(ifd);
    for (std::uint32_t k = 0; k < pixels; ++k) t.bytes.push_back(static_cast<std::uint8_t>(k * 37));
    t.U16(entries);
    if (spec.image) {
        if (spec.long_sides)
            t.Long_Entry(0x0100, spec.width), t.Long_Entry(0x0101, spec.height);
        else
            t.Short_Entry(0x0100, spec.width), t.Short_Entry(0x0101, spec.height);
        t.Short_Entry(0x0102, 8);            // bits per sample
        t.Short_Entry(0x0103, 1);            // no compression
        t.Short_Entry(0x0106, 1);            // black is zero
        t.Long_Entry(0x0111, 8);             // the strip's offset
        t.Short_Entry(0x0116, spec.height);  // rows per strip
        t.Long_Entry(0x0117, pixels);        // the strip's bytes
    }
    if (spec.resolution) {
        t.Long_Entry(0x011A, rationals, Tiff_Rational);
        t.Long_Entry(0x011B, rationals + 8, Tiff_Rational);
    }
    if (spec.unit) t.Short_Entry(0x0128, spec.unit);
    t.U32(0);  // no next directory
    if (spec.resolution)
        t.U32(spec.x_numerator), t.U32(spec.x_denominator), t.U32(spec.y_numerator), t.U32(spec.y_denominator);
    return t.bytes;
}

// A JPEG marker segment: the marker, its length, the body.
inline std::vector<std::uint8_t> Marker_Segment(std::uint8_t marker, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> s{0xFF, marker, static_cast<std::uint8_t>((body.size() + 2) >> 8),
                                static_cast<std::uint8_t>(body.size() + 2)};
    s.insert(s.end(), body.begin(), body.end());
    return s;
}

// An APP1 body that holds `tiff` as its Exif block.
inline std::vector<std::uint8_t> Exif_Body(const std::vector<std::uint8_t>& tiff) {
    std::vector<std::uint8_t> body{'E', 'x', 'i', 'f', 0, 0};
    body.insert(body.end(), tiff.begin(), tiff.end());
    return body;
}

// A JPEG's head: the start of the image, the segments, then (unless `scan`
// is false) a token scan and the end of the image.
inline std::vector<std::uint8_t> Jpeg_Of_Segments(std::initializer_list<std::vector<std::uint8_t>> segments,
                                                  bool scan = true) {
    std::vector<std::uint8_t> file{0xFF, 0xD8};
    for (const auto& s : segments) file.insert(file.end(), s.begin(), s.end());
    if (scan) file.insert(file.end(), {0xFF, 0xDA, 0x00, 0x02, 0x12, 0x34, 0xFF, 0xD9});
    return file;
}

}  // namespace velbrook::test

// libFuzzer target: any bytes as a JPEG whose markers are read for a PDF,
// and as a TrueType font whose glyphs are looked up, used and cut into a
// subset; the subset must read back as a font with the same glyph count.
// Run by hand: fuzz_pdf_inputs -max_total_time=60 (with a few .jpg and .ttf
// files as the corpus).
#include <cstdio>
#include <cstdlib>

#include "pdf/jpeg_header.h"
#include "pdf/truetype_font.h"
#include "toolkit/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    if (auto header = velbrook::Read_Jpeg_Header(bytes)) {
        if (header->width <= 0 || header->height <= 0) std::abort();
    }
    velbrook::Jpeg_Reaches_End_Marker(bytes);
    std::vector<std::uint8_t> subset_bytes;
    std::size_t used = 0;
    try {
        velbrook::Truetype_Font font(std::vector<std::uint8_t>(data, data + size));
        for (char32_t c : {U'A', U'z', U'\u00e9', U'\u03a9', U'\u65e5'}) font.Use(font.Glyph_Of(c), c);
        font.Width_Of(0);
        subset_bytes = font.Subset();
        used = font.Used().size();
    } catch (const velbrook::Failure&) {
        return 0;
    }
    // What the font let through, its subset must hold whole.
    try {
        velbrook::Truetype_Font subset(subset_bytes);
        for (std::size_t n = 1; n < used; ++n) subset.Use(static_cast<std::uint16_t>(n), 0);
        if (subset.Used().size() != used) std::abort();
    } catch (const velbrook::Failure&) {
        std::abort();
    }
    return 0;
}

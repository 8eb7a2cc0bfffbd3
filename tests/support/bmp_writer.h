#pragma once
// Bitmap files built byte by byte from a description, for the picture tests,
// the damaged-picture corpus and the bitmap fuzzer's seeds.  Portable: no
// windows.h, so the numbers of the compressions are spelt out here.

#include <cstdint>
#include <vector>

namespace velbrook::test {

inline constexpr std::uint32_t Bmp_Rgb = 0, Bmp_Rle8 = 1, Bmp_Rle4 = 2, Bmp_Bitfields = 3, Bmp_Jpeg = 4;

struct Bmp_Spec {
    std::uint32_t header_size = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;  // negative: top-down
    std::uint16_t planes = 1;
    std::uint16_t bits = 24;
    std::uint32_t compression = Bmp_Rgb;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB
    std::vector<std::uint32_t> masks;    // after a 40-byte header, or inside a later one
    std::vector<std::uint8_t> pixels;    // exactly as stored
    std::uint32_t colours_used = 0;      // 0: the palette's length
    std::int64_t offset_shift = 0;       // moves bfOffBits away from the true start
    // Pixels per metre across and down (72 dots per inch); a 12-byte header has none.
    std::int32_t pels_x = 2835, pels_y = 2835;
};

inline void Put_Le16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put_Le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put_Le16(out, v & 0xFFFF);
    Put_Le16(out, v >> 16);
}

inline std::vector<std::uint8_t> Build_Bmp(const Bmp_Spec& spec) {
    std::vector<std::uint8_t> header;
    if (spec.header_size == 12) {
        Put_Le32(header, 12);
        Put_Le16(header, static_cast<std::uint32_t>(spec.width));
        Put_Le16(header, static_cast<std::uint32_t>(spec.height));
        Put_Le16(header, spec.planes);
        Put_Le16(header, spec.bits);
    } else {
        Put_Le32(header, spec.header_size);
        Put_Le32(header, static_cast<std::uint32_t>(spec.width));
        Put_Le32(header, static_cast<std::uint32_t>(spec.height));
        Put_Le16(header, spec.planes);
        Put_Le16(header, spec.bits);
        Put_Le32(header, spec.compression);
        Put_Le32(header, static_cast<std::uint32_t>(spec.pixels.size()));
        Put_Le32(header, static_cast<std::uint32_t>(spec.pels_x));
        Put_Le32(header, static_cast<std::uint32_t>(spec.pels_y));
        Put_Le32(header, spec.colours_used ? spec.colours_used : static_cast<std::uint32_t>(spec.palette.size()));
        Put_Le32(header, 0);
        if (spec.header_size > 40) {
            for (std::size_t k = 0; k < 4; ++k) Put_Le32(header, k < spec.masks.size() ? spec.masks[k] : 0);
            header.resize(spec.header_size, 0);
        }
    }
    std::vector<std::uint8_t> table;
    if (spec.header_size == 40)
        for (std::uint32_t mask : spec.masks) Put_Le32(table, mask);
    for (std::uint32_t c : spec.palette) {
        table.push_back(static_cast<std::uint8_t>(c));
        table.push_back(static_cast<std::uint8_t>(c >> 8));
        table.push_back(static_cast<std::uint8_t>(c >> 16));
        if (spec.header_size != 12) table.push_back(0);
    }
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + header.size() + table.size() + spec.offset_shift);
    std::vector<std::uint8_t> file{'B', 'M'};
    Put_Le32(file, static_cast<std::uint32_t>(14 + header.size() + table.size() + spec.pixels.size()));
    Put_Le32(file, 0);
    Put_Le32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), table.begin(), table.end());
    file.insert(file.end(), spec.pixels.begin(), spec.pixels.end());
    return file;
}

// Rows of `width` pixels of `bits` each, padded to 4 bytes, filled with a
// pattern that changes from row to row.
inline std::vector<std::uint8_t> Patterned_Rows(int width, int height, int bits) {
    const std::size_t stride = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height < 0 ? -height : height));
    for (std::size_t k = 0; k < rows.size(); ++k) rows[k] = static_cast<std::uint8_t>(k * 37 + k / stride * 11);
    return rows;
}

// A palette of `count` colours, each different.
inline std::vector<std::uint32_t> Spread_Palette(std::size_t count) {
    std::vector<std::uint32_t> palette(count);
    for (std::size_t k = 0; k < count; ++k) palette[k] = static_cast<std::uint32_t>((k * 0x3B2F17u) & 0xFFFFFF);
    return palette;
}

}  // namespace velbrook::test

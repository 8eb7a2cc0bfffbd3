// Helpers shared by the GIF tests: pictures made byte by byte.
#pragma once

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "gif_encoder.h"
#include "gif/gif_lzw.h"

namespace velbrook::gif_test {

// Widths at which a decoder reads each code of a hand-written sequence that
// holds only well-formed codes (clear codes allowed).
inline std::vector<std::pair<int, int>> At_Decoder_Widths(int code_size, const std::vector<int>& codes) {
    const int clear = 1 << code_size;
    int width = code_size + 1;
    int limit = 2 * clear;
    int next = clear + 2;
    bool first = true;
    std::vector<std::pair<int, int>> out;
    for (const int code : codes) {
        out.emplace_back(code, width);
        if (code == clear) {
            width = code_size + 1;
            limit = 2 * clear;
            next = clear + 2;
            first = true;
            continue;
        }
        if (code == clear + 1) continue;
        if (first) {
            first = false;
            continue;
        }
        if (next < 4096) {
            ++next;
            if (next >= limit && limit < 4096) {
                limit *= 2;
                ++width;
            }
        }
    }
    return out;
}

// Image data: the code size byte, then the codes in sub-blocks.
inline std::vector<std::uint8_t> Image_Data(int code_size, const std::vector<int>& codes,
                                            const std::vector<int>& sub_blocks = {255}) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(code_size)};
    const std::vector<std::uint8_t> blocks =
        Pack_Sub_Blocks(Pack_Codes(At_Decoder_Widths(code_size, codes)), sub_blocks);
    out.insert(out.end(), blocks.begin(), blocks.end());
    return out;
}

inline std::vector<std::uint8_t> Encoded_Data(const std::vector<std::uint8_t>& pixels, int code_size,
                                              const TLZWOptions& options = {}) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(code_size)};
    const std::vector<std::uint8_t> blocks =
        Pack_Sub_Blocks(LZW_Encode(pixels, code_size, options), options.Sub_Block_Sizes);
    out.insert(out.end(), blocks.begin(), blocks.end());
    return out;
}

// Photo-like indices: smooth gradients with noise, so strings have the
// lengths real pictures give.
inline std::vector<std::uint8_t> Photo_Like(int width, int height, int bits, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const int colors = 1 << bits;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int smooth = (x / 7 + y / 5 + (x * y) / 997) % colors;
            const int noise = static_cast<int>(random() % 5) == 0 ? static_cast<int>(random() % 3) : 0;
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>((smooth + noise) % colors);
        }
    }
    return out;
}

// Palette indices of a raster, top row first, Width bytes a row.
inline std::vector<std::uint8_t> Top_Down(const Gif_Raster& raster, int width, int height) {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = height - 1; y >= 0; --y) {
        const auto* row = raster.pixels.data() + static_cast<std::size_t>(y) * raster.row_stride;
        out.insert(out.end(), row, row + width);
    }
    return out;
}

inline std::vector<bool> Mask_Top_Down(const Gif_Raster& raster, int width, int height) {
    std::vector<bool> out;
    if (raster.mask.empty()) return out;
    for (int y = height - 1; y >= 0; --y) {
        const auto* row = raster.mask.data() + static_cast<std::size_t>(y) * raster.mask_stride;
        for (int x = 0; x < width; ++x) out.push_back((row[x / 8] & (0x80 >> (x % 8))) != 0);
    }
    return out;
}

}  // namespace velbrook::gif_test

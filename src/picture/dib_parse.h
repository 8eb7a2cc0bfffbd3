#pragma once
// Device-independent bitmap files (".bmp"), checked field by field and turned
// into what StretchDIBits draws: a 40-byte BITMAPINFOHEADER with its colour
// table or masks, and the pixel rows.  Portable, so that it is fuzzed and
// tested natively; the Windows side only hands the result to GDI.

#include <cstdint>
#include <span>
#include <vector>

namespace velbrook {

struct Dib_Image {
    int width = 0;
    int height = 0;                  // rows, always positive
    std::vector<std::uint8_t> info;  // BITMAPINFOHEADER, then RGBQUADs or three masks
    std::vector<std::uint8_t> bits;  // the rows as the header describes them
};

// The largest pixel buffer accepted, so that a forged header cannot make the
// program allocate without bound.
inline constexpr std::uint64_t Max_Dib_Bytes = 512ull * 1024 * 1024;

// Compressed rows are expanded to 8 bits a pixel before drawing, and a few
// bytes of run-length data can claim any size; far above any real
// compressed bitmap, this caps what they may expand to, so that a forged
// one costs neither the memory nor the seconds of stretching it.
inline constexpr std::uint64_t Max_Rle_Bytes = 32ull * 1024 * 1024;

// Accepts OS/2 core headers and BITMAPINFOHEADER through BITMAPV5HEADER;
// 1, 4, 8, 16, 24 and 32 bits per pixel; BI_RGB, BI_BITFIELDS (16 and 32
// bits), BI_RLE8 and BI_RLE4 (expanded here into 8-bit rows, so that a broken
// run can never make GDI read outside the buffer); bottom-up and top-down.
// Throws Invalid_Picture, with the reason, for anything else, and for rows
// that would take more than `max_bytes` (or, compressed, Max_Rle_Bytes),
// checked before anything is allocated.
Dib_Image Parse_Bmp(std::span<const std::uint8_t> file, std::uint64_t max_bytes = Max_Dib_Bytes);

}  // namespace velbrook

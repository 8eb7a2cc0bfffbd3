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

// What the headers and colour table of a bitmap file say, checked: where
// its rows lie in the file and the header GDI draws them with.
struct Bmp_Layout {
    int width = 0;
    int height = 0;  // rows, always positive
    bool top_down = false;
    bool compressed = false;         // run-length coded: expanded before drawing
    bool four_bit_runs = false;      // RLE4 rather than RLE8
    std::uint64_t pixel_offset = 0;  // where the rows, or the compressed data, begin in the file
    std::uint64_t data_bytes = 0;    // the rows' bytes there, or the compressed data's
    std::uint64_t stride = 0;        // the bytes of one stored row, uncompressed
    std::size_t head_bytes = 0;      // the file's first bytes that the headers and colour table fill
    std::vector<std::uint8_t> info;  // BITMAPINFOHEADER, then RGBQUADs or three masks
    friend bool operator==(const Bmp_Layout&, const Bmp_Layout&) = default;
};

// The headers and colour table of every bitmap lie within this many first
// bytes of the file.
inline constexpr std::size_t Bmp_Head_Bytes = 2048;

// Checks the headers and colour table alone, from the file's first
// min(file_size, Bmp_Head_Bytes) bytes (`head`) and its size: the checks of
// Parse_Bmp that need no pixels, so that a bitmap read a band at a time
// from its file is refused for what the whole one is refused for, a file
// too short for its rows included.  Throws Invalid_Picture as Parse_Bmp does.
Bmp_Layout Parse_Bmp_Header(std::span<const std::uint8_t> head, std::uint64_t file_size,
                            std::uint64_t max_bytes = Max_Dib_Bytes);

// Which bytes of the file hold which rows.  The picture shows stored rows
// sampled every `step` rows and columns, from the middle of each step
// (Bmp_Sample); `step` 1 is every row.
std::int32_t Bmp_Sample(std::int64_t index, std::int32_t step, std::int32_t count);
// The rows (or columns) of a picture of `count` stored ones read every `step`.
std::int32_t Bmp_Sampled_Count(std::int32_t count, std::int32_t step);
// The step for a place of cover_w x cover_h (0 or less: full size): the
// largest that still leaves at least twice the place's pixels each way, so
// that stretching to the place still has pixels to blend; 1 for a picture
// less than twice its place.
std::int32_t Bmp_Step_For(std::int32_t width, std::int32_t height, std::int32_t cover_w, std::int32_t cover_h);

// One read of whole stored rows: `rows` rows from `offset` in the file, which
// land in slots [slot, slot + rows) of a band kept in the file's row order
// (drawn with the layout's header and a height of the band's rows).
struct Bmp_Read {
    std::uint64_t offset = 0;
    std::int32_t rows = 0;
    std::int32_t slot = 0;
    friend bool operator==(const Bmp_Read&, const Bmp_Read&) = default;
};
// The reads that bring rows [first, first + count) of the picture read every
// `step` (rows counted from its top): one read for every row but one run
// when the step is 1, since rows lie in the file one after the other.
std::vector<Bmp_Read> Plan_Bmp_Reads(const Bmp_Layout& layout, std::int32_t step, std::int32_t first,
                                     std::int32_t count);

// Accepts OS/2 core headers and BITMAPINFOHEADER through BITMAPV5HEADER;
// 1, 4, 8, 16, 24 and 32 bits per pixel; BI_RGB, BI_BITFIELDS (16 and 32
// bits), BI_RLE8 and BI_RLE4 (expanded here into 8-bit rows, so that a broken
// run can never make GDI read outside the buffer); bottom-up and top-down.
// Throws Invalid_Picture, with the reason, for anything else, and for rows
// that would take more than `max_bytes` (or, compressed, Max_Rle_Bytes),
// checked before anything is allocated.
Dib_Image Parse_Bmp(std::span<const std::uint8_t> file, std::uint64_t max_bytes = Max_Dib_Bytes);

}  // namespace velbrook

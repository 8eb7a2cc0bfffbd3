// The physical-size reader over headers built byte by byte: each format's
// resolutions in each of its units, the bounds every resolution is held
// to, and damaged headers that must give nothing; every file is also read
// through a reader that hands its bytes over a few at a time.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

#include "picture/physical_size.h"
#include "../support/bmp_writer.h"
#include "../support/cut_bytes.h"
#include "../support/png_writer.h"
#include "../support/tiff_writer.h"

namespace velbrook {
namespace {

using namespace velbrook::test;
using Bytes = std::vector<std::uint8_t>;

struct Case {
    const char* what;
    Bytes file;
    std::optional<Physical_Size> expected;
};

Physical_Size Px(std::int32_t width, std::int32_t height, double x = 96, double y = 96) {
    return {.width = width, .height = height, .dots_x = x, .dots_y = y};
}

// At most three bytes a call, so that every read of a field is split.
Read_At In_Pieces(const Bytes& file) {
    const Read_At whole = Read_From(file);
    return [whole](std::uint64_t offset, std::span<std::uint8_t> into) {
        return whole(offset, into.first(std::min<std::size_t>(into.size(), 1 + offset % 3)));
    };
}

void Expect_Cases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<Physical_Size> got = Read_Physical_Size(c.file);
        EXPECT_EQ(Read_Physical_Size(In_Pieces(c.file)), got);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (!got) continue;
        EXPECT_EQ(got->width, c.expected->width);
        EXPECT_EQ(got->height, c.expected->height);
        EXPECT_NEAR(got->dots_x, c.expected->dots_x, 1e-6);
        EXPECT_NEAR(got->dots_y, c.expected->dots_y, 1e-6);
    }
}

Bytes Frame(std::uint32_t width, std::uint32_t height, std::uint8_t marker = 0xC0) {
    return Marker_Segment(marker, {8, std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8),
                                   std::uint8_t(width), 1, 1, 0x11, 0});
}
Bytes Jfif(std::uint8_t units, std::uint32_t x, std::uint32_t y) {
    return Marker_Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, units, std::uint8_t(x >> 8), std::uint8_t(x),
                                 std::uint8_t(y >> 8), std::uint8_t(y), 0, 0});
}
Bytes Exif(Tiff_Spec spec) {
    spec.image = false;
    return Marker_Segment(0xE1, Exif_Body(Build_Tiff(spec)));
}

TEST(Read_Physical_Size, Jpeg_Takes_Jfif_Then_Exif_And_Its_Frame) {
    const Bytes aspect = Jfif(0, 1, 1);
    const Tiff_Spec exif_300{.x_numerator = 300, .y_numerator = 300};
    const Bytes tables = Marker_Segment(0xC4, {0, 1, 2, 3, 4, 5, 6, 7, 8});  // would read as a size
    Bytes fill = Jpeg_Of_Segments({aspect, Frame(64, 48)});
    fill.insert(fill.begin() + 2 + aspect.size(), {0xFF, 0xFF});
    const Bytes exif_first = Jpeg_Of_Segments({Exif(exif_300), Frame(640, 480)});
    Expect_Cases({
        {"JFIF in dots per inch", Jpeg_Of_Segments({Jfif(1, 300, 300), Frame(640, 480)}), Px(640, 480, 300, 300)},
        {"JFIF in dots per centimetre", Jpeg_Of_Segments({Jfif(2, 118, 118), Frame(640, 480)}),
         Px(640, 480, 299.72, 299.72)},
        {"JFIF across and down apart", Jpeg_Of_Segments({Jfif(1, 300, 150), Frame(8, 9)}), Px(8, 9, 300, 150)},
        {"JFIF's aspect ratio alone", Jpeg_Of_Segments({aspect, Frame(8, 9)}), Px(8, 9)},
        {"JFIF with one density zero says neither", Jpeg_Of_Segments({Jfif(1, 0, 300), Frame(8, 9)}), Px(8, 9)},
        {"JFIF at 5 and 20000 dpi", Jpeg_Of_Segments({Jfif(1, 5, 20000), Frame(8, 9)}), Px(8, 9)},
        {"Exif 300/1 per inch behind JFIF's aspect", Jpeg_Of_Segments({aspect, Exif(exif_300), Frame(640, 480)}),
         Px(640, 480, 300, 300)},
        {"Exif big-endian, no unit: inches",
         Jpeg_Of_Segments({Exif({.big = true, .x_numerator = 240, .y_numerator = 240, .unit = 0}), Frame(8, 9)}),
         Px(8, 9, 240, 240)},
        {"Exif per centimetre",
         Jpeg_Of_Segments({Exif({.x_numerator = 118, .y_numerator = 118, .unit = 3}), Frame(8, 9)}),
         Px(8, 9, 299.72, 299.72)},
        {"JFIF in dpi wins over Exif", Jpeg_Of_Segments({Jfif(1, 200, 200), Exif(exif_300), Frame(8, 9)}),
         Px(8, 9, 200, 200)},
        {"Exif zero denominator across",
         Jpeg_Of_Segments({Exif({.x_denominator = 0, .y_numerator = 300}), Frame(8, 9)}), Px(8, 9, 96, 300)},
        {"Exif 5 across and 20000 down",
         Jpeg_Of_Segments({Exif({.x_numerator = 5, .y_numerator = 20000}), Frame(8, 9)}), Px(8, 9)},
        {"Exif unit none", Jpeg_Of_Segments({Exif({.x_numerator = 300, .y_numerator = 300, .unit = 1}), Frame(8, 9)}),
         Px(8, 9)},
        {"progressive frame after Huffman tables", Jpeg_Of_Segments({tables, Frame(1000, 750, 0xC2)}), Px(1000, 750)},
        {"fill bytes before the frame", fill, Px(64, 48)},
        {"a height left to a later marker", Jpeg_Of_Segments({Frame(640, 0)}), std::nullopt},
        {"cut inside the frame header", Cut(Jpeg_Of_Segments({Frame(640, 480)}, false), 2 + 4 + 3), std::nullopt},
        {"cut inside the Exif block", Cut(exif_first, 30), std::nullopt},
        {"no frame before the scan", Jpeg_Of_Segments({Jfif(1, 300, 300)}), std::nullopt},
        {"a segment length below 2",
         Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 1, 0xFF, 0xC0, 0, 11, 8, 0, 9, 0, 8, 1, 1, 0x11, 0}, std::nullopt},
    });
}

// A 4 x 3 PNG with `chunks` between its header and its pixels.
Bytes Png(const Bytes& chunks, std::uint32_t width = 4, std::uint32_t height = 3) {
    Bytes png = Build_Png(4, 3, false, [](int x, int y, std::uint8_t* rgb) { rgb[0] = std::uint8_t(x * 60 + y); });
    Set_Png_Size(png, width, height);
    png.insert(png.begin() + 33, chunks.begin(), chunks.end());
    return png;
}
Bytes Phys(std::uint32_t x, std::uint32_t y, std::uint8_t unit = 1) {
    Bytes data, chunk;
    Put_Be32(data, x), Put_Be32(data, y), data.push_back(unit);
    Put_Png_Chunk(chunk, "pHYs", data);
    return chunk;
}

TEST(Read_Physical_Size, Png_Takes_Its_Header_And_Phys_Before_The_Pixels) {
    Bytes others;
    Put_Png_Chunk(others, "gAMA", {0, 0, 0xB1, 0x8F});
    Put_Png_Chunk(others, "tEXt", {'A', 0, 'b'});
    Bytes phys_late = Png({});
    const Bytes phys = Phys(11811, 11811);
    phys_late.insert(phys_late.end() - 12, phys.begin(), phys.end());  // before IEND
    Bytes header_second = Png({});
    header_second.insert(header_second.begin() + 8, others.begin(), others.end());
    Bytes long_phys;
    Put_Png_Chunk(long_phys, "pHYs", {0, 0, 0x2E, 0x23, 0, 0, 0x2E, 0x23, 1, 0});
    Bytes others_then_phys = others;
    others_then_phys.insert(others_then_phys.end(), phys.begin(), phys.end());
    Expect_Cases({
        {"11811 per metre", Png(phys), Px(4, 3, 299.9994, 299.9994)},
        {"across and down apart, after other chunks", Png(others_then_phys), Px(4, 3, 299.9994, 299.9994)},
        {"5906 down", Png(Phys(11811, 5906)), Px(4, 3, 299.9994, 150.0124)},
        {"a pHYs chunk of 10 bytes", Png(long_phys), Px(4, 3)},
        {"unit 0: an aspect ratio alone", Png(Phys(11811, 11811, 0)), Px(4, 3)},
        {"zero across", Png(Phys(0, 11811)), Px(4, 3, 96, 299.9994)},
        {"5 and 20000 dpi", Png(Phys(196, 787402)), Px(4, 3)},
        {"pHYs after the pixels", phys_late, Px(4, 3)},
        {"no pHYs", Png({}), Px(4, 3)},
        {"a million pixels wide", Png({}, 1'000'000, 3), Px(1'000'000, 3)},
        {"a million and one", Png({}, 1'000'001, 3), std::nullopt},
        {"no width", Png({}, 0, 3), std::nullopt},
        {"cut inside the pHYs chunk", Cut(Png(phys), 33 + 12), Px(4, 3)},
        {"cut inside the header", Cut(Png({}), 22), std::nullopt},
        {"a chunk before the header", header_second, std::nullopt},
    });
}

Bytes Patched_U32(Bytes file, std::size_t at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) file[at + k] = std::uint8_t(value >> (8 * k));  // little-endian files only
    return file;
}

TEST(Read_Physical_Size, Tiff_Reads_Its_First_Directory_Wherever_It_Lies) {
    const Tiff_Spec good{.x_numerator = 300, .y_numerator = 300};
    const Bytes little = Build_Tiff(good);
    const std::size_t ifd = 8 + 6 * 4;
    Expect_Cases({
        {"little-endian, SHORT sides, per inch", little, Px(6, 4, 300, 300)},
        {"big-endian, LONG sides, per centimetre",
         Build_Tiff({.big = true, .long_sides = true, .x_numerator = 118, .y_numerator = 118, .unit = 3}),
         Px(6, 4, 299.72, 299.72)},
        {"600/2 across, no unit: inches",
         Build_Tiff({.big = true, .x_numerator = 600, .x_denominator = 2, .y_numerator = 300, .unit = 0}),
         Px(6, 4, 300, 300)},
        {"unit none", Build_Tiff({.x_numerator = 300, .y_numerator = 300, .unit = 1}), Px(6, 4)},
        {"no resolution", Build_Tiff({.resolution = false}), Px(6, 4)},
        {"zero denominator across", Build_Tiff({.x_denominator = 0, .y_numerator = 200}), Px(6, 4, 96, 200)},
        {"5 and 20000 dpi", Build_Tiff({.x_numerator = 5, .y_numerator = 20000}), Px(6, 4)},
        {"cut inside the last rational", Cut(little, little.size() - 2), Px(6, 4, 300, 96)},
        {"no width", Build_Tiff({.width = 0}), std::nullopt},
        {"a million and one rows", Build_Tiff({.height = 1'000'001, .long_sides = true}), std::nullopt},
        {"directory past the end", Patched_U32(little, 4, std::uint32_t(little.size() + 100)), std::nullopt},
        {"directory at the top of 32 bits", Patched_U32(little, 4, 0xFFFFFFFFu), std::nullopt},
        {"entries counted past the end", Patched_U32(little, ifd, 0x4000), std::nullopt},
        {"cut inside the header", Cut(little, 6), std::nullopt},
        {"not 42", Patched_U32(little, 2, 43), std::nullopt},
    });
}

TEST(Read_Physical_Size, Bitmaps_And_Unknown_Content) {
    const Bytes rows = Patterned_Rows(5, 3, 24);
    const Bytes info = Build_Bmp({.width = 5, .height = 3, .pixels = rows, .pels_x = 11811, .pels_y = 11811});
    const Bytes core = Build_Bmp({.header_size = 12, .width = 5, .height = 3, .pixels = rows});
    Expect_Cases({
        {"40-byte header, 11811 per metre", info, Px(5, 3, 299.9994, 299.9994)},
        {"124-byte header, top-down",
         Build_Bmp({.header_size = 124, .width = 5, .height = -3, .pixels = rows, .pels_x = 11811, .pels_y = 5906}),
         Px(5, 3, 299.9994, 150.0124)},
        {"12-byte header: no resolution", core, Px(5, 3)},
        {"zero and negative", Build_Bmp({.width = 5, .height = 3, .pixels = rows, .pels_x = 0, .pels_y = -11811}),
         Px(5, 3)},
        {"5 and 20000 dpi", Build_Bmp({.width = 5, .height = 3, .pixels = rows, .pels_x = 196, .pels_y = 787402}),
         Px(5, 3)},
        {"no width", Build_Bmp({.width = 0, .height = 3, .pixels = rows}), std::nullopt},
        {"2^31 rows top-down", Build_Bmp({.width = 5, .height = INT32_MIN, .pixels = rows}), std::nullopt},
        {"a million and one columns", Build_Bmp({.width = 1'000'001, .height = 3, .pixels = rows}), std::nullopt},
        {"a 20-byte header", Patched_U32(info, 14, 20), std::nullopt},
        {"cut inside the info header", Cut(info, 14 + 30), std::nullopt},
        {"cut inside the core header", Cut(core, 14 + 7), std::nullopt},
        {"a GIF", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}, std::nullopt},
        {"a TIFF's first bytes alone", Bytes{'I', 'I', 42}, std::nullopt},
        {"empty", Bytes{}, std::nullopt},
    });
}

TEST(Read_Physical_Size, Reads_Only_The_Headers_And_Never_Past_What_It_Was_Given) {
    const auto counted = [](const Bytes& file, std::uint64_t& bytes) -> Read_At {
        const Read_At whole = Read_From(file);
        return [whole, &bytes](std::uint64_t offset, std::span<std::uint8_t> into) {
            const std::size_t got = whole(offset, into);
            bytes += got;
            return got;
        };
    };
    // A megabyte of pixels before the directory, as libtiff writes it, and a
    // 60 KB profile before a JPEG's frame: neither is read.
    const Bytes tiff =
        Build_Tiff({.width = 1000, .height = 1000, .long_sides = true, .x_numerator = 300, .y_numerator = 300});
    const Bytes jpeg =
        Jpeg_Of_Segments({Jfif(1, 300, 300), Marker_Segment(0xE2, Bytes(60000, 0x5A)), Frame(4000, 3000)});
    for (const auto& [file, size] :
         {std::pair{tiff, Px(1000, 1000, 300, 300)}, std::pair{jpeg, Px(4000, 3000, 300, 300)}}) {
        std::uint64_t bytes = 0;
        EXPECT_EQ(Read_Physical_Size(counted(file, bytes)), size);
        EXPECT_LT(bytes, 400u);
    }

    // Every cut of a good file of each kind gives nothing or the whole file's
    // size; a reader that claims more than it was asked for gives nothing.
    const Bytes phys = Phys(11811, 11811);
    const Bytes files[] = {Jpeg_Of_Segments({Jfif(1, 300, 300), Exif({.big = true}), Frame(64, 48)}), Png(phys),
                           Build_Tiff({.big = true}),
                           Build_Bmp({.width = 5, .height = 3, .pixels = Patterned_Rows(5, 3, 24)})};
    for (const Bytes& file : files) {
        const auto whole = Read_Physical_Size(file);
        ASSERT_TRUE(whole);
        for (std::size_t n = 0; n < file.size(); ++n) {
            const auto cut = Read_Physical_Size(std::span(file).first(n));
            if (cut) {
                EXPECT_EQ(std::pair(cut->width, cut->height), std::pair(whole->width, whole->height)) << n;
            }
        }
        const Read_At boasting = [&](std::uint64_t offset, std::span<std::uint8_t> into) {
            return Read_From(file)(offset, into) + 1;
        };
        EXPECT_EQ(Read_Physical_Size(boasting), std::nullopt);
    }
}

}  // namespace
}  // namespace velbrook

// The bitmap checks natively: pictures that claim more pixels than the
// program holds are refused from their header, and the faults the fuzzer
// found stay refused; the headers read alone from the file's first bytes
// refuse what the whole file is refused for, and the reads of a band bring
// exactly its rows.  (Drawing every valid layout is tested on Windows.)

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "picture/dib_parse.h"
#include "toolkit/failure.h"
#include "../support/bmp_writer.h"

namespace velbrook {
namespace {

using namespace velbrook::test;

struct Header_Case {
    const char* name;
    Bmp_Spec spec;
};

// Each file is a few hundred bytes at most: the size in its header is a lie.
// Refused from the header, nothing is allocated for the rows (under
// AddressSanitizer an attempt of gigabytes would abort the test).
TEST(Parse_Bmp, Huge_Pictures_Are_Refused_From_Their_Header) {
    const std::vector<std::uint8_t> few = Patterned_Rows(8, 8, 8);
    const std::vector<std::uint8_t> rle = {0, 0, 0, 0, 0, 1};
    const std::vector<Header_Case> cases = {
        {"60000 x 60000, 24 bits", {.width = 60000, .height = 60000, .bits = 24, .pixels = few}},
        {"60000 x 60000, 32 bits top-down", {.width = 60000, .height = -60000, .bits = 32, .pixels = few}},
        {"60000 x 60000, 8 bits",
         {.width = 60000, .height = 60000, .bits = 8, .palette = Spread_Palette(256), .pixels = few}},
        {"60000 x 60000, 4 bits",
         {.width = 60000, .height = 60000, .bits = 4, .palette = Spread_Palette(16), .pixels = few}},
        {"60000 x 60000, 1 bit",
         {.width = 60000, .height = 60000, .bits = 1, .palette = Spread_Palette(2), .pixels = few}},
        {"60000 x 60000, 16-bit masks",
         {.width = 60000,
          .height = 60000,
          .bits = 16,
          .compression = Bmp_Bitfields,
          .masks = {0xF800, 0x07E0, 0x001F},
          .pixels = few}},
        {"60000 x 60000, RLE8",
         {.width = 60000,
          .height = 60000,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(4),
          .pixels = rle}},
        {"60000 x 60000, RLE4",
         {.width = 60000,
          .height = 60000,
          .bits = 4,
          .compression = Bmp_Rle4,
          .palette = Spread_Palette(4),
          .pixels = rle}},
        {"65535 x 65535 OS/2, 24 bits",
         {.header_size = 12, .width = 65535, .height = 65535, .bits = 24, .pixels = few}},
        {"65535 x 65535 OS/2, 1 bit",
         {.header_size = 12, .width = 65535, .height = 65535, .bits = 1, .palette = Spread_Palette(2), .pixels = few}},
        {"2^31 rows top-down", {.width = 1, .height = INT32_MIN, .bits = 24, .pixels = few}},
        {"2^31 - 1 rows", {.width = 1, .height = INT32_MAX, .bits = 24, .pixels = few}},
        {"2^31 - 1 columns", {.width = INT32_MAX, .height = 1, .bits = 32, .pixels = few}},
        {"2^31 - 1 square, RLE8",
         {.width = INT32_MAX,
          .height = INT32_MAX,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(2),
          .pixels = rle}},
    };
    for (const Header_Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(Parse_Bmp(Build_Bmp(c.spec)), Invalid_Picture);
    }
    // Compressed rows expand from a few bytes: found by the damaged-picture
    // corpus, 16000 x 16000 in 4 bytes of data took 256 MB and 8 seconds of
    // stretching in the preview.  Real sizes still pass.
    const auto rle_square = [&](int side) {
        return Build_Bmp({.width = side,
                          .height = side,
                          .bits = 8,
                          .compression = Bmp_Rle8,
                          .palette = Spread_Palette(2),
                          .pixels = rle});
    };
    EXPECT_THROW(Parse_Bmp(rle_square(16000)), Invalid_Picture);
    EXPECT_EQ(Parse_Bmp(rle_square(4096)).bits.size(), 4096u * 4096u);
    // The same check, with the ceiling lowered: a picture just past it is
    // refused, one just inside is decoded.
    const Bmp_Spec inside{
        .width = 64, .height = 64, .bits = 8, .compression = Bmp_Rle8, .palette = Spread_Palette(2), .pixels = rle};
    EXPECT_EQ(Parse_Bmp(Build_Bmp(inside), 64 * 64).bits.size(), 64u * 64u);
    EXPECT_THROW(Parse_Bmp(Build_Bmp(inside), 64 * 64 - 1), Invalid_Picture);
}

// Inputs the fuzzer found, each refused now.
TEST(Parse_Bmp, Faults_Found_By_Fuzzing_Stay_Refused) {
    const std::vector<Header_Case> cases = {
        // The pixel offset points at the colour table's start: an OS/2 bitmap
        // with no colour table was handed on with a count of 0, which GDI
        // reads as a full table of 256 entries behind the header.
        {"OS/2, 8 bits, no colour table",
         {.header_size = 12, .width = 5, .height = 4, .bits = 8, .pixels = Patterned_Rows(5, 4, 8)}},
        {"OS/2, 1 bit, no colour table",
         {.header_size = 12, .width = 5, .height = 4, .bits = 1, .pixels = Patterned_Rows(5, 4, 1)}},
    };
    for (const Header_Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(Parse_Bmp(Build_Bmp(c.spec)), Invalid_Picture);
    }
}

// A bitmap read a band at a time is checked from its first bytes and its
// size alone: it must be refused for what the whole file is refused for
// (one cut inside its rows above all), and give the same header for GDI.
TEST(Parse_Bmp_Header, Refuses_What_The_Whole_File_Is_Refused_For) {
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> files = {
        {"24 bits", Build_Bmp({.width = 300, .height = 20, .bits = 24, .pixels = Patterned_Rows(300, 20, 24)})},
        {"8 bits top-down", Build_Bmp({.width = 700,
                                       .height = -9,
                                       .bits = 8,
                                       .palette = Spread_Palette(256),
                                       .pixels = Patterned_Rows(700, 9, 8)})},
        {"1 bit, colour table behind a gap",
         Build_Bmp({.width = 33,
                    .height = 40,
                    .bits = 1,
                    .palette = Spread_Palette(2),
                    .pixels = std::vector<std::uint8_t>(3000 + 320, 0x5A),  // rows past the first 2048 bytes
                    .offset_shift = 3000})},
        {"16-bit masks in a V5 header", Build_Bmp({.header_size = 124,
                                                   .width = 90,
                                                   .height = 30,
                                                   .bits = 16,
                                                   .compression = Bmp_Bitfields,
                                                   .masks = {0xF800, 0x07E0, 0x001F},
                                                   .pixels = Patterned_Rows(90, 30, 16)})},
        {"RLE8", Build_Bmp({.width = 8,
                            .height = 2,
                            .bits = 8,
                            .compression = Bmp_Rle8,
                            .palette = Spread_Palette(4),
                            .pixels = {8, 1, 0, 0, 8, 2, 0, 1}})},
    };
    for (const auto& [name, file] : files) {
        // Whole, cut at every place that matters, and cut by one byte.
        std::vector<std::size_t> lengths = {file.size(), file.size() - 1, file.size() / 2, 60, 30, 10};
        for (std::size_t length : lengths) {
            SCOPED_TRACE(std::string(name) + ", " + std::to_string(length) + " bytes");
            const std::span<const std::uint8_t> bytes(file.data(), length);
            std::optional<Dib_Image> whole;
            try {
                whole = Parse_Bmp(bytes);
            } catch (const Invalid_Picture&) {}
            const auto head = bytes.first(std::min(bytes.size(), Bmp_Head_Bytes));
            EXPECT_TRUE(whole || length < file.size()) << "the sound file is refused";
            if (!whole) {
                EXPECT_THROW(Parse_Bmp_Header(head, length), Invalid_Picture);
                continue;
            }
            const Bmp_Layout layout = Parse_Bmp_Header(head, length);
            EXPECT_EQ(layout.info, whole->info);
            EXPECT_LE(layout.pixel_offset + layout.data_bytes, length);
            EXPECT_LE(layout.head_bytes, layout.pixel_offset);
            if (!layout.compressed) {
                EXPECT_EQ(layout.data_bytes, whole->bits.size());
            }
        }
        // A head that stops short of the headers (the file shrank while it
        // was read) is refused, not read past.
        EXPECT_THROW(Parse_Bmp_Header(std::span(file).first(40), file.size()), Invalid_Picture);
    }
}

// Rows of a band are read from where the file keeps them, in the file's
// order, every row of the band exactly once, sampled from the middle of
// each step.
TEST(Plan_Bmp_Reads, Brings_Each_Row_Of_A_Band_From_Its_Place_In_The_File) {
    Bmp_Layout bottom_up{.width = 10, .height = 100, .pixel_offset = 1000, .stride = 32};
    Bmp_Layout top_down = bottom_up;
    top_down.top_down = true;
    struct Case {
        const char* name;
        const Bmp_Layout& layout;
        std::int32_t step, first, count;
        std::vector<Bmp_Read> reads;
    };
    const Case cases[] = {
        {"bottom-up, first band", bottom_up, 1, 0, 30, {{1000 + 70 * 32, 30, 0}}},
        {"bottom-up, last band", bottom_up, 1, 90, 10, {{1000, 10, 0}}},
        {"bottom-up, one row", bottom_up, 1, 42, 1, {{1000 + 57 * 32, 1, 0}}},
        {"top-down, middle band", top_down, 1, 30, 30, {{1000 + 30 * 32, 30, 0}}},
        {"top-down, every 30th row",
         top_down,
         30,
         0,
         4,
         {{1000 + 15 * 32, 1, 0}, {1000 + 45 * 32, 1, 1}, {1000 + 75 * 32, 1, 2}, {1000 + 99 * 32, 1, 3}}},
        {"bottom-up, every 30th row, from the second",
         bottom_up,
         30,
         1,
         3,
         {{1000 + 54 * 32, 1, 2}, {1000 + 24 * 32, 1, 1}, {1000 + 0 * 32, 1, 0}}},
        {"nothing", bottom_up, 1, 5, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Plan_Bmp_Reads(c.layout, c.step, c.first, c.count), c.reads);
    }
    // Every sampled row is a stored row, the last one included.
    for (std::int32_t rows : {1, 2, 99, 100, 101}) {
        for (std::int32_t step : {1, 2, 3, 7, 100, 150}) {
            const std::int32_t count = Bmp_Sampled_Count(rows, step);
            EXPECT_EQ(count, (rows + step - 1) / step);
            EXPECT_GE(Bmp_Sample(0, step, rows), 0);
            EXPECT_EQ(Bmp_Sample(count - 1, step, rows), std::min(rows - 1, (count - 1) * step + step / 2));
            EXPECT_LT(Bmp_Sample(count - 1, step, rows), rows);
        }
    }
    // The step leaves at least twice the place each way.
    EXPECT_EQ(Bmp_Step_For(8660, 5773, 141, 179), 16);
    EXPECT_EQ(Bmp_Step_For(8660, 5773, 2459, 3488), 1);
    EXPECT_EQ(Bmp_Step_For(8660, 5773, 0, 0), 1);
    EXPECT_EQ(Bmp_Step_For(100, 100, 25, 24), 2);
    EXPECT_EQ(Bmp_Step_For(100, 100, 26, 1), 1);
}

}  // namespace
}  // namespace velbrook

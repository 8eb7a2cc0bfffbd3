// The bitmap checks natively: pictures that claim more pixels than the
// program holds are refused from their header, and the faults the fuzzer
// found stay refused.  (Drawing every valid layout is tested on Windows.)

#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace
}  // namespace velbrook

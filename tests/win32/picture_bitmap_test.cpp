// Bitmap files of every layout StretchDIBits draws, built here byte by byte,
// drawn into a canvas and read back; and the malformed ones, which must be
// refused as invalid pictures before GDI sees them.

#include <functional>

#include "picture/picture.h"
#include "picture_folder.h"
#include "picture_test_support.h"
#include "../support/bmp_writer.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

using test::Bmp_Spec;
using test::Build_Bmp;

// The 2 x 2 picture every valid case holds: red, green over blue, white.
const std::vector<Rgb> Four = {Red, Green, Blue, White};
const std::vector<std::uint32_t> Four_Palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

// Rows of a 2-pixel-wide picture, each padded to 4 bytes, bottom row first.
std::vector<std::uint8_t> Rows(std::initializer_list<std::vector<std::uint8_t>> rows) {
    std::vector<std::uint8_t> out;
    for (const auto& row : rows) {
        out.insert(out.end(), row.begin(), row.end());
        out.resize((out.size() + 3) & ~std::size_t{3}, 0);
    }
    return out;
}

struct Valid_Case {
    const char* name;
    Bmp_Spec spec;
    std::vector<Rgb> expected = Four;  // top-left, top-right, bottom-left, bottom-right
};

std::vector<Valid_Case> Valid_Cases() {
    const std::vector<std::uint32_t> two = {0xFF0000, 0x00FF00};
    return {
        {"1 bit", {.bits = 1, .palette = two, .pixels = Rows({{0x80}, {0x40}})}, {Red, Green, Green, Red}},
        {"4 bits", {.bits = 4, .palette = Four_Palette, .pixels = Rows({{0x23}, {0x01}})}},
        {"8 bits", {.bits = 8, .palette = Four_Palette, .pixels = Rows({{2, 3}, {0, 1}})}},
        {"8 bits, short colour table",
         {.bits = 8, .palette = Four_Palette, .pixels = Rows({{2, 3}, {0, 1}}), .colours_used = 4}},
        {"16 bits 5-5-5", {.bits = 16, .pixels = Rows({{0x1F, 0x00, 0xFF, 0x7F}, {0x00, 0x7C, 0xE0, 0x03}})}},
        {"16 bits 5-6-5 masks",
         {.bits = 16,
          .compression = BI_BITFIELDS,
          .masks = {0xF800, 0x07E0, 0x001F},
          .pixels = Rows({{0x1F, 0x00, 0xFF, 0xFF}, {0x00, 0xF8, 0xE0, 0x07}})}},
        {"24 bits", {.bits = 24, .pixels = Rows({{255, 0, 0, 255, 255, 255}, {0, 0, 255, 0, 255, 0}})}},
        {"24 bits top-down",
         {.height = -2, .bits = 24, .pixels = Rows({{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}})}},
        {"32 bits", {.bits = 32, .pixels = {255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0}}},
        {"32 bits, red and blue masks swapped",
         {.bits = 32,
          .compression = BI_BITFIELDS,
          .masks = {0x000000FF, 0x0000FF00, 0x00FF0000},
          .pixels = {0, 0, 255, 0, 255, 255, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0}}},
        {"V5 header, masks inside it",
         {.header_size = 124,
          .bits = 32,
          .compression = BI_BITFIELDS,
          .masks = {0x00FF0000, 0x0000FF00, 0x000000FF},
          .pixels = {255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0}}},
        {"OS/2 core header, 24 bits",
         {.header_size = 12, .bits = 24, .pixels = Rows({{255, 0, 0, 255, 255, 255}, {0, 0, 255, 0, 255, 0}})}},
        {"OS/2 core header, 8 bits",
         {.header_size = 12, .bits = 8, .palette = Four_Palette, .pixels = Rows({{2, 3}, {0, 1}})}},
        // Bottom row: two runs of one pixel; top row: a literal run of three
        // (the third falls outside the row) padded to a word; then the end.
        {"RLE8",
         {.bits = 8,
          .compression = BI_RLE8,
          .palette = Four_Palette,
          .pixels = {1, 2, 1, 3, 0, 0, 0, 3, 0, 1, 0, 0, 0, 1}}},
        {"RLE8 without its end marker",
         {.bits = 8, .compression = BI_RLE8, .palette = Four_Palette, .pixels = {1, 2, 1, 3, 0, 0, 1, 0, 1, 1}}},
        {"RLE4",
         {.bits = 4,
          .compression = BI_RLE4,
          .palette = Four_Palette,
          .pixels = {2, 0x23, 0, 0, 0, 3, 0x01, 0x00, 0, 1}}},
        // A move up one row and back to its start leaves the bottom row at index 0.
        {"RLE8 with a move",
         {.bits = 8, .compression = BI_RLE8, .palette = Four_Palette, .pixels = {0, 2, 0, 1, 1, 0, 1, 1, 0, 1}},
         {Red, Green, Red, Red}},
    };
}

class Picture_Bitmap_Files : public ::testing::Test {
protected:
    Picture_Folder folder;
    std::shared_ptr<const Picture> Load(const std::vector<std::uint8_t>& bytes, const std::wstring& name = L"p.bmp") {
        return Load_Picture(folder.Write(name, bytes), {0, 0});
    }
};

TEST_F(Picture_Bitmap_Files, Every_Layout_Draws_Its_Four_Pixels_Stretched) {
    for (const Valid_Case& c : Valid_Cases()) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<const Picture> picture;
        ASSERT_NO_THROW(picture = Load(Build_Bmp(c.spec)));
        EXPECT_EQ(picture->Kind(), Picture_Kind::Bitmap);
        EXPECT_EQ(picture->Pixel_Size().cx, 2);
        EXPECT_EQ(picture->Pixel_Size().cy, 2);
        Canvas canvas(40, 30);
        EXPECT_TRUE(picture->Render(canvas.Dc(), canvas.Whole()));
        EXPECT_TRUE(Near(canvas.At(5, 5), c.expected[0], 0));
        EXPECT_TRUE(Near(canvas.At(35, 5), c.expected[1], 0));
        EXPECT_TRUE(Near(canvas.At(5, 25), c.expected[2], 0));
        EXPECT_TRUE(Near(canvas.At(35, 25), c.expected[3], 0));
    }
}

TEST_F(Picture_Bitmap_Files, Sample_Fills_Any_Rectangle_Without_Keeping_Its_Shape) {
    auto picture = Load_Picture(Sample("red_green.bmp"), {0, 0});
    EXPECT_EQ(picture->Pixel_Size().cx, 64);
    EXPECT_EQ(picture->Pixel_Size().cy, 48);
    // Enlarged into a tall box with a margin: only the box is touched.
    Canvas tall(60, 200);
    picture->Draw(tall.Dc(), {10, 10, 50, 190});
    EXPECT_TRUE(Near(tall.At(12, 12), Red, 0));
    EXPECT_TRUE(Near(tall.At(47, 187), Green, 0));
    EXPECT_EQ(tall.At(5, 100), Backdrop);
    EXPECT_EQ(tall.At(55, 100), Backdrop);
    EXPECT_EQ(tall.At(30, 195), Backdrop);
    // Reduced, through the halftone mode: the halves stay where they were.
    Canvas small(16, 12);
    picture->Draw(small.Dc(), small.Whole());
    EXPECT_TRUE(Near(small.At(3, 6), Red));
    EXPECT_TRUE(Near(small.At(12, 6), Green));
}

TEST_F(Picture_Bitmap_Files, Upper_Case_Extension_Is_A_Bitmap) {
    auto picture = Load_Picture(folder.Copy("red_green.bmp", L"RED_GREEN.BMP"), {0, 0});
    EXPECT_EQ(picture->Kind(), Picture_Kind::Bitmap);
}

TEST_F(Picture_Bitmap_Files, Malformed_Headers_And_Pixels_Are_Invalid_Pictures) {
    const Bmp_Spec good{.bits = 24, .pixels = Rows({{255, 0, 0, 255, 255, 255}, {0, 0, 255, 0, 255, 0}})};
    const Bmp_Spec rle{.bits = 8, .compression = BI_RLE8, .palette = Four_Palette, .pixels = {1, 2, 1, 3, 0, 0, 0, 1}};
    struct Bad {
        const char* name;
        std::function<void(Bmp_Spec&)> change;
        bool from_rle = false;
    };
    const std::vector<Bad> cases = {
        {"two planes", [](Bmp_Spec& s) { s.planes = 2; }},
        {"7 bits per pixel", [](Bmp_Spec& s) { s.bits = 7; }},
        {"no width", [](Bmp_Spec& s) { s.width = 0; }},
        {"negative width", [](Bmp_Spec& s) { s.width = -2; }},
        {"no height", [](Bmp_Spec& s) { s.height = 0; }},
        {"unknown header size", [](Bmp_Spec& s) { s.header_size = 20; }},
        {"JPEG compression", [](Bmp_Spec& s) { s.compression = BI_JPEG; }},
        {"pixels cut short", [](Bmp_Spec& s) { s.pixels.resize(s.pixels.size() - 1); }},
        {"absurd size", [](Bmp_Spec& s) { s.width = 40000, s.height = 40000; }},
        {"size product past 32 bits", [](Bmp_Spec& s) { s.width = 0x7FFFFFFF, s.height = 0x7FFFFFFF; }},
        {"pixel offset inside the header", [](Bmp_Spec& s) { s.offset_shift = -4; }},
        {"pixel offset past the end", [](Bmp_Spec& s) { s.offset_shift = 1000; }},
        {"masks with 24 bits",
         [](Bmp_Spec& s) {
             s.compression = BI_BITFIELDS, s.masks = {0xFF0000, 0xFF00, 0xFF};
         }},
        {"an empty mask",
         [](Bmp_Spec& s) {
             s.bits = 32, s.compression = BI_BITFIELDS, s.masks = {0xFF0000, 0, 0xFF};
         }},
        {"overlapping masks",
         [](Bmp_Spec& s) {
             s.bits = 32, s.compression = BI_BITFIELDS, s.masks = {0xFF0000, 0x1FF00, 0xFF};
         }},
        {"a mask with a gap",
         [](Bmp_Spec& s) {
             s.bits = 32, s.compression = BI_BITFIELDS, s.masks = {0xF0F000, 0xF00, 0xFF};
         }},
        {"colour table longer than the bits allow", [](Bmp_Spec& s) { s.bits = 1, s.colours_used = 3; }},
        {"colour table past the end", [](Bmp_Spec& s) { s.bits = 8, s.colours_used = 200, s.pixels.resize(4); }},
        {"RLE8 with 24 bits", [](Bmp_Spec& s) { s.bits = 24; }, true},
        {"RLE8 top-down", [](Bmp_Spec& s) { s.height = -2; }, true},
        {"RLE8 cut short",
         [](Bmp_Spec& s) {
             s.pixels = {1, 2, 1, 3, 0};
         },
         true},
        {"RLE8 literal run past the end",
         [](Bmp_Spec& s) {
             s.pixels = {0, 200, 1, 2};
         },
         true},
        {"RLE8 move past the end",
         [](Bmp_Spec& s) {
             s.pixels = {0, 2, 1};
         },
         true},
        {"RLE8 rows past the last one", [](Bmp_Spec& s) { s.pixels = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}; }, true},
        {"RLE4 with 8 bits", [](Bmp_Spec& s) { s.compression = BI_RLE4; }, true},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.name);
        Bmp_Spec spec = c.from_rle ? rle : good;
        c.change(spec);
        EXPECT_THROW(Load(Build_Bmp(spec)), Invalid_Picture);
    }
    std::vector<std::uint8_t> unsigned_file = Build_Bmp(good);
    unsigned_file[0] = 'X';
    EXPECT_THROW(Load(unsigned_file), Invalid_Picture);
    EXPECT_THROW(Load({'B', 'M', 0, 0}), Invalid_Picture);
    EXPECT_THROW(Load({}), Invalid_Picture);
    EXPECT_THROW(Load_Picture(Sample("not_a_bitmap.bmp"), {0, 0}), Invalid_Picture);
}

}  // namespace
}  // namespace velbrook

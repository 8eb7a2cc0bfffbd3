#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "jpeg_test_encoder.h"
#include "../support/cut_bytes.h"
#include "picture/cmyk_to_bgr.h"
#include "picture/jpeg_decode.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

using test::Cut;
using test::Encode_Jpeg;
using test::Jpeg_Recipe;

using Rgb = std::array<int, 3>;

// Four solid quadrants, so that orientation, channel order and position all
// show in four samples.
constexpr Rgb Quadrant_Colours[4] = {{230, 20, 20}, {20, 200, 40}, {30, 40, 220}, {250, 250, 250}};

int Quadrant(int x, int y, int w, int h) { return (y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0); }

Rgb Pixel(const Decoded_Image& image, int x, int y) {
    const auto* p = &image.pixels[static_cast<std::size_t>(y * image.stride + x * 3)];
    return {p[2], p[1], p[0]};  // stored BGR
}

void Expect_Near(const Rgb& actual, const Rgb& expected, const std::string& where) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(actual[c], expected[c], 10) << where << " channel " << c;
    }
}

void Expect_Quadrants(const Decoded_Image& image, const Rgb (&colours)[4], const std::string& name) {
    const int w = image.width, h = image.height;
    const int xs[2] = {w / 4, w * 3 / 4}, ys[2] = {h / 4, h * 3 / 4};
    for (int q = 0; q < 4; ++q) {
        Expect_Near(Pixel(image, xs[q % 2], ys[q / 2]), colours[q], name + " quadrant " + std::to_string(q));
    }
}

std::vector<std::uint8_t> Rgb_Quadrants(Jpeg_Recipe recipe) {
    return Encode_Jpeg(recipe, [&](int x, int y, std::uint8_t* s) {
        const Rgb& c = Quadrant_Colours[Quadrant(x, y, recipe.width, recipe.height)];
        for (int i = 0; i < 3; ++i) s[i] = static_cast<std::uint8_t>(c[i]);
    });
}

TEST(Decode_Jpeg, Colour_Pictures_Come_Out_As_Bgr_Top_Down) {
    struct Case {
        const char* name;
        J_COLOR_SPACE stored;
        bool progressive;
    };
    const Case cases[] = {
        {"YCbCr", JCS_YCbCr, false},
        {"RGB", JCS_RGB, false},
        {"progressive YCbCr", JCS_YCbCr, true},
    };
    for (const auto& c : cases) {
        const auto file = Rgb_Quadrants({.width = 32, .height = 32, .stored = c.stored, .progressive = c.progressive});
        const Decoded_Image image = Decode_Jpeg(file, 0, 0);
        ASSERT_EQ(image.width, 32) << c.name;
        ASSERT_EQ(image.height, 32) << c.name;
        Expect_Quadrants(image, Quadrant_Colours, c.name);
    }
}

TEST(Decode_Jpeg, Grey_Pictures_Give_Equal_Channels) {
    const int levels[4] = {0, 90, 170, 255};
    const auto file = Encode_Jpeg(
        {.width = 32, .height = 32, .components = 1, .input = JCS_GRAYSCALE, .stored = JCS_GRAYSCALE},
        [&](int x, int y, std::uint8_t* s) { s[0] = static_cast<std::uint8_t>(levels[Quadrant(x, y, 32, 32)]); });
    const Decoded_Image image = Decode_Jpeg(file, 0, 0);
    Rgb expected[4];
    for (int q = 0; q < 4; ++q) expected[q] = {levels[q], levels[q], levels[q]};
    Expect_Quadrants(image, expected, "grey");
}

// Inks as a person states them (0 none, 255 full), with the colour they make.
struct Ink_Colour {
    std::array<int, 4> cmyk;
    Rgb rgb;
};
constexpr Ink_Colour Inks[4] = {
    {{255, 0, 0, 0}, {0, 255, 255}},    // cyan
    {{0, 255, 255, 0}, {255, 0, 0}},    // red
    {{0, 0, 0, 128}, {127, 127, 127}},  // half black
    {{0, 0, 0, 0}, {255, 255, 255}},    // paper
};

TEST(Decode_Jpeg, Adobe_Cmyk_And_Ycck_Pictures_Are_Converted_From_Inverted_Ink) {
    for (J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
        // libjpeg marks CMYK files as Adobe's, and Adobe stores inks inverted.
        const auto file = Encode_Jpeg({.width = 32, .height = 32, .components = 4, .input = JCS_CMYK, .stored = stored},
                                      [](int x, int y, std::uint8_t* s) {
                                          const auto& ink = Inks[Quadrant(x, y, 32, 32)].cmyk;
                                          for (int i = 0; i < 4; ++i) s[i] = static_cast<std::uint8_t>(255 - ink[i]);
                                      });
        Rgb expected[4];
        for (int q = 0; q < 4; ++q) expected[q] = Inks[q].rgb;
        Expect_Quadrants(Decode_Jpeg(file, 0, 0), expected, stored == JCS_CMYK ? "CMYK" : "YCCK");
    }
}

TEST(Cmyk_To_Bgr, Reads_Plain_And_Inverted_Inks) {
    for (bool inverted : {false, true}) {
        for (const auto& ink : Inks) {
            std::uint8_t in[4], out[3];
            for (int i = 0; i < 4; ++i) in[i] = static_cast<std::uint8_t>(inverted ? 255 - ink.cmyk[i] : ink.cmyk[i]);
            Cmyk_To_Bgr(in, out, 1, inverted);
            EXPECT_NEAR(out[2], ink.rgb[0], 1);
            EXPECT_NEAR(out[1], ink.rgb[1], 1);
            EXPECT_NEAR(out[0], ink.rgb[2], 1);
        }
    }
}

TEST(Decode_Jpeg, Rows_Are_Padded_To_Four_Bytes) {
    for (int width : {1, 2, 3, 4, 5, 13}) {
        const auto file = Rgb_Quadrants({.width = width, .height = 5});
        const Decoded_Image image = Decode_Jpeg(file, 0, 0);
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.stride % 4, 0) << width;
        EXPECT_GE(image.stride, width * 3) << width;
        EXPECT_LT(image.stride, width * 3 + 4) << width;
        EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.stride * image.height));
    }
}

TEST(Decode_Jpeg, Decodes_At_The_Scale_Chosen_For_The_Target) {
    struct Case {
        int target_w, target_h, expected_w, expected_h;
    };
    const Case cases[] = {
        {0, 0, 64, 48},                        // full size
        {8, 6, 8, 6},                          // 1/8
        {9, 6, 16, 12},                        // one column more: 1/4
        {20, 20, 32, 24},                      // 1/2
        {64, 48, 64, 48}, {500, 500, 64, 48},  // never above the file's own size
    };
    const auto file = Rgb_Quadrants({.width = 64, .height = 48});
    for (const auto& c : cases) {
        const Decoded_Image image = Decode_Jpeg(file, c.target_w, c.target_h);
        EXPECT_EQ(image.width, c.expected_w) << c.target_w << "x" << c.target_h;
        EXPECT_EQ(image.height, c.expected_h) << c.target_w << "x" << c.target_h;
        Expect_Quadrants(image, Quadrant_Colours, "scaled " + std::to_string(image.width));
    }
}

TEST(Read_Jpeg_Info, Gives_The_Size_Without_Decoding) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{17, 3}, std::pair{640, 480}}) {
        const Jpeg_Info info = Read_Jpeg_Info(Rgb_Quadrants({.width = w, .height = h}));
        EXPECT_EQ(info.width, w);
        EXPECT_EQ(info.height, h);
    }
}

TEST(Decode_Jpeg, Refuses_Malformed_Files_With_Invalid_Picture) {
    const auto good = Rgb_Quadrants({.width = 64, .height = 64});
    const auto progressive = Rgb_Quadrants({.width = 64, .height = 64, .progressive = true});
    auto forged_large = good;
    test::Forge_Frame_Size(forged_large, 4000, 3000);
    auto forged_too_wide = good;
    test::Forge_Frame_Size(forged_too_wide, 65535, 65535);
    auto forged_empty = good;
    test::Forge_Frame_Size(forged_empty, 0, 64);
    const std::string text = "This is a text file that was named picture.jpg";
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"text", {text.begin(), text.end()}},
        {"PNG", {std::begin(png), std::end(png)}},
        {"start marker only", {0xFF, 0xD8}},
        {"cut inside the header", Cut(good, 40)},
        {"cut in the middle of the scan", Cut(good, good.size() / 2)},
        {"end marker missing", Cut(good, good.size() - 2)},
        {"progressive cut in its scans", Cut(progressive, progressive.size() * 3 / 4)},
        {"claims more pixels than it holds", forged_large},
        {"claims more than libjpeg allows", forged_too_wide},
        {"claims zero width", forged_empty},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(Decode_Jpeg(c.bytes, 0, 0), Invalid_Picture) << c.name;
        try {
            Decode_Jpeg(c.bytes, 141, 179);
        } catch (const Invalid_Picture& failure) {
            EXPECT_FALSE(failure.Text().empty()) << c.name;
            continue;
        }
        ADD_FAILURE() << c.name << " decoded at preview size";
    }
}

TEST(Decode_Jpeg, Refuses_A_Size_Beyond_The_Bound_Before_Allocating) {
    // 65000 x 65000 at full size would need 12 GB; refused from the header.
    auto forged = Rgb_Quadrants({.width = 64, .height = 64});
    test::Forge_Frame_Size(forged, 65000, 65000);
    EXPECT_EQ(Read_Jpeg_Info(forged).width, 65000);
    EXPECT_THROW(Decode_Jpeg(forged, 0, 0), Invalid_Picture);
    EXPECT_THROW(Decode_Jpeg(forged, 65000, 65000), Invalid_Picture);
}

TEST(Read_Jpeg_Info, Refuses_Files_Without_A_Readable_Header) {
    const auto good = Rgb_Quadrants({.width = 64, .height = 64});
    const std::vector<std::vector<std::uint8_t>> cases = {{}, {0xFF, 0xD8}, Cut(good, 40), {'B', 'M', 0, 0}};
    for (const auto& bytes : cases) EXPECT_THROW(Read_Jpeg_Info(bytes), Invalid_Picture) << bytes.size();
}

}  // namespace
}  // namespace velbrook

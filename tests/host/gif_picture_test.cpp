#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gif_encoder.h"
#include "picture/gif_picture.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A screen of the given size holding one frame of `width` x `height` at
// (left, top), every pixel index 1.
Bytes Screen_With_Frame(int screen_w, int screen_h, int left, int top, int width, int height) {
    TGIFEncodeImage image;
    image.Width = screen_w;
    image.Height = screen_h;
    image.Global_Color_Bits = 1;
    image.Global_Palette = {10, 20, 30, 200, 150, 100};
    TGIFEncodeFrame frame =
        Whole_Frame(width, height, Bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 1));
    frame.Left = left;
    frame.Top = top;
    image.Frames.push_back(frame);
    return Encode_GIF(image);
}

TEST(Gif_First_Frame, A_Screen_Past_The_Canvas_Limit_Is_Refused_Before_It_Is_Composed) {
    const struct {
        const char* what;
        Bytes file;
        bool refused;
    } cases[] = {
        {"a small screen", Screen_With_Frame(4, 3, 1, 1, 2, 2), false},
        {"the widest screen, as high as the limit allows", Screen_With_Frame(65535, 682, 0, 0, 1, 1), false},
        {"the widest screen, one row more", Screen_With_Frame(65535, 683, 0, 0, 1, 1), true},
        {"65535 x 2730 from a few bytes", Screen_With_Frame(65535, 2730, 0, 0, 1, 1), true},
        {"the largest screen there is", Screen_With_Frame(65535, 65535, 0, 0, 1, 1), true},
        {"a small screen stretched by a frame far out", Screen_With_Frame(1, 1, 60000, 60000, 2, 2), true},
        {"a frame stretching the screen across", Screen_With_Frame(1, 1, 65000, 0, 3, 2000), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.refused) {
            EXPECT_THROW(Decode_Gif_First_Frame(c.file), Invalid_Picture);
            continue;
        }
        const Decoded_Image image = Decode_Gif_First_Frame(c.file);
        EXPECT_LE(static_cast<std::uint64_t>(image.stride) * static_cast<std::uint64_t>(image.height),
                  Max_Gif_Canvas_Bytes);
        EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.stride) * static_cast<std::size_t>(image.height));
    }
}

TEST(Gif_First_Frame, Is_Composed_On_White_At_Its_Place) {
    const Decoded_Image image = Decode_Gif_First_Frame(Screen_With_Frame(4, 3, 1, 1, 2, 2));
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 3);
    ASSERT_EQ(image.stride, 12);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x <= 2 && y >= 1;
            const std::uint8_t* bgr = &image.pixels[static_cast<std::size_t>(y) * 12 + static_cast<std::size_t>(x) * 3];
            const std::vector<int> expected =
                inside ? std::vector<int>{100, 150, 200} : std::vector<int>{255, 255, 255};
            EXPECT_EQ((std::vector<int>{bgr[0], bgr[1], bgr[2]}), expected) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace velbrook

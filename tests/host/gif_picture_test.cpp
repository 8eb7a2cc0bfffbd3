#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gif_encoder.h"
#include "gif/gif_decoder.h"
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
            try {
                Decode_Gif_First_Frame(c.file);
                ADD_FAILURE() << "accepted";
            } catch (const Invalid_Picture& refused) {
                EXPECT_NE(std::string(refused.what()).find("screen is too large"), std::string::npos) << refused.what();
            }
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

// The hook sees each frame's place and size before its rows are decoded;
// false drops that frame and the ones after it.
TEST(Gif_Decoder, A_Frame_Refused_When_Placed_Is_Never_Decoded) {
    TGIFEncodeImage image;
    image.Width = 8;
    image.Height = 8;
    image.Global_Color_Bits = 1;
    for (int k = 0; k < 3; ++k) {
        TGIFEncodeFrame frame = Whole_Frame(4, 3, Bytes(12, 1));
        frame.Left = k;
        frame.Top = 2 * k;
        image.Frames.push_back(frame);
    }
    const Bytes file = Encode_GIF(image);
    for (const int refused_at : {0, 1, 2, 3}) {
        Gif_Decoder decoder;
        std::vector<std::pair<int, int>> placed;
        bool built_after_refusal = false;
        decoder.On_Frame_Placed = [&](const TGIFFrame& frame) {
            EXPECT_EQ(frame.Width, 4);
            EXPECT_EQ(frame.Height, 3);
            EXPECT_TRUE(frame.raster.pixels.empty());
            placed.emplace_back(frame.Left, frame.Top);
            return static_cast<int>(placed.size()) - 1 != refused_at;
        };
        decoder.On_Frame_Built = [&](const TGIFFrame&) {
            built_after_refusal = built_after_refusal || static_cast<int>(placed.size()) - 1 >= refused_at;
            return true;
        };
        EXPECT_EQ(decoder.ReadImage(file), refused_at > 0) << refused_at;
        EXPECT_EQ(decoder.FrameCount(), refused_at > 0 ? std::min(refused_at, 3) : 0) << refused_at;
        EXPECT_EQ(placed.size(), static_cast<std::size_t>(std::min(refused_at + 1, 3))) << refused_at;
        for (std::size_t k = 0; k < placed.size(); ++k)
            EXPECT_EQ(placed[k], (std::pair{static_cast<int>(k), 2 * static_cast<int>(k)}));
        EXPECT_FALSE(built_after_refusal) << refused_at;
    }
}

}  // namespace
}  // namespace velbrook

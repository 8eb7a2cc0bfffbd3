// The Windows side of GIF loading: each frame's Bitmap and Mask as GDI
// bitmaps, the stored Data, LoadFromStream, Assign and the first frame's copy.
#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

#include "gif_encoder.h"
#include "gif/gif_image.h"

namespace velbrook {

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Two_Frame_GIF() {
    TGIFEncodeImage image;
    image.Width = 5;
    image.Height = 3;
    image.Global_Color_Bits = 4;
    image.Loop_Count = 999;
    TGIFEncodeFrame first;
    first.Width = 5;
    first.Height = 3;
    first.Indices = {9, 1, 2, 3, 9, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4};
    first.Graphic_Control = true;
    first.Transparent_Index = 9;
    first.Delay = 10;
    first.Disposal = 2;
    TGIFEncodeFrame second;
    second.Left = 1;
    second.Top = 1;
    second.Width = 2;
    second.Height = 2;
    second.Local_Color_Bits = 1;
    second.Indices = {1, 0, 0, 1};
    second.Graphic_Control = true;
    second.Disposal = 3;
    image.Frames = {first, second};
    return Encode_GIF(image);
}

struct Dib {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[256];
    Bytes Bits;
};

// Reads a bitmap back through GetDIBits at its own depth.
Dib Read_Back(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    Dib dib{};
    dib.Header.biSize = sizeof(BITMAPINFOHEADER);
    dib.Header.biWidth = info.bmWidth;
    dib.Header.biHeight = info.bmHeight;
    dib.Header.biPlanes = 1;
    dib.Header.biBitCount = info.bmBitsPixel;
    dib.Header.biCompression = BI_RGB;
    const std::size_t stride = ((static_cast<std::size_t>(info.bmWidth) * info.bmBitsPixel + 31) / 32) * 4;
    dib.Bits.resize(stride * static_cast<std::size_t>(info.bmHeight));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), dib.Bits.data(), reinterpret_cast<BITMAPINFO*>(&dib),
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return dib;
}

}  // namespace

TEST(GifImage, FramesBecomeBitmapsAndMasks) {
    TGIFImage image;
    EXPECT_EQ(image.CurrentFrame(), 0);
    const Bytes gif = Two_Frame_GIF();
    ASSERT_TRUE(image.Load_From_Bytes(gif));
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(image.LoopCount(), 999);
    EXPECT_TRUE(image.HasTransparency());

    const Gif_Frame_Bitmaps& first = image.Frame_Bitmaps(1);
    ASSERT_TRUE(first.Bitmap);
    ASSERT_TRUE(first.Mask);
    EXPECT_TRUE(first.Palette);
    EXPECT_FALSE(first.SavedBitmap);
    const Dib pixels = Read_Back(first.Bitmap.get());
    EXPECT_EQ(pixels.Header.biWidth, 5);
    EXPECT_EQ(pixels.Header.biHeight, 3);
    EXPECT_EQ(pixels.Header.biBitCount, 8);
    // Top row (the last one bottom-up), stride 8.
    const std::uint8_t* top = pixels.Bits.data() + 2 * 8;
    EXPECT_EQ(top[0], 9);
    EXPECT_EQ(top[1], 1);
    EXPECT_EQ(top[4], 9);
    EXPECT_EQ(pixels.Bits[0], 0);  // bottom row, x = 0
    const Bytes palette = Test_Palette(4);
    EXPECT_EQ(pixels.Colors[3].rgbRed, palette[9]);
    EXPECT_EQ(pixels.Colors[3].rgbGreen, palette[10]);
    EXPECT_EQ(pixels.Colors[3].rgbBlue, palette[11]);

    const Dib mask = Read_Back(first.Mask.get());
    EXPECT_EQ(mask.Header.biBitCount, 1);
    EXPECT_EQ(mask.Bits[2 * 4], 0x88);  // top row: x = 0 and x = 4 transparent
    EXPECT_EQ(mask.Bits[0], 0x00);
    EXPECT_EQ(mask.Colors[1].rgbRed, 255);
    EXPECT_EQ(mask.Colors[0].rgbRed, 0);

    // Disposal 3: the area under the frame gets saved surfaces; no
    // transparency: no mask.
    const Gif_Frame_Bitmaps& second = image.Frame_Bitmaps(2);
    EXPECT_TRUE(second.Bitmap);
    EXPECT_FALSE(second.Mask);
    EXPECT_TRUE(second.SavedBitmap);
    EXPECT_TRUE(second.SavedMask);
    const Dib small = Read_Back(second.Bitmap.get());
    EXPECT_EQ(small.Header.biWidth, 2);
    EXPECT_EQ(small.Bits[4], 1);  // top row (stride 4), x = 0
    EXPECT_EQ(small.Bits[5], 0);
}

TEST(GifImage, StoredDataRoundTrip) {
    const Bytes gif = Two_Frame_GIF();
    std::string form;
    for (int i = 0; i < 4; ++i) form.push_back(static_cast<char>((gif.size() >> (8 * i)) & 0xFF));
    form.append(gif.begin(), gif.end());

    struct Case {
        const char* name;
        std::string stored;
        bool loads;
    };
    const std::vector<Case> cases = {
        {"whole", form, true},
        {"length 0", std::string("\0\0\0\0", 4) + std::string(gif.begin(), gif.end()), false},
        {"negative", std::string("\xFF\xFF\xFF\xFF", 4) + std::string(gif.begin(), gif.end()), false},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        std::istringstream in(c.stored);
        image.ReadData(in);
        image.Loaded();
        EXPECT_EQ(!image.Empty(), c.loads) << c.name;
        EXPECT_EQ(image.Stores_Data(), c.loads) << c.name;
        std::ostringstream out;
        image.WriteData(out);
        EXPECT_EQ(out.str(), c.loads ? form : std::string()) << c.name;
    }
}

TEST(GifImage, LoadFromStreamAssignAndFirstFrame) {
    const Bytes gif = Two_Frame_GIF();
    std::istringstream stream(std::string(gif.begin(), gif.end()));
    stream.seekg(7);  // loading always starts from the beginning
    TGIFImage source;
    ASSERT_TRUE(source.LoadFromStream(stream));
    EXPECT_EQ(source.DataStream(), gif);

    TGIFImage target;
    target.Assign(&source);
    EXPECT_EQ(target.FrameCount(), 2);
    EXPECT_EQ(target.DataStream(), gif);
    HBITMAP copy = target.GetFirstFrameBitmap();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, target.Frame_Bitmaps(1).Bitmap.get());
    EXPECT_EQ(target.GetFirstFrameBitmap(), copy);  // kept until the next clear
    EXPECT_EQ(Read_Back(copy).Bits, Read_Back(target.Frame_Bitmaps(1).Bitmap.get()).Bits);

    target.Assign(nullptr);
    EXPECT_TRUE(target.Empty());
    EXPECT_EQ(target.GetFirstFrameBitmap(), nullptr);
    EXPECT_FALSE(target.Stores_Data());

    std::istringstream broken(std::string(gif.begin(), gif.begin() + 10));
    EXPECT_FALSE(source.LoadFromStream(broken));
    EXPECT_TRUE(source.Empty());
    EXPECT_FALSE(source.Stores_Data());
}

TEST(GifImage, CancelledProgressLeavesTheControlEmpty) {
    TGIFImage image;
    int calls = 0;
    image.OnProgress = [&](TGIFImage& sender, int, int, int, bool& keep) {
        EXPECT_EQ(&sender, &image);
        if (++calls == 2) keep = false;
    };
    EXPECT_FALSE(image.Load_From_Bytes(Two_Frame_GIF()));
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.FrameCount(), 0);
}

TEST(GifImage, ProgressPercentagesHoldForAGifPast42Megabytes) {
    // Past 42,949,672 bytes a position times 100 no longer fits in 32 bits,
    // and the program is a 32-bit one.  A long comment takes it there.
    Bytes gif = Two_Frame_GIF();
    gif.pop_back();                         // the trailer
    constexpr std::size_t blocks = 180000;  // 46 MB of comment
    gif.reserve(gif.size() + 2 + blocks * 256 + 2);
    gif.insert(gif.end(), {0x21, 0xFE});
    for (std::size_t i = 0; i < blocks; ++i) {
        gif.push_back(255);
        gif.insert(gif.end(), 255, std::uint8_t{'x'});
    }
    gif.insert(gif.end(), {0x00, 0x3B});

    TGIFImage image;
    std::vector<std::pair<int, int>> calls;  // position, percentage
    image.OnProgress = [&](TGIFImage&, int position, int size, int percent, bool&) {
        EXPECT_EQ(size, static_cast<int>(gif.size()));
        calls.emplace_back(position, percent);
    };
    ASSERT_TRUE(image.Load_From_Bytes(gif));
    ASSERT_FALSE(calls.empty());
    const long long size = static_cast<long long>(gif.size());
    for (const auto& [position, percent] : calls)
        EXPECT_EQ(percent, (position * 100LL + size / 2) / size) << "at " << position;
    EXPECT_EQ(calls.back().first, static_cast<int>(gif.size()));
    EXPECT_EQ(calls.back().second, 100);
}

}  // namespace velbrook

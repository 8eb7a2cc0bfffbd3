#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "gif/gif_decoder.h"
#include "gif_test_support.h"

namespace velbrook {

using namespace gif_test;

namespace {

using Bytes = std::vector<std::uint8_t>;

TGIFEncodeFrame Solid_Frame(int width, int height, std::uint8_t index = 1) {
    return Whole_Frame(width, height, Bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), index));
}

TGIFEncodeImage Picture(int frames, int width = 4, int height = 3) {
    TGIFEncodeImage image;
    image.Width = width;
    image.Height = height;
    image.Global_Color_Bits = 2;
    for (int i = 0; i < frames; ++i)
        image.Frames.push_back(Solid_Frame(width, height, static_cast<std::uint8_t>(i % 4)));
    return image;
}

// Offset of the n-th image descriptor (0-based) in an encoded picture whose
// frames have no local tables and no graphic control extensions.
std::size_t Descriptor_Offset(const Bytes& gif, int n) {
    std::size_t at = 13 + (gif[10] & 0x80 ? std::size_t{3} << ((gif[10] & 7) + 1) : 0);
    for (;;) {
        if (gif[at] == 0x2C) {
            if (n-- == 0) return at;
            at += 10 + 1;  // descriptor, code size
            while (gif[at] != 0) at += gif[at] + 1u;
            ++at;
        } else {
            at += 2;  // extension: introducer, label, then sub-blocks
            while (gif[at] != 0) at += gif[at] + 1u;
            ++at;
        }
    }
}

}  // namespace

TEST(GifDecoder, HeaderAndVersion) {
    struct Case {
        std::string signature;
        bool loads;
        TGIFVersion version;
    };
    const std::vector<Case> cases = {
        {"GIF89a", true, TGIFVersion::gvGIF89a},  {"GIF87a", true, TGIFVersion::gvGIF87a},
        {"GIF8?b", true, TGIFVersion::gvGIF87a},  // bytes 3 and 5 are not looked at
        {"GIF99a", true, TGIFVersion::gvGIF89a},  {"gif89a", false, TGIFVersion::gvGIF87a},
        {"GIX89a", false, TGIFVersion::gvGIF87a},
    };
    for (const Case& c : cases) {
        Bytes gif = Encode_GIF(Picture(1));
        std::copy(c.signature.begin(), c.signature.end(), gif.begin());
        Gif_Decoder decoder;
        EXPECT_EQ(decoder.ReadImage(gif), c.loads) << c.signature;
        if (c.loads) {
            EXPECT_EQ(decoder.Version(), c.version) << c.signature;
        }
    }
}

TEST(GifDecoder, LoadFailures) {
    const Bytes good = Encode_GIF(Picture(2));
    const std::size_t second = Descriptor_Offset(good, 1);
    auto with = [&](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"header cut short", Bytes(good.begin(), good.begin() + 5)},
        {"screen descriptor cut short", Bytes(good.begin(), good.begin() + 12)},
        {"global table cut short", Bytes(good.begin(), good.begin() + 20)},
        {"no frame",
         [] {
             TGIFEncodeImage image = Picture(0);
             return Encode_GIF(image);
         }()},
        {"first frame width 0", with(Descriptor_Offset(good, 0) + 5, 0)},
        {"second frame width 0",
         [&] {
             Bytes b = with(second + 5, 0);
             b[second + 6] = 0;
             return b;
         }()},
        {"second frame height 0",
         [&] {
             Bytes b = with(second + 7, 0);
             b[second + 8] = 0;
             return b;
         }()},
        {"first frame refused (code size 16)", with(Descriptor_Offset(good, 0) + 10, 16)},
    };
    for (const Case& c : cases) {
        Gif_Decoder decoder;
        EXPECT_FALSE(decoder.ReadImage(c.bytes)) << c.name;
        EXPECT_TRUE(decoder.Empty()) << c.name;
        EXPECT_EQ(decoder.FrameCount(), 0) << c.name;
        EXPECT_TRUE(decoder.DataStream().empty()) << c.name;
    }
}

TEST(GifDecoder, AFailingFrameKeepsTheFramesBeforeIt) {
    const Bytes good = Encode_GIF(Picture(3));
    const std::size_t second = Descriptor_Offset(good, 1);
    struct Case {
        const char* name;
        Bytes bytes;
        int frames;
    };
    auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> values) {
        Bytes b = good;
        std::copy(values.begin(), values.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    const std::vector<Case> cases = {
        {"intact", good, 3},
        {"second frame 16385 wide", with(second + 5, {0x01, 0x40}), 1},
        {"second frame 16385 tall", with(second + 7, {0x01, 0x40}), 1},
        {"second frame code size 12", with(second + 10, {12}), 1},
        {"second frame code size 15", with(second + 10, {15}), 1},
        {"second frame code size 200", with(second + 10, {200}), 1},
        {"second descriptor cut short", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(second + 6)), 1},
        {"second frame's data cut short", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(second + 13)),
         2},
    };
    for (const Case& c : cases) {
        Gif_Decoder decoder;
        EXPECT_TRUE(decoder.ReadImage(c.bytes)) << c.name;
        EXPECT_EQ(decoder.FrameCount(), c.frames) << c.name;
        EXPECT_EQ(decoder.DataStream(), c.bytes) << c.name;
    }
}

TEST(GifDecoder, GraphicControlPerFrame) {
    struct Case {
        int disposal_stored;
        int disposal;
        int delay_stored;
        int delay;
        int transparent;
    };
    const std::vector<Case> cases = {
        {0, 0, 0, 0, -1},  {1, 1, 7, 70, 3},  {2, 2, 10, 100, 0}, {3, 3, 65535, 655350, 255},
        {4, 2, 1, 10, -1}, {5, 2, 7, 70, 11}, {6, 2, 0, 0, -1},   {7, 2, 2, 20, 1},
    };
    for (const Case& c : cases) {
        TGIFEncodeImage image = Picture(2);
        image.Global_Color_Bits = 8;
        image.Frames[0].Graphic_Control = true;
        image.Frames[0].Disposal = c.disposal_stored;
        image.Frames[0].Delay = c.delay_stored;
        image.Frames[0].Transparent_Index = c.transparent;
        Gif_Decoder decoder;
        ASSERT_TRUE(decoder.ReadImage(Encode_GIF(image)));
        const TGIFFrame& first = decoder.Frame(1);
        EXPECT_EQ(first.Disposal, c.disposal) << c.disposal_stored;
        EXPECT_EQ(first.Delay, c.delay);
        EXPECT_EQ(first.Transparent, c.transparent >= 0);
        if (c.transparent >= 0) {
            EXPECT_EQ(first.TransparentIndex, c.transparent);
        }
        EXPECT_EQ(decoder.HasTransparency(), c.transparent >= 0);
        // The second frame has no extension of its own: zeros.
        const TGIFFrame& second = decoder.Frame(2);
        EXPECT_EQ(second.Disposal, 0);
        EXPECT_EQ(second.Delay, 0);
        EXPECT_FALSE(second.Transparent);
    }
}

TEST(GifDecoder, LoopCount) {
    struct Case {
        int stored;
        int loop_count;
    };
    for (const Case c : std::vector<Case>{{-1, 1}, {0, 0}, {999, 999}, {65535, 65535}}) {
        TGIFEncodeImage image = Picture(2);
        image.Loop_Count = c.stored;
        image.Comments = {"made by a test", std::string(300, 'x')};
        Gif_Decoder decoder;
        ASSERT_TRUE(decoder.ReadImage(Encode_GIF(image)));
        EXPECT_EQ(decoder.LoopCount(), c.loop_count) << c.stored;
        EXPECT_EQ(decoder.FrameCount(), 2);
    }
}

TEST(GifDecoder, ExtensionsAreSkippedWhole) {
    const Bytes good = Encode_GIF(Picture(1));
    const std::size_t first = Descriptor_Offset(good, 0);
    // Extensions whose bodies hold bytes that look like block introducers.
    const std::vector<std::pair<const char*, Bytes>> extensions = {
        {"unknown label", {0x21, 0x99, 3, 0x2C, 0x3B, 0x21, 2, 0x2C, 0x00, 0}},
        {"plain text", {0x21, 0x01, 12, 0, 0, 0, 0, 9, 0, 9, 0, 8, 8, 1, 0, 4, 0x2C, 0x3B, 0x2C, 0x3B, 0}},
        {"comment", {0x21, 0xFE, 2, 0x3B, 0x3B, 0}},
        {"other application",
         {0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 2, 0x3B, 0x2C, 0}},
        {"short looping block", {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 1, 0x3B, 0}},
    };
    for (const auto& [name, extension] : extensions) {
        Bytes gif(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(first));
        gif.insert(gif.end(), extension.begin(), extension.end());
        gif.insert(gif.end(), good.begin() + static_cast<std::ptrdiff_t>(first), good.end());
        Gif_Decoder decoder;
        EXPECT_TRUE(decoder.ReadImage(gif)) << name;
        EXPECT_EQ(decoder.FrameCount(), 1) << name;
        EXPECT_EQ(decoder.LoopCount(), 1) << name;
    }
}

TEST(GifDecoder, CommentCutShortEndsTheParse) {
    Bytes gif = Encode_GIF(Picture(2));
    gif.pop_back();  // the trailer
    gif.insert(gif.end(), {0x21, 0xFE, 200, 'a', 'b'});
    Gif_Decoder decoder;
    EXPECT_TRUE(decoder.ReadImage(gif));
    EXPECT_EQ(decoder.FrameCount(), 2);
}

TEST(GifDecoder, FrameCapAndFirstImageOnly) {
    struct Case {
        int frames;
        bool first_only;
        int loaded;
        bool multi;
    };
    for (const Case c : std::vector<Case>{{1, false, 1, false},
                                          {10, false, 10, true},
                                          {10, true, 1, false},
                                          {256, false, 256, true},
                                          {260, false, 256, true}}) {
        Gif_Decoder decoder;
        decoder.FirstImageOnly = c.first_only;
        ASSERT_TRUE(decoder.ReadImage(Encode_GIF(Picture(c.frames, 2, 2)))) << c.frames;
        EXPECT_EQ(decoder.FrameCount(), c.loaded) << c.frames;
        EXPECT_EQ(decoder.MultiFrame(), c.multi) << c.frames;
    }
}

TEST(GifDecoder, LogicalSizeWidenedToEveryFrame) {
    struct Case {
        int screen_w, screen_h, left, top, w, h;
        int logical_w, logical_h;
    };
    for (const Case c : std::vector<Case>{{120, 100, 100, 0, 50, 10, 150, 100},
                                          {120, 100, 0, 95, 10, 10, 120, 105},
                                          {10, 10, 0, 0, 5, 5, 10, 10},
                                          {0, 0, 65535, 1, 1, 1, 65536, 2}}) {
        TGIFEncodeImage image = Picture(0, c.screen_w, c.screen_h);
        TGIFEncodeFrame frame = Solid_Frame(c.w, c.h);
        frame.Left = c.left;
        frame.Top = c.top;
        image.Frames = {Solid_Frame(1, 1), frame};
        Gif_Decoder decoder;
        ASSERT_TRUE(decoder.ReadImage(Encode_GIF(image)));
        EXPECT_EQ(decoder.LogicalWidth(), c.logical_w);
        EXPECT_EQ(decoder.LogicalHeight(), c.logical_h);
        EXPECT_EQ(decoder.Frame(2).Left, c.left);
        EXPECT_EQ(decoder.Frame(2).Top, c.top);
    }
}

TEST(GifDecoder, ColourTablesAndBitmapColours) {
    // Global table of 2 bits; frame 2 has a 5-bit local table, which raises
    // the global bits, so frame 3 (global table) gets 32 bitmap colours.
    TGIFEncodeImage image = Picture(3);
    image.Frames[1].Local_Color_Bits = 5;
    Gif_Decoder decoder;
    ASSERT_TRUE(decoder.ReadImage(Encode_GIF(image)));
    EXPECT_EQ(decoder.GlobalColorBits(), 5);
    EXPECT_EQ(decoder.Frame(1).bitmap_color_bits, 2);
    EXPECT_FALSE(decoder.Frame(1).HasLocalPalette);
    EXPECT_EQ(decoder.Frame(1).Palette, &decoder.GlobalPalette());
    EXPECT_EQ(decoder.Frame(2).bitmap_color_bits, 5);
    EXPECT_TRUE(decoder.Frame(2).HasLocalPalette);
    EXPECT_EQ(decoder.Frame(2).ColorBits, 5);
    const Bytes local = Test_Palette(5, 1);
    EXPECT_TRUE(std::equal(local.begin(), local.end(), decoder.Frame(2).Palette->begin()));
    EXPECT_EQ((*decoder.Frame(2).Palette)[3 * 32], 0);  // past the table: zero
    EXPECT_EQ(decoder.Frame(3).bitmap_color_bits, 5);
    const Bytes global = Test_Palette(2);
    EXPECT_TRUE(std::equal(global.begin(), global.end(), decoder.GlobalPalette().begin()));
}

TEST(GifDecoder, NoGlobalTableClearsThePalette) {
    Gif_Decoder decoder;
    ASSERT_TRUE(decoder.ReadImage(Encode_GIF(Picture(1))));
    TGIFEncodeImage image = Picture(1);
    image.Global_Color_Bits = 0;
    ASSERT_TRUE(decoder.ReadImage(Encode_GIF(image)));
    EXPECT_EQ(decoder.GlobalColorBits(), 0);
    EXPECT_EQ(decoder.Frame(1).bitmap_color_bits, 0);
    for (const std::uint8_t b : decoder.GlobalPalette()) ASSERT_EQ(b, 0);
}

TEST(GifDecoder, ProgressAndCancel) {
    TGIFEncodeImage big = Picture(0, 400, 300);
    big.Frames = {Solid_Frame(4, 4), Whole_Frame(400, 300, Photo_Like(400, 300, 2, 9)), Solid_Frame(4, 4)};
    const Bytes gif = Encode_GIF(big);

    struct Case {
        const char* name;
        int cancel_at;  // 0: never
        bool loads;
    };
    for (const Case c :
         std::vector<Case>{{"never", 0, true}, {"first call", 1, false}, {"inside the big frame", 5, false}}) {
        Gif_Decoder decoder;
        std::vector<int> percents;
        std::vector<int> positions;
        decoder.OnProgress = [&](int processed, int total, int percent, bool& keep) {
            EXPECT_EQ(total, static_cast<int>(gif.size()));
            positions.push_back(processed);
            percents.push_back(percent);
            if (static_cast<int>(percents.size()) == c.cancel_at) keep = false;
        };
        EXPECT_EQ(decoder.ReadImage(gif), c.loads) << c.name;
        EXPECT_EQ(decoder.Empty(), !c.loads) << c.name;
        EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << c.name;
        if (c.loads) {
            EXPECT_EQ(decoder.FrameCount(), 3);
            EXPECT_EQ(percents.back(), 100);
            // Block calls plus ten row calls inside the big frame.
            EXPECT_GT(percents.size(), 10u);
        }
    }
}

TEST(GifDecoder, StoredData) {
    const Bytes gif = Encode_GIF(Picture(1));
    auto stored = [](std::int32_t length, const Bytes& body) {
        std::string s;
        for (int i = 0; i < 4; ++i)
            s.push_back(static_cast<char>((static_cast<std::uint32_t>(length) >> (8 * i)) & 0xFF));
        s.append(body.begin(), body.end());
        return s;
    };
    struct Case {
        const char* name;
        std::string form;
        bool ok;
        Bytes data;
    };
    const std::vector<Case> cases = {
        {"whole", stored(static_cast<std::int32_t>(gif.size()), gif), true, gif},
        {"length 0", stored(0, gif), true, {}},
        {"negative length", stored(-5, gif), true, {}},
        {"length past the end", stored(static_cast<std::int32_t>(gif.size() + 1), gif), false, {}},
        {"huge length", stored(0x7FFFFFFF, gif), false, {}},
        {"length cut short", std::string("\x05\x00", 2), false, {}},
    };
    for (const Case& c : cases) {
        Gif_Decoder decoder;
        std::istringstream in(c.form);
        EXPECT_EQ(decoder.ReadData(in), c.ok) << c.name;
        EXPECT_EQ(decoder.DataStream(), c.data) << c.name;
        std::ostringstream out;
        decoder.WriteData(out);
        EXPECT_EQ(out.str(), c.data.empty() ? std::string() : stored(static_cast<std::int32_t>(c.data.size()), c.data))
            << c.name;
    }
    // After a load the stored bytes are the loaded ones, after a failed load none.
    Gif_Decoder decoder;
    ASSERT_TRUE(decoder.ReadImage(gif));
    EXPECT_EQ(decoder.DataStream(), gif);
    EXPECT_FALSE(decoder.ReadImage(Bytes(gif.begin(), gif.begin() + 8)));
    EXPECT_TRUE(decoder.DataStream().empty());
}

TEST(GifDecoder, FramesCanBeReadBackByPosition) {
    TGIFEncodeImage image = Picture(0, 30, 20);
    TGIFEncodeFrame frame = Whole_Frame(30, 20, Photo_Like(30, 20, 2, 4));
    frame.Interlaced = true;
    image.Frames = {frame};
    Gif_Decoder decoder;
    ASSERT_TRUE(decoder.ReadImage(Encode_GIF(image)));
    const TGIFFrame& f = decoder.Frame(1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(f.Index_At(x, y), frame.Indices[static_cast<std::size_t>(y * 30 + x)]);
}

TEST(GifDecoder, RasterBudgetStopsAtTheFrameThatPassesIt) {
    Gif_Decoder decoder;
    decoder.raster_budget = 3 * 100 * 100;  // three 100 x 100 frames (stride 100)
    ASSERT_TRUE(decoder.ReadImage(Encode_GIF(Picture(5, 100, 100))));
    EXPECT_EQ(decoder.FrameCount(), 3);
}

}  // namespace velbrook

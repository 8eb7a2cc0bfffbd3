// Our decoder against giflib, an independent decoder: the same palette
// indices for every frame of every file that both accept.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gif/gif_decoder.h"
#include "gif_reference.h"
#include "gif_test_support.h"

namespace velbrook {

using namespace gif_test;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Compares one file; returns true when both decoders accepted it.
bool Compare(const std::string& name, const Bytes& gif) {
    std::vector<TReference_Frame> reference;
    const bool giflib_ok = Reference_Decode(gif, reference);
    Gif_Decoder ours;
    const bool ours_ok = ours.ReadImage(gif);
    if (!giflib_ok || !ours_ok) return false;
    EXPECT_EQ(static_cast<std::size_t>(ours.FrameCount()), reference.size()) << name;
    const std::size_t frames = std::min(static_cast<std::size_t>(ours.FrameCount()), reference.size());
    for (std::size_t i = 0; i < frames; ++i) {
        const TGIFFrame& frame = ours.Frame(static_cast<int>(i + 1));
        const TReference_Frame& theirs = reference[i];
        EXPECT_EQ(frame.Left, theirs.Left) << name << " frame " << i + 1;
        EXPECT_EQ(frame.Top, theirs.Top) << name << " frame " << i + 1;
        EXPECT_EQ(frame.Width, theirs.Width) << name << " frame " << i + 1;
        EXPECT_EQ(frame.Height, theirs.Height) << name << " frame " << i + 1;
        EXPECT_TRUE(Top_Down(frame.raster, frame.Width, frame.Height) == theirs.Indices)
            << name << " frame " << i + 1 << ": palette indices differ";
    }
    return true;
}

std::vector<std::pair<std::string, Bytes>> Generated_Corpus() {
    std::vector<std::pair<std::string, Bytes>> corpus;
    for (int bits = 1; bits <= 8; ++bits) {
        for (const bool interlaced : {false, true}) {
            for (const bool local : {false, true}) {
                TGIFEncodeImage image;
                image.Width = 97;
                image.Height = 61;
                image.Global_Color_Bits = local ? 0 : bits;
                image.Loop_Count = 0;
                TGIFEncodeFrame frame = Whole_Frame(97, 61, Photo_Like(97, 61, bits, static_cast<unsigned>(bits)));
                frame.Interlaced = interlaced;
                frame.Local_Color_Bits = local ? bits : 0;
                frame.Graphic_Control = true;
                frame.Transparent_Index = bits > 1 ? 1 : -1;
                frame.Delay = 5;
                image.Frames.push_back(frame);
                // A second, smaller frame inside the first.
                TGIFEncodeFrame inner = frame;
                inner.Left = 10;
                inner.Top = 7;
                inner.Width = 33;
                inner.Height = 9;
                inner.Indices = Photo_Like(33, 9, bits, 99);
                image.Frames.push_back(inner);
                corpus.emplace_back(
                    "bits " + std::to_string(bits) + (interlaced ? " interlaced" : "") + (local ? " local" : ""),
                    Encode_GIF(image));
            }
        }
    }
    // Tables that fill up without a clear code, odd sub-block sizes, big strings.
    for (const auto& [name, sizes, clear] :
         std::vector<std::tuple<std::string, std::vector<int>, bool>>{{"no clear", {255}, false},
                                                                      {"1-byte blocks", {1}, true},
                                                                      {"mixed blocks", {3, 1, 254, 17, 2}, false},
                                                                      {"no clear, 1-byte blocks", {1}, false}}) {
        TGIFEncodeImage image = One_Frame_Picture(320, 240, Photo_Like(320, 240, 8, 3));
        image.Frames[0].Options.Sub_Block_Sizes = sizes;
        image.Frames[0].Options.Clear_When_Full = clear;
        corpus.emplace_back(name, Encode_GIF(image));
    }
    // One colour: very long strings.
    corpus.emplace_back("solid", Encode_GIF(One_Frame_Picture(256, 64, Bytes(256 * 64, 7))));
    return corpus;
}

std::filesystem::path Giflib_Pictures() {
    if (const char* given = std::getenv("VELBROOK_GIFLIB_PIC")) return given;
    return std::filesystem::path(VELBROOK_TEST_DATA) / ".." / ".." / "build" / "deps" / "giflib-pic";
}

}  // namespace

TEST(GifReference, GeneratedCorpusMatchesGiflib) {
    int both = 0;
    const auto corpus = Generated_Corpus();
    for (const auto& [name, gif] : corpus) {
        // Every generated picture is well formed: both must accept it.
        EXPECT_TRUE(Compare(name, gif)) << name << " was refused";
        ++both;
    }
    EXPECT_EQ(both, static_cast<int>(corpus.size()));
}

TEST(GifReference, GiflibSamplePicturesMatchGiflib) {
    const std::filesystem::path folder = Giflib_Pictures();
    if (!std::filesystem::is_directory(folder)) {
        GTEST_SKIP() << "no giflib sample pictures in " << folder << " (run tests/data/gif/fetch-giflib-pic)";
    }
    int files = 0;
    int both = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".gif") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes gif((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++files;
        if (Compare(entry.path().filename().string(), gif)) ++both;
    }
    EXPECT_GT(files, 0);
    EXPECT_EQ(both, files) << "a sample picture was refused by one of the decoders";
}

}  // namespace velbrook

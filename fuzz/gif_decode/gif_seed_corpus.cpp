// seed_gif_decode DIR: writes the GIF decoder fuzzer's seed corpus, small
// GIFs of every kind our encoder makes, and screens a page cannot hold:
// 65535 x 2730 declared in a few bytes, and a small one stretched by a frame
// placed far out.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "gif_encoder.h"

namespace {

std::vector<std::uint8_t> Indices(int width, int height, int bits, int seed) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(((i * 7 + i / 13 + static_cast<std::size_t>(seed)) / 3) % (1u << bits));
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_gif_decode DIR\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    int written = 0;
    auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(folder / (name + ".gif"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ++written;
    };
    for (int bits = 1; bits <= 8; ++bits) {
        for (int variant = 0; variant < 6; ++variant) {
            TGIFEncodeImage image;
            image.GIF89a = variant != 5;
            image.Width = 13 + variant * 5;
            image.Height = 7 + bits;
            image.Global_Color_Bits = variant == 2 ? 0 : bits;
            image.Loop_Count = variant == 1 ? 0 : (variant == 3 ? 999 : -1);
            if (variant == 4) image.Comments = {"seed"};
            for (int f = 0; f < 1 + variant % 3; ++f) {
                TGIFEncodeFrame frame;
                frame.Left = f;
                frame.Top = f;
                frame.Width = image.Width - f;
                frame.Height = image.Height - f;
                frame.Interlaced = (variant + f) % 2 == 1;
                frame.Local_Color_Bits = variant == 2 ? bits : 0;
                frame.Graphic_Control = variant != 0;
                frame.Disposal = (variant + f) % 8;
                frame.Delay = variant * 3;
                frame.Transparent_Index = variant % 2 == 0 ? 1 : -1;
                frame.Indices = Indices(frame.Width, frame.Height, bits, f);
                frame.Options.Sub_Block_Sizes = variant == 3 ? std::vector<int>{1} : std::vector<int>{255, 7};
                frame.Options.Clear_When_Full = variant != 4;
                if (variant == 5) frame.Options.End_After = frame.Indices.size() / 2;
                image.Frames.push_back(std::move(frame));
            }
            write("bits" + std::to_string(bits) + "-v" + std::to_string(variant), Encode_GIF(image));
        }
    }
    for (const auto& [name, screen_w, screen_h, left, top] :
         {std::tuple{"huge-screen", 65535, 2730, 0, 0}, std::tuple{"largest-screen", 65535, 65535, 9, 9},
          std::tuple{"frame-far-out", 1, 1, 65000, 60000}}) {
        TGIFEncodeImage image;
        image.Width = screen_w;
        image.Height = screen_h;
        image.Global_Color_Bits = 1;
        TGIFEncodeFrame frame = Whole_Frame(2, 2, {1, 0, 0, 1});
        frame.Left = left;
        frame.Top = top;
        image.Frames.push_back(frame);
        write(name, Encode_GIF(image));
    }
    std::printf("seed_gif_decode: %d files in %s\n", written, folder.string().c_str());
    return 0;
}

// Decoding speed, ours against giflib (DGifSlurp), in the same run: a large
// photo-like picture and a 100-frame animation.  Prints MB/s of decoded
// palette indices for both, and the ratio.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

#include "gif/gif_decoder.h"
#include "gif_encoder.h"
#include "gif_reference.h"

namespace {

using namespace velbrook;
using Clock = std::chrono::steady_clock;

// Smooth shading with grain, dithered over 256 colours: strings as short as
// a real photograph's.
std::vector<std::uint8_t> Photo(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double shade =
                128 + 60 * std::sin(x * 0.011 + seed) * std::cos(y * 0.017) + 40 * std::sin((x + y) * 0.003);
            const int grain = static_cast<int>(random() % 7) - 3;
            const int value = static_cast<int>(shade) + (random() % 3 == 0 ? grain : 0);
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(std::clamp(value, 0, 255));
        }
    }
    return out;
}

std::vector<std::uint8_t> Still_Picture() { return Encode_GIF(One_Frame_Picture(1200, 900, Photo(1200, 900, 1))); }

std::vector<std::uint8_t> Animation() {
    TGIFEncodeImage image;
    image.Width = 320;
    image.Height = 240;
    image.Loop_Count = 0;
    for (int i = 0; i < 100; ++i) {
        TGIFEncodeFrame frame = Whole_Frame(320, 240, Photo(320, 240, static_cast<unsigned>(i + 2)));
        frame.Graphic_Control = true;
        frame.Delay = 4;
        frame.Disposal = 1;
        frame.Transparent_Index = i % 2 == 0 ? 0 : -1;
        image.Frames.push_back(std::move(frame));
    }
    return Encode_GIF(image);
}

template <class Decode>
double Seconds_Per_Decode(Decode decode) {
    // Repeat until at least half a second has gone by; keep the best run.
    double best = 1e9;
    const auto start = Clock::now();
    int runs = 0;
    while (runs < 3 || std::chrono::duration<double>(Clock::now() - start).count() < 0.5) {
        const auto t0 = Clock::now();
        if (!decode()) {
            std::fprintf(stderr, "decode failed\n");
            std::exit(1);
        }
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
        ++runs;
    }
    return best;
}

void Measure(const char* name, const std::vector<std::uint8_t>& gif) {
    std::size_t pixels = 0;
    {
        std::vector<TReference_Frame> frames;
        Reference_Decode(gif, frames);
        for (const auto& f : frames) pixels += f.Indices.size();
    }
    Gif_Decoder decoder;
    const double ours = Seconds_Per_Decode([&] { return decoder.ReadImage(gif); });
    std::vector<TReference_Frame> frames;
    const double giflib = Seconds_Per_Decode([&] { return Reference_Decode(gif, frames); });
    const double mb = static_cast<double>(pixels) / 1e6;
    std::printf("%-28s %7.2f MB of indices (%zu bytes of GIF)\n", name, mb, gif.size());
    std::printf("  ours   %8.1f MB/s  (%.2f ms)\n", mb / ours, ours * 1e3);
    std::printf("  giflib %8.1f MB/s  (%.2f ms)\n", mb / giflib, giflib * 1e3);
    std::printf("  ratio  %8.2f x\n", giflib / ours);
}

}  // namespace

int main() {
    Measure("photo 1200 x 900, 256 colours", Still_Picture());
    Measure("animation 100 x 320 x 240", Animation());
    return 0;
}

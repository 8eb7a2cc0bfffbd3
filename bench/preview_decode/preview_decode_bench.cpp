// A 24-megapixel camera picture: decoded whole, and decoded for the preview
// box of 141 by 179 pixels, where libjpeg's scaling does most of the work.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "../common/synthetic_photo.h"
#include "picture/jpeg_decode.h"

namespace {

using Clock = std::chrono::steady_clock;

double Best_Milliseconds(int rounds, int target_w, int target_h, const std::vector<std::uint8_t>& file,
                         velbrook::Decoded_Image& image) {
    double best = 1e12;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        image = velbrook::Decode_Jpeg(file, target_w, target_h);
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    constexpr int width = 6000, height = 4000;
    constexpr int box_w = 141, box_h = 179;
    const auto file = velbrook::bench::Synthetic_Photo(width, height);
    std::printf("picture: %d x %d (%.1f MP), JPEG of %.1f MB\n", width, height, width * height / 1e6,
                file.size() / 1e6);

    velbrook::Decoded_Image image;
    const double full = Best_Milliseconds(3, 0, 0, file, image);
    std::printf("  full decode:    %8.1f ms  -> %d x %d, %.1f MB\n", full, image.width, image.height,
                image.pixels.size() / 1e6);
    const int scale = velbrook::Choose_Jpeg_Scale(width, height, box_w, box_h);
    const double preview = Best_Milliseconds(10, box_w, box_h, file, image);
    std::printf("  preview decode: %8.1f ms  -> %d x %d at 1/%d for a %d x %d box, %.2f MB\n", preview, image.width,
                image.height, scale, box_w, box_h, image.pixels.size() / 1e6);
    std::printf("  preview is %.1f times faster (best of 3 and of 10 runs)\n", full / preview);
    return 0;
}

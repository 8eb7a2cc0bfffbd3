#pragma once
// A photo-like JPEG made on the spot: smooth light, fine texture and sensor
// noise, 4:2:0 chroma at quality 90, as a camera writes it; or the same
// picture as a 24-bit bitmap.  Rows are made
// one at a time, so that making a 50-megapixel file does not itself raise
// the process's peak memory above what the decodes measured after it need.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../../tests/support/bmp_writer.h"
#include "../../tests/support/jpeg_encoder.h"

namespace velbrook::bench {

// Paints the rows of RGB one after the other, top row first.
class Synthetic_Painter {
public:
    explicit Synthetic_Painter(int width) : width_(width), wave_x_(static_cast<std::size_t>(width)) {
        for (int x = 0; x < width; ++x)
            wave_x_[x] = static_cast<float>(40 * std::sin(x * 0.013) + 12 * std::sin(x * 0.41));
    }
    void Row(int y, std::uint8_t* row) {
        const float light = static_cast<float>(110 + 60 * std::sin(y * 0.0021) + 10 * std::sin(y * 0.37));
        for (int x = 0; x < width_; ++x) {
            noise_ = noise_ * 1664525u + 1013904223u;
            const float grain = static_cast<float>(noise_ >> 28) - 8.0f;
            const float base = light + wave_x_[x] + grain;
            const float warm = 255.0f * x / width_;
            const float values[3] = {base + 0.3f * warm, base + 10, base - 0.2f * warm + 30};
            for (int c = 0; c < 3; ++c) {
                const float v = values[c];
                row[static_cast<std::size_t>(x) * 3 + c] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }

private:
    int width_;
    std::vector<float> wave_x_;
    std::uint32_t noise_ = 12345;
};

inline std::vector<std::uint8_t> Synthetic_Photo(int width, int height) {
    Synthetic_Painter painter(width);
    test::Jpeg_Recipe recipe{.width = width, .height = height, .quality = 90, .full_chroma = false};
    return test::Encode_Jpeg_Rows(recipe, [&](int y, std::uint8_t* row) { painter.Row(y, row); });
}

// The same picture as a 24-bit bitmap file, bottom row first as most
// writers store it.
inline std::vector<std::uint8_t> Synthetic_Bitmap(int width, int height) {
    std::vector<std::uint8_t> file = test::Build_Bmp({.width = width, .height = height});
    const std::size_t header = file.size();
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    file.resize(header + stride * static_cast<std::size_t>(height));
    Synthetic_Painter painter(width);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        painter.Row(y, rgb.data());
        std::uint8_t* out = file.data() + header + stride * static_cast<std::size_t>(height - 1 - y);
        for (std::size_t x = 0; x < rgb.size(); x += 3)
            out[x] = rgb[x + 2], out[x + 1] = rgb[x + 1], out[x + 2] = rgb[x];
    }
    return file;
}

}  // namespace velbrook::bench

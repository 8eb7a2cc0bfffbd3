#pragma once
// A photo-like JPEG made on the spot: smooth light, fine texture and sensor
// noise, 4:2:0 chroma at quality 90, as a camera writes it.  Rows are made
// one at a time, so that making a 50-megapixel file does not itself raise
// the process's peak memory above what the decodes measured after it need.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../../tests/support/jpeg_encoder.h"

namespace velbrook::bench {

inline std::vector<std::uint8_t> Synthetic_Photo(int width, int height) {
    std::vector<float> wave_x(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) wave_x[x] = static_cast<float>(40 * std::sin(x * 0.013) + 12 * std::sin(x * 0.41));
    std::uint32_t noise = 12345;
    test::Jpeg_Recipe recipe{.width = width, .height = height, .quality = 90, .full_chroma = false};
    return test::Encode_Jpeg_Rows(recipe, [&](int y, std::uint8_t* row) {
        const float light = static_cast<float>(110 + 60 * std::sin(y * 0.0021) + 10 * std::sin(y * 0.37));
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const float grain = static_cast<float>(noise >> 28) - 8.0f;
            const float base = light + wave_x[x] + grain;
            const float warm = 255.0f * x / width;
            const float values[3] = {base + 0.3f * warm, base + 10, base - 0.2f * warm + 30};
            for (int c = 0; c < 3; ++c) {
                const float v = values[c];
                row[static_cast<std::size_t>(x) * 3 + c] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    });
}

}  // namespace velbrook::bench

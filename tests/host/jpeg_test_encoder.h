#pragma once
// JPEG files for the decoder's tests: the shared encoder, and forgeries.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

#include "../support/jpeg_encoder.h"

namespace velbrook::test {

// Rewrites the size in the frame header (SOF0 or SOF2), to forge files that
// claim more pixels than they hold.
inline void Forge_Frame_Size(std::vector<std::uint8_t>& file, int width, int height) {
    for (std::size_t i = 2; i + 9 < file.size(); ++i) {
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            file[i + 5] = static_cast<std::uint8_t>(height >> 8);
            file[i + 6] = static_cast<std::uint8_t>(height);
            file[i + 7] = static_cast<std::uint8_t>(width >> 8);
            file[i + 8] = static_cast<std::uint8_t>(width);
            return;
        }
    }
}

}  // namespace velbrook::test

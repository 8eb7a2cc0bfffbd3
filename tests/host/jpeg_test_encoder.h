#pragma once
// Builds JPEG files in memory with libjpeg's encoder, so that the decoder's
// tests need no sample files and can make any colour space or size.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace velbrook::test {

struct Jpeg_Recipe {
    int width = 16;
    int height = 16;
    int components = 3;                      // of the samples handed to the encoder
    J_COLOR_SPACE input = JCS_RGB;           // what the samples are
    J_COLOR_SPACE stored = JCS_YCbCr;        // what the file holds
    bool progressive = false;
    int quality = 95;
};

// paint(x, y, sample) fills the recipe's components for one pixel.
inline std::vector<std::uint8_t> Encode_Jpeg(
    const Jpeg_Recipe& recipe, const std::function<void(int, int, std::uint8_t*)>& paint) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(recipe.width);
    info.image_height = static_cast<JDIMENSION>(recipe.height);
    info.input_components = recipe.components;
    info.in_color_space = recipe.input;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, recipe.stored);
    jpeg_set_quality(&info, recipe.quality, TRUE);
    // Full-resolution chroma, so that solid colours decode close to exact.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    if (recipe.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(recipe.width * recipe.components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < recipe.width; ++x) {
            paint(x, static_cast<int>(info.next_scanline), &row[static_cast<std::size_t>(x * recipe.components)]);
        }
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> file(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return file;
}

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

#pragma once
// Builds JPEG files in memory with libjpeg's encoder, a row at a time, for
// the tests (any colour space or size, no sample files) and the benchmarks
// (photo-sized files whose making does not itself raise the peak memory).

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
    int components = 3;                // of the samples handed to the encoder
    J_COLOR_SPACE input = JCS_RGB;     // what the samples are
    J_COLOR_SPACE stored = JCS_YCbCr;  // what the file holds
    bool progressive = false;
    // Progressive in this many scans (libjpeg's own script for 0): the DC
    // of every component in one, then each AC coefficient of each component
    // in two of its own, its high bits and then its last, as far as the
    // count goes.  At most 1 + 126 x components.
    int scans = 0;
    int quality = 95;
    // Full-resolution chroma, so that solid colours decode close to exact;
    // false keeps libjpeg's 4:2:0, as a camera writes it.
    bool full_chroma = true;
    // The JFIF density in dots per inch; 0 leaves libjpeg's (no unit).
    int dots_per_inch = 0;
};

// The scans of a progressive script of `count` scans, as Jpeg_Recipe::scans
// describes them.
inline std::vector<jpeg_scan_info> Progressive_Script(int count, int components) {
    std::vector<jpeg_scan_info> script;
    jpeg_scan_info dc{.comps_in_scan = components, .Ss = 0, .Se = 0, .Ah = 0, .Al = 0};
    for (int c = 0; c < components; ++c) dc.component_index[c] = c;
    script.push_back(dc);
    for (int k = 1; k < 64; ++k) {
        for (int c = 0; c < components; ++c) {
            script.push_back({.comps_in_scan = 1, .component_index = {c}, .Ss = k, .Se = k, .Ah = 0, .Al = 1});
            script.push_back({.comps_in_scan = 1, .component_index = {c}, .Ss = k, .Se = k, .Ah = 1, .Al = 0});
        }
    }
    script.resize(static_cast<std::size_t>(count));
    return script;
}

// paint_row(y, samples) fills one row: width x components samples.
inline std::vector<std::uint8_t> Encode_Jpeg_Rows(const Jpeg_Recipe& recipe,
                                                  const std::function<void(int, std::uint8_t*)>& paint_row) {
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
    if (recipe.full_chroma) {
        for (int c = 0; c < info.num_components; ++c) {
            info.comp_info[c].h_samp_factor = 1;
            info.comp_info[c].v_samp_factor = 1;
        }
    }
    const std::vector<jpeg_scan_info> script = Progressive_Script(recipe.scans, info.num_components);
    if (recipe.scans > 0) {
        info.scan_info = script.data();
        info.num_scans = recipe.scans;
    } else if (recipe.progressive) {
        jpeg_simple_progression(&info);
    }
    if (recipe.dots_per_inch) {
        info.density_unit = 1;
        info.X_density = info.Y_density = static_cast<UINT16>(recipe.dots_per_inch);
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(recipe.width) * static_cast<std::size_t>(recipe.components));
    while (info.next_scanline < info.image_height) {
        paint_row(static_cast<int>(info.next_scanline), row.data());
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> file(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return file;
}

// paint(x, y, sample) fills the recipe's components for one pixel.
inline std::vector<std::uint8_t> Encode_Jpeg(const Jpeg_Recipe& recipe,
                                             const std::function<void(int, int, std::uint8_t*)>& paint) {
    return Encode_Jpeg_Rows(recipe, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < recipe.width; ++x) paint(x, y, row + static_cast<std::size_t>(x) * recipe.components);
    });
}

}  // namespace velbrook::test

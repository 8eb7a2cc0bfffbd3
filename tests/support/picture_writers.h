#pragma once
// Pictures that the Windows tests and the end-to-end tests write for
// themselves: a marked JPEG, with or without a camera's orientation tag, and
// PNG and TIFF files made by the imaging component's own encoders.

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "jpeg_encoder.h"
#include "wic_encode.h"
#include "toolkit/handles.h"

namespace velbrook::testing {

// A 300 x 200 landscape picture: blue, with a red mark in its top-left
// corner and a green one in its top-right corner.
inline std::vector<std::uint8_t> Marked_Jpeg(int exif_orientation = 0) {
    std::vector<std::uint8_t> file =
        test::Encode_Jpeg(test::Jpeg_Recipe{.width = 300, .height = 200}, [](int x, int y, std::uint8_t* rgb) {
            const bool top = y < 50;
            rgb[0] = top && x < 75 ? 255 : 0;
            rgb[1] = top && x >= 225 ? 255 : 0;
            rgb[2] = top && (x < 75 || x >= 225) ? 0 : 255;
        });
    if (exif_orientation) {
        // An Exif APP1 segment right after the start marker, little-endian,
        // with the orientation as the only tag of IFD0.
        const std::uint8_t exif[] = {0xFF,
                                     0xE1,
                                     0,
                                     34,
                                     'E',
                                     'x',
                                     'i',
                                     'f',
                                     0,
                                     0,
                                     'I',
                                     'I',
                                     42,
                                     0,
                                     8,
                                     0,
                                     0,
                                     0,
                                     1,
                                     0,
                                     0x12,
                                     0x01,
                                     3,
                                     0,
                                     1,
                                     0,
                                     0,
                                     0,
                                     static_cast<std::uint8_t>(exif_orientation),
                                     0,
                                     0,
                                     0,
                                     0,
                                     0,
                                     0,
                                     0};
        file.insert(file.begin() + 2, std::begin(exif), std::end(exif));
    }
    return file;
}

// A PNG or TIFF whose every page is one colour of 32-bit BGRA (0xAARRGGBB).
inline std::vector<std::uint8_t> Wic_File(const GUID& container, int width, int height,
                                          const std::vector<std::uint32_t>& colours) {
    std::vector<std::vector<std::uint32_t>> pages;
    std::vector<const std::uint8_t*> rows;
    for (std::uint32_t colour : colours) {
        pages.emplace_back(static_cast<std::size_t>(width) * height, colour);
        rows.push_back(reinterpret_cast<const std::uint8_t*>(pages.back().data()));
    }
    std::vector<std::uint8_t> bytes =
        Wic_Encode(container, GUID_WICPixelFormat32bppBGRA, width, height, width * 4, rows);
    EXPECT_FALSE(bytes.empty()) << "the imaging component wrote nothing";
    return bytes;
}

}  // namespace velbrook::testing

#pragma once
// Icon files (".ico"), checked portably: the directory of images and the
// one the program draws, its bytes inside the file and, for a bitmap image,
// its header against its entry.  The Windows side hands that image to the
// system to make the icon.

#include <cstddef>
#include <cstdint>
#include <span>

namespace velbrook {

// Bitmap images of an icon: the system makes icons of at most this width,
// and twice this height for the colour rows and the mask together.
inline constexpr std::int32_t Max_Icon_Side = 1024;

struct Icon_Image {
    std::size_t offset = 0;  // where the image lies in the file
    std::size_t length = 0;  // its bytes, all inside the file
    std::int32_t width = 0;  // its size in pixels: the bitmap's own, or a PNG's entry
    std::int32_t height = 0;
    bool png = false;
    friend bool operator==(const Icon_Image&, const Icon_Image&) = default;
};

// The largest image of the file (the most pixels, then the most bits per
// pixel; the first of equals), every entry of the directory checked to lie
// inside the file.  Throws Invalid_Picture with the reason.
Icon_Image Parse_Icon(std::span<const std::uint8_t> bytes);

}  // namespace velbrook

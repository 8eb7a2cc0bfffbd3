#pragma once
// The JPEG decoding wrapper: bytes in, a DIB-ready picture out.  Every fault of
// the file (a libjpeg error, premature end of data, an absurd size) surfaces as
// Invalid_Picture, which the preview and the print run handle silently.

#include <cstdint>
#include <span>
#include <vector>

namespace velbrook {

struct Jpeg_Info {
    int width = 0;
    int height = 0;
};

// 24-bit BGR, rows top-down, each row padded to a multiple of 4 bytes, so that
// it can be drawn as a DIB with a negative height without copying.
struct Decoded_Image {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> pixels;
};

// The libjpeg scale denominator (1, 2, 4 or 8) for drawing an image into a
// target box: the largest whose scaled size, rounded up as libjpeg does, still
// covers the box in both directions.  A target of 0 or less in either
// direction means full size.
int Choose_Jpeg_Scale(int image_w, int image_h, int target_w, int target_h);

// The picture's size from its header alone.
Jpeg_Info Read_Jpeg_Info(std::span<const std::uint8_t> bytes);

// Decodes at Choose_Jpeg_Scale(image size, target) scale.  Greyscale, YCbCr,
// RGB, and Adobe CMYK and YCCK pictures all come out as BGR.
Decoded_Image Decode_Jpeg(std::span<const std::uint8_t> bytes, int target_w, int target_h);

// The largest decoded picture accepted, in bytes: beyond it a file is refused
// before anything is allocated, so a forged header cannot exhaust memory.
inline constexpr std::uint64_t Max_Decoded_Bytes = 512ull * 1024 * 1024;

// The most scans a JPEG may hold.  libjpeg's own progressive scripts write 10
// for a colour picture and 6 for a grey one, and encoders that search for the
// smallest file a few dozen at most; but every scan walks every block of the
// picture, so a forged file of thousands of scans a few bytes each would hold
// the preview and the page for minutes.  A file with more is damaged.
inline constexpr int Max_Jpeg_Scans = 100;

}  // namespace velbrook

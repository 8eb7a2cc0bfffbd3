// libFuzzer target: any bytes through the JPEG wrapper, its header read and
// then a decode at one of the scales (chosen by the last byte), in whatever
// colour space the file says.  A decode that succeeds must give the size
// libjpeg's scaling gives and rows that fill the buffer.
#include "../common/fuzz_support.h"
#include "picture/jpeg_decode.h"
#include "toolkit/failure.h"

using velbrook::fuzz::Require;

namespace {

int Scaled(int size, int denominator) { return (size - 1) / denominator + 1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    velbrook::Jpeg_Info info;
    try {
        info = velbrook::Read_Jpeg_Info(bytes);
    } catch (const velbrook::Invalid_Picture&) {
        return 0;
    }
    Require(info.width >= 1 && info.height >= 1 && info.width <= 65500 && info.height <= 65500, "header size");
    // 0: full size; 1 to 4: the target that the scale 1, 1/2, 1/4 or 1/8 gives.
    const int pick = size > 0 ? data[size - 1] % 5 : 0;
    int target_w = 0, target_h = 0;
    if (pick > 0) {
        target_w = Scaled(info.width, 1 << (pick - 1));
        target_h = Scaled(info.height, 1 << (pick - 1));
    }
    const int denominator = velbrook::Choose_Jpeg_Scale(info.width, info.height, target_w, target_h);
    Require(denominator == 1 || denominator == 2 || denominator == 4 || denominator == 8, "a libjpeg scale");
    const int out_w = Scaled(info.width, denominator), out_h = Scaled(info.height, denominator);
    Require(out_w >= target_w && out_h >= target_h, "the scale covers the target");
    // Keep each input fast: forged headers of huge pictures are refused by
    // size elsewhere, and decoding them here would only fill grey.
    if (static_cast<std::uint64_t>(out_w) * static_cast<std::uint64_t>(out_h) > 4u * 1024 * 1024) return 0;
    velbrook::Decoded_Image image;
    try {
        image = velbrook::Decode_Jpeg(bytes, target_w, target_h);
    } catch (const velbrook::Invalid_Picture&) {
        return 0;
    }
    Require(image.width == out_w && image.height == out_h, "decoded at the chosen scale");
    Require(image.stride == (image.width * 3 + 3) / 4 * 4, "row stride");
    Require(image.pixels.size() == static_cast<std::size_t>(image.stride) * static_cast<std::size_t>(image.height),
            "rows fill the buffer");
    return 0;
}

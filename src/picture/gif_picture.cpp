#include "picture/gif_picture.h"

#include <algorithm>

#include "gif/gif_decoder.h"
#include "toolkit/failure.h"

namespace velbrook {

Decoded_Image Decode_Gif_First_Frame(std::span<const std::uint8_t> bytes) {
    Gif_Decoder decoder;
    decoder.FirstImageOnly = true;
    if (!decoder.ReadImage(bytes) || decoder.FrameCount() < 1) throw Invalid_Picture(L"it holds no picture");
    const TGIFFrame& frame = decoder.Frame(1);
    Decoded_Image image;
    image.width = decoder.LogicalWidth();
    image.height = decoder.LogicalHeight();
    if (image.width <= 0 || image.height <= 0) throw Invalid_Picture(L"its screen has no size");
    image.stride = (image.width * 3 + 3) & ~3;
    const std::uint64_t bytes_needed = static_cast<std::uint64_t>(image.stride) * image.height;
    if (bytes_needed > Max_Decoded_Bytes) throw Invalid_Picture(L"it is too large to hold");
    image.pixels.assign(static_cast<std::size_t>(bytes_needed), 0xFF);
    const Gif_Palette& palette = *frame.Palette;
    // The frame is clipped to the logical screen, as the control clips it.
    const int x_end = std::min(frame.Width, image.width - frame.Left);
    const int y_end = std::min(frame.Height, image.height - frame.Top);
    for (int y = std::max(0, -frame.Top); y < y_end; ++y) {
        std::uint8_t* row = image.pixels.data() + static_cast<std::size_t>(frame.Top + y) * image.stride;
        for (int x = std::max(0, -frame.Left); x < x_end; ++x) {
            if (frame.Is_Transparent_At(x, y)) continue;
            const std::uint8_t* rgb = &palette[std::size_t{frame.Index_At(x, y)} * 3];
            std::uint8_t* bgr = row + static_cast<std::size_t>(frame.Left + x) * 3;
            bgr[0] = rgb[2], bgr[1] = rgb[1], bgr[2] = rgb[0];
        }
    }
    return image;
}

}  // namespace velbrook

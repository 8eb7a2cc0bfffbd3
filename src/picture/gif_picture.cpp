#include "picture/gif_picture.h"

#include <algorithm>
#include <cstring>

#include "gif/gif_decoder.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

std::uint64_t Canvas_Stride(std::int64_t width) { return static_cast<std::uint64_t>(width * 3 + 3) & ~3ull; }

std::uint64_t Canvas_Bytes(std::int64_t width, std::int64_t height) {
    return Canvas_Stride(width) * static_cast<std::uint64_t>(height);
}

// The screen the descriptor after the signature declares; none for bytes
// too short for one.
struct Declared_Screen {
    std::int64_t width = 0, height = 0;
};
Declared_Screen Read_Declared_Screen(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 10 || std::memcmp(bytes.data(), "GIF", 3) != 0) return {};
    return {bytes[6] | bytes[7] << 8, bytes[8] | bytes[9] << 8};
}

[[noreturn]] void Refuse_Screen() { throw Invalid_Picture(L"its screen is too large to hold"); }

}  // namespace

Decoded_Image Decode_Gif_First_Frame(std::span<const std::uint8_t> bytes, std::uint64_t max_canvas_bytes) {
    // Both the screen declared and the one a frame placed far out stretches
    // it to are refused before any pixel is decoded for them.
    const Declared_Screen screen = Read_Declared_Screen(bytes);
    if (Canvas_Bytes(screen.width, screen.height) > max_canvas_bytes) Refuse_Screen();
    bool stretched_too_far = false;
    Gif_Decoder decoder;
    decoder.FirstImageOnly = true;
    decoder.On_Frame_Placed = [&](const TGIFFrame& placed) {
        stretched_too_far =
            Canvas_Bytes(std::max<std::int64_t>(screen.width, placed.Left + placed.Width),
                         std::max<std::int64_t>(screen.height, placed.Top + placed.Height)) > max_canvas_bytes;
        return !stretched_too_far;
    };
    const bool read = decoder.ReadImage(bytes);
    if (stretched_too_far) Refuse_Screen();
    if (!read || decoder.FrameCount() < 1) throw Invalid_Picture(L"it holds no picture");
    const TGIFFrame& frame = decoder.Frame(1);
    Decoded_Image image;
    image.width = decoder.LogicalWidth();
    image.height = decoder.LogicalHeight();
    if (image.width <= 0 || image.height <= 0) throw Invalid_Picture(L"its screen has no size");
    const std::uint64_t bytes_needed = Canvas_Bytes(image.width, image.height);
    if (bytes_needed > max_canvas_bytes) Refuse_Screen();
    image.stride = static_cast<int>(Canvas_Stride(image.width));
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

// libFuzzer target: any bytes through the GIF parser, then the frames'
// invariants checked; and the first frame for the page, which must refuse a
// screen past its limit.  A broken invariant aborts, which the fuzzer
// reports.
#include "gif/gif_decoder.h"
#include "picture/gif_picture.h"
#include "toolkit/failure.h"
#include "../common/fuzz_support.h"

using velbrook::fuzz::Require;
using namespace velbrook;

namespace {

// The page's first frame, under a lower ceiling than the program's to keep
// each input fast; the checks against it are the same.
void Check_First_Frame(std::span<const std::uint8_t> bytes) {
    constexpr std::uint64_t ceiling = 4u * 1024 * 1024;
    try {
        const Decoded_Image image = Decode_Gif_First_Frame(bytes, ceiling);
        Require(
            bytes.size() >= 10 && (bytes[6] | bytes[7] << 8) * 3 * std::uint64_t(bytes[8] | bytes[9] << 8) <= ceiling,
            "a screen declared past the ceiling is refused");
        Require(static_cast<std::uint64_t>(image.stride) * static_cast<std::uint64_t>(image.height) <= ceiling,
                "a canvas inside the ceiling");
        Require(image.pixels.size() == static_cast<std::size_t>(image.stride) * static_cast<std::size_t>(image.height),
                "the canvas holds its rows");
    } catch (const Invalid_Picture&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Check_First_Frame({data, size});
    Gif_Decoder decoder;
    decoder.raster_budget = 4u * 1024 * 1024;  // keep each input fast
    const bool first_only = size > 0 && (data[size - 1] & 1) != 0;
    decoder.FirstImageOnly = first_only;
    int calls = 0;
    decoder.OnProgress = [&](int processed, int total, int percent, bool& keep) {
        Require(processed >= 0 && processed <= total, "progress position within the bytes");
        Require(total == static_cast<int>(size), "progress size");
        Require(percent >= 0 && percent <= 100, "progress percentage");
        // Now and then cancel, to exercise that path.
        if (++calls == 40 && size > 0 && data[0] == 'G' && (size & 7) == 3) keep = false;
    };
    const bool loaded = decoder.ReadImage({data, size});
    Require(loaded == !decoder.Empty(), "loaded exactly when not empty");
    if (!loaded) {
        Require(decoder.FrameCount() == 0, "a failed load keeps no frames");
        Require(decoder.DataStream().empty(), "a failed load keeps no stored bytes");
        return 0;
    }
    Require(decoder.DataStream().size() == size, "stored bytes are the loaded ones");
    Require(decoder.FrameCount() >= 1 && decoder.FrameCount() <= Gif_Decoder::Max_Frames, "frame count");
    Require(!first_only || decoder.FrameCount() == 1, "first image only");
    Require(decoder.MultiFrame() == (decoder.FrameCount() > 1), "multi-frame flag");
    bool any_transparent = false;
    for (int i = 1; i <= decoder.FrameCount(); ++i) {
        const TGIFFrame& f = decoder.Frame(i);
        Require(f.Width >= 1 && f.Width <= Gif_Max_Frame_Side && f.Height >= 1 && f.Height <= Gif_Max_Frame_Side,
                "frame size");
        Require(decoder.LogicalWidth() >= f.Left + f.Width && decoder.LogicalHeight() >= f.Top + f.Height,
                "logical size holds every frame");
        Require(f.Disposal <= 3, "disposal");
        Require(f.Delay % 10 == 0 && f.Delay <= 655350, "delay");
        Require(f.Palette != nullptr && (f.HasLocalPalette == (f.Palette == f.local_palette.get())), "palette");
        Require(f.raster.row_stride == Gif_Row_Stride(f.Width), "row stride");
        Require(f.raster.pixels.size() == f.raster.row_stride * static_cast<std::size_t>(f.Height), "pixel rows");
        Require(f.raster.pixels_supplied <= static_cast<std::size_t>(f.Width) * static_cast<std::size_t>(f.Height),
                "pixels supplied");
        for (int y = 0; y < f.Height; ++y) {
            const std::uint8_t* row = f.raster.pixels.data() + static_cast<std::size_t>(y) * f.raster.row_stride;
            for (std::size_t x = static_cast<std::size_t>(f.Width); x < f.raster.row_stride; ++x)
                Require(row[x] == 0, "row padding is zero");
        }
        if (f.Transparent) {
            any_transparent = true;
            Require(f.raster.mask.size() == Gif_Mask_Stride(f.Width) * static_cast<std::size_t>(f.Height), "mask rows");
            // Where the mask says transparent the pixel is the transparent
            // index, or one the stream never supplied (0).
            if (f.raster.pixels_supplied == static_cast<std::size_t>(f.Width) * static_cast<std::size_t>(f.Height)) {
                for (int y = 0; y < f.Height; ++y)
                    for (int x = 0; x < f.Width; ++x)
                        Require(!f.Is_Transparent_At(x, y) || f.Index_At(x, y) == f.TransparentIndex,
                                "mask marks only the transparent colour");
            }
        } else {
            Require(f.raster.mask.empty(), "no mask without transparency");
        }
    }
    Require(any_transparent == decoder.HasTransparency(), "transparency flag");
    return 0;
}

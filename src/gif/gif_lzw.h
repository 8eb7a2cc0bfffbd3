// The LZW raster decoder: one frame's image data (the minimum code size byte
// and the sub-blocks after it) in, palette-index rows and a transparency mask
// out, both laid out as the rows of a bottom-up device-independent bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "gif/gif_byte_reader.h"

namespace velbrook {

// Frames are at most this wide and tall; the stream parser refuses larger ones.
inline constexpr int GIF_Max_Frame_Side = 16384;

// Minimum code sizes above this make a clear code that does not fit the
// 4096-entry tables, so such a frame is refused outright.
inline constexpr int GIF_Max_Code_Size = 11;

struct TRasterFormat {
    int Width = 0;
    int Height = 0;
    bool Interlaced = false;
    bool Transparent = false;
    std::uint8_t TransparentIndex = 0;
};

// How the pixel loop ended.  Only Refused, Too_Large and Cancelled mean that
// the frame cannot be shown; the others leave a full-size raster in which the
// pixels the stream did not supply are 0 and, with transparency, transparent.
enum class TRasterOutcome {
    Complete,        // every pixel was supplied
    Data_Ended,      // the sub-blocks ran out first
    Early_End_Code,  // the end code came first
    Corrupt_Table,   // a self-referencing entry or an over-long string
    Refused,         // minimum code size above GIF_Max_Code_Size, or a bad size
    Too_Large,       // the buffers could not be had
    Cancelled,       // the progress hook asked to stop
};

struct TRaster {
    std::vector<std::uint8_t> Pixels;  // Height rows of Row_Stride bytes, bottom row first
    std::vector<std::uint8_t> Mask;    // Height rows of Mask_Stride bytes, only when transparent
    std::size_t Row_Stride = 0;
    std::size_t Mask_Stride = 0;
    std::size_t Pixels_Supplied = 0;
    TRasterOutcome Outcome = TRasterOutcome::Refused;
};

// Row stride of an 8-bit bitmap row and of a 1-bit mask row, in bytes.
std::size_t GIF_Row_Stride(int width);
std::size_t GIF_Mask_Stride(int width);

// Called between rows of large frames, with the stream positioned where a
// reader that fetches one sub-block at a time would stand.  False cancels.
using TRasterProgress = std::function<bool()>;

// Decodes from the stream's position (the minimum code size byte).  Leaves the
// stream after the image data's terminating empty sub-block, or where decoding
// stopped for good.  Progress is reported only when a hook is given and the
// frame has more than 100,000 pixels.
TRasterOutcome DecodeRaster(TGIFByteReader& stream, const TRasterFormat& format, TRaster& raster,
                            const TRasterProgress* progress = nullptr);

// Whether the outcome leaves a raster that can be shown.
inline bool Raster_Usable(TRasterOutcome outcome) {
    return outcome != TRasterOutcome::Refused && outcome != TRasterOutcome::Too_Large &&
           outcome != TRasterOutcome::Cancelled;
}

}  // namespace velbrook

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
inline constexpr int Gif_Max_Frame_Side = 16384;

// Minimum code sizes above this make a clear code that does not fit the
// 4096-entry tables, so such a frame is refused outright.
inline constexpr int Gif_Max_Code_Size = 11;

struct Raster_Format {
    int width = 0;
    int height = 0;
    bool interlaced = false;
    bool transparent = false;
    std::uint8_t transparent_index = 0;
};

// How the pixel loop ended.  Only Refused, Too_Large and Cancelled mean that
// the frame cannot be shown; the others leave a full-size raster in which the
// pixels the stream did not supply are 0 and, with transparency, transparent.
enum class Raster_Outcome {
    Complete,        // every pixel was supplied
    Data_Ended,      // the sub-blocks ran out first
    Early_End_Code,  // the end code came first
    Corrupt_Table,   // a self-referencing entry or an over-long string
    Refused,         // minimum code size above Gif_Max_Code_Size, or a bad size
    Too_Large,       // the buffers could not be had
    Cancelled,       // the progress hook asked to stop
};

struct Gif_Raster {
    std::vector<std::uint8_t> pixels;  // height rows of row_stride bytes, bottom row first
    std::vector<std::uint8_t> mask;    // height rows of mask_stride bytes, only when transparent
    std::size_t row_stride = 0;
    std::size_t mask_stride = 0;
    std::size_t pixels_supplied = 0;
    Raster_Outcome outcome = Raster_Outcome::Refused;
};

// Row stride of an 8-bit bitmap row and of a 1-bit mask row, in bytes.
std::size_t Gif_Row_Stride(int width);
std::size_t Gif_Mask_Stride(int width);

// Called between rows of large frames, with the stream positioned where a
// reader that fetches one sub-block at a time would stand.  False cancels.
using Raster_Progress = std::function<bool()>;

// Decodes from the stream's position (the minimum code size byte).  Leaves the
// stream after the image data's terminating empty sub-block, or where decoding
// stopped for good.  Progress is reported only when a hook is given and the
// frame has more than 100,000 pixels.
Raster_Outcome DecodeRaster(Gif_Byte_Reader& stream, const Raster_Format& format, Gif_Raster& raster,
                            const Raster_Progress* progress = nullptr);

// Whether the outcome leaves a raster that can be shown.
inline bool Raster_Usable(Raster_Outcome outcome) {
    return outcome != Raster_Outcome::Refused && outcome != Raster_Outcome::Too_Large &&
           outcome != Raster_Outcome::Cancelled;
}

}  // namespace velbrook

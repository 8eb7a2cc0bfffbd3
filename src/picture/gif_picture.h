#pragma once
// The first frame of a GIF as a still picture for the page: composed on the
// logical screen as the GIF control composes it, with what the frame leaves
// transparent or uncovered white, as paper is.  Portable.

#include <cstdint>
#include <span>

#include "picture/jpeg_decode.h"

namespace velbrook {

// The most bytes the composed screen may take (24-bit rows), about 44
// megapixels: more than any real GIF's screen, and a picture that is held
// whole beside its frame's indices and the system's copy for the page.  A
// screen descriptor is four bytes, so 40 bytes can claim 65535 x 2730 (half
// a gigabyte composed); a file that does is taken as damaged.
inline constexpr std::uint64_t Max_Gif_Canvas_Bytes = 128ull * 1024 * 1024;

// Throws Invalid_Picture when the bytes hold no frame, or a screen (as
// declared, or as the first frame stretches it) past `max_canvas_bytes`.
Decoded_Image Decode_Gif_First_Frame(std::span<const std::uint8_t> bytes,
                                     std::uint64_t max_canvas_bytes = Max_Gif_Canvas_Bytes);

}  // namespace velbrook

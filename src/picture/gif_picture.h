#pragma once
// The first frame of a GIF as a still picture for the page: composed on the
// logical screen as the GIF control composes it, with what the frame leaves
// transparent or uncovered white, as paper is.  Portable.

#include <cstdint>
#include <span>

#include "picture/jpeg_decode.h"

namespace velbrook {

// Throws Invalid_Picture when the bytes hold no frame.
Decoded_Image Decode_Gif_First_Frame(std::span<const std::uint8_t> bytes);

}  // namespace velbrook

// The in-memory BMP images (BITMAPFILEHEADER, BITMAPINFOHEADER, colour table,
// rows) of a frame's bitmap and mask: the one interface to the platform's
// bitmaps, so any bitmap class that reads a standard BMP can take a frame.
#pragma once

#include <cstdint>
#include <vector>

#include "gif/gif_decoder.h"

// 8 bits per pixel, 2^Bitmap_Color_Bits colours from the frame's palette,
// rows bottom-up.
std::vector<std::uint8_t> Frame_Bitmap_Image(const TGIFFrame& frame);

// 1 bit per pixel, colour 0 black (opaque), colour 1 white (transparent).
// Empty when the frame has no transparent colour.
std::vector<std::uint8_t> Frame_Mask_Image(const TGIFFrame& frame);

// Offsets into those images.
inline constexpr std::size_t BMP_File_Header_Size = 14;
inline constexpr std::size_t BMP_Info_Header_Size = 40;

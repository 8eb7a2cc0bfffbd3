#pragma once
// The loaders behind Load_Picture, one per kind.  Each takes the file's bytes
// and throws Invalid_Picture with the reason when they are not a valid
// picture of its kind.

#include <cstdint>
#include <memory>
#include <span>

#include "picture/jpeg_decode.h"
#include "picture/picture.h"

namespace velbrook {

// What a decoded picture knows beside its pixels.
struct Dib_Facts {
    Picture_Kind kind = Picture_Kind::Bitmap;
    int orientation_tag = 1;
    int page_count = 1;
};

std::shared_ptr<const Picture> Make_Bitmap_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Jpeg_Picture(std::span<const std::uint8_t> bytes, const Picture_Request& request);
// Top-down 24-bit rows from any of the program's decoders.
std::shared_ptr<const Picture> Make_Decoded_Picture(Decoded_Image image, Dib_Facts facts);
// PNG and TIFF through the Windows Imaging Component, decoded at the smallest
// size that covers the request's place, alpha composed over white.
std::shared_ptr<const Picture> Make_Wic_Picture(std::span<const std::uint8_t> bytes, Picture_Kind kind,
                                                const Picture_Request& request);
std::shared_ptr<const Picture> Make_Emf_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Wmf_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Icon_Picture(std::span<const std::uint8_t> bytes);

// Stretches a whole DIB over `target`: halftone where it is reduced (with the
// brush origin the halftone pattern needs), plain colour-on-colour where it is
// enlarged, which keeps flat areas flat.
bool Stretch_Dib(HDC dc, const RECT& target, const BITMAPINFO& info, const void* bits, int width, int height);

}  // namespace velbrook

#pragma once
// The loaders behind Load_Picture, one per kind.  Each takes the file's bytes
// and throws Invalid_Picture with the reason when they are not a valid
// picture of its kind.

#include <cstdint>
#include <memory>
#include <span>

#include "picture/picture.h"

namespace velbrook {

std::shared_ptr<const Picture> Make_Bitmap_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Jpeg_Picture(std::span<const std::uint8_t> bytes, SIZE target);
std::shared_ptr<const Picture> Make_Emf_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Wmf_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Icon_Picture(std::span<const std::uint8_t> bytes);

// Stretches a whole DIB over `target`: halftone where it is reduced (with the
// brush origin the halftone pattern needs), plain colour-on-colour where it is
// enlarged, which keeps flat areas flat.
bool Stretch_Dib(HDC dc, const RECT& target, const BITMAPINFO& info, const void* bits, int width, int height);

}  // namespace velbrook

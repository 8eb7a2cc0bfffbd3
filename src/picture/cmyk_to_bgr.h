#pragma once
// Ink to screen colour for CMYK and YCCK JPEGs, which libjpeg hands out as
// CMYK and GDI cannot draw.

#include <cstdint>

namespace velbrook {

// Converts one row of 4-byte CMYK pixels to 3-byte BGR.  Adobe applications
// store the inks inverted (0 is full ink); `inverted` says the file does.
void Cmyk_To_Bgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width, bool inverted);

}  // namespace velbrook

#include "picture/cmyk_to_bgr.h"

namespace velbrook {
namespace {

// a * b / 255, rounded, for bytes.
std::uint8_t Product(unsigned a, unsigned b) {
    const unsigned p = a * b + 128;
    return static_cast<std::uint8_t>((p + (p >> 8)) >> 8);
}

}  // namespace

void Cmyk_To_Bgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        // The light that one ink lets through, times what black lets through.
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = Product(y, k);
        bgr[1] = Product(m, k);
        bgr[2] = Product(c, k);
    }
}

}  // namespace velbrook

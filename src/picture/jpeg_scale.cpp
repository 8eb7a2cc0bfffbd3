#include "picture/jpeg_decode.h"

namespace velbrook {
namespace {

// libjpeg's scaled size: the quotient rounded up (jdiv_round_up), written so
// that it cannot overflow for any positive int.
int Scaled(int size, int denominator) { return (size - 1) / denominator + 1; }

}  // namespace

int Choose_Jpeg_Scale(int image_w, int image_h, int target_w, int target_h) {
    if (image_w <= 0 || image_h <= 0 || target_w <= 0 || target_h <= 0) return 1;
    // Never decode below the target, and never above the file's own size: a
    // box as large as the image gets the image as it is.
    if (target_w >= image_w && target_h >= image_h) return 1;
    for (int d : {8, 4, 2}) {
        if (Scaled(image_w, d) >= target_w && Scaled(image_h, d) >= target_h) return d;
    }
    return 1;
}

}  // namespace velbrook

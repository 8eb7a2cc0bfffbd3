#include <gtest/gtest.h>

#include "picture/jpeg_decode.h"

namespace velbrook {
namespace {

int Scaled(int size, int d) { return (size + d - 1) / d; }

struct Scale_Case {
    int image_w, image_h, target_w, target_h, expected;
};

TEST(Choose_Jpeg_Scale, Picks_The_Smallest_Scale_That_Covers_The_Target) {
    const Scale_Case cases[] = {
        {6000, 4000, 141, 179, 8},  // a camera picture in the preview box
        {1000, 1000, 200, 200, 4},
        {1000, 1000, 500, 500, 2},    // exactly half still covers
        {1000, 1000, 501, 500, 1},    // one pixel more needs full size
        {1001, 1001, 126, 126, 8},    // libjpeg rounds up: 1001/8 gives 126
        {5774, 8660, 2459, 3488, 2},  // 50 MP portrait on an A4 page at 300 dpi
        {8660, 5774, 2459, 3488, 1},  // the same picture lying on its side
        {7, 7, 1, 1, 8},
        {100, 100, 100, 100, 1},  // a box as large as the picture
        {100, 100, 200, 50, 1},   // wider than the picture
        {100, 100, 0, 50, 1},     // no target: full size
        {100, 100, 50, -1, 1},
        {0, 100, 10, 10, 1},  // no picture: nothing to scale
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Choose_Jpeg_Scale(c.image_w, c.image_h, c.target_w, c.target_h), c.expected)
            << c.image_w << "x" << c.image_h << " into " << c.target_w << "x" << c.target_h;
    }
}

TEST(Choose_Jpeg_Scale, Covers_The_Target_And_No_Larger_Scale_Would) {
    for (int image_w : {1, 2, 9, 17, 640, 1023}) {
        for (int image_h : {1, 3, 8, 480, 777}) {
            for (int target_w = 1; target_w <= image_w + 2; target_w += 1 + image_w / 7) {
                for (int target_h = 1; target_h <= image_h + 2; target_h += 1 + image_h / 5) {
                    const int d = Choose_Jpeg_Scale(image_w, image_h, target_w, target_h);
                    ASSERT_TRUE(d == 1 || d == 2 || d == 4 || d == 8);
                    const bool fits = target_w <= image_w && target_h <= image_h;
                    const bool whole = target_w >= image_w && target_h >= image_h;
                    if (fits) {
                        EXPECT_GE(Scaled(image_w, d), target_w);
                        EXPECT_GE(Scaled(image_h, d), target_h);
                    }
                    if (d < 8 && fits && !whole) {
                        const int next = d * 2;
                        EXPECT_FALSE(Scaled(image_w, next) >= target_w && Scaled(image_h, next) >= target_h)
                            << image_w << "x" << image_h << " into " << target_w << "x" << target_h << " could use 1/"
                            << next;
                    }
                    if (!fits || whole) {
                        EXPECT_EQ(d, 1);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace velbrook

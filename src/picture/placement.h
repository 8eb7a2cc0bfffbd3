#pragma once
// Where a picture goes on its page or in the preview: the page options, the
// eight orientations a picture can be turned and flipped into, and the
// arithmetic that places a picture in a rectangle.  Portable, so that the
// page and the preview share one answer and the host tests check it.

#include <cstdint>

namespace velbrook {

enum class Fit_Mode { Stretch, Fit, Fill };

// The Options menu.  The defaults are the program's classic page: every
// picture stretched over the page, nothing turned, no caption, the five
// classic picture types.
struct Page_Options {
    Fit_Mode fit = Fit_Mode::Stretch;
    bool turn_to_page = false;
    bool camera_orientation = false;
    bool print_file_names = false;
    bool more_types = false;
    bool operator==(const Page_Options&) const = default;
};

// Device pixels; right and bottom are outside.
struct Box {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const Box&) const = default;
};

// Orientations are numbered as the Exif orientation tag numbers them: 1 as
// stored, 2 mirrored left-right, 3 a half turn, 4 mirrored top-bottom,
// 5 transposed, 6 a quarter turn clockwise, 7 transverse, 8 a quarter turn
// counter-clockwise.  Anything else counts as 1.
inline constexpr int Quarter_Turn_Counter_Clockwise = 8;
int Valid_Orientation(int orientation);
// The single orientation that does `first` and then `then`.
int Compose_Orientations(int first, int then);
// 5 to 8 turn the picture a quarter: its width becomes its height.
bool Swaps_Sides(int orientation);

// Where the stored pixel behind pixel (x, y) of the oriented picture lies;
// `stored_width` and `stored_height` are the stored picture's size.
struct Pixel_Map {
    // stored = origin + x * step_x + y * step_y, each step one of (+-1, 0), (0, +-1)
    std::int32_t origin_x, origin_y, x_dx, x_dy, y_dx, y_dy;
};
Pixel_Map Map_Oriented_To_Stored(int orientation, std::int32_t stored_width, std::int32_t stored_height);

struct Placement {
    int orientation = 1;  // applied to the stored pixels: the camera's tag, then the page turn
    Box picture_area;     // the target less the caption strip
    Box caption;          // the caption strip at the bottom of the target; empty without captions
    Box destination;      // where the visible part of the oriented picture goes; empty: nothing is drawn
    Box source;           // that visible part, in pixels of the oriented picture
};

// Places a picture of stored_width x stored_height pixels (as held, after any
// scaled decode) in `target`.  The camera's orientation counts only when the
// option is on; the caption strip takes caption_height pixels at the bottom
// of the target only when file names are printed.
Placement Place_Picture(std::int32_t stored_width, std::int32_t stored_height, int exif_orientation,
                        const Page_Options& options, const Box& target, std::int32_t caption_height);

// The size, in stored orientation, that a scaled decode must reach so that
// the visible part still covers the destination pixel for pixel: the whole
// picture scaled by the larger of the two enlargement ratios, rounded up, and
// never above the stored size.
struct Cover_Size {
    std::int32_t width = 0, height = 0;
};
Cover_Size Decode_Cover(std::int32_t stored_width, std::int32_t stored_height, const Placement& placement);

}  // namespace velbrook

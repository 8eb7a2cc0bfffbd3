#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picture/placement.h"

namespace velbrook {

static std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.left << "," << b.top << "," << b.right << "," << b.bottom << ")";
}

namespace {

constexpr Box a4{10, 10, 2469, 3498};  // an A4 page at 300 dpi inside its 10-pixel margin
constexpr Page_Options stretch{};
constexpr Page_Options fit{.fit = Fit_Mode::Fit};
constexpr Page_Options fill{.fit = Fit_Mode::Fill};
constexpr Page_Options fit_turn{.fit = Fit_Mode::Fit, .turn_to_page = true};
constexpr Page_Options camera{.camera_orientation = true};
constexpr Page_Options camera_fit_turn{.fit = Fit_Mode::Fit, .turn_to_page = true, .camera_orientation = true};
constexpr Page_Options camera_turn{.turn_to_page = true, .camera_orientation = true};
constexpr Page_Options captions{.print_file_names = true};
constexpr Page_Options fit_captions{.fit = Fit_Mode::Fit, .print_file_names = true};

struct Place_Case {
    const char* what;
    std::int32_t width, height;
    int exif;
    Page_Options options;
    Box target;
    std::int32_t caption_height;
    int orientation;
    Box destination, source;
};

TEST(Place_Picture, Follows_The_Options_Table) {
    const Place_Case cases[] = {
        {"stretch: the classic page, camera tag ignored", 3000, 2000, 6, stretch, a4, 0, 1, a4, {0, 0, 3000, 2000}},
        {"fit: 3:2 landscape on a portrait page",
         3000,
         2000,
         1,
         fit,
         a4,
         0,
         1,
         {10, 934, 2469, 2573},
         {0, 0, 3000, 2000}},
        {"fit and turn: a quarter turn counter-clockwise",
         3000,
         2000,
         1,
         fit_turn,
         a4,
         0,
         8,
         {77, 10, 2402, 3498},
         {0, 0, 2000, 3000}},
        {"fill: overflow cut evenly left and right", 3000, 2000, 1, fill, a4, 0, 1, a4, {795, 0, 2205, 2000}},
        {"fill: overflow cut evenly top and bottom", 2000, 6000, 1, fill, a4, 0, 1, a4, {0, 1581, 2000, 4418}},
        {"camera tag 6 turns the picture clockwise", 3000, 2000, 6, camera, a4, 0, 6, a4, {0, 0, 2000, 3000}},
        {"camera tag 6 already suits a portrait page",
         3000,
         2000,
         6,
         camera_fit_turn,
         a4,
         0,
         6,
         {77, 10, 2402, 3498},
         {0, 0, 2000, 3000}},
        {"camera tag 8 then the page turn make a half turn",
         3000,
         2000,
         8,
         camera_turn,
         {0, 0, 3488, 2459},
         0,
         3,
         {0, 0, 3488, 2459},
         {0, 0, 3000, 2000}},
        {"camera tag out of range counts as 1", 3000, 2000, 9, camera, a4, 0, 1, a4, {0, 0, 3000, 2000}},
        {"a square picture is never turned", 500, 500, 1, fit_turn, a4, 0, 1, {10, 524, 2469, 2983}, {0, 0, 500, 500}},
        {"a square page never turns a picture",
         3000,
         2000,
         1,
         fit_turn,
         {0, 0, 100, 100},
         0,
         1,
         {0, 16, 100, 83},
         {0, 0, 3000, 2000}},
        {"a one-pixel picture fills the width", 1, 1, 1, fit, a4, 0, 1, {10, 524, 2469, 2983}, {0, 0, 1, 1}},
        {"a hair-thin picture keeps one row",
         10000,
         1,
         1,
         fit,
         {0, 0, 100, 100},
         0,
         1,
         {0, 49, 100, 50},
         {0, 0, 10000, 1}},
        {"fill keeps one column of a hair-thin picture",
         10000,
         1,
         1,
         fill,
         {0, 0, 100, 100},
         0,
         1,
         {0, 0, 100, 100},
         {4999, 0, 5000, 1}},
        {"a half pixel rounds up", 2, 4, 1, fit, {0, 0, 9, 3}, 0, 1, {3, 0, 5, 3}, {0, 0, 2, 4}},
        {"a quarter turns odd sizes exactly", 7, 3, 1, fit_turn, {0, 0, 10, 21}, 0, 8, {0, 0, 9, 21}, {0, 0, 3, 7}},
        {"far larger than the page, in 64 bits",
         2000000000,
         1000000000,
         1,
         fill,
         a4,
         0,
         1,
         a4,
         {647505734, 0, 1352494266, 1000000000}},
        {"the caption strip takes the bottom",
         3000,
         2000,
         1,
         captions,
         a4,
         42,
         1,
         {10, 10, 2469, 3456},
         {0, 0, 3000, 2000}},
        {"fit into what the caption leaves",
         3000,
         2000,
         1,
         fit_captions,
         a4,
         42,
         1,
         {10, 913, 2469, 2552},
         {0, 0, 3000, 2000}},
        {"captions off: the strip's height is ignored", 3000, 2000, 1, stretch, a4, 42, 1, a4, {0, 0, 3000, 2000}},
        {"a caption taller than a tiny page leaves no picture",
         3000,
         2000,
         1,
         captions,
         {0, 0, 50, 30},
         42,
         1,
         {0, 0, 50, 0},
         {}},
        {"an empty picture is not drawn", 0, 2000, 1, fit, a4, 0, 1, {}, {}},
        {"an empty target draws nothing", 3000, 2000, 1, fit, {5, 5, 5, 90}, 0, 1, {}, {}},
    };
    for (const auto& c : cases) {
        const Placement p = Place_Picture(c.width, c.height, c.exif, c.options, c.target, c.caption_height);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(p.orientation, c.orientation);
        if (c.destination.Empty()) {
            EXPECT_TRUE(p.destination.Empty()) << p.destination;
        } else {
            EXPECT_EQ(p.destination, c.destination);
        }
        if (!c.destination.Empty()) {
            EXPECT_EQ(p.source, c.source);
        }
    }
}

TEST(Place_Picture, Caption_Strip_And_Picture_Area_Share_The_Target) {
    const Placement p = Place_Picture(3000, 2000, 1, captions, a4, 42);
    EXPECT_EQ(p.caption, (Box{10, 3456, 2469, 3498}));
    EXPECT_EQ(p.picture_area, (Box{10, 10, 2469, 3456}));
    const Placement tiny = Place_Picture(3000, 2000, 1, captions, {0, 0, 50, 30}, 42);
    EXPECT_EQ(tiny.caption, (Box{0, 0, 50, 30}));
    EXPECT_TRUE(tiny.picture_area.Empty());
    EXPECT_TRUE(Place_Picture(3000, 2000, 1, stretch, a4, 42).caption.Empty());
}

TEST(Place_Picture, Fit_And_Fill_Keep_Proportions_Within_A_Pixel_And_Stay_Inside) {
    for (int w : {1, 2, 3, 7, 640, 3001, 8660}) {
        for (int h : {1, 5, 480, 2000, 5773}) {
            for (const Box& target : {a4, Box{0, 0, 141, 179}, Box{3, 4, 4, 900}, Box{0, 0, 3488, 2459}}) {
                for (bool turn : {false, true}) {
                    const Page_Options fitting{.fit = Fit_Mode::Fit, .turn_to_page = turn};
                    const Placement f = Place_Picture(w, h, 1, fitting, target, 0);
                    const Box& d = f.destination;
                    ASSERT_FALSE(d.Empty());
                    EXPECT_TRUE(d.left >= target.left && d.top >= target.top && d.right <= target.right &&
                                d.bottom <= target.bottom)
                        << w << "x" << h << " " << d;
                    EXPECT_TRUE(d.Width() == target.Width() || d.Height() == target.Height());
                    // |dw * sh - dh * sw| <= max(sw, sh): off by less than a pixel.
                    const std::int64_t sw = f.source.Width(), sh = f.source.Height();
                    EXPECT_LE(std::llabs(std::int64_t{d.Width()} * sh - std::int64_t{d.Height()} * sw),
                              std::max(sw, sh));

                    const Page_Options filling{.fit = Fit_Mode::Fill, .turn_to_page = turn};
                    const Placement c = Place_Picture(w, h, 1, filling, target, 0);
                    EXPECT_EQ(c.destination, target);
                    const Box& s = c.source;
                    const std::int64_t ow = Swaps_Sides(c.orientation) ? h : w;
                    const std::int64_t oh = Swaps_Sides(c.orientation) ? w : h;
                    EXPECT_TRUE(s.left >= 0 && s.top >= 0 && s.right <= ow && s.bottom <= oh && !s.Empty());
                    EXPECT_TRUE(s.Width() == ow || s.Height() == oh);
                    // The cut is even: the two sides differ by at most one pixel.
                    EXPECT_LE(std::llabs((ow - s.right) - s.left), 1);
                    EXPECT_LE(std::llabs((oh - s.bottom) - s.top), 1);
                }
            }
        }
    }
}

// A stored picture of 3 x 2 pixels "abc/def" as each orientation shows it.
const std::vector<std::string> oriented_views[9] = {
    {},
    {"abc", "def"},
    {"cba", "fed"},
    {"fed", "cba"},
    {"def", "abc"},
    {"ad", "be", "cf"},
    {"da", "eb", "fc"},
    {"fc", "eb", "da"},
    {"cf", "be", "ad"},
};

std::vector<std::string> Apply(int orientation, const std::vector<std::string>& stored) {
    const int w = static_cast<int>(stored[0].size()), h = static_cast<int>(stored.size());
    const int ow = Swaps_Sides(orientation) ? h : w, oh = Swaps_Sides(orientation) ? w : h;
    const Pixel_Map m = Map_Oriented_To_Stored(orientation, w, h);
    std::vector<std::string> view(oh, std::string(ow, '?'));
    for (int y = 0; y < oh; ++y)
        for (int x = 0; x < ow; ++x) {
            const int sx = m.origin_x + x * m.x_dx + y * m.x_dy, sy = m.origin_y + x * m.y_dx + y * m.y_dy;
            if (sx < 0 || sy < 0 || sx >= w || sy >= h) return {"outside"};
            view[y][x] = stored[sy][sx];
        }
    return view;
}

TEST(Orientations, Each_Shows_The_Stored_Pixels_As_The_Camera_Tag_Means) {
    for (int o = 1; o <= 8; ++o) EXPECT_EQ(Apply(o, oriented_views[1]), oriented_views[o]) << "orientation " << o;
    EXPECT_EQ(Apply(0, oriented_views[1]), oriented_views[1]);
    EXPECT_EQ(Apply(9, oriented_views[1]), oriented_views[1]);
}

TEST(Orientations, Composition_Is_One_After_The_Other) {
    for (int first = 1; first <= 8; ++first)
        for (int then = 1; then <= 8; ++then)
            EXPECT_EQ(Apply(Compose_Orientations(first, then), oriented_views[1]),
                      Apply(then, Apply(first, oriented_views[1])))
                << first << " then " << then;
}

TEST(Decode_Cover, Is_The_Smallest_Stored_Size_Whose_Visible_Part_Covers_The_Destination) {
    struct Case {
        std::int32_t w, h;
        Page_Options options;
        Box target;
        std::int32_t cover_w, cover_h;
    } cases[] = {
        {6000, 4000, stretch, {0, 0, 141, 179}, 141, 179},  // the classic preview
        {12000, 8000, fit_turn, a4, 3488, 2325},            // turned: sides swap back
        {12000, 8000, fill, a4, 5232, 3488},                // the visible part covers, not the whole
        {3000, 2000, fill, a4, 3000, 2000},                 // never above the stored size
        {3000, 2000, fit, {0, 0, 0, 0}, 0, 0},              // nothing drawn: nothing to decode
    };
    for (const auto& c : cases) {
        const Placement p = Place_Picture(c.w, c.h, 1, c.options, c.target, 0);
        const Cover_Size cover = Decode_Cover(c.w, c.h, p);
        EXPECT_EQ(cover.width, c.cover_w) << c.w << "x" << c.h;
        EXPECT_EQ(cover.height, c.cover_h) << c.w << "x" << c.h;
    }
}

}  // namespace
}  // namespace velbrook

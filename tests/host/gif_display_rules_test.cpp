// The GIF control's pure rules: where the picture goes, how long a frame
// stays, and how the frame index and pass count move from step to step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gif/gif_animation.h"
#include "gif/gif_layout.h"

namespace velbrook {

namespace {

TEST(GifLayout, PictureRectForEveryDisplayMode) {
    struct Case {
        const char* name;
        Gif_Display_Options options;
        Gif_Sizes sizes;
        bool stretched;
        Gif_Rect rect;
    };
    const Gif_Display_Options none{};
    const Gif_Display_Options stretch{.stretch = true};
    const Gif_Display_Options ratio{.stretch_ratio = true};
    const Gif_Display_Options both{.stretch = true, .stretch_ratio = true};
    const Gif_Display_Options big_only{.stretch = true, .stretch_big_only = true};
    const Gif_Display_Options big_only_center{.stretch = true, .stretch_big_only = true, .center = true};
    const Gif_Display_Options ratio_big_only{.stretch_ratio = true, .stretch_big_only = true};
    const Gif_Display_Options center{.center = true};
    const Gif_Display_Options tile{.tile = true};
    const Gif_Display_Options stretch_tile{.stretch = true, .tile = true};
    const std::vector<Case> cases = {
        {"natural size at the origin", none, {173, 165, 135, 125}, false, {0, 0, 135, 125}},
        {"logo stretched over the control", stretch, {173, 165, 135, 125}, true, {0, 0, 173, 165}},
        {"stretch at the picture's own size", stretch, {135, 125, 135, 125}, false, {0, 0, 135, 125}},
        {"ratio, wide picture", ratio, {200, 200, 100, 50}, true, {0, 50, 200, 150}},
        {"ratio, tall picture", ratio, {200, 200, 50, 100}, true, {50, 0, 150, 200}},
        {"stretch and ratio: stretch wins", both, {200, 200, 100, 50}, true, {0, 0, 200, 200}},
        {"big only, picture fits", big_only, {173, 165, 100, 80}, false, {0, 0, 100, 80}},
        {"big only, fits, centred", big_only_center, {173, 165, 100, 80}, false, {36, 42, 136, 122}},
        {"big only, too wide", big_only, {173, 165, 200, 100}, true, {0, 0, 173, 165}},
        {"big only, too wide, ratio", ratio_big_only, {173, 165, 200, 100}, true, {0, 39, 173, 126}},
        {"big only, too tall only", big_only, {173, 165, 100, 200}, true, {0, 0, 173, 165}},
        {"centre, picture bigger", center, {100, 100, 151, 40}, false, {-25, 30, 126, 70}},
        {"centre, odd margins", center, {101, 51, 50, 20}, false, {25, 15, 75, 35}},
        {"tile covers the client", tile, {100, 100, 40, 30}, false, {0, 0, 100, 100}},
        {"stretch over tile", stretch_tile, {100, 100, 40, 30}, true, {0, 0, 100, 100}},
        {"empty picture", stretch, {100, 100, 0, 0}, true, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Is_Stretched_Draw(c.options, c.sizes), c.stretched) << c.name;
        const Gif_Rect rect = Picture_Rect(c.options, Is_Stretched_Draw(c.options, c.sizes), c.sizes);
        EXPECT_EQ(rect, c.rect) << c.name << ": " << rect.left << "," << rect.top << "," << rect.right << ","
                                << rect.bottom;
    }
}

TEST(GifLayout, RatioRoundsHalvesToEven) {
    // Picture 4 x 1 in a 5 x 5 control: fy = 5, fx = 1.25; m = (5 - 1.25) / 2 =
    // 1.875 -> top 2, bottom round(3.125) = 3.
    EXPECT_EQ(Picture_Rect({.stretch_ratio = true}, true, {5, 5, 4, 1}), (Gif_Rect{0, 2, 5, 3}));
    // Picture 2 x 1 in a 5 x 1 control: fx = 2.5, fy = 1; m = (5 - 2) / 2 =
    // 1.5 -> left 2 (even), right round(3.5) = 4 (even).
    EXPECT_EQ(Picture_Rect({.stretch_ratio = true}, true, {5, 1, 2, 1}), (Gif_Rect{2, 0, 4, 1}));
    // Picture 2 x 1 in a 7 x 1 control: m = 2.5 -> 2, right round(4.5) = 4.
    EXPECT_EQ(Picture_Rect({.stretch_ratio = true}, true, {7, 1, 2, 1}), (Gif_Rect{2, 0, 4, 1}));
}

TEST(GifLayout, TilesStartInsideTheControlRowsFirst) {
    const std::vector<Gif_Rect> tiles = Paint_Rects({.tile = true}, false, {100, 100, 40, 30});
    ASSERT_EQ(tiles.size(), 12u);  // 3 columns x 4 rows
    EXPECT_EQ(tiles[0], (Gif_Rect{0, 0, 40, 30}));
    EXPECT_EQ(tiles[1], (Gif_Rect{40, 0, 80, 30}));
    EXPECT_EQ(tiles[2], (Gif_Rect{80, 0, 120, 30}));
    EXPECT_EQ(tiles[3], (Gif_Rect{0, 30, 40, 60}));
    EXPECT_EQ(tiles[11], (Gif_Rect{80, 90, 120, 120}));
    // An exact fit still gets the extra row and column, clipped away later.
    EXPECT_EQ(Paint_Rects({.tile = true}, false, {80, 60, 40, 30}).size(), 9u);
    // Stretching wins over tiling; a plain picture is one rectangle.
    EXPECT_EQ(Paint_Rects({.stretch = true, .tile = true}, true, {100, 100, 40, 30}),
              (std::vector<Gif_Rect>{{0, 0, 100, 100}}));
    EXPECT_EQ(Paint_Rects({.center = true}, false, {100, 100, 40, 30}), (std::vector<Gif_Rect>{{30, 35, 70, 65}}));
    EXPECT_TRUE(Paint_Rects({.tile = true}, false, {100, 100, 0, 0}).empty());
}

TEST(GifAnimationRules, FrameIntervalsByDelayAndSpeed) {
    struct Case {
        int delay;
        int speed;
        int interval;
    };
    const std::vector<Case> cases = {
        {0, 100, 50},   {40, 100, 50},    {50, 100, 50},         {100, 100, 100}, {10, 100, 50},   {0, 200, 25},
        {40, 200, 25},  {50, 200, 25},    {100, 200, 50},        {100, 50, 200},  {100, 1, 10000}, {100, 0, 10000},
        {50, 10000, 1}, {50, 1000000, 1}, {655350, 1, 65535000}, {75, 200, 37},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Frame_Interval(c.delay, c.speed), c.interval) << c.delay << " ms at " << c.speed << "%";
}

TEST(GifAnimationRules, StepTimeIsTakenOffTheNextInterval) {
    EXPECT_EQ(Step_Interval(100, 100, 0), 100);
    EXPECT_EQ(Step_Interval(100, 100, 30), 70);
    EXPECT_EQ(Step_Interval(100, 100, 99), 1);
    EXPECT_EQ(Step_Interval(100, 100, 100), 1);
    EXPECT_EQ(Step_Interval(100, 100, 5000), 1);
    EXPECT_EQ(Step_Interval(0, 200, 5), 20);
}

// Plays the step rule the way the control's tick does: an index past the
// last frame is taken back to 1 before the step shows it.
struct Playback {
    std::vector<int> shown;
    int wraps = 0;
    bool stopped = false;
    Animation_Counters counters;
};

Playback Play(int frame_count, bool loop, int loop_count, int steps) {
    Playback play;
    for (int i = 0; i < steps && !play.stopped; ++i) {
        if (play.counters.current_frame > frame_count || play.counters.current_frame <= 0)
            play.counters.current_frame = 1;
        play.shown.push_back(play.counters.current_frame);
        const Step_Result step = Advance_Frame(play.counters, frame_count, loop, loop_count);
        if (step.wrapped) ++play.wraps;
        if (step.pass_counted && !step.keep_running) play.stopped = true;
    }
    return play;
}

TEST(GifAnimationRules, LoopCountsDecideHowOftenThePicturePlays) {
    struct Case {
        const char* name;
        bool loop;
        int loop_count;
        std::vector<int> shown;
        int wraps;
        bool stopped;
        int final_frame;
        int final_iteration;
    };
    const std::vector<Case> cases = {
        {"no looping extension: once", false, 1, {1, 2, 3}, 1, true, 4, 2},
        {"two passes", false, 2, {1, 2, 3, 1, 2, 3}, 2, true, 4, 3},
        {"count 0: for ever", false, 0, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1}, 3, false, 2, 1},
        {"Loop set: for ever", true, 1, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1}, 3, false, 2, 1},
        {"Loop set over a count", true, 5, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1}, 3, false, 2, 1},
    };
    for (const Case& c : cases) {
        const Playback play = Play(3, c.loop, c.loop_count, 10);
        EXPECT_EQ(play.shown, c.shown) << c.name;
        EXPECT_EQ(play.wraps, c.wraps) << c.name;
        EXPECT_EQ(play.stopped, c.stopped) << c.name;
        EXPECT_EQ(play.counters.current_frame, c.final_frame) << c.name;
        EXPECT_EQ(play.counters.loop_iteration, c.final_iteration) << c.name;
    }
}

TEST(GifAnimationRules, ABadIndexStartsAgainFromTheFirstFrame) {
    Animation_Counters counters{.current_frame = -5, .loop_iteration = 1};
    const Step_Result step = Advance_Frame(counters, 3, false, 0);
    EXPECT_FALSE(step.wrapped);
    EXPECT_EQ(counters.current_frame, 1);
}

TEST(GifAnimationRules, TheTimerRunsOnlyWithPassesLeft) {
    struct Case {
        bool multi, animate, empty, loop;
        int loop_count, loop_iteration;
        bool runs;
    };
    const std::vector<Case> cases = {
        {true, true, false, false, 1, 1, true},     {true, true, false, false, 1, 2, false},
        {true, true, false, true, 1, 2, true},      {true, true, false, false, 0, 7, true},
        {true, true, false, false, 999, 999, true}, {true, true, false, false, 999, 1000, false},
        {false, true, false, true, 0, 1, false},    {true, false, false, true, 0, 1, false},
        {true, true, true, true, 0, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Animation_Runs(c.multi, c.animate, c.empty, c.loop, c.loop_count, c.loop_iteration), c.runs)
            << c.multi << c.animate << c.empty << c.loop << " " << c.loop_count << " " << c.loop_iteration;
}

}  // namespace

}  // namespace velbrook

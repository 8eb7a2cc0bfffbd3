// The GIF control's animation: the frame sequence step by step, loop counts,
// Loop, Animate off and on, Speed and the intervals, the paint's re-arm, and
// the real timer in both modes freeing itself when the last pass ends.
#include <gtest/gtest.h>

#include <string>

#include "gif_test_pictures.h"
#include "timer_wait.h"

namespace velbrook {

using namespace gif_pictures;

namespace {

// Three 2 x 2 frames, red, green and blue, each for 100 ms.
Bytes Three_Frames(int loop_count) {
    return Picture(2, 2, {Solid(0, 0, 2, 2, R, 0, 10), Solid(0, 0, 2, 2, G, 0, 10), Solid(0, 0, 2, 2, B, 0, 10)},
                   loop_count);
}

// The frame on display, by its colour.
int Shown(const TGIFImage& image) {
    const COLORREF color = Read_Pixels(image.ComposedBitmap()).At(1, 1);
    if (color == Red) return 1;
    if (color == Green) return 2;
    if (color == Blue) return 3;
    return 0;
}

struct Recorder {
    std::vector<int> shown;
    int wraps = 0;
    int changing = 0;
    int changes = 0;
    void Attach(TGIFImage& image) {
        image.OnWrapAnimation = [this](TGIFImage&) { ++wraps; };
        image.OnChanging = [this](TGIFImage&) { ++changing; };
        image.OnChange = [this](TGIFImage&) { ++changes; };
    }
    void Ticks(TGIFImage& image, int count) {
        for (int i = 0; i < count; ++i) {
            image.AnimationTick();
            shown.push_back(Shown(image));
        }
    }
};

TEST(GifAnimation, LoopCountsLoopAndWraps) {
    struct Case {
        const char* name;
        int loop_count;  // -1: no looping extension
        bool loop;
        std::vector<int> shown;
        int wraps;
        bool timer_left;
        int current_frame;
    };
    const std::vector<Case> cases = {
        {"no looping extension: once", -1, false, {1, 2, 3, 3, 3, 3, 3}, 1, false, 4},
        {"two passes", 2, false, {1, 2, 3, 1, 2, 3, 3}, 2, false, 4},
        {"count 0: for ever", 0, false, {1, 2, 3, 1, 2, 3, 1}, 2, true, 2},
        {"Loop: for ever", -1, true, {1, 2, 3, 1, 2, 3, 1}, 2, true, 2},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(c.loop_count))) << c.name;
        EXPECT_EQ(image.LoopCount(), c.loop_count < 0 ? 1 : c.loop_count) << c.name;
        EXPECT_TRUE(image.FirstTickPending());
        image.Set_Loop(c.loop);
        image.Set_Animate(true);
        ASSERT_NE(image.AnimationTimer(), nullptr) << c.name;
        EXPECT_EQ(image.AnimationTimer()->Interval(), 100u) << c.name;
        Recorder recorder;
        recorder.Attach(image);
        recorder.Ticks(image, 7);
        EXPECT_FALSE(image.FirstTickPending());
        EXPECT_EQ(recorder.shown, c.shown) << c.name;
        EXPECT_EQ(recorder.wraps, c.wraps) << c.name;
        EXPECT_EQ(image.AnimationTimer() != nullptr, c.timer_left) << c.name;
        EXPECT_EQ(image.CurrentFrame(), c.current_frame) << c.name;
    }
}

TEST(GifAnimation, EveryStepTellsBeforeAndAfterAndWrapsAtTheLastFrame) {
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(0)));
    image.Set_Animate(true);
    Recorder recorder;
    std::vector<int> wrapped_on;
    recorder.Attach(image);
    image.OnWrapAnimation = [&](TGIFImage&) { wrapped_on.push_back(Shown(image)); };
    recorder.Ticks(image, 6);
    EXPECT_EQ(recorder.changing, 6);
    EXPECT_EQ(recorder.changes, 6);
    EXPECT_EQ(wrapped_on, (std::vector<int>{3, 3}));
}

TEST(GifAnimation, LoopSwitchedOnAfterTheEndStartsAgain) {
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(-1)));
    image.Set_Animate(true);
    Recorder recorder;
    recorder.Ticks(image, 4);
    ASSERT_EQ(image.AnimationTimer(), nullptr);
    EXPECT_EQ(image.CurrentFrame(), 4);
    EXPECT_EQ(image.LoopIteration(), 2);
    image.Set_Loop(true);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(image.LoopIteration(), 1);
    ASSERT_NE(image.AnimationTimer(), nullptr);
    EXPECT_EQ(image.AnimationTimer()->Interval(), 100u);
    recorder.shown.clear();
    recorder.Ticks(image, 5);
    EXPECT_EQ(recorder.shown, (std::vector<int>{1, 2, 3, 1, 2}));

    // Loop switched on before the end, or without Animate, restarts nothing.
    TGIFImage still;
    ASSERT_TRUE(still.Load_From_Bytes(Three_Frames(-1)));
    still.Set_Loop(true);
    EXPECT_EQ(still.AnimationTimer(), nullptr);
}

TEST(GifAnimation, AnimateOffShowsFrameOneAndOnStartsFromIt) {
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(2)));
    image.Set_Animate(true);
    Recorder recorder;
    recorder.Ticks(image, 2);  // frame 2 on display, frame 3 next
    EXPECT_EQ(Shown(image), 2);
    EXPECT_EQ(image.CurrentFrame(), 3);
    image.Set_Animate(false);
    EXPECT_EQ(image.AnimationTimer(), nullptr);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(Shown(image), 1);
    image.AnimationTick();  // no timer, no step
    EXPECT_EQ(Shown(image), 1);

    image.Set_Animate(true);
    EXPECT_EQ(image.LoopIteration(), 1);
    recorder.shown.clear();
    recorder.Ticks(image, 4);
    // The restart draws frame 1 once more: it stays for two intervals.
    EXPECT_EQ(recorder.shown, (std::vector<int>{1, 2, 3, 1}));

    // Off after the last pass: back to frame 1 as well.
    recorder.Ticks(image, 5);
    ASSERT_EQ(image.AnimationTimer(), nullptr);
    EXPECT_EQ(image.CurrentFrame(), 4);
    image.Set_Animate(false);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(Shown(image), 1);
}

TEST(GifAnimation, TheWrapKeepsTheComposition) {
    // Frame 1 leaves its top left pixel transparent; frame 2 paints green
    // everywhere and stays: at the wrap frame 1 goes over that green.
    TGIFEncodeFrame first = Solid(0, 0, 2, 2, R, 0, 5);
    first.Indices[0] = Y;
    first.Transparent_Index = Y;
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Picture(2, 2, {first, Solid(0, 0, 2, 2, G, 1, 5)}, 0)));
    EXPECT_EQ(Read_Pixels(image.ComposedBitmap()).At(0, 0), Black);
    image.Set_Animate(true);
    for (int i = 0; i < 3; ++i) image.AnimationTick();
    const Pixels pixels = Read_Pixels(image.ComposedBitmap());
    EXPECT_EQ(pixels.At(0, 0), Green);
    EXPECT_EQ(pixels.At(1, 0), Red);
}

TEST(GifAnimation, CurrentFrameOutsideTheFramesIsIgnored) {
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(0)));
    int changes = 0;
    image.OnChange = [&](TGIFImage&) { ++changes; };
    for (int value : {0, 4, -1}) image.Set_CurrentFrame(value);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(changes, 0);
    image.Set_CurrentFrame(3);
    EXPECT_EQ(image.CurrentFrame(), 3);
    EXPECT_EQ(Shown(image), 3);
    EXPECT_EQ(changes, 1);
}

TEST(GifAnimation, ASingleFrameNeverGetsATimer) {
    TGIFImage image(nullptr, L"Still", {0, 0, 2, 2});
    ASSERT_TRUE(image.Load_From_Bytes(Picture(2, 2, {Solid(0, 0, 2, 2, R, 0, 10)}, 0)));
    image.Set_Loop(true);
    image.Set_Animate(true);
    EXPECT_EQ(image.AnimationTimer(), nullptr);
    Canvas canvas(2, 2, Magenta);
    image.Paint(canvas.Dc(), RECT{0, 0, 2, 2});
    EXPECT_EQ(image.AnimationTimer(), nullptr);
    image.AnimationTick();
    EXPECT_EQ(image.CurrentFrame(), 1);

    TGIFImage empty;
    empty.Set_Animate(true);
    EXPECT_EQ(empty.AnimationTimer(), nullptr);
}

TEST(GifAnimation, IntervalsByDelayAndSpeed) {
    const Bytes gif = Picture(2, 2,
                              {Solid(0, 0, 2, 2, R, 0, 0), Solid(0, 0, 2, 2, G, 0, 4), Solid(0, 0, 2, 2, B, 0, 5),
                               Solid(0, 0, 2, 2, Y, 0, 10)},
                              0);
    struct Case {
        int speed;
        int stored;
        std::vector<int> intervals;
    };
    const std::vector<Case> cases = {
        {100, 100, {50, 50, 50, 100}},
        {200, 200, {25, 25, 25, 50}},
        {0, 1, {5000, 5000, 5000, 10000}},
        {-20, 1, {5000, 5000, 5000, 10000}},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        ASSERT_TRUE(image.Load_From_Bytes(gif));
        image.Set_Speed(c.speed);
        EXPECT_EQ(image.Speed(), c.stored);
        for (int k = 1; k <= 4; ++k) EXPECT_EQ(image.FrameInterval(k), c.intervals[k - 1]) << c.speed << " " << k;
        image.Set_Animate(true);
        ASSERT_NE(image.AnimationTimer(), nullptr);
        EXPECT_EQ(image.AnimationTimer()->Interval(), static_cast<unsigned>(c.intervals[0]));
        // Each step sets the interval of the frame it showed, less the time
        // the step took.
        for (int k = 1; k <= 4; ++k) {
            image.AnimationTick();
            const unsigned interval = image.AnimationTimer()->Interval();
            EXPECT_LE(interval, static_cast<unsigned>(c.intervals[k - 1])) << c.speed << " " << k;
            EXPECT_GE(interval, 1u);
        }
    }
    // A change of speed while running brings the next step at once.
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(gif));
    image.Set_Animate(true);
    image.Set_Speed(300);
    EXPECT_EQ(image.AnimationTimer()->Interval(), 1u);
}

TEST(GifAnimation, APaintStartsTheTimerWhenTheAnimationShouldRun) {
    TGIFImage image(nullptr, L"Logo", {0, 0, 2, 2});
    image.Set_Animate(true);
    ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(-1)));
    EXPECT_EQ(image.AnimationTimer(), nullptr);  // the load stopped it
    Canvas canvas(2, 2, Magenta);
    image.Paint(canvas.Dc(), RECT{0, 0, 2, 2});
    ASSERT_NE(image.AnimationTimer(), nullptr);
    EXPECT_EQ(image.AnimationTimer()->Interval(), 100u);
    TTimerEx* timer = image.AnimationTimer();
    image.Paint(canvas.Dc(), RECT{0, 0, 2, 2});
    EXPECT_EQ(image.AnimationTimer(), timer);  // a paint does not make another
    // After the last pass a paint leaves the picture standing.
    for (int i = 0; i < 3; ++i) image.AnimationTick();
    ASSERT_EQ(image.AnimationTimer(), nullptr);
    image.Paint(canvas.Dc(), RECT{0, 0, 2, 2});
    EXPECT_EQ(image.AnimationTimer(), nullptr);
    EXPECT_EQ(Shown(image), 3);
}

TEST(GifAnimation, TheLogoPlaysItsPassesAndStopsOnTheLastFrame) {
    std::vector<TGIFEncodeFrame> frames;
    for (int i = 0; i < 8; ++i) {
        TGIFEncodeFrame frame = Solid(0, 0, 2, 2, static_cast<std::uint8_t>(i % 4), 2, 10);
        frame.Indices[3] = static_cast<std::uint8_t>((i / 4) + 2);
        frame.Transparent_Index = 3;
        frames.push_back(frame);
    }
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Picture(2, 2, frames, 999)));
    image.Set_Animate(true);
    int wraps = 0;
    image.OnWrapAnimation = [&](TGIFImage&) { ++wraps; };
    int ticks = 0;
    while (image.AnimationTimer() != nullptr && ticks < 20000) {
        image.AnimationTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 999 * 8);
    EXPECT_EQ(wraps, 999);
    EXPECT_EQ(image.CurrentFrame(), 9);
    EXPECT_EQ(image.LoopIteration(), 1000);
    image.Set_Animate(false);
    image.Set_Animate(true);
    EXPECT_NE(image.AnimationTimer(), nullptr);
    EXPECT_EQ(image.LoopIteration(), 1);
}

TEST(GifAnimation, RunsOnItsTimerInBothModesAndStopsByItself) {
    for (bool threaded : {false, true}) {
        TGIFImage image;
        ASSERT_TRUE(image.Load_From_Bytes(
            Picture(2, 2, {Solid(0, 0, 2, 2, R), Solid(0, 0, 2, 2, G), Solid(0, 0, 2, 2, B)}, 2)));
        image.Set_Threaded(threaded);
        image.Set_ThreadPriority(TThreadPriority::tpHigher);
        std::vector<int> shown;
        image.OnChange = [&](TGIFImage&) { shown.push_back(Shown(image)); };
        image.Set_Animate(true);
        ASSERT_NE(image.AnimationTimer(), nullptr);
        EXPECT_EQ(image.AnimationTimer()->Threaded(), threaded);
        EXPECT_EQ(image.AnimationTimer()->ThreadPriority(), TThreadPriority::tpHigher);
        // The last pass frees the timer from inside its own tick.
        ASSERT_TRUE(Wait_Until([&] { return image.AnimationTimer() == nullptr; })) << threaded;
        EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 1, 2, 3})) << threaded;
        EXPECT_EQ(image.CurrentFrame(), 4);
    }
}

TEST(GifAnimation, SwitchingThreadedWhileRunningKeepsAnimating) {
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(0)));
    int steps = 0;
    image.OnChange = [&](TGIFImage&) { ++steps; };
    image.Set_Animate(true);
    for (bool threaded : {true, false}) {
        const int before = steps;
        image.Set_Threaded(threaded);
        ASSERT_NE(image.AnimationTimer(), nullptr);
        EXPECT_EQ(image.AnimationTimer()->Threaded(), threaded);
        ASSERT_TRUE(Wait_Until([&] { return steps >= before + 3; })) << threaded;
    }
}

UINT_PTR WINAPI Refuse_Timer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }

TEST(GifAnimation, NoTimerLeftReachesWhoeverStartedTheAnimation) {
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(0)));
    Timer_Ex_Set_Timer = &Refuse_Timer;
    bool raised = false;
    try {
        image.Set_Animate(true);
    } catch (const Out_Of_Resources& failure) {
        raised = failure.Text() == L"No More Timers Available";
    }
    Timer_Ex_Set_Timer = &::SetTimer;
    EXPECT_TRUE(raised);
}

}  // namespace

namespace {

TEST(GifAnimation, AHandlerMayStopTheAnimationDuringAStep) {
    TGIFImage image;
    ASSERT_TRUE(image.Load_From_Bytes(Three_Frames(0)));
    image.Set_Animate(true);
    image.AnimationTick();
    image.AnimationTick();  // frame 2 on display
    int changes = 0;
    image.OnChanging = [&](TGIFImage& sender) { sender.Set_Animate(false); };
    image.OnChange = [&](TGIFImage&) { ++changes; };
    image.AnimationTick();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(image.AnimationTimer(), nullptr);
    EXPECT_FALSE(image.Animate());
}

}  // namespace

}  // namespace velbrook

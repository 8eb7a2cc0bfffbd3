// The progress gauge: its properties and their rules, when it repaints, and
// what it draws in every kind, painted into a canvas and read back pixel by
// pixel.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "../support/counting_gauge.h"
#include "picture_test_support.h"
#include "printing/gauge.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

using testing::Black;
using testing::Blue;
using testing::Canvas;
using testing::Red;
using testing::Rgb;
using testing::White;
using testing::Yellow;

Rgb Of(COLORREF color) { return {GetRValue(color), GetGValue(color), GetBValue(color)}; }

class Gauge_Test : public ::testing::Test {
protected:
    Gauge_Test()
        : application(dialogs, L"Velbrook v1.0f"),
          form(L"Test", Form::Options{.caption = L"Gauge test", .bounds = {20, 20, 400, 300}}) {}

    TGauge& Gauge(Bounds bounds = TGauge::New_Gauge_Bounds) { return form.Add<TGauge>(&form, L"Gauge1", bounds); }

    // The gauge painted on its own into a canvas of its size.
    std::unique_ptr<Canvas> Painted(TGauge& gauge) {
        auto canvas = std::make_unique<Canvas>(gauge.Width(), gauge.Height());
        gauge.Paint(canvas->Dc(), canvas->Whole());
        return canvas;
    }

    // Where the text of the percentage goes, as the gauge centres it in the
    // inside of its frame.
    RECT Text_Box(const TGauge& gauge) {
        const std::wstring text = std::to_wstring(gauge.PercentDone()) + L"%";
        Dc_Handle dc(::CreateCompatibleDC(nullptr));
        Select_Guard font(dc.get(), Cached_Font(gauge.Font()));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        const int edge = gauge.BorderStyle() == TBorderStyle::bsSingle ? 1 : 0;
        const int inside_w = gauge.Width() - 2 * edge + 1, inside_h = gauge.Height() - 2 * edge + 1;
        const int x = (inside_w - extent.cx) / 2, y = (inside_h - extent.cy) / 2;
        return {x, y, x + extent.cx, y + extent.cy};
    }

    Scripted_Dialogs dialogs;
    Application application;
    Form form;
};

bool Inside(const RECT& box, int x, int y) { return x >= box.left && x < box.right && y >= box.top && y < box.bottom; }

bool On_Edge(const Canvas& canvas, int x, int y) {
    return x == 0 || y == 0 || x == canvas.Width() - 1 || y == canvas.Height() - 1;
}

// Counts the pixels of `colour` in the canvas that `where` selects.
int Count(const Canvas& canvas, Rgb colour, const std::function<bool(int, int)>& where) {
    int count = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (where(x, y) && canvas.At(x, y) == colour) ++count;
    return count;
}

int Count_Not(const Canvas& canvas, Rgb colour, const std::function<bool(int, int)>& where) {
    int count = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (where(x, y) && !(canvas.At(x, y) == colour)) ++count;
    return count;
}

TEST_F(Gauge_Test, A_New_Gauge_Is_A_Framed_White_Bar_With_A_Black_0_Percent) {
    TGauge& gauge = Gauge();
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.PercentDone(), 0);
    EXPECT_EQ(gauge.Kind(), TGaugeKind::gkHorizontalBar);
    EXPECT_TRUE(gauge.ShowText());
    EXPECT_EQ(gauge.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(gauge.ForeColor(), RGB(0, 0, 0));
    EXPECT_EQ(gauge.BackColor(), RGB(255, 255, 255));
    EXPECT_EQ(gauge.Color(), form.Background());
    EXPECT_EQ(gauge.Width(), 100);
    EXPECT_EQ(gauge.Height(), 100);
    EXPECT_TRUE(gauge.Visible());
    EXPECT_FALSE(gauge.Loading());

    auto canvas = Painted(gauge);
    EXPECT_EQ(Count_Not(*canvas, Black, [&](int x, int y) { return On_Edge(*canvas, x, y); }), 0) << "the frame";
    const RECT text = Text_Box(gauge);
    // Inside the frame: white but for the text, which is black and lies
    // where the gauge centres it.
    EXPECT_EQ(Count_Not(*canvas, White, [&](int x, int y) { return !On_Edge(*canvas, x, y) && !Inside(text, x, y); }),
              0);
    EXPECT_GT(Count(*canvas, Black, [&](int x, int y) { return Inside(text, x, y); }), 15);
    EXPECT_GT(text.left, 30);
    EXPECT_LT(text.right, 70);
    EXPECT_GT(text.top, 30);
    EXPECT_LT(text.bottom, 70);
}

TEST_F(Gauge_Test, The_Percentage_Is_Cut_And_The_Progress_Clamped) {
    struct Case {
        std::int32_t max, progress, stored;
        int percent;
    } cases[] = {
        {3, 1, 1, 33}, {3, 2, 2, 66}, {3, 3, 3, 100}, {100, 150, 100, 100}, {100, -5, 0, 0}, {1000, 104, 104, 10},
    };
    for (const auto& c : cases) {
        TGauge& gauge = Gauge();
        gauge.Set_MaxValue(c.max);
        gauge.Set_Progress(c.progress);
        EXPECT_EQ(gauge.Progress(), c.stored) << c.progress << " of 0.." << c.max;
        EXPECT_EQ(gauge.PercentDone(), c.percent) << c.progress << " of 0.." << c.max;
    }
}

TEST_F(Gauge_Test, Only_A_Change_Repaints_And_The_Progress_Only_When_The_Whole_Percentage_Moves) {
    Counting_Gauge& gauge = form.Add<Counting_Gauge>(&form, L"Gauge1", Bounds{10, 10, 100, 22});
    gauge.Set_MaxValue(1000);
    gauge.Set_Progress(100);
    form.Show();
    Process_Messages();
    ::UpdateWindow(form.Handle());
    ASSERT_GT(gauge.paints, 0) << "the shown form paints its gauge";

    struct Step {
        const char* what;
        std::function<void()> change;
        int paints;
    } steps[] = {
        {"progress 100 to 104 of 1000", [&] { gauge.Set_Progress(104); }, 0},
        {"progress 104 to 110", [&] { gauge.Set_Progress(110); }, 1},
        {"progress 110 again", [&] { gauge.Set_Progress(110); }, 0},
        {"progress past the maximum", [&] { gauge.Set_Progress(5000); }, 1},
        {"progress past the maximum again", [&] { gauge.Set_Progress(1001); }, 0},
        {"the same kind", [&] { gauge.Set_Kind(TGaugeKind::gkHorizontalBar); }, 0},
        {"another kind", [&] { gauge.Set_Kind(TGaugeKind::gkPie); }, 1},
        {"the same text setting", [&] { gauge.Set_ShowText(true); }, 0},
        {"no text", [&] { gauge.Set_ShowText(false); }, 1},
        {"the same border", [&] { gauge.Set_BorderStyle(TBorderStyle::bsSingle); }, 0},
        {"no border", [&] { gauge.Set_BorderStyle(TBorderStyle::bsNone); }, 1},
        {"the same fore colour", [&] { gauge.Set_ForeColor(RGB(0, 0, 0)); }, 0},
        {"a fore colour", [&] { gauge.Set_ForeColor(RGB(0, 0, 255)); }, 1},
        {"the same back colour", [&] { gauge.Set_BackColor(RGB(255, 255, 255)); }, 0},
        {"a back colour", [&] { gauge.Set_BackColor(RGB(255, 255, 0)); }, 1},
        {"a colour", [&] { gauge.Set_Color(RGB(255, 0, 0)); }, 1},
        {"the same colour", [&] { gauge.Set_Color(RGB(255, 0, 0)); }, 0},
        {"the same minimum", [&] { gauge.Set_MinValue(0); }, 0},
        {"a minimum", [&] { gauge.Set_MinValue(10); }, 1},
        {"the same maximum", [&] { gauge.Set_MaxValue(1000); }, 0},
        {"a maximum", [&] { gauge.Set_MaxValue(500); }, 1},
        {"a refused minimum", [&] { EXPECT_THROW(gauge.Set_MinValue(501), Invalid_Operation); }, 0},
        {"hidden", [&] { gauge.Set_Visible(false); }, 0},
        {"a change while hidden", [&] { gauge.Set_Progress(10); }, 0},
    };
    for (const auto& step : steps) {
        gauge.paints = 0;
        step.change();
        EXPECT_EQ(gauge.paints, step.paints) << step.what;
    }
    EXPECT_EQ(gauge.Progress(), 10);
}

TEST_F(Gauge_Test, A_Bound_Past_The_Other_Is_Refused_With_The_Range_Message) {
    TGauge& gauge = Gauge();
    gauge.Set_Progress(50);
    struct Case {
        bool minimum;
        std::int32_t value;
        const wchar_t* message;
    } cases[] = {
        {true, 200, L"Value must be between -2147483647 and 99"},
        {false, -1, L"Value must be between 1 and 2147483647"},
    };
    for (const auto& c : cases) {
        try {
            c.minimum ? gauge.Set_MinValue(c.value) : gauge.Set_MaxValue(c.value);
            ADD_FAILURE() << c.value << " accepted";
        } catch (const Failure& failure) {
            EXPECT_NE(dynamic_cast<const Invalid_Operation*>(&failure), nullptr);
            EXPECT_EQ(failure.Text(), c.message);
        }
        EXPECT_EQ(gauge.MinValue(), 0);
        EXPECT_EQ(gauge.MaxValue(), 100);
        EXPECT_EQ(gauge.Progress(), 50);
    }
}

TEST_F(Gauge_Test, A_Gauge_Loaded_From_Its_Description_Takes_Its_Bounds_In_Any_Order) {
    TGauge& loaded = form.Add<TGauge>(&form, L"Gauge1", Bounds{5, 6, 88, 28}, Gauge_Description{.min_value = 200});
    EXPECT_EQ(loaded.MinValue(), 200);
    EXPECT_EQ(loaded.MaxValue(), 100);
    EXPECT_EQ(loaded.Progress(), 200);
    EXPECT_EQ(loaded.PercentDone(), 0);
    EXPECT_EQ(loaded.Get_Bounds(), (Bounds{5, 6, 88, 28}));
    EXPECT_FALSE(loaded.Loading());
    // Once loaded, the rule holds again.
    EXPECT_THROW(loaded.Set_MinValue(300), Invalid_Operation);

    TGauge& full = form.Add<TGauge>(&form, L"Gauge2", TGauge::New_Gauge_Bounds,
                                    Gauge_Description{.min_value = -10,
                                                      .max_value = 10,
                                                      .progress = 5,
                                                      .kind = TGaugeKind::gkNeedle,
                                                      .show_text = false,
                                                      .border_style = TBorderStyle::bsNone,
                                                      .fore_color = RGB(1, 2, 3),
                                                      .back_color = RGB(4, 5, 6)});
    EXPECT_EQ(full.MinValue(), -10);
    EXPECT_EQ(full.MaxValue(), 10);
    EXPECT_EQ(full.Progress(), 5);
    EXPECT_EQ(full.PercentDone(), 75);
    EXPECT_EQ(full.Kind(), TGaugeKind::gkNeedle);
    EXPECT_FALSE(full.ShowText());
    EXPECT_EQ(full.BorderStyle(), TBorderStyle::bsNone);
    EXPECT_EQ(full.ForeColor(), RGB(1, 2, 3));
    EXPECT_EQ(full.BackColor(), RGB(4, 5, 6));
}

TEST_F(Gauge_Test, A_Bound_Moved_Past_The_Progress_Takes_It_Along) {
    TGauge& gauge = Gauge();
    gauge.Set_Progress(50);
    gauge.Set_MaxValue(20);
    EXPECT_EQ(gauge.MaxValue(), 20);
    EXPECT_EQ(gauge.Progress(), 20);
    gauge.Set_MinValue(-5);
    gauge.Set_Progress(-100);
    EXPECT_EQ(gauge.Progress(), -5);
    gauge.Set_MinValue(10);
    EXPECT_EQ(gauge.Progress(), 10);
}

// Bars without text, blue on white, so that each pixel tells what drew it.
class Gauge_Bar_Test : public Gauge_Test {
protected:
    TGauge& Bar(TGaugeKind kind, int percent, TBorderStyle border) {
        TGauge& gauge = Gauge(Bounds{0, 0, 100, 22});
        gauge.Set_Kind(kind);
        gauge.Set_ShowText(false);
        gauge.Set_ForeColor(RGB(0, 0, 255));
        gauge.Set_BorderStyle(border);
        gauge.Set_Progress(percent);
        return gauge;
    }
};

TEST_F(Gauge_Bar_Test, A_Horizontal_Bar_Fills_Its_Frame_At_100_And_Nothing_At_0) {
    {
        auto canvas = Painted(Bar(TGaugeKind::gkHorizontalBar, 100, TBorderStyle::bsSingle));
        EXPECT_EQ(Count_Not(*canvas, Black, [&](int x, int y) { return On_Edge(*canvas, x, y); }), 0);
        EXPECT_EQ(Count_Not(*canvas, Blue, [&](int x, int y) { return !On_Edge(*canvas, x, y); }), 0);
    }
    {
        auto canvas = Painted(Bar(TGaugeKind::gkHorizontalBar, 0, TBorderStyle::bsSingle));
        EXPECT_EQ(Count(*canvas, Blue, [](int, int) { return true; }), 0);
        EXPECT_EQ(Count_Not(*canvas, White, [&](int x, int y) { return !On_Edge(*canvas, x, y); }), 0);
        EXPECT_EQ(Count_Not(*canvas, Black, [&](int x, int y) { return On_Edge(*canvas, x, y); }), 0);
    }
    {
        auto canvas = Painted(Bar(TGaugeKind::gkHorizontalBar, 100, TBorderStyle::bsNone));
        EXPECT_EQ(Count_Not(*canvas, Blue, [](int, int) { return true; }), 0);
    }
    {
        // Half of the 99 inside: the bar's right edge is 49 itself, so it
        // covers columns 1 to 48.
        auto canvas = Painted(Bar(TGaugeKind::gkHorizontalBar, 50, TBorderStyle::bsSingle));
        auto inside = [&](int x, int y) { return !On_Edge(*canvas, x, y); };
        EXPECT_EQ(Count_Not(*canvas, Blue, [&](int x, int y) { return inside(x, y) && x < 49; }), 0);
        EXPECT_EQ(Count_Not(*canvas, White, [&](int x, int y) { return inside(x, y) && x >= 49; }), 0);
    }
}

TEST_F(Gauge_Bar_Test, A_Vertical_Bar_Fills_Its_Frame_At_100_But_Leaves_The_Top_Row_Without_One) {
    {
        auto canvas = Painted(Bar(TGaugeKind::gkVerticalBar, 100, TBorderStyle::bsSingle));
        EXPECT_EQ(Count_Not(*canvas, Black, [&](int x, int y) { return On_Edge(*canvas, x, y); }), 0);
        EXPECT_EQ(Count_Not(*canvas, Blue, [&](int x, int y) { return !On_Edge(*canvas, x, y); }), 0);
    }
    {
        auto canvas = Painted(Bar(TGaugeKind::gkVerticalBar, 100, TBorderStyle::bsNone));
        EXPECT_EQ(Count_Not(*canvas, White, [](int, int y) { return y == 0; }), 0) << "the top row";
        EXPECT_EQ(Count_Not(*canvas, Blue, [](int, int y) { return y > 0; }), 0);
    }
    {
        // Half of the 21 inside rows is 10, rising from the bottom edge 21.
        auto canvas = Painted(Bar(TGaugeKind::gkVerticalBar, 50, TBorderStyle::bsSingle));
        auto inside = [&](int x, int y) { return !On_Edge(*canvas, x, y); };
        EXPECT_EQ(Count_Not(*canvas, White, [&](int x, int y) { return inside(x, y) && y < 11; }), 0);
        EXPECT_EQ(Count_Not(*canvas, Blue, [&](int x, int y) { return inside(x, y) && y >= 11; }), 0);
    }
    {
        auto canvas = Painted(Bar(TGaugeKind::gkVerticalBar, 0, TBorderStyle::bsNone));
        EXPECT_EQ(Count_Not(*canvas, White, [](int, int) { return true; }), 0);
    }
}

TEST_F(Gauge_Bar_Test, Text_Is_White_Over_The_Bar_Black_Over_The_Rest_And_Inverts_Any_Colour) {
    struct Case {
        COLORREF fore;
        Rgb text_over_bar;
    } cases[] = {{RGB(0, 0, 0), White}, {RGB(0, 0, 255), Yellow}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << Of(c.fore));
        TGauge& gauge = Bar(TGaugeKind::gkHorizontalBar, 50, TBorderStyle::bsSingle);
        gauge.Set_ForeColor(c.fore);
        gauge.Set_ShowText(true);
        auto canvas = Painted(gauge);
        const RECT text = Text_Box(gauge);
        ASSERT_LT(text.left, 49) << "the text straddles the bar's end";
        ASSERT_GT(text.right, 49);
        auto bar = [&](int x, int y) { return !On_Edge(*canvas, x, y) && x < 49; };
        auto empty = [&](int x, int y) { return !On_Edge(*canvas, x, y) && x >= 49; };
        auto in_text = [&](int x, int y) { return Inside(text, x, y); };
        EXPECT_GT(Count(*canvas, c.text_over_bar, [&](int x, int y) { return bar(x, y) && in_text(x, y); }), 5);
        EXPECT_GT(Count(*canvas, Black, [&](int x, int y) { return empty(x, y) && in_text(x, y); }), 5);
        // Away from the text the bar and the empty part are untouched.
        EXPECT_EQ(Count_Not(*canvas, Of(c.fore), [&](int x, int y) { return bar(x, y) && !in_text(x, y); }), 0);
        EXPECT_EQ(Count_Not(*canvas, White, [&](int x, int y) { return empty(x, y) && !in_text(x, y); }), 0);
    }
}

TEST_F(Gauge_Bar_Test, Text_Alone_Stands_On_The_Back_Colour_In_Its_Inverse) {
    TGauge& gauge = Bar(TGaugeKind::gkText, 100, TBorderStyle::bsSingle);
    gauge.Set_BackColor(RGB(255, 255, 0));
    gauge.Set_ShowText(true);
    auto canvas = Painted(gauge);
    const RECT text = Text_Box(gauge);
    auto inside = [&](int x, int y) { return !On_Edge(*canvas, x, y); };
    EXPECT_EQ(Count_Not(*canvas, Black, [&](int x, int y) { return !inside(x, y); }), 0);
    EXPECT_EQ(Count_Not(*canvas, Yellow, [&](int x, int y) { return inside(x, y) && !Inside(text, x, y); }), 0);
    EXPECT_GT(Count(*canvas, Blue, [&](int x, int y) { return Inside(text, x, y); }), 15);
    EXPECT_EQ(Count(*canvas, Blue, [&](int x, int y) { return !Inside(text, x, y); }), 0) << "no bar";
}

TEST_F(Gauge_Bar_Test, Text_Too_Big_For_The_Gauge_Is_Clipped_To_The_Inside_Of_The_Frame) {
    TGauge& gauge = Gauge(Bounds{0, 0, 14, 8});
    gauge.Set_Progress(100);  // a black bar with a white "100%" much larger than 12 by 6
    auto canvas = Painted(gauge);
    EXPECT_EQ(Count_Not(*canvas, Black, [&](int x, int y) { return On_Edge(*canvas, x, y); }), 0) << "the frame";
    EXPECT_GT(Count(*canvas, White, [&](int x, int y) { return !On_Edge(*canvas, x, y); }), 0) << "the text";
}

// Pies and dials: blue on white, red around them.
class Gauge_Round_Test : public Gauge_Test {
protected:
    TGauge& Round(TGaugeKind kind, int percent, Bounds bounds) {
        TGauge& gauge = Gauge(bounds);
        gauge.Set_Kind(kind);
        gauge.Set_ShowText(false);
        gauge.Set_ForeColor(RGB(0, 0, 255));
        gauge.Set_Color(RGB(255, 0, 0));
        gauge.Set_Progress(percent);
        return gauge;
    }
};

TEST_F(Gauge_Round_Test, The_Pie_Grows_Clockwise_From_Twelve) {
    struct Case {
        int percent;
        Rgb upper_right, lower_right, lower_left, upper_left;
    } cases[] = {
        {0, White, White, White, White}, {25, Blue, White, White, White}, {50, Blue, Blue, White, White},
        {75, Blue, Blue, Blue, White},   {100, Blue, Blue, Blue, Blue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        auto canvas = Painted(Round(TGaugeKind::gkPie, c.percent, {0, 0, 100, 100}));
        EXPECT_EQ(canvas->At(72, 28), c.upper_right);
        EXPECT_EQ(canvas->At(72, 72), c.lower_right);
        EXPECT_EQ(canvas->At(28, 72), c.lower_left);
        EXPECT_EQ(canvas->At(28, 28), c.upper_left);
        // Near the axes too: the wedge's edges are the radials.
        EXPECT_EQ(canvas->At(90, 45), c.upper_right) << "just above three o'clock";
        EXPECT_EQ(canvas->At(55, 10), c.upper_right) << "just right of twelve";
        EXPECT_EQ(canvas->At(2, 2), Red) << "around the ellipse";
        EXPECT_EQ(canvas->At(0, 0), Black) << "the frame";
        EXPECT_EQ(canvas->At(50, 1), Blue) << "the outline";
    }
}

TEST_F(Gauge_Round_Test, The_Needle_Turns_From_Left_Through_Up_To_Right) {
    const Bounds dial{0, 0, 100, 50};
    // Inside the frame of 100 by 50 the baseline B is 49; the needle turns
    // about (50, 48).
    auto at_zero = Painted(Round(TGaugeKind::gkNeedle, 0, dial));
    EXPECT_EQ(Count_Not(*at_zero, White, [](int x, int y) { return x == 50 && y >= 5 && y <= 40; }), 0)
        << "no needle at 0";
    EXPECT_EQ(Count_Not(*at_zero, White, [](int x, int y) { return y == 45 && x >= 10 && x <= 90; }), 0);
    EXPECT_EQ(at_zero->At(2, 2), Red) << "around the dial";
    EXPECT_EQ(Count_Not(*at_zero, Blue, [](int x, int y) { return y == 49 && x >= 1 && x <= 98; }), 0)
        << "the base line";

    struct Case {
        int percent;
        std::function<bool(int, int)> on_needle;
        int at_least;
    } cases[] = {
        {50, [](int x, int y) { return x == 50 && y >= 0 && y <= 48; }, 40},
        {100, [](int x, int y) { return y == 48 && x >= 50 && x <= 100; }, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        auto canvas = Painted(Round(TGaugeKind::gkNeedle, c.percent, dial));
        // What this percentage adds to the dial of 0 is the needle, in the
        // fore colour, and only where the needle runs.
        int added = 0;
        for (int y = 0; y < canvas->Height(); ++y)
            for (int x = 0; x < canvas->Width(); ++x) {
                if (canvas->At(x, y) == at_zero->At(x, y)) continue;
                ++added;
                EXPECT_EQ(canvas->At(x, y), Blue) << x << "," << y;
                EXPECT_TRUE(c.on_needle(x, y)) << "stray pixel at " << x << "," << y;
            }
        EXPECT_GE(added, c.at_least);
    }
}

TEST_F(Gauge_Test, The_Parent_Paints_The_Gauge_In_Its_Place_And_Not_When_Hidden) {
    TGauge& gauge = Gauge(Bounds{30, 20, 100, 22});
    form.Show();
    Canvas canvas(200, 100);
    ::SendMessageW(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.At(30, 20), Black) << "the frame";
    EXPECT_EQ(canvas.At(129, 41), Black);
    EXPECT_EQ(canvas.At(32, 22), White) << "the empty bar";
    EXPECT_EQ(canvas.At(29, 20), Of(form.Background())) << "beside the gauge";
    EXPECT_EQ(canvas.At(130, 41), Of(form.Background()));

    gauge.Set_Visible(false);
    Canvas hidden(200, 100);
    ::SendMessageW(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hidden.Dc()), PRF_CLIENT);
    EXPECT_EQ(hidden.At(30, 20), Of(form.Background()));
    EXPECT_EQ(hidden.At(32, 22), Of(form.Background()));
}

TEST(Gauge_Blt_Bitmap, Make_Like_Takes_The_Size_And_Fills_In_The_Window_Frame_Colour) {
    Off_Screen_Bitmap pattern;
    ASSERT_TRUE(pattern.Set_Size(7, 3));
    TBltBitmap bitmap;
    ASSERT_TRUE(bitmap.MakeLike(pattern));
    EXPECT_EQ(bitmap.Width(), 7);
    EXPECT_EQ(bitmap.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(::GetPixel(bitmap.Dc(), x, y), ::GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(::GetPixel(bitmap.Dc(), 7, 0), CLR_INVALID) << "nothing beyond the size";

    Off_Screen_Bitmap empty;
    EXPECT_FALSE(empty.Set_Size(0, 5));
    EXPECT_FALSE(bitmap.MakeLike(empty));
    EXPECT_EQ(bitmap.Width(), 0);
}

}  // namespace
}  // namespace velbrook

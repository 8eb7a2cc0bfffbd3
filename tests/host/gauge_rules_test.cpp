// The gauge's arithmetic and the rules of its range, apart from any window.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "printing/gauge_rules.h"

namespace velbrook {
namespace {

constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();

TEST(Gauge_Percent_Of, Cuts_Toward_Zero_And_Gives_Zero_For_An_Empty_Range) {
    struct Case {
        std::int64_t part, whole;
        int percent;
    } cases[] = {
        {1, 3, 33},
        {2, 3, 66},
        {3, 3, 100},
        {0, 3, 0},
        {199, 200, 99},
        {-1, 3, -33},
        {1, -3, -33},
        {-2, -3, 66},
        {5, 0, 0},
        {0, 0, 0},
        {-7, 0, 0},
        {104, 1000, 10},
        {1, 7, 14},
        {6, 7, 85},
        {999, 1000, 99},
        // The widest range of 32-bit bounds is 4294967295 wide.
        {4294967295LL, 4294967295LL, 100},
        {2147483648LL, 4294967295LL, 50},
        {42949672LL, 4294967295LL, 0},
        {42949673LL, 4294967295LL, 1},
        // A quotient past the ends of int stops there.
        {4294967295LL, 1, highest},
        {-4294967295LL, 1, lowest},
    };
    for (const auto& c : cases) EXPECT_EQ(PercentOf(c.part, c.whole), c.percent) << c.part << " / " << c.whole;
}

TEST(Gauge_Scaled_Part, Is_The_Size_Times_The_Binary_Fraction_Cut_Toward_Zero) {
    struct Case {
        int percent, size, part;
    } cases[] = {
        {0, 99, 0},
        {100, 99, 99},
        {50, 99, 49},
        {50, 98, 49},
        {33, 100, 33},
        {1, 99, 0},
        {10, 99, 9},
        {100, 0, 0},
        {-50, 9, -4},
        // 0.29 and 0.58 are a little below themselves in binary.
        {29, 100, 28},
        {58, 100, 57},
        {57, 100, 57},
        {100, highest, highest},
        {200, highest, highest},
        {200, lowest, lowest},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaledPart(c.percent, c.size), c.part) << c.percent << "% of " << c.size;
}

TEST(Gauge_Scaled_Part, Never_Exceeds_Exact_Integer_Arithmetic) {
    // Against percent * size / 100 in integers: the floating factor may cost
    // a pixel, never add one.
    for (int percent = 0; percent <= 100; ++percent)
        for (int size = 0; size <= 600; ++size) {
            const int exact = percent * size / 100;
            const int part = ScaledPart(percent, size);
            ASSERT_TRUE(part == exact || part == exact - 1) << percent << "% of " << size << " gives " << part;
        }
}

TEST(Gauge_Round_Half_Even, Takes_The_Nearest_And_A_Half_To_The_Even_Neighbour) {
    struct Case {
        double value;
        int rounded;
    } cases[] = {
        {0.5, 0},  {1.5, 2}, {2.5, 2}, {3.5, 4},   {-0.5, 0},          {-1.5, -2}, {-2.5, -2},      {0.49, 0},
        {0.51, 1}, {2.4, 2}, {2.6, 3}, {-2.6, -3}, {49.999999999, 50}, {7.0, 7},   {1e12, highest}, {-1e12, lowest},
    };
    for (const auto& c : cases) EXPECT_EQ(Round_Half_Even(c.value), c.rounded) << c.value;
}

TEST(Gauge_Percent_Text, Is_The_Number_And_A_Percent_Sign) {
    EXPECT_EQ(Percent_Text(0), L"0%");
    EXPECT_EQ(Percent_Text(42), L"42%");
    EXPECT_EQ(Percent_Text(100), L"100%");
    EXPECT_EQ(Percent_Text(-3), L"-3%");
}

Gauge_Range Range_Of(std::int32_t min, std::int32_t max, std::int32_t progress) {
    Gauge_Range range;
    // Widen first, so that any order of the new bounds is accepted.
    range.Set_MaxValue(highest, false);
    range.Set_MinValue(lowest, false);
    range.Set_MinValue(min, false);
    range.Set_MaxValue(max, false);
    range.Set_Progress(progress);
    EXPECT_EQ(range.MinValue(), min);
    EXPECT_EQ(range.MaxValue(), max);
    EXPECT_EQ(range.Progress(), progress);
    return range;
}

TEST(Gauge_Range_Rules, A_New_Range_Runs_From_0_To_100_At_0) {
    Gauge_Range range;
    EXPECT_EQ(range.MinValue(), 0);
    EXPECT_EQ(range.MaxValue(), 100);
    EXPECT_EQ(range.Progress(), 0);
    EXPECT_EQ(range.PercentDone(), 0);
}

TEST(Gauge_Range_Rules, Progress_Is_Clamped_And_Repaints_Only_When_The_Whole_Percentage_Changes) {
    struct Case {
        std::int32_t min, max, from, to;
        std::int32_t stored;
        Gauge_Change change;
        int percent;
    } cases[] = {
        {0, 100, 0, 150, 100, Gauge_Change::Repaint, 100},
        {0, 100, 50, -5, 0, Gauge_Change::Repaint, 0},
        {0, 100, 100, 150, 100, Gauge_Change::Nothing, 100},  // clamped onto itself
        {0, 100, 0, -5, 0, Gauge_Change::Nothing, 0},
        {0, 100, 40, 40, 40, Gauge_Change::Nothing, 40},
        {0, 1000, 100, 104, 104, Gauge_Change::Stored, 10},  // 10 to 10.4 percent
        {0, 1000, 100, 110, 110, Gauge_Change::Repaint, 11},
        {0, 1000, 109, 110, 110, Gauge_Change::Repaint, 11},
        {0, 1000, 104, 100, 100, Gauge_Change::Stored, 10},
        {0, 3, 0, 1, 1, Gauge_Change::Repaint, 33},
        {0, 3, 0, 2, 2, Gauge_Change::Repaint, 66},
        {-10, 10, 0, 1, 1, Gauge_Change::Repaint, 55},
        {5, 5, 5, 9, 5, Gauge_Change::Nothing, 0},  // an empty range
        // The whole 32-bit range: 0 is half way, and nothing wraps.
        {lowest, highest, lowest, 0, 0, Gauge_Change::Repaint, 50},
        {lowest, highest, 0, highest, highest, Gauge_Change::Repaint, 100},
        {lowest, highest, highest, lowest, lowest, Gauge_Change::Repaint, 0},
        {lowest, highest, 0, 1, 1, Gauge_Change::Stored, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max) + ": " + std::to_string(c.from) + " -> " +
                     std::to_string(c.to));
        Gauge_Range range = Range_Of(c.min, c.max, c.from);
        EXPECT_EQ(range.Set_Progress(c.to), c.change);
        EXPECT_EQ(range.Progress(), c.stored);
        EXPECT_EQ(range.PercentDone(), c.percent);
    }
}

TEST(Gauge_Range_Rules, A_Bound_Past_The_Other_Fails_With_The_Range_Message_And_Changes_Nothing) {
    struct Case {
        std::int32_t min, max, progress;
        bool set_min;
        std::int32_t value;
        const wchar_t* message;
    } cases[] = {
        {0, 100, 50, true, 200, L"Value must be between -2147483647 and 99"},
        {0, 100, 50, true, 101, L"Value must be between -2147483647 and 99"},
        {0, 100, 50, false, -1, L"Value must be between 1 and 2147483647"},
        {-40, 100, 50, false, -41, L"Value must be between -39 and 2147483647"},
        {7, 7, 7, true, 8, L"Value must be between -2147483647 and 6"},
        // At the ends the bounds of the message are taken in 64 bits.
        {lowest, lowest, lowest, true, 0, L"Value must be between -2147483647 and -2147483649"},
        {highest, highest, highest, false, 0, L"Value must be between 2147483648 and 2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value));
        Gauge_Range range = Range_Of(c.min, c.max, c.progress);
        try {
            if (c.set_min) {
                range.Set_MinValue(c.value, false);
            } else {
                range.Set_MaxValue(c.value, false);
            }
            ADD_FAILURE() << "accepted";
        } catch (const Invalid_Operation& failure) {
            EXPECT_EQ(failure.Text(), c.message);
        }
        EXPECT_EQ(range.MinValue(), c.min);
        EXPECT_EQ(range.MaxValue(), c.max);
        EXPECT_EQ(range.Progress(), c.progress);
    }
}

TEST(Gauge_Range_Rules, A_Bound_Moved_Past_The_Progress_Takes_The_Progress_Along) {
    Gauge_Range range = Range_Of(0, 100, 50);
    EXPECT_EQ(range.Set_MaxValue(20, false), Gauge_Change::Repaint);
    EXPECT_EQ(range.MaxValue(), 20);
    EXPECT_EQ(range.Progress(), 20);
    EXPECT_EQ(range.PercentDone(), 100);

    EXPECT_EQ(range.Set_MinValue(15, false), Gauge_Change::Repaint);
    EXPECT_EQ(range.Progress(), 20);
    EXPECT_EQ(range.Set_MinValue(20, false), Gauge_Change::Repaint);  // equal bounds are a range
    EXPECT_EQ(range.Progress(), 20);
    EXPECT_EQ(range.PercentDone(), 0);

    Gauge_Range lower = Range_Of(0, 100, 10);
    EXPECT_EQ(lower.Set_MinValue(30, false), Gauge_Change::Repaint);
    EXPECT_EQ(lower.Progress(), 30);
    EXPECT_EQ(lower.Set_MaxValue(100, false), Gauge_Change::Nothing);
    EXPECT_EQ(lower.Set_MinValue(30, false), Gauge_Change::Nothing);
}

TEST(Gauge_Range_Rules, While_Loading_The_Bounds_Come_In_Any_Order) {
    Gauge_Range range;
    EXPECT_EQ(range.Set_MinValue(200, true), Gauge_Change::Repaint);
    EXPECT_EQ(range.MinValue(), 200);
    EXPECT_EQ(range.MaxValue(), 100);
    EXPECT_EQ(range.Progress(), 200);
    EXPECT_EQ(range.PercentDone(), 0);
    EXPECT_EQ(range.Set_MaxValue(300, true), Gauge_Change::Repaint);
    EXPECT_EQ(range.Progress(), 200);

    Gauge_Range other;
    EXPECT_EQ(other.Set_MaxValue(-50, true), Gauge_Change::Repaint);
    EXPECT_EQ(other.Progress(), -50);
    EXPECT_EQ(other.PercentDone(), 100);
    // A progress set between such bounds still ends on one of them.
    other.Set_Progress(7);
    EXPECT_EQ(other.Progress(), -50);
}

TEST(Gauge_Geometry, Bars_Stop_At_Their_Inside) {
    EXPECT_EQ(Horizontal_Fill(100, 99), 99);
    EXPECT_EQ(Horizontal_Fill(150, 99), 99);
    EXPECT_EQ(Horizontal_Fill(50, 99), 49);
    EXPECT_EQ(Horizontal_Fill(0, 99), 0);
    EXPECT_EQ(Vertical_Fill(100, 99), 98);  // a pixel short
    EXPECT_EQ(Vertical_Fill(99, 99), 98);
    EXPECT_EQ(Vertical_Fill(98, 99), 97);
    EXPECT_EQ(Vertical_Fill(50, 21), 10);
    EXPECT_EQ(Vertical_Fill(0, 21), 0);
}

TEST(Gauge_Geometry, The_Wedge_Grows_Clockwise_From_Twelve) {
    // For an ellipse with half sizes 49 and 49: 25 ends at three o'clock, 50
    // at six, 75 at nine, 100 back at twelve.
    struct Case {
        int percent;
        Gauge_Point point;
    } cases[] = {
        {25, {98, 49}}, {50, {49, 98}}, {75, {0, 49}}, {100, {49, 0}}, {12, {83, 13}},  // 43.2 degrees past twelve
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        const Gauge_Point point = Pie_Wedge_Point(c.percent, 49, 49);
        EXPECT_EQ(point, c.point) << point.x << "," << point.y;
        // The point lies on the radial at percent * 3.6 degrees clockwise from twelve.
        const double turn = c.percent * 3.6 * 3.14159265358979 / 180.0;
        EXPECT_NEAR(point.x, 49 + 49 * std::sin(turn), 0.5);
        EXPECT_NEAR(point.y, 49 - 49 * std::cos(turn), 0.5);
    }
}

TEST(Gauge_Geometry, The_Wedge_Point_Is_Rounded_Not_Cut) {
    // At three o'clock my * (1 - sin(pi)) is a hair below my: cutting would
    // move the radial a pixel up.
    EXPECT_EQ(Pie_Wedge_Point(25, 21, 21), (Gauge_Point{42, 21}));
    EXPECT_EQ(Pie_Wedge_Point(25, 49, 10), (Gauge_Point{98, 10}));
}

TEST(Gauge_Geometry, The_Needle_Points_Left_Up_And_Right) {
    struct Case {
        int percent;
        Gauge_Point tip;
    } cases[] = {
        {0, {0, 20}}, {50, {50, 0}}, {100, {100, 20}}, {25, {15, 6}}, {75, {85, 6}},
    };
    for (const auto& c : cases) {
        const Gauge_Point tip = Needle_Tip(c.percent, 50, 20);
        EXPECT_EQ(tip, c.tip) << c.percent << ": " << tip.x << "," << tip.y;
    }
}

}  // namespace
}  // namespace velbrook

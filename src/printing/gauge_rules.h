#pragma once
// The arithmetic and the rules of the progress gauge, apart from any window:
// the percentage, the range of its three values, when a change must be
// repainted, and where the bar, the wedge and the needle end.  Portable, so
// that they are tested natively too.
//
// The range is held in 32 bits, but MaxValue - MinValue needs 33 (from
// -2147483648 to 2147483647 is 4294967295): every difference is taken in 64
// bits, so that the widest range still gives a sound percentage.

#include <cstdint>
#include <string>

#include "toolkit/failure.h"

namespace velbrook {

// An operation that the object's present state does not allow, such as a
// gauge minimum above its maximum.
class Invalid_Operation : public Failure {
public:
    using Failure::Failure;
};

// How the gauge draws its value; the numbers are the stored values.
enum class TGaugeKind : std::uint8_t { gkText = 0, gkHorizontalBar = 1, gkVerticalBar = 2, gkPie = 3, gkNeedle = 4 };

// part * 100 / whole in floating point, cut toward zero; 0 when whole is 0.
// A quotient beyond the range of int stops at its end.
int PercentOf(std::int64_t part, std::int64_t whole);

// size * (percent * 0.01) in floating point, cut toward zero.  The factor is
// rounded in binary, so 29 percent of 100 gives 28.
int ScaledPart(int percent, int size);

// The nearest integer, a half going to the even one (2.5 gives 2, 3.5 gives 4).
int Round_Half_Even(double value);

// "42%" for 42.
std::wstring Percent_Text(int percent);

// What a setter asks of the window after it has run.
enum class Gauge_Change { Nothing, Stored, Repaint };

class Gauge_Range {
public:
    std::int32_t MinValue() const { return min_; }
    std::int32_t MaxValue() const { return max_; }
    std::int32_t Progress() const { return progress_; }
    int PercentDone() const;

    // A minimum above the maximum (a maximum below the minimum) fails with
    // Invalid_Operation and changes nothing, unless the gauge is being loaded
    // from its stored description, which may give them in any order.  The
    // progress follows a bound that moves past it.
    Gauge_Change Set_MinValue(std::int32_t value, bool loading);
    Gauge_Change Set_MaxValue(std::int32_t value, bool loading);
    // Clamped into the range, never fails.  Repaints only when the whole
    // percentage changes.
    Gauge_Change Set_Progress(std::int32_t value);

private:
    std::int32_t min_ = 0;
    std::int32_t max_ = 100;
    std::int32_t progress_ = 0;
};

// "Value must be between <low> and <high>", the bounds taken in 64 bits.
std::wstring Range_Error_Text(std::int64_t low, std::int64_t high);

struct Gauge_Point {
    int x = 0, y = 0;
    friend bool operator==(const Gauge_Point&, const Gauge_Point&) = default;
};

// The bar lengths for a percentage of the inside width w or height h.  The
// vertical one stops a pixel short of h.
int Horizontal_Fill(int percent, int w);
int Vertical_Fill(int percent, int h);

// The pie wedge starts at twelve o'clock and grows clockwise; this is the
// point its other radial runs through, for an ellipse of half sizes mx, my.
Gauge_Point Pie_Wedge_Point(int percent, int mx, int my);

// The needle's tip: it turns from pointing left (0) through straight up (50)
// to pointing right (100) about (mx, baseline).
Gauge_Point Needle_Tip(int percent, int mx, int baseline);

}  // namespace velbrook

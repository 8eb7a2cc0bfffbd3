#include "printing/gauge_rules.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace velbrook {

namespace {

constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();

// Cuts toward zero; a value past the ends of int stops there rather than
// being undefined.
int Saturated(double value) {
    if (value >= static_cast<double>(highest)) return highest;
    if (value <= static_cast<double>(lowest)) return lowest;
    return static_cast<int>(value);
}

}  // namespace

int PercentOf(std::int64_t part, std::int64_t whole) {
    if (whole == 0) return 0;
    // Both products stay below 2^53, so the quotient is the nearest double
    // to the true one and never lands on the wrong side of a whole number.
    return Saturated(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
}

int ScaledPart(int percent, int size) {
    return Saturated(static_cast<double>(size) * (static_cast<double>(percent) * 0.01));
}

int Round_Half_Even(double value) {
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    if (whole >= static_cast<double>(highest)) return highest;
    if (whole <= static_cast<double>(lowest)) return lowest;
    return static_cast<int>(whole);
}

std::wstring Percent_Text(int percent) { return std::to_wstring(percent) + L"%"; }

std::wstring Range_Error_Text(std::int64_t low, std::int64_t high) {
    return L"Value must be between " + std::to_wstring(low) + L" and " + std::to_wstring(high);
}

int Gauge_Range::PercentDone() const { return PercentOf(std::int64_t{progress_} - min_, std::int64_t{max_} - min_); }

Gauge_Change Gauge_Range::Set_MinValue(std::int32_t value, bool loading) {
    if (value == min_) return Gauge_Change::Nothing;
    // The bounds of the message are those the original control showed; they
    // are taken in 64 bits so that the extreme maxima do not wrap.
    if (value > max_ && !loading)
        throw Invalid_Operation(Range_Error_Text(-std::int64_t{highest}, std::int64_t{max_} - 1));
    min_ = value;
    if (progress_ < value) progress_ = value;
    return Gauge_Change::Repaint;
}

Gauge_Change Gauge_Range::Set_MaxValue(std::int32_t value, bool loading) {
    if (value == max_) return Gauge_Change::Nothing;
    if (value < min_ && !loading) throw Invalid_Operation(Range_Error_Text(std::int64_t{min_} + 1, highest));
    max_ = value;
    if (progress_ > value) progress_ = value;
    return Gauge_Change::Repaint;
}

Gauge_Change Gauge_Range::Set_Progress(std::int32_t value) {
    const int before = PercentDone();
    if (value < min_) {
        value = min_;
    } else if (value > max_) {
        value = max_;
    }
    if (value == progress_) return Gauge_Change::Nothing;
    progress_ = value;
    return PercentDone() != before ? Gauge_Change::Repaint : Gauge_Change::Stored;
}

int Horizontal_Fill(int percent, int w) {
    const int fill = ScaledPart(percent, w);
    return fill > w ? w : fill;
}

int Vertical_Fill(int percent, int h) {
    const int fill = ScaledPart(percent, h);
    return fill >= h ? h - 1 : fill;
}

Gauge_Point Pie_Wedge_Point(int percent, int mx, int my) {
    const double angle = (percent / 50.0 + 0.5) * std::numbers::pi;
    return {Round_Half_Even(mx * (1.0 - std::cos(angle))), Round_Half_Even(my * (1.0 - std::sin(angle)))};
}

Gauge_Point Needle_Tip(int percent, int mx, int baseline) {
    const double angle = percent / 100.0 * std::numbers::pi;
    return {Round_Half_Even(mx * (1.0 - std::cos(angle))), Round_Half_Even(baseline * (1.0 - std::sin(angle)))};
}

}  // namespace velbrook

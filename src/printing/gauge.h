#pragma once
// TGauge: a windowless control that shows how far a value has come between a
// minimum and a maximum, as a whole percentage, as text alone, a horizontal
// or vertical bar, a pie or a needle dial, with the percentage written over
// it.  Its parent paints it (it has no window of its own).  Every paint
// builds the picture in off-screen bitmaps and reaches the parent's surface
// in one copy, so it does not flicker; the text is combined with the picture
// by exclusive-or, so each text pixel shows the inverse of the colour under
// it, over the filled part and the empty part alike.
//
// A window places one like any other control, in its creation order:
//
//     TGauge& gauge = form.Add<TGauge>(&form, L"Gauge1", Bounds{580, 34, 100, 22});
//     gauge.Set_Visible(false);
//
// Without bounds a new gauge stands at 0, 0 and is 100 by 100 pixels.  A
// fourth argument, a Gauge_Description, gives the gauge's stored properties;
// they are loaded as a stored description is, so the minimum and maximum may
// come in any order.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "printing/gauge_rules.h"
#include "toolkit/component.h"
#include "toolkit/handles.h"

namespace velbrook {

enum class TBorderStyle : std::uint8_t { bsNone, bsSingle };

// An off-screen bitmap of 32 bits a pixel with a drawing surface of its own.
class Off_Screen_Bitmap {
public:
    Off_Screen_Bitmap() : dc_(::CreateCompatibleDC(nullptr)) {}
    // False, and no bitmap, when there is not memory for one of that size.
    bool Set_Size(int width, int height);
    HDC Dc() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    Dc_Handle dc_;
    Bitmap_Handle bitmap_;
    std::optional<Select_Guard> selection_;  // declared last: deselects first
    int width_ = 0;
    int height_ = 0;
};

// The gauge's working bitmap.
class TBltBitmap : public Off_Screen_Bitmap {
public:
    // Takes the pattern's width and height and fills all of it in the
    // system's window-frame colour.
    bool MakeLike(const Off_Screen_Bitmap& pattern);
};

// The properties a gauge is stored with.
struct Gauge_Description {
    std::int32_t min_value = 0;
    std::int32_t max_value = 100;
    std::int32_t progress = 0;
    TGaugeKind kind = TGaugeKind::gkHorizontalBar;
    bool show_text = true;
    TBorderStyle border_style = TBorderStyle::bsSingle;
    COLORREF fore_color = RGB(0, 0, 0);
    COLORREF back_color = RGB(255, 255, 255);
};

class TGauge : public Graphic_Control {
public:
    static constexpr Bounds New_Gauge_Bounds{0, 0, 100, 100};

    TGauge(Container* parent, std::wstring name, Bounds bounds = New_Gauge_Bounds);
    TGauge(Container* parent, std::wstring name, Bounds bounds, const Gauge_Description& stored);

    std::int32_t MinValue() const { return range_.MinValue(); }
    std::int32_t MaxValue() const { return range_.MaxValue(); }
    std::int32_t Progress() const { return range_.Progress(); }
    int PercentDone() const { return range_.PercentDone(); }
    TGaugeKind Kind() const { return kind_; }
    bool ShowText() const { return show_text_; }
    TBorderStyle BorderStyle() const { return border_style_; }
    COLORREF ForeColor() const { return fore_color_; }
    COLORREF BackColor() const { return back_color_; }
    // Around the pie and the dial: the parent's colour until one is set.
    COLORREF Color() const;
    bool Loading() const { return loading_; }

    // Each setter repaints at once when the value changes, and does nothing
    // when it does not.  A minimum above the maximum, or a maximum below the
    // minimum, fails with Invalid_Operation before anything changes.  The
    // progress is clamped into the range and repaints only when the whole
    // percentage changes.
    void Set_MinValue(std::int32_t value);
    void Set_MaxValue(std::int32_t value);
    void Set_Progress(std::int32_t value);
    void Set_Kind(TGaugeKind kind);
    void Set_ShowText(bool show);
    void Set_BorderStyle(TBorderStyle style);
    void Set_ForeColor(COLORREF color);
    void Set_BackColor(COLORREF color);
    void Set_Color(COLORREF color);

    // Draws the whole gauge with its top left corner at area's top left.
    void Paint(HDC dc, const RECT& area) override;

private:
    void Apply(Gauge_Change change);
    void Repaint();
    // Every drawing property repaints only when its value changes.
    template <typename T>
    void Store_And_Repaint(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Repaint();
    }
    void Draw_Kind(HDC dc, const RECT& inside) const;
    void Draw_Text(const Off_Screen_Bitmap& image, const RECT& inside) const;

    Gauge_Range range_;
    TGaugeKind kind_ = TGaugeKind::gkHorizontalBar;
    bool show_text_ = true;
    TBorderStyle border_style_ = TBorderStyle::bsSingle;
    COLORREF fore_color_ = RGB(0, 0, 0);
    COLORREF back_color_ = RGB(255, 255, 255);
    std::optional<COLORREF> color_;
    bool loading_ = false;
};

}  // namespace velbrook

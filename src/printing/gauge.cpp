#include "printing/gauge.h"

namespace velbrook {

namespace {

void Fill(HDC dc, const RECT& area, COLORREF color) {
    Brush_Handle brush(::CreateSolidBrush(color));
    ::FillRect(dc, &area, brush.get());
}

void Blacken(const Off_Screen_Bitmap& bitmap) {
    ::PatBlt(bitmap.Dc(), 0, 0, bitmap.Width(), bitmap.Height(), BLACKNESS);
}

}  // namespace

// ---- Off_Screen_Bitmap and TBltBitmap -----------------------------------------

bool Off_Screen_Bitmap::Set_Size(int width, int height) {
    selection_.reset();
    bitmap_.reset();
    width_ = height_ = 0;
    if (!dc_ || width <= 0 || height <= 0) return false;
    std::uint32_t* pixels = nullptr;
    bitmap_ = Top_Down_Dib_Section(width, height, &pixels);
    if (!bitmap_) return false;
    selection_.emplace(dc_.get(), bitmap_.get());
    width_ = width;
    height_ = height;
    return true;
}

bool TBltBitmap::MakeLike(const Off_Screen_Bitmap& pattern) {
    if (!Set_Size(pattern.Width(), pattern.Height())) return false;
    RECT whole{0, 0, Width(), Height()};
    ::FillRect(Dc(), &whole, ::GetSysColorBrush(COLOR_WINDOWFRAME));
    return true;
}

// ---- TGauge -------------------------------------------------------------------

TGauge::TGauge(Container* parent, std::wstring name, Bounds bounds)
    : Graphic_Control(parent, std::move(name), bounds) {}

TGauge::TGauge(Container* parent, std::wstring name, Bounds bounds, const Gauge_Description& stored)
    : TGauge(parent, std::move(name), bounds) {
    // In the order the properties are stored; the bounds may come in any order.
    loading_ = true;
    Set_BackColor(stored.back_color);
    Set_BorderStyle(stored.border_style);
    Set_ForeColor(stored.fore_color);
    Set_Kind(stored.kind);
    Set_MinValue(stored.min_value);
    Set_MaxValue(stored.max_value);
    Set_Progress(stored.progress);
    Set_ShowText(stored.show_text);
    loading_ = false;
}

COLORREF TGauge::Color() const {
    if (color_) return *color_;
    return Parent() ? Parent()->Background() : ::GetSysColor(COLOR_BTNFACE);
}

void TGauge::Repaint() {
    // A hidden gauge has nothing on screen to bring up to date, and one being
    // loaded is painted when its window first shows.
    if (!Visible() || loading_) return;
    Invalidate();
    if (Parent() && Parent()->Handle()) ::UpdateWindow(Parent()->Handle());
}

void TGauge::Apply(Gauge_Change change) {
    if (change == Gauge_Change::Repaint) Repaint();
}

void TGauge::Set_MinValue(std::int32_t value) { Apply(range_.Set_MinValue(value, loading_)); }
void TGauge::Set_MaxValue(std::int32_t value) { Apply(range_.Set_MaxValue(value, loading_)); }
void TGauge::Set_Progress(std::int32_t value) { Apply(range_.Set_Progress(value)); }

void TGauge::Set_Kind(TGaugeKind kind) { Store_And_Repaint(kind_, kind); }

void TGauge::Set_ShowText(bool show) { Store_And_Repaint(show_text_, show); }

void TGauge::Set_BorderStyle(TBorderStyle style) { Store_And_Repaint(border_style_, style); }

void TGauge::Set_ForeColor(COLORREF color) { Store_And_Repaint(fore_color_, color); }

void TGauge::Set_BackColor(COLORREF color) { Store_And_Repaint(back_color_, color); }

void TGauge::Set_Color(COLORREF color) { Store_And_Repaint(color_, std::optional<COLORREF>(color)); }

void TGauge::Paint(HDC dc, const RECT& area) {
    const int width = Width(), height = Height();
    // The image starts black; the overlay holds the drawing, and combined by
    // exclusive-or into black it shows as it is, while the pixel edge that a
    // single border leaves outside the drawing stays black as the frame.
    Off_Screen_Bitmap image;
    if (!image.Set_Size(width, height)) return;
    Blacken(image);
    RECT inside{0, 0, width, height};
    if (border_style_ == TBorderStyle::bsSingle) ::InflateRect(&inside, -1, -1);

    TBltBitmap overlay;
    if (!overlay.MakeLike(image)) return;
    Blacken(overlay);
    Draw_Kind(overlay.Dc(), inside);
    ::BitBlt(image.Dc(), 0, 0, width, height, overlay.Dc(), 0, 0, SRCINVERT);

    if (show_text_) Draw_Text(image, inside);
    ::BitBlt(dc, area.left, area.top, width, height, image.Dc(), 0, 0, SRCCOPY);
}

void TGauge::Draw_Kind(HDC dc, const RECT& inside) const {
    const int L = inside.left, T = inside.top, R = inside.right, B = inside.bottom;
    const int percent = PercentDone();
    const bool single = border_style_ == TBorderStyle::bsSingle;
    switch (kind_) {
        case TGaugeKind::gkText:
            Fill(dc, inside, back_color_);
            break;
        case TGaugeKind::gkHorizontalBar:
        case TGaugeKind::gkVerticalBar: {
            const int w = R - L + 1, h = B - T + 1;
            Fill(dc, inside, back_color_);
            if (kind_ == TGaugeKind::gkHorizontalBar) {
                // The right edge is the length itself and the bottom edge h.
                const int fill = Horizontal_Fill(percent, w);
                if (fill >= 1) Fill(dc, RECT{L, T, fill, h}, fore_color_);
            } else {
                const int fill = Vertical_Fill(percent, h);
                Fill(dc, RECT{L, h - fill, w, h}, fore_color_);
            }
            break;
        }
        case TGaugeKind::gkPie:
        case TGaugeKind::gkNeedle: {
            // Both stand on Color, drawn in the fore colour on the back colour.
            const int w = R - L + (single ? 1 : 0), h = B - T + (single ? 1 : 0);
            Fill(dc, inside, Color());
            Pen_Handle pen(::CreatePen(PS_SOLID, 1, fore_color_));
            Brush_Handle back(::CreateSolidBrush(back_color_));
            Select_Guard with_pen(dc, pen.get());
            Select_Guard with_back(dc, back.get());
            if (kind_ == TGaugeKind::gkPie) {
                ::Ellipse(dc, L, T, w, h);
                if (percent > 0) {
                    Brush_Handle fore(::CreateSolidBrush(fore_color_));
                    Select_Guard with_fore(dc, fore.get());
                    const int mx = w / 2, my = h / 2;
                    const Gauge_Point from = Pie_Wedge_Point(percent, mx, my);
                    // Counterclockwise from that radial back to twelve o'clock.
                    ::Pie(dc, L, T, w, h, from.x, from.y, mx, 0);
                }
            } else {
                // The upper half of an ellipse twice the height: the dial.
                ::Pie(dc, L, T, w, 2 * h - 1, L + w, B - 1, L, B - 1);
                ::MoveToEx(dc, L, B, nullptr);
                ::LineTo(dc, L + w, B);
                if (percent > 0) {
                    const int mx = Width() / 2;
                    const Gauge_Point tip = Needle_Tip(percent, mx, B - 1);
                    ::MoveToEx(dc, mx, B - 1, nullptr);
                    ::LineTo(dc, tip.x, tip.y);
                }
            }
            break;
        }
    }
}

void TGauge::Draw_Text(const Off_Screen_Bitmap& image, const RECT& inside) const {
    TBltBitmap text;
    if (!text.MakeLike(image)) return;
    Blacken(text);
    const std::wstring shown = Percent_Text(PercentDone());
    const HDC dc = text.Dc();
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    Select_Guard with_font(dc, Cached_Font(Font(), Dpi()));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
    const int x = (inside.right - inside.left + 1 - extent.cx) / 2;
    const int y = (inside.bottom - inside.top + 1 - extent.cy) / 2;
    ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &inside, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
    // White text on black: where it lies, the image is inverted.
    ::BitBlt(image.Dc(), 0, 0, image.Width(), image.Height(), dc, 0, 0, SRCINVERT);
}

}  // namespace velbrook

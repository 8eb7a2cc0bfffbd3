// TGIFImage's composition and painting: frames drawn onto the composed
// picture with their masks and disposal, and the composed picture drawn into
// the control.

#include "gif/gif_image.h"

#include "toolkit/handles.h"

namespace velbrook {

namespace {

// A memory surface with a bitmap selected into it, put back on the way out.
class Bitmap_Surface {
public:
    Bitmap_Surface(HDC compatible_with, HBITMAP bitmap)
        : dc_(::CreateCompatibleDC(compatible_with)), select_(dc_.get(), bitmap) {
        // Monochrome sources and targets map black and white through these.
        ::SetTextColor(dc_.get(), RGB(0, 0, 0));
        ::SetBkColor(dc_.get(), RGB(255, 255, 255));
    }
    HDC get() const { return dc_.get(); }
    explicit operator bool() const { return static_cast<bool>(dc_); }

private:
    Dc_Handle dc_;
    Select_Guard select_;
};

RECT To_Rect(const Gif_Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

RECT Frame_Rect(const TGIFFrame& frame) {
    return RECT{frame.Left, frame.Top, frame.Left + frame.Width, frame.Top + frame.Height};
}

void Fill(HDC dc, const RECT& rect, DWORD raster_operation) {
    ::PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, raster_operation);
}

// Copies area `from` of a surface to the origin of another.
void Copy_Area(HDC target, HDC source, const RECT& from) {
    ::BitBlt(target, 0, 0, from.right - from.left, from.bottom - from.top, source, from.left, from.top, SRCCOPY);
}

}  // namespace

COLORREF Color_To_Rgb(Gif_Color color) {
    if ((color & 0xFF000000u) == 0x80000000u) return ::GetSysColor(static_cast<int>(color & 0xFFu));
    return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

void StretchDrawBitmap(HBITMAP bitmap, HPALETTE palette, HDC target, const RECT& rect, DWORD raster_operation) {
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0) return;
    const Bitmap_Surface source(target, bitmap);
    if (!source) return;
    HPALETTE old_palette = nullptr;
    if (palette != nullptr) {
        old_palette = ::SelectPalette(target, palette, TRUE);
        ::RealizePalette(target);
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width != info.bmWidth || height != info.bmHeight) {
        const int target_depth = ::GetDeviceCaps(target, BITSPIXEL) * ::GetDeviceCaps(target, PLANES);
        const int source_depth = ::GetDeviceCaps(source.get(), BITSPIXEL) * ::GetDeviceCaps(source.get(), PLANES);
        if (target_depth <= 8 && source_depth > target_depth) {
            // HALFTONE moves the brush origin; it has to be set again after.
            POINT origin{};
            ::GetBrushOrgEx(target, &origin);
            ::SetStretchBltMode(target, HALFTONE);
            ::SetBrushOrgEx(target, origin.x, origin.y, nullptr);
        } else {
            const bool monochrome = info.bmBitsPixel == 1 && info.bmPlanes == 1;
            ::SetStretchBltMode(target, monochrome ? WHITEONBLACK : COLORONCOLOR);
        }
    }
    ::StretchBlt(target, rect.left, rect.top, width, height, source.get(), 0, 0, info.bmWidth, info.bmHeight,
                 raster_operation);
    if (palette != nullptr) ::SelectPalette(target, old_palette, TRUE);
}

bool TGIFImage::Start_Composition() {
    // All black, and, with transparency, a mask all white: nothing painted
    // yet anywhere.  Every later step keeps black under white.
    composed_bitmap_.reset();
    composed_mask_.reset();
    std::uint32_t* pixels = nullptr;
    composed_bitmap_ = Top_Down_Dib_Section(LogicalWidth(), LogicalHeight(), &pixels);
    if (!composed_bitmap_) return false;
    const RECT all{0, 0, LogicalWidth(), LogicalHeight()};
    {
        const Bitmap_Surface composed(nullptr, composed_bitmap_.get());
        Fill(composed.get(), all, BLACKNESS);
    }
    if (HasTransparency()) {
        composed_mask_.reset(::CreateBitmap(LogicalWidth(), LogicalHeight(), 1, 1, nullptr));
        if (!composed_mask_) return false;
        const Bitmap_Surface mask(nullptr, composed_mask_.get());
        Fill(mask.get(), all, WHITENESS);
    }
    return true;
}

void TGIFImage::DrawCurrentFrame() {
    if (current_frame_ < 1 || current_frame_ > FrameCount() || !composed_bitmap_) return;
    const TGIFFrame& frame = Frame(current_frame_);
    const Gif_Frame_Bitmaps& bitmaps = Frame_Bitmaps(current_frame_);
    const RECT area = Frame_Rect(frame);
    const Bitmap_Surface composed(nullptr, composed_bitmap_.get());
    const bool masked = HasTransparency() && composed_mask_;
    if (frame.Disposal == 3 && bitmaps.SavedBitmap) {
        if (masked && bitmaps.SavedMask) {
            const Bitmap_Surface mask(nullptr, composed_mask_.get());
            const Bitmap_Surface saved_mask(nullptr, bitmaps.SavedMask.get());
            Copy_Area(saved_mask.get(), mask.get(), area);
        }
        const Bitmap_Surface saved(nullptr, bitmaps.SavedBitmap.get());
        Copy_Area(saved.get(), composed.get(), area);
    }
    if (frame.Transparent && bitmaps.Mask) {
        if (masked) {
            const Bitmap_Surface mask(nullptr, composed_mask_.get());
            StretchDrawBitmap(bitmaps.Mask.get(), nullptr, mask.get(), area, SRCAND);
        }
        // Where the frame is transparent the two XORs cancel and the old
        // picture stays; where it is opaque the AND clears the old picture.
        HPALETTE palette = bitmaps.Palette.get();
        StretchDrawBitmap(bitmaps.Bitmap.get(), palette, composed.get(), area, SRCINVERT);
        StretchDrawBitmap(bitmaps.Mask.get(), nullptr, composed.get(), area, SRCAND);
        StretchDrawBitmap(bitmaps.Bitmap.get(), palette, composed.get(), area, SRCINVERT);
    } else {
        if (masked) {
            const Bitmap_Surface mask(nullptr, composed_mask_.get());
            Fill(mask.get(), area, BLACKNESS);
        }
        StretchDrawBitmap(bitmaps.Bitmap.get(), bitmaps.Palette.get(), composed.get(), area, SRCCOPY);
    }
}

void TGIFImage::DisposeFrame(int index) {
    if (index < 1 || index > FrameCount() || !composed_bitmap_) return;
    const TGIFFrame& frame = Frame(index);
    const Gif_Frame_Bitmaps& bitmaps = Frame_Bitmaps(index);
    const RECT area = Frame_Rect(frame);
    const bool masked = HasTransparency() && composed_mask_;
    if (frame.Disposal == 2) {
        // Back to "nothing painted": whatever lies behind the control shows
        // through; the stream's background colour plays no part.
        if (masked) {
            const Bitmap_Surface mask(nullptr, composed_mask_.get());
            Fill(mask.get(), area, WHITENESS);
        }
        const Bitmap_Surface composed(nullptr, composed_bitmap_.get());
        Fill(composed.get(), area, BLACKNESS);
    } else if (frame.Disposal == 3 && bitmaps.SavedBitmap) {
        if (masked && bitmaps.SavedMask) {
            const Bitmap_Surface mask(nullptr, composed_mask_.get());
            StretchDrawBitmap(bitmaps.SavedMask.get(), nullptr, mask.get(), area, SRCCOPY);
        }
        const Bitmap_Surface composed(nullptr, composed_bitmap_.get());
        StretchDrawBitmap(bitmaps.SavedBitmap.get(), nullptr, composed.get(), area, SRCCOPY);
    }
}

Gif_Sizes TGIFImage::Sizes() const { return Gif_Sizes{Width(), Height(), LogicalWidth(), LogicalHeight()}; }

RECT TGIFImage::PictureRect() const { return To_Rect(Picture_Rect(display_, stretched_draw_, Sizes())); }

void TGIFImage::UpdateOpaque() {
    stretched_draw_ = Is_Stretched_Draw(display_, Sizes());
    const Gif_Rect client{0, 0, Width(), Height()};
    const Gif_Rect picture = Picture_Rect(display_, stretched_draw_, Sizes());
    fully_opaque_ = Visible() && !Empty() && FrameCount() > 0 && !Frame(1).Transparent && client.Width() > 0 &&
                    client.Height() > 0 && Intersect(picture, client) == client;
    opaque_style_ = fully_opaque_;
}

void TGIFImage::PaintTo(HDC dc) {
    if (!Visible()) return;
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    if (opaque_ && !fully_opaque_) {
        const Brush_Handle brush(::CreateSolidBrush(Color_To_Rgb(color_)));
        const Select_Guard select(dc, brush.get());
        ::PatBlt(dc, 0, 0, Width(), Height(), PATCOPY);
    }
    if (Empty() || FrameCount() == 0 || !composed_bitmap_) return;
    // Frame 1's transparency decides for the whole animation; by the
    // composition's invariant the AND leaves the background where nothing was
    // painted and the XOR then puts the picture where something was.
    const bool transparent = Frame(1).Transparent && composed_mask_;
    for (const Gif_Rect& tile : Paint_Rects(display_, stretched_draw_, Sizes())) {
        const RECT target = To_Rect(tile);
        if (transparent) {
            StretchDrawBitmap(composed_mask_.get(), nullptr, dc, target, SRCAND);
            StretchDrawBitmap(composed_bitmap_.get(), nullptr, dc, target, SRCINVERT);
        } else {
            StretchDrawBitmap(composed_bitmap_.get(), nullptr, dc, target, SRCCOPY);
        }
    }
}

void TGIFImage::Paint(HDC dc, const RECT& area) {
    // The parent paints its own face under every windowless control and then
    // the controls in order, all off screen, so a change of the opaque style
    // needs no second paint here: the picture is drawn at once.
    UpdateOpaque();
    {
        const Dc_State_Guard state(dc);
        ::OffsetViewportOrgEx(dc, area.left, area.top, nullptr);
        PaintTo(dc);
    }
    Rearm_Animation();
}

void TGIFImage::Repaint() {
    if (Parent() == nullptr || Parent()->Handle() == nullptr || repainting_ || !Visible()) return;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } repainting(repainting_);

    HWND parent = Parent()->Handle();
    const Window_Dc screen(parent);
    if (screen.get() == nullptr) return;
    RECT client{};
    ::GetClientRect(parent, &client);
    const bool buffered = double_buffered_ && !fully_opaque_;
    Dc_Handle memory;
    Bitmap_Handle buffer;
    if (buffered) {
        memory.reset(::CreateCompatibleDC(screen.get()));
        buffer.reset(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
        if (!memory || !buffer) return;
    }
    const Select_Guard select(memory.get(), buffer.get());
    HDC target = buffered ? memory.get() : screen.get();

    RECT area = PictureRect();
    ::OffsetRect(&area, Left(), Top());
    {
        const Dc_State_Guard state(target);
        ::IntersectClipRect(target, area.left, area.top, area.right, area.bottom);
        if (opaque_style_) {
            ::OffsetViewportOrgEx(target, Left(), Top(), nullptr);
            PaintTo(target);
        } else {
            // The parent's face and every windowless control in order, this
            // one included, so a transparent picture goes over what is behind it.
            ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target), PRF_CLIENT | PRF_ERASEBKGND);
        }
    }
    if (buffered) {
        ::BitBlt(screen.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(),
                 area.left, area.top, SRCCOPY);
    }
}

HPALETTE TGIFImage::Current_Palette() const {
    if (!Visible() || Empty() || current_frame_ < 1 || current_frame_ > FrameCount()) return nullptr;
    const std::size_t slot = static_cast<std::size_t>(current_frame_ - 1);
    if (slot >= bitmaps_.size() || !bitmaps_[slot]) return nullptr;
    return bitmaps_[slot]->Palette.get();
}

void TGIFImage::Set_Display_Flag(bool Gif_Display_Options::*flag, bool value) {
    if (display_.*flag == value) return;
    display_.*flag = value;
    Invalidate();
}

void TGIFImage::Set_Center(bool value) { Set_Display_Flag(&Gif_Display_Options::center, value); }
void TGIFImage::Set_Stretch(bool value) { Set_Display_Flag(&Gif_Display_Options::stretch, value); }
void TGIFImage::Set_StretchRatio(bool value) { Set_Display_Flag(&Gif_Display_Options::stretch_ratio, value); }
void TGIFImage::Set_StretchBigOnly(bool value) { Set_Display_Flag(&Gif_Display_Options::stretch_big_only, value); }
void TGIFImage::Set_Tile(bool value) { Set_Display_Flag(&Gif_Display_Options::tile, value); }

void TGIFImage::Set_Opaque(bool value) {
    if (opaque_ == value) return;
    opaque_ = value;
    Invalidate();
}

void TGIFImage::Set_Color(Gif_Color value) {
    if (color_ == value) return;
    color_ = value;
    Invalidate();
}

void TGIFImage::Set_AutoSize(bool value) {
    if (auto_size_ == value) return;
    auto_size_ = value;
    if (auto_size_ && !Empty()) {
        Set_Bounds({Left(), Top(), LogicalWidth(), LogicalHeight()});
        Invalidate();
    }
}

void TGIFImage::Set_Visible(bool visible) {
    if (visible == Visible()) return;
    Graphic_Control::Set_Visible(visible);  // invalidates
    Post_Palette_Query();
}

void TGIFImage::Post_Palette_Query() {
    if (Parent() == nullptr || Parent()->Handle() == nullptr) return;
    if (::GetFocus() == Parent()->Handle()) ::PostMessageW(Parent()->Handle(), WM_QUERYNEWPALETTE, 0, 0);
}

}  // namespace velbrook

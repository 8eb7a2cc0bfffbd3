// TGIFImage, the program's GIF control: a windowless control that shows a
// still or animated GIF on its parent's surface.  Loading turns the GIF bytes
// (or the control's stored Data) into frames, each with a ready 8-bit Bitmap
// and, when the frame has a transparent colour, a 1-bit Mask, so that
// composition and painting never decode.  Frames are composed one after
// another onto a picture-size bitmap; painting copies that composition into
// the control at its own size, centred, tiled or scaled.  Windows only (GDI).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gif/gif_decoder.h"
#include "gif/gif_layout.h"
#include "gif/timer_ex.h"
#include "toolkit/component.h"
#include "toolkit/handles.h"

namespace velbrook {

// The platform half of a frame: what TGIFFrame's rows become, as DIB sections
// made straight from them.
struct Gif_Frame_Bitmaps {
    Bitmap_Handle Bitmap;       // 8 bits per pixel, the frame's palette; always there
    Palette_Handle Palette;     // the bitmap's colour table as a logical palette
    Bitmap_Handle Mask;         // 1 bit per pixel, white = transparent; only when Transparent
    Bitmap_Handle SavedBitmap;  // only when Disposal is 3: what lay under the frame
    Bitmap_Handle SavedMask;    // monochrome, as SavedBitmap
};

// A colour as the control keeps it: an RGB value (0x00BBGGRR), or, with the
// top byte 0x80, the system colour whose index is in the low byte.
using Gif_Color = std::uint32_t;
inline constexpr Gif_Color Button_Face_Color = 0x80000000u | COLOR_BTNFACE;
COLORREF Color_To_Rgb(Gif_Color color);

// Draws the whole of a bitmap scaled into `rect` of `target` with a raster
// operation: the one drawing primitive of the control.  The palette, when
// given, is the bitmap's own and is realised in the target first.
void StretchDrawBitmap(HBITMAP bitmap, HPALETTE palette, HDC target, const RECT& rect, DWORD raster_operation);

class TGIFImage : public Graphic_Control {
public:
    using TProgressEvent = std::function<void(TGIFImage& Sender, int BytesProcessed, int BytesToProcess,
                                              int PercentageProcessed, bool& KeepOnProcessing)>;
    using Notify_Event = std::function<void(TGIFImage& Sender)>;
    // X and Y in the control's own coordinates.
    using Mouse_Event = std::function<void(TGIFImage& Sender, int X, int Y)>;

    // Without a parent the control only loads and composes (nothing paints it).
    explicit TGIFImage(Container* parent = nullptr, std::wstring name = L"GIFImage1", Bounds bounds = {0, 0, 105, 105});
    ~TGIFImage() override;

    // Settings that loading honours.
    bool FirstImageOnly = false;
    TProgressEvent OnProgress;
    Notify_Event OnChanging;
    Notify_Event OnChange;

    // The pointer over the control, wherever it is (transparent parts too).
    Mouse_Event OnMouseMove;
    Mouse_Event OnMouseUp;
    Notify_Event OnDblClick;

    // Loads a GIF from the stream's beginning.  False (and an empty picture)
    // for a bad, truncated or cancelled GIF; never throws.
    bool LoadFromStream(std::istream& source);
    bool Load_From_Bytes(std::span<const std::uint8_t> bytes);

    // The stored form of Data: 4-byte little-endian length, then the GIF.
    bool ReadData(std::istream& source);
    void WriteData(std::ostream& target) const;
    bool Stores_Data() const { return !decoder_.DataStream().empty(); }
    // After the stored properties are read: parses Data when there is some.
    void Loaded();

    // Nil: drop the picture.  Another control: the same picture, decoded
    // again from its stored bytes.
    void Assign(const TGIFImage* source);

    // Frame 1's bitmap, copied on first request and kept until the next
    // clear; null when empty.  The control owns it.
    HBITMAP GetFirstFrameBitmap();

    void ClearImage();
    void ResetImage();

    bool Empty() const { return decoder_.Empty(); }
    TGIFVersion Version() const { return decoder_.Version(); }
    int FrameCount() const { return decoder_.FrameCount(); }
    int CurrentFrame() const { return current_frame_; }
    const TGIFFrame& Frame(int index) const { return decoder_.Frame(index); }
    const Gif_Frame_Bitmaps& Frame_Bitmaps(int index) const {
        return *bitmaps_.at(static_cast<std::size_t>(index - 1));
    }
    int LogicalWidth() const { return decoder_.LogicalWidth(); }
    int LogicalHeight() const { return decoder_.LogicalHeight(); }
    int GlobalColorBits() const { return decoder_.GlobalColorBits(); }
    int LoopCount() const { return decoder_.LoopCount(); }
    bool MultiFrame() const { return decoder_.MultiFrame(); }
    bool HasTransparency() const { return decoder_.HasTransparency(); }
    const std::vector<std::uint8_t>& DataStream() const { return decoder_.DataStream(); }

    // Display properties.  Setting a property to the value it has does nothing.
    bool AutoSize() const { return auto_size_; }
    void Set_AutoSize(bool value);
    bool Center() const { return display_.center; }
    void Set_Center(bool value);
    bool Opaque() const { return opaque_; }
    void Set_Opaque(bool value);
    bool Stretch() const { return display_.stretch; }
    void Set_Stretch(bool value);
    bool StretchRatio() const { return display_.stretch_ratio; }
    void Set_StretchRatio(bool value);
    bool StretchBigOnly() const { return display_.stretch_big_only; }
    void Set_StretchBigOnly(bool value);
    bool Tile() const { return display_.tile; }
    void Set_Tile(bool value);
    bool DoubleBuffered() const { return double_buffered_; }
    void Set_DoubleBuffered(bool value) { double_buffered_ = value; }
    Gif_Color Color() const { return color_; }
    void Set_Color(Gif_Color value);
    void Set_Visible(bool visible) override;

    // Animation.  While it runs, CurrentFrame is the frame the next step
    // shows; otherwise it is the frame on display.
    bool Animate() const { return animate_; }
    void Set_Animate(bool value);
    // Play for ever, whatever the picture's own loop count says.
    bool Loop() const { return loop_; }
    void Set_Loop(bool value);
    // Playback speed in percent; never below 1.
    int Speed() const { return speed_; }
    void Set_Speed(int value);
    // The timer ticks from its own thread instead of window-timer messages.
    bool Threaded() const { return threaded_; }
    void Set_Threaded(bool value);
    TThreadPriority ThreadPriority() const { return thread_priority_; }
    void Set_ThreadPriority(TThreadPriority value);
    Notify_Event OnWrapAnimation;
    int LoopIteration() const { return loop_iteration_; }
    bool FirstTickPending() const { return first_tick_pending_; }
    // The running animation's timer; null while the picture stands still.
    TTimerEx* AnimationTimer() const { return animation_timer_.get(); }
    // One animation step (the timer's handler).
    void AnimationTick();
    // How long frame `index` stays at the current speed, in milliseconds.
    int FrameInterval(int index) const;

    // Shows another frame: the shown one's disposal, then the new one drawn
    // over what that leaves.  Values outside 1..FrameCount do nothing.
    void Set_CurrentFrame(int value);

    // Composition: frame CurrentFrame drawn over what the earlier frames left,
    // and a frame's disposal applied before the next one is drawn.  Indices
    // outside 1..FrameCount do nothing.
    void DrawCurrentFrame();
    void DisposeFrame(int index);
    // The composed picture (black where nothing was painted) and, when the
    // picture has transparency, its mask (white where nothing was painted).
    HBITMAP ComposedBitmap() const { return composed_bitmap_.get(); }
    HBITMAP ComposedMask() const { return composed_mask_.get(); }

    // Painting.  PictureRect is in client coordinates; PaintTo paints the
    // background (when Opaque) and the picture with the client's top left at
    // the surface's origin.
    RECT PictureRect() const;
    void UpdateOpaque();
    void PaintTo(HDC dc);
    bool StretchedDraw() const { return stretched_draw_; }
    bool FullyOpaque() const { return fully_opaque_; }
    // The control paints alone, without its parent's background beneath it.
    bool Opaque_Style() const { return opaque_style_; }
    // The parent's paint message reaches the control here.
    void Paint(HDC dc, const RECT& area) override;
    // The parent's mouse messages reach the control here.
    void On_Mouse_Move(POINT where) override;
    void On_Mouse_Up(POINT where) override;
    void On_Double_Click(POINT where) override;
    // Redraws the picture's rectangle on the parent at once.
    virtual void Repaint();
    // The palette to realise for the control; null when there is none.
    HPALETTE Current_Palette() const;

protected:
    virtual bool ReadImage(std::span<const std::uint8_t> bytes);
    virtual void Changing();
    virtual void Change();

private:
    bool Build_Frame_Bitmaps(const TGIFFrame& frame);
    bool Start_Composition();
    Gif_Sizes Sizes() const;
    void Set_Display_Flag(bool Gif_Display_Options::*flag, bool value);
    void Post_Palette_Query();
    void SetTimerActive(bool active, unsigned interval);
    // After every paint: decides again whether the timer runs, and how often.
    void Rearm_Animation();

    Gif_Decoder decoder_;
    std::vector<std::unique_ptr<Gif_Frame_Bitmaps>> bitmaps_;
    Bitmap_Handle first_frame_copy_;
    Bitmap_Handle composed_bitmap_;
    Bitmap_Handle composed_mask_;
    int current_frame_ = 0;

    Gif_Display_Options display_;
    bool auto_size_ = false;
    bool opaque_ = false;
    bool double_buffered_ = true;
    Gif_Color color_ = Button_Face_Color;
    bool stretched_draw_ = false;
    bool fully_opaque_ = false;
    bool opaque_style_ = false;
    bool repainting_ = false;

    bool animate_ = false;
    bool loop_ = false;
    int speed_ = 100;
    bool threaded_ = false;
    TThreadPriority thread_priority_ = TThreadPriority::tpNormal;
    int loop_iteration_ = 1;
    bool first_tick_pending_ = true;
    std::unique_ptr<TTimerEx> animation_timer_;
};

}  // namespace velbrook

#include "gif/gif_image.h"

#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>

#include "gif/gif_animation.h"

namespace velbrook {

namespace {

// The colour table of a frame's bitmap: 2^bitmap_color_bits entries of its palette.
std::vector<RGBQUAD> Frame_Colors(const TGIFFrame& frame) {
    std::vector<RGBQUAD> colors(std::size_t{1} << frame.bitmap_color_bits);
    const std::uint8_t* rgb = frame.Palette->data();
    for (RGBQUAD& color : colors) {
        color = RGBQUAD{rgb[2], rgb[1], rgb[0], 0};
        rgb += 3;
    }
    return colors;
}

Palette_Handle Palette_Of(std::span<const RGBQUAD> colors) {
    std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * colors.size());
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colors.size());
    for (std::size_t i = 0; i < colors.size(); ++i) {
        palette->palPalEntry[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
    }
    return Palette_Handle(::CreatePalette(palette));
}

// A DIB section holding rows of the raster (bottom row first, `stride`
// bytes each, as the decoder lays them out).  Empty when GDI cannot make it.
Bitmap_Handle Raster_Dib_Section(const TGIFFrame& frame, int bits, std::span<const RGBQUAD> colors,
                                 const std::vector<std::uint8_t>& rows, std::size_t stride) {
    const Dib_Info_With_Colors info = Top_Down_Dib_Info(frame.Width, frame.Height, bits, colors);
    void* memory = nullptr;
    Bitmap_Handle bitmap(::CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &memory, nullptr, 0));
    if (!bitmap || memory == nullptr) return {};
    auto* top_row = static_cast<std::uint8_t*>(memory);
    for (std::size_t y = 0, height = static_cast<std::size_t>(frame.Height); y < height; ++y) {
        std::memcpy(top_row + y * stride, rows.data() + (height - 1 - y) * stride, stride);
    }
    ::GdiFlush();
    return bitmap;
}

Bitmap_Handle Frame_Bitmap(const TGIFFrame& frame) {
    return Raster_Dib_Section(frame, 8, Frame_Colors(frame), frame.raster.pixels, frame.raster.row_stride);
}

// 1 bit per pixel, colour 0 black (opaque), colour 1 white (transparent).
Bitmap_Handle Frame_Mask(const TGIFFrame& frame) {
    const RGBQUAD black_and_white[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    return Raster_Dib_Section(frame, 1, black_and_white, frame.raster.mask, frame.raster.mask_stride);
}

}  // namespace

TGIFImage::TGIFImage(Container* parent, std::wstring name, Bounds bounds)
    : Graphic_Control(parent, std::move(name), bounds) {
    decoder_.On_Frame_Built = [this](const TGIFFrame& frame) { return Build_Frame_Bitmaps(frame); };
}

TGIFImage::~TGIFImage() { ClearImage(); }

bool TGIFImage::Build_Frame_Bitmaps(const TGIFFrame& frame) {
    auto bitmaps = std::make_unique<Gif_Frame_Bitmaps>();
    bitmaps->Bitmap = Frame_Bitmap(frame);
    if (!bitmaps->Bitmap) return false;
    bitmaps->Palette = Palette_Of(Frame_Colors(frame));
    if (frame.Transparent) {
        bitmaps->Mask = Frame_Mask(frame);
        if (!bitmaps->Mask) return false;
    }
    if (frame.Disposal == 3) {
        std::uint32_t* pixels = nullptr;
        bitmaps->SavedBitmap = Top_Down_Dib_Section(frame.Width, frame.Height, &pixels);
        bitmaps->SavedMask.reset(::CreateBitmap(frame.Width, frame.Height, 1, 1, nullptr));
        if (!bitmaps->SavedBitmap || !bitmaps->SavedMask) return false;
    }
    bitmaps_.push_back(std::move(bitmaps));
    return true;
}

void TGIFImage::ClearImage() {
    decoder_.ClearImage();
    // Freed from the highest frame down, as they were built up.
    while (!bitmaps_.empty()) bitmaps_.pop_back();
    SetTimerActive(false, 0);
    current_frame_ = 1;
    loop_iteration_ = 1;
    first_tick_pending_ = true;
    first_frame_copy_.reset();
}

void TGIFImage::ResetImage() {
    ClearImage();
    composed_bitmap_.reset();
    composed_mask_.reset();
    UpdateOpaque();
    Invalidate();
}

bool TGIFImage::ReadImage(std::span<const std::uint8_t> bytes) {
    ClearImage();
    decoder_.FirstImageOnly = FirstImageOnly;
    if (OnProgress) {
        decoder_.OnProgress = [this](int processed, int total, int percent, bool& keep) {
            OnProgress(*this, processed, total, percent, keep);
        };
    } else {
        decoder_.OnProgress = nullptr;
    }
    if (!decoder_.ReadImage(bytes)) return false;
    // A frame whose bitmaps failed was dropped by the decoder before it
    // reached the list; the bitmaps list matches the frames one for one.
    bitmaps_.resize(static_cast<std::size_t>(decoder_.FrameCount()));
    current_frame_ = 1;
    if (!Start_Composition()) return false;
    if (auto_size_) Set_Bounds({Left(), Top(), LogicalWidth(), LogicalHeight()});
    UpdateOpaque();
    Changing();
    DrawCurrentFrame();
    Change();
    if (Parent() != nullptr && Parent()->Handle() != nullptr)
        ::PostMessageW(Parent()->Handle(), WM_QUERYNEWPALETTE, 0, 0);
    Invalidate();
    return true;
}

bool TGIFImage::Load_From_Bytes(std::span<const std::uint8_t> bytes) {
    bool loaded = false;
    try {
        // Parse a copy: the bytes may be our own stored Data, which the parse replaces.
        const std::vector<std::uint8_t> work(bytes.begin(), bytes.end());
        loaded = ReadImage(work);
    } catch (...) {
        loaded = false;
    }
    if (!loaded) ResetImage();
    return loaded;
}

bool TGIFImage::LoadFromStream(std::istream& source) {
    std::vector<std::uint8_t> bytes;
    try {
        source.clear();
        source.seekg(0, std::ios::beg);
        bytes.assign(std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>());
    } catch (...) {
        ResetImage();
        return false;
    }
    return Load_From_Bytes(bytes);
}

bool TGIFImage::ReadData(std::istream& source) { return decoder_.ReadData(source); }

void TGIFImage::WriteData(std::ostream& target) const { decoder_.WriteData(target); }

void TGIFImage::Loaded() {
    if (Stores_Data()) Load_From_Bytes(decoder_.DataStream());
}

void TGIFImage::Assign(const TGIFImage* source) {
    if (source == nullptr || source->Empty()) {
        ResetImage();
        return;
    }
    Load_From_Bytes(source->DataStream());
}

HBITMAP TGIFImage::GetFirstFrameBitmap() {
    if (Empty() || FrameCount() == 0) return nullptr;
    if (!first_frame_copy_) first_frame_copy_ = Frame_Bitmap(Frame(1));
    return first_frame_copy_.get();
}

void TGIFImage::Set_CurrentFrame(int value) {
    if (value < 1 || value > FrameCount() || value == current_frame_) return;
    Changing();
    DisposeFrame(current_frame_);
    current_frame_ = value;
    DrawCurrentFrame();
    Repaint();
    Change();
}

void TGIFImage::On_Mouse_Move(POINT where) {
    if (OnMouseMove) OnMouseMove(*this, where.x - Left(), where.y - Top());
}

void TGIFImage::On_Mouse_Up(POINT where) {
    if (OnMouseUp) OnMouseUp(*this, where.x - Left(), where.y - Top());
}

void TGIFImage::On_Double_Click(POINT) {
    if (OnDblClick) OnDblClick(*this);
}

void TGIFImage::Changing() {
    if (OnChanging) OnChanging(*this);
}

void TGIFImage::Change() {
    if (OnChange) OnChange(*this);
}

// ---- Animation ----------------------------------------------------------

int TGIFImage::FrameInterval(int index) const {
    // An index past the frames (a finished animation) counts as a frame
    // without a delay of its own.
    const int delay = index >= 1 && index <= FrameCount() ? Frame(index).Delay : 0;
    return Frame_Interval(delay, speed_);
}

void TGIFImage::SetTimerActive(bool active, unsigned interval) {
    if (!active) {
        // May run inside the timer's own tick: the timer copes with that.
        animation_timer_.reset();
        return;
    }
    if (!animation_timer_) {
        auto timer = std::make_unique<TTimerEx>(Name() + L"_Timer");
        timer->Set_Threaded(threaded_);
        timer->Set_ThreadPriority(thread_priority_);
        timer->Set_OnTimer([this](TTimerEx&) { AnimationTick(); });
        animation_timer_ = std::move(timer);
    }
    animation_timer_->Set_Interval(interval);
}

void TGIFImage::AnimationTick() {
    if (Empty() || !animate_ || !animation_timer_ || FrameCount() == 0) return;
    const DWORD started = ::GetTickCount();
    if (current_frame_ > FrameCount() || current_frame_ <= 0) current_frame_ = 1;
    Changing();
    if (first_tick_pending_) {
        // The frame is composed and on screen already.
        first_tick_pending_ = false;
    } else {
        const int previous = current_frame_ - 1 == 0 ? FrameCount() : current_frame_ - 1;
        DisposeFrame(previous);
        DrawCurrentFrame();
        Repaint();
    }
    Step_Result step;
    step.wrapped = false;
    // A handler of the change may have stopped the animation meanwhile; then
    // there is no next step to time.
    if (animation_timer_ && current_frame_ >= 1 && current_frame_ <= FrameCount()) {
        const unsigned elapsed = ::GetTickCount() - started;
        animation_timer_->Set_Interval(
            static_cast<unsigned>(Step_Interval(Frame(current_frame_).Delay, speed_, elapsed)));
        Animation_Counters counters{current_frame_, loop_iteration_};
        step = Advance_Frame(counters, FrameCount(), loop_, LoopCount());
        current_frame_ = counters.current_frame;
        loop_iteration_ = counters.loop_iteration;
        if (step.pass_counted) {
            // After the last pass the timer is freed here, inside its own
            // tick, and the picture stands on its last frame.
            SetTimerActive(step.keep_running, animation_timer_->Interval());
        }
    }
    Change();
    if (step.wrapped && OnWrapAnimation) OnWrapAnimation(*this);
}

void TGIFImage::Rearm_Animation() {
    int interval = 1;
    if (animate_ && FrameCount() > 1 && current_frame_ <= FrameCount()) interval = FrameInterval(current_frame_);
    const bool run = Animation_Runs(MultiFrame(), animate_, Empty(), loop_, LoopCount(), loop_iteration_);
    SetTimerActive(run, static_cast<unsigned>(interval));
}

void TGIFImage::Set_Animate(bool value) {
    if (value == animate_) return;
    animate_ = value;
    loop_iteration_ = 1;
    const int interval = value && FrameCount() > 1 ? FrameInterval(current_frame_) : 0;
    SetTimerActive(value && MultiFrame() && !Empty(), static_cast<unsigned>(interval));
    if (!value && current_frame_ > 1) {
        // Back to frame 1 on display.
        DisposeFrame(current_frame_ - 1);
        current_frame_ = 1;
        DrawCurrentFrame();
        Invalidate();
    }
}

void TGIFImage::Set_Loop(bool value) {
    if (value == loop_) return;
    loop_ = value;
    if (value && FrameCount() > 0 && LoopCount() > 0 && loop_iteration_ > LoopCount()) {
        // A finished animation starts again from frame 1.
        current_frame_ = 1;
        loop_iteration_ = 1;
        SetTimerActive(animate_ && MultiFrame() && !Empty(), static_cast<unsigned>(FrameInterval(1)));
    }
}

void TGIFImage::Set_Speed(int value) {
    const int speed = value < 1 ? 1 : value;
    if (speed == speed_) return;
    speed_ = speed;
    // The next step comes at once and works out its interval at the new speed.
    if (FrameCount() > 1 && animate_ && animation_timer_) animation_timer_->Set_Interval(1);
}

void TGIFImage::Set_Threaded(bool value) {
    threaded_ = value;
    if (animation_timer_) animation_timer_->Set_Threaded(value);
}

void TGIFImage::Set_ThreadPriority(TThreadPriority value) {
    thread_priority_ = value;
    if (animation_timer_) animation_timer_->Set_ThreadPriority(value);
}

}  // namespace velbrook

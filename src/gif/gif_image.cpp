#include "gif/gif_image.h"

#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>

#include "gif/gif_animation.h"
#include "gif/gif_bitmap_image.h"

namespace {

std::uint32_t U32_At(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

Unique_HPALETTE Palette_From_BMP_Image(std::span<const std::uint8_t> image)
{
    const std::size_t info = BMP_File_Header_Size;
    const std::uint32_t colors = U32_At(image, info + 32);
    if (colors == 0 || colors > 256) return {};
    std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * colors);
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colors);
    const std::uint8_t* quad = image.data() + info + BMP_Info_Header_Size;
    for (std::uint32_t i = 0; i < colors; ++i, quad += 4) {
        palette->palPalEntry[i] = PALETTEENTRY{quad[2], quad[1], quad[0], 0};
    }
    return Unique_HPALETTE(CreatePalette(palette));
}

Unique_HBITMAP Blank_Bitmap(int width, int height, int bits_per_pixel)
{
    if (bits_per_pixel == 1) return Unique_HBITMAP(CreateBitmap(width, height, 1, 1, nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits_per_pixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return Unique_HBITMAP(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

}  // namespace

Unique_HBITMAP Bitmap_From_BMP_Image(std::span<const std::uint8_t> image)
{
    constexpr std::size_t headers = BMP_File_Header_Size + BMP_Info_Header_Size;
    if (image.size() < headers || image[0] != 'B' || image[1] != 'M') return {};
    const std::uint32_t offset = U32_At(image, 10);
    const std::uint32_t image_size = U32_At(image, BMP_File_Header_Size + 20);
    if (offset < headers || offset > image.size() || image.size() - offset < image_size) return {};
    const auto* info = reinterpret_cast<const BITMAPINFO*>(image.data() + BMP_File_Header_Size);
    void* bits = nullptr;
    Unique_HBITMAP bitmap(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) return {};
    std::memcpy(bits, image.data() + offset, image_size);
    GdiFlush();
    return bitmap;
}

TGIFImage::TGIFImage(velbrook::Container* parent, std::wstring name, velbrook::Bounds bounds)
    : velbrook::Graphic_Control(parent, std::move(name), bounds)
{
    Decoder_.OnFrameBuilt = [this](const TGIFFrame& frame) { return Build_Frame_Bitmaps(frame); };
}

TGIFImage::~TGIFImage() { ClearImage(); }

bool TGIFImage::Build_Frame_Bitmaps(const TGIFFrame& frame)
{
    auto bitmaps = std::make_unique<TGIFFrameBitmaps>();
    const std::vector<std::uint8_t> image = Frame_Bitmap_Image(frame);
    bitmaps->Bitmap = Bitmap_From_BMP_Image(image);
    if (!bitmaps->Bitmap) return false;
    bitmaps->Palette = Palette_From_BMP_Image(image);
    if (frame.Transparent) {
        bitmaps->Mask = Bitmap_From_BMP_Image(Frame_Mask_Image(frame));
        if (!bitmaps->Mask) return false;
    }
    if (frame.Disposal == 3) {
        bitmaps->SavedBitmap = Blank_Bitmap(frame.Width, frame.Height, 32);
        bitmaps->SavedMask = Blank_Bitmap(frame.Width, frame.Height, 1);
        if (!bitmaps->SavedBitmap || !bitmaps->SavedMask) return false;
    }
    Bitmaps_.push_back(std::move(bitmaps));
    return true;
}

void TGIFImage::ClearImage()
{
    Decoder_.ClearImage();
    // Freed from the highest frame down, as they were built up.
    while (!Bitmaps_.empty()) Bitmaps_.pop_back();
    SetTimerActive(false, 0);
    CurrentFrame_ = 1;
    LoopIteration_ = 1;
    FirstTickPending_ = true;
    FirstFrameCopy_.reset();
}

void TGIFImage::ResetImage()
{
    ClearImage();
    ComposedBitmap_.reset();
    ComposedMask_.reset();
    UpdateOpaque();
    Invalidate();
}

bool TGIFImage::ReadImage(std::span<const std::uint8_t> bytes)
{
    ClearImage();
    Decoder_.FirstImageOnly = FirstImageOnly;
    if (OnProgress) {
        Decoder_.OnProgress = [this](int processed, int total, int percent, bool& keep) {
            OnProgress(*this, processed, total, percent, keep);
        };
    } else {
        Decoder_.OnProgress = nullptr;
    }
    if (!Decoder_.ReadImage(bytes)) return false;
    // A frame whose bitmaps failed was dropped by the decoder before it
    // reached the list; the bitmaps list matches the frames one for one.
    Bitmaps_.resize(static_cast<std::size_t>(Decoder_.FrameCount()));
    CurrentFrame_ = 1;
    if (!Start_Composition()) return false;
    if (AutoSize_) Set_Bounds({Left(), Top(), LogicalWidth(), LogicalHeight()});
    UpdateOpaque();
    Changing();
    DrawCurrentFrame();
    Change();
    if (Parent() != nullptr && Parent()->Handle() != nullptr)
        PostMessageW(Parent()->Handle(), WM_QUERYNEWPALETTE, 0, 0);
    Invalidate();
    return true;
}

bool TGIFImage::Load_From_Bytes(std::span<const std::uint8_t> bytes)
{
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

bool TGIFImage::LoadFromStream(std::istream& source)
{
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

bool TGIFImage::ReadData(std::istream& source) { return Decoder_.ReadData(source); }

void TGIFImage::WriteData(std::ostream& target) const { Decoder_.WriteData(target); }

void TGIFImage::Loaded()
{
    if (Stores_Data()) Load_From_Bytes(Decoder_.DataStream());
}

void TGIFImage::Assign(const TGIFImage* source)
{
    if (source == nullptr || source->Empty()) {
        ResetImage();
        return;
    }
    Load_From_Bytes(source->DataStream());
}

HBITMAP TGIFImage::GetFirstFrameBitmap()
{
    if (Empty() || FrameCount() == 0) return nullptr;
    if (!FirstFrameCopy_) FirstFrameCopy_ = Bitmap_From_BMP_Image(Frame_Bitmap_Image(Frame(1)));
    return FirstFrameCopy_.get();
}

void TGIFImage::Set_CurrentFrame(int value)
{
    if (value < 1 || value > FrameCount() || value == CurrentFrame_) return;
    Changing();
    DisposeFrame(CurrentFrame_);
    CurrentFrame_ = value;
    DrawCurrentFrame();
    Repaint();
    Change();
}

void TGIFImage::Changing()
{
    if (OnChanging) OnChanging(*this);
}

void TGIFImage::Change()
{
    if (OnChange) OnChange(*this);
}

// ---- Animation ----------------------------------------------------------

int TGIFImage::FrameInterval(int index) const
{
    // An index past the frames (a finished animation) counts as a frame
    // without a delay of its own.
    const int delay = index >= 1 && index <= FrameCount() ? Frame(index).Delay : 0;
    return Frame_Interval(delay, Speed_);
}

void TGIFImage::SetTimerActive(bool active, unsigned interval)
{
    if (!active) {
        // May run inside the timer's own tick: the timer copes with that.
        AnimationTimer_.reset();
        return;
    }
    if (!AnimationTimer_) {
        auto timer = std::make_unique<TTimerEx>(Name() + L"_Timer");
        timer->Set_Threaded(Threaded_);
        timer->Set_ThreadPriority(ThreadPriority_);
        timer->Set_OnTimer([this](TTimerEx&) { AnimationTick(); });
        AnimationTimer_ = std::move(timer);
    }
    AnimationTimer_->Set_Interval(interval);
}

void TGIFImage::AnimationTick()
{
    if (Empty() || !Animate_ || !AnimationTimer_ || FrameCount() == 0) return;
    const DWORD started = GetTickCount();
    if (CurrentFrame_ > FrameCount() || CurrentFrame_ <= 0) CurrentFrame_ = 1;
    Changing();
    if (FirstTickPending_) {
        // The frame is composed and on screen already.
        FirstTickPending_ = false;
    } else {
        const int previous = CurrentFrame_ - 1 == 0 ? FrameCount() : CurrentFrame_ - 1;
        DisposeFrame(previous);
        DrawCurrentFrame();
        Repaint();
    }
    TGIFStepResult step;
    step.Wrapped = false;
    // A handler of the change may have stopped the animation meanwhile; then
    // there is no next step to time.
    if (AnimationTimer_ && CurrentFrame_ >= 1 && CurrentFrame_ <= FrameCount()) {
        const unsigned elapsed = GetTickCount() - started;
        AnimationTimer_->Set_Interval(
            static_cast<unsigned>(Step_Interval(Frame(CurrentFrame_).Delay, Speed_, elapsed)));
        TGIFAnimationCounters counters{CurrentFrame_, LoopIteration_};
        step = Advance_Frame(counters, FrameCount(), Loop_, LoopCount());
        CurrentFrame_ = counters.CurrentFrame;
        LoopIteration_ = counters.LoopIteration;
        if (step.Pass_Counted) {
            // After the last pass the timer is freed here, inside its own
            // tick, and the picture stands on its last frame.
            SetTimerActive(step.Keep_Running, AnimationTimer_->Interval());
        }
    }
    Change();
    if (step.Wrapped && OnWrapAnimation) OnWrapAnimation(*this);
}

void TGIFImage::Rearm_Animation()
{
    int interval = 1;
    if (Animate_ && FrameCount() > 1 && CurrentFrame_ <= FrameCount()) interval = FrameInterval(CurrentFrame_);
    const bool run = Animation_Runs(MultiFrame(), Animate_, Empty(), Loop_, LoopCount(), LoopIteration_);
    SetTimerActive(run, static_cast<unsigned>(interval));
}

void TGIFImage::Set_Animate(bool value)
{
    if (value == Animate_) return;
    Animate_ = value;
    LoopIteration_ = 1;
    const int interval = value && FrameCount() > 1 ? FrameInterval(CurrentFrame_) : 0;
    SetTimerActive(value && MultiFrame() && !Empty(), static_cast<unsigned>(interval));
    if (!value && CurrentFrame_ > 1) {
        // Back to frame 1 on display.
        DisposeFrame(CurrentFrame_ - 1);
        CurrentFrame_ = 1;
        DrawCurrentFrame();
        Invalidate();
    }
}

void TGIFImage::Set_Loop(bool value)
{
    if (value == Loop_) return;
    Loop_ = value;
    if (value && FrameCount() > 0 && LoopCount() > 0 && LoopIteration_ > LoopCount()) {
        // A finished animation starts again from frame 1.
        CurrentFrame_ = 1;
        LoopIteration_ = 1;
        SetTimerActive(Animate_ && MultiFrame() && !Empty(), static_cast<unsigned>(FrameInterval(1)));
    }
}

void TGIFImage::Set_Speed(int value)
{
    const int speed = value < 1 ? 1 : value;
    if (speed == Speed_) return;
    Speed_ = speed;
    // The next step comes at once and works out its interval at the new speed.
    if (FrameCount() > 1 && Animate_ && AnimationTimer_) AnimationTimer_->Set_Interval(1);
}

void TGIFImage::Set_Threaded(bool value)
{
    Threaded_ = value;
    if (AnimationTimer_) AnimationTimer_->Set_Threaded(value);
}

void TGIFImage::Set_ThreadPriority(TThreadPriority value)
{
    ThreadPriority_ = value;
    if (AnimationTimer_) AnimationTimer_->Set_ThreadPriority(value);
}

// TGIFImage, the loading side of the program's GIF control: it turns a GIF
// byte stream (or the control's stored Data) into frames, each with a ready
// 8-bit Bitmap and, when the frame has a transparent colour, a 1-bit Mask, so
// that composition and painting never decode.  Windows only (GDI).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

#include "gif/gif_decoder.h"

struct GDI_Object_Deleter {
    void operator()(HGDIOBJ object) const noexcept
    {
        if (object != nullptr) DeleteObject(object);
    }
};
using Unique_HBITMAP = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GDI_Object_Deleter>;
using Unique_HPALETTE = std::unique_ptr<std::remove_pointer_t<HPALETTE>, GDI_Object_Deleter>;

// The platform half of a frame: what TGIFFrame's rows become.
struct TGIFFrameBitmaps {
    Unique_HBITMAP Bitmap;       // 8 bits per pixel, the frame's palette; always there
    Unique_HPALETTE Palette;     // the bitmap's colour table as a logical palette
    Unique_HBITMAP Mask;         // 1 bit per pixel, white = transparent; only when Transparent
    Unique_HBITMAP SavedBitmap;  // only when Disposal is 3: what lay under the frame
    Unique_HBITMAP SavedMask;    // monochrome, as SavedBitmap
};

// A bitmap made from an in-memory BMP image (file header included), as a DIB
// section.  Null when the image is malformed or GDI cannot make it.
Unique_HBITMAP Bitmap_From_BMP_Image(std::span<const std::uint8_t> image);

class TGIFImage {
public:
    using TImageProgressEvent = std::function<void(TGIFImage& Sender, int BytesProcessed, int BytesToProcess,
                                                   int PercentageProcessed, bool& KeepOnProcessing)>;
    using TNotifyEvent = std::function<void(TGIFImage& Sender)>;

    TGIFImage();
    virtual ~TGIFImage();
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    // Settings that loading honours.
    bool FirstImageOnly = false;
    bool AutoSize = false;
    TImageProgressEvent OnProgress;
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

    // Loads a GIF from the stream's beginning.  False (and an empty picture)
    // for a bad, truncated or cancelled GIF; never throws.
    bool LoadFromStream(std::istream& source);
    bool Load_From_Bytes(std::span<const std::uint8_t> bytes);

    // The stored form of Data: 4-byte little-endian length, then the GIF.
    bool ReadData(std::istream& source);
    void WriteData(std::ostream& target) const;
    bool Stores_Data() const { return !Decoder_.DataStream().empty(); }
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

    bool Empty() const { return Decoder_.Empty(); }
    TGIFVersion Version() const { return Decoder_.Version(); }
    int FrameCount() const { return Decoder_.FrameCount(); }
    int CurrentFrame() const { return CurrentFrame_; }
    const TGIFFrame& Frame(int index) const { return Decoder_.Frame(index); }
    const TGIFFrameBitmaps& Frame_Bitmaps(int index) const { return *Bitmaps_.at(static_cast<std::size_t>(index - 1)); }
    int LogicalWidth() const { return Decoder_.LogicalWidth(); }
    int LogicalHeight() const { return Decoder_.LogicalHeight(); }
    int GlobalColorBits() const { return Decoder_.GlobalColorBits(); }
    int LoopCount() const { return Decoder_.LoopCount(); }
    bool MultiFrame() const { return Decoder_.MultiFrame(); }
    bool HasTransparency() const { return Decoder_.HasTransparency(); }
    const std::vector<std::uint8_t>& DataStream() const { return Decoder_.DataStream(); }

protected:
    virtual bool ReadImage(std::span<const std::uint8_t> bytes);
    virtual void Changing();
    virtual void Change();

private:
    bool Build_Frame_Bitmaps(const TGIFFrame& frame);

    TGIFDecoder Decoder_;
    std::vector<std::unique_ptr<TGIFFrameBitmaps>> Bitmaps_;
    Unique_HBITMAP FirstFrameCopy_;
    int CurrentFrame_ = 0;
};

// Pictures and pixel readers shared by the GIF control's window tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gif_encoder.h"
#include "gif/gif_image.h"
#include "toolkit/handles.h"

namespace gif_pictures {

using Bytes = std::vector<std::uint8_t>;

// The global table of every test picture: four colours that no GDI default
// produces by accident.
inline constexpr COLORREF Yellow = RGB(250, 240, 10);
inline constexpr COLORREF Red = RGB(220, 20, 30);
inline constexpr COLORREF Green = RGB(20, 200, 40);
inline constexpr COLORREF Blue = RGB(30, 40, 210);
inline constexpr COLORREF Black = RGB(0, 0, 0);
inline constexpr COLORREF Magenta = RGB(255, 0, 255);
inline constexpr COLORREF Palette_Colors[4] = {Yellow, Red, Green, Blue};
enum : std::uint8_t { Y = 0, R = 1, G = 2, B = 3 };

inline Bytes Four_Colours() {
    Bytes palette;
    for (COLORREF c : Palette_Colors) {
        palette.push_back(GetRValue(c));
        palette.push_back(GetGValue(c));
        palette.push_back(GetBValue(c));
    }
    return palette;
}

inline TGIFEncodeFrame Solid(int left, int top, int width, int height, std::uint8_t index, int disposal = 0,
                             int delay = 0) {
    TGIFEncodeFrame frame;
    frame.Left = left;
    frame.Top = top;
    frame.Width = width;
    frame.Height = height;
    frame.Indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), index);
    frame.Graphic_Control = true;
    frame.Disposal = disposal;
    frame.Delay = delay;
    return frame;
}

inline Bytes Picture(int width, int height, std::vector<TGIFEncodeFrame> frames, int loop_count = -1) {
    TGIFEncodeImage image;
    image.Width = width;
    image.Height = height;
    image.Global_Color_Bits = 2;
    image.Global_Palette = Four_Colours();
    image.Loop_Count = loop_count;
    image.Frames = std::move(frames);
    return Encode_GIF(image);
}

// A bitmap's pixels as COLORREFs, top row first.
struct Pixels {
    int Width = 0;
    int Height = 0;
    std::vector<COLORREF> Colors;
    COLORREF At(int x, int y) const { return Colors[static_cast<std::size_t>(y * Width + x)]; }
};

inline Pixels Read_Pixels(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    Pixels pixels;
    pixels.Width = info.bmWidth;
    pixels.Height = info.bmHeight;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> raw(static_cast<std::size_t>(info.bmWidth) * static_cast<std::size_t>(info.bmHeight));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), raw.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t value : raw)
        pixels.Colors.push_back(RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF));
    return pixels;
}

// An off-screen 32-bit surface filled with one colour, to paint on.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        bitmap_ = velbrook::Top_Down_Dib_Section(width, height, &bits_);
        dc_.reset(CreateCompatibleDC(nullptr));
        old_ = SelectObject(dc_.get(), bitmap_.get());
        const std::uint32_t value = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
        for (int i = 0; i < width * height; ++i) bits_[i] = value;
    }
    ~Canvas() { SelectObject(dc_.get(), old_); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return dc_.get(); }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t value = bits_[y * width_ + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    std::uint32_t* bits_ = nullptr;
    velbrook::Bitmap_Handle bitmap_;
    velbrook::Dc_Handle dc_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace gif_pictures

#pragma once
// Move-only owners for every kind of Windows handle, so that no code path
// leaks a GDI object, leaves a DC selected or forgets a registry key.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>

namespace velbrook {

template <typename Traits>
class Unique_Handle {
public:
    using Type = typename Traits::Type;

    Unique_Handle() noexcept = default;
    explicit Unique_Handle(Type value) noexcept : value_(value) {}
    Unique_Handle(Unique_Handle&& other) noexcept : value_(other.release()) {}
    Unique_Handle& operator=(Unique_Handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Unique_Handle(const Unique_Handle&) = delete;
    Unique_Handle& operator=(const Unique_Handle&) = delete;
    ~Unique_Handle() { reset(); }

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }
    Type release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void reset(Type value = Traits::Invalid()) noexcept {
        Type old = std::exchange(value_, value);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    // For APIs that hand a handle back through a pointer.
    Type* put() noexcept {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Invalid();
};

template <typename T, auto Closer>
struct Null_Traits {
    using Type = T;
    static constexpr T Invalid() noexcept { return nullptr; }
    static void Close(T value) noexcept { Closer(value); }
};

struct File_Traits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::CloseHandle(value); }
};

inline void Delete_Gdi(HGDIOBJ object) noexcept { ::DeleteObject(object); }

using File_Handle = Unique_Handle<File_Traits>;
using Kernel_Handle = Unique_Handle<Null_Traits<HANDLE, ::CloseHandle>>;
using Dc_Handle = Unique_Handle<Null_Traits<HDC, ::DeleteDC>>;
using Bitmap_Handle = Unique_Handle<Null_Traits<HBITMAP, Delete_Gdi>>;
using Font_Handle = Unique_Handle<Null_Traits<HFONT, Delete_Gdi>>;
using Brush_Handle = Unique_Handle<Null_Traits<HBRUSH, Delete_Gdi>>;
using Pen_Handle = Unique_Handle<Null_Traits<HPEN, Delete_Gdi>>;
using Region_Handle = Unique_Handle<Null_Traits<HRGN, Delete_Gdi>>;
using Key_Handle = Unique_Handle<Null_Traits<HKEY, ::RegCloseKey>>;
using Icon_Handle = Unique_Handle<Null_Traits<HICON, ::DestroyIcon>>;
using Enh_Metafile_Handle = Unique_Handle<Null_Traits<HENHMETAFILE, ::DeleteEnhMetaFile>>;
using Metafile_Handle = Unique_Handle<Null_Traits<HMETAFILE, ::DeleteMetaFile>>;
using Menu_Handle = Unique_Handle<Null_Traits<HMENU, ::DestroyMenu>>;
using Global_Handle = Unique_Handle<Null_Traits<HGLOBAL, ::GlobalFree>>;
using Drop_Handle = Unique_Handle<Null_Traits<HDROP, ::DragFinish>>;
using Image_List_Handle = Unique_Handle<Null_Traits<HIMAGELIST, ::ImageList_Destroy>>;
using Palette_Handle = Unique_Handle<Null_Traits<HPALETTE, Delete_Gdi>>;
using Window_Handle = Unique_Handle<Null_Traits<HWND, ::DestroyWindow>>;

// The header of a top-down DIB of width x height pixels, 24 or 32 bits each.
inline BITMAPINFO Top_Down_Dib_Info(int width, int height, int bits = 32) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The header that hands a whole JPEG file to a driver that takes JPEG
// itself: a compressed picture's rows are in the order the file has them.
inline BITMAPINFO Jpeg_Dib_Info(int width, int height, std::size_t file_bytes) {
    BITMAPINFO info = Top_Down_Dib_Info(width, -height, 0);
    info.bmiHeader.biCompression = BI_JPEG;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(file_bytes);
    return info;
}

// The header of a top-down DIB of 8 bits or fewer per pixel, with its colour
// table: room for 256 colours, `colors` of them used.
struct Dib_Info_With_Colors {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
    const BITMAPINFO* get() const noexcept { return reinterpret_cast<const BITMAPINFO*>(this); }
};

inline Dib_Info_With_Colors Top_Down_Dib_Info(int width, int height, int bits, std::span<const RGBQUAD> colors) {
    Dib_Info_With_Colors info{};
    info.bmiHeader = Top_Down_Dib_Info(width, height, bits).bmiHeader;
    const std::size_t used = std::min<std::size_t>(colors.size(), 256);
    info.bmiHeader.biClrUsed = static_cast<DWORD>(used);
    std::copy_n(colors.begin(), used, info.bmiColors);
    return info;
}

// A 32-bit top-down DIB section of width x height pixels; `pixels` gets its
// memory (0xAARRGGBB, top row first).  Empty when there is not memory for it.
inline Bitmap_Handle Top_Down_Dib_Section(int width, int height, std::uint32_t** pixels) {
    const BITMAPINFO info = Top_Down_Dib_Info(width, height);
    void* bits = nullptr;
    Bitmap_Handle bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    *pixels = static_cast<std::uint32_t*>(bits);
    return bitmap;
}

// GetDC / ReleaseDC.
class Window_Dc {
public:
    explicit Window_Dc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~Window_Dc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    Window_Dc(const Window_Dc&) = delete;
    Window_Dc& operator=(const Window_Dc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class Paint_Dc {
public:
    explicit Paint_Dc(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
    ~Paint_Dc() { ::EndPaint(window_, &paint_); }
    Paint_Dc(const Paint_Dc&) = delete;
    Paint_Dc& operator=(const Paint_Dc&) = delete;
    HDC get() const noexcept { return dc_; }
    const RECT& Dirty() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a DC and puts the old one back.
class Select_Guard {
public:
    Select_Guard(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~Select_Guard() {
        if (old_) ::SelectObject(dc_, old_);
    }
    Select_Guard(const Select_Guard&) = delete;
    Select_Guard& operator=(const Select_Guard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC / RestoreDC around drawing that changes modes, clip and origins.
class Dc_State_Guard {
public:
    explicit Dc_State_Guard(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
    ~Dc_State_Guard() {
        if (saved_) ::RestoreDC(dc_, saved_);
    }
    Dc_State_Guard(const Dc_State_Guard&) = delete;
    Dc_State_Guard& operator=(const Dc_State_Guard&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A COM interface pointer: Release on every path.
template <typename T>
class Com_Ptr {
public:
    Com_Ptr() noexcept = default;
    Com_Ptr(Com_Ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    Com_Ptr& operator=(Com_Ptr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    Com_Ptr(const Com_Ptr&) = delete;
    Com_Ptr& operator=(const Com_Ptr&) = delete;
    ~Com_Ptr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    template <typename U>
    Com_Ptr<U> query() const noexcept {
        Com_Ptr<U> other;
        if (p_) p_->QueryInterface(__uuidof(U), other.put_void());
        return other;
    }

private:
    T* p_ = nullptr;
};

// CoInitialize on this thread for the guard's lifetime (when it succeeded).
class Com_Apartment {
public:
    Com_Apartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Com_Apartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    Com_Apartment(const Com_Apartment&) = delete;
    Com_Apartment& operator=(const Com_Apartment&) = delete;
    bool Ok() const noexcept { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

}  // namespace velbrook

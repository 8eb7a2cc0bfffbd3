#pragma once
// Helpers of the picture and print tests: a canvas to draw on and read back,
// the sample pictures.  (Their scratch folder is in picture_folder.h.)

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/handles.h"

namespace velbrook::testing {

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

// JPEG and halftone stretching move colours a little; flat test pictures stay
// well inside this.
inline ::testing::AssertionResult Near(const Rgb& actual, const Rgb& wanted, int tolerance = 24) {
    if (std::abs(actual.r - wanted.r) <= tolerance && std::abs(actual.g - wanted.g) <= tolerance &&
        std::abs(actual.b - wanted.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not near " << wanted;
}

inline constexpr Rgb Red{255, 0, 0}, Green{0, 255, 0}, Blue{0, 0, 255}, Yellow{255, 255, 0}, White{255, 255, 255},
    Magenta{255, 0, 255}, Cyan{0, 255, 255}, Orange{255, 128, 0}, Grey{128, 128, 128}, Black{0, 0, 0};
// A background no test picture uses, to see what was left undrawn.
inline constexpr Rgb Backdrop{10, 20, 30};

// A 32-bit top-down DIB section on a memory DC.
class Canvas {
public:
    Canvas(int width, int height, Rgb fill = Backdrop) : width_(width), height_(height) {
        dc_.reset(::CreateCompatibleDC(nullptr));
        std::uint32_t* pixels = nullptr;
        bitmap_ = Top_Down_Dib_Section(width, height, &pixels);
        bits_ = pixels;
        old_ = ::SelectObject(dc_.get(), bitmap_.get());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Pixels()[y * width + x] = Pack(fill);
    }
    ~Canvas() { ::SelectObject(dc_.get(), old_); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_.get(); }
    RECT Whole() const { return {0, 0, width_, height_}; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const {
        ::GdiFlush();
        const std::uint32_t p = Pixels()[y * width_ + x];
        return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
    }

private:
    static std::uint32_t Pack(Rgb c) {
        return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 |
               static_cast<std::uint32_t>(c.b);
    }
    std::uint32_t* Pixels() const { return static_cast<std::uint32_t*>(bits_); }
    int width_, height_;
    Dc_Handle dc_;
    Bitmap_Handle bitmap_;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

inline std::wstring Widen(const std::string& text) { return {text.begin(), text.end()}; }

// The sample pictures of tests/data/pictures, as a Windows path.
inline std::wstring Sample(const std::string& name) {
    wchar_t full[MAX_PATH];
    const std::wstring unix_path = Widen(std::string(VELBROOK_TEST_DATA) + "/pictures/" + name);
    // The Unix path works as it is; make it a drive path so that extensions
    // and messages look as they do for a user's file.
    if (::GetFullPathNameW(unix_path.c_str(), MAX_PATH, full, nullptr)) return full;
    return unix_path;
}

}  // namespace velbrook::testing

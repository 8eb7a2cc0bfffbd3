#include "toolkit/dpi.h"

#include "toolkit/handles.h"

namespace velbrook {
namespace {

template <typename Function>
Function User32_Function(const char* name) {
    static const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

using Get_Dpi_For_Window = UINT(WINAPI*)(HWND);
using Get_Dpi_For_System = UINT(WINAPI*)();
using Adjust_Window_Rect_Ex_For_Dpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int Dpi_Scaled(int value, int dpi) { return dpi == Design_Dpi ? value : ::MulDiv(value, dpi, Design_Dpi); }

int Dpi_Unscaled(int pixels, int dpi) {
    if (dpi == Design_Dpi || dpi <= 0) return pixels;
    return ::MulDiv(pixels, Design_Dpi, dpi);
}

int Glyph_Scale(int dpi) { return dpi < Design_Dpi ? 1 : (dpi + Design_Dpi / 2) / Design_Dpi; }

int Screen_Dpi() {
    static const auto for_system = User32_Function<Get_Dpi_For_System>("GetDpiForSystem");
    if (for_system) {
        if (const UINT dpi = for_system()) return static_cast<int>(dpi);
    }
    Window_Dc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi > 0 ? dpi : Design_Dpi;
}

int Window_Dpi(HWND window) {
    static const auto for_window = User32_Function<Get_Dpi_For_Window>("GetDpiForWindow");
    if (for_window && window) {
        if (const UINT dpi = for_window(window)) return static_cast<int>(dpi);
    }
    return Screen_Dpi();
}

SIZE Frame_Size(DWORD style, DWORD ex_style, bool menu, int dpi) {
    static const auto adjust_for_dpi = User32_Function<Adjust_Window_Rect_Ex_For_Dpi>("AdjustWindowRectExForDpi");
    RECT outer{0, 0, 0, 0};
    if (adjust_for_dpi && adjust_for_dpi(&outer, style, menu, ex_style, static_cast<UINT>(dpi)))
        return {outer.right - outer.left, outer.bottom - outer.top};
    // Before Windows 10 every window has the screen's frame; another
    // resolution gets it in proportion.
    outer = {0, 0, 0, 0};
    ::AdjustWindowRectEx(&outer, style, menu, ex_style);
    const int screen = Screen_Dpi();
    return {::MulDiv(outer.right - outer.left, dpi, screen), ::MulDiv(outer.bottom - outer.top, dpi, screen)};
}

}  // namespace velbrook

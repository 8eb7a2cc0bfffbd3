#pragma once
// Screen resolution.  Every design size of the program is in pixels of a
// 96-dpi screen; a window lays itself out for the resolution of the monitor
// it stands on, and fonts, being in points, are made for that resolution.
// The calls that tell a window's own resolution exist from Windows 10 on and
// are looked up when first needed; before that the whole screen has one.

#include <windows.h>

namespace velbrook {

inline constexpr int Design_Dpi = 96;

// A design length at `dpi`, to the nearest pixel (halves away from zero).
int Dpi_Scaled(int value, int dpi);
// Pixels at `dpi` back to design units; undoes Dpi_Scaled for any dpi of
// 96 or more.
int Dpi_Unscaled(int pixels, int dpi);

// How many times over the 16 x 16 button pictures are drawn: the whole
// number nearest dpi / 96 (halves up), at least 1, so that every pixel of
// the drawing becomes a square of whole pixels and stays sharp.
int Glyph_Scale(int dpi);

// The resolution of the primary screen, for windows that do not exist yet.
int Screen_Dpi();
// The resolution a window is laid out for: its monitor's (Windows 10 and
// later), otherwise the screen's.
int Window_Dpi(HWND window);

// The frame around a client area of a window of this style at `dpi` (the
// border, the caption and a menu bar of one line): outer minus client size.
SIZE Frame_Size(DWORD style, DWORD ex_style, bool menu, int dpi);

}  // namespace velbrook

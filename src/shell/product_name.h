#pragma once
// The program's name and version, as the title bar, the failure boxes, the
// About window and the Help menu's boxes give it.  Portable, and at the
// bottom of the modules, so that every one of them that speaks of the
// program can name it.

namespace velbrook {

inline constexpr wchar_t Product_Name[] = L"Velbrook v1.0f";

}  // namespace velbrook

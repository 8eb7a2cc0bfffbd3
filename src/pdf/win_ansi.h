#pragma once
// Windows-1252 as PDF's WinAnsiEncoding names it, and the widths of the
// standard Helvetica font in that encoding, so that a caption in a font
// every reader has can be measured, centred and cut.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velbrook {

// The code of a character in Windows-1252; nothing for the characters it
// cannot hold and for control characters.
std::optional<std::uint8_t> Win_Ansi_Code(char32_t c);

// A code's width in Helvetica, in thousandths of the font size.
int Helvetica_Width(std::uint8_t code);

// The code points of a text, with UTF-16 surrogate pairs joined where wchar_t
// holds UTF-16; an unpaired surrogate becomes U+FFFD.
std::u32string Code_Points(std::wstring_view text);

}  // namespace velbrook

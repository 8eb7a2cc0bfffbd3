#pragma once
// Text between the program's UTF-16 and the bytes of its files: the ANSI
// code page where it holds a text exactly, UTF-8 otherwise.

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace velbrook {

std::wstring Decode_Text(std::string_view bytes, UINT code_page);
// The text in the ANSI code page, or nothing when the code page cannot hold
// it exactly (no best-fit letters: "a" for "ā" is not the same name).
std::optional<std::string> Ansi_Text(std::wstring_view text);
std::string Utf8_Text(std::wstring_view text);
inline bool Ansi_Can_Hold(std::wstring_view text) { return Ansi_Text(text).has_value(); }

}  // namespace velbrook

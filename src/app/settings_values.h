#pragma once
// The value forms of the settings file: how integers and booleans are
// written, and how a hand-edited or damaged value is read.

#include <string>
#include <string_view>

namespace velbrook {

// Spaces and tabs at either end cut off.
std::wstring_view Trimmed(std::wstring_view text);

// A text of more than two characters starting "0x" or "0X" is hexadecimal;
// anything else is decimal with an optional sign.  Spaces and tabs around
// the value are ignored ("window_Width = 576" edited by hand still reads).
// Empty, invalid, trailing junk ("12abc"), a bare "0x", or a value outside
// the int range give the default.
int Parse_Ini_Integer(std::wstring_view text, int default_value);

// Read as Parse_Ini_Integer does; a value outside [least, most] also gives
// the default (a count or a size edited past what the program offers).
int Parse_Ini_Integer_In(std::wstring_view text, int least, int most, int default_value);

// Read as an integer with the default 1 or 0; any integer but 0 is true.
bool Parse_Ini_Bool(std::wstring_view text, bool default_value);

// Decimal, with a leading "-" when negative.
std::wstring Format_Ini_Integer(int value);

// "1" or "0".
std::wstring Format_Ini_Bool(bool value);

}  // namespace velbrook

#pragma once
// Small text routines shared by the program: replacing, taking names apart,
// and reading integers out of the layout table's fields.

#include <string>
#include <string_view>

namespace velbrook {

// Replaces every occurrence of old_text.  When new_text is shorter, the
// search starts again from the beginning after each replacement, so that
// occurrences a removal brings together are replaced too (removing "ab" from
// "aabb" leaves nothing); the text shrinks at every step, so this ends.  When
// new_text is as long or longer, each occurrence of the original text is
// replaced once: searching again could feed on its own output for ever
// ("ab" by "bbaa" in "aab" grows without end).  An empty text or an empty
// old_text gives the text unchanged.
std::wstring Replace_All(std::wstring_view text, std::wstring_view old_text, std::wstring_view new_text);

// The file name after the last "\\" or ":", with every occurrence of its
// extension removed: C:\Tools\velbrook.exe gives velbrook, x.exe.exe gives x.
std::wstring Program_Base_Name(std::wstring_view path);

// The readme beside the program: its file name up to the first dot, then
// ".txt" (velbrook.exe gives velbrook.txt, a.b.exe gives a.txt).  A path is
// accepted too; only its file name is used.
std::wstring Readme_File_Name(std::wstring_view program_file_name);

// The file's name: what follows the last "\\", "/" or drive ":".
std::wstring File_Name_Of(std::wstring_view path);

// From the last "." of the file name to the end, dot included; empty when
// there is no dot after the last "\\", "/" or drive ":".
std::wstring File_Extension(std::wstring_view path);

// Maps A to Z only, so that the result never depends on the user's locale.
std::wstring Lower_Ascii(std::wstring_view text);

// The folder part of a path with its trailing separator, as the program's
// folder is joined with file names ("C:\Tools\" for C:\Tools\velbrook.exe);
// empty for a bare file name.
std::wstring Directory_Of(std::wstring_view path);

// Keeps only digits and a sign in first place, then reads a decimal int:
// "x-12y" gives -12, "1-2" gives 12, and a text without digits or signs gives
// 0.  A lone sign, or a number beyond the int range, throws Conversion_Error.
int Digits_To_Integer(std::wstring_view text);

// Digits_To_Integer of field n (from 1) of a delimited text; a field past the
// last gives the last.  An empty delimiter makes the whole text one field.
int Field_As_Integer(std::wstring_view text, std::wstring_view delimiter, int n);

}  // namespace velbrook

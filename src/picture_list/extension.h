#pragma once
// A file's extension, and the extensions the drop intake accepts.  The print
// run chooses how to draw a picture by the same extension.

#include <string>
#include <string_view>

namespace velbrook {

// From the last "." of the file name to the end, dot included; empty when
// there is no dot after the last "\\", "/" or drive ":".
std::wstring File_Extension(std::wstring_view path);

// Maps A to Z only, so that the result never depends on the user's locale.
std::wstring Lower_Ascii(std::wstring_view text);

// True for ".bmp", ".jpg", ".jpeg", ".emf" and ".wmf" in any letter case.
bool Is_Accepted_Extension(std::wstring_view path);

}  // namespace velbrook

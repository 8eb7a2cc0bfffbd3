#pragma once
// A file's extension, and the extensions the drop intake accepts.  The print
// run chooses how to draw a picture by the same extension.

#include <string>
#include <string_view>

namespace velbrook {

// From the last "." of the file name to the end, dot included; empty when
// there is no dot after the last "\\", "/" or drive ":".
std::wstring File_Extension(std::wstring_view path);

// The file's name: what follows the last "\\", "/" or drive ":".
std::wstring File_Name_Of(std::wstring_view path);

// Maps A to Z only, so that the result never depends on the user's locale.
std::wstring Lower_Ascii(std::wstring_view text);

// What a file holds, by its extension in any letter case.  ".png", ".gif",
// ".tif" and ".tiff" count only when the more picture types are accepted;
// otherwise they are None, exactly as any unknown extension.
enum class Picture_File_Type { None, Bmp, Jpeg, Emf, Wmf, Ico, Png, Gif, Tiff };
Picture_File_Type Picture_File_Type_Of(std::wstring_view path, bool more_types = false);

// True for ".bmp", ".jpg", ".jpeg", ".emf" and ".wmf" in any letter case,
// and for ".png", ".gif", ".tif" and ".tiff" when `more_types` is set.
bool Is_Accepted_Extension(std::wstring_view path, bool more_types = false);

}  // namespace velbrook

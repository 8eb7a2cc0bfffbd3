#pragma once
// What a picture file holds, by its extension: the one rule behind the drop
// filter, the preview, the print run and the PDF pages.  Portable.

#include <string_view>

namespace velbrook {

// ".png", ".gif", ".tif" and ".tiff" count only when the more picture types
// are accepted; otherwise they are None, exactly as any unknown extension.
enum class Picture_File_Type { None, Bmp, Jpeg, Emf, Wmf, Ico, Png, Gif, Tiff };
// By the extension in any letter case.
Picture_File_Type Picture_File_Type_Of(std::wstring_view path, bool more_types = false);

// True for ".bmp", ".jpg", ".jpeg", ".emf" and ".wmf" in any letter case,
// and for ".png", ".gif", ".tif" and ".tiff" when `more_types` is set.
// Icons load from a list file, but a drop never takes them.
bool Is_Accepted_Extension(std::wstring_view path, bool more_types = false);

// How a loaded picture goes onto its page: PNG, GIF and TIFF are drawn as
// bitmaps when the more picture types are accepted, and not at all
// otherwise; icons never.
enum class Page_Drawing { Bitmap, Jpeg, Metafile, Nothing };
Page_Drawing Drawing_For(std::wstring_view path, bool more_types = false);

// The words for a file of the type in "is not a valid ..."; null for None.
const wchar_t* Picture_File_Noun(Picture_File_Type type);

}  // namespace velbrook

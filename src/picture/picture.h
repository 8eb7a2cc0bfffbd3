#pragma once
// Pictures by file type, loaded once and then only drawn.  The preview and the
// print run share this loader: the preview asks for a picture the size of its
// box, the print run for one the size of the page rectangle, and a JPEG is
// decoded no larger than that.

#include <windows.h>

#include <memory>
#include <string>

#include "toolkit/controls.h"
#include "toolkit/failure.h"

namespace velbrook {

enum class Picture_Kind { Bitmap, Jpeg, Metafile, Icon };

// A picture file that exists by name but cannot be read: missing, locked by
// another program, no permission.  Not an Invalid_Picture, because nothing is
// known of its content; the text names the file and the reason.
class Unreadable_File : public Failure {
public:
    using Failure::Failure;
};

class Picture : public Drawable {
public:
    virtual Picture_Kind Kind() const = 0;
    // The pixels held: a bitmap's own size, a JPEG's decoded (possibly
    // reduced) size, an icon's size; a metafile's frame in device pixels of
    // the screen.
    virtual SIZE Pixel_Size() const = 0;
    // Stretches the whole picture over `target` (aspect ratio not kept) and
    // says whether the device accepted the drawing.
    virtual bool Render(HDC dc, const RECT& target) const = 0;
    void Draw(HDC dc, const RECT& target) const override { Render(dc, target); }
};

// Loads by the lower-cased extension: ".bmp" a device-independent bitmap,
// ".jpg"/".jpeg" a JPEG decoded at the smallest scale that still covers
// `target` (0 or less: full size), ".emf"/".wmf" a metafile, ".ico" an icon.
// Throws Invalid_Picture for an empty path, any other extension, or content
// that is not a valid picture of its kind; Unreadable_File when the file
// cannot be opened or read; Failure for a file too large to hold.
std::shared_ptr<const Picture> Load_Picture(const std::wstring& path, SIZE target);

}  // namespace velbrook

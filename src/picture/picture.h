#pragma once
// Pictures by file type, loaded once and then only drawn.  The preview and the
// print run share this loader: the preview asks for a picture the size of its
// box, the print run for one the size of the page rectangle, and a JPEG is
// decoded no larger than that.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "picture/band_plan.h"
#include "picture/placement.h"
#include "toolkit/controls.h"
#include "toolkit/failure.h"
#include "toolkit/whole_file.h"

namespace velbrook {

enum class Picture_Kind { Bitmap, Jpeg, Metafile, Icon, Png, Gif, Tiff };

// A picture file that exists by name but cannot be read: missing, locked by
// another program, no permission, too large to hold.  Not an
// Invalid_Picture, because nothing is known of its content; the text names
// the file and the reason.
using Unreadable_File = File_Failure;

// The rows of a picture, read a band at a time; quickest in order.
class Row_Source {
public:
    virtual ~Row_Source() = default;
    virtual SIZE Size() const = 0;
    // Rows [first, first + count) as 0x00RRGGBB, top row first.  Rows the
    // file cannot give come as its decoder leaves them (mid grey where a
    // JPEG's data ends early), or white; never a failure.
    virtual void Read(int first, int count, std::uint32_t* rows) = 0;
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

    // The camera's orientation tag of a JPEG; 1 for every other picture.
    virtual int Orientation_Tag() const { return 1; }
    // The pages of the file (a multi-page TIFF has several); this picture
    // holds the one it was loaded for.
    virtual int Page_Count() const { return 1; }
    // Metafiles and icons draw sharp at any size: turned, they are drawn at
    // the size of their place rather than at their own pixel size.
    virtual bool Scalable() const { return false; }
    // Rows [first, first + count) of the picture drawn at width x height, as
    // 0x00RRGGBB, top row first, white where the picture leaves the paper
    // bare.  The whole picture is never held twice: turns and flips copy a
    // band at a time.
    virtual void Read_Rows(int width, int height, int first, int count, std::uint32_t* rows) const;
    // Part of the picture drawn at width x height: the pixels of `window`
    // (within it), rows of window.Width() pixels.  The part alone is drawn,
    // however large the whole, so that a scalable picture is rasterised no
    // larger than what shows of it.
    void Read_Window(int width, int height, const Box& window, std::uint32_t* rows) const;
    // A picture too large to hold decoded reads its rows from its file, at
    // its Pixel_Size, each time it is drawn; null for a picture that holds
    // its pixels or draws itself.
    virtual std::unique_ptr<Row_Source> Open_Rows() const { return nullptr; }
    // A JPEG's file as it is, for a printer that takes JPEG itself; empty for
    // every other picture or when the file cannot be read.
    virtual std::vector<std::uint8_t> Original_Jpeg() const { return {}; }
    // A JPEG's file, for a printer that takes the picture's own bytes read
    // from it; empty for every other picture.
    virtual std::wstring Jpeg_File() const { return {}; }
};

// What a picture is loaded for: the rectangle it will be drawn in, how it is
// placed there, and which page of a multi-page file.
struct Picture_Request {
    SIZE target{};  // 0 or less in either direction: full size
    Page_Options options{};
    int caption_height = 0;  // device pixels of the caption strip, when captions are printed
    int page = 0;
    // A JPEG, PNG, TIFF or uncompressed bitmap whose decode would take more
    // bytes than this is not decoded at loading: it is read from its file a
    // band at a time each time it is drawn.  The preview's small decodes
    // stay whole.
    std::int64_t whole_decode_bytes = Band_Bytes;
};

// Loads by the lower-cased extension: ".bmp" a device-independent bitmap,
// ".jpg"/".jpeg" a JPEG decoded at the smallest scale that still covers
// `target` (0 or less: full size), ".emf"/".wmf" a metafile, ".ico" an icon.
// Throws Invalid_Picture for an empty path, any other extension, or content
// that is not a valid picture of its kind; Unreadable_File when the file
// cannot be opened or read; Failure for a file too large to hold.
// With the classic options, the size of the picture's rectangle alone.
// With other options, a JPEG is decoded at the smallest scale whose visible
// part still covers its place, and ".png", ".gif", ".tif" and ".tiff" load
// when the options accept them (PNG and TIFF through the Windows Imaging
// Component, GIF through the program's own decoder), composed over white.
std::shared_ptr<const Picture> Load_Picture(const std::wstring& path, SIZE target);
std::shared_ptr<const Picture> Load_Picture_For(const std::wstring& path, const Picture_Request& request);

// How the print run, the PDF pages and the preview treat a file that will
// not load: runs `work`, and answers false when it finds the file no picture
// of its kind, gone, locked or too large, or runs out of memory on it, so
// that the file is skipped.  `reason`, when given, gets the loader's words
// for a skip (they name the file), and is emptied otherwise.
bool Skipping_Unloadable(const std::wstring& path, const std::function<void()>& work, std::wstring* reason = nullptr);

// What the preview shows: the picture itself with the classic options, else
// the picture placed as the options say.
std::shared_ptr<const Drawable> Preview_Of(std::shared_ptr<const Picture> picture, const Page_Options& options);

// The preview's loader: the picture loaded for a box of `target` and shown
// as the options place it.
std::shared_ptr<const Drawable> Load_Preview(const std::wstring& path, SIZE target, const Page_Options& options);

// Where `picture` goes in `target` with these options.
Placement Place_On(const Picture& picture, const Page_Options& options, const RECT& target, int caption_height);

// The placement of a whole picture of `size` stretched over `target`: the
// classic page.
Placement Whole_Placement(SIZE size, const RECT& target);

// Draws the visible part of the picture, turned and flipped as placed, into
// the placement's destination; true when the device accepted every band.
// With nothing turned and nothing cut off it is the picture's own Render.
bool Draw_Placed(HDC dc, const Picture& picture, const Placement& placement);

// A picture and the options it is shown with, for the preview: drawn into
// any rectangle by the same placement as the page, without a caption.
class Placed_Picture final : public Drawable {
public:
    Placed_Picture(std::shared_ptr<const Picture> picture, Page_Options options)
        : picture_(std::move(picture)), options_(options) {}
    void Draw(HDC dc, const RECT& target) const override;
    const Picture& Get() const { return *picture_; }

private:
    std::shared_ptr<const Picture> picture_;
    Page_Options options_;
};

}  // namespace velbrook

#pragma once
// The About window's pictures: the banner, drawn as an enhanced metafile when
// the window is made, and the bitmaps and the logo GIF kept as resources of
// the program (resources/about_pictures.rc).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>

#include "toolkit/controls.h"
#include "toolkit/handles.h"

namespace velbrook {

// A bitmap drawn stretched over whatever rectangle it is given.
class Bitmap_Drawable final : public Drawable {
public:
    explicit Bitmap_Drawable(Bitmap_Handle bitmap);
    void Draw(HDC dc, const RECT& target) const override;
    SIZE Size() const { return size_; }
    HBITMAP Handle() const { return bitmap_.get(); }

private:
    Bitmap_Handle bitmap_;
    SIZE size_{};
};

// An enhanced metafile played into whatever rectangle it is given.
class Metafile_Drawable final : public Drawable {
public:
    explicit Metafile_Drawable(Enh_Metafile_Handle metafile) : metafile_(std::move(metafile)) {}
    void Draw(HDC dc, const RECT& target) const override;
    HENHMETAFILE Handle() const { return metafile_.get(); }

private:
    Enh_Metafile_Handle metafile_;
};

// The banner across the top of the window: the product's name on a sky that
// darkens to the right.  Recorded for a frame of width x height pixels.
std::shared_ptr<const Metafile_Drawable> Make_Banner(int width, int height);

// A BITMAP resource of the program; null when the program has none by that name.
std::shared_ptr<const Bitmap_Drawable> Load_Bitmap_Resource(const wchar_t* name);

// A 32 x 16 BITMAP resource as a button's two glyphs, normal then disabled;
// the colour of the bottom-left pixel is transparent.
std::optional<std::pair<Glyph_Pixels, Glyph_Pixels>> Load_Glyph_Resource(const wchar_t* name);

// The bytes of an RCDATA resource; empty when there is none by that name.
std::span<const std::uint8_t> Resource_Bytes(const wchar_t* name);

}  // namespace velbrook

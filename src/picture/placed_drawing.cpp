// Drawing a picture where the placement puts it, a band at a time.  The
// bands come from the picture's rows (read from its file for a picture too
// large to hold, from the decoded rows otherwise); each band is turned into
// rows of the oriented picture, or columns for a quarter turn, and
// stretched into its own slice of the destination.  The slices are planned
// once from the whole destination (picture/band_plan), so that they tile
// it; no band is larger than Band_Bytes, and the picture is never held
// twice.

#include <algorithm>
#include <vector>

#include "picture/band_plan.h"
#include "picture/picture.h"
#include "picture/picture_kinds.h"
#include "toolkit/handles.h"

namespace velbrook {
namespace {

// The rows of a picture that holds its pixels (or draws them), read at a
// size of the caller's choice.
class Held_Rows final : public Row_Source {
public:
    Held_Rows(const Picture& picture, SIZE size) : picture_(picture), size_(size) {}
    SIZE Size() const override { return size_; }
    void Read(int first, int count, std::uint32_t* rows) override {
        picture_.Read_Rows(size_.cx, size_.cy, first, count, rows);
    }

private:
    const Picture& picture_;
    SIZE size_;
};

}  // namespace

void Picture::Read_Rows(int width, int height, int first, int count, std::uint32_t* rows) const {
    Read_Window(width, height, {0, first, width, first + count}, rows);
}

void Picture::Read_Window(int width, int height, const Box& window, std::uint32_t* rows) const {
    const int window_width = static_cast<int>(window.Width()), count = static_cast<int>(window.Height());
    const std::size_t pixels = static_cast<std::size_t>(window_width) * static_cast<std::size_t>(count);
    std::fill_n(rows, pixels, 0x00FFFFFFu);
    Dc_Handle dc(::CreateCompatibleDC(nullptr));
    std::uint32_t* bits = nullptr;
    Bitmap_Handle band = Top_Down_Dib_Section(window_width, count, &bits);
    if (!dc || !band) throw Failure(L"There is not enough memory to draw a band of the picture");
    {
        Select_Guard select(dc.get(), band.get());
        std::fill_n(bits, pixels, 0x00FFFFFFu);
        ::SetViewportOrgEx(dc.get(), static_cast<int>(-window.left), static_cast<int>(-window.top), nullptr);
        Render(dc.get(), RECT{0, 0, width, height});
        ::GdiFlush();
    }
    for (std::size_t k = 0; k < pixels; ++k) rows[k] = bits[k] & 0x00FFFFFFu;
}

Placement Place_On(const Picture& picture, const Page_Options& options, const RECT& target, int caption_height) {
    const SIZE size = picture.Pixel_Size();
    return Place_Picture(size.cx, size.cy, picture.Orientation_Tag(), options,
                         Box{target.left, target.top, target.right, target.bottom}, caption_height);
}

bool Draw_Rows(HDC dc, Row_Source& rows, const Placement& placement) {
    const SIZE size = rows.Size();
    const std::vector<Band_Slice> bands = Plan_Bands(size.cx, size.cy, placement, Band_Rows_For(size.cx, size.cy));
    if (bands.empty()) return true;
    const Box& source = placement.source;
    const Box& destination = placement.destination;
    // The whole picture decides how it is stretched, so that every band is
    // stretched alike: halftone where it is reduced, plain where enlarged.
    const Stretch_Mode mode = destination.Width() < source.Width() || destination.Height() < source.Height()
                                  ? Stretch_Mode::Halftone
                                  : Stretch_Mode::Plain;
    const std::int64_t width = size.cx;
    const Pixel_Map map = Map_Oriented_To_Stored(placement.orientation, size.cx, size.cy);
    std::vector<std::uint32_t> stored(static_cast<std::size_t>(width * Band_Rows_For(size.cx, size.cy)));
    std::vector<std::uint32_t> oriented;
    // A band whose slice lies outside the device's clip (a larger drawing
    // made into a bitmap a band at a time) is neither read nor drawn.
    RECT clip{};
    const bool clipped = ::GetClipBox(dc, &clip) != ERROR;
    bool drawn = true;
    for (const Band_Slice& band : bands) {
        const Box& slice = band.slice;
        if (clipped && (slice.right <= clip.left || slice.left >= clip.right || slice.bottom <= clip.top ||
                        slice.top >= clip.bottom))
            continue;
        rows.Read(band.first_row, band.row_count, stored.data());
        const Box& part = band.part;
        const std::uint32_t* pixels = nullptr;
        if (placement.orientation == 1 && part.left == 0 && part.right == size.cx) {
            // Rows as they are stored: drawn from the band itself.
            pixels = stored.data() + static_cast<std::size_t>(part.top - band.first_row) * size.cx;
        } else {
            oriented.resize(static_cast<std::size_t>(part.Width()) * part.Height());
            std::uint32_t* out = oriented.data();
            for (std::int32_t y = part.top; y < part.bottom; ++y) {
                std::int64_t sx = map.origin_x + std::int64_t{part.left} * map.x_dx + std::int64_t{y} * map.x_dy;
                std::int64_t sy = map.origin_y + std::int64_t{part.left} * map.y_dx + std::int64_t{y} * map.y_dy;
                for (std::int32_t x = part.left; x < part.right; ++x, sx += map.x_dx, sy += map.y_dx)
                    *out++ = stored[static_cast<std::size_t>((sy - band.first_row) * width + sx)];
            }
            pixels = oriented.data();
        }
        const BITMAPINFO info = Top_Down_Dib_Info(part.Width(), part.Height());
        const RECT target{slice.left, slice.top, slice.right, slice.bottom};
        drawn = Stretch_Dib(dc, target, info, pixels, part.Width(), part.Height(), mode) && drawn;
    }
    return drawn;
}

bool Draw_Placed(HDC dc, const Picture& picture, const Placement& given) {
    if (given.destination.Empty() || given.source.Empty()) return true;
    const SIZE own = picture.Pixel_Size();
    if (picture.Scalable()) {
        // Drawn at the size that puts its visible part pixel for pixel on
        // the destination; the source is measured again at that size.
        const bool swapped = Swaps_Sides(given.orientation);
        const std::int64_t own_w = swapped ? own.cy : own.cx, own_h = swapped ? own.cx : own.cy;
        const Box& d = given.destination;
        const Box& s = given.source;
        const std::int64_t oriented_w = std::max<std::int64_t>(1, own_w * d.Width() / s.Width());
        const std::int64_t oriented_h = std::max<std::int64_t>(1, own_h * d.Height() / s.Height());
        Placement placement = given;
        placement.source = {static_cast<std::int32_t>(s.left * oriented_w / own_w),
                            static_cast<std::int32_t>(s.top * oriented_h / own_h),
                            static_cast<std::int32_t>(
                                std::max<std::int64_t>(s.left * oriented_w / own_w + 1, s.right * oriented_w / own_w)),
                            static_cast<std::int32_t>(
                                std::max<std::int64_t>(s.top * oriented_h / own_h + 1, s.bottom * oriented_h / own_h))};
        Held_Rows rows(picture, SIZE{static_cast<LONG>(swapped ? oriented_h : oriented_w),
                                     static_cast<LONG>(swapped ? oriented_w : oriented_h)});
        return Draw_Rows(dc, rows, placement);
    }
    if (const std::unique_ptr<Row_Source> rows = picture.Open_Rows()) return Draw_Rows(dc, *rows, given);
    if (given.orientation == 1 && given.source == Box{0, 0, own.cx, own.cy}) {
        const Box& d = given.destination;
        return picture.Render(dc, RECT{d.left, d.top, d.right, d.bottom});
    }
    if (own.cx <= 0 || own.cy <= 0) return true;
    Held_Rows rows(picture, own);
    return Draw_Rows(dc, rows, given);
}

std::shared_ptr<const Drawable> Preview_Of(std::shared_ptr<const Picture> picture, const Page_Options& options) {
    if (!picture || options == Page_Options{}) return picture;
    return std::make_shared<Placed_Picture>(std::move(picture), options);
}

std::shared_ptr<const Drawable> Load_Preview(const std::wstring& path, SIZE target, const Page_Options& options) {
    return Preview_Of(Load_Picture_For(path, Picture_Request{.target = target, .options = options}), options);
}

void Placed_Picture::Draw(HDC dc, const RECT& target) const {
    Draw_Placed(dc, *picture_, Place_On(*picture_, options_, target, 0));
}

}  // namespace velbrook

// Drawing a picture where the placement puts it.  Turns and flips are done a
// band of stored rows at a time: each band is read, turned into a band of the
// oriented picture (rows, or columns for a quarter turn) and stretched into
// its own slice of the destination, so the whole picture is never held twice.

#include <algorithm>
#include <vector>

#include "picture/picture.h"
#include "picture/picture_kinds.h"
#include "toolkit/handles.h"

namespace velbrook {
namespace {

// A band is at most this many bytes of 32-bit pixels, stored or oriented.
constexpr std::int64_t Band_Bytes = 4 << 20;

// The oriented coordinate c of the visible part [from, to) to a device
// coordinate of the destination [start, end): rounded to the nearest pixel,
// so that the slices of neighbouring bands meet with no gap and no overlap.
std::int32_t Slice_Edge(std::int64_t c, std::int64_t from, std::int64_t to, std::int64_t start, std::int64_t end) {
    const std::int64_t span = to - from, length = end - start;
    return static_cast<std::int32_t>(start + (2 * (c - from) * length + span) / (2 * span));
}

bool Stretch_Band(HDC dc, const Box& slice, const std::vector<std::uint32_t>& pixels, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const RECT target{slice.left, slice.top, slice.right, slice.bottom};
    return Stretch_Dib(dc, target, info, pixels.data(), width, height);
}

}  // namespace

void Picture::Read_Rows(int width, int height, int first, int count, std::uint32_t* rows) const {
    std::fill_n(rows, static_cast<std::size_t>(width) * count, 0x00FFFFFFu);
    Dc_Handle dc(::CreateCompatibleDC(nullptr));
    std::uint32_t* bits = nullptr;
    Bitmap_Handle band = Top_Down_Dib_Section(width, count, &bits);
    if (!dc || !band) throw Failure(L"There is not enough memory to draw a band of the picture");
    {
        Select_Guard select(dc.get(), band.get());
        std::fill_n(bits, static_cast<std::size_t>(width) * count, 0x00FFFFFFu);
        ::SetViewportOrgEx(dc.get(), 0, -first, nullptr);
        Render(dc.get(), RECT{0, 0, width, height});
        ::GdiFlush();
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(width) * count; ++k) rows[k] = bits[k] & 0x00FFFFFFu;
}

Placement Place_On(const Picture& picture, const Page_Options& options, const RECT& target, int caption_height) {
    const SIZE size = picture.Pixel_Size();
    return Place_Picture(size.cx, size.cy, picture.Orientation_Tag(), options,
                         Box{target.left, target.top, target.right, target.bottom}, caption_height);
}

bool Draw_Placed(HDC dc, const Picture& picture, const Placement& given) {
    if (given.destination.Empty() || given.source.Empty()) return true;
    const SIZE own = picture.Pixel_Size();
    Placement placement = given;
    std::int64_t width = own.cx, height = own.cy;
    const bool swapped = Swaps_Sides(placement.orientation);
    const std::int64_t own_w = swapped ? own.cy : own.cx, own_h = swapped ? own.cx : own.cy;
    if (picture.Scalable()) {
        // Drawn at the size that puts its visible part pixel for pixel on
        // the destination; the source is measured again at that size.
        const Box& d = given.destination;
        const Box& s = given.source;
        const std::int64_t oriented_w = std::max<std::int64_t>(1, own_w * d.Width() / s.Width());
        const std::int64_t oriented_h = std::max<std::int64_t>(1, own_h * d.Height() / s.Height());
        width = swapped ? oriented_h : oriented_w;
        height = swapped ? oriented_w : oriented_h;
        placement.source = {static_cast<std::int32_t>(s.left * oriented_w / own_w),
                            static_cast<std::int32_t>(s.top * oriented_h / own_h),
                            static_cast<std::int32_t>(std::max<std::int64_t>(s.left * oriented_w / own_w + 1,
                                                                             s.right * oriented_w / own_w)),
                            static_cast<std::int32_t>(std::max<std::int64_t>(s.top * oriented_h / own_h + 1,
                                                                             s.bottom * oriented_h / own_h))};
    } else if (placement.orientation == 1 && placement.source == Box{0, 0, own.cx, own.cy}) {
        const Box& d = placement.destination;
        return picture.Render(dc, RECT{d.left, d.top, d.right, d.bottom});
    }
    if (width <= 0 || height <= 0) return true;

    const Box& source = placement.source;
    const Box& destination = placement.destination;
    const int orientation = placement.orientation;
    const std::int64_t oriented_w = swapped ? height : width, oriented_h = swapped ? width : height;
    // Stored (x, y) = origin + X * (x_dx, y_dx) + Y * (x_dy, y_dy) for oriented (X, Y).
    const Pixel_Map map = Map_Oriented_To_Stored(orientation, static_cast<std::int32_t>(width),
                                                 static_cast<std::int32_t>(height));
    const std::int64_t band_rows = std::clamp<std::int64_t>(Band_Bytes / (4 * width), 1, height);
    std::vector<std::uint32_t> stored(static_cast<std::size_t>(width * band_rows));
    std::vector<std::uint32_t> oriented;
    bool drawn = true;
    for (std::int64_t y0 = 0; y0 < height; y0 += band_rows) {
        const std::int64_t y1 = std::min(height, y0 + band_rows);
        // The stored band's place in the oriented picture: a band of rows,
        // or a band of columns when the sides swap, measured from the end
        // when the orientation runs that way.
        Box band{0, 0, static_cast<std::int32_t>(oriented_w), static_cast<std::int32_t>(oriented_h)};
        const bool from_end = swapped ? (map.y_dx < 0) : (map.y_dy < 0);
        const std::int64_t lo = from_end ? height - y1 : y0, hi = from_end ? height - y0 : y1;
        if (swapped) band.left = static_cast<std::int32_t>(lo), band.right = static_cast<std::int32_t>(hi);
        else band.top = static_cast<std::int32_t>(lo), band.bottom = static_cast<std::int32_t>(hi);
        const Box part{std::max(band.left, source.left), std::max(band.top, source.top),
                       std::min(band.right, source.right), std::min(band.bottom, source.bottom)};
        if (part.Empty()) continue;
        const Box slice{Slice_Edge(part.left, source.left, source.right, destination.left, destination.right),
                        Slice_Edge(part.top, source.top, source.bottom, destination.top, destination.bottom),
                        Slice_Edge(part.right, source.left, source.right, destination.left, destination.right),
                        Slice_Edge(part.bottom, source.top, source.bottom, destination.top, destination.bottom)};
        if (slice.Empty()) continue;

        picture.Read_Rows(static_cast<int>(width), static_cast<int>(height), static_cast<int>(y0),
                          static_cast<int>(y1 - y0), stored.data());
        oriented.resize(static_cast<std::size_t>(part.Width()) * part.Height());
        std::uint32_t* out = oriented.data();
        for (std::int32_t y = part.top; y < part.bottom; ++y) {
            std::int64_t sx = map.origin_x + std::int64_t{part.left} * map.x_dx + std::int64_t{y} * map.x_dy;
            std::int64_t sy = map.origin_y + std::int64_t{part.left} * map.y_dx + std::int64_t{y} * map.y_dy;
            for (std::int32_t x = part.left; x < part.right; ++x, sx += map.x_dx, sy += map.y_dx)
                *out++ = stored[static_cast<std::size_t>((sy - y0) * width + sx)];
        }
        drawn = Stretch_Band(dc, slice, oriented, part.Width(), part.Height()) && drawn;
    }
    return drawn;
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

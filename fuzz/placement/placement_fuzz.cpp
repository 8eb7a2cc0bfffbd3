// libFuzzer target: the placement of a picture whose stored size came from a
// hostile file (any 32-bit width and height, any Exif tag) on a page or a
// preview of any size, with every option: the placement, the decode that
// covers it and the bands it is drawn in must stay inside the picture and
// the page.  The input is 22 bytes: width, height, target right and bottom
// and caption height as 32-bit numbers, then the tag and the options.
#include <algorithm>
#include <cstring>

#include "../common/fuzz_support.h"
#include "picture/band_plan.h"
#include "picture/placement.h"

using velbrook::fuzz::Require;
using namespace velbrook;

namespace {

bool Inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t field[5] = {};
    std::memcpy(field, data, std::min(size, sizeof field));
    const std::uint8_t tag = size > 20 ? data[20] : 1, flags = size > 21 ? data[21] : 0;
    const std::int32_t width = field[0], height = field[1];
    // Pages and previews are a few tens of thousands of device pixels at
    // most; the target's corner is kept where a device could put it.
    const Box target{-1000, -1000, field[2] % (1 << 20), field[3] % (1 << 20)};
    const Page_Options options{.fit = static_cast<Fit_Mode>(flags % 3),
                               .turn_to_page = (flags & 4) != 0,
                               .camera_orientation = (flags & 8) != 0,
                               .print_file_names = (flags & 16) != 0};
    const Placement placement = Place_Picture(width, height, tag, options, target, field[4]);
    Require(placement.orientation >= 1 && placement.orientation <= 8, "an orientation");
    if (placement.destination.Empty()) return 0;
    Require(width > 0 && height > 0, "only a picture with pixels is drawn");
    Require(Inside(placement.destination, placement.picture_area), "drawn inside its area");
    Require(Inside(placement.picture_area, target), "the area inside the target");
    Require(placement.caption.Empty() || Inside(placement.caption, target), "the caption inside the target");
    const bool swapped = Swaps_Sides(placement.orientation);
    const Box oriented{0, 0, swapped ? height : width, swapped ? width : height};
    Require(!placement.source.Empty() && Inside(placement.source, oriented), "a visible part of the picture");
    const Cover_Size cover = Decode_Cover(width, height, placement);
    Require(cover.width >= 1 && cover.width <= width && cover.height >= 1 && cover.height <= height,
            "a decode no larger than the picture");
    // Bands of the decode as it would be held.
    const Placement held = Place_Picture(cover.width, cover.height, tag, options, target, field[4]);
    if (held.destination.Empty()) return 0;
    const std::int32_t rows = Band_Rows_For(cover.width, cover.height);
    Require(rows >= 1 && rows <= cover.height, "band rows inside the picture");
    // A forged count of bands would only cost time here.
    const std::int32_t band_rows = std::max(rows, cover.height / 4096 + 1);
    const auto bands = Plan_Bands(cover.width, cover.height, held, band_rows);
    std::int64_t last_end = 0;
    for (const Band_Slice& band : bands) {
        Require(band.first_row >= last_end && band.row_count >= 1 &&
                    std::int64_t{band.first_row} + band.row_count <= cover.height,
                "bands in stored order inside the picture");
        last_end = std::int64_t{band.first_row} + band.row_count;
        Require(!band.slice.Empty() && Inside(band.slice, held.destination), "each slice inside the destination");
    }
    return 0;
}

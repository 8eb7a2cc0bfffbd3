#include "picture/exif_orientation.h"

#include <optional>

#include "picture/jpeg_segments.h"
#include "picture/tiff_directory.h"

namespace velbrook {
namespace {

constexpr std::uint16_t Orientation_Tag = 0x0112;

int Orientation_In(std::span<const std::uint8_t> tiff) {
    const Read_At read = Read_From(tiff);
    const auto ifd0 = Tiff_Directory::Read_First(read);
    if (!ifd0) return 1;
    const auto value = ifd0->Number(Orientation_Tag, false);
    return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
}

}  // namespace

int Read_Exif_Orientation(std::span<const std::uint8_t> jpeg) {
    int orientation = 1;
    const Read_At read = Read_From(jpeg);
    Walk_Jpeg_Head(read, [&](const Jpeg_Segment& segment) {
        const auto block = Read_Exif_Block(read, segment);
        if (!block) return true;
        // The first Exif block alone counts, damaged or not.
        orientation = Orientation_In(*block);
        return false;
    });
    return orientation;
}

}  // namespace velbrook

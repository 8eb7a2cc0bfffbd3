#include "picture/exif_orientation.h"

#include <algorithm>
#include <optional>

namespace velbrook {
namespace {

constexpr std::uint16_t Orientation_Tag = 0x0112;
constexpr std::uint16_t Type_Short = 3;

// The TIFF structure inside the APP1 segment, in its own byte order.
class Tiff_Block {
public:
    explicit Tiff_Block(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Read_Byte_Order() {
        if (bytes_.size() < 8) return false;
        if (bytes_[0] == 'I' && bytes_[1] == 'I')
            big_endian_ = false;
        else if (bytes_[0] == 'M' && bytes_[1] == 'M')
            big_endian_ = true;
        else
            return false;
        return U16(2) == std::optional<std::uint16_t>(42);
    }
    std::optional<std::uint16_t> U16(std::uint64_t at) const {
        if (at > bytes_.size() || bytes_.size() - at < 2) return std::nullopt;
        const unsigned a = bytes_[at], b = bytes_[at + 1];
        return static_cast<std::uint16_t>(big_endian_ ? (a << 8 | b) : (b << 8 | a));
    }
    std::optional<std::uint32_t> U32(std::uint64_t at) const {
        const auto high = U16(at + (big_endian_ ? 0 : 2)), low = U16(at + (big_endian_ ? 2 : 0));
        if (!high || !low) return std::nullopt;
        return static_cast<std::uint32_t>(*high) << 16 | *low;
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool big_endian_ = false;
};

// IFD0 alone holds the tag; the chain of IFDs after it is never followed, so
// a loop of offsets cannot trap the reader.
int Orientation_In(std::span<const std::uint8_t> tiff) {
    Tiff_Block block(tiff);
    if (!block.Read_Byte_Order()) return 1;
    const auto ifd = block.U32(4);
    if (!ifd) return 1;
    const auto count = block.U16(*ifd);
    if (!count) return 1;
    for (std::uint64_t k = 0; k < *count; ++k) {
        const std::uint64_t entry = std::uint64_t{*ifd} + 2 + 12 * k;
        const auto tag = block.U16(entry);
        if (!tag) return 1;  // the directory runs past the block
        if (*tag != Orientation_Tag) continue;
        const auto type = block.U16(entry + 2);
        const auto values = block.U32(entry + 4);
        const auto value = block.U16(entry + 8);
        if (!type || !values || !value || *type != Type_Short || *values < 1) return 1;
        return *value >= 1 && *value <= 8 ? *value : 1;
    }
    return 1;
}

}  // namespace

int Read_Exif_Orientation(std::span<const std::uint8_t> jpeg) {
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return 1;
    std::size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (jpeg[at] != 0xFF) return 1;
        const std::uint8_t marker = jpeg[at + 1];
        if (marker == 0xFF) {  // fill bytes before a marker
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return 1;              // the scan or the end: no Exif before it
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
            at += 2;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || length > jpeg.size() - at - 2) return 1;
        const std::span<const std::uint8_t> segment = jpeg.subspan(at + 4, length - 2);
        static constexpr std::uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0};
        if (marker == 0xE1 && segment.size() >= sizeof exif &&
            std::equal(std::begin(exif), std::end(exif), segment.begin()))
            return Orientation_In(segment.subspan(sizeof exif));
        at += 2 + length;
    }
    return 1;
}

}  // namespace velbrook

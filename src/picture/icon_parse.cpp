#include "picture/icon_parse.h"

#include <algorithm>

#include "picture/byte_reader.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

// The DIB of one icon image: a colour bitmap of twice the icon's height (its
// lower half stands for the transparency mask) that fits in its entry.
void Check_Icon_Dib(const Byte_Reader& in, std::size_t at, std::size_t length) {
    if (length < 40 || in.U32(at) != 40) Invalid(L"an icon image has no bitmap header");
    const std::int64_t width = in.I32(at + 4), height = in.I32(at + 8);
    const unsigned planes = in.U16(at + 12), bits = in.U16(at + 14);
    if (width <= 0 || width > Max_Icon_Side || height <= 0 || height > 2 * Max_Icon_Side || height % 2 != 0)
        Invalid(L"an icon image has a wrong size");
    if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        Invalid(L"an icon image has an unsupported number of bits per pixel");
    if (in.U32(at + 16) != 0) Invalid(L"an icon image is compressed");
    const std::uint64_t used = in.U32(at + 32);
    const std::uint64_t colours = bits <= 8 ? (used ? used : 1u << bits) : 0;
    if (bits <= 8 && used > (1u << bits)) Invalid(L"an icon image's colour table is too long");
    const std::uint64_t rows = static_cast<std::uint64_t>(height / 2);
    const std::uint64_t colour_stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t mask_stride = (static_cast<std::uint64_t>(width) + 31) / 32 * 4;
    const std::uint64_t needed = 40 + colours * 4 + (colour_stride + mask_stride) * rows;
    // Some writers leave out the mask of a 32-bit image; the system accepts that.
    const std::uint64_t least = bits == 32 ? 40 + colour_stride * rows : needed;
    if (least > length) Invalid(L"an icon image is cut short");
}

}  // namespace

Icon_Image Parse_Icon(std::span<const std::uint8_t> bytes) {
    Byte_Reader in(bytes);
    if (bytes.size() < 6 || in.U16(0) != 0 || in.U16(2) != 1) Invalid(L"the icon header is missing");
    const unsigned count = in.U16(4);
    if (count == 0) Invalid(L"the icon file holds no image");
    in.Need(6, 16ull * count, L"the icon directory");
    std::size_t best = 0;
    long long best_score = -1;
    for (unsigned k = 0; k < count; ++k) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(k);
        const int w = in.U8(entry) ? in.U8(entry) : 256, h = in.U8(entry + 1) ? in.U8(entry + 1) : 256;
        const std::uint32_t length = in.U32(entry + 8), offset = in.U32(entry + 12);
        if (length == 0 || offset < 6 + 16ull * count || !in.Has(offset, length))
            Invalid(L"an icon image lies outside the file");
        // The most pixels first, then the most bits per pixel; the bits are
        // a 16-bit field that a damaged directory may fill with anything, so
        // they can never outweigh a pixel.
        const long long score = static_cast<long long>(w) * h * 65536 + in.U16(entry + 6);
        if (score > best_score) best_score = score, best = entry;
    }
    Icon_Image image;
    image.length = in.U32(best + 8);
    image.offset = in.U32(best + 12);
    image.width = in.U8(best) ? in.U8(best) : 256;
    image.height = in.U8(best + 1) ? in.U8(best + 1) : 256;
    static constexpr std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const std::uint8_t* start = bytes.data() + image.offset;
    image.png = image.length >= 8 && std::equal(png, png + 8, start);
    if (image.png) {
        if (image.length < 24) Invalid(L"an icon image is cut short");
    } else {
        Check_Icon_Dib(in, image.offset, image.length);
        image.width = in.I32(image.offset + 4);
        image.height = in.I32(image.offset + 8) / 2;
    }
    return image;
}

}  // namespace velbrook

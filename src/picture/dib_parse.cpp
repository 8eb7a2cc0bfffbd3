#include "picture/dib_parse.h"

#include <algorithm>
#include <bit>
#include <string>

#include "picture/byte_reader.h"

namespace velbrook {
namespace {

constexpr std::uint32_t Bi_Rgb = 0, Bi_Rle8 = 1, Bi_Rle4 = 2, Bi_Bitfields = 3;
constexpr std::size_t File_Header = 14;
constexpr std::size_t Core_Header = 12;
constexpr std::size_t Info_Header = 40;

[[noreturn]] void Invalid(const wchar_t* reason) { throw Invalid_Picture(reason); }

void Put_U16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put_U32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put_U16(out, value & 0xFFFF);
    Put_U16(out, value >> 16);
}

std::uint64_t Stride(std::uint64_t width, unsigned bits) { return (width * bits + 31) / 32 * 4; }

// A mask must be one run of bits, inside the pixel, and share none with the
// others; GDI's behaviour for anything else is undefined.
void Check_Masks(const std::uint32_t (&masks)[3], unsigned bits) {
    std::uint32_t seen = 0;
    for (std::uint32_t mask : masks) {
        if (mask == 0) Invalid(L"a colour mask is empty");
        if (bits == 16 && mask > 0xFFFF) Invalid(L"a colour mask is wider than the pixel");
        std::uint32_t shifted = mask >> std::countr_zero(mask);
        if ((shifted & (shifted + 1)) != 0) Invalid(L"a colour mask is not one run of bits");
        if (seen & mask) Invalid(L"two colour masks overlap");
        seen |= mask;
    }
}

// Expands RLE8 or RLE4 data into bottom-up 8-bit rows.  Pixels that a delta
// or an early end of line skips keep colour index 0.
std::vector<std::uint8_t> Expand_Rle(std::span<const std::uint8_t> data, int width, int height, bool four_bits) {
    const std::size_t stride = static_cast<std::size_t>(Stride(static_cast<std::uint64_t>(width), 8));
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height));
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint8_t index) {
        if (x < width && y < height) rows[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] = index;
        ++x;
    };
    std::size_t at = 0;
    for (;;) {
        if (data.size() - at < 2) {
            // Some writers stop after the last row without the end marker.
            if (y >= height || (y == height - 1 && x >= width)) return rows;
            Invalid(L"the compressed pixels end before the picture is complete");
        }
        const std::uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < width; ++k)
                put(four_bits ? static_cast<std::uint8_t>(k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++y;
                break;
            case 1:  // end of bitmap
                return rows;
            case 2: {  // delta
                if (data.size() - at < 2) Invalid(L"a compressed move lies past the end of the file");
                x = std::min<std::int64_t>(x + data[at], width);
                y = std::min<std::int64_t>(y + data[at + 1], height);
                at += 2;
                break;
            }
            default: {  // a literal run of `value` pixels, padded to a 16-bit boundary
                const std::size_t bytes = four_bits ? (value + 1u) / 2 : value;
                const std::size_t padded = (bytes + 1) & ~std::size_t{1};
                if (data.size() - at < bytes) Invalid(L"a run of pixels lies past the end of the file");
                for (int k = 0; k < value; ++k) {
                    const std::uint8_t byte = data[at + (four_bits ? k / 2 : k)];
                    put(four_bits ? static_cast<std::uint8_t>(k % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
                }
                at += std::min(padded, data.size() - at);
                break;
            }
        }
        if (y > height) Invalid(L"the compressed pixels run past the last row");
    }
}

}  // namespace

Dib_Image Parse_Bmp(std::span<const std::uint8_t> file, std::uint64_t max_bytes) {
    Byte_Reader in(file);
    if (file.size() < File_Header + Core_Header) Invalid(L"the file is too short for a bitmap");
    if (file[0] != 'B' || file[1] != 'M') Invalid(L"the file does not begin with a bitmap signature");
    const std::uint32_t pixel_offset = in.U32(10);
    const std::uint32_t header_size = in.U32(14);
    if (header_size != Core_Header && header_size != 40 && header_size != 52 && header_size != 56 &&
        header_size != 108 && header_size != 124)
        Invalid(L"the bitmap header has an unknown size");
    in.Need(File_Header, header_size, L"the bitmap header");

    const bool core = header_size == Core_Header;
    std::int64_t width, signed_height;
    unsigned planes, bits;
    std::uint32_t compression = Bi_Rgb, image_size = 0, colours_used = 0;
    if (core) {
        width = in.U16(18);
        signed_height = in.U16(20);
        planes = in.U16(22);
        bits = in.U16(24);
    } else {
        width = in.I32(18);
        signed_height = in.I32(22);
        planes = in.U16(26);
        bits = in.U16(28);
        compression = in.U32(30);
        image_size = in.U32(34);
        colours_used = in.U32(46);
    }
    if (planes != 1) Invalid(L"the bitmap does not have exactly one plane");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Invalid(L"the bitmap has an unsupported number of bits per pixel");
    if (core && (bits == 16 || bits == 32)) Invalid(L"an OS/2 bitmap has an unsupported number of bits per pixel");
    const bool top_down = signed_height < 0;
    const std::int64_t height = top_down ? -signed_height : signed_height;
    if (width <= 0 || height <= 0) Invalid(L"the bitmap has no pixels");
    switch (compression) {
        case Bi_Rgb:
            break;
        case Bi_Rle8:
            if (bits != 8 || top_down) Invalid(L"run-length compression does not fit the bitmap");
            break;
        case Bi_Rle4:
            if (bits != 4 || top_down) Invalid(L"run-length compression does not fit the bitmap");
            break;
        case Bi_Bitfields:
            if (bits != 16 && bits != 32) Invalid(L"colour masks do not fit the bitmap");
            break;
        default:
            Invalid(L"the bitmap's compression is not supported");
    }
    const unsigned out_bits = compression == Bi_Rle8 || compression == Bi_Rle4 ? 8 : bits;
    const std::uint64_t out_stride = Stride(static_cast<std::uint64_t>(width), out_bits);
    if (out_stride > max_bytes / static_cast<std::uint64_t>(height))
        Invalid(L"the bitmap is larger than the program can hold");
    const bool compressed = compression == Bi_Rle8 || compression == Bi_Rle4;
    if (compressed && out_stride > Max_Rle_Bytes / static_cast<std::uint64_t>(height))
        Invalid(L"the compressed bitmap claims more pixels than any real one holds");

    // The masks follow a 40-byte header and lie inside every later one.
    std::size_t table_at = File_Header + header_size;
    std::uint32_t masks[3] = {};
    if (compression == Bi_Bitfields) {
        std::size_t masks_at = File_Header + Info_Header;
        if (header_size == Info_Header) table_at += 12;
        for (int k = 0; k < 3; ++k) masks[k] = in.U32(masks_at + 4 * static_cast<std::size_t>(k));
        Check_Masks(masks, bits);
    }

    // The colour table: needed for 8 bits or fewer, allowed (and skipped) above.
    const std::uint64_t palette_limit = bits <= 8 ? 1u << bits : 256u;
    std::uint64_t colours = colours_used;
    if (colours > palette_limit) Invalid(L"the bitmap's colour table is too long");
    const std::size_t entry_size = core ? 3 : 4;
    if (bits <= 8 && colours == 0) colours = palette_limit;
    // An OS/2 header cannot say how many colours it has; writers store fewer
    // than the bits allow and point the pixel offset behind them.
    if (core && bits <= 8 && pixel_offset >= table_at)
        colours = std::min<std::uint64_t>(colours, (pixel_offset - table_at) / entry_size);
    // A count of 0 in the header we hand on means "as many as the bits
    // allow", and GDI would read that many entries behind it.
    if (bits <= 8 && colours == 0) Invalid(L"the bitmap has no colour table");
    in.Need(table_at, colours * entry_size, L"the colour table");
    const std::uint64_t table_end = table_at + colours * entry_size;
    if (pixel_offset < table_end || pixel_offset > file.size())
        Invalid(L"the bitmap's pixel offset does not point behind its headers");

    Dib_Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    const std::uint64_t available = file.size() - pixel_offset;
    if (compression == Bi_Rle8 || compression == Bi_Rle4) {
        if (image_size > available) Invalid(L"the compressed pixels lie past the end of the file");
        const std::uint64_t length = image_size ? image_size : available;
        image.bits = Expand_Rle(in.Slice(pixel_offset, length, L"the compressed pixels"), image.width, image.height,
                                compression == Bi_Rle4);
    } else {
        const std::uint64_t length =
            Stride(static_cast<std::uint64_t>(width), bits) * static_cast<std::uint64_t>(height);
        auto pixels = in.Slice(pixel_offset, length, L"the bitmap's pixels");
        image.bits.assign(pixels.begin(), pixels.end());
    }

    const bool palette = bits <= 8;
    Put_U32(image.info, Info_Header);
    Put_U32(image.info, static_cast<std::uint32_t>(width));
    Put_U32(image.info, static_cast<std::uint32_t>(top_down ? -height : height));
    Put_U16(image.info, 1);
    Put_U16(image.info, out_bits);
    Put_U32(image.info, compression == Bi_Bitfields ? Bi_Bitfields : Bi_Rgb);
    Put_U32(image.info, static_cast<std::uint32_t>(image.bits.size()));
    Put_U32(image.info, 0);
    Put_U32(image.info, 0);
    Put_U32(image.info, palette ? static_cast<std::uint32_t>(colours) : 0);
    Put_U32(image.info, 0);
    if (compression == Bi_Bitfields) {
        for (std::uint32_t mask : masks) Put_U32(image.info, mask);
    } else if (palette) {
        for (std::uint64_t k = 0; k < colours; ++k) {
            const std::size_t at = static_cast<std::size_t>(table_at + k * entry_size);
            image.info.push_back(file[at]);
            image.info.push_back(file[at + 1]);
            image.info.push_back(file[at + 2]);
            image.info.push_back(0);
        }
    }
    return image;
}

}  // namespace velbrook

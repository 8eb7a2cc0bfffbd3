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

Bmp_Layout Parse_Bmp_Header(std::span<const std::uint8_t> head, std::uint64_t file_size, std::uint64_t max_bytes) {
    Byte_Reader in(head);
    if (file_size < File_Header + Core_Header) Invalid(L"the file is too short for a bitmap");
    // Every field read below lies in the first Bmp_Head_Bytes: a head shorter
    // than that and than the file means the file shrank while it was read.
    if (head.size() < std::min<std::uint64_t>(file_size, Bmp_Head_Bytes)) Invalid(L"the file ends inside its headers");
    if (head[0] != 'B' || head[1] != 'M') Invalid(L"the file does not begin with a bitmap signature");
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
    if (pixel_offset < table_end || pixel_offset > file_size)
        Invalid(L"the bitmap's pixel offset does not point behind its headers");

    Bmp_Layout layout;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.top_down = top_down;
    layout.compressed = compressed;
    layout.four_bit_runs = compression == Bi_Rle4;
    layout.pixel_offset = pixel_offset;
    layout.stride = Stride(static_cast<std::uint64_t>(width), bits);
    layout.head_bytes = static_cast<std::size_t>(table_end);
    const std::uint64_t available = file_size - pixel_offset;
    if (compressed) {
        if (image_size > available) Invalid(L"the compressed pixels lie past the end of the file");
        layout.data_bytes = image_size ? image_size : available;
    } else {
        layout.data_bytes = layout.stride * static_cast<std::uint64_t>(height);
        if (layout.data_bytes > available) Invalid(L"the bitmap's pixels lie past the end of the file");
    }

    const bool palette = bits <= 8;
    std::vector<std::uint8_t>& info = layout.info;
    Put_U32(info, Info_Header);
    Put_U32(info, static_cast<std::uint32_t>(width));
    Put_U32(info, static_cast<std::uint32_t>(top_down ? -height : height));
    Put_U16(info, 1);
    Put_U16(info, out_bits);
    Put_U32(info, compression == Bi_Bitfields ? Bi_Bitfields : Bi_Rgb);
    Put_U32(info, static_cast<std::uint32_t>(out_stride * static_cast<std::uint64_t>(height)));
    Put_U32(info, 0);
    Put_U32(info, 0);
    Put_U32(info, palette ? static_cast<std::uint32_t>(colours) : 0);
    Put_U32(info, 0);
    if (compression == Bi_Bitfields) {
        for (std::uint32_t mask : masks) Put_U32(info, mask);
    } else if (palette) {
        for (std::uint64_t k = 0; k < colours; ++k) {
            const std::size_t at = static_cast<std::size_t>(table_at + k * entry_size);
            info.push_back(head[at]);
            info.push_back(head[at + 1]);
            info.push_back(head[at + 2]);
            info.push_back(0);
        }
    }
    return layout;
}

Dib_Image Parse_Bmp(std::span<const std::uint8_t> file, std::uint64_t max_bytes) {
    Bmp_Layout layout = Parse_Bmp_Header(file.first(std::min(file.size(), Bmp_Head_Bytes)), file.size(), max_bytes);
    Dib_Image image;
    image.width = layout.width;
    image.height = layout.height;
    const std::span<const std::uint8_t> data =
        file.subspan(static_cast<std::size_t>(layout.pixel_offset), static_cast<std::size_t>(layout.data_bytes));
    if (layout.compressed)
        image.bits = Expand_Rle(data, image.width, image.height, layout.four_bit_runs);
    else
        image.bits.assign(data.begin(), data.end());
    image.info = std::move(layout.info);
    return image;
}

std::int32_t Bmp_Sample(std::int64_t index, std::int32_t step, std::int32_t count) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(count - 1, index * step + step / 2));
}

std::int32_t Bmp_Sampled_Count(std::int32_t count, std::int32_t step) {
    return static_cast<std::int32_t>((std::int64_t{count} + step - 1) / step);
}

std::int32_t Bmp_Step_For(std::int32_t width, std::int32_t height, std::int32_t cover_w, std::int32_t cover_h) {
    if (cover_w <= 0 || cover_h <= 0) return 1;
    return static_cast<std::int32_t>(
        std::max<std::int64_t>(1, std::min(width / (2 * std::int64_t{cover_w}), height / (2 * std::int64_t{cover_h}))));
}

std::vector<Bmp_Read> Plan_Bmp_Reads(const Bmp_Layout& layout, std::int32_t step, std::int32_t first,
                                     std::int32_t count) {
    std::vector<Bmp_Read> reads;
    const auto at = [&](std::int64_t stored_row) {
        const std::int64_t in_file = layout.top_down ? stored_row : layout.height - 1 - stored_row;
        return layout.pixel_offset + static_cast<std::uint64_t>(in_file) * layout.stride;
    };
    if (count <= 0) return reads;
    if (step == 1) {
        // The band's rows are one run of the file, its last row first when
        // the file stores the bottom row first.
        reads.push_back({at(layout.top_down ? first : std::int64_t{first} + count - 1), count, 0});
        return reads;
    }
    for (std::int32_t k = 0; k < count; ++k)
        reads.push_back(
            {at(Bmp_Sample(std::int64_t{first} + k, step, layout.height)), 1, layout.top_down ? k : count - 1 - k});
    return reads;
}

}  // namespace velbrook

// libFuzzer target: any bytes through the bitmap file checks; what they
// accept must be a DIB that StretchDIBits can draw without reading past its
// buffers, and the headers read alone must accept and refuse alike.  A
// broken invariant aborts, which the fuzzer reports.
#include <algorithm>
#include <optional>

#include "../common/fuzz_support.h"
#include "picture/dib_parse.h"
#include "toolkit/failure.h"

using velbrook::fuzz::Require;

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A lower ceiling than the program's keeps each input fast; the check
    // against it is the same.
    constexpr std::uint64_t budget = 2u * 1024 * 1024;
    // The headers alone, as a bitmap read a band at a time from its file is
    // checked: from the first bytes and the file's size.
    std::optional<velbrook::Bmp_Layout> layout;
    try {
        layout = velbrook::Parse_Bmp_Header({data, std::min(size, velbrook::Bmp_Head_Bytes)}, size, budget);
        Require(layout->pixel_offset + layout->data_bytes <= size, "rows inside the file");
        Require(layout->head_bytes <= layout->pixel_offset, "headers before the rows");
        Require(layout->compressed || layout->data_bytes == layout->stride * static_cast<std::uint64_t>(layout->height),
                "every row in the file");
    } catch (const velbrook::Invalid_Picture&) {
    }
    velbrook::Dib_Image image;
    try {
        image = velbrook::Parse_Bmp({data, size}, budget);
    } catch (const velbrook::Invalid_Picture&) {
        // Only expanding compressed rows can refuse what the headers passed.
        Require(!layout || layout->compressed, "the headers and the whole file agree");
        return 0;
    }
    Require(layout && layout->info == image.info, "the headers alone give the same header");
    Require(image.width >= 1 && image.height >= 1, "a picture has pixels");
    Require(image.info.size() >= 40, "a whole info header");
    Require(U32(image.info, 0) == 40, "info header size");
    Require(static_cast<std::int32_t>(U32(image.info, 4)) == image.width, "info width");
    const auto info_height = static_cast<std::int32_t>(U32(image.info, 8));
    Require(info_height == image.height || info_height == -image.height, "info height");
    const std::uint32_t planes_and_bits = U32(image.info, 12);
    const std::uint32_t bits = planes_and_bits >> 16, compression = U32(image.info, 16);
    Require((planes_and_bits & 0xFFFF) == 1, "one plane");
    Require(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32, "bit count");
    Require(compression == 0 || (compression == 3 && (bits == 16 || bits == 32)), "compression GDI draws");
    const std::uint32_t colours = U32(image.info, 32);
    Require(bits <= 8 ? colours >= 1 && colours <= (1u << bits) : colours == 0, "colour count");
    Require(image.info.size() == 40 + (compression == 3 ? 12 : 4 * std::size_t{colours}), "colour table size");
    // What the system reads for the rows.
    const std::uint64_t stride = (static_cast<std::uint64_t>(image.width) * bits + 31) / 32 * 4;
    Require(image.bits.size() == stride * static_cast<std::uint64_t>(image.height), "rows fill the buffer");
    Require(image.bits.size() <= budget, "rows within the ceiling");
    return 0;
}

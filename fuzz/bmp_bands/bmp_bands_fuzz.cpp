// libFuzzer target: any bytes as a big bitmap read in bands from its file:
// the headers checked from its first bytes, then every band's reads planned
// for a place (its size and the band height from the last bytes).  Every
// read must lie among the rows the file holds, and the reads of a band must
// fill each of its slots once.
#include <algorithm>
#include <vector>

#include "../common/fuzz_support.h"
#include "picture/dib_parse.h"
#include "toolkit/failure.h"

using velbrook::fuzz::Require;
using namespace velbrook;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bmp_Layout layout;
    try {
        layout = Parse_Bmp_Header({data, std::min(size, Bmp_Head_Bytes)}, size);
    } catch (const Invalid_Picture&) {
        return 0;
    }
    if (layout.compressed) return 0;  // expanded whole, never read in bands
    Require(layout.width >= 1 && layout.height >= 1, "a picture has pixels");
    Require(layout.pixel_offset + layout.data_bytes <= size, "rows inside the file");
    const std::uint8_t* tail = data + size - std::min<std::size_t>(size, 4);
    const std::int32_t cover_w = size >= 4 ? (tail[0] | tail[1] << 8) - 100 : 0;
    const std::int32_t cover_h = size >= 4 ? tail[2] - 16 : 0;
    const std::int32_t band = size >= 4 ? 1 + tail[3] % 37 : 5;
    const std::int32_t step = Bmp_Step_For(layout.width, layout.height, cover_w, cover_h);
    Require(step >= 1 && step <= std::max(layout.width, layout.height), "a step inside the picture");
    const std::int32_t rows = Bmp_Sampled_Count(layout.height, step);
    Require(rows >= 1 && rows <= layout.height, "sampled rows");
    Require(Bmp_Sampled_Count(layout.width, step) >= 1, "sampled columns");
    const std::uint64_t end = layout.pixel_offset + layout.data_bytes;
    std::vector<int> filled;
    for (std::int32_t first = 0; first < rows; first += band) {
        const std::int32_t count = std::min(band, rows - first);
        filled.assign(static_cast<std::size_t>(count), 0);
        for (const Bmp_Read& read : Plan_Bmp_Reads(layout, step, first, count)) {
            Require(read.rows >= 1 && read.slot >= 0 && read.slot + read.rows <= count, "a read inside its band");
            Require(read.offset >= layout.pixel_offset, "a read after the headers");
            Require(read.offset + std::uint64_t(read.rows) * layout.stride <= end, "a read among the rows");
            for (std::int32_t k = 0; k < read.rows; ++k) ++filled[static_cast<std::size_t>(read.slot + k)];
        }
        Require(std::all_of(filled.begin(), filled.end(), [](int n) { return n == 1; }), "every slot filled once");
    }
    return 0;
}

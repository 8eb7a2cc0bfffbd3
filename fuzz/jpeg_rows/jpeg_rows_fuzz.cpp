// libFuzzer target: any bytes as a JPEG read in bands, the way a page reads
// a big one: the marker walk that admits it, then its rows in bands of a
// few at one of the scales (chosen by the last byte).  Every row must come
// out, whatever the data; a file of too many scans is never decoded past
// the limit.
#include <algorithm>
#include <vector>

#include "../common/fuzz_support.h"
#include "picture/jpeg_decode.h"
#include "picture/jpeg_rows.h"
#include "toolkit/failure.h"

using velbrook::fuzz::Require;
using namespace velbrook;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    Span_Source walk(bytes);
    const Jpeg_Markers markers = Walk_Jpeg_Markers(walk);
    const int pick = size > 0 ? data[size - 1] % 4 : 0;
    Span_Source source(bytes);
    try {
        Jpeg_Rows rows(source, pick == 0 ? 0 : 1 + 997 / pick, pick == 0 ? 0 : 1 + 613 / pick);
        Require(rows.Width() >= 1 && rows.Height() >= 1, "rows of a size");
        Require(rows.Width() <= rows.Stored_Width() && rows.Height() <= rows.Stored_Height(), "never enlarged");
        // Keep each input fast: huge forged sizes give only grey here.
        if (std::uint64_t(rows.Width()) * std::uint64_t(rows.Height()) > 1u << 20) return 0;
        const std::size_t stride = static_cast<std::size_t>(rows.Width()) * 3;
        std::vector<std::uint8_t> band(stride * 7);
        while (rows.Next_Row() < rows.Height()) {
            const int before = rows.Next_Row();
            const int count = std::min(7, rows.Height() - before);
            rows.Read(band.data(), stride, count);
            Require(rows.Next_Row() == before + count, "every row read comes out");
        }
        // The marker walk refuses such a file; read in bands anyway, no scan
        // past the limit is decoded.
        if (markers == Jpeg_Markers::Too_Many_Scans)
            Require(rows.Damaged() || rows.Scans_Read() <= Max_Jpeg_Scans, "too many scans stop the decoder");
    } catch (const Invalid_Picture&) {}
    return 0;
}

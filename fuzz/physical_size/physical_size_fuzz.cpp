// libFuzzer target: any bytes through the physical-size reader, once over
// the bytes in memory and once through a reader that hands them over a few
// at a time, as a file read at offsets may.  Both must give the same
// answer, and any answer a size within bounds and resolutions within
// theirs; AddressSanitizer watches the exact-size copy libFuzzer hands over.
#include <algorithm>
#include <cstring>

#include "../common/fuzz_support.h"
#include "picture/physical_size.h"

using velbrook::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto whole = velbrook::Read_Physical_Size({data, size});
    if (whole) {
        Require(whole->width >= 1 && whole->width <= 1'000'000, "a width within bounds");
        Require(whole->height >= 1 && whole->height <= 1'000'000, "a height within bounds");
        for (double dots : {whole->dots_x, whole->dots_y})
            Require(dots >= velbrook::Least_Dots_Per_Inch && dots <= velbrook::Most_Dots_Per_Inch,
                    "a resolution within bounds");
    }
    // Pieces of one to five bytes, their sizes changing with the offset, so
    // that the fields of every header are split in different places.
    const velbrook::Read_At in_pieces = [&](std::uint64_t offset, std::span<std::uint8_t> into) -> std::size_t {
        if (offset >= size) return 0;
        const std::size_t at = static_cast<std::size_t>(offset);
        const std::size_t piece = std::min({into.size(), size - at, static_cast<std::size_t>(1 + (at * 7 + size) % 5)});
        std::memcpy(into.data(), data + at, piece);
        return piece;
    };
    Require(velbrook::Read_Physical_Size(in_pieces) == whole, "pieces and the whole bytes agree");
    return 0;
}

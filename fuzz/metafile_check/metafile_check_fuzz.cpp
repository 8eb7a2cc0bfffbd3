// libFuzzer target: any bytes through both metafile checks.  What they pass
// is walked again here, record by record, the way a player walks it: every
// record must lie inside the bytes handed over, and the walk must end on the
// end record.
#include "../common/fuzz_support.h"
#include "picture/metafile_check.h"
#include "picture/metafile_records.h"
#include "toolkit/failure.h"

using velbrook::fuzz::Require;

namespace {

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
    Require(at + 4 <= bytes.size(), "a field inside the bytes");
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void Walk_Emf(std::span<const std::uint8_t> file, std::span<const std::uint8_t> metafile) {
    Require(metafile.data() == file.data() && metafile.size() <= file.size(), "the metafile is the file's start");
    Require(U32(metafile, 48) == metafile.size(), "the size the header claims");
    const auto side = [&](std::size_t low, std::size_t high) {
        return std::int64_t{static_cast<std::int32_t>(U32(metafile, high))} -
               static_cast<std::int32_t>(U32(metafile, low));
    };
    Require(side(24, 32) >= 1 && side(24, 32) <= velbrook::Max_Metafile_Frame && side(28, 36) >= 1 &&
                side(28, 36) <= velbrook::Max_Metafile_Frame,
            "a frame of a size a page can take");
    std::size_t at = 0;
    std::uint32_t type = 0, records = 0;
    while (at < metafile.size()) {
        type = U32(metafile, at);
        const std::uint32_t size = U32(metafile, at + 4);
        Require(size >= 8 && size % 4 == 0 && size <= metafile.size() - at, "a record inside the metafile");
        at += size;
        ++records;
    }
    Require(type == 14, "ends on the end record");
    Require(records == U32(metafile, 52), "as many records as the header counts");
}

void Walk_Wmf(std::span<const std::uint8_t> file, const velbrook::Checked_Wmf& checked) {
    const std::span<const std::uint8_t> metafile = checked.metafile;
    const std::size_t start = static_cast<std::size_t>(metafile.data() - file.data());
    Require(start == (checked.frame ? 22u : 0u), "the metafile starts behind the placeable header");
    Require(start + metafile.size() <= file.size(), "the metafile inside the file");
    if (checked.frame) {
        Require(checked.frame->right > checked.frame->left && checked.frame->bottom > checked.frame->top,
                "a frame with a size");
        Require(checked.frame->units_per_inch > 0, "units per inch");
        Require((std::int64_t{checked.frame->right} - checked.frame->left) * 2540 / checked.frame->units_per_inch <=
                    velbrook::Max_Metafile_Frame,
                "a frame of a size a page can take");
    }
    Require(2ull * U32(metafile, 6) == metafile.size(), "the size the header claims");
    std::size_t at = 18;
    for (;;) {
        const std::uint64_t words = U32(metafile, at);
        Require(words >= 3 && words * 2 <= metafile.size() - at, "a record inside the metafile");
        Require(words <= U32(metafile, 12), "no record larger than the header says");
        const bool end = metafile[at + 4] == 0 && metafile[at + 5] == 0;
        at += static_cast<std::size_t>(words * 2);
        if (end) break;
    }
    Require(at == metafile.size(), "the end record ends the metafile");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    try {
        Walk_Emf(file, velbrook::Check_Emf(file));
    } catch (const velbrook::Invalid_Picture&) {}
    try {
        Walk_Wmf(file, velbrook::Check_Wmf(file));
    } catch (const velbrook::Invalid_Picture&) {}
    return 0;
}

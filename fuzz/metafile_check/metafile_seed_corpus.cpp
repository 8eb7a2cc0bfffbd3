// seed_metafile_check DIR: writes the metafile fuzzer's seed corpus:
// enhanced metafiles with and without a description and end-record palette,
// Windows metafiles placeable (right and wrong checksum) and not; records
// that carry bitmaps, points and text, sound and pointing outside
// themselves; a frame from INT_MIN to INT_MAX, and one 280 m tall.
#include <climits>

#include "../common/fuzz_support.h"
#include "support/metafile_writer.h"

using namespace velbrook::test;

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_metafile_check");
    Emf_Spec emf{.records = Emf_Filled_Rectangle(0xFFFF00)};
    seeds.Write("rectangle.emf", Build_Emf(emf));
    emf.description = std::u16string(u"Velbrook\0seed\0\0", 15);
    emf.eof_palette = {0x00102030, 0x00405060, 0x00708090};
    seeds.Write("described.emf", Build_Emf(emf));
    emf.records.clear();
    seeds.Write("empty.emf", Build_Emf(emf));
    Wmf_Spec wmf{.records = Wmf_Filled_Rectangle(0x0080FF)};
    seeds.Write("placeable.wmf", Build_Wmf(wmf));
    wmf.right_checksum = false;
    seeds.Write("wrong-checksum.wmf", Build_Wmf(wmf));
    wmf.placeable = false;
    seeds.Write("plain.wmf", Build_Wmf(wmf));
    wmf.records.clear();
    seeds.Write("empty.wmf", Build_Wmf(wmf));
    // A stretch of DIB bits carrying a 2 x 2 24-bit bitmap after its fields:
    // header at 80, rows at 120.
    std::vector<std::uint32_t> stretch_dib(18 + 14, 0);
    stretch_dib[10] = 80, stretch_dib[11] = 40, stretch_dib[12] = 120, stretch_dib[13] = 16;
    const std::uint32_t header[] = {40, 2, 2, 1 | 24 << 16, 0, 16};
    std::copy(std::begin(header), std::end(header), stretch_dib.begin() + 18);
    const std::vector<Emf_Record> carrying = {
        {81, stretch_dib},
        {87, {0, 0, 10, 10, 2, 0, 0x00050005}},
        {91, {0, 0, 10, 10, 2, 6, 3, 3, 0, 1, 2, 3, 4, 5}},
        {84, {0, 0, 9, 9, 1, 0, 0, 0, 0, 2, 76, 0, 0, 0, 9, 9, 80, 0x00420041, 5, 5}},
        {106, {0, 0}},
    };
    seeds.Write("records.emf", Build_Emf({.records = carrying}));
    std::vector<std::uint32_t> outside = stretch_dib;
    outside[12] = 0xFFFFFFF0;
    seeds.Write("bitmap-outside.emf", Build_Emf({.records = {{81, outside}}}));
    seeds.Write("huge-frame.emf", Build_Emf({.frame = {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, .records = carrying}));
    // 1 mm wide and 280 m tall, in hundredths of a millimetre.
    seeds.Write("tall-frame.emf", Build_Emf({.frame = {0, 0, 100, 28000000}, .records = carrying}));
    const std::vector<std::uint16_t> dib = {40, 0, 2, 0, 2, 0, 1, 24, 0, 0, 16, 0, 0, 0,
                                            0,  0, 0, 0, 0, 0, 1, 2,  3, 4, 5,  6, 7, 8};
    std::vector<std::uint16_t> stretch(11, 0);
    stretch.insert(stretch.end(), dib.begin(), dib.end());
    wmf = {.records = Wmf_Filled_Rectangle(0x0080FF)};
    wmf.records.push_back({0x0F43, stretch});
    wmf.records.push_back({0x0324, {3, 0, 0, 5, 5, 0, 5}});
    wmf.records.push_back({0x0A32, {0, 0, 4, 4, 0, 0, 9, 9, 0x4241, 0x4443}});
    wmf.records.push_back({0x0626, {1, 0}});
    seeds.Write("records.wmf", Build_Wmf(wmf));
    stretch.resize(stretch.size() - 6);
    wmf.records.push_back({0x0F43, stretch});
    seeds.Write("bitmap-outside.wmf", Build_Wmf(wmf));
    wmf.units_per_inch = 1;
    wmf.frame[0] = -32768, wmf.frame[2] = 32767;
    seeds.Write("huge-frame.wmf", Build_Wmf(wmf));
    return 0;
}

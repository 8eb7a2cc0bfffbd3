// seed_bmp_bands DIR: writes the banded bitmap reader's seed corpus: both
// row orders at every depth, tall and wide ones that a small place reads
// every few rows, one cut short of its rows, and forged headers (a height of
// two thousand million rows in a few bytes, a row offset past the end).
#include "../common/fuzz_support.h"
#include "support/bmp_writer.h"

using namespace velbrook::test;

namespace {

void Poke32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) bytes.at(at + static_cast<std::size_t>(k)) = static_cast<std::uint8_t>(v >> (8 * k));
}

}  // namespace

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_bmp_bands");
    const int sizes[][2] = {{7, 5}, {3, 200}, {300, 2}, {64, -64}};
    for (std::uint16_t bits : {1, 4, 8, 24, 32}) {
        for (const auto& size : sizes) {
            Bmp_Spec spec{.width = size[0], .height = size[1], .bits = bits};
            if (bits <= 8) spec.palette = Spread_Palette(std::size_t{1} << bits);
            spec.pixels = Patterned_Rows(spec.width, spec.height, bits);
            seeds.Write(
                "b" + std::to_string(bits) + "-" + std::to_string(size[0]) + "x" + std::to_string(size[1]) + ".bmp",
                Build_Bmp(spec));
        }
    }
    Bmp_Spec spec{.width = 40, .height = 30};
    spec.pixels = Patterned_Rows(spec.width, spec.height, spec.bits);
    std::vector<std::uint8_t> whole = Build_Bmp(spec);
    seeds.Write("cut.bmp", std::vector(whole.begin(), whole.end() - 100));
    std::vector<std::uint8_t> tall = whole;
    Poke32(tall, 22, 0x7FFFFFFF);
    seeds.Write("forged-height.bmp", tall);
    std::vector<std::uint8_t> wide = whole;
    Poke32(wide, 18, 0x7FFFFFFF);
    seeds.Write("forged-width.bmp", wide);
    std::vector<std::uint8_t> offset = whole;
    Poke32(offset, 10, 0xFFFFFFF0);
    seeds.Write("rows-past-the-end.bmp", offset);
    return 0;
}

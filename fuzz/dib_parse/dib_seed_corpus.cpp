// seed_dib_parse DIR: writes the bitmap fuzzer's seed corpus: every header
// kind, bit count, palette size, compression, and both row orders.
#include "../common/fuzz_support.h"
#include "support/bmp_writer.h"

using namespace velbrook::test;

namespace {

// Runs of `width` pixels coded as RLE: per row an encoded run, a literal run
// and an end of line; a move in the middle row; the end of the bitmap.
std::vector<std::uint8_t> Rle_Rows(int width, int height, bool four_bits) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < height; ++y) {
        const int run = width / 2, literal = width - run;
        out.insert(out.end(), {static_cast<std::uint8_t>(run), static_cast<std::uint8_t>(four_bits ? 0x12 : y + 1)});
        if (literal >= 3) {
            out.insert(out.end(), {0, static_cast<std::uint8_t>(literal)});
            const int bytes = four_bits ? (literal + 1) / 2 : literal;
            for (int k = 0; k < bytes; ++k) out.push_back(static_cast<std::uint8_t>(k * 3 + y));
            if (bytes % 2) out.push_back(0);
        }
        if (y == height / 2) out.insert(out.end(), {0, 2, 1, 0});
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_dib_parse");
    for (std::uint32_t header : {12u, 40u, 52u, 56u, 108u, 124u}) {
        for (std::uint16_t bits : {1, 4, 8, 16, 24, 32}) {
            if (header == 12 && (bits == 16 || bits == 32)) continue;
            for (int layout = 0; layout < 3; ++layout) {
                Bmp_Spec spec;
                spec.header_size = header;
                spec.bits = bits;
                spec.width = 5 + layout * 3;
                spec.height = header != 12 && layout == 1 ? -4 : 4;  // top-down
                if (bits <= 8) {
                    const std::size_t full = std::size_t{1} << bits;
                    spec.palette = Spread_Palette(layout == 2 ? std::max<std::size_t>(2, full / 2) : full);
                    if (layout == 0 && header != 12) spec.colours_used = 0, spec.palette.resize(full);
                }
                if (header != 12 && (bits == 16 || bits == 32) && layout != 0) {
                    spec.compression = Bmp_Bitfields;
                    spec.masks = bits == 16 ? std::vector<std::uint32_t>{0xF800, 0x07E0, 0x001F}
                                            : std::vector<std::uint32_t>{0x00FF0000, 0x0000FF00, 0x000000FF};
                }
                spec.pixels = Patterned_Rows(spec.width, spec.height, bits);
                seeds.Write(
                    "h" + std::to_string(header) + "-b" + std::to_string(bits) + "-v" + std::to_string(layout) + ".bmp",
                    Build_Bmp(spec));
            }
        }
        if (header == 12) continue;
        for (bool four_bits : {false, true}) {
            Bmp_Spec spec;
            spec.header_size = header;
            spec.bits = four_bits ? 4 : 8;
            spec.compression = four_bits ? Bmp_Rle4 : Bmp_Rle8;
            spec.width = 9;
            spec.height = 6;
            spec.palette = Spread_Palette(four_bits ? 16 : 20);
            spec.pixels = Rle_Rows(spec.width, spec.height, four_bits);
            seeds.Write("h" + std::to_string(header) + (four_bits ? "-rle4.bmp" : "-rle8.bmp"), Build_Bmp(spec));
        }
    }
    return 0;
}

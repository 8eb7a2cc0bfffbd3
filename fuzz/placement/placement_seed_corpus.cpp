// seed_placement DIR: writes the placement fuzzer's seed corpus: ordinary
// pictures on an A4 page and in a preview, and the sizes hostile files
// claim: 65535 x 2730 (a GIF's screen), a frame from INT_MIN to INT_MAX
// (a metafile's), one pixel by two thousand million, zero and negative
// sizes, under every option and Exif tag.
#include <climits>
#include <cstring>

#include "../common/fuzz_support.h"

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_placement");
    const std::int32_t pictures[][2] = {{4000, 3000}, {3000, 4000}, {65535, 2730}, {INT_MAX, INT_MAX},
                                        {1, INT_MAX}, {INT_MAX, 1}, {0, 100},      {-5, 7}};
    const std::int32_t targets[][2] = {{4760, 6779}, {320, 240}, {1, 1}};
    int written = 0;
    for (const auto& picture : pictures) {
        for (const auto& target : targets) {
            for (std::uint8_t flags : {0, 1, 2, 6, 13, 30}) {
                const std::int32_t fields[5] = {picture[0], picture[1], target[0], target[1], 120};
                std::vector<std::uint8_t> bytes(22);
                std::memcpy(bytes.data(), fields, sizeof fields);
                bytes[20] = static_cast<std::uint8_t>(1 + written % 8);
                bytes[21] = flags;
                seeds.Write("placement-" + std::to_string(++written), bytes);
            }
        }
    }
    return 0;
}

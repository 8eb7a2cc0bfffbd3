// seed_jpeg_decode DIR: writes the JPEG fuzzer's seed corpus: every colour
// space the wrapper converts (CMYK and YCCK with and without Adobe's
// marker), baseline and progressive, full and reduced chroma, sizes that
// every scale divides and ones it does not, cut-off streams, and files of
// as many scans as allowed and one more.
#include "../common/fuzz_support.h"
#include "picture/jpeg_decode.h"
#include "support/jpeg_encoder.h"

using namespace velbrook::test;

namespace {

// The file without its Adobe (APP14) segment.
std::vector<std::uint8_t> Without_Adobe_Marker(std::vector<std::uint8_t> file) {
    for (std::size_t at = 2; at + 4 <= file.size() && file[at] == 0xFF;) {
        const std::size_t length = static_cast<std::size_t>(file[at + 2]) << 8 | file[at + 3];
        if (file[at + 1] == 0xEE) {
            file.erase(file.begin() + static_cast<std::ptrdiff_t>(at),
                       file.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
            break;
        }
        if (file[at + 1] == 0xDA) break;
        at += 2 + length;
    }
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_jpeg_decode");
    struct Space {
        const char* name;
        int components;
        J_COLOR_SPACE input, stored;
    };
    const Space spaces[] = {{"grey", 1, JCS_GRAYSCALE, JCS_GRAYSCALE},
                            {"ycbcr", 3, JCS_RGB, JCS_YCbCr},
                            {"rgb", 3, JCS_RGB, JCS_RGB},
                            {"cmyk", 4, JCS_CMYK, JCS_CMYK},
                            {"ycck", 4, JCS_CMYK, JCS_YCCK}};
    const int sizes[][2] = {{1, 1}, {8, 8}, {17, 9}, {33, 47}, {64, 48}};
    for (const Space& space : spaces) {
        for (const auto& size : sizes) {
            for (int variant = 0; variant < 2; ++variant) {
                Jpeg_Recipe recipe{.width = size[0],
                                   .height = size[1],
                                   .components = space.components,
                                   .input = space.input,
                                   .stored = space.stored,
                                   .progressive = variant == 1,
                                   .quality = 60 + 10 * variant,
                                   .full_chroma = variant == 0};
                const std::vector<std::uint8_t> file = Encode_Jpeg(recipe, [&](int x, int y, std::uint8_t* sample) {
                    for (int c = 0; c < space.components; ++c)
                        sample[c] = static_cast<std::uint8_t>(x * 40 + y * 25 + c * 70);
                });
                const std::string name = std::string(space.name) + "-" + std::to_string(size[0]) + "x" +
                                         std::to_string(size[1]) + (variant ? "-progressive" : "");
                seeds.Write(name + ".jpg", file);
                if (space.components == 4) seeds.Write(name + "-no-adobe.jpg", Without_Adobe_Marker(file));
                if (size[0] >= 33) {
                    seeds.Write(name + "-half.jpg", std::vector(file.begin(), file.begin() + file.size() / 2));
                    seeds.Write(name + "-cut.jpg", std::vector(file.begin(), file.end() - 3));
                }
            }
        }
    }
    for (const int scans : {velbrook::Max_Jpeg_Scans, velbrook::Max_Jpeg_Scans + 1, 300}) {
        const Jpeg_Recipe recipe{.width = 24, .height = 16, .progressive = true, .scans = scans};
        seeds.Write("scans-" + std::to_string(scans) + ".jpg",
                    Encode_Jpeg(recipe, [](int x, int y, std::uint8_t* sample) {
                        sample[0] = static_cast<std::uint8_t>(x * 9), sample[1] = static_cast<std::uint8_t>(y * 13);
                        sample[2] = 77;
                    }));
    }
    return 0;
}

// seed_physical_size DIR: writes the physical-size reader fuzzer's seed
// corpus: JPEGs of the tests' encoder with each JFIF unit and an Exif block
// in either byte order, PNGs with and without pHYs, TIFFs in both byte
// orders with their directory after the pixels, and bitmaps with each
// header kind.
#include "../common/fuzz_support.h"
#include "support/bmp_writer.h"
#include "support/jpeg_encoder.h"
#include "support/png_writer.h"
#include "support/tiff_writer.h"

using namespace velbrook::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Photo(bool progressive) {
    return Encode_Jpeg({.width = 12, .height = 8, .progressive = progressive}, [](int x, int y, std::uint8_t* rgb) {
        rgb[0] = static_cast<std::uint8_t>(x * 20), rgb[1] = static_cast<std::uint8_t>(y * 30), rgb[2] = 90;
    });
}

// libjpeg's JFIF segment comes first: units at byte 13, the densities after.
void Set_Jfif_Density(Bytes& jpeg, std::uint8_t units, std::uint16_t x, std::uint16_t y) {
    velbrook::fuzz::Require(jpeg.size() > 18 && std::equal(jpeg.begin() + 6, jpeg.begin() + 11, "JFIF"),
                            "the encoder writes JFIF first");
    jpeg[13] = units;
    jpeg[14] = static_cast<std::uint8_t>(x >> 8), jpeg[15] = static_cast<std::uint8_t>(x);
    jpeg[16] = static_cast<std::uint8_t>(y >> 8), jpeg[17] = static_cast<std::uint8_t>(y);
}

}  // namespace

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_physical_size");
    for (bool progressive : {false, true}) {
        for (std::uint8_t units : {0, 1, 2}) {
            Bytes jpeg = Photo(progressive);
            Set_Jfif_Density(jpeg, units, units == 2 ? 118 : 300, units == 2 ? 118 : 150);
            seeds.Write("jfif-units" + std::to_string(units) + (progressive ? "-progressive" : "") + ".jpg", jpeg);
        }
    }
    for (bool big : {false, true}) {
        for (std::uint32_t unit : {0u, 2u, 3u}) {
            Bytes jpeg = Photo(false);
            const Bytes exif = Marker_Segment(0xE1, Exif_Body(Build_Tiff({.big = big,
                                                                          .image = false,
                                                                          .x_numerator = 600,
                                                                          .x_denominator = 2,
                                                                          .y_numerator = 300,
                                                                          .unit = unit})));
            jpeg.insert(jpeg.begin() + 20, exif.begin(), exif.end());  // after the JFIF segment
            seeds.Write(std::string(big ? "mm" : "ii") + "-exif-unit" + std::to_string(unit) + ".jpg", jpeg);
        }
    }

    for (std::uint8_t unit : {0, 1}) {
        Bytes png = Build_Png(5, 4, unit == 1, [](int x, int y, std::uint8_t* s) {
            s[0] = static_cast<std::uint8_t>(x * 50), s[1] = static_cast<std::uint8_t>(y * 60);
        });
        Bytes data, chunks;
        Put_Be32(data, 11811), Put_Be32(data, 5906), data.push_back(unit);
        Put_Png_Chunk(chunks, "gAMA", {0, 0, 0xB1, 0x8F});
        Put_Png_Chunk(chunks, "pHYs", data);
        png.insert(png.begin() + 33, chunks.begin(), chunks.end());
        seeds.Write("phys-unit" + std::to_string(unit) + ".png", png);
    }
    seeds.Write("no-phys.png", Build_Png(3, 2, false, [](int, int, std::uint8_t*) {}));

    for (bool big : {false, true}) {
        for (std::uint32_t unit : {0u, 1u, 2u, 3u}) {
            seeds.Write(std::string(big ? "mm" : "ii") + "-unit" + std::to_string(unit) + ".tif",
                        Build_Tiff({.big = big,
                                    .long_sides = unit % 2 == 1,
                                    .x_numerator = 300,
                                    .y_numerator = 1200,
                                    .y_denominator = 4,
                                    .unit = unit}));
        }
    }

    for (std::uint32_t header : {12u, 40u, 108u, 124u}) {
        seeds.Write("h" + std::to_string(header) + ".bmp", Build_Bmp({.header_size = header,
                                                                      .width = 5,
                                                                      .height = header == 124 ? -3 : 3,
                                                                      .pixels = Patterned_Rows(5, 3, 24),
                                                                      .pels_x = 11811,
                                                                      .pels_y = 3937}));
    }
    return 0;
}

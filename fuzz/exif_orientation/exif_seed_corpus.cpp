// seed_exif_orientation DIR: writes the Exif reader fuzzer's seed corpus: a
// small JPEG with an Exif block in front, in both byte orders, with every
// orientation, the tag first or after others, another segment before it, and
// a chain to a second directory.
#include "../common/fuzz_support.h"
#include "support/jpeg_encoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Tiff {
    bool big;
    Bytes bytes;
    void U16(std::uint32_t v) {
        const std::uint8_t high = static_cast<std::uint8_t>(v >> 8), low = static_cast<std::uint8_t>(v);
        bytes.insert(bytes.end(), {big ? high : low, big ? low : high});
    }
    void U32(std::uint32_t v) {
        U16(big ? v >> 16 : v & 0xFFFF);
        U16(big ? v & 0xFFFF : v >> 16);
    }
    void Entry(std::uint32_t tag, std::uint32_t type, std::uint32_t count, std::uint32_t value) {
        U16(tag), U16(type), U32(count), U16(value), U16(0);
    }
};

Bytes Exif_Segment(bool big, int orientation, int tags_before, bool chained) {
    Tiff tiff{big, {}};
    tiff.bytes = big ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
    tiff.U16(42);
    tiff.U32(8);
    tiff.U16(static_cast<std::uint32_t>(tags_before + 1));
    for (int k = 0; k < tags_before; ++k) tiff.Entry(0x010F + static_cast<std::uint32_t>(k), 2, 4, 0x4142);
    tiff.Entry(0x0112, 3, 1, static_cast<std::uint32_t>(orientation));
    tiff.U32(chained ? static_cast<std::uint32_t>(tiff.bytes.size() + 4) : 0);
    if (chained) {
        tiff.U16(1);
        tiff.Entry(0x0112, 3, 1, 3);
        tiff.U32(8);  // back to the first: a loop
    }
    Bytes segment{0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.bytes.begin(), tiff.bytes.end());
    segment[2] = static_cast<std::uint8_t>((segment.size() - 2) >> 8);
    segment[3] = static_cast<std::uint8_t>(segment.size() - 2);
    return segment;
}

}  // namespace

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_exif_orientation");
    const Bytes photo = velbrook::test::Encode_Jpeg({.width = 8, .height = 8}, [](int x, int y, std::uint8_t* rgb) {
        rgb[0] = static_cast<std::uint8_t>(x * 30), rgb[1] = static_cast<std::uint8_t>(y * 30), rgb[2] = 128;
    });
    for (bool big : {false, true}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const int tags_before = orientation % 3;
            const bool chained = orientation == 8;
            Bytes file{0xFF, 0xD8};
            if (orientation % 2 == 0) {
                // A JFIF segment in front, as many writers put it.
                const Bytes jfif = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
                file.insert(file.end(), jfif.begin(), jfif.end());
            }
            const Bytes exif = Exif_Segment(big, orientation, tags_before, chained);
            file.insert(file.end(), exif.begin(), exif.end());
            file.insert(file.end(), photo.begin() + 2, photo.end());
            seeds.Write(std::string(big ? "mm" : "ii") + "-orientation" + std::to_string(orientation) + ".jpg", file);
        }
    }
    seeds.Write("no-exif.jpg", photo);
    return 0;
}

// libFuzzer target: any bytes as an icon file.  The image chosen must lie
// inside the file, be one of its directory's entries and one with the most
// pixels by the directory, and have a size the system can make an icon of.
#include <algorithm>

#include "../common/fuzz_support.h"
#include "picture/icon_parse.h"
#include "toolkit/failure.h"

using velbrook::fuzz::Require;
using namespace velbrook;

namespace {

std::uint32_t Le32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// An entry's size by the directory: 0 stands for 256.
std::uint32_t Side(std::uint8_t byte) { return byte ? byte : 256; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Icon_Image image;
    try {
        image = Parse_Icon({data, size});
    } catch (const Invalid_Picture&) {
        return 0;
    }
    Require(image.length >= 1 && image.offset <= size && image.length <= size - image.offset, "inside the file");
    if (image.png) {
        Require(
            image.length >= 24 && image.width >= 1 && image.width <= 256 && image.height >= 1 && image.height <= 256,
            "a PNG image sized by its entry");
    } else {
        Require(image.length >= 40 && image.width >= 1 && image.width <= Max_Icon_Side && image.height >= 1 &&
                    image.height <= Max_Icon_Side,
                "a bitmap image of a size the system takes");
    }
    const std::size_t count = data[4] | data[5] << 8;
    Require(6 + 16 * count <= size, "the directory inside the file");
    bool listed = false;
    std::uint32_t most = 0, chosen = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t* entry = data + 6 + 16 * k;
        const std::uint32_t pixels = Side(entry[0]) * Side(entry[1]);
        most = std::max(most, pixels);
        if (Le32(entry + 8) == image.length && Le32(entry + 12) == image.offset) {
            listed = true;
            chosen = std::max(chosen, pixels);
        }
    }
    Require(listed, "the image is one of the directory's");
    Require(chosen == most, "the image has the most pixels by the directory");
    return 0;
}

// seed_jpeg_rows DIR: writes the banded JPEG reader's seed corpus: baseline
// and progressive pictures in grey, colour and CMYK, one cut short, and
// the forged ones a band reader must stop: more scans than any encoder
// writes, and a refinement scan repeated until the data runs for minutes.
#include "../common/fuzz_support.h"
#include "picture/jpeg_decode.h"
#include "support/jpeg_encoder.h"

using namespace velbrook::test;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Picture(Jpeg_Recipe recipe) {
    return Encode_Jpeg(recipe, [&](int x, int y, std::uint8_t* sample) {
        for (int c = 0; c < recipe.components; ++c) sample[c] = static_cast<std::uint8_t>(x * 9 + y * 5 + c * 60);
    });
}

// The last scan, header and data, given `times` more times before the end.
Bytes With_Last_Scan_Repeated(Bytes file, int times) {
    std::size_t last = 0;
    for (std::size_t k = 0; k + 1 < file.size(); ++k)
        if (file[k] == 0xFF && file[k + 1] == 0xDA) last = k;
    const Bytes scan(file.begin() + static_cast<std::ptrdiff_t>(last), file.end() - 2);
    for (int k = 0; k < times; ++k) file.insert(file.end() - 2, scan.begin(), scan.end());
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_jpeg_rows");
    const Jpeg_Recipe grey{.width = 40, .height = 30, .components = 1, .input = JCS_GRAYSCALE, .stored = JCS_GRAYSCALE};
    const Jpeg_Recipe colour{.width = 57, .height = 33};
    const Jpeg_Recipe cmyk{.width = 24, .height = 20, .components = 4, .input = JCS_CMYK, .stored = JCS_CMYK};
    for (const auto& [name, recipe] : {std::pair{"grey", grey}, std::pair{"colour", colour}, std::pair{"cmyk", cmyk}}) {
        Jpeg_Recipe progressive = recipe;
        progressive.progressive = true;
        seeds.Write(std::string(name) + ".jpg", Picture(recipe));
        seeds.Write(std::string(name) + "-progressive.jpg", Picture(progressive));
    }
    const Bytes whole = Picture(colour);
    seeds.Write("cut.jpg", Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)));
    Jpeg_Recipe most = grey, too_many = grey;
    most.scans = velbrook::Max_Jpeg_Scans;
    too_many.scans = velbrook::Max_Jpeg_Scans + 1;
    seeds.Write("most-scans.jpg", Picture(most));
    seeds.Write("too-many-scans.jpg", Picture(too_many));
    Jpeg_Recipe progressive = colour;
    progressive.progressive = true;
    seeds.Write("scan-repeated.jpg", With_Last_Scan_Repeated(Picture(progressive), 150));
    // Whole after its one scan, which more than the limit of copies follow.
    seeds.Write("scans-after-the-picture.jpg", With_Last_Scan_Repeated(whole, velbrook::Max_Jpeg_Scans + 1));
    return 0;
}

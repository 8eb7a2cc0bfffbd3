// seed_pdf_inputs DIR: writes the PDF readers' seed corpus: JPEGs of the
// tests' encoder in every colour space the writer passes on (grey, RGB,
// YCbCr, CMYK, progressive, one cut short), and the TrueType fonts that
// set-up installs, whose tables the subsetter reads.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../common/fuzz_support.h"
#include "support/jpeg_encoder.h"

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_pdf_inputs");
    using velbrook::test::Jpeg_Recipe;
    const Jpeg_Recipe recipes[] = {
        {.width = 8, .height = 8, .components = 1, .input = JCS_GRAYSCALE, .stored = JCS_GRAYSCALE},
        {.width = 16, .height = 8},
        {.width = 8, .height = 16, .stored = JCS_RGB},
        {.width = 8, .height = 8, .components = 4, .input = JCS_CMYK, .stored = JCS_CMYK},
        {.width = 16, .height = 16, .progressive = true, .full_chroma = false},
    };
    int k = 0;
    for (const Jpeg_Recipe& recipe : recipes) {
        std::vector<std::uint8_t> jpeg = velbrook::test::Encode_Jpeg(recipe, [&](int x, int y, std::uint8_t* s) {
            for (int c = 0; c < recipe.components; ++c) s[c] = static_cast<std::uint8_t>(x * 16 + y * 8 + c * 50);
        });
        seeds.Write("jpeg-" + std::to_string(k++), jpeg);
        if (k == 2) {
            jpeg.resize(jpeg.size() / 2);
            seeds.Write("jpeg-cut", jpeg);
        }
    }
    for (const char* font :
         {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", "/usr/share/wine/fonts/tahoma.ttf"}) {
        std::ifstream in(font, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!bytes.empty()) seeds.Write(std::filesystem::path(font).filename().string(), bytes);
    }
    return 0;
}

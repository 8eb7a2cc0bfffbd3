#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jpeg_test_encoder.h"
#include "picture/jpeg_decode.h"
#include "picture/jpeg_rows.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A picture whose every row differs, so that a row out of place shows.
Bytes Gradient(test::Jpeg_Recipe recipe) {
    return test::Encode_Jpeg(recipe, [&](int x, int y, std::uint8_t* s) {
        for (int c = 0; c < recipe.components; ++c)
            s[c] = static_cast<std::uint8_t>((x * (c + 1) * 3 + y * 5 + c * 60) % 256);
    });
}

Bytes Cut(Bytes file, std::size_t keep) {
    file.resize(keep);
    return file;
}

Bytes With_End_Marker(Bytes file) {
    file.insert(file.end(), {0xFF, 0xD9});
    return file;
}

// Every row read in bands of `band` rows.
Bytes Read_All(Jpeg_Rows& rows, int band, std::size_t stride) {
    Bytes pixels(stride * static_cast<std::size_t>(rows.Height()));
    for (int y = 0; y < rows.Height(); y += band)
        rows.Read(pixels.data() + stride * static_cast<std::size_t>(y), stride, std::min(band, rows.Height() - y));
    return pixels;
}

TEST(Jpeg_Rows, Bands_Of_Rows_Are_The_Whole_Decode_At_Every_Scale) {
    const test::Jpeg_Recipe cmyk{.width = 33, .height = 21, .components = 4, .input = JCS_CMYK, .stored = JCS_YCCK};
    const struct {
        const char* what;
        Bytes file;
    } files[] = {
        {"baseline", Gradient({.width = 101, .height = 67})},
        {"progressive", Gradient({.width = 64, .height = 90, .progressive = true})},
        {"grey",
         Gradient({.width = 50, .height = 17, .components = 1, .input = JCS_GRAYSCALE, .stored = JCS_GRAYSCALE})},
        {"CMYK", Gradient(cmyk)},
        {"one row", Gradient({.width = 40, .height = 1})},
    };
    for (const auto& file : files) {
        for (const auto& [target_w, target_h] : {std::pair{0, 0}, std::pair{30, 20}, std::pair{6, 5}}) {
            SCOPED_TRACE(std::string(file.what) + " for " + std::to_string(target_w) + "x" + std::to_string(target_h));
            const Decoded_Image whole = Decode_Jpeg(file.file, target_w, target_h);
            for (int band : {1, 7, 1000}) {
                Span_Source source(file.file);
                Jpeg_Rows rows(source, target_w, target_h);
                ASSERT_EQ(rows.Width(), whole.width);
                ASSERT_EQ(rows.Height(), whole.height);
                EXPECT_EQ(Read_All(rows, band, static_cast<std::size_t>(whole.stride)), whole.pixels) << band;
                EXPECT_FALSE(rows.Damaged());
                EXPECT_LE(rows.Least_Data_Bytes(), file.file.size());
            }
        }
    }
}

TEST(Jpeg_Rows, Data_That_Ends_Early_Leaves_The_Rest_Grey_As_Libjpeg_Fills_It) {
    const Bytes good = Gradient({.width = 64, .height = 128});
    const Decoded_Image whole = Decode_Jpeg(good, 0, 0);
    const std::size_t stride = static_cast<std::size_t>(whole.stride);
    for (const Bytes& damaged : {Cut(good, good.size() / 2), With_End_Marker(Cut(good, good.size() / 2))}) {
        Span_Source source(damaged);
        Jpeg_Rows rows(source, 0, 0);
        const Bytes pixels = Read_All(rows, 16, stride);
        EXPECT_TRUE(rows.Damaged());
        // The first rows are the picture; the last are libjpeg's mid grey.
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + static_cast<long>(stride * 8), whole.pixels.begin()));
        for (std::size_t k = stride * 120; k < pixels.size(); k += 3) EXPECT_NEAR(pixels[k], 128, 2) << k;
    }
}

TEST(Jpeg_Rows, Refuses_A_Header_It_Cannot_Read) {
    const Bytes good = Gradient({.width = 16, .height = 16});
    const std::string text = "This is a text file that was named picture.jpg";
    for (const Bytes& bad : {Bytes{}, Bytes(text.begin(), text.end()), Bytes{0xFF, 0xD8}, Cut(good, 40)}) {
        Span_Source source(bad);
        EXPECT_THROW(Jpeg_Rows(source, 0, 0), Invalid_Picture) << bad.size();
    }
}

TEST(Jpeg_Rows, A_Size_The_Data_Cannot_Hold_Is_Known_From_The_Header) {
    Bytes forged = Gradient({.width = 64, .height = 64});
    test::Forge_Frame_Size(forged, 30000, 30000);
    Span_Source source(forged);
    const Jpeg_Rows rows(source, 0, 0);
    // One bit for each of 3750 x 3750 blocks of each of the three components
    // (the test encoder keeps chroma at full resolution).
    EXPECT_EQ(rows.Least_Data_Bytes(), 3 * 3750ull * 3750 / 8);
    EXPECT_GT(rows.Least_Data_Bytes(), forged.size());
}

TEST(Jpeg_Reaches_End, Follows_Segments_And_Scans_To_The_End_Marker) {
    const Bytes good = Gradient({.width = 64, .height = 64});
    const Bytes progressive = Gradient({.width = 64, .height = 64, .progressive = true});
    // An Exif-like segment holding a whole thumbnail, end marker and all.
    Bytes with_thumbnail = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x0A, 0xFF, 0xD8, 0xFF, 0xD9, 0xFF, 0xD9};
    with_thumbnail.insert(with_thumbnail.end(), good.begin() + 2, good.end());
    Bytes trailing = good;
    trailing.insert(trailing.end(), 5000, 0x00);
    const struct {
        const char* what;
        Bytes file;
        bool whole;
    } cases[] = {
        {"baseline", good, true},
        {"progressive", progressive, true},
        {"bytes after the end", trailing, true},
        {"a thumbnail inside a segment", with_thumbnail, true},
        {"thumbnail kept, picture cut", Cut(with_thumbnail, with_thumbnail.size() - 40), false},
        {"cut in the scan", Cut(good, good.size() / 2), false},
        {"end marker missing", Cut(good, good.size() - 2), false},
        {"progressive cut between scans", Cut(progressive, progressive.size() * 3 / 4), false},
        {"segment longer than the file", {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF, 0, 0}, false},
        {"start marker only", {0xFF, 0xD8}, false},
        {"empty", {}, false},
    };
    for (const auto& c : cases) {
        Span_Source source(c.file);
        EXPECT_EQ(Jpeg_Reaches_End(source), c.whole) << c.what;
    }
}

}  // namespace
}  // namespace velbrook

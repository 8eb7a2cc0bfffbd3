#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "jpeg_test_encoder.h"
#include "../support/cut_bytes.h"
#include "picture/jpeg_decode.h"
#include "picture/jpeg_rows.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Cut;

// A picture whose every row differs, so that a row out of place shows.
Bytes Gradient(test::Jpeg_Recipe recipe) {
    return test::Encode_Jpeg(recipe, [&](int x, int y, std::uint8_t* s) {
        for (int c = 0; c < recipe.components; ++c)
            s[c] = static_cast<std::uint8_t>((x * (c + 1) * 3 + y * 5 + c * 60) % 256);
    });
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

// The file with its last scan, header and data, given `times` more times
// before the end marker: scans a decoder takes as a needless refinement,
// each walking every block again.
Bytes With_Last_Scan_Repeated(Bytes file, int times) {
    std::size_t last = 0;
    for (std::size_t k = 0; k + 1 < file.size(); ++k)
        if (file[k] == 0xFF && file[k + 1] == 0xDA) last = k;
    const Bytes scan(file.begin() + static_cast<long>(last), file.end() - 2);
    for (int k = 0; k < times; ++k) file.insert(file.end() - 2, scan.begin(), scan.end());
    return file;
}

TEST(Walk_Jpeg_Markers, Follows_Segments_And_Scans_To_The_End_Marker) {
    const Bytes good = Gradient({.width = 64, .height = 64});
    const Bytes progressive = Gradient({.width = 64, .height = 64, .progressive = true});
    // An Exif-like segment holding a whole thumbnail, end marker and all.
    Bytes with_thumbnail = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x0A, 0xFF, 0xD8, 0xFF, 0xD9, 0xFF, 0xD9};
    with_thumbnail.insert(with_thumbnail.end(), good.begin() + 2, good.end());
    Bytes trailing = good;
    trailing.insert(trailing.end(), 5000, 0x00);
    const test::Jpeg_Recipe grey{
        .width = 24, .height = 16, .components = 1, .input = JCS_GRAYSCALE, .stored = JCS_GRAYSCALE};
    test::Jpeg_Recipe most = grey, too_many = grey;
    most.scans = Max_Jpeg_Scans;
    too_many.scans = Max_Jpeg_Scans + 1;
    using enum Jpeg_Markers;
    const struct {
        const char* what;
        Bytes file;
        Jpeg_Markers found;
    } cases[] = {
        {"baseline", good, Whole},
        {"progressive", progressive, Whole},
        {"bytes after the end", trailing, Whole},
        {"a thumbnail inside a segment", with_thumbnail, Whole},
        {"as many scans as allowed", Gradient(most), Whole},
        {"thumbnail kept, picture cut", Cut(with_thumbnail, with_thumbnail.size() - 40), Cut_Short},
        {"cut in the scan", Cut(good, good.size() / 2), Cut_Short},
        {"end marker missing", Cut(good, good.size() - 2), Cut_Short},
        {"progressive cut between scans", Cut(progressive, progressive.size() * 3 / 4), Cut_Short},
        {"segment longer than the file", {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF, 0, 0}, Cut_Short},
        {"start marker only", {0xFF, 0xD8}, Cut_Short},
        {"empty", {}, Cut_Short},
        {"one scan more than allowed", Gradient(too_many), Too_Many_Scans},
        {"a refinement scan 5000 times", With_Last_Scan_Repeated(progressive, 5000), Too_Many_Scans},
        {"too many scans, then cut", Cut(Gradient(too_many), Gradient(too_many).size() - 2), Too_Many_Scans},
    };
    for (const auto& c : cases) {
        Span_Source source(c.file);
        EXPECT_EQ(Walk_Jpeg_Markers(source), c.found) << c.what;
    }
}

// Every reader of a JPEG: the whole decode (the preview and the page, and
// the PDF save's check at an eighth), the walk that admits a banded page,
// and the banded rows themselves, where libjpeg's own count stops the
// decode however the file was admitted.
TEST(Jpeg_Scans, More_Than_Any_Encoder_Writes_Are_Refused_By_Every_Reader) {
    const test::Jpeg_Recipe grey{
        .width = 40, .height = 24, .components = 1, .input = JCS_GRAYSCALE, .stored = JCS_GRAYSCALE};
    const test::Jpeg_Recipe colour{.width = 40, .height = 24};
    const struct {
        const char* what;
        test::Jpeg_Recipe recipe;
        int scans;
        int repeats;
        bool refused;
    } cases[] = {
        {"libjpeg's own colour script", colour, 0, 0, false},
        {"libjpeg's own grey script", grey, 0, 0, false},
        {"grey, as many scans as allowed", grey, Max_Jpeg_Scans, 0, false},
        {"colour, as many scans as allowed", colour, Max_Jpeg_Scans, 0, false},
        {"grey, one scan more", grey, Max_Jpeg_Scans + 1, 0, true},
        {"colour, one scan more", colour, Max_Jpeg_Scans + 1, 0, true},
        {"colour, the most scans the script makes", colour, 1 + 126 * 3, 0, true},
        {"libjpeg's script with its last scan 3000 times more", colour, 0, 3000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::Jpeg_Recipe recipe = c.recipe;
        recipe.progressive = true;
        recipe.scans = c.scans;
        const Bytes file = With_Last_Scan_Repeated(Gradient(recipe), c.repeats);
        for (const auto& [target_w, target_h] : {std::pair{0, 0}, std::pair{200, 150}, std::pair{1, 1}}) {
            if (c.refused) {
                EXPECT_THROW(Decode_Jpeg(file, target_w, target_h), Invalid_Picture);
            } else {
                EXPECT_NO_THROW(Decode_Jpeg(file, target_w, target_h));
            }
        }
        Span_Source walk(file);
        EXPECT_EQ(Walk_Jpeg_Markers(walk), c.refused ? Jpeg_Markers::Too_Many_Scans : Jpeg_Markers::Whole);
        Span_Source source(file);
        Jpeg_Rows rows(source, 0, 0);
        const std::size_t stride = static_cast<std::size_t>(rows.Width()) * 3;
        const Bytes pixels = Read_All(rows, 8, stride);
        EXPECT_EQ(rows.Damaged(), c.refused);
        if (c.refused) {
            // Stopped before the first row came out: all of it grey.
            EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0x80), static_cast<long>(pixels.size()));
        } else {
            EXPECT_EQ(pixels, Decode_Jpeg(file, 0, 0).pixels);
        }
    }
}

}  // namespace
}  // namespace velbrook

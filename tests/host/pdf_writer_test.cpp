#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "jpeg_test_encoder.h"
#include "pdf/image_placement.h"
#include "picture/jpeg_decode.h"
#include "pdf/jpeg_header.h"
#include "pdf/pdf_writer.h"
#include "pdf/truetype_font.h"
#include "pdf/win_ansi.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

using test::Encode_Jpeg;
using test::Jpeg_Recipe;

TEST(Pdf_Writer, Numbers_And_Text_Strings_Are_Written_As_Pdf_Reads_Them) {
    struct Case {
        double value;
        const char* text;
    };
    const Case numbers[] = {{0, "0"},
                            {-0.00001, "0"},
                            {1, "1"},
                            {-2.5, "-2.5"},
                            {595.2756, "595.2756"},
                            {1.23456, "1.2346"},
                            {1e9, "1000000000"},
                            {NAN, "0"}};
    for (const Case& c : numbers) EXPECT_EQ(Pdf_Number(c.value), c.text) << c.value;

    EXPECT_EQ(Pdf_Text_String(U"Orvel Pics"), "(Orvel Pics)");
    EXPECT_EQ(Pdf_Text_String(U"a(b)\\c"), "(a\\(b\\)\\\\c)");
    EXPECT_EQ(Pdf_Text_String(U"\u00e9\U0001F600"), "<FEFF00E9D83DDE00>");
}

// Every cross-reference entry points at its own "n 0 obj", startxref at the
// table, and the trailer names the root and the info dictionary.
TEST(Pdf_Writer, Cross_References_Point_At_Each_Object) {
    Memory_Output output;
    Pdf_Writer writer(output);
    Pdf_Object_Id later = writer.Reserve();
    Pdf_Object_Id first = writer.Add_Object("<</A 1>>");
    std::vector<std::uint8_t> big(300 * 1024, 'x');  // larger than the writer's buffer
    Pdf_Object_Id stream = writer.Reserve();
    writer.Add_Stream(stream, "/Kind/Test", big);
    writer.Begin_Object(later);
    writer.Write("(written last)");
    writer.End_Object();
    writer.Finish(first, later);
    std::string file = output.Text();
    ASSERT_EQ(writer.Offset(), file.size());

    std::size_t start = std::stoull(file.substr(file.rfind("startxref\n") + 10));
    ASSERT_EQ(file.compare(start, 5, "xref\n"), 0);
    EXPECT_EQ(file.compare(start, 13, "xref\n0 4\n0000"), 0);
    for (Pdf_Object_Id id = 1; id <= 3; ++id) {
        std::size_t entry = start + 9 + 20 * id;
        std::uint64_t offset = std::stoull(file.substr(entry, 10));
        EXPECT_EQ(file.substr(entry + 10, 10), " 00000 n\r\n");
        std::string header = std::to_string(id) + " 0 obj\n";
        EXPECT_EQ(file.compare(offset, header.size(), header), 0) << "object " << id;
    }
    EXPECT_NE(file.find("/Kind/Test/Length 307200>>\nstream\nxxx"), std::string::npos);
    EXPECT_NE(file.find("trailer\n<</Size 4/Root 2 0 R/Info 1 0 R>>"), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 6), "%%EOF\n");

    Memory_Output other;
    Pdf_Writer unfinished(other);
    Pdf_Object_Id never = unfinished.Reserve();
    EXPECT_THROW(unfinished.Finish(never, never), Failure);
}

// Frame headers of every kind the encoder makes, and forgeries that a PDF
// reader could not take as they are.
TEST(Jpeg_Header, Size_Components_And_Adobe_Marker_Come_From_The_Markers) {
    struct Case {
        const char* name;
        Jpeg_Recipe recipe;
        int components;
        bool progressive, adobe;
    };
    const Case cases[] = {
        {"YCbCr", {.width = 40, .height = 24}, 3, false, false},
        {"progressive", {.width = 33, .height = 17, .progressive = true}, 3, true, false},
        {"grey",
         {.width = 8, .height = 9, .components = 1, .input = JCS_GRAYSCALE, .stored = JCS_GRAYSCALE},
         1,
         false,
         false},
        {"RGB", {.width = 16, .height = 16, .stored = JCS_RGB}, 3, false, true},
        {"CMYK", {.width = 20, .height = 10, .components = 4, .input = JCS_CMYK, .stored = JCS_CMYK}, 4, false, true},
        {"YCCK", {.width = 20, .height = 10, .components = 4, .input = JCS_CMYK, .stored = JCS_YCCK}, 4, false, true},
    };
    for (const Case& c : cases) {
        auto file =
            Encode_Jpeg(c.recipe, [](int x, int y, std::uint8_t* s) { s[0] = static_cast<std::uint8_t>(x * 7 + y); });
        auto header = Read_Jpeg_Header(file);
        ASSERT_TRUE(header) << c.name;
        EXPECT_EQ(header->width, c.recipe.width) << c.name;
        EXPECT_EQ(header->height, c.recipe.height) << c.name;
        EXPECT_EQ(header->components, c.components) << c.name;
        EXPECT_EQ(header->progressive, c.progressive) << c.name;
        EXPECT_EQ(header->adobe, c.adobe) << c.name;
        EXPECT_FALSE(header->rgb_named) << c.name;
        EXPECT_TRUE(Jpeg_Reaches_End_Marker(file)) << c.name;
        for (std::size_t cut : {file.size() - 2, file.size() / 2, std::size_t(20), std::size_t(1)})
            EXPECT_FALSE(Jpeg_Reaches_End_Marker(std::span(file).first(cut))) << c.name << " cut at " << cut;
    }

    // Scans past the limit: the picture goes the print run's way, which
    // refuses it, never into the file as it is.
    for (const auto& [scans, whole] : {std::pair{10, true}, std::pair{Max_Jpeg_Scans, true},
                                       std::pair{Max_Jpeg_Scans + 1, false}, std::pair{300, false}}) {
        const auto file = Encode_Jpeg({.width = 16, .height = 8, .progressive = true, .scans = scans},
                                      [](int x, int y, std::uint8_t* s) { s[0] = static_cast<std::uint8_t>(x + y); });
        EXPECT_EQ(Jpeg_Reaches_End_Marker(file), whole) << scans << " scans";
    }

    auto plain = Encode_Jpeg({.width = 12, .height = 12}, [](int, int, std::uint8_t* s) { s[0] = 9; });
    std::size_t frame = 2;
    while (!(plain[frame] == 0xFF && plain[frame + 1] == 0xC0)) ++frame;
    struct Forgery {
        const char* name;
        std::size_t at;
        std::uint8_t value;
    };
    const Forgery forgeries[] = {
        {"arithmetic coding", frame + 1, 0xC9}, {"lossless", frame + 1, 0xC3},
        {"12-bit samples", frame + 4, 12},      {"height left to a later marker", frame + 6, 0},
        {"two components", frame + 9, 2},       {"not a JPEG", 1, 0xD9},
    };
    for (const Forgery& f : forgeries) {
        auto file = plain;
        file[f.at] = f.value;
        if (f.value == 0) file[f.at - 1] = 0;
        EXPECT_FALSE(Read_Jpeg_Header(file)) << f.name;
    }
    EXPECT_FALSE(Read_Jpeg_Header(std::span(plain).first(frame + 6))) << "cut inside the frame header";
}

// Where the stored picture's top-left pixel and its top-right pixel land on
// the page for every orientation: a 40 x 20 picture placed whole into a box
// that has the oriented picture's shape, 200 points from the page's top.
TEST(Image_Placement, Each_Orientation_Takes_The_Stored_Corners_Where_Exif_Says) {
    struct Case {
        int orientation;
        double top_left[2], top_right[2];  // page points, y down
    };
    // The box: 100..180 across (80 wide) by 200..240 down for 1..4, and
    // 100..140 by 200..280 for the turned 5..8.
    const Case cases[] = {
        {1, {100, 200}, {180, 200}}, {2, {180, 200}, {100, 200}}, {3, {180, 240}, {100, 240}},
        {4, {100, 240}, {180, 240}}, {5, {100, 200}, {100, 280}}, {6, {140, 200}, {140, 280}},
        {7, {140, 280}, {140, 200}}, {8, {100, 280}, {100, 200}},
    };
    const double page_height = 800;
    for (const Case& c : cases) {
        bool turned = c.orientation >= 5;
        Image_Placement placement{.orientation = c.orientation,
                                  .stored_width = 40,
                                  .stored_height = 20,
                                  .source = {0, 0, turned ? 20.0 : 40.0, turned ? 40.0 : 20.0},
                                  .destination = {100, 200, turned ? 140.0 : 180.0, turned ? 280.0 : 240.0}};
        Pdf_Matrix m = Image_Matrix(placement, page_height);
        // Unit square: the first row is at t = 1.
        auto at = [&](double u, double t) {
            return std::array<double, 2>{m.a * u + m.c * t + m.e, page_height - (m.b * u + m.d * t + m.f)};
        };
        auto top_left = at(0, 1), top_right = at(1, 1);
        EXPECT_NEAR(top_left[0], c.top_left[0], 1e-9) << c.orientation;
        EXPECT_NEAR(top_left[1], c.top_left[1], 1e-9) << c.orientation;
        EXPECT_NEAR(top_right[0], c.top_right[0], 1e-9) << c.orientation;
        EXPECT_NEAR(top_right[1], c.top_right[1], 1e-9) << c.orientation;
    }

    // A crop: the right half of the oriented picture fills the box, so the
    // picture's left edge lies a whole box width further left, clipped.
    Image_Placement crop{
        .stored_width = 40, .stored_height = 20, .source = {20, 0, 40, 20}, .destination = {0, 0, 100, 100}};
    Pdf_Matrix m = Image_Matrix(crop, 100);
    EXPECT_NEAR(m.e, -100, 1e-9);
    EXPECT_NEAR(m.a, 200, 1e-9);
    EXPECT_EQ(Image_Operators(crop, 100, "Im9"), "q 0 0 100 100 re W n 200 0 0 100 -100 0 cm /Im9 Do Q\n");
    crop.destination = {};
    EXPECT_EQ(Image_Operators(crop, 100, "Im9"), "");
}

TEST(Win_Ansi, Holds_Latin_Letters_And_The_Specials_Of_Its_High_Codes_Only) {
    EXPECT_EQ(Win_Ansi_Code(U'A'), 'A');
    EXPECT_EQ(Win_Ansi_Code(U'\u00e9'), 0xE9);
    EXPECT_EQ(Win_Ansi_Code(U'\u20ac'), 0x80);
    EXPECT_EQ(Win_Ansi_Code(U'\u2026'), 0x85);
    EXPECT_EQ(Win_Ansi_Code(U'\u0178'), 0x9F);
    for (char32_t c : {U'\u0081', U'\u03b1', U'\u65e5', U'\t', U'\u007f', U'\U0001F600'})
        EXPECT_FALSE(Win_Ansi_Code(c)) << static_cast<unsigned>(c);
    EXPECT_EQ(Helvetica_Width('A'), 667);
    EXPECT_EQ(Helvetica_Width(' '), 278);
    EXPECT_EQ(Helvetica_Width(0x85), 1000);
    EXPECT_EQ(Code_Points(L"a\u00e9\U0001F600"), U"a\u00e9\U0001F600");
}

std::vector<std::uint8_t> Read_File(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A subset keeps exactly the glyphs used (composites with their parts,
// renumbered), their widths, and the hinting programs; read back, it is a
// font of its own.
TEST(Truetype_Font, A_Subset_Holds_The_Used_Glyphs_Renumbered_With_Their_Parts) {
    auto bytes = Read_File("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_FALSE(bytes.empty()) << "DejaVu Sans (fonts-dejavu-core) is needed";
    Truetype_Font font(bytes);
    EXPECT_EQ(font.PostScript_Name(), "DejaVuSans");
    // U+01FA (A with ring above and acute) is a composite in DejaVu Sans.
    const std::u32string text = U"\u03a9\u01fa\u03a9z";
    std::vector<std::uint16_t> numbers;
    for (char32_t c : text) {
        ASSERT_NE(font.Glyph_Of(c), 0) << static_cast<unsigned>(c);
        numbers.push_back(font.Use(font.Glyph_Of(c), c));
    }
    EXPECT_EQ(font.Glyph_Of(U'\u65e5'), 0) << "no Japanese in DejaVu Sans";
    EXPECT_EQ(numbers[0], 1);
    EXPECT_EQ(numbers[1], 2);
    EXPECT_EQ(numbers[2], 1) << "a glyph used again keeps its number";
    ASSERT_GT(font.Used().size(), 4u) << "the composite's parts come along";
    EXPECT_EQ(numbers[3], font.Used().size() - 1);
    EXPECT_EQ(font.Used()[3].character, 0u) << "a part stands for no character of its own";

    Truetype_Font subset(font.Subset());
    for (std::size_t n = 0; n < font.Used().size(); ++n)
        EXPECT_EQ(subset.Width_Of(static_cast<std::uint16_t>(n)), font.Width_Of(font.Used()[n].glyph)) << n;
    // The composite, read from the subset, is built from the parts' new
    // numbers (3 on), in the same order.
    EXPECT_EQ(subset.Use(2, 0), 1);
    ASSERT_EQ(subset.Used().size(), font.Used().size() - 2) << "the glyphs but Omega and 'z'";
    for (std::size_t k = 2; k < subset.Used().size(); ++k) EXPECT_EQ(subset.Used()[k].glyph, k + 1);
    EXPECT_EQ(subset.Glyph_Of(U'z'), 0) << "a subset has no character map";
    EXPECT_LT(font.Subset().size(), bytes.size() / 20);

    std::vector<std::uint8_t> damaged(bytes.begin(), bytes.begin() + 200);
    EXPECT_THROW(Truetype_Font{damaged}, Failure);
    EXPECT_THROW(Truetype_Font{std::vector<std::uint8_t>(3, 0)}, Failure);
}

}  // namespace
}  // namespace velbrook

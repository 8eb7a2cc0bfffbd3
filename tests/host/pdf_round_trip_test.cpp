// Documents made by the PDF writer, read back by real readers: qpdf checks
// the structure, poppler lists the images and fonts, extracts the text and
// renders the pages.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "jpeg_test_encoder.h"
#include "pdf/pdf_document.h"

namespace velbrook {
namespace {

using test::Encode_Jpeg;
using test::Jpeg_Recipe;

struct Tool_Result {
    int status = -1;
    std::string output;
};

Tool_Result Run_Tool(const std::string& command) {
    Tool_Result result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// A page rendered at 72 dpi, so that a pixel is a point.
struct Page_Pixels {
    int width = 0, height = 0;
    std::string rgb;
    std::array<int, 3> At(double x, double y) const {
        std::size_t i = (static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)) * 3;
        return {static_cast<std::uint8_t>(rgb[i]), static_cast<std::uint8_t>(rgb[i + 1]),
                static_cast<std::uint8_t>(rgb[i + 2])};
    }
};

Page_Pixels Render(const std::string& pdf, int page) {
    std::string ppm =
        Run_Tool("pdftoppm -r 72 -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf + "'").output;
    Page_Pixels pixels;
    std::istringstream in(ppm);
    std::string magic;
    int maximum = 0;
    in >> magic >> pixels.width >> pixels.height >> maximum;
    in.get();
    pixels.rgb.assign(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(pixels.rgb.size(), std::size_t(pixels.width) * pixels.height * 3);
    return pixels;
}

void Expect_Colour(const Page_Pixels& page, double x, double y, std::array<int, 3> expected, const std::string& what) {
    auto actual = page.At(x, y);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], expected[c], 24) << what << " channel " << c;
}

constexpr std::array<int, 3> Red{230, 20, 20}, Green{20, 200, 40}, Blue{30, 40, 220}, White{255, 255, 255},
    Cyan{0, 174, 239};
constexpr double A4_Width = 595.2756, A4_Height = 841.8898;

class Pdf_Round_Trip : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("velbrook-pdf-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string Save(const Memory_Output& output, const char* name) {
        std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(output.Bytes().data()),
                   static_cast<std::streamsize>(output.Bytes().size()));
        return path;
    }
    std::filesystem::path folder_;
};

std::vector<std::uint8_t> Read_File(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Four pages: a YCbCr JPEG turned by its orientation, an Adobe CMYK JPEG, a
// progressive grey JPEG cropped by the clip, and pixels turned upside down;
// captions in Helvetica and in the embedded Japanese font.
TEST_F(Pdf_Round_Trip, Readers_Find_The_Pages_Images_Fonts_Text_And_Colours_Where_Placed) {
    auto quadrants = Encode_Jpeg({.width = 300, .height = 200}, [](int x, int y, std::uint8_t* s) {
        const auto& c = y < 100 ? (x < 150 ? Red : Green) : (x < 150 ? Blue : White);
        for (int i = 0; i < 3; ++i) s[i] = static_cast<std::uint8_t>(c[i]);
    });
    // Adobe's CMYK is stored inverted: 0 is full ink.  Full cyan, no other ink.
    auto cmyk = Encode_Jpeg({.width = 64, .height = 64, .components = 4, .input = JCS_CMYK, .stored = JCS_CMYK},
                            [](int, int, std::uint8_t* s) { s[0] = 0, s[1] = s[2] = s[3] = 255; });
    auto grey = Encode_Jpeg({.width = 100,
                             .height = 100,
                             .components = 1,
                             .input = JCS_GRAYSCALE,
                             .stored = JCS_GRAYSCALE,
                             .progressive = true},
                            [](int x, int, std::uint8_t* s) { s[0] = x < 50 ? 200 : 30; });

    Memory_Output output;
    Pdf_Document document(
        output, {.title = U"Orvel Pics", .producer = U"Velbrook v1.0f", .created = {2026, 12, 9, 15, 4, 5, 60}});
    auto ipa = Read_File("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf");
    ASSERT_FALSE(ipa.empty()) << "IPAGothic (fonts-ipafont-gothic) is needed";
    document.Add_Font(std::make_unique<Truetype_Font>(std::move(ipa)));
    const Page_Box strip{14, 800, 581, 828};

    // Orientation 6 (a quarter turn clockwise) into a 200 x 300 box.
    document.Begin_Page(A4_Width, A4_Height);
    Pdf_Image photo = document.Add_Jpeg(quadrants, *Read_Jpeg_Header(quadrants));
    document.Draw_Image(photo, {.orientation = 6,
                                .stored_width = 300,
                                .stored_height = 200,
                                .source = {0, 0, 200, 300},
                                .destination = {100, 100, 300, 400}});
    document.Draw_Caption(L"Caf\u00e9 \u20ac.jpg", strip, 10);
    document.End_Page();

    document.Begin_Page(A4_Width, A4_Height);
    Pdf_Image ink = document.Add_Jpeg(cmyk, *Read_Jpeg_Header(cmyk));
    document.Draw_Image(
        ink, {.stored_width = 64, .stored_height = 64, .source = {0, 0, 64, 64}, .destination = {50, 50, 150, 150}});
    document.Draw_Caption(std::wstring(200, L'W') + L"end", strip, 10);
    document.End_Page();

    // Only the dark right half is the source: the light half falls left of
    // the box and must be clipped away.
    document.Begin_Page(A4_Width, A4_Height);
    Pdf_Image dark = document.Add_Jpeg(grey, *Read_Jpeg_Header(grey));
    document.Draw_Image(
        dark,
        {.stored_width = 100, .stored_height = 100, .source = {50, 0, 100, 100}, .destination = {100, 500, 200, 600}});
    document.End_Page();

    document.Begin_Page(612, 792);
    Pdf_Image pixels = document.Add_Pixels(64, 48, [](int y, std::span<std::uint8_t> rgb) {
        for (int x = 0; x < 64; ++x) {
            const auto& c = y < 24 ? Red : Blue;
            for (int i = 0; i < 3; ++i) rgb[x * 3 + i] = static_cast<std::uint8_t>(c[i]);
        }
    });
    document.Draw_Image(pixels, {.orientation = 3,
                                 .stored_width = 64,
                                 .stored_height = 48,
                                 .source = {0, 0, 64, 48},
                                 .destination = {300, 300, 428, 396}});
    document.Draw_Caption(L"\u0391\u0398\u0397\u039d\u0391 \u65e5\u672c.jpg", {14, 750, 598, 778}, 10);
    document.End_Page();
    document.Finish();
    std::string pdf = Save(output, "round-trip.pdf");

    Tool_Result check = Run_Tool("qpdf --check '" + pdf + "'");
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_NE(check.output.find("No syntax or stream encoding errors"), std::string::npos) << check.output;

    std::string info = Run_Tool("TZ=UTC pdfinfo '" + pdf + "'").output;
    EXPECT_NE(info.find("Title:           Orvel Pics\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Producer:        Velbrook v1.0f\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           4\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Page size:       595.276 x 841.89 pts (A4)"), std::string::npos) << info;
    EXPECT_NE(info.find("CreationDate:    Wed Dec  9 14:04:05 2026 UTC"), std::string::npos) << info;

    // Every JPEG listed as jpeg with its own size, and its bytes in the file
    // as they were.
    std::string images =
        Run_Tool("pdfimages -list '" + pdf + "' | tail -n +3 | awk '{print $1, $3, $4, $5, $6, $9}'").output;
    EXPECT_EQ(
        images,
        "1 image 300 200 rgb jpeg\n2 image 64 64 cmyk jpeg\n3 image 100 100 gray jpeg\n4 image 64 48 rgb image\n");
    std::string file(output.Bytes().begin(), output.Bytes().end());
    for (const auto* jpeg : {&quadrants, &cmyk, &grey})
        EXPECT_NE(file.find(std::string(jpeg->begin(), jpeg->end())), std::string::npos);

    std::string fonts = Run_Tool("pdffonts '" + pdf + "'").output;
    EXPECT_NE(fonts.find("Helvetica                            Type 1            WinAnsi          no  no  no"),
              std::string::npos)
        << fonts;
    std::size_t subset = fonts.find("+IPAGothic ");
    ASSERT_NE(subset, std::string::npos) << fonts;
    EXPECT_EQ(fonts.substr(subset + 31, 46), "CID TrueType      Identity-H       yes yes yes") << fonts;

    std::string text = Run_Tool("pdftotext -enc UTF-8 '" + pdf + "' -").output;
    EXPECT_NE(text.find("Café €.jpg"), std::string::npos) << text;
    EXPECT_NE(text.find("WWW…"), std::string::npos) << "cut with an ellipsis: " << text;
    EXPECT_EQ(text.find("Wend"), std::string::npos) << text;
    EXPECT_NE(text.find("ΑΘΗΝΑ 日本.jpg"), std::string::npos) << text;

    // Quarter turn clockwise: the stored top-left (red) goes to the top
    // right, the top-right (green) to the bottom right.
    Page_Pixels first = Render(pdf, 1);
    ASSERT_GE(first.width, 595);
    Expect_Colour(first, 150, 175, Blue, "top left");
    Expect_Colour(first, 250, 175, Red, "top right");
    Expect_Colour(first, 150, 325, White, "bottom left");
    Expect_Colour(first, 250, 325, Green, "bottom right");
    Expect_Colour(first, 90, 250, White, "margin beside the picture");

    Page_Pixels second = Render(pdf, 2);
    Expect_Colour(second, 100, 100, Cyan, "Adobe CMYK read inverted");

    Page_Pixels third = Render(pdf, 3);
    Expect_Colour(third, 150, 550, {30, 30, 30}, "the dark half in the box");
    Expect_Colour(third, 50, 550, White, "the light half clipped away");

    // A half turn: the stored top (red) comes out at the bottom.
    Page_Pixels fourth = Render(pdf, 4);
    ASSERT_EQ(fourth.height, 792) << "US Letter";
    Expect_Colour(fourth, 364, 320, Blue, "top after the half turn");
    Expect_Colour(fourth, 364, 380, Red, "bottom after the half turn");
    int inked = 0;
    for (int x = 14; x < 598; ++x)
        for (int y = 750; y < 778; ++y) inked += fourth.At(x, y)[0] < 128;
    EXPECT_GT(inked, 60) << "the Greek and Japanese caption is drawn";
}

}  // namespace
}  // namespace velbrook

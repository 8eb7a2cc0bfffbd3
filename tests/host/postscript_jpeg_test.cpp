// The PostScript that draws a JPEG from its own bytes: where its matrix puts
// the picture's corners for each way a picture is placed, the clip, the image
// dictionary of each colour kind, the ASCII85 text of the bytes, and which
// files pass the check before their bytes go anywhere.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "jpeg_test_encoder.h"
#include "pdf/jpeg_header.h"
#include "printing/postscript_jpeg.h"

namespace velbrook {
namespace {

enum Corner { TL, TR, BL, BR };

struct Point {
    double x = 0, y = 0;
};

Point Corner_Of(const Box& b, Corner c) {
    return {double(c == TR || c == BR ? b.right : b.left), double(c == BL || c == BR ? b.bottom : b.top)};
}

// The six numbers before " concat", as the printer reads them.
Pdf_Matrix Matrix_In(const std::string& text) {
    const std::size_t end = text.find("] concat");
    const std::size_t start = text.rfind('[', end);
    Pdf_Matrix m;
    EXPECT_EQ(std::sscanf(text.c_str() + start, "[%lf %lf %lf %lf %lf %lf]", &m.a, &m.b, &m.c, &m.d, &m.e, &m.f), 6)
        << text;
    return m;
}

Point Apply(const Pdf_Matrix& m, double u, double t) { return {m.a * u + m.c * t + m.e, m.b * u + m.d * t + m.f}; }

const Jpeg_Header Rgb_Header{.width = 300, .height = 200, .components = 3};

TEST(Postscript_Jpeg, The_Matrix_Puts_The_Stored_Corners_Where_The_Placement_Turns_Them) {
    const Box target{100, 200, 500, 800};  // portrait, 400 x 600
    const Page_Options stretch{}, fit{.fit = Fit_Mode::Fit}, camera{.camera_orientation = true};
    const Page_Options turned{.fit = Fit_Mode::Fit, .turn_to_page = true};
    // Where the stored picture's top-left, top-right and bottom-left
    // corners go on the destination.
    const struct Case {
        const char* name;
        int exif;
        Page_Options options;
        Corner top_left, top_right, bottom_left;
    } cases[] = {
        {"stretched", 1, stretch, TL, TR, BL},
        {"fitted", 1, fit, TL, TR, BL},
        {"turned a quarter to suit the page", 1, turned, BL, TL, BR},
        {"exif 2, mirrored", 2, camera, TR, TL, BR},
        {"exif 3, half turn", 3, camera, BR, BL, TR},
        {"exif 4, mirrored top to bottom", 4, camera, BL, BR, TL},
        {"exif 5, transposed", 5, camera, TL, BL, TR},
        {"exif 6, quarter clockwise", 6, camera, TR, BR, TL},
        {"exif 7, transverse", 7, camera, BR, TR, BL},
        {"exif 8, quarter counter-clockwise", 8, camera, BL, TL, BR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Held as the file, and as a decode at half its size: the matrix is
        // the same, the image the file's.
        for (const int held_scale : {1, 2}) {
            const std::int32_t held_w = Rgb_Header.width / held_scale, held_h = Rgb_Header.height / held_scale;
            const Placement placement = Place_Picture(held_w, held_h, c.exif, c.options, target, 0);
            const Postscript_Jpeg ps = Postscript_For_Jpeg(Rgb_Header, placement, held_w, held_h, Postscript_Data::Binary);
            const Pdf_Matrix m = Matrix_In(ps.before);
            // The image's unit square has the first stored row at t = 1.
            const std::pair<Point, Corner> corners[] = {
                {Apply(m, 0, 1), c.top_left}, {Apply(m, 1, 1), c.top_right}, {Apply(m, 0, 0), c.bottom_left}};
            for (const auto& [at, corner] : corners) {
                const Point wanted = Corner_Of(placement.destination, corner);
                EXPECT_NEAR(at.x, wanted.x, 0.01) << "held at 1/" << held_scale;
                EXPECT_NEAR(at.y, wanted.y, 0.01) << "held at 1/" << held_scale;
            }
            EXPECT_NE(ps.before.find("/Width 300 /Height 200"), std::string::npos) << ps.before;
            EXPECT_NE(ps.before.find("/ImageMatrix [300 0 0 -200 0 200]"), std::string::npos) << ps.before;
        }
    }
}

TEST(Postscript_Jpeg, A_Filled_Picture_Is_Clipped_To_Its_Destination_And_Overhangs_It_By_Its_Cut) {
    // 300 x 200 filling 400 x 600: enlarged three times, 900 x 600, of which
    // the middle 400 show; a cell of a grid is such a target too.
    const Box target{100, 200, 500, 800};
    const Placement placement = Place_Picture(300, 200, 1, {.fit = Fit_Mode::Fill}, target, 0);
    ASSERT_EQ(placement.destination, target);
    const Postscript_Jpeg ps = Postscript_For_Jpeg(Rgb_Header, placement, 300, 200, Postscript_Data::Binary);
    const Pdf_Matrix m = Matrix_In(ps.before);
    // The visible part is whole pixels of the picture (133 of 300 across,
    // from 83), each 400 / 133 device pixels wide.
    const Box& s = placement.source;
    ASSERT_EQ(s, (Box{83, 0, 216, 200}));
    const double pixel = 400.0 / 133;
    EXPECT_NEAR(Apply(m, 0, 1).x, 100 - 83 * pixel, 0.01);
    EXPECT_NEAR(Apply(m, 1, 1).x, 100 + (300 - 83) * pixel, 0.01);
    EXPECT_NEAR(Apply(m, 0, 1).y, 200, 0.01);
    EXPECT_NEAR(Apply(m, 0, 0).y, 800, 0.01);
    EXPECT_NE(ps.before.find("newpath 100 200 moveto 400 0 rlineto 0 600 rlineto -400 0 rlineto closepath clip"),
              std::string::npos)
        << ps.before;
    // Inside a save of the graphics state, which the driver's drawing after it finds unchanged.
    EXPECT_EQ(ps.before.find("\ngsave\n"), 0u);
    EXPECT_EQ(ps.after, "\ngrestore\n");
    // Nothing visible: nothing at all.
    Placement hidden = placement;
    hidden.destination = {};
    EXPECT_TRUE(Postscript_For_Jpeg(Rgb_Header, hidden, 300, 200, Postscript_Data::Binary).before.empty());
}

TEST(Postscript_Jpeg, Each_Colour_Kind_Gets_Its_Space_Decode_And_Transform) {
    const struct Case {
        const char* name;
        Jpeg_Header header;
        const char* space;
        const char* decode;
        bool no_transform;
    } cases[] = {
        {"grey", {.width = 8, .height = 8, .components = 1}, "/DeviceGray", "[0 1]", false},
        {"YCbCr", {.width = 8, .height = 8, .components = 3}, "/DeviceRGB", "[0 1 0 1 0 1]", false},
        {"RGB by name", {.width = 8, .height = 8, .components = 3, .rgb_named = true}, "/DeviceRGB", "[0 1 0 1 0 1]",
         true},
        {"CMYK", {.width = 8, .height = 8, .components = 4}, "/DeviceCMYK", "[0 1 0 1 0 1 0 1]", false},
        {"Adobe's inverted CMYK", {.width = 8, .height = 8, .components = 4, .adobe = true}, "/DeviceCMYK",
         "[1 0 1 0 1 0 1 0]", false},
    };
    const Placement placement = Place_Picture(8, 8, 1, {}, {0, 0, 80, 80}, 0);
    for (const Case& c : cases) {
        for (const Postscript_Data data : {Postscript_Data::Binary, Postscript_Data::Ascii85}) {
            SCOPED_TRACE(std::string(c.name) + (data == Postscript_Data::Binary ? ", binary" : ", ASCII85"));
            const std::string ps = Postscript_For_Jpeg(c.header, placement, 8, 8, data).before;
            EXPECT_NE(ps.find(std::string(c.space) + " setcolorspace"), std::string::npos) << ps;
            EXPECT_NE(ps.find(std::string("/Decode ") + c.decode + " "), std::string::npos) << ps;
            EXPECT_EQ(ps.find("<< /ColorTransform 0 >> /DCTDecode filter") != std::string::npos, c.no_transform) << ps;
            EXPECT_EQ(ps.find("/ASCII85Decode filter") != std::string::npos, data == Postscript_Data::Ascii85) << ps;
            // The data follows the procedure at once.
            EXPECT_TRUE(ps.ends_with("} exec\n")) << ps;
        }
    }
}

// PostScript's ASCII85Decode, as the printer reads the text.
std::vector<std::uint8_t> Decode_Ascii85(const std::string& text) {
    std::vector<std::uint8_t> out;
    std::uint64_t group = 0;
    int count = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '~') {
            EXPECT_EQ(text.substr(k), "~>");
            break;
        }
        if (c == '\n') continue;
        if (c == 'z') {
            EXPECT_EQ(count, 0);
            out.insert(out.end(), 4, 0);
            continue;
        }
        EXPECT_TRUE(c >= '!' && c <= 'u') << int(c);
        group = group * 85 + static_cast<std::uint64_t>(c - '!');
        if (++count == 5) {
            EXPECT_LE(group, 0xFFFFFFFFu);
            for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(group >> s));
            group = 0;
            count = 0;
        }
    }
    if (count > 0) {
        for (int k = count; k < 5; ++k) group = group * 85 + 84;
        for (int s = 24, n = 0; n < count - 1; s -= 8, ++n) out.push_back(static_cast<std::uint8_t>(group >> s));
    }
    return out;
}

TEST(Postscript_Jpeg, Ascii85_Text_Reads_Back_As_The_Bytes_However_They_Were_Fed) {
    std::string man;
    Ascii85_Encoder one;
    const std::uint8_t text[] = {'M', 'a', 'n', ' '};
    one.Add(text, man);
    one.Finish(man);
    EXPECT_EQ(man, "9jqo^~>");

    std::mt19937 random(7);
    for (const std::size_t size : {0u, 1u, 2u, 3u, 4u, 5u, 8u, 77u, 5000u}) {
        std::vector<std::uint8_t> bytes(size);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random() % 3 == 0 ? 0 : random());
        if (size >= 8) std::fill_n(bytes.begin() + 4, 4, 0);  // a group of zeros
        for (const std::size_t piece : {1u, 3u, 4096u}) {
            SCOPED_TRACE(std::to_string(size) + " bytes in pieces of " + std::to_string(piece));
            Ascii85_Encoder encoder;
            std::string out;
            for (std::size_t at = 0; at < size; at += piece)
                encoder.Add({bytes.data() + at, std::min(piece, size - at)}, out);
            encoder.Finish(out);
            EXPECT_EQ(Decode_Ascii85(out), bytes);
            if (size >= 8) {
                EXPECT_NE(out.find('z'), std::string::npos);
            }
            std::size_t line = 0, longest = 0;
            for (char c : out) {
                line = c == '\n' ? 0 : line + 1;
                longest = std::max(longest, line);
            }
            EXPECT_LE(longest, 76u);
        }
    }
}

TEST(Postscript_Jpeg, Only_A_Jpeg_That_Reads_Whole_Is_Taken_As_It_Is) {
    const std::vector<std::uint8_t> sound =
        test::Encode_Jpeg({.width = 64, .height = 48}, [](int x, int y, std::uint8_t* rgb) {
            rgb[0] = static_cast<std::uint8_t>(x * 4), rgb[1] = static_cast<std::uint8_t>(y * 5), rgb[2] = 90;
        });
    std::vector<std::uint8_t> trailing = sound;
    trailing.insert(trailing.end(), {'t', 'a', 'i', 'l'});
    // Cut in its scan with the end marker put back: whole to a marker walk.
    std::vector<std::uint8_t> cut(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(sound.size() * 2 / 3));
    cut.insert(cut.end(), {0xFF, 0xD9});
    std::vector<std::uint8_t> lying = sound;
    test::Forge_Frame_Size(lying, 64, 480);
    const std::vector<std::uint8_t> progressive = test::Encode_Jpeg(
        {.width = 32, .height = 32, .progressive = true}, [](int, int, std::uint8_t* rgb) { rgb[0] = rgb[1] = rgb[2] = 7; });
    const std::vector<std::uint8_t> no_end(sound.begin(), sound.end() - 2);
    const struct Case {
        const char* name;
        const std::vector<std::uint8_t>& bytes;
        bool taken;
        std::uint64_t length;
    } cases[] = {
        {"sound", sound, true, sound.size()},
        {"bytes after its end marker", trailing, true, sound.size()},
        {"progressive (taken; the printer decides)", progressive, true, progressive.size()},
        {"cut in its scan", cut, false, 0},
        {"a frame header that claims ten times the rows", lying, false, 0},
        {"no end marker", no_end, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int opened = 0;
        const std::optional<Jpeg_As_It_Is> jpeg = Check_Jpeg_As_It_Is([&] {
            ++opened;
            return std::make_unique<Span_Source>(std::span<const std::uint8_t>(c.bytes));
        });
        ASSERT_EQ(jpeg.has_value(), c.taken);
        if (!jpeg) continue;
        EXPECT_EQ(jpeg->length, c.length);
        EXPECT_EQ(opened, 3);
    }
}

}  // namespace
}  // namespace velbrook

#include <gtest/gtest.h>

#include "pdf/save_pdf_rules.h"

namespace velbrook {
namespace {

TEST(Save_Pdf_Rules, Paper_By_Locale_With_A_Five_Millimetre_Margin_On_A_300_Dot_Grid) {
    struct Case {
        int code;
        double width, height;
        std::int32_t dots_wide, dots_high;
    };
    const Case cases[] = {
        {1, 612, 792, 2550, 3300},            // US Letter
        {9, 595.2756, 841.8898, 2480, 3507},  // A4
        {5, 595.2756, 841.8898, 2480, 3507},  // anything else (here US Legal) gets A4
        {0, 595.2756, 841.8898, 2480, 3507},
    };
    for (const Case& c : cases) {
        Pdf_Paper paper = Paper_For_Locale(c.code);
        EXPECT_NEAR(paper.width, c.width, 1e-3) << c.code;
        EXPECT_NEAR(paper.height, c.height, 1e-3) << c.code;
        EXPECT_EQ(paper.dots_wide, c.dots_wide) << c.code;
        EXPECT_EQ(paper.dots_high, c.dots_high) << c.code;
        // 5 mm at 300 dots an inch is 59 dots.
        EXPECT_EQ(Pdf_Page_Target(paper), (Box{59, 59, c.dots_wide - 59, c.dots_high - 59})) << c.code;
    }
    Page_Box points = Dots_To_Points({59, 59, 2421, 3448});
    EXPECT_NEAR(points.left, 14.16, 1e-9);
    EXPECT_NEAR(points.bottom, 827.52, 1e-9);
    EXPECT_NEAR(Points_Of_Dots(42), 10.08, 1e-9);
}

// A drawn picture keeps 300 dots an inch of its place: each stored side at
// the enlargement of the page direction it is drawn along.
TEST(Save_Pdf_Rules, Raster_Size_Follows_The_Place_On_The_Page) {
    struct Case {
        const char* name;
        std::int32_t stored_w, stored_h;
        Placement placement;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {"stretched", 38, 38, {.destination = {0, 0, 2362, 3389}, .source = {0, 0, 38, 38}}, 2362, 3389},
        {"turned a quarter",
         100,
         50,
         {.orientation = 6, .destination = {0, 0, 500, 2000}, .source = {0, 0, 50, 100}},
         2000,
         500},
        {"a cropped part", 100, 100, {.destination = {0, 0, 400, 400}, .source = {50, 0, 100, 50}}, 800, 800},
        {"nothing visible", 100, 100, {.destination = {}, .source = {0, 0, 100, 100}}, 1, 1},
    };
    for (const Case& c : cases) {
        Raster_Size size = Place_Raster_Size(c.stored_w, c.stored_h, c.placement);
        EXPECT_EQ(size.width, c.width) << c.name;
        EXPECT_EQ(size.height, c.height) << c.name;
    }
}

// A metafile's frame can be 1 mm by 10 m: filling a page cell, the whole
// picture at the cell's scale is millions of rows, of which a page's worth
// shows.  Only the window over what shows is rasterised, in stored
// orientation, and the matrix's source is that part within the window.
TEST(Save_Pdf_Rules, A_Scalable_Picture_Is_Rasterised_For_What_Shows_Of_It) {
    const Box cell{0, 0, 2480, 3508};
    struct Case {
        const char* name;
        std::int32_t stored_w, stored_h;
        Page_Options options;
        int exif;
    };
    const Case cases[] = {
        {"a sliver filling the cell", 4, 37795, {.fit = Fit_Mode::Fill}, 1},
        {"a ribbon turned to the page", 37795, 4, {.fit = Fit_Mode::Fill, .turn_to_page = true}, 1},
        {"mirrored and filling", 3000, 40, {.fit = Fit_Mode::Fill, .camera_orientation = true}, 2},
        {"transposed and filling", 40, 3000, {.fit = Fit_Mode::Fill, .camera_orientation = true}, 5},
        {"stretched, nothing cut", 400, 300, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Placement placement = Place_Picture(c.stored_w, c.stored_h, c.exif, c.options, cell, 0);
        const Raster_Window part = Visible_Raster_Window(c.stored_w, c.stored_h, placement);
        const bool swaps = Swaps_Sides(placement.orientation);
        const std::int32_t shown_w = swaps ? part.window.Height() : part.window.Width();
        const std::int32_t shown_h = swaps ? part.window.Width() : part.window.Height();
        // The window lies in the whole, and is the destination's size to a pixel.
        EXPECT_GE(part.window.left, 0);
        EXPECT_GE(part.window.top, 0);
        EXPECT_LE(part.window.right, part.whole.width);
        EXPECT_LE(part.window.bottom, part.whole.height);
        EXPECT_NEAR(shown_w, placement.destination.Width(), 2);
        EXPECT_NEAR(shown_h, placement.destination.Height(), 2);
        // The source is the visible part within the window, as oriented.
        EXPECT_GE(part.source.left, 0);
        EXPECT_GE(part.source.top, 0);
        EXPECT_LE(part.source.right, shown_w + 1e-6);
        EXPECT_LE(part.source.bottom, shown_h + 1e-6);
        EXPECT_NEAR(part.source.Width(), placement.destination.Width(), 1.0);
        EXPECT_NEAR(part.source.Height(), placement.destination.Height(), 1.0);
        if (c.options.fit == Fit_Mode::Stretch) {
            EXPECT_EQ(part.window, (Box{0, 0, part.whole.width, part.whole.height}));
        }
    }
    // The sliver's whole picture would be millions of rows.
    const Placement sliver = Place_Picture(4, 37795, 1, {.fit = Fit_Mode::Fill}, cell, 0);
    EXPECT_GT(Visible_Raster_Window(4, 37795, sliver).whole.height, 10'000'000);
}

TEST(Save_Pdf_Rules, Status_Texts_Name_The_Page_The_Count_And_The_Seconds) {
    EXPECT_EQ(Saving_Progress_Text(3, 12, 7), L"  Now saving page 3 of 12 ...     (7 secs elapsed so far ...)");
    EXPECT_EQ(Saved_Text(1, L"C:\\a.pdf", 0),
              L"  Success: 1 page saved to \"C:\\a.pdf\" !!    (The entire process took 0 seconds).");
    EXPECT_EQ(Saved_Text(2, L"b.pdf", 5),
              L"  Success: 2 pages saved to \"b.pdf\" !!    (The entire process took 5 seconds).");
    EXPECT_EQ(Save_Pdf_Failure_Text(L"C:\\a.pdf", L"the file is read-only."),
              L"The PDF file \"C:\\a.pdf\" could not be saved:\r\n\r\nthe file is read-only.");
}

}  // namespace
}  // namespace velbrook

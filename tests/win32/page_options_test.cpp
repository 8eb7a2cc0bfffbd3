// The Options menu's placements on the recording printer and in the preview,
// the new picture types through the imaging component, and the settings
// section that keeps the options.

#include "../support/picture_writers.h"
#include "app/settings_file.h"
#include "gif_encoder.h"
#include "picture_folder.h"
#include "picture_test_support.h"
#include "print_test_support.h"
#include "printing/print_texts.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

class Page_Options_Test : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(app_dialogs.messages.empty()); }
    // Prints the entries with these options; every page must end up recorded.
    void Print(std::vector<std::wstring> entries, Page_Options options) {
        b.host.entries = std::move(entries);
        b.host.options = options;
        b.run->Print_BitBtnClick();
        EXPECT_TRUE(b.host.dialogs.messages.empty()) << "the run showed a box";
    }
    RECT Page_Rect() const { return {10, 10, b.options.page.cx - 10, b.options.page.cy - 10}; }

    Scripted_Dialogs app_dialogs;
    Application application{app_dialogs, L"Velbrook tests"};
    Print_Bench b;
    Picture_Folder folder;
};

TEST_F(Page_Options_Test, Each_Option_Places_The_Marked_Picture_As_The_Table_Says) {
    const std::wstring plain = folder.Write(L"mark.jpg", Marked_Jpeg());
    const std::wstring turned = folder.Write(L"camera.jpg", Marked_Jpeg(6));
    struct Case {
        const char* what;
        std::wstring path;
        Page_Options options;
        Box destination;
        int orientation;
        POINT red, green, white;  // device pixels of the page
    } cases[] = {
        {"fit: centred, white above and below",
         plain,
         {.fit = Fit_Mode::Fit},
         {10, 934, 2469, 2573},
         1,
         {100, 1000},
         {2400, 1000},
         {1200, 600}},
        {"fit and turn: the top along the left edge",
         plain,
         {.fit = Fit_Mode::Fit, .turn_to_page = true},
         {77, 10, 2402, 3498},
         8,
         {150, 3400},
         {150, 100},
         {40, 1750}},
        {"camera's quarter turn clockwise",
         turned,
         {.camera_orientation = true},
         Box{10, 10, 2469, 3498},
         6,
         {2400, 100},
         {2400, 3400},
         {4, 1750}},
        {"camera tag ignored with the option off",
         turned,
         {.fit = Fit_Mode::Fit},
         {10, 934, 2469, 2573},
         1,
         {100, 1000},
         {2400, 1000},
         {1200, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        b.recording->pages.clear();
        Print({c.path}, c.options);
        ASSERT_EQ(b.recording->pages.size(), 1u);
        ASSERT_EQ(b.Page(0).placed.size(), 1u);
        const Placement& placed = b.Page(0).placed[0];
        EXPECT_EQ(placed.destination, c.destination);
        EXPECT_EQ(placed.orientation, c.orientation);
        EXPECT_TRUE(Near(b.At(0, c.red.x, c.red.y), Red, 60)) << "red mark";
        EXPECT_TRUE(Near(b.At(0, c.green.x, c.green.y), Green, 60)) << "green mark";
        EXPECT_EQ(b.At(0, c.white.x, c.white.y), White) << "outside the picture";
        b.Another_Printer_Answer();
    }
}

TEST_F(Page_Options_Test, Fill_Covers_The_Page_And_The_Caption_Names_The_File_Under_It) {
    Print({folder.Write(L"a rather long file name of a holiday picture.jpg", Marked_Jpeg())},
          {.fit = Fit_Mode::Fill, .print_file_names = true});
    ASSERT_EQ(b.recording->pages.size(), 1u);
    const Recorded_Page& page = b.Page(0);
    const int strip = Caption_Strip_Height(300);
    ASSERT_EQ(page.captions.size(), 1u);
    EXPECT_EQ(page.captions[0], L"a rather long file name of a holiday picture.jpg");
    EXPECT_EQ(page.caption_strips[0], (Box{10, 3498 - strip, 2469, 3498}));
    EXPECT_EQ(page.placed[0].destination, (Box{10, 10, 2469, 3498 - strip}));
    // The marks are cut away; blue reaches every corner of what is left.
    for (POINT p : {POINT{30, 30}, POINT{2440, 30}, POINT{30, 3498 - strip - 20}, POINT{2440, 3498 - strip - 20}})
        EXPECT_TRUE(Near(b.At(0, p.x, p.y), Blue, 60)) << p.x << ", " << p.y;
    // Something dark is written in the strip, and nothing below the page rectangle.
    bool ink = false;
    for (int x = 10; x < 2469; x += 8) ink = ink || b.At(0, x, 3498 - strip / 2) != White;
    EXPECT_TRUE(ink);
    EXPECT_EQ(b.At(0, 1200, 3504), White);
}

TEST_F(Page_Options_Test, Png_Tiff_And_Gif_Print_With_The_Option_And_Are_Skipped_Without_It) {
    const std::wstring png = folder.Write(L"half.png", Wic_File(GUID_ContainerFormatPng, 40, 30, {0x80FF0000u}));
    const std::wstring tiff =
        folder.Write(L"pages.TIFF", Wic_File(GUID_ContainerFormatTiff, 30, 40, {0xFF00FF00u, 0xFF0000FFu}));
    TGIFEncodeImage gif = One_Frame_Picture(4, 4, {1, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1});
    gif.Global_Color_Bits = 1;
    gif.Global_Palette = {255, 0, 255, 0, 0, 255};
    gif.Frames[0].Graphic_Control = true;
    gif.Frames[0].Transparent_Index = 0;
    const std::wstring gif_path = folder.Write(L"ring.gif", Encode_GIF(gif));
    std::vector<std::uint8_t> cut = File_Bytes(png);
    cut.resize(cut.size() / 2);
    const std::wstring broken_png = folder.Write(L"broken.png", cut);
    const std::wstring broken_tiff = folder.Write(L"broken.tif", {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F});
    const std::wstring broken_gif = folder.Write(L"broken.gif", {'G', 'I', 'F', '8', '9', 'a', 4, 0});

    Print({broken_png, png, broken_tiff, tiff, broken_gif, gif_path}, {.more_types = true});
    ASSERT_EQ(b.recording->pages.size(), 4u) << "the PNG, both TIFF pages and the GIF";
    const RECT r = Page_Rect();
    const int mid_x = (r.left + r.right) / 2, mid_y = (r.top + r.bottom) / 2;
    EXPECT_TRUE(Near(b.At(0, mid_x, mid_y), Rgb{255, 127, 127}, 12)) << "half-transparent red over white";
    EXPECT_TRUE(Near(b.At(1, mid_x, mid_y), Green, 12)) << "the TIFF's first page";
    EXPECT_TRUE(Near(b.At(2, mid_x, mid_y), Blue, 12)) << "the TIFF's second page";
    EXPECT_EQ(b.At(3, mid_x, mid_y), White) << "the GIF's transparent middle";
    EXPECT_TRUE(Near(b.At(3, r.left + 40, r.top + 40), Blue, 12)) << "the GIF's ring";
    EXPECT_EQ(b.host.statuses[0], L"  Now printing page 1 of 6 ...     (0 secs elapsed so far ...)");

    // Without the option, everything about them is as it always was: skipped.
    b.recording->pages.clear();
    b.Another_Printer_Answer();
    Print({png, tiff, gif_path}, {.fit = Fit_Mode::Fit});
    ASSERT_EQ(b.recording->pages.size(), 1u);
    EXPECT_TRUE(b.Blank(0));
}

TEST(Page_Options_Preview, Draws_With_The_Page_Placement_And_The_Classic_Stretch_By_Default) {
    Picture_Folder folder;
    const std::wstring path = folder.Write(L"mark.jpg", Marked_Jpeg());
    Canvas classic(141, 179), fitted(141, 179);
    Load_Preview(path, {141, 179}, {})->Draw(classic.Dc(), classic.Whole());
    Load_Preview(path, {141, 179}, {.fit = Fit_Mode::Fit, .turn_to_page = true})->Draw(fitted.Dc(), fitted.Whole());
    EXPECT_TRUE(Near(classic.At(5, 5), Red, 60));
    EXPECT_TRUE(Near(classic.At(135, 5), Green, 60));
    // Turned counter-clockwise and fitted: the red mark at the bottom left,
    // the green one at the top left, the box's own colour beside it.
    const Placement p = Place_Picture(300, 200, 1, {.fit = Fit_Mode::Fit, .turn_to_page = true}, {0, 0, 141, 179}, 0);
    EXPECT_TRUE(Near(fitted.At(p.destination.left + 4, p.destination.bottom - 4), Red, 60));
    EXPECT_TRUE(Near(fitted.At(p.destination.left + 4, p.destination.top + 4), Green, 60));
    EXPECT_EQ(fitted.At(p.destination.right + 2 < 141 ? p.destination.right + 2 : 140, 90), Backdrop);
}

TEST(Page_Options_Settings, Round_Trip_In_Their_Own_Section_And_Defaults_Leave_The_File_As_It_Was) {
    Picture_Folder folder;
    const std::wstring ini = folder.Path(L"velbrook.ini");
    Write_Settings(ini, Settings{});
    const std::vector<std::uint8_t> classic = File_Bytes(ini);
    Write_Page_Options(ini, {});
    EXPECT_EQ(File_Bytes(ini), classic) << "default options write nothing";

    const Page_Options chosen{
        .fit = Fit_Mode::Fill, .turn_to_page = true, .print_file_names = true, .more_types = true};
    Write_Page_Options(ini, chosen);
    EXPECT_EQ(Read_Page_Options(ini), chosen);
    EXPECT_EQ(Read_Settings(ini).width, Settings{}.width);
    const std::vector<std::uint8_t> now = File_Bytes(ini);
    const std::string text(now.begin(), now.end());
    EXPECT_LT(text.find("[velbrook]"), text.find("[Options]")) << text;
    Write_Page_Options(ini, {});
    EXPECT_EQ(Read_Page_Options(ini), Page_Options{});

    // Damaged values fall back to the default without a word.
    folder.Write(L"velbrook.ini", {});
    const std::string damaged = "[Options]\r\nPlacement=7\r\nTurn_to_Suit_the_Page=yes\r\nPrint_File_Names=1\r\n";
    folder.Write(L"velbrook.ini", std::vector<std::uint8_t>(damaged.begin(), damaged.end()));
    EXPECT_EQ(Read_Page_Options(ini), (Page_Options{.print_file_names = true}));
}

}  // namespace
}  // namespace velbrook

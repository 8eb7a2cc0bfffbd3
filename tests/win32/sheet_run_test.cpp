// Sheets of several pictures, through the print run and a recording
// printer: the cells the planner gives, copies and skipped pictures filling
// them in order, captions in cells, actual size, abort between sheets, and a
// device whose figures cannot be planned for.

#include "jpeg_encoder.h"
#include "picture_folder.h"
#include "picture_test_support.h"
#include "print_test_support.h"
#include "printing/preview_printer.h"
#include "printing/print_texts.h"
#include "printing/printer_surface.h"
#include "printing/sheet_run.h"
#include "toolkit/form.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

// A flat picture of one colour, `dots` to the inch when given.
std::vector<std::uint8_t> Solid_Jpeg(Rgb colour, int width = 60, int height = 40, int dots = 0) {
    return test::Encode_Jpeg(test::Jpeg_Recipe{.width = width, .height = height, .dots_per_inch = dots},
                             [&](int, int, std::uint8_t* rgb) {
                                 rgb[0] = static_cast<std::uint8_t>(colour.r);
                                 rgb[1] = static_cast<std::uint8_t>(colour.g);
                                 rgb[2] = static_cast<std::uint8_t>(colour.b);
                             });
}

Rgb Centre_Of(const Print_Bench& b, std::size_t page, const Box& cell) {
    return b.At(page, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
}

Sheet_Paper Paper_Of(const Print_Bench& b) { return Recording_Printer(b.recording, b.options).Paper(); }
Sheet_Plan Plan_Of(const Print_Bench& b) { return Plan_Sheet(Paper_Of(b), b.host.layout); }

Rgb Bitmap_Pixel(HBITMAP bitmap, POINT at) {
    const Dc_Handle dc(::CreateCompatibleDC(nullptr));
    const Select_Guard select(dc.get(), bitmap);
    const COLORREF c = ::GetPixel(dc.get(), at.x, at.y);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// Whatever happened, the window is normal and no job is left open.
void Expect_Run_Ended(const Print_Bench& b) {
    EXPECT_TRUE(b.host.enabled);
    EXPECT_FALSE(b.host.panel_shown);
    EXPECT_FALSE(b.recording->Open());
}

class Sheet_Run_Test : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(app_dialogs.messages.empty()); }
    std::wstring Picture(const std::wstring& name, Rgb colour, int dots = 0) {
        return folder.Write(name, Solid_Jpeg(colour, 60, 40, dots));
    }

    Scripted_Dialogs app_dialogs;
    Application application{app_dialogs, L"Velbrook tests"};
    Picture_Folder folder;
};

TEST_F(Sheet_Run_Test, Each_Layout_Draws_In_The_Cells_Of_Its_Plan) {
    struct Case {
        const char* what;
        Sheet_Layout layout;
        Page_Options options;
        std::size_t cells;
    };
    const Case cases[] = {
        {"a 2 x 2 grid, stretched", {.kind = Sheet_Kind::Grid, .columns = 2, .rows = 2}, {}, 4},
        {"a 3 x 2 grid, fitted", {.kind = Sheet_Kind::Grid, .columns = 3, .rows = 2}, {.fit = Fit_Mode::Fit}, 6},
        {"10 x 15 cm prints, turned", {.kind = Sheet_Kind::Print_Size}, {.fit = Fit_Mode::Fill}, 2},
        {"ID photos", {.kind = Sheet_Kind::Print_Size, .print_width = 350, .print_height = 450}, {}, 30},
    };
    const Rgb colours[] = {Red, Green, Blue, Yellow, Magenta, Cyan};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Print_Bench b;
        b.host.layout = c.layout;
        b.host.options = c.options;
        b.host.entries.clear();
        for (int k = 0; k < 6; ++k) b.host.entries.push_back(Picture(L"p" + std::to_wstring(k) + L".jpg", colours[k]));
        const Sheet_Plan plan = Plan_Of(b);
        ASSERT_EQ(plan.cells.size(), c.cells);
        b.run->Print_BitBtnClick();
        Expect_Run_Ended(b);
        ASSERT_EQ(b.recording->pages.size(), (6 + c.cells - 1) / c.cells);
        const Recorded_Page& page = b.Page(0);
        const std::size_t on_first = std::min<std::size_t>(6, c.cells);
        if (c.options == Page_Options{}) {
            // The classic drawing, cell by cell.
            ASSERT_EQ(page.drawn.size(), on_first);
            for (std::size_t k = 0; k < on_first; ++k) {
                const RECT d = page.drawn[k];
                EXPECT_EQ((Box{d.left, d.top, d.right, d.bottom}), plan.cells[k]) << k;
            }
        } else {
            ASSERT_EQ(page.placed.size(), on_first);
            for (std::size_t k = 0; k < on_first; ++k) {
                const Box& cell = plan.cells[k];
                EXPECT_EQ(page.placed[k].picture_area, cell) << k;
                const Box& d = page.placed[k].destination;
                EXPECT_TRUE(d.left >= cell.left && d.top >= cell.top && d.right <= cell.right &&
                            d.bottom <= cell.bottom)
                    << k;
            }
        }
        // Each picture shows in its own cell, in list order.
        for (std::size_t k = 0; k < on_first; ++k) EXPECT_TRUE(Near(Centre_Of(b, 0, plan.cells[k]), colours[k])) << k;
        EXPECT_EQ(b.host.statuses.front(), L"  Now printing page 1 of " + std::to_wstring((6 + c.cells - 1) / c.cells) +
                                               L" ...     (0 secs elapsed so far ...)");
    }
}

TEST_F(Sheet_Run_Test, Copies_And_A_Skipped_Picture_Fill_The_Cells_In_Order_Across_Sheets) {
    Print_Bench b;
    b.host.layout = {.kind = Sheet_Kind::Grid, .columns = 2, .rows = 2, .copies = 3};
    b.host.entries = {Picture(L"red.jpg", Red), Sample("corrupt.jpg"), folder.Path(L"gone.jpg"),
                      Picture(L"blue.jpg", Blue)};
    b.run->Print_BitBtnClick();
    Expect_Run_Ended(b);
    const Sheet_Plan plan = Plan_Of(b);
    ASSERT_EQ(b.recording->pages.size(), 2u);
    const Rgb first[] = {Red, Red, Red, Blue};
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(Near(Centre_Of(b, 0, plan.cells[k]), first[k])) << k;
    EXPECT_TRUE(Near(Centre_Of(b, 1, plan.cells[0]), Blue));
    EXPECT_TRUE(Near(Centre_Of(b, 1, plan.cells[1]), Blue));
    EXPECT_EQ(Centre_Of(b, 1, plan.cells[2]), White);
    EXPECT_EQ(b.Page(1).drawn.size(), 2u);
    // Sheets are counted against what the list fills as it stands: four
    // entries of three copies in cells of four.
    EXPECT_EQ(b.host.statuses[1], L"  Now printing page 2 of 3 ...     (0 secs elapsed so far ...)");
    // Two waits a sheet, not a picture.
    EXPECT_EQ(b.host.Count(L"wait 100"), 4);

    // One picture per page: every copy is a page of its own.
    Print_Bench classic;
    classic.host.layout = {.copies = 2};
    classic.host.entries = {Picture(L"green.jpg", Green)};
    classic.run->Print_BitBtnClick();
    ASSERT_EQ(classic.recording->pages.size(), 2u);
    for (std::size_t page = 0; page < 2; ++page) {
        ASSERT_EQ(classic.Page(page).drawn.size(), 1u);
        EXPECT_EQ(classic.Page(page).drawn[0].left, Page_Margin);
    }
}

TEST_F(Sheet_Run_Test, A_Range_Of_Sheets_Prints_Those_Alone_And_A_Preview_Draws_One_As_The_Printer_Does) {
    // Cells of a 2 x 1 grid, three copies each: R R | R B | B B | G G | G.
    const auto list = [&] {
        return std::vector<std::wstring>{Picture(L"red.jpg", Red), Picture(L"blue.jpg", Blue), Sample("corrupt.jpg"),
                                         Picture(L"green.jpg", Green)};
    };
    const Sheet_Layout layout{.kind = Sheet_Kind::Grid, .columns = 2, .rows = 1, .copies = 3};
    // The status line counts the range against what the list fills as it
    // stands, four entries of three copies: six sheets.
    struct Case {
        int first, last;
        std::vector<std::vector<Rgb>> sheets;
        const wchar_t* status;
    } cases[] = {
        {2, 3, {{Red, Blue}, {Blue, Blue}}, L"  Now printing page 1 of 2 "},
        {5, 9, {{Green, White}}, L"  Now printing page 1 of 2 "},
        {1, 1, {{Red, Red}}, L"  Now printing page 1 of 1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + " to " + std::to_string(c.last));
        Print_Bench b;
        b.host.layout = layout;
        b.host.entries = list();
        b.run->Print_Sheets(c.first, c.last);
        Expect_Run_Ended(b);
        EXPECT_EQ(b.recording->documents_begun, 1) << "one job";
        ASSERT_EQ(b.recording->pages.size(), c.sheets.size());
        const Sheet_Plan plan = Plan_Of(b);
        for (std::size_t page = 0; page < c.sheets.size(); ++page)
            for (std::size_t k = 0; k < 2; ++k)
                EXPECT_TRUE(Near(Centre_Of(b, page, plan.cells[k]), c.sheets[page][k])) << page << " " << k;
        EXPECT_TRUE(b.host.statuses[0].starts_with(c.status))
            << std::string(b.host.statuses[0].begin(), b.host.statuses[0].end());
    }

    // The preview: the printer's paper at a quarter, the list counted by
    // probing alone, then sheet 2 drawn through the same surface.
    Print_Bench b;
    b.host.layout = layout;
    b.host.entries = list();
    const Sheet_Paper paper = Paper_Of(b);
    const Sheet_Plan plan = Plan_Sheet(paper, layout);
    Preview_Printer preview(Scaled_Paper(paper, 1, 4));
    const Sheet_Plan shown = Scaled_Plan(plan, 1, 4);
    Printer_Surface surface(preview, b.host, {}, std::nullopt);
    const Sheet_Loop loop{.host = b.host,
                          .surface = surface,
                          .layout = layout,
                          .process_messages = [] {},
                          .stopping = [] { return false; }};
    EXPECT_EQ(Count_Sheets(loop, shown), 5);
    EXPECT_TRUE(b.host.log.empty()) << "counting selects nothing";
    Sheet_Loop second = loop;
    second.first_sheet = second.last_sheet = 2;
    preview.Begin_Document(Print_Job_Title);
    EXPECT_EQ(Run_Sheets(second, shown).drawn, 1);
    const Bitmap_Handle sheet = preview.Take_Sheet();
    const Rgb expected[] = {Red, Blue};
    for (std::size_t k = 0; k < 2; ++k) {
        const Box& cell = shown.cells[k];
        const POINT centre{paper.offset_x / 4 + (cell.left + cell.right) / 2,
                           paper.offset_y / 4 + (cell.top + cell.bottom) / 2};
        EXPECT_TRUE(Near(Bitmap_Pixel(sheet.get(), centre), expected[k])) << k;
    }
}

TEST_F(Sheet_Run_Test, Captions_Go_Under_Each_Cell_In_A_Font_Scaled_With_It) {
    Print_Bench b;
    b.host.layout = {.kind = Sheet_Kind::Grid, .columns = 3, .rows = 3};
    b.host.options = {.fit = Fit_Mode::Fit, .print_file_names = true};
    b.host.entries = {Picture(L"one.jpg", Red), Picture(L"two.jpg", Green)};
    b.run->Print_BitBtnClick();
    ASSERT_EQ(b.recording->pages.size(), 1u);
    const Recorded_Page& page = b.Page(0);
    const Sheet_Plan plan = Plan_Of(b);
    EXPECT_EQ(page.captions, (std::vector<std::wstring>{L"one.jpg", L"two.jpg"}));
    const Cell_Caption caption = Caption_For_Cell(b.host.options, Paper_Of(b), plan.cells[0]);
    // A third of the page each way: 10 points shrink to the 6-point floor.
    EXPECT_EQ(caption.font_height, Caption_Font_Height((6 * 300 + 36) / 72 * 3 / 2));
    for (std::size_t k = 0; k < 2; ++k) {
        const Box& cell = plan.cells[k];
        const Box& strip = page.caption_strips[k];
        EXPECT_EQ(strip.bottom, cell.bottom);
        EXPECT_EQ(strip.left, cell.left);
        EXPECT_EQ(strip.right, cell.right);
        EXPECT_EQ(strip.Height(), caption.strip_height);
        EXPECT_LE(page.placed[k].destination.bottom, strip.top);
    }
}

TEST_F(Sheet_Run_Test, Actual_Size_Follows_The_Files_Resolution) {
    Print_Bench b;
    b.host.layout = {.kind = Sheet_Kind::Actual_Size};
    b.options.pixels_per_inch_across = 600;  // 600 x 300 dpi: one inch is 600 across, 300 down
    b.options.page = {4960, 3508};
    // 60 x 40 pixels: 0.2 x 0.1333 inches at 300 dpi, 0.625 x 0.4167 at the default 96.
    // A thread of a picture, one pixel at 10,000 dpi, is less than a pixel
    // across: its page comes, with nothing drawn.
    b.host.entries = {Picture(L"fine.jpg", Red, 300), Picture(L"plain.jpg", Blue),
                      folder.Write(L"thread.jpg", Solid_Jpeg(Green, 1, 40, 10000))};
    b.run->Print_BitBtnClick();
    ASSERT_EQ(b.recording->pages.size(), 3u);
    EXPECT_TRUE(b.Page(2).drawn.empty() && b.Page(2).placed.empty());
    const Box area = Plan_Of(b).cells[0];
    struct Expect {
        int width, height;
    };
    const Expect sizes[] = {{120, 40}, {375, 125}};
    for (std::size_t page = 0; page < 2; ++page) {
        ASSERT_EQ(b.Page(page).drawn.size(), 1u);
        const RECT d = b.Page(page).drawn[0];
        EXPECT_EQ(d.right - d.left, sizes[page].width) << page;
        EXPECT_EQ(d.bottom - d.top, sizes[page].height) << page;
        // Centred in the paper inside the margin.
        EXPECT_NEAR((d.left + d.right) / 2, (area.left + area.right) / 2, 1);
        EXPECT_NEAR((d.top + d.bottom) / 2, (area.top + area.bottom) / 2, 1);
    }
}

TEST_F(Sheet_Run_Test, Abort_Finishes_The_Sheet_Begun) {
    Print_Bench b;
    b.host.layout = {.kind = Sheet_Kind::Grid, .columns = 2, .rows = 1};
    for (int k = 0; k < 5; ++k) b.host.entries.push_back(Picture(L"p" + std::to_wstring(k) + L".jpg", Green));
    b.host.on_select = [&b](int index) {
        if (index == 2) b.host.abort_requested = true;  // during the second sheet
    };
    b.run->Print_BitBtnClick();
    ASSERT_EQ(b.recording->pages.size(), 2u);
    EXPECT_EQ(b.Page(1).drawn.size(), 2u);
    EXPECT_EQ(b.host.status, Aborted_Text);
}

TEST_F(Sheet_Run_Test, A_Device_That_Cannot_Be_Planned_For_Gives_One_Box_Naming_It) {
    struct Case {
        const char* what;
        Recording_Options options;
        const wchar_t* text;
    };
    Recording_Options zero;
    zero.pixels_per_inch_across = -1;
    Recording_Options outside;
    outside.offset = {5000, 0};
    outside.paper = {2479, 3508};
    Recording_Options small;
    small.page = {40, 40};
    small.paper = {40, 40};
    const Case cases[] = {
        {"no resolution across", zero, L"The printer \"Test\" reports a sheet that cannot be laid out"},
        {"a printable area off the paper", outside, L"The printer \"Test\" reports a sheet that cannot be laid out"},
        {"no room inside the margin", small, L"The margin leaves no room for a picture on the page of the printer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Print_Bench b;
        b.options = c.options;
        b.host.layout = {.kind = Sheet_Kind::Grid};
        b.host.entries = {Picture(L"p.jpg", Red)};
        b.run->Print_BitBtnClick();
        ASSERT_EQ(b.host.dialogs.messages.size(), 1u);
        EXPECT_NE(b.host.dialogs.messages[0].text.find(c.text), std::wstring::npos) << b.host.dialogs.messages[0].text;
        EXPECT_EQ(b.recording->documents_begun, 0);
        Expect_Run_Ended(b);
    }
}

}  // namespace
}  // namespace velbrook

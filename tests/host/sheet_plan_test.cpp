#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "printing/sheet_plan.h"

namespace velbrook {

static std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.left << "," << b.top << "," << b.right << "," << b.bottom << ")";
}

namespace {

// A sheet of `mm_wide` x `mm_high` at the given resolution whose device
// prints all of it, or all but `edge` pixels on every side.
Sheet_Paper Paper(double mm_wide, double mm_high, int dots_x, int dots_y, int edge = 0) {
    Sheet_Paper paper;
    paper.paper_width = static_cast<std::int32_t>(std::lround(mm_wide / 25.4 * dots_x));
    paper.paper_height = static_cast<std::int32_t>(std::lround(mm_high / 25.4 * dots_y));
    paper.offset_x = edge, paper.offset_y = edge;
    paper.printable_width = paper.paper_width - 2 * edge;
    paper.printable_height = paper.paper_height - 2 * edge;
    paper.dots_x = dots_x, paper.dots_y = dots_y;
    paper.classic_page = {10, 10, paper.printable_width - 10, paper.printable_height - 10};
    return paper;
}

Sheet_Layout Grid(int columns, int rows) { return {.kind = Sheet_Kind::Grid, .columns = columns, .rows = rows}; }
Sheet_Layout Print_Size(int width, int height) {
    return {.kind = Sheet_Kind::Print_Size, .print_width = width, .print_height = height};
}

struct Plan_Case {
    const char* what;
    Sheet_Paper paper;
    Sheet_Layout layout;
    std::size_t cells;
    bool turned;
    std::vector<Box> first;  // the first cells exactly, where worked out by hand
};

// Millimetres on paper of a length in pixels at `dots` per inch.
double Millimetres(std::int64_t pixels, int dots) { return pixels * 25.4 / dots; }

TEST(Plan_Sheet, Cells_For_Each_Layout_Table) {
    const Sheet_Paper a4 = Paper(210, 297, 300, 300);          // 2480 x 3508
    const Sheet_Paper letter = Paper(215.9, 279.4, 300, 300);  // 2550 x 3300
    const Sheet_Paper postcard = Paper(100, 150, 300, 300);    // 1181 x 1772
    Sheet_Layout wide_margin = Grid(2, 2);
    wide_margin.margin = 500;
    Sheet_Layout tiny_room = Print_Size(2000, 3000);
    tiny_room.margin = 0;
    Sheet_Layout no_room_grid = Grid(10, 10);
    no_room_grid.margin = 0;
    const Plan_Case cases[] = {
        // 5 mm is 59 pixels, 3 mm 35; (2362 - 35) / 2 and (3390 - 35) / 2
        // cut, and the pixel left over goes after the block.
        {"2 x 2 on A4 portrait at 300 dpi",
         a4,
         Grid(2, 2),
         4,
         false,
         {{59, 59, 1222, 1736}, {1257, 59, 2420, 1736}, {59, 1771, 1222, 3448}, {1257, 1771, 2420, 3448}}},
        // 1181 x 1772 fits once upright and twice turned; the block is
        // centred on the sheet.
        {"10 x 15 cm on A4: two cells, turned",
         a4,
         Print_Size(1000, 1500),
         2,
         true,
         {{354, 555, 2126, 1736}, {354, 1771, 2126, 2952}}},
        {"ID photos on 10 x 15 cm paper", postcard, Print_Size(350, 450), 4, false, {{160, 337, 573, 868}}},
        {"wallets on Letter fit eight turned against six upright", letter, Print_Size(635, 889), 8, true, {}},
        {"20 x 30 cm on 10 x 15 cm paper: one cell, shrunk",
         postcard,
         Print_Size(2000, 3000),
         1,
         false,
         {{59, 88, 1122, 1683}}},
        {"a margin that leaves no room gives no cell", postcard, wide_margin, 0, false, {}},
        {"a grid whose spacing leaves no room gives no cell", Paper(8, 8, 300, 300), no_room_grid, 0, false, {}},
        {"a print size on what little is left, turned to keep more",
         Paper(0.6, 0.5, 300, 300),
         tiny_room,
         1,
         true,
         {{0, 0, 7, 5}}},
        {"2 x 2 at 600 x 300 dpi",
         Paper(210, 297, 600, 300),
         Grid(2, 2),
         4,
         false,
         {{118, 59, 2445, 1736}, {2516, 59, 4843, 1736}}},
        {"10 x 15 cm at 1200 dpi", Paper(210, 297, 1200, 1200), Print_Size(1000, 1500), 2, true, {}},
        {"a print size at 600 x 300 dpi", Paper(210, 297, 600, 300), Print_Size(1000, 1500), 2, true, {}},
        {"a margin inside the unprintable edge is that edge",
         Paper(210, 297, 300, 300, 75),
         Sheet_Layout{.kind = Sheet_Kind::Actual_Size, .margin = 0},
         1,
         false,
         {{0, 0, 2330, 3358}}},
        {"one picture per page is the classic page", a4, Sheet_Layout{}, 1, false, {{10, 10, 2470, 3498}}},
    };
    for (const Plan_Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Sheet_Plan plan = Plan_Sheet(c.paper, c.layout);
        ASSERT_EQ(plan.cells.size(), c.cells);
        EXPECT_EQ(plan.turned, c.turned);
        for (std::size_t i = 0; i < c.first.size(); ++i) EXPECT_EQ(plan.cells[i], c.first[i]) << "cell " << i;
        for (const Box& cell : plan.cells) {
            // Never a negative size, never past the printable area.
            EXPECT_GT(cell.Width(), 0) << cell;
            EXPECT_GT(cell.Height(), 0) << cell;
            EXPECT_GE(cell.left, 0) << cell;
            EXPECT_GE(cell.top, 0) << cell;
            EXPECT_LE(cell.right, c.paper.printable_width) << cell;
            EXPECT_LE(cell.bottom, c.paper.printable_height) << cell;
            // Every cell of a plan has the first one's size.
            EXPECT_EQ(cell.Width(), plan.cells[0].Width());
            EXPECT_EQ(cell.Height(), plan.cells[0].Height());
        }
        // Cells do not overlap, and keep the spacing between neighbours.
        for (std::size_t i = 0; i + 1 < plan.cells.size(); ++i)
            for (std::size_t j = i + 1; j < plan.cells.size(); ++j) {
                const Box& a = plan.cells[i];
                const Box& b = plan.cells[j];
                EXPECT_TRUE(a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top)
                    << a << " and " << b;
            }
        // A print size that fits measures true on the paper, turned or not.
        if (c.layout.kind == Sheet_Kind::Print_Size && plan.cells.size() > 1) {
            const double across = Millimetres(plan.cells[0].Width(), c.paper.dots_x);
            const double down = Millimetres(plan.cells[0].Height(), c.paper.dots_y);
            const double width = (plan.turned ? c.layout.print_height : c.layout.print_width) / 10.0;
            const double height = (plan.turned ? c.layout.print_width : c.layout.print_height) / 10.0;
            EXPECT_NEAR(across, width, 25.4 / c.paper.dots_x);
            EXPECT_NEAR(down, height, 25.4 / c.paper.dots_y);
        }
    }
}

TEST(Plan_Sheet, Nonsense_Devices_And_Values) {
    Sheet_Paper zero = Paper(210, 297, 300, 300);
    zero.dots_x = 0;
    Sheet_Paper offset_outside = Paper(210, 297, 300, 300);
    offset_outside.offset_x = offset_outside.paper_width;
    Sheet_Paper negative = Paper(210, 297, 300, 300);
    negative.offset_y = -5;
    Sheet_Paper huge = Paper(210, 297, 300, 300);
    huge.paper_width = INT32_MAX;
    huge.printable_width = INT32_MAX;
    for (const Sheet_Paper& paper : {zero, offset_outside, negative, huge}) {
        EXPECT_FALSE(Paper_Is_Sane(paper));
        EXPECT_TRUE(Plan_Sheet(paper, Grid(3, 3)).cells.empty());
    }
    EXPECT_TRUE(Paper_Is_Sane(Paper(210, 297, 600, 300, 50)));

    // Values past their ranges are taken at the nearest end.
    const Sheet_Paper a4 = Paper(210, 297, 300, 300);
    EXPECT_EQ(Plan_Sheet(a4, Grid(0, 40)).cells.size(), 10u);
    EXPECT_EQ(Plan_Sheet(a4, Print_Size(-5, 2'000'000'000)).cells.size(), 1u);
}

TEST(Plan_Sheet, Centred_Box_And_Sheet_Counts) {
    const Box area{100, 200, 1100, 700};  // 1000 x 500
    EXPECT_EQ(Centred_Box(area, 400, 100), (Box{400, 400, 800, 500}));
    EXPECT_EQ(Centred_Box(area, 2000, 500), (Box{100, 325, 1100, 575}));  // halved, proportions kept
    EXPECT_EQ(Centred_Box(area, 500, 1000), (Box{475, 200, 725, 700}));
    const Box huge = Centred_Box(area, INT64_MAX / 2, INT64_MAX / 4);
    EXPECT_EQ(huge.Width(), 1000);
    EXPECT_NEAR(huge.Height(), 500, 1);
    EXPECT_TRUE(Centred_Box(area, 0, 10).Empty());

    // Copies run across a sheet's end: 3 pictures x 4 copies in 9 cells.
    EXPECT_EQ(Sheets_For(3, 4, 9), 2);
    EXPECT_EQ(Sheets_For(40, 1, 1), 40);  // the classic run: a page an entry
    EXPECT_EQ(Sheets_For(5, 2, 9), 2);
    EXPECT_EQ(Sheets_For(9, 1, 9), 1);
    EXPECT_EQ(Sheets_For(0, 3, 9), 0);
    EXPECT_EQ(Sheets_For(4, 1, 0), 0);
}

TEST(Plan_Sheet, Named_Sizes) {
    EXPECT_EQ(Print_Sizes().size(), 11u);
    const auto postcard = Size_Named(Print_Sizes(), L"10 x 15 cm");
    ASSERT_TRUE(postcard);
    EXPECT_EQ(postcard->width, 1000);
    EXPECT_EQ(postcard->height, 1500);
    const auto letter = Size_Named(Pdf_Papers(), L"Letter");
    ASSERT_TRUE(letter);
    EXPECT_EQ(Pixels_Of_Tenths(letter->width, 72), 612);  // points
    EXPECT_EQ(Pixels_Of_Tenths(letter->height, 72), 792);
    EXPECT_FALSE(Size_Named(Pdf_Papers(), L"Custom"));
}

}  // namespace
}  // namespace velbrook

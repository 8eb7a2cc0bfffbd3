#include <gtest/gtest.h>

#include <vector>

#include "picture/band_plan.h"

namespace velbrook {
namespace {

struct Band_Case {
    const char* what;
    std::int32_t width, height;  // stored
    int exif;
    Page_Options options;
    Box target;
    std::int32_t band_rows;
};

constexpr Box a4{10, 10, 2469, 3498};
constexpr Page_Options fit{.fit = Fit_Mode::Fit};
constexpr Page_Options fill{.fit = Fit_Mode::Fill};
constexpr Page_Options fit_turn{.fit = Fit_Mode::Fit, .turn_to_page = true};
constexpr Page_Options camera{.camera_orientation = true};
constexpr Page_Options camera_fill_turn{.fit = Fit_Mode::Fill, .turn_to_page = true, .camera_orientation = true};

// Every case is planned from the whole placement; the slices must then tile
// the destination along the band's axis (rows, or columns for a quarter
// turn) exactly once, span it across, and come from consecutive stored rows.
TEST(Plan_Bands, Slices_Cover_Every_Destination_Line_Exactly_Once) {
    const Band_Case cases[] = {
        {"shrink, classic stretch", 3000, 2000, 1, {}, a4, 7},
        {"shrink, bands of one row", 997, 4001, 1, {}, a4, 1},
        {"enlarge, classic stretch", 5, 3, 1, {}, a4, 2},
        {"enlarge, fractional rows", 7, 13, 1, fit, a4, 3},
        {"one-row picture", 1000, 1, 1, {}, a4, 1},
        {"one-row picture, fit", 1000, 1, 1, fit, a4, 5},
        {"one-row destination", 300, 500, 1, {}, {0, 0, 400, 1}, 11},
        {"one-column destination", 300, 500, 1, {}, {5, 5, 6, 905}, 11},
        {"fill, crop top and bottom", 2000, 3000, 1, fill, {0, 0, 1000, 500}, 64},
        {"quarter turn counter-clockwise", 3000, 2000, 1, fit_turn, a4, 100},
        {"quarter turn, enlarged", 30, 20, 1, fit_turn, a4, 7},
        {"camera: half turn", 640, 480, 3, camera, a4, 33},
        {"camera: quarter turn clockwise", 640, 480, 6, camera, a4, 33},
        {"camera: transposed", 641, 479, 5, camera, a4, 10},
        {"camera: transverse, filled and turned", 4000, 3000, 7, camera_fill_turn, a4, 256},
        {"camera: mirrored top-bottom", 333, 777, 4, camera, {0, 0, 101, 3001}, 40},
        {"largest picture, 600 dpi", 65500, 65500, 6, fit, {10, 10, 4948, 7006}, 16},
        {"band as tall as the picture", 120, 80, 8, fit_turn, a4, 80},
    };
    for (const Band_Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Placement placement = Place_Picture(c.width, c.height, c.exif, c.options, c.target, 0);
        ASSERT_FALSE(placement.destination.Empty());
        const std::vector<Band_Slice> bands = Plan_Bands(c.width, c.height, placement, c.band_rows);
        ASSERT_FALSE(bands.empty());
        const bool columns = Swaps_Sides(placement.orientation);
        const Box& d = placement.destination;
        const std::int32_t lo = columns ? d.left : d.top, hi = columns ? d.right : d.bottom;
        std::vector<int> covered(static_cast<std::size_t>(hi - lo), 0);
        std::int32_t previous_row = -1;
        for (const Band_Slice& band : bands) {
            EXPECT_GT(band.first_row, previous_row);
            EXPECT_GE(band.row_count, 1);
            EXPECT_LE(band.row_count, c.band_rows);
            EXPECT_LE(band.first_row + band.row_count, c.height);
            EXPECT_EQ(band.first_row % c.band_rows, 0);
            previous_row = band.first_row;
            // Across the band, the slice spans the whole destination and the
            // part the whole visible source.
            const Box& s = band.slice;
            const Box& p = band.part;
            if (columns) {
                EXPECT_EQ(s.top, d.top);
                EXPECT_EQ(s.bottom, d.bottom);
                EXPECT_EQ(p.top, placement.source.top);
                EXPECT_EQ(p.bottom, placement.source.bottom);
                EXPECT_LE(p.Width(), band.row_count);
            } else {
                EXPECT_EQ(s.left, d.left);
                EXPECT_EQ(s.right, d.right);
                EXPECT_EQ(p.left, placement.source.left);
                EXPECT_EQ(p.right, placement.source.right);
                EXPECT_LE(p.Height(), band.row_count);
            }
            const std::int32_t from = columns ? s.left : s.top, to = columns ? s.right : s.bottom;
            ASSERT_GE(from, lo);
            ASSERT_LE(to, hi);
            for (std::int32_t line = from; line < to; ++line) ++covered[static_cast<std::size_t>(line - lo)];
        }
        for (std::size_t line = 0; line < covered.size(); ++line)
            ASSERT_EQ(covered[line], 1) << "device line " << lo + static_cast<std::int32_t>(line);
    }
}

TEST(Plan_Bands, Band_Rows_Keep_A_Band_Within_Its_Bytes) {
    EXPECT_EQ(Band_Rows_For(1024, 5000), Band_Bytes / 4096);
    EXPECT_EQ(Band_Rows_For(1024, 10), 10);
    EXPECT_EQ(Band_Rows_For(65500, 65500), 16);
    EXPECT_EQ(Band_Rows_For(2'000'000, 3), 1);  // wider than a band: one row at a time
    EXPECT_EQ(Band_Rows_For(1, 1), 1);
}

TEST(Plan_Bands, Nothing_To_Draw_Gives_No_Band) {
    Placement empty;
    EXPECT_TRUE(Plan_Bands(100, 100, empty, 10).empty());
    const Placement placement = Place_Picture(100, 100, 1, {}, a4, 0);
    EXPECT_TRUE(Plan_Bands(0, 100, placement, 10).empty());
    EXPECT_TRUE(Plan_Bands(100, 100, placement, 0).empty());
}

}  // namespace
}  // namespace velbrook

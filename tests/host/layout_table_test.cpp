#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "app/layout_table.h"

namespace velbrook {
namespace {

constexpr int Design_W = 569, Design_H = 379;

struct Control_Design {
    int left, width, top, height, font;
    const wchar_t* name;
};

// A few controls of the main window's kind, and one with negative values (a
// control pushed partly outside its parent).
constexpr Control_Design Controls[] = {
    {8, 141, 16, 179, 8, L"Image1"},
    {160, 75, 312, 25, 12, L"Print_BitBtn"},
    {0, 569, 360, 19, 8, L"StatusBar1"},
    {-10, 33, -7, 5, 9, L"Offside_Label"},
};

std::vector<std::wstring> Design_Table() {
    std::vector<std::wstring> table = {Layout_Header_Line(Design_W, Design_H)};
    for (const auto& c : Controls)
        table.push_back(Layout_Control_Line(c.left, c.width, c.top, c.height, c.font, c.name));
    table.push_back(Layout_Non_Visual_Line);
    return table;
}

Scaled_Geometry Scale(int control, int client_w, int client_h) {
    const auto table = Design_Table();
    const auto scaled = Scale_Layout_Line(table[1 + control], Compute_Scale_Factors(table[0], client_w, client_h));
    EXPECT_TRUE(scaled.has_value());
    return scaled.value_or(Scaled_Geometry{});
}

void Expect_Geometry(const Scaled_Geometry& g, int left, int width, int top, int height, int font,
                     const wchar_t* name) {
    EXPECT_EQ(g.left, left) << name;
    EXPECT_EQ(g.width, width) << name;
    EXPECT_EQ(g.top, top) << name;
    EXPECT_EQ(g.height, height) << name;
    EXPECT_EQ(g.font_points, font) << name;
}

TEST(Layout_Table, Lines_Are_Written_As_The_Table_Holds_Them) {
    EXPECT_EQ(Layout_Header_Line(569, 379), L"569 379 W/H Mainform1");
    EXPECT_EQ(Layout_Control_Line(160, 75, 312, 25, 12, L"Print_BitBtn"), L"160 75 312 25 12 Print_BitBtn");
    EXPECT_EQ(Layout_Control_Line(-10, 33, -7, 5, 9, L"X"), L"-10 33 -7 5 9 X");
    EXPECT_EQ(std::wstring(Layout_Non_Visual_Line), L"0");
}

TEST(Scale_Layout_Line, Design_Size_Gives_Design_Geometry) {
    for (int i = 0; i < static_cast<int>(std::size(Controls)); ++i) {
        const auto& c = Controls[i];
        Expect_Geometry(Scale(i, Design_W, Design_H), c.left, c.width, c.top, c.height, c.font, c.name);
    }
}

TEST(Scale_Layout_Line, Double_Width_Doubles_Lefts_And_Widths_Only) {
    for (int i = 0; i < static_cast<int>(std::size(Controls)); ++i) {
        const auto& c = Controls[i];
        Expect_Geometry(Scale(i, 2 * Design_W, Design_H), 2 * c.left, 2 * c.width, c.top, c.height, c.font, c.name);
    }
}

TEST(Scale_Layout_Line, Half_Height_Cuts_Toward_Zero) {
    // sy = 190 / 379: 25 -> 12.53 -> 12, 312 -> 156.4 -> 156, 12 pt -> 6.01 -> 6.
    Expect_Geometry(Scale(1, Design_W, 190), 160, 75, 156, 12, 6, L"Print_BitBtn");
    // Negative values are cut toward zero too: -7 -> -3.5 -> -3, not -4.
    Expect_Geometry(Scale(3, Design_W, 190), -10, 33, -3, 2, 4, L"Offside_Label");
}

TEST(Scale_Layout_Line, Growing_And_Shrinking_Back_Restores_The_Design) {
    const auto table = Design_Table();
    const int sizes[][2] = {{1000, 700}, {300, 150}, {1, 1}, {4000, 379}, {Design_W, Design_H}};
    std::optional<Scaled_Geometry> last;
    for (const auto& size : sizes) {
        last = Scale_Layout_Line(table[2], Compute_Scale_Factors(table[0], size[0], size[1]));
    }
    ASSERT_TRUE(last);
    Expect_Geometry(*last, 160, 75, 312, 25, 12, L"Print_BitBtn");
}

TEST(Scale_Layout_Line, Skips_Lines_Of_One_Character) {
    const Scale_Factors twice = Compute_Scale_Factors(2 * Design_W, 2 * Design_H, Design_W, Design_H);
    EXPECT_FALSE(Scale_Layout_Line(Layout_Non_Visual_Line, twice));
    EXPECT_FALSE(Scale_Layout_Line(L"", twice));
    EXPECT_FALSE(Scale_Layout_Line(L"7", twice));
    EXPECT_TRUE(Scale_Layout_Line(L"12", twice));
}

TEST(Compute_Scale_Factors, Fonts_Follow_The_Tighter_Direction) {
    struct Case {
        int w, h;
        double sx, sy, sf;
    };
    const Case cases[] = {
        {569, 379, 1.0, 1.0, 1.0},  {1138, 379, 2.0, 1.0, 1.0}, {569, 758, 1.0, 2.0, 1.0},
        {1138, 758, 2.0, 2.0, 2.0}, {0, 379, 0.0, 1.0, 0.0},
    };
    for (const auto& c : cases) {
        const Scale_Factors f = Compute_Scale_Factors(c.w, c.h, Design_W, Design_H);
        EXPECT_DOUBLE_EQ(f.sx, c.sx) << c.w << "x" << c.h;
        EXPECT_DOUBLE_EQ(f.sy, c.sy) << c.w << "x" << c.h;
        EXPECT_DOUBLE_EQ(f.sf, c.sf) << c.w << "x" << c.h;
    }
    const Scale_Factors half_height = Compute_Scale_Factors(Design_W, 190, Design_W, Design_H);
    EXPECT_DOUBLE_EQ(half_height.sf, 190.0 / 379.0);
}

TEST(Compute_Scale_Factors, At_More_Dpi_Places_Grow_With_The_Client_And_Font_Points_Do_Not) {
    struct Case {
        int w, h, dpi;
        double sx, sy, sf;
    };
    const Case cases[] = {
        {854, 569, 144, 854.0 / 569, 569.0 / 379, 854.0 / 569 * 96 / 144},
        {1138, 758, 192, 2.0, 2.0, 1.0},
        {1138, 379, 192, 2.0, 1.0, 0.5},
        {569, 379, 96, 1.0, 1.0, 1.0},
        {569, 379, 0, 1.0, 1.0, 1.0},  // no resolution known: as at 96 dpi
    };
    for (const auto& c : cases) {
        const Scale_Factors f = Compute_Scale_Factors(c.w, c.h, Design_W, Design_H, c.dpi);
        EXPECT_DOUBLE_EQ(f.sx, c.sx) << c.w << "x" << c.h << " at " << c.dpi;
        EXPECT_DOUBLE_EQ(f.sy, c.sy) << c.w << "x" << c.h << " at " << c.dpi;
        EXPECT_DOUBLE_EQ(f.sf, c.sf) << c.w << "x" << c.h << " at " << c.dpi;
    }
    // The main window's default client area at 144 dpi gives the points it gives at 96.
    const auto at_144 = Scale_Layout_Line(L"8 393 75 232 11 File_ListBox",
                                          Compute_Scale_Factors(L"569 379 W/H Mainform1", 852, 528, 144));
    const auto at_96 =
        Scale_Layout_Line(L"8 393 75 232 11 File_ListBox", Compute_Scale_Factors(L"569 379 W/H Mainform1", 568, 352));
    ASSERT_TRUE(at_144 && at_96);
    EXPECT_EQ(at_144->font_points, at_96->font_points);
    EXPECT_EQ(at_144->width, 588);
    EXPECT_EQ(at_96->width, 392);
}

TEST(Compute_Scale_Factors, A_Design_Size_Of_Zero_Leaves_The_Design) {
    const Scale_Factors f = Compute_Scale_Factors(L"0 0 W/H Mainform1", 800, 600);
    EXPECT_DOUBLE_EQ(f.sx, 1.0);
    EXPECT_DOUBLE_EQ(f.sy, 1.0);
}

TEST(Scale_Layout_Line, Huge_Factors_Stay_Within_Int) {
    const Scale_Factors huge = Compute_Scale_Factors(INT_MAX, INT_MAX, 1, 1);
    const auto scaled = Scale_Layout_Line(L"-10 20 30 40 50 X", huge);
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->left, INT_MIN);
    EXPECT_EQ(scaled->width, INT_MAX);
}

}  // namespace
}  // namespace velbrook

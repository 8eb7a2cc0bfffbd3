#include "app/glyphs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "toolkit/failure.h"

namespace velbrook {
namespace {

constexpr std::uint32_t Alpha = 0xFF000000;

bool Is_Opaque(std::uint32_t pixel) { return (pixel & Alpha) == Alpha; }
std::uint32_t At(const Glyph_Image& image, int x, int y) { return image.argb[y * 16 + x]; }

std::string Name(Glyph_Id id) { return std::to_string(static_cast<int>(id)); }

TEST(Glyphs, EveryPatternIsSixteenRowsOfSixteenHexDigits) {
    for (Glyph_Id id : All_Glyph_Ids) {
        const Glyph_Pattern& pattern = Button_Glyph_Pattern(id);
        for (std::string_view row : pattern) {
            ASSERT_EQ(row.size(), 16u) << "glyph " << Name(id);
            for (char c : row)
                EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))
                    << "glyph " << Name(id) << " has '" << c << "'";
        }
    }
}

TEST(Glyphs, EveryPixelIsTransparentOrAnOpaqueClassicColour) {
    const std::set<std::uint32_t> palette(Classic_Palette.begin(), Classic_Palette.end());
    for (Glyph_Id id : All_Glyph_Ids) {
        const Glyph_Image image = Button_Glyph(id, false);
        std::set<std::uint32_t> colours;
        int transparent = 0;
        for (std::uint32_t pixel : image.argb) {
            if (pixel == 0) {
                ++transparent;
                continue;
            }
            ASSERT_TRUE(Is_Opaque(pixel)) << "glyph " << Name(id);
            EXPECT_TRUE(palette.count(pixel & 0xFFFFFF)) << "glyph " << Name(id);
            colours.insert(pixel);
        }
        EXPECT_LE(colours.size(), 15u) << "glyph " << Name(id);  // one index is the transparent one
        EXPECT_GT(transparent, 0) << "glyph " << Name(id);
        EXPECT_LT(transparent, 256) << "glyph " << Name(id);
        EXPECT_EQ(At(image, 0, 15), 0u) << "glyph " << Name(id);
    }
}

TEST(Glyphs, TheTransparentColourIsThatOfTheBottomLeftPixel) {
    for (Glyph_Id id : All_Glyph_Ids) {
        const Glyph_Pattern& pattern = Button_Glyph_Pattern(id);
        const Glyph_Image image = Button_Glyph(id, false);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                EXPECT_EQ(At(image, x, y) == 0, pattern[y][x] == pattern[15][0])
                    << "glyph " << Name(id) << " at " << x << "," << y;
    }
}

TEST(Glyphs, NoTwoGlyphsAreAlike) {
    for (std::size_t i = 0; i < All_Glyph_Ids.size(); ++i)
        for (std::size_t j = i + 1; j < All_Glyph_Ids.size(); ++j)
            EXPECT_NE(Button_Glyph(All_Glyph_Ids[i], false).argb, Button_Glyph(All_Glyph_Ids[j], false).argb)
                << Name(All_Glyph_Ids[i]) << " and " << Name(All_Glyph_Ids[j]);
}

TEST(Glyphs, TheDisabledImageEngravesExactlyTheOpaquePixels) {
    for (Glyph_Id id : All_Glyph_Ids) {
        const Glyph_Image normal = Button_Glyph(id, false);
        const Glyph_Image disabled = Button_Glyph(id, true);
        EXPECT_NE(normal.argb, disabled.argb) << "glyph " << Name(id);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool shape = Is_Opaque(At(normal, x, y));
                const bool lit = !shape && x > 0 && y > 0 && Is_Opaque(At(normal, x - 1, y - 1));
                const std::uint32_t expected = shape ? 0xFF808080 : lit ? 0xFFFFFFFF : 0;
                EXPECT_EQ(At(disabled, x, y), expected) << "glyph " << Name(id) << " at " << x << "," << y;
            }
        }
    }
}

TEST(Glyphs, TheArrowsPointUpAndDown) {
    const auto width = [](const Glyph_Image& image, int y) {
        int n = 0;
        for (int x = 0; x < 16; ++x) n += Is_Opaque(At(image, x, y));
        return n;
    };
    const auto first_and_last_rows = [&](const Glyph_Image& image) {
        int first = 16, last = -1;
        for (int y = 0; y < 16; ++y)
            if (width(image, y) > 0) {
                if (first == 16) first = y;
                last = y;
            }
        return std::pair{first, last};
    };
    const Glyph_Image up = Button_Glyph(Glyph_Id::Move_Up, false);
    const Glyph_Image down = Button_Glyph(Glyph_Id::Move_Down, false);
    const auto [up_top, up_bottom] = first_and_last_rows(up);
    const auto [down_top, down_bottom] = first_and_last_rows(down);
    ASSERT_LT(up_top, up_bottom);
    ASSERT_LT(down_top, down_bottom);
    EXPECT_LT(width(up, up_top), width(up, up_bottom));
    EXPECT_GT(width(down, down_top), width(down, down_bottom));
}

// A pattern of its own, with olive as its transparent colour, so that the
// derivation is checked apart from the artwork.
Glyph_Pattern Olive_Pattern() {
    Glyph_Pattern pattern;
    static const std::string_view plain = "3333333333333333";
    static const std::string_view top = "9333333333333330";
    static const std::string_view edge = "333333333333333C";
    for (auto& row : pattern) row = plain;
    pattern[0] = top;   // red top-left corner, black top-right corner
    pattern[5] = edge;  // blue pixel at the right edge
    return pattern;
}

TEST(Glyphs, ThePatternsOwnBottomLeftColourIsTheTransparentOne) {
    const Glyph_Image image = Glyph_From_Pattern(Olive_Pattern());
    EXPECT_EQ(At(image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(At(image, 15, 0), 0xFF000000u);  // black is a colour, not "no pixel"
    EXPECT_EQ(At(image, 15, 5), 0xFF0000FFu);
    EXPECT_EQ(At(image, 1, 0), 0u);
    EXPECT_EQ(At(image, 7, 9), 0u);
}

TEST(Glyphs, TheHighlightFallsDownRightAndNeverWrapsAround) {
    const Glyph_Image disabled = Disabled_Glyph(Glyph_From_Pattern(Olive_Pattern()));
    EXPECT_EQ(At(disabled, 0, 0), 0xFF808080u);
    EXPECT_EQ(At(disabled, 1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(At(disabled, 15, 0), 0xFF808080u);
    EXPECT_EQ(At(disabled, 0, 1), 0u);  // the spot after (15,0) in memory
    EXPECT_EQ(At(disabled, 0, 6), 0u);  // and after (15,5)
    EXPECT_EQ(At(disabled, 15, 6), 0u);
    int lit = 0;
    for (std::uint32_t pixel : disabled.argb) lit += pixel == 0xFFFFFFFF;
    EXPECT_EQ(lit, 1);
}

TEST(Glyphs, AMalformedPatternIsRefused) {
    Glyph_Pattern short_row = Olive_Pattern();
    short_row[3] = "333";
    EXPECT_THROW(Glyph_From_Pattern(short_row), Failure);
    Glyph_Pattern bad_digit = Olive_Pattern();
    bad_digit[3] = "33333333G3333333";
    EXPECT_THROW(Glyph_From_Pattern(bad_digit), Failure);
    Glyph_Pattern lower_case = Olive_Pattern();
    lower_case[3] = "3333333a33333333";
    EXPECT_THROW(Glyph_From_Pattern(lower_case), Failure);
}

}  // namespace
}  // namespace velbrook

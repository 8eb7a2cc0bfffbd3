#include "app/glyphs.h"

#include <cstddef>
#include <string>

#include "toolkit/failure.h"

namespace velbrook {
namespace {

constexpr std::uint32_t Opaque = 0xFF000000;
constexpr std::uint32_t Shadow = Opaque | 0x808080;
constexpr std::uint32_t Highlight = Opaque | 0xFFFFFF;

// In the order of Glyph_Id.  Fuchsia (D) is the transparent colour of each.
constexpr std::array<Glyph_Pattern, All_Glyph_Ids.size()> Patterns{{
    // A printer with a sheet in its back and a printed picture coming out at the front.
    {{
        "DDDDDDDDDDDDDDDD",
        "DDDD000000000DDD",
        "DDDD0FFFFFFF0DDD",
        "DDDD0F88888F0DDD",
        "DDDD0FFFFFFF0DDD",
        "DD00000000000000",
        "D077777777777770",
        "0FFFFFFFFFFFF770",
        "0777777777AA7770",
        "0777777777777780",
        "0888888888888880",
        "0800000000000080",
        "D000FFFFFFF00000",
        "DDD0FCCCCCF0DDDD",
        "DDD0FAAAAAF0DDDD",
        "DDD000000000DDDD",
    }},
    // A yellow filing cabinet, three drawers, seen from the front left.
    {{
        "DDDDDDDDDDDDDDDD",
        "DDD000000000000D",
        "DD0BBBBBBBBBB30D",
        "D00000000000330D",
        "D0BBBBBBBBB0330D",
        "D0BBB000BBB0330D",
        "D03333333330330D",
        "D00000000000330D",
        "D0BBBBBBBBB0330D",
        "D0BBB000BBB0330D",
        "D03333333330330D",
        "D00000000000330D",
        "D0BBBBBBBBB0330D",
        "D0BBB000BBB0330D",
        "D0333333333030DD",
        "D000000000000DDD",
    }},
    // A red arrow pointing up.
    {{
        "DDDDDDDDDDDDDDDD",
        "DDDDDDD11DDDDDDD",
        "DDDDDD1991DDDDDD",
        "DDDDD199991DDDDD",
        "DDDD19999991DDDD",
        "DDD1999999991DDD",
        "DD199999999991DD",
        "D11111999911111D",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD111111DDDDD",
        "DDDDDDDDDDDDDDDD",
    }},
    // A red arrow pointing down.
    {{
        "DDDDDDDDDDDDDDDD",
        "DDDDD111111DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "DDDDD199991DDDDD",
        "D11111999911111D",
        "DD199999999991DD",
        "DDD1999999991DDD",
        "DDDD19999991DDDD",
        "DDDDD199991DDDDD",
        "DDDDDD1991DDDDDD",
        "DDDDDDD11DDDDDDD",
        "DDDDDDDDDDDDDDDD",
    }},
    // A list with one entry struck by a red bar and pointed at by a blue arrow.
    {{
        "DDDDDDDDDDDDDDDD",
        "DDDDDD0000000000",
        "DDDDDD0FFFFFFFF0",
        "DDDDDD0F000000F0",
        "DDDDDD0FFFFFFFF0",
        "DDDDDD0F000000F0",
        "DDDCDD0FFFFFFFF0",
        "DDDCCD0999999990",
        "CCCCCC0999999990",
        "CCCCCC0999999990",
        "DDDCCD0FFFFFFFF0",
        "DDDCDD0F000000F0",
        "DDDDDD0FFFFFFFF0",
        "DDDDDD0F000000F0",
        "DDDDDD0FFFFFFFF0",
        "DDDDDD0000000000",
    }},
    // A red circular arrow.
    {{
        "DDDDDDDDDDDDDDDD",
        "DDDDDDDDDDDDDDDD",
        "DDDDDD9999DDDDDD",
        "DDDD99999DDD99DD",
        "DDD999DDDDD9999D",
        "DD999DDDDD999999",
        "DD99DDDDDDDD99DD",
        "DD99DDDDDDDD99DD",
        "DD99DDDDDDDD91DD",
        "DD99DDDDDDDD91DD",
        "DD91DDDDDDDD91DD",
        "DD991DDDDDD991DD",
        "DDD991DDDD991DDD",
        "DDDD99999911DDDD",
        "DDDDDD1111DDDDDD",
        "DDDDDDDDDDDDDDDD",
    }},
    // A red circle, a green triangle and a blue square in a column, and a brush.
    {{
        "DDDDDDDDDDDDDDDD",
        "DD999DDDDDDDD11D",
        "D99999DDDDDD1111",
        "D99999DDDDD1111D",
        "D99999DDDD1111DD",
        "DD999DDDD1111DDD",
        "DDDDDDDD777DDDDD",
        "DDDADDD7777DDDDD",
        "DDAAADD0777DDDDD",
        "DAAAAAD00DDDDDDD",
        "AAAAAAA0DDDDDDDD",
        "DDDDDDDDDDDDDDDD",
        "DCCCCCDDDDDDDDDD",
        "DCCCCCDDDDDDDDDD",
        "DCCCCCDDDDDDDDDD",
        "DDDDDDDDDDDDDDDD",
    }},
    // An ambulance with its lights on.
    {{
        "DDDDDDDDDDDDDDDD",
        "DDD9CDDDDDDDDDDD",
        "DD0000000000DDDD",
        "DD0FFFFFFFF00DDD",
        "DD0FFF9FFFF0E0DD",
        "DD0FF999FFF0EE0D",
        "DD0FFF9FFFF0EEE0",
        "DD0FFFFFFFF0FFF0",
        "DD09999999999990",
        "DD0FFFFFFFFFFFF0",
        "DD0FFFFFFFFFFFF0",
        "DD000000000000DD",
        "DDDD000DDDD000DD",
        "DDDD080DDDD080DD",
        "DDDDD0DDDDDD0DDD",
        "DDDDDDDDDDDDDDDD",
    }},
    // A yellow folder opening.
    {{
        "DDDDDDDDDDDDDDDD",
        "DDDDDDDDDDDDDDDD",
        "DDDDDDDDDDDDDDDD",
        "D0000DDDDDDDDDDD",
        "0BBBB0000000DDDD",
        "0B3333333330DDDD",
        "0B3333333330DDDD",
        "0B3300000000000D",
        "0B30BBBBBBBBBB0D",
        "0B30BBBBBBBBB0DD",
        "0B0BBBBBBBBBB0DD",
        "0B0BBBBBBBBB0DDD",
        "000BBBBBBBBB0DDD",
        "00000000000000DD",
        "DDDDDDDDDDDDDDDD",
        "DDDDDDDDDDDDDDDD",
    }},
    // A blue floppy disk.
    {{
        "DDDDDDDDDDDDDDDD",
        "D000000000000DDD",
        "D0C0FFFFFFFF00DD",
        "D0C0F000000F0C0D",
        "D0C0FFFFFFFF0C0D",
        "D0C0F000000F0C0D",
        "D0C0FFFFFFFF0C0D",
        "D0CC00000000CC0D",
        "D0CCCCCCCCCCCC0D",
        "D0CC77777777CC0D",
        "D0CC7700777CCC0D",
        "D0CC7700777CCC0D",
        "D0CC7700777CCC0D",
        "D0CC77777777CC0D",
        "DD0000000000000D",
        "DDDDDDDDDDDDDDDD",
    }},
    // A blue floppy disk with a pencil writing on its label.
    {{
        "DDDDDDDDDDDD000D",
        "DDDDDDDDDDD09990",
        "DDDDDDDDDD0B990D",
        "DDDDDDDDD0BBB0DD",
        "00000000BBB00DDD",
        "0C0FFF0BBB0C0DDD",
        "0C0F00BBB0FC0DDD",
        "0C0FF0000FFC0DDD",
        "0C0F0F00F0FC0DDD",
        "0CC00000000C0DDD",
        "0CCCCCCCCCCC0DDD",
        "0CC777777CCC0DDD",
        "0CC7007777CC0DDD",
        "0CC7007777CC0DDD",
        "D00000000000DDDD",
        "DDDDDDDDDDDDDDDD",
    }},
}};

int Hex_Digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

const Glyph_Pattern& Button_Glyph_Pattern(Glyph_Id id) {
    const auto index = static_cast<std::size_t>(id);
    if (index >= Patterns.size()) throw Failure(L"Unknown button glyph");
    return Patterns[index];
}

Glyph_Image Glyph_From_Pattern(const Glyph_Pattern& pattern) {
    for (std::string_view row : pattern) {
        if (row.size() != Glyph_Size) throw Failure(L"A glyph row is not 16 pixels wide");
        for (char c : row)
            if (Hex_Digit(c) < 0) throw Failure(L"A glyph pixel is not a hex digit");
    }
    const int transparent = Hex_Digit(pattern[Glyph_Size - 1][0]);
    Glyph_Image image{};
    for (int y = 0; y < Glyph_Size; ++y) {
        for (int x = 0; x < Glyph_Size; ++x) {
            const int index = Hex_Digit(pattern[y][x]);
            image.argb[y * Glyph_Size + x] = index == transparent ? 0 : Opaque | Classic_Palette[index];
        }
    }
    return image;
}

Glyph_Image Disabled_Glyph(const Glyph_Image& normal) {
    const auto opaque = [&](int x, int y) { return (normal.argb[y * Glyph_Size + x] & Opaque) != 0; };
    Glyph_Image image{};
    for (int y = 0; y < Glyph_Size; ++y) {
        for (int x = 0; x < Glyph_Size; ++x) {
            if (opaque(x, y))
                image.argb[y * Glyph_Size + x] = Shadow;
            else if (x > 0 && y > 0 && opaque(x - 1, y - 1))
                image.argb[y * Glyph_Size + x] = Highlight;
        }
    }
    return image;
}

Glyph_Image Button_Glyph(Glyph_Id id, bool disabled) {
    const Glyph_Image normal = Glyph_From_Pattern(Button_Glyph_Pattern(id));
    return disabled ? Disabled_Glyph(normal) : normal;
}

}  // namespace velbrook

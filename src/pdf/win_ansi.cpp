#include "pdf/win_ansi.h"

namespace velbrook {

namespace {

// The characters of 0x80..0x9F; 0 where the code page has none.
constexpr char16_t High_Codes[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Helvetica's advance widths for codes 32..255 in WinAnsiEncoding (Adobe's
// published metrics, which every reader's substitute for Helvetica keeps).
constexpr short Widths[224] = {
    278,  278, 355, 556,  556, 889, 667, 191, 333, 333, 389, 584,  278, 333, 278,  278, 556,  556,  556, 556,  556,
    556,  556, 556, 556,  556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722,  722, 667,  611,  778, 722,  278,
    500,  667, 556, 833,  722, 778, 667, 778, 722, 667, 611, 722,  667, 944, 667,  667, 611,  278,  278, 278,  469,
    556,  333, 556, 556,  500, 556, 556, 278, 556, 556, 222, 222,  500, 222, 833,  556, 556,  556,  556, 333,  500,
    278,  556, 500, 722,  500, 500, 500, 334, 260, 334, 584, 350,  556, 350, 222,  556, 333,  1000, 556, 556,  333,
    1000, 667, 333, 1000, 350, 611, 350, 350, 222, 222, 333, 333,  350, 556, 1000, 333, 1000, 500,  333, 944,  350,
    500,  667, 278, 333,  556, 556, 556, 556, 260, 556, 333, 737,  370, 556, 584,  333, 737,  333,  400, 584,  333,
    333,  333, 556, 537,  278, 333, 333, 365, 556, 834, 834, 834,  611, 667, 667,  667, 667,  667,  667, 1000, 722,
    667,  667, 667, 667,  278, 278, 278, 278, 722, 722, 778, 778,  778, 778, 778,  584, 778,  722,  722, 722,  722,
    667,  667, 611, 556,  556, 556, 556, 556, 556, 889, 500, 556,  556, 556, 556,  278, 278,  278,  278, 556,  556,
    556,  556, 556, 556,  556, 584, 611, 556, 556, 556, 556, 500,  556, 500,
};

}  // namespace

std::optional<std::uint8_t> Win_Ansi_Code(char32_t c) {
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
    for (int i = 0; i < 32; ++i)
        if (High_Codes[i] != 0 && High_Codes[i] == c) return static_cast<std::uint8_t>(0x80 + i);
    return std::nullopt;
}

int Helvetica_Width(std::uint8_t code) { return code < 32 ? 0 : Widths[code - 32]; }

std::u32string Code_Points(std::wstring_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
                char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
                if (low >= 0xDC00 && low < 0xE000) {
                    out += 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                    continue;
                }
            }
        }
        if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
        out += c;
    }
    return out;
}

}  // namespace velbrook

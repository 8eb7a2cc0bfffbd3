#include "about/product_texts.h"

#include <array>

namespace velbrook {

namespace {

constexpr int first_printable = 0x20;
constexpr int printable_count = 95;
constexpr int base_shift = 17;
constexpr int step_shift = 5;

std::wstring Shift(std::wstring_view text, int sign) {
    std::wstring out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        int code = static_cast<int>(out[i]) - first_printable;
        if (code < 0 || code >= printable_count) continue;
        long long shift = (base_shift + step_shift * static_cast<long long>(i)) % printable_count;
        int moved = static_cast<int>((code + sign * shift + printable_count) % printable_count);
        out[i] = static_cast<wchar_t>(first_printable + moved);
    }
    return out;
}

// In the order of Product_Texts; the donation page is the last two.
constexpr std::array<std::wstring_view, Stored_Text_Count> stored{
    L"h)%5:0>T<Xc8`i]i",
    L"U{2&2:@:>^MWm6#(\"~u&~;5.0O,CMHXefw>RP",
    L"T&,:847=N^k,vr*-2>,`)2&2XOTzKPh`\\_evz,${/&8A59g",
    L"d~|3+B1G\?xc]`lwfv'r${!LE=5<CRXN`rll\"rqv';694><YHXv",
    L"T&).+9DHY@RMmfmdil & +/9Ji",
    L"f' \":0CT;MHh[bjb\"z{w+3\"80On",
    L"!)2&2j5M;LTUS![lo",
    L"y+01_Y^:R@QYZX&`qt;",
    L"y+01_Y^:R@QYZX&`qt",
    L"@z+/'\?5bBSQU",
};

}  // namespace

std::wstring Scramble_Text(std::wstring_view text) { return Shift(text, 1); }
std::wstring Unscramble_Text(std::wstring_view scrambled) { return Shift(scrambled, -1); }

std::wstring_view Stored_Scrambled_Text(int index) { return stored.at(static_cast<std::size_t>(index)); }

Product_Texts Stored_Product_Texts() {
    return Product_Texts{
        .author_name = Unscramble_Text(stored[0]),
        .developed_using = Unscramble_Text(stored[1]),
        .copyright = Unscramble_Text(stored[2]),
        .software_status = Unscramble_Text(stored[3]),
        .comments = Unscramble_Text(stored[4]),
        .web_page = Unscramble_Text(stored[5]),
        .email_address = Unscramble_Text(stored[6]),
        .web_address = Unscramble_Text(stored[7]),
        .donation_page = Unscramble_Text(stored[8]) + Unscramble_Text(stored[9]),
    };
}

}  // namespace velbrook

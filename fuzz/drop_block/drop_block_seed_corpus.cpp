// seed_drop_block DIR: writes the drop block fuzzer's seed corpus: wide and
// ANSI drops of a few names, of none and of a thousand, a name holding a
// lone surrogate (which NTFS allows), one longer than the program reads, and
// forged blocks: names starting past the end or inside the header, and a
// last name with no zero after it.
#include "../common/fuzz_support.h"
#include "support/drop_bytes.h"

using namespace velbrook::test;
using Bytes = std::vector<std::uint8_t>;
using Wide = std::vector<std::u16string>;

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_drop_block");
    const Bytes two = Drop_Block_Bytes(Wide{u"C:\\Pictures\\a.jpg", u"D:\\Holiday 2026\\Strand.BMP"});
    seeds.Write("two-wide", two);
    seeds.Write("none", Drop_Block_Bytes(Wide{}));
    seeds.Write("lone-surrogate", Drop_Block_Bytes(Wide{u"C:\\a\xD800"
                                                        u"b.jpg",
                                                        u"C:\\\xDFFF.bmp"}));
    seeds.Write("long-name", Drop_Block_Bytes(Wide{u"C:\\" + std::u16string(400, u'x') + u".jpg"}));
    seeds.Write("ansi", Drop_Block_Bytes(std::vector<std::string>{"C:\\Bilder\\\xE4pfel.jpg", "b.bmp"}));
    Wide many;
    for (int k = 0; k < 1000; ++k) many.push_back(u"C:\\p\\" + std::u16string(1, static_cast<char16_t>(u'a' + k % 26)));
    seeds.Write("a-thousand", Drop_Block_Bytes(many));
    Bytes past = two;
    past[0] = 0xF0, past[1] = 0xFF, past[2] = 0xFF, past[3] = 0xFF;
    seeds.Write("names-past-the-end", past);
    Bytes inside = two;
    inside[0] = 4;
    seeds.Write("names-in-the-header", inside);
    seeds.Write("no-final-zeros", Bytes(two.begin(), two.end() - 4));
    seeds.Write("odd-end", Bytes(two.begin(), two.end() - 3));
    return 0;
}

// seed_list_file DIR: writes the list file fuzzer's seed corpus: ANSI and
// UTF-8 with and without the byte-order mark, every line end, empty lines,
// zero bytes, no line end at the end, and UTF-16 of either byte order.
#include "../common/fuzz_support.h"
#include "picture_list/list_file.h"

using namespace std::string_literals;

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_list_file");
    const std::vector<std::string> lines = {"C:\\Pictures\\a.jpg", "", "D:\\Holiday 2026\\Strand.BMP",
                                            "C:\\Bilder\\\xE4pfel.jpeg", "\\\\server\\share\\scan.emf"};
    const std::vector<std::string> utf8_lines = {"C:\\Bilder\\\xC3\xA4pfel.jpg", "C:\\\xE5\x86\x99\xE7\x9C\x9F.bmp",
                                                 "C:\\\xF0\x9F\x93\xB7.wmf"};
    seeds.Write("ansi-crlf.txt", velbrook::Format_List_File(lines, false));
    seeds.Write("utf8-mark.txt", velbrook::Format_List_File(utf8_lines, true));
    for (const char* end : {"\r\n", "\n", "\r", "\n\r"}) {
        std::string joined, unmarked;
        for (const auto& line : lines) joined += line + end;
        for (const auto& line : utf8_lines) unmarked += line + end;
        seeds.Write("ansi-end" + std::to_string(std::string(end).size()) + std::to_string(end[0]) + ".txt", joined);
        seeds.Write("utf8-no-mark-end" + std::to_string(end[0]) + ".txt", unmarked);
    }
    seeds.Write("no-final-end.txt", "a.jpg\r\nb.jpg"s);
    seeds.Write("zero-inside.txt", "a.jpg\r\nb\0c.jpg\r\nd.jpg\r\n"s);
    seeds.Write("mark-then-zero.txt",
                "\xEF\xBB\xBF"
                "a.jpg\0\r\n"s);
    seeds.Write("mixed-ends.txt", "a\r\rb\n\nc\r\n\r\nd"s);
    seeds.Write("mark-only.txt", "\xEF\xBB\xBF"s);
    // UTF-16 as Notepad saves it, in both byte orders, with a lone surrogate
    // (a name NTFS allows), cut in the middle of a unit, and the mark alone.
    const std::vector<std::u16string> units = {u"C:\\Bilder\\\u00E4pfel.jpg",
                                               u"C:\\a\xD800"
                                               u"b.bmp",
                                               u"", u"C:\\\xDC00.emf"};
    const std::string little = velbrook::Format_Utf16_List_File(units);
    std::string big = little;
    for (std::size_t k = 0; k + 1 < big.size(); k += 2) std::swap(big[k], big[k + 1]);
    seeds.Write("utf16-little.txt", little);
    seeds.Write("utf16-big.txt", big);
    seeds.Write("utf16-odd.txt", little.substr(0, little.size() - 1));
    seeds.Write("utf16-mark-only.txt", "\xFF\xFE"s);
    return 0;
}

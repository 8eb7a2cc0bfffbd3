#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "picture_list/list_file.h"

namespace velbrook {
namespace {

using namespace std::string_literals;  // "\0" inside the samples
using Lines = std::vector<std::string>;

struct Parse_Case {
    const char* name;
    std::string bytes;
    bool utf8;
    Lines lines;
};

TEST(Parse_List_File, Splits_Lines_As_The_Format_Says) {
    const Parse_Case cases[] = {
        {"empty file", "", false, {}},
        {"CR LF lines", "C:\\a.jpg\r\nC:\\b.bmp\r\n", false, {"C:\\a.jpg", "C:\\b.bmp"}},
        {"LF lines", "a\nb\n", false, {"a", "b"}},
        {"CR lines", "a\rb\r", false, {"a", "b"}},
        {"no final line end", "a\r\nb", false, {"a", "b"}},
        {"blank line in the middle", "a\r\n\r\nb\r\n", false, {"a", "", "b"}},
        {"only a line end", "\r\n", false, {""}},
        {"LF CR is two line ends", "a\n\rb", false, {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb", false, {"a", "", "b"}},
        {"same path twice", "x.jpg\r\nx.jpg\r\n", false, {"x.jpg", "x.jpg"}},
        {"spaces kept", " a b \t\r\n", false, {" a b \t"}},
        {"ANSI bytes kept", "C:\\Bilder\\\xE4pfel.jpg\r\n", false, {"C:\\Bilder\\\xE4pfel.jpg"}},
        {"stops at a zero byte", "a\r\nb\0c\r\nd\r\n"s, false, {"a", "b"}},
        {"zero byte first", "\0a\r\n"s, false, {}},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "a\r\nb",
         true,
         {"a", "b"}},
        {"byte-order mark alone", "\xEF\xBB\xBF", true, {}},
        {"half a mark is text",
         "\xEF\xBB"
         "a",
         false,
         {"\xEF\xBB"
          "a"}},
        {"mark after a zero byte", "\0\xEF\xBB\xBF"s, false, {}},
        {"mark not first is text", "a\xEF\xBB\xBF", false, {"a\xEF\xBB\xBF"}},
    };
    for (const auto& c : cases) {
        const List_File_Text text = Parse_List_File(c.bytes);
        EXPECT_EQ(text.utf8, c.utf8) << c.name;
        EXPECT_EQ(text.lines, c.lines) << c.name;
    }
}

TEST(Format_List_File, Ends_Every_Line_With_Cr_Lf) {
    const Lines two = {"C:\\Pictures\\one.jpg", "D:\\two.bmp"};
    const std::string file = Format_List_File(two, false);
    EXPECT_EQ(file.size(), two[0].size() + two[1].size() + 4);
    EXPECT_EQ(file, two[0] + "\r\n" + two[1] + "\r\n");
    EXPECT_EQ(Format_List_File(two, true), "\xEF\xBB\xBF" + file);
}

TEST(Format_List_File, Empty_List_Gives_Zero_Bytes) {
    EXPECT_TRUE(Format_List_File({}, false).empty());
    EXPECT_TRUE(Format_List_File({}, true).empty());
}

TEST(List_File, Reads_Back_What_It_Wrote) {
    const Lines samples[] = {
        {""},
        {"", ""},
        {"a", "", "b", ""},
        {"C:\\x.jpg", "C:\\x.jpg", "relative\\y.emf", " spaced name .wmf"},
        {"\xC3\xA4\xC3\xB6.jpg", "\xE4.bmp"},
    };
    for (const auto& lines : samples) {
        for (bool utf8 : {false, true}) {
            const List_File_Text text = Parse_List_File(Format_List_File(lines, utf8));
            EXPECT_EQ(text.lines, lines);
            EXPECT_EQ(text.utf8, utf8);
        }
    }
}

TEST(Parse_Utf16_List_File, Reads_Either_Byte_Order_Keeps_Lone_Surrogates_And_Refuses_Half_Units) {
    const auto le = [](std::u16string_view text) {
        std::string bytes("\xFF\xFE");
        for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        return bytes;
    };
    const auto be = [](std::u16string_view text) {
        std::string bytes("\xFE\xFF");
        for (char16_t unit : text) bytes += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
        return bytes;
    };
    const std::u16string lone = u"C:\\odd" + std::u16string(1, char16_t(0xD800)) + u".jpg";
    struct Case {
        const char* what;
        std::string bytes;
        std::optional<std::vector<std::u16string>> lines;
    } cases[] = {
        {"little-endian", le(u"C:\\a.jpg\r\nC:\\\u03b5.jpg\r\n"), {{u"C:\\a.jpg", u"C:\\\u03b5.jpg"}}},
        {"big-endian, every line end", be(u"a\rb\nc\r\n\r\nlast"), {{u"a", u"b", u"c", u"", u"last"}}},
        {"a lone surrogate stays", le(lone + u"\r\n"), {{lone}}},
        {"a zero unit ends the text", le(u"a\r\nb") + std::string("\0\0", 2) + le(u"c").substr(2), {{u"a", u"b"}}},
        {"the mark alone", le(u""), {{}}},
        {"half a unit is damage", le(u"a.jpg") + "x", std::nullopt},
        {"no mark", "C:\\a.jpg\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Is_Utf16_List(c.bytes), c.what != std::string("no mark"));
        EXPECT_EQ(Parse_Utf16_List_File(c.bytes), c.lines);
    }
    // What is written reads back, lone surrogate and all.
    const std::vector<std::u16string> lines{u"C:\\a.jpg", lone, u""};
    EXPECT_EQ(Parse_Utf16_List_File(Format_Utf16_List_File(lines)), lines);
    EXPECT_EQ(Format_Utf16_List_File({}), "");
}

}  // namespace
}  // namespace velbrook

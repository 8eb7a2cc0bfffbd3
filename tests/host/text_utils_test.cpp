#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/text_utils.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

struct Replace_Case {
    const wchar_t *text, *old_text, *new_text, *expected;
};

TEST(Replace_All, Replaces_Every_Occurrence) {
    const Replace_Case cases[] = {
        {L"aabb", L"ab", L"", L""},          // a removal joins a new occurrence
        {L"xaabby", L"ab", L"-", L"xa-by"},  // "a-b" holds no further ab
        {L"abcabc", L"b", L"", L"acac"},
        {L"a.b.c", L".", L"\\", L"a\\b\\c"},
        {L"aa", L"a", L"aa", L"aaaa"},  // the new text holds the old one
        {L"x.exe.exe", L".exe", L"", L"x"},
        {L"aab", L"ab", L"bbaa", L"abbaa"},  // searching again would never end
        {L"ABab", L"ab", L"", L"AB"},        // case-sensitive
        {L"", L"a", L"b", L""},
        {L"abc", L"", L"x", L"abc"},
        {L"abc", L"abcd", L"", L"abc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Replace_All(c.text, c.old_text, c.new_text), c.expected)
            << c.text << " / " << c.old_text << " / " << c.new_text;
    }
}

// The shrinking case against the routine as first described: search from the
// very start after every replacement.
std::wstring Replace_From_Start(std::wstring text, const std::wstring& old_text, const std::wstring& new_text) {
    for (std::size_t found; (found = text.find(old_text)) != std::wstring::npos;) {
        text.replace(found, old_text.size(), new_text);
    }
    return text;
}

std::vector<std::wstring> Words(std::size_t longest) {
    std::vector<std::wstring> words = {L""};
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i].size() == longest) continue;
        words.push_back(words[i] + L"a");
        words.push_back(words[i] + L"b");
    }
    return words;
}

TEST(Replace_All, Shrinking_Replacement_Matches_Searching_From_The_Start) {
    const auto texts = Words(8);
    for (const auto& old_text : Words(3)) {
        for (const auto& new_text : Words(2)) {
            if (old_text.empty() || new_text.size() >= old_text.size()) continue;
            for (const auto& text : texts) {
                ASSERT_EQ(Replace_All(text, old_text, new_text), Replace_From_Start(text, old_text, new_text))
                    << text << " / " << old_text << " / " << new_text;
            }
        }
    }
}

TEST(Program_Base_Name, Drops_Folder_And_Every_Extension) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Tools\\velbrook.exe", L"velbrook"},
        {L"x.exe.exe", L"x"},
        {L"C:\\Tools\\velbrook", L"velbrook"},
        {L"C:velbrook.exe", L"velbrook"},
        {L"C:\\Tools.d\\velbrook", L"velbrook"},
        {L"a.b.exe", L"a.b"},
        {L"", L""},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(Program_Base_Name(path), expected) << path;
}

TEST(Readme_File_Name, Takes_The_Name_Up_To_Its_First_Dot) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"velbrook.exe", L"velbrook.txt"},
        {L"a.b.exe", L"a.txt"},
        {L"velbrook", L"velbrook.txt"},
        {L"C:\\Program Files\\Vel.brook\\velbrook.exe", L"velbrook.txt"},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(Readme_File_Name(name), expected) << name;
}

TEST(Directory_Of, Keeps_The_Trailing_Separator) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Tools\\velbrook.exe", L"C:\\Tools\\"},
        {L"C:\\velbrook.exe", L"C:\\"},
        {L"C:velbrook.exe", L"C:"},
        {L"velbrook.exe", L""},
        {L"Z:/home/user/velbrook.exe", L"Z:/home/user/"},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(Directory_Of(path), expected) << path;
}

TEST(Digits_To_Integer, Keeps_Digits_And_A_Leading_Sign) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"x-12y", -12},
        {L"1-2", 12},
        {L"", 0},
        {L"abc", 0},
        {L"+7", 7},
        {L"--5", -5},  // the second sign is no longer first once the first is kept
        {L"+-5", 5},
        {L" 1 2 3 ", 123},
        {L"-0", 0},
        {L"007", 7},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"Button1", 1},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Digits_To_Integer(text), expected) << text;
}

TEST(Digits_To_Integer, Refuses_A_Lone_Sign_And_Numbers_Out_Of_Range) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"-", L"'-' is not a valid integer value"},
        {L"x-y", L"'-' is not a valid integer value"},
        {L"+", L"'+' is not a valid integer value"},
        {L"- -", L"'-' is not a valid integer value"},
        {L"2147483648", L"'2147483648' is not a valid integer value"},
        {L"-2147483649", L"'-2147483649' is not a valid integer value"},
        {L"99999999999999999999999", L"'99999999999999999999999' is not a valid integer value"},
    };
    for (const auto& [text, message] : cases) {
        try {
            Digits_To_Integer(text);
            ADD_FAILURE() << text << " was read as a number";
        } catch (const Conversion_Error& failure) {
            EXPECT_EQ(failure.Text(), message);
        }
    }
}

struct Field_Case {
    const wchar_t *text, *delimiter;
    int n, expected;
};

TEST(Field_As_Integer, Reads_The_Nth_Field) {
    const Field_Case cases[] = {
        {L"10 20 30", L" ", 1, 10},
        {L"10 20 30", L" ", 2, 20},
        {L"10 20 30", L" ", 3, 30},
        {L"10 20 30", L" ", 5, 30},  // past the last field: the last
        {L"10 20 30", L" ", 0, 10},
        {L"569 379 W/H Mainform1", L" ", 2, 379},
        {L"569 379 W/H Mainform1", L" ", 3, 0},  // a word without digits
        {L"8 120 -4 25 12 Print_BitBtn1", L" ", 3, -4},
        {L"8 120 -4 25 12 Print_BitBtn1", L" ", 6, 1},
        {L"1, 2, 3", L", ", 3, 3},
        {L"1  2", L" ", 2, 0},     // two spaces hold an empty field
        {L"12 34", L"", 2, 1234},  // no delimiter: one field
        {L"", L" ", 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Field_As_Integer(c.text, c.delimiter, c.n), c.expected) << c.text << " field " << c.n;
    }
}

TEST(Field_As_Integer, A_Field_Of_A_Lone_Sign_Is_Not_A_Number) {
    EXPECT_THROW(Field_As_Integer(L"1 - 3", L" ", 2), Conversion_Error);
}

}  // namespace
}  // namespace velbrook

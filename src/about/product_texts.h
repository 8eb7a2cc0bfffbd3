#pragma once
// The About window's maker texts.  They are kept scrambled in the program, so
// that the names and addresses cannot be read (or patched) in the program
// file, and are unscrambled when the main window fills in the About window.
// Portable: no windows.h.

#include <string>
#include <string_view>

namespace velbrook {

// Each printable ASCII character at position i moves 17 + 5 * i places
// forward among the 95 printable characters, wrapping round; anything else
// is kept as it is.  tools/scramble_text.py makes the stored literals.
std::wstring Scramble_Text(std::wstring_view text);
std::wstring Unscramble_Text(std::wstring_view scrambled);

// The month the program carries beside its author's name.
inline constexpr wchar_t Release_Date[] = L"September 2007";

struct Product_Texts {
    std::wstring author_name;
    std::wstring developed_using;
    std::wstring copyright;
    std::wstring software_status;
    std::wstring comments;
    std::wstring web_page;
    std::wstring email_address;
    std::wstring web_address;
    std::wstring donation_page;  // joined from its two stored pieces

    // The author's name, ", " and the release date.
    std::wstring Author_And_Date() const { return author_name + L", " + Release_Date; }
};

// The stored texts, unscrambled.
Product_Texts Stored_Product_Texts();

// The stored texts as they are kept, scrambled; for the test that nothing
// readable is stored.
std::wstring_view Stored_Scrambled_Text(int index);
inline constexpr int Stored_Text_Count = 10;

}  // namespace velbrook

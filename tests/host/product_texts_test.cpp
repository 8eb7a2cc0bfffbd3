// The About window's stored maker texts: the scramble, and what the stored
// texts unscramble to.

#include <gtest/gtest.h>

#include "about/product_texts.h"

namespace velbrook {
namespace {

TEST(Scramble_Text, Moves_Each_Printable_Character_By_Its_Position_And_Wraps_Round) {
    struct Case {
        const wchar_t* plain;
        const wchar_t* scrambled;
    } cases[] = {
        {L"", L""},     {L"A", L"R"},                  // 0x41 + 17
        {L"AA", L"RW"},                                // the second one moves 22
        {L"~", L"0"},                                  // 0x7E + 17 wraps past the end of the 95
        {L" ", L"1"},   {L"\tA\x00e9", L"\tW\x00e9"},  // tab and e-acute stay; the A is second
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Scramble_Text(c.plain), c.scrambled) << c.plain;
        EXPECT_EQ(Unscramble_Text(c.scrambled), c.plain) << c.plain;
    }
}

TEST(Scramble_Text, Every_Printable_Character_Changes_At_Every_Position_And_Comes_Back) {
    std::wstring all;
    for (int round = 0; round < 3; ++round)
        for (wchar_t c = 0x20; c < 0x7F; ++c) all.push_back(c);
    std::wstring scrambled = Scramble_Text(all);
    ASSERT_EQ(scrambled.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_NE(scrambled[i], all[i]) << i;
        EXPECT_GE(scrambled[i], 0x20) << i;
        EXPECT_LT(scrambled[i], 0x7F) << i;
    }
    EXPECT_EQ(Unscramble_Text(scrambled), all);
}

TEST(Stored_Product_Texts, Keep_Nothing_Readable_And_Unscramble_To_Usable_Texts) {
    Product_Texts texts = Stored_Product_Texts();
    const std::wstring* plain[] = {&texts.author_name,     &texts.developed_using, &texts.copyright,
                                   &texts.software_status, &texts.comments,        &texts.web_page,
                                   &texts.email_address,   &texts.web_address};
    for (int i = 0; i < 8; ++i) {
        ASSERT_FALSE(plain[i]->empty()) << i;
        EXPECT_EQ(Stored_Scrambled_Text(i).find(*plain[i]), std::wstring_view::npos) << i;
        EXPECT_EQ(Scramble_Text(*plain[i]), Stored_Scrambled_Text(i)) << i;
    }
    EXPECT_EQ(texts.Author_And_Date(), texts.author_name + L", September 2007");
    // A plain address after "mailto:": one @, no spaces, a reserved example domain.
    EXPECT_EQ(texts.email_address.find(L' '), std::wstring::npos);
    auto at = texts.email_address.find(L'@');
    ASSERT_NE(at, std::wstring::npos);
    EXPECT_EQ(texts.email_address.find(L'@', at + 1), std::wstring::npos);
    auto reserved = [](const std::wstring& host) {
        return host == L"example.com" || host == L"example.org" || host == L"example.net" ||
               host.ends_with(L".example");
    };
    EXPECT_TRUE(reserved(texts.email_address.substr(at + 1))) << texts.email_address;
    // The two web endpoints are addresses the shell opens in a browser.
    for (const std::wstring* address : {&texts.web_address, &texts.donation_page}) {
        EXPECT_TRUE(address->starts_with(L"http://")) << *address;
        auto host_end = address->find(L'/', 7);
        ASSERT_NE(host_end, std::wstring::npos) << *address;
        EXPECT_TRUE(reserved(address->substr(7, host_end - 7))) << *address;
        EXPECT_EQ(address->find(L' '), std::wstring::npos) << *address;
    }
    // The donation page is joined from two pieces, neither of which is the page.
    EXPECT_EQ(texts.donation_page,
              Unscramble_Text(Stored_Scrambled_Text(8)) + Unscramble_Text(Stored_Scrambled_Text(9)));
    EXPECT_NE(texts.donation_page, Unscramble_Text(Stored_Scrambled_Text(8)));
    EXPECT_NE(texts.donation_page, texts.web_address);
}

}  // namespace
}  // namespace velbrook

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picture_list/drop_block.h"
#include "../support/drop_bytes.h"

namespace velbrook {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Wide_Names = std::vector<std::u16string>;

const Bytes Two_Wide = test::Drop_Block_Bytes(Wide_Names{u"C:\\a.jpg", u"C:\\b\xD800.bmp"});

Bytes Changed(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

TEST(Parse_Drop_Block, Reads_The_Names_As_The_Shell_Lays_Them) {
    const struct {
        const char* name;
        Bytes block;
        std::size_t most_names, name_limit;
        Wide_Names names;
    } cases[] = {
        {"two wide names, a lone surrogate kept", Two_Wide, 10, 255, {u"C:\\a.jpg", u"C:\\b\xD800.bmp"}},
        {"as many as the shell counts", Two_Wide, 1, 255, {u"C:\\a.jpg"}},
        {"names cut to the limit", Two_Wide, 10, 4, {u"C:\\a", u"C:\\b"}},
        {"no names", test::Drop_Block_Bytes(Wide_Names{}), 10, 255, {}},
        {"the block ends between names",
         Bytes(Two_Wide.begin(), Two_Wide.end() - 2),
         10,
         255,
         {u"C:\\a.jpg", u"C:\\b\xD800.bmp"}},
    };
    for (const auto& c : cases) {
        const auto names = Parse_Drop_Block(c.block, c.most_names, c.name_limit);
        ASSERT_TRUE(names) << c.name;
        EXPECT_TRUE(names->wide) << c.name;
        EXPECT_EQ(names->wide_names, c.names) << c.name;
    }
    const auto ansi = Parse_Drop_Block(test::Drop_Block_Bytes(std::vector<std::string>{"a.jpg", "\xE4.bmp"}), 10, 1);
    ASSERT_TRUE(ansi);
    EXPECT_FALSE(ansi->wide);
    EXPECT_EQ(ansi->ansi_names, (std::vector<std::string>{"a.jpg", "\xE4.bmp"})) << "cut once decoded, not here";
}

TEST(Parse_Drop_Block, Refuses_A_Block_That_Is_Not_One) {
    const struct {
        const char* name;
        Bytes block;
    } cases[] = {
        {"shorter than its header", Bytes(Two_Wide.begin(), Two_Wide.begin() + 19)},
        {"names inside the header", Changed(Two_Wide, 0, 8)},
        {"names past the end", Changed(Changed(Two_Wide, 0, 0xFF), 3, 0x7F)},
        {"the last name without its zero", Bytes(Two_Wide.begin(), Two_Wide.end() - 4)},
        {"half a unit at the end", Bytes(Two_Wide.begin(), Two_Wide.end() - 5)},
        {"an ANSI name without its zero", Bytes{20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'a'}},
    };
    for (const auto& c : cases) EXPECT_FALSE(Parse_Drop_Block(c.block, 10, 255)) << c.name;
}

}  // namespace
}  // namespace velbrook

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "picture/icon_parse.h"
#include "../support/damaged_pictures.h"

namespace velbrook {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::damage_detail::Icon_32;

// Two icons in one file: the directories put side by side and the images'
// offsets moved after both.
Bytes Two_Icons(const Bytes& first, const Bytes& second) {
    Bytes out = {0, 0, 1, 0, 2, 0};
    out.insert(out.end(), first.begin() + 6, first.begin() + 22);
    out.insert(out.end(), second.begin() + 6, second.begin() + 22);
    test::Set_Le32(out, 18, 38);
    test::Set_Le32(out, 34, static_cast<std::uint32_t>(38 + first.size() - 22));
    out.insert(out.end(), first.begin() + 22, first.end());
    out.insert(out.end(), second.begin() + 22, second.end());
    return out;
}

TEST(Parse_Icon, Finds_The_Largest_Image_Inside_The_File) {
    const Bytes small = Icon_32(16), large = Icon_32(48);
    const Bytes png = [] {
        Bytes icon = Icon_32(16);
        const std::uint8_t mark[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        std::copy(std::begin(mark), std::end(mark), icon.begin() + 22);
        icon[6] = 0, icon[7] = 0;  // 256 x 256 by its entry
        return icon;
    }();
    // A damaged directory entry, a little smaller, that claims 65535 bits
    // per pixel.
    Bytes boastful = Icon_32(40);
    boastful[12] = 0xFF, boastful[13] = 0xFF;
    const struct {
        const char* name;
        Bytes file;
        Icon_Image image;
    } cases[] = {
        {"one bitmap", small, {22, small.size() - 22, 16, 16, false}},
        {"the larger of two", Two_Icons(small, large), {38 + small.size() - 22, large.size() - 22, 48, 48, false}},
        {"the larger first", Two_Icons(large, small), {38, large.size() - 22, 48, 48, false}},
        {"a PNG, sized by its entry", png, {22, png.size() - 22, 256, 256, true}},
        {"the larger, whatever bits the smaller claims", Two_Icons(boastful, large),
         {38 + boastful.size() - 22, large.size() - 22, 48, 48, false}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse_Icon(c.file), c.image) << c.name;
}

}  // namespace
}  // namespace velbrook

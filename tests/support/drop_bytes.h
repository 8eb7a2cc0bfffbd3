#pragma once
// The bytes of a drop's block as the shell builds it: a DROPFILES header,
// then the names, each ended by a zero, the whole list by another.  Names
// of one-byte units make an ANSI block, of two-byte units a wide one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velbrook::test {

inline constexpr std::uint32_t Drop_Names_Offset = 20;

template <typename Char>
std::vector<std::uint8_t> Drop_Block_Bytes(const std::vector<std::basic_string<Char>>& names) {
    static_assert(sizeof(Char) <= 2, "the names of a drop are bytes or UTF-16 units");
    std::vector<std::uint8_t> bytes(Drop_Names_Offset, 0);
    bytes[0] = static_cast<std::uint8_t>(Drop_Names_Offset);
    bytes[16] = sizeof(Char) == 2;  // fWide
    const auto put = [&](std::uint32_t unit) {
        for (std::size_t b = 0; b < sizeof(Char); ++b) bytes.push_back(static_cast<std::uint8_t>(unit >> (8 * b)));
    };
    for (const auto& name : names) {
        for (Char unit : name) put(static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(unit)));
        put(0);
    }
    put(0);
    return bytes;
}

}  // namespace velbrook::test

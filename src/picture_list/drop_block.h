#pragma once
// The block a drop hands over (the shell's DROPFILES), read from its bytes:
// a 20-byte header (where the names begin, the drop point, two flags, the
// last saying the names are wide), then the names, each ended by a zero and
// the list by an empty name.  Portable, so that it is fuzzed natively; the
// Windows side hands over the locked block and decodes ANSI names.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velbrook {

inline constexpr std::size_t Drop_Header_Bytes = 20;

struct Drop_Block_Names {
    bool wide = false;
    std::vector<std::u16string> wide_names;  // UTF-16 units as they are, when wide
    std::vector<std::string> ansi_names;     // bytes in the ANSI code page, otherwise
};

// The names in order, at most `most_names` of them, a wide name cut to
// `name_limit` units (an ANSI one is cut once decoded).  Reading stops at
// the empty name or where the block ends between names.  Nothing when the
// block is not one: shorter than its header, names starting inside the
// header or past the end, or a name that runs to the end without its zero.
std::optional<Drop_Block_Names> Parse_Drop_Block(std::span<const std::uint8_t> block, std::size_t most_names,
                                                 std::size_t name_limit);

}  // namespace velbrook

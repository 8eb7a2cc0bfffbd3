#include "picture_list/drop_block.h"

#include <algorithm>

namespace velbrook {
namespace {

std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Names of `Unit`s of `unit_bytes` little-endian bytes each, from `at`.
template <typename Unit>
bool Read_Names(std::span<const std::uint8_t> block, std::size_t at, std::size_t unit_bytes, std::size_t most_names,
                std::size_t name_limit, std::vector<std::basic_string<Unit>>& names) {
    const auto unit_at = [&](std::size_t k) {
        Unit unit = 0;
        for (std::size_t b = 0; b < unit_bytes; ++b) unit = static_cast<Unit>(unit | block[k + b] << (8 * b));
        return unit;
    };
    while (names.size() < most_names && block.size() - at >= unit_bytes) {
        if (unit_at(at) == 0) break;  // the empty name ends the list
        std::basic_string<Unit> name;
        std::size_t k = at;
        for (;; k += unit_bytes) {
            if (block.size() - k < unit_bytes) return false;  // no zero before the end
            const Unit unit = unit_at(k);
            if (unit == 0) break;
            if (name.size() < name_limit) name.push_back(unit);
        }
        names.push_back(std::move(name));
        at = k + unit_bytes;
    }
    return true;
}

}  // namespace

std::optional<Drop_Block_Names> Parse_Drop_Block(std::span<const std::uint8_t> block, std::size_t most_names,
                                                 std::size_t name_limit) {
    if (block.size() < Drop_Header_Bytes) return std::nullopt;
    const std::uint32_t first = Le32(block, 0);
    if (first < Drop_Header_Bytes || first > block.size()) return std::nullopt;
    Drop_Block_Names names;
    names.wide = Le32(block, 16) != 0;
    const bool whole = names.wide ? Read_Names(block, first, 2, most_names, name_limit, names.wide_names)
                                  : Read_Names(block, first, 1, most_names, std::string::npos, names.ansi_names);
    if (!whole) return std::nullopt;
    return names;
}

}  // namespace velbrook

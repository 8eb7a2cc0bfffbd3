// libFuzzer target: any bytes as the block of a drop.  The names read are
// never empty and hold no zero, fit the limit, come in the block's order (a
// smaller count and limit give the first names, cut), and a block built
// again from them reads the same.
#include <algorithm>

#include "../common/fuzz_support.h"
#include "picture_list/drop_block.h"
#include "support/drop_bytes.h"

using velbrook::fuzz::Require;
using namespace velbrook;

namespace {

template <typename Name>
void Check(const std::vector<Name>& all, const std::vector<Name>& first, std::size_t limit) {
    Require(first.size() <= all.size(), "no more names for a smaller count");
    for (std::size_t k = 0; k < all.size(); ++k) {
        Require(!all[k].empty() && all[k].find(typename Name::value_type(0)) == Name::npos, "a name of its own");
        if (k < first.size()) Require(first[k] == all[k].substr(0, limit), "the first names, cut to the limit");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> block(data, size);
    const auto all = Parse_Drop_Block(block, size, std::u16string::npos);
    // The count the shell reports and the program's limit, from the first byte.
    const std::size_t count = size > 0 ? data[0] % 8 : 0, limit = size > 1 ? 1 + data[1] % 300 : 255;
    const auto first = Parse_Drop_Block(block, count, limit);
    if (first) Require(first->wide_names.size() + first->ansi_names.size() <= count, "no more names than counted");
    // A block damaged after its first few names still gives those.
    if (!all) return 0;
    Require(all->wide ? all->ansi_names.empty() : all->wide_names.empty(), "one kind of name");
    Require(first && first->wide == all->wide, "the first names of a sound block");
    Check(all->wide_names, first->wide_names, limit);
    Check(all->ansi_names, first->ansi_names, std::string::npos);
    const auto again = all->wide ? Parse_Drop_Block(test::Drop_Block_Bytes(all->wide_names), size, std::u16string::npos)
                                 : Parse_Drop_Block(test::Drop_Block_Bytes(all->ansi_names), size, std::string::npos);
    Require(again && again->wide == all->wide && again->wide_names == all->wide_names &&
                again->ansi_names == all->ansi_names,
            "the names survive a block built again");
    return 0;
}

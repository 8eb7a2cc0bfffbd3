#pragma once
// A file's first bytes and no more: a picture whose file ends early.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velbrook::test {

inline std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> file, std::size_t keep) {
    file.resize(keep);
    return file;
}

}  // namespace velbrook::test

#include "picture/read_at.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace velbrook {

Read_At Read_From(std::span<const std::uint8_t> bytes) {
    return [bytes](std::uint64_t offset, std::span<std::uint8_t> into) -> std::size_t {
        if (offset >= bytes.size()) return 0;
        // Below bytes.size() here, so the offset fits a size_t on any build.
        const std::size_t at = static_cast<std::size_t>(offset);
        const std::size_t count = std::min(into.size(), bytes.size() - at);
        if (count) std::memcpy(into.data(), bytes.data() + at, count);
        return count;
    };
}

bool Read_Exactly(const Read_At& read, std::uint64_t offset, std::span<std::uint8_t> into) {
    if (into.size() > std::numeric_limits<std::uint64_t>::max() - offset) return false;
    std::size_t done = 0;
    while (done < into.size()) {
        const std::span<std::uint8_t> rest = into.subspan(done);
        const std::size_t got = read(offset + done, rest);
        if (got == 0 || got > rest.size()) return false;
        done += got;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> Read_Bytes(const Read_At& read, std::uint64_t offset, std::uint32_t length) {
    std::vector<std::uint8_t> bytes(length);
    if (!Read_Exactly(read, offset, bytes)) return std::nullopt;
    return bytes;
}

}  // namespace velbrook

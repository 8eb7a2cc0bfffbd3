#include "picture/tiff_directory.h"

namespace velbrook {

namespace {
constexpr std::uint32_t Entry_Bytes = 12;
}  // namespace

std::optional<Tiff_Directory> Tiff_Directory::Read_First(const Read_At& read) {
    std::uint8_t header[8];
    if (!Read_Exactly(read, 0, header)) return std::nullopt;
    Tiff_Directory directory;
    if (header[0] == 'I' && header[1] == 'I')
        directory.big_endian_ = false;
    else if (header[0] == 'M' && header[1] == 'M')
        directory.big_endian_ = true;
    else
        return std::nullopt;
    if (directory.U16(header + 2) != 42) return std::nullopt;
    // Offsets are 32-bit, the sums 64-bit: nothing wraps on either build.
    const std::uint64_t at = directory.U32(header + 4);
    std::uint8_t count[2];
    if (!Read_Exactly(read, at, count)) return std::nullopt;
    // At most 65535 entries: under 800 KB, asked for only once the count lies
    // in the bytes.
    auto entries = Read_Bytes(read, at + 2, Entry_Bytes * std::uint32_t{directory.U16(count)});
    if (!entries) return std::nullopt;
    directory.entries_ = std::move(*entries);
    return directory;
}

std::optional<Tiff_Directory::Entry> Tiff_Directory::Find(std::uint16_t tag) const {
    for (std::size_t at = 0; at + Entry_Bytes <= entries_.size(); at += Entry_Bytes) {
        const std::uint8_t* entry = entries_.data() + at;
        if (U16(entry) == tag) return Entry{U16(entry + 2), U32(entry + 4), static_cast<std::uint32_t>(at + 8)};
    }
    return std::nullopt;
}

std::optional<std::uint32_t> Tiff_Directory::Number(std::uint16_t tag, bool long_too) const {
    const auto entry = Find(tag);
    if (!entry || entry->count < 1) return std::nullopt;
    // A value that fits the entry is stored in it, from its first byte.
    const std::uint8_t* value = entries_.data() + entry->value_at;
    if (entry->type == Tiff_Short) return U16(value);
    if (entry->type == Tiff_Long && long_too) return U32(value);
    return std::nullopt;
}

std::optional<double> Tiff_Directory::Rational(std::uint16_t tag, const Read_At& read) const {
    const auto entry = Find(tag);
    if (!entry || entry->type != Tiff_Rational || entry->count < 1) return std::nullopt;
    std::uint8_t value[8];
    if (!Read_Exactly(read, U32(entries_.data() + entry->value_at), value)) return std::nullopt;
    const std::uint32_t numerator = U32(value), denominator = U32(value + 4);
    if (denominator == 0) return std::nullopt;
    return static_cast<double>(numerator) / denominator;
}

std::uint16_t Tiff_Directory::U16(const std::uint8_t* at) const {
    return static_cast<std::uint16_t>(big_endian_ ? at[0] << 8 | at[1] : at[1] << 8 | at[0]);
}

std::uint32_t Tiff_Directory::U32(const std::uint8_t* at) const {
    const std::uint32_t first = U16(at), second = U16(at + 2);
    return big_endian_ ? first << 16 | second : second << 16 | first;
}

}  // namespace velbrook

#pragma once
// Little-endian fields of a file in memory, read with their bounds checked:
// a field that lies past the end of the bytes makes the file invalid rather
// than being read as zeros.

#include <cstddef>
#include <cstdint>
#include <span>

#include "toolkit/failure.h"

namespace velbrook {

class Byte_Reader {
public:
    explicit Byte_Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }
    bool Has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    void Need(std::uint64_t offset, std::uint64_t length, const wchar_t* what) const {
        if (!Has(offset, length)) throw Invalid_Picture(std::wstring(what) + L" lies past the end of the file");
    }
    std::uint8_t U8(std::size_t offset) const {
        Need(offset, 1, L"a field");
        return bytes_[offset];
    }
    std::uint16_t U16(std::size_t offset) const {
        Need(offset, 2, L"a field");
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t U32(std::size_t offset) const {
        Need(offset, 4, L"a field");
        return static_cast<std::uint32_t>(bytes_[offset]) | static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
               static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 |
               static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
    }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
    std::span<const std::uint8_t> Slice(std::uint64_t offset, std::uint64_t length, const wchar_t* what) const {
        Need(offset, length, what);
        return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    }

private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace velbrook

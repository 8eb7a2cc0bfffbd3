#pragma once
// The first directory (IFD0) of a TIFF structure in either byte order: a
// TIFF file's own, or the one inside a JPEG's Exif block.  Read through a
// Read_At, so that a directory written at the end of a large file costs
// only its own bytes.  The chain of directories after it is never
// followed, so a loop of offsets cannot trap the reader.

#include <cstdint>
#include <optional>
#include <vector>

#include "picture/read_at.h"

namespace velbrook {

inline constexpr std::uint16_t Tiff_Short = 3, Tiff_Long = 4, Tiff_Rational = 5;

class Tiff_Directory {
public:
    // IFD0 of the structure that `read` gives from its offset 0; nothing when
    // the header is not a classic TIFF's or the directory does not lie whole
    // within the bytes.
    static std::optional<Tiff_Directory> Read_First(const Read_At& read);

    // The first value of the first entry for `tag`, when it has at least one
    // value of type SHORT (or, with `long_too`, LONG).
    std::optional<std::uint32_t> Number(std::uint16_t tag, bool long_too) const;
    // The first value of a RATIONAL entry, read from where the entry points;
    // nothing when it has none, lies outside the bytes or divides by zero.
    std::optional<double> Rational(std::uint16_t tag, const Read_At& read) const;

private:
    struct Entry {
        std::uint16_t type;
        std::uint32_t count;
        std::uint32_t value_at;  // the entry's value field, within entries_
    };
    std::optional<Entry> Find(std::uint16_t tag) const;
    std::uint16_t U16(const std::uint8_t* at) const;
    std::uint32_t U32(const std::uint8_t* at) const;

    bool big_endian_ = false;
    std::vector<std::uint8_t> entries_;  // 12 bytes each
};

}  // namespace velbrook

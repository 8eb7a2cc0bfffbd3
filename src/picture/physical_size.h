#pragma once
// The size a picture file says it has on paper: its pixels and how many of
// them go to an inch, read from the file's own headers (a JPEG's JFIF
// density or Exif resolution, a PNG's pHYs chunk, a TIFF's resolution tags,
// a bitmap's pixels per metre).  Portable, and it reads only the bytes it
// needs, wherever in the file they lie.

#include <cstdint>
#include <optional>
#include <span>

#include "picture/read_at.h"

namespace velbrook {

// Resolutions outside these bounds are nonsense and count as none given.
inline constexpr double Least_Dots_Per_Inch = 10, Most_Dots_Per_Inch = 10000;
inline constexpr double Default_Dots_Per_Inch = 96;

struct Physical_Size {
    std::int32_t width = 0, height = 0;  // stored pixels (before any Exif turn)
    double dots_x = Default_Dots_Per_Inch, dots_y = Default_Dots_Per_Inch;
    bool operator==(const Physical_Size&) const = default;
};

// By the content's signature: JPEG, PNG, TIFF (either byte order) or BMP,
// through a Read_At (picture/read_at.h) that is asked only for the headers.
// Nothing for any other content, for headers too damaged to give a size and
// for a side of 0 or more than a million pixels; a resolution that is
// missing, zero or outside the bounds gives 96 in its own direction.
std::optional<Physical_Size> Read_Physical_Size(const Read_At& read);
// The same over bytes held in memory.
std::optional<Physical_Size> Read_Physical_Size(std::span<const std::uint8_t> bytes);

}  // namespace velbrook

#pragma once
// The marker segments at the head of a JPEG file, from its start-of-image
// marker to its first scan: where the frame header, the JFIF density and
// the Exif block lie.  Each segment's length is checked before it is
// stepped over, and a body is read only by the caller that wants it.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "picture/read_at.h"

namespace velbrook {

inline constexpr std::uint8_t Jpeg_Start_Of_Image = 0xD8, Jpeg_End_Of_Image = 0xD9, Jpeg_Start_Of_Scan = 0xDA;
inline constexpr std::uint8_t Jpeg_App0 = 0xE0, Jpeg_App1 = 0xE1, Jpeg_App14 = 0xEE;

// A start-of-frame marker, of any coding: 0xC0 to 0xCF but the Huffman
// tables (0xC4), the extension (0xC8) and the arithmetic coding conditions
// (0xCC).
constexpr bool Is_Jpeg_Frame_Marker(std::uint8_t m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}
// Markers that stand alone, without a length: TEM and the restart markers.
constexpr bool Jpeg_Marker_Stands_Alone(std::uint8_t m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD7); }

struct Jpeg_Segment {
    std::uint8_t marker = 0;
    std::uint64_t body = 0;    // where the bytes after the length field begin
    std::uint32_t length = 0;  // of the body, at most 65533
};

// Calls `on_segment` with each segment before the first scan, in the file's
// order, until it returns false, the scan or the end of the image is
// reached, or the bytes stop being markers.
void Walk_Jpeg_Head(const Read_At& read, const std::function<bool(const Jpeg_Segment&)>& on_segment);

// The TIFF structure of an Exif block: for an APP1 segment whose first bytes
// name it Exif, the rest of its body, read only then (empty when the file
// ends inside it); nothing for any other segment (XMP, say).
std::optional<std::vector<std::uint8_t>> Read_Exif_Block(const Read_At& read, const Jpeg_Segment& segment);

}  // namespace velbrook

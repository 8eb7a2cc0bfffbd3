#include "picture/jpeg_segments.h"

#include <algorithm>

namespace velbrook {

namespace {
// Far more segments and fill bytes than any camera or editor writes before
// the scan (an ICC profile in 255 pieces included): a forged file of
// endless empty segments costs no more than this many small reads.
constexpr int Most_Head_Steps = 8192;
}  // namespace

void Walk_Jpeg_Head(const Read_At& read, const std::function<bool(const Jpeg_Segment&)>& on_segment) {
    std::uint8_t start[2];
    if (!Read_Exactly(read, 0, start) || start[0] != 0xFF || start[1] != Jpeg_Start_Of_Image) return;
    std::uint64_t at = 2;
    for (int step = 0; step < Most_Head_Steps; ++step) {
        std::uint8_t head[4];
        if (!Read_Exactly(read, at, std::span(head, 2)) || head[0] != 0xFF) return;
        const std::uint8_t marker = head[1];
        if (marker == 0xFF) {  // a fill byte before the marker
            ++at;
            continue;
        }
        if (marker == Jpeg_Start_Of_Scan || marker == Jpeg_End_Of_Image) return;
        if (Jpeg_Marker_Stands_Alone(marker)) {
            at += 2;
            continue;
        }
        if (!Read_Exactly(read, at + 2, std::span(head + 2, 2))) return;
        const std::uint32_t length = static_cast<std::uint32_t>(head[2]) << 8 | head[3];
        if (length < 2) return;
        if (!on_segment(Jpeg_Segment{.marker = marker, .body = at + 4, .length = length - 2})) return;
        at += 2 + length;
    }
}

std::optional<std::vector<std::uint8_t>> Read_Exif_Block(const Read_At& read, const Jpeg_Segment& segment) {
    static constexpr std::uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0};
    std::uint8_t name[sizeof exif];
    if (segment.marker != Jpeg_App1 || segment.length < sizeof exif || !Read_Exactly(read, segment.body, name) ||
        !std::equal(std::begin(exif), std::end(exif), name))
        return std::nullopt;
    auto block = Read_Bytes(read, segment.body + sizeof exif, segment.length - sizeof exif);
    return block ? std::move(*block) : std::vector<std::uint8_t>{};
}

}  // namespace velbrook

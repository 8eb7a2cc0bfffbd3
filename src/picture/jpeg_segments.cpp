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

std::optional<std::span<const std::uint8_t>> Exif_Tiff_Block(std::span<const std::uint8_t> app1_body) {
    static constexpr std::uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (app1_body.size() < sizeof exif || !std::equal(std::begin(exif), std::end(exif), app1_body.begin()))
        return std::nullopt;
    return app1_body.subspan(sizeof exif);
}

}  // namespace velbrook

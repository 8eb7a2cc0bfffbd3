#include "pdf/jpeg_header.h"

#include <cstring>
#include <vector>

#include "picture/jpeg_decode.h"
#include "picture/jpeg_segments.h"
#include "toolkit/failure.h"

namespace velbrook {

namespace {

// Walks the marker segments.  `on_segment(marker, body)` sees each segment's
// body (within bounds); returning false stops the walk.  After a scan header
// the entropy-coded data is skipped up to the next marker that is not a
// restart marker.  Returns the marker the walk stopped at, or 0 when the
// bytes ran out first.
template <typename On_Segment>
std::uint8_t Walk_Markers(std::span<const std::uint8_t> bytes, On_Segment on_segment) {
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != Jpeg_Start_Of_Image) return 0;
    std::size_t at = 2;
    for (;;) {
        if (at >= bytes.size() || bytes[at] != 0xFF) return 0;
        while (at < bytes.size() && bytes[at] == 0xFF) ++at;  // fill bytes
        if (at >= bytes.size()) return 0;
        std::uint8_t marker = bytes[at++];
        if (marker == Jpeg_End_Of_Image) return marker;
        if (Jpeg_Marker_Stands_Alone(marker)) continue;
        if (bytes.size() - at < 2) return 0;
        std::size_t length = bytes[at] << 8 | bytes[at + 1];
        if (length < 2 || bytes.size() - at < length) return 0;
        if (!on_segment(marker, bytes.subspan(at + 2, length - 2))) return marker;
        at += length;
        if (marker != Jpeg_Start_Of_Scan) continue;
        // Entropy-coded data: 0xFF 0x00 is a stuffed byte, 0xFF 0xD0..D7 a
        // restart marker; any other 0xFF x begins the next segment.
        for (;;) {
            const void* found = std::memchr(bytes.data() + at, 0xFF, bytes.size() - at);
            if (!found) return 0;
            at = static_cast<const std::uint8_t*>(found) - bytes.data();
            if (at + 1 >= bytes.size()) return 0;
            std::uint8_t next = bytes[at + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                at += 2;
                continue;
            }
            if (next == 0xFF) {
                ++at;
                continue;
            }
            break;
        }
    }
}

}  // namespace

std::optional<Jpeg_Header> Read_Jpeg_Header(std::span<const std::uint8_t> bytes) {
    Jpeg_Header header;
    bool frame = false;
    bool usable = false;
    Walk_Markers(bytes, [&](std::uint8_t marker, std::span<const std::uint8_t> body) {
        if (marker == Jpeg_App14 && body.size() >= 12 && std::memcmp(body.data(), "Adobe", 5) == 0) header.adobe = true;
        if (Is_Jpeg_Frame_Marker(marker) && !frame) {
            frame = true;
            if (body.size() < 6) return false;
            int precision = body[0];
            header.height = body[1] << 8 | body[2];
            header.width = body[3] << 8 | body[4];
            header.components = body[5];
            if (body.size() < 6 + 3u * header.components) return false;
            header.progressive = marker == 0xC2;
            bool huffman_8_bit = (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) && precision == 8;
            bool components = header.components == 1 || header.components == 3 || header.components == 4;
            usable = huffman_8_bit && components && header.width > 0 && header.height > 0;
            header.rgb_named = header.components == 3 && body[6] == 'R' && body[9] == 'G' && body[12] == 'B';
        }
        // The Adobe marker comes before the frame; nothing after the first
        // scan's header matters here.
        return marker != Jpeg_Start_Of_Scan;
    });
    if (!usable) return std::nullopt;
    if (header.adobe) header.rgb_named = false;
    return header;
}

bool Jpeg_Reaches_End_Marker(std::span<const std::uint8_t> bytes) {
    int scans = 0;
    std::uint8_t last = Walk_Markers(bytes, [&](std::uint8_t marker, std::span<const std::uint8_t>) {
        if (marker == Jpeg_Start_Of_Scan) ++scans;
        return scans <= Max_Jpeg_Scans;
    });
    return last == Jpeg_End_Of_Image && scans > 0 && scans <= Max_Jpeg_Scans;
}

std::optional<Jpeg_As_It_Is> Check_Jpeg_As_It_Is(const std::function<std::unique_ptr<Byte_Source>()>& open) {
    Jpeg_As_It_Is jpeg;
    {
        const std::unique_ptr<Byte_Source> source = open();
        std::vector<std::uint8_t> head(Jpeg_Head_Bytes);
        std::size_t got = 0;
        while (got < head.size()) {
            const std::size_t part = source->Read(head.data() + got, head.size() - got);
            if (part == 0) break;
            got += part;
        }
        head.resize(got);
        const std::optional<Jpeg_Header> header = Read_Jpeg_Header(head);
        if (!header) return std::nullopt;
        jpeg.header = *header;
    }
    if (Walk_Jpeg_Markers(*open(), &jpeg.length) != Jpeg_Markers::Whole) return std::nullopt;
    try {
        const std::unique_ptr<Byte_Source> source = open();
        Jpeg_Rows rows(*source, 1, 1);
        if (rows.Stored_Width() != jpeg.header.width || rows.Stored_Height() != jpeg.header.height ||
            jpeg.length < rows.Least_Data_Bytes())
            return std::nullopt;
        std::vector<std::uint8_t> row((static_cast<std::size_t>(rows.Width()) * 3 + 3) & ~std::size_t{3});
        for (int y = 0; y < rows.Height() && !rows.Damaged(); ++y) rows.Read(row.data(), row.size(), 1);
        if (rows.Damaged()) return std::nullopt;
    } catch (const Invalid_Picture&) {
        return std::nullopt;
    }
    return jpeg;
}

}  // namespace velbrook

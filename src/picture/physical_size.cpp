#include "picture/physical_size.h"

#include <cstring>
#include <vector>

#include "picture/byte_reader.h"
#include "picture/jpeg_segments.h"
#include "picture/tiff_directory.h"

namespace velbrook {
namespace {

constexpr std::int64_t Most_Pixels_A_Side = 1'000'000;
constexpr double Centimetres_Per_Inch = 2.54, Metres_Per_Inch = 0.0254;

// What a file says of its resolution, in dots per inch each way; either may
// be unsaid.
struct Resolution {
    std::optional<double> x, y;
};

// Every format's rule: each direction stands alone, and one that is unsaid,
// not a number, or outside [Least_Dots_Per_Inch, Most_Dots_Per_Inch] is
// Default_Dots_Per_Inch whatever the other direction says.  (Only a JFIF
// density is all or nothing: see Jfif_Resolution.)
double Dots_Or_Default(std::optional<double> dots) {
    return dots && *dots >= Least_Dots_Per_Inch && *dots <= Most_Dots_Per_Inch ? *dots : Default_Dots_Per_Inch;
}

std::optional<Physical_Size> Sized(std::int64_t width, std::int64_t height, const Resolution& resolution) {
    if (width < 1 || height < 1 || width > Most_Pixels_A_Side || height > Most_Pixels_A_Side) return std::nullopt;
    return Physical_Size{.width = static_cast<std::int32_t>(width),
                         .height = static_cast<std::int32_t>(height),
                         .dots_x = Dots_Or_Default(resolution.x),
                         .dots_y = Dots_Or_Default(resolution.y)};
}

std::uint32_t Be16(const std::uint8_t* at) { return static_cast<std::uint32_t>(at[0]) << 8 | at[1]; }
std::uint32_t Be32(const std::uint8_t* at) { return Be16(at) << 16 | Be16(at + 2); }

// XResolution, YResolution and ResolutionUnit, as TIFF files and Exif
// blocks keep them: inches unless the unit says otherwise.
Resolution Tiff_Resolution(const Tiff_Directory& ifd, const Read_At& read) {
    constexpr std::uint16_t X_Resolution = 0x011A, Y_Resolution = 0x011B, Resolution_Unit = 0x0128;
    const std::uint32_t unit = ifd.Number(Resolution_Unit, true).value_or(2);
    if (unit != 2 && unit != 3) return {};  // 1: an aspect ratio alone
    const double per_inch = unit == 3 ? Centimetres_Per_Inch : 1;
    Resolution resolution{ifd.Rational(X_Resolution, read), ifd.Rational(Y_Resolution, read)};
    if (resolution.x) *resolution.x *= per_inch;
    if (resolution.y) *resolution.y *= per_inch;
    return resolution;
}

// A JFIF APP0 body: identifier, version, units, then the densities across
// and down.  JFIF gives the two as one pair, so a zero in either leaves the
// pair unsaid, as does units 0 (an aspect ratio alone).
std::optional<Resolution> Jfif_Resolution(const std::uint8_t (&body)[12]) {
    const unsigned units = body[7];
    const std::uint32_t x = Be16(body + 8), y = Be16(body + 10);
    if ((units != 1 && units != 2) || x == 0 || y == 0) return std::nullopt;
    const double per_inch = units == 2 ? Centimetres_Per_Inch : 1;
    return Resolution{x * per_inch, y * per_inch};
}

// The size from the first frame header before the scan; the resolution from
// JFIF when it gives one in dots per inch or centimetre, else from the
// first Exif block's IFD0.
std::optional<Physical_Size> Jpeg_Size(const Read_At& read) {
    std::optional<Resolution> jfif, exif;
    bool jfif_seen = false, exif_seen = false;
    std::int64_t width = 0, height = 0;
    bool frame_seen = false;
    Walk_Jpeg_Head(read, [&](const Jpeg_Segment& segment) {
        if (Is_Jpeg_Frame_Marker(segment.marker) && !frame_seen) {
            // Sample precision, then the lines and the samples per line.
            std::uint8_t frame[5];
            if (segment.length < sizeof frame || !Read_Exactly(read, segment.body, frame)) return false;
            frame_seen = true;
            height = Be16(frame + 1);
            width = Be16(frame + 3);
        } else if (segment.marker == Jpeg_App0 && !jfif_seen && segment.length >= 12) {
            std::uint8_t body[12];
            if (!Read_Exactly(read, segment.body, body)) return false;
            if (std::memcmp(body, "JFIF", 5) == 0) jfif_seen = true, jfif = Jfif_Resolution(body);
        } else if (!exif_seen) {
            if (const auto block = Read_Exif_Block(read, segment)) {
                exif_seen = true;
                const Read_At read_block = Read_From(*block);
                if (const auto ifd0 = Tiff_Directory::Read_First(read_block)) exif = Tiff_Resolution(*ifd0, read_block);
            }
        }
        return true;
    });
    if (!frame_seen) return std::nullopt;
    return Sized(width, height, jfif ? *jfif : exif.value_or(Resolution{}));
}

// Far more chunks than any writer puts before the pixels: a forged file of
// endless empty chunks costs no more than this many small reads.
constexpr int Most_Png_Chunks_Before_Data = 4096;

// The size from IHDR, which must come first; pixels per metre from a pHYs
// chunk before the first IDAT.
std::optional<Physical_Size> Png_Size(const Read_At& read) {
    std::uint8_t head[8 + 8 + 13];  // the signature, IHDR's length and type, its data
    if (!Read_Exactly(read, 0, head) || Be32(head + 8) != 13 || std::memcmp(head + 12, "IHDR", 4) != 0)
        return std::nullopt;
    Resolution resolution;
    std::uint64_t at = sizeof head + 4;  // past IHDR's checksum
    for (int k = 0; k < Most_Png_Chunks_Before_Data; ++k) {
        std::uint8_t chunk[8 + 9];  // length and type, then a pHYs chunk's data
        if (!Read_Exactly(read, at, std::span(chunk, 8))) break;
        const std::uint8_t* type = chunk + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0) break;
        if (std::memcmp(type, "pHYs", 4) == 0) {
            // Unit 1 is the metre; unit 0 gives an aspect ratio alone.
            if (Be32(chunk) == 9 && Read_Exactly(read, at + 8, std::span(chunk + 8, 9)) && chunk[16] == 1)
                resolution = {Be32(chunk + 8) * Metres_Per_Inch, Be32(chunk + 12) * Metres_Per_Inch};
            break;
        }
        at += 12 + std::uint64_t{Be32(chunk)};
    }
    return Sized(Be32(head + 16), Be32(head + 20), resolution);
}

constexpr std::uint16_t Image_Width = 0x0100, Image_Length = 0x0101;

std::optional<Physical_Size> Tiff_Size(const Read_At& read) {
    const auto ifd0 = Tiff_Directory::Read_First(read);
    if (!ifd0) return std::nullopt;
    const auto width = ifd0->Number(Image_Width, true), height = ifd0->Number(Image_Length, true);
    if (!width || !height) return std::nullopt;
    return Sized(*width, *height, Tiff_Resolution(*ifd0, read));
}

// BITMAPCOREHEADER (12 bytes) gives 16-bit sides and no resolution;
// BITMAPINFOHEADER and the longer headers that begin with it give signed
// sides (a negative height for rows stored top-down) and pixels per metre.
std::optional<Physical_Size> Bmp_Size(const Read_At& read) {
    constexpr std::size_t File_Header = 14, Core_Header = 12, Info_Header = 40;
    std::uint8_t head[File_Header + Info_Header] = {};
    const Byte_Reader in(head);
    if (!Read_Exactly(read, 0, std::span(head, File_Header + 4))) return std::nullopt;
    const std::uint32_t header_size = in.U32(File_Header);
    if (header_size == Core_Header) {
        if (!Read_Exactly(read, File_Header + 4, std::span(head + File_Header + 4, Core_Header - 4)))
            return std::nullopt;
        return Sized(in.U16(18), in.U16(20), {});
    }
    if (header_size < Info_Header ||
        !Read_Exactly(read, File_Header + 4, std::span(head + File_Header + 4, Info_Header - 4)))
        return std::nullopt;
    const std::int64_t height = in.I32(22);
    return Sized(in.I32(18), height < 0 ? -height : height,
                 {in.I32(38) * Metres_Per_Inch, in.I32(42) * Metres_Per_Inch});
}

}  // namespace

std::optional<Physical_Size> Read_Physical_Size(const Read_At& read) {
    std::uint8_t signature[8];
    if (!Read_Exactly(read, 0, signature)) return std::nullopt;
    static constexpr std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (signature[0] == 0xFF && signature[1] == Jpeg_Start_Of_Image) return Jpeg_Size(read);
    if (std::memcmp(signature, png, sizeof png) == 0) return Png_Size(read);
    if (std::memcmp(signature, "II*\0", 4) == 0 || std::memcmp(signature, "MM\0*", 4) == 0) return Tiff_Size(read);
    if (signature[0] == 'B' && signature[1] == 'M') return Bmp_Size(read);
    return std::nullopt;
}

std::optional<Physical_Size> Read_Physical_Size(std::span<const std::uint8_t> bytes) {
    return Read_Physical_Size(Read_From(bytes));
}

}  // namespace velbrook

#include "gif/gif_bitmap_image.h"

#include <cstring>

namespace {

void Put_U16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put_U32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    Put_U16(out, at, value & 0xFFFF);
    Put_U16(out, at + 2, value >> 16);
}

// Lays out the headers; the caller fills the colour table and the rows.
std::vector<std::uint8_t> Bmp_Skeleton(int width, int height, int bits_per_pixel, std::size_t colors,
                                       std::size_t image_size)
{
    const std::size_t offset = BMP_File_Header_Size + BMP_Info_Header_Size + 4 * colors;
    std::vector<std::uint8_t> out(offset + image_size, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put_U32(out, 2, static_cast<std::uint32_t>(out.size()));
    Put_U32(out, 10, static_cast<std::uint32_t>(offset));
    const std::size_t info = BMP_File_Header_Size;
    Put_U32(out, info + 0, static_cast<std::uint32_t>(BMP_Info_Header_Size));
    Put_U32(out, info + 4, static_cast<std::uint32_t>(width));
    Put_U32(out, info + 8, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
    Put_U16(out, info + 12, 1);
    Put_U16(out, info + 14, static_cast<std::uint32_t>(bits_per_pixel));
    Put_U32(out, info + 20, static_cast<std::uint32_t>(image_size));
    Put_U32(out, info + 32, static_cast<std::uint32_t>(colors));
    return out;
}

}  // namespace

std::vector<std::uint8_t> Frame_Bitmap_Image(const TGIFFrame& frame)
{
    const std::size_t colors = std::size_t{1} << frame.Bitmap_Color_Bits;
    const std::size_t image_size = frame.Raster.Row_Stride * static_cast<std::size_t>(frame.Height);
    std::vector<std::uint8_t> out = Bmp_Skeleton(frame.Width, frame.Height, 8, colors, image_size);
    std::size_t at = BMP_File_Header_Size + BMP_Info_Header_Size;
    for (std::size_t i = 0; i < colors; ++i, at += 4) {
        const std::uint8_t* rgb = frame.Palette->data() + 3 * i;
        out[at] = rgb[2];
        out[at + 1] = rgb[1];
        out[at + 2] = rgb[0];
    }
    std::memcpy(out.data() + at, frame.Raster.Pixels.data(), image_size);
    return out;
}

std::vector<std::uint8_t> Frame_Mask_Image(const TGIFFrame& frame)
{
    if (!frame.Transparent) return {};
    const std::size_t image_size = frame.Raster.Mask_Stride * static_cast<std::size_t>(frame.Height);
    std::vector<std::uint8_t> out = Bmp_Skeleton(frame.Width, frame.Height, 1, 2, image_size);
    std::size_t at = BMP_File_Header_Size + BMP_Info_Header_Size;
    out[at + 4] = out[at + 5] = out[at + 6] = 255;  // colour 1: white
    at += 8;
    std::memcpy(out.data() + at, frame.Raster.Mask.data(), image_size);
    return out;
}

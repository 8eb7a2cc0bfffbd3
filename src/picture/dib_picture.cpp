// Bitmaps and JPEGs: both end as a DIB in memory drawn with StretchDIBits, so
// that a printer gets the pixels scaled by its own driver at its resolution.

#include <cstring>

#include "picture/dib_parse.h"
#include "picture/jpeg_decode.h"
#include "picture/picture_kinds.h"

namespace velbrook {
namespace {

class Dib_Picture final : public Picture {
public:
    Dib_Picture(Picture_Kind kind, int width, int height, std::vector<std::uint8_t> info,
                std::vector<std::uint8_t> bits)
        : kind_(kind), width_(width), height_(height), info_(std::move(info)), bits_(std::move(bits)) {}

    Picture_Kind Kind() const override { return kind_; }
    SIZE Pixel_Size() const override { return {width_, height_}; }
    bool Render(HDC dc, const RECT& target) const override {
        return Stretch_Dib(dc, target, *reinterpret_cast<const BITMAPINFO*>(info_.data()), bits_.data(), width_,
                           height_);
    }

private:
    Picture_Kind kind_;
    int width_, height_;
    std::vector<std::uint8_t> info_;  // BITMAPINFOHEADER and its colour table, DWORD-aligned by the allocator
    std::vector<std::uint8_t> bits_;
};

}  // namespace

std::shared_ptr<const Picture> Make_Bitmap_Picture(std::span<const std::uint8_t> bytes) {
    Dib_Image image = Parse_Bmp(bytes);
    return std::make_shared<Dib_Picture>(Picture_Kind::Bitmap, image.width, image.height, std::move(image.info),
                                         std::move(image.bits));
}

std::shared_ptr<const Picture> Make_Jpeg_Picture(std::span<const std::uint8_t> bytes, SIZE target) {
    Decoded_Image image = Decode_Jpeg(bytes, target.cx, target.cy);
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.width;
    header.biHeight = -image.height;  // the decoder's rows are top-down
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(image.pixels.size());
    std::memcpy(info.data(), &header, sizeof header);
    return std::make_shared<Dib_Picture>(Picture_Kind::Jpeg, image.width, image.height, std::move(info),
                                         std::move(image.pixels));
}

}  // namespace velbrook

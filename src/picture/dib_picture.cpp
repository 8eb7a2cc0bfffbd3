// Bitmaps, JPEGs and the pictures decoded for the page: all end as a DIB in
// memory drawn with StretchDIBits, so that a printer gets the pixels scaled by
// its own driver at its resolution.

#include <cstring>

#include "picture/dib_parse.h"
#include "picture/exif_orientation.h"
#include "picture/jpeg_decode.h"
#include "picture/picture_file.h"
#include "picture/picture_kinds.h"
#include "toolkit/handles.h"

namespace velbrook {
namespace {

class Dib_Picture final : public Picture {
public:
    Dib_Picture(Dib_Facts facts, int width, int height, std::vector<std::uint8_t> info, std::vector<std::uint8_t> bits)
        : facts_(facts), width_(width), height_(height), info_(std::move(info)), bits_(std::move(bits)) {}

    Picture_Kind Kind() const override { return facts_.kind; }
    SIZE Pixel_Size() const override { return {width_, height_}; }
    int Orientation_Tag() const override { return facts_.orientation_tag; }
    int Page_Count() const override { return facts_.page_count; }
    std::vector<std::uint8_t> Original_Jpeg() const override {
        if (facts_.jpeg_path.empty()) return {};
        try {
            return Read_Picture_File(facts_.jpeg_path);
        } catch (const Failure&) {
            return {};
        }
    }
    std::wstring Jpeg_File() const override { return facts_.jpeg_path; }
    bool Render(HDC dc, const RECT& target) const override {
        return Stretch_Dib(dc, target, Info(), bits_.data(), width_, height_);
    }
    void Read_Rows(int width, int height, int first, int count, std::uint32_t* rows) const override {
        const BITMAPINFOHEADER& header = Info().bmiHeader;
        if (width != width_ || height != height_ || header.biBitCount != 24 || header.biCompression != BI_RGB ||
            header.biHeight >= 0) {
            Picture::Read_Rows(width, height, first, count, rows);
            return;
        }
        // Top-down 24-bit rows, as every decoder of the program gives them.
        const std::size_t stride = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t{3};
        for (int y = 0; y < count; ++y) {
            const std::uint8_t* in = bits_.data() + static_cast<std::size_t>(first + y) * stride;
            for (int x = 0; x < width_; ++x, in += 3) *rows++ = in[0] | in[1] << 8 | in[2] << 16;
        }
    }

private:
    const BITMAPINFO& Info() const { return *reinterpret_cast<const BITMAPINFO*>(info_.data()); }

    Dib_Facts facts_;
    int width_, height_;
    std::vector<std::uint8_t> info_;  // BITMAPINFOHEADER and its colour table, DWORD-aligned by the allocator
    std::vector<std::uint8_t> bits_;
};

}  // namespace

std::shared_ptr<const Picture> Make_Bitmap_Picture(std::span<const std::uint8_t> bytes) {
    Dib_Image image = Parse_Bmp(bytes);
    return std::make_shared<Dib_Picture>(Dib_Facts{.kind = Picture_Kind::Bitmap}, image.width, image.height,
                                         std::move(image.info), std::move(image.bits));
}

std::shared_ptr<const Picture> Make_Decoded_Picture(Decoded_Image image, Dib_Facts facts) {
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header = Top_Down_Dib_Info(image.width, image.height, 24).bmiHeader;  // the decoders' rows
    header.biSizeImage = static_cast<DWORD>(image.pixels.size());
    std::memcpy(info.data(), &header, sizeof header);
    return std::make_shared<Dib_Picture>(facts, image.width, image.height, std::move(info), std::move(image.pixels));
}

SIZE Jpeg_Cover(int width, int height, int tag, const Picture_Request& request) {
    if (request.options == Page_Options{} || request.target.cx <= 0 || request.target.cy <= 0) return request.target;
    // Placed by the header's size first, so that the decode scale covers the
    // part that shows, turned as it will be.
    const Placement placement = Place_Picture(width, height, tag, request.options,
                                              Box{0, 0, request.target.cx, request.target.cy}, request.caption_height);
    const Cover_Size size = Decode_Cover(width, height, placement);
    return {size.width, size.height};
}

std::shared_ptr<const Picture> Make_Jpeg_Picture(std::span<const std::uint8_t> bytes, const Picture_Request& request,
                                                 const std::wstring& path) {
    const int tag = Read_Exif_Orientation(bytes);
    SIZE cover = request.target;
    if (!(request.options == Page_Options{})) {
        const Jpeg_Info header = Read_Jpeg_Info(bytes);
        cover = Jpeg_Cover(header.width, header.height, tag, request);
    }
    return Make_Decoded_Picture(Decode_Jpeg(bytes, cover.cx, cover.cy),
                                Dib_Facts{.kind = Picture_Kind::Jpeg, .orientation_tag = tag, .jpeg_path = path});
}

}  // namespace velbrook

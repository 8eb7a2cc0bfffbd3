// PNG and TIFF pages small enough to hold decoded, through the Windows
// Imaging Component: its scaler for a decode no larger than the picture's
// place, and its converter to premultiplied 32-bit pixels, which are
// composed over white a band of rows at a time into the 24-bit rows every
// picture of the program draws from.  (The file is opened, and a page too
// large to hold is read in bands, by picture/banded_picture.)

#include <wincodec.h>

#include <algorithm>

#include "picture/picture_kinds.h"
#include "toolkit/handles.h"

namespace velbrook {
namespace {

[[noreturn]] void Refuse(const wchar_t* reason) { throw Invalid_Picture(reason); }

}  // namespace

// The decoded size: the stored size reduced, proportions kept, until it just
// covers what the request needs of it.
SIZE Wic_Decoded_Size(UINT width, UINT height, const Picture_Request& request) {
    if (request.target.cx <= 0 || request.target.cy <= 0) return {static_cast<LONG>(width), static_cast<LONG>(height)};
    const Placement placement =
        Place_Picture(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), 1, request.options,
                      Box{0, 0, request.target.cx, request.target.cy}, request.caption_height);
    const Cover_Size cover =
        Decode_Cover(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), placement);
    if (cover.width <= 0 || cover.height <= 0) return {1, 1};
    const std::int64_t w = width, h = height;
    std::int64_t out_w = cover.width, out_h = cover.height;
    if (std::int64_t{cover.width} * h >= std::int64_t{cover.height} * w)
        out_h = (h * cover.width + w - 1) / w;
    else
        out_w = (w * cover.height + h - 1) / h;
    return {static_cast<LONG>(std::clamp<std::int64_t>(out_w, 1, w)),
            static_cast<LONG>(std::clamp<std::int64_t>(out_h, 1, h))};
}

Com_Ptr<IWICBitmapSource> Wic_Pbgra_Source(IWICImagingFactory* factory, Com_Ptr<IWICBitmapSource> source, UINT width,
                                           UINT height, SIZE size) {
    if (static_cast<UINT>(size.cx) != width || static_cast<UINT>(size.cy) != height) {
        Com_Ptr<IWICBitmapScaler> scaler;
        Throw_If_Failed<Invalid_Picture>(factory->CreateBitmapScaler(scaler.put()), L"it cannot be scaled");
        Throw_If_Failed<Invalid_Picture>(scaler->Initialize(source.get(), static_cast<UINT>(size.cx),
                                                            static_cast<UINT>(size.cy), WICBitmapInterpolationModeFant),
                                         L"it cannot be scaled");
        source = scaler.query<IWICBitmapSource>();
    }
    Com_Ptr<IWICFormatConverter> converter;
    Throw_If_Failed<Invalid_Picture>(factory->CreateFormatConverter(converter.put()), L"its colours cannot be read");
    Throw_If_Failed<Invalid_Picture>(
        converter->Initialize(source.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                              WICBitmapPaletteTypeCustom),
        L"its colours cannot be read");
    return converter.query<IWICBitmapSource>();
}

std::shared_ptr<const Picture> Decode_Wic_Frame(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, SIZE size,
                                                Picture_Kind kind, int pages) {
    UINT width = 0, height = 0;
    Throw_If_Failed<Invalid_Picture>(frame->GetSize(&width, &height), L"its size cannot be read");
    Decoded_Image image;
    image.width = size.cx;
    image.height = size.cy;
    image.stride = (image.width * 3 + 3) & ~3;
    if (static_cast<std::uint64_t>(image.stride) * image.height > Max_Decoded_Bytes)
        Refuse(L"it is too large to decode");

    Com_Ptr<IWICBitmapSource> source;
    Throw_If_Failed<Invalid_Picture>(frame->QueryInterface(IID_IWICBitmapSource, source.put_void()),
                                     L"its page cannot be read");
    const Com_Ptr<IWICBitmapSource> converter = Wic_Pbgra_Source(factory, std::move(source), width, height, size);

    image.pixels.resize(static_cast<std::size_t>(image.stride) * image.height);
    const UINT band_rows = std::max<UINT>(1, (1u << 20) / static_cast<UINT>(image.width));
    std::vector<std::uint8_t> band(static_cast<std::size_t>(image.width) * 4 * std::min<UINT>(band_rows, image.height));
    for (UINT y = 0; y < static_cast<UINT>(image.height); y += band_rows) {
        const UINT rows = std::min<UINT>(band_rows, static_cast<UINT>(image.height) - y);
        const WICRect rect{0, static_cast<INT>(y), image.width, static_cast<INT>(rows)};
        Throw_If_Failed<Invalid_Picture>(converter->CopyPixels(&rect, static_cast<UINT>(image.width) * 4,
                                                               static_cast<UINT>(band.size()), band.data()),
                                         L"its pixels cannot be read");
        for (UINT r = 0; r < rows; ++r) {
            const std::uint8_t* in = band.data() + static_cast<std::size_t>(r) * image.width * 4;
            std::uint8_t* out = image.pixels.data() + static_cast<std::size_t>(y + r) * image.stride;
            for (int x = 0; x < image.width; ++x, in += 4, out += 3) {
                // Premultiplied: over white each channel gains what alpha leaves.
                const unsigned bare = 255u - in[3];
                out[0] = static_cast<std::uint8_t>(std::min(255u, in[0] + bare));
                out[1] = static_cast<std::uint8_t>(std::min(255u, in[1] + bare));
                out[2] = static_cast<std::uint8_t>(std::min(255u, in[2] + bare));
            }
        }
    }
    return Make_Decoded_Picture(std::move(image), Dib_Facts{.kind = kind, .page_count = pages});
}

}  // namespace velbrook

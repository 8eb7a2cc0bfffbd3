#pragma once
// Pictures that the Windows tests and the end-to-end tests write for
// themselves: a marked JPEG, with or without a camera's orientation tag, and
// PNG and TIFF files made by the imaging component's own encoders.

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "jpeg_encoder.h"
#include "toolkit/handles.h"

namespace velbrook::testing {

// A 300 x 200 landscape picture: blue, with a red mark in its top-left
// corner and a green one in its top-right corner.
inline std::vector<std::uint8_t> Marked_Jpeg(int exif_orientation = 0) {
    std::vector<std::uint8_t> file = test::Encode_Jpeg(test::Jpeg_Recipe{.width = 300, .height = 200}, [](int x, int y, std::uint8_t* rgb) {
        const bool top = y < 50;
        rgb[0] = top && x < 75 ? 255 : 0;
        rgb[1] = top && x >= 225 ? 255 : 0;
        rgb[2] = top && (x < 75 || x >= 225) ? 0 : 255;
    });
    if (exif_orientation) {
        // An Exif APP1 segment right after the start marker, little-endian,
        // with the orientation as the only tag of IFD0.
        const std::uint8_t exif[] = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                                     0x12, 0x01, 3, 0, 1, 0, 0, 0, static_cast<std::uint8_t>(exif_orientation), 0,
                                     0, 0, 0, 0, 0, 0};
        file.insert(file.begin() + 2, std::begin(exif), std::end(exif));
    }
    return file;
}

// A picture written by the imaging component's own encoder: PNG or TIFF,
// each page of 32-bit BGRA pixels (0xAARRGGBB) of one colour.
inline std::vector<std::uint8_t> Wic_File(const GUID& container, int width, int height, std::vector<std::uint32_t> pages) {
    const Com_Apartment apartment;
    Com_Ptr<IWICImagingFactory> factory;
    EXPECT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IWICImagingFactory, factory.put_void()));
    Com_Ptr<IStream> stream;
    EXPECT_HRESULT_SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    Com_Ptr<IWICBitmapEncoder> encoder;
    EXPECT_HRESULT_SUCCEEDED(factory->CreateEncoder(container, nullptr, encoder.put()));
    EXPECT_HRESULT_SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache));
    for (std::uint32_t colour : pages) {
        Com_Ptr<IWICBitmapFrameEncode> frame;
        EXPECT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr));
        EXPECT_HRESULT_SUCCEEDED(frame->Initialize(nullptr));
        EXPECT_HRESULT_SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)));
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        EXPECT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, colour);
        EXPECT_HRESULT_SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width) * 4,
                                                    static_cast<UINT>(pixels.size() * 4),
                                                    reinterpret_cast<BYTE*>(pixels.data())));
        EXPECT_HRESULT_SUCCEEDED(frame->Commit());
    }
    EXPECT_HRESULT_SUCCEEDED(encoder->Commit());
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG got = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
    return bytes;
}

}  // namespace velbrook::testing

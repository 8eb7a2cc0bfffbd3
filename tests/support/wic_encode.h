#pragma once
// Pictures written by the Windows Imaging Component's own encoders, for the
// tests and the benchmarks that need PNG and TIFF files of their own.

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <vector>

#include "toolkit/handles.h"

namespace velbrook::testing {

// Pages of pixels encoded by the imaging component's own encoder for
// `container` (PNG, TIFF...): each page `stride` bytes a row, in `format`.
// Empty when the component refuses any step.
inline std::vector<std::uint8_t> Wic_Encode(const GUID& container, const GUID& format, int width, int height,
                                            int stride, const std::vector<const std::uint8_t*>& pages) {
    const Com_Apartment apartment;
    Com_Ptr<IWICImagingFactory> factory;
    Com_Ptr<IStream> stream;
    Com_Ptr<IWICBitmapEncoder> encoder;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.put_void())) ||
        FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(factory->CreateEncoder(container, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)))
        return {};
    for (const std::uint8_t* pixels : pages) {
        Com_Ptr<IWICBitmapFrameEncode> frame;
        WICPixelFormatGUID wanted = format;
        if (FAILED(encoder->CreateNewFrame(frame.put(), nullptr)) || FAILED(frame->Initialize(nullptr)) ||
            FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) ||
            FAILED(frame->SetPixelFormat(&wanted)) ||
            FAILED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(stride),
                                      static_cast<UINT>(stride) * static_cast<UINT>(height),
                                      const_cast<BYTE*>(pixels))) ||
            FAILED(frame->Commit()))
            return {};
    }
    if (FAILED(encoder->Commit())) return {};
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

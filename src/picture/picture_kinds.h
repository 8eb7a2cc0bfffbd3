#pragma once
// The loaders behind Load_Picture, one per kind.  Each takes the file's bytes
// and throws Invalid_Picture with the reason when they are not a valid
// picture of its kind.

#include <cstdint>
#include <memory>
#include <span>

#include <wincodec.h>

#include "picture/jpeg_decode.h"
#include "picture/picture.h"
#include "toolkit/handles.h"

namespace velbrook {

// What a decoded picture knows beside its pixels.
struct Dib_Facts {
    Picture_Kind kind = Picture_Kind::Bitmap;
    int orientation_tag = 1;
    int page_count = 1;
    std::wstring jpeg_path;  // a JPEG's file, for a printer that takes JPEG itself
};

std::shared_ptr<const Picture> Make_Bitmap_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Jpeg_Picture(std::span<const std::uint8_t> bytes, const Picture_Request& request,
                                                 const std::wstring& path);
// Top-down 24-bit rows from any of the program's decoders.
std::shared_ptr<const Picture> Make_Decoded_Picture(Decoded_Image image, Dib_Facts facts);
// A PNG or TIFF page decoded whole through the Windows Imaging Component at
// `size` (its scaler's, when that is smaller than the page), alpha composed
// over white.
std::shared_ptr<const Picture> Decode_Wic_Frame(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, SIZE size,
                                                Picture_Kind kind, int pages);
std::shared_ptr<const Picture> Make_Emf_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Wmf_Picture(std::span<const std::uint8_t> bytes);
std::shared_ptr<const Picture> Make_Icon_Picture(std::span<const std::uint8_t> bytes);

// How a DIB is stretched: halftone where it is reduced (with the brush origin
// the halftone pattern needs), plain colour-on-colour where it is enlarged,
// which keeps flat areas flat.  By_Size decides from the DIB and its target;
// the bands of one picture are all stretched as the whole picture is.
enum class Stretch_Mode { By_Size, Halftone, Plain };

// Stretches a whole DIB over `target`.
bool Stretch_Dib(HDC dc, const RECT& target, const BITMAPINFO& info, const void* bits, int width, int height,
                 Stretch_Mode mode = Stretch_Mode::By_Size);

// Draws rows of a picture a band at a time as the placement says (its source
// in pixels of the rows' size, oriented); true when the device accepted
// every band.
bool Draw_Rows(HDC dc, Row_Source& rows, const Placement& placement);

// The place a JPEG of width x height with this camera tag is decoded for: the
// request's target with the classic options, else the size whose visible
// part covers the place.
SIZE Jpeg_Cover(int width, int height, int tag, const Picture_Request& request);
// The size the imaging component's scaler gives a picture for the request.
SIZE Wic_Decoded_Size(UINT width, UINT height, const Picture_Request& request);
// A decoded frame of width x height scaled to the size (Fant) and converted
// to premultiplied BGRA.  Throws Invalid_Picture where the component refuses.
Com_Ptr<IWICBitmapSource> Wic_Pbgra_Source(IWICImagingFactory* factory, Com_Ptr<IWICBitmapSource> source, UINT width,
                                           UINT height, SIZE size);

// A JPEG whose decode for the request takes more than
// request.whole_decode_bytes, as a picture read from its file a band at a
// time when drawn; null when it is small enough to decode whole.  Throws as
// the whole loader does, before any drawing, for a file that cannot be read,
// whose header is damaged, that ends before its end marker, or that is too
// short for the size it claims.
std::shared_ptr<const Picture> Load_Banded_Jpeg(const std::wstring& path, const Picture_Request& request);
// An uncompressed bitmap whose rows at 32 bits take more than
// request.whole_decode_bytes, as a picture whose rows are read from its file
// a band at a time when drawn (every row, or every few rows where it is more
// than twice its place each way); null for one held whole.  Its headers and
// colour table are checked as the whole bitmap's are, so that it is refused
// for the same faults, a file too short for its rows included.
std::shared_ptr<const Picture> Load_Banded_Bmp(const std::wstring& path, const Picture_Request& request);
// A PNG or TIFF page through the imaging component's decoder of the file:
// decoded whole when that takes no more than request.whole_decode_bytes,
// else read a band at a time when drawn.  Throws Invalid_Picture for a file
// the decoder refuses, before any drawing.
std::shared_ptr<const Picture> Load_Wic_Picture(const std::wstring& path, Picture_Kind kind,
                                                const Picture_Request& request);

}  // namespace velbrook

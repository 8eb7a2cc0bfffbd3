#include "pdf/picture_pages.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "picture/exif_orientation.h"
#include "picture/jpeg_decode.h"
#include "picture/picture.h"
#include "picture/picture_file.h"
#include "printing/print_texts.h"
#include "shell/text_utils.h"
#include "toolkit/handles.h"

namespace velbrook {

namespace {

// Pictures are drawn a band of rows at a time, so that a page-sized picture
// at 300 dots an inch never needs a page-sized bitmap beside it.
constexpr std::int64_t Band_Pixels = 2 * 1024 * 1024;

Image_Placement Image_Placement_Of(const Placement& placement, std::int32_t stored_width,
                                   std::int32_t stored_height) {
    const Box& s = placement.source;
    return {.orientation = placement.orientation,
            .stored_width = double(stored_width),
            .stored_height = double(stored_height),
            .source = {double(s.left), double(s.top), double(s.right), double(s.bottom)},
            .destination = Dots_To_Points(placement.destination)};
}

void Add_Page(Pdf_Document& document, Caption_Fonts& fonts, const std::wstring& path, const Pdf_Page_Setup& setup,
              const Placement& placement, const Pdf_Image* image, std::int32_t stored_width,
              std::int32_t stored_height) {
    document.Begin_Page(setup.paper.width, setup.paper.height);
    if (image) document.Draw_Image(*image, Image_Placement_Of(placement, stored_width, stored_height));
    if (!placement.caption.Empty()) {
        const std::wstring name = path.substr(Directory_Of(path).size());
        fonts.Provide(document, name);
        document.Draw_Caption(name, Dots_To_Points(placement.caption), Pdf_Caption_Points);
    }
    document.End_Page();
}

Placement Place(std::int32_t width, std::int32_t height, int exif, const Pdf_Page_Setup& setup) {
    return Place_Picture(width, height, exif, setup.options, setup.target,
                         setup.options.print_file_names ? Pdf_Caption_Dots() : 0);
}

// The picture drawn by its own renderer on white, `size` pixels, a band at
// a time, and stored as deflated pixels.
Pdf_Image Add_Drawn_Picture(Pdf_Document& document, const Picture& picture, Raster_Size size) {
    const int width = size.width, height = size.height;
    const int band_rows = static_cast<int>(std::clamp<std::int64_t>(Band_Pixels / width, 1, height));
    Dc_Handle dc(::CreateCompatibleDC(nullptr));
    std::uint32_t* bits = nullptr;
    Bitmap_Handle band = Top_Down_Dib_Section(width, band_rows, &bits);
    if (!dc || !band) throw std::bad_alloc();
    Select_Guard select(dc.get(), band.get());
    int band_top = -band_rows;
    return document.Add_Pixels(width, height, [&](int row, std::span<std::uint8_t> rgb) {
        if (row >= band_top + band_rows) {
            band_top = row;
            ::PatBlt(dc.get(), 0, 0, width, band_rows, WHITENESS);
            picture.Render(dc.get(), RECT{0, -band_top, width, height - band_top});
            ::GdiFlush();
        }
        const std::uint32_t* source = bits + std::size_t(row - band_top) * width;
        for (int x = 0; x < width; ++x) {
            rgb[3 * x] = static_cast<std::uint8_t>(source[x] >> 16);
            rgb[3 * x + 1] = static_cast<std::uint8_t>(source[x] >> 8);
            rgb[3 * x + 2] = static_cast<std::uint8_t>(source[x]);
        }
    });
}

// A JPEG that readers take as it is; false when it must be drawn instead.
bool Add_Jpeg_Page(Pdf_Document& document, Caption_Fonts& fonts, const std::wstring& path,
                   const Pdf_Page_Setup& setup, std::span<const std::uint8_t> bytes) {
    const std::optional<Jpeg_Header> header = Read_Jpeg_Header(bytes);
    if (!header || !Jpeg_Reaches_End_Marker(bytes)) return false;
    // Damaged data between whole markers shows only to a decoder.  libjpeg
    // reads it at an eighth of the size (every coefficient still decoded,
    // hardly any pixels made): what it cannot read whole goes the print
    // run's way instead of into the file as it is.
    try {
        Decode_Jpeg(bytes, 1, 1);
    } catch (const Invalid_Picture&) {
        return false;
    }
    const int exif = setup.options.camera_orientation ? Read_Exif_Orientation(bytes) : 1;
    const Placement placement = Place(header->width, header->height, exif, setup);
    const Pdf_Image image = document.Add_Jpeg(bytes, *header);
    Add_Page(document, fonts, path, setup, placement, &image, header->width, header->height);
    return true;
}

}  // namespace

int Add_Picture_Pages(Pdf_Document& document, Caption_Fonts& fonts, const std::wstring& path,
                      const Pdf_Page_Setup& setup) {
    const Page_Drawing drawing = Drawing_For(path);
    try {
        int exif = 1;
        if (drawing == Page_Drawing::Jpeg) {
            const std::vector<std::uint8_t> bytes = Read_Picture_File(path);
            if (Add_Jpeg_Page(document, fonts, path, setup, bytes)) return 1;
            if (setup.options.camera_orientation) exif = Read_Exif_Orientation(bytes);
        }
        const SIZE page{setup.target.Width(), setup.target.Height()};
        const std::shared_ptr<const Picture> picture = Load_Picture(path, page);
        const SIZE stored = picture->Pixel_Size();
        if (drawing == Page_Drawing::Nothing || stored.cx <= 0 || stored.cy <= 0) {
            Add_Page(document, fonts, path, setup, Place(1, 1, 1, setup), nullptr, 1, 1);
            return 1;
        }
        const Placement placement = Place(stored.cx, stored.cy, exif, setup);
        Raster_Size size = Place_Raster_Size(stored.cx, stored.cy, placement);
        // A bitmap is kept at its own resolution when that is finer than the
        // page needs; a metafile has none and is drawn for its place.
        if (drawing != Page_Drawing::Metafile) {
            const Cover_Size cover = Decode_Cover(stored.cx, stored.cy, placement);
            size = {std::max(1, cover.width), std::max(1, cover.height)};
        }
        const Pdf_Image image = Add_Drawn_Picture(document, *picture, size);
        Add_Page(document, fonts, path, setup, placement, &image, stored.cx, stored.cy);
        return 1;
    } catch (const Invalid_Picture&) {
        return 0;
    } catch (const Unreadable_File&) {
        return 0;
    } catch (const std::bad_alloc&) {
        throw Failure(L"There is not enough memory for \"" + path + L"\"");
    }
}

}  // namespace velbrook

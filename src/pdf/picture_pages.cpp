#include "pdf/picture_pages.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "picture/exif_orientation.h"
#include "picture/jpeg_decode.h"
#include "picture/picture.h"
#include "picture/picture_file.h"
#include "picture/file_type.h"
#include "shell/text_utils.h"
#include "printing/print_texts.h"

namespace velbrook {

namespace {

// Drawn pictures are read a band of rows at a time, so that a page-sized
// picture at 300 dots an inch never needs a second page-sized copy.
constexpr std::int64_t Band_Pixels = 1024 * 1024;

Image_Placement Image_Placement_Of(const Placement& placement, std::int32_t stored_width, std::int32_t stored_height) {
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
    if (image) {
        document.Draw_Image(*image, Image_Placement_Of(placement, stored_width, stored_height));
        if (!placement.caption.Empty()) {
            const std::wstring name = File_Name_Of(path);
            fonts.Provide(document, name);
            document.Draw_Caption(name, Dots_To_Points(placement.caption),
                                  Points_Of_Dots(Caption_Font_Height(setup.caption_height)));
        }
    }
    document.End_Page();
}

// The picture as the picture module draws it (turns and flips left to the
// matrix), `size` pixels, read a band at a time and stored deflated.
Pdf_Image Add_Drawn_Picture(Pdf_Document& document, const Picture& picture, Raster_Size size) {
    const int width = size.width, height = size.height;
    const int band_rows = static_cast<int>(std::clamp<std::int64_t>(Band_Pixels / width, 1, height));
    std::vector<std::uint32_t> band(std::size_t(band_rows) * width);
    int band_top = -band_rows;
    return document.Add_Pixels(width, height, [&](int row, std::span<std::uint8_t> rgb) {
        if (row >= band_top + band_rows) {
            band_top = row;
            picture.Read_Rows(width, height, band_top, std::min(band_rows, height - band_top), band.data());
        }
        const std::uint32_t* source = band.data() + std::size_t(row - band_top) * width;
        for (int x = 0; x < width; ++x) {
            rgb[3 * x] = static_cast<std::uint8_t>(source[x] >> 16);
            rgb[3 * x + 1] = static_cast<std::uint8_t>(source[x] >> 8);
            rgb[3 * x + 2] = static_cast<std::uint8_t>(source[x]);
        }
    });
}

// A JPEG that readers take as it is; false when it must be drawn instead.
bool Add_Jpeg_Page(Pdf_Document& document, Caption_Fonts& fonts, const std::wstring& path, const Pdf_Page_Setup& setup,
                   std::span<const std::uint8_t> bytes) {
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
    const Placement placement = Place_Picture(header->width, header->height, Read_Exif_Orientation(bytes),
                                              setup.options, setup.target, setup.caption_height);
    const Pdf_Image image = document.Add_Jpeg(bytes, *header);
    Add_Page(document, fonts, path, setup, placement, &image, header->width, header->height);
    return true;
}

}  // namespace

Pdf_Page_Setup Pdf_Setup_For(const Pdf_Paper& paper, const Page_Options& options) {
    return {paper, Pdf_Page_Target(paper), options,
            options.print_file_names ? Caption_Strip_Height(Pdf_Dots_Per_Inch) : 0};
}

int Add_Picture_Pages(Pdf_Document& document, Caption_Fonts& fonts, const std::wstring& path,
                      const Pdf_Page_Setup& setup, const std::function<void()>& page_done,
                      const std::function<bool()>& keep_going) {
    const Page_Drawing drawing = Drawing_For(path, setup.options.more_types);
    int added = 0;
    Skipping_Unloadable(path, [&] {
        if (drawing == Page_Drawing::Jpeg && Add_Jpeg_Page(document, fonts, path, setup, Read_Picture_File(path))) {
            page_done();
            added = 1;
            return;
        }
        const RECT rect{setup.target.left, setup.target.top, setup.target.right, setup.target.bottom};
        Picture_Request request{.target = {setup.target.Width(), setup.target.Height()},
                                .options = setup.options,
                                .caption_height = setup.caption_height};
        std::shared_ptr<const Picture> picture = Load_Picture_For(path, request);
        const int pages = picture->Page_Count();
        for (int page = 0;;) {
            const Placement placement = Place_On(*picture, setup.options, rect, setup.caption_height);
            const SIZE own = picture->Pixel_Size();
            if (drawing == Page_Drawing::Nothing || own.cx <= 0 || own.cy <= 0) {
                // Drawn as nothing by the print run too: a bare page.
                Add_Page(document, fonts, path, setup, placement, nullptr, 1, 1);
            } else {
                // At its own resolution when that is finer than the page
                // needs; a metafile has none and is drawn for its place.
                Raster_Size size = Place_Raster_Size(own.cx, own.cy, placement);
                if (!picture->Scalable()) {
                    const Cover_Size cover = Decode_Cover(own.cx, own.cy, placement);
                    size = {std::max(1, cover.width), std::max(1, cover.height)};
                }
                const Pdf_Image image = Add_Drawn_Picture(document, *picture, size);
                Add_Page(document, fonts, path, setup, placement, &image, own.cx, own.cy);
            }
            ++added;
            page_done();
            if (++page >= pages || !keep_going()) return;
            picture.reset();
            request.page = page;
            picture = Load_Picture_For(path, request);
        }
    });
    return added;
}

}  // namespace velbrook

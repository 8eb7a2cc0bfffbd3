#include "pdf/picture_pages.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "picture/exif_orientation.h"
#include "picture/file_type.h"
#include "picture/jpeg_decode.h"
#include "picture/picture.h"
#include "picture/picture_file.h"
#include "printing/print_texts.h"
#include "shell/text_utils.h"

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

// A JPEG that readers take as it is: its bytes until they are first drawn,
// then the one image object every cell of it uses.
class Jpeg_Item final : public Sheet_Item {
public:
    Jpeg_Item(std::vector<std::uint8_t> bytes, const Jpeg_Header& header)
        : bytes_(std::move(bytes)), header_(header), orientation_(Read_Exif_Orientation(bytes_)) {}
    int Page_Count() const override { return 1; }
    int Orientation_Tag() const override { return orientation_; }
    SIZE Loaded_Size() const override { return {header_.width, header_.height}; }
    const Jpeg_Header& Header() const { return header_; }
    const Pdf_Image& Image(Pdf_Document& document) {
        if (!image_) {
            image_ = document.Add_Jpeg(bytes_, header_);
            bytes_ = {};
        }
        return *image_;
    }

private:
    std::vector<std::uint8_t> bytes_;
    Jpeg_Header header_;
    int orientation_;
    std::optional<Pdf_Image> image_;
};

// Any other picture: loaded by the print run's loader, and stored once for
// each size of raster its cells need (the cells of a sheet share one).
class Drawn_Item final : public Sheet_Item {
public:
    Drawn_Item(std::shared_ptr<const Picture> picture, Page_Drawing drawing)
        : picture_(std::move(picture)), drawing_(drawing) {}
    int Page_Count() const override { return picture_->Page_Count(); }
    int Orientation_Tag() const override { return picture_->Orientation_Tag(); }
    SIZE Loaded_Size() const override { return picture_->Pixel_Size(); }
    const Picture& Get() const { return *picture_; }
    Page_Drawing Drawing() const { return drawing_; }
    const Pdf_Image& Image(Pdf_Document& document, Raster_Size size) {
        if (!image_ || image_->width != size.width || image_->height != size.height)
            image_ = Add_Drawn_Picture(document, *picture_, size);
        return *image_;
    }

private:
    std::shared_ptr<const Picture> picture_;
    Page_Drawing drawing_;
    std::optional<Pdf_Image> image_;
};

// The JPEG file when readers can take it as it is; nothing when it must be
// drawn instead.
std::unique_ptr<Sheet_Item> Load_Jpeg(const std::wstring& path) {
    std::vector<std::uint8_t> bytes = Read_Picture_File(path);
    // What libjpeg cannot read whole goes the print run's way instead of
    // into the file as it is.
    const std::optional<Jpeg_As_It_Is> jpeg =
        Check_Jpeg_As_It_Is([&] { return std::make_unique<Span_Source>(std::span<const std::uint8_t>(bytes)); });
    if (!jpeg) return nullptr;
    return std::make_unique<Jpeg_Item>(std::move(bytes), jpeg->header);
}

}  // namespace

Pdf_Sheet_Surface::Pdf_Sheet_Surface(Pdf_Document& document, Caption_Fonts& fonts, const Pdf_Paper& paper,
                                     const Page_Options& options, std::function<void(int, int)> sheet_done)
    : document_(document), fonts_(fonts), paper_(paper), options_(options), sheet_done_(std::move(sheet_done)) {}

Sheet_Paper Pdf_Sheet_Surface::Paper() const { return Pdf_Sheet_Paper(paper_); }

std::unique_ptr<Sheet_Item> Pdf_Sheet_Surface::Load(const std::wstring& path, const Picture_Request& request) {
    const Page_Drawing drawing = Drawing_For(path, options_.more_types);
    std::unique_ptr<Sheet_Item> item;
    Skipping_Unloadable(path, [&] {
        if (drawing == Page_Drawing::Jpeg && request.page == 0) item = Load_Jpeg(path);
        if (!item) item = std::make_unique<Drawn_Item>(Load_Picture_For(path, request), drawing);
    });
    return item;
}

void Pdf_Sheet_Surface::Begin_Sheet(int, int expected) {
    expected_ = expected;
    document_.Begin_Page(paper_.width, paper_.height);
}

void Pdf_Sheet_Surface::Draw(Sheet_Item& item, const std::wstring& path, const Box& target,
                             const Cell_Caption& caption) {
    Placement placement;
    if (auto* jpeg = dynamic_cast<Jpeg_Item*>(&item)) {
        const Jpeg_Header& header = jpeg->Header();
        placement =
            Place_Picture(header.width, header.height, jpeg->Orientation_Tag(), options_, target, caption.strip_height);
        document_.Draw_Image(jpeg->Image(document_), Image_Placement_Of(placement, header.width, header.height));
    } else {
        auto& drawn = static_cast<Drawn_Item&>(item);
        const Picture& picture = drawn.Get();
        placement =
            Place_On(picture, options_, {target.left, target.top, target.right, target.bottom}, caption.strip_height);
        const SIZE own = picture.Pixel_Size();
        // Drawn as nothing by the print run too: the cell stays bare.
        if (drawn.Drawing() == Page_Drawing::Nothing || own.cx <= 0 || own.cy <= 0) return;
        if (!placement.destination.Empty()) {
            // At its own resolution when that is finer than the cell needs; a
            // metafile has none and is drawn for its place.
            Raster_Size size = Place_Raster_Size(own.cx, own.cy, placement);
            if (!picture.Scalable()) {
                const Cover_Size cover = Decode_Cover(own.cx, own.cy, placement);
                size = {std::max(1, cover.width), std::max(1, cover.height)};
            }
            document_.Draw_Image(drawn.Image(document_, size), Image_Placement_Of(placement, own.cx, own.cy));
        }
    }
    if (!placement.caption.Empty()) {
        const std::wstring name = File_Name_Of(path);
        fonts_.Provide(document_, name);
        document_.Draw_Caption(name, Dots_To_Points(placement.caption), Points_Of_Dots(caption.font_height));
    }
}

void Pdf_Sheet_Surface::End_Sheet(int sheet) {
    document_.End_Page();
    if (sheet_done_) sheet_done_(sheet, expected_);
}

}  // namespace velbrook

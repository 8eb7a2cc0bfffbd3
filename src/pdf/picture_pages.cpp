#include "pdf/picture_pages.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <new>

#include "picture/exif_orientation.h"
#include "picture/file_type.h"
#include "picture/jpeg_decode.h"
#include "picture/jpeg_rows.h"
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
// matrix) at `whole` pixels, or the `window` of it alone, read a band at a
// time and stored deflated.  Between bands the save serves its messages, and
// may end there.
Pdf_Image Add_Drawn_Picture(Pdf_Document& document, const Picture& picture, Raster_Size whole,
                            const std::optional<Box>& window, const std::function<void()>& between_bands) {
    const Box part = window.value_or(Box{0, 0, whole.width, whole.height});
    const int width = part.Width(), height = part.Height();
    const int band_rows = static_cast<int>(std::clamp<std::int64_t>(Band_Pixels / width, 1, height));
    std::vector<std::uint32_t> band(std::size_t(band_rows) * width);
    int band_top = -band_rows;
    return document.Add_Pixels(width, height, [&](int row, std::span<std::uint8_t> rgb) {
        if (row >= band_top + band_rows) {
            if (band_top >= 0 && between_bands) between_bands();
            band_top = row;
            const int rows = std::min(band_rows, height - band_top);
            if (window)
                picture.Read_Window(whole.width, whole.height,
                                    {part.left, part.top + band_top, part.right, part.top + band_top + rows},
                                    band.data());
            else
                picture.Read_Rows(width, height, band_top, rows, band.data());
        }
        const std::uint32_t* source = band.data() + std::size_t(row - band_top) * width;
        for (int x = 0; x < width; ++x) {
            rgb[3 * x] = static_cast<std::uint8_t>(source[x] >> 16);
            rgb[3 * x + 1] = static_cast<std::uint8_t>(source[x] >> 8);
            rgb[3 * x + 2] = static_cast<std::uint8_t>(source[x]);
        }
    });
}

// A JPEG's file, held open and read at offsets: its bytes go into the PDF a
// block at a time, however large it is.
class Jpeg_File {
public:
    explicit Jpeg_File(const std::wstring& path) : file_(Open_Picture_File(path)) {}
    std::size_t Read(std::uint64_t offset, std::span<std::uint8_t> into) const {
        return Read_File_At(file_.get(), offset, into);
    }

private:
    File_Handle file_;
};

// Its bytes in order, from the start; none once `stop` is set, which ends
// a check at once.
class Jpeg_File_Source final : public Byte_Source {
public:
    Jpeg_File_Source(const Jpeg_File& file, const std::atomic<bool>& stop) : file_(file), stop_(stop) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) noexcept override {
        if (stop_) return 0;
        const std::size_t got = file_.Read(at_, {into, size});
        at_ += got;
        return got;
    }

private:
    const Jpeg_File& file_;
    const std::atomic<bool>& stop_;
    std::uint64_t at_ = 0;
};

// A JPEG that readers take as it is: its file until it is first drawn, then
// the one image object every cell of it uses.
class Jpeg_Item final : public Sheet_Item {
public:
    Jpeg_Item(std::unique_ptr<Jpeg_File> file, const Jpeg_Verdict& verdict)
        : file_(std::move(file)), header_(verdict.header), length_(verdict.length), orientation_(verdict.orientation) {}
    int Page_Count() const override { return 1; }
    int Orientation_Tag() const override { return orientation_; }
    SIZE Loaded_Size() const override { return {header_.width, header_.height}; }
    const Jpeg_Header& Header() const { return header_; }
    const Pdf_Image& Image(Pdf_Document& document) {
        if (!image_) {
            std::uint64_t at = 0;
            // The picture through its end marker: what follows is no part of it.
            image_ = document.Add_Jpeg(length_, header_, [&](std::span<std::uint8_t> into) {
                const std::size_t got = file_->Read(at, into);
                at += got;
                return got;
            });
            file_.reset();
        }
        return *image_;
    }

private:
    std::unique_ptr<Jpeg_File> file_;
    Jpeg_Header header_;
    std::uint64_t length_;
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
    // The cells of a sheet share one size, and so one image.
    const Pdf_Image& Image(Pdf_Document& document, Raster_Size size, const std::optional<Box>& window,
                           const std::function<void()>& between_bands) {
        if (!image_ || size_.width != size.width || size_.height != size.height || window_ != window) {
            image_.reset();
            image_ = Add_Drawn_Picture(document, *picture_, size, window, between_bands);
            size_ = size;
            window_ = window;
        }
        return *image_;
    }

private:
    std::shared_ptr<const Picture> picture_;
    Page_Drawing drawing_;
    std::optional<Pdf_Image> image_;
    Raster_Size size_;
    std::optional<Box> window_;
};

// The JPEG file when readers can take it as it is; nothing when it must be
// drawn instead.
std::unique_ptr<Sheet_Item> Load_Jpeg(const std::wstring& path, Jpeg_Check_Ahead* check_ahead) {
    std::optional<Jpeg_Verdict> verdict;
    if (check_ahead) verdict = check_ahead->Take(path);
    if (!verdict) verdict = Check_Jpeg_File(path, std::atomic<bool>{false});
    if (!verdict->whole) return nullptr;
    return std::make_unique<Jpeg_Item>(std::make_unique<Jpeg_File>(path), *verdict);
}

}  // namespace

Jpeg_Verdict Check_Jpeg_File(const std::wstring& path, const std::atomic<bool>& stop) {
    Jpeg_Verdict verdict;
    try {
        const Jpeg_File file(path);
        // What libjpeg cannot read whole goes the print run's way instead of
        // into the file as it is.  The file is read in blocks, never whole.
        const std::optional<Jpeg_As_It_Is> jpeg =
            Check_Jpeg_As_It_Is([&] { return std::make_unique<Jpeg_File_Source>(file, stop); });
        if (!jpeg || stop) return verdict;
        std::vector<std::uint8_t> head(
            static_cast<std::size_t>(std::min<std::uint64_t>(jpeg->length, Jpeg_Head_Bytes)));
        head.resize(file.Read(0, head));
        verdict = {
            .whole = true, .header = jpeg->header, .length = jpeg->length, .orientation = Read_Exif_Orientation(head)};
    } catch (const Failure&) {
        // A file that cannot be read is not taken as it is; loading it the
        // print run's way then says why, or skips it.
    } catch (const std::bad_alloc&) {}
    return verdict;
}

Pdf_Sheet_Surface::Pdf_Sheet_Surface(Pdf_Document& document, Caption_Fonts& fonts, const Pdf_Paper& paper,
                                     const Page_Options& options, std::function<void(int, int)> sheet_done,
                                     std::function<void()> between_bands)
    : document_(document),
      fonts_(fonts),
      paper_(paper),
      options_(options),
      sheet_done_(std::move(sheet_done)),
      between_bands_(std::move(between_bands)) {}

Sheet_Paper Pdf_Sheet_Surface::Paper() const { return Pdf_Sheet_Paper(paper_); }

std::unique_ptr<Sheet_Item> Pdf_Sheet_Surface::Load(const std::wstring& path, const Picture_Request& request) {
    const Page_Drawing drawing = Drawing_For(path, options_.more_types);
    std::unique_ptr<Sheet_Item> item;
    Skipping_Unloadable(
        path,
        [&] {
            if (drawing == Page_Drawing::Jpeg && request.page == 0) item = Load_Jpeg(path, check_ahead_);
            if (!item) item = std::make_unique<Drawn_Item>(Load_Picture_For(path, request), drawing);
        },
        &skip_reason_);
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
            if (picture.Scalable()) {
                // A metafile has no resolution of its own: what shows of it is
                // drawn at the page's.
                const Raster_Window part = Visible_Raster_Window(own.cx, own.cy, placement);
                Image_Placement at = Image_Placement_Of(placement, part.window.Width(), part.window.Height());
                at.source = part.source;
                document_.Draw_Image(drawn.Image(document_, part.whole, part.window, between_bands_), at);
            } else {
                // At its own resolution when that is finer than the cell needs.
                const Cover_Size cover = Decode_Cover(own.cx, own.cy, placement);
                const Raster_Size size{std::max(1, cover.width), std::max(1, cover.height)};
                document_.Draw_Image(drawn.Image(document_, size, std::nullopt, between_bands_),
                                     Image_Placement_Of(placement, own.cx, own.cy));
            }
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

// Pictures too large to hold decoded are read from their file a band of rows
// at a time, each time they are drawn: a JPEG through libjpeg's scanline
// reading at the scale chosen for its place, PNG and TIFF through the
// imaging component's row copies from its scaler, a bitmap's rows read where
// the file keeps them.  What is held between drawings is the file's name
// and a few numbers.

#include <wincodec.h>

#include <algorithm>
#include <cstring>

#include "picture/dib_parse.h"
#include "picture/exif_orientation.h"
#include "picture/jpeg_rows.h"
#include "picture/picture_file.h"
#include "picture/picture_kinds.h"
#include "toolkit/handles.h"

namespace velbrook {
namespace {

File_Handle Reopen(const std::wstring& path) {
    try {
        return Open_Picture_File(path);
    } catch (const Failure&) {
        return File_Handle();
    }
}

void Fill_White(std::uint32_t* rows, int width, int count) {
    std::fill_n(rows, static_cast<std::size_t>(width) * count, 0x00FFFFFFu);
}

// The rows of a JPEG at one scale.  Rows are quickest in order; reading
// backwards starts the file again.  A file that can no longer be read, or
// that no longer has the size it had, gives white.
class Jpeg_Row_Source final : public Row_Source {
public:
    Jpeg_Row_Source(std::wstring path, SIZE cover, SIZE size)
        : path_(std::move(path)),
          cover_(cover),
          size_(size),
          bgr_((static_cast<std::size_t>(size.cx) * 3 + 3) & ~std::size_t{3}) {}

    SIZE Size() const override { return size_; }

    void Read(int first, int count, std::uint32_t* rows) override {
        if (!rows_ || first < rows_->Next_Row()) Restart();
        while (rows_ && rows_->Next_Row() < first) rows_->Read(bgr_.data(), bgr_.size(), 1);
        if (!rows_) return Fill_White(rows, size_.cx, count);
        for (int k = 0; k < count; ++k) {
            rows_->Read(bgr_.data(), bgr_.size(), 1);
            const std::uint8_t* in = bgr_.data();
            for (int x = 0; x < size_.cx; ++x, in += 3) *rows++ = in[0] | in[1] << 8 | in[2] << 16;
        }
    }

private:
    void Restart() {
        rows_.reset();
        source_ = std::make_unique<File_Source>(Reopen(path_));
        try {
            rows_ = std::make_unique<Jpeg_Rows>(*source_, cover_.cx, cover_.cy);
        } catch (const Invalid_Picture&) {
            return;
        }
        if (rows_->Width() != size_.cx || rows_->Height() != size_.cy) rows_.reset();
    }

    std::wstring path_;
    SIZE cover_, size_;
    std::vector<std::uint8_t> bgr_;
    std::unique_ptr<File_Source> source_;
    std::unique_ptr<Jpeg_Rows> rows_;
};

// The size libjpeg decodes a stored_w x stored_h picture to for a place of
// `cover`.
SIZE Jpeg_Size_For(SIZE stored, SIZE cover) {
    const int d = Choose_Jpeg_Scale(stored.cx, stored.cy, cover.cx, cover.cy);
    return {(stored.cx - 1) / d + 1, (stored.cy - 1) / d + 1};
}

class Jpeg_Band_Picture final : public Picture {
public:
    Jpeg_Band_Picture(std::wstring path, int tag, SIZE stored, SIZE cover)
        : path_(std::move(path)), tag_(tag), stored_(stored), cover_(cover), size_(Jpeg_Size_For(stored, cover)) {}

    Picture_Kind Kind() const override { return Picture_Kind::Jpeg; }
    SIZE Pixel_Size() const override { return size_; }
    int Orientation_Tag() const override { return tag_; }
    bool Render(HDC dc, const RECT& target) const override {
        // A smaller place (the preview's box) is drawn from a smaller scale.
        SIZE cover{target.right - target.left, target.bottom - target.top};
        SIZE size = Jpeg_Size_For(stored_, cover);
        if (size.cx > size_.cx || size.cy > size_.cy || cover.cx <= 0 || cover.cy <= 0) cover = cover_, size = size_;
        Jpeg_Row_Source rows(path_, cover, size);
        return Draw_Rows(dc, rows, Whole_Placement(size, target));
    }
    std::unique_ptr<Row_Source> Open_Rows() const override {
        return std::make_unique<Jpeg_Row_Source>(path_, cover_, size_);
    }
    void Read_Rows(int width, int height, int first, int count, std::uint32_t* rows) const override {
        if (width != size_.cx || height != size_.cy) return Picture::Read_Rows(width, height, first, count, rows);
        if (!reader_) reader_ = Open_Rows();
        reader_->Read(first, count, rows);
    }
    std::vector<std::uint8_t> Original_Jpeg() const override {
        try {
            return Read_Picture_File(path_);
        } catch (const Failure&) {
            return {};
        }
    }
    std::wstring Jpeg_File() const override { return path_; }

private:
    std::wstring path_;
    int tag_;
    SIZE stored_, cover_, size_;
    mutable std::unique_ptr<Row_Source> reader_;  // for Read_Rows, which is asked band after band
};

// The imaging component's decoder, scaler and converter for one page of a
// file, giving premultiplied BGRA rows that are composed over white.
class Wic_Row_Source final : public Row_Source {
public:
    // Throws Invalid_Picture when any step is refused.
    Wic_Row_Source(const std::wstring& path, int page, SIZE size) : size_(size) {
        if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      factory_.put_void())))
            throw Failure(L"The Windows Imaging Component is not available");
        Throw_If_Failed<Invalid_Picture>(
            factory_->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder_.put()),
            L"the imaging component does not recognise it");
        Chain(page);
    }
    // Over a decoder already opened (some decoders decode the whole page
    // when they are opened, so it is not opened twice).
    Wic_Row_Source(Com_Ptr<IWICImagingFactory> factory, Com_Ptr<IWICBitmapDecoder> decoder, int page, SIZE size)
        : factory_(std::move(factory)), decoder_(std::move(decoder)), size_(size) {
        Chain(page);
    }

    SIZE Size() const override { return size_; }
    bool Failed() const { return failed_; }

    void Read(int first, int count, std::uint32_t* rows) override {
        const WICRect rect{0, first, size_.cx, count};
        const UINT stride = static_cast<UINT>(size_.cx) * 4;
        if (failed_ || FAILED(source_->CopyPixels(&rect, stride, stride * static_cast<UINT>(count),
                                                  reinterpret_cast<BYTE*>(rows)))) {
            // A damaged row stops the decoder: the rest of the page stays bare.
            failed_ = true;
            return Fill_White(rows, size_.cx, count);
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(size_.cx) * count; ++k) {
            // Premultiplied: over white each channel gains what alpha leaves.
            const std::uint32_t p = rows[k];
            const std::uint32_t bare = 255u - (p >> 24);
            const std::uint32_t b = std::min(255u, (p & 0xFF) + bare), g = std::min(255u, (p >> 8 & 0xFF) + bare),
                                r = std::min(255u, (p >> 16 & 0xFF) + bare);
            rows[k] = r << 16 | g << 8 | b;
        }
    }

private:
    // The frame of the page, scaled to the size, converted to premultiplied BGRA.
    void Chain(int page) {
        const SIZE size = size_;
        Com_Ptr<IWICBitmapFrameDecode> frame;
        Throw_If_Failed<Invalid_Picture>(decoder_->GetFrame(static_cast<UINT>(page), frame.put()),
                                         L"its page cannot be read");
        UINT width = 0, height = 0;
        Throw_If_Failed<Invalid_Picture>(frame->GetSize(&width, &height), L"its size cannot be read");
        source_ = Wic_Pbgra_Source(factory_.get(), frame.query<IWICBitmapSource>(), width, height, size);
    }

    Com_Apartment apartment_;  // first, so that it ends last
    Com_Ptr<IWICImagingFactory> factory_;
    Com_Ptr<IWICBitmapDecoder> decoder_;
    Com_Ptr<IWICBitmapSource> source_;
    SIZE size_;
    bool failed_ = false;
};

class Wic_Band_Picture final : public Picture {
public:
    Wic_Band_Picture(std::wstring path, Picture_Kind kind, int page, int pages, SIZE size,
                     std::unique_ptr<Row_Source> first_rows)
        : path_(std::move(path)),
          kind_(kind),
          page_(page),
          pages_(pages),
          size_(size),
          reader_(std::move(first_rows)) {}

    Picture_Kind Kind() const override { return kind_; }
    SIZE Pixel_Size() const override { return size_; }
    int Page_Count() const override { return pages_; }
    bool Render(HDC dc, const RECT& target) const override {
        const std::unique_ptr<Row_Source> rows = Open_Rows();
        return Draw_Rows(dc, *rows, Whole_Placement(size_, target));
    }
    std::unique_ptr<Row_Source> Open_Rows() const override {
        // The rows opened when the picture was loaded serve the first drawing.
        if (reader_) return std::move(reader_);
        try {
            return std::make_unique<Wic_Row_Source>(path_, page_, size_);
        } catch (const Invalid_Picture&) {
            return std::make_unique<White_Rows>(size_);
        }
    }
    void Read_Rows(int width, int height, int first, int count, std::uint32_t* rows) const override {
        if (width != size_.cx || height != size_.cy) return Picture::Read_Rows(width, height, first, count, rows);
        if (!reader_) reader_ = Open_Rows();
        reader_->Read(first, count, rows);
    }

private:
    class White_Rows final : public Row_Source {
    public:
        explicit White_Rows(SIZE size) : size_(size) {}
        SIZE Size() const override { return size_; }
        void Read(int, int count, std::uint32_t* rows) override { Fill_White(rows, size_.cx, count); }

    private:
        SIZE size_;
    };

    std::wstring path_;
    Picture_Kind kind_;
    int page_, pages_;
    SIZE size_;
    mutable std::unique_ptr<Row_Source> reader_;
};

// Up to `size` bytes from `offset`; fewer where the file ends or can no
// longer be read.  Reads at an offset rather than a mapped view: a view of
// a file on a share or a disk that goes away faults when it is touched (an
// in-page error, which no C++ handler catches), where a read fails or
// comes back short; and GDI copies every band into 32-bit rows anyway, so
// a view would save no copy.
std::size_t Read_At(HANDLE file, std::uint64_t offset, std::uint8_t* into, std::size_t size) noexcept {
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 24));
        if (!::ReadFile(file, into + done, wanted, &got, &at) || got == 0) break;
        done += got;
    }
    return done;
}

// The rows of a bitmap file, every row or every `step`th, read a band at a
// time where the file keeps them and turned into 32-bit rows by GDI with
// the file's own header and colours, so that they show exactly as the
// whole bitmap does.  Rows the file no longer holds whole are white; a file
// whose headers are no longer those it was loaded with gives white.
class Bmp_Row_Source final : public Row_Source {
public:
    Bmp_Row_Source(const std::wstring& path, const Bmp_Layout& layout, const std::vector<std::uint8_t>& head,
                   std::int32_t step)
        : layout_(layout),
          step_(step),
          size_{Bmp_Sampled_Count(layout.width, step), Bmp_Sampled_Count(layout.height, step)},
          chunk_(Band_Rows_For(layout.width, layout.height)),
          file_(Reopen(path)),
          info_(layout.info),
          raw_(static_cast<std::size_t>(layout.stride) * static_cast<std::size_t>(chunk_)),
          slot_read_(static_cast<std::size_t>(chunk_)),
          dc_(::CreateCompatibleDC(nullptr)),
          band_(Top_Down_Dib_Section(layout.width, chunk_, &bits_)) {
        if (!dc_ || !band_) throw Failure(L"There is not enough memory to draw a band of the picture");
        std::vector<std::uint8_t> now(head.size());
        if (file_ && (Read_At(file_.get(), 0, now.data(), now.size()) != now.size() || now != head)) file_.reset();
        for (std::int32_t x = 0; step_ > 1 && x < size_.cx; ++x) columns_.push_back(Bmp_Sample(x, step_, layout.width));
    }

    SIZE Size() const override { return size_; }

    void Read(int first, int count, std::uint32_t* rows) override {
        for (int done = 0; done < count;) {
            const int part = std::min(count - done, chunk_);
            Read_Part(first + done, part, rows + static_cast<std::size_t>(done) * size_.cx);
            done += part;
        }
    }

private:
    void Read_Part(int first, int count, std::uint32_t* rows) {
        if (!file_) return Fill_White(rows, size_.cx, count);
        const std::size_t stride = static_cast<std::size_t>(layout_.stride);
        for (const Bmp_Read& read : Plan_Bmp_Reads(layout_, step_, first, count)) {
            const std::size_t got =
                Read_At(file_.get(), read.offset, raw_.data() + read.slot * stride, read.rows * stride);
            for (int k = 0; k < read.rows; ++k)
                slot_read_[static_cast<std::size_t>(read.slot + k)] = static_cast<std::size_t>(k) < got / stride;
        }
        // The band in the file's row order, drawn pixel for pixel.
        BITMAPINFOHEADER& header = reinterpret_cast<BITMAPINFO*>(info_.data())->bmiHeader;
        header.biHeight = layout_.top_down ? -count : count;
        header.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(count));
        bool drawn;
        {
            Select_Guard select(dc_.get(), band_.get());
            drawn =
                Stretch_Dib(dc_.get(), RECT{0, 0, layout_.width, count}, *reinterpret_cast<BITMAPINFO*>(info_.data()),
                            raw_.data(), layout_.width, count, Stretch_Mode::Plain);
            ::GdiFlush();
        }
        for (int y = 0; y < count; ++y) {
            std::uint32_t* out = rows + static_cast<std::size_t>(y) * size_.cx;
            if (!drawn || !slot_read_[static_cast<std::size_t>(layout_.top_down ? y : count - 1 - y)]) {
                Fill_White(out, size_.cx, 1);
                continue;
            }
            const std::uint32_t* in = bits_ + static_cast<std::size_t>(y) * layout_.width;
            if (step_ == 1)
                for (int x = 0; x < size_.cx; ++x) out[x] = in[x] & 0x00FFFFFFu;
            else
                for (int x = 0; x < size_.cx; ++x) out[x] = in[columns_[static_cast<std::size_t>(x)]] & 0x00FFFFFFu;
        }
    }

    Bmp_Layout layout_;
    std::int32_t step_;
    SIZE size_;
    std::int32_t chunk_;  // stored rows turned by GDI at once: at most Band_Bytes at 32 bits
    File_Handle file_;
    std::vector<std::uint8_t> info_;  // the layout's header, its height set for each band
    std::vector<std::uint8_t> raw_;   // a band's rows as the file keeps them
    std::vector<char> slot_read_;     // which of them the file gave whole
    std::vector<std::int32_t> columns_;
    Dc_Handle dc_;
    std::uint32_t* bits_ = nullptr;
    Bitmap_Handle band_;
};

class Bmp_Band_Picture final : public Picture {
public:
    Bmp_Band_Picture(std::wstring path, Bmp_Layout layout, std::vector<std::uint8_t> head, std::int32_t step)
        : path_(std::move(path)), layout_(std::move(layout)), head_(std::move(head)), step_(step) {}

    Picture_Kind Kind() const override { return Picture_Kind::Bitmap; }
    SIZE Pixel_Size() const override {
        return {Bmp_Sampled_Count(layout_.width, step_), Bmp_Sampled_Count(layout_.height, step_)};
    }
    bool Render(HDC dc, const RECT& target) const override {
        // A smaller place (the preview's box) reads fewer rows.
        const std::int32_t step = std::max(
            step_, Bmp_Step_For(layout_.width, layout_.height, target.right - target.left, target.bottom - target.top));
        Bmp_Row_Source rows(path_, layout_, head_, step);
        return Draw_Rows(dc, rows, Whole_Placement(rows.Size(), target));
    }
    std::unique_ptr<Row_Source> Open_Rows() const override {
        return std::make_unique<Bmp_Row_Source>(path_, layout_, head_, step_);
    }
    void Read_Rows(int width, int height, int first, int count, std::uint32_t* rows) const override {
        const SIZE size = Pixel_Size();
        if (width != size.cx || height != size.cy) return Picture::Read_Rows(width, height, first, count, rows);
        if (!reader_) reader_ = Open_Rows();
        reader_->Read(first, count, rows);
    }

private:
    std::wstring path_;
    Bmp_Layout layout_;
    std::vector<std::uint8_t> head_;  // the file's headers and colour table as loaded
    std::int32_t step_;
    mutable std::unique_ptr<Row_Source> reader_;  // for Read_Rows, which is asked band after band
};

// The first bytes of a file, where a JPEG keeps its Exif block.
std::vector<std::uint8_t> Head_Of(const std::wstring& path) {
    std::vector<std::uint8_t> head(256 * 1024);
    head.resize(Read_At(Open_Picture_File(path).get(), 0, head.data(), head.size()));
    return head;
}

std::int64_t Decoded_Bytes(SIZE size) { return std::int64_t{size.cx} * size.cy * 4; }

}  // namespace

Placement Whole_Placement(SIZE size, const RECT& target) {
    Placement placement;
    placement.destination = placement.picture_area = {target.left, target.top, target.right, target.bottom};
    placement.source = {0, 0, size.cx, size.cy};
    return placement;
}

std::shared_ptr<const Picture> Load_Banded_Jpeg(const std::wstring& path, const Picture_Request& request) {
    const int tag = Read_Exif_Orientation(Head_Of(path));
    File_Handle file = Open_Picture_File(path);
    LARGE_INTEGER file_size{};
    ::GetFileSizeEx(file.get(), &file_size);
    File_Source header_source(std::move(file));
    Jpeg_Rows header(header_source, 0, 0);
    const SIZE stored{header.Stored_Width(), header.Stored_Height()};
    const SIZE cover = Jpeg_Cover(stored.cx, stored.cy, tag, request);
    const SIZE size = Jpeg_Size_For(stored, cover);
    if (Decoded_Bytes(size) <= request.whole_decode_bytes) return nullptr;
    if (static_cast<std::uint64_t>(file_size.QuadPart) < header.Least_Data_Bytes())
        throw Invalid_Picture(L"the file is too short for the size it claims");
    // Drawing begins only when the file is whole to its end marker; a file
    // cut short, or of more scans than any encoder writes, is refused here,
    // before any page is begun for it.
    File_Source walk(Open_Picture_File(path));
    Require_Whole_Jpeg(walk);
    return std::make_shared<Jpeg_Band_Picture>(path, tag, stored, cover);
}

std::shared_ptr<const Picture> Load_Banded_Bmp(const std::wstring& path, const Picture_Request& request) {
    const File_Handle file = Open_Picture_File(path);
    LARGE_INTEGER file_size{};
    if (!::GetFileSizeEx(file.get(), &file_size)) return nullptr;  // the whole reading tells why
    std::vector<std::uint8_t> head(static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(file_size.QuadPart), Bmp_Head_Bytes)));
    head.resize(Read_At(file.get(), 0, head.data(), head.size()));
    const Bmp_Layout layout = Parse_Bmp_Header(head, static_cast<std::uint64_t>(file_size.QuadPart));
    // Compressed rows are expanded whole, within Max_Rle_Bytes; a row wider
    // than a band is drawn whole as it always was.
    if (layout.compressed || Decoded_Bytes({layout.width, layout.height}) <= request.whole_decode_bytes ||
        std::int64_t{layout.width} * 4 > Band_Bytes)
        return nullptr;
    const SIZE cover = Jpeg_Cover(layout.width, layout.height, 1, request);
    head.resize(layout.head_bytes);
    return std::make_shared<Bmp_Band_Picture>(path, layout, std::move(head),
                                              Bmp_Step_For(layout.width, layout.height, cover.cx, cover.cy));
}

std::shared_ptr<const Picture> Load_Wic_Picture(const std::wstring& path, Picture_Kind kind,
                                                const Picture_Request& request) {
    const Com_Apartment apartment;
    Com_Ptr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.put_void())))
        throw Failure(L"The Windows Imaging Component is not available");
    (void)Open_Picture_File(path);  // a missing or locked file is told as such
    Com_Ptr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put())))
        throw Invalid_Picture(L"the imaging component does not recognise it");
    UINT pages = 0;
    if (FAILED(decoder->GetFrameCount(&pages))) throw Invalid_Picture(L"it holds no picture");
    if (pages == 0 || request.page < 0 || static_cast<UINT>(request.page) >= pages)
        throw Invalid_Picture(L"it holds no such page");
    Com_Ptr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(static_cast<UINT>(request.page), frame.put())))
        throw Invalid_Picture(L"its page cannot be read");
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height))) throw Invalid_Picture(L"its size cannot be read");
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        throw Invalid_Picture(L"it has no size");
    const SIZE size = Wic_Decoded_Size(width, height, request);
    // One decoder for the page either way: some decode the whole page as
    // soon as they are opened.
    if (Decoded_Bytes(size) <= request.whole_decode_bytes)
        return Decode_Wic_Frame(factory.get(), frame.get(), size, kind, static_cast<int>(pages));
    if (std::int64_t{size.cx} * 4 > Band_Bytes) throw Invalid_Picture(L"it is too wide to draw");
    // The first row is read now, so that a file the decoder cannot read is
    // refused before a page is begun for it; these rows then serve the
    // first drawing.
    auto rows = std::make_unique<Wic_Row_Source>(std::move(factory), std::move(decoder), request.page, size);
    std::vector<std::uint32_t> first_row(static_cast<std::size_t>(size.cx));
    rows->Read(0, 1, first_row.data());
    if (rows->Failed()) throw Invalid_Picture(L"its pixels cannot be read");
    return std::make_shared<Wic_Band_Picture>(path, kind, request.page, static_cast<int>(pages), size, std::move(rows));
}

}  // namespace velbrook

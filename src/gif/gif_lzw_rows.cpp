// Row, interlace and mask output: the raster's buffers, the rows in the
// order of the four interlace passes (or top to bottom), bottom-up in the
// buffers as a device-independent bitmap keeps them, and the transparency
// mask brought up to date a row stretch at a time.
#include <algorithm>
#include <limits>
#include <new>

#include "gif/gif_lzw_decoder.h"

namespace velbrook {

std::size_t Gif_Row_Stride(int width) { return (static_cast<std::size_t>(width) + 3u) & ~std::size_t{3}; }

std::size_t Gif_Mask_Stride(int width) { return (static_cast<std::size_t>(width) + 31u) / 32u * 4u; }

namespace gif_lzw {

namespace {

constexpr std::array<Interlace_Pass, 4> Interlaced_Passes{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
constexpr std::array<Interlace_Pass, 1> Progressive_Pass{{{0, 1}}};

bool Multiply_Fits(std::size_t a, std::size_t b, std::size_t& product) {
    if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a) return false;
    product = a * b;
    return true;
}

}  // namespace

// The pixel and mask buffers, all 0; false when their sizes overflow or the
// memory cannot be had.
bool Raster_Decoder::Allocate_Rows(std::size_t& pixel_count) {
    raster_.row_stride = Gif_Row_Stride(format_.width);
    raster_.mask_stride = format_.transparent ? Gif_Mask_Stride(format_.width) : 0;
    std::size_t pixel_bytes = 0;
    std::size_t mask_bytes = 0;
    const auto height = static_cast<std::size_t>(format_.height);
    if (!Multiply_Fits(height, raster_.row_stride, pixel_bytes) ||
        !Multiply_Fits(height, raster_.mask_stride, mask_bytes) ||
        !Multiply_Fits(height, static_cast<std::size_t>(format_.width), pixel_count)) {
        return false;
    }
    try {
        raster_.pixels.assign(pixel_bytes, 0);
        raster_.mask.assign(mask_bytes, 0);
    } catch (const std::bad_alloc&) {
        raster_.pixels = {};
        raster_.mask = {};
        return false;
    }
    raster_.pixels_supplied = 0;
    return true;
}

void Raster_Decoder::Start_Rows() {
    if (format_.interlaced) {
        passes_ = Interlaced_Passes.data();
        pass_count_ = static_cast<int>(Interlaced_Passes.size());
    } else {
        passes_ = Progressive_Pass.data();
        pass_count_ = 1;
    }
    pass_ = 0;
    row_ = 0;
    x_ = 0;
    rows_done_ = false;
    const std::size_t row = static_cast<std::size_t>(format_.height - 1);
    row_pixels_ = raster_.pixels.data() + row * raster_.row_stride;
    row_mask_ = format_.transparent ? raster_.mask.data() + row * raster_.mask_stride : nullptr;
}

void Raster_Decoder::Next_Row() {
    Flush_Mask();
    mask_from_ = 0;
    if (progress_interval_ != 0 && row_ % progress_interval_ == 0 && !cancelled_) {
        stream_.Seek(stream_position_);
        if (!(*progress_)()) cancelled_ = true;
    }
    x_ = 0;
    row_ += passes_[pass_].step;
    while (row_ >= format_.height) {
        // A pass whose first row lies below the picture is skipped.
        if (++pass_ == pass_count_) {
            rows_done_ = true;
            return;
        }
        row_ = passes_[pass_].start;
    }
    const std::size_t row = static_cast<std::size_t>(format_.height - 1 - row_);
    row_pixels_ = raster_.pixels.data() + row * raster_.row_stride;
    if (row_mask_ != nullptr) row_mask_ = raster_.mask.data() + row * raster_.mask_stride;
}

// Sets the mask bits of the current row's pixels from mask_from_ up to x_
// that hold the transparent index.  Rows are marked this way, a stretch at a
// time, when they are full or decoding stops, not string by string.
void Raster_Decoder::Flush_Mask() {
    if (row_mask_ == nullptr) return;
    const std::uint8_t index = format_.transparent_index;
    const std::uint8_t* const row = row_pixels_;
    std::uint8_t* const mask = row_mask_;
    std::size_t x = static_cast<std::size_t>(mask_from_);
    const auto to = static_cast<std::size_t>(x_);
    for (; x < to && (x & 7u) != 0; ++x) {
        mask[x >> 3] |= static_cast<std::uint8_t>(static_cast<unsigned>(row[x] == index) << (7u - (x & 7u)));
    }
    for (; x + 8 <= to; x += 8) {
        unsigned bits = 0;
        for (unsigned k = 0; k < 8; ++k) bits |= static_cast<unsigned>(row[x + k] == index) << (7u - k);
        mask[x >> 3] |= static_cast<std::uint8_t>(bits);
    }
    for (; x < to; ++x) {
        mask[x >> 3] |= static_cast<std::uint8_t>(static_cast<unsigned>(row[x] == index) << (7u - (x & 7u)));
    }
    mask_from_ = x_;
}

void Raster_Decoder::Put_Run(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0 && !rows_done_) {
        const std::size_t room = static_cast<std::size_t>(format_.width - x_);
        const std::size_t n = count < room ? count : room;
        std::memcpy(row_pixels_ + x_, bytes, n);
        raster_.pixels_supplied += n;
        bytes += n;
        count -= n;
        x_ += static_cast<int>(n);
        if (x_ == format_.width) Next_Row();
    }
}

// Chunk copies may have run past the last byte written.
void Raster_Decoder::Clear_Past_Last_Pixel() {
    if (rows_done_) return;
    Flush_Mask();
    const int end = std::min(format_.width, x_ + Copy_Chunk);
    std::fill(row_pixels_ + x_, row_pixels_ + end, std::uint8_t{0});
}

// Pixels the stream did not supply are transparent, in the same row order.
void Raster_Decoder::Mark_Rest_Transparent() {
    progress_interval_ = 0;
    while (!rows_done_) {
        for (int x = x_; x < format_.width; ++x) row_mask_[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
        Next_Row();
    }
}

}  // namespace gif_lzw
}  // namespace velbrook

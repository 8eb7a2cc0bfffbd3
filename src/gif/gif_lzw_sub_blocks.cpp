// Sub-block gathering: the image data's sub-blocks copied into one buffer,
// with where each block ends (in bits of the buffer and in the stream), so
// that the code reader takes them in one at a time as a reader holding one
// sub-block would.
#include <cstring>

#include "gif/gif_lzw_decoder.h"

namespace velbrook::gif_lzw {

void Raster_Decoder::Gather_Sub_Blocks() {
    const std::uint8_t* bytes = stream_.Data();
    const std::size_t size = stream_.Size();
    std::size_t position = stream_.Position();
    std::size_t total = 0;
    std::size_t count = 0;
    // First pass: measure, so that the buffer is allocated once.
    for (std::size_t p = position;;) {
        if (p >= size) break;
        const std::size_t length = bytes[p++];
        if (length == 0 || size - p < length) break;
        total += length;
        ++count;
        p += length;
    }
    data_.resize(total + 4);  // the tail lets a code load read 4 bytes anywhere
    block_end_bit_.reserve(count);
    block_end_position_.reserve(count);
    std::size_t filled = 0;
    for (;;) {
        if (position >= size) {
            scan_end_ = size;
            break;
        }
        const std::size_t length = bytes[position++];
        if (length == 0) {
            scan_end_ = position;
            break;
        }
        if (size - position < length) {
            // A short sub-block is a failed read: it consumes the rest, and
            // its bytes count for nothing.
            scan_end_ = size;
            break;
        }
        std::memcpy(data_.data() + filled, bytes + position, length);
        filled += length;
        position += length;
        block_end_bit_.push_back(static_cast<std::uint64_t>(filled) * 8u);
        block_end_position_.push_back(position);
    }
    if (block_end_bit_.empty()) {
        done_ = end_of_data_ = true;
        stream_position_ = scan_end_;
    } else {
        blocks_taken_ = 1;
        held_end_bit_ = block_end_bit_[0];
        stream_position_ = block_end_position_[0];
    }
}

}  // namespace velbrook::gif_lzw

// A read cursor over GIF bytes held in memory.  Reads never go past the end:
// a "plain" read hands back what is there and says how much that was, so each
// caller decides what a short read means instead of seeing zeros.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace velbrook {

class Gif_Byte_Reader {
public:
    explicit Gif_Byte_Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return position_; }
    std::size_t Size() const { return bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - position_; }
    bool At_End() const { return position_ >= bytes_.size(); }
    const std::uint8_t* Data() const { return bytes_.data(); }

    // Moves to an absolute position; a position past the end means the end.
    void Seek(std::size_t position) { position_ = std::min(position, bytes_.size()); }
    void Seek_End() { position_ = bytes_.size(); }
    void Step_Back(std::size_t count) { position_ -= std::min(count, position_); }

    // Plain read: copies up to count bytes and returns how many it copied.
    std::size_t Read(void* target, std::size_t count) {
        const std::size_t n = std::min(count, Remaining());
        if (n > 0) std::memcpy(target, bytes_.data() + position_, n);
        position_ += n;
        return n;
    }

    // True only when every byte arrived.
    bool Read_Exact(void* target, std::size_t count) { return Read(target, count) == count; }

    bool Read_Byte(std::uint8_t& value) { return Read(&value, 1) == 1; }

    // Skips up to count bytes and returns how many it skipped.
    std::size_t Skip(std::size_t count) {
        const std::size_t n = std::min(count, Remaining());
        position_ += n;
        return n;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace velbrook

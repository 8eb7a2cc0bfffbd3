// The string table: its roots, its resets at a clear code, the classic
// walk of a string through its prefix chain, and the strings written back to
// front into the rows or across them.
#include "gif/gif_lzw_decoder.h"

namespace velbrook::gif_lzw {

void Raster_Decoder::Start_Table(int code_size) {
    code_size_ = code_size;
    clear_ = 1 << code_size_;
    end_ = clear_ + 1;
    fast_ = code_size_ <= 8;
    for (int i = 0; i < clear_; ++i) {
        suffix_[i] = static_cast<std::uint16_t>(i);
        entries_[static_cast<std::size_t>(i)] = {0, 1, static_cast<std::uint16_t>(i)};
    }
    entries_[static_cast<std::size_t>(clear_)] = entries_[static_cast<std::size_t>(end_)] = {No_Copy, 0, 0};
    for (int i = 0; i < 256; ++i) identity_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    Reset_Table();
}

void Raster_Decoder::Reset_Table() {
    width_bits_ = code_size_ + 1;
    width_limit_ = 2 * clear_;
    next_ = clear_ + 2;
}

// The classic decoder's walk: characters pushed last first, with its two
// failure checks; false means it gave up (-2), leaving the table unchanged.
bool Raster_Decoder::Decode_Slow(int code, bool output) {
    const int in_code = code;
    std::size_t depth = 0;
    if (code >= next_) {
        stack_[depth++] = static_cast<std::uint32_t>(first_code_);
        code = old_code_;
    }
    while (code >= clear_) {
        stack_[depth++] = suffix_[code];
        if (depth > Table_Size - 1) return false;
        if (prefix_[code] == code) return false;
        code = prefix_[code];
    }
    const int first_char = suffix_[code];
    stack_[depth++] = static_cast<std::uint32_t>(first_char);
    Finish_Code(in_code, first_char);
    if (output) {
        while (depth > 0 && !rows_done_ && !cancelled_) Put_Value(static_cast<int>(stack_[--depth]));
    }
    return true;
}

// Writes the string of a sound code (plus its first character again when
// repeat_first is set) back to front: into the row when it fits, otherwise
// into a scratch string that is then laid across rows.
void Raster_Decoder::Write_Sound_String(int code, int length, bool repeat_first) {
    const std::size_t n = static_cast<std::size_t>(length);
    const bool fits = n <= static_cast<std::size_t>(format_.width - x_);
    std::uint8_t* const start = fits ? row_pixels_ + x_ : string_.data();
    std::uint8_t* last = start + n - 1;
    if (repeat_first) *last-- = static_cast<std::uint8_t>(first_code_);
    Write_Chain(last, code, clear_);
    if (!fits) {
        Put_Run(string_.data(), n);
        return;
    }
    raster_.pixels_supplied += n;
    x_ += length;
    if (x_ == format_.width) Next_Row();
}

}  // namespace velbrook::gif_lzw

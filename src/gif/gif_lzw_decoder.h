// The LZW raster decoder's parts, for its own sources only: the gathered
// sub-blocks and the code reader (gif_lzw_sub_blocks.cpp), the string table
// and the copies of its strings (gif_lzw_table.cpp), the row, interlace and
// mask output (gif_lzw_rows.cpp), and the decoding loops (gif_lzw.cpp).
//
// How the decoder works, and why.
//
// Codes are packed least-significant bit first across sub-blocks.  The
// sub-blocks are gathered into one contiguous buffer first, so a code is one
// unaligned 32-bit load whatever the sub-block sizes are (a 12-bit code may
// straddle three 1-byte sub-blocks).  The blocks are still "taken in" one at a
// time, exactly when a reader holding one sub-block would need the next one:
// when the next code would reach or pass the end of the held bits.  That keeps
// the end-of-data decisions, and the stream position the progress hook sees,
// those of a reader that fetches sub-blocks one by one.
//
// Strings go straight into the row.  That is only sound for table entries
// built from well-formed codes ("sound" entries, whose chains end at a root).
// With code sizes up to 8, a sound entry's string is the previous code's
// string plus the next code's first byte, and the two were written side by
// side: each entry keeps where that was (with its length and first byte, in
// one table), and its code is then a copy from there, a single 16-byte chunk
// for short strings when the row has room (the bytes past the string are
// written again by what follows, or cleared when decoding stops).  Strings
// that cross a row end, and entries with no such copy, are written back to
// front from the prefix chain using the string's length.  Transparency mask
// bits are set a row stretch at a time, not string by string.  Malformed
// streams can build entries that point to themselves or form cycles; codes
// touching those go through an exact model of the classic output-stack
// decoder, with its limits (a stack of 4096, a self-reference check), so
// that damaged data decodes the same however it is damaged.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gif/gif_lzw.h"

static_assert(std::endian::native == std::endian::little, "codes are assembled from little-endian loads");

namespace velbrook::gif_lzw {

constexpr int Table_Size = 4096;

// Short strings are copied as one chunk of this many bytes when the row has
// room for it; the bytes past the string are written again by what follows.
constexpr int Copy_Chunk = 16;

constexpr std::uint32_t No_Copy = 0xFFFFFFFFu;

enum class Stop { Rows_Full, Data_Ended, End_Code, Corrupt, Cancel };

struct Interlace_Pass {
    int start;
    int step;
};

// The code of `width` bits that starts at bit `bit` of the gathered data
// (which keeps at least 4 bytes after every bit a code can start at).
inline int Code_At(const std::uint8_t* data, std::uint64_t bit, int width) {
    std::uint32_t word;
    std::memcpy(&word, data + (bit >> 3), sizeof word);
    return static_cast<int>((word >> (bit & 7u)) & ((1u << width) - 1u));
}

// The registers of a decoding loop, kept in the loop's locals: the row bytes
// it stores may alias anything, so members would be reloaded after every
// store.  Anything unusual saves them to the members, goes through the
// members, and loads them again.
struct Loop_Registers {
    const std::uint8_t* data = nullptr;  // the gathered sub-blocks
    int clear = 0;
    int end = 0;
    std::uint64_t bit = 0;
    std::uint64_t held_end = 0;
    int width = 0;
    int limit = 0;
    int next = 0;
    int old_code = 0;
    int first_code = 0;
    bool halt = false;
};

// The loop that walks every string through the table.
struct Walk_Registers : Loop_Registers {
    bool old_sound = false;
};

// The loop that copies strings within the rows.
struct Copy_Registers : Loop_Registers {
    std::uint8_t* pixels = nullptr;  // the raster's, from its first buffer row
    // A chunk may be read from an offset up to here without running off the
    // pixels (the string may lie at the end of the last buffer row).
    std::size_t chunk_limit = 0;
    int row_width = 0;
    int old_length = 0;  // of the previous code's string; 0 when it is not sound
    int x = 0;
    int x_saved = 0;
    std::uint8_t* row = nullptr;
    // Where the previous code's string was written, when it was written in
    // one piece just before row + x; otherwise null.
    const std::uint8_t* old_start = nullptr;
};

class Raster_Decoder {
public:
    Raster_Decoder(Gif_Byte_Reader& stream, const Raster_Format& format, Gif_Raster& raster,
                   const Raster_Progress* progress)
        : stream_(stream), format_(format), raster_(raster), progress_(progress) {}

    Raster_Outcome Run();

private:
    // What the output loop needs of a code, in one load.  length 0 = not a
    // sound entry (roots have length 1).  offset: where in the pixels the
    // entry's string was last written whole, or No_Copy.
    struct Entry {
        std::uint32_t offset;
        std::uint16_t length;
        std::uint16_t first;
    };

    // --- sub-blocks and codes (gif_lzw_sub_blocks.cpp)
    void Gather_Sub_Blocks();
    int Read_Code();

    // --- the string table and its copies (gif_lzw_table.cpp)
    void Start_Table(int code_size);
    void Reset_Table();
    bool Is_Sound(int code) const {
        return code < clear_ || (code < next_ && code > end_ && entries_[code].length != 0);
    }
    int String_Length(int code) const { return code < clear_ ? 1 : entries_[code].length; }
    int Root_Of(int code) const { return code < clear_ ? code : entries_[code].first; }
    void Add_Entry(int& next, int& limit, int& width, int old_code, int first_char, const Entry& entry);
    void Finish_Code(int in_code, int first_char);
    bool Decode_Slow(int code, bool output);
    void Write_Chain(std::uint8_t* last, int code, int clear) const;
    void Write_Sound_String(int code, int length, bool repeat_first);

    // --- rows, interlace and mask (gif_lzw_rows.cpp)
    bool Allocate_Rows(std::size_t& pixel_count);
    void Start_Rows();
    void Next_Row();
    void Put_Value(int value);
    void Put_Run(const std::uint8_t* bytes, std::size_t count);
    void Flush_Mask();
    void Clear_Past_Last_Pixel();
    void Mark_Rest_Transparent();

    // --- the decoding loops (gif_lzw.cpp)
    enum class Fetched { Code, Again, Stopped };
    void Load_Common(Loop_Registers& r) const;
    void Save_Common(const Loop_Registers& r);
    template <bool Output>
    void Load(Walk_Registers& r) const;
    void Save(const Walk_Registers& r);
    template <bool Output>
    void Load(Copy_Registers& r) const;
    void Save(Copy_Registers& r);
    template <bool Output, class Registers>
    Fetched Fetch_Code(Registers& r, int& code, Stop& stop);
    template <bool Output>
    bool Control_Code(int code);
    template <bool Output>
    Stop Decode();
    Stop Decode_Copying();
    void Add_Copy_Entry(Copy_Registers& r, int first_char, const std::uint8_t* made_at);
    bool Copy_Sound_String(Copy_Registers& r, int code, int& n);
    bool Copy_New_String(Copy_Registers& r, int code, int& n);
    Stop Halted(Copy_Registers& r);
    Stop Decode_All();

    Gif_Byte_Reader& stream_;
    const Raster_Format& format_;
    Gif_Raster& raster_;
    const Raster_Progress* progress_;

    // Sub-blocks, gathered.
    std::vector<std::uint8_t> data_;
    std::vector<std::uint64_t> block_end_bit_;     // cumulative bits after each block
    std::vector<std::size_t> block_end_position_;  // stream position after each block
    std::size_t scan_end_ = 0;                     // stream position after the terminator
    std::size_t blocks_taken_ = 0;
    std::uint64_t held_end_bit_ = 0;
    std::uint64_t bit_ = 0;
    std::size_t stream_position_ = 0;
    bool done_ = false;         // a block fetch failed: code reads that need more bits end
    bool end_of_data_ = false;  // the image data's terminator (or the stream's end) was reached
    bool finished_ = false;     // after the end code nothing more is read

    // LZW state.
    int code_size_ = 0;
    int clear_ = 0;
    int end_ = 0;
    int next_ = 0;
    int width_bits_ = 0;
    int width_limit_ = 0;
    int old_code_ = 0;
    int first_code_ = 0;
    bool old_sound_ = false;
    bool fast_ = false;  // string bytes equal their values (code size 8 or less)
    std::array<std::uint16_t, Table_Size> prefix_{};
    std::array<std::uint16_t, Table_Size> suffix_{};
    // Only the roots and the entries below next_ are read; the buffers below
    // are scratch.  None of them needs clearing first.
    std::array<Entry, Table_Size> entries_;
    std::array<std::uint8_t, 256 + Copy_Chunk> identity_;
    std::array<std::uint32_t, Table_Size> stack_;
    std::array<std::uint8_t, Table_Size + 1> string_;

    // Output cursor.
    const Interlace_Pass* passes_ = nullptr;
    int pass_count_ = 0;
    int pass_ = 0;
    int row_ = 0;
    int x_ = 0;
    int mask_from_ = 0;  // the current row's mask is done up to here
    bool rows_done_ = false;
    bool cancelled_ = false;
    int progress_interval_ = 0;  // 0 = no progress calls
    std::uint8_t* row_pixels_ = nullptr;
    std::uint8_t* row_mask_ = nullptr;
};

inline int Raster_Decoder::Read_Code() {
    if (finished_) return -1;
    const std::uint64_t code_end = bit_ + static_cast<unsigned>(width_bits_);
    if (code_end >= held_end_bit_) {
        // The code reaches the end of the held bits: take in the next
        // sub-block, and more while bits are still missing (1-byte
        // sub-blocks).  A failed fetch ends the data, but a code whose bits
        // are all held is still returned.
        bool fetch = !done_;
        while (fetch) {
            if (blocks_taken_ == block_end_bit_.size()) {
                done_ = end_of_data_ = true;
                stream_position_ = scan_end_;
                break;
            }
            held_end_bit_ = block_end_bit_[blocks_taken_];
            stream_position_ = block_end_position_[blocks_taken_];
            ++blocks_taken_;
            fetch = code_end > held_end_bit_;
        }
        if (code_end > held_end_bit_) return -1;
    }
    const int code = Code_At(data_.data(), bit_, width_bits_);
    bit_ += static_cast<unsigned>(width_bits_);
    return code;
}

// Table entry `next` becomes old_code's string plus first_char, with
// `entry` for the output loop, and codes widen a bit when `next` reaches the
// limit.  A full table takes nothing: codes stay 12 bits until a clear code.
// The three registers are the caller's: the members, or a loop's locals.
inline void Raster_Decoder::Add_Entry(int& next, int& limit, int& width, int old_code, int first_char,
                                      const Entry& entry) {
    if (next >= Table_Size) return;
    prefix_[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(old_code);
    suffix_[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(first_char);
    entries_[static_cast<std::size_t>(next)] = entry;
    ++next;
    if (next >= limit && limit < Table_Size) {
        limit *= 2;
        ++width;
    }
}

inline void Raster_Decoder::Finish_Code(int in_code, int first_char) {
    const Entry made = old_sound_ ? Entry{No_Copy, static_cast<std::uint16_t>(String_Length(old_code_) + 1),
                                          static_cast<std::uint16_t>(Root_Of(old_code_))}
                                  : Entry{No_Copy, 0, 0};
    Add_Entry(next_, width_limit_, width_bits_, old_code_, first_char, made);
    old_code_ = in_code;
    first_code_ = first_char;
    old_sound_ = Is_Sound(in_code);
}

// Writes the string of a sound code back to front from its prefix chain,
// its last byte at `last`.
inline void Raster_Decoder::Write_Chain(std::uint8_t* last, int code, int clear) const {
    while (code >= clear) {
        *last-- = static_cast<std::uint8_t>(suffix_[static_cast<std::size_t>(code)]);
        code = prefix_[static_cast<std::size_t>(code)];
    }
    *last = static_cast<std::uint8_t>(code);
}

inline void Raster_Decoder::Put_Value(int value) {
    row_pixels_[x_] = static_cast<std::uint8_t>(value);
    // The mask compares the whole value: a raw code above 255 is never the
    // transparent colour even when its low byte is, so the mask is brought
    // up to here and this pixel left out.
    if (row_mask_ != nullptr && value > 255 && static_cast<std::uint8_t>(value) == format_.transparent_index) {
        Flush_Mask();
        mask_from_ = x_ + 1;
    }
    ++raster_.pixels_supplied;
    if (++x_ == format_.width) Next_Row();
}

}  // namespace velbrook::gif_lzw

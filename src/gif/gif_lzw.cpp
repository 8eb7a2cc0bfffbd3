#include "gif/gif_lzw.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

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

static_assert(std::endian::native == std::endian::little, "codes are assembled from little-endian loads");

std::size_t GIF_Row_Stride(int width) { return (static_cast<std::size_t>(width) + 3u) & ~std::size_t{3}; }

std::size_t GIF_Mask_Stride(int width) { return (static_cast<std::size_t>(width) + 31u) / 32u * 4u; }

namespace {

constexpr int Table_Size = 4096;

// Short strings are copied as one chunk of this many bytes when the row has
// room for it; the bytes past the string are written again by what follows.
constexpr int Copy_Chunk = 16;

constexpr std::uint32_t No_Copy = 0xFFFFFFFFu;

enum class Stop { Rows_Full, Data_Ended, End_Code, Corrupt, Cancel };

struct Interlace_Pass {
    int Start;
    int Step;
};
constexpr std::array<Interlace_Pass, 4> Interlaced_Passes{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
constexpr std::array<Interlace_Pass, 1> Progressive_Pass{{{0, 1}}};

// The code of `width` bits that starts at bit `bit` of the gathered data
// (which keeps at least 4 bytes after every bit a code can start at).
inline int Code_At(const std::uint8_t* data, std::uint64_t bit, int width)
{
    std::uint32_t word;
    std::memcpy(&word, data + (bit >> 3), sizeof word);
    return static_cast<int>((word >> (bit & 7u)) & ((1u << width) - 1u));
}

bool Multiply_Fits(std::size_t a, std::size_t b, std::size_t& product)
{
    if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a) return false;
    product = a * b;
    return true;
}

class Raster_Decoder {
public:
    Raster_Decoder(TGIFByteReader& stream, const TRasterFormat& format, TRaster& raster,
                   const TRasterProgress* progress)
        : Stream_(stream), Format_(format), Raster_(raster), Progress_(progress)
    {
    }

    TRasterOutcome Run();

private:
    // What the output loop needs of a code, in one load.  Length 0 = not a
    // sound entry (roots have length 1).  Offset: where in the pixels the
    // entry's string was last written whole, or No_Copy.
    struct Entry {
        std::uint32_t Offset;
        std::uint16_t Length;
        std::uint16_t First;
    };

    // --- sub-blocks and codes
    void Gather_Sub_Blocks();
    int Read_Code();

    // --- LZW
    void Reset_Table();
    bool Is_Sound(int code) const
    {
        return code < Clear_ || (code < Next_ && code > End_ && Entries_[code].Length != 0);
    }
    int String_Length(int code) const { return code < Clear_ ? 1 : Entries_[code].Length; }
    int Root_Of(int code) const { return code < Clear_ ? code : Entries_[code].First; }
    void Add_Entry(int& next, int& limit, int& width, int old_code, int first_char, const Entry& entry);
    void Finish_Code(int in_code, int first_char);
    enum class Fetched { Code, Again, Stopped };
    template <bool Output, class Save, class Load>
    Fetched Fetch_Code(const std::uint8_t* data, std::uint64_t& bit, std::uint64_t held_end, int width, int clear,
                       int end, int& code, Stop& stop, const Save& save, const Load& load);
    template <bool Output> Stop Decode();
    Stop Decode_Copying();
    template <bool Output> bool Control_Code(int code);
    bool Decode_Slow(int code, bool output);

    // --- rows
    void Start_Rows();
    void Next_Row();
    void Put_Value(int value);
    void Put_Run(const std::uint8_t* bytes, std::size_t count);
    void Write_Chain(std::uint8_t* last, int code, int clear) const;
    void Write_Sound_String(int code, int length, bool repeat_first);
    void Flush_Mask();
    void Mark_Rest_Transparent();

    TGIFByteReader& Stream_;
    const TRasterFormat& Format_;
    TRaster& Raster_;
    const TRasterProgress* Progress_;

    // Sub-blocks, gathered.
    std::vector<std::uint8_t> Data_;
    std::vector<std::uint64_t> Block_End_Bit_;     // cumulative bits after each block
    std::vector<std::size_t> Block_End_Position_;  // stream position after each block
    std::size_t Scan_End_ = 0;                     // stream position after the terminator
    std::size_t Blocks_Taken_ = 0;
    std::uint64_t Held_End_Bit_ = 0;
    std::uint64_t Bit_ = 0;
    std::size_t Stream_Position_ = 0;
    bool Done_ = false;        // a block fetch failed: code reads that need more bits end
    bool End_Of_Data_ = false; // the image data's terminator (or the stream's end) was reached
    bool Finished_ = false;    // after the end code nothing more is read

    // LZW state.
    int Code_Size_ = 0;
    int Clear_ = 0;
    int End_ = 0;
    int Next_ = 0;
    int Width_Bits_ = 0;
    int Width_Limit_ = 0;
    int Old_Code_ = 0;
    int First_Code_ = 0;
    bool Old_Sound_ = false;
    bool Fast_ = false;  // string bytes equal their values (code size 8 or less)
    std::array<std::uint16_t, Table_Size> Prefix_{};
    std::array<std::uint16_t, Table_Size> Suffix_{};
    // Only the roots and the entries below Next_ are read; the buffers below
    // are scratch.  None of them needs clearing first.
    std::array<Entry, Table_Size> Entries_;
    std::array<std::uint8_t, 256 + Copy_Chunk> Identity_;
    std::array<std::uint32_t, Table_Size> Stack_;
    std::array<std::uint8_t, Table_Size + 1> String_;

    // Output cursor.
    const Interlace_Pass* Passes_ = nullptr;
    int Pass_Count_ = 0;
    int Pass_ = 0;
    int Row_ = 0;
    int X_ = 0;
    int Mask_From_ = 0;  // the current row's mask is done up to here
    bool Rows_Done_ = false;
    bool Cancelled_ = false;
    int Progress_Interval_ = 0;  // 0 = no progress calls
    std::uint8_t* Row_Pixels_ = nullptr;
    std::uint8_t* Row_Mask_ = nullptr;
};

void Raster_Decoder::Gather_Sub_Blocks()
{
    const std::uint8_t* bytes = Stream_.Data();
    const std::size_t size = Stream_.Size();
    std::size_t position = Stream_.Position();
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
    Data_.resize(total + 4);  // the tail lets a code load read 4 bytes anywhere
    Block_End_Bit_.reserve(count);
    Block_End_Position_.reserve(count);
    std::size_t filled = 0;
    for (;;) {
        if (position >= size) {
            Scan_End_ = size;
            break;
        }
        const std::size_t length = bytes[position++];
        if (length == 0) {
            Scan_End_ = position;
            break;
        }
        if (size - position < length) {
            // A short sub-block is a failed read: it consumes the rest, and
            // its bytes count for nothing.
            Scan_End_ = size;
            break;
        }
        std::memcpy(Data_.data() + filled, bytes + position, length);
        filled += length;
        position += length;
        Block_End_Bit_.push_back(static_cast<std::uint64_t>(filled) * 8u);
        Block_End_Position_.push_back(position);
    }
    if (Block_End_Bit_.empty()) {
        Done_ = End_Of_Data_ = true;
        Stream_Position_ = Scan_End_;
    } else {
        Blocks_Taken_ = 1;
        Held_End_Bit_ = Block_End_Bit_[0];
        Stream_Position_ = Block_End_Position_[0];
    }
}

inline int Raster_Decoder::Read_Code()
{
    if (Finished_) return -1;
    const std::uint64_t code_end = Bit_ + static_cast<unsigned>(Width_Bits_);
    if (code_end >= Held_End_Bit_) {
        // The code reaches the end of the held bits: take in the next
        // sub-block, and more while bits are still missing (1-byte
        // sub-blocks).  A failed fetch ends the data, but a code whose bits
        // are all held is still returned.
        bool fetch = !Done_;
        while (fetch) {
            if (Blocks_Taken_ == Block_End_Bit_.size()) {
                Done_ = End_Of_Data_ = true;
                Stream_Position_ = Scan_End_;
                break;
            }
            Held_End_Bit_ = Block_End_Bit_[Blocks_Taken_];
            Stream_Position_ = Block_End_Position_[Blocks_Taken_];
            ++Blocks_Taken_;
            fetch = code_end > Held_End_Bit_;
        }
        if (code_end > Held_End_Bit_) return -1;
    }
    const int code = Code_At(Data_.data(), Bit_, Width_Bits_);
    Bit_ += static_cast<unsigned>(Width_Bits_);
    return code;
}

void Raster_Decoder::Reset_Table()
{
    Width_Bits_ = Code_Size_ + 1;
    Width_Limit_ = 2 * Clear_;
    Next_ = Clear_ + 2;
}

// Table entry `next` becomes old_code's string plus first_char, with
// `entry` for the output loop, and codes widen a bit when `next` reaches the
// limit.  A full table takes nothing: codes stay 12 bits until a clear code.
// The three registers are the caller's: the members, or a loop's locals.
inline void Raster_Decoder::Add_Entry(int& next, int& limit, int& width, int old_code, int first_char,
                                      const Entry& entry)
{
    if (next >= Table_Size) return;
    Prefix_[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(old_code);
    Suffix_[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(first_char);
    Entries_[static_cast<std::size_t>(next)] = entry;
    ++next;
    if (next >= limit && limit < Table_Size) {
        limit *= 2;
        ++width;
    }
}

inline void Raster_Decoder::Finish_Code(int in_code, int first_char)
{
    const Entry made = Old_Sound_ ? Entry{No_Copy, static_cast<std::uint16_t>(String_Length(Old_Code_) + 1),
                                          static_cast<std::uint16_t>(Root_Of(Old_Code_))}
                                  : Entry{No_Copy, 0, 0};
    Add_Entry(Next_, Width_Limit_, Width_Bits_, Old_Code_, first_char, made);
    Old_Code_ = in_code;
    First_Code_ = first_char;
    Old_Sound_ = Is_Sound(in_code);
}

// The classic decoder's walk: characters pushed last first, with its two
// failure checks; false means it gave up (-2), leaving the table unchanged.
bool Raster_Decoder::Decode_Slow(int code, bool output)
{
    const int in_code = code;
    std::size_t depth = 0;
    if (code >= Next_) {
        Stack_[depth++] = static_cast<std::uint32_t>(First_Code_);
        code = Old_Code_;
    }
    while (code >= Clear_) {
        Stack_[depth++] = Suffix_[code];
        if (depth > Table_Size - 1) return false;
        if (Prefix_[code] == code) return false;
        code = Prefix_[code];
    }
    const int first_char = Suffix_[code];
    Stack_[depth++] = static_cast<std::uint32_t>(first_char);
    Finish_Code(in_code, first_char);
    if (output) {
        while (depth > 0 && !Rows_Done_ && !Cancelled_) Put_Value(static_cast<int>(Stack_[--depth]));
    }
    return true;
}

// The next code for the two decoding loops, with their registers passed in
// (save and load move them to and from the members): straight from the
// gathered data while the held bits last, otherwise through Read_Code, which
// takes in the next sub-block.  A clear code is dealt with here (Again: go
// round for the next code); the data's end or the end code stop the loop.
template <bool Output, class Save, class Load>
inline Raster_Decoder::Fetched Raster_Decoder::Fetch_Code(const std::uint8_t* data, std::uint64_t& bit,
                                                          std::uint64_t held_end, int width, int clear, int end,
                                                          int& code, Stop& stop, const Save& save, const Load& load)
{
    const std::uint64_t code_end = bit + static_cast<unsigned>(width);
    if (code_end < held_end) {
        code = Code_At(data, bit, width);
        bit = code_end;
    } else {
        save();
        code = Read_Code();
        load();
        if (code < 0) {
            save();
            stop = Stop::Data_Ended;
            return Fetched::Stopped;
        }
    }
    if (code != clear && code != end) return Fetched::Code;
    save();
    const bool more = Control_Code<Output>(code);
    load();
    if (more) return Fetched::Again;
    save();
    stop = code == end ? Stop::End_Code : Stop::Data_Ended;
    return Fetched::Stopped;
}

// The loop that only follows the codes (what is left after the rows are
// full or the table went bad), and the output loop for code sizes above 8,
// where every string goes through the classic walk.  Its registers are kept
// in locals as in Decode_Copying.
template <bool Output>
Stop Raster_Decoder::Decode()
{
    const int clear = Clear_;
    const int end = End_;
    // Quick paths only when nothing is written.
    const bool quick = Fast_ && !Output;
    const std::uint8_t* const data = Data_.data();
    const Entry* const entries = Entries_.data();

    std::uint64_t bit = 0, held_end = 0;
    int width = 0, limit = 0, next = 0, old_code = 0, first_code = 0;
    bool old_sound = false;
    bool halt = false;
    auto load = [&] {
        bit = Bit_;
        // After the end code every read goes to Read_Code, which refuses it.
        held_end = Finished_ ? 0 : Held_End_Bit_;
        halt = Cancelled_ || (Output && Rows_Done_);
        width = Width_Bits_;
        limit = Width_Limit_;
        next = Next_;
        old_code = Old_Code_;
        first_code = First_Code_;
        old_sound = Old_Sound_;
    };
    auto save = [&] {
        Bit_ = bit;
        if (!Finished_) Held_End_Bit_ = held_end;
        Width_Bits_ = width;
        Width_Limit_ = limit;
        Next_ = next;
        Old_Code_ = old_code;
        First_Code_ = first_code;
        Old_Sound_ = old_sound;
    };
    load();
    for (;;) {
        if (halt) {
            save();
            return Cancelled_ ? Stop::Cancel : Stop::Rows_Full;
        }
        int code;
        Stop stop;
        const Fetched fetched = Fetch_Code<Output>(data, bit, held_end, width, clear, end, code, stop, save, load);
        if (fetched == Fetched::Stopped) return stop;
        if (fetched == Fetched::Again) continue;
        int first_char;
        if (quick && code < next && (code < clear || entries[code].Length != 0)) {
            first_char = code < clear ? code : entries[code].First;
        } else if (quick && code >= next && old_sound) {
            // A code not yet in the table: the previous string plus its own
            // first character.
            first_char = first_code;
        } else {
            save();
            const bool ok = Decode_Slow(code, Output);
            load();
            if (!ok) {
                save();
                return Stop::Corrupt;
            }
            continue;
        }
        const Entry made =
            old_sound ? Entry{No_Copy, static_cast<std::uint16_t>((old_code < clear ? 1 : entries[old_code].Length) + 1),
                              static_cast<std::uint16_t>(old_code < clear ? old_code : entries[old_code].First)}
                      : Entry{No_Copy, 0, 0};
        Add_Entry(next, limit, width, old_code, first_char, made);
        old_code = code;
        first_code = first_char;
        old_sound = code < clear || (code < next && entries[code].Length != 0);
    }
}

// The output loop for code sizes of 8 or less.  A table entry's string is
// the previous code's string plus one byte, and both were written next to
// each other in the row: so each entry remembers where, and a sound code's
// string is copied from there instead of walked from its prefix chain.  A
// string written across a row end (or by the classic walk) leaves no such
// copy; the entries made from it walk their chain once.  Pixels are written
// once each, in order, so a remembered string is never overwritten.
//
// The decoder's registers are kept in locals: the row bytes it stores may
// alias anything, so members would be reloaded after every store.  Anything
// unusual (a refill, a clear or end code, a row end, a string that crosses a
// row, a code that is not sound) saves the locals, goes through the members,
// and loads them again.
Stop Raster_Decoder::Decode_Copying()
{
    const int clear = Clear_;
    const int end = End_;
    const int row_width = Format_.Width;
    const std::uint8_t* const data = Data_.data();
    std::uint8_t* const pixels = Raster_.Pixels.data();
    const std::uint8_t* const identity = Identity_.data();
    // A chunk may be read from an offset up to here without running off the
    // pixels (the string may lie at the end of the last buffer row).
    const std::size_t chunk_limit =
        Raster_.Pixels.size() >= Copy_Chunk ? Raster_.Pixels.size() - Copy_Chunk : 0;
    const Entry* const entries = Entries_.data();

    std::uint64_t bit = 0, held_end = 0;
    int width = 0, limit = 0, next = 0, old_code = 0, first_code = 0, x = 0, x_saved = 0;
    int old_length = 0;  // of the previous code's string; 0 when it is not sound
    bool halt = false;
    std::uint8_t* row = nullptr;
    // Where the previous code's string was written, when it was written in
    // one piece just before row + x; otherwise null.
    const std::uint8_t* old_start = nullptr;
    auto load = [&] {
        bit = Bit_;
        held_end = Finished_ ? 0 : Held_End_Bit_;
        halt = Cancelled_ || Rows_Done_;
        width = Width_Bits_;
        limit = Width_Limit_;
        next = Next_;
        old_code = Old_Code_;
        first_code = First_Code_;
        old_length = Old_Sound_ ? String_Length(Old_Code_) : 0;
        x = x_saved = X_;
        row = Row_Pixels_;
        old_start = nullptr;
    };
    auto save = [&] {
        Bit_ = bit;
        if (!Finished_) Held_End_Bit_ = held_end;
        Width_Bits_ = width;
        Width_Limit_ = limit;
        Next_ = next;
        Old_Code_ = old_code;
        First_Code_ = first_code;
        Old_Sound_ = old_length != 0;
        Raster_.Pixels_Supplied += static_cast<std::size_t>(x - x_saved);
        X_ = x_saved = x;
        Row_Pixels_ = row;
    };
    auto halted = [&] {
        save();
        return Cancelled_ ? Stop::Cancel : Stop::Rows_Full;
    };
    // The entry for the previous string plus first_char; made_at is where
    // that string now stands in one piece, or null.
    auto add_entry = [&](int first_char, const std::uint8_t* made_at) {
        Add_Entry(next, limit, width, old_code, first_char,
                  {made_at != nullptr ? static_cast<std::uint32_t>(made_at - pixels) : No_Copy,
                   static_cast<std::uint16_t>(old_length != 0 ? old_length + 1 : 0),
                   static_cast<std::uint16_t>(first_code)});
    };
    load();
    if (halt) return halted();
    for (;;) {
        int code;
        Stop stop;
        const Fetched fetched = Fetch_Code<true>(data, bit, held_end, width, clear, end, code, stop, save, load);
        if (fetched == Fetched::Stopped) return stop;
        if (fetched == Fetched::Again) {
            if (halt) return halted();
            continue;
        }
        std::uint8_t* const out = row + x;
        const int room = row_width - x;
        // The new entry's string is the previous one followed by this
        // code's first byte, at out.
        const std::uint8_t* const made_at = old_start;
        int n;
        int first_char;
        int new_old_length;
        if (code < next && entries[code].Length != 0) {
            const Entry entry = entries[code];
            n = entry.Length;
            first_char = entry.First;
            if (n > room) {
                save();
                Write_Sound_String(code, n, false);
                load();
                add_entry(first_char, made_at);
                old_code = code;
                first_code = first_char;
                old_length = n;
                if (halt) return halted();
                continue;
            }
            // Roots are copied from Identity_ (their offset is 0).
            const std::uint8_t* const from = code < clear ? identity + code : pixels + entry.Offset;
            if (entry.Offset <= chunk_limit && n <= Copy_Chunk && room >= Copy_Chunk) {
                // The whole chunk is loaded before it is stored: the bytes
                // after the string may run into out.
                std::uint8_t chunk[Copy_Chunk];
                std::memcpy(chunk, from, Copy_Chunk);
                std::memcpy(out, chunk, Copy_Chunk);
            } else if (entry.Offset != No_Copy) {
                // The string was written earlier and apart from out: in this
                // row before out, or in another row.
                std::memcpy(out, from, static_cast<std::size_t>(n));
            } else {
                Write_Chain(out + n - 1, code, clear);
            }
            add_entry(first_char, made_at);
            new_old_length = n;
        } else if (code >= next && old_length != 0) {
            // A code not yet in the table: the previous string plus its own
            // first byte.
            n = old_length + 1;
            first_char = first_code;
            if (n > room || old_start == nullptr) {
                const int previous = old_code;
                save();
                Write_Sound_String(previous, n, true);
                load();
                add_entry(first_char, made_at);
                old_code = code;
                first_code = first_char;
                old_length = code < next ? n : 0;
                if (halt) return halted();
                continue;
            }
            // The previous string stands just before out.
            if (n <= Copy_Chunk && room >= Copy_Chunk) {
                std::uint8_t chunk[Copy_Chunk];
                std::memcpy(chunk, old_start, Copy_Chunk);
                std::memcpy(out, chunk, Copy_Chunk);
            } else {
                std::memcpy(out, old_start, static_cast<std::size_t>(old_length));
            }
            out[old_length] = static_cast<std::uint8_t>(first_char);
            add_entry(first_char, made_at);
            // Only the code of the entry just made is sound now.
            new_old_length = code < next ? n : 0;
        } else {
            save();
            const bool ok = Decode_Slow(code, true);
            load();
            if (!ok) {
                save();
                return Stop::Corrupt;
            }
            if (halt) return halted();
            continue;
        }
        old_code = code;
        first_code = first_char;
        old_length = new_old_length;
        old_start = out;
        x += n;
        if (x == row_width) {
            save();
            Next_Row();
            load();
            if (halt) return halted();
        }
    }
}

// A clear or end code; false when decoding ends here.
template <bool Output>
bool Raster_Decoder::Control_Code(int code)
{
    if (code == End_) {
        if (!End_Of_Data_) {
            End_Of_Data_ = true;  // the rest of the sub-blocks is skipped
            Stream_Position_ = Scan_End_;
        }
        Finished_ = true;
        return false;
    }
    Reset_Table();
    // The code after a clear code is taken as a pixel value as it is,
    // whatever it is (even another clear code).
    const int value = Read_Code();
    Old_Code_ = First_Code_ = value;
    if (value < 0) return false;
    Old_Sound_ = value < Clear_;
    if (Output) Put_Value(value);
    return true;
}

void Raster_Decoder::Start_Rows()
{
    if (Format_.Interlaced) {
        Passes_ = Interlaced_Passes.data();
        Pass_Count_ = static_cast<int>(Interlaced_Passes.size());
    } else {
        Passes_ = Progressive_Pass.data();
        Pass_Count_ = 1;
    }
    Pass_ = 0;
    Row_ = 0;
    X_ = 0;
    Rows_Done_ = false;
    const std::size_t row = static_cast<std::size_t>(Format_.Height - 1);
    Row_Pixels_ = Raster_.Pixels.data() + row * Raster_.Row_Stride;
    Row_Mask_ = Format_.Transparent ? Raster_.Mask.data() + row * Raster_.Mask_Stride : nullptr;
}

void Raster_Decoder::Next_Row()
{
    Flush_Mask();
    Mask_From_ = 0;
    if (Progress_Interval_ != 0 && Row_ % Progress_Interval_ == 0 && !Cancelled_) {
        Stream_.Seek(Stream_Position_);
        if (!(*Progress_)()) Cancelled_ = true;
    }
    X_ = 0;
    Row_ += Passes_[Pass_].Step;
    while (Row_ >= Format_.Height) {
        // A pass whose first row lies below the picture is skipped.
        if (++Pass_ == Pass_Count_) {
            Rows_Done_ = true;
            return;
        }
        Row_ = Passes_[Pass_].Start;
    }
    const std::size_t row = static_cast<std::size_t>(Format_.Height - 1 - Row_);
    Row_Pixels_ = Raster_.Pixels.data() + row * Raster_.Row_Stride;
    if (Row_Mask_ != nullptr) Row_Mask_ = Raster_.Mask.data() + row * Raster_.Mask_Stride;
}

inline void Raster_Decoder::Put_Value(int value)
{
    Row_Pixels_[X_] = static_cast<std::uint8_t>(value);
    // The mask compares the whole value: a raw code above 255 is never the
    // transparent colour even when its low byte is, so the mask is brought
    // up to here and this pixel left out.
    if (Row_Mask_ != nullptr && value > 255 && static_cast<std::uint8_t>(value) == Format_.TransparentIndex) {
        Flush_Mask();
        Mask_From_ = X_ + 1;
    }
    ++Raster_.Pixels_Supplied;
    if (++X_ == Format_.Width) Next_Row();
}

// Sets the mask bits of the current row's pixels from Mask_From_ up to X_
// that hold the transparent index.  Rows are marked this way, a stretch at a
// time, when they are full or decoding stops, not string by string.
void Raster_Decoder::Flush_Mask()
{
    if (Row_Mask_ == nullptr) return;
    const std::uint8_t index = Format_.TransparentIndex;
    const std::uint8_t* const row = Row_Pixels_;
    std::uint8_t* const mask = Row_Mask_;
    std::size_t x = static_cast<std::size_t>(Mask_From_);
    const auto to = static_cast<std::size_t>(X_);
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
    Mask_From_ = X_;
}

void Raster_Decoder::Put_Run(const std::uint8_t* bytes, std::size_t count)
{
    while (count > 0 && !Rows_Done_) {
        const std::size_t room = static_cast<std::size_t>(Format_.Width - X_);
        const std::size_t n = count < room ? count : room;
        std::memcpy(Row_Pixels_ + X_, bytes, n);
        Raster_.Pixels_Supplied += n;
        bytes += n;
        count -= n;
        X_ += static_cast<int>(n);
        if (X_ == Format_.Width) Next_Row();
    }
}

// Writes the string of a sound code back to front from its prefix chain,
// its last byte at `last`.
inline void Raster_Decoder::Write_Chain(std::uint8_t* last, int code, int clear) const
{
    while (code >= clear) {
        *last-- = static_cast<std::uint8_t>(Suffix_[static_cast<std::size_t>(code)]);
        code = Prefix_[static_cast<std::size_t>(code)];
    }
    *last = static_cast<std::uint8_t>(code);
}

// Writes the string of a sound code (plus its first character again when
// repeat_first is set) back to front: into the row when it fits, otherwise
// into a scratch string that is then laid across rows.
inline void Raster_Decoder::Write_Sound_String(int code, int length, bool repeat_first)
{
    const std::size_t n = static_cast<std::size_t>(length);
    const bool fits = n <= static_cast<std::size_t>(Format_.Width - X_);
    std::uint8_t* const start = fits ? Row_Pixels_ + X_ : String_.data();
    std::uint8_t* last = start + n - 1;
    if (repeat_first) *last-- = static_cast<std::uint8_t>(First_Code_);
    Write_Chain(last, code, Clear_);
    if (!fits) {
        Put_Run(String_.data(), n);
        return;
    }
    Raster_.Pixels_Supplied += n;
    X_ += length;
    if (X_ == Format_.Width) Next_Row();
}

// Pixels the stream did not supply are transparent, in the same row order.
void Raster_Decoder::Mark_Rest_Transparent()
{
    Progress_Interval_ = 0;
    while (!Rows_Done_) {
        for (int x = X_; x < Format_.Width; ++x) Row_Mask_[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
        Next_Row();
    }
}

TRasterOutcome Raster_Decoder::Run()
{
    std::uint8_t code_size = 0;
    const bool have_code_size = Stream_.Read_Byte(code_size);
    if (have_code_size && code_size > GIF_Max_Code_Size) return TRasterOutcome::Refused;
    if (Format_.Width < 1 || Format_.Height < 1 || Format_.Width > GIF_Max_Frame_Side ||
        Format_.Height > GIF_Max_Frame_Side) {
        return TRasterOutcome::Refused;
    }

    Raster_.Row_Stride = GIF_Row_Stride(Format_.Width);
    Raster_.Mask_Stride = Format_.Transparent ? GIF_Mask_Stride(Format_.Width) : 0;
    std::size_t pixel_bytes = 0;
    std::size_t mask_bytes = 0;
    std::size_t pixel_count = 0;
    const auto height = static_cast<std::size_t>(Format_.Height);
    if (!Multiply_Fits(height, Raster_.Row_Stride, pixel_bytes) ||
        !Multiply_Fits(height, Raster_.Mask_Stride, mask_bytes) ||
        !Multiply_Fits(height, static_cast<std::size_t>(Format_.Width), pixel_count)) {
        return TRasterOutcome::Too_Large;
    }
    try {
        Raster_.Pixels.assign(pixel_bytes, 0);
        Raster_.Mask.assign(mask_bytes, 0);
    } catch (const std::bad_alloc&) {
        Raster_.Pixels = {};
        Raster_.Mask = {};
        return TRasterOutcome::Too_Large;
    }
    Raster_.Pixels_Supplied = 0;
    Start_Rows();
    if (Progress_ != nullptr && *Progress_ && pixel_count > 100000) {
        Progress_Interval_ = Format_.Width <= 320 ? 64 : 32;
    }

    TRasterOutcome outcome = TRasterOutcome::Data_Ended;
    if (have_code_size) {
        Code_Size_ = code_size;
        Clear_ = 1 << Code_Size_;
        End_ = Clear_ + 1;
        Fast_ = Code_Size_ <= 8;
        for (int i = 0; i < Clear_; ++i) {
            Suffix_[i] = static_cast<std::uint16_t>(i);
            Entries_[static_cast<std::size_t>(i)] = {0, 1, static_cast<std::uint16_t>(i)};
        }
        Entries_[static_cast<std::size_t>(Clear_)] = Entries_[static_cast<std::size_t>(End_)] = {No_Copy, 0, 0};
        for (int i = 0; i < 256; ++i) Identity_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        Reset_Table();
        Gather_Sub_Blocks();

        // Leading clear codes are skipped; the first other code is a pixel
        // value as it is.
        int first = Read_Code();
        while (first == Clear_) first = Read_Code();
        Stop stop = Stop::Data_Ended;
        if (first >= 0) {
            Old_Code_ = First_Code_ = first;
            Old_Sound_ = first < Clear_;
            Put_Value(first);
            stop = Fast_ ? Decode_Copying() : Decode<true>();
            // Chunk copies may have run past the last byte written.
            if (!Rows_Done_) {
                Flush_Mask();
                const int end = std::min(Format_.Width, X_ + Copy_Chunk);
                std::fill(Row_Pixels_ + X_, Row_Pixels_ + end, std::uint8_t{0});
            }
        }
        // Whatever is left of the image data is decoded without output, so
        // the stream ends up where the data really ends.
        if (stop == Stop::Rows_Full || stop == Stop::Corrupt) {
            if (!Cancelled_) Decode<false>();
        }
        if (Cancelled_) {
            outcome = TRasterOutcome::Cancelled;
        } else if (Raster_.Pixels_Supplied == pixel_count) {
            outcome = TRasterOutcome::Complete;
        } else if (stop == Stop::End_Code) {
            outcome = TRasterOutcome::Early_End_Code;
        } else if (stop == Stop::Corrupt) {
            outcome = TRasterOutcome::Corrupt_Table;
        }
        Stream_.Seek(Stream_Position_);
    }
    if (outcome != TRasterOutcome::Cancelled && Format_.Transparent &&
        Raster_.Pixels_Supplied < pixel_count) {
        Mark_Rest_Transparent();
    }
    return outcome;
}

}  // namespace

TRasterOutcome DecodeRaster(TGIFByteReader& stream, const TRasterFormat& format, TRaster& raster,
                            const TRasterProgress* progress)
{
    raster = TRaster{};
    std::unique_ptr<Raster_Decoder> decoder;
    try {
        decoder = std::make_unique<Raster_Decoder>(stream, format, raster, progress);
    } catch (const std::bad_alloc&) {
        raster.Outcome = TRasterOutcome::Too_Large;
        return raster.Outcome;
    }
    raster.Outcome = decoder->Run();
    return raster.Outcome;
}

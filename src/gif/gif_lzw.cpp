// The LZW raster decoder's loops: the code stream followed, each string
// written into the rows, and what a clear or end code does.  Its parts and
// why it works as it does: gif_lzw_decoder.h.
#include <memory>
#include <new>

#include "gif/gif_lzw_decoder.h"

namespace velbrook {
namespace gif_lzw {

[[gnu::always_inline]] inline void Raster_Decoder::Load_Common(Loop_Registers& r) const {
    r.data = data_.data();
    r.clear = clear_;
    r.end = end_;
    r.bit = bit_;
    // After the end code every read goes to Read_Code, which refuses it.
    r.held_end = finished_ ? 0 : held_end_bit_;
    r.width = width_bits_;
    r.limit = width_limit_;
    r.next = next_;
    r.old_code = old_code_;
    r.first_code = first_code_;
}

[[gnu::always_inline]] inline void Raster_Decoder::Save_Common(const Loop_Registers& r) {
    bit_ = r.bit;
    if (!finished_) held_end_bit_ = r.held_end;
    width_bits_ = r.width;
    width_limit_ = r.limit;
    next_ = r.next;
    old_code_ = r.old_code;
    first_code_ = r.first_code;
}

template <bool Output>
[[gnu::always_inline]] inline void Raster_Decoder::Load(Walk_Registers& r) const {
    Load_Common(r);
    r.halt = cancelled_ || (Output && rows_done_);
    r.old_sound = old_sound_;
}

[[gnu::always_inline]] inline void Raster_Decoder::Save(const Walk_Registers& r) {
    Save_Common(r);
    old_sound_ = r.old_sound;
}

template <bool Output>
[[gnu::always_inline]] inline void Raster_Decoder::Load(Copy_Registers& r) const {
    static_assert(Output, "the copying loop always writes");
    Load_Common(r);
    r.halt = cancelled_ || rows_done_;
    r.pixels = raster_.pixels.data();
    r.chunk_limit = raster_.pixels.size() >= Copy_Chunk ? raster_.pixels.size() - Copy_Chunk : 0;
    r.row_width = format_.width;
    r.old_length = old_sound_ ? String_Length(old_code_) : 0;
    r.x = r.x_saved = x_;
    r.row = row_pixels_;
    r.old_start = nullptr;
}

[[gnu::always_inline]] inline void Raster_Decoder::Save(Copy_Registers& r) {
    Save_Common(r);
    old_sound_ = r.old_length != 0;
    raster_.pixels_supplied += static_cast<std::size_t>(r.x - r.x_saved);
    x_ = r.x_saved = r.x;
    row_pixels_ = r.row;
}

// The next code for the two decoding loops: straight from the gathered data
// while the held bits last, otherwise through Read_Code, which takes in the
// next sub-block.  A clear code is dealt with here (Again: go round for the
// next code); the data's end or the end code stop the loop.
template <bool Output, class Registers>
[[gnu::always_inline]] inline Raster_Decoder::Fetched Raster_Decoder::Fetch_Code(Registers& r, int& code, Stop& stop) {
    const std::uint64_t code_end = r.bit + static_cast<unsigned>(r.width);
    if (code_end < r.held_end) {
        code = Code_At(r.data, r.bit, r.width);
        r.bit = code_end;
    } else {
        Save(r);
        code = Read_Code();
        Load<Output>(r);
        if (code < 0) {
            Save(r);
            stop = Stop::Data_Ended;
            return Fetched::Stopped;
        }
    }
    if (code != r.clear && code != r.end) return Fetched::Code;
    Save(r);
    const bool more = Control_Code<Output>(code);
    Load<Output>(r);
    if (more) return Fetched::Again;
    Save(r);
    stop = code == r.end ? Stop::End_Code : Stop::Data_Ended;
    return Fetched::Stopped;
}

// A clear or end code; false when decoding ends here.
template <bool Output>
bool Raster_Decoder::Control_Code(int code) {
    if (code == end_) {
        if (!end_of_data_) {
            end_of_data_ = true;  // the rest of the sub-blocks is skipped
            stream_position_ = scan_end_;
        }
        finished_ = true;
        return false;
    }
    Reset_Table();
    // The code after a clear code is taken as a pixel value as it is,
    // whatever it is (even another clear code).
    const int value = Read_Code();
    old_code_ = first_code_ = value;
    if (value < 0) return false;
    old_sound_ = value < clear_;
    if (Output) Put_Value(value);
    return true;
}

// The loop that only follows the codes (what is left after the rows are
// full or the table went bad), and the output loop for code sizes above 8,
// where every string goes through the classic walk.
template <bool Output>
Stop Raster_Decoder::Decode() {
    // Quick paths only when nothing is written.
    const bool quick = fast_ && !Output;
    const Entry* const entries = entries_.data();
    Walk_Registers r;
    Load<Output>(r);
    for (;;) {
        if (r.halt) {
            Save(r);
            return cancelled_ ? Stop::Cancel : Stop::Rows_Full;
        }
        int code;
        Stop stop;
        const Fetched fetched = Fetch_Code<Output>(r, code, stop);
        if (fetched == Fetched::Stopped) return stop;
        if (fetched == Fetched::Again) continue;
        int first_char;
        if (quick && code < r.next && (code < r.clear || entries[code].length != 0)) {
            first_char = code < r.clear ? code : entries[code].first;
        } else if (quick && code >= r.next && r.old_sound) {
            // A code not yet in the table: the previous string plus its own
            // first character.
            first_char = r.first_code;
        } else {
            Save(r);
            const bool ok = Decode_Slow(code, Output);
            Load<Output>(r);
            if (!ok) {
                Save(r);
                return Stop::Corrupt;
            }
            continue;
        }
        const int old = r.old_code;
        const Entry made =
            r.old_sound ? Entry{No_Copy, static_cast<std::uint16_t>((old < r.clear ? 1 : entries[old].length) + 1),
                                static_cast<std::uint16_t>(old < r.clear ? old : entries[old].first)}
                        : Entry{No_Copy, 0, 0};
        Add_Entry(r.next, r.limit, r.width, old, first_char, made);
        r.old_code = code;
        r.first_code = first_char;
        r.old_sound = code < r.clear || (code < r.next && entries[code].length != 0);
    }
}

// The entry for the previous string plus first_char; made_at is where that
// string now stands in one piece, or null.
[[gnu::always_inline]] inline void Raster_Decoder::Add_Copy_Entry(Copy_Registers& r, int first_char,
                                                                  const std::uint8_t* made_at) {
    Add_Entry(r.next, r.limit, r.width, r.old_code, first_char,
              {made_at != nullptr ? static_cast<std::uint32_t>(made_at - r.pixels) : No_Copy,
               static_cast<std::uint16_t>(r.old_length != 0 ? r.old_length + 1 : 0),
               static_cast<std::uint16_t>(r.first_code)});
}

// A code whose entry is sound: its n bytes copied from where the string was
// last written whole (roots from identity_, whose offset is 0), or walked
// from its chain when there is no such copy.  False when the string crossed
// a row end and went through the members.
[[gnu::always_inline]] inline bool Raster_Decoder::Copy_Sound_String(Copy_Registers& r, int code, int& n) {
    const Entry entry = entries_[static_cast<std::size_t>(code)];
    n = entry.length;
    const int first_char = entry.first;
    // The new entry's string is the previous one followed by this code's
    // first byte, at out.
    const std::uint8_t* const made_at = r.old_start;
    std::uint8_t* const out = r.row + r.x;
    const int room = r.row_width - r.x;
    const bool in_place = n <= room;
    if (!in_place) {
        Save(r);
        Write_Sound_String(code, n, false);
        Load<true>(r);
    } else {
        const std::uint8_t* const from = code < r.clear ? identity_.data() + code : r.pixels + entry.offset;
        if (entry.offset <= r.chunk_limit && n <= Copy_Chunk && room >= Copy_Chunk) {
            // The whole chunk is loaded before it is stored: the bytes after
            // the string may run into out.
            std::uint8_t chunk[Copy_Chunk];
            std::memcpy(chunk, from, Copy_Chunk);
            std::memcpy(out, chunk, Copy_Chunk);
        } else if (entry.offset != No_Copy) {
            // The string was written earlier and apart from out: in this row
            // before out, or in another row.
            std::memcpy(out, from, static_cast<std::size_t>(n));
        } else {
            Write_Chain(out + n - 1, code, r.clear);
        }
    }
    Add_Copy_Entry(r, first_char, made_at);
    r.old_code = code;
    r.first_code = first_char;
    r.old_length = n;
    return in_place;
}

// A code not yet in the table: the previous string plus its own first byte,
// n bytes, copied from just before out where the previous string stands.
// False when the string went through the members instead.
[[gnu::always_inline]] inline bool Raster_Decoder::Copy_New_String(Copy_Registers& r, int code, int& n) {
    n = r.old_length + 1;
    const int first_char = r.first_code;
    const std::uint8_t* const made_at = r.old_start;
    std::uint8_t* const out = r.row + r.x;
    const int room = r.row_width - r.x;
    const bool in_place = n <= room && r.old_start != nullptr;
    if (!in_place) {
        const int previous = r.old_code;
        Save(r);
        Write_Sound_String(previous, n, true);
        Load<true>(r);
    } else {
        if (n <= Copy_Chunk && room >= Copy_Chunk) {
            std::uint8_t chunk[Copy_Chunk];
            std::memcpy(chunk, r.old_start, Copy_Chunk);
            std::memcpy(out, chunk, Copy_Chunk);
        } else {
            std::memcpy(out, r.old_start, static_cast<std::size_t>(r.old_length));
        }
        out[r.old_length] = static_cast<std::uint8_t>(first_char);
    }
    Add_Copy_Entry(r, first_char, made_at);
    r.old_code = code;
    r.first_code = first_char;
    // Only the code of the entry just made is sound now.
    r.old_length = code < r.next ? n : 0;
    return in_place;
}

[[gnu::always_inline]] inline Stop Raster_Decoder::Halted(Copy_Registers& r) {
    Save(r);
    return cancelled_ ? Stop::Cancel : Stop::Rows_Full;
}

// The output loop for code sizes of 8 or less.  A table entry's string is
// the previous code's string plus one byte, and both were written next to
// each other in the row: so each entry remembers where, and a sound code's
// string is copied from there instead of walked from its prefix chain.  A
// string written across a row end (or by the classic walk) leaves no such
// copy; the entries made from it walk their chain once.  Pixels are written
// once each, in order, so a remembered string is never overwritten.
Stop Raster_Decoder::Decode_Copying() {
    Copy_Registers r;
    Load<true>(r);
    if (r.halt) return Halted(r);
    for (;;) {
        int code;
        Stop stop;
        const Fetched fetched = Fetch_Code<true>(r, code, stop);
        if (fetched == Fetched::Stopped) return stop;
        if (fetched == Fetched::Again) {
            if (r.halt) return Halted(r);
            continue;
        }
        int n = 0;
        bool in_place;
        if (code < r.next && entries_[static_cast<std::size_t>(code)].length != 0) {
            in_place = Copy_Sound_String(r, code, n);
        } else if (code >= r.next && r.old_length != 0) {
            in_place = Copy_New_String(r, code, n);
        } else {
            Save(r);
            const bool ok = Decode_Slow(code, true);
            Load<true>(r);
            if (!ok) {
                Save(r);
                return Stop::Corrupt;
            }
            in_place = false;
        }
        if (!in_place) {
            if (r.halt) return Halted(r);
            continue;
        }
        r.old_start = r.row + r.x;
        r.x += n;
        if (r.x == r.row_width) {
            Save(r);
            Next_Row();
            Load<true>(r);
            if (r.halt) return Halted(r);
        }
    }
}

// Leading clear codes are skipped; the first other code is a pixel value as
// it is.  Whatever is left of the image data after the rows are full (or
// the table went bad) is decoded without output, so the stream ends up
// where the data really ends.
Stop Raster_Decoder::Decode_All() {
    int first = Read_Code();
    while (first == clear_) first = Read_Code();
    Stop stop = Stop::Data_Ended;
    if (first >= 0) {
        old_code_ = first_code_ = first;
        old_sound_ = first < clear_;
        Put_Value(first);
        stop = fast_ ? Decode_Copying() : Decode<true>();
        Clear_Past_Last_Pixel();
    }
    if ((stop == Stop::Rows_Full || stop == Stop::Corrupt) && !cancelled_) Decode<false>();
    return stop;
}

Raster_Outcome Raster_Decoder::Run() {
    std::uint8_t code_size = 0;
    const bool have_code_size = stream_.Read_Byte(code_size);
    if (have_code_size && code_size > Gif_Max_Code_Size) return Raster_Outcome::Refused;
    if (format_.width < 1 || format_.height < 1 || format_.width > Gif_Max_Frame_Side ||
        format_.height > Gif_Max_Frame_Side) {
        return Raster_Outcome::Refused;
    }
    std::size_t pixel_count = 0;
    if (!Allocate_Rows(pixel_count)) return Raster_Outcome::Too_Large;
    Start_Rows();
    if (progress_ != nullptr && *progress_ && pixel_count > 100000) {
        progress_interval_ = format_.width <= 320 ? 64 : 32;
    }

    Raster_Outcome outcome = Raster_Outcome::Data_Ended;
    if (have_code_size) {
        Start_Table(code_size);
        Gather_Sub_Blocks();
        const Stop stop = Decode_All();
        if (cancelled_) {
            outcome = Raster_Outcome::Cancelled;
        } else if (raster_.pixels_supplied == pixel_count) {
            outcome = Raster_Outcome::Complete;
        } else if (stop == Stop::End_Code) {
            outcome = Raster_Outcome::Early_End_Code;
        } else if (stop == Stop::Corrupt) {
            outcome = Raster_Outcome::Corrupt_Table;
        }
        stream_.Seek(stream_position_);
    }
    if (outcome != Raster_Outcome::Cancelled && format_.transparent && raster_.pixels_supplied < pixel_count) {
        Mark_Rest_Transparent();
    }
    return outcome;
}

}  // namespace gif_lzw

Raster_Outcome DecodeRaster(Gif_Byte_Reader& stream, const Raster_Format& format, Gif_Raster& raster,
                            const Raster_Progress* progress) {
    raster = Gif_Raster{};
    std::unique_ptr<gif_lzw::Raster_Decoder> decoder;
    try {
        decoder = std::make_unique<gif_lzw::Raster_Decoder>(stream, format, raster, progress);
    } catch (const std::bad_alloc&) {
        raster.outcome = Raster_Outcome::Too_Large;
        return raster.outcome;
    }
    raster.outcome = decoder->Run();
    return raster.outcome;
}

}  // namespace velbrook

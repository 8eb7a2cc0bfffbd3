#include "picture/jpeg_rows.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <jerror.h>

#include "picture/jpeg_decode.h"
#include "picture/jpeg_guarded.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

constexpr std::size_t Chunk_Bytes = 64 * 1024;

using jpeg_detail::Refuse;

// The next byte of a source, a chunk read at a time; -1 at the end.
class Byte_Reader {
public:
    explicit Byte_Reader(Byte_Source& source) : source_(source) {}
    int Next() {
        if (at_ == length_ && !Refill()) return -1;
        return chunk_[at_++];
    }
    // Moves to the next 0xFF byte (which Next then gives); false at the end.
    bool Find_Ff() {
        for (;;) {
            if (at_ == length_ && !Refill()) return false;
            const void* found = std::memchr(chunk_ + at_, 0xFF, length_ - at_);
            if (found) {
                at_ = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - chunk_);
                return true;
            }
            at_ = length_;
        }
    }
    bool Skip(std::size_t count) {
        while (count > 0) {
            if (at_ == length_ && !Refill()) return false;
            const std::size_t step = std::min(count, length_ - at_);
            at_ += step;
            count -= step;
        }
        return true;
    }
    // The bytes given so far, from the start of the source.
    std::uint64_t Position() const { return before_ + at_; }

private:
    bool Refill() {
        before_ += length_;
        at_ = 0;
        length_ = source_.Read(chunk_, sizeof chunk_);
        return length_ > 0;
    }

    Byte_Source& source_;
    std::uint8_t chunk_[Chunk_Bytes];
    std::size_t at_ = 0, length_ = 0;
    std::uint64_t before_ = 0;  // the bytes of the chunks before this one
};

}  // namespace

// libjpeg's source manager over a Byte_Source.  At the end of the bytes it
// warns that the data ended and hands libjpeg an end-of-image marker, as
// libjpeg's own file source does: the rest of the picture then comes grey.
// (Named, not file-local: Jpeg_Rows::State holds one.)
namespace jpeg_detail {
struct Source_Manager {
    jpeg_source_mgr base;  // first, so that libjpeg's pointer to it is ours too
    Byte_Source* bytes;
    JOCTET chunk[Chunk_Bytes];
};
}  // namespace jpeg_detail

namespace {

using jpeg_detail::Source_Manager;

void Init_Source(j_decompress_ptr) {}
void Term_Source(j_decompress_ptr) {}

boolean Fill_Input_Buffer(j_decompress_ptr info) {
    auto* source = reinterpret_cast<Source_Manager*>(info->src);
    std::size_t length = source->bytes->Read(source->chunk, sizeof source->chunk);
    if (length == 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        source->chunk[0] = 0xFF;
        source->chunk[1] = JPEG_EOI;
        length = 2;
    }
    source->base.next_input_byte = source->chunk;
    source->base.bytes_in_buffer = length;
    return TRUE;
}

void Skip_Input_Data(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* source = info->src;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        Fill_Input_Buffer(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

}  // namespace

std::size_t Span_Source::Read(std::uint8_t* into, std::size_t size) noexcept {
    const std::size_t count = std::min(size, bytes_.size() - at_);
    if (count > 0) std::memcpy(into, bytes_.data() + at_, count);
    at_ += count;
    return count;
}

Jpeg_Markers Walk_Jpeg_Markers(Byte_Source& source, std::uint64_t* length) {
    Byte_Reader in(source);
    if (in.Next() != 0xFF || in.Next() != 0xD8) return Jpeg_Markers::Cut_Short;
    int scans = 0;
    for (;;) {
        // Inside a scan, and between segments where libjpeg skips stray
        // bytes, only 0xFF can begin a marker; 0xFF 0x00 is a stuffed byte,
        // 0xFF 0xD0-0xD7 a restart marker, more 0xFF bytes are fill.
        if (!in.Find_Ff()) return Jpeg_Markers::Cut_Short;
        int code = in.Next();
        do {
            code = in.Next();
        } while (code == 0xFF);
        if (code < 0) return Jpeg_Markers::Cut_Short;
        if (code == 0x00 || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;
        if (code == 0xD9) {
            if (length) *length = in.Position();
            return Jpeg_Markers::Whole;
        }
        // A second start marker: another picture, this one unfinished.
        if (code == 0xD8) return Jpeg_Markers::Cut_Short;
        if (code == 0xDA && ++scans > Max_Jpeg_Scans) return Jpeg_Markers::Too_Many_Scans;
        const int high = in.Next(), low = in.Next();
        if (low < 0) return Jpeg_Markers::Cut_Short;
        const int length = high << 8 | low;
        if (length < 2 || !in.Skip(static_cast<std::size_t>(length - 2))) return Jpeg_Markers::Cut_Short;
    }
}

void Require_Whole_Jpeg(Byte_Source& source) {
    switch (Walk_Jpeg_Markers(source)) {
        case Jpeg_Markers::Whole:
            return;
        case Jpeg_Markers::Cut_Short:
            throw Invalid_Picture(L"the file ends before its picture does");
        case Jpeg_Markers::Too_Many_Scans:
            throw Invalid_Picture(L"the file holds more scans than any encoder writes");
    }
}

struct Jpeg_Rows::State {
    Source_Manager source{};
    jpeg_detail::Jpeg_Session session;
    JSAMPARRAY ink = nullptr;
    bool started = false;
    bool failed = false;  // libjpeg gave up: the rest is grey
};

Jpeg_Rows::Jpeg_Rows(Byte_Source& source, int target_w, int target_h) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.source.base.init_source = Init_Source;
    s.source.base.fill_input_buffer = Fill_Input_Buffer;
    s.source.base.skip_input_data = Skip_Input_Data;
    s.source.base.resync_to_restart = jpeg_resync_to_restart;
    s.source.base.term_source = Term_Source;
    s.source.bytes = &source;
    if (!jpeg_detail::Guarded_Open_Source(&s.session, &s.source.base, static_cast<long>(Max_Decoded_Bytes)))
        Refuse(s.session.error.message);
    const int denominator = Choose_Jpeg_Scale(Stored_Width(), Stored_Height(), target_w, target_h);
    if (!jpeg_detail::Guarded_Prepare(&s.session, denominator,
                                      jpeg_detail::Output_Space(s.session.info.jpeg_color_space)))
        Refuse(s.session.error.message);
    if (Width() <= 0 || Height() <= 0) Refuse("the picture has no pixels");
    // From here on, data that ends early is drawn as libjpeg fills it (with
    // arithmetic coding, which has no floor to bound the work, grey at once).
    s.session.error.accept_early_end = Least_Data_Bytes() > 0;
}

Jpeg_Rows::~Jpeg_Rows() = default;

int Jpeg_Rows::Stored_Width() const { return static_cast<int>(state_->session.info.image_width); }
int Jpeg_Rows::Stored_Height() const { return static_cast<int>(state_->session.info.image_height); }
int Jpeg_Rows::Width() const { return static_cast<int>(state_->session.info.output_width); }
int Jpeg_Rows::Height() const { return static_cast<int>(state_->session.info.output_height); }

std::uint64_t Jpeg_Rows::Least_Data_Bytes() const { return jpeg_detail::Least_Data_Bytes(state_->session.info); }

bool Jpeg_Rows::Damaged() const { return state_->failed || state_->session.error.ended_early; }

int Jpeg_Rows::Scans_Read() const { return state_->session.info.input_scan_number; }

void Jpeg_Rows::Read(std::uint8_t* rows, std::size_t stride, int count) {
    State& s = *state_;
    int done = 0;
    if (!s.failed && !s.started) {
        s.started = jpeg_detail::Guarded_Start(&s.session, &s.ink);
        s.failed = !s.started;
    }
    if (!s.failed) {
        const JDIMENSION before = s.session.info.output_scanline;
        s.failed = !jpeg_detail::Guarded_Read(&s.session, rows, stride, count, s.ink);
        done = static_cast<int>(s.session.info.output_scanline - before);
    }
    const std::size_t row_bytes = static_cast<std::size_t>(Width()) * 3;
    for (int k = std::max(0, done); k < count; ++k)
        std::memset(rows + stride * static_cast<std::size_t>(k), 0x80, row_bytes);
    next_ += count;
}

}  // namespace velbrook

#pragma once
// The only place where libjpeg runs.  libjpeg reports errors by calling back;
// a C++ exception must not cross its C frames (mingw's unwinder cannot), so
// its errors come back here by longjmp.  Each Guarded_* function sets its own
// jump point, holds no object with a destructor, and answers true or false;
// the C++ caller then reads Jpeg_Session::error.message and throws.

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

#if !defined(JCS_EXTENSIONS)
#error "Velbrook decodes straight into BGR, which needs libjpeg-turbo's extended colour spaces"
#endif

namespace velbrook::jpeg_detail {

struct Guard_Error {
    jpeg_error_mgr base;  // first, so that libjpeg's pointer to it is ours too
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // Read in bands, a picture whose data ends early or hits a marker inside
    // a scan is drawn as libjpeg fills it (grey); read whole, it is refused.
    bool accept_early_end = false;
    bool ended_early = false;
};

// Owns one decompressor for the length of one decode; jpeg_destroy is safe on
// a struct that was never fully created, so the destructor needs no flag.
// libjpeg calls the progress monitor between the steps of its reading, with
// the number of the last scan it has begun: a file with more scans than
// Max_Jpeg_Scans stops there as an error, whichever way it is read.
struct Jpeg_Session {
    jpeg_decompress_struct info{};
    Guard_Error error{};
    jpeg_progress_mgr progress{};

    Jpeg_Session() = default;
    Jpeg_Session(const Jpeg_Session&) = delete;
    Jpeg_Session& operator=(const Jpeg_Session&) = delete;
    ~Jpeg_Session() { jpeg_destroy_decompress(&info); }
};

// The colour space rows are decoded into: BGR, or CMYK that the rows are
// converted from (libjpeg turns YCCK into CMYK itself).
inline J_COLOR_SPACE Output_Space(J_COLOR_SPACE file_space) {
    return file_space == JCS_CMYK || file_space == JCS_YCCK ? JCS_CMYK : JCS_EXT_BGR;
}

// The fewest bytes of data a whole picture of the header's size needs:
// Huffman coding spends at least one bit on every 8 x 8 block of every
// component.  0 for arithmetic coding, which has no such floor.  Valid once
// the header is read.
inline std::uint64_t Least_Data_Bytes(const jpeg_decompress_struct& info) {
    if (info.arith_code) return 0;
    std::uint64_t blocks = 0;
    for (int c = 0; c < info.num_components; ++c)
        blocks += std::uint64_t{info.comp_info[c].width_in_blocks} * info.comp_info[c].height_in_blocks;
    return blocks / 8;
}

// Creates the decompressor over the bytes (which must outlive the session)
// and reads the header.
bool Guarded_Open(Jpeg_Session* session, const std::uint8_t* data, std::size_t size, long max_library_memory);

// The same over a source manager of the caller's (which must outlive the
// session) instead of bytes in memory.
bool Guarded_Open_Source(Jpeg_Session* session, jpeg_source_mgr* source, long max_library_memory);

// Chooses the scale 1/denominator and the output colour space, and computes
// the output size into session->info.output_width/height.
bool Guarded_Prepare(Jpeg_Session* session, int denominator, J_COLOR_SPACE out_space);

// Decodes every row into pixels (rows of `stride` bytes, top-down, BGR).
// With a CMYK output space the rows are converted from (Adobe-inverted when
// the file says so) CMYK.
bool Guarded_Decode(Jpeg_Session* session, std::uint8_t* pixels, std::size_t stride);

// Starts the decompressor for reading rows; `ink` receives a row buffer of
// libjpeg's own for CMYK output (null otherwise).
bool Guarded_Start(Jpeg_Session* session, JSAMPARRAY* ink);

// Reads the next `count` rows into pixels (rows of `stride` bytes, BGR), as
// Guarded_Decode does for all of them.
bool Guarded_Read(Jpeg_Session* session, std::uint8_t* pixels, std::size_t stride, int count, JSAMPARRAY ink);

// Throws Invalid_Picture: "The JPEG picture cannot be read: " and the reason
// (libjpeg's message, or one of our own).  For the C++ callers of the
// functions above, once they have returned; it lives in jpeg_decode.cpp.
[[noreturn]] void Refuse(const char* reason);

}  // namespace velbrook::jpeg_detail

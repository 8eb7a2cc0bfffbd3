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
};

// Owns one decompressor for the length of one decode; jpeg_destroy is safe on
// a struct that was never fully created, so the destructor needs no flag.
struct Jpeg_Session {
    jpeg_decompress_struct info{};
    Guard_Error error{};

    Jpeg_Session() = default;
    Jpeg_Session(const Jpeg_Session&) = delete;
    Jpeg_Session& operator=(const Jpeg_Session&) = delete;
    ~Jpeg_Session() { jpeg_destroy_decompress(&info); }
};

// Creates the decompressor over the bytes (which must outlive the session)
// and reads the header.
bool Guarded_Open(Jpeg_Session* session, const std::uint8_t* data, std::size_t size,
                  long max_library_memory);

// Chooses the scale 1/denominator and the output colour space, and computes
// the output size into session->info.output_width/height.
bool Guarded_Prepare(Jpeg_Session* session, int denominator, J_COLOR_SPACE out_space);

// Decodes every row into pixels (rows of `stride` bytes, top-down, BGR).
// With a CMYK output space the rows are converted from (Adobe-inverted when
// the file says so) CMYK.
bool Guarded_Decode(Jpeg_Session* session, std::uint8_t* pixels, std::size_t stride);

}  // namespace velbrook::jpeg_detail

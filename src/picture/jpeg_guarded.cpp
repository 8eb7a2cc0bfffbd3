#include "picture/jpeg_guarded.h"

#include <jerror.h>

#include <algorithm>
#include <cstring>

#include "picture/cmyk_to_bgr.h"
#include "picture/jpeg_decode.h"

namespace velbrook::jpeg_detail {
namespace {

// Called by libjpeg on a fatal error: keep the text, then leave libjpeg.
[[noreturn]] void On_Error(j_common_ptr common) {
    auto* error = reinterpret_cast<Guard_Error*>(common->err);
    (*common->err->format_message)(common, error->message);
    std::longjmp(error->jump, 1);
}

// Warnings are dropped (real photos often carry a few stray bytes and still
// show), except the two that say the data ended early, in the file or inside
// a scan: libjpeg would pad the missing part with grey and call it a picture,
// and we would print that.
void On_Message(j_common_ptr common, int level) {
    if (level < 0) {
        const int code = common->err->msg_code;
        if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) {
            auto* error = reinterpret_cast<Guard_Error*>(common->err);
            if (!error->accept_early_end) On_Error(common);
            error->ended_early = true;
        }
        ++common->err->num_warnings;
    }
}

// libjpeg's default would print to stderr, which a Windows program lacks.
void On_Output(j_common_ptr) {}

// Called before each step of input; the scan number counts the start-of-scan
// markers libjpeg has read, so the one past the limit stops before its data
// is decoded.
void On_Progress(j_common_ptr common) {
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number <= Max_Jpeg_Scans) return;
    auto* error = reinterpret_cast<Guard_Error*>(common->err);
    static constexpr char Reason[] = "the file holds more scans than any encoder writes";
    static_assert(sizeof Reason <= sizeof error->message);
    std::memcpy(error->message, Reason, sizeof Reason);
    std::longjmp(error->jump, 1);
}

void Install_Handlers(Jpeg_Session* session) {
    session->info.err = jpeg_std_error(&session->error.base);
    session->error.base.error_exit = On_Error;
    session->error.base.emit_message = On_Message;
    session->error.base.output_message = On_Output;
}

// After jpeg_create_decompress, which clears every field but the error manager.
void Install_Progress(Jpeg_Session* session) {
    session->progress.progress_monitor = On_Progress;
    session->info.progress = &session->progress;
}

}  // namespace

bool Guarded_Open(Jpeg_Session* session, const std::uint8_t* data, std::size_t size, long max_library_memory) {
    jpeg_decompress_struct* info = &session->info;
    Install_Handlers(session);
    if (setjmp(session->error.jump)) return false;

    jpeg_create_decompress(info);
    Install_Progress(session);
    // Beyond this, libjpeg asks for a backing store it does not have and fails
    // cleanly, instead of trying a huge allocation for a forged progressive file.
    info->mem->max_memory_to_use = max_library_memory;
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    jpeg_read_header(info, TRUE);
    return true;
}

bool Guarded_Open_Source(Jpeg_Session* session, jpeg_source_mgr* source, long max_library_memory) {
    jpeg_decompress_struct* info = &session->info;
    Install_Handlers(session);
    if (setjmp(session->error.jump)) return false;

    jpeg_create_decompress(info);
    Install_Progress(session);
    info->mem->max_memory_to_use = max_library_memory;
    info->src = source;
    jpeg_read_header(info, TRUE);
    return true;
}

bool Guarded_Prepare(Jpeg_Session* session, int denominator, J_COLOR_SPACE out_space) {
    jpeg_decompress_struct* info = &session->info;
    if (setjmp(session->error.jump)) return false;

    info->scale_num = 1;
    info->scale_denom = static_cast<unsigned int>(denominator);
    info->out_color_space = out_space;
    jpeg_calc_output_dimensions(info);
    return true;
}

namespace {

// CMYK rows go through a buffer of libjpeg's own, freed with the session.
JSAMPARRAY Cmyk_Buffer(jpeg_decompress_struct* info) {
    if (info->out_color_space != JCS_CMYK) return nullptr;
    return (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, info->output_width * 4, 1);
}

// Up to `count` rows from the decoder's next one; called only inside a guarded
// function, whose jump takes any error.
void Read_Rows(jpeg_decompress_struct* info, std::uint8_t* pixels, std::size_t stride, JDIMENSION count,
               JSAMPARRAY ink) {
    for (JDIMENSION k = 0; k < count && info->output_scanline < info->output_height; ++k) {
        std::uint8_t* row = pixels + stride * static_cast<std::size_t>(k);
        if (ink) {
            jpeg_read_scanlines(info, ink, 1);
            Cmyk_To_Bgr(ink[0], row, static_cast<int>(info->output_width), info->saw_Adobe_marker != FALSE);
        } else {
            JSAMPROW target = row;
            jpeg_read_scanlines(info, &target, 1);
        }
    }
}

}  // namespace

bool Guarded_Start(Jpeg_Session* session, JSAMPARRAY* ink) {
    jpeg_decompress_struct* info = &session->info;
    if (setjmp(session->error.jump)) return false;

    jpeg_start_decompress(info);
    *ink = Cmyk_Buffer(info);
    return true;
}

bool Guarded_Read(Jpeg_Session* session, std::uint8_t* pixels, std::size_t stride, int count, JSAMPARRAY ink) {
    jpeg_decompress_struct* info = &session->info;
    if (setjmp(session->error.jump)) return false;

    Read_Rows(info, pixels, stride, static_cast<JDIMENSION>(std::max(count, 0)), ink);
    return true;
}

bool Guarded_Decode(Jpeg_Session* session, std::uint8_t* pixels, std::size_t stride) {
    jpeg_decompress_struct* info = &session->info;
    if (setjmp(session->error.jump)) return false;

    jpeg_start_decompress(info);
    Read_Rows(info, pixels, stride, info->output_height, Cmyk_Buffer(info));
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace velbrook::jpeg_detail

#include "picture/jpeg_decode.h"

#include <string>

#include "picture/jpeg_guarded.h"
#include "picture/jpeg_rows.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

using jpeg_detail::Jpeg_Session;
using jpeg_detail::Refuse;

void Open(Jpeg_Session& session, std::span<const std::uint8_t> bytes) {
    // libjpeg's memory source takes an unsigned long length.
    if (bytes.size() > 0xFFFFFFFFu) Refuse("the file is too large");
    if (!jpeg_detail::Guarded_Open(&session, bytes.data(), bytes.size(), static_cast<long>(Max_Decoded_Bytes))) {
        Refuse(session.error.message);
    }
}

}  // namespace

void jpeg_detail::Refuse(const char* reason) {
    std::wstring text = L"The JPEG picture cannot be read: ";
    for (const char* c = reason; *c != '\0'; ++c) text.push_back(static_cast<unsigned char>(*c));
    throw Invalid_Picture(std::move(text));
}

Jpeg_Info Read_Jpeg_Info(std::span<const std::uint8_t> bytes) {
    Jpeg_Session session;
    Open(session, bytes);
    return {static_cast<int>(session.info.image_width), static_cast<int>(session.info.image_height)};
}

Decoded_Image Decode_Jpeg(std::span<const std::uint8_t> bytes, int target_w, int target_h) {
    Jpeg_Session session;
    Open(session, bytes);
    // A file that claims more than its data can hold, that ends before its
    // end marker or that holds more scans than any encoder writes is
    // refused.  One whose data runs out or is damaged inside a scan that
    // does end is shown as libjpeg fills it, grey from there, as a page drawn
    // in bands shows it (arithmetic coding, which has no floor to bound the
    // work, excepted).
    const std::uint64_t least = jpeg_detail::Least_Data_Bytes(session.info);
    if (bytes.size() < least) Refuse("the file is too short for the size it claims");
    Span_Source walk(bytes);
    Require_Whole_Jpeg(walk);
    session.error.accept_early_end = least > 0;
    const int denominator = Choose_Jpeg_Scale(static_cast<int>(session.info.image_width),
                                              static_cast<int>(session.info.image_height), target_w, target_h);
    if (!jpeg_detail::Guarded_Prepare(&session, denominator,
                                      jpeg_detail::Output_Space(session.info.jpeg_color_space))) {
        Refuse(session.error.message);
    }

    // libjpeg limits each side to 65500, so these products fit in 64 bits.
    const std::uint64_t width = session.info.output_width;
    const std::uint64_t height = session.info.output_height;
    const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
    if (width == 0 || height == 0) Refuse("the picture has no pixels");
    if (stride * height > Max_Decoded_Bytes) Refuse("the picture is too large to decode");

    Decoded_Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.stride = static_cast<int>(stride);
    image.pixels.resize(static_cast<std::size_t>(stride * height));
    if (!jpeg_detail::Guarded_Decode(&session, image.pixels.data(), static_cast<std::size_t>(stride))) {
        Refuse(session.error.message);
    }
    return image;
}

}  // namespace velbrook

#include "picture/metafile_check.h"

#include "picture/byte_reader.h"

namespace velbrook {
namespace {

[[noreturn]] void Invalid(const wchar_t* reason) { throw Invalid_Picture(reason); }

// Enhanced metafile records and header fields.
constexpr std::uint32_t Emr_Header = 1, Emr_Eof = 14, Enh_Signature = 0x464D4520;
constexpr std::size_t Emf_Header_Base = 88;    // up to and including the reference device in millimetres
constexpr std::size_t Emf_Header_Pixels = 100; // with the pixel format fields
constexpr std::size_t Emf_Eof_Size = 20;       // type, size, palette count and offset, size again

// Windows metafile fields.
constexpr std::uint32_t Placeable_Key = 0x9AC6CDD7;
constexpr std::size_t Placeable_Size = 22, Meta_Header_Size = 18;
constexpr std::uint64_t Meta_Eof_Words = 3;

// A block of `length` bytes at `offset` from the record's start lies inside
// the record of `record_size` bytes.  A block of no bytes may point anywhere.
bool Inside(std::uint64_t offset, std::uint64_t length, std::uint64_t record_size) {
    return length == 0 || (offset <= record_size && length <= record_size - offset);
}

void Check_Emf_Header(const Byte_Reader& in, std::uint32_t header_size) {
    const std::int32_t frame_left = in.I32(24), frame_top = in.I32(28);
    const std::int32_t frame_right = in.I32(32), frame_bottom = in.I32(36);
    // The player scales the frame onto the target; an empty or inverted
    // frame gives it nothing to scale by.
    if (frame_right <= frame_left || frame_bottom <= frame_top) Invalid(L"the metafile's frame is empty");
    if (in.I32(72) <= 0 || in.I32(76) <= 0 || in.I32(80) <= 0 || in.I32(84) <= 0)
        Invalid(L"the metafile's reference device has no size");
    if (in.U16(56) == 0) Invalid(L"the metafile's handle table is empty");
    // The description is UTF-16, counted in characters.
    if (!Inside(in.U32(64), 2ull * in.U32(60), header_size))
        Invalid(L"the metafile's description lies outside its header");
    if (header_size >= Emf_Header_Pixels && !Inside(in.U32(92), in.U32(88), header_size))
        Invalid(L"the metafile's pixel format lies outside its header");
}

}  // namespace

std::span<const std::uint8_t> Check_Emf(std::span<const std::uint8_t> file) {
    Byte_Reader in(file);
    if (file.size() < Emf_Header_Base) Invalid(L"the file is too short for an enhanced metafile");
    if (in.U32(0) != Emr_Header || in.U32(40) != Enh_Signature) Invalid(L"the metafile header is missing");
    const std::uint32_t header_size = in.U32(4), total = in.U32(48), records = in.U32(52);
    if (total > file.size() || total % 4 != 0) Invalid(L"the metafile claims more bytes than the file holds");
    if (header_size < Emf_Header_Base || header_size % 4 != 0 || header_size > total)
        Invalid(L"the metafile header has a wrong size");
    Check_Emf_Header(in, header_size);

    std::uint64_t at = 0, count = 0;
    std::uint32_t type = 0, size = 0;
    while (at < total) {
        type = in.U32(at);
        size = in.U32(at + 4);
        if (size < 8 || size % 4 != 0 || size > total - at) Invalid(L"a metafile record has a wrong size");
        if (type == Emr_Header && at != 0) Invalid(L"the metafile has a second header");
        if (type == Emr_Eof) {
            if (size < Emf_Eof_Size) Invalid(L"the metafile's end record is too short");
            if (!Inside(in.U32(at + 12), 4ull * in.U32(at + 8), size))
                Invalid(L"the palette of the metafile's end record lies outside it");
        }
        at += size;
        ++count;
    }
    if (type != Emr_Eof) Invalid(L"the metafile has no end record");
    if (count != records) Invalid(L"the metafile's record count is wrong");
    return file.first(total);
}

Checked_Wmf Check_Wmf(std::span<const std::uint8_t> file) {
    Byte_Reader in(file);
    Checked_Wmf checked;
    std::size_t start = 0;
    if (file.size() >= 4 && in.U32(0) == Placeable_Key) {
        in.Need(0, Placeable_Size, L"the placeable header");
        Wmf_Frame frame{.left = in.I16(6), .top = in.I16(8), .right = in.I16(10), .bottom = in.I16(12),
                        .units_per_inch = in.U16(14)};
        if (frame.right <= frame.left || frame.bottom <= frame.top || frame.units_per_inch == 0)
            Invalid(L"the placeable header has no size");
        checked.frame = frame;
        start = Placeable_Size;
    }
    in.Need(start, Meta_Header_Size, L"the metafile header");
    const std::uint16_t type = in.U16(start), header_words = in.U16(start + 2), version = in.U16(start + 4);
    const std::uint64_t total = 2ull * in.U32(start + 6);
    const std::uint64_t largest_record = in.U32(start + 12);
    if ((type != 1 && type != 2) || header_words * 2u != Meta_Header_Size || (version != 0x0100 && version != 0x0300))
        Invalid(L"the metafile header is missing");
    if (total > file.size() - start) Invalid(L"the metafile claims more bytes than the file holds");
    if (total < Meta_Header_Size + 2 * Meta_Eof_Words) Invalid(L"the metafile is too short to hold its end record");
    const std::uint64_t end = start + total;
    std::uint64_t at = start + Meta_Header_Size;
    for (;;) {
        if (end - at < 2 * Meta_Eof_Words) Invalid(L"the metafile has no end record");
        const std::uint64_t words = in.U32(static_cast<std::size_t>(at));
        const std::uint16_t function = in.U16(static_cast<std::size_t>(at + 4));
        if (words < Meta_Eof_Words || words * 2 > end - at) Invalid(L"a metafile record has a wrong size");
        // Players size their record buffer by the header's largest record.
        if (words > largest_record) Invalid(L"a metafile record is larger than its header allows");
        at += words * 2;
        if (function == 0) {
            if (words != Meta_Eof_Words) Invalid(L"the metafile's end record has a wrong size");
            break;
        }
    }
    if (at != end) Invalid(L"the metafile's records do not add up to its size");
    checked.metafile = file.subspan(start, static_cast<std::size_t>(total));
    return checked;
}

}  // namespace velbrook

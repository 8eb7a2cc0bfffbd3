#include "picture/metafile_check.h"

#include "picture/byte_reader.h"
#include "picture/metafile_records.h"

namespace velbrook {
namespace {

using metafile_detail::Inside;

// Enhanced metafile records and header fields.
constexpr std::uint32_t Emr_Header = 1, Emr_Eof = 14, Enh_Signature = 0x464D4520;
constexpr std::size_t Emf_Header_Base = 88;     // up to and including the reference device in millimetres
constexpr std::size_t Emf_Header_Pixels = 100;  // with the pixel format fields
constexpr std::size_t Emf_Eof_Size = 20;        // type, size, palette count and offset, size again

// Windows metafile fields.
constexpr std::uint32_t Placeable_Key = 0x9AC6CDD7;
constexpr std::size_t Placeable_Size = 22, Meta_Header_Size = 18;
constexpr std::uint64_t Meta_Eof_Words = 3;

// Records that name an entry of the player's object table, and where: the
// players index their table with it unchecked, so an entry past the end of
// the table reads, or writes, outside it.  Enhanced metafiles give the byte
// offset in the record of each index (32 bits; with the top bit set a stock
// object where `stock` says one may stand); Windows metafiles the word
// offset among the parameters (16 bits; where `none` says so, 0 is "no
// object").
struct Emf_Index_Record {
    std::uint32_t type;
    std::uint32_t offset;
    bool stock;
};
constexpr Emf_Index_Record Emf_Index_Records[] = {
    {37, 8, true},  {40, 8, false},  {38, 8, false},  {39, 8, false},  {82, 8, false},  {49, 8, false},
    {95, 8, false}, {93, 8, false},  {94, 8, false},  {48, 8, true},   {50, 8, false},  {51, 8, false},
    {99, 8, false}, {122, 8, false}, {100, 8, false}, {101, 8, false}, {71, 28, false}, {72, 28, false},
};
struct Wmf_Index_Record {
    std::uint16_t function;
    std::uint16_t first_word, last_word;
    bool none;
};
constexpr Wmf_Index_Record Wmf_Index_Records[] = {
    {0x012D, 0, 0, false},  // select object
    {0x01F0, 0, 0, false},  // delete object
    {0x0234, 0, 0, false},  // select palette
    {0x012C, 0, 0, true},   // select clip region
    {0x0228, 0, 1, false},  // fill region: region and brush
    {0x0429, 2, 3, false},  // frame region: region and brush, after the frame's size
    {0x012A, 0, 0, false},  // invert region
    {0x012B, 0, 0, false},  // paint region
};

void Check_Emf_Header(const Byte_Reader& in, std::uint32_t header_size) {
    const std::int32_t frame_left = in.I32(24), frame_top = in.I32(28);
    const std::int32_t frame_right = in.I32(32), frame_bottom = in.I32(36);
    // The player scales the frame onto the target; an empty or inverted
    // frame gives it nothing to scale by.
    if (frame_right <= frame_left || frame_bottom <= frame_top) Invalid(L"the metafile's frame is empty");
    if (std::int64_t{frame_right} - frame_left > Max_Metafile_Frame ||
        std::int64_t{frame_bottom} - frame_top > Max_Metafile_Frame)
        Invalid(L"the metafile's frame is larger than any page");
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
    const std::uint32_t handles = in.U16(56);

    std::uint64_t at = 0, count = 0;
    std::uint32_t type = 0, size = 0;
    while (at < total) {
        type = in.U32(at);
        size = in.U32(at + 4);
        if (size < 8 || size % 4 != 0 || size > total - at) Invalid(L"a metafile record has a wrong size");
        if (type == Emr_Header && at != 0) Invalid(L"the metafile has a second header");
        for (const Emf_Index_Record& named : Emf_Index_Records) {
            if (named.type != type) continue;
            if (size < named.offset + 4) Invalid(L"a metafile record is too short for its fields");
            const std::uint32_t index = in.U32(at + named.offset);
            if (!(named.stock && (index & 0x80000000u)) && index >= handles)
                Invalid(L"a metafile record names an object outside the object table");
        }
        Check_Emf_Record(file.subspan(static_cast<std::size_t>(at), size));
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
        Wmf_Frame frame{.left = in.I16(6),
                        .top = in.I16(8),
                        .right = in.I16(10),
                        .bottom = in.I16(12),
                        .units_per_inch = in.U16(14)};
        if (frame.right <= frame.left || frame.bottom <= frame.top || frame.units_per_inch == 0)
            Invalid(L"the placeable header has no size");
        // In 0.01 mm, as for an enhanced metafile's frame.
        if ((std::int64_t{frame.right} - frame.left) * 2540 / frame.units_per_inch > Max_Metafile_Frame ||
            (std::int64_t{frame.bottom} - frame.top) * 2540 / frame.units_per_inch > Max_Metafile_Frame)
            Invalid(L"the placeable header's frame is larger than any page");
        checked.frame = frame;
        start = Placeable_Size;
    }
    in.Need(start, Meta_Header_Size, L"the metafile header");
    const std::uint16_t type = in.U16(start), header_words = in.U16(start + 2), version = in.U16(start + 4);
    const std::uint64_t total = 2ull * in.U32(start + 6);
    const std::uint16_t objects = in.U16(start + 10);
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
        for (const Wmf_Index_Record& named : Wmf_Index_Records) {
            if (named.function != function) continue;
            if (words < 3u + named.last_word + 1u) Invalid(L"a metafile record is too short for its fields");
            for (std::uint16_t word = named.first_word; word <= named.last_word; ++word) {
                const std::uint16_t index = in.U16(static_cast<std::size_t>(at + 6 + 2 * word));
                if (!(named.none && index == 0) && index >= objects)
                    Invalid(L"a metafile record names an object outside the object table");
            }
        }
        Check_Wmf_Record(file.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(words * 2)));
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

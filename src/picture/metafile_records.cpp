#include "picture/metafile_records.h"

#include "picture/byte_reader.h"

namespace velbrook {

bool metafile_detail::Inside(std::uint64_t offset, std::uint64_t length, std::uint64_t record_size) {
    return length == 0 || (offset <= record_size && length <= record_size - offset);
}

namespace {

using metafile_detail::Inside;

constexpr std::uint32_t Dib_Pal_Colors = 1;
constexpr std::uint32_t Bi_Rgb = 0, Bi_Bitfields = 3;

// What a bitmap's header, at `at` in the record, says it needs: the bytes
// of the header and colour table, and those of its rows (the scans copied,
// when `scans` is not negative).
struct Dib_Needs {
    std::uint64_t head_bytes = 0;
    std::uint64_t bits_bytes = 0;
};

Dib_Needs Read_Dib_Header(const Byte_Reader& in, std::size_t at, std::uint64_t room, std::uint32_t usage,
                          std::int64_t scans) {
    if (room < 12 || !in.Has(at, 12)) Invalid(L"a bitmap in a metafile record has no header");
    const std::uint32_t header_size = in.U32(at);
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bits = 0, compression = Bi_Rgb, image_size = 0, colours = 0;
    std::uint64_t entry_bytes = usage == Dib_Pal_Colors ? 2 : 4;
    if (header_size == 12) {
        width = in.U16(at + 4), height = in.U16(at + 6), planes = in.U16(at + 8), bits = in.U16(at + 10);
        entry_bytes = usage == Dib_Pal_Colors ? 2 : 3;
    } else if (header_size >= 40 && header_size <= room && in.Has(at, 40)) {
        width = in.I32(at + 4), height = in.I32(at + 8), planes = in.U16(at + 12), bits = in.U16(at + 14);
        compression = in.U32(at + 16), image_size = in.U32(at + 20), colours = in.U32(at + 32);
    } else {
        Invalid(L"a bitmap's header in a metafile record has a wrong size");
    }
    if (width <= 0 || height == 0 || planes != 1) Invalid(L"a bitmap in a metafile record has no size");
    const bool rows_as_stored = compression == Bi_Rgb || compression == Bi_Bitfields;
    if (rows_as_stored && bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Invalid(L"a bitmap in a metafile record has an unknown depth");
    const std::uint64_t entries = colours != 0 ? colours : (bits >= 1 && bits <= 8 ? 1u << bits : 0);
    const std::uint64_t masks = compression == Bi_Bitfields && header_size == 40 ? 12 : 0;
    Dib_Needs needs{.head_bytes = header_size + masks + entries * entry_bytes};
    if (rows_as_stored) {
        const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
        const std::uint64_t rows =
            scans >= 0 ? static_cast<std::uint64_t>(scans) : static_cast<std::uint64_t>(height < 0 ? -height : height);
        needs.bits_bytes = stride * rows;
    } else {
        needs.bits_bytes = image_size;
    }
    return needs;
}

// An enhanced metafile's bitmap: its header and its bits each given by an
// offset and a size in the record.
void Check_Emf_Dib(const Byte_Reader& in, std::size_t fields_at, std::uint32_t usage, std::int64_t scans) {
    const std::uint64_t info_at = in.U32(fields_at), info_bytes = in.U32(fields_at + 4);
    const std::uint64_t bits_at = in.U32(fields_at + 8), bits_bytes = in.U32(fields_at + 12);
    if (info_bytes == 0 && bits_bytes == 0) return;  // a blit of the brush or the destination alone
    if (!Inside(info_at, info_bytes, in.Size()) || !Inside(bits_at, bits_bytes, in.Size()))
        Invalid(L"a bitmap in a metafile record lies outside it");
    const Dib_Needs needs = Read_Dib_Header(in, static_cast<std::size_t>(info_at), info_bytes, usage, scans);
    if (needs.head_bytes > info_bytes) Invalid(L"a bitmap's colours in a metafile record lie outside its header");
    if (needs.bits_bytes > bits_bytes) Invalid(L"a bitmap in a metafile record holds fewer bytes than its rows");
}

// A Windows metafile's bitmap: packed, header, colours and rows one after
// the other to the record's end.
void Check_Wmf_Dib(const Byte_Reader& in, std::size_t at, std::uint32_t usage, std::int64_t scans) {
    if (at > in.Size()) Invalid(L"a bitmap in a metafile record lies outside it");
    const std::uint64_t room = in.Size() - at;
    const Dib_Needs needs = Read_Dib_Header(in, at, room, usage, scans);
    if (needs.head_bytes > room || needs.bits_bytes > room - needs.head_bytes)
        Invalid(L"a bitmap in a metafile record holds fewer bytes than its rows");
}

// Where each enhanced bitmap record keeps what it needs: its smallest size,
// the byte offsets of its colour usage and of its four bitmap fields
// (header offset and size, bits offset and size), and of the scan count
// SetDIBitsToDevice copies (0: every row).
struct Emf_Bitmap_Fields {
    std::uint32_t type, least_size, usage_at, fields_at, scans_at;
};
constexpr Emf_Bitmap_Fields Emf_Bitmaps[] = {
    {76, 100, 80, 84, 0},    // bit blit
    {77, 108, 80, 84, 0},    // stretch blit
    {78, 128, 80, 84, 0},    // mask blit: source
    {78, 128, 108, 112, 0},  // mask blit: mask
    {79, 140, 92, 96, 0},    // parallelogram blit: source
    {79, 140, 120, 124, 0},  // parallelogram blit: mask
    {80, 76, 64, 48, 72},    // set DIB bits to the device
    {81, 80, 64, 48, 0},     // stretch DIB bits
    {114, 108, 80, 84, 0},   // alpha blend
    {116, 108, 80, 84, 0},   // transparent blit
};

// Point records: the count at 24, then (for several shapes) the shapes'
// own counts, then the points, then (for PolyDraw) a type byte per point.
struct Emf_Point_Fields {
    std::uint32_t type, point_bytes, type_bytes;
    bool shapes;
};
constexpr Emf_Point_Fields Emf_Points[] = {
    {2, 8, 0, false},  {3, 8, 0, false},  {4, 8, 0, false},  {5, 8, 0, false},  {6, 8, 0, false},  {85, 4, 0, false},
    {86, 4, 0, false}, {87, 4, 0, false}, {88, 4, 0, false}, {89, 4, 0, false}, {56, 8, 1, false}, {92, 4, 1, false},
    {7, 8, 0, true},   {8, 8, 0, true},   {90, 4, 0, true},  {91, 4, 0, true},
};

constexpr std::uint32_t Emr_Ext_Text_Out_A = 83, Emr_Ext_Text_Out_W = 84, Eto_Pdy = 0x2000;

void Check_Emf_Points(const Byte_Reader& in, const Emf_Point_Fields& shape) {
    if (!shape.shapes) {
        const std::uint64_t count = in.U32(24);
        if (!Inside(28, count * (shape.point_bytes + shape.type_bytes), in.Size()))
            Invalid(L"a metafile record counts more points than it holds");
        return;
    }
    const std::uint64_t shapes = in.U32(24), count = in.U32(28);
    if (!Inside(32, shapes * 4 + count * shape.point_bytes, in.Size()))
        Invalid(L"a metafile record counts more points than it holds");
    std::uint64_t sum = 0;
    for (std::uint64_t k = 0; k < shapes; ++k) sum += in.U32(static_cast<std::size_t>(32 + 4 * k));
    if (sum > count) Invalid(L"a metafile record's shapes take more points than it holds");
}

void Check_Emf_Text(const Byte_Reader& in, std::uint32_t type) {
    if (in.Size() < 76) Invalid(L"a metafile record is too short for its fields");
    const std::uint64_t characters = in.U32(44), string_at = in.U32(48), options = in.U32(52), dx_at = in.U32(72);
    if (!Inside(string_at, characters * (type == Emr_Ext_Text_Out_W ? 2 : 1), in.Size()))
        Invalid(L"a metafile record's text lies outside it");
    const std::uint64_t dx_bytes = characters * ((options & Eto_Pdy) != 0 ? 8 : 4);
    if (dx_at != 0 && !Inside(dx_at, dx_bytes, in.Size())) Invalid(L"a metafile record's spacing lies outside it");
}

// Windows metafile records, by function: where the bitmap begins (bytes
// from the record's start) and, for blits, the size in words of the form
// without one; the word of the colour usage and of the scan count.
struct Wmf_Bitmap_Fields {
    std::uint16_t function;
    std::uint32_t dib_at, bitmapless_words;
    int usage_word, scans_word;  // among the parameters; -1 for none
};
constexpr Wmf_Bitmap_Fields Wmf_Bitmaps[] = {
    {0x0940, 22, 12, -1, -1},  // DIB bit blit
    {0x0B41, 26, 14, -1, -1},  // DIB stretch blit
    {0x0F43, 28, 0, 2, -1},    // stretch DIB
    {0x0D33, 24, 0, 0, 1},     // set DIB bits to the device
};
constexpr std::uint16_t Meta_Polygon = 0x0324, Meta_Polyline = 0x0325, Meta_Poly_Polygon = 0x0538,
                        Meta_Text_Out = 0x0521, Meta_Ext_Text_Out = 0x0A32;
constexpr std::uint16_t Eto_Opaque = 0x0002, Eto_Clipped = 0x0004;

// A record's parameters are words from byte 6; its size is checked whole
// by the caller.
std::uint64_t Parameter(const Byte_Reader& in, std::uint64_t word) {
    if (!in.Has(6 + 2 * word, 2)) Invalid(L"a metafile record is too short for its fields");
    return in.U16(static_cast<std::size_t>(6 + 2 * word));
}

void Need_Words(const Byte_Reader& in, std::uint64_t words, const wchar_t* reason) {
    if (words * 2 > in.Size()) Invalid(reason);
}

}  // namespace

void Check_Emf_Record(std::span<const std::uint8_t> record) {
    const Byte_Reader in(record);
    const std::uint32_t type = in.U32(0);
    for (const Emf_Bitmap_Fields& fields : Emf_Bitmaps) {
        if (fields.type != type) continue;
        if (record.size() < fields.least_size) Invalid(L"a metafile record is too short for its fields");
        const std::int64_t scans = fields.scans_at != 0 ? std::int64_t{in.U32(fields.scans_at)} : -1;
        Check_Emf_Dib(in, fields.fields_at, in.U32(fields.usage_at), scans);
    }
    for (const Emf_Point_Fields& shape : Emf_Points) {
        if (shape.type != type) continue;
        if (record.size() < (shape.shapes ? 32u : 28u)) Invalid(L"a metafile record is too short for its fields");
        Check_Emf_Points(in, shape);
    }
    if (type == Emr_Ext_Text_Out_A || type == Emr_Ext_Text_Out_W) Check_Emf_Text(in, type);
}

void Check_Wmf_Record(std::span<const std::uint8_t> record) {
    const Byte_Reader in(record);
    const std::uint16_t function = in.U16(4);
    const std::uint64_t words = record.size() / 2;
    for (const Wmf_Bitmap_Fields& fields : Wmf_Bitmaps) {
        if (fields.function != function || words == fields.bitmapless_words) continue;
        const std::uint32_t usage =
            fields.usage_word >= 0 ? static_cast<std::uint32_t>(Parameter(in, static_cast<unsigned>(fields.usage_word)))
                                   : 0;
        const std::int64_t scans =
            fields.scans_word >= 0 ? static_cast<std::int64_t>(Parameter(in, static_cast<unsigned>(fields.scans_word)))
                                   : -1;
        Check_Wmf_Dib(in, fields.dib_at, usage, scans);
    }
    const wchar_t* const too_many_points = L"a metafile record counts more points than it holds";
    const wchar_t* const text_outside = L"a metafile record's text lies outside it";
    switch (function) {
        case Meta_Polygon:
        case Meta_Polyline:
            Need_Words(in, 4 + 2 * Parameter(in, 0), too_many_points);
            break;
        case Meta_Poly_Polygon: {
            const std::uint64_t shapes = Parameter(in, 0);
            Need_Words(in, 4 + shapes, too_many_points);
            std::uint64_t points = 0;
            for (std::uint64_t k = 0; k < shapes; ++k) points += Parameter(in, 1 + k);
            Need_Words(in, 4 + shapes + 2 * points, too_many_points);
            break;
        }
        case Meta_Text_Out:
            Need_Words(in, 4 + (Parameter(in, 0) + 1) / 2 + 2, text_outside);
            break;
        case Meta_Ext_Text_Out: {
            const std::uint64_t length = Parameter(in, 2), options = Parameter(in, 3);
            const std::uint64_t rectangle = (options & (Eto_Opaque | Eto_Clipped)) != 0 ? 4 : 0;
            Need_Words(in, 7 + rectangle + (length + 1) / 2, text_outside);
            break;
        }
        default:
            break;
    }
}

bool Is_Emf_Escape_Record(std::uint32_t type) { return type == 105 || type == 106 || type == 110; }

bool Is_Wmf_Escape_Record(std::uint16_t function) { return function == 0x0626; }

}  // namespace velbrook

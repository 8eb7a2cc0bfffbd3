#pragma once
// Tiny enhanced and Windows metafiles built record by record, for the
// metafile checks' tests, the damaged-picture corpus and the fuzzer's seeds.
// Portable: the record numbers are spelt out here.  The sizes, counts and
// checksum are worked out from the records, so a test that wants a lie
// writes it over the built bytes.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace velbrook::test {

inline void Set_Le16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v) {
    bytes.at(at) = static_cast<std::uint8_t>(v);
    bytes.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
inline void Set_Le32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v) {
    Set_Le16(bytes, at, v & 0xFFFF);
    Set_Le16(bytes, at + 2, v >> 16);
}

// --- Enhanced metafiles ---------------------------------------------------

inline constexpr std::uint32_t Emr_Header = 1, Emr_Eof = 14, Emr_Select_Object = 37, Emr_Create_Brush = 39,
                               Emr_Rectangle = 43;
inline constexpr std::uint32_t Stock_Null_Pen = 0x80000008;

struct Emf_Record {
    std::uint32_t type = 0;
    std::vector<std::uint32_t> fields;  // after the type and size
};

struct Emf_Spec {
    std::int32_t frame[4] = {0, 0, 1000, 1000};  // 0.01 mm
    std::int32_t device[2] = {1000, 1000};       // reference device, pixels
    std::int32_t millimetres[2] = {100, 100};
    std::u16string description;  // with its own zero separators
    std::uint16_t handles = 2;
    std::vector<Emf_Record> records;         // between the header and the end record
    std::vector<std::uint32_t> eof_palette;  // entries kept in the end record
};

// A solid rectangle over the whole of a 100 x 100 reference frame (or one
// of right x bottom reference pixels): a brush of `colour` (0x00BBGGRR) in
// handle 1, the null pen, then the rectangle.
inline std::vector<Emf_Record> Emf_Filled_Rectangle(std::uint32_t colour, std::uint32_t right = 100,
                                                    std::uint32_t bottom = 100) {
    return {{Emr_Create_Brush, {1, 0, colour, 0}},
            {Emr_Select_Object, {1}},
            {Emr_Select_Object, {Stock_Null_Pen}},
            {Emr_Rectangle, {0, 0, right, bottom}}};
}

inline std::vector<std::uint8_t> Build_Emf(const Emf_Spec& spec) {
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t v) {
        for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    };
    const std::uint32_t description_bytes = static_cast<std::uint32_t>(spec.description.size() * 2);
    const std::uint32_t header_size = 108 + ((description_bytes + 3) & ~3u);
    put(Emr_Header);
    put(header_size);
    for (int k = 0; k < 4; ++k) put(static_cast<std::uint32_t>(spec.frame[k] / 10));  // bounds, roughly
    for (std::int32_t v : spec.frame) put(static_cast<std::uint32_t>(v));
    put(0x464D4520);  // " EMF"
    put(0x10000);
    put(0);  // total bytes, set below
    put(0);  // records, set below
    put(spec.handles);
    put(static_cast<std::uint32_t>(spec.description.size()));
    put(spec.description.empty() ? 0 : 108);
    put(0);  // palette entries
    for (std::int32_t v : spec.device) put(static_cast<std::uint32_t>(v));
    for (std::int32_t v : spec.millimetres) put(static_cast<std::uint32_t>(v));
    put(0);  // pixel format: none
    put(0);
    put(0);  // not OpenGL
    put(static_cast<std::uint32_t>(spec.millimetres[0] * 1000));
    put(static_cast<std::uint32_t>(spec.millimetres[1] * 1000));
    for (char16_t c : spec.description) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    out.resize(header_size, 0);
    std::uint32_t records = 1;
    for (const Emf_Record& record : spec.records) {
        put(record.type);
        put(static_cast<std::uint32_t>(8 + 4 * record.fields.size()));
        for (std::uint32_t v : record.fields) put(v);
        ++records;
    }
    const std::uint32_t eof_size = static_cast<std::uint32_t>(20 + 4 * spec.eof_palette.size());
    put(Emr_Eof);
    put(eof_size);
    put(static_cast<std::uint32_t>(spec.eof_palette.size()));
    put(spec.eof_palette.empty() ? 0 : 16);
    for (std::uint32_t v : spec.eof_palette) put(v);
    put(eof_size);
    ++records;
    Set_Le32(out, 48, static_cast<std::uint32_t>(out.size()));
    Set_Le32(out, 52, records);
    return out;
}

// --- Windows metafiles ----------------------------------------------------

inline constexpr std::uint16_t Meta_Eof = 0x0000, Meta_Set_Window_Org = 0x020B, Meta_Set_Window_Ext = 0x020C,
                               Meta_Select_Object = 0x012D, Meta_Create_Pen = 0x02FA, Meta_Create_Brush = 0x02FC,
                               Meta_Rectangle = 0x041B;

struct Wmf_Record {
    std::uint16_t function = 0;
    std::vector<std::uint16_t> fields;  // after the size and function
};

struct Wmf_Spec {
    bool placeable = true;
    std::int16_t frame[4] = {0, 0, 1000, 1000};  // left, top, right, bottom
    std::uint16_t units_per_inch = 1000;
    bool right_checksum = true;
    std::uint16_t objects = 2;
    std::vector<Wmf_Record> records;  // before the end record
};

// A solid rectangle over a 1000 x 1000 window: a brush of `colour`
// (0x00BBGGRR) and a null pen made and selected, then the rectangle.
inline std::vector<Wmf_Record> Wmf_Filled_Rectangle(std::uint32_t colour) {
    const auto low = static_cast<std::uint16_t>(colour & 0xFFFF), high = static_cast<std::uint16_t>(colour >> 16);
    return {{Meta_Set_Window_Org, {0, 0}},          {Meta_Set_Window_Ext, {1000, 1000}},
            {Meta_Create_Brush, {0, low, high, 0}}, {Meta_Select_Object, {0}},
            {Meta_Create_Pen, {5, 0, 0, 0, 0}},     {Meta_Select_Object, {1}},
            {Meta_Rectangle, {1000, 1000, 0, 0}}};
}

inline std::vector<std::uint8_t> Build_Wmf(const Wmf_Spec& spec) {
    std::vector<std::uint8_t> out;
    auto put16 = [&](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    if (spec.placeable) {
        put32(0x9AC6CDD7);
        put16(0);
        for (std::int16_t v : spec.frame) put16(static_cast<std::uint16_t>(v));
        put16(spec.units_per_inch);
        put32(0);
        std::uint16_t checksum = 0;
        for (std::size_t k = 0; k < 20; k += 2) checksum ^= static_cast<std::uint16_t>(out[k] | out[k + 1] << 8);
        put16(spec.right_checksum ? checksum : checksum ^ 0x5A5A);
    }
    const std::size_t start = out.size();
    put16(1);       // in memory
    put16(9);       // header words
    put16(0x0300);  // version
    put32(0);       // size in words, set below
    put16(spec.objects);
    put32(0);  // largest record in words, set below
    put16(0);
    std::uint32_t largest = 3;
    for (const Wmf_Record& record : spec.records) {
        const std::uint32_t words = static_cast<std::uint32_t>(3 + record.fields.size());
        largest = std::max(largest, words);
        put32(words);
        put16(record.function);
        for (std::uint16_t v : record.fields) put16(v);
    }
    put32(3);
    put16(Meta_Eof);
    Set_Le32(out, start + 6, static_cast<std::uint32_t>((out.size() - start) / 2));
    Set_Le32(out, start + 12, largest);
    return out;
}

}  // namespace velbrook::test

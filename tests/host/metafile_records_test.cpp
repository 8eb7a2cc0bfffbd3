// What metafile records carry, checked against the records' own sizes: each
// sound record passes inside a whole metafile, and each lie in a bitmap's
// offsets or header, a point count or a text length is refused.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "picture/metafile_check.h"
#include "picture/metafile_records.h"
#include "toolkit/failure.h"
#include "../support/metafile_writer.h"

namespace velbrook {
namespace {

using namespace velbrook::test;
using Words = std::vector<std::uint32_t>;

bool Refused(const std::function<void()>& check, std::string& reason) {
    try {
        check();
        return false;
    } catch (const Invalid_Picture& refused) {
        reason = refused.what();
        return true;
    }
}

void Expect_Emf(const std::vector<Emf_Record>& records, const char* reason) {
    std::string why;
    const bool refused = Refused([&] { Check_Emf(Build_Emf({.records = records})); }, why);
    if (reason == nullptr) {
        EXPECT_FALSE(refused) << why;
    } else {
        EXPECT_TRUE(refused);
        EXPECT_NE(why.find(reason), std::string::npos) << why;
    }
}

TEST(Metafile_Records, Frames_Are_Bounded_In_64_Bits) {
    const struct {
        std::int32_t frame[4];
        bool refused;
    } emfs[] = {
        {{INT_MIN, 0, INT_MAX, 1000}, true},
        {{0, INT_MIN, 1000, INT_MAX}, true},
        {{0, 0, 1'000'001, 1000}, true},
        {{0, 0, 1000, 1'000'001}, true},
        {{0, 0, 1'000'000, 1'000'000}, false},
        {{-500'000, -500'000, 500'000, 500'000}, false},
        {{INT_MAX - 1000, INT_MIN, INT_MAX, INT_MIN + 1000}, false},
    };
    for (const auto& c : emfs) {
        Emf_Spec spec = {.records = Emf_Filled_Rectangle(0xFF)};
        std::copy(std::begin(c.frame), std::end(c.frame), spec.frame);
        std::string why;
        EXPECT_EQ(Refused([&] { Check_Emf(Build_Emf(spec)); }, why), c.refused) << c.frame[0] << " " << c.frame[2];
        if (c.refused) {
            EXPECT_NE(why.find("larger than any page"), std::string::npos) << why;
        }
    }
    // 10 m is 393.7 inches.
    const struct {
        std::int16_t frame[4];
        std::uint16_t units_per_inch;
        bool refused;
    } wmfs[] = {
        {{-32768, 0, 32767, 1000}, 1, true}, {{0, -32768, 1000, 32767}, 1, true},     {{0, 0, 394, 10}, 1, true},
        {{0, 0, 393, 393}, 1, false},        {{-32768, 0, 32767, 1000}, 1440, false},
    };
    for (const auto& c : wmfs) {
        Wmf_Spec spec = {.units_per_inch = c.units_per_inch, .records = Wmf_Filled_Rectangle(0xFF)};
        std::copy(std::begin(c.frame), std::end(c.frame), spec.frame);
        std::string why;
        EXPECT_EQ(Refused([&] { Check_Wmf(Build_Wmf(spec)); }, why), c.refused)
            << c.frame[2] << " " << c.units_per_inch;
    }
}

// Every enhanced bitmap record, by where its fields are: its smallest size,
// the offset of its four bitmap fields, and of the scans it copies.
struct Bitmap_Layout {
    const char* name;
    std::uint32_t type, least_size, fields_at, scans_at;
};
constexpr Bitmap_Layout Bitmap_Layouts[] = {
    {"bit blit", 76, 100, 84, 0},           {"stretch blit", 77, 108, 84, 0},
    {"mask blit", 78, 128, 84, 0},          {"mask blit, its mask", 78, 128, 112, 0},
    {"parallelogram blit", 79, 140, 96, 0}, {"parallelogram blit, its mask", 79, 140, 124, 0},
    {"set DIB bits", 80, 76, 48, 72},       {"stretch DIB bits", 81, 80, 48, 0},
    {"alpha blend", 114, 108, 84, 0},       {"transparent blit", 116, 108, 84, 0},
};

// A record of the layout carrying a 2 x 2 24-bit bitmap after its fields:
// a 40-byte header, then 16 bytes of rows.
struct Bitmap_Record {
    const Bitmap_Layout& layout;
    Words fields;
    std::uint32_t& At(std::uint32_t byte) { return fields.at((byte - 8) / 4); }
    std::uint32_t& Header(std::uint32_t field) { return At(layout.least_size + 4 * field); }
};

Bitmap_Record Carrying_A_Bitmap(const Bitmap_Layout& layout) {
    Bitmap_Record record{layout, Words((layout.least_size - 8) / 4 + 14, 0)};
    const std::uint32_t at = layout.least_size, f = layout.fields_at;
    record.At(f) = at, record.At(f + 4) = 40, record.At(f + 8) = at + 40, record.At(f + 12) = 16;
    if (layout.scans_at != 0) record.At(layout.scans_at) = 2;
    const Words header = {40, 2, 2, 1 | 24 << 16, 0, 16};
    for (std::uint32_t k = 0; k < header.size(); ++k) record.Header(k) = header[k];
    return record;
}

TEST(Metafile_Records, Enhanced_Bitmaps_Lie_Inside_Their_Record_And_Agree_With_Their_Header) {
    const struct {
        const char* name;
        const char* reason;  // nullptr: sound
        std::function<void(Bitmap_Record&)> change;
    } cases[] = {
        {"sound", nullptr, [](Bitmap_Record&) {}},
        {"no bitmap at all", nullptr,
         [](Bitmap_Record& r) { r.At(r.layout.fields_at + 4) = r.At(r.layout.fields_at + 12) = 0; }},
        {"header at the record's end", "lies outside it", [](Bitmap_Record& r) { r.At(r.layout.fields_at) += 56; }},
        {"header block past the end", "lies outside it", [](Bitmap_Record& r) { r.At(r.layout.fields_at + 4) = 60; }},
        {"bits offset wrapping", "lies outside it",
         [](Bitmap_Record& r) { r.At(r.layout.fields_at + 8) = 0xFFFFFFF8; }},
        {"bits past the end", "lies outside it", [](Bitmap_Record& r) { r.At(r.layout.fields_at + 12) = 20; }},
        {"bits fewer than its rows", "fewer bytes than its rows",
         [](Bitmap_Record& r) { r.At(r.layout.fields_at + 12) = 12; }},
        {"taller than its bits", "fewer bytes than its rows",
         [](Bitmap_Record& r) {
             r.Header(2) = 3;
             if (r.layout.scans_at != 0) r.At(r.layout.scans_at) = 3;
         }},
        {"top-down, taller than its bits", "fewer bytes than its rows",
         [](Bitmap_Record& r) {
             r.Header(2) = static_cast<std::uint32_t>(-3);
             if (r.layout.scans_at != 0) r.At(r.layout.scans_at) = 3;
         }},
        {"256 colours in a block of 40 bytes", "colours", [](Bitmap_Record& r) { r.Header(3) = 1 | 8 << 16; }},
        {"header block shorter than a header", "no header", [](Bitmap_Record& r) { r.At(r.layout.fields_at + 4) = 8; }},
        {"header longer than its block", "wrong size", [](Bitmap_Record& r) { r.Header(0) = 44; }},
        {"no width", "no size", [](Bitmap_Record& r) { r.Header(1) = 0; }},
        {"an unknown depth", "unknown depth", [](Bitmap_Record& r) { r.Header(3) = 1 | 7 << 16; }},
    };
    for (const Bitmap_Layout& layout : Bitmap_Layouts) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(layout.name) + ": " + c.name);
            Bitmap_Record record = Carrying_A_Bitmap(layout);
            c.change(record);
            Expect_Emf({{layout.type, record.fields}}, c.reason);
        }
        SCOPED_TRACE(layout.name);
        Expect_Emf({{layout.type, Words((layout.least_size - 8) / 4 - 1, 0)}}, "too short for its fields");
    }
}

TEST(Metafile_Records, Enhanced_Point_And_Text_Counts_Agree_With_The_Record_Size) {
    const Words bounds = {0, 0, 10, 10};
    auto with = [&](Words tail) {
        Words fields = bounds;
        fields.insert(fields.end(), tail.begin(), tail.end());
        return fields;
    };
    // Text: mode, scales, reference point, then the characters' count,
    // offset and options, the rectangle, the spacing's offset; then 2
    // characters at 76 and their spacing at 80.
    auto text = [&](std::uint32_t count, std::uint32_t string_at, std::uint32_t options, std::uint32_t dx_at) {
        return with({1, 0, 0, 0, 0, count, string_at, options, 0, 0, 10, 10, dx_at, 0x00420041, 5, 5});
    };
    const struct {
        const char* name;
        Emf_Record record;
        const char* reason;
    } cases[] = {
        {"polyline16", {87, with({2, 0, 0x00050005})}, nullptr},
        {"polyline16 counting 1000 points", {87, with({1000, 0, 0x00050005})}, "more points"},
        {"polybezier", {2, with({1, 3, 4})}, nullptr},
        {"polybezier counting past 32 bits of bytes", {2, with({0x20000000, 3, 4})}, "more points"},
        {"polygon16 with no room for its one point", {86, with({1})}, "more points"},
        {"polydraw16", {92, with({2, 0, 0x00050005, 0x0202})}, nullptr},
        {"polydraw16 without its types", {92, with({3, 0, 0x00050005, 0x0202})}, "more points"},
        {"polypolygon16", {91, with({2, 6, 3, 3, 0, 1, 2, 3, 4, 5})}, nullptr},
        {"polypolygon16's shapes taking more points", {91, with({2, 6, 3, 4, 0, 1, 2, 3, 4, 5})}, "shapes take more"},
        {"polypolygon16 counting 1000 points", {91, with({2, 1000, 3, 3, 0, 1, 2, 3, 4, 5})}, "more points"},
        {"polypolygon16 of 2^30 shapes", {91, with({0x40000000, 6, 3, 3, 0, 1, 2, 3, 4, 5})}, "more points"},
        {"polypolyline too short for its counts", {7, with({})}, "too short"},
        {"ExtTextOutW", {84, text(2, 76, 0, 80)}, nullptr},
        {"ExtTextOutW without spacing", {84, text(2, 76, 0, 0)}, nullptr},
        {"ExtTextOutW of 100 characters", {84, text(100, 76, 0, 0)}, "text lies outside"},
        {"ExtTextOutW's text wrapping", {84, text(2, 0xFFFFFFFE, 0, 80)}, "text lies outside"},
        {"ExtTextOutW with spacing down too", {84, text(2, 76, 0x2000, 80)}, "spacing lies outside"},
        {"ExtTextOutW's spacing at the end", {84, text(2, 76, 0, 88)}, "spacing lies outside"},
        {"ExtTextOutA of 8 characters", {83, text(8, 76, 0, 0)}, nullptr},
        {"ExtTextOutW too short for its fields", {84, with({1, 0, 0})}, "too short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Expect_Emf({c.record}, c.reason);
    }
}

// A Windows DIB record: its parameters, then a 2 x 2 24-bit bitmap
// (20 words of header, 8 of rows).
std::vector<std::uint16_t> Wmf_With_Bitmap(std::vector<std::uint16_t> parameters, std::uint16_t height = 2,
                                           std::uint16_t bits = 24) {
    const std::vector<std::uint16_t> dib = {40, 0, 2, 0, height, 0, 1, bits, 0, 0, 16, 0};
    parameters.insert(parameters.end(), dib.begin(), dib.end());
    parameters.resize(parameters.size() + 8 + 8, 0);
    return parameters;
}

TEST(Metafile_Records, Windows_Bitmaps_Points_And_Text_Agree_With_The_Record_Size) {
    using W = std::vector<std::uint16_t>;
    const W blit(8, 0), stretch(10, 0), stretch_dib(11, 0), set_dib = {0, 2, 0, 0, 0, 2, 2, 0, 0};
    W cut = Wmf_With_Bitmap(stretch);
    cut.resize(cut.size() - 2);
    W too_many_scans = Wmf_With_Bitmap(set_dib);
    too_many_scans[1] = 3;
    const struct {
        const char* name;
        Wmf_Record record;
        const char* reason;
    } cases[] = {
        {"DIB blit", {0x0940, Wmf_With_Bitmap(blit)}, nullptr},
        {"DIB blit without a bitmap", {0x0940, W(9, 0)}, nullptr},
        {"DIB blit taller than its rows", {0x0940, Wmf_With_Bitmap(blit, 3)}, "fewer bytes"},
        {"DIB stretch blit", {0x0B41, Wmf_With_Bitmap(stretch)}, nullptr},
        {"DIB stretch blit without a bitmap", {0x0B41, W(11, 0)}, nullptr},
        {"DIB stretch blit cut short", {0x0B41, cut}, "fewer bytes"},
        {"stretch DIB", {0x0F43, Wmf_With_Bitmap(stretch_dib)}, nullptr},
        {"stretch DIB of 256 colours", {0x0F43, Wmf_With_Bitmap(stretch_dib, 2, 8)}, "fewer bytes"},
        {"stretch DIB with no room for a header", {0x0F43, W(12, 0)}, "no header"},
        {"set DIB bits", {0x0D33, Wmf_With_Bitmap(set_dib)}, nullptr},
        {"set DIB bits of more scans than rows", {0x0D33, too_many_scans}, "fewer bytes"},
        {"polygon", {0x0324, {3, 0, 0, 5, 5, 0, 5}}, nullptr},
        {"polygon counting 100 points", {0x0324, {100, 0, 0, 5, 5, 0, 5}}, "more points"},
        {"polyline counting 65535 points", {0x0325, {65535, 0, 0}}, "more points"},
        {"polypolygon", {0x0538, {2, 1, 2, 0, 0, 1, 1, 2, 2}}, nullptr},
        {"polypolygon's shapes taking more points", {0x0538, {2, 1, 30, 0, 0, 1, 1, 2, 2}}, "more points"},
        {"polypolygon of more shapes than counts", {0x0538, {9, 1}}, "more points"},
        {"TextOut", {0x0521, {5, 0x4241, 0x4443, 0x45, 0, 0}}, nullptr},
        {"TextOut of 50 characters", {0x0521, {50, 0x4241, 0x4443, 0x45, 0, 0}}, "text lies outside"},
        {"ExtTextOut clipped", {0x0A32, {0, 0, 4, 4, 0, 0, 9, 9, 0x4241, 0x4443}}, nullptr},
        {"ExtTextOut plain", {0x0A32, {0, 0, 4, 0, 0x4241, 0x4443}}, nullptr},
        {"ExtTextOut clipped, rectangle missing", {0x0A32, {0, 0, 4, 4, 0x4241, 0x4443}}, "text lies outside"},
        {"ExtTextOut of 40 characters", {0x0A32, {0, 0, 40, 0, 0x4241, 0x4443}}, "text lies outside"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Wmf_Spec spec = {.records = Wmf_Filled_Rectangle(0xFF)};
        spec.records.push_back(c.record);
        std::string why;
        const bool refused = Refused([&] { Check_Wmf(Build_Wmf(spec)); }, why);
        EXPECT_EQ(refused, c.reason != nullptr) << why;
        if (c.reason != nullptr) {
            EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        }
    }
}

TEST(Metafile_Records, Escape_Records_Are_Told_Apart) {
    const struct {
        std::uint32_t type;
        bool escape;
    } emfs[] = {{105, true}, {106, true}, {110, true}, {70, false}, {14, false}, {104, false}, {111, false}};
    for (const auto& c : emfs) EXPECT_EQ(Is_Emf_Escape_Record(c.type), c.escape) << c.type;
    const struct {
        std::uint16_t function;
        bool escape;
    } wmfs[] = {{0x0626, true}, {0x0000, false}, {0x0625, false}, {0x0A32, false}, {0x0726, false}};
    for (const auto& c : wmfs) EXPECT_EQ(Is_Wmf_Escape_Record(c.function), c.escape) << c.function;
    // A metafile that holds one is still a sound picture: only the player
    // leaves the record out.
    EXPECT_NO_THROW(Check_Emf(Build_Emf({.records = {{106, {0, 0}}, {70, {4, 0}}}})));
}

}  // namespace
}  // namespace velbrook

// The metafile checks over metafiles built record by record: the sound ones
// pass with the bytes the system is to get, and each lie in a header or a
// record is refused before any player could see it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "picture/metafile_check.h"
#include "toolkit/failure.h"
#include "../support/metafile_writer.h"

namespace velbrook {
namespace {

using namespace velbrook::test;
using Bytes = std::vector<std::uint8_t>;

Bytes Sample(const char* name) {
    std::ifstream in(std::filesystem::path(VELBROOK_TEST_DATA) / "pictures" / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Emf_Spec Cyan_Emf() { return {.records = Emf_Filled_Rectangle(0xFFFF00)}; }
Wmf_Spec Orange_Wmf() { return {.records = Wmf_Filled_Rectangle(0x0080FF)}; }

// Where the first record after an EMF header of no description starts, and
// the offset of the end record of Cyan_Emf.
constexpr std::size_t Emf_First_Record = 108;
std::size_t Emf_Eof_At(const Bytes& emf) { return emf.size() - 20; }

struct Sound_Case {
    const char* name;
    Bytes file;
    std::size_t metafile_start;  // where the bytes for the system begin
    std::size_t metafile_size;
    bool framed = false;  // a placeable Windows metafile
};

TEST(Metafile_Check, Sound_Metafiles_Pass_With_The_Bytes_The_System_Gets) {
    Bytes trailing_emf = Build_Emf(Cyan_Emf());
    const std::size_t emf_size = trailing_emf.size();
    trailing_emf.insert(trailing_emf.end(), 64, 0xEE);
    Bytes trailing_wmf = Build_Wmf(Orange_Wmf());
    const std::size_t wmf_size = trailing_wmf.size();
    trailing_wmf.insert(trailing_wmf.end(), 10, 0xEE);
    Emf_Spec described = Cyan_Emf();
    described.description = std::u16string(u"Velbrook\0test\0\0", 15);
    described.eof_palette = {0x00112233, 0x00445566};
    Wmf_Spec plain = Orange_Wmf();
    plain.placeable = false;
    Wmf_Spec wrong_checksum = Orange_Wmf();
    wrong_checksum.right_checksum = false;
    const Bytes cyan = Sample("cyan.emf"), orange = Sample("orange.wmf");
    ASSERT_EQ(cyan.size(), 180u);
    ASSERT_EQ(orange.size(), 126u);

    const std::vector<Sound_Case> emfs = {
        {"rectangle", Build_Emf(Cyan_Emf()), 0, emf_size},
        {"description and end-record palette", Build_Emf(described), 0, Build_Emf(described).size()},
        {"bytes after the metafile", trailing_emf, 0, emf_size},
        {"the sample", cyan, 0, 180},
    };
    for (const Sound_Case& c : emfs) {
        SCOPED_TRACE(c.name);
        std::span<const std::uint8_t> metafile;
        ASSERT_NO_THROW(metafile = Check_Emf(c.file));
        EXPECT_EQ(metafile.data(), c.file.data() + c.metafile_start);
        EXPECT_EQ(metafile.size(), c.metafile_size);
    }
    const std::vector<Sound_Case> wmfs = {
        {"placeable", Build_Wmf(Orange_Wmf()), 22, wmf_size - 22, true},
        // Real files often carry a wrong checksum; the system ignores it too.
        {"placeable, wrong checksum", Build_Wmf(wrong_checksum), 22, wmf_size - 22, true},
        {"not placeable", Build_Wmf(plain), 0, wmf_size - 22},
        {"bytes after the metafile", trailing_wmf, 22, wmf_size - 22, true},
        {"the sample", orange, 22, 104, true},
    };
    for (const Sound_Case& c : wmfs) {
        SCOPED_TRACE(c.name);
        Checked_Wmf checked;
        ASSERT_NO_THROW(checked = Check_Wmf(c.file));
        EXPECT_EQ(checked.metafile.data(), c.file.data() + c.metafile_start);
        EXPECT_EQ(checked.metafile.size(), c.metafile_size);
        ASSERT_EQ(checked.frame.has_value(), c.framed);
        if (c.framed) {
            EXPECT_EQ(checked.frame->right - checked.frame->left, 1000);
            EXPECT_EQ(checked.frame->bottom - checked.frame->top, 1000);
            EXPECT_EQ(checked.frame->units_per_inch, 1000);
        }
    }
}

struct Lie {
    const char* name;
    const char* reason;  // a part of the refusal's text
    std::function<void(Bytes&)> change;
};

void Expect_Refused(const std::function<void()>& check, const char* reason) {
    try {
        check();
        ADD_FAILURE() << "accepted";
    } catch (const Invalid_Picture& refused) {
        EXPECT_NE(std::string(refused.what()).find(reason), std::string::npos) << refused.what();
    }
}

TEST(Metafile_Check, Enhanced_Metafiles_With_Lying_Headers_Or_Records_Are_Refused) {
    const std::vector<Lie> lies = {
        {"not a header record", "header is missing", [](Bytes& b) { Set_Le32(b, 0, 2); }},
        {"no signature", "header is missing", [](Bytes& b) { Set_Le32(b, 40, 0x464D4521); }},
        {"more bytes claimed than held", "claims more bytes",
         [](Bytes& b) { Set_Le32(b, 48, static_cast<std::uint32_t>(b.size() + 4)); }},
        {"total not a multiple of 4", "claims more bytes",
         [](Bytes& b) { Set_Le32(b, 48, static_cast<std::uint32_t>(b.size() - 2)); }},
        {"header shorter than its fields", "header has a wrong size", [](Bytes& b) { Set_Le32(b, 4, 84); }},
        {"header size not a multiple of 4", "header has a wrong size", [](Bytes& b) { Set_Le32(b, 4, 110); }},
        {"header longer than the metafile", "header has a wrong size",
         [](Bytes& b) { Set_Le32(b, 4, static_cast<std::uint32_t>(b.size() + 8)); }},
        {"empty frame", "frame is empty", [](Bytes& b) { Set_Le32(b, 32, 0); }},
        {"inverted frame", "frame is empty", [](Bytes& b) { Set_Le32(b, 36, static_cast<std::uint32_t>(-5)); }},
        {"reference device of no pixels", "reference device", [](Bytes& b) { Set_Le32(b, 72, 0); }},
        {"reference device of negative millimetres", "reference device",
         [](Bytes& b) { Set_Le32(b, 84, static_cast<std::uint32_t>(-100)); }},
        {"no handles", "handle table", [](Bytes& b) { Set_Le16(b, 56, 0); }},
        {"description outside the header", "description", [](Bytes& b) { Set_Le32(b, 60, 8), Set_Le32(b, 64, 100); }},
        {"description offset wrapping", "description",
         [](Bytes& b) { Set_Le32(b, 60, 2), Set_Le32(b, 64, 0xFFFFFFFE); }},
        {"pixel format outside the header", "pixel format", [](Bytes& b) { Set_Le32(b, 88, 40), Set_Le32(b, 92, 88); }},
        {"record of 4 bytes", "record has a wrong size", [](Bytes& b) { Set_Le32(b, Emf_First_Record + 4, 4); }},
        {"record of no bytes", "record has a wrong size", [](Bytes& b) { Set_Le32(b, Emf_First_Record + 4, 0); }},
        {"record size not a multiple of 4", "record has a wrong size",
         [](Bytes& b) { Set_Le32(b, Emf_First_Record + 4, 26); }},
        {"record past the end", "record has a wrong size",
         [](Bytes& b) { Set_Le32(b, Emf_First_Record + 4, 0x7FFFFFF0); }},
        {"record count too high", "record count", [](Bytes& b) { Set_Le32(b, 52, 7); }},
        {"record count too low", "record count", [](Bytes& b) { Set_Le32(b, 52, 5); }},
        {"no end record", "no end record", [](Bytes& b) { Set_Le32(b, Emf_Eof_At(b), 43); }},
        {"end record too short", "end record is too short",
         [](Bytes& b) {
             Set_Le32(b, Emf_Eof_At(b) + 4, 16);
             b.erase(b.end() - 4, b.end());
             Set_Le32(b, 48, static_cast<std::uint32_t>(b.size()));
         }},
        {"end-record palette outside it", "palette",
         [](Bytes& b) { Set_Le32(b, Emf_Eof_At(b) + 8, 3), Set_Le32(b, Emf_Eof_At(b) + 12, 16); }},
        {"a second header", "second header", [](Bytes& b) { Set_Le32(b, Emf_First_Record, 1); }},
        // The players index their object table with these unchecked.
        {"brush made past the object table", "outside the object table",
         [](Bytes& b) { Set_Le32(b, Emf_First_Record + 8, 2); }},
        {"object selected past the table", "outside the object table",
         [](Bytes& b) { Set_Le32(b, Emf_First_Record + 24 + 8, 0x7FFF); }},
        {"stock object deleted", "outside the object table",
         [](Bytes& b) { Set_Le32(b, Emf_First_Record + 24, 40), Set_Le32(b, Emf_First_Record + 24 + 8, 0x80000008); }},
        {"selection without its object", "too short for its fields",
         [](Bytes& b) { Set_Le32(b, Emf_First_Record + 24 + 4, 8); }},
    };
    const Bytes sound = Build_Emf(Cyan_Emf());
    ASSERT_NO_THROW(Check_Emf(sound));
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.name);
        Bytes file = sound;
        lie.change(file);
        Expect_Refused([&] { Check_Emf(file); }, lie.reason);
    }
    // Cut anywhere, the metafile is refused: the total then lies.
    for (std::size_t size = 0; size < sound.size(); ++size)
        EXPECT_THROW(Check_Emf(std::span(sound).first(size)), Invalid_Picture) << size;
}

TEST(Metafile_Check, Windows_Metafiles_With_Lying_Headers_Or_Records_Are_Refused) {
    constexpr std::size_t H = 22;          // the metafile header, behind the placeable one
    constexpr std::size_t First = H + 18;  // the first record
    const std::vector<Lie> lies = {
        {"placeable frame empty", "placeable header has no size", [](Bytes& b) { Set_Le16(b, 10, 0); }},
        {"placeable frame inverted", "placeable header has no size", [](Bytes& b) { Set_Le16(b, 8, 2000); }},
        {"no units per inch", "placeable header has no size", [](Bytes& b) { Set_Le16(b, 14, 0); }},
        {"unknown type", "header is missing", [](Bytes& b) { Set_Le16(b, H, 3); }},
        {"header of 10 words", "header is missing", [](Bytes& b) { Set_Le16(b, H + 2, 10); }},
        {"unknown version", "header is missing", [](Bytes& b) { Set_Le16(b, H + 4, 0x0200); }},
        {"more words claimed than held", "claims more bytes",
         [](Bytes& b) { Set_Le32(b, H + 6, static_cast<std::uint32_t>((b.size() - H) / 2 + 1)); }},
        {"size past 32 bits of bytes", "claims more bytes", [](Bytes& b) { Set_Le32(b, H + 6, 0x80000010); }},
        {"size of the header alone", "too short to hold its end record", [](Bytes& b) { Set_Le32(b, H + 6, 9); }},
        {"size ending inside a record", "record has a wrong size",
         [](Bytes& b) { Set_Le32(b, H + 6, static_cast<std::uint32_t>((b.size() - H) / 2 - 4)); }},
        {"size ending before the end record", "no end record",
         [](Bytes& b) { Set_Le32(b, H + 6, static_cast<std::uint32_t>((b.size() - H) / 2 - 3)); }},
        {"record of 2 words", "record has a wrong size", [](Bytes& b) { Set_Le32(b, First, 2); }},
        {"record of no words", "record has a wrong size", [](Bytes& b) { Set_Le32(b, First, 0); }},
        {"record past the end", "record has a wrong size", [](Bytes& b) { Set_Le32(b, First, 0x40000000); }},
        {"record larger than the header's largest", "larger than its header allows",
         [](Bytes& b) { Set_Le32(b, H + 12, 4); }},
        {"end record of 4 words", "end record has a wrong size",
         [](Bytes& b) {
             Set_Le32(b, b.size() - 6, 4);
             b.insert(b.end(), {0, 0});
             Set_Le32(b, H + 6, static_cast<std::uint32_t>((b.size() - H) / 2));
         }},
        {"no end record", "no end record", [](Bytes& b) { Set_Le16(b, b.size() - 2, 0x001E); }},  // saving the state
        {"end record before the claimed size", "do not add up",
         [](Bytes& b) {
             b.insert(b.end(), {3, 0, 0, 0, 0, 0});
             Set_Le32(b, H + 6, static_cast<std::uint32_t>((b.size() - H) / 2));
         }},
        // Found by the damaged-picture corpus: the first object selection's
        // index turned into 65280, and the system's player read far outside
        // its object table.
        {"object selected past the table", "outside the object table",
         [](Bytes& b) { b[First + 20 + 14 + 7] ^= 0xFF; }},
        {"object deleted past the table", "outside the object table",
         [](Bytes& b) { Set_Le16(b, First + 20 + 14 + 4, 0x01F0), Set_Le16(b, First + 20 + 14 + 6, 2); }},
        {"region painted with no such brush", "outside the object table",
         [](Bytes& b) {
             Set_Le32(b, First + 20 + 14, 5), Set_Le16(b, First + 20 + 14 + 4, 0x0228);
             Set_Le16(b, First + 20 + 14 + 6, 0);
             b.insert(b.begin() + static_cast<std::ptrdiff_t>(First + 20 + 14 + 8), {0, 0});
             Set_Le16(b, First + 20 + 14 + 8, 9);
             Set_Le32(b, H + 6, static_cast<std::uint32_t>((b.size() - H) / 2));
         }},
        {"placeable header cut short", "placeable header lies past", [](Bytes& b) { b.resize(20); }},
    };
    const Bytes sound = Build_Wmf(Orange_Wmf());
    ASSERT_NO_THROW(Check_Wmf(sound));
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.name);
        Bytes file = sound;
        lie.change(file);
        Expect_Refused([&] { Check_Wmf(file); }, lie.reason);
    }
    for (std::size_t size = 0; size < sound.size(); ++size)
        EXPECT_THROW(Check_Wmf(std::span(sound).first(size)), Invalid_Picture) << size;
}

}  // namespace
}  // namespace velbrook

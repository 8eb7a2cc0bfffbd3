#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "picture/exif_orientation.h"
#include "../support/tiff_writer.h"

namespace velbrook {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Exif_Body;
using test::Jpeg_Of_Segments;
using test::Marker_Segment;
using test::Tiff_Writer;

Bytes Exif_Jpeg(const Tiff_Writer& tiff) { return Jpeg_Of_Segments({Marker_Segment(0xE1, Exif_Body(tiff.bytes))}); }

Tiff_Writer With_Orientation(bool big, std::uint32_t value, int tags_before = 0) {
    Tiff_Writer t{big, {}};
    t.Header();
    t.U16(tags_before + 1);
    for (int k = 0; k < tags_before; ++k) t.Short_Entry(0x0100 + k, 77);  // width, length, bits per sample...
    t.Short_Entry(0x0112, value);
    t.U32(0);
    return t;
}

TEST(Read_Exif_Orientation, Reads_The_Tag_And_Refuses_Every_Damaged_Block) {
    Tiff_Writer looped = With_Orientation(false, 5);
    looped.bytes.resize(looped.bytes.size() - 4);
    looped.U32(8);  // the next IFD is IFD0 again
    Tiff_Writer long_type{false, {}};
    long_type.Header(), long_type.U16(1), long_type.Short_Entry(0x0112, 6, 4), long_type.U32(0);
    Tiff_Writer no_values{false, {}};
    no_values.Header(), no_values.U16(1), no_values.Short_Entry(0x0112, 6, 3, 0), no_values.U32(0);
    Tiff_Writer huge_count{true, {}};
    huge_count.Header(), huge_count.U16(0xFFFF), huge_count.Short_Entry(0x010F, 1);
    Tiff_Writer ifd_past_end{false, {}};
    ifd_past_end.Header(4000), ifd_past_end.U16(1), ifd_past_end.Short_Entry(0x0112, 6);
    Tiff_Writer ifd_overflows{false, {}};
    ifd_overflows.Header(0xFFFFFFFFu), ifd_overflows.U16(1), ifd_overflows.Short_Entry(0x0112, 6);
    Tiff_Writer bad_magic{true, {}};
    bad_magic.Header(8, 43), bad_magic.U16(1), bad_magic.Short_Entry(0x0112, 6), bad_magic.U32(0);
    Tiff_Writer cut = With_Orientation(false, 6);
    cut.bytes.resize(8 + 2 + 9);  // inside the entry's value
    Bytes bad_order = With_Orientation(false, 6).bytes;
    bad_order[0] = 'X';
    const Bytes jfif = Marker_Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, 0, 0});
    Bytes exif_too_long = Exif_Jpeg(With_Orientation(false, 6));
    exif_too_long[5] += 40;  // the segment claims bytes past the file's end
    Bytes exif_after_scan = Jpeg_Of_Segments({}, false);
    exif_after_scan.insert(exif_after_scan.end(), {0xFF, 0xDA, 0x00, 0x02});
    const Bytes late = Marker_Segment(0xE1, Exif_Body(With_Orientation(false, 6).bytes));
    exif_after_scan.insert(exif_after_scan.end(), late.begin(), late.end());

    const struct {
        const char* what;
        Bytes file;
        int expected;
    } cases[] = {
        {"little-endian, the only tag", Exif_Jpeg(With_Orientation(false, 6)), 6},
        {"big-endian, after other tags", Exif_Jpeg(With_Orientation(true, 3, 4)), 3},
        {"after a JFIF segment",
         Jpeg_Of_Segments({jfif, Marker_Segment(0xE1, Exif_Body(With_Orientation(true, 8).bytes))}), 8},
        {"every value from 1 to 8 is kept", Exif_Jpeg(With_Orientation(false, 7)), 7},
        {"IFD0 read once though the chain loops", Exif_Jpeg(looped), 5},
        {"no Exif at all", Jpeg_Of_Segments({jfif}), 1},
        {"an APP1 that is not Exif", Jpeg_Of_Segments({Marker_Segment(0xE1, {'h', 't', 't', 'p', 0})}), 1},
        {"value 0 is out of range", Exif_Jpeg(With_Orientation(false, 0)), 1},
        {"value 9 is out of range", Exif_Jpeg(With_Orientation(true, 9)), 1},
        {"a LONG in place of a SHORT", Exif_Jpeg(long_type), 1},
        {"a tag with no values", Exif_Jpeg(no_values), 1},
        {"a directory counting past the block", Exif_Jpeg(huge_count), 1},
        {"IFD0 past the block", Exif_Jpeg(ifd_past_end), 1},
        {"an IFD offset at the top of 32 bits", Exif_Jpeg(ifd_overflows), 1},
        {"not a TIFF magic number", Exif_Jpeg(bad_magic), 1},
        {"the block cut inside the entry", Exif_Jpeg(cut), 1},
        {"an unknown byte order", Jpeg_Of_Segments({Marker_Segment(0xE1, Exif_Body(bad_order))}), 1},
        {"a segment longer than the file", exif_too_long, 1},
        {"Exif after the scan does not count", exif_after_scan, 1},
        {"not a JPEG", Bytes{'B', 'M', 0, 0, 0, 0}, 1},
        {"empty", Bytes{}, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(Read_Exif_Orientation(c.file), c.expected) << c.what;
}

TEST(Read_Exif_Orientation, Never_Reads_Outside_Any_Cut_Of_The_File) {
    // Every prefix of a valid file: under AddressSanitizer a read past the
    // end of the exact-size copy fails the run.
    const Bytes whole = Exif_Jpeg(With_Orientation(true, 6, 3));
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        const Bytes prefix(whole.begin(), whole.begin() + n);
        const int o = Read_Exif_Orientation(prefix);
        EXPECT_TRUE(o == 1 || o == 6) << n;
    }
}

}  // namespace
}  // namespace velbrook

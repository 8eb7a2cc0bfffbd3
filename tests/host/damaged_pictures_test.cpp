// The damaged-picture corpus through the portable readers, natively and
// under AddressSanitizer/UBSan: the bitmap and icon checks, the JPEG wrapper
// at a preview's and a page's size, and the metafile checks.  Every file is
// refused or gives a picture the system can draw without reading past it;
// the sound ones and the lies that must be caught are checked by name.
// (PNG, GIF and TIFF are read by the Windows side only; the Windows test
// takes the same corpus through the main window.)

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "pdf/jpeg_header.h"
#include "picture/dib_parse.h"
#include "picture/icon_parse.h"
#include "picture/jpeg_decode.h"
#include "picture/jpeg_rows.h"
#include "picture/metafile_check.h"
#include "toolkit/failure.h"
#include "../support/damaged_pictures.h"

namespace velbrook {
namespace {

// Reads the picture as the loader of its type does; says whether it was
// accepted, or nothing for the types only the Windows side reads.
std::optional<bool> Accepted(const test::Damaged_Picture& picture) {
    const std::wstring& name = picture.name;
    const std::wstring extension = name.substr(name.rfind(L'.'));
    try {
        if (extension == L".bmp") {
            const Dib_Image image = Parse_Bmp(picture.bytes);
            const unsigned bits = image.info[14] | image.info[15] << 8;
            const std::uint64_t stride = (static_cast<std::uint64_t>(image.width) * bits + 31) / 32 * 4;
            EXPECT_EQ(image.bits.size(), stride * static_cast<std::uint64_t>(image.height));
        } else if (extension == L".jpg") {
            // A preview box, then an A4 page at 300 dpi.
            for (const auto& [width, height] : {std::pair{200, 150}, std::pair{2459, 3488}}) {
                const Decoded_Image image = Decode_Jpeg(picture.bytes, width, height);
                EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.stride) * image.height);
            }
        } else if (extension == L".ico") {
            const Icon_Image image = Parse_Icon(picture.bytes);
            EXPECT_LE(image.offset + image.length, picture.bytes.size());
            EXPECT_TRUE(image.width >= 1 && image.width <= Max_Icon_Side && image.height >= 1 &&
                        image.height <= Max_Icon_Side);
        } else if (extension == L".emf") {
            Check_Emf(picture.bytes);
        } else if (extension == L".wmf") {
            Check_Wmf(picture.bytes);
        } else {
            return std::nullopt;
        }
    } catch (const Invalid_Picture&) {
        return false;
    }
    return true;
}

bool Named(const std::wstring& name, const wchar_t* part) { return name.find(part) != std::wstring::npos; }

TEST(Damaged_Pictures, The_Portable_Readers_Refuse_Them_Or_Give_Drawable_Pictures) {
    const std::vector<test::Damaged_Picture> corpus = test::Damaged_Pictures(true);
    ASSERT_GT(corpus.size(), 300u);
    int refused = 0;
    for (const test::Damaged_Picture& picture : corpus) {
        SCOPED_TRACE(std::string(picture.name.begin(), picture.name.end()));
        const std::optional<bool> read = Accepted(picture);
        if (!read) continue;
        const bool accepted = *read;
        refused += !accepted;
        if (Named(picture.name, L"-sound.")) {
            EXPECT_TRUE(accepted);
        }
        // Compressed bitmaps cut after their last row are read as the
        // writers that leave out the end marker mean them.
        if (Named(picture.name, L"-cut") && !Named(picture.name, L"rle")) {
            EXPECT_FALSE(accepted) << "cut short";
        }
        for (const wchar_t* lie : {L"-empty.",
                                   L"65535-square",
                                   L"60000-square",
                                   L"2^31",
                                   L"palette-past-end",
                                   L"palette-longer-than-bits",
                                   L"rle8-literal-past-file",
                                   L"rows-past-picture",
                                   L"emf-record",
                                   L"wmf-record",
                                   L"-total-past",
                                   L"-size-past",
                                   L"-no-end-record",
                                   L"end-record-palette",
                                   L"largest-record",
                                   L"placeable-frame",
                                   L"jpeg-no-size",
                                   L"huffman-too-many",
                                   L"huffman-overfull",
                                   L"huffman-table-number",
                                   L"icon-65535-images",
                                   L"icon-image-past-end",
                                   L"icon-offset-past-end",
                                   L"icon-dib-",
                                   L"icon-palette-past-entry"})
            if (Named(picture.name, lie)) {
                EXPECT_FALSE(accepted) << "a lie passed";
            }
    }
    EXPECT_GT(refused, 200);
}

// The PDF save and the PostScript printer stream a JPEG from its file and
// check it on the way (on the save's worker thread too): the check refuses
// everything the walk of the bytes in memory and the decode of the whole
// file refused, or a damaged file would go on unchanged; beyond that only
// files damaged mid-scan (which the band reader's data floor catches), never
// a sound one.
TEST(Damaged_Pictures, The_Streamed_Jpeg_Check_Refuses_All_That_The_Check_In_Memory_Refuses) {
    std::vector<test::Damaged_Picture> corpus = test::Damaged_Pictures(true);
    int jpegs = 0, refused = 0;
    for (const test::Damaged_Picture& picture : corpus) {
        if (!picture.name.ends_with(L".jpg")) continue;
        SCOPED_TRACE(std::string(picture.name.begin(), picture.name.end()));
        ++jpegs;
        bool in_memory = Jpeg_Reaches_End_Marker(picture.bytes);
        if (in_memory) {
            try {
                Decode_Jpeg(picture.bytes, 1, 1);
            } catch (const Invalid_Picture&) {
                in_memory = false;
            }
        }
        const bool streamed = Check_Jpeg_As_It_Is([&] {
                                  return std::make_unique<Span_Source>(std::span<const std::uint8_t>(picture.bytes));
                              }).has_value();
        EXPECT_TRUE(in_memory || !streamed);
        EXPECT_TRUE(streamed == in_memory || Named(picture.name, L"-scan-") || Named(picture.name, L"-half-"));
        EXPECT_TRUE(streamed || !Named(picture.name, L"-sound."));
        refused += !in_memory;
    }
    EXPECT_GT(jpegs, 50);
    EXPECT_GT(refused, 20);
}

}  // namespace
}  // namespace velbrook

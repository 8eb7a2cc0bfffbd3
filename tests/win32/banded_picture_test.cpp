// Pictures too large to hold decoded are read from their file a band at a
// time whenever they are drawn.  They must draw as the whole decode does, in
// every placement; a file that breaks off in the middle of a band leaves the
// rest as its decoder gives it; and a printer that takes JPEG gets the file
// itself when the page needs no turn, flip or cut.

#include <cstdint>
#include <limits>
#include <span>

#include "../support/bmp_writer.h"
#include "../support/jpeg_encoder.h"
#include "../support/png_writer.h"
#include "picture/picture.h"
#include "picture_folder.h"
#include "picture_test_support.h"
#include "print_test_support.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

constexpr std::int64_t Never_Whole = 0;
constexpr std::int64_t Always_Whole = std::numeric_limits<std::int64_t>::max();

// Smooth light with a dark corner mark at the stored picture's top left, so
// that a band out of place or turned the wrong way shows.
void Paint(int x, int y, std::uint8_t* s) {
    const bool mark = x < 200 && y < 120;
    s[0] = static_cast<std::uint8_t>(mark ? 20 : 60 + x / 16);
    s[1] = static_cast<std::uint8_t>(mark ? 20 : 40 + y / 10);
    s[2] = static_cast<std::uint8_t>(mark ? 20 : 200 - (x + y) / 40);
}

std::vector<std::uint8_t> Photo(int width, int height) {
    return test::Encode_Jpeg({.width = width, .height = height, .quality = 95}, Paint);
}

// The same picture as a bitmap of `bits` bits a pixel, rows stored bottom
// first or (top_down) top first: 8 bits in 256 greys, 1 bit in two colours
// (a mark on light), 16 bits with 5-6-5 masks.
std::vector<std::uint8_t> Bitmap(int width, int height, int bits, bool top_down) {
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rows.data() + stride * static_cast<std::size_t>(top_down ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint8_t bgr[3];
            Paint(x, y, bgr);
            if (bits == 24) std::copy_n(bgr, 3, row + 3 * x);
            if (bits == 32) std::copy_n(bgr, 3, row + 4 * x), row[4 * x + 3] = 0x7F;
            if (bits == 8) row[x] = static_cast<std::uint8_t>((bgr[0] + 2 * bgr[1] + bgr[2]) / 4);
            if (bits == 1 && bgr[0] != 20) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> x % 8);
            if (bits == 16) {
                const unsigned v = (bgr[2] >> 3) << 11 | (bgr[1] >> 2) << 5 | bgr[0] >> 3;
                row[2 * x] = static_cast<std::uint8_t>(v), row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            }
        }
    }
    std::vector<std::uint32_t> palette;
    if (bits == 8)
        for (std::uint32_t k = 0; k < 256; ++k) palette.push_back(k * 0x010101u);
    if (bits == 1) palette = {0x141414, 0xE0F0D0};
    return test::Build_Bmp(
        {.width = width,
         .height = top_down ? -height : height,
         .bits = static_cast<std::uint16_t>(bits),
         .compression = bits == 16 ? test::Bmp_Bitfields : test::Bmp_Rgb,
         .palette = palette,
         .masks = bits == 16 ? std::vector<std::uint32_t>{0xF800, 0x07E0, 0x001F} : std::vector<std::uint32_t>{},
         .pixels = rows});
}

std::shared_ptr<const Picture> Load(const std::wstring& path, SIZE target, const Page_Options& options,
                                    std::int64_t whole_decode_bytes) {
    return Load_Picture_For(path, {.target = target, .options = options, .whole_decode_bytes = whole_decode_bytes});
}

// How many pixels of two canvases differ by more than a step of rounding,
// and by more than a sixth of the range in any channel.
struct Difference {
    int pixels = 0;
    int far_pixels = 0;
};
Difference Compare(const Canvas& a, const Canvas& b) {
    Difference d;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const Rgb p = a.At(x, y), q = b.At(x, y);
            const int most = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            d.pixels += most > 2;
            d.far_pixels += most > 40;
        }
    return d;
}

TEST(Banded_Pictures, Draw_As_The_Whole_Decode_Does_In_Every_Placement) {
    Picture_Folder folder;
    const std::wstring jpeg = folder.Write(L"photo.jpg", Photo(3000, 2000));
    const std::wstring png =
        folder.Write(L"screen.png", test::Build_Png(2000, 1500, true, [](int x, int y, std::uint8_t* s) {
                         Paint(x, y, s);
                         s[3] = static_cast<std::uint8_t>(x < 1000 ? 255 : 128);  // half of it lets the white through
                     }));
    // Bitmaps of several depths and both row orders.
    const std::wstring bmp24 = folder.Write(L"bottom-up-24.bmp", Bitmap(1500, 1450, 24, false));
    const std::wstring bmp8 = folder.Write(L"top-down-8.bmp", Bitmap(1500, 1450, 8, true));
    const std::wstring bmp16 = folder.Write(L"masks-16.bmp", Bitmap(1500, 1450, 16, false));
    const std::wstring bmp1 = folder.Write(L"top-down-1.bmp", Bitmap(1500, 1450, 1, true));
    const std::wstring bmp32 = folder.Write(L"bottom-up-32.bmp", Bitmap(1500, 1450, 32, false));
    // The new types accepted throughout: harmless to a JPEG's placement.
    const Page_Options options[] = {
        {.more_types = true},
        {.fit = Fit_Mode::Fit, .more_types = true},
        {.fit = Fit_Mode::Fill, .more_types = true},
        {.fit = Fit_Mode::Fit, .turn_to_page = true, .more_types = true},
        {.fit = Fit_Mode::Fill, .turn_to_page = true, .more_types = true},
    };
    const Page_Options bitmap_options[] = {options[0], options[3]};
    const RECT page{7, 5, 807, 1105};  // portrait: the landscape pictures turn
    for (const std::wstring& path : {jpeg, png, bmp24, bmp8, bmp16, bmp1, bmp32}) {
        // Bitmaps, whose rows come straight from the file, placed as they
        // are and turned (the placements themselves are the JPEG's and PNG's).
        const bool bitmap = path.ends_with(L".bmp");
        for (const Page_Options& used : bitmap ? std::span<const Page_Options>(bitmap_options) : options) {
            SCOPED_TRACE(std::string(path.begin() + static_cast<long>(path.rfind(L'\\')) + 1, path.end()) + " fit " +
                         std::to_string(static_cast<int>(used.fit)) + (used.turn_to_page ? " turned" : ""));
            // Loaded at their own size, so that they are drawn in several
            // bands of at most Band_Bytes and the joins are on the page.
            const SIZE target{0, 0};
            const auto whole = Load(path, target, used, Always_Whole);
            const auto banded = Load(path, target, used, Never_Whole);
            ASSERT_TRUE(whole && banded);
            EXPECT_FALSE(whole->Open_Rows());
            ASSERT_TRUE(banded->Open_Rows());
            EXPECT_EQ(banded->Kind(), whole->Kind());
            EXPECT_EQ(banded->Pixel_Size().cx, whole->Pixel_Size().cx);
            EXPECT_EQ(banded->Pixel_Size().cy, whole->Pixel_Size().cy);
            EXPECT_GT(std::int64_t{banded->Pixel_Size().cx} * banded->Pixel_Size().cy * 4, 2 * Band_Bytes);

            Canvas drawn_whole(820, 1120), drawn_banded(820, 1120);
            ASSERT_TRUE(Draw_Placed(drawn_whole.Dc(), *whole, Place_On(*whole, used, page, 0)));
            ASSERT_TRUE(Draw_Placed(drawn_banded.Dc(), *banded, Place_On(*banded, used, page, 0)));
            const Difference d = Compare(drawn_whole, drawn_banded);
            // Each band is stretched into a slice whose edges are rounded to
            // whole device rows, so a sharp edge inside a band may fall half
            // a row away; nothing else may differ.
            EXPECT_LE(d.pixels, 820 * 4) << "more than four rows' worth of pixels differ";
            EXPECT_LE(d.far_pixels, 400) << "more than an edge's worth of pixels differ by far";
            // The mark is where the placement puts the stored top left corner.
            if (used.fit != Fit_Mode::Fill) {
                const Box& at = Place_On(*banded, used, page, 0).destination;
                const int x = at.left + 4, y = used.turn_to_page ? at.bottom - 5 : at.top + 4;
                EXPECT_TRUE(Near(drawn_banded.At(x, y), Rgb{20, 20, 20}, 30)) << x << "," << y;
            }
        }
    }
}

TEST(Banded_Pictures, A_File_That_Breaks_Off_Inside_A_Band_Leaves_The_Rest_As_The_Decoder_Gives_It) {
    Picture_Folder folder;
    const std::vector<std::uint8_t> photo = Photo(1600, 2400);
    const std::wstring path = folder.Write(L"photo.jpg", photo);
    const auto banded = Load(path, {800, 1200}, {}, Never_Whole);
    ASSERT_TRUE(banded->Open_Rows());
    // The file is cut to its first half after it was loaded, as a file on a
    // share might be: the page breaks off in the middle of a band.
    folder.Write(L"photo.jpg",
                 std::vector<std::uint8_t>(photo.begin(), photo.begin() + static_cast<long>(photo.size() / 2)));
    Canvas canvas(800, 1200);
    EXPECT_TRUE(Draw_Placed(canvas.Dc(), *banded, Place_On(*banded, {}, canvas.Whole(), 0)));
    EXPECT_TRUE(Near(canvas.At(10, 10), Rgb{20, 20, 20}, 30));  // the mark
    EXPECT_TRUE(Near(canvas.At(400, 1150), Grey, 6));           // libjpeg's grey remainder

    // A bitmap cut to its first half after it was loaded gives the rows the
    // file still holds (the bottom half, stored first) and white for the rest.
    const std::vector<std::uint8_t> bitmap = Bitmap(1500, 1450, 24, false);
    const std::wstring bitmap_path = folder.Write(L"bitmap.bmp", bitmap);
    const auto bitmap_banded = Load(bitmap_path, {750, 725}, {}, Never_Whole);
    ASSERT_TRUE(bitmap_banded->Open_Rows());
    const std::vector<std::uint8_t> half_bitmap(bitmap.begin(), bitmap.begin() + static_cast<long>(bitmap.size() / 2));
    folder.Write(L"bitmap.bmp", half_bitmap);
    Canvas bitmap_canvas(750, 725);
    EXPECT_TRUE(
        Draw_Placed(bitmap_canvas.Dc(), *bitmap_banded, Place_On(*bitmap_banded, {}, bitmap_canvas.Whole(), 0)));
    EXPECT_EQ(bitmap_canvas.At(10, 10), White);
    EXPECT_EQ(bitmap_canvas.At(375, 300), White);
    EXPECT_TRUE(Near(bitmap_canvas.At(375, 700), Rgb{147, 180, 106}, 30));

    // Loaded so, with its end marker put back, it prints the same way, and
    // the run goes on to the next picture; cut without it, it is skipped
    // before any page is begun for it, as is a bitmap cut short.
    std::vector<std::uint8_t> mended(photo.begin(), photo.begin() + static_cast<long>(photo.size() / 2));
    const std::wstring cut = folder.Write(L"cut.jpg", mended);
    mended.insert(mended.end(), {0xFF, 0xD9});
    Print_Bench bench;
    bench.host.entries = {folder.Write(L"mended.jpg", mended), cut, folder.Write(L"cut.bmp", half_bitmap),
                          Sample("red_green.bmp")};
    bench.run->Print_BitBtnClick();
    ASSERT_EQ(bench.recording->pages.size(), 2u);
    EXPECT_TRUE(bench.host.dialogs.messages.empty());
    EXPECT_TRUE(Near(bench.At(0, 40, 40), Rgb{20, 20, 20}, 30));
    EXPECT_TRUE(Near(bench.At(0, 1200, 3400), Grey, 6));
    EXPECT_FALSE(bench.Blank(1));
}

TEST(Printer_Takes_Jpeg, Gets_The_File_Itself_When_The_Page_Needs_No_Turn_Flip_Or_Cut) {
    Picture_Folder folder;
    const std::vector<std::uint8_t> photo = Photo(3000, 2000);
    const std::wstring big = folder.Write(L"photo.jpg", photo);
    const std::wstring small = Sample("blue_yellow.jpg");
    const std::vector<std::uint8_t> small_bytes = File_Bytes(small);
    const struct {
        const char* what;
        Page_Options options;
        bool accept;
        std::vector<std::vector<std::uint8_t>> photo_page, small_page;
    } cases[] = {
        {"classic page", {}, true, {photo}, {small_bytes}},
        {"the printer does not take JPEG", {}, false, {}, {}},
        {"fit: stretched only", {.fit = Fit_Mode::Fit}, true, {photo}, {small_bytes}},
        {"fill: cut", {.fit = Fit_Mode::Fill}, true, {}, {}},
        {"fit and turned", {.fit = Fit_Mode::Fit, .turn_to_page = true}, true, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Print_Bench bench;
        bench.options.accept_jpeg = c.accept;
        bench.host.options = c.options;
        bench.host.entries = {big, small, Sample("red_green.bmp")};
        bench.run->Print_BitBtnClick();
        ASSERT_EQ(bench.recording->pages.size(), 3u);
        EXPECT_EQ(bench.Page(0).jpegs, c.photo_page);
        if (c.options.fit != Fit_Mode::Fill && !c.options.turn_to_page) {
            EXPECT_EQ(bench.Page(1).jpegs, c.small_page);
        }
        EXPECT_TRUE(bench.Page(2).jpegs.empty());
        // Taken or not, the page shows the picture.
        EXPECT_FALSE(bench.Blank(0));
    }
}

}  // namespace
}  // namespace velbrook

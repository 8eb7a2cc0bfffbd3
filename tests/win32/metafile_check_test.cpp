// The metafile checks against what the system itself records: every
// metafile GDI writes, and the About window's banner, must pass them, or
// the checks would refuse real files.

#include "about/about_pictures.h"
#include "picture/metafile_check.h"
#include "picture/picture_kinds.h"
#include "../support/metafile_writer.h"
#include "picture_test_support.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

// Draws something of most kinds a real metafile holds: fills, lines,
// curves, text in a font, a stretched bitmap, a clip region.
void Draw_A_Bit_Of_Everything(HDC dc) {
    Brush_Handle brush(::CreateSolidBrush(RGB(10, 200, 30)));
    const RECT whole{0, 0, 200, 100};
    ::FillRect(dc, &whole, brush.get());
    Pen_Handle pen(::CreatePen(PS_DASH, 1, RGB(200, 0, 0)));
    Select_Guard pen_in(dc, pen.get());
    const POINT line[] = {{0, 0}, {50, 80}, {120, 10}, {199, 99}};
    ::Polyline(dc, line, 4);
    ::Ellipse(dc, 20, 20, 90, 70);
    ::Arc(dc, 100, 10, 180, 90, 0, 0, 200, 100);
    Font_Handle font(::CreateFontW(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    Select_Guard font_in(dc, font.get());
    ::TextOutW(dc, 10, 40, L"Velbrook \u00e4\u00f6\u00fc", 11);
    Region_Handle clip(::CreateEllipticRgn(100, 0, 200, 100));
    ::SelectClipRgn(dc, clip.get());
    BITMAPINFO info{};
    info.bmiHeader = {.biSize = sizeof(BITMAPINFOHEADER),
                      .biWidth = 2,
                      .biHeight = 2,
                      .biPlanes = 1,
                      .biBitCount = 32,
                      .biCompression = BI_RGB,
                      // Wine's recorders copy this many bytes of rows: without
                      // it they write the record without its rows, which the
                      // check refuses as a player would read past it.
                      .biSizeImage = 16};
    const std::uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    ::StretchDIBits(dc, 100, 0, 100, 100, 0, 0, 2, 2, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    ::SelectClipRgn(dc, nullptr);
}

std::vector<std::uint8_t> Enhanced_Bits(HENHMETAFILE metafile) {
    std::vector<std::uint8_t> bytes(::GetEnhMetaFileBits(metafile, 0, nullptr));
    ::GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

TEST(Metafile_Check_On_Windows, What_The_System_Records_Passes) {
    const Window_Dc screen(nullptr);
    // An enhanced metafile, with a description, recorded by GDI.
    RECT frame{0, 0, 5000, 2500};
    HDC recorder = ::CreateEnhMetaFileW(screen.get(), nullptr, &frame, L"Velbrook\0test\0");
    ASSERT_NE(recorder, nullptr);
    Draw_A_Bit_Of_Everything(recorder);
    Enh_Metafile_Handle enhanced(::CloseEnhMetaFile(recorder));
    ASSERT_TRUE(enhanced);
    const std::vector<std::uint8_t> emf = Enhanced_Bits(enhanced.get());
    ASSERT_GT(emf.size(), 200u);
    EXPECT_EQ(Check_Emf(emf).size(), emf.size());

    // The same as a Windows metafile, converted by GDI.
    std::vector<std::uint8_t> wmf(::GetWinMetaFileBits(enhanced.get(), 0, nullptr, MM_ANISOTROPIC, screen.get()));
    ASSERT_GT(wmf.size(), 18u);
    ::GetWinMetaFileBits(enhanced.get(), static_cast<UINT>(wmf.size()), wmf.data(), MM_ANISOTROPIC, screen.get());
    Checked_Wmf checked;
    ASSERT_NO_THROW(checked = Check_Wmf(wmf));
    EXPECT_EQ(checked.metafile.size(), wmf.size());
    EXPECT_FALSE(checked.frame);

    // A Windows metafile recorded by GDI itself.
    HDC old_recorder = ::CreateMetaFileW(nullptr);
    ASSERT_NE(old_recorder, nullptr);
    Draw_A_Bit_Of_Everything(old_recorder);
    Metafile_Handle old(::CloseMetaFile(old_recorder));
    ASSERT_TRUE(old);
    std::vector<std::uint8_t> recorded(::GetMetaFileBitsEx(old.get(), 0, nullptr));
    ::GetMetaFileBitsEx(old.get(), static_cast<UINT>(recorded.size()), recorded.data());
    ASSERT_NO_THROW(checked = Check_Wmf(recorded));
    EXPECT_EQ(checked.metafile.size(), recorded.size());

    // The About window's banner.
    const auto banner = Make_Banner(611, 67);
    ASSERT_TRUE(banner);
    const std::vector<std::uint8_t> banner_bits = Enhanced_Bits(banner->Handle());
    EXPECT_EQ(Check_Emf(banner_bits).size(), banner_bits.size());
}

TEST(Metafile_Check_On_Windows, A_Metafile_With_Escapes_Is_Played_Record_By_Record_And_Still_Draws) {
    // An escape for the printer's driver (PASSTHROUGH) before and after a
    // red rectangle: the rectangle is drawn.  (What an escape does is not
    // seen on a bitmap; the player leaves them out for the printer.)
    using namespace velbrook::test;
    std::vector<Emf_Record> records{{106, {19, 8, 0x41414141, 0x41414141}}};
    for (const Emf_Record& record : Emf_Filled_Rectangle(0x000000FF)) records.push_back(record);
    records.push_back({106, {19, 4, 0x42424242}});
    const std::vector<std::uint8_t> bytes = Build_Emf({.records = records});
    const std::shared_ptr<const Picture> picture = Make_Emf_Picture(bytes);
    const Dc_Handle dc(::CreateCompatibleDC(nullptr));
    std::uint32_t* pixels = nullptr;
    const Bitmap_Handle bitmap = Top_Down_Dib_Section(40, 40, &pixels);
    const Select_Guard select(dc.get(), bitmap.get());
    std::fill_n(pixels, 40 * 40, 0x00FFFFFFu);
    EXPECT_TRUE(picture->Render(dc.get(), RECT{0, 0, 40, 40}));
    ::GdiFlush();
    EXPECT_EQ(pixels[20 * 40 + 20] & 0x00FFFFFFu, 0x00FF0000u) << "red in the middle";
}

}  // namespace
}  // namespace velbrook

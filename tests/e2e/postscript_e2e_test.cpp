// Photos that reach the "PDF" printer's PostScript driver as their own JPEG
// bytes look as they do when drawn in bands: each JPEG is printed beside a
// PNG copy of its oriented pixels (which goes in bands), in the same job, and
// the two pages rendered by pdftoppm at 150 dpi are compared: the picture's
// corners within 2 pixels, its colours at sample points within a small
// tolerance.  A progressive JPEG in the same job goes in bands and matches
// too.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../support/jpeg_encoder.h"
#include "../support/pdf_check.h"
#include "../support/picture_writers.h"
#include "../support/png_writer.h"
#include "driver.h"
#include "print_samples.h"

namespace e2e {

using namespace velbrook::pdf;
namespace {

constexpr int Stored_Width = 300, Stored_Height = 200;

// The marked picture of picture_writers.h: blue, a red mark at its top left
// and a green one at its top right.
void Mark_Pixel(int x, int y, std::uint8_t* rgb) {
    const bool top = y < 50;
    rgb[0] = top && x < 75 ? 255 : 0;
    rgb[1] = top && x >= 225 ? 255 : 0;
    rgb[2] = top && (x < 75 || x >= 225) ? 0 : 255;
}

// The stored pixel behind pixel (u, v) of the picture shown as the Exif
// orientation says: where the stored first row and column end up.
void Stored_Of(int orientation, int u, int v, int& x, int& y) {
    const int w = Stored_Width - 1, h = Stored_Height - 1;
    switch (orientation) {
        case 2: x = w - u, y = v; break;
        case 3: x = w - u, y = h - v; break;
        case 4: x = u, y = h - v; break;
        case 5: x = v, y = u; break;
        case 6: x = v, y = h - u; break;
        case 7: x = w - v, y = h - u; break;
        case 8: x = w - v, y = u; break;
        default: x = u, y = v; break;
    }
}

std::vector<std::uint8_t> Oriented_Png(int orientation) {
    const bool turned = orientation >= 5;
    return velbrook::test::Build_Png(turned ? Stored_Height : Stored_Width, turned ? Stored_Width : Stored_Height,
                                     false, [&](int u, int v, std::uint8_t* rgb) {
                                         int x = 0, y = 0;
                                         Stored_Of(orientation, u, v, x, y);
                                         Mark_Pixel(x, y, rgb);
                                     });
}

std::wstring Write(const Velbrook& program, const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    const std::wstring path = (program.Folder() / name).wstring();
    std::ofstream(std::filesystem::path(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Where the picture's colours are on the page between rows `top` and
// `bottom`: saturated pixels only, so that the black caption is left out.
struct Extent {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Extent Picture_Extent(const Page_Pixels& page, int top, int bottom) {
    Extent e;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < page.width; ++x) {
            const std::uint8_t* p = &page.rgb[(std::size_t(y) * page.width + x) * 3];
            if (std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) < 128) continue;
            e.left = std::min(e.left, x), e.right = std::max(e.right, x);
            e.top = std::min(e.top, y), e.bottom = std::max(e.bottom, y);
        }
    return e;
}

Rgb Pixel(const Page_Pixels& page, int x, int y) {
    const std::uint8_t* p = &page.rgb[(std::size_t(y) * page.width + x) * 3];
    return {p[0], p[1], p[2]};
}

// The page drawn by the printer from the JPEG against the page drawn in
// bands, within rows [top, bottom) of both.
void Expect_Same_Look(const Page_Pixels& printed, const Page_Pixels& banded, int top, int bottom) {
    const Extent a = Picture_Extent(printed, top, bottom), b = Picture_Extent(banded, top, bottom);
    ASSERT_GE(b.right, b.left) << "no picture in bands";
    ASSERT_GE(a.right, a.left) << "no picture from the JPEG";
    EXPECT_NEAR(a.left, b.left, 2);
    EXPECT_NEAR(a.top, b.top, 2);
    EXPECT_NEAR(a.right, b.right, 2);
    EXPECT_NEAR(a.bottom, b.bottom, 2);
    // Away from the marks' edges (a quarter of the picture in from its sides
    // and down from its top, in every orientation).
    for (const double fx : {0.1, 0.35, 0.5, 0.65, 0.9})
        for (const double fy : {0.1, 0.35, 0.5, 0.65, 0.9}) {
            const int x = b.left + static_cast<int>(fx * (b.right - b.left));
            const int y = b.top + static_cast<int>(fy * (b.bottom - b.top));
            EXPECT_TRUE(Near(Pixel(printed, x, y), Pixel(banded, x, y), 40)) << "at " << fx << ", " << fy;
        }
}

const char* Pdf_Queue() {
    const char* folder = std::getenv("VELBROOK_PDF_DIR");
    return folder && *folder ? folder : nullptr;
}

std::string Mark() { return "pslook" + std::to_string(::GetCurrentProcessId()); }

TEST(Postscript_Look, Filled_Turned_And_Flipped_Jpegs_Print_As_Their_Copies_Do_In_Bands) {
    const char* unix_folder = Pdf_Queue();
    if (!unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    Velbrook program(L"",
                     "[Options]\r\nPlacement=2\r\nTurn_to_Suit_the_Page=1\r\nFollow_the_Cameras_Orientation=1\r\n"
                     "Print_File_Names=1\r\nAccept_PNG_GIF_and_TIFF_Files=1\r\n");
    const std::string mark = Mark();
    const std::wstring name(mark.begin(), mark.end());
    // Orientation 1 is the landscape picture turned a quarter to suit the
    // page; the others are the camera's turns and flips on top of that.
    std::vector<std::wstring> pictures;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::wstring stem = name + L"-" + std::to_wstring(orientation);
        pictures.push_back(Write(program, stem + L".jpg", velbrook::testing::Marked_Jpeg(orientation == 1 ? 0 : orientation)));
        pictures.push_back(Write(program, stem + L".png", Oriented_Png(orientation)));
    }
    pictures.push_back(Write(program, name + L"-progressive.jpg",
                             velbrook::test::Encode_Jpeg({.width = Stored_Width, .height = Stored_Height,
                                                          .progressive = true},
                                                         Mark_Pixel)));
    Printed printed{.unix_folder = unix_folder, .mark = mark};
    ASSERT_NO_FATAL_FAILURE(Print_Pictures(program, pictures, printed));
    const std::string pdf = printed.Unix_Pdf();
    ASSERT_EQ(Pdf_Field(Run_Unix("pdfinfo '" + pdf + "'"), "Pages"), "17");

    std::vector<Page_Pixels> pages;
    for (int k = 1; k <= 17; ++k) {
        pages.push_back(Render_Page(pdf, k, 150));
        ASSERT_GT(pages.back().width, 0) << "page " << k;
    }
    const int height = pages[0].height;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE("orientation " + std::to_string(orientation));
        const std::size_t k = static_cast<std::size_t>(orientation - 1) * 2;
        Expect_Same_Look(pages[k], pages[k + 1], 0, height);
    }
    SCOPED_TRACE("the progressive JPEG, in bands");
    Expect_Same_Look(pages[16], pages[1], 0, height);
    if (!HasFailure()) ::DeleteFileW((printed.folder + L"\\" + printed.name).c_str());
}

TEST(Postscript_Look, Stretched_Jpegs_In_The_Cells_Of_A_Grid_Print_As_Their_Copies_Do_In_Bands) {
    const char* unix_folder = Pdf_Queue();
    if (!unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    Velbrook program(L"", "[Options]\r\nPrint_File_Names=1\r\nAccept_PNG_GIF_and_TIFF_Files=1\r\n"
                          "[Layout]\r\nSheet_Layout=1\r\nColumns=1\r\nRows=2\r\n");
    const std::string mark = Mark();
    const std::wstring name(mark.begin(), mark.end());
    // Sheet 1: the JPEG and its turn (which stretching does not follow);
    // sheet 2: their copies, in the same cells.
    const std::vector<std::wstring> pictures = {
        Write(program, name + L"-a.jpg", velbrook::testing::Marked_Jpeg()),
        Write(program, name + L"-b.jpg", velbrook::testing::Marked_Jpeg(6)),
        Write(program, name + L"-a.png", Oriented_Png(1)),
        Write(program, name + L"-b.png", Oriented_Png(1)),
    };
    Printed printed{.unix_folder = unix_folder, .mark = mark};
    ASSERT_NO_FATAL_FAILURE(Print_Pictures(program, pictures, printed));
    const std::string pdf = printed.Unix_Pdf();
    ASSERT_EQ(Pdf_Field(Run_Unix("pdfinfo '" + pdf + "'"), "Pages"), "2");
    const Page_Pixels printed_page = Render_Page(pdf, 1, 150), banded = Render_Page(pdf, 2, 150);
    ASSERT_GT(printed_page.width, 0);
    ASSERT_GT(banded.width, 0);
    const int half = printed_page.height / 2;
    {
        SCOPED_TRACE("the first cell");
        Expect_Same_Look(printed_page, banded, 0, half);
    }
    {
        SCOPED_TRACE("the second cell");
        Expect_Same_Look(printed_page, banded, half, printed_page.height);
    }
    if (!HasFailure()) ::DeleteFileW((printed.folder + L"\\" + printed.name).c_str());
}

}  // namespace
}  // namespace e2e

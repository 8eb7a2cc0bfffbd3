// A page drawn in bands looks like one drawn whole: two pictures large
// enough to be drawn a band at a time, printed by velbrook.exe through the
// real "PDF" printer with the classic options.  At A4 and 300 dpi the page
// rectangle is 2459 x 3488 device pixels, so the 1709 stored rows of each
// picture are enlarged 2.04 times and the bands of 524 rows (2000 pixels
// wide, 4 MB) join at fractional device rows: 1069.5, 2139.0 and 3208.5
// rows below the top.  pdftoppm renders the PDF at twice the printer's
// resolution (at its own, poppler widens each image to whole pixels and
// would hide a gap of one device row), and every row of the picture is
// compared with its neighbours.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/jpeg_encoder.h"
#include "../support/pdf_check.h"
#include "driver.h"
#include "print_samples.h"

namespace e2e {
namespace {

using namespace velbrook::pdf;

constexpr int Width = 2000, Height = 1709;

struct Join_Case {
    const wchar_t* name;
    // Rows compared: a row's samples across the middle of the picture.
    void (*paint)(int x, int y, std::uint8_t* rgb);
    // The largest change allowed from a row to the next.
    int largest_step;
};

// Light rising smoothly down the picture: a line, a gap or a repeated band
// shows as a step between neighbouring rows.
void Gradient(int, int y, std::uint8_t* rgb) {
    const int v = 30 + y * 190 / (Height - 1);
    rgb[0] = static_cast<std::uint8_t>(v), rgb[1] = static_cast<std::uint8_t>(v / 2 + 60),
    rgb[2] = static_cast<std::uint8_t>(250 - v);
}

// One-pixel columns, black and white: every row is the same, so that any
// row that differs from its neighbours is a line, a gap or a shift.
void Stripes(int x, int, std::uint8_t* rgb) { rgb[0] = rgb[1] = rgb[2] = x % 2 ? 255 : 0; }

void Write_File(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

TEST(Band_Joins, A_Page_Drawn_In_Bands_Shows_No_Line_Gap_Or_Step_Where_The_Bands_Meet) {
    const Join_Case cases[] = {{L"gradient.jpg", Gradient, 6}, {L"stripes.jpg", Stripes, 24}};
    Velbrook program;
    std::vector<std::wstring> pictures;
    for (const Join_Case& c : cases) {
        pictures.push_back((program.Folder() / c.name).wstring());
        ASSERT_NO_FATAL_FAILURE(Write_File(
            pictures.back(), velbrook::test::Encode_Jpeg({.width = Width, .height = Height, .quality = 100}, c.paint)));
    }
    const char* pdf_dir = std::getenv("VELBROOK_PDF_DIR");
    ASSERT_NE(pdf_dir, nullptr) << "cups_pdf_start sets VELBROOK_PDF_DIR";
    Printed printed{.unix_folder = pdf_dir};
    ASSERT_NO_FATAL_FAILURE(Print_Pictures(program, pictures, printed));

    for (std::size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE(Narrow(cases[k].name));
        const Page_Pixels page = Render_Page(printed.Unix_Pdf(), static_cast<int>(k) + 1, 600);
        ASSERT_GT(page.width, 4000);
        // Inside the picture, clear of its edges: the page rectangle is 10
        // device pixels in from the printable area.
        const int left = page.width / 5, right = page.width * 4 / 5;
        const int top = page.height / 40, bottom = page.height - page.height / 40;
        auto sample = [&](int x, int y) {
            const std::uint8_t* p = &page.rgb[(static_cast<std::size_t>(y) * page.width + x) * 3];
            return Rgb{p[0], p[1], p[2]};
        };
        int largest = 0, worst_row = -1;
        for (int y = top; y + 1 < bottom; ++y) {
            int step = 0;
            for (int x = left; x < right; ++x) {
                const Rgb a = sample(x, y), b = sample(x, y + 1);
                step = std::max({step, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            }
            if (step > largest) largest = step, worst_row = y;
        }
        EXPECT_LE(largest, cases[k].largest_step)
            << "between rows " << worst_row << " and " << worst_row + 1 << " of " << page.height;
        // The picture is there: not a blank page.
        EXPECT_FALSE(Near(sample(page.width / 2, page.height / 2), Rgb{255, 255, 255}, 20));
    }
}

}  // namespace
}  // namespace e2e

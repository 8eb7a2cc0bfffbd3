// Sheets as a person gets them: the layout kept in the settings file, the
// pictures dropped, printed through the real "PDF" printer or saved through
// the menu, and the PDF looked at and measured.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../../src/app/command_ids.h"
#include "../support/jpeg_encoder.h"
#include "../support/pdf_check.h"
#include "driver.h"
#include "print_samples.h"

namespace e2e {

using namespace velbrook::pdf;
namespace {

std::wstring Write_Jpeg(const Velbrook& program, const std::wstring& name, Rgb colour, int width, int height) {
    const std::vector<std::uint8_t> bytes = velbrook::test::Encode_Jpeg(
        velbrook::test::Jpeg_Recipe{.width = width, .height = height}, [&](int, int, std::uint8_t* rgb) {
            rgb[0] = static_cast<std::uint8_t>(colour.r);
            rgb[1] = static_cast<std::uint8_t>(colour.g);
            rgb[2] = static_cast<std::uint8_t>(colour.b);
        });
    const std::wstring path = (program.Folder() / name).wstring();
    std::ofstream(std::filesystem::path(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

const char* Pdf_Queue() {
    const char* folder = std::getenv("VELBROOK_PDF_DIR");
    return folder && *folder ? folder : nullptr;
}

TEST(Sheets, A_Two_By_Two_Grid_Prints_Four_Pictures_On_One_Page_In_Its_Quarters) {
    const char* unix_folder = Pdf_Queue();
    if (!unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    Velbrook program(L"", "[Layout]\r\nSheet_Layout=1\r\nColumns=2\r\nRows=2\r\n");
    const Rgb colours[] = {Red, Green, Blue, Yellow};
    std::vector<std::wstring> pictures;
    for (int k = 0; k < 4; ++k)
        pictures.push_back(Write_Jpeg(program, L"quarter" + std::to_wstring(k) + L".jpg", colours[k], 90, 60));
    Printed printed{.unix_folder = unix_folder};
    ASSERT_NO_FATAL_FAILURE(Print_Pictures(program, pictures, printed));
    const std::string pdf = printed.Unix_Pdf();
    ASSERT_EQ(Pdf_Field(Run_Unix("pdfinfo '" + pdf + "'"), "Pages"), "1");
    const Page_Pixels page = Render_Page(pdf, 1, 24);
    ASSERT_GT(page.width, 0);
    const double at[][2] = {{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}};
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(Near(page.At_Fraction(at[k][0], at[k][1]), colours[k], 40)) << "quarter " << k;
    if (!HasFailure()) ::DeleteFileW((printed.folder + L"\\" + printed.name).c_str());
}

TEST(Sheets, A_Ten_By_Fifteen_Print_Measures_True_On_Paper) {
    const char* unix_folder = Pdf_Queue();
    if (!unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    Velbrook program(L"",
                     "[Options]\r\nPlacement=2\r\n[Layout]\r\nSheet_Layout=2\r\nPrint_Width=1000\r\n"
                     "Print_Height=1500\r\n");
    const std::vector<std::wstring> pictures{Write_Jpeg(program, L"landscape.jpg", Blue, 300, 200)};
    Printed printed{.unix_folder = unix_folder};
    ASSERT_NO_FATAL_FAILURE(Print_Pictures(program, pictures, printed));
    const Page_Pixels page = Render_Page(printed.Unix_Pdf(), 1, 300);
    ASSERT_GT(page.width, 0);
    // The blue print's extent, found pixel by pixel: 150 x 100 mm at 300 dpi.
    int left = page.width, right = -1, top = page.height, bottom = -1;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const std::size_t at = (std::size_t(y) * page.width + x) * 3;
            if (page.rgb[at + 2] > 160 && page.rgb[at] < 96 && page.rgb[at + 1] < 96) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    ASSERT_GE(right, left) << "no blue on the page";
    EXPECT_NEAR(right - left + 1, 1772, 3);
    EXPECT_NEAR(bottom - top + 1, 1181, 3);
    if (!HasFailure()) ::DeleteFileW((printed.folder + L"\\" + printed.name).c_str());
}

TEST(Sheets, Save_As_Pdf_Of_A_Grid_With_Copies_Embeds_Each_Jpeg_Once) {
    const std::string unix_folder = "/tmp/velbrook-e2e-sheets-" + std::to_string(::GetCurrentProcessId());
    const std::wstring folder = Windows_Path(unix_folder);
    std::filesystem::create_directories(folder);
    const std::wstring target = folder + L"\\sheets.pdf";

    Velbrook program(L"", "[Layout]\r\nSheet_Layout=1\r\nColumns=3\r\nRows=3\r\nCopies=2\r\n");
    const Rgb colours[] = {Red, Green, Blue, Yellow, Magenta};
    std::vector<std::wstring> pictures;
    for (int k = 0; k < 5; ++k)
        pictures.push_back(Write_Jpeg(program, L"copy" + std::to_wstring(k) + L".jpg", colours[k], 120, 80));
    program.Drop(pictures);
    ASSERT_TRUE(Wait_For([&] { return program.List() == pictures; }));
    program.Menu(velbrook::command::Save_Pictures_as_PDF_File);
    ASSERT_TRUE(Dialog_Closed(Choose_File(program, target)));
    ASSERT_TRUE(Wait_For([&] { return program.Status().starts_with(L"  Success: 2 pages saved to"); }, 30s))
        << Narrow(program.Status());

    const std::string pdf = unix_folder + "/sheets.pdf";
    EXPECT_EQ(Pdf_Field(Run_Unix("pdfinfo '" + pdf + "'"), "Pages"), "2");
    EXPECT_NE(Run_Unix("qpdf --check '" + pdf + "' 2>&1; echo rc=$?").find("rc=0"), std::string::npos);
    // pdfimages lists every use of an image; its object number tells the
    // objects apart: ten uses of five JPEG objects.
    std::istringstream list(Run_Unix("pdfimages -list '" + pdf + "'"));
    std::string line;
    std::set<std::string> objects;
    int uses = 0;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string field; fields >> field;) f.push_back(field);
        if (f.size() < 12 || f[0] == "page" || f[2] != "image") continue;
        ++uses;
        EXPECT_EQ(f[8], "jpeg") << line;
        objects.insert(f[10]);
    }
    EXPECT_EQ(uses, 10);
    EXPECT_EQ(objects.size(), 5u);
    // The first sheet holds nine cells: the fifth picture's first copy ends it.
    const Page_Pixels first = Render_Page(pdf, 1, 30);
    ASSERT_GT(first.width, 0);
    EXPECT_TRUE(Near(first.At_Fraction(1.0 / 6, 1.0 / 6), Red, 40));
    EXPECT_TRUE(Near(first.At_Fraction(5.0 / 6, 1.0 / 6), Green, 40));
    EXPECT_TRUE(Near(first.At_Fraction(5.0 / 6, 5.0 / 6), Magenta, 40));

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

// A child window of `parent` of this class and, when given, this text.
HWND Child_Of(HWND parent, const std::wstring& class_name, const std::wstring& text = L"") {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(Class_Of(child).c_str(), class_name.c_str()) == 0 && (text.empty() || Window_Text(child) == text))
            return child;
        if (HWND inner = Child_Of(child, class_name, text)) return inner;
    }
    return nullptr;
}

TEST(Sheets, The_Preview_Shows_Each_Sheet_And_Prints_The_Range_Asked_For) {
    const char* unix_folder = Pdf_Queue();
    if (!unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    Velbrook program(L"", "[Layout]\r\nSheet_Layout=1\r\nColumns=2\r\nRows=2\r\n");
    const Rgb colours[] = {Red, Green, Blue, Yellow, Magenta};
    std::vector<std::wstring> pictures;
    for (int k = 0; k < 5; ++k)
        pictures.push_back(Write_Jpeg(program, L"sheet" + std::to_wstring(k) + L".jpg", colours[k], 90, 60));
    program.Drop(pictures);
    ASSERT_TRUE(Wait_For([&] { return program.List() == pictures; }));

    program.Menu(velbrook::command::Print_Preview);
    HWND preview = nullptr;
    ASSERT_TRUE(Wait_For([&] {
        for (HWND window : program.Top_Windows())
            if (::IsWindowVisible(window) && Window_Text(window) == L"Print Preview") preview = window;
        return preview != nullptr;
    }));
    EXPECT_EQ(::GetWindow(preview, GW_OWNER), program.Main());
    EXPECT_TRUE(Wait_For([&] { return Child_Of(preview, L"Static", L"Sheet 1 of 2") != nullptr; }));
    ::PostMessageW(Child_Of(preview, L"Button", L"&Next"), BM_CLICK, 0, 0);
    EXPECT_TRUE(Wait_For([&] { return Child_Of(preview, L"Static", L"Sheet 2 of 2") != nullptr; }));

    // The fields are the two edits after "Print sheets from", in order.
    std::vector<HWND> fields;
    for (HWND child = ::GetWindow(preview, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (_wcsicmp(Class_Of(child).c_str(), L"Edit") == 0) fields.push_back(child);
    ASSERT_EQ(fields.size(), 2u);
    for (HWND field : fields) ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2"));
    Printed printed{.unix_folder = unix_folder};
    ASSERT_NO_FATAL_FAILURE(Print_Listed(program, pictures.size(), printed, [&] {
        ::PostMessageW(Child_Of(preview, L"Button", L"Print &These"), BM_CLICK, 0, 0);
    }));
    const std::string pdf = printed.Unix_Pdf();
    ASSERT_EQ(Pdf_Field(Run_Unix("pdfinfo '" + pdf + "'"), "Pages"), "1");
    const Page_Pixels page = Render_Page(pdf, 1, 24);
    ASSERT_GT(page.width, 0);
    EXPECT_TRUE(Near(page.At_Fraction(0.25, 0.25), Magenta, 40));
    EXPECT_TRUE(Near(page.At_Fraction(0.75, 0.25), Rgb{255, 255, 255}, 20)) << "the second cell stays empty";
    if (!HasFailure()) ::DeleteFileW((printed.folder + L"\\" + printed.name).c_str());
}

}  // namespace
}  // namespace e2e

// The whole print as a person does it: pictures dropped on the window,
// "Print / PDF", the printer "PDF" chosen in the real set-up dialog, OK; then
// the PDF that the cups-pdf queue wrote is opened and looked at.  The queue
// is started by cups_pdf_start (scripts/wine-session), which also exports
// VELBROOK_PDF_DIR, the folder it writes to.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "../../src/app/command_ids.h"
#include "print_samples.h"
#include "../support/pdf_check.h"
#include "../support/picture_writers.h"
#include "driver.h"

namespace e2e {

using namespace velbrook::pdf;
namespace {

std::wstring Success_Start_For(std::size_t pictures) {
    return L"  Success: All " + std::to_wstring(pictures) +
           L" pictures have been printed !!    (The entire process took ";
}
const std::wstring Success_End = L" seconds).";
const std::wstring Progress_Start = L"  Now printing page ";

// The sample pictures and a copy of the text file named like a JPEG, as the
// list should show them after the drop.
std::vector<std::wstring> Sample_List(const Velbrook& program) {
    const std::wstring corrupt = (program.Folder() / L"corrupt.jpg").wstring();
    std::filesystem::copy_file(Test_Picture(L"corrupt.jpg"), corrupt);
    return {Test_Picture(L"red_green.bmp"), Test_Picture(L"blue_yellow.jpg"), Test_Picture(L"cyan.emf"),
            Test_Picture(L"orange.wmf"), corrupt};
}

// A printer set-up dialog of the program: a #32770 with the printer combo.
HWND Wait_Printer_Setup(const Velbrook& program) {
    return program.Wait_Dialog([](HWND window) { return ::GetDlgItem(window, 0x470) != nullptr; });
}

void Choose_Printer_Pdf(HWND dialog) {
    HWND combo = ::GetDlgItem(dialog, 0x470);
    ASSERT_NE(combo, nullptr);
    DWORD_PTR index = static_cast<DWORD_PTR>(CB_ERR);
    ::SendMessageTimeoutW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"PDF"),
                          SMTO_ABORTIFHUNG, 5000, &index);
    ASSERT_NE(static_cast<LRESULT>(index), CB_ERR) << "the printer combo has no printer PDF";
    DWORD_PTR selected = 0;
    ::SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &selected);
    ASSERT_EQ(selected, index);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo),
                          SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool Run_Over(const std::wstring& status) {
    return status.starts_with(L"  Success") || status.starts_with(L"  Printing stopped") ||
           status.starts_with(L"  Processing aborted");
}

}  // namespace

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

void Print_Pictures(const Velbrook& program, const std::vector<std::wstring>& pictures, Printed& printed) {
    program.Drop(pictures);
    ASSERT_TRUE(Wait_For([&] { return program.List() == pictures; })) << "the drop did not fill the list";
    Print_Listed(program, pictures.size(), printed, [&] { program.Click(L"Print / PDF"); });
}

void Print_Listed(const Velbrook& program, std::size_t entries, Printed& printed, const std::function<void()>& start) {
    const std::wstring Success_Start = Success_Start_For(entries);
    printed.folder = Windows_Path(printed.unix_folder);
    ::CreateDirectoryW(printed.folder.c_str(), nullptr);
    const std::set<std::wstring> before = Pdf_Files(printed.folder);

    start();
    HWND dialog = Wait_Printer_Setup(program);
    ASSERT_NE(dialog, nullptr) << "the printer set-up dialog did not open";
    ASSERT_NO_FATAL_FAILURE(Choose_Printer_Pdf(dialog));
    const auto ok_at = std::chrono::steady_clock::now();
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);

    HWND box = nullptr;
    const bool over = Wait_For(
        [&] {
            const std::wstring status = program.Status();
            if (status.starts_with(Progress_Start) && (printed.progress.empty() || printed.progress.back() != status))
                printed.progress.push_back(status);
            if (Run_Over(status)) {
                printed.status = status;
                return true;
            }
            // A box of the program (not the set-up dialog going away) means the run went wrong.
            box = program.Wait_Dialog(
                [&](HWND window) {
                    return window != dialog && !::GetDlgItem(window, 0x470) && ::GetDlgItem(window, 0xFFFF);
                },
                0ms);
            return box != nullptr;
        },
        180s);
    printed.seconds_to_status = std::chrono::duration<double>(std::chrono::steady_clock::now() - ok_at).count();
    ASSERT_EQ(box, nullptr) << "the program showed \"" << Narrow(Window_Text(box))
                            << "\": " << Narrow(Velbrook::Box_Text(box));
    ASSERT_TRUE(over) << "the run did not end; the status line says \"" << Narrow(program.Status()) << "\"";

    ASSERT_TRUE(printed.status.starts_with(Success_Start)) << Narrow(printed.status);
    ASSERT_TRUE(printed.status.ends_with(Success_End)) << Narrow(printed.status);
    const std::wstring seconds =
        printed.status.substr(Success_Start.size(), printed.status.size() - Success_Start.size() - Success_End.size());
    ASSERT_FALSE(seconds.empty()) << Narrow(printed.status);
    ASSERT_EQ(seconds.find_first_not_of(L"0123456789"), std::wstring::npos) << Narrow(printed.status);
    ASSERT_TRUE(seconds == L"0" || seconds[0] != L'0') << "no leading zeros: " << Narrow(printed.status);
    printed.program_seconds = std::stoi(seconds);

    std::set<std::wstring> others = before;
    for (;;) {
        printed.name = Wait_New_Pdf(printed.folder, others);
        if (printed.name.empty() || printed.mark.empty() ||
            Run_Unix("pdftotext -enc UTF-8 '" + printed.Unix_Pdf() + "' -").find(printed.mark) != std::string::npos)
            break;
        others.insert(printed.name);
    }
    printed.seconds_to_pdf = std::chrono::duration<double>(std::chrono::steady_clock::now() - ok_at).count();
    ASSERT_FALSE(printed.name.empty()) << "no new complete PDF in " << printed.unix_folder;
}

void Print_Samples(const Velbrook& program, Printed& printed) {
    Print_Pictures(program, Sample_List(program), printed);
}

namespace {

TEST(Print, Dropped_Pictures_Printed_To_The_Pdf_Printer_Arrive_One_Per_Page_In_Their_Colours) {
    const char* unix_folder = std::getenv("VELBROOK_PDF_DIR");
    if (!unix_folder || !*unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    Velbrook program;
    Printed printed{.unix_folder = unix_folder};
    ASSERT_NO_FATAL_FAILURE(Print_Samples(program, printed));
    std::printf(
        "[   INFO   ] the run took %d s by the status line; %.1f s from OK to the success text, "
        "%.1f s to the complete PDF\n",
        printed.program_seconds, printed.seconds_to_status, printed.seconds_to_pdf);

    // The window is back to normal, the abort panel hidden, the last entry selected.
    EXPECT_TRUE(Wait_For([&] { return ::IsWindowEnabled(program.Button(L"Print / PDF")) != 0; }));
    EXPECT_FALSE(::IsWindowVisible(program.Button(L"Abort")));
    EXPECT_EQ(program.Selected(), 4);
    // Page numbers of the pictures that loaded, out of every entry of the list.
    for (const std::wstring& text : printed.progress) {
        EXPECT_TRUE(text.starts_with(Progress_Start)) << Narrow(text);
        EXPECT_NE(text.find(L" of 5 ...     ("), std::wstring::npos) << Narrow(text);
        EXPECT_TRUE(text.ends_with(L" secs elapsed so far ...)")) << Narrow(text);
        EXPECT_EQ(text.find(L"page 5 of"), std::wstring::npos) << "the corrupt entry got a page: " << Narrow(text);
    }

    const std::string pdf = printed.Unix_Pdf();
    const std::string info = Run_Unix("pdfinfo '" + pdf + "'");
    EXPECT_EQ(Pdf_Field(info, "Title"), "Orvel Pics") << info;
    ASSERT_EQ(Pdf_Field(info, "Pages"), "4") << info;
    EXPECT_NE(Pdf_Field(info, "Page size").find("(A4)"), std::string::npos) << info;

    // Where each picture lies on its page, away from its own edges and from
    // the page's: the page rectangle is the whole page but 10 device pixels.
    struct Sample {
        double x, y;
        Rgb colour;
    };
    const std::vector<std::vector<Sample>> pages = {
        {{0.25, 0.5, Red}, {0.1, 0.1, Red}, {0.4, 0.9, Red}, {0.75, 0.5, Green}, {0.6, 0.1, Green}, {0.9, 0.9, Green}},
        {{0.5, 0.25, Blue},
         {0.1, 0.1, Blue},
         {0.9, 0.4, Blue},
         {0.5, 0.75, Yellow},
         {0.1, 0.6, Yellow},
         {0.9, 0.9, Yellow}},
        {{0.5, 0.5, Cyan}, {0.1, 0.1, Cyan}, {0.9, 0.1, Cyan}, {0.1, 0.9, Cyan}, {0.9, 0.9, Cyan}},
        {{0.5, 0.5, Orange}, {0.1, 0.1, Orange}, {0.9, 0.1, Orange}, {0.1, 0.9, Orange}, {0.9, 0.9, Orange}},
    };
    for (std::size_t k = 0; k < pages.size(); ++k) {
        SCOPED_TRACE("page " + std::to_string(k + 1));
        const Page_Pixels page = Render_Page(pdf, static_cast<int>(k + 1), 24);
        ASSERT_GT(page.width, 0) << "pdftoppm gave no picture";
        EXPECT_LT(page.width, page.height) << "portrait A4";
        for (const Sample& s : pages[k])
            EXPECT_TRUE(Near(page.At_Fraction(s.x, s.y), s.colour, 40)) << "at " << s.x << ", " << s.y;
    }
    if (!HasFailure()) ::DeleteFileW((printed.folder + L"\\" + printed.name).c_str());
}

TEST(Print, Fit_Turn_And_The_New_Picture_Types_Reach_The_Pdf_Where_The_Placement_Puts_Them) {
    const char* unix_folder = std::getenv("VELBROOK_PDF_DIR");
    if (!unix_folder || !*unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    constexpr Rgb White{255, 255, 255};
    Velbrook program;
    const auto write = [&](const wchar_t* name, const std::vector<std::uint8_t>& bytes) {
        const std::wstring path = (program.Folder() / name).wstring();
        std::ofstream(std::filesystem::path(path), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    };
    using velbrook::testing::Marked_Jpeg;
    using velbrook::testing::Wic_File;
    const std::vector<std::wstring> pictures = {
        write(L"mark.jpg", Marked_Jpeg()),
        write(L"orange.png", Wic_File(GUID_ContainerFormatPng, 60, 40, {0xFFFF8000u})),
        write(L"two pages.tif", Wic_File(GUID_ContainerFormatTiff, 40, 60, {0xFF00FFFFu, 0xFFFF00FFu})),
    };
    for (unsigned short command : {velbrook::command::Fit_Inside_the_Page, velbrook::command::Turn_to_Suit_the_Page,
                                   velbrook::command::Accept_PNG_GIF_and_TIFF_Files})
        program.Menu(command);
    Printed printed{.unix_folder = unix_folder};
    ASSERT_NO_FATAL_FAILURE(Print_Pictures(program, pictures, printed));

    const std::string pdf = printed.Unix_Pdf();
    const std::string info = Run_Unix("pdfinfo '" + pdf + "'");
    ASSERT_EQ(Pdf_Field(info, "Pages"), "4") << info;
    // Page 1: the 3:2 picture turned a quarter counter-clockwise and fitted:
    // its red corner at the bottom left, its green one at the top left, and
    // the page white on both sides of it (x from 77 to 2402 of 2479).
    const Page_Pixels turned = Render_Page(pdf, 1, 24);
    ASSERT_GT(turned.width, 0);
    const struct {
        double x, y;
        Rgb colour;
    } samples[] = {{0.08, 0.95, Red}, {0.08, 0.05, Green}, {0.5, 0.5, Blue},
                   {0.9, 0.5, Blue},  {0.012, 0.5, White}, {0.985, 0.5, White}};
    for (const auto& s : samples)
        EXPECT_TRUE(Near(turned.At_Fraction(s.x, s.y), s.colour, 48)) << "page 1 at " << s.x << ", " << s.y;
    // The landscape PNG turned and fitted the same way, white beside it; the
    // TIFF's two pages each on their own sheet.
    const Page_Pixels png = Render_Page(pdf, 2, 24);
    EXPECT_TRUE(Near(png.At_Fraction(0.5, 0.5), Orange, 40));
    EXPECT_TRUE(Near(png.At_Fraction(0.012, 0.5), White, 8));
    EXPECT_TRUE(Near(Render_Page(pdf, 3, 24).At_Fraction(0.5, 0.5), Cyan, 40));
    EXPECT_TRUE(Near(Render_Page(pdf, 4, 24).At_Fraction(0.5, 0.5), Magenta, 40));
    if (!HasFailure()) ::DeleteFileW((printed.folder + L"\\" + printed.name).c_str());
}

// Run by scripts/run --demo: the sample pictures printed to the PDF printer,
// the PDF left where the queue put it.
TEST(Demo, DISABLED_Print) {
    const char* unix_folder = std::getenv("VELBROOK_PDF_DIR");
    if (!unix_folder || !*unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    Velbrook program;
    Printed printed{.unix_folder = unix_folder};
    ASSERT_NO_FATAL_FAILURE(Print_Samples(program, printed));
    const std::string pages = Pdf_Field(Run_Unix("pdfinfo '" + printed.Unix_Pdf() + "'"), "Pages");
    std::printf("velbrook: %s\n", Narrow(printed.status.substr(2)).c_str());
    std::printf("velbrook: the PDF is %s\n", printed.Unix_Pdf().c_str());
    std::printf("velbrook: it has %s pages\n", pages.empty() ? "an unknown number of" : pages.c_str());
    std::fflush(stdout);
}

}  // namespace
}  // namespace e2e

// File > "Save Pictures as PDF File..." on the real program through the real
// save dialog: its default name, the PDF written, and the question before an
// existing file is replaced.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "../../src/app/command_ids.h"
#include "../support/metafile_writer.h"
#include "../support/pdf_check.h"
#include "driver.h"

namespace e2e {
namespace {

TEST(Save_Pdf, The_Menu_Command_Saves_Through_The_Save_Dialog_And_Asks_Before_Replacing) {
    const std::string unix_folder = "/tmp/velbrook-e2e-save-pdf-" + std::to_string(::GetCurrentProcessId());
    const std::wstring folder = velbrook::pdf::Windows_Path(unix_folder);
    std::filesystem::create_directories(folder);
    const std::wstring target = folder + L"\\album.pdf";

    Velbrook program;
    const std::vector<std::wstring> pictures{Test_Picture(L"blue_yellow.jpg"), Test_Picture(L"red_green.bmp")};
    program.Drop(pictures);
    ASSERT_TRUE(Wait_For([&] { return program.List() == pictures; }));

    program.Menu(velbrook::command::Save_Pictures_as_PDF_File);
    HWND dialog = program.Wait_Dialog([](HWND window) { return Name_Box(window) != nullptr; });
    ASSERT_NE(dialog, nullptr) << "the save dialog did not open";
    EXPECT_EQ(Window_Text(Name_Box(dialog)), L"Orvel Pics.pdf");
    ASSERT_TRUE(Dialog_Closed(Choose_File(program, target)));
    const std::wstring saved = L"  Success: 2 pages saved to \"" + target + L"\"";
    ASSERT_TRUE(Wait_For([&] { return program.Status().starts_with(saved); }, 30s))
        << std::string(program.Status().begin(), program.Status().end());

    const std::string info = velbrook::pdf::Run_Unix("pdfinfo '" + unix_folder + "/album.pdf'");
    EXPECT_EQ(velbrook::pdf::Pdf_Field(info, "Title"), "Orvel Pics") << info;
    EXPECT_EQ(velbrook::pdf::Pdf_Field(info, "Pages"), "2") << info;
    // The paper of the user's locale, which this process shares.
    DWORD paper = 0;
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IPAPERSIZE | LOCALE_RETURN_NUMBER, reinterpret_cast<wchar_t*>(&paper),
                     sizeof paper / sizeof(wchar_t));
    EXPECT_NE(velbrook::pdf::Pdf_Field(info, "Page size").find(paper == 1 ? "612 x 792 pts (letter)" : "(A4)"),
              std::string::npos)
        << info;
    const velbrook::pdf::Page_Pixels first = velbrook::pdf::Render_Page(unix_folder + "/album.pdf", 1, 30);
    EXPECT_TRUE(velbrook::pdf::Near(first.At_Fraction(0.5, 0.25), velbrook::pdf::Blue, 24));

    // Saved again to the same name (typed without its extension): the
    // dialog asks before replacing, and Yes replaces it.
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE old = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
    ASSERT_NE(old, INVALID_HANDLE_VALUE);
    ::CloseHandle(old);
    program.Menu(velbrook::command::Save_Pictures_as_PDF_File);
    HWND again = Choose_File(program, folder + L"\\album");
    ASSERT_NE(again, nullptr);
    HWND question = program.Wait_Dialog([&](HWND window) { return ::GetWindow(window, GW_OWNER) == again; });
    ASSERT_NE(question, nullptr) << "no question before replacing the file";
    Velbrook::Answer(question, IDYES);
    ASSERT_TRUE(Dialog_Closed(again));
    ASSERT_TRUE(Wait_For([&] { return std::filesystem::file_size(target) > 0; }, 30s))
        << "the emptied file was not replaced";
    ASSERT_TRUE(Wait_For([&] { return program.Status().starts_with(saved); }, 30s));
    EXPECT_EQ(velbrook::pdf::Pdf_Field(velbrook::pdf::Run_Unix("pdfinfo '" + unix_folder + "/album.pdf'"), "Pages"),
              "2");

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

// A metafile 1 mm wide and nearly 10 m tall, saved with Fill: what shows of
// it fills the page at the page's resolution, and the save ends in seconds
// with the window answering throughout, where the whole picture at that
// scale would be millions of rows.
TEST(Save_Pdf, A_Sliver_Of_A_Metafile_Filling_Its_Page_Saves_Like_Any_Picture) {
    const std::string unix_folder = "/tmp/velbrook-e2e-sliver-" + std::to_string(::GetCurrentProcessId());
    const std::wstring folder = velbrook::pdf::Windows_Path(unix_folder);
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> sliver = velbrook::test::Build_Emf(
        {.frame = {0, 0, 100, 999000}, .records = velbrook::test::Emf_Filled_Rectangle(0xFF0000, 10, 99900)});
    const std::wstring emf = folder + L"\\sliver.emf";
    std::ofstream(std::filesystem::path(emf), std::ios::binary)
        .write(reinterpret_cast<const char*>(sliver.data()), static_cast<std::streamsize>(sliver.size()));

    Velbrook program(L"", "[Options]\r\nPlacement=2\r\n");
    const std::vector<std::wstring> pictures{emf, Test_Picture(L"blue_yellow.jpg")};
    program.Drop(pictures);
    ASSERT_TRUE(Wait_For([&] { return program.List() == pictures; }));
    program.Menu(velbrook::command::Save_Pictures_as_PDF_File);
    ASSERT_TRUE(Dialog_Closed(Choose_File(program, folder + L"\\sliver.pdf")));
    ASSERT_TRUE(Wait_For([&] { return program.Status().starts_with(L"  Success: 2 pages saved"); }, 60s))
        << std::string(program.Status().begin(), program.Status().end());
    const std::string pdf = unix_folder + "/sliver.pdf";
    EXPECT_NE(velbrook::pdf::Run_Unix("qpdf --check '" + pdf + "'").find("No syntax or stream encoding errors"),
              std::string::npos);
    // The sliver's fill is the page's: blue, from side to side.
    const velbrook::pdf::Page_Pixels first = velbrook::pdf::Render_Page(pdf, 1, 30);
    EXPECT_TRUE(velbrook::pdf::Near(first.At_Fraction(0.5, 0.5), velbrook::pdf::Blue, 40));
    EXPECT_TRUE(velbrook::pdf::Near(first.At_Fraction(0.1, 0.5), velbrook::pdf::Blue, 40));

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace e2e

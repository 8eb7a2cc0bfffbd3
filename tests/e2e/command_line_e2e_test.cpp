// velbrook.exe started from a script: "/pdf" and "/print" run without a
// window, write their lines to the pipe this test gives them and end with
// their exit code.  The PDF printer's queue is started by cups_pdf_start
// (scripts/wine-session), which exports VELBROOK_PDF_DIR, its folder.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "../support/pdf_check.h"
#include "driver.h"
#include "print_samples.h"

namespace e2e {
namespace {

using namespace velbrook::pdf;
namespace fs = std::filesystem;

std::string Read_File(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// A folder under /tmp, where the poppler tools and qpdf read what is written,
// with a copy of the program and its settings file.
struct Script_Folder {
    std::string unix_folder;
    fs::path folder;
    fs::path exe;
    explicit Script_Folder(const std::string& name, const std::string& settings) {
        unix_folder = "/tmp/velbrook-e2e-" + name + "-" + std::to_string(::GetCurrentProcessId());
        folder = Windows_Path(unix_folder);
        fs::remove_all(folder);
        fs::create_directories(folder);
        exe = folder / L"velbrook.exe";
        fs::copy_file(Program_File(), exe);
        std::ofstream(folder / L"velbrook.ini", std::ios::binary) << settings;
    }
    ~Script_Folder() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

// A mark of this run in the pictures' names, printed under them, that tells
// its PDF from other runs' in the shared queue folder.
std::wstring Run_Mark() {
    wchar_t mark[32];
    std::swprintf(mark, 32, L"cmd%08x", static_cast<unsigned>(std::random_device{}()));
    return mark;
}

TEST(Command_Line, Pdf_Of_Three_Pictures_And_A_List_Passes_Qpdf_Beside_A_Running_Window) {
    const std::string settings = "[velbrook]\r\nwindow_Width=600\r\n[Options]\r\nPlacement=1\r\n";
    Script_Folder place("command-pdf", settings);
    const fs::path list = place.folder / L"more.txt";
    std::ofstream(list, std::ios::binary) << Narrow(Test_Picture(L"cyan.emf")) << "\r\n"
                                          << Narrow(Test_Picture(L"orange.wmf")) << "\r\n";
    const std::string list_bytes = Read_File(list);
    // A windowed copy of the same program runs meanwhile, in the same folder.
    Velbrook window(Velbrook::In_Place{place.exe});
    const std::string settings_bytes = Read_File(place.folder / L"velbrook.ini");

    const Program_Run run =
        Run_Program(place.exe,
                    L"/pdf " + Quoted((place.folder / L"album.pdf").wstring()) + L" " +
                        Quoted(Test_Picture(L"red_green.bmp")) + L" " + Quoted(Test_Picture(L"blue_yellow.jpg")) +
                        L" " + Quoted(Test_Picture(L"portrait.jpg")) + L" /list " + Quoted(list.wstring()),
                    place.folder);
    ASSERT_TRUE(run.ended) << "the command did not end: " << run.output;
    EXPECT_EQ(run.exit_code, 0u) << run.output;
    const std::vector<std::string> lines = run.Lines();
    ASSERT_EQ(lines.size(), 1u) << run.output;
    EXPECT_TRUE(lines[0].starts_with("5 of 5 pictures saved in ")) << run.output;
    EXPECT_TRUE(lines[0].ends_with(" seconds.")) << run.output;

    const std::string pdf = place.unix_folder + "/album.pdf";
    EXPECT_EQ(Pdf_Field(Run_Unix("pdfinfo '" + pdf + "'"), "Pages"), "5");
    EXPECT_NE(Run_Unix("qpdf --check '" + pdf + "' 2>&1; echo rc=$?").find("rc=0"), std::string::npos);
    EXPECT_TRUE(window.Running()) << "the window ended";
    EXPECT_EQ(Read_File(place.folder / L"velbrook.ini"), settings_bytes) << "the settings file was written";
    EXPECT_EQ(Read_File(list), list_bytes) << "the list file was written";
}

TEST(Command_Line, Print_To_The_Named_Pdf_Printer_Gives_A_Pdf_In_Its_Folder) {
    const char* unix_pdf_folder = std::getenv("VELBROOK_PDF_DIR");
    if (!unix_pdf_folder || !*unix_pdf_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    Script_Folder place("command-print", "[Options]\r\nPrint_File_Names=1\r\n");
    const std::wstring mark = Run_Mark();
    const fs::path first = place.folder / (L"red green " + mark + L".bmp");
    const fs::path second = place.folder / (L"blue yellow " + mark + L".jpg");
    fs::copy_file(Test_Picture(L"red_green.bmp"), first);
    fs::copy_file(Test_Picture(L"blue_yellow.jpg"), second);
    const std::wstring pdf_folder = Windows_Path(unix_pdf_folder);
    ::CreateDirectoryW(pdf_folder.c_str(), nullptr);
    std::set<std::wstring> others = Pdf_Files(pdf_folder);

    // A wildcard expanded by the program itself.
    const Program_Run run = Run_Program(
        place.exe, L"/print /printer PDF " + Quoted((place.folder / (L"* " + mark + L".*")).wstring()), place.folder);
    ASSERT_TRUE(run.ended) << "the command did not end: " << run.output;
    EXPECT_EQ(run.exit_code, 0u) << run.output;
    const std::vector<std::string> lines = run.Lines();
    ASSERT_EQ(lines.size(), 1u) << run.output;
    EXPECT_TRUE(lines[0].starts_with("2 of 2 pictures printed in ")) << run.output;

    std::wstring name;
    for (;;) {
        name = Wait_New_Pdf(pdf_folder, others);
        if (name.empty() ||
            Run_Unix("pdftotext -enc UTF-8 '" + std::string(unix_pdf_folder) + "/" + Narrow(name) + "' -")
                    .find(Narrow(mark)) != std::string::npos)
            break;
        others.insert(name);
    }
    ASSERT_FALSE(name.empty()) << "no PDF of this run in " << unix_pdf_folder;
    const std::string pdf = std::string(unix_pdf_folder) + "/" + Narrow(name);
    const std::string info = Run_Unix("pdfinfo '" + pdf + "'");
    EXPECT_EQ(Pdf_Field(info, "Title"), "Orvel Pics") << info;
    EXPECT_EQ(Pdf_Field(info, "Pages"), "2") << info;
    // Page 1 is "blue yellow", blue above yellow: name order puts it
    // before "red green".
    const Page_Pixels page = Render_Page(pdf, 1, 24);
    EXPECT_TRUE(Near(page.At_Fraction(0.5, 0.25), Blue, 40));
    if (!HasFailure()) ::DeleteFileW((pdf_folder + L"\\" + name).c_str());
}

TEST(Command_Line, A_Printer_That_Does_Not_Exist_Ends_With_Code_2_And_One_Line_Naming_It) {
    Script_Folder place("command-no-printer", "");
    const std::string printer = "No Printer " + Narrow(Run_Mark());
    const Program_Run run = Run_Program(place.exe,
                                        L"/print /printer " + Quoted(std::wstring(printer.begin(), printer.end())) +
                                            L" " + Quoted(Test_Picture(L"red_green.bmp")),
                                        place.folder);
    ASSERT_TRUE(run.ended) << "the command did not end: " << run.output;
    EXPECT_EQ(run.exit_code, 2u) << run.output;
    int naming = 0;
    for (const std::string& line : run.Lines()) naming += line.find("\"" + printer + "\"") != std::string::npos;
    EXPECT_EQ(naming, 1) << run.output;
    EXPECT_TRUE(run.Lines().back().starts_with("0 of 1 picture printed in ")) << run.output;
}

}  // namespace
}  // namespace e2e

// The command line that saves or prints without a window: what it
// understands, the pictures it gathers, the lines it writes and its exit
// code, against the recording printer and PDFs written to a folder under
// /tmp (Wine's Z: drive), where pdfinfo reads them.  No Application exists:
// such a run has no window and must need none.

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "../support/pdf_check.h"
#include "../support/picture_writers.h"
#include "app/command_run.h"
#include "shell/text_utils.h"
#include "toolkit/failure.h"
#include "picture_folder.h"
#include "recording_printer.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

std::string Read_File(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct Case {
    const char* what;
    std::vector<std::wstring> words;  // "@" stands for the test's folder
    int code;                         // -1: the window opens, nothing is run
    int pages = 0;                    // printed or saved
    std::vector<std::wstring> said;   // each is part of some line written
    int error_lines = 0;              // lines written as errors (skips, failures, the usage)
    std::string settings;             // the settings file beside the program
};

class Command_Line_Test : public ::testing::Test {
protected:
    Command_Line_Test() {
        unix_folder_ = "/tmp/velbrook-command-line-" + std::to_string(::GetCurrentProcessId());
        folder_ = pdf::Windows_Path(unix_folder_);
        std::filesystem::create_directories(folder_);
        Copy("red_green.bmp", L"a.bmp");
        Copy("blue_yellow.jpg", L"b.jpg");
        Copy("cyan.emf", L"c.emf");
        Copy("corrupt.jpg", L"corrupt.jpg");
        Write(L"notes.txt", "not a picture");
        const std::vector<std::uint8_t> png = Wic_File(GUID_ContainerFormatPng, 40, 30, {0xFFFF8000u});
        Write(L"o.png", std::string(png.begin(), png.end()));
        Write(L"list.txt", Narrow(folder_ + L"\\c.emf\r\n" + folder_ + L"\\corrupt.jpg\r\n"));
    }
    ~Command_Line_Test() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Copy(const char* sample, const std::wstring& name) {
        std::filesystem::copy_file(Sample(sample), folder_ + L"\\" + name);
    }
    void Write(const std::wstring& name, const std::string& bytes) {
        std::ofstream(std::filesystem::path(folder_ + L"\\" + name), std::ios::binary) << bytes;
    }
    struct Outcome {
        std::optional<int> code;
        std::vector<std::pair<std::wstring, bool>> lines;  // and whether each is an error
        std::shared_ptr<Print_Recording> recording = std::make_shared<Print_Recording>();
        std::vector<std::wstring> opened;  // the printers opened
        bool Says(const std::wstring& part) const {
            for (const auto& [line, error] : lines)
                if (line.find(part) != std::wstring::npos) return true;
            return false;
        }
        std::string Written() const {
            std::string text;
            for (const auto& [line, error] : lines) text += (error ? "! " : "  ") + Narrow(line) + "\n";
            return text;
        }
    };
    // The command line run as from a program in the test's folder; the
    // printer "Nowhere" cannot be opened, every other one records.
    Outcome Run(const std::vector<std::wstring>& words, bool default_printer = true) {
        Outcome outcome;
        const Command_Environment environment{
            .program_path = folder_ + L"\\velbrook.exe",
            .write_line = [&](const std::wstring& line, bool error) { outcome.lines.emplace_back(line, error); },
            .default_printer = [&]() -> std::optional<Printer_Selection> {
                if (!default_printer) return std::nullopt;
                return Printer_Selection{.device = L"Default"};
            },
            .open_printer = [&](const Printer_Selection& selection) -> std::unique_ptr<Printer> {
                if (selection.device == L"Nowhere")
                    throw Failure(L"The printer \"" + selection.device + L"\" cannot be opened");
                outcome.opened.push_back(selection.device);
                return std::make_unique<Recording_Printer>(outcome.recording, Recording_Options{});
            },
            .clock_ms = [] { return std::int64_t{5000}; },
        };
        outcome.code = Run_Command_Line(words, environment);
        return outcome;
    }
    std::wstring In_Folder(std::wstring word) const {
        if (const std::size_t at = word.find(L'@'); at != std::wstring::npos) word.replace(at, 1, folder_);
        return word;
    }

    std::string unix_folder_;
    std::wstring folder_;
};

TEST_F(Command_Line_Test, Each_Command_Line_Gives_Its_Lines_Its_Pages_And_Its_Exit_Code) {
    const std::string more_types = "[Options]\r\nAccept_PNG_GIF_and_TIFF_Files=1\r\n";
    const std::string grid = "[Layout]\r\nSheet_Layout=1\r\nColumns=2\r\nRows=2\r\n";
    const std::vector<Case> cases = {
        // Not understood: a line saying why and the usage line.
        {"an unknown switch", {L"/bogus", L"@\\a.bmp"}, 64, 0, {L"\"/bogus\" is not a switch", L"Usage: "}, 2},
        {"/pdf without a target", {L"/pdf"}, 64, 0, {L"needs the name of the PDF file"}, 2},
        {"/pdf followed by a switch", {L"/pdf", L"/print", L"@\\a.bmp"}, 64, 0, {L"needs the name"}, 2},
        {"/pdf and /print", {L"/PDF", L"@\\x.pdf", L"/Print", L"@\\a.bmp"}, 64, 0, {L"do not go together"}, 2},
        {"/printer without /print", {L"/printer", L"PDF", L"@\\a.bmp"}, 64, 0, {L"only with \"/print\""}, 2},
        {"/list without a command", {L"/list", L"@\\list.txt"}, 64, 0, {L"\"/list\" goes only with"}, 2},
        {"/list without a file", {L"/print", L"/list"}, 64, 0, {L"needs the name of a list file"}, 2},
        {"/? alone", {L"/?"}, 0, 0, {L"Usage: velbrook.exe [FILE...]"}},
        {"plain names open the window", {L"@\\a.bmp", L"@\\b.jpg"}, -1},

        // Printed, to the default printer or the one named.
        {"one picture", {L"/print", L"@\\a.bmp"}, 0, 1, {L"1 of 1 picture printed in 0.0 seconds."}},
        {"a printer named", {L"/printer", L"Other", L"/print", L"@\\a.bmp", L"@\\b.jpg"}, 0, 2, {L"2 of 2 pictures"}},
        {"a pattern, its damaged match skipped",
         {L"/print", L"@\\*.JPG"},
         1,
         1,
         {L"Skipped: \"@\\corrupt.jpg\" is not a valid JPEG", L"1 of 2 pictures printed"},
         1},
        {"a pattern that matches nothing",
         {L"/print", L"@\\*.gif"},
         2,
         0,
         {L"Skipped: no picture file matches \"@\\*.gif\"", L"There are no pictures to print.", L"0 of 1 picture"},
         2},
        {"files and a list in their order, a name given twice taken once",
         {L"/print", L"@\\a.bmp", L"/list", L"@\\list.txt", L"@\\b.jpg", L"@\\a.bmp"},
         1,
         3,
         {L"corrupt.jpg\" is not a valid JPEG", L"3 of 4 pictures printed"},
         1},
        {"a missing file, a text file and a missing list",
         {L"/print", L"@\\missing.bmp", L"@\\notes.txt", L"/list", L"@\\none.txt", L"@\\a.bmp"},
         1,
         1,
         {L"the file \"@\\missing.bmp\" cannot be found", L"notes.txt\" is not a kind of picture",
          L"the file list \"@\\none.txt\" cannot be found", L"1 of 4 pictures printed"},
         3},
        {"every picture skipped: no job, not even a blank sheet", {L"/print", L"@\\corrupt.jpg"}, 2, 0, {}, 1},
        {"a PNG without the option", {L"/print", L"@\\o.png"}, 2, 0, {L"o.png\" is not a kind of picture"}, 2},
        {"a PNG with the settings file's option", {L"/print", L"@\\o.png"}, 0, 1, {}, 0, more_types},
        {"the settings file's layout, a 2 x 2 grid", {L"/print", L"@\\*"}, 1, 1, {L"3 of 4 pictures"}, 1, grid},
        {"a printer that cannot be opened",
         {L"/print", L"/printer", L"Nowhere", L"@\\a.bmp"},
         2,
         0,
         {L"Printing has stopped. The printer \"Nowhere\" cannot be opened", L"0 of 1 picture printed"},
         1},

        // Saved as PDF.
        {"two pictures saved", {L"/pdf", L"@\\out.pdf", L"@\\a.bmp", L"@\\b.jpg"}, 0, 2, {L"2 of 2 pictures saved"}},
        {"a target that cannot be written",
         {L"/pdf", L"@\\no such folder\\out.pdf", L"@\\a.bmp"},
         2,
         0,
         {L"The PDF file \"@\\no such folder\\out.pdf\" could not be saved: ", L"0 of 1 picture saved"},
         1},
        {"nothing readable to save", {L"/pdf", L"@\\out.pdf", L"@\\corrupt.jpg"}, 2, 0, {L"None of the pictures"}, 2},
    };
    const std::wstring settings_file = folder_ + L"\\velbrook.ini";
    const std::string list_bytes = Read_File(folder_ + L"\\list.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(settings_file);
        std::filesystem::remove(folder_ + L"\\out.pdf");
        if (!c.settings.empty()) Write(L"velbrook.ini", c.settings);
        std::vector<std::wstring> words;
        for (const std::wstring& word : c.words) words.push_back(In_Folder(word));

        const Outcome outcome = Run(words);

        SCOPED_TRACE(outcome.Written());
        EXPECT_EQ(outcome.code.value_or(-1), c.code);
        for (const std::wstring& part : c.said) EXPECT_TRUE(outcome.Says(In_Folder(part))) << Narrow(part);
        int errors = 0;
        for (const auto& [line, error] : outcome.lines) errors += error;
        EXPECT_EQ(errors, c.error_lines);
        // A run ends with its count, a window says nothing.
        if (c.code != -1 && c.code != 64 && c.words.front() != L"/?") {
            ASSERT_FALSE(outcome.lines.empty());
            EXPECT_NE(outcome.lines.back().first.find(L" in 0.0 seconds."), std::wstring::npos);
            EXPECT_FALSE(outcome.lines.back().second);
        }
        if (c.code == -1) {
            EXPECT_TRUE(outcome.lines.empty());
        }
        const bool pdf = Lower_Ascii(c.words.front()) == L"/pdf" && c.code != 64;
        if (pdf) {
            const std::string info = pdf::Run_Unix("pdfinfo '" + unix_folder_ + "/out.pdf' 2>/dev/null");
            EXPECT_EQ(pdf::Pdf_Field(info, "Pages"), c.pages ? std::to_string(c.pages) : "") << info;
        } else {
            EXPECT_EQ(static_cast<int>(outcome.recording->pages.size()), c.pages);
            EXPECT_EQ(outcome.recording->documents_begun, c.pages ? 1 : 0);
            EXPECT_FALSE(outcome.recording->Open());
        }
        if (!pdf && c.pages) {
            const auto named = std::find(words.begin(), words.end(), L"/printer");
            EXPECT_EQ(outcome.opened, std::vector<std::wstring>{named == words.end() ? L"Default" : *(named + 1)});
            EXPECT_EQ(outcome.recording->title, L"Orvel Pics");
        }
        // Read, never written: the settings file and the list file.
        EXPECT_EQ(Read_File(settings_file), c.settings);
        EXPECT_EQ(std::filesystem::exists(settings_file), !c.settings.empty());
        EXPECT_EQ(Read_File(folder_ + L"\\list.txt"), list_bytes);
    }

    const Outcome no_default = Run({L"/print", folder_ + L"\\a.bmp"}, false);
    EXPECT_EQ(no_default.code, 2);
    EXPECT_TRUE(no_default.Says(L"There is no default printer")) << no_default.Written();
}

TEST_F(Command_Line_Test, Wildcards_Expand_In_Name_Order_To_The_Types_A_Drop_Takes) {
    Copy("red_green.bmp", L"B2.bmp");
    Copy("red_green.bmp", L"a10.bmp");
    std::filesystem::create_directories(folder_ + L"\\sub.bmp");
    std::vector<std::wstring> reasons;
    const auto skipped = [&](const std::wstring& reason) { reasons.push_back(reason); };
    const std::wstring f = folder_ + L"\\";
    // Folders, text files and a PNG without the option are left out of a
    // pattern without a word; a name given twice is taken once.
    EXPECT_EQ(Gather_Pictures({{false, f + L"*"}, {false, f + L"b.jpg"}}, false, skipped),
              (std::vector<std::wstring>{f + L"a.bmp", f + L"a10.bmp", f + L"b.jpg", f + L"B2.bmp", f + L"c.emf",
                                         f + L"corrupt.jpg"}));
    EXPECT_TRUE(reasons.empty());
    EXPECT_EQ(Gather_Pictures({{false, f + L"?.png"}, {true, f + L"list.txt"}, {false, f + L"c.emf"}}, true, skipped),
              (std::vector<std::wstring>{f + L"o.png", f + L"c.emf", f + L"corrupt.jpg"}));
    EXPECT_TRUE(reasons.empty());
}

}  // namespace
}  // namespace velbrook

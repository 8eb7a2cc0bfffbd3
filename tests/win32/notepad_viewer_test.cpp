// The Notepad viewer and the Help menu's two text files.

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "file_utils_scratch.h"
#include "shell/notepad.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

using test_files::Scratch_Folder;
using test_files::Write_Bytes;

// What a started program would see as its arguments.
std::vector<std::wstring> Arguments_Of(const std::wstring& command_line) {
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(command_line.c_str(), &count);
    std::vector<std::wstring> arguments(words, words + count);
    ::LocalFree(words);
    return arguments;
}

struct Recording_Launcher {
    std::vector<std::wstring> command_lines;
    Process_Launcher Launcher() {
        return [this](const std::wstring& line) { command_lines.push_back(line); };
    }
};

class Notepad_Viewer : public ::testing::Test {
protected:
    Notepad_Viewer() { Write_Bytes(windows.File(L"notepad.exe"), "MZ"); }
    Scratch_Folder windows;
    Scratch_Folder documents;
    Scripted_Dialogs dialogs;
    Recording_Launcher launched;
};

TEST_F(Notepad_Viewer, hands_notepad_the_whole_path_as_one_argument) {
    const std::wstring file = documents.File(L"read me first.txt");
    const std::wstring long_file = documents.Path() + std::wstring(300 - documents.Path().size() - 4, L'x') + L".txt";
    ASSERT_EQ(long_file.size(), 300u);
    for (const auto& dir : {windows.Path(), windows.Path().substr(0, windows.Path().size() - 1)}) {
        View_In_Notepad(dialogs, dir, file, launched.Launcher());
    }
    View_In_Notepad(dialogs, windows.Path(), long_file, launched.Launcher());

    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(launched.command_lines.size(), 3u);
    const std::vector<std::wstring> expected_files{file, file, long_file};
    for (std::size_t i = 0; i < 3; ++i) {
        auto arguments = Arguments_Of(launched.command_lines[i]);
        ASSERT_EQ(arguments.size(), 2u);
        EXPECT_EQ(arguments[0], L"Notepad.exe");
        EXPECT_EQ(arguments[1], expected_files[i]);
    }
}

TEST_F(Notepad_Viewer, says_so_when_notepad_is_not_in_the_windows_folder) {
    View_In_Notepad(dialogs, documents.Path(), documents.File(L"a.txt"), launched.Launcher());
    EXPECT_TRUE(launched.command_lines.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, Message_Kind::Information);
    EXPECT_EQ(dialogs.Last().buttons, Buttons::Ok);
    EXPECT_EQ(dialogs.Last().text, L"Windows Notepad could not be found.");
}

TEST_F(Notepad_Viewer, the_readme_is_the_program_name_up_to_its_first_dot) {
    // The running system's Notepad stands in the real Windows folder.
    View_Readme_file_OptionClick(dialogs, documents.File(L"a.b.exe"), launched.Launcher());
    View_Readme_file_OptionClick(dialogs, documents.File(L"velbrook"), launched.Launcher());
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(launched.command_lines.size(), 2u);
    EXPECT_EQ(Arguments_Of(launched.command_lines[0]).at(1), documents.File(L"a.txt"));
    EXPECT_EQ(Arguments_Of(launched.command_lines[1]).at(1), documents.File(L"velbrook.txt"));
}

TEST_F(Notepad_Viewer, the_catalog_opens_when_it_is_beside_the_program) {
    const std::wstring program = documents.File(L"velbrook.exe");
    View_Shareware_Catalog_OptionClick(dialogs, program, launched.Launcher());
    EXPECT_TRUE(launched.command_lines.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, Message_Kind::Information);
    EXPECT_EQ(dialogs.Last().text,
              L"Orvel's Shareware Catalog is not in the same directory as Velbrook v1.0f.  The required file "
              L"'catalog.txt' was included in the distribution ZIP file.  Please unzip this file and try again.");

    Write_Bytes(documents.File(L"catalog.txt"), "catalog");
    View_Shareware_Catalog_OptionClick(dialogs, program, launched.Launcher());
    EXPECT_EQ(dialogs.messages.size(), 1u);
    ASSERT_EQ(launched.command_lines.size(), 1u);
    EXPECT_EQ(Arguments_Of(launched.command_lines[0]).at(1), documents.File(L"catalog.txt"));
}

}  // namespace
}  // namespace velbrook

// Reading and writing the settings file through the profile functions.

#include <gtest/gtest.h>

#include <sstream>

#include "app/settings_file.h"
#include "file_utils_scratch.h"
#include "toolkit/failure.h"

namespace velbrook {
namespace {

using test_files::Held_File;
using test_files::Read_Bytes;
using test_files::Scratch_Folder;
using test_files::Write_Bytes;

// The file's lines as the profile functions left them (ANSI text).
std::vector<std::string> Lines_Of(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream text(Read_Bytes(path));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

bool Starts_With_Utf16_Mark(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

std::wstring Failure_Of(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.Text();
    }
    return L"(no failure)";
}

class Settings_File : public ::testing::Test {
protected:
    Scratch_Folder folder;
    const std::wstring ini = folder.File(L"velbrook.ini");
};

TEST_F(Settings_File, lies_beside_the_program_whatever_the_program_is_called) {
    EXPECT_EQ(Settings_Path(L"C:\\Tools\\velbrook.exe"), L"C:\\Tools\\velbrook.ini");
    EXPECT_EQ(Settings_Path(L"D:\\Other Name\\copy of it.exe"), L"D:\\Other Name\\velbrook.ini");
}

TEST_F(Settings_File, no_file_gives_every_default) {
    const Settings read = Read_Settings(ini);
    EXPECT_EQ(read.top, 20);
    EXPECT_EQ(read.left, 20);
    EXPECT_EQ(read.width, 576);
    EXPECT_EQ(read.height, 398);
    EXPECT_FALSE(read.always_on_top);
    EXPECT_FALSE(read.auto_run);
    EXPECT_FALSE(read.maximized);
    EXPECT_EQ(read.file_list_name, L"");
}

TEST_F(Settings_File, a_new_file_holds_the_eight_keys_in_order) {
    Write_Settings(ini, {.top = -8,
                         .left = 1500,
                         .width = 640,
                         .height = 480,
                         .always_on_top = true,
                         .auto_run = false,
                         .maximized = true,
                         .file_list_name = L"C:\\Lists\\my pictures.txt"});
    const std::vector<std::string> expected{
        "[velbrook]",
        "WindowState_wsMaximized=1",
        "window_top_posn=-8",
        "window_left_posn=1500",
        "window_Width=640",
        "window_Height=480",
        "Always_on_Top_Option=1",
        "Auto_Run_at_Windows_Startup_Option=0",
        "File_List_Name_Edit=C:\\Lists\\my pictures.txt",
    };
    EXPECT_EQ(Lines_Of(ini), expected);
    EXPECT_FALSE(Starts_With_Utf16_Mark(Read_Bytes(ini)));

    const Settings read = Read_Settings(ini);
    EXPECT_EQ(read.top, -8);
    EXPECT_EQ(read.left, 1500);
    EXPECT_EQ(read.width, 640);
    EXPECT_EQ(read.height, 480);
    EXPECT_TRUE(read.always_on_top);
    EXPECT_FALSE(read.auto_run);
    EXPECT_TRUE(read.maximized);
    EXPECT_EQ(read.file_list_name, L"C:\\Lists\\my pictures.txt");
}

TEST_F(Settings_File, hand_edited_values_read_by_their_forms) {
    Write_Bytes(ini,
                "[Other]\r\nwindow_Width=111\r\n"
                "[VELBROOK]\r\nWINDOW_WIDTH=0x300\r\nwindow_Height=abc\r\nwindow_top_posn=0X1f\r\n"
                "window_left_posn=-0\r\nAlways_on_Top_Option=7\r\nAuto_Run_at_Windows_Startup_Option=no\r\n");
    const Settings read = Read_Settings(ini);
    EXPECT_EQ(read.width, 768);
    EXPECT_EQ(read.height, 398);
    EXPECT_EQ(read.top, 31);
    EXPECT_EQ(read.left, 0);
    EXPECT_TRUE(read.always_on_top);
    EXPECT_FALSE(read.auto_run);
}

TEST_F(Settings_File, rewriting_keeps_other_sections_and_rewrites_keys_in_place) {
    Write_Bytes(ini, "[Other]\r\nkept=yes\r\n[velbrook]\r\nwindow_Width=100\r\n");
    Write_Settings(ini, {});
    const std::vector<std::string> lines = Lines_Of(ini);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "[Other]");
    EXPECT_EQ(lines[1], "kept=yes");
    EXPECT_EQ(lines[2], "[velbrook]");
    EXPECT_EQ(lines[3], "window_Width=576");
    EXPECT_EQ(lines.size(), 11u);
}

TEST_F(Settings_File, text_is_read_up_to_2047_characters) {
    std::wstring long_name = L"C:\\";
    while (long_name.size() < 3000) long_name += L"folder\\";
    Write_Settings(ini, {.file_list_name = long_name});
    EXPECT_EQ(Read_Settings(ini).file_list_name, long_name.substr(0, 2047));
}

TEST_F(Settings_File, a_refused_write_names_the_file) {
    const std::wstring nowhere = folder.File(L"no such folder\\velbrook.ini");
    EXPECT_EQ(Failure_Of([&] { Write_Settings(nowhere, {}); }), L"Unable to write to " + nowhere);
    EXPECT_EQ(Failure_Of([&] { Write_Setting(nowhere, Key_Top, L"1"); }), L"Unable to write to " + nowhere);

    Write_Settings(ini, {});
    {
        Held_File holder(ini, 0);
        ASSERT_TRUE(holder.Holding());
        EXPECT_EQ(Failure_Of([&] { Write_Settings(ini, {.top = 99}); }), L"Unable to write to " + ini);
    }
    EXPECT_EQ(Read_Settings(ini).top, 20);
}

TEST_F(Settings_File, a_read_only_file_refuses_the_write) {
    Write_Settings(ini, {});
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Failure_Of([&] { Write_Settings(ini, {.top = 99}); }), L"Unable to write to " + ini);
    EXPECT_EQ(Read_Settings(ini).top, 20);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Where a run keeps its settings: beside the program while it may write
// there, else in the user's own folder, which starts from the file beside it.
// This machine's user may write every folder, so a folder the program may not
// write is stood in for by a read-only file and by a folder that is not there.
TEST_F(Settings_File, beside_the_program_while_it_may_write_there_else_in_the_users_own_folder) {
    enum class Beside { none, writable, held, read_only };
    struct Case {
        const char* what;
        Beside beside;
        const wchar_t* program_folder;  // under the scratch folder
        bool own_file;                  // the user's folder has a file already (top 7)
        bool chosen_beside;
        int top_read;  // from the chosen file
    } const cases[] = {
        {"no file in a writable folder", Beside::none, L"program", false, true, 20},
        {"a writable file", Beside::writable, L"program", true, true, 99},
        {"a file another program holds", Beside::held, L"program", false, true, 99},
        {"a read-only file, copied to the user's folder", Beside::read_only, L"program", false, false, 99},
        {"a read-only file and the user's own", Beside::read_only, L"program", true, false, 7},
        {"a folder that takes no file", Beside::none, L"not there", false, false, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scratch_Folder scratch;
        ::CreateDirectoryW(scratch.File(L"program").c_str(), nullptr);
        const std::wstring program = scratch.File(c.program_folder) + L"\\velbrook.exe";
        const std::wstring beside = Settings_Path(program);
        const std::wstring user_folder = scratch.File(L"user");
        const std::wstring own = user_folder + L"\\velbrook.ini";
        if (c.beside != Beside::none) Write_Settings(beside, {.top = 99});
        if (c.beside == Beside::read_only) ::SetFileAttributesW(beside.c_str(), FILE_ATTRIBUTE_READONLY);
        if (c.own_file) {
            ::CreateDirectoryW(user_folder.c_str(), nullptr);
            Write_Settings(own, {.top = 7});
        }
        std::wstring chosen;
        if (c.beside == Beside::held) {
            Held_File holder(beside, 0);
            ASSERT_TRUE(holder.Holding());
            chosen = Choose_Settings_Path(program, user_folder);
        } else {
            chosen = Choose_Settings_Path(program, user_folder);
        }
        EXPECT_EQ(chosen, c.chosen_beside ? beside : own);
        EXPECT_EQ(Read_Settings(chosen).top, c.top_read);
        EXPECT_EQ(Exists(beside), c.beside != Beside::none) << "the test of the folder left a file";
        EXPECT_EQ(Exists(user_folder), c.own_file || !c.chosen_beside);
        // The chosen file takes the close's writes, and the one beside stays as it was.
        if (c.beside != Beside::held) {
            Write_Settings(chosen, {.top = 55});
            EXPECT_EQ(Read_Settings(chosen).top, 55);
            if (!c.chosen_beside && c.beside != Beside::none) {
                EXPECT_EQ(Read_Settings(beside).top, 99);
            }
        }
    }
    // Without a folder of the user's, the file beside the program, even read-only.
    Write_Settings(ini, {});
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Choose_Settings_Path(folder.File(L"velbrook.exe"), L""), ini);
}

TEST_F(Settings_File, a_file_that_cannot_be_read_whole_is_never_rewritten_as_empty) {
    Write_Bytes(ini, "[velbrook]\r\nwindow_Width=700\r\n[Other]\r\nkept=yes\r\n");
    // Another program shares the file but locks its bytes: it opens, but
    // reading it fails.
    const File_Handle holder(::CreateFileW(ini.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    ASSERT_TRUE(::LockFile(holder.get(), 0, 0, 1000, 0));
    EXPECT_EQ(Failure_Of([&] { Make_Settings_File_Unicode(ini); }), L"Unable to write to " + ini);
    ::UnlockFile(holder.get(), 0, 0, 1000, 0);
    EXPECT_EQ(Read_Bytes(ini), "[velbrook]\r\nwindow_Width=700\r\n[Other]\r\nkept=yes\r\n");
    // Nothing is left beside it.
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(folder.File(L"*").c_str(), &found);
    int files = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    EXPECT_EQ(files, 1);
}

TEST_F(Settings_File, a_name_ansi_cannot_hold_survives_in_a_unicode_file) {
    const std::wstring name =
        L"C:\\\u0395\u03b9\u03ba\u03cc\u03bd\u03b5\u03c2 \u041a\u0430\u0440\u0442\u0438\u043d\u043a\u0438"
        L" \u5199\u771f \u05ea\u05de\u05d5\u05e0\u05d5\u05ea\\list.txt";
    Write_Bytes(ini, "[Other]\r\nkept=yes\r\n");
    Write_Settings(ini, {.width = 700, .file_list_name = name});

    const std::string bytes = Read_Bytes(ini);
    EXPECT_TRUE(Starts_With_Utf16_Mark(bytes));
    const Settings read = Read_Settings(ini);
    EXPECT_EQ(read.file_list_name, name);
    EXPECT_EQ(read.width, 700);
    wchar_t kept[16] = {};
    ::GetPrivateProfileStringW(L"Other", L"kept", L"", kept, 16, ini.c_str());
    EXPECT_STREQ(kept, L"yes");

    // Once Unicode, the file stays so, and later plain names keep working.
    Write_Settings(ini, {.file_list_name = L"C:\\plain.txt"});
    EXPECT_TRUE(Starts_With_Utf16_Mark(Read_Bytes(ini)));
    EXPECT_EQ(Read_Settings(ini).file_list_name, L"C:\\plain.txt");
}

TEST_F(Settings_File, ansi_holds_plain_names_but_not_foreign_scripts) {
    EXPECT_TRUE(Ansi_Can_Hold(L""));
    EXPECT_TRUE(Ansi_Can_Hold(L"C:\\Pictures\\list (1).txt"));
    EXPECT_FALSE(Ansi_Can_Hold(L"\u0395\u041a\u5199\u05ea"));
}

}  // namespace
}  // namespace velbrook

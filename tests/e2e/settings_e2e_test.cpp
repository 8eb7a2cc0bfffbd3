// The settings file, the Run entry and the shortcuts, seen from outside:
// what velbrook.exe does with a prepared velbrook.ini, and what its File
// menu leaves in the registry and on disk.

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "../../src/app/command_ids.h"
#include "driver.h"

namespace e2e {
namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Read_File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The keys of the file's one section, in their order, with their values.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

void Close_And_Wait(Velbrook& program) {
    program.Menu(velbrook::command::Exit);
    ASSERT_TRUE(program.Wait_Exit());
}

TEST(Settings, A_Prepared_File_Places_The_Window_Reloads_The_List_And_Is_Written_Back) {
    // The list file lives outside the program's folder, as a user's would.
    wchar_t temp[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH, temp);
    std::filesystem::path list =
        std::filesystem::path(temp) / (L"velbrook-e2e-list-" + std::to_wstring(::GetCurrentProcessId()) + L".txt");
    std::wstring first = Test_Picture(L"red_green.bmp"), second = Test_Picture(L"blue_yellow.jpg");
    std::ofstream(list, std::ios::binary) << Narrow(first) << "\r\n" << Narrow(second) << "\r\n";
    std::string settings =
        "[velbrook]\r\nwindow_top_posn=50\r\nwindow_left_posn=70\r\nwindow_Width=0x2BC\r\n"
        "window_Height=500\r\nFile_List_Name_Edit=" +
        Narrow(list.wstring()) + "\r\n";
    Velbrook program(L"", settings);

    RECT outer;
    ::GetWindowRect(program.Main(), &outer);
    EXPECT_EQ(outer.left, 70);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(outer.right - outer.left, 700) << "0x2BC is hexadecimal";
    EXPECT_EQ(outer.bottom - outer.top, 500);
    ASSERT_TRUE(Wait_For([&] { return program.List().size() == 2; }));
    EXPECT_EQ(program.List(), (std::vector<std::wstring>{first, second}));
    EXPECT_EQ(program.Selected(), 0);
    EXPECT_EQ(program.Status(), L"  " + first) << "the first entry is previewed";
    EXPECT_FALSE(::GetWindowLongW(program.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    Close_And_Wait(program);  // the list was loaded, not changed: no question
    auto lines = Lines(Read_File(program.Folder() / L"velbrook.ini"));
    std::vector<std::string> expected{"[velbrook]",
                                      "window_top_posn=50",
                                      "window_left_posn=70",
                                      "window_Width=700",
                                      "window_Height=500",
                                      "File_List_Name_Edit=" + Narrow(list.wstring()),
                                      "WindowState_wsMaximized=0",
                                      "Always_on_Top_Option=0",
                                      "Auto_Run_at_Windows_Startup_Option=0"};
    // Keys that existed are rewritten in place; new ones are appended.
    EXPECT_EQ(lines, expected);
    std::filesystem::remove(list);
}

TEST(Settings, A_Stored_Always_On_Top_Starts_Topmost) {
    Velbrook program(L"", "[velbrook]\r\nAlways_on_Top_Option=1\r\n");
    EXPECT_TRUE(::GetWindowLongW(program.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    program.Menu(velbrook::command::Always_On_Top);
    EXPECT_TRUE(Wait_For([&] { return !(::GetWindowLongW(program.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST); }));
    Close_And_Wait(program);
    EXPECT_NE(Read_File(program.Folder() / L"velbrook.ini").find("Always_on_Top_Option=0"), std::string::npos);
}

TEST(Settings, A_First_Start_Writes_All_Eight_Keys_In_Order) {
    Velbrook program;
    Close_And_Wait(program);
    auto lines = Lines(Read_File(program.Folder() / L"velbrook.ini"));
    std::vector<std::string> expected{"[velbrook]",
                                      "WindowState_wsMaximized=0",
                                      "window_top_posn=20",
                                      "window_left_posn=20",
                                      "window_Width=576",
                                      "window_Height=398",
                                      "Always_on_Top_Option=0",
                                      "Auto_Run_at_Windows_Startup_Option=0",
                                      "File_List_Name_Edit="};
    EXPECT_EQ(lines, expected);
}

std::wstring Registry_Text(HKEY root, const wchar_t* key, const std::wstring& name) {
    wchar_t value[2048] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(root, key, name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<none>";
    return value;
}

const wchar_t run_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(Auto_Run, The_File_Menu_Writes_And_Removes_The_Run_Entry) {
    Velbrook program;
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, run_key, L"velbrook.exe");
    program.Menu(velbrook::command::Auto_Run_at_Windows_Startup);
    HWND on = program.Wait_Box(L"Information");
    ASSERT_NE(on, nullptr);
    EXPECT_EQ(Velbrook::Box_Text(on), L"This program (velbrook.exe) will now run automatically at Windows Start-Up.");
    Velbrook::Answer(on, IDOK);
    EXPECT_EQ(Registry_Text(HKEY_LOCAL_MACHINE, run_key, L"velbrook.exe"), program.Exe());

    program.Menu(velbrook::command::Auto_Run_at_Windows_Startup);
    HWND off = program.Wait_Box(L"Information");
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(Velbrook::Box_Text(off),
              L"This program (velbrook.exe) will now no-longer run automatically at Windows Start-Up.");
    Velbrook::Answer(off, IDOK);
    EXPECT_EQ(Registry_Text(HKEY_LOCAL_MACHINE, run_key, L"velbrook.exe"), L"<none>");

    // The mark follows: on, then off again, as the settings file records it.
    program.Menu(velbrook::command::Auto_Run_at_Windows_Startup);
    HWND again = program.Wait_Box(L"Information");
    ASSERT_NE(again, nullptr);
    Velbrook::Answer(again, IDOK);
    Close_And_Wait(program);
    EXPECT_NE(Read_File(program.Folder() / L"velbrook.ini").find("Auto_Run_at_Windows_Startup_Option=1"),
              std::string::npos);
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, run_key, L"velbrook.exe");
}

TEST(Shortcuts, Create_On_Desktop_Then_Delete_All) {
    std::wstring desktop = Registry_Text(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Desktop");
    ASSERT_NE(desktop, L"<none>");
    std::filesystem::path link = std::filesystem::path(desktop) / L"velbrook.lnk";
    std::filesystem::remove(link);
    Velbrook program;
    program.Menu(velbrook::command::Create_Shortcut_on_Desktop);
    ASSERT_TRUE(Wait_For([&] { return std::filesystem::exists(link); })) << Narrow(link.wstring());

    program.Menu(velbrook::command::Delete_All_Shortcuts);
    HWND done = program.Wait_Box(L"Information");
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(Velbrook::Box_Text(done),
              L"Success: All Desktop, Start Menu, and SendTo shortcuts to \"velbrook\" have been deleted.");
    Velbrook::Answer(done, IDOK);
    EXPECT_FALSE(std::filesystem::exists(link));

    program.Menu(velbrook::command::Delete_All_Shortcuts);
    HWND none = program.Wait_Box(L"Information");
    ASSERT_NE(none, nullptr);
    EXPECT_NE(Velbrook::Box_Text(none).find(L"No Desktop, Start Menu, or SendTo shortcuts called \"velbrook\""),
              std::wstring::npos);
    Velbrook::Answer(none, IDOK);
}

}  // namespace
}  // namespace e2e

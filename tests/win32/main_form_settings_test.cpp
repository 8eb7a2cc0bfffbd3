// The main window with its settings file: what the first-show steps take
// from it, what closing writes, and Restore Factory Defaults.

#include <gtest/gtest.h>

#include <windows.h>

#include "app/settings_file.h"
#include "file_utils_scratch.h"
#include "main_form_fixture.h"
#include "picture_test_support.h"

namespace velbrook::testing {
namespace {

class Main_Form_Settings : public Main_Form_Test {
protected:
    std::wstring Ini() { return folder / L"velbrook.ini"; }
    void Write_Ini(const std::string& text) { folder.Write(L"velbrook.ini", text); }
    bool Topmost() { return ::GetWindowLongW(Form().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST; }
};

TEST_F(Main_Form_Settings, Stored_Maximised_And_Always_On_Top_Are_Applied_At_First_Show) {
    Write_Ini("[velbrook]\r\nWindowState_wsMaximized=1\r\nAlways_on_Top_Option=1\r\n");
    TMainForm1& window = Shown();
    EXPECT_TRUE(window.Maximized());
    EXPECT_TRUE(window.Always_On_Top_Option.Checked());
    EXPECT_TRUE(Topmost());
    window.Always_On_Top_Option.Click();
    EXPECT_FALSE(window.Always_On_Top_Option.Checked());
    EXPECT_FALSE(Topmost());
    window.Always_On_Top_Option.Click();
    EXPECT_TRUE(window.Always_On_Top_Option.Checked());
    EXPECT_TRUE(Topmost());
}

TEST_F(Main_Form_Settings,
       Closing_While_Maximised_Writes_One_And_The_Normal_Placement_And_The_Next_Start_Is_Maximised) {
    Write_Ini("[velbrook]\r\nwindow_top_posn=40\r\nwindow_left_posn=30\r\n");
    Shown().Show_Window(SW_SHOWMAXIMIZED);
    ASSERT_TRUE(Form().Maximized());
    Form().Close();
    EXPECT_TRUE(Form().Closed());
    EXPECT_FALSE(Form().Maximized()) << "restored before the geometry was written";
    EXPECT_EQ(::GetPrivateProfileIntW(L"velbrook", L"WindowState_wsMaximized", -1, Ini().c_str()), 1);
    EXPECT_EQ(::GetPrivateProfileIntW(L"velbrook", L"window_top_posn", -1, Ini().c_str()), 40);
    EXPECT_EQ(::GetPrivateProfileIntW(L"velbrook", L"window_left_posn", -1, Ini().c_str()), 30);
    EXPECT_EQ(::GetPrivateProfileIntW(L"velbrook", L"window_Width", -1, Ini().c_str()), 576);
    form.reset();
    EXPECT_TRUE(Shown().Maximized());
}

TEST_F(Main_Form_Settings, A_Settings_File_That_Cannot_Be_Written_Still_Lets_The_Window_Close) {
    Write_Ini("[velbrook]\r\n");
    test_files::Held_File holder(Ini(), FILE_SHARE_READ);
    ASSERT_TRUE(holder.Holding());
    TMainForm1& window = Shown();
    window.Close();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Failure);
    EXPECT_EQ(dialogs.messages[0].title, L"Velbrook v1.0f");
    EXPECT_EQ(dialogs.messages[0].text, L"Unable to write to " + Ini() + L".");
    EXPECT_TRUE(window.Closed());
}

// As after an install for every user: the program may not write beside
// itself, so the run takes the settings from there into the user's own file
// and writes that one.
TEST_F(Main_Form_Settings, A_Settings_File_The_Program_May_Not_Write_Gives_Way_To_The_Users_Own) {
    const std::wstring own = User_Settings_Folder() + L"\\velbrook.ini";
    ASSERT_NE(own, L"\\velbrook.ini");
    ::DeleteFileW(own.c_str());
    Write_Ini("[velbrook]\r\nwindow_top_posn=40\r\nwindow_left_posn=30\r\n");
    ::SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_READONLY);
    TMainForm1& window = Shown();
    EXPECT_EQ(window.Settings_File(), own);
    EXPECT_EQ(window.Window_Bounds().top, 40);
    window.Show_Window(SW_SHOWMAXIMIZED);
    window.Close();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(window.Closed());
    EXPECT_EQ(::GetPrivateProfileIntW(L"velbrook", L"WindowState_wsMaximized", -1, own.c_str()), 1);
    EXPECT_EQ(::GetPrivateProfileIntW(L"velbrook", L"window_top_posn", -1, own.c_str()), 40);
    EXPECT_EQ(::GetPrivateProfileIntW(L"velbrook", L"WindowState_wsMaximized", -1, Ini().c_str()), -1);
    ::DeleteFileW(own.c_str());
}

TEST_F(Main_Form_Settings, Restore_Factory_Defaults_Answered_No_Changes_Nothing_And_Yes_Restores_The_Window) {
    std::wstring list = folder.Write(L"list.txt", "C:\\a.jpg\r\n");
    Write_Ini(
        "[velbrook]\r\nwindow_top_posn=100\r\nwindow_left_posn=90\r\nwindow_Width=700\r\n"
        "Always_on_Top_Option=1\r\nFile_List_Name_Edit=" +
        std::string(list.begin(), list.end()) + "\r\n");
    TMainForm1& window = Shown();
    ASSERT_EQ(Entries(), std::vector<std::wstring>{L"C:\\a.jpg"});
    window.Has_File_List_Changed_CheckBox.Set_Checked(true);
    window.StatusBar1.Set_Panel_Text(L"  kept");

    dialogs.answers = {Answer::No};
    window.Restore_Factory_Defaults_Option.Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::Yes_No);
    EXPECT_EQ(window.Window_Bounds().left, 90);
    EXPECT_TRUE(std::filesystem::exists(Ini()));

    dialogs.answers = {Answer::Yes};
    window.Restore_Factory_Defaults_Option.Click();
    EXPECT_FALSE(std::filesystem::exists(Ini()));
    EXPECT_EQ(window.Window_Bounds(), (Bounds{20, 20, 576, 398}));
    EXPECT_FALSE(window.Always_On_Top_Option.Checked());
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(window.File_List_Name_Edit.Text(), L"");
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"C:\\a.jpg"}) << "the list stays";
    EXPECT_TRUE(Changed());
    EXPECT_EQ(Status(), L"  kept");
    EXPECT_EQ(window.Scaling_ListBox.Item(0), L"569 379 W/H Mainform1") << "the layout is not recorded again";
}

TEST_F(Main_Form_Settings, The_Window_Shows_With_Its_Last_List_When_The_First_Picture_Is_Held_Open) {
    const std::wstring held = folder.Write(L"held.bmp", Read_Bytes(Sample(std::string("red_green.bmp"))));
    const std::wstring list = folder.Write(L"list.txt", test_files::Narrow(held) + "\r\nC:\\b.jpg\r\n");
    Write_Ini("[velbrook]\r\nFile_List_Name_Edit=" + test_files::Narrow(list) + "\r\n");
    // Another program holds the first picture open, sharing nothing.
    const File_Handle holder(
        ::CreateFileW(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    TMainForm1& window = Shown();
    EXPECT_TRUE(::IsWindowVisible(window.Handle()));
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{held, L"C:\\b.jpg"}));
    EXPECT_FALSE(Changed());
    ASSERT_EQ(dialogs.messages.size(), 1u) << "the preview's failure, once";
    EXPECT_NE(dialogs.messages[0].text.find(L"in use"), std::wstring::npos)
        << test_files::Narrow(dialogs.messages[0].text);
}

TEST_F(Main_Form_Settings, The_Registry_Not_The_Settings_File_Decides_The_Auto_Run_Mark) {
    const wchar_t run[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, run, L"velbrook.exe");
    Write_Ini("[velbrook]\r\nAuto_Run_at_Windows_Startup_Option=1\r\n");
    EXPECT_FALSE(Shown().Auto_Run_at_Windows_Startup_Option.Checked());
    form.reset();

    std::wstring entry = folder / L"velbrook.exe";
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, run, L"velbrook.exe", REG_SZ, entry.c_str(),
                      static_cast<DWORD>((entry.size() + 1) * sizeof(wchar_t)));
    Write_Ini("[velbrook]\r\nAuto_Run_at_Windows_Startup_Option=0\r\n");
    EXPECT_TRUE(Shown().Auto_Run_at_Windows_Startup_Option.Checked());
    EXPECT_TRUE(dialogs.messages.empty()) << "the entry names this program: no question";
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, run, L"velbrook.exe");
}

}  // namespace
}  // namespace velbrook::testing

// Auto-run through the machine-wide Run key of the test prefix: turning it on
// and off, the menu command's check mark, and the start-up check of where the
// entry points.  Each test uses program names of its own process and removes
// its entries.

#include <gtest/gtest.h>

#include "shell/auto_run.h"
#include "shell_test_support.h"
#include "toolkit/application.h"
#include "toolkit/failure.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

using testing::Process_Tag;
using testing::Raw_Delete;
using testing::Raw_Get;
using testing::Raw_Set;
using testing::Raw_Set_String;
using testing::Scratch_Key;

const std::wstring Run_Key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class Auto_Run : public ::testing::Test {
protected:
    const std::wstring name = L"vb_auto_run_" + Process_Tag() + L".exe";
    const std::wstring renamed = L"vb_auto_run_" + Process_Tag() + L"_copy.exe";
    const std::wstring path = L"C:\\Apps\\Velbrook\\" + name;
    Scripted_Dialogs dialogs;

    void TearDown() override {
        Raw_Delete(HKEY_LOCAL_MACHINE, Run_Key, name);
        Raw_Delete(HKEY_LOCAL_MACHINE, Run_Key, renamed);
    }
    std::wstring Stored(const std::wstring& value = {}) const {
        return Raw_Get(HKEY_LOCAL_MACHINE, Run_Key, value.empty() ? name : value).bytes_as_text;
    }
    bool Entry_Exists() const { return Raw_Get(HKEY_LOCAL_MACHINE, Run_Key, name).exists; }
    std::wstring On_Text() const {
        return L"This program (" + name + L") will now run automatically at Windows Start-Up.";
    }
    std::wstring Off_Text() const {
        return L"This program (" + name + L") will now no-longer run automatically at Windows Start-Up.";
    }
    std::wstring Question_Text(const std::wstring& old_entry, const std::wstring& current) const {
        return L"The directory / path settings required to make this program (" + name +
               L")\r\nrun automatically at Windows Start-up do not match where the program \r\n"
               L"is currently being run from.\r\n\r\n Old      = " +
               old_entry + L"\r\n Current = " + current +
               L"\r\n\r\nDo you want to update the Windows Registry to reflect the programs current locaton ?";
    }
};

TEST_F(Auto_Run, On_Writes_The_Program_Path_Under_Its_File_Name_And_Off_Removes_It_Each_Confirmed) {
    EXPECT_TRUE(Auto_Run_On(dialogs, path));
    EXPECT_EQ(Stored(), path + L'\0');
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Information);
    EXPECT_EQ(dialogs.messages[0].text, On_Text());

    EXPECT_TRUE(Auto_Run_Off(dialogs, path));
    EXPECT_FALSE(Entry_Exists());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].kind, Message_Kind::Information);
    EXPECT_EQ(dialogs.messages[1].text, Off_Text());
}

TEST_F(Auto_Run, Menu_Command_Turns_On_From_Clear_And_Off_From_Checked) {
    EXPECT_TRUE(Auto_Run_at_Windows_Startup_OptionClick(dialogs, false, path));
    EXPECT_TRUE(Entry_Exists());
    EXPECT_EQ(dialogs.Last().text, On_Text());
    EXPECT_FALSE(Auto_Run_at_Windows_Startup_OptionClick(dialogs, true, path));
    EXPECT_FALSE(Entry_Exists());
    EXPECT_EQ(dialogs.Last().text, Off_Text());

    // Off with no entry in the key still confirms and clears the mark.
    dialogs.Clear();
    EXPECT_FALSE(Auto_Run_at_Windows_Startup_OptionClick(dialogs, true, path));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Off_Text());
}

TEST_F(Auto_Run, Menu_Command_Keeps_The_Mark_When_The_Run_Key_Is_Missing) {
    Scratch_Key root{L"No Run Key"};
    EXPECT_FALSE(Auto_Run_at_Windows_Startup_OptionClick(dialogs, false, path, root.get()));
    EXPECT_TRUE(Auto_Run_at_Windows_Startup_OptionClick(dialogs, true, path, root.get()));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const auto& message : dialogs.messages) {
        EXPECT_EQ(message.kind, Message_Kind::Error);
        EXPECT_NE(message.text.find(L"does NOT exist on your PC"), std::wstring::npos);
        EXPECT_NE(message.text.find(L" Error Item  = " + name + L"\r\n"), std::wstring::npos);
    }
    EXPECT_NE(dialogs.messages[0].text.find(L" Error Value = " + path + L"\r\n"), std::wstring::npos);
    EXPECT_FALSE(testing::Raw_Key_Exists(root.get(), Run_Key));
}

TEST_F(Auto_Run, Start_Up_Check_Follows_The_Registry_Not_The_Mark_It_Was_Given) {
    // No entry (whatever the settings file said): clear, silently.
    EXPECT_FALSE(Check_Auto_Run_Location(dialogs, path));
    // An empty entry is no entry.
    ASSERT_TRUE(Raw_Set_String(HKEY_LOCAL_MACHINE, Run_Key, name, L""));
    EXPECT_FALSE(Check_Auto_Run_Location(dialogs, path));
    // The same path: set, silently.
    ASSERT_TRUE(Raw_Set_String(HKEY_LOCAL_MACHINE, Run_Key, name, path));
    EXPECT_TRUE(Check_Auto_Run_Location(dialogs, path));
    // Differing only in the case of a to z still matches.
    ASSERT_TRUE(Raw_Set_String(HKEY_LOCAL_MACHINE, Run_Key, name,
                               L"c:\\aPPS\\velBROOK\\VB_AUTO_RUN_" + Process_Tag() + L".EXE"));
    EXPECT_TRUE(Check_Auto_Run_Location(dialogs, path));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Auto_Run, Letters_Beyond_A_To_Z_Are_Compared_As_They_Are) {
    const std::wstring accented = L"C:\\Apps\\\u00C9t\u00E9\\" + name;
    ASSERT_TRUE(Raw_Set_String(HKEY_LOCAL_MACHINE, Run_Key, name, L"C:\\Apps\\\u00E9t\u00E9\\" + name));
    dialogs.answers.push_back(Answer::No);
    EXPECT_TRUE(Check_Auto_Run_Location(dialogs, accented));
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Auto_Run, Entry_For_Another_Path_Asks_No_Keeps_It_And_Yes_Rewrites_It) {
    const std::wstring old_path = L"D:\\Old Place\\" + name;
    ASSERT_TRUE(Raw_Set_String(HKEY_LOCAL_MACHINE, Run_Key, name, old_path));

    dialogs.answers.push_back(Answer::No);
    EXPECT_TRUE(Check_Auto_Run_Location(dialogs, path));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::Yes_No);
    EXPECT_EQ(dialogs.messages[0].text, Question_Text(old_path, path));
    EXPECT_EQ(Stored(), old_path + L'\0');

    dialogs.Clear();
    dialogs.answers.push_back(Answer::Yes);
    EXPECT_TRUE(Check_Auto_Run_Location(dialogs, path));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Warning);
    EXPECT_EQ(dialogs.messages[1].kind, Message_Kind::Information);
    EXPECT_EQ(dialogs.messages[1].text, On_Text());
    EXPECT_EQ(Stored(), path + L'\0');
}

TEST_F(Auto_Run, Renamed_Program_File_Does_Not_Find_Its_Old_Entry_And_Leaves_It) {
    ASSERT_TRUE(Raw_Set_String(HKEY_LOCAL_MACHINE, Run_Key, name, path));
    EXPECT_FALSE(Check_Auto_Run_Location(dialogs, L"C:\\Apps\\Velbrook\\" + renamed));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Stored(), path + L'\0');
    EXPECT_FALSE(Raw_Get(HKEY_LOCAL_MACHINE, Run_Key, renamed).exists);
}

TEST_F(Auto_Run, Path_With_A_Space_Is_Written_Quoted_And_Matches_Quoted_Or_Not) {
    const std::wstring spaced = L"C:\\Program Files\\Velbrook\\" + name;
    EXPECT_TRUE(Auto_Run_On(dialogs, spaced));
    EXPECT_EQ(Stored(), L"\"" + spaced + L"\"" + L'\0');
    EXPECT_EQ(dialogs.Last().text, On_Text());

    dialogs.Clear();
    EXPECT_TRUE(Check_Auto_Run_Location(dialogs, spaced));
    // An entry written before paths were quoted names the same program.
    ASSERT_TRUE(Raw_Set_String(HKEY_LOCAL_MACHINE, Run_Key, name, spaced));
    EXPECT_TRUE(Check_Auto_Run_Location(dialogs, spaced));
    EXPECT_TRUE(dialogs.messages.empty());

    // A quoted entry for another place asks, and shows the entry as stored.
    const std::wstring elsewhere = L"\"D:\\Old Place\\" + name + L"\"";
    ASSERT_TRUE(Raw_Set_String(HKEY_LOCAL_MACHINE, Run_Key, name, elsewhere));
    dialogs.answers.push_back(Answer::Yes);
    EXPECT_TRUE(Check_Auto_Run_Location(dialogs, spaced));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, Question_Text(elsewhere, spaced));
    EXPECT_EQ(Stored(), L"\"" + spaced + L"\"" + L'\0');
}

TEST_F(Auto_Run, Entry_Of_Another_Type_Reaches_The_General_Failure_Handler_And_The_Mark_Stays) {
    DWORD number = 1;
    ASSERT_TRUE(Raw_Set(HKEY_LOCAL_MACHINE, Run_Key, name, REG_DWORD, &number, sizeof number));
    Application application(dialogs, L"Velbrook v1.0f");
    bool mark = true;
    Guarded(
        [&] {
            mark = Check_Auto_Run_Location(dialogs, path);
            return 0;
        },
        0);
    EXPECT_TRUE(mark);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Failure);
    EXPECT_NE(dialogs.messages[0].text.find(L"'" + name + L"'"), std::wstring::npos);
}

}  // namespace
}  // namespace velbrook

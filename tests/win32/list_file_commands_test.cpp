// Save File List, Save File List As and Load File List with scripted dialogs.

#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include "main_form_fixture.h"
#include "picture_list/list_file_commands.h"

namespace velbrook::testing {
namespace {

using List_File = Main_Form_Test;

TEST_F(List_File, Save_As_Writes_Every_Entry_With_Cr_Lf_And_Clears_Both_Flags) {
    Fill({L"C:\\one.jpg", L"D:\\two.bmp"});
    Form().Has_File_List_Changed_CheckBox.Set_Checked(true);
    Form().Has_File_List_Been_Reased_CheckBox.Set_Checked(true);
    std::wstring target = folder / L"list.txt";
    dialogs.file_answers = {target};
    Form().Save_FileList_As_BitBtn.Click();
    ASSERT_EQ(dialogs.file_dialogs.size(), 1u);
    const auto& request = dialogs.file_dialogs[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.initial_dir, folder.Path()) << "the program's own folder";
    EXPECT_EQ(request.file_name, L"");
    EXPECT_EQ(request.filter, L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(request.flags, DWORD(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING));
    EXPECT_EQ(Read_Bytes(target), "C:\\one.jpg\r\nD:\\two.bmp\r\n");
    EXPECT_EQ(Status(), L"  File list saved to \"" + target + L"\".");
    EXPECT_EQ(Form().File_List_Name_Edit.Text(), target);
    EXPECT_FALSE(Changed());
    EXPECT_FALSE(Form().Has_File_List_Been_Reased_CheckBox.Checked());
}

TEST_F(List_File, Save_Overwrites_The_Current_File_Whole_Without_Asking) {
    std::wstring target = folder.Write(L"list.txt", std::string(5000, 'x'));
    Form().File_List_Name_Edit.Set_Text(target);
    Fill({L"C:\\a.jpg"});
    Form().Save_File_List_Option.Click();
    EXPECT_TRUE(dialogs.file_dialogs.empty());
    EXPECT_EQ(Read_Bytes(target), "C:\\a.jpg\r\n");
    EXPECT_EQ(Status(), L"  File list saved to \"" + target + L"\".");
}

TEST_F(List_File, After_Reset_Save_Asks_For_A_Name_Starting_At_The_Current_File) {
    std::wstring target = folder.Write(L"sub\\mine.txt");
    Form().File_List_Name_Edit.Set_Text(target);
    dialogs.answers = {Answer::Yes};
    Form().Reset_BitBtn.Click();
    dialogs.file_answers = {std::nullopt};
    Form().Save_File_List_Option.Click();
    ASSERT_EQ(dialogs.file_dialogs.size(), 1u);
    EXPECT_EQ(dialogs.file_dialogs[0].initial_dir, folder / L"sub\\");
    EXPECT_EQ(dialogs.file_dialogs[0].file_name, L"mine.txt");
    EXPECT_TRUE(Changed());
    EXPECT_EQ(Read_Bytes(target), "x") << "cancelled: nothing written";
}

TEST_F(List_File, An_Empty_List_Saves_As_Zero_Bytes_And_Loads_Back_Empty) {
    std::wstring target = folder / L"empty.txt";
    dialogs.file_answers = {target, target};
    Form().Save_File_List_As_Option.Click();
    EXPECT_EQ(Read_Bytes(target), "");
    Form().Load_File_List_Option.Click();
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(Form().Pictures().Selected_Index(), -1);
    EXPECT_EQ(Form().Image1.Picture(), nullptr);
}

TEST_F(List_File, A_Save_Onto_A_Read_Only_File_Keeps_It_Intact_And_Shows_The_Box) {
    std::wstring target = folder.Write(L"locked.txt", "old contents\r\n");
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    Form().File_List_Name_Edit.Set_Text(target);
    Fill({L"C:\\new.jpg"});
    Form().Has_File_List_Changed_CheckBox.Set_Checked(true);
    Form().StatusBar1.Set_Panel_Text(L"  before");
    Form().Save_File_List_Option.Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Information);
    EXPECT_EQ(dialogs.messages[0].text,
              L"The " + target +
                  L" could not be saved !\r\n\r\nPossible reasons for this include :\r\n"
                  L"- there may not be enough disk space, \r\n- there may be errors on the disk, \r\n"
                  L"- you may be saving to a read only disk (such as a CD-ROM), \r\n"
                  L"- the file may already exist and be read-only or write locked, \r\n\r\n"
                  L"or there may be some other reason for the failure.");
    EXPECT_EQ(Read_Bytes(target), "old contents\r\n");
    EXPECT_TRUE(Changed());
    EXPECT_EQ(Status(), L"  before");
    std::vector<std::wstring> left;
    for (auto& entry : std::filesystem::directory_iterator(folder.Path())) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::wstring>{L"locked.txt"}) << "no temporary file left behind";
}

TEST_F(List_File, A_Save_Onto_A_File_Held_Open_By_Another_Program_Keeps_It_Intact) {
    std::wstring target = folder.Write(L"held.txt", "old\r\n");
    File_Handle holder(
        ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    Form().File_List_Name_Edit.Set_Text(target);
    Fill({L"C:\\new.jpg"});
    Form().Save_File_List_Option.Click();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    holder.reset();
    EXPECT_EQ(Read_Bytes(target), "old\r\n");
}

TEST_F(List_File, Entries_The_Ansi_Code_Page_Cannot_Hold_Are_Written_As_Utf8_And_Read_Back) {
    std::wstring greek = L"C:\\\u03b5\u03b9\u03ba\u03cc\u03bd\u03b1.jpg";
    Fill({L"C:\\plain.jpg", greek});
    std::wstring target = folder / L"utf8.txt";
    dialogs.file_answers = {target, target};
    Form().Save_File_List_As_Option.Click();
    std::string bytes = Read_Bytes(target);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    Form().Pictures().Clear();
    Form().Load_File_List_Option.Click();
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"C:\\plain.jpg", greek}));
}

TEST_F(List_File, Unicode_Lists_Of_Either_Byte_Order_Load_And_A_Lone_Surrogate_Survives_A_Save) {
    const std::wstring greek = L"C:\\\u03b5\u03b9\u03ba\u03cc\u03bd\u03b1.jpg";
    const auto utf16 = [](const std::wstring& text, bool big_endian) {
        std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += big_endian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    const auto load = [&](const std::wstring& list) {
        Form().Has_File_List_Changed_CheckBox.Set_Checked(false);
        dialogs.file_answers = {list};
        Form().Load_File_List_Option.Click();
    };
    // As Notepad saves "Unicode" and "Unicode big endian".
    for (bool big_endian : {false, true}) {
        load(folder.Write(L"unicode.txt", utf16(L"C:\\a.jpg\r\n" + greek + L"\r\n", big_endian)));
        EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"C:\\a.jpg", greek})) << big_endian;
    }
    // Half a unit at the end: damaged, refused, the list as it was.
    dialogs.Clear();
    const std::wstring damaged = folder.Write(L"damaged.txt", utf16(L"C:\\x.jpg", false) + "x");
    load(damaged);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"The file list \"" + damaged + L"\" could not be read.");
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"C:\\a.jpg", greek}));

    // A name NTFS allows that no UTF-8 holds: saved as UTF-16, read back whole.
    std::wstring lone = L"C:\\odd";
    lone += static_cast<wchar_t>(0xD800);
    lone += L".jpg";
    Form().Pictures().Clear();
    Fill({L"C:\\plain.jpg", lone});
    const std::wstring target = folder / L"lone.txt";
    dialogs.file_answers = {target};
    Form().Save_File_List_As_Option.Click();
    EXPECT_EQ(Read_Bytes(target).substr(0, 2), "\xFF\xFE");
    Form().Pictures().Clear();
    load(target);
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"C:\\plain.jpg", lone}));
}

TEST_F(List_File, Load_Reads_Every_Line_Ending_And_Previews_The_First_Entry) {
    std::wstring first = folder.Copy(L"red_green.bmp", L"first.bmp");
    std::string first_bytes(first.begin(), first.end());
    std::wstring list = folder.Write(L"mixed.txt", first_bytes + "\rC:\\b.jpg\n\r\nC:\\b.jpg\r\nlast");
    Form().StatusBar1.Set_Panel_Text(L"  before");
    Form().Has_File_List_Changed_CheckBox.Set_Checked(false);
    dialogs.file_answers = {list};
    Form().Load_FileList_BitBtn.Click();
    const auto& request = dialogs.file_dialogs.at(0);
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.flags, DWORD(OFN_HIDEREADONLY | OFN_ENABLESIZING));
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, L"C:\\b.jpg", L"", L"C:\\b.jpg", L"last"}));
    EXPECT_EQ(Form().Pictures().Selected_Index(), 0);
    EXPECT_NE(Form().Image1.Picture(), nullptr);
    EXPECT_EQ(Status(), L"  " + first);
    EXPECT_EQ(Form().File_List_Name_Edit.Text(), list);
    EXPECT_EQ(Form().File_ListBox.Horizontal_Extent(), 1500);
    EXPECT_FALSE(Changed());
}

TEST_F(List_File, Loading_A_List_Whose_First_Entry_Is_Missing_Keeps_The_Loaded_From_Text) {
    std::wstring list = folder.Write(L"list.txt", "C:\\nowhere\\gone.jpg\r\n");
    dialogs.file_answers = {list};
    Form().Load_File_List_Option.Click();
    EXPECT_EQ(Status(), L"  File list loaded from \"" + list + L"\".");
    EXPECT_EQ(Form().Image1.Picture(), nullptr);
}

TEST_F(List_File, Load_Over_Unsaved_Changes_Asks_First) {
    std::wstring list = folder.Write(L"list.txt", "C:\\x.jpg\r\n");
    Fill({L"C:\\mine.jpg"});
    Form().Has_File_List_Changed_CheckBox.Set_Checked(true);
    // Yes, then the save-as dialog cancelled: nothing is loaded.
    dialogs.answers = {Answer::Yes};
    dialogs.file_answers = {std::nullopt};
    Form().Load_File_List_Option.Click();
    EXPECT_EQ(dialogs.messages.at(0).text,
              L"The file list has not been saved.  Do you want to save it before loading another file list ?");
    EXPECT_EQ(dialogs.file_dialogs.size(), 1u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"C:\\mine.jpg"});
    EXPECT_TRUE(Changed());
    // No: the changes are dropped and the file loaded.
    dialogs.answers = {Answer::No};
    dialogs.file_answers = {list};
    Form().Load_File_List_Option.Click();
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"C:\\x.jpg"});
    EXPECT_FALSE(Changed());
}

TEST_F(List_File, A_List_File_That_Cannot_Be_Read_Leaves_The_List_As_It_Was) {
    std::wstring list = folder.Write(L"locked.txt", "C:\\x.jpg\r\n");
    File_Handle holder(
        ::CreateFileW(list.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    Fill({L"C:\\mine.jpg"});
    dialogs.file_answers = {list};
    Form().Load_File_List_Option.Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Error);
    EXPECT_EQ(dialogs.messages[0].text, L"The file list \"" + list + L"\" could not be read.");
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"C:\\mine.jpg"});
    EXPECT_EQ(Form().File_List_Name_Edit.Text(), L"File_List_Name_Edit");
}

TEST_F(List_File, Load_Of_A_Name_That_Does_Not_Exist_Gives_An_Empty_List) {
    Fill({L"C:\\mine.jpg"});
    std::wstring nowhere = folder / L"typed.txt";
    dialogs.file_answers = {nowhere};
    Form().Load_File_List_Option.Click();
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(Status(), L"  File list loaded from \"" + nowhere + L"\".");
    EXPECT_EQ(Form().File_List_Name_Edit.Text(), nowhere);
}

}  // namespace
}  // namespace velbrook::testing

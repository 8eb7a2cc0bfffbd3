// The picture list's routines, its editing commands and the preview.

#include <gtest/gtest.h>

#include "main_form_fixture.h"
#include "picture_list/commands.h"

namespace velbrook::testing {
namespace {

using List_Commands = Main_Form_Test;

TEST_F(List_Commands, Refused_Commands_Show_Their_Box_And_Change_Nothing) {
    struct Case {
        const char* what;
        int entries;
        int selected;
        const wchar_t* button;
        const wchar_t* text;
    } cases[] = {
        {"up, empty", 0, -1, L"Move_Up_BitBtn", L"There are no files in the list to move."},
        {"down, empty", 0, -1, L"Move_Down_BitBtn", L"There are no files in the list to move."},
        {"remove, empty", 0, -1, L"Remove_Item_BitBtn", L"There are no files in the list to move."},
        {"up, none selected", 3, -1, L"Move_Up_BitBtn", L"None of the files in the list have been selected."},
        {"down, none selected", 3, -1, L"Move_Down_BitBtn", L"None of the files in the list have been selected."},
        {"remove, none selected", 3, -1, L"Remove_Item_BitBtn", L"None of the files in the list have been selected."},
        {"up at the top", 3, 0, L"Move_Up_BitBtn", L"This file is already at the top of the list."},
        {"down at the bottom", 3, 2, L"Move_Down_BitBtn", L"This file is already at the bottom of the list."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Form().Pictures().Clear();
        for (int i = 0; i < c.entries; ++i) Form().Pictures().Add(L"C:\\p" + std::to_wstring(i) + L".jpg");
        Form().Pictures().Select_Index(c.selected);
        Form().StatusBar1.Set_Panel_Text(L"  before");
        Form().Has_File_List_Changed_CheckBox.Set_Checked(false);
        auto before = Entries();
        dialogs.Clear();
        dynamic_cast<Button&>(*Form().Find_Component(c.button)).Click();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Error);
        EXPECT_EQ(dialogs.messages[0].title, L"Error");
        EXPECT_EQ(dialogs.messages[0].text, c.text);
        EXPECT_EQ(Entries(), before);
        EXPECT_EQ(Form().Pictures().Selected_Index(), c.selected);
        EXPECT_EQ(Status(), L"  before");
        EXPECT_FALSE(Changed());
    }
}

TEST_F(List_Commands, Move_Up_And_Down_Swap_With_The_Neighbour_And_Keep_It_Selected) {
    Fill({L"C:\\a.jpg", L"C:\\b.jpg", L"C:\\c.jpg"});
    Form().Pictures().Select_Index(1);
    Form().Move_Up_BitBtn.Click();
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"C:\\b.jpg", L"C:\\a.jpg", L"C:\\c.jpg"}));
    EXPECT_EQ(Form().Pictures().Selected_Index(), 0);
    EXPECT_EQ(Status(), L"  File moved \"up\", as requested !");
    EXPECT_TRUE(Changed());
    Form().Move_Down_BitBtn.Click();
    Form().Move_Down_BitBtn.Click();
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"C:\\a.jpg", L"C:\\c.jpg", L"C:\\b.jpg"}));
    EXPECT_EQ(Form().Pictures().Selected_Index(), 2);
    EXPECT_EQ(Status(), L"  File moved \"down\", as requested !");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(List_Commands, Remove_Selects_The_Entry_That_Takes_Its_Place_And_Previews_It) {
    std::wstring a = folder.Copy(L"red_green.bmp", L"a.bmp");
    std::wstring b = folder.Copy(L"blue_yellow.jpg", L"b.jpg");
    Fill({a, b});
    Form().Pictures().Select_Index(1);  // the last entry
    Form().Remove_Item_BitBtn.Click();
    EXPECT_EQ(Entries(), std::vector<std::wstring>{a});
    EXPECT_EQ(Form().Pictures().Selected_Index(), 0);
    EXPECT_NE(Form().Image1.Picture(), nullptr);
    EXPECT_EQ(Status(), L"  File removed, as requested !");
    EXPECT_TRUE(Changed());

    Form().Remove_Item_BitBtn.Click();  // the only entry
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(Form().Pictures().Selected_Index(), -1);
    EXPECT_EQ(Form().Image1.Picture(), nullptr);
}

TEST_F(List_Commands, Reset_Asks_And_Only_Yes_Erases) {
    Fill({L"C:\\a.jpg"});
    Form().File_List_Name_Edit.Set_Text(L"C:\\list.txt");
    Form().StatusBar1.Set_Panel_Text(L"  kept");
    dialogs.answers = {Answer::No};
    Form().Reset_BitBtn.Click();
    EXPECT_EQ(dialogs.Last().text, L"Reset the file list ?  Are you sure ?");
    EXPECT_EQ(dialogs.Last().kind, Message_Kind::Confirmation);
    EXPECT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Status(), L"  kept");
    EXPECT_FALSE(Changed());
    EXPECT_FALSE(Form().Has_File_List_Been_Reased_CheckBox.Checked());

    dialogs.answers = {Answer::Yes};
    Form().Reset_BitBtn.Click();
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(Status(), L"  File list erased, as requested !");
    EXPECT_TRUE(Changed());
    EXPECT_TRUE(Form().Has_File_List_Been_Reased_CheckBox.Checked());
    EXPECT_EQ(Form().File_List_Name_Edit.Text(), L"C:\\list.txt");
}

TEST_F(List_Commands, Sort_List_Orders_By_Whole_Path_Ignoring_Case_And_Keeps_The_Selected_Index) {
    Fill({L"D:\\b.jpg", L"C:\\ab\\x.jpg", L"C:\\a\\z.jpg", L"c:\\B.jpg"});
    Form().Pictures().Select_Index(3);
    Form().Sort_List_BitBtn.Click();
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"C:\\a\\z.jpg", L"C:\\ab\\x.jpg", L"c:\\B.jpg", L"D:\\b.jpg"}));
    EXPECT_EQ(Form().Pictures().Selected_Index(), 3);
    EXPECT_EQ(Status(), L"  File list sorted, as requested.");
    EXPECT_TRUE(Changed());
    EXPECT_FALSE(Form().Pictures().Sorted());
    Form().Pictures().Add(L"A:\\first.jpg");
    EXPECT_EQ(Entries().back(), L"A:\\first.jpg") << "after the sort, new entries go to the end again";
}

TEST_F(List_Commands, Sort_List_On_An_Empty_List_Still_Reports) {
    Form().Sort_List_BitBtn.Click();
    EXPECT_EQ(Status(), L"  File list sorted, as requested.");
    EXPECT_TRUE(Changed());
}

TEST_F(List_Commands, Find_Entry_Is_Case_Sensitive_Normally_And_Case_Blind_In_Sorted_Mode) {
    Picture_List& list = Form().Pictures();
    // Is_Listed, which drops use, must say exactly what Find_Entry says.
    auto find = [&](const wchar_t* path) {
        int index = list.Find_Entry(path);
        EXPECT_EQ(list.Is_Listed(path), index >= 0) << path;
        return index;
    };
    Fill({L"C:\\b.jpg", L"C:\\A.jpg", L"C:\\b.jpg"});
    EXPECT_EQ(find(L"C:\\b.jpg"), 0) << "the first of two equal entries";
    EXPECT_EQ(find(L"C:\\A.jpg"), 1);
    EXPECT_EQ(find(L"c:\\a.jpg"), -1);
    EXPECT_EQ(find(L"C:\\none.jpg"), -1);
    list.Remove(0);
    EXPECT_EQ(find(L"C:\\b.jpg"), 1) << "the index follows removals";
    list.Remove(1);
    EXPECT_EQ(find(L"C:\\b.jpg"), -1);
    list.Add(L"C:\\c.jpg");
    list.Swap_Entries(0, 1);
    EXPECT_EQ(find(L"C:\\c.jpg"), 0);

    list.Set_Sorted(true);
    EXPECT_EQ(find(L"c:\\a.JPG"), 0);
    EXPECT_EQ(find(L"C:\\C.JPG"), 1);
    EXPECT_EQ(find(L"C:\\d.jpg"), -1);
    list.Add(L"C:\\B.jpg");
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"C:\\A.jpg", L"C:\\B.jpg", L"C:\\c.jpg"}));
    list.Set_Sorted(false);
    EXPECT_EQ(find(L"C:\\b.jpg"), -1) << "case counts again once the sort is off";
    EXPECT_EQ(find(L"C:\\B.jpg"), 1);
    list.Clear();
    EXPECT_EQ(find(L"C:\\B.jpg"), -1);
}

TEST_F(List_Commands, Swap_And_Select_Ignore_Indexes_Out_Of_Range) {
    Picture_List& list = Form().Pictures();
    EXPECT_FALSE(list.Swap_Entries(0, 0));
    Fill({L"a", L"b"});
    EXPECT_FALSE(list.Swap_Entries(0, 2));
    EXPECT_FALSE(list.Swap_Entries(-1, 1));
    EXPECT_TRUE(list.Swap_Entries(0, 1));
    list.Select_Index(5);
    EXPECT_EQ(list.Selected_Index(), -1);
    list.Select_Index(-1);
    EXPECT_EQ(list.Selected_Index(), -1);
    EXPECT_EQ(list.Selected_Entry(), L"");
    list.Select_Index(1);
    EXPECT_EQ(list.Selected_Entry(), L"a") << "the swap exchanged the two texts";
}

TEST_F(List_Commands, The_Preview_Shows_Each_Picture_Kind_And_Clears_For_Invalid_Ones) {
    struct Case {
        const wchar_t* picture;
        const wchar_t* name;
        bool shown;
    } cases[] = {
        {L"red_green.bmp", L"a.bmp", true},     {L"blue_yellow.jpg", L"b.jpg", true},
        {L"blue_yellow.jpg", L"B.JPEG", true},  {L"cyan.emf", L"c.emf", true},
        {L"orange.wmf", L"d.wmf", true},        {L"grey.ico", L"e.ico", true},
        {L"corrupt.jpg", L"f.jpg", false},      {L"truncated.jpg", L"g.jpg", false},
        {L"not_a_bitmap.bmp", L"h.bmp", false}, {L"red_green.bmp", L"i.gif", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path = folder.Copy(c.picture, c.name);
        Form().Pictures().Clear();
        Fill({path});
        Form().Pictures().Select_Index(0);
        Form().Image1.Clear();
        dialogs.Clear();
        File_ListBoxClick(Form().List());
        EXPECT_EQ(Status(), L"  " + path);
        EXPECT_EQ(Form().Image1.Picture() != nullptr, c.shown);
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(List_Commands, The_Preview_Of_Nothing_Or_A_Missing_File_Clears_It_And_Keeps_The_Status) {
    std::wstring path = folder.Copy(L"red_green.bmp", L"a.bmp");
    Fill({path, folder / L"gone.bmp", L"", L"."});
    Form().Pictures().Select_Index(0);
    File_ListBoxClick(Form().List());
    ASSERT_NE(Form().Image1.Picture(), nullptr);
    Form().StatusBar1.Set_Panel_Text(L"  kept");
    for (int index : {1, 2, 3}) {
        Form().Pictures().Select_Index(index);
        File_ListBoxClick(Form().List());
        EXPECT_EQ(Form().Image1.Picture(), nullptr) << index;
        EXPECT_EQ(Status(), L"  kept");
    }
    Form().File_ListBox.Select(-1);
    File_ListBoxClick(Form().List());
    EXPECT_EQ(Form().Image1.Picture(), nullptr);
}

TEST_F(List_Commands, A_Locked_Picture_Reaches_The_General_Handler_And_The_Preview_Keeps_Its_Picture) {
    std::wstring good = folder.Copy(L"red_green.bmp", L"a.bmp");
    std::wstring locked = folder.Copy(L"red_green.bmp", L"b.bmp");
    Fill({good, locked});
    TMainForm1& window = Shown();
    window.Pictures().Select_Index(0);
    File_ListBoxClick(window.List());
    auto before = window.Image1.Picture();
    ASSERT_NE(before, nullptr);
    File_Handle holder(::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    // As a click of the user: through the list box's notification.
    window.Pictures().Select_Index(1);
    ::SendMessageW(window.All_GroupBox.Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(window.File_ListBox.Handle()));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Failure);
    EXPECT_NE(dialogs.messages[0].text.find(L"b.bmp"), std::wstring::npos);
    EXPECT_EQ(window.Image1.Picture(), before);
    EXPECT_EQ(Status(), L"  " + locked);
}

}  // namespace
}  // namespace velbrook::testing

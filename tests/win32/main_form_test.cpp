// The main window as built: controls, menu bar, first show, busy state, closing.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/command_ids.h"
#include "app/settings_file.h"
#include "main_form_fixture.h"

namespace velbrook::testing {
namespace {

struct Control_Row {
    const wchar_t* name;
    const wchar_t* parent;
    Bounds bounds;
    const wchar_t* caption;
    const wchar_t* hint;
    bool visible;
};

const Control_Row design[] = {
    {L"All_GroupBox", L"MainForm1", {4, 2, 561, 375}, L"", L"", true},
    {L"Label1", L"All_GroupBox", {8, 51, 393, 21}, L"Drag and Drop graphics files using Windows Explorer", L"", true},
    {L"Load_FileList_BitBtn", L"All_GroupBox", {9, 11, 130, 30}, L"Load", L"", true},
    {L"Save_FileList_BitBtn", L"All_GroupBox", {141, 11, 130, 30}, L"Save", L"", true},
    {L"Save_FileList_As_BitBtn", L"All_GroupBox", {273, 11, 130, 30}, L"Save As", L"", true},
    {L"File_ListBox", L"All_GroupBox", {8, 75, 393, 232}, L"", L"", true},
    {L"Reset_BitBtn", L"All_GroupBox", {8, 312, 130, 30}, L"Reset", L"Reset / erase the list", true},
    {L"Print_BitBtn", L"All_GroupBox", {140, 312, 130, 30}, L"Print / PDF", L"Print all files in the list", true},
    {L"Exit_BitBtn", L"All_GroupBox", {272, 312, 130, 30}, L"Exit", L"Exit this program", true},
    {L"Sort_List_BitBtn",
     L"All_GroupBox",
     {408, 11, 145, 30},
     L"Sort List",
     L"Sort files by drive, directory, and file name",
     true},
    {L"Move_Up_BitBtn",
     L"All_GroupBox",
     {408, 43, 145, 30},
     L"Move Up",
     L"Move the currently selected file UP one position in the list",
     true},
    {L"Move_Down_BitBtn",
     L"All_GroupBox",
     {408, 75, 145, 30},
     L"Move Down",
     L"Move the currently selected file DOWN one position in the list",
     true},
    {L"Remove_Item_BitBtn",
     L"All_GroupBox",
     {408, 107, 145, 30},
     L"Remove",
     L"Remove the currently selected file from the list",
     true},
    {L"GroupBox1", L"All_GroupBox", {408, 144, 145, 200}, L" Image Preview : ", L"", true},
    {L"Image1", L"GroupBox1", {2, 19, 141, 179}, nullptr, L"", true},
    {L"StatusBar1", L"All_GroupBox", {2, 348, 557, 25}, nullptr, L"", true},
    {L"Halt_Processing_GroupBox", L"All_GroupBox", {100, 133, 205, 105}, L" Abort after current image : ", L"", false},
    {L"Abort_BitBtn", L"Halt_Processing_GroupBox", {38, 40, 130, 40}, L"Abort", L"", true},
    {L"Gauge1", L"MainForm1", {580, 34, 100, 22}, nullptr, L"", false},
    {L"Scaling_ListBox", L"MainForm1", {612, 4, 25, 29}, nullptr, L"", false},
    {L"File_List_Name_Edit", L"MainForm1", {576, 108, 121, 25}, nullptr, L"", false},
    {L"Has_File_List_Changed_CheckBox", L"MainForm1", {576, 146, 149, 17}, nullptr, L"", false},
    {L"Halt_Processing_CheckBox", L"MainForm1", {572, 176, 145, 17}, nullptr, L"", false},
    {L"Has_File_List_Been_Reased_CheckBox", L"MainForm1", {572, 204, 149, 17}, nullptr, L"", false},
};

TEST_F(Main_Form_Test, Every_Control_Has_Its_Design_Name_Parent_Place_Caption_And_Hint) {
    TMainForm1& window = Form();
    size_t index = 0;
    for (const auto& row : design) {
        SCOPED_TRACE(row.name);
        Component* component = window.Find_Component(row.name);
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(component, window.Components()[index++].get()) << "creation order";
        Control* control = component->As_Control();
        ASSERT_NE(control, nullptr);
        ASSERT_NE(control->Parent(), nullptr);
        EXPECT_EQ(control->Parent()->Name(), row.parent);
        EXPECT_EQ(control->Get_Bounds(), row.bounds);
        EXPECT_EQ(control->Hint(), row.hint);
        EXPECT_EQ(control->Visible(), row.visible);
        if (row.caption) {
            auto* windowed = dynamic_cast<Windowed_Control*>(control);
            ASSERT_NE(windowed, nullptr);
            EXPECT_EQ(windowed->Text(), row.caption);
        }
        if (auto* button = dynamic_cast<Button*>(control)) {
            EXPECT_EQ(button->Font(), (Font_Spec{L"Times New Roman", 12, true}));
            EXPECT_EQ(Font_Height_For_Points(12), -16);
        }
    }
    EXPECT_EQ(window.Font(), (Font_Spec{L"Times New Roman", 11, false}));
    EXPECT_EQ(Font_Height_For_Points(11), -15);
}

TEST_F(Main_Form_Test, Every_Hint_Is_Registered_With_The_Hint_Window_And_Nothing_Else) {
    TMainForm1& window = Form();
    int hints = 0;
    for (const auto& row : design) {
        auto* control = dynamic_cast<Windowed_Control*>(window.Find_Component(row.name));
        if (!control) continue;
        wchar_t text[256] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = ::GetParent(control->Handle());
        tool.uId = reinterpret_cast<UINT_PTR>(control->Handle());
        tool.lpszText = text;
        ::SendMessageW(window.Tooltip(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, row.hint) << row.name;
        if (*row.hint) ++hints;
    }
    EXPECT_EQ(hints, 7);
    EXPECT_EQ(::SendMessageW(window.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 7);
}

TEST_F(Main_Form_Test, Buttons_Inside_The_Group_Box_Follow_The_Tab_Order) {
    TMainForm1& window = Form();
    std::vector<std::wstring> order;
    for (HWND child = ::GetWindow(window.All_GroupBox.Handle(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        auto* control = Windowed_Control::From_Handle(child);
        if (control && control->Tab_Order() >= 0) order.push_back(control->Name());
    }
    std::vector<std::wstring> expected{L"Print_BitBtn",           L"Exit_BitBtn",
                                       L"File_ListBox",           L"Move_Up_BitBtn",
                                       L"Move_Down_BitBtn",       L"Remove_Item_BitBtn",
                                       L"Reset_BitBtn",           L"GroupBox1",
                                       L"Sort_List_BitBtn",       L"Halt_Processing_GroupBox",
                                       L"Load_FileList_BitBtn",   L"Save_FileList_BitBtn",
                                       L"Save_FileList_As_BitBtn"};
    EXPECT_EQ(order, expected);
}

struct Menu_Row {
    const wchar_t* name;
    const wchar_t* caption;
    unsigned short id;  // 0 for the menus and separators
    bool check_item;
};

const Menu_Row file_menu[] = {
    {L"Save_File_List_Option", L"Save File List", command::Save_File_List, false},
    {L"Save_File_List_As_Option", L"Save File List As", command::Save_File_List_As, false},
    {L"Load_File_List_Option", L"Load File List", command::Load_File_List, false},
    {L"Save_Pictures_as_PDF_File_Option", L"Save Pictures as &PDF File...", command::Save_Pictures_as_PDF_File, false},
    {L"Print_Preview_Option", L"Print Pre&view...", command::Print_Preview, false},
    {L"N3", L"-", 0, false},
    {L"Always_On_Top_Option", L"Always &On Top", command::Always_On_Top, true},
    {L"Auto_Run_at_Windows_Startup_Option", L"&Auto-Run at Windows Startup", command::Auto_Run_at_Windows_Startup,
     true},
    {L"Restore_Factory_Defaults_Option", L"&Restore Factory Defaults", command::Restore_Factory_Defaults, false},
    {L"N2", L"-", 0, false},
    {L"Create_Shortcut_on_Desktop_Option", L"Create Shortcut on Desktop", command::Create_Shortcut_on_Desktop, false},
    {L"Create_Shortcut_on_Start_Menu_Option", L"Create Shortcut on Start Menu", command::Create_Shortcut_on_Start_Menu,
     false},
    {L"Create_Shortcut_on_Start_Programs_Menu_Option", L"Create Shortcut on Start -> Programs Menu",
     command::Create_Shortcut_on_Start_Programs_Menu, false},
    {L"Create_Shortcut_on_SendTo_Menu_Option", L"Create Shortcut on SendTo Menu",
     command::Create_Shortcut_on_SendTo_Menu, false},
    {L"Delete_All_Shortcuts_Option", L"Delete ALL Shortcuts", command::Delete_All_Shortcuts, false},
    {L"N9", L"-", 0, false},
    {L"ExitOption", L"E&xit", command::Exit, false},
};

const Menu_Row options_menu[] = {
    {L"Stretch_to_the_Page_Option", L"&Stretch to the Page", command::Stretch_to_the_Page, true},
    {L"Fit_Inside_the_Page_Option", L"&Fit Inside the Page", command::Fit_Inside_the_Page, true},
    {L"Fill_the_Page_Option", L"F&ill the Page", command::Fill_the_Page, true},
    {L"N4", L"-", 0, false},
    {L"Turn_to_Suit_the_Page_Option", L"&Turn to Suit the Page", command::Turn_to_Suit_the_Page, true},
    {L"Follow_the_Cameras_Orientation_Option", L"Follow the &Camera's Orientation",
     command::Follow_the_Cameras_Orientation, true},
    {L"Print_File_Names_Option", L"Print File &Names", command::Print_File_Names, true},
    {L"N5", L"-", 0, false},
    {L"Accept_PNG_GIF_and_TIFF_Files_Option", L"Accept &PNG, GIF and TIFF Files",
     command::Accept_PNG_GIF_and_TIFF_Files, true},
    {L"N6", L"-", 0, false},
    {L"Page_Layout_Option", L"Page &Layout...", command::Page_Layout, false},
};

const Menu_Row help_menu[] = {
    {L"View_Readme_file_Option", L"&View Readme file", command::View_Readme_file, false},
    {L"View_Shareware_Catalog_Option", L"View &Shareware Catalog", command::View_Shareware_Catalog, false},
    {L"N1", L"-", 0, false},
    {L"AboutOption", L"&About", command::About, false},
};

void Expect_Menu(HMENU menu, const Menu_Row* rows, size_t count, TMainForm1& window) {
    ASSERT_EQ(::GetMenuItemCount(menu), static_cast<int>(count));
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(rows[i].name);
        auto* item = dynamic_cast<Menu_Item*>(window.Find_Component(rows[i].name));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Caption(), rows[i].caption);
        EXPECT_EQ(item->Id(), rows[i].id);
        EXPECT_EQ(item->Is_Check_Item(), rows[i].check_item);
        MENUITEMINFOW info{sizeof info, MIIM_FTYPE | MIIM_ID | MIIM_STRING};
        wchar_t text[128] = {};
        info.dwTypeData = text;
        info.cch = 127;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        if (rows[i].id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
        } else {
            EXPECT_EQ(info.wID, rows[i].id);
            EXPECT_STREQ(text, rows[i].caption);
        }
    }
}

TEST_F(Main_Form_Test, The_Menu_Bar_Holds_Every_Item_In_Order) {
    TMainForm1& window = Form();
    HMENU bar = ::GetMenu(window.Handle());
    ASSERT_EQ(::GetMenuItemCount(bar), 3);
    wchar_t text[32];
    for (int k = 0; const wchar_t* title : {L"&File", L"&Options", L"&Help"}) {
        ::GetMenuStringW(bar, static_cast<UINT>(k++), text, 32, MF_BYPOSITION);
        EXPECT_STREQ(text, title);
    }
    Expect_Menu(::GetSubMenu(bar, 0), file_menu, std::size(file_menu), window);
    Expect_Menu(::GetSubMenu(bar, 1), options_menu, std::size(options_menu), window);
    Expect_Menu(::GetSubMenu(bar, 2), help_menu, std::size(help_menu), window);
}

TEST_F(Main_Form_Test, The_Options_Menu_Keeps_One_Placement_Checked_And_Is_Remembered_Until_Factory_Defaults) {
    TMainForm1& window = Shown();
    HMENU options = ::GetSubMenu(::GetMenu(window.Handle()), 1);
    const auto checked = [&](unsigned short id) {
        return (::GetMenuState(options, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    EXPECT_TRUE(checked(command::Stretch_to_the_Page));
    MENUITEMINFOW info{sizeof info, MIIM_FTYPE};
    ::GetMenuItemInfoW(options, command::Fill_the_Page, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    for (unsigned short id : {command::Fill_the_Page, command::Turn_to_Suit_the_Page, command::Print_File_Names})
        ::SendMessageW(window.Handle(), WM_COMMAND, id, 0);
    EXPECT_FALSE(checked(command::Stretch_to_the_Page));
    EXPECT_TRUE(checked(command::Fill_the_Page));
    EXPECT_EQ(window.Chosen_Options(),
              (Page_Options{.fit = Fit_Mode::Fill, .turn_to_page = true, .print_file_names = true}));
    ::SendMessageW(window.Handle(), WM_COMMAND, command::Turn_to_Suit_the_Page, 0);
    EXPECT_FALSE(checked(command::Turn_to_Suit_the_Page));

    bool can_close = true;
    window.FormCloseQuery(can_close);
    EXPECT_EQ(Read_Page_Options(window.Settings_File()),
              (Page_Options{.fit = Fit_Mode::Fill, .print_file_names = true}));
    dialogs.answers = {Answer::Yes};
    window.Restore_Factory_Defaults_Option.Click();
    EXPECT_EQ(window.Chosen_Options(), Page_Options{});
    EXPECT_TRUE(checked(command::Stretch_to_the_Page));
}

TEST_F(Main_Form_Test, First_Show_Sets_The_Client_Size_Titles_And_Shows_The_Window) {
    TMainForm1& window = Shown();
    // The design client size is recorded first; then the stored (here the
    // default) outer placement applies.
    ASSERT_GT(window.Scaling_ListBox.Count(), 0);
    EXPECT_EQ(window.Scaling_ListBox.Item(0), L"569 379 W/H Mainform1");
    EXPECT_EQ(window.Window_Bounds(), (Bounds{20, 20, 576, 398}));
    EXPECT_FALSE(window.Maximized());
    EXPECT_FALSE(::GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(window.Caption(), L"Velbrook v1.0f");
    EXPECT_EQ(application.Title(), L"Velbrook v1.0f");
    EXPECT_EQ(about.Caption(), L"About Velbrook v1.0f ...");
    EXPECT_EQ(about.Product_Name_Label.Text(), L"Velbrook v1.0f");
    EXPECT_TRUE(::IsWindowVisible(window.Handle()));
    EXPECT_EQ(window.File_ListBox.Count(), 0);
    EXPECT_EQ(Status(), L"");
    EXPECT_TRUE(::GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    SCROLLBARINFO bar{sizeof bar};
    ::GetScrollBarInfo(window.Handle(), OBJID_VSCROLL, &bar);
    EXPECT_TRUE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_F(Main_Form_Test, The_Hidden_Gauge_Stays_At_0_And_Has_Its_Line_In_The_Layout_Table) {
    TMainForm1& window = Shown();
    EXPECT_FALSE(window.Gauge1.Visible());
    EXPECT_EQ(window.Gauge1.Progress(), 0);
    EXPECT_EQ(window.Gauge1.MinValue(), 0);
    EXPECT_EQ(window.Gauge1.MaxValue(), 100);
    EXPECT_EQ(window.Gauge1.Kind(), TGaugeKind::gkHorizontalBar);
    const auto& components = window.Components();
    ASSERT_EQ(window.Scaling_ListBox.Count(), static_cast<int>(components.size()) + 1);
    int gauge = -1;
    for (size_t i = 0; i < components.size(); ++i)
        if (components[i].get() == &window.Gauge1) gauge = static_cast<int>(i);
    ASSERT_GE(gauge, 0);
    EXPECT_EQ(window.Scaling_ListBox.Item(gauge + 1), L"580 100 34 22 11 Gauge1");
    EXPECT_EQ(window.Scaling_ListBox.Item(gauge), L"38 130 40 40 12 Abort_BitBtn");
    EXPECT_EQ(window.Scaling_ListBox.Item(gauge + 2), L"612 25 4 29 11 Scaling_ListBox");

    // Scaled with the rest: about half the width halves its left and width.
    window.Set_Client_Width(284);
    ASSERT_EQ(window.Client_Size().cx, 284);
    EXPECT_EQ(window.Gauge1.Left(), 289);  // 580 * 284 / 569 = 289.49
    EXPECT_EQ(window.Gauge1.Width(), 49);  // 100 * 284 / 569 = 49.9
    EXPECT_FALSE(window.Gauge1.Visible());
}

TEST_F(Main_Form_Test, The_Busy_State_Disables_Every_Control_But_Not_The_Menu) {
    TMainForm1& window = Shown();
    window.Enable_Main_Window(false);
    EXPECT_EQ(application.Cursor(), Cursor_Kind::Hourglass);
    for (const auto& component : window.Components()) {
        if (Control* control = component->As_Control()) {
            SCOPED_TRACE(control->Name());
            EXPECT_FALSE(control->Enabled());
            EXPECT_EQ(control->Own_Cursor(), Cursor_Kind::Hourglass);
            if (control->Handle()) {
                EXPECT_FALSE(::IsWindowEnabled(control->Handle()));
            }
        }
    }
    EXPECT_TRUE(::IsWindowEnabled(window.Handle()));
    HMENU file = ::GetSubMenu(::GetMenu(window.Handle()), 0);
    EXPECT_FALSE(::GetMenuState(file, command::Save_File_List, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED));

    window.Enable_Main_Window(true);
    EXPECT_EQ(application.Cursor(), Cursor_Kind::Default);
    for (const auto& component : window.Components()) {
        if (Control* control = component->As_Control()) {
            EXPECT_TRUE(control->Enabled()) << control->Name();
        }
    }
}

TEST_F(Main_Form_Test, Closing_With_Unsaved_Changes_Asks_And_Keeps_The_Window_When_The_Save_Is_Cancelled) {
    TMainForm1& window = Shown();
    window.Has_File_List_Changed_CheckBox.Set_Checked(true);
    dialogs.answers = {Answer::Yes};
    dialogs.file_answers = {std::nullopt};  // the save-as dialog is cancelled
    window.Exit_BitBtn.Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Confirmation);
    EXPECT_EQ(dialogs.messages[0].title, L"Confirm");
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::Yes_No);
    EXPECT_EQ(dialogs.messages[0].text, L"The file list has not been saved.  Do you want to save it before exiting ?");
    EXPECT_EQ(dialogs.file_dialogs.size(), 1u);
    EXPECT_FALSE(window.Closed());
    EXPECT_TRUE(::IsWindowVisible(window.Handle()));
}

TEST_F(Main_Form_Test, Closing_With_Unsaved_Changes_Answered_No_Closes_Without_Saving) {
    TMainForm1& window = Shown();
    window.Has_File_List_Changed_CheckBox.Set_Checked(true);
    dialogs.answers = {Answer::No};
    window.ExitOption.Click();
    EXPECT_TRUE(window.Closed());
    EXPECT_TRUE(dialogs.file_dialogs.empty());
}

TEST_F(Main_Form_Test, Closing_With_Unsaved_Changes_Answered_Yes_Saves_And_Closes) {
    TMainForm1& window = Shown();
    Fill({L"C:\\a.jpg"});
    window.Has_File_List_Changed_CheckBox.Set_Checked(true);
    dialogs.answers = {Answer::Yes};
    dialogs.file_answers = {folder / L"list.txt"};
    window.Close();
    EXPECT_TRUE(window.Closed());
    EXPECT_EQ(Read_Bytes(folder / L"list.txt"), "C:\\a.jpg\r\n");
}

TEST_F(Main_Form_Test, Closing_Without_Changes_Asks_Nothing) {
    TMainForm1& window = Shown();
    window.Close();
    EXPECT_TRUE(window.Closed());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Main_Form_Test, A_Failure_In_A_Handler_Reaches_The_General_Handler_And_The_Window_Lives_On) {
    TMainForm1& window = Shown();
    window.Print_BitBtn.On_Click = [] { throw Failure(L"'-' is not a valid integer value"); };
    ::SendMessageW(window.Print_BitBtn.Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Failure);
    EXPECT_EQ(dialogs.messages[0].title, L"Velbrook v1.0f");
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(dialogs.messages[0].text, L"'-' is not a valid integer value.");
    EXPECT_TRUE(::IsWindow(window.Handle()));
}

}  // namespace
}  // namespace velbrook::testing

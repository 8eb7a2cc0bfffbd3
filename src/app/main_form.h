#pragma once
// The main window: the picture list with its buttons, the preview, the
// status line, the hidden flags and the menu bar.

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "picture_list/list_window.h"
#include "printing/gauge.h"
#include "printing/sheet_plan.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace velbrook {

class TAboutBox;
class Print_Run;
class Save_Pdf_Run;
class Main_Print_Host;
class Page_Layout_Dialog;
class Print_Preview;

struct Main_Form_Setup {
    Dialogs& dialogs;
    std::wstring program_path;  // the program file; its folder holds the settings
    Picture_Loader load_picture;
};

class TMainForm1 : public Form {
public:
    TMainForm1(const Main_Form_Setup& setup, TAboutBox& about);
    ~TMainForm1() override;

    // Start-up and closing.
    void FormCreate();
    void FormShow();
    void FormCloseQuery(bool& can_close);
    void FormResize();

    // The busy state (false) and the normal state (true).
    void Enable_Main_Window(bool enabled);
    void Apply_Product_Texts();
    // Help > About: the About window, modally.
    void AboutOptionClick();
    void Apply_Startup_Show_Command();

    // The Options menu: what its marks say, and setting every mark from options.
    Page_Options Chosen_Options() const;
    void Set_Chosen_Options(const Page_Options& options);
    // Options > "Page Layout...": the layout the dialog last took with OK.
    const Sheet_Layout& Chosen_Layout() const { return chosen_layout_; }
    void Set_Chosen_Layout(const Sheet_Layout& layout) { chosen_layout_ = layout; }
    // Shows the Page Layout dialog modally; OK changes the chosen layout.
    void Page_Layout_OptionClick();
    Page_Layout_Dialog& Layout_Dialog() { return *page_layout_dialog_; }
    // File > "Print Preview...": the sheets one by one, and printing from them.
    void Print_Preview_OptionClick();
    Print_Preview& Preview_Window() { return *print_preview_; }

    // Files named on the command line come in as one drop.
    void Take_Files(const std::vector<std::wstring>& names);

    List_Window& List() { return *list_window_; }
    Picture_List& Pictures() { return *pictures_; }
    const std::wstring& Program_Path() const { return program_path_; }
    std::wstring Settings_File() const;

    // The controls, named as in the design.
    Group_Box& All_GroupBox;
    Label& Label1;
    Button& Load_FileList_BitBtn;
    Button& Save_FileList_BitBtn;
    Button& Save_FileList_As_BitBtn;
    List_Box& File_ListBox;
    Button& Reset_BitBtn;
    Button& Print_BitBtn;
    Button& Exit_BitBtn;
    Button& Sort_List_BitBtn;
    Button& Move_Up_BitBtn;
    Button& Move_Down_BitBtn;
    Button& Remove_Item_BitBtn;
    Group_Box& GroupBox1;
    Image_Box& Image1;
    Status_Bar& StatusBar1;
    Group_Box& Halt_Processing_GroupBox;
    Button& Abort_BitBtn;
    TGauge& Gauge1;  // hidden, at 0 percent; nothing shows or changes it
    List_Box& Scaling_ListBox;
    Edit& File_List_Name_Edit;
    Check_Box& Has_File_List_Changed_CheckBox;
    Check_Box& Halt_Processing_CheckBox;
    Check_Box& Has_File_List_Been_Reased_CheckBox;

    Menu_Bar& MainMenu1;
    Menu_Item& FileMenu;
    Menu_Item& Save_File_List_Option;
    Menu_Item& Save_File_List_As_Option;
    Menu_Item& Load_File_List_Option;
    Menu_Item& N3;
    Menu_Item& Always_On_Top_Option;
    Menu_Item& Auto_Run_at_Windows_Startup_Option;
    Menu_Item& Restore_Factory_Defaults_Option;
    Menu_Item& N2;
    Menu_Item& Create_Shortcut_on_Desktop_Option;
    Menu_Item& Create_Shortcut_on_Start_Menu_Option;
    Menu_Item& Create_Shortcut_on_Start_Programs_Menu_Option;
    Menu_Item& Create_Shortcut_on_SendTo_Menu_Option;
    Menu_Item& Delete_All_Shortcuts_Option;
    Menu_Item& N9;
    Menu_Item& ExitOption;
    Menu_Item& OptionsMenu;
    Menu_Item& Stretch_to_the_Page_Option;
    Menu_Item& Fit_Inside_the_Page_Option;
    Menu_Item& Fill_the_Page_Option;
    Menu_Item& N4;
    Menu_Item& Turn_to_Suit_the_Page_Option;
    Menu_Item& Follow_the_Cameras_Orientation_Option;
    Menu_Item& Print_File_Names_Option;
    Menu_Item& N5;
    Menu_Item& Accept_PNG_GIF_and_TIFF_Files_Option;
    Menu_Item& HelpMenu;
    Menu_Item& View_Readme_file_Option;
    Menu_Item& View_Shareware_Catalog_Option;
    Menu_Item& N1;
    Menu_Item& AboutOption;

    Printer_Setup_Dialog& PrinterSetupDialog1;
    File_Dialog& OpenDialog1;
    File_Dialog& SaveDialog1;
    // Added later: it shows after Load File List, with the last command id.
    Menu_Item& Save_Pictures_as_PDF_File_Option;
    // Added later still: the end of the Options menu, after a separator.
    Menu_Item& N6;
    Menu_Item& Page_Layout_Option;
    // After Save Pictures as PDF File, with the last command id.
    Menu_Item& Print_Preview_Option;

    // The outer placement, one edge or size at a time.
    void Set_Top(int top);
    void Set_Left(int left);
    void Set_Width(int width);
    void Set_Height(int height);

private:
    void Wire_Handlers();
    void Options_Changed();
    // The failure of the step, if any, for FormShow to report once the
    // window is on screen.
    [[nodiscard]] std::exception_ptr Load_Last_File_List();

    Dialogs& dialogs_;
    std::wstring program_path_;
    // Chosen once, at the start: Restore Factory Defaults deletes the file
    // and the first-show steps then read the same place again.
    std::wstring settings_file_;
    TAboutBox& about_;
    std::unique_ptr<Picture_List> pictures_;
    std::unique_ptr<List_Window> list_window_;
    std::unique_ptr<Main_Print_Host> print_host_;
    std::unique_ptr<Print_Run> print_run_;
    std::unique_ptr<Save_Pdf_Run> save_pdf_run_;
    std::unique_ptr<Page_Layout_Dialog> page_layout_dialog_;
    std::unique_ptr<Print_Preview> print_preview_;
    Sheet_Layout chosen_layout_;
    // The hourglass of the busy state.
    std::optional<Busy_Cursor> busy_cursor_;
};

}  // namespace velbrook

#include "app/main_form.h"

#include <shellapi.h>

#include "about/about_box.h"
#include "app/command_ids.h"
#include "app/glyphs.h"
#include "app/layout_scaling.h"
#include "app/page_layout_dialog.h"
#include "app/print_preview.h"
#include "app/settings_file.h"
#include "picture_list/commands.h"
#include "picture_list/drop_intake.h"
#include "picture_list/list_file_commands.h"
#include "pdf/save_pdf_rules.h"
#include "pdf/save_pdf_run.h"
#include "printing/print_run.h"
#include "shell/auto_run.h"
#include "shell/notepad.h"
#include "shell/product_name.h"
#include "shell/shortcuts.h"
#include "shell/text_utils.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"

namespace velbrook {

namespace {

const Font_Spec form_font{L"Times New Roman", 11, false};   // 15 pixels
const Font_Spec button_font{L"Times New Roman", 12, true};  // 16 pixels, bold

// A bitmap button of the main window: bold caption and a glyph with its
// disabled twin.
struct Button_Look {
    const wchar_t* caption;
    Glyph_Id glyph;
    int tab_order = -1;
    const wchar_t* hint = L"";
};

Button& Make_Button(Form& form, Container* parent, const wchar_t* name, Bounds bounds, const Button_Look& look) {
    const Glyph_Pixels normal = Button_Glyph(look.glyph, false).argb;
    const Glyph_Pixels disabled = Button_Glyph(look.glyph, true).argb;
    return form.Add<Button>(
        parent, name, bounds,
        Button::Options{.caption = look.caption,
                        .glyph = &normal,
                        .disabled_glyph = &disabled,
                        .control = {.tab_order = look.tab_order, .hint = look.hint, .font = &button_font}});
}

// The main window's menu items, each with its identifier from command_ids.h.
Menu_Item& Make_Item(Form& form, Menu_Item& menu, const wchar_t* name, const wchar_t* caption,
                     const Menu_Item::Options& options) {
    return form.Add<Menu_Item>(form, menu, name, caption, options);
}

Menu_Item& Make_Separator(Form& form, Menu_Item& menu, const wchar_t* name) {
    return form.Add<Menu_Item>(form, menu, name, L"-", Menu_Item::Options{});
}

}  // namespace

// What the print run needs of the main window.
class Main_Print_Host final : public Print_Host {
public:
    explicit Main_Print_Host(TMainForm1& window) : window_(window) {}
    int Entry_Count() const override { return window_.Pictures().Count(); }
    std::optional<std::wstring> Entry(int index) const override {
        if (index < 0 || index >= window_.Pictures().Count()) return std::nullopt;
        return window_.Pictures().Entry(index);
    }
    void Select_Index(int index) override { window_.Pictures().Select_Index(index); }
    void Set_Preview(std::shared_ptr<const Picture> picture) override {
        window_.Image1.Set_Picture(Preview_Of(std::move(picture), window_.Chosen_Options()));
    }
    void Set_Status(const std::wstring& text) override { window_.StatusBar1.Set_Panel_Text(text); }
    void Enable_Main_Window(bool enabled) override { window_.Enable_Main_Window(enabled); }
    void Show_Abort_Panel(bool shown) override {
        if (!shown) {
            window_.Halt_Processing_GroupBox.Set_Visible(false);
            return;
        }
        window_.All_GroupBox.Set_Enabled(true);
        window_.Halt_Processing_GroupBox.Set_Visible(true);
        window_.Halt_Processing_GroupBox.Set_Enabled(true);
        window_.Abort_BitBtn.Set_Enabled(true);
        window_.Halt_Processing_GroupBox.Bring_To_Front();
    }
    bool Abort_Requested() const override { return window_.Halt_Processing_CheckBox.Checked(); }
    void Set_Abort_Requested(bool requested) override { window_.Halt_Processing_CheckBox.Set_Checked(requested); }
    Page_Options Options() const override { return window_.Chosen_Options(); }
    Sheet_Layout Layout() const override { return window_.Chosen_Layout(); }
    Dialogs& Dialogs_() override { return window_.List().dialogs; }
    HWND Main_Window() const override { return window_.Handle(); }

private:
    TMainForm1& window_;
};

TMainForm1::TMainForm1(const Main_Form_Setup& setup, TAboutBox& about)
    : Form(L"MainForm1",
           Options{
               .caption = L"MainForm1", .bounds = {20, 20, 576, 398}, .style = WS_OVERLAPPEDWINDOW, .font = form_font}),
      All_GroupBox(Add<Group_Box>(this, L"All_GroupBox", Bounds{4, 2, 561, 375},
                                  Group_Box::Options{.control = {.tab_order = 1}})),
      Label1(Add<Label>(&All_GroupBox, L"Label1", Bounds{8, 51, 393, 21},
                        Label::Options{.caption = L"Drag and Drop graphics files using Windows Explorer",
                                       .alignment = Alignment::Centre})),
      Load_FileList_BitBtn(Make_Button(*this, &All_GroupBox, L"Load_FileList_BitBtn", {9, 11, 130, 30},
                                       {.caption = L"Load", .glyph = Glyph_Id::Load, .tab_order = 11})),
      Save_FileList_BitBtn(Make_Button(*this, &All_GroupBox, L"Save_FileList_BitBtn", {141, 11, 130, 30},
                                       {.caption = L"Save", .glyph = Glyph_Id::Save, .tab_order = 12})),
      Save_FileList_As_BitBtn(Make_Button(*this, &All_GroupBox, L"Save_FileList_As_BitBtn", {273, 11, 130, 30},
                                          {.caption = L"Save As", .glyph = Glyph_Id::Save_As, .tab_order = 13})),
      File_ListBox(Add<List_Box>(&All_GroupBox, L"File_ListBox", Bounds{8, 75, 393, 232},
                                 List_Box::Options{.item_height = 17, .control = {.tab_order = 2}})),
      Reset_BitBtn(Make_Button(
          *this, &All_GroupBox, L"Reset_BitBtn", {8, 312, 130, 30},
          {.caption = L"Reset", .glyph = Glyph_Id::Reset, .tab_order = 7, .hint = L"Reset / erase the list"})),
      Print_BitBtn(Make_Button(*this, &All_GroupBox, L"Print_BitBtn", {140, 312, 130, 30},
                               {.caption = L"Print / PDF",
                                .glyph = Glyph_Id::Print,
                                .tab_order = 0,
                                .hint = L"Print all files in the list"})),
      Exit_BitBtn(
          Make_Button(*this, &All_GroupBox, L"Exit_BitBtn", {272, 312, 130, 30},
                      {.caption = L"Exit", .glyph = Glyph_Id::Exit, .tab_order = 1, .hint = L"Exit this program"})),
      Sort_List_BitBtn(Make_Button(*this, &All_GroupBox, L"Sort_List_BitBtn", {408, 11, 145, 30},
                                   {.caption = L"Sort List",
                                    .glyph = Glyph_Id::Sort_List,
                                    .tab_order = 9,
                                    .hint = L"Sort files by drive, directory, and file name"})),
      Move_Up_BitBtn(Make_Button(*this, &All_GroupBox, L"Move_Up_BitBtn", {408, 43, 145, 30},
                                 {.caption = L"Move Up",
                                  .glyph = Glyph_Id::Move_Up,
                                  .tab_order = 4,
                                  .hint = L"Move the currently selected file UP one position in the list"})),
      Move_Down_BitBtn(Make_Button(*this, &All_GroupBox, L"Move_Down_BitBtn", {408, 75, 145, 30},
                                   {.caption = L"Move Down",
                                    .glyph = Glyph_Id::Move_Down,
                                    .tab_order = 5,
                                    .hint = L"Move the currently selected file DOWN one position in the list"})),
      Remove_Item_BitBtn(Make_Button(*this, &All_GroupBox, L"Remove_Item_BitBtn", {408, 107, 145, 30},
                                     {.caption = L"Remove",
                                      .glyph = Glyph_Id::Remove,
                                      .tab_order = 6,
                                      .hint = L"Remove the currently selected file from the list"})),
      GroupBox1(Add<Group_Box>(&All_GroupBox, L"GroupBox1", Bounds{408, 144, 145, 200},
                               Group_Box::Options{.caption = L" Image Preview : ", .control = {.tab_order = 8}})),
      Image1(Add<Image_Box>(&GroupBox1, L"Image1", Bounds{2, 19, 141, 179})),
      StatusBar1(Add<Status_Bar>(&All_GroupBox, L"StatusBar1", Bounds{2, 348, 557, 25})),
      Halt_Processing_GroupBox(Add<Group_Box>(&All_GroupBox, L"Halt_Processing_GroupBox", Bounds{100, 133, 205, 105},
                                              Group_Box::Options{.caption = L" Abort after current image : ",
                                                                 .control = {.tab_order = 10, .visible = false}})),
      Abort_BitBtn(Make_Button(*this, &Halt_Processing_GroupBox, L"Abort_BitBtn", {38, 40, 130, 40},
                               {.caption = L"Abort", .glyph = Glyph_Id::Abort, .tab_order = 0})),
      Gauge1(Add<TGauge>(this, L"Gauge1", Bounds{580, 34, 100, 22})),
      Scaling_ListBox(
          Add<List_Box>(this, L"Scaling_ListBox", Bounds{612, 4, 25, 29},
                        List_Box::Options{.item_height = 13, .control = {.tab_order = 0, .visible = false}})),
      File_List_Name_Edit(
          Add<Edit>(this, L"File_List_Name_Edit", Bounds{576, 108, 121, 25},
                    Edit::Options{.text = L"File_List_Name_Edit", .control = {.tab_order = 2, .visible = false}})),
      Has_File_List_Changed_CheckBox(Add<Check_Box>(this, L"Has_File_List_Changed_CheckBox", Bounds{576, 146, 149, 17},
                                                    Check_Box::Options{.control = {.tab_order = 3, .visible = false}})),
      Halt_Processing_CheckBox(Add<Check_Box>(this, L"Halt_Processing_CheckBox", Bounds{572, 176, 145, 17},
                                              Check_Box::Options{.control = {.tab_order = 4, .visible = false}})),
      Has_File_List_Been_Reased_CheckBox(
          Add<Check_Box>(this, L"Has_File_List_Been_Reased_CheckBox", Bounds{572, 204, 149, 17},
                         Check_Box::Options{.control = {.tab_order = 5, .visible = false}})),
      MainMenu1(Add<Menu_Bar>(L"MainMenu1")),
      FileMenu(Add<Menu_Item>(*this, MainMenu1, L"FileMenu", L"&File")),
      Save_File_List_Option(
          Make_Item(*this, FileMenu, L"Save_File_List_Option", L"Save File List", {.id = command::Save_File_List})),
      Save_File_List_As_Option(Make_Item(*this, FileMenu, L"Save_File_List_As_Option", L"Save File List As",
                                         {.id = command::Save_File_List_As})),
      Load_File_List_Option(
          Make_Item(*this, FileMenu, L"Load_File_List_Option", L"Load File List", {.id = command::Load_File_List})),
      N3(Make_Separator(*this, FileMenu, L"N3")),
      Always_On_Top_Option(Make_Item(*this, FileMenu, L"Always_On_Top_Option", L"Always &On Top",
                                     {.id = command::Always_On_Top, .check_item = true})),
      Auto_Run_at_Windows_Startup_Option(Make_Item(*this, FileMenu, L"Auto_Run_at_Windows_Startup_Option",
                                                   L"&Auto-Run at Windows Startup",
                                                   {.id = command::Auto_Run_at_Windows_Startup, .check_item = true})),
      Restore_Factory_Defaults_Option(Make_Item(*this, FileMenu, L"Restore_Factory_Defaults_Option",
                                                L"&Restore Factory Defaults",
                                                {.id = command::Restore_Factory_Defaults})),
      N2(Make_Separator(*this, FileMenu, L"N2")),
      Create_Shortcut_on_Desktop_Option(Make_Item(*this, FileMenu, L"Create_Shortcut_on_Desktop_Option",
                                                  L"Create Shortcut on Desktop",
                                                  {.id = command::Create_Shortcut_on_Desktop})),
      Create_Shortcut_on_Start_Menu_Option(Make_Item(*this, FileMenu, L"Create_Shortcut_on_Start_Menu_Option",
                                                     L"Create Shortcut on Start Menu",
                                                     {.id = command::Create_Shortcut_on_Start_Menu})),
      Create_Shortcut_on_Start_Programs_Menu_Option(Make_Item(
          *this, FileMenu, L"Create_Shortcut_on_Start_Programs_Menu_Option",
          L"Create Shortcut on Start -> Programs Menu", {.id = command::Create_Shortcut_on_Start_Programs_Menu})),
      Create_Shortcut_on_SendTo_Menu_Option(Make_Item(*this, FileMenu, L"Create_Shortcut_on_SendTo_Menu_Option",
                                                      L"Create Shortcut on SendTo Menu",
                                                      {.id = command::Create_Shortcut_on_SendTo_Menu})),
      Delete_All_Shortcuts_Option(Make_Item(*this, FileMenu, L"Delete_All_Shortcuts_Option", L"Delete ALL Shortcuts",
                                            {.id = command::Delete_All_Shortcuts})),
      N9(Make_Separator(*this, FileMenu, L"N9")),
      ExitOption(Make_Item(*this, FileMenu, L"ExitOption", L"E&xit", {.id = command::Exit})),
      OptionsMenu(Add<Menu_Item>(*this, MainMenu1, L"OptionsMenu", L"&Options")),
      Stretch_to_the_Page_Option(Make_Item(*this, OptionsMenu, L"Stretch_to_the_Page_Option", L"&Stretch to the Page",
                                           {.id = command::Stretch_to_the_Page, .radio = true})),
      Fit_Inside_the_Page_Option(Make_Item(*this, OptionsMenu, L"Fit_Inside_the_Page_Option", L"&Fit Inside the Page",
                                           {.id = command::Fit_Inside_the_Page, .radio = true})),
      Fill_the_Page_Option(Make_Item(*this, OptionsMenu, L"Fill_the_Page_Option", L"F&ill the Page",
                                     {.id = command::Fill_the_Page, .radio = true})),
      N4(Make_Separator(*this, OptionsMenu, L"N4")),
      Turn_to_Suit_the_Page_Option(Make_Item(*this, OptionsMenu, L"Turn_to_Suit_the_Page_Option",
                                             L"&Turn to Suit the Page",
                                             {.id = command::Turn_to_Suit_the_Page, .check_item = true})),
      Follow_the_Cameras_Orientation_Option(
          Make_Item(*this, OptionsMenu, L"Follow_the_Cameras_Orientation_Option", L"Follow the &Camera's Orientation",
                    {.id = command::Follow_the_Cameras_Orientation, .check_item = true})),
      Print_File_Names_Option(Make_Item(*this, OptionsMenu, L"Print_File_Names_Option", L"Print File &Names",
                                        {.id = command::Print_File_Names, .check_item = true})),
      N5(Make_Separator(*this, OptionsMenu, L"N5")),
      Accept_PNG_GIF_and_TIFF_Files_Option(
          Make_Item(*this, OptionsMenu, L"Accept_PNG_GIF_and_TIFF_Files_Option", L"Accept &PNG, GIF and TIFF Files",
                    {.id = command::Accept_PNG_GIF_and_TIFF_Files, .check_item = true})),
      HelpMenu(Add<Menu_Item>(*this, MainMenu1, L"HelpMenu", L"&Help")),
      View_Readme_file_Option(Make_Item(*this, HelpMenu, L"View_Readme_file_Option", L"&View Readme file",
                                        {.id = command::View_Readme_file})),
      View_Shareware_Catalog_Option(Make_Item(*this, HelpMenu, L"View_Shareware_Catalog_Option",
                                              L"View &Shareware Catalog", {.id = command::View_Shareware_Catalog})),
      N1(Make_Separator(*this, HelpMenu, L"N1")),
      AboutOption(Make_Item(*this, HelpMenu, L"AboutOption", L"&About", {.id = command::About})),
      PrinterSetupDialog1(Add<Printer_Setup_Dialog>(L"PrinterSetupDialog1")),
      OpenDialog1(Add<File_Dialog>(L"OpenDialog1", File_Dialog_Kind::Open)),
      SaveDialog1(Add<File_Dialog>(L"SaveDialog1", File_Dialog_Kind::Save)),
      Save_Pictures_as_PDF_File_Option(
          Make_Item(*this, FileMenu, L"Save_Pictures_as_PDF_File_Option", L"Save Pictures as &PDF File...",
                    {.id = command::Save_Pictures_as_PDF_File, .after = &Load_File_List_Option})),
      N6(Make_Separator(*this, OptionsMenu, L"N6")),
      Page_Layout_Option(
          Make_Item(*this, OptionsMenu, L"Page_Layout_Option", L"Page &Layout...", {.id = command::Page_Layout})),
      Print_Preview_Option(Make_Item(*this, FileMenu, L"Print_Preview_Option", L"Print Pre&view...",
                                     {.id = command::Print_Preview, .after = &Save_Pictures_as_PDF_File_Option})),
      dialogs_(setup.dialogs),
      program_path_(setup.program_path),
      settings_file_(Choose_Settings_Path(program_path_, User_Settings_Folder())),
      about_(about) {
    // Neither scroll bar is ever shown.
    ::ShowScrollBar(Handle(), SB_BOTH, FALSE);
    Set_Menu(MainMenu1);
    Apply_Tab_Order();
    // The gauge is the printing module's own windowless control.
    Gauge1.Set_Visible(false);
    pictures_ = std::make_unique<Picture_List>(File_ListBox);
    list_window_ = std::make_unique<List_Window>(List_Window{
        .list = *pictures_,
        .status_bar = StatusBar1,
        .changed = Has_File_List_Changed_CheckBox,
        .erased = Has_File_List_Been_Reased_CheckBox,
        .file_list_name = File_List_Name_Edit,
        .preview = Image1,
        .open_dialog = OpenDialog1,
        .save_dialog = SaveDialog1,
        .dialogs = dialogs_,
        .application = Application::Exists() ? &Application::Current() : nullptr,
        .program_folder = Directory_Of(program_path_),
        .load_picture = setup.load_picture,
        .page_options = [this] { return Chosen_Options(); },
    });
    Set_Chosen_Options({});
    print_host_ = std::make_unique<Main_Print_Host>(*this);
    print_run_ = std::make_unique<Print_Run>(*print_host_);
    save_pdf_run_ = std::make_unique<Save_Pdf_Run>(*print_host_);
    page_layout_dialog_ = std::make_unique<Page_Layout_Dialog>(Page_Layout_Setup{
        .dialogs = dialogs_,
        .font = Font(),
        .pictures = {.entry = [this](int index) -> std::optional<std::wstring> {
                         if (index < 0 || index >= Pictures().Count()) return std::nullopt;
                         return Pictures().Entry(index);
                     },
                     .page_options = [this] { return Chosen_Options(); },
                     .load_picture = setup.load_picture},
        .paper_size_code = Save_Pdf_Environment::Locale_Paper_Size,
    });
    print_preview_ = std::make_unique<Print_Preview>(Print_Preview_Setup{
        .host = *print_host_,
        .font = Font(),
        .printer_paper = [this]() -> std::optional<Sheet_Paper> {
            std::optional<Printer_Selection> chosen = print_run_->Last_Selection();
            if (!chosen) chosen = Default_Printer_Selection();
            std::optional<Sheet_Paper> paper;
            if (chosen)
                Guarded([&] { paper = Open_Gdi_Printer(*chosen)->Paper(); }, On_Failure{[](std::exception_ptr) {}});
            return paper;
        },
        .pdf_paper =
            [](const Sheet_Layout& layout) {
                return Pdf_Sheet_Paper(Paper_For_Layout(layout, Save_Pdf_Environment::Locale_Paper_Size()));
            },
        .settings_file = [this] { return Settings_File(); },
    });
    Wire_Handlers();
    FormCreate();
}

TMainForm1::~TMainForm1() = default;

std::wstring TMainForm1::Settings_File() const { return settings_file_; }

void TMainForm1::Wire_Handlers() {
    List_Window& list = *list_window_;
    On_Show = [this] { FormShow(); };
    On_Close_Query = [this](bool& can_close) { FormCloseQuery(can_close); };
    On_Resize = [this] { FormResize(); };
    // Laid out again, and the preview decoded again for its new size.
    On_Dpi_Change = [this] {
        FormResize();
        Options_Changed();
    };
    On_Drop_Files = [this](HDROP drop) { Take_Files(Read_Dropped_Names(drop)); };

    Move_Up_BitBtn.On_Click = [&list] { Move_Up_BitBtnClick(list); };
    Move_Down_BitBtn.On_Click = [&list] { Move_Down_BitBtnClick(list); };
    Remove_Item_BitBtn.On_Click = [&list] { Remove_Item_BitBtnClick(list); };
    Reset_BitBtn.On_Click = [&list] { Reset_BitBtnClick(list); };
    Sort_List_BitBtn.On_Click = [&list] { Sort_List_BitBtnClick(list); };
    File_ListBox.On_Click = [&list] { File_ListBoxClick(list); };

    Save_File_List_Option.On_Click = [&list] { Save_File_List_OptionClick(list); };
    Save_File_List_As_Option.On_Click = [&list] { Save_File_List_As_OptionClick(list); };
    Load_File_List_Option.On_Click = [&list] { Load_File_List_OptionClick(list); };
    Save_FileList_BitBtn.On_Click = [this] { Save_File_List_Option.Click(); };
    Save_FileList_As_BitBtn.On_Click = [this] { Save_File_List_As_Option.Click(); };
    Load_FileList_BitBtn.On_Click = [this] { Load_File_List_Option.Click(); };

    Print_BitBtn.On_Click = [this] { print_run_->Print_BitBtnClick(); };
    Abort_BitBtn.On_Click = [this] { print_run_->Abort_BitBtnClick(); };
    // The menu bar stays usable during either run: one run at a time.
    Save_Pictures_as_PDF_File_Option.On_Click = [this] {
        if (!print_run_->Running()) save_pdf_run_->Save_Pictures_as_PDF_OptionClick();
    };
    Exit_BitBtn.On_Click = [this] { Close(); };
    ExitOption.On_Click = [this] { Close(); };

    Always_On_Top_Option.On_Click = [this] { Toggle_Always_On_Top(*this, Always_On_Top_Option); };
    Auto_Run_at_Windows_Startup_Option.On_Click = [this] {
        Auto_Run_at_Windows_Startup_Option.Set_Checked(Auto_Run_at_Windows_Startup_OptionClick(
            dialogs_, Auto_Run_at_Windows_Startup_Option.Checked(), program_path_));
    };
    Restore_Factory_Defaults_Option.On_Click = [this] {
        Restore_Factory_Defaults(dialogs_, Settings_File(), *this, [this] { FormShow(); });
    };
    Create_Shortcut_on_Desktop_Option.On_Click = [this] {
        Create_Shortcut_on_Desktop_OptionClick(dialogs_, program_path_);
    };
    Create_Shortcut_on_Start_Menu_Option.On_Click = [this] {
        Create_Shortcut_on_Start_Menu_OptionClick(dialogs_, program_path_);
    };
    Create_Shortcut_on_Start_Programs_Menu_Option.On_Click = [this] {
        Create_Shortcut_on_Start_Programs_Menu_OptionClick(dialogs_, program_path_);
    };
    Create_Shortcut_on_SendTo_Menu_Option.On_Click = [this] {
        Create_Shortcut_on_SendTo_Menu_OptionClick(dialogs_, program_path_);
    };
    Delete_All_Shortcuts_Option.On_Click = [this] { Delete_All_Shortcuts_OptionClick(dialogs_, program_path_); };
    View_Readme_file_Option.On_Click = [this] { View_Readme_file_OptionClick(dialogs_, program_path_); };
    View_Shareware_Catalog_Option.On_Click = [this] { View_Shareware_Catalog_OptionClick(dialogs_, program_path_); };
    AboutOption.On_Click = [this] { AboutOptionClick(); };
    Page_Layout_Option.On_Click = [this] { Page_Layout_OptionClick(); };
    Print_Preview_Option.On_Click = [this] { Print_Preview_OptionClick(); };

    const auto choose_fit = [this](Fit_Mode fit) {
        Page_Options options = Chosen_Options();
        options.fit = fit;
        Set_Chosen_Options(options);
        Options_Changed();
    };
    Stretch_to_the_Page_Option.On_Click = [choose_fit] { choose_fit(Fit_Mode::Stretch); };
    Fit_Inside_the_Page_Option.On_Click = [choose_fit] { choose_fit(Fit_Mode::Fit); };
    Fill_the_Page_Option.On_Click = [choose_fit] { choose_fit(Fit_Mode::Fill); };
    for (Menu_Item* item : {&Turn_to_Suit_the_Page_Option, &Follow_the_Cameras_Orientation_Option,
                            &Print_File_Names_Option, &Accept_PNG_GIF_and_TIFF_Files_Option}) {
        item->On_Click = [this, item] {
            item->Set_Checked(!item->Checked());
            Options_Changed();
        };
    }
}

Page_Options TMainForm1::Chosen_Options() const {
    Page_Options options;
    options.fit = Fit_Inside_the_Page_Option.Checked() ? Fit_Mode::Fit
                  : Fill_the_Page_Option.Checked()     ? Fit_Mode::Fill
                                                       : Fit_Mode::Stretch;
    options.turn_to_page = Turn_to_Suit_the_Page_Option.Checked();
    options.camera_orientation = Follow_the_Cameras_Orientation_Option.Checked();
    options.print_file_names = Print_File_Names_Option.Checked();
    options.more_types = Accept_PNG_GIF_and_TIFF_Files_Option.Checked();
    return options;
}

void TMainForm1::Set_Chosen_Options(const Page_Options& options) {
    Stretch_to_the_Page_Option.Set_Checked(options.fit == Fit_Mode::Stretch);
    Fit_Inside_the_Page_Option.Set_Checked(options.fit == Fit_Mode::Fit);
    Fill_the_Page_Option.Set_Checked(options.fit == Fit_Mode::Fill);
    Turn_to_Suit_the_Page_Option.Set_Checked(options.turn_to_page);
    Follow_the_Cameras_Orientation_Option.Set_Checked(options.camera_orientation);
    Print_File_Names_Option.Set_Checked(options.print_file_names);
    Accept_PNG_GIF_and_TIFF_Files_Option.Set_Checked(options.more_types);
}

// The preview follows the options at once; the status line keeps what it says.
void TMainForm1::Options_Changed() {
    const std::wstring status = StatusBar1.Panel_Text();
    File_ListBoxClick(*list_window_);
    StatusBar1.Set_Panel_Text(status);
}

void TMainForm1::FormCreate() { ::DragAcceptFiles(Handle(), TRUE); }

void TMainForm1::FormShow() {
    // 1. The client size follows the group box that holds everything; until
    // the table is recorded the box stands at its design place, which the
    // client area takes at the window's resolution.
    const int dpi = Scaling_ListBox.Count() == 0 ? Form_Dpi() : Design_Dpi;
    Set_Client_Height(Dpi_Scaled(All_GroupBox.Top() * 2 + All_GroupBox.Height(), dpi));
    Set_Client_Width(Dpi_Scaled(All_GroupBox.Left() * 2 + All_GroupBox.Width(), dpi));
    // 2. The design layout, recorded once.
    Record_Design_Layout(*this, Scaling_ListBox);
    // 3. The settings; every size change scales the controls.
    Settings settings = Read_Settings(Settings_File());
    Set_Top(settings.top);
    Set_Left(settings.left);
    // The size is kept as at 96 dpi.
    const SIZE outer = Outer_Size_For_Design({settings.width, settings.height});
    Set_Width(outer.cx);
    Set_Height(outer.cy);
    Always_On_Top_Option.Set_Checked(settings.always_on_top);
    Auto_Run_at_Windows_Startup_Option.Set_Checked(settings.auto_run);
    File_List_Name_Edit.Set_Text(settings.file_list_name);
    Set_Chosen_Options(Read_Page_Options(Settings_File()));
    Set_Chosen_Layout(Read_Sheet_Layout(Settings_File()));
    // 4. The last file list, when the settings name one that exists.
    const std::exception_ptr list_failure = Load_Last_File_List();
    // 6. and 7.
    Apply_Product_Texts();
    Apply_Startup_Show_Command();
    // 8.
    if (settings.maximized) Show_Window(SW_SHOWMAXIMIZED);
    // 9. The toggle inverts the mark back and puts the window in its band.
    Always_On_Top_Option.Set_Checked(!Always_On_Top_Option.Checked());
    Toggle_Always_On_Top(*this, Always_On_Top_Option);
    // 10. The registry, not the settings file, decides this mark.
    Auto_Run_at_Windows_Startup_Option.Set_Checked(Check_Auto_Run_Location(dialogs_, program_path_));
    // A box before the window shows would leave the program running with
    // no window at all: the list's failure is told over the window.
    if (list_failure) Report_Failure(list_failure);
}

void TMainForm1::Set_Top(int top) {
    Bounds outer = Window_Bounds();
    Set_Bounds({outer.left, top, outer.width, outer.height});
}

void TMainForm1::Set_Left(int left) {
    Bounds outer = Window_Bounds();
    Set_Bounds({left, outer.top, outer.width, outer.height});
}

void TMainForm1::Set_Width(int width) {
    Bounds outer = Window_Bounds();
    Set_Bounds({outer.left, outer.top, width, outer.height});
}

void TMainForm1::Set_Height(int height) {
    Bounds outer = Window_Bounds();
    Set_Bounds({outer.left, outer.top, outer.width, height});
}

std::exception_ptr TMainForm1::Load_Last_File_List() {
    std::exception_ptr failure;
    Guarded(
        [&] {
            std::wstring name = File_List_Name_Edit.Text();
            if (name.empty() || !File_Exists(name)) return;
            if (!Load_Entries_From_File(*list_window_, name)) return;
            failure = Show_Loaded_List(*list_window_, name);
        },
        On_Failure{[&](std::exception_ptr stopped) { failure = stopped; }});
    return failure;
}

void TMainForm1::Apply_Product_Texts() {
    if (Application* application = list_window_->application) application->Set_Title(Product_Name);
    Set_Caption(Product_Name);
    about_.Apply_Product_Texts(Product_Name);
}

void TMainForm1::AboutOptionClick() {
    // The About window is modal over this one.
    ::SetWindowLongPtrW(about_.Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Handle()));
    about_.Show_Modal();
}

void TMainForm1::Page_Layout_OptionClick() {
    // A run takes the layout once, at its start; the dialog waits for its end.
    if (print_run_->Running() || save_pdf_run_->Running()) return;
    if (std::optional<Sheet_Layout> chosen = page_layout_dialog_->Run(Handle(), Chosen_Layout()))
        Set_Chosen_Layout(*chosen);
}

void TMainForm1::Print_Preview_OptionClick() {
    if (print_run_->Running() || save_pdf_run_->Running()) return;
    if (const std::optional<Preview_Print> print = print_preview_->Run(Handle()))
        print_run_->Print_Sheets(print->first_sheet, print->last_sheet);
}

void TMainForm1::Apply_Startup_Show_Command() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    // Without the flag the member means nothing; a plain start shows the window normally.
    int command = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
    if (command == SW_HIDE) command = SW_SHOWNORMAL;
    Show_Window(command);
}

void TMainForm1::FormResize() { Scale_Controls(*this, Scaling_ListBox); }

void TMainForm1::FormCloseQuery(bool& can_close) {
    // The settings go first, and a refused write must not keep the window open.
    Guarded([this] {
        Save_Settings(Settings_File(), *this,
                      {.always_on_top = Always_On_Top_Option.Checked(),
                       .auto_run = Auto_Run_at_Windows_Startup_Option.Checked(),
                       .file_list_name = File_List_Name_Edit.Text()});
        Write_Page_Options(Settings_File(), Chosen_Options());
        Write_Sheet_Layout(Settings_File(), Chosen_Layout());
    });
    if (!Has_File_List_Changed_CheckBox.Checked()) return;
    Answer answer =
        Confirm_Box(dialogs_, L"The file list has not been saved.  Do you want to save it before exiting ?");
    if (answer != Answer::Yes) return;
    Save_File_List_Option.Click();
    if (Has_File_List_Changed_CheckBox.Checked()) can_close = false;
}

void TMainForm1::Enable_Main_Window(bool enabled) {
    Cursor_Kind cursor = enabled ? Cursor_Kind::Default : Cursor_Kind::Hourglass;
    if (enabled) {
        busy_cursor_.reset();
    } else if (!busy_cursor_) {
        busy_cursor_.emplace(list_window_->application);
    }
    for (const auto& component : Components()) {
        if (Control* control = component->As_Control()) {
            control->Set_Enabled(enabled);
            control->Set_Cursor(cursor);
        }
    }
}

void TMainForm1::Take_Files(const std::vector<std::wstring>& names) {
    Take_Dropped_Files(*list_window_, names, [this] { ::SetForegroundWindow(Handle()); });
}

}  // namespace velbrook

#include "app/page_layout_dialog.h"

#include "pdf/save_pdf_rules.h"

namespace velbrook {

namespace {

constexpr wchar_t Custom_Size[] = L"Custom";

std::vector<std::wstring> Names_Of(std::span<const Named_Size> sizes) {
    std::vector<std::wstring> names;
    for (const Named_Size& size : sizes) names.emplace_back(size.name);
    return names;
}

std::vector<std::wstring> Print_Size_Items() {
    std::vector<std::wstring> items = Names_Of(Print_Sizes());
    items.emplace_back(Custom_Size);
    return items;
}

Radio_Button::Options Choice(const wchar_t* text, int tab_order, bool group_start = false) {
    return {.caption = text, .group_start = group_start, .control = {.tab_order = tab_order}};
}

Edit::Options Field(int tab_order) { return {.control = {.tab_order = tab_order}}; }

}  // namespace

Page_Layout_Dialog::Page_Layout_Dialog(Page_Layout_Setup setup)
    : Form(L"Page_Layout_Dialog", Options{.caption = L"Page Layout",
                                          .bounds = {0, 0, 636, 430},
                                          .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                          .ex_style = WS_EX_DLGMODALFRAME,
                                          .font = setup.font}),
      Sheet_GroupBox(
          Add<Group_Box>(this, L"Sheet_GroupBox", Bounds{8, 6, 352, 168},
                         Group_Box::Options{.caption = L" Pictures on each sheet ", .control = {.tab_order = 0}})),
      One_Per_Page_RadioButton(Add<Radio_Button>(&Sheet_GroupBox, L"One_Per_Page_RadioButton", Bounds{12, 22, 220, 20},
                                                 Choice(L"&One picture per page", 0, true))),
      Grid_RadioButton(
          Add<Radio_Button>(&Sheet_GroupBox, L"Grid_RadioButton", Bounds{12, 50, 76, 20}, Choice(L"&Grid", 1))),
      Print_Size_RadioButton(Add<Radio_Button>(&Sheet_GroupBox, L"Print_Size_RadioButton", Bounds{12, 80, 90, 20},
                                               Choice(L"&Print size", 2))),
      Actual_Size_RadioButton(Add<Radio_Button>(&Sheet_GroupBox, L"Actual_Size_RadioButton", Bounds{12, 140, 150, 20},
                                                Choice(L"&Actual size", 3))),
      Columns_Label(
          Add<Label>(&Sheet_GroupBox, L"Columns_Label", Bounds{106, 52, 56, 18}, Label::One_Line(L"Columns"))),
      Columns_Edit(Add<Edit>(&Sheet_GroupBox, L"Columns_Edit", Bounds{164, 49, 40, 23}, Field(4))),
      Rows_Label(Add<Label>(&Sheet_GroupBox, L"Rows_Label", Bounds{222, 52, 40, 18}, Label::One_Line(L"Rows"))),
      Rows_Edit(Add<Edit>(&Sheet_GroupBox, L"Rows_Edit", Bounds{264, 49, 40, 23}, Field(5))),
      Print_Size_ComboBox(Add<Combo_Box>(&Sheet_GroupBox, L"Print_Size_ComboBox", Bounds{106, 78, 198, 23},
                                         Combo_Box::Options{.items = Print_Size_Items(), .control = {.tab_order = 6}})),
      Width_Label(Add<Label>(&Sheet_GroupBox, L"Width_Label", Bounds{30, 112, 74, 18}, Label::One_Line(L"Width (mm)"))),
      Width_Edit(Add<Edit>(&Sheet_GroupBox, L"Width_Edit", Bounds{106, 109, 56, 23}, Field(7))),
      Height_Label(
          Add<Label>(&Sheet_GroupBox, L"Height_Label", Bounds{172, 112, 80, 18}, Label::One_Line(L"Height (mm)"))),
      Height_Edit(Add<Edit>(&Sheet_GroupBox, L"Height_Edit", Bounds{248, 109, 56, 23}, Field(8))),
      Spacing_GroupBox(
          Add<Group_Box>(this, L"Spacing_GroupBox", Bounds{8, 180, 352, 112},
                         Group_Box::Options{.caption = L" Margins and copies ", .control = {.tab_order = 1}})),
      Margin_Label(
          Add<Label>(&Spacing_GroupBox, L"Margin_Label", Bounds{12, 24, 230, 18}, Label::One_Line(L"Margin (mm)"))),
      Margin_Edit(Add<Edit>(&Spacing_GroupBox, L"Margin_Edit", Bounds{248, 21, 56, 23}, Field(0))),
      Spacing_Label(Add<Label>(&Spacing_GroupBox, L"Spacing_Label", Bounds{12, 52, 230, 18},
                               Label::One_Line(L"Space between pictures (mm)"))),
      Spacing_Edit(Add<Edit>(&Spacing_GroupBox, L"Spacing_Edit", Bounds{248, 49, 56, 23}, Field(1))),
      Copies_Label(Add<Label>(&Spacing_GroupBox, L"Copies_Label", Bounds{12, 80, 230, 18},
                              Label::One_Line(L"Copies of each picture"))),
      Copies_Edit(Add<Edit>(&Spacing_GroupBox, L"Copies_Edit", Bounds{248, 77, 56, 23}, Field(2))),
      Paper_GroupBox(
          Add<Group_Box>(this, L"Paper_GroupBox", Bounds{8, 298, 352, 84},
                         Group_Box::Options{.caption = L" Paper for PDF files ", .control = {.tab_order = 2}})),
      Paper_Label(Add<Label>(&Paper_GroupBox, L"Paper_Label", Bounds{12, 26, 50, 18},
                             Label::Options{.caption = L"Paper", .word_wrap = false, .control = {.tab_order = 0}})),
      Paper_ComboBox(Add<Combo_Box>(&Paper_GroupBox, L"Paper_ComboBox", Bounds{66, 22, 150, 23},
                                    Combo_Box::Options{.items = Names_Of(Pdf_Papers()), .control = {.tab_order = 1}})),
      Portrait_RadioButton(Add<Radio_Button>(&Paper_GroupBox, L"Portrait_RadioButton", Bounds{12, 54, 100, 20},
                                             Choice(L"Po&rtrait", 2, true))),
      Landscape_RadioButton(Add<Radio_Button>(&Paper_GroupBox, L"Landscape_RadioButton", Bounds{124, 54, 110, 20},
                                              Choice(L"&Landscape", 3))),
      Drawing_GroupBox(Add<Group_Box>(this, L"Drawing_GroupBox", Bounds{368, 6, 244, 338},
                                      Group_Box::Options{.caption = L" First sheet "})),
      Sheet_Image(Add<Sheet_Drawing>(&Drawing_GroupBox, L"Sheet_Image", Bounds{8, 22, 228, 308}, setup.pictures)),
      OK_Button(Add<Button>(this, L"OK_Button", Bounds{368, 352, 118, 30},
                            Button::Options{.caption = L"OK", .control = {.tab_order = 3}})),
      Cancel_Button(Add<Button>(this, L"Cancel_Button", Bounds{494, 352, 118, 30},
                                Button::Options{.caption = L"Cancel", .control = {.tab_order = 4}})),
      setup_(std::move(setup)),
      locale_paper_(Locale_Paper_Name(setup_.paper_size_code ? setup_.paper_size_code() : 0)) {
    Set_Client_Width(620);
    Set_Client_Height(390);
    Lay_Out_For_Dpi();
    OK_Button.Set_Default(true);
    Apply_Tab_Order();
    Wire_Handlers();
    Set_Key_Preview(true);
}

void Page_Layout_Dialog::Wire_Handlers() {
    On_Key_Down = [this](WORD& key) { FormKeyDown(key); };
    On_Activate = [this] {
        if (!focus_pending_) return;
        focus_pending_ = false;
        for (Radio_Button* choice : One_Per_Page_RadioButton.Group())
            if (choice->Checked()) ::SetFocus(choice->Handle());
    };
    OK_Button.On_Click = [this] { OK_ButtonClick(); };
    Cancel_Button.On_Click = [this] { Cancel_ButtonClick(); };
    for (Radio_Button* choice : {&One_Per_Page_RadioButton, &Grid_RadioButton, &Print_Size_RadioButton,
                                 &Actual_Size_RadioButton, &Portrait_RadioButton, &Landscape_RadioButton})
        choice->On_Click = [this] { Fields_Changed(); };
    for (Edit* field :
         {&Columns_Edit, &Rows_Edit, &Width_Edit, &Height_Edit, &Margin_Edit, &Spacing_Edit, &Copies_Edit})
        field->On_Change = [this] { Fields_Changed(); };
    Print_Size_ComboBox.On_Change = [this] { Print_Size_Chosen(); };
    Paper_ComboBox.On_Change = [this] { Fields_Changed(); };
}

std::optional<Sheet_Layout> Page_Layout_Dialog::Run(HWND owner, const Sheet_Layout& layout) {
    ::SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    opened_ = layout;
    result_.reset();
    Load(layout);
    Center_On_Screen();
    focus_pending_ = true;
    Show_Modal();
    // The drawing's pictures are not kept between showings.
    Sheet_Image.Forget_Pictures();
    return result_;
}

void Page_Layout_Dialog::Load(const Sheet_Layout& layout) {
    loading_ = true;
    Radio_Button* kinds[] = {&One_Per_Page_RadioButton, &Grid_RadioButton, &Print_Size_RadioButton,
                             &Actual_Size_RadioButton};
    const int kind = static_cast<int>(layout.kind);
    kinds[kind >= 0 && kind < 4 ? kind : 0]->Set_Checked(true);
    Columns_Edit.Set_Text(Field_Text(Columns_Field, layout.columns));
    Rows_Edit.Set_Text(Field_Text(Rows_Field, layout.rows));
    Width_Edit.Set_Text(Field_Text(Width_Field, layout.print_width));
    Height_Edit.Set_Text(Field_Text(Height_Field, layout.print_height));
    Margin_Edit.Set_Text(Field_Text(Margin_Field, layout.margin));
    Spacing_Edit.Set_Text(Field_Text(Spacing_Field, layout.spacing));
    Copies_Edit.Set_Text(Field_Text(Copies_Field, layout.copies));
    // A size of the list is chosen by its name; any other is a custom one.
    int size = Print_Size_ComboBox.Count() - 1;
    for (int i = 0; i < static_cast<int>(Print_Sizes().size()); ++i)
        if (Print_Sizes()[i].width == layout.print_width && Print_Sizes()[i].height == layout.print_height) size = i;
    Print_Size_ComboBox.Select(size);
    const int paper = Paper_ComboBox.Find(layout.pdf_paper);
    Paper_ComboBox.Select(paper >= 0 ? paper : Paper_ComboBox.Find(locale_paper_));
    (layout.pdf_landscape ? Landscape_RadioButton : Portrait_RadioButton).Set_Checked(true);
    loading_ = false;
    Fields_Changed();
}

Sheet_Kind Page_Layout_Dialog::Chosen_Kind() const {
    if (Grid_RadioButton.Checked()) return Sheet_Kind::Grid;
    if (Print_Size_RadioButton.Checked()) return Sheet_Kind::Print_Size;
    if (Actual_Size_RadioButton.Checked()) return Sheet_Kind::Actual_Size;
    return Sheet_Kind::One_Per_Page;
}

std::optional<Named_Size> Page_Layout_Dialog::Chosen_Print_Size() const {
    return Size_Named(Print_Sizes(), Print_Size_ComboBox.Item(Print_Size_ComboBox.Selected()));
}

Named_Size Page_Layout_Dialog::Chosen_Paper() const {
    if (auto paper = Size_Named(Pdf_Papers(), Paper_ComboBox.Item(Paper_ComboBox.Selected()))) return *paper;
    return *Size_Named(Pdf_Papers(), locale_paper_);
}

// Only the fields that the chosen layout uses are checked, with the margin,
// the spacing and the copies, which every layout keeps: a field of another
// layout that does not read keeps the value the dialog opened with, and is
// disabled anyway.  The first refused field, top to bottom, is named.
Sheet_Layout Page_Layout_Dialog::Typed_Layout(std::optional<Refusal>* refusal) const {
    Sheet_Layout layout = opened_;
    layout.kind = Chosen_Kind();
    const auto take = [&](const Edit& field, const Layout_Field& rule, bool checked, int& value) {
        if (const std::optional<int> read = Read_Field(rule, field.Text())) {
            value = *read;
        } else if (checked && refusal && !*refusal) {
            *refusal = Refusal{const_cast<Edit*>(&field), &rule};
        }
    };
    const bool grid = layout.kind == Sheet_Kind::Grid;
    take(Columns_Edit, Columns_Field, grid, layout.columns);
    take(Rows_Edit, Rows_Field, grid, layout.rows);
    if (const std::optional<Named_Size> size = Chosen_Print_Size()) {
        layout.print_width = size->width;
        layout.print_height = size->height;
    } else {
        const bool custom = layout.kind == Sheet_Kind::Print_Size;
        take(Width_Edit, Width_Field, custom, layout.print_width);
        take(Height_Edit, Height_Field, custom, layout.print_height);
    }
    take(Margin_Edit, Margin_Field, true, layout.margin);
    take(Spacing_Edit, Spacing_Field, true, layout.spacing);
    take(Copies_Edit, Copies_Field, true, layout.copies);
    // The locale's paper is kept as no paper at all, so that the file goes
    // on following the locale.
    const std::wstring paper(Chosen_Paper().name);
    layout.pdf_paper = paper == locale_paper_ ? std::wstring() : paper;
    layout.pdf_landscape = Landscape_RadioButton.Checked();
    return layout;
}

void Page_Layout_Dialog::Print_Size_Chosen() {
    // A named size shows its millimetres in the custom fields, to start from.
    if (const std::optional<Named_Size> size = Chosen_Print_Size()) {
        loading_ = true;
        Width_Edit.Set_Text(Field_Text(Width_Field, size->width));
        Height_Edit.Set_Text(Field_Text(Height_Field, size->height));
        loading_ = false;
    }
    Fields_Changed();
}

void Page_Layout_Dialog::Fields_Changed() {
    if (loading_) return;
    const Sheet_Kind kind = Chosen_Kind();
    const bool grid = kind == Sheet_Kind::Grid, print_size = kind == Sheet_Kind::Print_Size;
    const bool custom = print_size && !Chosen_Print_Size();
    for (Control* control : std::initializer_list<Control*>{&Columns_Label, &Columns_Edit, &Rows_Label, &Rows_Edit})
        control->Set_Enabled(grid);
    Print_Size_ComboBox.Set_Enabled(print_size);
    for (Control* control : std::initializer_list<Control*>{&Width_Label, &Width_Edit, &Height_Label, &Height_Edit})
        control->Set_Enabled(custom);
    Sheet_Image.Show(Typed_Layout(nullptr), Chosen_Paper());
}

void Page_Layout_Dialog::OK_ButtonClick() {
    std::optional<Refusal> refusal;
    const Sheet_Layout layout = Typed_Layout(&refusal);
    if (refusal) {
        Error_Box(setup_.dialogs, Refusal_Text(*refusal->rule));
        ::SetFocus(refusal->field->Handle());
        refusal->field->Select_All();
        return;
    }
    result_ = layout;
    Close();
}

void Page_Layout_Dialog::Cancel_ButtonClick() { Close(); }

void Page_Layout_Dialog::FormKeyDown(WORD& key) {
    if (key != VK_ESCAPE) return;
    Cancel_ButtonClick();
    key = 0;
}

}  // namespace velbrook

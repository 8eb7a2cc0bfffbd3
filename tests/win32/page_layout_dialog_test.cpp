// Options > "Page Layout...": the menu item, the fields as OK takes them,
// the values they refuse, and the drawing of the first sheet.

#include <algorithm>
#include <set>

#include "main_form_fixture.h"

#include "app/command_ids.h"
#include "app/page_layout_dialog.h"
#include "modal_driver.h"
#include "pdf/save_pdf_rules.h"
#include "pdf/save_pdf_run.h"
#include "picture_test_support.h"
#include "../support/bmp_writer.h"

namespace velbrook::testing {
namespace {

using Dialog_Step = std::function<void(Page_Layout_Dialog&)>;

// What the user does, as the messages that clicks and keys send.
void Click(const Windowed_Control& control) { ::SendMessageW(control.Handle(), BM_CLICK, 0, 0); }
void Type(const Edit& field, const std::wstring& text) {
    ::SendMessageW(field.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
void Choose(const Combo_Box& box, const std::wstring& item) {
    const int index = box.Find(item);
    ASSERT_GE(index, 0) << "no item " << std::string(item.begin(), item.end());
    ::SendMessageW(box.Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(::GetParent(box.Handle()), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(box.Handle()), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(box.Handle()));
}
void Press_Escape(const Windowed_Control& focus) { ::PostMessageW(focus.Handle(), WM_KEYDOWN, VK_ESCAPE, 1); }

std::wstring Locale_Paper() { return std::wstring(Locale_Paper_Name(Save_Pdf_Environment::Locale_Paper_Size())); }

std::string Solid_Bmp(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::vector<std::uint8_t> bytes =
        test::Build_Bmp({.width = 2, .height = 2, .pixels = {b, g, r, b, g, r, 0, 0, b, g, r, b, g, r, 0, 0}});
    return {bytes.begin(), bytes.end()};
}

// The regions of one colour in a painting, each by its bounding box.
std::vector<RECT> Regions(const Canvas& canvas, const std::function<bool(Rgb)>& colour) {
    const int width = canvas.Width(), height = canvas.Height();
    std::vector<char> seen(static_cast<std::size_t>(width * height), 0);
    std::vector<RECT> regions;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (seen[y * width + x] || !colour(canvas.At(x, y))) continue;
            RECT box{x, y, x + 1, y + 1};
            std::vector<POINT> open{{x, y}};
            seen[y * width + x] = 1;
            while (!open.empty()) {
                const POINT p = open.back();
                open.pop_back();
                box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x + 1),
                       std::max(box.bottom, p.y + 1)};
                for (POINT n : {POINT{p.x + 1, p.y}, POINT{p.x - 1, p.y}, POINT{p.x, p.y + 1}, POINT{p.x, p.y - 1}}) {
                    if (n.x < 0 || n.y < 0 || n.x >= width || n.y >= height || seen[n.y * width + n.x]) continue;
                    if (!colour(canvas.At(n.x, n.y))) continue;
                    seen[n.y * width + n.x] = 1;
                    open.push_back(n);
                }
            }
            regions.push_back(box);
        }
    }
    return regions;
}

class Page_Layout_Test : public Main_Form_Test {
protected:
    Page_Layout_Dialog& Dialog() { return Form().Layout_Dialog(); }
    // Opens the dialog as the menu does; `step` runs while it is up.
    void With_Dialog(const Dialog_Step& step) {
        TMainForm1& window = Form();
        Drive_Modal(
            Dialog(), [&] { ::SendMessageW(window.Handle(), WM_COMMAND, command::Page_Layout, 0); },
            [&] { step(Dialog()); });
        EXPECT_FALSE(::IsWindowVisible(Dialog().Handle()));
        EXPECT_TRUE(::IsWindowEnabled(window.Handle()));
    }
};

TEST_F(Page_Layout_Test, The_Last_Item_Of_The_Options_Menu_Opens_The_Dialog_Modally_With_The_Layout_In_Its_Fields) {
    TMainForm1& window = Shown();
    HMENU options = window.OptionsMenu.Popup();
    const int count = ::GetMenuItemCount(options);
    ASSERT_GE(count, 2);
    EXPECT_EQ(::GetMenuItemID(options, count - 1), command::Page_Layout);
    wchar_t caption[64] = {};
    ::GetMenuStringW(options, static_cast<UINT>(count - 1), caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"Page &Layout...");
    MENUITEMINFOW separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(options, static_cast<UINT>(count - 2), TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);

    const Sheet_Layout stored{.kind = Sheet_Kind::Grid,
                              .columns = 3,
                              .rows = 4,
                              .margin = 75,
                              .spacing = 0,
                              .copies = 2,
                              .pdf_paper = L"A5",
                              .pdf_landscape = true};
    window.Set_Chosen_Layout(stored);
    With_Dialog([&](Page_Layout_Dialog& d) {
        EXPECT_EQ(d.Caption(), L"Page Layout");
        EXPECT_EQ(::GetWindow(d.Handle(), GW_OWNER), window.Handle());
        EXPECT_FALSE(::IsWindowEnabled(window.Handle()));
        EXPECT_EQ(d.Font(), window.Font());
        EXPECT_TRUE(d.Grid_RadioButton.Checked());
        EXPECT_FALSE(d.One_Per_Page_RadioButton.Checked());
        const std::pair<const Edit*, const wchar_t*> texts[] = {
            {&d.Columns_Edit, L"3"},  {&d.Rows_Edit, L"4"},    {&d.Width_Edit, L"100"}, {&d.Height_Edit, L"150"},
            {&d.Margin_Edit, L"7.5"}, {&d.Spacing_Edit, L"0"}, {&d.Copies_Edit, L"2"}};
        for (const auto& [field, text] : texts)
            EXPECT_EQ(field->Text(), text) << std::string(field->Name().begin(), field->Name().end());
        EXPECT_EQ(d.Print_Size_ComboBox.Text(), L"10 x 15 cm");
        EXPECT_EQ(d.Print_Size_ComboBox.Count(), 12);
        EXPECT_EQ(d.Print_Size_ComboBox.Item(11), L"Custom");
        EXPECT_EQ(d.Paper_ComboBox.Text(), L"A5");
        EXPECT_TRUE(d.Landscape_RadioButton.Checked());
        // Only the fields of the chosen layout take input.
        EXPECT_TRUE(d.Columns_Edit.Enabled());
        EXPECT_FALSE(d.Print_Size_ComboBox.Enabled());
        EXPECT_FALSE(d.Width_Edit.Enabled());
        Click(d.OK_Button);
    });
    EXPECT_EQ(window.Chosen_Layout(), stored);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Page_Layout_Test, Ok_Takes_What_Was_Typed_And_Cancel_Escape_Or_The_Close_Box_Take_Nothing) {
    Fill({Test_Picture(L"red_green.bmp")});
    TMainForm1& window = Shown();
    window.Pictures().Select_Index(0);
    window.File_ListBox.On_Click();
    window.StatusBar1.Set_Panel_Text(L"  kept");
    const std::shared_ptr<const Drawable> preview = window.Image1.Picture();
    ASSERT_TRUE(preview);

    const Sheet_Layout grid{.kind = Sheet_Kind::Grid, .columns = 4, .copies = 3, .pdf_paper = L"Legal"};
    const Dialog_Step ok = [](Page_Layout_Dialog& d) { Click(d.OK_Button); };
    const Dialog_Step some_typing = [](Page_Layout_Dialog& d) {
        Click(d.Print_Size_RadioButton);
        Type(d.Margin_Edit, L"9");
        Choose(d.Paper_ComboBox, L"A3");
    };
    struct Case {
        const char* what;
        Sheet_Layout opened;
        Dialog_Step typing, finish;
        Sheet_Layout taken;
    } cases[] = {
        {"a grid of three by two, two copies, on landscape A3",
         {},
         [](Page_Layout_Dialog& d) {
             Click(d.Grid_RadioButton);
             Type(d.Columns_Edit, L"3");
             Type(d.Rows_Edit, L" 2 ");
             Type(d.Copies_Edit, L"2");
             Type(d.Margin_Edit, L"12.5");
             Type(d.Spacing_Edit, L"0");
             Choose(d.Paper_ComboBox, L"A3");
             Click(d.Landscape_RadioButton);
         },
         ok,
         {.kind = Sheet_Kind::Grid,
          .columns = 3,
          .rows = 2,
          .margin = 125,
          .spacing = 0,
          .copies = 2,
          .pdf_paper = L"A3",
          .pdf_landscape = true}},
        {"a print size of the list, the margin with a decimal comma",
         {},
         [](Page_Layout_Dialog& d) {
             Click(d.Print_Size_RadioButton);
             Choose(d.Print_Size_ComboBox, L"13 x 18 cm");
             Type(d.Margin_Edit, L"5,5");
         },
         ok,
         {.kind = Sheet_Kind::Print_Size, .print_width = 1300, .print_height = 1800, .margin = 55}},
        {"a custom size, and the locale's paper kept as none",
         grid,
         [](Page_Layout_Dialog& d) {
             Click(d.Print_Size_RadioButton);
             Choose(d.Print_Size_ComboBox, L"Custom");
             Type(d.Width_Edit, L"42.5");
             Type(d.Height_Edit, L"60");
             Choose(d.Paper_ComboBox, Locale_Paper());
         },
         ok,
         {.kind = Sheet_Kind::Print_Size, .columns = 4, .print_width = 425, .print_height = 600, .copies = 3}},
        {"actual size: the grid's fields are not its own and are not checked",
         grid,
         [](Page_Layout_Dialog& d) {
             Click(d.Actual_Size_RadioButton);
             Type(d.Columns_Edit, L"many");
             Type(d.Rows_Edit, L"7");
             Choose(d.Paper_ComboBox, L"10 x 15 cm");
         },
         ok,
         {.kind = Sheet_Kind::Actual_Size, .columns = 4, .rows = 7, .copies = 3, .pdf_paper = L"10 x 15 cm"}},
        {"Cancel", grid, some_typing, [](Page_Layout_Dialog& d) { Click(d.Cancel_Button); }, grid},
        {"Escape", grid, some_typing, [](Page_Layout_Dialog& d) { Press_Escape(d.Margin_Edit); }, grid},
        {"the close box", grid, some_typing, [](Page_Layout_Dialog& d) { ::PostMessageW(d.Handle(), WM_CLOSE, 0, 0); },
         grid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.Set_Chosen_Layout(c.opened);
        With_Dialog([&](Page_Layout_Dialog& d) {
            c.typing(d);
            c.finish(d);
        });
        EXPECT_EQ(window.Chosen_Layout(), c.taken);
        EXPECT_EQ(window.Image1.Picture(), preview) << "the preview stays";
        EXPECT_EQ(Status(), L"  kept");
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(Page_Layout_Test, A_Value_Out_Of_Range_Is_Refused_By_Name_With_The_Dialog_Open_On_Its_Field) {
    using D = Page_Layout_Dialog;
    const wchar_t* const whole_columns = L"Columns must be a whole number from 1 to 10.";
    const wchar_t* const width_range =
        L"Width must be a number of millimetres from 10 to 1000, with at most one decimal.";
    // The layout chosen, and the field typed in, by their places in the dialog.
    const auto kind_of = [](D& d, Sheet_Kind kind) -> Radio_Button& {
        Radio_Button* kinds[] = {&d.One_Per_Page_RadioButton, &d.Grid_RadioButton, &d.Print_Size_RadioButton,
                                 &d.Actual_Size_RadioButton};
        return *kinds[static_cast<int>(kind)];
    };
    enum Field { Columns, Rows, Width, Height, Margin, Spacing, Copies };
    const auto field_of = [](D& d, Field field) -> Edit& {
        Edit* fields[] = {&d.Columns_Edit, &d.Rows_Edit,    &d.Width_Edit, &d.Height_Edit,
                          &d.Margin_Edit,  &d.Spacing_Edit, &d.Copies_Edit};
        return *fields[field];
    };
    struct Case {
        Sheet_Kind kind;
        Field field;
        const wchar_t* typed;
        const wchar_t* said;
    } cases[] = {
        {Sheet_Kind::Grid, Columns, L"0", whole_columns},
        {Sheet_Kind::Grid, Columns, L"2.5", whole_columns},
        {Sheet_Kind::Grid, Rows, L"11", L"Rows must be a whole number from 1 to 10."},
        {Sheet_Kind::Print_Size, Width, L"9.9", width_range},
        {Sheet_Kind::Print_Size, Width, L"", width_range},
        {Sheet_Kind::Print_Size, Height, L"100.25",
         L"Height must be a number of millimetres from 10 to 1000, with at most one decimal."},
        {Sheet_Kind::One_Per_Page, Margin, L"50.5",
         L"Margin must be a number of millimetres from 0 to 50, with at most one decimal."},
        {Sheet_Kind::Actual_Size, Spacing, L"-1",
         L"Space between pictures must be a number of millimetres from 0 to 30, with at most one decimal."},
        {Sheet_Kind::One_Per_Page, Copies, L"100", L"Copies of each picture must be a whole number from 1 to 99."},
    };
    TMainForm1& window = Shown();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.said, c.said + std::wcslen(c.said)) + " for \"" +
                     std::string(c.typed, c.typed + std::wcslen(c.typed)) + "\"");
        dialogs.Clear();
        window.Set_Chosen_Layout({});
        bool stayed = false, focused = false;
        With_Dialog([&](Page_Layout_Dialog& d) {
            Click(kind_of(d, c.kind));
            if (c.kind == Sheet_Kind::Print_Size) Choose(d.Print_Size_ComboBox, L"Custom");
            Type(field_of(d, c.field), c.typed);
            Click(d.OK_Button);
            stayed = !d.Closed() && ::IsWindowVisible(d.Handle());
            focused = ::GetFocus() == field_of(d, c.field).Handle();
            Press_Escape(field_of(d, c.field));
        });
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Error);
        EXPECT_EQ(dialogs.messages[0].text, c.said);
        EXPECT_TRUE(stayed);
        EXPECT_TRUE(focused);
        EXPECT_EQ(window.Chosen_Layout(), Sheet_Layout{}) << "nothing applied";
    }
    dialogs.Clear();
}

TEST_F(Page_Layout_Test, The_Drawing_Fills_The_First_Sheet_As_The_Print_Run_Would_And_Follows_The_Fields) {
    const std::wstring red = folder.Write(L"red.bmp", Solid_Bmp(255, 0, 0));
    const std::wstring blue = folder.Write(L"blue.bmp", Solid_Bmp(0, 0, 255));
    const std::wstring broken = folder.Write(L"broken.jpg", "no picture");
    const std::wstring gone = folder / L"gone.bmp";
    struct Case {
        int columns, rows, copies;
        std::vector<std::wstring> entries;
        int reds, blues, empties;
    } cases[] = {
        {3, 2, 1, {}, 0, 0, 6},          {2, 2, 1, {red, broken, gone, blue}, 1, 1, 2},
        {4, 3, 2, {red, blue}, 2, 2, 8}, {1, 1, 3, {broken, blue, red}, 0, 1, 0},
        {10, 10, 1, {}, 0, 0, 100},
    };
    TMainForm1& window = Shown();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.columns) + " x " + std::to_string(c.rows) + ", copies " +
                     std::to_string(c.copies) + ", pictures " + std::to_string(c.entries.size()));
        window.Pictures().Clear();
        for (const std::wstring& entry : c.entries) window.Pictures().Add(entry);
        window.Set_Chosen_Layout({.kind = Sheet_Kind::Grid, .columns = c.columns, .rows = c.rows, .copies = c.copies});
        With_Dialog([&](Page_Layout_Dialog& d) {
            const auto painted = [&d] {
                auto canvas = std::make_unique<Canvas>(d.Sheet_Image.Width(), d.Sheet_Image.Height());
                d.Sheet_Image.Paint(canvas->Dc(), canvas->Whole());
                return canvas;
            };
            const auto empty_cell = [](Rgb p) { return p == Rgb{0xDC, 0xDC, 0xDC}; };
            std::unique_ptr<Canvas> sheet = painted();
            const std::vector<RECT> empties = Regions(*sheet, empty_cell);
            EXPECT_EQ(Regions(*sheet, [](Rgb p) { return Near(p, Red, 30); }).size(), std::size_t(c.reds));
            EXPECT_EQ(Regions(*sheet, [](Rgb p) { return Near(p, Blue, 30); }).size(), std::size_t(c.blues));
            EXPECT_EQ(empties.size(), std::size_t(c.empties));
            if (c.entries.empty()) {
                std::set<LONG> lefts, tops;
                for (const RECT& r : empties) lefts.insert(r.left), tops.insert(r.top);
                EXPECT_EQ(lefts.size(), std::size_t(c.columns));
                EXPECT_EQ(tops.size(), std::size_t(c.rows));
            }
            // The drawing follows the fields as they are typed; one that does
            // not read leaves it as the dialog opened.
            Type(d.Rows_Edit, L"1");
            Type(d.Columns_Edit, L"1");
            Type(d.Copies_Edit, L"x");
            sheet = painted();
            EXPECT_EQ(Regions(*sheet, empty_cell).size(), c.entries.empty() ? 1u : 0u);
            Click(d.One_Per_Page_RadioButton);
            Click(d.Landscape_RadioButton);
            sheet = painted();
            const RECT paper = d.Sheet_Image.Paper_Place();
            EXPECT_GT(paper.right - paper.left, paper.bottom - paper.top) << "landscape";
            EXPECT_EQ(sheet->At(paper.left, paper.top), Black) << "the paper's frame";
            EXPECT_EQ(sheet->At(paper.left + 2, paper.top + 2), White) << "the margin of the classic page";
            Press_Escape(d.Copies_Edit);
        });
    }
}

TEST_F(Page_Layout_Test, Typing_Decodes_No_Picture_Twice_For_A_Cell_Of_The_Same_Size) {
    int loads = 0;
    form = std::make_unique<TMainForm1>(
        Main_Form_Setup{.dialogs = dialogs,
                        .program_path = folder / L"velbrook.exe",
                        .load_picture =
                            [&loads](const std::wstring& path, SIZE target, const Page_Options& options) {
                                ++loads;
                                return Load_Preview(path, target, options);
                            }},
        about);
    Fill({folder.Write(L"red.bmp", Solid_Bmp(255, 0, 0)), folder.Write(L"broken.bmp", "BM damaged")});
    Shown().Set_Chosen_Layout({.kind = Sheet_Kind::Grid});
    std::vector<int> counts;
    const Dialog_Step typing = [&](Page_Layout_Dialog& d) {
        counts.push_back(loads);
        Type(d.Columns_Edit, L"3");
        counts.push_back(loads);
        for (const wchar_t* text : {L"", L"2", L"3", L"2"}) Type(d.Columns_Edit, text);
        Type(d.Copies_Edit, L"4");
        counts.push_back(loads);
        Press_Escape(d.Copies_Edit);
    };
    With_Dialog(typing);
    // The dialog lets its pictures go when it closes.
    With_Dialog(typing);
    EXPECT_EQ(counts, (std::vector<int>{2, 4, 4, 6, 8, 8})) << "the picture and the damaged file, once a size";
}

}  // namespace
}  // namespace velbrook::testing

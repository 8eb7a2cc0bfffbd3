// The windows on a screen of 144 dpi: laid out half as large again as at
// 96 dpi, fonts made for the screen, button pictures drawn twice over, window
// sizes kept in the settings as at 96 dpi, and a move to a screen of another
// resolution (WM_DPICHANGED) laid out again.

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>

#include "app/layout_table.h"
#include "app/page_layout_dialog.h"
#include "app/print_preview.h"
#include "app/settings_file.h"
#include "toolkit/dpi.h"
#include "../win32/main_form_fixture.h"

namespace velbrook::testing {
namespace {

constexpr int Test_Dpi = 144;
constexpr double Half_Again = 1.5;
// The main window's frame at 96 dpi: its default outer size 576 x 398
// holds a client area of 568 x 352 there.
constexpr SIZE Frame_At_96{576 - 568, 398 - 352};

LOGFONTW Font_Of(HWND window) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
}

int Text_Height(HFONT font) {
    Window_Dc screen(nullptr);
    Select_Guard select(screen.get(), font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen.get(), &metrics);
    return metrics.tmHeight;
}

void Expect_Client_Near(const Form& form, SIZE wanted) {
    const SIZE client = form.Client_Size();
    EXPECT_NEAR(client.cx, wanted.cx, 2) << form.Name();
    EXPECT_NEAR(client.cy, wanted.cy, 2) << form.Name();
}

// Every length of `bounds` is `design` at 144 dpi, within a pixel of rounding.
void Expect_Half_Again(const Bounds& bounds, const Bounds& design, const std::wstring& name) {
    EXPECT_NEAR(bounds.left, design.left * Half_Again, 2) << name;
    EXPECT_NEAR(bounds.top, design.top * Half_Again, 2) << name;
    EXPECT_NEAR(bounds.width, design.width * Half_Again, 2) << name;
    EXPECT_NEAR(bounds.height, design.height * Half_Again, 2) << name;
}

// Each control where the layout table puts it for the present client area at `dpi`.
void Expect_Laid_Out_By_The_Table(TMainForm1& window, int dpi) {
    const SIZE client = window.Client_Size();
    const Scale_Factors factors = Compute_Scale_Factors(window.Scaling_ListBox.Item(0), client.cx, client.cy, dpi);
    const auto& components = window.Components();
    for (std::size_t i = 0; i < components.size(); ++i) {
        Control* control = components[i]->As_Control();
        const auto scaled = Scale_Layout_Line(window.Scaling_ListBox.Item(static_cast<int>(i) + 1), factors);
        if (!control || !scaled) continue;
        EXPECT_EQ(control->Get_Bounds(), (Bounds{scaled->left, scaled->top, scaled->width, scaled->height}))
            << control->Name();
        EXPECT_EQ(control->Font_Points(), scaled->font_points) << control->Name();
    }
}

void Send_Dpi_Change(Form& form, int dpi, RECT suggested) {
    ::SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

class High_Dpi_Test : public Main_Form_Test {
protected:
    void SetUp() override { ASSERT_EQ(Screen_Dpi(), Test_Dpi) << "the prefix's LogPixels did not apply"; }

    // A fresh main window over the settings file as it now stands.
    TMainForm1& Shown_Again() {
        if (form) form->Has_File_List_Changed_CheckBox.Set_Checked(false);
        form.reset();
        return Shown();
    }
};

TEST_F(High_Dpi_Test, The_Main_Window_Is_Its_96_Dpi_Layout_Half_As_Large_Again_With_Fonts_For_The_Screen) {
    TMainForm1& window = Shown();
    EXPECT_EQ(window.Form_Dpi(), Test_Dpi);
    Expect_Client_Near(window, {852, 528});
    // The table keeps the design, in pixels of a 96-dpi screen.
    EXPECT_EQ(window.Scaling_ListBox.Item(0), L"569 379 W/H Mainform1");
    const Scale_Factors at_96 = Compute_Scale_Factors(window.Scaling_ListBox.Item(0), 568, 352);
    const auto& components = window.Components();
    for (std::size_t i = 0; i < components.size(); ++i) {
        Control* control = components[i]->As_Control();
        const auto scaled = Scale_Layout_Line(window.Scaling_ListBox.Item(static_cast<int>(i) + 1), at_96);
        if (!control || !scaled) continue;
        Expect_Half_Again(control->Get_Bounds(), {scaled->left, scaled->top, scaled->width, scaled->height},
                          control->Name());
        EXPECT_EQ(control->Font_Points(), scaled->font_points) << control->Name();
    }
    // The same points, made for the screen: the list's letters are half as tall again.
    const LOGFONTW list_font = Font_Of(window.File_ListBox.Handle());
    const int height_at_96 = Font_Height_For_Points(window.File_ListBox.Font_Points(), 96);
    EXPECT_NEAR(list_font.lfHeight, height_at_96 * Half_Again, 1.0);
    const double text_ratio =
        static_cast<double>(
            Text_Height(reinterpret_cast<HFONT>(::SendMessageW(window.File_ListBox.Handle(), WM_GETFONT, 0, 0)))) /
        Text_Height(Cached_Font(window.File_ListBox.Font(), 96));
    EXPECT_NEAR(text_ratio, Half_Again, 0.1);
    // The caption above the list has room for all its words.
    {
        const std::wstring caption = window.Label1.Text();
        Window_Dc screen(nullptr);
        Select_Guard select(screen.get(),
                            reinterpret_cast<HFONT>(::SendMessageW(window.Label1.Handle(), WM_GETFONT, 0, 0)));
        RECT room{0, 0, window.Label1.Width(), 0};
        ::DrawTextW(screen.get(), caption.c_str(), static_cast<int>(caption.size()), &room,
                    DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
        EXPECT_LE(room.bottom, window.Label1.Height());
    }
    // Each pixel of a button's picture a square of two.
    for (Button* button : {&window.Print_BitBtn, &window.Exit_BitBtn, &window.Abort_BitBtn})
        EXPECT_EQ(button->Glyph_Side(), 32) << button->Name();
}

TEST_F(High_Dpi_Test, A_Window_Size_Kept_At_96_Dpi_Is_The_Same_Size_On_Screen_And_Is_Kept_So) {
    const std::wstring ini = folder / Settings_File_Name;
    // Each fits the test desktop of 1024 x 768 at 144 dpi.
    const SIZE sizes[] = {{576, 398}, {650, 470}, {480, 330}};
    for (const SIZE size : sizes) {
        SCOPED_TRACE(std::to_wstring(size.cx) + L" x " + std::to_wstring(size.cy));
        Write_Settings(ini, {.top = 30, .left = 40, .width = size.cx, .height = size.cy});
        TMainForm1& window = Shown_Again();
        Expect_Client_Near(window, {static_cast<LONG>(std::lround((size.cx - Frame_At_96.cx) * Half_Again)),
                                    static_cast<LONG>(std::lround((size.cy - Frame_At_96.cy) * Half_Again))});
        Expect_Laid_Out_By_The_Table(window, Test_Dpi);
        EXPECT_EQ(window.Window_Bounds().left, 40);
        EXPECT_EQ(window.Window_Bounds().top, 30);
        Save_Settings(ini, window, {});
        const Settings kept = Read_Settings(ini);
        EXPECT_EQ(kept.width, size.cx);
        EXPECT_EQ(kept.height, size.cy);
        EXPECT_EQ(kept.left, 40);
        EXPECT_EQ(kept.top, 30);
    }
}

TEST_F(High_Dpi_Test, The_About_Window_And_The_Dialogs_Are_Their_96_Dpi_Layouts_Half_As_Large_Again) {
    Expect_Client_Near(about, {933, 617});
    Expect_Half_Again(about.OKButton.Get_Bounds(), {257, 288, 100, 48}, L"OKButton");
    Expect_Half_Again(about.Orvel_Logo_GIFImage.Get_Bounds(), {12, 16, 173, 165}, L"Orvel_Logo_GIFImage");
    EXPECT_EQ(about.OKButton.Glyph_Side(), 32);
    // A label that takes its text's size is measured at the screen's resolution once.
    EXPECT_NEAR(about.Label3.Height(),
                Text_Height(reinterpret_cast<HFONT>(::SendMessageW(about.Label3.Handle(), WM_GETFONT, 0, 0))), 1);

    Page_Layout_Dialog& layout = Form().Layout_Dialog();
    Expect_Client_Near(layout, {930, 585});
    Expect_Half_Again(layout.OK_Button.Get_Bounds(), {368, 352, 118, 30}, L"OK_Button");
    Expect_Half_Again(layout.Margin_Edit.Get_Bounds(), {248, 21, 56, 23}, L"Margin_Edit");

    Print_Preview& preview = Form().Preview_Window();
    // 960 x 870; the test desktop's 768 pixels hold the height of a window that can be sized.
    const SIZE client = preview.Client_Size();
    EXPECT_NEAR(client.cx, 960, 2);
    const Bounds close = preview.Close_Button.Get_Bounds();
    EXPECT_EQ(close.left + close.width, client.cx - Dpi_Scaled(8, Test_Dpi));
    EXPECT_EQ(close.height, Dpi_Scaled(26, Test_Dpi));
}

TEST_F(High_Dpi_Test, A_Window_Moved_To_A_Screen_Of_Another_Dpi_Takes_The_Suggested_Place_And_Lays_Itself_Out) {
    TMainForm1& window = Shown();
    const Bounds at_144 = window.Window_Bounds();
    const LOGFONTW font_at_144 = Font_Of(window.File_ListBox.Handle());

    Send_Dpi_Change(window, 96, {50, 60, 50 + 576, 60 + 398});
    EXPECT_EQ(window.Form_Dpi(), 96);
    EXPECT_EQ(window.Window_Bounds(), (Bounds{50, 60, 576, 398}));
    Expect_Laid_Out_By_The_Table(window, 96);
    EXPECT_EQ(Font_Of(window.File_ListBox.Handle()).lfHeight,
              Font_Height_For_Points(window.File_ListBox.Font_Points(), 96));
    EXPECT_EQ(window.Print_BitBtn.Glyph_Side(), 16);

    Send_Dpi_Change(window, Test_Dpi,
                    {at_144.left, at_144.top, at_144.left + at_144.width, at_144.top + at_144.height});
    EXPECT_EQ(window.Window_Bounds(), at_144);
    Expect_Client_Near(window, {852, 528});
    Expect_Laid_Out_By_The_Table(window, Test_Dpi);
    EXPECT_EQ(Font_Of(window.File_ListBox.Handle()).lfHeight, font_at_144.lfHeight);
    EXPECT_EQ(window.Print_BitBtn.Glyph_Side(), 32);

    // A window of fixed layout goes back to its design.
    const Bounds about_place = about.Window_Bounds();
    Send_Dpi_Change(about, 96, {0, 0, 628, 440});
    EXPECT_EQ(about.Client_Size().cx, 622);
    EXPECT_EQ(about.Client_Size().cy, 411);
    EXPECT_EQ(about.OKButton.Get_Bounds(), (Bounds{257, 288, 100, 48}));
    EXPECT_EQ(about.OKButton.Glyph_Side(), 16);
    Send_Dpi_Change(about, Test_Dpi,
                    {about_place.left, about_place.top, about_place.left + about_place.width,
                     about_place.top + about_place.height});
    Expect_Client_Near(about, {933, 617});
    Expect_Half_Again(about.OKButton.Get_Bounds(), {257, 288, 100, 48}, L"OKButton");
}

}  // namespace
}  // namespace velbrook::testing

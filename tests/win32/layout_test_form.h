#pragma once
// A small stand-in for the main window: a menu, a group box holding a few
// controls of the design geometry, a hidden gauge (a windowless control), a
// hidden layout table and a control on the form itself, in the main window's
// fonts.

#include <gtest/gtest.h>

#include "printing/gauge.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace velbrook::test_files {

// A form that may grow beyond the screen, as a test of twice the design
// size on a small virtual desktop needs.
class Roomy_Form : public Form {
public:
    explicit Roomy_Form(DWORD style)
        : Form(L"MainForm1", Options{.caption = L"Layout test",
                                     .bounds = {20, 20, 576, 398},
                                     .style = style,
                                     .font = {L"Times New Roman", 11, false}}) {}

protected:
    LRESULT Handle_Message(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == WM_GETMINMAXINFO) {
            reinterpret_cast<MINMAXINFO*>(lparam)->ptMaxTrackSize = {4000, 4000};
            return 0;
        }
        return Form::Handle_Message(message, wparam, lparam);
    }
};

struct Layout_Test_Form {
    explicit Layout_Test_Form(DWORD style = WS_OVERLAPPEDWINDOW) : form(style) { Set_Up(); }

    Roomy_Form form;
    Menu_Bar& menu = form.Add<Menu_Bar>(L"MainMenu1");
    Menu_Item& file_menu = form.Add<Menu_Item>(form, menu, L"FileMenu", L"&File");
    Menu_Item& always_on_top = form.Add<Menu_Item>(form, file_menu, L"Always_On_Top_Option", L"Always &On Top", true);
    Group_Box& all = form.Add<Group_Box>(&form, L"All_GroupBox", Bounds{4, 2, 561, 375});
    List_Box& files = form.Add<List_Box>(&all, L"File_ListBox", Bounds{8, 75, 393, 232});
    Button& print = form.Add<Button>(&all, L"Print_BitBtn", Bounds{140, 312, 130, 30}, L"Print / PDF");
    Group_Box& preview = form.Add<Group_Box>(&all, L"GroupBox1", Bounds{408, 144, 145, 200}, L" Image Preview : ");
    Button& abort = form.Add<Button>(&preview, L"Abort_BitBtn", Bounds{38, 40, 130, 25}, L"Abort");
    TGauge& gauge = form.Add<TGauge>(&form, L"Gauge1", Bounds{580, 34, 100, 22});
    List_Box& table = form.Add<List_Box>(&form, L"Scaling_ListBox", Bounds{612, 4, 25, 29});
    Edit& name = form.Add<Edit>(&form, L"File_List_Name_Edit", Bounds{576, 108, 121, 25});

    void Set_Up() {
        form.Set_Menu(menu);
        for (Button* button : {&print, &abort}) button->Set_Font({L"Times New Roman", 12, true});
        gauge.Set_Visible(false);
        table.Set_Visible(false);
        name.Set_Visible(false);
        form.On_Resize = [this] {
            if (scale_on_resize) scale_on_resize();
        };
    }

    // The client size of the design, from the group box around everything.
    void Fit_Client_To_Group_Box() {
        form.Set_Client_Height(all.Top() * 2 + all.Height());
        form.Set_Client_Width(all.Left() * 2 + all.Width());
    }

    void Set_Client_Size(int width, int height) {
        form.Set_Client_Height(height);
        form.Set_Client_Width(width);
    }

    std::function<void()> scale_on_resize;
};

}  // namespace velbrook::test_files

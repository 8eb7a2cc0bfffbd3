// Recording the design layout, scaling every control from it at each resize,
// and the Always On Top option.

#include <gtest/gtest.h>

#include <map>

#include "app/layout_scaling.h"
#include "file_utils_scratch.h"
#include "layout_test_form.h"

namespace velbrook {
namespace {

using test_files::Layout_Test_Form;

struct Geometry {
    Bounds bounds;
    int font_points;
    friend bool operator==(const Geometry&, const Geometry&) = default;
};

std::map<std::wstring, Geometry> Geometry_Of_Controls(const Form& form) {
    std::map<std::wstring, Geometry> geometry;
    for (const auto& component : form.Components())
        if (Control* control = component->As_Control())
            geometry[control->Name()] = {control->Get_Bounds(), control->Font_Points()};
    return geometry;
}

class Layout_Scaling : public ::testing::Test {
protected:
    Layout_Scaling() {
        window.Fit_Client_To_Group_Box();
        design = Geometry_Of_Controls(window.form);
        window.scale_on_resize = [this] { Scale_Controls(window.form, window.table); };
    }
    void Record_And_Resize(int width, int height) {
        Record_Design_Layout(window.form, window.table);
        window.Set_Client_Size(width, height);
        ASSERT_EQ(window.form.Client_Size().cx, width);
        ASSERT_EQ(window.form.Client_Size().cy, height);
    }
    Layout_Test_Form window;
    std::map<std::wstring, Geometry> design;
};

TEST_F(Layout_Scaling, the_table_holds_the_design_client_size_and_every_component_in_order) {
    ASSERT_EQ(window.form.Client_Size().cx, 569);
    ASSERT_EQ(window.form.Client_Size().cy, 379);
    Record_Design_Layout(window.form, window.table);

    const auto& components = window.form.Components();
    ASSERT_EQ(window.table.Count(), static_cast<int>(components.size()) + 1);
    EXPECT_EQ(window.table.Item(0), L"569 379 W/H Mainform1");
    EXPECT_EQ(window.table.Item(1), L"0");  // the menu bar
    EXPECT_EQ(window.table.Item(2), L"0");  // its File menu
    EXPECT_EQ(window.table.Item(3), L"0");  // a menu item
    EXPECT_EQ(window.table.Item(4), L"4 561 2 375 11 All_GroupBox");
    EXPECT_EQ(window.table.Item(6), L"140 130 312 30 12 Print_BitBtn");
    EXPECT_EQ(window.table.Item(8), L"38 130 40 25 12 Abort_BitBtn");
    EXPECT_EQ(window.table.Item(9), L"580 100 34 22 11 Gauge1");  // windowless, hidden, yet a control
    EXPECT_EQ(window.table.Item(10), L"612 25 4 29 11 Scaling_ListBox");

    // A second run records nothing more.
    window.Set_Client_Size(700, 300);
    Record_Design_Layout(window.form, window.table);
    EXPECT_EQ(window.table.Count(), static_cast<int>(components.size()) + 1);
    EXPECT_EQ(window.table.Item(0), L"569 379 W/H Mainform1");
}

TEST(Layout_Scroll_Bars, recording_hides_both_and_measures_the_client_without_them) {
    Layout_Test_Form window(WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL);
    window.Fit_Client_To_Group_Box();
    const SIZE with_bars = window.form.Client_Size();
    Record_Design_Layout(window.form, window.table);
    EXPECT_EQ(::GetWindowLongW(window.form.Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    const SIZE without_bars = window.form.Client_Size();
    EXPECT_GT(without_bars.cx, with_bars.cx);
    EXPECT_GT(without_bars.cy, with_bars.cy);
    EXPECT_EQ(window.table.Item(0),
              std::to_wstring(without_bars.cx) + L" " + std::to_wstring(without_bars.cy) + L" W/H Mainform1");
}

TEST_F(Layout_Scaling, nothing_moves_before_the_table_is_recorded) {
    window.Set_Client_Size(800, 500);
    Scale_Controls(window.form, window.table);
    EXPECT_EQ(Geometry_Of_Controls(window.form), design);
}

TEST_F(Layout_Scaling, the_design_size_gives_the_design_geometry) {
    Record_And_Resize(569, 379);
    Scale_Controls(window.form, window.table);
    EXPECT_EQ(Geometry_Of_Controls(window.form), design);
}

TEST_F(Layout_Scaling, twice_the_width_doubles_lefts_and_widths_and_keeps_the_fonts) {
    Record_And_Resize(1138, 379);
    for (const auto& [name, was] : design) {
        SCOPED_TRACE(test_files::Narrow(name));
        const Control& control = *window.form.Find_Component(name)->As_Control();
        EXPECT_EQ(control.Left(), was.bounds.left * 2);
        EXPECT_EQ(control.Width(), was.bounds.width * 2);
        EXPECT_EQ(control.Top(), was.bounds.top);
        EXPECT_EQ(control.Height(), was.bounds.height);
        EXPECT_EQ(control.Font_Points(), was.font_points);
    }
}

TEST_F(Layout_Scaling, half_the_height_cuts_every_value_toward_zero) {
    Record_And_Resize(569, 190);
    const Control& print = window.print;
    EXPECT_EQ(print.Left(), 140);
    EXPECT_EQ(print.Width(), 130);
    EXPECT_EQ(print.Top(), 156);            // 312 * 190 / 379 = 156.4
    EXPECT_EQ(print.Height(), 15);          // 30 * 190 / 379 = 15.04
    EXPECT_EQ(print.Font_Points(), 6);      // 12 * 190 / 379 = 6.02
    EXPECT_EQ(window.abort.Height(), 12);   // 25 * 190 / 379 = 12.53
    EXPECT_EQ(window.gauge.Top(), 17);      // 34 * 190 / 379 = 17.04
    EXPECT_EQ(window.gauge.Height(), 11);   // 22 * 190 / 379 = 11.03
    EXPECT_EQ(window.files.Height(), 116);  // 232 * 190 / 379 = 116.3
}

TEST_F(Layout_Scaling, growing_and_shrinking_back_returns_to_the_design_exactly) {
    Record_And_Resize(569, 379);
    for (auto [width, height] : {std::pair{1000, 700}, {301, 157}, {777, 222}, {569, 379}})
        window.Set_Client_Size(width, height);
    EXPECT_EQ(Geometry_Of_Controls(window.form), design);
}

TEST_F(Layout_Scaling, resizing_redraws_the_window_once_the_batch_is_over) {
    window.form.Show_Window(SW_SHOWNOACTIVATE);
    Record_And_Resize(900, 500);
    // A batch switches drawing off; it must be back on afterwards.
    EXPECT_TRUE(::IsWindowVisible(window.form.Handle()));
    EXPECT_TRUE(::IsWindowVisible(window.print.Handle()));
}

// Wine 8 keeps a window out of the topmost band while it owns a topmost popup
// such as the form's tooltip (a raw window with one behaves alike); these
// tests watch the option itself, on forms without one.
void Without_Tooltip(Form& form) { ::DestroyWindow(form.Tooltip()); }

TEST(Layout_Always_On_Top, the_mark_and_the_band_always_agree) {
    Layout_Test_Form window;
    Without_Tooltip(window.form);
    window.form.Show_Window(SW_SHOWNOACTIVATE);
    const Bounds placed = window.form.Window_Bounds();
    auto topmost = [&] { return (::GetWindowLongW(window.form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_FALSE(topmost());

    Toggle_Always_On_Top(window.form, window.always_on_top);
    EXPECT_TRUE(window.always_on_top.Checked());
    EXPECT_TRUE(topmost());

    Toggle_Always_On_Top(window.form, window.always_on_top);
    EXPECT_FALSE(window.always_on_top.Checked());
    EXPECT_FALSE(topmost());
    EXPECT_EQ(window.form.Window_Bounds(), placed);
}

TEST(Layout_Always_On_Top, a_mark_set_beforehand_is_applied_by_inverting_and_toggling) {
    // The first-show steps put the stored mark on the window this way.
    for (bool stored : {true, false}) {
        Layout_Test_Form window;
        Without_Tooltip(window.form);
        window.always_on_top.Set_Checked(!stored);
        Toggle_Always_On_Top(window.form, window.always_on_top);
        EXPECT_EQ(window.always_on_top.Checked(), stored);
        EXPECT_EQ((::GetWindowLongW(window.form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, stored);
    }
}

}  // namespace
}  // namespace velbrook

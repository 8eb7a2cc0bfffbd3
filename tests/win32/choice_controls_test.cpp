// Radio buttons, the drop-down list and the edit's change notice, driven
// with the messages the user's clicks and keys send.

#include <gtest/gtest.h>

#include "toolkit/application.h"
#include "toolkit/choice_controls.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

class Choice_Controls : public ::testing::Test {
protected:
    Choice_Controls() : application(dialogs, L"Velbrook v1.0f"), form(L"Test", Form::Options{.caption = L"Test"}) {
        form.Show();
    }
    ~Choice_Controls() override { EXPECT_TRUE(dialogs.messages.empty()); }
    Radio_Button& Radio(const wchar_t* name, int top, bool group_start) {
        return form.Add<Radio_Button>(&form, name, Bounds{10, top, 120, 20},
                                      Radio_Button::Options{.caption = name, .group_start = group_start});
    }
    Scripted_Dialogs dialogs;
    Application application;
    Form form;
};

TEST_F(Choice_Controls, Radio_Groups_Run_In_Creation_Order_And_A_Click_Checks_One_Of_Its_Group) {
    Radio_Button& a = Radio(L"A", 10, true);
    Radio_Button& b = Radio(L"B", 30, false);
    Radio_Button& c = Radio(L"C", 50, false);
    // The edit after the first group ends it.
    Edit& edit = form.Add<Edit>(&form, L"E", Bounds{140, 10, 80, 22});
    Radio_Button& x = Radio(L"X", 70, true);
    Radio_Button& y = Radio(L"Y", 90, false);
    EXPECT_EQ(b.Group(), (std::vector<Radio_Button*>{&a, &b, &c}));
    EXPECT_EQ(y.Group(), (std::vector<Radio_Button*>{&x, &y}));

    std::vector<std::wstring> clicks;
    for (Radio_Button* button : {&a, &b, &c, &x, &y})
        button->On_Click = [&clicks, button] { clicks.push_back(button->Text()); };
    a.Set_Checked(true);
    x.Set_Checked(true);
    c.Set_Checked(true);
    EXPECT_EQ(clicks, std::vector<std::wstring>{}) << "checking by program is no click";
    struct Step {
        Radio_Button* clicked;
        std::vector<Radio_Button*> checked;
    } steps[] = {
        {&b, {&b, &x}},
        {&y, {&b, &y}},
        {&y, {&b, &y}},
        {&a, {&a, &y}},
    };
    for (const Step& step : steps) {
        ::SendMessageW(step.clicked->Handle(), BM_CLICK, 0, 0);
        for (Radio_Button* button : {&a, &b, &c, &x, &y}) {
            const bool wanted = std::find(step.checked.begin(), step.checked.end(), button) != step.checked.end();
            EXPECT_EQ(button->Checked(), wanted) << "after " << step.clicked->Name() << ", " << button->Name();
        }
    }
    EXPECT_EQ(clicks, (std::vector<std::wstring>{L"B", L"Y", L"Y", L"A"}));

    // Typed or set, the edit says that its text changed.
    int changes = 0;
    edit.On_Change = [&changes] { ++changes; };
    ::SendMessageW(edit.Handle(), WM_CHAR, L'7', 1);
    EXPECT_EQ(edit.Text(), L"7");
    edit.Set_Text(L"12");
    EXPECT_EQ(changes, 2);
}

TEST_F(Choice_Controls, A_Drop_Down_List_Chooses_One_Item_And_Reports_The_Users_Choice_Only) {
    Combo_Box& box = form.Add<Combo_Box>(
        &form, L"Sizes", Bounds{10, 10, 150, 23},
        Combo_Box::Options{.items = {L"A4", L"Letter", L"A3"}, .selected = 1, .control = {.tab_order = 0}});
    EXPECT_EQ(box.Count(), 3);
    EXPECT_EQ(box.Item(2), L"A3");
    EXPECT_EQ(box.Item(7), L"");
    EXPECT_EQ(box.Selected(), 1);
    EXPECT_EQ(box.Text(), L"Letter");
    EXPECT_EQ(box.Find(L"A3"), 2);
    EXPECT_EQ(box.Find(L"a3"), -1);
    EXPECT_LT(box.Height(), 30) << "the bounds keep the closed box";
    RECT window;
    ::GetWindowRect(box.Handle(), &window);
    EXPECT_LT(window.bottom - window.top, 30) << "the closed box takes its font's height";

    std::vector<int> changes;
    box.On_Change = [&] { changes.push_back(box.Selected()); };
    box.Select(0);
    EXPECT_EQ(box.Selected(), 0);
    // The arrow keys choose in the closed list, as the user does.
    ::SetFocus(box.Handle());
    ::SendMessageW(box.Handle(), WM_KEYDOWN, VK_DOWN, 1);
    ::SendMessageW(box.Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(changes, (std::vector<int>{1, 2}));
    box.Clear();
    EXPECT_EQ(box.Count(), 0);
    EXPECT_EQ(box.Selected(), -1);
    EXPECT_EQ(box.Add(L"Only"), 0);
}

}  // namespace
}  // namespace velbrook

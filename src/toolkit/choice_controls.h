#pragma once
// The controls that choose one of several things: radio buttons and the
// drop-down list.

#include <string>
#include <vector>

#include "toolkit/component.h"

namespace velbrook {

// How a radio button is made.
struct Radio_Button_Options {
    std::wstring caption;
    // The first button of a group; the group runs, in the parent's creation
    // order, to the next button that starts one.  The system clears a group
    // in the windows' order, so a group's buttons keep their creation order
    // in the tab order.
    bool group_start = false;
    bool checked = false;
    Control_Options control;
};

// A round button that the system checks when clicked, clearing the other
// buttons of its group.
class Radio_Button : public Windowed_Control {
public:
    using Options = Radio_Button_Options;
    Radio_Button(Container* parent, std::wstring name, Bounds bounds, const Options& options);

    bool Group_Start() const { return group_start_; }
    bool Checked() const;
    // Checking by program also clears the others of its group, as a click does.
    void Set_Checked(bool checked);
    // The buttons of this one's group, in creation order, this one included.
    std::vector<Radio_Button*> Group() const;

    // A click, of the user or of BM_CLICK; the button is already checked.
    std::function<void()> On_Click;
    bool On_Command(WORD code) override;

private:
    bool group_start_;
};

// How a drop-down list is made.
struct Combo_Box_Options {
    std::vector<std::wstring> items;
    int selected = -1;        // -1: nothing chosen
    int dropped_lines = 12;   // the opened list's height, in items
    Control_Options control;  // the bounds give the closed box
};

// A list that opens under a box showing the chosen item (CBS_DROPDOWNLIST):
// the user picks one of the items and types nothing.
class Combo_Box : public Windowed_Control {
public:
    using Options = Combo_Box_Options;
    Combo_Box(Container* parent, std::wstring name, Bounds bounds, const Options& options);

    int Count() const;
    std::wstring Item(int index) const;
    int Add(const std::wstring& text);
    void Clear();
    int Selected() const;  // -1 when nothing is chosen
    // Chooses by program; On_Change does not run.
    void Select(int index);
    // The index of the item with exactly this text, or -1.
    int Find(const std::wstring& text) const;

    // The user chose another item.
    std::function<void()> On_Change;
    bool On_Command(WORD code) override;

protected:
    // A drop-down list's window height is that of its opened list.
    void Apply_Bounds() override;
    void Apply_Font() override;

private:
    int dropped_lines_;
};

}  // namespace velbrook

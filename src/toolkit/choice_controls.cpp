#include "toolkit/choice_controls.h"

namespace velbrook {

// ---- Radio_Button --------------------------------------------------------

Radio_Button::Radio_Button(Container* parent, std::wstring name, Bounds bounds, const Options& options)
    : Windowed_Control(parent, std::move(name), bounds,
                       Window_Style{.class_name = L"BUTTON",
                                    .style = BS_AUTORADIOBUTTON | (options.group_start ? WS_GROUP | WS_TABSTOP : 0u),
                                    .text = options.caption}),
      group_start_(options.group_start) {
    Apply_Options(options.control);
    if (options.checked) Set_Checked(true);
}

bool Radio_Button::Checked() const { return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<Radio_Button*> Radio_Button::Group() const {
    std::vector<Radio_Button*> group;
    if (!Parent()) return group;
    bool found = false;
    for (Control* child : Parent()->Children()) {
        auto* button = dynamic_cast<Radio_Button*>(child);
        if (!button) continue;
        if (button->group_start_) {
            if (found) break;
            group.clear();
        }
        group.push_back(button);
        found = found || button == this;
    }
    return group;
}

void Radio_Button::Set_Checked(bool checked) {
    if (checked) {
        for (Radio_Button* other : Group())
            if (other != this) ::SendMessageW(other->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    }
    // The system moves the tab stop to the checked button of the group.
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Radio_Button::On_Command(WORD code) {
    if (code != BN_CLICKED) return false;
    // The system clears the buttons of its own group, which follows the
    // windows' order; the toolkit's follows creation order.
    if (Checked()) Set_Checked(true);
    if (On_Click) On_Click();
    return true;
}

// ---- Combo_Box -----------------------------------------------------------

Combo_Box::Combo_Box(Container* parent, std::wstring name, Bounds bounds, const Options& options)
    : Windowed_Control(
          parent, std::move(name), bounds,
          Window_Style{.class_name = L"COMBOBOX", .style = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP}),
      dropped_lines_(options.dropped_lines) {
    for (const std::wstring& item : options.items) Add(item);
    Select(options.selected);
    Apply_Options(options.control);
    Apply_Bounds();
}

int Combo_Box::Count() const { return static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }

std::wstring Combo_Box::Item(int index) const {
    LRESULT length = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got =
        ::SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

int Combo_Box::Add(const std::wstring& text) {
    return static_cast<int>(::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void Combo_Box::Clear() { ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0); }

int Combo_Box::Selected() const {
    LRESULT index = ::SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Combo_Box::Select(int index) { ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int Combo_Box::Find(const std::wstring& text) const {
    for (int i = 0; i < Count(); ++i)
        if (Item(i) == text) return i;
    return -1;
}

bool Combo_Box::On_Command(WORD code) {
    if (code != CBN_SELCHANGE) return false;
    if (On_Change) On_Change();
    return true;
}

void Combo_Box::Apply_Bounds() {
    const Bounds& b = Get_Bounds();
    LRESULT line = ::SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0);
    const int list = (line == CB_ERR ? b.height : static_cast<int>(line)) * dropped_lines_ + 2;
    ::SetWindowPos(Handle(), nullptr, b.left, b.top, b.width, b.height + list, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Combo_Box::Apply_Font() {
    Windowed_Control::Apply_Font();
    // The items' height follows the font, and the opened list with it.
    Apply_Bounds();
}

}  // namespace velbrook

#include "toolkit/form.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <map>

#include "toolkit/controls.h"
#include "toolkit/dpi.h"

namespace velbrook {

Form::Form(std::wstring name, const Options& options)
    : Container(nullptr, std::move(name), options.bounds,
                Window_Style{.style = options.style | WS_CLIPCHILDREN,
                             .ex_style = options.ex_style | WS_EX_CONTROLPARENT,
                             .text = options.caption}) {
    dpi_ = Window_Dpi(Handle());
    Control::Set_Font(options.font);
    if (options.owner) ::SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(options.owner));
    // The hints' window is not owned by the form: an owned topmost popup keeps
    // Wine from putting its owner in the topmost band (Always On Top).
    tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
}

Form::~Form() {
    // The menu bar component owns the menu, not the window.
    if (menu_ && Handle()) ::SetMenu(Handle(), nullptr);
    // Children go before their parents.
    while (!components_.empty()) components_.pop_back();
}

void Form::Adopt(Component& component) {
    if (auto* item = dynamic_cast<Menu_Item*>(&component)) menu_items_.push_back(item);
}

Component* Form::Find_Component(std::wstring_view name) const {
    for (const auto& component : components_)
        if (component->Name() == name) return component.get();
    return nullptr;
}

void Form::Set_Bounds(const Bounds& bounds) {
    ::SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

Bounds Form::Window_Bounds() const {
    RECT r;
    ::GetWindowRect(Handle(), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

SIZE Form::Client_Size() const {
    RECT r;
    ::GetClientRect(Handle(), &r);
    return {r.right - r.left, r.bottom - r.top};
}

void Form::Set_Client_Width(int width) {
    Bounds outer = Window_Bounds();
    SIZE client = Client_Size();
    Set_Bounds({outer.left, outer.top, outer.width - client.cx + width, outer.height});
}

void Form::Set_Client_Height(int height) {
    Bounds outer = Window_Bounds();
    SIZE client = Client_Size();
    Set_Bounds({outer.left, outer.top, outer.width, outer.height - client.cy + height});
}

void Form::Lay_Out_For_Dpi() {
    if (!design_) {
        Design_Layout design{.client = Client_Size()};
        for (const auto& component : components_)
            if (Control* control = component->As_Control()) design.bounds.emplace_back(control, control->Get_Bounds());
        design_ = std::move(design);
        // At 96 dpi the design is what stands.
        if (dpi_ == Design_Dpi) return;
    }
    // Ending a batch shows a hidden window (WM_SETREDRAW): a hidden one
    // needs none.
    std::optional<Layout_Batch> batch;
    if (::IsWindowVisible(Handle())) batch.emplace(*this);
    for (const auto& [control, bounds] : design_->bounds) {
        control->Set_Bounds({Dpi_Scaled(bounds.left, dpi_), Dpi_Scaled(bounds.top, dpi_),
                             Dpi_Scaled(bounds.width, dpi_), Dpi_Scaled(bounds.height, dpi_)});
    }
    const SIZE client = Client_Size();
    const int width = Dpi_Scaled(design_->client.cx, dpi_), height = Dpi_Scaled(design_->client.cy, dpi_);
    if (client.cx != width) Set_Client_Width(width);
    if (client.cy != height) Set_Client_Height(height);
}

SIZE Form::Frame_At(int dpi) const {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
    return Frame_Size(style, ex_style, ::GetMenu(Handle()) != nullptr, dpi);
}

SIZE Form::Design_Outer_Size(SIZE outer) const {
    if (dpi_ == Design_Dpi) return outer;
    const SIZE frame = Frame_At(dpi_), design_frame = Frame_At(Design_Dpi);
    return {Dpi_Unscaled(outer.cx - frame.cx, dpi_) + design_frame.cx,
            Dpi_Unscaled(outer.cy - frame.cy, dpi_) + design_frame.cy};
}

SIZE Form::Outer_Size_For_Design(SIZE design) const {
    if (dpi_ == Design_Dpi) return design;
    const SIZE frame = Frame_At(dpi_), design_frame = Frame_At(Design_Dpi);
    return {Dpi_Scaled(design.cx - design_frame.cx, dpi_) + frame.cx,
            Dpi_Scaled(design.cy - design_frame.cy, dpi_) + frame.cy};
}

void Form::Take_Dpi(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    {
        std::optional<Layout_Batch> batch;
        if (::IsWindowVisible(Handle())) batch.emplace(*this);
        Refresh_For_Dpi();
        for (const auto& component : components_)
            if (Control* control = component->As_Control()) control->Refresh_For_Dpi();
        ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (design_) Lay_Out_For_Dpi();
    }
    if (On_Dpi_Change) On_Dpi_Change();
}

bool Form::Query_Close() {
    bool can_close = true;
    if (On_Close_Query) On_Close_Query(can_close);
    return can_close;
}

void Form::Close() { ::SendMessageW(Handle(), WM_CLOSE, 0, 0); }

void Form::Show() {
    activated_since_show_ = false;
    if (On_Show) On_Show();
    if (!::IsWindowVisible(Handle())) ::ShowWindow(Handle(), SW_SHOW);
    Set_Visible_State(true);
}

void Form::Show_Modal() {
    HWND owner = ::GetWindow(Handle(), GW_OWNER);
    modal_ = true;
    closed_ = false;
    if (owner) ::EnableWindow(owner, FALSE);
    Show();
    ::SetForegroundWindow(Handle());
    // A quit message ends this loop and goes on to the program's own.
    if (std::optional<int> quit = Pump_Until([this] { return closed_; }, Pump_Wait::For_Each)) ::PostQuitMessage(*quit);
    if (owner) {
        ::EnableWindow(owner, TRUE);
        ::SetForegroundWindow(owner);
    }
    ::ShowWindow(Handle(), SW_HIDE);
    modal_ = false;
}

void Form::Set_Menu(Menu_Bar& menu) {
    menu_ = &menu;
    ::SetMenu(Handle(), menu.Handle());
    ::DrawMenuBar(Handle());
}

Menu_Item* Form::Find_Menu_Item(WORD id) const {
    for (Menu_Item* item : menu_items_)
        if (item->Id() == id) return item;
    return nullptr;
}

void Form::Apply_Tab_Order() {
    std::vector<Container*> containers{this};
    for (size_t i = 0; i < containers.size(); ++i) {
        std::vector<Windowed_Control*> ordered;
        for (Control* child : containers[i]->Children()) {
            if (auto* container = dynamic_cast<Container*>(child)) containers.push_back(container);
            if (auto* windowed = dynamic_cast<Windowed_Control*>(child); windowed && child->Tab_Order() >= 0)
                ordered.push_back(windowed);
        }
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](auto* a, auto* b) { return a->Tab_Order() < b->Tab_Order(); });
        HWND after = HWND_TOP;
        for (Windowed_Control* control : ordered) {
            ::SetWindowPos(control->Handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = control->Handle();
        }
    }
}

void Form::Center_On_Screen() {
    Bounds outer = Window_Bounds();
    int left = (::GetSystemMetrics(SM_CXSCREEN) - outer.width) / 2;
    int top = (::GetSystemMetrics(SM_CYSCREEN) - outer.height) / 2;
    Set_Bounds({left, top, outer.width, outer.height});
}

bool Form::Preview_Key(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    wchar_t class_name[64] = {};
    // Only our own windows carry a control in their user data.
    if (!root || !::GetClassNameW(root, class_name, 64) || wcscmp(class_name, Toolkit_Class_Name()) != 0) return false;
    auto* form = dynamic_cast<Form*>(From_Handle(root));
    if (!form || !form->key_preview_ || !form->On_Key_Down) return false;
    WORD key = static_cast<WORD>(message.wParam);
    // A failing handler has spent the key.
    return Guarded(
        [&] {
            form->On_Key_Down(key);
            return key == 0;
        },
        true);
}

Form::Layout_Batch::Layout_Batch(Form& form) : form_(form) {
    if (form_.batch_depth_++ == 0) ::SendMessageW(form_.Handle(), WM_SETREDRAW, FALSE, 0);
}

Form::Layout_Batch::~Layout_Batch() {
    if (--form_.batch_depth_ == 0) {
        ::SendMessageW(form_.Handle(), WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(form_.Handle(), nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

LRESULT Form::Handle_Message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (lparam == 0) {
                if (Menu_Item* item = Find_Menu_Item(LOWORD(wparam))) {
                    item->Click();
                    return 0;
                }
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam)) {
                HWND previous = reinterpret_cast<HWND>(lparam);
                bool from_this_thread =
                    previous && ::GetWindowThreadProcessId(previous, nullptr) == ::GetCurrentThreadId();
                if (!activated_since_show_ || from_this_thread) {
                    activated_since_show_ = true;
                    if (On_Activate) On_Activate();
                }
            }
            break;
        case DM_GETDEFID:
            // The default button answers Enter wherever the focus is.
            for (const auto& component : components_) {
                auto* button = dynamic_cast<Button*>(component.get());
                if (button && button->Default() && button->Visible() && button->Enabled())
                    return MAKELRESULT(::GetDlgCtrlID(button->Handle()), DC_HASDEFID);
            }
            return 0;
        case WM_SIZE:
            if (On_Resize) On_Resize();
            ::InvalidateRect(Handle(), nullptr, FALSE);
            break;
        case WM_CLOSE:
            if (Query_Close()) {
                closed_ = true;
                ::ShowWindow(Handle(), SW_HIDE);
                Set_Visible_State(false);
                if (!modal_ && Application::Exists() && Application::Current().Main_Form() == this)
                    ::PostQuitMessage(0);
            }
            return 0;
        case WM_DPICHANGED:
            Take_Dpi(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_QUERYENDSESSION:
            return Query_Close() ? TRUE : FALSE;
        case WM_DROPFILES:
            if (On_Drop_Files) {
                On_Drop_Files(reinterpret_cast<HDROP>(wparam));
            } else {
                ::DragFinish(reinterpret_cast<HDROP>(wparam));
            }
            return 0;
        default:
            break;
    }
    return Container::Handle_Message(message, wparam, lparam);
}

}  // namespace velbrook

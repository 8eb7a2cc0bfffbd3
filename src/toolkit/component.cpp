#include "toolkit/component.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "toolkit/dpi.h"
#include "toolkit/failure.h"
#include "toolkit/form.h"

namespace velbrook {

namespace {

const wchar_t toolkit_class[] = L"Velbrook.Window";

void Register_Toolkit_Class() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = Toolkit_Window_Proc;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    window_class.lpszClassName = toolkit_class;
    ::RegisterClassExW(&window_class);
    registered = true;
}

}  // namespace

const wchar_t* Toolkit_Class_Name() { return toolkit_class; }

int Font_Height_For_Points(int points, int dpi) { return -::MulDiv(points, dpi, 72); }

int Font_Height_For_Points(int points) {
    Window_Dc screen(nullptr);
    return Font_Height_For_Points(points, ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

HFONT Cached_Font(const Font_Spec& spec) {
    Window_Dc screen(nullptr);
    return Cached_Font(spec, ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

HFONT Cached_Font(const Font_Spec& spec, int dpi) {
    static std::map<std::tuple<std::wstring, int, bool, bool, int>, Font_Handle> cache;
    auto key = std::make_tuple(spec.face, spec.points, spec.bold, spec.underline, dpi);
    auto found = cache.find(key);
    if (found != cache.end()) return found->second.get();
    LOGFONTW font{};
    font.lfHeight = Font_Height_For_Points(spec.points, dpi);
    font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = spec.underline ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    spec.face.copy(font.lfFaceName, LF_FACESIZE - 1);
    HFONT handle = ::CreateFontIndirectW(&font);
    cache.emplace(key, Font_Handle(handle));
    return handle;
}

// ---- Control -------------------------------------------------------------

Control::Control(Container* parent, std::wstring name, Bounds bounds)
    : Component(std::move(name)), parent_(parent), bounds_(bounds) {
    if (parent_) {
        font_ = parent_->Font();
        parent_->Add_Child(*this);
    }
}

void Control::Apply_Options(const Control_Options& options) {
    if (options.font) Set_Font(*options.font);
    Set_Tab_Order(options.tab_order);
    if (!options.visible) Set_Visible(false);
    if (!options.hint.empty()) Set_Hint(options.hint);
}

void Control::Set_Bounds(const Bounds& bounds) {
    if (bounds == bounds_) return;
    bounds_ = bounds;
    Apply_Bounds();
}

void Control::Set_Font(const Font_Spec& font) {
    font_ = font;
    Apply_Font();
}

void Control::Set_Font_Points(int points) {
    if (points == font_.points) return;
    font_.points = points;
    Apply_Font();
}

void Control::Set_Enabled(bool enabled) {
    enabled_ = enabled;
    Apply_Enabled();
}

void Control::Set_Visible(bool visible) {
    visible_ = visible;
    Apply_Visible();
}

void Control::Set_Hint(std::wstring hint) {
    hint_ = std::move(hint);
    Apply_Hint();
}

int Control::Dpi() const {
    const Form* form = Owner_Form();
    return form && form->Form_Dpi() > 0 ? form->Form_Dpi() : Screen_Dpi();
}

Form* Control::Owner_Form() const {
    const Control* control = this;
    while (control->parent_) control = control->parent_;
    return dynamic_cast<Form*>(const_cast<Control*>(control));
}

// ---- Windowed_Control ----------------------------------------------------

Windowed_Control::Windowed_Control(Container* parent, std::wstring name, Bounds bounds, const Window_Style& style)
    : Control(parent, std::move(name), bounds) {
    Register_Toolkit_Class();
    DWORD window_style = style.style;
    HWND parent_window = nullptr;
    if (parent) {
        window_style |= WS_CHILD | WS_VISIBLE;
        parent_window = parent->Handle();
    }
    const wchar_t* class_name = style.class_name ? style.class_name : toolkit_class;
    HWND window =
        ::CreateWindowExW(style.ex_style, class_name, style.text.c_str(), window_style, bounds.left, bounds.top,
                          bounds.width, bounds.height, parent_window, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window) throw Failure(L"Unable to create the window " + Name());
    if (style.class_name) Attach(window);
    if (!parent) Set_Visible_State(false);  // forms start hidden
    Apply_Font();
}

Windowed_Control::~Windowed_Control() {
    if (window_ && ::IsWindow(window_)) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void Windowed_Control::Attach(HWND window) {
    window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Windowed_Control* Windowed_Control::From_Handle(HWND window) {
    // Only the windows this program made carry a control: another module's
    // window (a box's button, a common dialog's child) keeps whatever it
    // likes in its user data.
    if (!window ||
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE)) != ::GetModuleHandleW(nullptr))
        return nullptr;
    return reinterpret_cast<Windowed_Control*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

std::wstring Windowed_Control::Text() const {
    int length = ::GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = ::GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<size_t>(got));
    return text;
}

void Windowed_Control::Set_Text(const std::wstring& text) { ::SetWindowTextW(window_, text.c_str()); }

void Windowed_Control::Bring_To_Front() {
    ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void Windowed_Control::Invalidate() { ::InvalidateRect(window_, nullptr, TRUE); }

void Windowed_Control::Apply_Bounds() {
    const Bounds& b = Get_Bounds();
    ::SetWindowPos(window_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Windowed_Control::Apply_Font() {
    font_handle_ = Cached_Font(Font(), Dpi());
    ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_handle_), TRUE);
}

void Windowed_Control::Apply_Enabled() { ::EnableWindow(window_, Enabled()); }

void Windowed_Control::Apply_Visible() {
    if (Parent()) ::ShowWindow(window_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void Windowed_Control::Apply_Hint() {
    Form* form = Owner_Form();
    if (!form || !form->Tooltip()) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(window_);
    tool.uId = reinterpret_cast<UINT_PTR>(window_);
    ::SendMessageW(form->Tooltip(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (Hint().empty()) return;
    tool.lpszText = const_cast<wchar_t*>(Hint().c_str());
    ::SendMessageW(form->Tooltip(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT Windowed_Control::Handle_Message(UINT message, WPARAM wparam, LPARAM lparam) {
    return ::DefWindowProcW(window_, message, wparam, lparam);
}

LRESULT CALLBACK Toolkit_Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        auto* control = static_cast<Windowed_Control*>(create->lpCreateParams);
        if (control) control->Attach(window);
    }
    Windowed_Control* control = Windowed_Control::From_Handle(window);
    if (!control) return ::DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        control->window_ = nullptr;
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
    return Guarded([&] { return control->Handle_Message(message, wparam, lparam); }, LRESULT{0});
}

// ---- Graphic_Control -----------------------------------------------------

Graphic_Control::Graphic_Control(Container* parent, std::wstring name, Bounds bounds)
    : Control(parent, std::move(name), bounds) {}

RECT Graphic_Control::Area() const {
    const Bounds& b = Get_Bounds();
    return RECT{b.left, b.top, b.left + b.width, b.top + b.height};
}

void Graphic_Control::Invalidate() {
    if (!Parent() || !Parent()->Handle()) return;
    RECT area = Area();
    ::InvalidateRect(Parent()->Handle(), &area, FALSE);
}

void Graphic_Control::Apply_Bounds() {
    // The old place and the new one both need painting.
    if (Parent() && Parent()->Handle()) ::InvalidateRect(Parent()->Handle(), nullptr, FALSE);
    if (!Hint().empty()) Apply_Hint();
}

void Graphic_Control::Send_To_Back() {
    if (!Parent()) return;
    Parent()->Send_Child_To_Back(*this);
    Invalidate();
}

void Graphic_Control::Apply_Hint() {
    // A windowless control's hint is a rectangle of its parent's window.
    Form* form = Owner_Form();
    if (!form || !form->Tooltip() || !Parent() || !Parent()->Handle()) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Parent()->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(this);
    ::SendMessageW(form->Tooltip(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (Hint().empty()) return;
    tool.rect = Area();
    tool.lpszText = const_cast<wchar_t*>(Hint().c_str());
    ::SendMessageW(form->Tooltip(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// ---- Container -----------------------------------------------------------

Container::Container(Container* parent, std::wstring name, Bounds bounds, const Window_Style& style)
    : Windowed_Control(parent, std::move(name), bounds, style) {}

void Container::Add_Child(Control& child) { children_.push_back(&child); }

void Container::Send_Child_To_Back(Control& child) {
    auto found = std::find(children_.begin(), children_.end(), &child);
    if (found == children_.end()) return;
    children_.erase(found);
    children_.insert(children_.begin(), &child);
}

Graphic_Control* Container::Graphic_At(POINT where) const {
    for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
        auto* graphic = dynamic_cast<Graphic_Control*>(*child);
        if (!graphic || !graphic->Visible()) continue;
        RECT area = graphic->Area();
        if (::PtInRect(&area, where)) return graphic;
    }
    return nullptr;
}

void Container::Paint_Under(const Windowed_Control& child, HDC child_dc) {
    RECT place;
    ::GetWindowRect(child.Handle(), &place);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    POINT old_origin;
    ::SetViewportOrgEx(child_dc, -place.left, -place.top, &old_origin);
    Paint(child_dc, place);
    ::SetViewportOrgEx(child_dc, old_origin.x, old_origin.y, nullptr);
}

void Container::Paint_Face(HDC, const RECT&) {}

void Container::Paint(HDC target, const RECT& dirty) {
    RECT client;
    ::GetClientRect(Handle(), &client);
    int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;
    // Paint off screen and copy once: no flicker while the border is dragged.
    Dc_Handle buffer(::CreateCompatibleDC(target));
    Bitmap_Handle bitmap(::CreateCompatibleBitmap(target, width, height));
    if (!buffer || !bitmap) return;
    {
        Select_Guard select(buffer.get(), bitmap.get());
        ::FillRect(buffer.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        Paint_Face(buffer.get(), client);
        for (Control* child : children_) {
            auto* graphic = dynamic_cast<Graphic_Control*>(child);
            if (!graphic || !graphic->Visible()) continue;
            RECT area = graphic->Area(), overlap;
            if (!::IntersectRect(&overlap, &area, &dirty)) continue;
            Dc_State_Guard state(buffer.get());
            ::IntersectClipRect(buffer.get(), area.left, area.top, area.right, area.bottom);
            graphic->Paint(buffer.get(), area);
        }
        ::BitBlt(target, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, buffer.get(),
                 dirty.left, dirty.top, SRCCOPY);
    }
}

LRESULT Container::Handle_Message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (lparam) {
                if (auto* child = From_Handle(reinterpret_cast<HWND>(lparam));
                    child && child->On_Command(HIWORD(wparam)))
                    return 0;
            }
            break;
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (auto* child = From_Handle(item->hwndItem); child && child->On_Draw_Item(*item)) return TRUE;
            break;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (auto* child = From_Handle(header->hwndFrom); child && child != this) return child->On_Notify(*header);
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wparam);
            if (auto* child = From_Handle(reinterpret_cast<HWND>(lparam)); child && child != this) {
                if (HBRUSH brush = child->On_Control_Colour(dc)) return reinterpret_cast<LRESULT>(brush);
            }
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            Paint_Dc paint(Handle());
            Paint(paint.get(), paint.Dirty());
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT client;
            ::GetClientRect(Handle(), &client);
            Paint(reinterpret_cast<HDC>(wparam), client);
            return 0;
        }
        case WM_LBUTTONDOWN: {
            POINT where{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
                auto* graphic = dynamic_cast<Graphic_Control*>(*child);
                if (!graphic || !graphic->Visible() || !graphic->Enabled()) continue;
                RECT area = graphic->Area();
                if (!::PtInRect(&area, where)) continue;
                graphic->On_Mouse_Down(where);
                if (graphic->On_Click) graphic->On_Click();
                return 0;
            }
            break;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK: {
            const POINT where{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            Graphic_Control* graphic = Graphic_At(where);
            if (!graphic || !graphic->Enabled()) break;
            if (message == WM_MOUSEMOVE) {
                graphic->On_Mouse_Move(where);
            } else if (message == WM_LBUTTONUP) {
                graphic->On_Mouse_Up(where);
            } else {
                graphic->On_Double_Click(where);
            }
            return 0;
        }
        case WM_SETCURSOR: {
            bool busy = Application::Exists() && Application::Current().Cursor() == Cursor_Kind::Hourglass;
            if (!busy) {
                auto* control = From_Handle(reinterpret_cast<HWND>(wparam));
                busy = control && control->Own_Cursor() == Cursor_Kind::Hourglass;
            }
            if (busy) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            if (LOWORD(lparam) != HTCLIENT) break;
            const Control* pointed = nullptr;
            if (reinterpret_cast<HWND>(wparam) == Handle()) {
                POINT where;
                ::GetCursorPos(&where);
                ::ScreenToClient(Handle(), &where);
                pointed = Graphic_At(where);
            } else {
                pointed = From_Handle(reinterpret_cast<HWND>(wparam));
            }
            if (pointed && pointed->Own_Cursor() == Cursor_Kind::Hand_Point) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        default:
            break;
    }
    return Windowed_Control::Handle_Message(message, wparam, lparam);
}

}  // namespace velbrook

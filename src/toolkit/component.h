#pragma once
// Components and controls.  A form keeps its components in creation order:
// the layout table and the busy state walk that order.  Controls have a name,
// a parent, bounds relative to the parent, a font, enabled and visible
// states, a cursor and a hint.  Windowed controls wrap a window of their own;
// graphic controls have none and are painted by their parent, which also
// hands them their clicks.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/handles.h"

namespace velbrook {

class Control;
class Container;
class Form;

LRESULT CALLBACK Toolkit_Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

class Component {
public:
    explicit Component(std::wstring name) : name_(std::move(name)) {}
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const std::wstring& Name() const { return name_; }
    // Visual controls answer themselves; menus, menu items and dialogs do not.
    virtual Control* As_Control() { return nullptr; }

private:
    std::wstring name_;
};

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

struct Font_Spec {
    std::wstring face = L"Times New Roman";
    int points = 11;  // 15 pixels at 96 dpi
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font_Spec&, const Font_Spec&) = default;
};

// The pixel height (negative: character height) of a font of `points` at
// `dpi`, or on the screen.
int Font_Height_For_Points(int points, int dpi);
int Font_Height_For_Points(int points);

// What any control can be given as it is made, beside its name and place;
// each kind's own Options hold these as `.control`.
struct Control_Options {
    int tab_order = -1;  // -1: out of the tab order
    bool visible = true;
    std::wstring hint;
    const Font_Spec* font = nullptr;  // null: the parent's
};

class Control : public Component {
public:
    Control(Container* parent, std::wstring name, Bounds bounds);
    Control* As_Control() override { return this; }

    Container* Parent() const { return parent_; }
    const Bounds& Get_Bounds() const { return bounds_; }
    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.width; }
    int Height() const { return bounds_.height; }
    void Set_Left(int value) { Set_Bounds({value, bounds_.top, bounds_.width, bounds_.height}); }
    void Set_Top(int value) { Set_Bounds({bounds_.left, value, bounds_.width, bounds_.height}); }
    void Set_Width(int value) { Set_Bounds({bounds_.left, bounds_.top, value, bounds_.height}); }
    void Set_Height(int value) { Set_Bounds({bounds_.left, bounds_.top, bounds_.width, value}); }
    virtual void Set_Bounds(const Bounds& bounds);

    // The resolution the control's form is laid out for (the screen's while
    // it has none).
    int Dpi() const;
    // Makes the font and pictures again after the form's resolution changed.
    virtual void Refresh_For_Dpi() { Apply_Font(); }

    const Font_Spec& Font() const { return font_; }
    int Font_Points() const { return font_.points; }
    void Set_Font(const Font_Spec& font);
    void Set_Font_Points(int points);

    bool Enabled() const { return enabled_; }
    virtual void Set_Enabled(bool enabled);
    bool Visible() const { return visible_; }
    virtual void Set_Visible(bool visible);

    Cursor_Kind Own_Cursor() const { return cursor_; }
    void Set_Cursor(Cursor_Kind cursor) { cursor_ = cursor; }

    const std::wstring& Hint() const { return hint_; }
    void Set_Hint(std::wstring hint);

    int Tab_Order() const { return tab_order_; }
    void Set_Tab_Order(int order) { tab_order_ = order; }

    virtual HWND Handle() const { return nullptr; }
    Form* Owner_Form() const;

protected:
    // For the constructors of the kinds: the common options, once the control exists.
    void Apply_Options(const Control_Options& options);
    void Set_Visible_State(bool visible) { visible_ = visible; }
    virtual void Apply_Bounds() {}
    virtual void Apply_Font() {}
    virtual void Apply_Enabled() {}
    virtual void Apply_Visible() {}
    virtual void Apply_Hint() {}

private:
    Container* parent_;
    Bounds bounds_;
    Font_Spec font_;
    bool enabled_ = true;
    bool visible_ = true;
    Cursor_Kind cursor_ = Cursor_Kind::Default;
    std::wstring hint_;
    int tab_order_ = -1;
};

struct Window_Style {
    const wchar_t* class_name = nullptr;  // null: the toolkit's own class
    DWORD style = 0;
    DWORD ex_style = 0;
    std::wstring text;
};

class Windowed_Control : public Control {
public:
    Windowed_Control(Container* parent, std::wstring name, Bounds bounds, const Window_Style& style);
    ~Windowed_Control() override;
    HWND Handle() const override { return window_; }

    std::wstring Text() const;
    void Set_Text(const std::wstring& text);

    void Bring_To_Front();
    void Invalidate();

    // Notifications that the parent reflects back to the control.
    virtual bool On_Command(WORD /*code*/) { return false; }
    // WM_CTLCOLORSTATIC for this control: null leaves the parent's colours.
    virtual HBRUSH On_Control_Colour(HDC /*dc*/) { return nullptr; }
    virtual bool On_Draw_Item(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual LRESULT On_Notify(const NMHDR& /*header*/) { return 0; }

    static Windowed_Control* From_Handle(HWND window);

protected:
    void Apply_Bounds() override;
    void Apply_Font() override;
    void Apply_Enabled() override;
    void Apply_Visible() override;
    void Apply_Hint() override;
    // For the toolkit's own window class: messages of this window.
    virtual LRESULT Handle_Message(UINT message, WPARAM wparam, LPARAM lparam);
    void Attach(HWND window);

private:
    friend LRESULT CALLBACK Toolkit_Window_Proc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
    HFONT font_handle_ = nullptr;  // owned by the font cache
};

class Graphic_Control : public Control {
public:
    Graphic_Control(Container* parent, std::wstring name, Bounds bounds);
    // Paints into `area` (the control's rectangle in the parent's client
    // coordinates) on a DC of the parent.
    virtual void Paint(HDC dc, const RECT& area) = 0;
    virtual void On_Mouse_Down(POINT /*where*/) {}
    // The pointer moved over the control, the left button came up over it,
    // or it was double-clicked (`where` in the parent's client coordinates).
    virtual void On_Mouse_Move(POINT /*where*/) {}
    virtual void On_Mouse_Up(POINT /*where*/) {}
    virtual void On_Double_Click(POINT /*where*/) {}
    std::function<void()> On_Click;
    RECT Area() const;
    void Invalidate();
    // Graphic controls stack in their parent's child order: the back one is
    // painted first and clicked last.
    void Send_To_Back();

protected:
    void Apply_Bounds() override;
    void Apply_Hint() override;
    void Apply_Visible() override { Invalidate(); }
    void Apply_Enabled() override { Invalidate(); }
};

// A windowed control that holds other controls: reflects their notifications,
// paints its graphic controls under its windowed ones, and serves cursors.
class Container : public Windowed_Control {
public:
    Container(Container* parent, std::wstring name, Bounds bounds, const Window_Style& style);
    void Add_Child(Control& child);
    const std::vector<Control*>& Children() const { return children_; }
    void Send_Child_To_Back(Control& child);
    COLORREF Background() const { return ::GetSysColor(COLOR_BTNFACE); }
    // Paints what lies under a child (face and graphic controls) into the
    // child's own DC, for a child with a transparent background.
    void Paint_Under(const Windowed_Control& child, HDC child_dc);
    // The topmost visible graphic control at a point of the client area.
    Graphic_Control* Graphic_At(POINT where) const;

protected:
    LRESULT Handle_Message(UINT message, WPARAM wparam, LPARAM lparam) override;
    // Paints the container's own face (frame, caption) on an off-screen DC.
    virtual void Paint_Face(HDC dc, const RECT& client);

private:
    void Paint(HDC dc, const RECT& dirty);
    std::vector<Control*> children_;
};

// Returns the cached font for a spec at `dpi` (or the screen's); fonts live
// until the process ends.
HFONT Cached_Font(const Font_Spec& spec, int dpi);
HFONT Cached_Font(const Font_Spec& spec);

const wchar_t* Toolkit_Class_Name();

}  // namespace velbrook

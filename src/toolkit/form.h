#pragma once
// A top-level window that owns its components in creation order.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "toolkit/component.h"

namespace velbrook {

class Menu_Bar;
class Menu_Item;

class Form : public Container {
public:
    struct Options {
        std::wstring caption;
        Bounds bounds{20, 20, 576, 398};
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD ex_style = 0;
        Font_Spec font;
        HWND owner = nullptr;
    };

    Form(std::wstring name, const Options& options);
    ~Form() override;

    // Creates a component owned by this form, appended to its component order.
    template <typename T, typename... Args>
    T& Add(Args&&... args) {
        auto component = std::make_unique<T>(std::forward<Args>(args)...);
        T& result = *component;
        components_.push_back(std::move(component));
        Adopt(result);
        return result;
    }
    const std::vector<std::unique_ptr<Component>>& Components() const { return components_; }
    Component* Find_Component(std::wstring_view name) const;

    // The resolution the form is laid out for: its monitor's, as told by
    // the system when the form moves to another (WM_DPICHANGED).  The form
    // then takes the place the system suggests, makes every control's font
    // and pictures again, lays out again what Lay_Out_For_Dpi recorded and
    // runs On_Dpi_Change.
    int Form_Dpi() const { return dpi_; }
    // For a form of fixed layout: the first call records every control's
    // bounds and the client size as the design (96 dpi), and every call sets
    // them to the design at the form's resolution.
    void Lay_Out_For_Dpi();
    // A window size as the settings keep it, and back: the outer size this
    // window would have at 96 dpi around the same design client area, so
    // that a size kept on one screen is the same size on another.  At 96 dpi
    // both are the pixels themselves.
    SIZE Design_Outer_Size(SIZE outer) const;
    SIZE Outer_Size_For_Design(SIZE design) const;

    // Outer placement in screen pixels.
    void Set_Bounds(const Bounds& bounds) override;
    Bounds Window_Bounds() const;
    SIZE Client_Size() const;
    void Set_Client_Width(int width);
    void Set_Client_Height(int height);

    void Set_Caption(const std::wstring& caption) { Set_Text(caption); }
    std::wstring Caption() const { return Text(); }

    // Asks the form to close: runs On_Close_Query, then hides it (the main
    // form's closing ends the message loop).
    void Close();
    bool Closed() const { return closed_; }
    // Runs On_Show the first time and every time Show is called.
    void Show();
    // Runs the form modally over its owner until it closes.
    void Show_Modal();

    bool Maximized() const { return ::IsZoomed(Handle()) != FALSE; }
    void Show_Window(int command) { ::ShowWindow(Handle(), command); }

    void Set_Menu(Menu_Bar& menu);
    Menu_Item* Find_Menu_Item(WORD id) const;
    WORD Next_Command_Id() { return next_command_id_++; }

    // Puts the windowed children of every container in tab order.
    void Apply_Tab_Order();

    // Moves the window to the middle of the screen, keeping its size.
    void Center_On_Screen();

    // With key preview on, On_Key_Down sees every key pressed in the form's
    // controls before the control does; setting the key to 0 keeps it from
    // the control.
    bool Key_Preview() const { return key_preview_; }
    void Set_Key_Preview(bool on) { key_preview_ = on; }
    std::function<void(WORD& key)> On_Key_Down;
    // The message loops call this for every message they take; true when
    // the key was spent.
    static bool Preview_Key(const MSG& message);

    // Several bounds changes as one: no repaint until the batch ends.
    class Layout_Batch {
    public:
        explicit Layout_Batch(Form& form);
        ~Layout_Batch();
        Layout_Batch(const Layout_Batch&) = delete;
        Layout_Batch& operator=(const Layout_Batch&) = delete;

    private:
        Form& form_;
    };

    HWND Tooltip() const { return tooltip_.get(); }

    std::function<void()> On_Show;
    // The form became the active window: once each time it is shown, and
    // again whenever activation comes back from another window of this thread.
    std::function<void()> On_Activate;
    std::function<void(bool& can_close)> On_Close_Query;
    std::function<void()> On_Resize;
    std::function<void()> On_Dpi_Change;
    std::function<void(HDROP drop)> On_Drop_Files;

protected:
    LRESULT Handle_Message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void Adopt(Component& component);
    bool Query_Close();
    void Take_Dpi(int dpi, const RECT& suggested);
    SIZE Frame_At(int dpi) const;

    struct Design_Layout {
        SIZE client{};
        std::vector<std::pair<Control*, Bounds>> bounds;
    };
    std::optional<Design_Layout> design_;
    int dpi_ = 0;
    std::vector<std::unique_ptr<Component>> components_;
    std::vector<Menu_Item*> menu_items_;
    Menu_Bar* menu_ = nullptr;
    Window_Handle tooltip_;
    WORD next_command_id_ = 100;
    bool closed_ = false;
    bool modal_ = false;
    bool activated_since_show_ = false;
    bool key_preview_ = false;
    int batch_depth_ = 0;
};

}  // namespace velbrook

#pragma once
// The windowed controls of the toolkit, wrapping the standard classes.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/component.h"
#include "toolkit/dialogs.h"

namespace velbrook {

// How a group box is made.
struct Group_Box_Options {
    std::wstring caption;
    Control_Options control;
};

class Group_Box : public Container {
public:
    using Options = Group_Box_Options;
    Group_Box(Container* parent, std::wstring name, Bounds bounds, const Options& options);
    Group_Box(Container* parent, std::wstring name, Bounds bounds, std::wstring caption = {});

protected:
    void Paint_Face(HDC dc, const RECT& client) override;
};

// 16 x 16 pixels, top row first, 0xAARRGGBB with alpha 0 or 0xFF.
using Glyph_Pixels = std::array<std::uint32_t, 256>;

// How a button is made.
struct Button_Options {
    std::wstring caption;
    const Glyph_Pixels* glyph = nullptr;           // null: no picture
    const Glyph_Pixels* disabled_glyph = nullptr;  // with `glyph`
    Control_Options control;
};

// A push button showing a small picture to the left of its caption, with a
// second picture for its disabled state.  The pictures are drawn whole
// times over on a screen of more than 96 dpi (Glyph_Scale).
class Button : public Windowed_Control {
public:
    using Options = Button_Options;
    Button(Container* parent, std::wstring name, Bounds bounds, const Options& options);
    Button(Container* parent, std::wstring name, Bounds bounds, std::wstring caption);
    ~Button() override;
    void Set_Glyph(const Glyph_Pixels& normal, const Glyph_Pixels& disabled);
    // The default button of its form takes Enter wherever the focus is and
    // wears a dark frame.
    bool Default() const { return default_; }
    void Set_Default(bool is_default);
    std::function<void()> On_Click;
    // What a click does, also for clicks by program.
    void Click();

    bool On_Command(WORD code) override;
    bool On_Draw_Item(const DRAWITEMSTRUCT& item) override;
    void Refresh_For_Dpi() override;
    // The side of the picture as drawn, in pixels (0: none).
    int Glyph_Side() const;

private:
    void Make_Glyph_Bitmaps();
    std::optional<Glyph_Pixels> normal_pixels_;
    Glyph_Pixels disabled_pixels_{};
    int glyph_scale_ = 1;
    Bitmap_Handle glyph_;
    Bitmap_Handle disabled_glyph_;
    bool default_ = false;
};

// How a list box is made.
struct List_Box_Options {
    int item_height = 17;  // pixels
    Control_Options control;
};

class List_Box : public Windowed_Control {
public:
    using Options = List_Box_Options;
    List_Box(Container* parent, std::wstring name, Bounds bounds, const Options& options = {});
    int Count() const;
    std::wstring Item(int index) const;
    void Set_Item(int index, const std::wstring& text);
    int Add(const std::wstring& text);
    void Insert(int index, const std::wstring& text);
    void Remove(int index);
    void Clear();
    // Room for `count` items of `characters` in all, given up front.
    void Reserve(int count, std::size_t characters);
    int Selected() const;  // -1 when nothing is selected
    bool Is_Selected(int index) const;
    void Select(int index);
    void Set_Horizontal_Extent(int pixels);
    int Horizontal_Extent() const;
    // Changes without repainting until the matching End_Update.
    void Begin_Update();
    void End_Update();
    // Begin_Update for a scope: the box repaints again whatever happens.
    class Update {
    public:
        explicit Update(List_Box& box) : box_(box) { box_.Begin_Update(); }
        ~Update() { box_.End_Update(); }
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

    private:
        List_Box& box_;
    };
    std::function<void()> On_Click;  // the user changed the selection
    bool On_Command(WORD code) override;

private:
    int updating_ = 0;
};

class Status_Bar : public Windowed_Control {
public:
    Status_Bar(Container* parent, std::wstring name, Bounds bounds, const Control_Options& options = {});
    std::wstring Panel_Text(int panel = 0) const;
    void Set_Panel_Text(const std::wstring& text, int panel = 0);

protected:
    void Apply_Font() override;  // keeps the system's status-bar font
    void Apply_Bounds() override;
};

enum class Alignment { Left, Centre, Right };

// How a label is made.
struct Label_Options {
    std::wstring caption;
    Alignment alignment = Alignment::Left;
    bool word_wrap = true;
    COLORREF colour = CLR_INVALID;  // CLR_INVALID: the system's button text
    Control_Options control;
};

class Label : public Windowed_Control {
public:
    using Options = Label_Options;
    Label(Container* parent, std::wstring name, Bounds bounds, const Options& options);
    Label(Container* parent, std::wstring name, Bounds bounds, std::wstring caption);
    // The options of left-aligned text on one line.
    static Options One_Line(std::wstring caption) { return {.caption = std::move(caption), .word_wrap = false}; }

    Alignment Text_Alignment() const { return alignment_; }
    void Set_Alignment(Alignment alignment);
    // Left-aligned text runs on one line unless word wrap is on; centred and
    // right-aligned text always wraps.
    bool Word_Wrap() const { return word_wrap_; }
    void Set_Word_Wrap(bool wrap);
    // The text's colour; CLR_INVALID: the system's button text.
    COLORREF Text_Colour() const { return colour_; }
    void Set_Text_Colour(COLORREF colour);
    // A transparent label shows what its parent paints beneath it.
    bool Transparent() const { return transparent_; }
    void Set_Transparent(bool transparent);
    // Sizes the label to its text on one line.
    void Fit_To_Text();

    std::function<void()> On_Click;
    bool On_Command(WORD code) override;
    HBRUSH On_Control_Colour(HDC dc) override;

private:
    void Apply_Style();
    Alignment alignment_;
    bool word_wrap_ = true;
    COLORREF colour_ = CLR_INVALID;
    bool transparent_ = false;
};

// How a edit is made.
struct Edit_Options {
    std::wstring text;
    Control_Options control;
};

// A one-line edit.  It takes the arrow keys itself, so it starts a group of
// its own: a radio group before it ends there.
class Edit : public Windowed_Control {
public:
    using Options = Edit_Options;
    Edit(Container* parent, std::wstring name, Bounds bounds, const Options& options);
    Edit(Container* parent, std::wstring name, Bounds bounds, std::wstring text = {});
    // Selects the whole text, so that typing replaces it.
    void Select_All();
    // The text changed, typed or set by program.
    std::function<void()> On_Change;
    bool On_Command(WORD code) override;
};

// How a check box is made.
struct Check_Box_Options {
    std::wstring caption;
    Control_Options control;
};

class Check_Box : public Windowed_Control {
public:
    using Options = Check_Box_Options;
    Check_Box(Container* parent, std::wstring name, Bounds bounds, const Options& options);
    Check_Box(Container* parent, std::wstring name, Bounds bounds, std::wstring caption = {});
    bool Checked() const;
    void Set_Checked(bool checked);
};

// Something that can draw itself stretched into any rectangle of any DC.
class Drawable {
public:
    virtual ~Drawable() = default;
    virtual void Draw(HDC dc, const RECT& target) const = 0;
};

// Shows one picture stretched over its whole area, or nothing.
class Image_Box : public Graphic_Control {
public:
    Image_Box(Container* parent, std::wstring name, Bounds bounds, const Control_Options& options = {});
    void Set_Picture(std::shared_ptr<const Drawable> picture);
    void Clear() { Set_Picture(nullptr); }
    const std::shared_ptr<const Drawable>& Picture() const { return picture_; }
    void Paint(HDC dc, const RECT& area) override;

private:
    std::shared_ptr<const Drawable> picture_;
};

// A raised frame drawn on the parent, under the controls it surrounds.
class Bevel : public Graphic_Control {
public:
    Bevel(Container* parent, std::wstring name, Bounds bounds, const Control_Options& options = {});
    void Paint(HDC dc, const RECT& area) override;
};

class Menu_Bar : public Component {
public:
    explicit Menu_Bar(std::wstring name);
    HMENU Handle() const { return menu_.get(); }
    HMENU Release() { return menu_.release(); }  // once the window owns it

private:
    Menu_Handle menu_;
};

class Menu_Item : public Component {
public:
    // A top-level menu of the bar, or an item (or separator, caption "-") in
    // a menu; a separator has no identifier.
    Menu_Item(Form& form, Menu_Bar& bar, std::wstring name, std::wstring caption);
    Menu_Item(Form& form, Menu_Item& menu, std::wstring name, std::wstring caption, bool check_item = false);
    // Every item of a menu that other programs drive names its identifier.
    struct Options {
        WORD id = 0;  // the command identifier; 0: the form's next one
        bool check_item = false;
        bool radio = false;                // a check item of a group, marked with a bullet
        const Menu_Item* after = nullptr;  // the item of this menu it follows; null: the menu's end
    };
    Menu_Item(Form& form, Menu_Item& menu, std::wstring name, std::wstring caption, const Options& options);
    ~Menu_Item() override;

    WORD Id() const { return id_; }
    const std::wstring& Caption() const { return caption_; }
    bool Is_Check_Item() const { return check_item_; }
    bool Checked() const { return checked_; }
    void Set_Checked(bool checked);
    HMENU Popup() const { return popup_; }
    std::function<void()> On_Click;
    void Click() {
        if (On_Click) On_Click();
    }

private:
    Form& form_;
    HMENU owner_menu_ = nullptr;
    HMENU popup_ = nullptr;
    std::wstring caption_;
    WORD id_ = 0;
    bool check_item_ = false;
    bool checked_ = false;
};

enum class File_Dialog_Kind { Open, Save };

// The standard open or save dialog, as a component that remembers its state.
class File_Dialog : public Component {
public:
    File_Dialog(std::wstring name, File_Dialog_Kind kind)
        : Component(std::move(name)), save_(kind == File_Dialog_Kind::Save) {}
    std::wstring initial_dir;
    std::wstring file_name;  // kept from one use to the next
    std::wstring filter;
    DWORD options = 0;
    std::optional<std::wstring> Execute(Dialogs& dialogs);

private:
    bool save_;
};

class Printer_Setup_Dialog : public Component {
public:
    explicit Printer_Setup_Dialog(std::wstring name) : Component(std::move(name)) {}
    std::optional<Printer_Selection> Execute(Dialogs& dialogs) { return dialogs.Show_Printer_Setup(); }
};

}  // namespace velbrook

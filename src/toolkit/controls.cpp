#include "toolkit/controls.h"

#include <commctrl.h>

#include "toolkit/dpi.h"
#include "toolkit/form.h"

namespace velbrook {

// ---- Group_Box -----------------------------------------------------------

Group_Box::Group_Box(Container* parent, std::wstring name, Bounds bounds, const Options& options)
    : Container(
          parent, std::move(name), bounds,
          Window_Style{
              .style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS, .ex_style = WS_EX_CONTROLPARENT, .text = options.caption}) {
    Apply_Options(options.control);
}

Group_Box::Group_Box(Container* parent, std::wstring name, Bounds bounds, std::wstring caption)
    : Group_Box(parent, std::move(name), bounds, Options{.caption = std::move(caption)}) {}

void Group_Box::Paint_Face(HDC dc, const RECT& client) {
    std::wstring caption = Text();
    Select_Guard font(dc, Cached_Font(Font(), Dpi()));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (caption.empty()) return;
    SIZE size{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    const int indent = Dpi_Scaled(8, Dpi());
    RECT text{indent, 0, indent + size.cx, metrics.tmHeight};
    ::FillRect(dc, &text, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- Button --------------------------------------------------------------

namespace {

constexpr int Glyph_Pixels_Side = 16;

// Each pixel of the drawing becomes a square of `scale` by `scale` pixels.
Bitmap_Handle Glyph_Bitmap(const Glyph_Pixels& pixels, int scale) {
    const int side = Glyph_Pixels_Side * scale;
    std::uint32_t* out = nullptr;
    Bitmap_Handle bitmap = Top_Down_Dib_Section(side, side, &out);
    if (!bitmap || !out) return bitmap;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::uint32_t pixel = pixels[static_cast<size_t>(y / scale * Glyph_Pixels_Side + x / scale)];
            // Alpha is 0 or 255, so the premultiplied colour is the colour or nothing.
            out[static_cast<size_t>(y) * static_cast<size_t>(side) + static_cast<size_t>(x)] =
                (pixel >> 24) ? pixel : 0;
        }
    }
    return bitmap;
}

void Draw_Glyph(HDC dc, HBITMAP glyph, int x, int y, int side) {
    Dc_Handle source(::CreateCompatibleDC(dc));
    Select_Guard select(source.get(), glyph);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, x, y, side, side, source.get(), 0, 0, side, side, blend);
}

}  // namespace

Button::Button(Container* parent, std::wstring name, Bounds bounds, const Options& options)
    : Windowed_Control(
          parent, std::move(name), bounds,
          Window_Style{.class_name = L"BUTTON", .style = BS_OWNERDRAW | WS_TABSTOP, .text = options.caption}) {
    Apply_Options(options.control);
    if (options.glyph) Set_Glyph(*options.glyph, options.disabled_glyph ? *options.disabled_glyph : *options.glyph);
}

Button::Button(Container* parent, std::wstring name, Bounds bounds, std::wstring caption)
    : Button(parent, std::move(name), bounds, Options{.caption = std::move(caption)}) {}

Button::~Button() = default;

void Button::Set_Glyph(const Glyph_Pixels& normal, const Glyph_Pixels& disabled) {
    normal_pixels_ = normal;
    disabled_pixels_ = disabled;
    Make_Glyph_Bitmaps();
}

void Button::Make_Glyph_Bitmaps() {
    if (!normal_pixels_) return;
    glyph_scale_ = Glyph_Scale(Dpi());
    glyph_ = Glyph_Bitmap(*normal_pixels_, glyph_scale_);
    disabled_glyph_ = Glyph_Bitmap(disabled_pixels_, glyph_scale_);
    Invalidate();
}

void Button::Refresh_For_Dpi() {
    Windowed_Control::Refresh_For_Dpi();
    Make_Glyph_Bitmaps();
}

int Button::Glyph_Side() const { return glyph_ ? Glyph_Pixels_Side * glyph_scale_ : 0; }

void Button::Set_Default(bool is_default) {
    default_ = is_default;
    // Enter reaches the default button through its control id.
    ::SetWindowLongPtrW(Handle(), GWLP_ID, is_default ? IDOK : 0);
    Invalidate();
}

void Button::Click() {
    if (On_Click) On_Click();
}

bool Button::On_Command(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

bool Button::On_Draw_Item(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    if (default_) {
        ::FrameRect(dc, &face, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&face, -1, -1);
    }
    ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    std::wstring caption = Text();
    Select_Guard font(dc, Cached_Font(Font(), Dpi()));
    SIZE text_size{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text_size);
    HBITMAP glyph = disabled ? disabled_glyph_.get() : glyph_.get();
    const int spacing = Dpi_Scaled(4, Dpi());
    const int side = Glyph_Side();
    int content = text_size.cx + (glyph ? side + (caption.empty() ? 0 : spacing) : 0);
    int width = face.right - face.left, height = face.bottom - face.top;
    int x = face.left + (width - content) / 2 + (pressed ? 1 : 0);
    int y_offset = pressed ? 1 : 0;
    if (glyph) {
        Draw_Glyph(dc, glyph, x, face.top + (height - side) / 2 + y_offset, side);
        x += side + spacing;
    }
    ::SetBkMode(dc, TRANSPARENT);
    RECT text{x, face.top + y_offset, x + text_size.cx + 1, face.bottom + y_offset};
    UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    if (disabled) {
        RECT shadow = text;
        ::OffsetRect(&shadow, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &shadow, format);
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    }
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = face;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(dc, &focus);
    }
    return true;
}

// ---- List_Box ------------------------------------------------------------

List_Box::List_Box(Container* parent, std::wstring name, Bounds bounds, const Options& options)
    : Windowed_Control(parent, std::move(name), bounds,
                       Window_Style{.class_name = L"LISTBOX",
                                    .style = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                                    .ex_style = WS_EX_CLIENTEDGE}) {
    ::SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, Dpi_Scaled(options.item_height, Dpi()));
    Apply_Options(options.control);
}

int List_Box::Count() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::wstring List_Box::Item(int index) const {
    LRESULT length = ::SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got =
        ::SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

void List_Box::Set_Item(int index, const std::wstring& text) {
    bool selected = Is_Selected(index);
    ::SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    ::SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
    if (selected) Select(index);
}

int List_Box::Add(const std::wstring& text) {
    return static_cast<int>(::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void List_Box::Insert(int index, const std::wstring& text) {
    ::SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

void List_Box::Remove(int index) { ::SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void List_Box::Clear() { ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

void List_Box::Reserve(int count, std::size_t characters) {
    ::SendMessageW(Handle(), LB_INITSTORAGE, static_cast<WPARAM>(count),
                   static_cast<LPARAM>(characters * sizeof(wchar_t)));
}

int List_Box::Selected() const {
    LRESULT index = ::SendMessageW(Handle(), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

bool List_Box::Is_Selected(int index) const {
    return ::SendMessageW(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void List_Box::Select(int index) { ::SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void List_Box::Set_Horizontal_Extent(int pixels) {
    ::SendMessageW(Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(pixels), 0);
}

int List_Box::Horizontal_Extent() const {
    return static_cast<int>(::SendMessageW(Handle(), LB_GETHORIZONTALEXTENT, 0, 0));
}

void List_Box::Begin_Update() {
    if (updating_++ == 0) ::SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void List_Box::End_Update() {
    if (updating_ > 0 && --updating_ == 0) {
        ::SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

bool List_Box::On_Command(WORD code) {
    if (code != LBN_SELCHANGE) return false;
    if (On_Click) On_Click();
    return true;
}

// ---- Status_Bar ----------------------------------------------------------

Status_Bar::Status_Bar(Container* parent, std::wstring name, Bounds bounds, const Control_Options& options)
    : Windowed_Control(
          parent, std::move(name), bounds,
          Window_Style{.class_name = STATUSCLASSNAMEW, .style = CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER}) {
    int parts[1] = {-1};  // one panel, running to the right edge
    ::SendMessageW(Handle(), SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    Apply_Options(options);
}

std::wstring Status_Bar::Panel_Text(int panel) const {
    LRESULT length = LOWORD(::SendMessageW(Handle(), SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(Handle(), SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void Status_Bar::Set_Panel_Text(const std::wstring& text, int panel) {
    ::SendMessageW(Handle(), SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.c_str()));
}

void Status_Bar::Apply_Font() {}

void Status_Bar::Apply_Bounds() {
    Windowed_Control::Apply_Bounds();
    ::SendMessageW(Handle(), WM_SIZE, 0, 0);
}

// ---- Label, Edit, Check_Box ----------------------------------------------

Label::Label(Container* parent, std::wstring name, Bounds bounds, const Options& options)
    : Windowed_Control(
          parent, std::move(name), bounds,
          Window_Style{.class_name = L"STATIC", .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY, .text = options.caption}),
      alignment_(options.alignment),
      word_wrap_(options.word_wrap),
      colour_(options.colour) {
    Apply_Options(options.control);
    Apply_Style();
}

Label::Label(Container* parent, std::wstring name, Bounds bounds, std::wstring caption)
    : Label(parent, std::move(name), bounds, Options{.caption = std::move(caption)}) {}

void Label::Set_Alignment(Alignment alignment) {
    alignment_ = alignment;
    Apply_Style();
}

void Label::Set_Word_Wrap(bool wrap) {
    word_wrap_ = wrap;
    Apply_Style();
}

void Label::Apply_Style() {
    LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(SS_TYPEMASK);
    switch (alignment_) {
        case Alignment::Left:
            style |= word_wrap_ ? SS_LEFT : SS_LEFTNOWORDWRAP;
            break;
        case Alignment::Centre:
            style |= SS_CENTER;
            break;
        case Alignment::Right:
            style |= SS_RIGHT;
            break;
    }
    ::SetWindowLongPtrW(Handle(), GWL_STYLE, style);
    Invalidate();
}

void Label::Set_Text_Colour(COLORREF colour) {
    colour_ = colour;
    Invalidate();
}

void Label::Set_Transparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void Label::Fit_To_Text() {
    std::wstring text = Text();
    Window_Dc screen(Handle());
    Select_Guard font(screen.get(), Cached_Font(Font(), Dpi()));
    RECT measured{0, 0, 0, 0};
    ::DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &measured,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    Set_Bounds({Left(), Top(), measured.right, measured.bottom});
}

bool Label::On_Command(WORD code) {
    if (code != STN_CLICKED) return false;
    if (On_Click) On_Click();
    return true;
}

HBRUSH Label::On_Control_Colour(HDC dc) {
    if (colour_ == CLR_INVALID && !transparent_) return nullptr;
    ::SetTextColor(dc, colour_ == CLR_INVALID ? ::GetSysColor(COLOR_BTNTEXT) : colour_);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    if (!transparent_) return ::GetSysColorBrush(COLOR_BTNFACE);
    ::SetBkMode(dc, TRANSPARENT);
    if (Parent()) Parent()->Paint_Under(*this, dc);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

Edit::Edit(Container* parent, std::wstring name, Bounds bounds, const Options& options)
    : Windowed_Control(parent, std::move(name), bounds,
                       Window_Style{.class_name = L"EDIT",
                                    .style = ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
                                    .ex_style = WS_EX_CLIENTEDGE,
                                    .text = options.text}) {
    Apply_Options(options.control);
}

Edit::Edit(Container* parent, std::wstring name, Bounds bounds, std::wstring text)
    : Edit(parent, std::move(name), bounds, Options{.text = std::move(text)}) {}

void Edit::Select_All() { ::SendMessageW(Handle(), EM_SETSEL, 0, -1); }

bool Edit::On_Command(WORD code) {
    if (code != EN_CHANGE) return false;
    if (On_Change) On_Change();
    return true;
}

Check_Box::Check_Box(Container* parent, std::wstring name, Bounds bounds, const Options& options)
    : Windowed_Control(
          parent, std::move(name), bounds,
          Window_Style{.class_name = L"BUTTON", .style = BS_AUTOCHECKBOX | WS_TABSTOP, .text = options.caption}) {
    Apply_Options(options.control);
}

Check_Box::Check_Box(Container* parent, std::wstring name, Bounds bounds, std::wstring caption)
    : Check_Box(parent, std::move(name), bounds, Options{.caption = std::move(caption)}) {}

bool Check_Box::Checked() const { return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Check_Box::Set_Checked(bool checked) {
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// ---- Image_Box -----------------------------------------------------------

Image_Box::Image_Box(Container* parent, std::wstring name, Bounds bounds, const Control_Options& options)
    : Graphic_Control(parent, std::move(name), bounds) {
    Apply_Options(options);
}

void Image_Box::Set_Picture(std::shared_ptr<const Drawable> picture) {
    picture_ = std::move(picture);
    Invalidate();
}

void Image_Box::Paint(HDC dc, const RECT& area) {
    if (picture_) picture_->Draw(dc, area);
}

// ---- Bevel ---------------------------------------------------------------

Bevel::Bevel(Container* parent, std::wstring name, Bounds bounds, const Control_Options& options)
    : Graphic_Control(parent, std::move(name), bounds) {
    Apply_Options(options);
}

void Bevel::Paint(HDC dc, const RECT& area) {
    // Light along the outer top and left edges, shade one pixel inside them,
    // and the other way round at the bottom and right: a raised frame.
    RECT light{area.left, area.top, area.right - 1, area.bottom - 1};
    RECT shade{area.left + 1, area.top + 1, area.right, area.bottom};
    ::FrameRect(dc, &shade, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::FrameRect(dc, &light, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
}

// ---- Menus ---------------------------------------------------------------

Menu_Bar::Menu_Bar(std::wstring name) : Component(std::move(name)), menu_(::CreateMenu()) {}

Menu_Item::Menu_Item(Form& form, Menu_Bar& bar, std::wstring name, std::wstring caption)
    : Component(std::move(name)),
      form_(form),
      owner_menu_(bar.Handle()),
      popup_(::CreatePopupMenu()),
      caption_(std::move(caption)) {
    ::AppendMenuW(owner_menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup_), caption_.c_str());
}

Menu_Item::Menu_Item(Form& form, Menu_Item& menu, std::wstring name, std::wstring caption, bool check_item)
    : Component(std::move(name)),
      form_(form),
      owner_menu_(menu.Popup()),
      caption_(std::move(caption)),
      check_item_(check_item) {
    if (caption_ == L"-") {
        ::AppendMenuW(owner_menu_, MF_SEPARATOR, 0, nullptr);
    } else {
        id_ = form_.Next_Command_Id();
        ::AppendMenuW(owner_menu_, MF_STRING, id_, caption_.c_str());
    }
}

Menu_Item::Menu_Item(Form& form, Menu_Item& menu, std::wstring name, std::wstring caption, const Options& options)
    : Component(std::move(name)),
      form_(form),
      owner_menu_(menu.Popup()),
      caption_(std::move(caption)),
      check_item_(options.check_item || options.radio) {
    const bool separator = caption_ == L"-";
    if (!separator) id_ = options.id ? options.id : form_.Next_Command_Id();
    int position = ::GetMenuItemCount(owner_menu_);
    for (int i = 0; options.after && i < position; ++i) {
        if (::GetMenuItemID(owner_menu_, i) == options.after->Id()) {
            position = i + 1;
            break;
        }
    }
    ::InsertMenuW(owner_menu_, static_cast<UINT>(position), MF_BYPOSITION | (separator ? MF_SEPARATOR : MF_STRING), id_,
                  separator ? nullptr : caption_.c_str());
    if (options.radio) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        info.fType = MFT_STRING | MFT_RADIOCHECK;
        ::SetMenuItemInfoW(owner_menu_, id_, FALSE, &info);
    }
}

Menu_Item::~Menu_Item() = default;

void Menu_Item::Set_Checked(bool checked) {
    checked_ = checked;
    if (id_) ::CheckMenuItem(owner_menu_, id_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// ---- File_Dialog ---------------------------------------------------------

std::optional<std::wstring> File_Dialog::Execute(Dialogs& dialogs) {
    auto chosen = dialogs.Show_File_Dialog({.save = save_,
                                            .initial_dir = initial_dir,
                                            .file_name = file_name,
                                            .filter = filter,
                                            .filter_index = 1,
                                            .flags = options});
    if (chosen) file_name = *chosen;
    return chosen;
}

}  // namespace velbrook

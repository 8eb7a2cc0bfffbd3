#include "app/print_preview.h"

#include <algorithm>
#include <cstdlib>

#include "app/settings_file.h"
#include "printing/preview_printer.h"
#include "printing/print_texts.h"
#include "printing/printer_surface.h"
#include "printing/sheet_run.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"

namespace velbrook {

namespace {

constexpr UINT Draw_Message = WM_APP + 1;
constexpr int Bar_Height = 78;
constexpr int Paper_Room = 12;  // grey round the paper
constexpr int Shadow = 4;
constexpr COLORREF Ground_Colour = RGB(0x80, 0x80, 0x80);
constexpr COLORREF Shadow_Colour = RGB(0x40, 0x40, 0x40);

// The main window's list and options, without the run's side: the preview
// selects nothing, shows nothing in the main window's preview and writes no
// status.
class Quiet_Host final : public Windowless_Print_Host {
public:
    explicit Quiet_Host(Print_Host& host) : host_(host) {}
    int Entry_Count() const override { return host_.Entry_Count(); }
    std::optional<std::wstring> Entry(int index) const override { return host_.Entry(index); }
    Page_Options Options() const override { return host_.Options(); }
    Sheet_Layout Layout() const override { return host_.Layout(); }
    Dialogs& Dialogs_() override { return host_.Dialogs_(); }
    HWND Main_Window() const override { return host_.Main_Window(); }

private:
    Print_Host& host_;
};

Button::Options Command(const wchar_t* caption, int tab_order) {
    return {.caption = caption, .control = {.tab_order = tab_order}};
}

}  // namespace

// The grey ground with the sheet on it, framed and shadowed.
class Sheet_View final : public Graphic_Control {
public:
    Sheet_View(Container* parent, std::wstring name, Bounds bounds, Print_Preview& preview)
        : Graphic_Control(parent, std::move(name), bounds), preview_(preview) {}

    void Paint(HDC dc, const RECT& area) override {
        Brush_Handle ground(::CreateSolidBrush(Ground_Colour));
        ::FillRect(dc, &area, ground.get());
        const RECT place = preview_.Paper_Place();
        if (::IsRectEmpty(&place)) return;
        const RECT paper{area.left + place.left, area.top + place.top, area.left + place.right,
                         area.top + place.bottom};
        const int offset = Dpi_Scaled(Shadow, Dpi());
        const RECT shadow{paper.left + offset, paper.top + offset, paper.right + offset, paper.bottom + offset};
        Brush_Handle dark(::CreateSolidBrush(Shadow_Colour));
        ::FillRect(dc, &shadow, dark.get());
        ::FillRect(dc, &paper, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        if (HBITMAP sheet = preview_.Shown_Sheet()) {
            const Dc_Handle source(::CreateCompatibleDC(dc));
            const Select_Guard select(source.get(), sheet);
            ::BitBlt(dc, paper.left, paper.top, paper.right - paper.left, paper.bottom - paper.top, source.get(), 0, 0,
                     SRCCOPY);
        }
        ::FrameRect(dc, &paper, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }

private:
    Print_Preview& preview_;
};

Print_Preview::Print_Preview(Print_Preview_Setup setup)
    : Form(L"Print_Preview", Options{.caption = L"Print Preview",
                                     .bounds = {0, 0, 660, 620},
                                     .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX,
                                     .font = setup.font}),
      First_Button(Add<Button>(this, L"First_Button", Bounds{}, Command(L"&First", 0))),
      Previous_Button(Add<Button>(this, L"Previous_Button", Bounds{}, Command(L"&Previous", 1))),
      Next_Button(Add<Button>(this, L"Next_Button", Bounds{}, Command(L"&Next", 2))),
      Last_Button(Add<Button>(this, L"Last_Button", Bounds{}, Command(L"&Last", 3))),
      Sheet_Label(Add<Label>(this, L"Sheet_Label", Bounds{}, Label::One_Line(L""))),
      Paper_Label(Add<Label>(this, L"Paper_Label", Bounds{}, Label::One_Line(L"Paper:"))),
      Paper_ComboBox(Add<Combo_Box>(
          this, L"Paper_ComboBox", Bounds{},
          Combo_Box::Options{.items = {L"Printer", L"PDF file"}, .selected = 0, .control = {.tab_order = 4}})),
      Print_Button(Add<Button>(this, L"Print_Button", Bounds{}, Command(L"&Print...", 5))),
      From_Label(Add<Label>(this, L"From_Label", Bounds{}, Label::One_Line(L"Print sheets from"))),
      From_Edit(Add<Edit>(this, L"From_Edit", Bounds{}, Edit::Options{.control = {.tab_order = 6}})),
      To_Label(Add<Label>(this, L"To_Label", Bounds{}, Label::One_Line(L"to"))),
      To_Edit(Add<Edit>(this, L"To_Edit", Bounds{}, Edit::Options{.control = {.tab_order = 7}})),
      Print_These_Button(Add<Button>(this, L"Print_These_Button", Bounds{}, Command(L"Print &These", 8))),
      Close_Button(Add<Button>(this, L"Close_Button", Bounds{}, Command(L"&Close", 9))),
      View(Add<Sheet_View>(this, L"View", Bounds{}, *this)),
      setup_(std::move(setup)) {
    Set_Client_Width(Dpi_Scaled(640, Form_Dpi()));
    Set_Client_Height(Dpi_Scaled(580, Form_Dpi()));
    Apply_Tab_Order();
    Set_Key_Preview(true);
    Wire_Handlers();
    Arrange();
}

Print_Preview::~Print_Preview() = default;

void Print_Preview::Wire_Handlers() {
    First_Button.On_Click = [this] { Go_To(1); };
    Previous_Button.On_Click = [this] { Go_To(wanted_ - 1); };
    Next_Button.On_Click = [this] { Go_To(wanted_ + 1); };
    Last_Button.On_Click = [this] { Go_To(count_); };
    Paper_ComboBox.On_Change = [this] {
        Plan();
        Go_To(1);
    };
    Print_Button.On_Click = [this] {
        result_ = Preview_Print{};
        Close();
    };
    Print_These_Button.On_Click = [this] { Print_These_Click(); };
    Close_Button.On_Click = [this] { Close(); };
    On_Resize = [this] {
        Arrange();
        Plan();
        Draw_Wanted();
    };
    On_Key_Down = [this](WORD& key) {
        const HWND focus = ::GetFocus();
        const bool in_field = focus == From_Edit.Handle() || focus == To_Edit.Handle();
        switch (key) {
            case VK_ESCAPE:
                Close();
                break;
            case VK_PRIOR:
                Go_To(wanted_ - 1);
                break;
            case VK_NEXT:
                Go_To(wanted_ + 1);
                break;
            case VK_HOME:
                if (in_field) return;
                Go_To(1);
                break;
            case VK_END:
                if (in_field) return;
                Go_To(count_);
                break;
            default:
                return;
        }
        key = 0;
    };
}

void Print_Preview::Arrange() {
    const SIZE client = Client_Size();
    const int w = client.cx, h = client.cy;
    // Design lengths at the window's resolution.
    const auto d = [dpi = Form_Dpi()](int length) { return Dpi_Scaled(length, dpi); };
    const int bar = d(Bar_Height);
    const int row1 = h - bar + d(8), row2 = h - d(36);
    First_Button.Set_Bounds({d(8), row1, d(80), d(26)});
    Previous_Button.Set_Bounds({d(92), row1, d(80), d(26)});
    Next_Button.Set_Bounds({d(176), row1, d(80), d(26)});
    Last_Button.Set_Bounds({d(260), row1, d(80), d(26)});
    Sheet_Label.Set_Bounds({d(352), row1 + d(5), d(150), d(18)});
    Paper_Label.Set_Bounds({std::max(d(504), w - d(236)), row1 + d(5), d(46), d(18)});
    Paper_ComboBox.Set_Bounds({std::max(d(552), w - d(188)), row1 + d(1), d(180), d(24)});
    Print_Button.Set_Bounds({d(8), row2, d(80), d(26)});
    From_Label.Set_Bounds({d(100), row2 + d(5), d(124), d(18)});
    From_Edit.Set_Bounds({d(226), row2 + d(1), d(44), d(24)});
    To_Label.Set_Bounds({d(276), row2 + d(5), d(20), d(18)});
    To_Edit.Set_Bounds({d(298), row2 + d(1), d(44), d(24)});
    Print_These_Button.Set_Bounds({d(350), row2, d(104), d(26)});
    Close_Button.Set_Bounds({std::max(d(462), w - d(88)), row2, d(80), d(26)});
    View.Set_Bounds({0, 0, w, std::max(0, h - bar)});
}

void Print_Preview::Plan() {
    drawn_.clear();
    drawn_bytes_ = 0;
    have_plan_ = false;
    const Sheet_Layout layout = setup_.host.Layout();
    std::optional<Sheet_Paper> real;
    if (Paper_ComboBox.Selected() == 0 && setup_.printer_paper) real = setup_.printer_paper();
    if (!real || !Paper_Is_Sane(*real)) {
        // Without a printer that can be laid out for, the PDF's paper.
        if (Paper_ComboBox.Selected() == 0) Paper_ComboBox.Select(1);
        real = setup_.pdf_paper(layout);
    }
    const int room = Dpi_Scaled(Paper_Room, Form_Dpi());
    const std::int64_t room_x = View.Width() - 2 * room, room_y = View.Height() - 2 * room;
    if (room_x <= 0 || room_y <= 0 || !Paper_Is_Sane(*real)) return;
    // The one ratio at which the whole paper fits.
    const bool by_width = std::int64_t{real->paper_width} * room_y >= std::int64_t{real->paper_height} * room_x;
    const std::int64_t num = by_width ? room_x : room_y, den = by_width ? real->paper_width : real->paper_height;
    paper_ = Scaled_Paper(*real, num, den);
    plan_ = Scaled_Plan(Plan_Sheet(*real, layout), num, den);
    // Counted without decoding: each picture's headers tell whether it
    // loads.  Messages are served meanwhile, so a long list leaves the
    // window alive; nothing is drawn until the count is known.
    count_ = 0;
    Preview_Printer printer(paper_);
    Quiet_Host quiet(setup_.host);
    Printer_Surface surface(printer, quiet, quiet.Options(), std::nullopt);
    const Sheet_Plan plan = plan_;
    struct Counting {
        int& depth;
        explicit Counting(int& d) : depth(++d) {}
        ~Counting() { --depth; }
    };
    std::optional<Counting> counting(std::in_place, counting_);
    const int counted = Count_Sheets({.host = quiet,
                                      .surface = surface,
                                      .layout = layout,
                                      .options = quiet.Options(),
                                      .process_messages = [] { Process_Messages(); },
                                      .stopping = [this] { return Closed(); }},
                                     plan);
    counting.reset();
    // Resized while counting: that plan and its count stand.
    if (have_plan_) return;
    count_ = counted;
    have_plan_ = true;
    wanted_ = std::clamp(wanted_, 1, std::max(1, count_));
    Update_Controls();
}

RECT Print_Preview::Paper_Place() const {
    if (!have_plan_) return {};
    const LONG left = (View.Width() - paper_.paper_width) / 2, top = (View.Height() - paper_.paper_height) / 2;
    return {left, top, left + paper_.paper_width, top + paper_.paper_height};
}

HBITMAP Print_Preview::Shown_Sheet() const {
    const auto found = drawn_.find(wanted_);
    return found == drawn_.end() ? nullptr : found->second.get();
}

void Print_Preview::Go_To(int sheet) {
    wanted_ = std::clamp(sheet, 1, std::max(1, count_));
    Update_Controls();
    View.Invalidate();
    Draw_Wanted();
}

Bitmap_Handle Print_Preview::Draw_Sheet(int sheet) {
    Preview_Printer printer(paper_);
    Quiet_Host quiet(setup_.host);
    const Page_Options options = quiet.Options();
    Printer_Surface surface(printer, quiet, options, std::nullopt);
    printer.Begin_Document(Print_Job_Title);
    const Sheet_Plan plan = plan_;
    const Sheets_Run run = Run_Sheets({.host = quiet,
                                       .surface = surface,
                                       .layout = quiet.Layout(),
                                       .options = options,
                                       .process_messages = [] { Process_Messages(); },
                                       .stopping = [] { return false; },
                                       .first_sheet = sheet,
                                       .last_sheet = sheet,
                                       .abandon = [&] { return wanted_ != sheet || Closed(); }},
                                      plan);
    if (run.abandoned) return {};
    return printer.Take_Sheet();
}

void Print_Preview::Draw_Wanted() {
    // A drawing under way sees the change through its abandon check.
    if (drawing_) return;
    drawing_ = true;
    while (!Closed() && have_plan_ && count_ > 0 && !drawn_.count(wanted_)) {
        const int sheet = wanted_;
        const std::int64_t planned_width = paper_.paper_width;
        Bitmap_Handle drawn;
        Guarded([&] { drawn = Draw_Sheet(sheet); });
        // Resized meanwhile: the bitmap is of the old scale.
        if (drawn && planned_width != paper_.paper_width) continue;
        if (drawn) {
            Keep(sheet, std::move(drawn));
        } else if (wanted_ == sheet) {
            break;  // failed, and reported
        }
    }
    drawing_ = false;
    View.Invalidate();
}

void Print_Preview::Keep(int sheet, Bitmap_Handle bitmap) {
    const std::int64_t bytes = std::int64_t{paper_.paper_width} * paper_.paper_height * 4;
    drawn_[sheet] = std::move(bitmap);
    drawn_bytes_ += bytes;
    // The sheets farthest from the one shown go first.
    while (drawn_bytes_ > Preview_Cache_Bytes && drawn_.size() > 1) {
        auto farthest = drawn_.begin();
        if (std::abs(drawn_.rbegin()->first - wanted_) > std::abs(farthest->first - wanted_))
            farthest = std::prev(drawn_.end());
        drawn_.erase(farthest);
        drawn_bytes_ -= bytes;
    }
}

void Print_Preview::Update_Controls() {
    Sheet_Label.Set_Text(L"Sheet " + std::to_wstring(count_ > 0 ? wanted_ : 0) + L" of " + std::to_wstring(count_));
    First_Button.Set_Enabled(wanted_ > 1);
    Previous_Button.Set_Enabled(wanted_ > 1);
    Next_Button.Set_Enabled(wanted_ < count_);
    Last_Button.Set_Enabled(wanted_ < count_);
    Print_Button.Set_Enabled(count_ > 0);
    Print_These_Button.Set_Enabled(count_ > 0);
}

void Print_Preview::Print_These_Click() {
    const auto read = [](const std::wstring& text) -> int {
        if (text.empty() || text.size() > 6 || text.find_first_not_of(L"0123456789") != std::wstring::npos) return 0;
        return std::stoi(text);
    };
    const int from = read(From_Edit.Text()), to = read(To_Edit.Text());
    if (from < 1 || to > count_ || from > to) {
        Error_Box(setup_.host.Dialogs_(), L"The sheets to print must lie from 1 to " + std::to_wstring(count_) +
                                              L", the first no later than the last.");
        ::SetFocus(From_Edit.Handle());
        return;
    }
    result_ = Preview_Print{.first_sheet = from, .last_sheet = to};
    Close();
}

LRESULT Print_Preview::Handle_Message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case Draw_Message:
            Draw_Wanted();
            return 0;
        case WM_MOUSEWHEEL:
            Go_To(wanted_ + (GET_WHEEL_DELTA_WPARAM(wparam) > 0 ? -1 : 1));
            return 0;
        case WM_EXITSIZEMOVE:
            placed_by_user_ = true;
            break;
        default:
            break;
    }
    return Form::Handle_Message(message, wparam, lparam);
}

std::optional<Preview_Print> Print_Preview::Run(HWND owner) {
    if (setup_.host.Entry_Count() <= 0) {
        Information_Box(setup_.host.Dialogs_(), Empty_List_Text);
        return std::nullopt;
    }
    ::SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    result_.reset();
    placed_by_user_ = false;
    wanted_ = 1;
    const std::wstring settings = setup_.settings_file ? setup_.settings_file() : std::wstring();
    // The size is kept as at 96 dpi, the place in the screen's pixels.
    if (const std::optional<Bounds> kept = settings.empty() ? std::nullopt : Read_Preview_Bounds(settings)) {
        const SIZE outer = Outer_Size_For_Design({kept->width, kept->height});
        Set_Bounds({kept->left, kept->top, outer.cx, outer.cy});
    } else
        Center_On_Screen();
    Arrange();
    Plan();
    From_Edit.Set_Text(L"1");
    To_Edit.Set_Text(std::to_wstring(std::max(1, count_)));
    ::PostMessageW(Handle(), Draw_Message, 0, 0);
    Show_Modal();
    if (placed_by_user_ && !settings.empty()) {
        const Bounds place = Window_Bounds();
        const SIZE size = Design_Outer_Size({place.width, place.height});
        Guarded([&] { Write_Preview_Bounds(settings, {place.left, place.top, size.cx, size.cy}); });
    }
    // The drawn sheets are not kept between showings.
    drawn_.clear();
    drawn_bytes_ = 0;
    return result_;
}

}  // namespace velbrook

#include "about/about_box.h"

#include <chrono>

#include "about/about_pictures.h"
#include "about/product_texts.h"
#include "shell/file_utils.h"
#include "shell/text_utils.h"

namespace velbrook {

namespace {

const Font_Spec form_font{L"System", 10, false};           // 13 pixels
const Font_Spec text_font{L"Times New Roman", 11, false};  // 15 pixels
const Font_Spec bold_font{L"Times New Roman", 11, true};
const Font_Spec link_font{L"Times New Roman", 12, false, true};  // 16 pixels, underlined
const Font_Spec bold_link_font{L"Times New Roman", 12, true, true};
const Font_Spec ok_font{L"Times New Roman", 14, true};  // 19 pixels
const Font_Spec badge_font{L"Arial", 10, false};        // 13 pixels

constexpr COLORREF link_blue = RGB(0, 0, 255);

const wchar_t* const quotes[] = {
    L"I hope this program makes your work a little simpler, your play a little better, or your day a bit easier.",
    L"If you have any comments, suggestions, improvements, or feedback, please email me.",
    L"Useful software needn't take up Gigabytes of disk space, and my catalog of software proves this.",
    L"If this program has been useful to you, a small donation would help me keep writing more of them.",
};

const wchar_t donation_request[] =
    L"Your donation keeps this software free and growing.  Click here to make a small donation - thank you !";

// The window's labels run on one line unless they say otherwise.
struct Label_Look {
    const Font_Spec* font = nullptr;  // null: the parent's
    Alignment alignment = Alignment::Left;
    bool word_wrap = false;
    COLORREF colour = CLR_INVALID;
    bool visible = true;
};

Label& Make_Label(Form& form, Container* parent, const wchar_t* name, Bounds bounds, const wchar_t* text,
                  const Label_Look& look = {}) {
    return form.Add<Label>(parent, name, bounds,
                           Label::Options{.caption = text,
                                          .alignment = look.alignment,
                                          .word_wrap = look.word_wrap,
                                          .colour = look.colour,
                                          .control = {.visible = look.visible, .font = look.font}});
}

Label& Fitted(Label& label) {
    label.Fit_To_Text();
    return label;
}

template <typename T>
T& Hidden(T& control) {
    control.Set_Visible(false);
    return control;
}

unsigned Clock_Seed() {
    return static_cast<unsigned>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

}  // namespace

TAboutBox::TAboutBox(About_Setup setup)
    : Form(L"AboutBox", Options{.caption = L"About",
                                .bounds = {0, 0, 628, 440},
                                .style = WS_POPUP | WS_CAPTION,
                                .ex_style = WS_EX_DLGMODALFRAME,
                                .font = form_font}),
      GroupBox2(Add<Group_Box>(this, L"GroupBox2", Bounds{3, -4, 615, 77})),
      Orvel_Logo_Banner_Image(Add<Image_Box>(&GroupBox2, L"Orvel_Logo_Banner_Image", Bounds{2, 8, 611, 67})),
      GroupBox1(Add<Group_Box>(this, L"GroupBox1", Bounds{3, 70, 615, 341},
                               Group_Box::Options{.control = {.font = &text_font}})),
      Bevel1(Add<Bevel>(&GroupBox1, L"Bevel1", Bounds{5, 14, 184, 167})),
      Orvel_Logo_GIFImage(Add<TGIFImage>(&GroupBox1, L"Orvel_Logo_GIFImage", Bounds{12, 16, 173, 165})),
      Product_Name_Label(
          Make_Label(*this, &GroupBox1, L"Product_Name_Label", {205, 15, 400, 18}, L"", {.font = &bold_font})),
      Author_and_Date_Label(
          Make_Label(*this, &GroupBox1, L"Author_and_Date_Label", {205, 44, 400, 18}, L"", {.font = &bold_font})),
      Developed_Using_Label(
          Make_Label(*this, &GroupBox1, L"Developed_Using_Label", {205, 73, 400, 18}, L"", {.word_wrap = true})),
      Copyright_Label(Make_Label(*this, &GroupBox1, L"Copyright_Label", {205, 102, 400, 18}, L"")),
      Software_Status_Label(
          Make_Label(*this, &GroupBox1, L"Software_Status_Label", {205, 131, 400, 18}, L"", {.word_wrap = true})),
      Donations_Label(
          Make_Label(*this, &GroupBox1, L"Donations_Label", {206, 157, 312, 63}, donation_request,
                     {.font = &link_font, .alignment = Alignment::Centre, .word_wrap = true, .colour = link_blue})),
      Donations_Image(Add<Image_Box>(&GroupBox1, L"Donations_Image", Bounds{532, 166, 62, 31})),
      Quote_From_Orvel_Label(Make_Label(*this, &GroupBox1, L"Quote_From_Orvel_Label", {8, 184, 181, 119}, L"",
                                        {.alignment = Alignment::Centre, .word_wrap = true})),
      Email_Address_Label(Make_Label(*this, &GroupBox1, L"Email_Address_Label", {446, 216, 147, 19}, L"",
                                     {.font = &bold_link_font, .colour = link_blue})),
      Email_Button(Add<Button>(&GroupBox1, L"Email_Button", Bounds{438, 228, 169, 23}, L"")),
      Comments_Label(Make_Label(*this, &GroupBox1, L"Comments_Label", {205, 230, 225, 18}, L"",
                                {.alignment = Alignment::Right, .word_wrap = true})),
      WEB_Address_Label(Make_Label(*this, &GroupBox1, L"WEB_Address_Label", {447, 250, 145, 19}, L"",
                                   {.font = &bold_link_font, .colour = link_blue})),
      WEB_Button(Add<Button>(&GroupBox1, L"WEB_Button", Bounds{438, 257, 169, 23}, L"")),
      WEB_Page_Label(Make_Label(*this, &GroupBox1, L"WEB_Page_Label", {205, 259, 225, 18}, L"",
                                {.alignment = Alignment::Right, .word_wrap = true})),
      OKButton(Add<Button>(&GroupBox1, L"OKButton", Bounds{257, 288, 100, 48}, L"OK")),
      Bevel3(Add<Bevel>(&GroupBox1, L"Bevel3", Bounds{448, 288, 157, 48})),
      Australian_Made_Logo(Add<Image_Box>(&GroupBox1, L"Australian_Made_Logo", Bounds{452, 292, 149, 41})),
      Australian_Made_Label(Make_Label(*this, &GroupBox1, L"Australian_Made_Label", {458, 296, 98, 32},
                                       L"Australian Made Software",
                                       {.font = &badge_font,
                                        .alignment = Alignment::Centre,
                                        .word_wrap = true,
                                        .colour = ::GetSysColor(COLOR_HIGHLIGHTTEXT)})),
      Label3(Fitted(Make_Label(*this, &GroupBox1, L"Label3", {23, 308, 0, 0}, L"Free System Resources :"))),
      Free_Resources_Label(Fitted(Make_Label(*this, &GroupBox1, L"Free_Resources_Label", {179, 308, 0, 0}, L"Free %"))),
      Gauge1(Hidden(Add<TGauge>(&GroupBox1, L"Gauge1", Bounds{385, 18, 88, 28}))),
      Quotes_From_Orvel_ListBox(Add<List_Box>(&GroupBox1, L"Quotes_From_Orvel_ListBox", Bounds{488, 18, 113, 28},
                                              List_Box::Options{.item_height = 13, .control = {.visible = false}})),
      Donations_WEB_Address_Label(
          Make_Label(*this, &GroupBox1, L"Donations_WEB_Address_Label", {488, 50, 113, 13}, L"", {.visible = false})),
      Quote_Change_Timer(Add<Timer>(this, L"Quote_Change_Timer", 10000u)),
      Free_Resources_Timer(Add<Timer>(this, L"Free_Resources_Timer", 500u)),
      program_path_(setup.program_path.empty() ? Program_Path() : setup.program_path),
      open_link_(std::move(setup.open_link)) {
    Set_Client_Width(622);
    Set_Client_Height(411);
    Lay_Out_For_Dpi();
    Fit_Labels();
    Center_On_Screen();

    Australian_Made_Label.Set_Transparent(true);
    Australian_Made_Logo.Set_Hint(L"Hey, don't poke me there !!");
    OKButton.Set_Font(ok_font);
    OKButton.Set_Default(true);
    if (auto glyphs = Load_Glyph_Resource(L"ABOUT_OK_GLYPH")) OKButton.Set_Glyph(glyphs->first, glyphs->second);
    Orvel_Logo_Banner_Image.Set_Picture(Make_Banner(611, 67));
    // The logo's settings as the design stores them, then its picture.  It
    // animates on window-timer messages, on this thread.
    Orvel_Logo_GIFImage.Set_Animate(false);
    Orvel_Logo_GIFImage.Set_Loop(false);
    Orvel_Logo_GIFImage.Set_Threaded(false);
    Orvel_Logo_GIFImage.Set_AutoSize(false);
    Orvel_Logo_GIFImage.Set_Center(false);
    Orvel_Logo_GIFImage.FirstImageOnly = false;
    Orvel_Logo_GIFImage.Set_Opaque(false);
    Orvel_Logo_GIFImage.Set_Stretch(true);
    Orvel_Logo_GIFImage.Set_StretchRatio(false);
    Orvel_Logo_GIFImage.Set_StretchBigOnly(false);
    Orvel_Logo_GIFImage.Set_Tile(false);
    Orvel_Logo_GIFImage.Load_From_Bytes(Resource_Bytes(L"ABOUT_LOGO_GIF"));
    Donations_Image.Set_Picture(Load_Bitmap_Resource(L"ABOUT_DONATE"));
    Australian_Made_Logo.Set_Picture(Load_Bitmap_Resource(L"ABOUT_BADGE"));
    for (const wchar_t* quote : quotes) Quotes_From_Orvel_ListBox.Add(quote);

    Wire_Handlers();
    FormCreate();
}

// The two labels that take the size of their text, which is in pixels of
// the window's resolution already.
void TAboutBox::Fit_Labels() {
    Label3.Fit_To_Text();
    Free_Resources_Label.Fit_To_Text();
}

void TAboutBox::Wire_Handlers() {
    On_Activate = [this] { FormActivate(); };
    On_Dpi_Change = [this] { Fit_Labels(); };
    On_Key_Down = [this](WORD& key) { FormKeyDown(key); };
    // However the window closes (Alt+F4 too), nothing of it runs on hidden.
    On_Close_Query = [this](bool&) { Stop_Timers_And_Animation(); };
    OKButton.On_Click = [this] { OKButtonClick(); };
    Quote_Change_Timer.OnTimer = [this] { Quote_Change_TimerTimer(); };
    Free_Resources_Timer.OnTimer = [this] { Free_Resources_TimerTimer(); };
    Email_Button.On_Click = [this] { Email_ButtonClick(); };
    Email_Address_Label.On_Click = [this] { Email_ButtonClick(); };
    for (Button* button : {&WEB_Button}) button->On_Click = [this] { WEB_ButtonClick(); };
    for (Label* label : {&WEB_Address_Label, &Australian_Made_Label}) label->On_Click = [this] { WEB_ButtonClick(); };
    for (Graphic_Control* picture :
         std::initializer_list<Graphic_Control*>{&Orvel_Logo_GIFImage, &Orvel_Logo_Banner_Image, &Australian_Made_Logo})
        picture->On_Click = [this] { WEB_ButtonClick(); };
    Donations_Label.On_Click = [this] { Donations_LabelClick(); };
    Donations_Image.On_Click = [this] { Donations_ImageClick(); };
}

void TAboutBox::Apply_Product_Texts(const std::wstring& product_name) {
    Set_Caption(L"About " + product_name + L" ...");
    Product_Name_Label.Set_Text(product_name);
    Product_Texts texts = Stored_Product_Texts();
    Author_and_Date_Label.Set_Text(texts.Author_And_Date());
    Developed_Using_Label.Set_Text(texts.developed_using);
    Copyright_Label.Set_Text(texts.copyright);
    Software_Status_Label.Set_Text(texts.software_status);
    Comments_Label.Set_Text(texts.comments);
    WEB_Page_Label.Set_Text(texts.web_page);
    Email_Button.Set_Text(texts.email_address);
    WEB_Button.Set_Text(texts.web_address);
    Donations_WEB_Address_Label.Set_Text(texts.donation_page);
    Set_Hint(L"");
}

void TAboutBox::FormCreate() { random_.seed(Clock_Seed()); }

void TAboutBox::FormActivate() {
    // 1. and 2.
    random_.seed(Clock_Seed());
    Quote_Change_Timer.Set_Enabled(true);
    Free_Resources_Timer.Set_Enabled(true);
    // 3.
    Orvel_Logo_GIFImage.Set_Animate(true);
    // 4. Both figures show at once, not only at the first tick.
    Quote_Change_TimerTimer();
    Free_Resources_TimerTimer();
    // 5. to 7. The labels take the buttons' places and show the addresses as links.
    Email_Button.Set_Hint(L"Click to send an E-Mail to Orvel.");
    WEB_Button.Set_Hint(L"Click to visit Orvel's WEB Page.");
    Email_Button.Set_Visible(false);
    WEB_Button.Set_Visible(false);
    Email_Address_Label.Set_Hint(Email_Button.Hint());
    WEB_Address_Label.Set_Hint(WEB_Button.Hint());
    Email_Address_Label.Set_Top(Email_Button.Top());
    WEB_Address_Label.Set_Top(WEB_Button.Top());
    Email_Address_Label.Set_Text(Email_Button.Text());
    WEB_Address_Label.Set_Text(WEB_Button.Text());
    // 8.
    for (Control* control : std::initializer_list<Control*>{
             &Email_Address_Label, &WEB_Address_Label, &Australian_Made_Label, &Australian_Made_Logo,
             &Orvel_Logo_GIFImage, &Orvel_Logo_Banner_Image, &Bevel3, &Bevel1, &Donations_Label, &Donations_Image})
        control->Set_Cursor(Cursor_Kind::Hand_Point);
    // 9. The frames go behind the pictures they surround.
    Bevel3.Send_To_Back();
    Bevel1.Send_To_Back();
    // 10.
    Set_Key_Preview(true);
}

void TAboutBox::OKButtonClick() {
    Stop_Timers_And_Animation();
    Close();
}

void TAboutBox::Stop_Timers_And_Animation() {
    Quote_Change_Timer.Set_Enabled(false);
    Free_Resources_Timer.Set_Enabled(false);
    Orvel_Logo_GIFImage.Set_Animate(false);
}

void TAboutBox::FormKeyDown(WORD& key) {
    if (key != VK_ESCAPE) return;
    OKButtonClick();
    key = 0;
}

void TAboutBox::Quote_Change_TimerTimer() {
    int count = Quotes_From_Orvel_ListBox.Count();
    if (count <= 0) return;
    std::uniform_int_distribution<int> pick(0, count - 1);
    Quote_From_Orvel_Label.Set_Text(Quotes_From_Orvel_ListBox.Item(pick(random_)));
}

void TAboutBox::Free_Resources_TimerTimer() {
    Free_Resources_Label.Set_Text(Free_Memory_Percent());
    Free_Resources_Label.Fit_To_Text();
}

std::wstring TAboutBox::Mail_Link() const {
    return L"mailto:" + Email_Button.Text() + L"?subject=Shareware: " + File_Name_Of(program_path_);
}

std::wstring TAboutBox::Web_Link() const { return WEB_Button.Text(); }

std::wstring TAboutBox::Donation_Link() const { return Donations_WEB_Address_Label.Text(); }

void TAboutBox::Open(const std::wstring& target) const {
    if (open_link_) {
        open_link_(target);
    } else {
        // Any box of the shell's belongs to this window, which is in front.
        Shell_Open(target, Handle());
    }
}

void TAboutBox::Email_ButtonClick() { Open(Mail_Link()); }
void TAboutBox::WEB_ButtonClick() { Open(Web_Link()); }
void TAboutBox::Donations_LabelClick() { Open(Donation_Link()); }
void TAboutBox::Donations_ImageClick() { Donations_LabelClick(); }

}  // namespace velbrook

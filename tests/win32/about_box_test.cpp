// The About window on its own: its components, the product texts, the
// activation steps, closing with Escape, the timers and the links (recorded
// instead of handed to the shell).

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "about/about_box.h"
#include "about/about_pictures.h"
#include "toolkit/application.h"
#include "../support/scripted_dialogs.h"
#include "toolkit/timer.h"
#include "modal_driver.h"

namespace velbrook {
namespace {

const std::wstring quotes[] = {
    L"I hope this program makes your work a little simpler, your play a little better, or your day a bit easier.",
    L"If you have any comments, suggestions, improvements, or feedback, please email me.",
    L"Useful software needn't take up Gigabytes of disk space, and my catalog of software proves this.",
};

class About_Box_Test : public ::testing::Test {
protected:
    About_Box_Test()
        : application(dialogs, L"Velbrook v1.0f"),
          about(About_Setup{.program_path = L"C:\\Program Files\\Velbrook\\velbrook.exe",
                            .open_link = [this](const std::wstring& target) { opened.push_back(target); }}) {
        about.Apply_Product_Texts(L"Velbrook v1.0f");
    }

    Control& Find(const wchar_t* name) {
        Component* component = about.Find_Component(name);
        if (!component || !component->As_Control()) throw std::logic_error("no such control");
        return *component->As_Control();
    }

    // Shows the window modally and runs `step` from inside its modal loop,
    // once it is up; a window that does not close fails the test.
    void Run_Modal(const std::function<void()>& step) {
        testing::Drive_Modal(
            about, [this] { about.Show_Modal(); }, step);
    }

    void Press_Key_In(HWND control, WORD key) {
        ::SetFocus(control);
        EXPECT_EQ(::GetFocus(), control);
        ::PostMessageW(control, WM_KEYDOWN, key, 1);
    }

    bool Is_A_Quote(const std::wstring& text) {
        for (int i = 0; i < about.Quotes_From_Orvel_ListBox.Count(); ++i)
            if (about.Quotes_From_Orvel_ListBox.Item(i) == text) return true;
        return false;
    }

    // A control's window, in its parent's client coordinates.
    static Bounds Window_Place(const Windowed_Control& control) {
        RECT r;
        ::GetWindowRect(control.Handle(), &r);
        ::MapWindowPoints(nullptr, ::GetParent(control.Handle()), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }

    Scripted_Dialogs dialogs;
    Application application;
    std::vector<std::wstring> opened;
    TAboutBox about;
};

TEST_F(About_Box_Test, Is_A_Centred_Dialog_Frame_Of_622_By_411_Without_Border_Icons) {
    EXPECT_EQ(about.Caption(), L"About Velbrook v1.0f ...");
    SIZE client = about.Client_Size();
    EXPECT_EQ(client.cx, 622);
    EXPECT_EQ(client.cy, 411);
    LONG style = ::GetWindowLongW(about.Handle(), GWL_STYLE);
    LONG ex_style = ::GetWindowLongW(about.Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU) << "no system menu, no close box";
    EXPECT_FALSE(style & WS_THICKFRAME) << "not resizable";
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(ex_style & WS_EX_DLGMODALFRAME);
    Bounds outer = about.Window_Bounds();
    EXPECT_NEAR(outer.left + outer.width / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(outer.top + outer.height / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(about.Font().face, L"System");
    EXPECT_EQ(-Font_Height_For_Points(about.Font().points), 13);
    EXPECT_FALSE(::IsWindowVisible(about.Handle())) << "made hidden";
    EXPECT_FALSE(about.Key_Preview()) << "switched on when the window is activated";
}

TEST_F(About_Box_Test, Every_Component_Stands_In_Its_Parent_At_Its_Place) {
    struct Case {
        const wchar_t* name;
        const wchar_t* parent;
        Bounds bounds;  // width 0: sized to its text
        bool visible;
    } cases[] = {
        {L"GroupBox2", L"AboutBox", {3, -4, 615, 77}, true},
        {L"Orvel_Logo_Banner_Image", L"GroupBox2", {2, 8, 611, 67}, true},
        {L"GroupBox1", L"AboutBox", {3, 70, 615, 341}, true},
        {L"Bevel1", L"GroupBox1", {5, 14, 184, 167}, true},
        {L"Orvel_Logo_GIFImage", L"GroupBox1", {12, 16, 173, 165}, true},
        {L"Product_Name_Label", L"GroupBox1", {205, 15, 400, 18}, true},
        {L"Author_and_Date_Label", L"GroupBox1", {205, 44, 400, 18}, true},
        {L"Developed_Using_Label", L"GroupBox1", {205, 73, 400, 18}, true},
        {L"Copyright_Label", L"GroupBox1", {205, 102, 400, 18}, true},
        {L"Software_Status_Label", L"GroupBox1", {205, 131, 400, 18}, true},
        {L"Donations_Label", L"GroupBox1", {206, 157, 312, 63}, true},
        {L"Donations_Image", L"GroupBox1", {532, 166, 62, 31}, true},
        {L"Quote_From_Orvel_Label", L"GroupBox1", {8, 184, 181, 119}, true},
        {L"Email_Address_Label", L"GroupBox1", {446, 216, 147, 19}, true},
        {L"Email_Button", L"GroupBox1", {438, 228, 169, 23}, true},
        {L"Comments_Label", L"GroupBox1", {205, 230, 225, 18}, true},
        {L"WEB_Address_Label", L"GroupBox1", {447, 250, 145, 19}, true},
        {L"WEB_Button", L"GroupBox1", {438, 257, 169, 23}, true},
        {L"WEB_Page_Label", L"GroupBox1", {205, 259, 225, 18}, true},
        {L"OKButton", L"GroupBox1", {257, 288, 100, 48}, true},
        {L"Bevel3", L"GroupBox1", {448, 288, 157, 48}, true},
        {L"Australian_Made_Logo", L"GroupBox1", {452, 292, 149, 41}, true},
        {L"Australian_Made_Label", L"GroupBox1", {458, 296, 98, 32}, true},
        {L"Label3", L"GroupBox1", {23, 308, 0, 0}, true},
        {L"Free_Resources_Label", L"GroupBox1", {179, 308, 0, 0}, true},
        {L"Gauge1", L"GroupBox1", {385, 18, 88, 28}, false},
        {L"Quotes_From_Orvel_ListBox", L"GroupBox1", {}, false},
        {L"Donations_WEB_Address_Label", L"GroupBox1", {}, false},
    };
    for (const auto& c : cases) {
        Control& control = Find(c.name);
        ASSERT_NE(control.Parent(), nullptr) << c.name;
        EXPECT_EQ(control.Parent()->Name(), c.parent) << c.name;
        EXPECT_EQ(control.Visible(), c.visible) << c.name;
        Bounds wanted = c.bounds;
        if (!c.visible && wanted.width == 0) continue;
        if (wanted.width == 0) {
            EXPECT_GT(control.Width(), 0) << c.name;
            EXPECT_GT(control.Height(), 0) << c.name;
            wanted.width = control.Width();
            wanted.height = control.Height();
        }
        EXPECT_EQ(control.Get_Bounds(), wanted) << c.name;
        if (auto* windowed = dynamic_cast<Windowed_Control*>(&control)) {
            EXPECT_EQ(Window_Place(*windowed), wanted) << c.name << ": its window";
            EXPECT_TRUE(::GetWindowLongW(windowed->Handle(), GWL_STYLE) & WS_VISIBLE) << c.name;
        }
    }
    auto* list = dynamic_cast<List_Box*>(&Find(L"Quotes_From_Orvel_ListBox"));
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(::GetWindowLongW(list->Handle(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(About_Box_Test, Labels_Have_Their_Fonts_Colours_Alignment_And_Wrapping) {
    const COLORREF blue = RGB(0, 0, 255), plain = CLR_INVALID;
    struct Case {
        const wchar_t* name;
        const wchar_t* face;
        int pixels;
        bool bold, underline;
        COLORREF colour;
        Alignment alignment;
        bool wraps;
    } cases[] = {
        {L"Product_Name_Label", L"Times New Roman", 15, true, false, plain, Alignment::Left, false},
        {L"Author_and_Date_Label", L"Times New Roman", 15, true, false, plain, Alignment::Left, false},
        {L"Developed_Using_Label", L"Times New Roman", 15, false, false, plain, Alignment::Left, true},
        {L"Copyright_Label", L"Times New Roman", 15, false, false, plain, Alignment::Left, false},
        {L"Software_Status_Label", L"Times New Roman", 15, false, false, plain, Alignment::Left, true},
        {L"Donations_Label", L"Times New Roman", 16, false, true, blue, Alignment::Centre, true},
        {L"Quote_From_Orvel_Label", L"Times New Roman", 15, false, false, plain, Alignment::Centre, true},
        {L"Email_Address_Label", L"Times New Roman", 16, true, true, blue, Alignment::Left, false},
        {L"Comments_Label", L"Times New Roman", 15, false, false, plain, Alignment::Right, true},
        {L"WEB_Address_Label", L"Times New Roman", 16, true, true, blue, Alignment::Left, false},
        {L"WEB_Page_Label", L"Times New Roman", 15, false, false, plain, Alignment::Right, true},
        {L"Australian_Made_Label", L"Arial", 13, false, false, ::GetSysColor(COLOR_HIGHLIGHTTEXT), Alignment::Centre,
         true},
    };
    for (const auto& c : cases) {
        auto* label = dynamic_cast<Label*>(&Find(c.name));
        ASSERT_NE(label, nullptr) << c.name;
        EXPECT_EQ(label->Font().face, c.face) << c.name;
        EXPECT_EQ(-Font_Height_For_Points(label->Font().points), c.pixels) << c.name;
        EXPECT_EQ(label->Font().bold, c.bold) << c.name;
        EXPECT_EQ(label->Font().underline, c.underline) << c.name;
        EXPECT_EQ(label->Text_Colour(), c.colour) << c.name;
        // The window itself aligns and wraps as asked.
        LONG type = ::GetWindowLongW(label->Handle(), GWL_STYLE) & SS_TYPEMASK;
        LONG wanted = c.alignment == Alignment::Centre  ? SS_CENTER
                      : c.alignment == Alignment::Right ? SS_RIGHT
                      : c.wraps                         ? SS_LEFT
                                                        : SS_LEFTNOWORDWRAP;
        EXPECT_EQ(type, wanted) << c.name;
        // And draws in the asked font.
        LOGFONTW shown{};
        auto font = reinterpret_cast<HFONT>(::SendMessageW(label->Handle(), WM_GETFONT, 0, 0));
        ASSERT_TRUE(::GetObjectW(font, sizeof shown, &shown)) << c.name;
        EXPECT_EQ(shown.lfHeight, -c.pixels) << c.name;
        EXPECT_EQ(shown.lfUnderline != 0, c.underline) << c.name;
        EXPECT_EQ(shown.lfWeight >= FW_BOLD, c.bold) << c.name;
    }
    EXPECT_TRUE(about.Australian_Made_Label.Transparent());
    EXPECT_EQ(about.Australian_Made_Label.Text(), L"Australian Made Software");
    EXPECT_EQ(about.Label3.Text(), L"Free System Resources :");
    EXPECT_EQ(about.Free_Resources_Label.Text(), L"Free %");
    EXPECT_EQ(about.OKButton.Text(), L"OK");
    EXPECT_EQ(about.OKButton.Font(), (Font_Spec{L"Times New Roman", 14, true}));
    EXPECT_EQ(-Font_Height_For_Points(14), 19);
    EXPECT_TRUE(about.OKButton.Default());
    EXPECT_EQ(about.Email_Button.Font().face, L"Times New Roman") << "the group box's font";
}

TEST_F(About_Box_Test, Holds_The_Four_Quotes_And_Asks_For_A_Donation) {
    ASSERT_EQ(about.Quotes_From_Orvel_ListBox.Count(), 4);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(about.Quotes_From_Orvel_ListBox.Item(i), quotes[i]) << i;
    std::wstring fourth = about.Quotes_From_Orvel_ListBox.Item(3);
    EXPECT_NE(fourth.find(L"donation"), std::wstring::npos) << "the fourth asks for support";
    EXPECT_EQ(fourth.back(), L'.');
    EXPECT_NE(about.Donations_Label.Text().find(L"donation"), std::wstring::npos);
}

TEST_F(About_Box_Test, Product_Texts_Fill_The_Labels_And_Buttons_And_Clear_The_Hint) {
    TAboutBox fresh(About_Setup{.program_path = L"velbrook.exe", .open_link = [](const std::wstring&) {}});
    fresh.Set_Hint(L"a hint of the design");
    fresh.Apply_Product_Texts(L"Velbrook v1.0f");
    EXPECT_EQ(fresh.Caption(), L"About Velbrook v1.0f ...");
    EXPECT_EQ(fresh.Product_Name_Label.Text(), L"Velbrook v1.0f");
    std::wstring author = fresh.Author_and_Date_Label.Text();
    EXPECT_TRUE(author.ends_with(L", September 2007")) << author;
    EXPECT_GT(author.size(), std::wstring(L", September 2007").size()) << "a name comes first";
    for (Windowed_Control* filled : std::initializer_list<Windowed_Control*>{
             &fresh.Developed_Using_Label, &fresh.Copyright_Label, &fresh.Software_Status_Label, &fresh.Comments_Label,
             &fresh.WEB_Page_Label})
        EXPECT_FALSE(filled->Text().empty()) << filled->Name();
    EXPECT_NE(fresh.Email_Button.Text().find(L'@'), std::wstring::npos) << fresh.Email_Button.Text();
    EXPECT_TRUE(fresh.WEB_Button.Text().starts_with(L"http://")) << fresh.WEB_Button.Text();
    EXPECT_TRUE(fresh.Donations_WEB_Address_Label.Text().starts_with(L"http://"));
    EXPECT_NE(fresh.Donations_WEB_Address_Label.Text(), fresh.WEB_Button.Text());
    EXPECT_EQ(fresh.Hint(), L"");
    // Before the texts, the links are empty; the labels do not show them yet.
    EXPECT_EQ(fresh.Email_Address_Label.Text(), L"");
}

TEST_F(About_Box_Test, Activation_Starts_The_Timers_And_Turns_The_Buttons_Into_Links) {
    about.Bevel1.Set_Cursor(Cursor_Kind::Default);
    bool checked = false;
    Run_Modal([&] {
        checked = true;
        EXPECT_TRUE(::IsWindowVisible(about.Handle()));
        EXPECT_TRUE(about.Quote_Change_Timer.Enabled());
        EXPECT_TRUE(about.Free_Resources_Timer.Enabled());
        EXPECT_EQ(about.Quote_Change_Timer.Interval(), 10000u);
        EXPECT_EQ(about.Free_Resources_Timer.Interval(), 500u);
        EXPECT_FALSE(about.Email_Button.Visible());
        EXPECT_FALSE(about.WEB_Button.Visible());
        EXPECT_FALSE(::IsWindowVisible(about.Email_Button.Handle()));
        EXPECT_EQ(about.Email_Button.Hint(), L"Click to send an E-Mail to Orvel.");
        EXPECT_EQ(about.WEB_Button.Hint(), L"Click to visit Orvel's WEB Page.");
        EXPECT_EQ(about.Email_Address_Label.Hint(), L"Click to send an E-Mail to Orvel.");
        EXPECT_EQ(about.WEB_Address_Label.Hint(), L"Click to visit Orvel's WEB Page.");
        EXPECT_EQ(about.Email_Address_Label.Get_Bounds(), (Bounds{446, 228, 147, 19}));
        EXPECT_EQ(about.WEB_Address_Label.Get_Bounds(), (Bounds{447, 257, 145, 19}));
        EXPECT_EQ(Window_Place(about.Email_Address_Label), (Bounds{446, 228, 147, 19}));
        EXPECT_EQ(about.Email_Address_Label.Text(), about.Email_Button.Text());
        EXPECT_EQ(about.WEB_Address_Label.Text(), about.WEB_Button.Text());
        EXPECT_TRUE(Is_A_Quote(about.Quote_From_Orvel_Label.Text())) << about.Quote_From_Orvel_Label.Text();
        std::wstring free = about.Free_Resources_Label.Text();
        ASSERT_GE(free.size(), 2u);
        EXPECT_EQ(free.back(), L'%');
        EXPECT_TRUE(std::all_of(free.begin(), free.end() - 1, iswdigit)) << free;
        for (const wchar_t* name : {L"Email_Address_Label", L"WEB_Address_Label", L"Australian_Made_Label",
                                    L"Australian_Made_Logo", L"Orvel_Logo_GIFImage", L"Orvel_Logo_Banner_Image",
                                    L"Bevel3", L"Bevel1", L"Donations_Label", L"Donations_Image"})
            EXPECT_EQ(Find(name).Own_Cursor(), Cursor_Kind::Hand_Point) << name;
        EXPECT_EQ(about.OKButton.Own_Cursor(), Cursor_Kind::Default);
        // The frames went to the back, Bevel1 last of all.
        ASSERT_GE(about.GroupBox1.Children().size(), 2u);
        EXPECT_EQ(about.GroupBox1.Children()[0], &about.Bevel1);
        EXPECT_EQ(about.GroupBox1.Children()[1], &about.Bevel3);
        EXPECT_TRUE(about.Key_Preview());
        // The logo animates on this thread, inside the modal loop.
        EXPECT_TRUE(about.Orvel_Logo_GIFImage.Animate());
        EXPECT_FALSE(about.Orvel_Logo_GIFImage.Threaded());
        ASSERT_NE(about.Orvel_Logo_GIFImage.AnimationTimer(), nullptr);
        int frame = about.Orvel_Logo_GIFImage.CurrentFrame();
        Wait_Milliseconds(350);
        EXPECT_NE(about.Orvel_Logo_GIFImage.CurrentFrame(), frame);
        Press_Key_In(about.OKButton.Handle(), VK_ESCAPE);
    });
    EXPECT_TRUE(checked);
    EXPECT_FALSE(::IsWindowVisible(about.Handle()));
    EXPECT_FALSE(about.Quote_Change_Timer.Enabled()) << "Escape stops the timers";
    EXPECT_FALSE(about.Free_Resources_Timer.Enabled());
    EXPECT_FALSE(about.Orvel_Logo_GIFImage.Animate()) << "and the animation";
    EXPECT_EQ(about.Orvel_Logo_GIFImage.AnimationTimer(), nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(About_Box_Test, A_Second_Showing_Restarts_The_Timers_And_Shows_A_Fresh_Quote) {
    Run_Modal([&] { about.OKButton.Click(); });
    ASSERT_FALSE(about.Quote_Change_Timer.Enabled());
    about.Quote_From_Orvel_Label.Set_Text(L"(no quote)");
    about.Free_Resources_Label.Set_Text(L"(no figure)");
    int showings = 0;
    Run_Modal([&] {
        ++showings;
        EXPECT_TRUE(about.Quote_Change_Timer.Enabled());
        EXPECT_TRUE(about.Free_Resources_Timer.Enabled());
        EXPECT_TRUE(Is_A_Quote(about.Quote_From_Orvel_Label.Text())) << about.Quote_From_Orvel_Label.Text();
        EXPECT_TRUE(about.Free_Resources_Label.Text().ends_with(L"%"));
        EXPECT_TRUE(about.Orvel_Logo_GIFImage.Animate());
        // Enter presses the default button wherever the focus is.
        Press_Key_In(about.OKButton.Handle(), VK_RETURN);
    });
    EXPECT_EQ(showings, 1);
    EXPECT_FALSE(about.Orvel_Logo_GIFImage.Animate());
    EXPECT_FALSE(about.Quote_Change_Timer.Enabled());
    EXPECT_FALSE(about.Free_Resources_Timer.Enabled());
    // The controls moved at the first showing stay where they went.
    EXPECT_EQ(about.Email_Address_Label.Top(), about.Email_Button.Top());
}

// The width of a label's text on one line, in the font its window draws with.
int Text_Width(const Label& label) {
    std::wstring text = label.Text();
    Window_Dc dc(label.Handle());
    Select_Guard font(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(label.Handle(), WM_GETFONT, 0, 0)));
    RECT measured{0, 0, 0, 0};
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &measured,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return measured.right;
}

TEST_F(About_Box_Test, The_One_Line_Texts_And_The_Links_Fit_Their_Labels) {
    Run_Modal([&] {
        for (Label* label :
             {&about.Product_Name_Label, &about.Author_and_Date_Label, &about.Developed_Using_Label,
              &about.Copyright_Label, &about.Software_Status_Label, &about.Comments_Label, &about.WEB_Page_Label,
              &about.Email_Address_Label, &about.WEB_Address_Label, &about.Free_Resources_Label, &about.Label3}) {
            EXPECT_FALSE(label->Text().empty()) << label->Name();
            EXPECT_LE(Text_Width(*label), label->Width()) << label->Name() << ": " << label->Text().size();
        }
        about.OKButton.Click();
    });
}

TEST_F(About_Box_Test, Closing_It_Any_Other_Way_Also_Stops_The_Timers_And_The_Animation) {
    Run_Modal([&] { ::PostMessageW(about.Handle(), WM_CLOSE, 0, 0); });
    EXPECT_FALSE(::IsWindowVisible(about.Handle()));
    EXPECT_FALSE(about.Quote_Change_Timer.Enabled());
    EXPECT_FALSE(about.Free_Resources_Timer.Enabled());
    EXPECT_FALSE(about.Orvel_Logo_GIFImage.Animate());
}

TEST_F(About_Box_Test, The_Free_Memory_Figure_Follows_Its_Timer) {
    Run_Modal([&] {
        about.Free_Resources_Label.Set_Text(L"stale");
        Wait_Milliseconds(700);
        EXPECT_TRUE(about.Free_Resources_Label.Text().ends_with(L"%")) << about.Free_Resources_Label.Text();
        about.OKButton.Click();
    });
}

TEST_F(About_Box_Test, The_Mail_Link_Carries_The_Program_File_Name_In_Its_Subject) {
    std::wstring expected = L"mailto:" + about.Email_Button.Text() + L"?subject=Shareware: velbrook.exe";
    about.Email_ButtonClick();
    ::SendMessageW(about.Email_Button.Handle(), BM_CLICK, 0, 0);
    ::SendMessageW(about.GroupBox1.Handle(), WM_COMMAND, MAKEWPARAM(0, STN_CLICKED),
                   reinterpret_cast<LPARAM>(about.Email_Address_Label.Handle()));
    ASSERT_EQ(opened.size(), 3u);
    for (const auto& link : opened) EXPECT_EQ(link, expected);
    EXPECT_TRUE(opened[0].starts_with(L"mailto:orvel@")) << opened[0];
}

TEST_F(About_Box_Test, Every_Link_Opens_Its_Page) {
    auto click_label = [&](Label& label) {
        ::SendMessageW(about.GroupBox1.Handle(), WM_COMMAND, MAKEWPARAM(0, STN_CLICKED),
                       reinterpret_cast<LPARAM>(label.Handle()));
    };
    auto click_at = [](Container& parent, int x, int y) {
        ::SendMessageW(parent.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    };
    const std::wstring web = about.WEB_Button.Text(), donation = about.Donations_WEB_Address_Label.Text();
    struct Case {
        const char* source;
        std::function<void()> click;
        std::wstring page;
    } cases[] = {
        {"WEB_Button", [&] { ::SendMessageW(about.WEB_Button.Handle(), BM_CLICK, 0, 0); }, web},
        {"WEB_Address_Label", [&] { click_label(about.WEB_Address_Label); }, web},
        {"Australian_Made_Label", [&] { click_label(about.Australian_Made_Label); }, web},
        {"Australian_Made_Logo", [&] { click_at(about.GroupBox1, 595, 330); }, web},
        {"Orvel_Logo_Banner_Image", [&] { click_at(about.GroupBox2, 300, 40); }, web},
        {"Orvel_Logo_GIFImage", [&] { click_at(about.GroupBox1, 100, 100); }, web},
        {"Donations_Label", [&] { click_label(about.Donations_Label); }, donation},
        {"Donations_Image", [&] { click_at(about.GroupBox1, 560, 180); }, donation},
    };
    for (const auto& c : cases) {
        opened.clear();
        c.click();
        ASSERT_EQ(opened.size(), 1u) << c.source;
        EXPECT_EQ(opened[0], c.page) << c.source;
    }
    opened.clear();
    click_at(about.GroupBox1, 100, 320);  // the free-memory line opens nothing
    EXPECT_TRUE(opened.empty());
}

TEST_F(About_Box_Test, The_Logo_Holds_The_Stored_Animation_Stretched_Over_Its_Place) {
    const TGIFImage& logo = about.Orvel_Logo_GIFImage;
    EXPECT_FALSE(logo.Animate()) << "switched on when the window is activated";
    EXPECT_FALSE(logo.Loop());
    EXPECT_FALSE(logo.Threaded());
    EXPECT_TRUE(logo.Stretch());
    EXPECT_FALSE(logo.AutoSize());
    EXPECT_FALSE(logo.Center());
    EXPECT_FALSE(logo.FirstImageOnly);
    EXPECT_FALSE(logo.Opaque());
    EXPECT_FALSE(logo.StretchRatio());
    EXPECT_FALSE(logo.StretchBigOnly());
    EXPECT_FALSE(logo.Tile());
    EXPECT_EQ(logo.Version(), TGIFVersion::gvGIF89a);
    EXPECT_EQ(logo.LogicalWidth(), 135);
    EXPECT_EQ(logo.LogicalHeight(), 125);
    ASSERT_EQ(logo.FrameCount(), 8);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(logo.Frame(i).Delay, 100) << "frame " << i << ", in milliseconds";
    EXPECT_EQ(logo.LoopCount(), 999);
    RECT place = logo.PictureRect();
    EXPECT_EQ(place.right - place.left, 173) << "stretched over the whole control";
    EXPECT_EQ(place.bottom - place.top, 165);
    // The gauge stays hidden at 0 through a showing.
    Run_Modal([&] { about.OKButton.Click(); });
    EXPECT_FALSE(about.Gauge1.Visible());
    EXPECT_EQ(about.Gauge1.Progress(), 0);
}

TEST_F(About_Box_Test, The_Badge_Shows_Its_Hint_And_The_Pictures_Are_There) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = about.GroupBox1.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(&about.Australian_Made_Logo);
    wchar_t text[80] = {};
    tool.lpszText = text;
    ASSERT_TRUE(::SendMessageW(about.Tooltip(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(std::wstring(text), L"Hey, don't poke me there !!");
    EXPECT_EQ(tool.rect.left, 452);
    EXPECT_EQ(tool.rect.bottom, 292 + 41);

    auto badge = Load_Bitmap_Resource(L"ABOUT_BADGE");
    auto donate = Load_Bitmap_Resource(L"ABOUT_DONATE");
    ASSERT_TRUE(badge && donate);
    EXPECT_EQ(badge->Size().cx, 149);
    EXPECT_EQ(badge->Size().cy, 41);
    EXPECT_EQ(donate->Size().cx, 62);
    EXPECT_EQ(donate->Size().cy, 31);
    auto glyphs = Load_Glyph_Resource(L"ABOUT_OK_GLYPH");
    ASSERT_TRUE(glyphs);
    EXPECT_EQ(glyphs->first[15 * 16], 0u) << "the bottom-left colour is transparent";
    EXPECT_GT(std::count_if(glyphs->first.begin(), glyphs->first.end(), [](auto p) { return p != 0; }), 10);
    EXPECT_GT(Resource_Bytes(L"ABOUT_LOGO_GIF").size(), 6u);
    EXPECT_EQ(Resource_Bytes(L"NO_SUCH_PICTURE").size(), 0u);
    // The OK button shows its green tick.
    Bounds ok = about.OKButton.Get_Bounds();
    int green = 0;
    {
        Window_Dc screen(about.OKButton.Handle());
        Dc_Handle memory(::CreateCompatibleDC(screen.get()));
        Bitmap_Handle bitmap(::CreateCompatibleBitmap(screen.get(), ok.width, ok.height));
        Select_Guard select(memory.get(), bitmap.get());
        ::SendMessageW(about.OKButton.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
        for (int y = 0; y < ok.height; ++y)
            for (int x = 0; x < ok.width; ++x) green += ::GetPixel(memory.get(), x, y) == RGB(0, 128, 0);
    }
    EXPECT_GT(green, 10);
    EXPECT_NE(about.Orvel_Logo_Banner_Image.Picture(), nullptr);
    EXPECT_NE(about.Donations_Image.Picture(), nullptr);
    EXPECT_NE(about.Australian_Made_Logo.Picture(), nullptr);
}

// Paints a window's client area as its parent would, into a bitmap of our own.
COLORREF Pixel_Of(HWND window, int x, int y, bool print_client = true) {
    RECT client;
    ::GetClientRect(window, &client);
    Window_Dc screen(window);
    Dc_Handle memory(::CreateCompatibleDC(screen.get()));
    Bitmap_Handle bitmap(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    Select_Guard select(memory.get(), bitmap.get());
    ::SendMessageW(window, print_client ? WM_PRINTCLIENT : WM_PRINT, reinterpret_cast<WPARAM>(memory.get()),
                   PRF_CLIENT | PRF_ERASEBKGND);
    return ::GetPixel(memory.get(), x, y);
}

TEST_F(About_Box_Test, The_Banner_Is_Drawn_And_The_Badge_Shows_Through_Its_Transparent_Label) {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_NE(Pixel_Of(about.GroupBox2.Handle(), 20, 20), face) << "the banner's sky";
    EXPECT_NE(Pixel_Of(about.GroupBox2.Handle(), 600, 20), Pixel_Of(about.GroupBox2.Handle(), 20, 20))
        << "the sky darkens to the right";
    // The badge's green, under the label's top-left corner where no letter stands.
    EXPECT_EQ(Pixel_Of(about.GroupBox1.Handle(), 459, 297), RGB(0, 110, 60));
    EXPECT_EQ(Pixel_Of(about.Australian_Made_Label.Handle(), 1, 1), RGB(0, 110, 60));
}

}  // namespace
}  // namespace velbrook

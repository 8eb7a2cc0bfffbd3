// The print run against a stand-in main window and a recording printer whose
// pages the tests look at.

#include "picture_folder.h"
#include "picture_test_support.h"
#include "print_test_support.h"
#include "toolkit/form.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

class Print_Run_Test : public ::testing::Test {
protected:
    void TearDown() override {
        // Nothing may reach the general failure handler.
        EXPECT_TRUE(app_dialogs.messages.empty());
        // Whatever happened, the window is normal and the panel hidden.
        EXPECT_TRUE(b.host.enabled);
        EXPECT_FALSE(b.host.panel_shown);
        EXPECT_FALSE(b.run->Running());
        EXPECT_FALSE(b.recording->Open());
    }
    RECT Page_Rect() const { return {10, 10, b.options.page.cx - 10, b.options.page.cy - 10}; }
    void Expect_Red_Green_Page(std::size_t page) {
        const RECT r = Page_Rect();
        const int mid_y = (r.top + r.bottom) / 2;
        EXPECT_TRUE(Near(b.At(page, r.left + 40, mid_y), Red, 0));
        EXPECT_TRUE(Near(b.At(page, r.right - 40, mid_y), Green, 0));
        EXPECT_TRUE(Near(b.At(page, r.left + 40, r.top + 40), Red, 0));
        EXPECT_TRUE(Near(b.At(page, r.right - 40, r.bottom - 40), Green, 0));
    }
    void Expect_White_Margins(std::size_t page) {
        const LONG w = b.options.page.cx, h = b.options.page.cy;
        for (POINT p : {POINT{2, h / 2}, POINT{w - 3, h / 2}, POINT{w / 2, 2}, POINT{w / 2, h - 3}})
            EXPECT_EQ(b.At(page, p.x, p.y), White) << p.x << ", " << p.y;
    }

    Scripted_Dialogs app_dialogs;
    Application application{app_dialogs, L"Velbrook tests"};
    Print_Bench b;
    Picture_Folder folder;
};

TEST_F(Print_Run_Test, Empty_List_Shows_The_Information_Box_And_Never_Turns_Busy) {
    b.run->Print_BitBtnClick();
    ASSERT_EQ(b.host.dialogs.messages.size(), 1u);
    const Message_Request& box = b.host.dialogs.messages[0];
    EXPECT_EQ(box.kind, Message_Kind::Information);
    EXPECT_EQ(box.title, L"Information");
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.text,
              L"There are NO picture / graphic files in the list to print.\r\n\r\n"
              L"Please add some files to the list (by dragging and dropping them from Windows Explorer) and try "
              L"again.");
    EXPECT_EQ(b.host.dialogs.printer_setups, 0);
    EXPECT_TRUE(b.host.log.empty());
    EXPECT_EQ(b.printers_opened, 0);
}

TEST_F(Print_Run_Test, Cancelled_Setup_Leaves_The_Status_Line_And_The_Window_Normal) {
    b.host.entries = {Sample("red_green.bmp")};
    b.host.dialogs.printer_answers = {std::nullopt};
    b.run->Print_BitBtnClick();
    EXPECT_EQ(b.host.dialogs.printer_setups, 1);
    EXPECT_EQ(b.printers_opened, 0);
    EXPECT_EQ(b.host.status, L"  before the run");
    EXPECT_EQ(b.host.Count(L"busy"), 0);
    EXPECT_TRUE(b.host.dialogs.messages.empty());
}

TEST_F(Print_Run_Test, Corrupt_Middle_Jpeg_Gives_Two_Pages_And_Counts_Every_Entry) {
    b.host.entries = {Sample("red_green.bmp"), Sample("corrupt.jpg"), Sample("blue_yellow.jpg")};
    b.run->Print_BitBtnClick();

    EXPECT_EQ(b.recording->title, L"Orvel Pics");
    EXPECT_EQ(b.recording->documents_begun, 1);
    EXPECT_EQ(b.recording->documents_ended, 1);
    ASSERT_EQ(b.recording->pages.size(), 2u);
    Expect_Red_Green_Page(0);
    const RECT r = Page_Rect();
    EXPECT_TRUE(Near(b.At(1, (r.left + r.right) / 2, r.top + 40), Blue));
    EXPECT_TRUE(Near(b.At(1, (r.left + r.right) / 2, r.bottom - 40), Yellow));
    for (std::size_t page = 0; page < 2; ++page) {
        Expect_White_Margins(page);
        ASSERT_EQ(b.Page(page).drawn.size(), 1u);
        const RECT d = b.Page(page).drawn[0];
        EXPECT_EQ(std::vector<LONG>({d.left, d.top, d.right, d.bottom}),
                  std::vector<LONG>({r.left, r.top, r.right, r.bottom}));
    }
    EXPECT_EQ(b.host.statuses,
              (std::vector<std::wstring>{
                  L"  Now printing page 1 of 3 ...     (0 secs elapsed so far ...)",
                  L"  Now printing page 2 of 3 ...     (0 secs elapsed so far ...)",
                  L"  Success: All 3 pictures have been printed !!    (The entire process took 0 seconds).",
              }));
    // Busy, then the panel, before the first entry; the panel hidden, then normal, at the end.
    const auto& log = b.host.log;
    EXPECT_LT(b.host.Index_Of(L"busy"), b.host.Index_Of(L"panel shown"));
    EXPECT_LT(b.host.Index_Of(L"panel shown"), b.host.Index_Of(L"select 0"));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], L"panel hidden");
    EXPECT_EQ(log.back(), L"normal");
    // Two waits per printed picture; the skipped one gets no page, text or wait.
    EXPECT_EQ(b.host.Count(L"wait 100"), 4);
    for (std::size_t k = b.host.Index_Of(L"select 1"); k < b.host.Index_Of(L"select 2"); ++k) {
        EXPECT_NE(log[k], L"wait 100");
        EXPECT_NE(log[k], L"status");
        EXPECT_NE(log[k], L"preview");
    }
    // The preview keeps the last picture printed.
    ASSERT_TRUE(b.host.preview);
    EXPECT_EQ(b.host.preview->Kind(), Picture_Kind::Jpeg);
    EXPECT_TRUE(b.host.dialogs.messages.empty());
}

TEST_F(Print_Run_Test, A_List_Where_Every_Entry_Fails_Still_Gives_One_Empty_Page) {
    const std::wstring locked = folder.Copy("red_green.bmp", L"locked.bmp");
    File_Handle holder(::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    b.host.entries = {Sample("corrupt.jpg"),
                      Sample("not_a_bitmap.bmp"),
                      L"",
                      folder.Path(L"gone.bmp"),
                      folder.Copy("red_green.bmp", L"notes.txt"),
                      locked,
                      Sample("truncated.jpg")};
    b.run->Print_BitBtnClick();
    EXPECT_EQ(b.recording->documents_begun, 1);
    EXPECT_EQ(b.recording->documents_ended, 1);
    ASSERT_EQ(b.recording->pages.size(), 1u);
    EXPECT_TRUE(b.Blank(0));
    EXPECT_EQ(b.host.Count(L"wait 100"), 0);
    EXPECT_EQ(b.host.statuses,
              (std::vector<std::wstring>{
                  L"  Success: All 7 pictures have been printed !!    (The entire process took 0 seconds).",
              }));
    EXPECT_FALSE(b.host.preview);
    EXPECT_TRUE(b.host.dialogs.messages.empty());
}

TEST_F(Print_Run_Test, Abort_During_The_Second_Of_Five_Gives_Two_Pages_And_A_Second_Run_Prints_All) {
    Form form(L"Abort_Form", {.caption = L"Abort"});
    auto& abort_button = form.Add<Button>(&form, L"Abort_BitBtn", Bounds{10, 10, 100, 30}, L"Abort");
    abort_button.On_Click = [this] { b.run->Abort_BitBtnClick(); };
    form.Show();
    b.real_waits = true;
    std::vector<std::wstring> statuses_at_click;
    b.host.on_status = [&](const std::wstring& text) {
        // Pressed while the second picture is being printed; the click is
        // served by the run's own message pumping.
        if (text.starts_with(L"  Now printing page 2 of 5")) ::PostMessageW(abort_button.Handle(), BM_CLICK, 0, 0);
    };
    for (int k = 0; k < 5; ++k) b.host.entries.push_back(Sample(k % 2 ? "blue_yellow.jpg" : "red_green.bmp"));

    b.run->Print_BitBtnClick();
    ASSERT_EQ(b.recording->pages.size(), 2u);
    EXPECT_EQ(b.recording->documents_ended, 1);
    EXPECT_EQ(b.host.Count(L"select 2"), 0);
    EXPECT_EQ(b.host.Count(L"wait 100"), 4);  // the second picture was finished with both waits
    ASSERT_GE(b.host.statuses.size(), 2u);
    EXPECT_EQ(b.host.statuses[b.host.statuses.size() - 2],
              L"  Aborting, please wait for the current page to finish ...");
    EXPECT_EQ(b.host.status, L"  Processing aborted, as requested !");
    EXPECT_TRUE(b.host.abort_requested);

    b.host.on_status = nullptr;
    b.host.statuses.clear();
    b.Another_Printer_Answer();
    b.run->Print_BitBtnClick();
    EXPECT_EQ(b.recording->documents_begun, 2);
    EXPECT_EQ(b.recording->pages.size(), 7u);
    EXPECT_FALSE(b.host.abort_requested);
    EXPECT_EQ(b.host.status, L"  Success: All 5 pictures have been printed !!    (The entire process took 0 seconds).");
    form.Close();
}

TEST_F(Print_Run_Test, Portrait_Picture_On_A_Landscape_Page_Fills_The_Whole_Rectangle) {
    b.options.page = {3508, 2479};
    b.host.entries = {Sample("portrait.jpg")};
    b.run->Print_BitBtnClick();
    ASSERT_EQ(b.recording->pages.size(), 1u);
    const RECT r = Page_Rect();
    for (POINT p : {POINT{r.left + 16, r.top + 16}, POINT{r.right - 17, r.top + 16}, POINT{r.left + 16, r.bottom - 17},
                    POINT{r.right - 17, r.bottom - 17}, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}})
        EXPECT_TRUE(Near(b.At(0, p.x, p.y), Magenta)) << p.x << ", " << p.y;
    Expect_White_Margins(0);
}

TEST_F(Print_Run_Test, Upper_Case_Bmp_Prints_As_A_Bitmap_And_An_Icon_Gives_A_Blank_Page) {
    b.host.entries = {folder.Copy("red_green.bmp", L"RED_GREEN.BMP"), Sample("grey.ico"),
                      folder.Copy("blue_yellow.jpg", L"BLUE.JPEG")};
    b.run->Print_BitBtnClick();
    ASSERT_EQ(b.recording->pages.size(), 3u);
    Expect_Red_Green_Page(0);
    EXPECT_TRUE(b.Blank(1));
    EXPECT_TRUE(b.Page(1).drawn.empty());
    EXPECT_FALSE(b.Blank(2));
    // The icon loaded, so its page counts, with its progress text and waits.
    EXPECT_EQ(b.host.statuses[1], L"  Now printing page 2 of 3 ...     (0 secs elapsed so far ...)");
    EXPECT_EQ(b.host.Count(L"wait 100"), 6);
}

TEST_F(Print_Run_Test, Elapsed_Seconds_Are_Cut_Toward_Zero_And_Never_Wrap) {
    b.host.entries = {Sample("red_green.bmp"), Sample("blue_yellow.jpg")};
    b.now_ms = 1'000'000;
    b.host.on_select = [&](int index) { b.now_ms = index == 0 ? 1'004'900 : 1'000'000 + 70'000'999; };
    b.run->Print_BitBtnClick();
    EXPECT_EQ(b.host.statuses,
              (std::vector<std::wstring>{
                  L"  Now printing page 1 of 2 ...     (4 secs elapsed so far ...)",
                  L"  Now printing page 2 of 2 ...     (70000 secs elapsed so far ...)",
                  L"  Success: All 2 pictures have been printed !!    (The entire process took 70000 seconds).",
              }));
}

TEST_F(Print_Run_Test, Printer_Failures_End_The_Run_With_A_Box_And_A_Normal_Window) {
    struct Case {
        const char* name;
        std::function<void(Print_Bench&)> set_up;
        const wchar_t* reason;  // what the box must name
        std::size_t pages;
        int ended;
    };
    const std::vector<Case> cases = {
        {"second page cannot start", [](Print_Bench& x) { x.options.fail_at_page = 2; }, L"page 2", 1, 1},
        {"job cannot begin", [](Print_Bench& x) { x.options.fail_begin = true; }, L"begin the job", 0, 0},
        {"drawing fails", [](Print_Bench& x) { x.options.fail_draw = true; }, L"could not draw", 1, 1},
        {"page too small",
         [](Print_Bench& x) {
             x.options.page = {20, 3000};
         },
         L"too small", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Print_Bench x;
        c.set_up(x);
        x.host.entries = {Sample("red_green.bmp"), Sample("blue_yellow.jpg"), Sample("red_green.bmp")};
        x.run->Print_BitBtnClick();
        ASSERT_EQ(x.host.dialogs.messages.size(), 1u);
        const Message_Request& box = x.host.dialogs.messages[0];
        EXPECT_EQ(box.kind, Message_Kind::Error);
        EXPECT_NE(box.text.find(c.reason), std::wstring::npos) << std::string(box.text.begin(), box.text.end());
        EXPECT_EQ(x.recording->pages.size(), c.pages);
        EXPECT_EQ(x.recording->documents_ended, c.ended);
        EXPECT_FALSE(x.recording->Open());
        EXPECT_TRUE(x.host.enabled);
        EXPECT_FALSE(x.host.panel_shown);
        EXPECT_EQ(x.host.log.back(), L"normal");
        EXPECT_TRUE(x.host.status.starts_with(L"  Printing stopped: "));
    }
    // A printer that cannot even be opened.
    Print_Bench x;
    x.host.entries = {Sample("red_green.bmp")};
    Print_Environment environment;
    environment.open_printer = [](const Printer_Selection&) -> std::unique_ptr<Printer> {
        throw Failure(L"The printer \"Test\" cannot be opened");
    };
    environment.taskbar_progress = false;
    Print_Run run(x.host, environment);
    run.Print_BitBtnClick();
    ASSERT_EQ(x.host.dialogs.messages.size(), 1u);
    EXPECT_NE(x.host.dialogs.messages[0].text.find(L"cannot be opened"), std::wstring::npos);
    EXPECT_TRUE(x.host.enabled);
    EXPECT_FALSE(run.Running());
}

TEST_F(Print_Run_Test, The_List_Is_Read_Anew_Before_Every_Entry) {
    // Shrinking under the run: it stops at the new end.
    b.host.entries = {Sample("red_green.bmp"), Sample("blue_yellow.jpg"), Sample("cyan.emf")};
    b.host.on_select = [&](int index) {
        if (index == 1) b.host.entries.resize(1);
    };
    b.run->Print_BitBtnClick();
    EXPECT_EQ(b.recording->pages.size(), 1u);
    EXPECT_EQ(b.host.Count(L"select 2"), 0);
    EXPECT_EQ(b.host.status, L"  Success: All 1 pictures have been printed !!    (The entire process took 0 seconds).");

    // Growing under the run: the new entry is printed too.
    Print_Bench grow;
    grow.host.entries = {Sample("red_green.bmp")};
    grow.host.on_select = [&](int index) {
        if (index == 0) grow.host.entries.push_back(Sample("orange.wmf"));
    };
    grow.run->Print_BitBtnClick();
    ASSERT_EQ(grow.recording->pages.size(), 2u);
    EXPECT_TRUE(Near(grow.At(1, 1000, 1000), Orange, 2));
    EXPECT_EQ(grow.host.statuses[0], L"  Now printing page 1 of 2 ...     (0 secs elapsed so far ...)");
}

TEST_F(Print_Run_Test, A_File_That_Vanishes_During_The_Run_Is_Skipped) {
    const std::wstring doomed = folder.Copy("red_green.bmp", L"doomed.bmp");
    b.host.entries = {Sample("blue_yellow.jpg"), doomed, Sample("cyan.emf")};
    b.host.on_select = [&](int index) {
        if (index == 1) ::DeleteFileW(doomed.c_str());
    };
    b.run->Print_BitBtnClick();
    ASSERT_EQ(b.recording->pages.size(), 2u);
    EXPECT_TRUE(Near(b.At(1, 1000, 1000), Cyan, 2));
    EXPECT_TRUE(b.host.dialogs.messages.empty());
    EXPECT_TRUE(b.host.status.starts_with(L"  Success: All 3 "));
}

TEST_F(Print_Run_Test, A_Second_Press_During_A_Run_Is_Ignored) {
    b.host.entries = {Sample("red_green.bmp"), Sample("blue_yellow.jpg")};
    b.Another_Printer_Answer();
    b.host.on_select = [&](int) { b.run->Print_BitBtnClick(); };
    b.run->Print_BitBtnClick();
    EXPECT_EQ(b.host.dialogs.printer_setups, 1);
    EXPECT_EQ(b.recording->documents_begun, 1);
    EXPECT_EQ(b.recording->pages.size(), 2u);
}

}  // namespace
}  // namespace velbrook

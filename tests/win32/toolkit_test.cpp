// The toolkit's message loop helpers and the general failure handler.

#include <gtest/gtest.h>

#include <optional>

#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

TEST(Full_Stop_Rule, Is_Added_Unless_The_Text_Ends_In_A_Stop_Or_Something_That_Sorts_Below_It) {
    struct Case {
        const wchar_t* text;
        const wchar_t* shown;
    } cases[] = {
        {L"Unable to write to C:\\x.ini", L"Unable to write to C:\\x.ini."},
        {L"Done.", L"Done."},
        {L"Stop!", L"Stop!"},
        {L"(see above)", L"(see above)"},
        {L"a, b,", L"a, b,"},
        {L"minus -", L"minus -"},
        {L"slash /", L"slash /."},
        {L"digit 5", L"digit 5."},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(With_Full_Stop(c.text), c.shown) << c.text;
}

class Loop_Test : public ::testing::Test {
protected:
    Loop_Test() : application(dialogs, L"Velbrook v1.0f"), form(L"Test", Form::Options{.caption = L"Test"}) {}
    Scripted_Dialogs dialogs;
    Application application;
    Form form;
};

TEST_F(Loop_Test, Wait_Milliseconds_Lasts_At_Least_Its_Time_And_Serves_Messages_Meanwhile) {
    int served = 0;
    form.Show();
    Button& button = form.Add<Button>(&form, L"B", Bounds{0, 0, 80, 24}, L"B");
    button.On_Click = [&] { ++served; };
    ::PostMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
    for (unsigned wanted : {1u, 30u, 120u}) {
        LARGE_INTEGER frequency, start, end;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        Wait_Milliseconds(wanted);
        ::QueryPerformanceCounter(&end);
        double elapsed = double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
        EXPECT_GE(elapsed, wanted);
    }
    EXPECT_EQ(served, 1);
}

TEST_F(Loop_Test, Wait_Milliseconds_Leaves_The_Processor_Idle) {
    FILETIME created, exited, kernel_before, user_before, kernel_after, user_after;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel_before, &user_before);
    Wait_Milliseconds(300);
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel_after, &user_after);
    auto ticks = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    ULONGLONG busy = ticks(kernel_after) - ticks(kernel_before) + ticks(user_after) - ticks(user_before);
    // A spinning wait would use the whole 300 ms (3,000,000 ticks of 100 ns).
    EXPECT_LT(busy, 1500000u);
}

TEST_F(Loop_Test, Process_Messages_Runs_What_Is_Pending_And_Returns) {
    int served = 0;
    Button& button = form.Add<Button>(&form, L"B", Bounds{0, 0, 80, 24}, L"B");
    button.On_Click = [&] { ++served; };
    for (int i = 0; i < 3; ++i)
        ::PostMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
    Process_Messages();
    EXPECT_EQ(served, 3);
}

TEST_F(Loop_Test, An_Exception_In_A_Window_Procedure_Is_Shown_And_The_Loop_Runs_On) {
    Button& button = form.Add<Button>(&form, L"B", Bounds{0, 0, 80, 24}, L"B");
    button.On_Click = [] { throw std::runtime_error("disk on fire"); };
    ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, L"Velbrook v1.0f");
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Failure);
    EXPECT_EQ(dialogs.messages[0].text, L"disk on fire.");
    button.On_Click = [] { throw std::bad_alloc(); };
    ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button.Handle()));
    EXPECT_EQ(dialogs.Last().text, L"Out of memory.");
}

// A windowless control: painted by its parent, clicked through it.
class Square : public Graphic_Control {
public:
    using Graphic_Control::Graphic_Control;
    void Paint(HDC dc, const RECT& area) override {
        Brush_Handle red(::CreateSolidBrush(RGB(255, 0, 0)));
        ::FillRect(dc, &area, red.get());
    }
};

TEST_F(Loop_Test, A_Graphic_Control_Is_Painted_By_Its_Parent_And_Gets_Its_Clicks) {
    Square& square = form.Add<Square>(&form, L"Square", Bounds{10, 10, 20, 20});
    int clicks = 0;
    square.On_Click = [&] { ++clicks; };
    form.Show();
    Dc_Handle memory(::CreateCompatibleDC(nullptr));
    Window_Dc screen(form.Handle());
    Bitmap_Handle bitmap(::CreateCompatibleBitmap(screen.get(), 100, 100));
    {
        Select_Guard select(memory.get(), bitmap.get());
        ::SendMessageW(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
        EXPECT_EQ(::GetPixel(memory.get(), 15, 15), RGB(255, 0, 0));
        EXPECT_NE(::GetPixel(memory.get(), 50, 50), RGB(255, 0, 0));
    }
    ::SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    ::SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_EQ(clicks, 1);
    square.Set_Visible(false);
    ::SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    EXPECT_EQ(clicks, 1);
}

TEST_F(Loop_Test, Components_Keep_Their_Creation_Order) {
    form.Add<Label>(&form, L"First", Bounds{}, L"");
    form.Add<Menu_Bar>(L"Menu");
    form.Add<Button>(&form, L"Third", Bounds{}, L"");
    ASSERT_EQ(form.Components().size(), 3u);
    EXPECT_EQ(form.Components()[0]->Name(), L"First");
    EXPECT_EQ(form.Components()[1]->As_Control(), nullptr);
    EXPECT_EQ(form.Components()[2]->Name(), L"Third");
}

// The program's loop, the modal loop and Process_Messages (with and without
// an application) serve keys alike: the form's key preview sees each key
// first and can spend it, and the dialog manager moves the focus with Tab.
TEST(Message_Pump, Key_Preview_And_The_Dialog_Manager_Work_In_Every_Loop) {
    enum class Loop { Run, Modal, Process_Messages, Process_Messages_Without_Application };
    for (Loop loop : {Loop::Run, Loop::Modal, Loop::Process_Messages, Loop::Process_Messages_Without_Application}) {
        SCOPED_TRACE(static_cast<int>(loop));
        Scripted_Dialogs dialogs;
        std::optional<Application> application;
        if (loop != Loop::Process_Messages_Without_Application) application.emplace(dialogs, L"Keys");
        Form form(L"Keys", Form::Options{.caption = L"Keys", .bounds = {40, 40, 300, 200}});
        Edit& first = form.Add<Edit>(&form, L"First", Bounds{10, 10, 120, 24});
        Edit& second = form.Add<Edit>(&form, L"Second", Bounds{10, 40, 120, 24});
        first.Set_Tab_Order(0);
        second.Set_Tab_Order(1);
        form.Apply_Tab_Order();
        std::vector<WORD> seen;
        HWND focus_after_tab = nullptr;
        form.Set_Key_Preview(true);
        form.On_Key_Down = [&](WORD& key) {
            seen.push_back(key);
            if (key == 'X') {
                focus_after_tab = ::GetFocus();
                key = 0;
                form.Close();
            }
        };
        auto post_keys = [&] {
            ::SetForegroundWindow(form.Handle());
            ::SetFocus(first.Handle());
            for (WPARAM key : {WPARAM{VK_TAB}, WPARAM{'X'}}) ::PostMessageW(first.Handle(), WM_KEYDOWN, key, 1);
        };
        switch (loop) {
            case Loop::Run:
                application->Run(form, post_keys);
                break;
            case Loop::Modal:
                form.Show();
                post_keys();
                form.Show_Modal();
                break;
            case Loop::Process_Messages:
            case Loop::Process_Messages_Without_Application:
                form.Show();
                post_keys();
                Process_Messages();
                break;
        }
        EXPECT_EQ(seen, (std::vector<WORD>{VK_TAB, 'X'}));
        EXPECT_EQ(focus_after_tab, second.Handle());
        EXPECT_TRUE(form.Closed());
    }
}

}  // namespace
}  // namespace velbrook

// The toolkit's window timer: ticks on the user-interface thread while it is
// enabled, never while it is not, and a tick that throws is reported and the
// timer ticks on.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "toolkit/application.h"
#include "../support/scripted_dialogs.h"
#include "toolkit/timer.h"

namespace velbrook {
namespace {

class Timer_Test : public ::testing::Test {
protected:
    Timer_Test() : application(dialogs, L"Velbrook v1.0f") {}
    Scripted_Dialogs dialogs;
    Application application;
};

TEST_F(Timer_Test, Starts_Disabled_With_Its_Interval_And_Name) {
    Timer timer(nullptr, L"Quote_Change_Timer", 10000);
    EXPECT_EQ(timer.Name(), L"Quote_Change_Timer");
    EXPECT_EQ(timer.Interval(), 10000u);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(timer.Owner(), nullptr);
    // Its window is a message-only one: never seen, never in the way.
    EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"Velbrook.Timer", L"Quote_Change_Timer"), timer.Handle());
    EXPECT_FALSE(::IsWindowVisible(timer.Handle()));
}

TEST_F(Timer_Test, Ticks_Only_While_Enabled_With_A_Non_Zero_Interval) {
    struct Case {
        const char* what;
        unsigned interval;
        bool enabled;
        bool ticks;
    } cases[] = {
        {"enabled", 15, true, true},
        {"disabled", 15, false, false},
        {"enabled with interval 0", 0, true, false},
    };
    for (const auto& c : cases) {
        Timer timer(nullptr, L"T", c.interval);
        int ticks = 0;
        timer.OnTimer = [&] { ++ticks; };
        timer.Set_Enabled(c.enabled);
        EXPECT_EQ(timer.Running(), c.ticks) << c.what;
        Wait_Milliseconds(200);
        if (c.ticks) {
            EXPECT_GE(ticks, 2) << c.what;
        } else {
            EXPECT_EQ(ticks, 0) << c.what;
        }
    }
}

TEST_F(Timer_Test, Disabling_Stops_The_Ticks_And_Enabling_Again_Restarts_Them) {
    Timer timer(nullptr, L"T", 15);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.Set_Enabled(true);
    Wait_Milliseconds(100);
    ASSERT_GT(ticks, 0);
    timer.Set_Enabled(false);
    Process_Messages();
    int stopped_at = ticks;
    Wait_Milliseconds(150);
    EXPECT_EQ(ticks, stopped_at);
    timer.Set_Enabled(true);
    Wait_Milliseconds(150);
    EXPECT_GT(ticks, stopped_at);
}

TEST_F(Timer_Test, A_Longer_Interval_Ticks_Less_Often) {
    Timer fast(nullptr, L"Fast", 15);
    Timer slow(nullptr, L"Slow", 1000);
    int fast_ticks = 0, slow_ticks = 0;
    fast.OnTimer = [&] { ++fast_ticks; };
    slow.OnTimer = [&] { ++slow_ticks; };
    fast.Set_Enabled(true);
    slow.Set_Enabled(true);
    Wait_Milliseconds(300);
    EXPECT_GE(fast_ticks, 3);
    EXPECT_EQ(slow_ticks, 0);
    // A new interval takes effect at once.
    slow.Set_Interval(15);
    Wait_Milliseconds(150);
    EXPECT_GT(slow_ticks, 0);
}

TEST_F(Timer_Test, An_Exception_In_A_Tick_Is_Reported_And_The_Timer_Goes_On) {
    Timer timer(nullptr, L"T", 15);
    int ticks = 0;
    timer.OnTimer = [&] {
        ++ticks;
        throw std::runtime_error("the clock fell off the wall");
    };
    timer.Set_Enabled(true);
    Wait_Milliseconds(200);
    EXPECT_GE(ticks, 2) << "ticks go on after a failure";
    ASSERT_EQ(dialogs.messages.size(), static_cast<size_t>(ticks));
    EXPECT_EQ(dialogs.Last().kind, Message_Kind::Failure);
    EXPECT_EQ(dialogs.Last().title, L"Velbrook v1.0f");
    EXPECT_EQ(dialogs.Last().text, L"the clock fell off the wall.");
    EXPECT_TRUE(timer.Running());
}

TEST_F(Timer_Test, A_Tick_That_Lets_Messages_Through_Is_Not_Ticked_Into_Again) {
    Timer timer(nullptr, L"T", 10);
    int depth = 0, deepest = 0, ticks = 0;
    timer.OnTimer = [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        if (ticks == 1) Wait_Milliseconds(100);
        --depth;
    };
    timer.Set_Enabled(true);
    Wait_Milliseconds(250);
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(deepest, 1);
}

}  // namespace
}  // namespace velbrook

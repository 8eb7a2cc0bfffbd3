// TTimerEx in window mode and threaded mode: ticks, the states without
// ticks, switching modes while running, a timer freed inside its own tick,
// prompt shutdown, failures of a tick and of the window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "gif/timer_ex.h"
#include "timer_wait.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {

namespace {

// Counts every tick the mechanism delivers, handler or not.
class Counting_Timer : public TTimerEx {
public:
    int calls = 0;
    void Timer() override {
        ++calls;
        TTimerEx::Timer();
    }
};

const char* Mode_Name(bool threaded) { return threaded ? "threaded" : "window"; }

TEST(TimerEx, StartsInWindowModeWithItsDefaults) {
    TTimerEx timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_FALSE(timer.Threaded());
    EXPECT_EQ(timer.ThreadPriority(), TThreadPriority::tpNormal);
    EXPECT_FALSE(timer.ThreadSafe());
    EXPECT_NE(timer.WindowHandle(), nullptr);
    EXPECT_EQ(timer.Thread(), nullptr);
    // The hidden window runs no timer until a handler is there.
    EXPECT_FALSE(KillTimer(timer.WindowHandle(), 1));
}

TEST(TimerEx, TicksArriveOnTheInterfaceThreadInBothModes) {
    for (bool threaded : {false, true}) {
        TTimerEx timer;
        timer.Set_Threaded(threaded);
        timer.Set_Interval(10);
        int ticks = 0;
        std::vector<DWORD> threads;
        timer.Set_OnTimer([&](TTimerEx& sender) {
            EXPECT_EQ(&sender, &timer);
            ++ticks;
            threads.push_back(GetCurrentThreadId());
        });
        EXPECT_EQ(timer.WindowHandle() != nullptr, !threaded) << Mode_Name(threaded);
        EXPECT_EQ(timer.Thread() != nullptr, threaded) << Mode_Name(threaded);
        ASSERT_TRUE(Wait_Until([&] { return ticks >= 3; })) << Mode_Name(threaded);
        for (DWORD id : threads) EXPECT_EQ(id, GetCurrentThreadId()) << Mode_Name(threaded);
        if (threaded) {
            EXPECT_TRUE(timer.Thread()->Running());
        } else {
            EXPECT_TRUE(KillTimer(timer.WindowHandle(), 1));  // the window timer's identifier is 1
        }
    }
}

TEST(TimerEx, NoTicksWhenDisabledWithoutHandlerOrWithIntervalZero) {
    struct Case {
        const char* name;
        bool enabled;
        bool handler;
        unsigned interval;
    };
    const std::vector<Case> cases = {
        {"disabled", false, true, 10},
        {"no handler", true, false, 10},
        {"interval 0", true, true, 0},
    };
    for (bool threaded : {false, true}) {
        for (const Case& c : cases) {
            Counting_Timer idle;
            idle.Set_Threaded(threaded);
            idle.Set_Interval(c.interval);
            idle.Set_Enabled(c.enabled);
            int handled = 0;
            if (c.handler) idle.Set_OnTimer([&](TTimerEx&) { ++handled; });

            TTimerEx reference;
            reference.Set_Threaded(threaded);
            reference.Set_Interval(5);
            int reference_ticks = 0;
            reference.Set_OnTimer([&](TTimerEx&) { ++reference_ticks; });
            ASSERT_TRUE(Wait_Until([&] { return reference_ticks >= 10; })) << c.name;
            EXPECT_EQ(idle.calls, 0) << Mode_Name(threaded) << ", " << c.name;
            EXPECT_EQ(handled, 0) << Mode_Name(threaded) << ", " << c.name;
            // Still there, and ticking again once all three hold.
            EXPECT_EQ(idle.WindowHandle() != nullptr, !threaded) << c.name;
            EXPECT_EQ(idle.Thread() != nullptr, threaded) << c.name;
            idle.Set_Enabled(true);
            idle.Set_Interval(5);
            if (!c.handler) idle.Set_OnTimer([&](TTimerEx&) { ++handled; });
            ASSERT_TRUE(Wait_Until([&] { return handled >= 2; })) << Mode_Name(threaded) << ", " << c.name;
        }
    }
}

TEST(TimerEx, SwitchingModesWhileRunningKeepsTicking) {
    TTimerEx timer;
    timer.Set_Interval(5);
    int ticks = 0;
    timer.Set_OnTimer([&](TTimerEx&) { ++ticks; });
    for (bool threaded : {true, false, true}) {
        const int before = ticks;
        timer.Set_Threaded(threaded);
        EXPECT_EQ(timer.WindowHandle() != nullptr, !threaded);
        EXPECT_EQ(timer.Thread() != nullptr, threaded);
        ASSERT_TRUE(Wait_Until([&] { return ticks >= before + 3; })) << Mode_Name(threaded);
    }
}

TEST(TimerEx, SwitchingModesFromInsideATick) {
    TTimerEx timer;
    timer.Set_Interval(5);
    int ticks = 0;
    timer.Set_OnTimer([&](TTimerEx& sender) {
        ++ticks;
        if (ticks % 3 == 0) sender.Set_Threaded(!sender.Threaded());
    });
    ASSERT_TRUE(Wait_Until([&] { return ticks >= 12; }));
}

TEST(TimerEx, FreedInsideItsOwnTick) {
    for (bool threaded : {false, true}) {
        auto timer = std::make_unique<TTimerEx>();
        timer->Set_Threaded(threaded);
        timer->Set_Interval(5);
        int ticks = 0;
        timer->Set_OnTimer([&](TTimerEx&) {
            ++ticks;
            timer.reset();
        });
        ASSERT_TRUE(Wait_Until([&] { return timer == nullptr; })) << Mode_Name(threaded);

        TTimerEx reference;
        reference.Set_Threaded(threaded);
        reference.Set_Interval(5);
        int reference_ticks = 0;
        reference.Set_OnTimer([&](TTimerEx&) { ++reference_ticks; });
        ASSERT_TRUE(Wait_Until([&] { return reference_ticks >= 5; }));
        EXPECT_EQ(ticks, 1) << Mode_Name(threaded);
    }
}

TEST(TimerEx, DestructionEndsTheWorkerAtOnce) {
    DWORD worker = 0;
    {
        TTimerEx timer;
        timer.Set_Threaded(true);
        timer.Set_Interval(3600 * 1000);  // an hour: only a prompt end lets the test finish
        timer.Set_OnTimer([](TTimerEx&) {});
        ASSERT_NE(timer.Thread(), nullptr);
        worker = timer.Thread()->Thread_Id();
        Sleep(20);  // let the worker start its long sleep
    }
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, worker);
    if (thread != nullptr) {
        EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
        CloseHandle(thread);
    }
}

TEST(TimerEx, PriorityOfTheWorker) {
    TTimerEx timer;
    timer.Set_ThreadPriority(TThreadPriority::tpLowest);
    timer.Set_Threaded(true);
    timer.Set_Interval(50);
    timer.Set_OnTimer([](TTimerEx&) {});
    ASSERT_NE(timer.Thread(), nullptr);
    EXPECT_EQ(timer.Thread()->Priority(), THREAD_PRIORITY_LOWEST);
    timer.Set_ThreadPriority(TThreadPriority::tpHigher);
    EXPECT_EQ(timer.Thread()->Priority(), THREAD_PRIORITY_ABOVE_NORMAL);
}

TEST(TimerEx, ThreadSafeTicksRunOnTheWorker) {
    // Declared before the timer: the worker may still tick while the timer
    // is being destroyed, and these outlive it.
    std::atomic<int> ticks{0};
    std::atomic<DWORD> thread{0};
    TTimerEx timer;
    timer.Set_Threaded(true);
    timer.Set_ThreadSafe(true);
    timer.Set_Interval(5);
    timer.Set_OnTimer([&](TTimerEx&) {
        thread = GetCurrentThreadId();
        ++ticks;
    });
    ASSERT_TRUE(Wait_Until([&] { return ticks.load() >= 3; }));
    EXPECT_EQ(thread.load(), timer.Thread()->Thread_Id());
    EXPECT_NE(thread.load(), GetCurrentThreadId());
}

TEST(TimerEx, AFailingTickIsReportedAndTheTimerRunsOn) {
    velbrook::Scripted_Dialogs dialogs;
    velbrook::Application application(dialogs, L"Velbrook v1.0f");
    for (bool threaded : {false, true}) {
        dialogs.Clear();
        TTimerEx timer;
        timer.Set_Threaded(threaded);
        timer.Set_Interval(5);
        timer.Set_OnTimer([](TTimerEx&) { throw velbrook::Failure(L"The tick failed"); });
        ASSERT_TRUE(Wait_Until([&] { return dialogs.messages.size() >= 3; })) << Mode_Name(threaded);
        timer.Set_Enabled(false);
        EXPECT_EQ(dialogs.Last().kind, velbrook::Message_Kind::Failure);
        EXPECT_EQ(dialogs.Last().title, L"Velbrook v1.0f");
        EXPECT_EQ(dialogs.Last().text, L"The tick failed.");
    }
}

UINT_PTR WINAPI Refuse_Timer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }

TEST(TimerEx, ARefusedWindowTimerRaisesNoMoreTimersAvailable) {
    TTimerEx timer;
    Timer_Ex_Set_Timer = &Refuse_Timer;
    bool raised = false;
    try {
        timer.Set_OnTimer([](TTimerEx&) {});
    } catch (const Out_Of_Resources& failure) {
        raised = true;
        EXPECT_EQ(failure.Text(), L"No More Timers Available");
    }
    Timer_Ex_Set_Timer = &::SetTimer;
    EXPECT_TRUE(raised);
    // Threaded mode needs no window timer.
    timer.Set_Threaded(true);
    Timer_Ex_Set_Timer = &Refuse_Timer;
    EXPECT_NO_THROW(timer.Set_Interval(20));
    Timer_Ex_Set_Timer = &::SetTimer;
}

TEST(TimerEx, ATickThatServesMessagesIsNotEnteredAgain) {
    TTimerEx timer;
    timer.Set_Interval(5);
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    timer.Set_OnTimer([&](TTimerEx&) {
        ++depth;
        ++ticks;
        deepest = std::max(deepest, depth);
        if (ticks == 1) {
            TTimerEx other;
            other.Set_Interval(5);
            int other_ticks = 0;
            other.Set_OnTimer([&](TTimerEx&) { ++other_ticks; });
            EXPECT_TRUE(Wait_Until([&] { return other_ticks >= 5; }));
        }
        --depth;
    });
    ASSERT_TRUE(Wait_Until([&] { return ticks >= 3; }));
    EXPECT_EQ(deepest, 1);
}

TEST(TimerEx, ThreadedTimersComeAndGoWhateverTheirWorkerIsDoing) {
    int ran = 0;
    for (int i = 0; i < 60; ++i) {
        auto timer = std::make_unique<TTimerEx>();
        timer->Set_Threaded(true);
        timer->Set_Interval(1);
        int ticks = 0;
        timer->Set_OnTimer([&](TTimerEx&) { ++ticks; });
        switch (i % 3) {
            case 0:  // freed at once, the worker barely started
                break;
            case 1:  // freed with a tick handed over and not yet run
                Sleep(15);
                break;
            default:  // freed after a few ticks, in window mode again
                ASSERT_TRUE(Wait_Until([&] { return ticks >= 2; }));
                timer->Set_Threaded(false);
                break;
        }
        timer.reset();
        velbrook::Process_Messages();  // a tick handed to a freed timer goes nowhere
        ran += ticks;
    }
    EXPECT_GE(ran, 40);
}

}  // namespace

}  // namespace velbrook

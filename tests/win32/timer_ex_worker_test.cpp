// TTimerEx's worker against the window thread: a failing tick whose box
// serves messages, an interval changed while the worker sleeps, setters and
// the destructor while a tick runs on the worker itself.  Every wait here is
// bounded, so that a worker stuck for good shows as a failure, not a hang.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "gif/timer_ex.h"
#include "timer_wait.h"
#include "toolkit/application.h"
#include "toolkit/handles.h"

namespace velbrook {

namespace {

// The failure handler's box, as the tests need it: it counts what it shows
// and runs a test's own action while "open" (on whatever thread shows it).
class Watching_Dialogs final : public velbrook::Dialogs {
public:
    std::function<void()> while_shown;
    std::atomic<int> shown{0};

    std::wstring Last_Text() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return last_text_;
    }

    velbrook::Answer Show_Message(const velbrook::Message_Request& request) override {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            last_text_ = request.text;
        }
        ++shown;
        if (while_shown) while_shown();
        return velbrook::Answer::Ok;
    }
    std::optional<std::wstring> Show_File_Dialog(const velbrook::File_Dialog_Request&) override { return {}; }
    std::optional<velbrook::Printer_Selection> Show_Printer_Setup() override { return {}; }

private:
    std::mutex mutex_;
    std::wstring last_text_;
};

velbrook::Kernel_Handle New_Event() { return velbrook::Kernel_Handle(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

bool Signalled_Within(const velbrook::Kernel_Handle& event, DWORD milliseconds) {
    return WaitForSingleObject(event.get(), milliseconds) == WAIT_OBJECT_0;
}

TEST(TimerExWorker, AFailingTickWhoseBoxServesMessagesLeavesTheTimerRunning) {
    Watching_Dialogs dialogs;
    velbrook::Application application(dialogs, L"Velbrook v1.0f");
    // A real box serves messages while it is open: the worker's next
    // handover arrives then, and must not be lost.
    dialogs.while_shown = [] {
        TTimerEx other;
        other.Set_Interval(5);
        int other_ticks = 0;
        other.Set_OnTimer([&](TTimerEx&) { ++other_ticks; });
        Wait_Until([&] { return other_ticks >= 4; }, 2000);
    };
    TTimerEx timer;
    timer.Set_Threaded(true);
    timer.Set_Interval(5);
    timer.Set_OnTimer([](TTimerEx&) { throw velbrook::Failure(L"The tick failed"); });
    EXPECT_TRUE(Wait_Until([&] { return dialogs.shown.load() >= 3; }, 5000)) << dialogs.shown.load() << " boxes";
    timer.Set_Enabled(false);
    EXPECT_EQ(dialogs.Last_Text(), L"The tick failed.");
}

TEST(TimerExWorker, TheFirstTickComesAfterTheIntervalSetWhileTheWorkerSleeps) {
    TTimerEx timer;
    timer.Set_Interval(3600 * 1000);  // an hour: the worker starts a long sleep
    int ticks = 0;
    timer.Set_OnTimer([&](TTimerEx&) { ++ticks; });
    timer.Set_Threaded(true);
    Sleep(20);  // let the worker begin that sleep
    timer.Set_Interval(10);
    EXPECT_TRUE(Wait_Until([&] { return ticks >= 2; }, 3000));
}

// A tick running on the worker that needs the window thread, while the
// window thread calls a setter: the setter waits for the tick, and must serve
// what the tick asks of it meanwhile.  Neither may be kept waiting: the tick
// gives up after a few seconds, and the test then sees it as failed.
TEST(TimerExWorker, ASetterCalledDuringAThreadSafeTickLetsTheTickFinish) {
    Watching_Dialogs dialogs;
    velbrook::Application application(dialogs, L"Velbrook v1.0f");
    const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    struct Case {
        const char* name;
        bool fails;  // the tick throws, and its box waits for the setter; else it sends to the window
    };
    for (const Case c : {Case{"sends a message", false}, Case{"fails and shows its box", true}}) {
        const velbrook::Kernel_Handle in_tick = New_Event();
        const velbrook::Kernel_Handle setter_returned = New_Event();
        std::atomic<int> ticks{0};
        std::atomic<bool> served{false};
        dialogs.while_shown = [&] { served = Signalled_Within(setter_returned, 4000); };
        auto timer = std::make_unique<TTimerEx>();
        timer->Set_Threaded(true);
        timer->Set_ThreadSafe(true);
        timer->Set_Interval(5);
        timer->Set_OnTimer([&](TTimerEx&) {
            if (++ticks != 1) return;
            SetEvent(in_tick.get());
            if (c.fails) throw velbrook::Failure(L"The tick failed");
            DWORD_PTR result = 0;
            served = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 4000, &result) != 0;
        });
        ASSERT_TRUE(Signalled_Within(in_tick, 5000)) << c.name;
        timer->Set_Interval(7);
        SetEvent(setter_returned.get());
        timer.reset();  // the worker, and with it the tick's box, is over once this returns
        EXPECT_TRUE(served.load()) << c.name;
        EXPECT_EQ(dialogs.shown.load(), c.fails ? 1 : 0) << c.name;
        dialogs.shown = 0;
    }
    DestroyWindow(window);
}

TEST(TimerExWorker, DestroyingTheTimerLeavesEnabledAloneWhileATickRunsOnTheWorker) {
    const velbrook::Kernel_Handle in_tick = New_Event();
    const velbrook::Kernel_Handle destroying = New_Event();
    std::atomic<int> ticks{0};
    std::atomic<bool> saw_disabled{false};
    auto timer = std::make_unique<TTimerEx>();
    timer->Set_Threaded(true);
    timer->Set_ThreadSafe(true);
    timer->Set_Interval(5);
    timer->Set_OnTimer([&](TTimerEx& sender) {
        if (++ticks != 1) return;
        SetEvent(in_tick.get());
        if (!Signalled_Within(destroying, 5000)) return;
        // The destructor has begun: the timer's properties still hold
        // until this tick is over.
        for (int i = 0; i < 100; ++i) {
            if (!sender.Enabled()) saw_disabled = true;
            Sleep(1);
        }
    });
    ASSERT_TRUE(Signalled_Within(in_tick, 5000));
    SetEvent(destroying.get());
    timer.reset();
    EXPECT_FALSE(saw_disabled.load());
}

}  // namespace

}  // namespace velbrook

// TTimerEx, a timer component that ticks either from window-timer messages
// (on a hidden message window of its own, timer identifier 1) or from a
// worker thread, TTimerThread, that sleeps for the interval and then hands
// the tick to the user-interface thread.  A tick's failure goes to the
// application's failure handler; it never unwinds through the window
// procedure or the thread's entry.  A tick handler may free its own timer.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "toolkit/component.h"
#include "toolkit/failure.h"
#include "toolkit/message_window.h"

namespace velbrook {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The Win32 priority of a thread priority.
int Win32_Thread_Priority(TThreadPriority priority);

// The window system has run out of something the program asked for.
class Out_Of_Resources : public Failure {
public:
    using Failure::Failure;
};

class TTimerEx;

// The worker of a threaded timer.  It is made paused, and its state outlives
// this object while the worker runs on: a timer freed from inside its own
// tick leaves the worker to see that it was asked to end, and end.
class TTimerThread {
public:
    explicit TTimerThread(TTimerEx& owner);
    ~TTimerThread();  // asks the worker to end and, unless called on the worker itself, waits for it
    TTimerThread(const TTimerThread&) = delete;
    TTimerThread& operator=(const TTimerThread&) = delete;

    TTimerEx& OwnerTimer;

    // No tick starts after Pause returns: one already handed over finishes
    // first, and one running on the worker itself has finished (meanwhile
    // this thread serves what that tick sends to its windows).
    void Pause();
    // Ticks every `interval` milliseconds from now on at this priority.
    void Run(TThreadPriority priority, unsigned interval, bool thread_safe);
    bool Running() const;
    int Priority() const;  // the worker's Win32 priority
    DWORD Thread_Id() const;

private:
    struct State;
    void Handover_Tick();
    std::shared_ptr<State> state_;
    std::unique_ptr<Message_Window> handover_;
};

class TTimerEx : public Component {
public:
    using Notify_Event = std::function<void(TTimerEx& Sender)>;

    explicit TTimerEx(std::wstring name = L"TimerEx1");
    ~TTimerEx() override;

    bool Enabled() const { return enabled_; }
    void Set_Enabled(bool value);
    unsigned Interval() const { return interval_; }
    void Set_Interval(unsigned value);
    bool Threaded() const { return threaded_; }
    void Set_Threaded(bool value);
    TThreadPriority ThreadPriority() const { return thread_priority_; }
    void Set_ThreadPriority(TThreadPriority value);
    // Threaded mode only: run the tick on the worker itself.  The handler must
    // then be safe there, and must not free the timer.
    bool ThreadSafe() const { return thread_safe_; }
    void Set_ThreadSafe(bool value);
    const Notify_Event& OnTimer() const { return on_timer_; }
    void Set_OnTimer(Notify_Event handler);

    // One tick: the handler, when enabled and assigned.
    virtual void Timer();

    // Reconciles the running mechanism with the properties.  Throws
    // Out_Of_Resources "No More Timers Available" when the window system
    // refuses a timer.
    void UpdateTimer();

    // The mechanism in use: the hidden window in window mode, the worker in
    // threaded mode; never both.
    HWND WindowHandle() const;
    const TTimerThread* Thread() const { return thread_.get(); }

private:
    void Pause_Worker();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    bool threaded_ = false;
    TThreadPriority thread_priority_ = TThreadPriority::tpNormal;
    bool thread_safe_ = false;
    Notify_Event on_timer_;
    std::unique_ptr<TTimerThread> thread_;
    std::unique_ptr<Message_Window> window_;
};

// For tests: the call that starts a window timer, so that a refusal can be
// tried.  SetTimer unless a test puts another in.
using Set_Timer_Function = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
extern Set_Timer_Function Timer_Ex_Set_Timer;

}  // namespace velbrook

#include "gif/timer_ex.h"

#include <atomic>
#include <mutex>

#include "toolkit/application.h"
#include "toolkit/handles.h"

namespace velbrook {

Set_Timer_Function Timer_Ex_Set_Timer = &::SetTimer;

namespace {

// The worker's request to run a tick on the window's (user-interface) thread.
constexpr UINT Handover_Message = WM_APP + 0x3A1;

// Waits for `object` while serving the messages other threads send to this
// one's windows: a tick on the worker may send to a window of this thread
// while this thread waits for the tick to end.
void Wait_Serving_Sent_Messages(HANDLE object) noexcept {
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Runs a tick; a failure goes to the application's failure handler.
template <typename Tick>
void Guarded_Tick(Tick&& tick) noexcept {
    Guarded(
        [&] {
            tick();
            return 0;
        },
        0);
}

}  // namespace

int Win32_Thread_Priority(TThreadPriority priority) {
    switch (priority) {
        case TThreadPriority::tpIdle:
            return THREAD_PRIORITY_IDLE;
        case TThreadPriority::tpLowest:
            return THREAD_PRIORITY_LOWEST;
        case TThreadPriority::tpLower:
            return THREAD_PRIORITY_BELOW_NORMAL;
        case TThreadPriority::tpNormal:
            return THREAD_PRIORITY_NORMAL;
        case TThreadPriority::tpHigher:
            return THREAD_PRIORITY_ABOVE_NORMAL;
        case TThreadPriority::tpHighest:
            return THREAD_PRIORITY_HIGHEST;
        case TThreadPriority::tpTimeCritical:
            return THREAD_PRIORITY_TIME_CRITICAL;
    }
    return THREAD_PRIORITY_NORMAL;
}

// ---- TTimerThread --------------------------------------------------------

// What the worker uses; shared with it, so that it lives until the worker ends.
struct TTimerThread::State {
    Kernel_Handle quit{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};   // set once: end
    Kernel_Handle run{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};    // set while ticking
    Kernel_Handle done{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // a handed-over tick finished
    Kernel_Handle wake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // the sleep begins afresh
    Kernel_Handle idle{::CreateEventW(nullptr, TRUE, TRUE, nullptr)};    // no tick runs on the worker
    Kernel_Handle thread;
    DWORD thread_id = 0;
    TTimerEx* owner = nullptr;
    HWND handover = nullptr;
    std::atomic<bool> ending{false};
    std::atomic<bool> running{false};
    std::atomic<bool> thread_safe{false};
    std::atomic<unsigned> interval{1000};
    // Orders the start of a tick on the worker against Pause.
    std::mutex tick_lock;

    static DWORD WINAPI Entry(void* parameter);
    void Work();
    void Tick_Here();
};

DWORD WINAPI TTimerThread::State::Entry(void* parameter) {
    std::shared_ptr<State> state;
    {
        const std::unique_ptr<std::shared_ptr<State>> handed(static_cast<std::shared_ptr<State>*>(parameter));
        state = *handed;
    }
    Guarded_Tick([&] { state->Work(); });
    return 0;
}

void TTimerThread::State::Work() {
    for (;;) {
        HANDLE gate[2] = {quit.get(), run.get()};
        if (::WaitForMultipleObjects(2, gate, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        // The interval as it stands when the sleep begins.  A change of it
        // wakes the sleep, which then begins again with the new one.
        HANDLE sleep[2] = {quit.get(), wake.get()};
        const DWORD slept = ::WaitForMultipleObjects(2, sleep, FALSE, interval.load());
        if (slept == WAIT_OBJECT_0 + 1) continue;
        if (slept != WAIT_TIMEOUT) return;
        if (!running.load()) continue;  // paused meanwhile
        if (thread_safe.load()) {
            Tick_Here();
        } else {
            if (!::PostMessageW(handover, Handover_Message, 0, 0)) continue;
            HANDLE wait[2] = {quit.get(), done.get()};
            if (::WaitForMultipleObjects(2, wait, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        }
    }
}

void TTimerThread::State::Tick_Here() {
    {
        const std::lock_guard<std::mutex> lock(tick_lock);
        if (!running.load() || ending.load()) return;
        ::ResetEvent(idle.get());
    }
    // The tick is over before its failure is shown (the guard's unwinding
    // comes first): a setter waiting for it goes on while the box is open.
    struct Over {
        State& state;
        ~Over() { ::SetEvent(state.idle.get()); }
    };
    Guarded_Tick([&] {
        const Over over{*this};
        owner->Timer();
    });
}

TTimerThread::TTimerThread(TTimerEx& owner) : OwnerTimer(owner), state_(std::make_shared<State>()) {
    if (!state_->quit || !state_->run || !state_->done || !state_->wake || !state_->idle)
        throw Out_Of_Resources(L"Unable to create the timer thread");
    state_->owner = &owner;
    state_->interval = owner.Interval();
    handover_ = std::make_unique<Message_Window>(
        owner.Name(),
        [this](UINT message, WPARAM) {
            if (message == Handover_Message) Handover_Tick();
        },
        L"Unable to create the timer window");
    state_->handover = handover_->Handle();
    auto* handed = new std::shared_ptr<State>(state_);
    DWORD id = 0;
    HANDLE thread = ::CreateThread(nullptr, 0, &State::Entry, handed, 0, &id);
    if (thread == nullptr) {
        delete handed;
        throw Out_Of_Resources(L"Unable to create the timer thread");
    }
    state_->thread.reset(thread);
    state_->thread_id = id;
    // Set here rather than by the worker when it starts: a worker that starts
    // late would otherwise undo a priority chosen after its creation.
    ::SetThreadPriority(thread, Win32_Thread_Priority(owner.ThreadPriority()));
}

TTimerThread::~TTimerThread() {
    state_->ending = true;
    state_->running = false;
    ::SetEvent(state_->quit.get());
    // Whatever the worker is doing, it waits on the request to end, so this
    // wait is short; on the worker itself it would never end.
    if (::GetCurrentThreadId() != state_->thread_id) Wait_Serving_Sent_Messages(state_->thread.get());
    handover_.reset();
}

void TTimerThread::Handover_Tick() {
    // The tick may free this object; the worker's state stays until the
    // worker has been told the tick is over.
    const std::shared_ptr<State> state = state_;
    // A failure is shown before the worker hears that the tick is over: the
    // box serves messages, and the worker's next handover must not arrive
    // while this one still runs.
    Guarded_Tick([&] {
        if (state->running.load() && !state->ending.load()) OwnerTimer.Timer();
    });
    ::SetEvent(state->done.get());
}

void TTimerThread::Pause() {
    {
        const std::lock_guard<std::mutex> lock(state_->tick_lock);
        state_->running = false;
        ::ResetEvent(state_->run.get());
    }
    // A tick already running on the worker finishes first, unless this is
    // that tick itself changing its timer.
    if (::GetCurrentThreadId() != state_->thread_id) Wait_Serving_Sent_Messages(state_->idle.get());
}

void TTimerThread::Run(TThreadPriority priority, unsigned interval, bool thread_safe) {
    state_->interval = interval;
    state_->thread_safe = thread_safe;
    ::SetThreadPriority(state_->thread.get(), Win32_Thread_Priority(priority));
    state_->running = true;
    ::SetEvent(state_->run.get());
    ::SetEvent(state_->wake.get());
}

bool TTimerThread::Running() const { return state_->running.load(); }

int TTimerThread::Priority() const { return ::GetThreadPriority(state_->thread.get()); }

DWORD TTimerThread::Thread_Id() const { return state_->thread_id; }

// ---- TTimerEx ------------------------------------------------------------

TTimerEx::TTimerEx(std::wstring name) : Component(std::move(name)) { UpdateTimer(); }

TTimerEx::~TTimerEx() {
    try {
        // The worker's tick reads the properties: it ends before they change.
        Pause_Worker();
        enabled_ = false;
        UpdateTimer();
    } catch (...) {
        // Stopping never starts a timer, so there is nothing to report.
    }
    thread_.reset();
    window_.reset();
}

void TTimerEx::Pause_Worker() {
    // A tick running on the worker itself must not see a property change
    // half made.
    if (thread_) thread_->Pause();
}

void TTimerEx::Set_Enabled(bool value) {
    if (value == enabled_) return;
    Pause_Worker();
    enabled_ = value;
    UpdateTimer();
}

void TTimerEx::Set_Interval(unsigned value) {
    if (value == interval_) return;
    Pause_Worker();
    interval_ = value;
    UpdateTimer();
}

void TTimerEx::Set_Threaded(bool value) {
    if (value == threaded_) return;
    Pause_Worker();
    threaded_ = value;
    UpdateTimer();
}

void TTimerEx::Set_ThreadPriority(TThreadPriority value) {
    if (value == thread_priority_) return;
    thread_priority_ = value;
    if (threaded_) UpdateTimer();
}

void TTimerEx::Set_ThreadSafe(bool value) {
    if (value == thread_safe_) return;
    Pause_Worker();
    thread_safe_ = value;
    if (threaded_) UpdateTimer();
}

void TTimerEx::Set_OnTimer(Notify_Event handler) {
    Pause_Worker();
    on_timer_ = std::move(handler);
    UpdateTimer();
}

void TTimerEx::Timer() {
    if (!enabled_ || !on_timer_) return;
    // A copy: the handler may free this timer, and with it on_timer_.
    const Notify_Event handler = on_timer_;
    handler(*this);
}

HWND TTimerEx::WindowHandle() const { return window_ ? window_->Handle() : nullptr; }

void TTimerEx::UpdateTimer() {
    if (thread_) thread_->Pause();
    if (window_) ::KillTimer(window_->Handle(), 1);
    if (threaded_) {
        window_.reset();
        if (!thread_) thread_ = std::make_unique<TTimerThread>(*this);
    } else {
        thread_.reset();
        if (!window_) {
            window_ = std::make_unique<Message_Window>(
                Name(),
                [this](UINT message, WPARAM) {
                    if (message == WM_TIMER) Timer();
                },
                L"Unable to create the timer window");
        }
    }
    if (interval_ == 0 || !enabled_ || !on_timer_) return;
    if (threaded_) {
        thread_->Run(thread_priority_, interval_, thread_safe_);
    } else if (Timer_Ex_Set_Timer(window_->Handle(), 1, interval_, nullptr) == 0) {
        throw Out_Of_Resources(L"No More Timers Available");
    }
}

}  // namespace velbrook

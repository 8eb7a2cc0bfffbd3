#include "toolkit/timer.h"

#include "toolkit/application.h"
#include "toolkit/failure.h"

namespace velbrook {

namespace {

const wchar_t timer_class[] = L"Velbrook.Timer";
constexpr UINT_PTR timer_id = 1;

void Register_Timer_Class(WNDPROC procedure) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = timer_class;
    ::RegisterClassExW(&window_class);
    registered = true;
}

}  // namespace

Timer::Timer(Component* owner, std::wstring name, unsigned interval)
    : Component(std::move(name)), owner_(owner), interval_(interval) {
    Register_Timer_Class(&Timer::Window_Proc);
    window_ = ::CreateWindowExW(0, timer_class, Name().c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw Failure(L"Unable to create the timer " + Name());
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Timer::~Timer() {
    if (running_) ::KillTimer(window_, timer_id);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
}

void Timer::Set_Interval(unsigned milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Update();
}

void Timer::Set_Enabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void Timer::Update() {
    // Every change starts the count again, as a fresh SetTimer does.
    if (running_) ::KillTimer(window_, timer_id);
    running_ = false;
    if (!enabled_ || interval_ == 0) return;
    if (!::SetTimer(window_, timer_id, interval_, nullptr))
        throw Failure(L"Not enough timers are available for " + Name());
    running_ = true;
}

void Timer::Tick() {
    // A tick that lets messages through (a box, a wait) is not ticked into
    // again; the ticks it misses are not made up.
    if (!running_ || !OnTimer || ticking_) return;
    ticking_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{ticking_};
    OnTimer();
}

LRESULT CALLBACK Timer::Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_TIMER || wparam != timer_id) return ::DefWindowProcW(window, message, wparam, lparam);
    auto* timer = reinterpret_cast<Timer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!timer) return 0;
    try {
        timer->Tick();
    } catch (...) {
        if (Application::Exists()) Application::Current().Handle_Exception(std::current_exception());
    }
    return 0;
}

}  // namespace velbrook

#include "toolkit/timer.h"

#include "toolkit/failure.h"

namespace velbrook {

namespace {

constexpr UINT_PTR timer_id = 1;

}  // namespace

Timer::Timer(Component* owner, std::wstring name, unsigned interval)
    : Component(std::move(name)),
      owner_(owner),
      interval_(interval),
      window_(
          Name(),
          [this](UINT message, WPARAM wparam) {
              if (message == WM_TIMER && wparam == timer_id) Tick();
          },
          L"Unable to create the timer " + Name()) {}

Timer::~Timer() {
    if (running_) ::KillTimer(window_.Handle(), timer_id);
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
    if (running_) ::KillTimer(window_.Handle(), timer_id);
    running_ = false;
    if (!enabled_ || interval_ == 0) return;
    if (!::SetTimer(window_.Handle(), timer_id, interval_, nullptr))
        throw Failure(L"Not enough timers are available for " + Name());
    running_ = true;
}

void Timer::Tick() {
    if (running_ && OnTimer) OnTimer();
}

}  // namespace velbrook

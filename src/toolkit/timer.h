#pragma once
// A window timer component: ticks on the user-interface thread, from the
// WM_TIMER messages of a hidden message window of its own, every Interval
// milliseconds while it is enabled.  A tick that throws is reported by the
// application's failure handler and the timer keeps ticking; a tick that lets
// messages through (a box, a wait) is not ticked into again.

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/component.h"
#include "toolkit/message_window.h"

namespace velbrook {

class Timer : public Component {
public:
    // The owner is the form the timer belongs to (it may be null); the timer
    // starts disabled.
    Timer(Component* owner, std::wstring name, unsigned interval = 1000);
    ~Timer() override;

    Component* Owner() const { return owner_; }

    unsigned Interval() const { return interval_; }
    void Set_Interval(unsigned milliseconds);
    bool Enabled() const { return enabled_; }
    void Set_Enabled(bool enabled);

    std::function<void()> OnTimer;

    // Whether Windows is counting for this timer now: enabled, with a
    // non-zero interval.
    bool Running() const { return running_; }
    HWND Handle() const { return window_.Handle(); }

private:
    void Update();
    void Tick();

    Component* owner_;
    unsigned interval_;
    bool enabled_ = false;
    bool running_ = false;
    Message_Window window_;
};

}  // namespace velbrook

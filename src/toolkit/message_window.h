#pragma once
// The hidden window every timer ticks from: a message-only window (never
// seen, never in the way) of the toolkit's class "Velbrook.Timer".  Its one
// window procedure finds the object through the pointer stored at creation,
// as the controls do, and hands the timer messages and the program's own
// messages (WM_APP and above) to the owner's handler through Guarded; every
// other message goes to DefWindowProc.
//
// A message that arrives while the handler still runs (a handler that shows
// a box serves messages) is not handed over again: the ticks missed meanwhile
// are not made up.  The handler may free the object that owns the window: the
// window itself is then destroyed once the message is done.

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/handles.h"

namespace velbrook {

class Message_Window {
public:
    using Handler = std::function<void(UINT message, WPARAM wparam)>;

    // Throws Failure `failure_text` when the window system refuses the window.
    Message_Window(const std::wstring& name, Handler handler, const std::wstring& failure_text);
    ~Message_Window();
    Message_Window(const Message_Window&) = delete;
    Message_Window& operator=(const Message_Window&) = delete;

    HWND Handle() const { return window_.get(); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    Handler handler_;
    Window_Handle window_;
    bool busy_ = false;
    bool* gone_ = nullptr;  // set while the handler runs: told when this object goes meanwhile
};

}  // namespace velbrook

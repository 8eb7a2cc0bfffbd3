#include "toolkit/message_window.h"

#include "toolkit/application.h"
#include "toolkit/failure.h"

namespace velbrook {

namespace {

const wchar_t message_window_class[] = L"Velbrook.Timer";

// The object lives in the window's own extra bytes, not in GWLP_USERDATA:
// nothing that looks for a control behind a window can mistake it for one.
constexpr int object_slot = 0;

Message_Window* Object_Of(HWND window) {
    return reinterpret_cast<Message_Window*>(::GetWindowLongPtrW(window, object_slot));
}

}  // namespace

Message_Window::Message_Window(const std::wstring& name, Handler handler, const std::wstring& failure_text)
    : handler_(std::move(handler)) {
    static const ATOM registered = [] {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = &Message_Window::Procedure;
        window_class.cbWndExtra = sizeof(LONG_PTR);
        window_class.hInstance = ::GetModuleHandleW(nullptr);
        window_class.lpszClassName = message_window_class;
        return ::RegisterClassExW(&window_class);
    }();
    (void)registered;
    window_.reset(::CreateWindowExW(0, message_window_class, name.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), this));
    if (!window_) throw Failure(failure_text);
}

Message_Window::~Message_Window() {
    ::SetWindowLongPtrW(window_.get(), object_slot, 0);
    // While its message is being handled, the window stays: the procedure
    // destroys it when the message is done.
    if (gone_) {
        *gone_ = true;
        window_.release();
    }
}

LRESULT CALLBACK Message_Window::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        ::SetWindowLongPtrW(window, object_slot, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    Message_Window* self = Object_Of(window);
    if (!self || (message != WM_TIMER && message < WM_APP)) return ::DefWindowProcW(window, message, wparam, lparam);
    if (self->busy_) return 0;
    bool gone = false;
    self->busy_ = true;
    self->gone_ = &gone;
    // A copy: the handler may free this object, and with it handler_.
    const Handler handler = self->handler_;
    Guarded(
        [&] {
            handler(message, wparam);
            return 0;
        },
        0);
    if (gone) {
        ::DestroyWindow(window);
        return 0;
    }
    self->busy_ = false;
    self->gone_ = nullptr;
    return 0;
}

}  // namespace velbrook

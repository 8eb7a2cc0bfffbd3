#pragma once
// The application object: the message loop, the program-wide cursor and the
// general failure handler that every window procedure hands its exceptions to.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "toolkit/dialogs.h"

namespace velbrook {

class Form;

enum class Cursor_Kind { Default, Arrow, Hourglass, Hand_Point };

class Application {
public:
    Application(Dialogs& dialogs, std::wstring title);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application of this process; exists while an Application object does.
    static Application& Current();
    static bool Exists();


    const std::wstring& Title() const { return title_; }
    void Set_Title(std::wstring title);

    // Shows the main form (running its show handler first), then runs
    // `after_show`, then the message loop until the main form has closed.
    // Returns the exit code.
    int Run(Form& main_form, const std::function<void()>& after_show = {});
    Form* Main_Form() const { return main_form_; }
    bool Terminated() const { return terminated_; }

    // One pass over every pending message.
    void Process_Messages();

    // The program-wide cursor: the hourglass wins over every control's own.
    void Set_Cursor(Cursor_Kind cursor);
    Cursor_Kind Cursor() const { return cursor_; }

    // Shows the failure's text in a box titled with the application's title,
    // error icon, OK; the loop runs on.
    void Handle_Exception(std::exception_ptr failure) noexcept;

    HINSTANCE Instance() const { return instance_; }

private:
    bool Dispatch(MSG& message);

    Dialogs* dialogs_;
    std::wstring title_;
    Form* main_form_ = nullptr;
    bool terminated_ = false;
    int exit_code_ = 0;
    Cursor_Kind cursor_ = Cursor_Kind::Default;
    HINSTANCE instance_;
};

// The text the general failure handler shows: a full stop is added unless the
// text ends in one or in a character that sorts below it (such as "!" or ")").
std::wstring With_Full_Stop(std::wstring text);

// The text of any failure, as the general handler would show it (before the
// full stop rule).
std::wstring Failure_Text(std::exception_ptr failure);

// Lets the message loop process every pending message once.
void Process_Messages();

// Returns once at least `milliseconds` have passed, serving input and
// repainting all the while, without keeping a core busy.
void Wait_Milliseconds(unsigned milliseconds);

// Runs a callback that Windows called, handing any exception to the general
// failure handler: no C++ exception may unwind through a system frame.
template <typename Function>
auto Guarded(Function&& function, decltype(function()) fallback) noexcept -> decltype(function()) {
    try {
        return function();
    } catch (...) {
        if (Application::Exists()) Application::Current().Handle_Exception(std::current_exception());
        return fallback;
    }
}

}  // namespace velbrook

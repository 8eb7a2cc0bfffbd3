#pragma once
// The application object: the message loop, the program-wide cursor and the
// general failure handler that every window procedure hands its exceptions to.

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>

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

    // One pass over every pending message.  A quit message ends the loop of
    // Run as well, once the caller returns to it.
    void Process_Messages();

    // The program-wide cursor: the hourglass wins over every control's own.
    void Set_Cursor(Cursor_Kind cursor);
    Cursor_Kind Cursor() const { return cursor_; }

    // Shows the failure's text in a box titled with the application's title,
    // error icon, OK; the loop runs on.
    void Handle_Exception(std::exception_ptr failure) noexcept;

    HINSTANCE Instance() const { return instance_; }

private:
    void Take_Quit(int exit_code);

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

// How a pump takes its messages.
enum class Pump_Wait {
    For_Each,  // sleeps until the next message comes: the loops of Run and Show_Modal
    Never,     // returns once the queue is empty: Process_Messages
};

// The one message pump of the program.  Serves messages until `done` answers
// true (asked before each message) or, with Pump_Wait::Never, until the
// queue is empty.  Every message goes the same way: the key preview of the
// form it belongs to, then the dialog manager of its top-level window (Tab,
// the arrows, Enter, Escape), then its window.  A quit message ends the pump
// and is not served; its exit code is returned.
std::optional<int> Pump_Until(const std::function<bool()>& done, Pump_Wait wait);

// Lets the message loop process every pending message once.
void Process_Messages();

// Returns once at least `milliseconds` have passed, serving input and
// repainting all the while, without keeping a core busy.
void Wait_Milliseconds(unsigned milliseconds);

// True once the program's message loop has been told to end: long runs that
// serve messages stop there as after an abort.
bool Program_Ending();

// Hands a failure to the general failure handler of the application, when
// there is one.  Never throws.
void Report_Failure(std::exception_ptr failure) noexcept;

// Where a guarded callback's failure goes instead of the general handler:
// a run that reports failures in its own words.  A report that throws in
// turn goes to the general handler.
struct On_Failure {
    std::function<void(std::exception_ptr failure)> report;
};

// Runs a callback that Windows called, handing any exception to the general
// failure handler: no C++ exception may unwind through a system frame.  The
// callback's result, or `fallback` when it failed.
template <typename Function>
requires(!std::is_void_v<std::invoke_result_t<Function&>>) std::invoke_result_t<Function&> Guarded(
    Function&& function, std::invoke_result_t<Function&> fallback)
noexcept {
    try {
        return function();
    } catch (...) {
        Report_Failure(std::current_exception());
        return fallback;
    }
}

template <typename Function>
requires std::is_void_v<std::invoke_result_t<Function&>>
void Guarded(Function&& function, const On_Failure& on_failure = {}) noexcept {
    try {
        function();
    } catch (...) {
        if (!on_failure.report) {
            Report_Failure(std::current_exception());
            return;
        }
        try {
            on_failure.report(std::current_exception());
        } catch (...) {
            Report_Failure(std::current_exception());
        }
    }
}

// The hourglass for as long as the object lives, whatever way the scope is
// left; then the cursor that was there before.
class Busy_Cursor {
public:
    // Null: there is no program-wide cursor to change.
    explicit Busy_Cursor(Application* application);
    ~Busy_Cursor();
    Busy_Cursor(const Busy_Cursor&) = delete;
    Busy_Cursor& operator=(const Busy_Cursor&) = delete;

private:
    Application* application_;
    Cursor_Kind previous_ = Cursor_Kind::Default;
};

}  // namespace velbrook

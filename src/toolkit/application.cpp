#include "toolkit/application.h"

#include <new>
#include <stdexcept>

#include "toolkit/failure.h"
#include "toolkit/form.h"

namespace velbrook {

namespace {

Application* current = nullptr;

std::wstring Widen(const char* text) {
    std::wstring out;
    int size = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size > 1) {
        out.resize(static_cast<size_t>(size - 1));
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), size);
    }
    return out;
}

}  // namespace

Application::Application(Dialogs& dialogs, std::wstring title)
    : dialogs_(&dialogs), title_(std::move(title)), instance_(::GetModuleHandleW(nullptr)) {
    if (current) throw std::logic_error("only one application per process");
    current = this;
}

Application::~Application() { current = nullptr; }

Application& Application::Current() {
    if (!current) throw std::logic_error("no application");
    return *current;
}

bool Application::Exists() { return current != nullptr; }

void Application::Set_Title(std::wstring title) { title_ = std::move(title); }

int Application::Run(Form& main_form, const std::function<void()>& after_show) {
    main_form_ = &main_form;
    terminated_ = false;
    Guarded([&] {
        main_form.Show();
        if (after_show) after_show();
    });
    if (std::optional<int> quit = Pump_Until([this] { return terminated_; }, Pump_Wait::For_Each)) Take_Quit(*quit);
    main_form_ = nullptr;
    return exit_code_;
}

void Application::Take_Quit(int exit_code) {
    terminated_ = true;
    exit_code_ = exit_code;
}

void Application::Process_Messages() {
    if (std::optional<int> quit = Pump_Until({}, Pump_Wait::Never)) {
        // Leave the quit for the loop that runs the program.
        Take_Quit(*quit);
        ::PostQuitMessage(*quit);
    }
}

void Application::Set_Cursor(Cursor_Kind cursor) {
    cursor_ = cursor;
    ::SetCursor(::LoadCursorW(nullptr, cursor == Cursor_Kind::Hourglass ? IDC_WAIT : IDC_ARROW));
}

std::wstring With_Full_Stop(std::wstring text) {
    if (!text.empty() && text.back() > L'.') text.push_back(L'.');
    return text;
}

std::wstring Failure_Text(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Failure& known) {
        return known.Text();
    } catch (const std::bad_alloc&) {
        return L"Out of memory";
    } catch (const std::exception& other) {
        return Widen(other.what());
    } catch (...) {
        return L"An unexpected failure happened";
    }
}

void Application::Handle_Exception(std::exception_ptr failure) noexcept {
    try {
        dialogs_->Show_Message({.kind = Message_Kind::Failure,
                                .title = title_,
                                .text = With_Full_Stop(Failure_Text(failure)),
                                .buttons = Buttons::Ok});
    } catch (...) {
        // A handler that cannot show its box has nothing left to tell.
    }
}

namespace {

// The one way from the queue to a window; see Pump_Until.
void Dispatch(MSG& message) {
    if (Form::Preview_Key(message)) return;
    HWND top = ::GetAncestor(message.hwnd, GA_ROOT);
    if (top && ::IsDialogMessageW(top, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace

std::optional<int> Pump_Until(const std::function<bool()>& done, Pump_Wait wait) {
    MSG message;
    for (;;) {
        if (done && done()) return std::nullopt;
        if (wait == Pump_Wait::For_Each) {
            BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
            // A broken queue ends the loop as a failed program does.
            if (got == -1) return 1;
            if (got == 0) return static_cast<int>(message.wParam);
        } else {
            if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return std::nullopt;
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
        }
        Dispatch(message);
    }
}

void Process_Messages() {
    if (Application::Exists()) {
        Application::Current().Process_Messages();
        return;
    }
    if (std::optional<int> quit = Pump_Until({}, Pump_Wait::Never)) ::PostQuitMessage(*quit);
}

bool Program_Ending() { return Application::Exists() && Application::Current().Terminated(); }

void Report_Failure(std::exception_ptr failure) noexcept {
    if (Application::Exists()) Application::Current().Handle_Exception(failure);
}

Busy_Cursor::Busy_Cursor(Application* application) : application_(application) {
    if (!application_) return;
    previous_ = application_->Cursor();
    application_->Set_Cursor(Cursor_Kind::Hourglass);
}

Busy_Cursor::~Busy_Cursor() {
    if (application_) application_->Set_Cursor(previous_);
}

void Wait_Milliseconds(unsigned milliseconds) {
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const long long wanted = static_cast<long long>(milliseconds) * frequency.QuadPart;
    for (;;) {
        Process_Messages();
        ::QueryPerformanceCounter(&now);
        long long elapsed = (now.QuadPart - start.QuadPart) * 1000;
        if (elapsed >= wanted) break;
        if (Program_Ending()) break;
        // Sleep until a message arrives or the rest of the time has passed.
        long long left_ms = (wanted - elapsed + frequency.QuadPart - 1) / frequency.QuadPart;
        DWORD timeout = static_cast<DWORD>(left_ms < 1 ? 1 : left_ms);
        ::MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace velbrook

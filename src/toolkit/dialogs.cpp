#include "toolkit/dialogs.h"

#include <commdlg.h>

#include "toolkit/handles.h"

namespace velbrook {

const wchar_t* Title_Of(Message_Kind kind) {
    switch (kind) {
        case Message_Kind::Error:
            return L"Error";
        case Message_Kind::Warning:
            return L"Warning";
        case Message_Kind::Information:
            return L"Information";
        case Message_Kind::Confirmation:
            return L"Confirm";
        case Message_Kind::Failure:
            break;
    }
    return L"";
}

namespace {

UINT Icon_Of(Message_Kind kind) {
    switch (kind) {
        case Message_Kind::Error:
        case Message_Kind::Failure:
            return MB_ICONERROR;
        case Message_Kind::Warning:
            return MB_ICONWARNING;
        case Message_Kind::Information:
            return MB_ICONINFORMATION;
        case Message_Kind::Confirmation:
            return MB_ICONQUESTION;
    }
    return 0;
}

Answer Ask(Dialogs& dialogs, Message_Kind kind, const std::wstring& text, Buttons buttons) {
    return dialogs.Show_Message({.kind = kind, .title = Title_Of(kind), .text = text, .buttons = buttons});
}

// A Yes/No message box of the system ignores Escape and has no close button.
// The program's boxes answer No to both, so the box is given its close
// button back and its Cancel command is turned into No.
HHOOK yes_no_hook = nullptr;
WNDPROC message_box_proc = nullptr;

LRESULT CALLBACK Yes_No_Box_Proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
        ::EndDialog(box, IDNO);
        return 0;
    }
    if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_CLOSE) {
        ::EndDialog(box, IDNO);
        return 0;
    }
    return ::CallWindowProcW(message_box_proc, box, message, wparam, lparam);
}

LRESULT CALLBACK Yes_No_Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wparam);
        wchar_t class_name[16] = {};
        ::GetClassNameW(box, class_name, 16);
        if (lstrcmpW(class_name, L"#32770") == 0) {
            message_box_proc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Yes_No_Box_Proc)));
            HMENU system_menu = ::GetSystemMenu(box, FALSE);
            if (system_menu) ::EnableMenuItem(system_menu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
            HHOOK hook = std::exchange(yes_no_hook, nullptr);
            LRESULT result = ::CallNextHookEx(hook, code, wparam, lparam);
            ::UnhookWindowsHookEx(hook);
            return result;
        }
    }
    return ::CallNextHookEx(yes_no_hook, code, wparam, lparam);
}

std::vector<wchar_t> Filter_Buffer(const std::wstring& filter) {
    // "a|b|c|d" becomes "a\0b\0c\0d\0\0".
    std::vector<wchar_t> buffer(filter.begin(), filter.end());
    for (wchar_t& c : buffer)
        if (c == L'|') c = L'\0';
    buffer.push_back(L'\0');
    buffer.push_back(L'\0');
    return buffer;
}

}  // namespace

void Error_Box(Dialogs& dialogs, const std::wstring& text) { Ask(dialogs, Message_Kind::Error, text, Buttons::Ok); }
void Warning_Box(Dialogs& dialogs, const std::wstring& text) { Ask(dialogs, Message_Kind::Warning, text, Buttons::Ok); }
void Information_Box(Dialogs& dialogs, const std::wstring& text) {
    Ask(dialogs, Message_Kind::Information, text, Buttons::Ok);
}
Answer Confirm_Box(Dialogs& dialogs, const std::wstring& text) {
    return Ask(dialogs, Message_Kind::Confirmation, text, Buttons::Yes_No);
}
Answer Warning_Question(Dialogs& dialogs, const std::wstring& text) {
    return Ask(dialogs, Message_Kind::Warning, text, Buttons::Yes_No);
}

Answer System_Dialogs::Show_Message(const Message_Request& request) {
    UINT flags = Icon_Of(request.kind) | (request.buttons == Buttons::Yes_No ? MB_YESNO : MB_OK);
    HWND owner = ::GetActiveWindow();
    if (request.buttons == Buttons::Yes_No)
        yes_no_hook = ::SetWindowsHookExW(WH_CBT, Yes_No_Hook, nullptr, ::GetCurrentThreadId());
    int result = ::MessageBoxW(owner, request.text.c_str(), request.title.c_str(), flags);
    if (yes_no_hook) {
        ::UnhookWindowsHookEx(yes_no_hook);
        yes_no_hook = nullptr;
    }
    switch (result) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        default:
            return request.buttons == Buttons::Yes_No ? Answer::No : Answer::Ok;
    }
}

std::optional<std::wstring> System_Dialogs::Show_File_Dialog(const File_Dialog_Request& request) {
    std::vector<wchar_t> filter = Filter_Buffer(request.filter);
    std::vector<wchar_t> name(32768, L'\0');
    request.file_name.copy(name.data(), std::min<size_t>(request.file_name.size(), name.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.lpstrFilter = filter.data();
    dialog.nFilterIndex = static_cast<DWORD>(request.filter_index);
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = request.initial_dir.empty() ? nullptr : request.initial_dir.c_str();
    dialog.lpstrDefExt = request.default_extension.empty() ? nullptr : request.default_extension.c_str();
    dialog.Flags = request.flags | OFN_EXPLORER;
    BOOL ok = request.save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (!ok) return std::nullopt;
    return std::wstring(name.data());
}

std::optional<Printer_Selection> System_Dialogs::Show_Printer_Setup() {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.Flags = PD_PRINTSETUP;
    if (!::PrintDlgW(&dialog)) {
        if (dialog.hDevMode) ::GlobalFree(dialog.hDevMode);
        if (dialog.hDevNames) ::GlobalFree(dialog.hDevNames);
        return std::nullopt;
    }
    Global_Handle devmode(dialog.hDevMode), devnames(dialog.hDevNames);
    Printer_Selection selection;
    if (devnames) {
        auto* names = static_cast<DEVNAMES*>(::GlobalLock(devnames.get()));
        if (names) {
            const wchar_t* base = reinterpret_cast<const wchar_t*>(names);
            selection.driver = base + names->wDriverOffset;
            selection.device = base + names->wDeviceOffset;
            selection.port = base + names->wOutputOffset;
            ::GlobalUnlock(devnames.get());
        }
    }
    if (devmode) {
        auto* mode = static_cast<const BYTE*>(::GlobalLock(devmode.get()));
        if (mode) {
            auto* header = reinterpret_cast<const DEVMODEW*>(mode);
            selection.devmode.assign(mode, mode + header->dmSize + header->dmDriverExtra);
            if (selection.device.empty()) selection.device = header->dmDeviceName;
            ::GlobalUnlock(devmode.get());
        }
    }
    return selection;
}

}  // namespace velbrook

#include "driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

std::wstring Env(const wchar_t* name, const char* built_in) {
    wchar_t value[4096] = {};
    DWORD got = ::GetEnvironmentVariableW(name, value, 4096);
    if (got) return std::wstring(value, got);
    return std::wstring(built_in, built_in + strlen(built_in));
}

std::wstring Wine_Path(const std::wstring& unix_path) {
    if (unix_path.size() > 1 && unix_path[1] == L':') return unix_path;
    std::wstring path = L"Z:" + unix_path;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

}  // namespace

bool Wait_For(const std::function<bool()>& ready, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (ready()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return ready();
}

std::wstring Window_Text(HWND window) {
    wchar_t text[4096] = {};
    DWORD_PTR got = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &got);
    return std::wstring(text, got);
}

std::wstring Class_Of(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::filesystem::path Source_Folder() { return Wine_Path(Env(L"VELBROOK_SOURCE", VELBROOK_SOURCE_DIR)); }

std::filesystem::path Program_File() { return Wine_Path(Env(L"VELBROOK_EXE", VELBROOK_EXE_PATH)); }

std::wstring Test_Picture(const wchar_t* name) {
    return (Source_Folder() / L"tests" / L"data" / L"pictures" / name).wstring();
}

Velbrook::Velbrook(const std::wstring& arguments, const std::string& settings) {
    wchar_t temp[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    folder_ = std::filesystem::path(temp) /
              (L"velbrook-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    exe_ = folder_ / L"velbrook.exe";
    std::filesystem::copy_file(Program_File(), exe_);
    if (!settings.empty()) std::ofstream(folder_ / L"velbrook.ini", std::ios::binary) << settings;
    Start(arguments);
}

Velbrook::Velbrook(const In_Place& program, const std::wstring& arguments)
    : folder_(program.exe.parent_path()), exe_(program.exe), own_folder_(false) {
    Start(arguments);
}

void Velbrook::Start(const std::wstring& arguments) {
    std::wstring command = L"\"" + Exe() + L"\" " + arguments;
    STARTUPINFOW startup{sizeof startup};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                          &process_))
        throw std::runtime_error("velbrook.exe did not start");
    process_id_ = process_.dwProcessId;
    Wait_For(
        [this] {
            for (HWND window : Top_Windows())
                if (Class_Of(window) == L"Velbrook.Window" && Window_Text(window) == L"Velbrook v1.0f" &&
                    ::IsWindowVisible(window)) {
                    main_ = window;
                    return true;
                }
            return false;
        },
        20s);
    if (!main_) throw std::runtime_error("the main window did not appear");
    ::WaitForInputIdle(process_.hProcess, 5000);
}

Velbrook::~Velbrook() {
    if (Running()) {
        ::TerminateProcess(process_.hProcess, 0);
        ::WaitForSingleObject(process_.hProcess, 5000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
    std::error_code ignored;
    if (own_folder_) std::filesystem::remove_all(folder_, ignored);
}

bool Velbrook::Running() const { return ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

bool Velbrook::Wait_Exit(std::chrono::milliseconds limit) {
    return ::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

std::vector<HWND> Velbrook::Top_Windows() const {
    struct Search {
        DWORD process;
        std::vector<HWND> found;
    } search{process_id_, {}};
    struct Visit {
        static BOOL CALLBACK Each(HWND window, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s->process) s->found.push_back(window);
            return TRUE;
        }
    };
    ::EnumWindows(Visit::Each, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<Child> Velbrook::Children() const {
    struct Search {
        HWND main;
        std::vector<Child> found;
    } search{main_, {}};
    struct Visit {
        static BOOL CALLBACK Each(HWND window, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            RECT rect;
            ::GetWindowRect(window, &rect);
            ::MapWindowPoints(nullptr, s->main, reinterpret_cast<POINT*>(&rect), 2);
            s->found.push_back({window, Class_Of(window), Window_Text(window), rect, ::IsWindowVisible(window) != 0});
            return TRUE;
        }
    };
    ::EnumChildWindows(main_, Visit::Each, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Velbrook::Find_Child(const std::wstring& class_name, const std::wstring& text) const {
    // Visible controls first: the hidden ones of the window share their classes.
    HWND hidden = nullptr;
    for (const Child& child : Children())
        if (_wcsicmp(child.class_name.c_str(), class_name.c_str()) == 0 && (text.empty() || child.text == text)) {
            if (child.visible) return child.window;
            if (!hidden) hidden = child.window;
        }
    return hidden;
}

void Velbrook::Click(const std::wstring& caption) const {
    HWND button = Button(caption);
    if (!button) throw std::runtime_error("no such button");
    ::PostMessageW(button, BM_CLICK, 0, 0);
}

void Velbrook::Menu(unsigned short command) const { ::PostMessageW(main_, WM_COMMAND, command, 0); }

std::wstring Velbrook::Status() const {
    HWND bar = Find_Child(STATUSCLASSNAMEW);
    if (!bar) return L"<no status bar>";
    // The text must be written into the program's own memory: one page, far
    // more than a status text.  Its length is the one SB_GETTEXT answers, not
    // an earlier SB_GETTEXTLENGTH's, since the text may change between two
    // messages (a progress text followed by the longer success text).
    constexpr std::size_t capacity = 2048;
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id_);
    void* remote = ::VirtualAllocEx(process, nullptr, capacity * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &answer);
    std::wstring text(capacity, L'\0');
    SIZE_T read = 0;
    ::ReadProcessMemory(process, remote, text.data(), capacity * sizeof(wchar_t), &read);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    text.resize(std::min<std::size_t>(LOWORD(answer), capacity - 1));
    return text;
}

std::vector<std::wstring> Velbrook::List() const {
    HWND box = Find_Child(L"ListBox");
    std::vector<std::wstring> items;
    for (HWND candidate = box; candidate; candidate = nullptr) {
        DWORD_PTR count = 0;
        ::SendMessageTimeoutW(candidate, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
        for (DWORD_PTR i = 0; i < count; ++i) {
            wchar_t text[4096] = {};
            DWORD_PTR got = 0;
            ::SendMessageTimeoutW(candidate, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                                  &got);
            items.emplace_back(text, got);
        }
    }
    return items;
}

int Velbrook::Selected() const {
    DWORD_PTR index = 0;
    ::SendMessageTimeoutW(Find_Child(L"ListBox"), LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &index);
    return static_cast<int>(static_cast<LRESULT>(index));
}

HWND Velbrook::Wait_Box(const std::wstring& title, std::chrono::milliseconds limit) const {
    HWND found = nullptr;
    Wait_For(
        [&] {
            for (HWND window : Top_Windows())
                if (Class_Of(window) == L"#32770" && Window_Text(window) == title && ::IsWindowVisible(window)) {
                    found = window;
                    return true;
                }
            return false;
        },
        limit);
    return found;
}

std::wstring Velbrook::Box_Text(HWND box) { return Window_Text(::GetDlgItem(box, 0xFFFF)); }

void Velbrook::Answer(HWND box, int button_id) {
    ::PostMessageW(::GetDlgItem(box, button_id), BM_CLICK, 0, 0);
    // Gone before the next question is looked for: a box still closing
    // would otherwise pass for the next one.
    Wait_For([box] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 5s);
}

HWND Velbrook::Wait_Dialog(const std::function<bool(HWND)>& which, std::chrono::milliseconds limit) const {
    HWND found = nullptr;
    Wait_For(
        [&] {
            for (HWND window : Top_Windows())
                if (Class_Of(window) == L"#32770" && ::IsWindowVisible(window) && which(window)) {
                    found = window;
                    return true;
                }
            return false;
        },
        limit);
    return found;
}

void Velbrook::Drop(const std::vector<std::wstring>& files) const {
    // The block the shell hands over: a DROPFILES header and the wide names,
    // placed in the program's memory.
    std::vector<BYTE> block(sizeof(DROPFILES));
    auto* header = reinterpret_cast<DROPFILES*>(block.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    for (const auto& file : files) {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(file.c_str());
        block.insert(block.end(), bytes, bytes + (file.size() + 1) * sizeof(wchar_t));
    }
    block.insert(block.end(), {0, 0});
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id_);
    void* remote = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    SIZE_T written = 0;
    ::WriteProcessMemory(process, remote, block.data(), block.size(), &written);
    ::CloseHandle(process);
    ::PostMessageW(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

bool Velbrook::Screenshot(const std::filesystem::path& bmp) const {
    RECT rect;
    ::GetWindowRect(main_, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);
    DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    BITMAPFILEHEADER file{0x4D42,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * height), 0,
                          0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::ofstream out(bmp, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * height);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return out.good();
}

HWND Name_Box(HWND dialog) {
    HWND combo = ::GetDlgItem(dialog, 0x47c);
    if (combo) {
        HWND edit = reinterpret_cast<HWND>(::SendMessageW(combo, CBEM_GETEDITCONTROL, 0, 0));
        if (edit) return edit;
        if (HWND inner = ::FindWindowExW(combo, nullptr, L"ComboBox", nullptr))
            if (HWND field = ::FindWindowExW(inner, nullptr, L"Edit", nullptr)) return field;
        if (HWND field = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) return field;
    }
    return ::GetDlgItem(dialog, 0x480);
}

HWND Choose_File(const Velbrook& program, const std::wstring& path) {
    HWND dialog = program.Wait_Dialog([](HWND window) { return Name_Box(window) != nullptr; });
    if (!dialog) return nullptr;
    ::SendMessageW(Name_Box(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return dialog;
}

std::vector<std::string> Program_Run::Lines() const {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < output.size()) {
        std::size_t end = output.find('\n', at);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    return lines;
}

Program_Run Run_Program(const std::filesystem::path& exe, const std::wstring& arguments,
                        const std::filesystem::path& folder, std::chrono::milliseconds limit) {
    Program_Run run;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!::CreatePipe(&read_end, &write_end, &inherited, 0)) throw std::runtime_error("no pipe");
    ::SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = L"\"" + exe.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                                          &startup, &process);
    // Only the program holds the writing end now: the pipe ends with it.
    ::CloseHandle(write_end);
    if (!started) {
        ::CloseHandle(read_end);
        throw std::runtime_error("velbrook.exe did not start");
    }
    std::thread reader([&] {
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
    });
    run.ended = ::WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
    if (!run.ended) ::TerminateProcess(process.hProcess, 99);
    ::WaitForSingleObject(process.hProcess, 5000);
    reader.join();
    ::GetExitCodeProcess(process.hProcess, &run.exit_code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(read_end);
    return run;
}

bool Dialog_Closed(HWND dialog) {
    return dialog && Wait_For([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); });
}

}  // namespace e2e

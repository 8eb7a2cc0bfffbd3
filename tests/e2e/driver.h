#pragma once
// Drives a running velbrook.exe from this separate process, the way a person
// would: finds its windows, clicks buttons, answers its boxes and dialogs,
// reads what it shows.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// Waits until `ready` holds or the time is up; true when it held.
bool Wait_For(const std::function<bool()>& ready, std::chrono::milliseconds limit = 10s);

std::wstring Window_Text(HWND window);  // WM_GETTEXT: works across processes
std::wstring Class_Of(HWND window);

struct Child {
    HWND window;
    std::wstring class_name;
    std::wstring text;
    RECT rect;  // in the main window's client coordinates
    bool visible;
};

class Velbrook {
public:
    // Copies the program into a fresh folder of its own (its settings file
    // lives beside it) and starts it with these arguments.
    explicit Velbrook(const std::wstring& arguments = L"", const std::string& settings = "");
    // Starts a copy that is already in place (installed, or unpacked from the
    // ZIP); its folder is left as it is afterwards.
    struct In_Place {
        std::filesystem::path exe;
    };
    explicit Velbrook(const In_Place& program, const std::wstring& arguments = L"");
    ~Velbrook();

    const std::filesystem::path& Folder() const { return folder_; }
    std::wstring Exe() const { return exe_.wstring(); }
    HWND Main() const { return main_; }
    DWORD Process_Id() const { return process_id_; }
    bool Running() const;
    bool Wait_Exit(std::chrono::milliseconds limit = 10s);

    std::vector<Child> Children() const;
    HWND Find_Child(const std::wstring& class_name, const std::wstring& text = L"") const;
    HWND Button(const std::wstring& caption) const { return Find_Child(L"Button", caption); }
    void Click(const std::wstring& caption) const;  // posts BM_CLICK: never blocks on a box
    void Menu(unsigned short command) const;
    std::wstring Status() const;
    std::vector<std::wstring> List() const;
    int Selected() const;

    // A message box of the program with this title; its text and its buttons.
    HWND Wait_Box(const std::wstring& title, std::chrono::milliseconds limit = 10s) const;
    static std::wstring Box_Text(HWND box);
    // Presses IDOK, IDYES or IDNO and waits until the box has gone.
    static void Answer(HWND box, int button_id);
    // A common dialog (#32770) of the program with this title (empty: any).
    HWND Wait_Dialog(const std::function<bool(HWND)>& which, std::chrono::milliseconds limit = 15s) const;
    std::vector<HWND> Top_Windows() const;

    // Drops files onto the main window as the shell hands them over.
    void Drop(const std::vector<std::wstring>& files) const;

    // Writes the main window's picture to a 24-bit BMP file.
    bool Screenshot(const std::filesystem::path& bmp) const;

private:
    void Start(const std::wstring& arguments);

    std::filesystem::path folder_, exe_;
    bool own_folder_ = true;
    PROCESS_INFORMATION process_{};
    DWORD process_id_ = 0;
    HWND main_ = nullptr;
};

// The name box of a file dialog: an edit inside the ComboBoxEx32 (id 0x47c),
// or a plain edit (id 0x480) in older dialogs.
HWND Name_Box(HWND dialog);
// Waits for the program's open or save dialog, types the path into its name
// box and presses its OK button; the dialog found, or null.
HWND Choose_File(const Velbrook& program, const std::wstring& path);
// True once a dialog found (not null) has gone.
bool Dialog_Closed(HWND dialog);

// A run of the program that ends by itself (a command line that saves or
// prints): what it wrote to its output and error, through one pipe, and its
// exit code.  `ended` is false when it was still running at the limit and
// was stopped.
struct Program_Run {
    bool ended = false;
    DWORD exit_code = 0;
    std::string output;
    // The output's lines, without their line ends.
    std::vector<std::string> Lines() const;
};
Program_Run Run_Program(const std::filesystem::path& exe, const std::wstring& arguments,
                        const std::filesystem::path& folder, std::chrono::milliseconds limit = 120s);

// The source tree and the program as Wine sees them.
std::filesystem::path Source_Folder();
std::filesystem::path Program_File();
std::wstring Test_Picture(const wchar_t* name);

}  // namespace e2e

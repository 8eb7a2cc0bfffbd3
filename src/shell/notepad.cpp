#include "shell/notepad.h"

#include <windows.h>

#include <vector>

#include "shell/file_utils.h"
#include "shell/product_name.h"
#include "shell/text_utils.h"
#include "toolkit/handles.h"

namespace velbrook {

void Start_Process(const std::wstring& command_line) {
    // CreateProcess may write into the command line, so it gets its own copy.
    std::vector<wchar_t> line(command_line.begin(), command_line.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        Kernel_Handle thread(process.hThread);
        Kernel_Handle owned(process.hProcess);
    }
}

std::wstring Windows_Directory() {
    UINT needed = ::GetWindowsDirectoryW(nullptr, 0);
    if (needed == 0) return {};
    std::wstring directory(needed, L'\0');
    UINT length = ::GetWindowsDirectoryW(directory.data(), needed);
    directory.resize(length < needed ? length : 0);
    return directory;
}

std::wstring Notepad_Command_Line(const std::wstring& file) { return L"Notepad.exe \"" + file + L"\""; }

void View_In_Notepad(Dialogs& dialogs, const std::wstring& windows_dir, const std::wstring& file,
                     const Process_Launcher& launch) {
    std::wstring notepad = windows_dir;
    if (!notepad.empty() && notepad.back() == L'\\') notepad.pop_back();
    notepad += L"\\Notepad.EXE";
    if (!File_Exists(notepad)) {
        Information_Box(dialogs, Notepad_Missing_Text);
        return;
    }
    // Notepad itself is found by the system's program search, as a user typing
    // its name would find it.
    launch(Notepad_Command_Line(file));
}

void View_Readme_file_OptionClick(Dialogs& dialogs, const std::wstring& program_path, const Process_Launcher& launch) {
    View_In_Notepad(dialogs, Windows_Directory(), Program_Folder(program_path) + Readme_File_Name(program_path),
                    launch);
}

std::wstring Catalog_Missing_Text() {
    return std::wstring(L"Orvel's Shareware Catalog is not in the same directory as ") + Product_Name + L".  " +
           L"The required file 'catalog.txt' was included in the " +
           L"distribution ZIP file.  Please unzip this file and try again.";
}

void View_Shareware_Catalog_OptionClick(Dialogs& dialogs, const std::wstring& program_path,
                                        const Process_Launcher& launch) {
    std::wstring catalog = Program_Folder(program_path) + L"catalog.txt";
    if (File_Exists(catalog)) {
        View_In_Notepad(dialogs, Windows_Directory(), catalog, launch);
    } else {
        Information_Box(dialogs, Catalog_Missing_Text());
    }
}

}  // namespace velbrook

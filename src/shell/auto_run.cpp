#include "shell/auto_run.h"

#include "shell/registry.h"
#include "shell/text_utils.h"

namespace velbrook {

const wchar_t Run_Key_Path[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

// The value is named after the program file as it is called now, so a
// renamed copy has an entry of its own.
std::wstring Value_Name_For(const std::wstring& program_path) {
    return program_path.substr(Directory_Of(program_path).size());
}

// Only a to z: file system paths are compared the way the program always
// has, without the rules of any locale.
std::wstring Upper_A_To_Z(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

// The path inside an entry: an entry written before paths were quoted, or by
// hand without quotes, still names the same program.
std::wstring Path_In_Entry(const std::wstring& entry) {
    if (entry.size() >= 2 && entry.front() == L'"' && entry.back() == L'"') return entry.substr(1, entry.size() - 2);
    return entry;
}

}  // namespace

std::wstring Run_Entry_For(const std::wstring& program_path) {
    if (program_path.find(L' ') == std::wstring::npos) return program_path;
    return L"\"" + program_path + L"\"";
}

bool Auto_Run_On(Dialogs& dialogs, const std::wstring& program_path, HKEY root) {
    const std::wstring name = Value_Name_For(program_path);
    if (!Write_Registry_Value(dialogs, root, Run_Key_Path, name, Run_Entry_For(program_path))) return false;
    Information_Box(dialogs, L"This program (" + name + L") will now run automatically at Windows Start-Up.");
    return true;
}

bool Auto_Run_Off(Dialogs& dialogs, const std::wstring& program_path, HKEY root) {
    const std::wstring name = Value_Name_For(program_path);
    if (!Delete_Registry_Value(dialogs, root, Run_Key_Path, name)) return false;
    Information_Box(dialogs, L"This program (" + name + L") will now no-longer run automatically at Windows Start-Up.");
    return true;
}

bool Check_Auto_Run_Location(Dialogs& dialogs, const std::wstring& program_path, HKEY root) {
    const std::wstring name = Value_Name_For(program_path);
    const std::wstring stored = Read_Registry_Value(root, Run_Key_Path, name);
    if (stored.empty()) return false;
    if (Upper_A_To_Z(Path_In_Entry(stored)) == Upper_A_To_Z(program_path)) return true;

    const std::wstring question = L"The directory / path settings required to make this program (" + name + L")" +
                                  L"\r\n" + L"run automatically at Windows Start-up do not match where the program " +
                                  L"\r\n" + L"is currently being run from." + L"\r\n" + L"\r\n" + L" Old      = " +
                                  stored + L"\r\n" + L" Current = " + program_path + L"\r\n" + L"\r\n" +
                                  L"Do you want to update the Windows Registry to " +
                                  L"reflect the programs current locaton ?";
    if (Warning_Question(dialogs, question) == Answer::Yes) Auto_Run_On(dialogs, program_path, root);
    return true;
}

bool Auto_Run_at_Windows_Startup_OptionClick(Dialogs& dialogs, bool checked, const std::wstring& program_path,
                                             HKEY root) {
    if (checked) return Auto_Run_Off(dialogs, program_path, root) ? false : checked;
    return Auto_Run_On(dialogs, program_path, root) ? true : checked;
}

}  // namespace velbrook

#include "shell/shortcuts.h"

#include <shlobj.h>

#include <array>

#include "shell/file_utils.h"
#include "shell/registry.h"
#include "shell/text_utils.h"
#include "toolkit/failure.h"
#include "toolkit/handles.h"
#include "toolkit/system_error.h"

namespace velbrook {

const wchar_t Shell_Folders_Key_Path[] = L"\\Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

namespace {

// The only Shell Folders values the program puts links in; matched exactly.
constexpr std::array<const wchar_t*, 3> Shortcut_Folders = {L"Desktop", L"Start Menu", L"SendTo"};

bool Is_Shortcut_Folder(const std::wstring& value_name) {
    for (const wchar_t* name : Shortcut_Folders)
        if (value_name == name) return true;
    return false;
}

// "velbrook.exe" gives "velbrook.lnk"; a name without extension gets one.
std::wstring Link_Name_For(const std::wstring& target) {
    std::wstring name = target.substr(Directory_Of(target).size());
    std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name + L".lnk";
}

}  // namespace

void Create_Shortcut(Dialogs& dialogs, const std::wstring& target, const std::wstring& value_name,
                     const std::wstring& sub_folder, HKEY root) {
    // Balanced here rather than left initialised: a thread that already has
    // its apartment only gains and loses a reference.  Declared first so the
    // interfaces below are released before it goes.
    Com_Apartment apartment;

    Com_Ptr<IUnknown> object;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                        IID_IUnknown, object.put_void());
    Throw_If_Failed(result, L"The shell link object could not be created");
    Com_Ptr<IShellLinkW> link;
    result = object->QueryInterface(IID_IShellLinkW, link.put_void());
    Throw_If_Failed(result, L"The shell link object offers no IShellLink");
    Com_Ptr<IPersistFile> file;
    result = object->QueryInterface(IID_IPersistFile, file.put_void());
    Throw_If_Failed(result, L"The shell link object offers no IPersistFile");

    link->SetPath(target.c_str());

    std::wstring folder;
    if (Is_Shortcut_Folder(value_name)) folder = Read_Registry_Value(root, Shell_Folders_Key_Path, value_name);
    if (folder.empty()) {
        dialogs.Show_Message({.kind = Message_Kind::Information,
                              .title = L"REGISTRY_INC__Create_Shortcut Error",
                              .text = L"REGISTRY_INC__Create_Shortcut Error: The key \"" + value_name +
                                      L"\" is invalid or could not be found in the registry.",
                              .buttons = Buttons::Ok});
        return;
    }

    std::wstring path = folder + L"\\";
    if (!sub_folder.empty()) path += sub_folder + L"\\";
    path += Link_Name_For(target);
    // A save that fails (a missing sub-folder, a read-only folder) is not
    // reported: the user sees no shortcut and nothing else.
    file->Save(path.c_str(), FALSE);
}

bool Delete_Shortcut(const std::wstring& value_name, const std::wstring& program_path, HKEY root) {
    if (!Is_Shortcut_Folder(value_name)) return false;
    const std::wstring folder = Read_Registry_Value(root, Shell_Folders_Key_Path, value_name);
    // Without a folder there is nothing of ours to look for; going on would
    // look for the link in the root of the current drive.
    if (folder.empty()) return false;
    const std::wstring path = folder + L"\\" + Program_Base_Name(program_path) + L".lnk";
    if (!File_Exists(path)) return false;
    return Delete_File_Safely(path);
}

void Delete_All_Shortcuts(Dialogs& dialogs, const std::wstring& target, HKEY root) {
    bool any = false;
    for (const wchar_t* name : Shortcut_Folders)
        if (Delete_Shortcut(name, target, root)) any = true;

    const std::wstring base = Program_Base_Name(target);
    if (any)
        Information_Box(
            dialogs, L"Success: All Desktop, Start Menu, and SendTo shortcuts to \"" + base + L"\" have been deleted.");
    else
        Information_Box(dialogs, L"No Desktop, Start Menu, or SendTo shortcuts called \"" + base +
                                     L"\" could be found !  i.e. they may have been renamed to something else " +
                                     L"or deleted already.");
}

void Create_Shortcut_on_Desktop_OptionClick(Dialogs& dialogs, const std::wstring& program_path, HKEY root) {
    Create_Shortcut(dialogs, program_path, L"Desktop", L"", root);
}

void Create_Shortcut_on_Start_Menu_OptionClick(Dialogs& dialogs, const std::wstring& program_path, HKEY root) {
    Create_Shortcut(dialogs, program_path, L"Start Menu", L"", root);
}

void Create_Shortcut_on_Start_Programs_Menu_OptionClick(Dialogs& dialogs, const std::wstring& program_path, HKEY root) {
    Create_Shortcut(dialogs, program_path, L"Start Menu", L"Programs", root);
}

void Create_Shortcut_on_SendTo_Menu_OptionClick(Dialogs& dialogs, const std::wstring& program_path, HKEY root) {
    Create_Shortcut(dialogs, program_path, L"SendTo", L"", root);
}

void Delete_All_Shortcuts_OptionClick(Dialogs& dialogs, const std::wstring& program_path, HKEY root) {
    Delete_All_Shortcuts(dialogs, program_path, root);
}

}  // namespace velbrook

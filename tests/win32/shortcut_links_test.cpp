// Shortcuts in the test prefix's real shell folders: where each command puts
// its link, what the link points at, and what Delete ALL removes and reports.
// The program is a file of this process's own name in the temporary folder,
// so no link of another test run or of velbrook.exe is touched.

#include <shlobj.h>

#include <gtest/gtest.h>

#include <vector>

#include "shell/shortcuts.h"
#include "shell_test_support.h"
#include "toolkit/handles.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

using testing::Path_Exists;
using testing::Process_Tag;
using testing::Raw_Get;
using testing::Raw_Set_String;
using testing::Scratch_Key;

const std::wstring Shell_Folders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring Real_Folder(const std::wstring& value_name) {
    return Raw_Get(HKEY_CURRENT_USER, Shell_Folders, value_name).bytes_as_text.c_str();
}

std::wstring Temp_Folder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, buffer);
    std::wstring folder = buffer;
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

void Write_File(const std::wstring& path, const char* bytes) {
    File_Handle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << "cannot write a test file";
    DWORD written = 0;
    ::WriteFile(file.get(), bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr);
}

// Wine's desktop window reads the links that appear on the desktop, so a
// delete right after a test may meet it holding one for a moment.
void Remove_File(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (int attempt = 0; attempt < 50 && !::DeleteFileW(path.c_str()); ++attempt) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return;
        ::Sleep(20);
    }
}

// What a link file points at, read back through the shell's own link object;
// empty when it is no link.
std::wstring Read_Link(const std::wstring& link_path) {
    Com_Ptr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return {};
    Com_Ptr<IPersistFile> file = link.query<IPersistFile>();
    if (!file || FAILED(file->Load(link_path.c_str(), STGM_READ))) return {};
    wchar_t target[MAX_PATH + 1] = {};
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    return target;
}

class Shortcuts : public ::testing::Test {
protected:
    Com_Apartment apartment;
    Scripted_Dialogs dialogs;
    const std::wstring base = L"vb_link_" + Process_Tag();
    const std::wstring link_name = base + L".lnk";
    const std::wstring program_folder = Temp_Folder() + L"\\" + base + L" program";
    const std::wstring program = program_folder + L"\\" + base + L".exe";
    const std::wstring desktop = Real_Folder(L"Desktop");
    const std::wstring start_menu = Real_Folder(L"Start Menu");
    const std::wstring send_to = Real_Folder(L"SendTo");
    const std::wstring programs = start_menu + L"\\Programs";
    std::vector<std::wstring> also_remove;  // files a test makes elsewhere

    void SetUp() override {
        ASSERT_FALSE(desktop.empty());
        ASSERT_FALSE(start_menu.empty());
        ASSERT_FALSE(send_to.empty());
        ASSERT_TRUE(Path_Exists(programs));
        ::CreateDirectoryW(program_folder.c_str(), nullptr);
        Write_File(program, "MZ");
    }
    void TearDown() override {
        for (const auto& folder : {desktop, start_menu, send_to, programs}) Remove_File(folder + L"\\" + link_name);
        for (const auto& path : also_remove) Remove_File(path);
        Remove_File(program);
        ::RemoveDirectoryW(program_folder.c_str());
    }
    std::wstring Link_In(const std::wstring& folder) const { return folder + L"\\" + link_name; }
    std::wstring None_Found_Text() const {
        return L"No Desktop, Start Menu, or SendTo shortcuts called \"" + base +
               L"\" could be found !  i.e. they may have been renamed to something else or deleted already.";
    }
    std::wstring Success_Text() const {
        return L"Success: All Desktop, Start Menu, and SendTo shortcuts to \"" + base + L"\" have been deleted.";
    }
};

TEST_F(Shortcuts, Each_Command_Writes_A_Link_To_The_Program_In_Its_Folder) {
    struct Case {
        void (*command)(Dialogs&, const std::wstring&, HKEY);
        std::wstring folder;
    };
    const std::vector<Case> cases = {
        {Create_Shortcut_on_Desktop_OptionClick, desktop},
        {Create_Shortcut_on_Start_Menu_OptionClick, start_menu},
        {Create_Shortcut_on_Start_Programs_Menu_OptionClick, programs},
        {Create_Shortcut_on_SendTo_Menu_OptionClick, send_to},
    };
    for (const auto& [command, folder] : cases) {
        SCOPED_TRACE(folder);
        command(dialogs, program, HKEY_CURRENT_USER);
        ASSERT_TRUE(Path_Exists(Link_In(folder)));
        EXPECT_EQ(Read_Link(Link_In(folder)), program);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Shortcuts, Creating_Twice_Rewrites_The_One_File) {
    Create_Shortcut(dialogs, program, L"SendTo", L"");
    Write_File(Link_In(send_to), "not a link any more");
    ASSERT_EQ(Read_Link(Link_In(send_to)), L"");
    Create_Shortcut(dialogs, program, L"SendTo", L"");
    EXPECT_EQ(Read_Link(Link_In(send_to)), program);
}

TEST_F(Shortcuts, Unknown_Folder_Name_Or_Missing_Value_Is_Reported_And_Writes_Nothing) {
    Scratch_Key root{L"Shell Folders Without SendTo"};
    root.Create(Shell_Folders);
    ASSERT_TRUE(Raw_Set_String(root.get(), Shell_Folders, L"Desktop", desktop));
    ASSERT_TRUE(Raw_Set_String(root.get(), Shell_Folders, L"Programs", programs));

    // Matching is exact; and a Shell Folders value outside the three is not used.
    Create_Shortcut(dialogs, program, L"desktop", L"", root.get());
    Create_Shortcut(dialogs, program, L"Programs", L"", root.get());
    Create_Shortcut(dialogs, program, L"SendTo", L"", root.get());
    ASSERT_EQ(dialogs.messages.size(), 3u);
    const wchar_t* names[] = {L"desktop", L"Programs", L"SendTo"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dialogs.messages[i].kind, Message_Kind::Information);
        EXPECT_EQ(dialogs.messages[i].title, L"REGISTRY_INC__Create_Shortcut Error");
        EXPECT_EQ(dialogs.messages[i].text, L"REGISTRY_INC__Create_Shortcut Error: The key \"" +
                                                std::wstring(names[i]) +
                                                L"\" is invalid or could not be found in the registry.");
    }
    for (const auto& folder : {desktop, programs, send_to}) EXPECT_FALSE(Path_Exists(Link_In(folder)));
}

TEST_F(Shortcuts, Delete_All_Removes_Desktop_Start_Menu_And_SendTo_Links_But_Not_The_Programs_One) {
    Create_Shortcut_on_Desktop_OptionClick(dialogs, program);
    Create_Shortcut_on_Start_Menu_OptionClick(dialogs, program);
    Create_Shortcut_on_Start_Programs_Menu_OptionClick(dialogs, program);
    Create_Shortcut_on_SendTo_Menu_OptionClick(dialogs, program);
    Delete_All_Shortcuts_OptionClick(dialogs, program);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Information);
    EXPECT_EQ(dialogs.messages[0].text, Success_Text());
    EXPECT_FALSE(Path_Exists(Link_In(desktop)));
    EXPECT_FALSE(Path_Exists(Link_In(start_menu)));
    EXPECT_FALSE(Path_Exists(Link_In(send_to)));
    EXPECT_TRUE(Path_Exists(Link_In(programs)));

    // Only the Programs link is left, and Delete ALL never looks there.
    dialogs.Clear();
    Delete_All_Shortcuts(dialogs, program);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, None_Found_Text());
    EXPECT_TRUE(Path_Exists(Link_In(programs)));
}

TEST_F(Shortcuts, Delete_All_With_One_Link_Reports_Success_And_A_Renamed_Link_Is_Not_Found) {
    Create_Shortcut_on_SendTo_Menu_OptionClick(dialogs, program);
    Delete_All_Shortcuts(dialogs, program);
    EXPECT_EQ(dialogs.Last().text, Success_Text());

    const std::wstring renamed = desktop + L"\\" + base + L" renamed.lnk";
    also_remove.push_back(renamed);
    Create_Shortcut_on_Desktop_OptionClick(dialogs, program);
    ASSERT_TRUE(::MoveFileW(Link_In(desktop).c_str(), renamed.c_str()));
    dialogs.Clear();
    Delete_All_Shortcuts(dialogs, program);
    EXPECT_EQ(dialogs.Last().text, None_Found_Text());
    EXPECT_TRUE(Path_Exists(renamed));
}

TEST_F(Shortcuts, Read_Only_Or_Hidden_Links_Are_Still_Deleted) {
    Create_Shortcut_on_Desktop_OptionClick(dialogs, program);
    Create_Shortcut_on_SendTo_Menu_OptionClick(dialogs, program);
    ASSERT_TRUE(::SetFileAttributesW(Link_In(desktop).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesW(Link_In(send_to).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(Delete_Shortcut(L"Desktop", program));
    EXPECT_TRUE(Delete_Shortcut(L"SendTo", program));
    EXPECT_FALSE(Path_Exists(Link_In(desktop)));
    EXPECT_FALSE(Path_Exists(Link_In(send_to)));
}

TEST_F(Shortcuts, Link_Held_Open_Elsewhere_Survives_And_Counts_As_Not_Found) {
    Create_Shortcut_on_Desktop_OptionClick(dialogs, program);
    {
        File_Handle held(::CreateFileW(Link_In(desktop).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        Delete_All_Shortcuts(dialogs, program);
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, None_Found_Text());
    EXPECT_TRUE(Path_Exists(Link_In(desktop)));
}

TEST_F(Shortcuts, Missing_Shell_Folders_Value_Is_Skipped_Not_Looked_For_At_The_Drive_Root) {
    Scratch_Key root{L"Shell Folders Desktop Only"};
    root.Create(Shell_Folders);
    ASSERT_TRUE(Raw_Set_String(root.get(), Shell_Folders, L"Desktop", desktop));

    // A file of the link's name at the root of the current drive is what the
    // empty folder would lead to; it is not ours and must stay.
    wchar_t current[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring at_root = std::wstring(current, 2) + L"\\" + link_name;
    also_remove.push_back(at_root);
    Write_File(at_root, "someone else's file");
    EXPECT_FALSE(Delete_Shortcut(L"Start Menu", program, root.get()));
    EXPECT_FALSE(Delete_Shortcut(L"SendTo", program, root.get()));
    EXPECT_FALSE(Delete_Shortcut(L"Programs", program, root.get()));
    EXPECT_TRUE(Path_Exists(at_root));

    Create_Shortcut_on_Desktop_OptionClick(dialogs, program, root.get());
    Delete_All_Shortcuts(dialogs, program, root.get());
    EXPECT_EQ(dialogs.Last().text, Success_Text());
    EXPECT_TRUE(Path_Exists(at_root));
}

}  // namespace
}  // namespace velbrook

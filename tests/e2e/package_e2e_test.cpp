// What people download, tried as they would try it: the installer installed
// silently, the program started from its Start-menu shortcut, the sample
// pictures printed, the readme opened, and everything removed again; the
// ZIP unpacked into a folder whose name has a space and non-ASCII letters,
// started from there and printed the same.  Run by tests/scripts/package_test
// after scripts/package, with VELBROOK_PACKAGE_DIR naming the packages' folder
// (the 32-bit ones, or where no 32-bit code runs, the same packages made
// around the 64-bit program) and the PDF queue started.

#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "../../src/app/command_ids.h"
#include "../support/pdf_check.h"
#include "driver.h"
#include "print_samples.h"

namespace e2e {
namespace {

using namespace velbrook::pdf;
namespace fs = std::filesystem;

const wchar_t* const Shipped_Files[] = {L"velbrook.exe", L"velbrook.txt", L"catalog.txt", L"licence.txt"};
const wchar_t Product_Code[] = L"{6D932570-ADFC-4EDC-9D50-689F99266D8D}";
const std::wstring Uninstall_Entry =
    std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + Product_Code;

struct Package {
    std::string unix_path;
    std::wstring path;  // as Windows sees it
};

// The one file of the packages' folder that matches `pattern`.
Package Find_Package(const wchar_t* pattern) {
    const char* folder = std::getenv("VELBROOK_PACKAGE_DIR");
    if (!folder || !*folder) return {};
    const std::wstring windows_folder = Windows_Path(folder);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((windows_folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    ::FindClose(search);
    return {std::string(folder) + "/" + Narrow(found.cFileName), windows_folder + L"\\" + found.cFileName};
}

// Runs a Windows program to its end; its exit code, or -1.
long Run_To_End(std::wstring command) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, 180000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

fs::path Shell_Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Where a shortcut file points.
fs::path Shortcut_Target(const fs::path& link) {
    ::CoInitialize(nullptr);
    IShellLinkW* shell_link = nullptr;
    wchar_t target[MAX_PATH] = {};
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&shell_link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) shell_link->GetPath(target, MAX_PATH, nullptr, 0);
            file->Release();
        }
        shell_link->Release();
    }
    ::CoUninitialize();
    return target;
}

std::wstring Machine_Value(const std::wstring& key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<none>";
    return value;
}

bool Key_Exists(const std::wstring& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    ::RegCloseKey(opened);
    return true;
}

// What Windows Installer tells the installed programs list about the product.
std::wstring Product_Info(const wchar_t* property) {
    wchar_t value[1024] = {};
    DWORD chars = 1024;
    if (::MsiGetProductInfoW(Product_Code, property, value, &chars) != ERROR_SUCCESS) return L"<none>";
    return value;
}

// The Start-menu shortcut: all users' (where a per-machine install puts it on
// Windows), else the user's own; empty when neither is there.
fs::path Start_Menu_Shortcut() {
    for (int folder : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS})
        if (fs::exists(Shell_Folder(folder) / L"Velbrook.lnk")) return Shell_Folder(folder) / L"Velbrook.lnk";
    return {};
}

// Removes the product again when a test stopped half-way, so that the next
// run starts from a machine without it.
struct Removed_At_End {
    std::wstring msi;
    ~Removed_At_End() {
        if (::MsiQueryProductStateW(Product_Code) != INSTALLSTATE_UNKNOWN)
            Run_To_End(L"msiexec /x \"" + msi + L"\" /qn");
    }
};

std::set<HWND> Notepad_Windows() {
    std::set<HWND> found;
    for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, L"Notepad", nullptr));) found.insert(window);
    return found;
}

// A Notepad window that was not there `before`, and the text it shows.
struct Notepad {
    HWND window = nullptr;
    std::wstring text;
};

Notepad Wait_New_Notepad(const std::set<HWND>& before) {
    Notepad found;
    Wait_For(
        [&] {
            for (HWND window : Notepad_Windows())
                if (!before.contains(window)) {
                    found = {window, Window_Text(::FindWindowExW(window, nullptr, L"Edit", nullptr))};
                    return !found.text.empty();
                }
            return false;
        },
        20s);
    return found;
}

// A mark of this run, carried by the pictures' names: with the file names
// printed under the pictures it is in the PDF, which tells this run's PDF
// from other runs' in the queue's shared folder.
std::wstring Run_Mark() {
    std::random_device random;
    wchar_t mark[32];
    std::swprintf(mark, 32, L"run%08x", static_cast<unsigned>(random()));
    return mark;
}

// The sample pictures copied into a folder of their own under names that
// carry `mark`, and a corrupt "JPEG" among them, as the print tests drop them.
struct Marked_Samples {
    std::wstring mark = Run_Mark();
    fs::path folder = fs::temp_directory_path() / (L"velbrook_e2e_pictures_" + mark);
    std::vector<std::wstring> files;
    Marked_Samples() {
        fs::create_directories(folder);
        for (const wchar_t* name : {L"red_green.bmp", L"blue_yellow.jpg", L"cyan.emf", L"orange.wmf", L"corrupt.jpg"}) {
            const fs::path from = Test_Picture(name);
            const fs::path to = folder / (from.stem().wstring() + L" " + mark + from.extension().wstring());
            fs::copy_file(from, to, fs::copy_options::overwrite_existing);
            files.push_back(to.wstring());
        }
    }
    ~Marked_Samples() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

// Prints the samples with a program in place, their names under them, and
// checks the PDF's pages; then closes the program (leaving the list unsaved),
// which writes its settings file beside it.
void Print_And_Close(Velbrook& program, const std::string& pdf_folder) {
    const Marked_Samples samples;
    program.Menu(velbrook::command::Print_File_Names);
    Printed printed{.unix_folder = pdf_folder, .mark = Narrow(samples.mark)};
    ASSERT_NO_FATAL_FAILURE(Print_Pictures(program, samples.files, printed));
    const std::string info = Run_Unix("pdfinfo '" + printed.Unix_Pdf() + "'");
    EXPECT_EQ(Pdf_Field(info, "Title"), "Orvel Pics") << info;
    EXPECT_EQ(Pdf_Field(info, "Pages"), "4") << "a page for each picture but the corrupt one: " << info;
    if (!::testing::Test::HasFailure()) ::DeleteFileW((printed.folder + L"\\" + printed.name).c_str());
    program.Menu(velbrook::command::Exit);
    HWND box = program.Wait_Box(L"Confirm");
    ASSERT_NE(box, nullptr) << "no question about the unsaved list";
    Velbrook::Answer(box, IDNO);
    ASSERT_TRUE(program.Wait_Exit());
    EXPECT_TRUE(fs::exists(program.Folder() / L"velbrook.ini"));
}

TEST(Package, Msi_Installs_Runs_Prints_Shows_Its_Readme_And_Goes_Again) {
    const char* pdf_folder = std::getenv("VELBROOK_PDF_DIR");
    ASSERT_TRUE(pdf_folder && *pdf_folder) << "no PDF queue: run cups_pdf_start first";
    const Package msi = Find_Package(L"velbrook-*.msi");
    ASSERT_FALSE(msi.path.empty()) << "no installer: set VELBROOK_PACKAGE_DIR";

    const Removed_At_End removed{msi.path};
    ASSERT_EQ(Run_To_End(L"msiexec /i \"" + msi.path + L"\" /qn"), 0);
    const fs::path folder = Shell_Folder(CSIDL_PROGRAM_FILES) / L"Velbrook";
    for (const wchar_t* file : Shipped_Files) EXPECT_TRUE(fs::exists(folder / file)) << Narrow(file);
    const fs::path shortcut = Start_Menu_Shortcut();
    ASSERT_FALSE(shortcut.empty()) << "no Velbrook.lnk in the Start menu's Programs";
    std::printf("[   INFO   ] the shortcut is %s\n", Narrow(shortcut.wstring()).c_str());
    const fs::path target = Shortcut_Target(shortcut);
    ASSERT_TRUE(fs::equivalent(target, folder / L"velbrook.exe")) << Narrow(target.wstring());
    // The installed programs list shows the program with its maker, version and icon.
    EXPECT_EQ(Machine_Value(Uninstall_Entry, L"DisplayName"), L"Velbrook");
    EXPECT_EQ(Machine_Value(Uninstall_Entry, L"Publisher"), L"Orvel");
    EXPECT_EQ(Machine_Value(Uninstall_Entry, L"DisplayVersion"), L"1.0.6.0");
    EXPECT_EQ(Product_Info(INSTALLPROPERTY_PUBLISHER), L"Orvel");
    EXPECT_TRUE(Product_Info(INSTALLPROPERTY_PRODUCTICON).ends_with(L"velbrook.ico"))
        << Narrow(Product_Info(INSTALLPROPERTY_PRODUCTICON));

    {
        Velbrook program(Velbrook::In_Place{target});
        const std::set<HWND> before = Notepad_Windows();
        program.Menu(velbrook::command::View_Readme_file);
        const Notepad notepad = Wait_New_Notepad(before);
        ASSERT_NE(notepad.window, nullptr) << "Notepad did not open the readme";
        EXPECT_TRUE(notepad.text.starts_with(L"Velbrook v1.0f\r\n")) << Narrow(notepad.text.substr(0, 60));
        EXPECT_NE(notepad.text.find(L"Getting the pictures in"), std::wstring::npos);
        ::PostMessageW(notepad.window, WM_CLOSE, 0, 0);
        ASSERT_NO_FATAL_FAILURE(Print_And_Close(program, pdf_folder));
    }

    ASSERT_EQ(Run_To_End(L"msiexec /x \"" + msi.path + L"\" /qn"), 0);
    EXPECT_FALSE(fs::exists(folder)) << "the program's folder, its settings file included, goes";
    EXPECT_TRUE(Start_Menu_Shortcut().empty());
    EXPECT_FALSE(Key_Exists(Uninstall_Entry));
    EXPECT_EQ(::MsiQueryProductStateW(Product_Code), INSTALLSTATE_UNKNOWN);
}

TEST(Package, Zip_Unpacked_Into_A_Folder_With_A_Space_And_Accents_Runs_And_Prints) {
    const char* pdf_folder = std::getenv("VELBROOK_PDF_DIR");
    ASSERT_TRUE(pdf_folder && *pdf_folder) << "no PDF queue: run cups_pdf_start first";
    const Package zip = Find_Package(L"velbrook-*.zip");
    ASSERT_FALSE(zip.path.empty()) << "no ZIP: set VELBROOK_PACKAGE_DIR";

    // Unpacked by Debian's unzip, then given its name from this side, where
    // the name is Unicode whatever the Unix locale.
    const std::string scratch = "/tmp/velbrook_e2e_zip_" + Narrow(Run_Mark());
    const std::string unzipped = Run_Unix("rm -rf " + scratch + " && mkdir -p " + scratch + " && unzip -q '" +
                                          zip.unix_path + "' -d " + scratch + "/unpacked");
    const fs::path folder = fs::path(Windows_Path(scratch)) / L"Bilder f\u00fcr Velbrook \u00c6\u00d8\u00c5";
    ASSERT_TRUE(::MoveFileW(Windows_Path(scratch + "/unpacked").c_str(), folder.c_str()))
        << "unzip said: " << unzipped << "; error " << ::GetLastError();
    for (const wchar_t* file : Shipped_Files) EXPECT_TRUE(fs::exists(folder / file)) << Narrow(file);
    {
        Velbrook program(Velbrook::In_Place{folder / L"velbrook.exe"});
        ASSERT_NO_FATAL_FAILURE(Print_And_Close(program, pdf_folder));
    }
    std::error_code ignored;
    fs::remove_all(Windows_Path(scratch), ignored);
}

}  // namespace
}  // namespace e2e

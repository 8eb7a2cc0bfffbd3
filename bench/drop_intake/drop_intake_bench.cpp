// A drop of 10,000 real files onto a main window whose list already holds
// 10,000, sent as the shell sends it (a DROPFILES block in WM_DROPFILES),
// then the same drop again, when every file is already listed and skipped.
// Prints the times; checks the entry counts.  After the drops, the parts of
// the intake are timed one by one, so that a slow drop shows where it goes.

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "about/about_box.h"
#include "app/main_form.h"
#include "picture/picture.h"
#include "picture_list/drop_intake.h"
#include "picture/file_type.h"
#include "shell/file_utils.h"
#include "toolkit/application.h"
#include "../../tests/support/scripted_dialogs.h"
#include "../../tests/support/temp_folder.h"
#include "../common/seconds.h"
#include "../../tests/support/drop_block.h"

namespace velbrook {
namespace {

using bench::Seconds_Now;
using Temp_Folder = testing::Scratch_Folder;
using testing::Make_Drop;

constexpr int Listed_Count = 10000;
constexpr int Dropped_Count = 10000;

// An empty file; false when it cannot be made.
bool Make_Empty_File(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

double Timed_Drop(HWND window, const std::vector<std::wstring>& names) {
    HDROP drop = Make_Drop(names);
    double start = Seconds_Now();
    ::SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return Seconds_Now() - start;
}

bool Check_Count(TMainForm1& window, int expected, const char* after) {
    int entries = window.Pictures().Count();
    int items = window.File_ListBox.Count();
    if (entries == expected && items == expected) return true;
    std::fprintf(stderr, "error: after %s the list holds %d entries and the list box %d items, not %d\n", after,
                 entries, items, expected);
    return false;
}

// The parts of one drop's intake, each over the same names.  Looking up
// names that are listed is slow enough that only a sample of them is timed.
void Time_Parts(Picture_List& list, const std::vector<std::wstring>& dropped) {
    std::printf("parts of the intake, over %zu names:\n", dropped.size());

    // Reading the block name by name: how it grows with the drop's size.
    for (size_t part : {dropped.size() / 4, dropped.size() / 2}) {
        std::vector<std::wstring> fewer(dropped.begin(), dropped.begin() + static_cast<std::ptrdiff_t>(part));
        HDROP drop = Make_Drop(fewer);
        double start = Seconds_Now();
        (void)Read_Dropped_Names(drop);
        std::printf("  reading a drop block of %zu names (DragQueryFileW): %.3f s\n", part, Seconds_Now() - start);
    }
    HDROP drop = Make_Drop(dropped);
    double start = Seconds_Now();
    auto names = Read_Dropped_Names(drop);
    std::printf("  reading the drop block (DragQueryFileW): %.3f s\n", Seconds_Now() - start);

    start = Seconds_Now();
    int existing = 0;
    for (const auto& name : names) existing += File_Exists(name) ? 1 : 0;
    std::printf("  File_Exists: %.3f s (%d found)\n", Seconds_Now() - start, existing);

    start = Seconds_Now();
    int accepted = 0;
    for (const auto& name : names) accepted += Is_Accepted_Extension(name) ? 1 : 0;
    std::printf("  Is_Accepted_Extension: %.3f s\n", Seconds_Now() - start);

    start = Seconds_Now();
    for (const auto& name : names) (void)Sort_Key(name, false);
    std::printf("  Sort_Key (LCMapStringW) of each name: %.3f s\n", Seconds_Now() - start);

    std::vector<std::wstring> unlisted;
    unlisted.reserve(names.size());
    for (const auto& name : names) unlisted.push_back(name + L".not-listed.jpg");
    start = Seconds_Now();
    int found = 0;
    for (const auto& name : unlisted) found += list.Find_Entry(name) >= 0 ? 1 : 0;
    std::printf("  Find_Entry of %zu names not listed (list of %d): %.3f s (%d found)\n", unlisted.size(), list.Count(),
                Seconds_Now() - start, found);

    // Names listed at the end of the list: each lookup walks the list.
    constexpr size_t Sample = 50;
    size_t sample = std::min(Sample, names.size());
    start = Seconds_Now();
    found = 0;
    for (size_t i = names.size() - sample; i < names.size(); ++i) found += list.Find_Entry(names[i]) >= 0 ? 1 : 0;
    double taken = Seconds_Now() - start;
    std::printf("  Find_Entry of the last %zu listed names: %.3f s (%d found), %.2f ms each\n", sample, taken, found,
                taken * 1000.0 / static_cast<double>(sample));

    const auto& entries = list.Entries();
    constexpr int Compares = 100000;
    start = Seconds_Now();
    int equal = 0;
    for (int i = 0; i < Compares; ++i)
        equal += Compare_Entries(names.back(), entries[static_cast<size_t>(i) % entries.size()], false) == 0 ? 1 : 0;
    std::printf("  Compare_Entries (CompareStringW): %.3f us each\n", (Seconds_Now() - start) * 1e6 / Compares);
    (void)equal;
}

int Run() {
    Scripted_Dialogs dialogs;
    Application application(dialogs, L"Velbrook v1.0f");
    Temp_Folder program_folder(L"program");
    Temp_Folder pictures(L"pictures");
    TAboutBox about;
    auto window = std::make_unique<TMainForm1>(
        Main_Form_Setup{
            .dialogs = dialogs, .program_path = program_folder.Path() + L"velbrook.exe", .load_picture = Load_Preview},
        about);
    window->Show();
    Process_Messages();

    std::vector<std::wstring> listed, dropped;
    double start = Seconds_Now();
    for (int i = 0; i < Listed_Count + Dropped_Count; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"IMG_%06d.jpg", i);
        std::wstring path = pictures.Path() + name;
        if (!Make_Empty_File(path)) {
            std::fprintf(stderr, "error: cannot make %ls\n", path.c_str());
            return 1;
        }
        (i < Listed_Count ? listed : dropped).push_back(path);
    }
    std::printf("made %d empty files in %.2f s\n", Listed_Count + Dropped_Count, Seconds_Now() - start);

    start = Seconds_Now();
    window->Pictures().Add_All(listed);
    std::printf("Add_All of %d entries: %.3f s\n", Listed_Count, Seconds_Now() - start);
    Process_Messages();

    int status = 0;
    double first = Timed_Drop(window->Handle(), dropped);
    std::printf("drop of %d files onto %d: %.3f s\n", Dropped_Count, Listed_Count, first);
    if (!Check_Count(*window, Listed_Count + Dropped_Count, "the first drop")) status = 1;

    double again = Timed_Drop(window->Handle(), dropped);
    std::printf("drop of the same %d files again (all listed, skipped): %.3f s\n", Dropped_Count, again);
    if (!Check_Count(*window, Listed_Count + Dropped_Count, "the second drop")) status = 1;
    if (!dialogs.messages.empty()) {
        std::fprintf(stderr, "error: the drops brought %zu messages\n", dialogs.messages.size());
        status = 1;
    }

    Time_Parts(window->Pictures(), dropped);

    // Closing must not ask about saving the list.
    window->Has_File_List_Changed_CheckBox.Set_Checked(false);
    window.reset();
    return status;
}

}  // namespace
}  // namespace velbrook

int main() {
    try {
        return velbrook::Run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "error: %s\n", failure.what());
        return 1;
    }
}

// A file list of 100,000 typical picture paths saved from a shown main window
// and loaded back into it, the list box filled by the load.  Prints both
// times and the file's size; checks what came back.  Then the parts of a save
// and a load are timed one by one, so that a slow figure shows where it goes.

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "about/about_box.h"
#include "app/main_form.h"
#include "picture/picture.h"
#include "picture_list/list_file_commands.h"
#include "toolkit/application.h"
#include "../../tests/support/scripted_dialogs.h"
#include "../../tests/support/temp_folder.h"
#include "../common/seconds.h"

namespace velbrook {
namespace {

using bench::Seconds_Now;
using Temp_Folder = testing::Scratch_Folder;

constexpr int Entry_Count = 100000;

// Paths as a photo collection has them: a user's pictures folder, by year
// and occasion, camera file names.
std::vector<std::wstring> Typical_Paths(int count) {
    static const wchar_t* const occasions[] = {L"holiday",     L"birthday",  L"garden",    L"wedding",
                                               L"school trip", L"christmas", L"new house", L"misc"};
    std::vector<std::wstring> paths;
    paths.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        wchar_t path[160];
        std::swprintf(path, 160, L"C:\\Users\\someone\\Pictures\\%d\\%ls\\IMG_%06d.jpg", 2010 + (i / 7000) % 15,
                      occasions[(i / 500) % 8], i);
        paths.emplace_back(path);
    }
    return paths;
}

bool Check_Entries(TMainForm1& window, const std::vector<std::wstring>& expected) {
    const auto& entries = window.Pictures().Entries();
    int items = window.File_ListBox.Count();
    if (entries == expected && items == static_cast<int>(expected.size()) &&
        window.File_ListBox.Item(items - 1) == expected.back())
        return true;
    std::fprintf(stderr, "error: after the load the list holds %zu entries and the list box %d items, not %zu\n",
                 entries.size(), items, expected.size());
    return false;
}

void Time_Parts(TMainForm1& window, const std::wstring& file, const std::vector<std::wstring>& paths) {
    std::printf("parts, over %zu entries:\n", paths.size());
    double start = Seconds_Now();
    std::string bytes = Encode_List_File(paths);
    std::printf("  Encode_List_File: %.3f s\n", Seconds_Now() - start);
    start = Seconds_Now();
    bool written = Write_File_Whole(file, bytes);
    std::printf("  Write_File_Whole: %.3f s%s\n", Seconds_Now() - start, written ? "" : " (failed)");

    start = Seconds_Now();
    auto read = Read_List_File(file);
    std::printf("  Read_List_File: %.3f s (%zu entries)\n", Seconds_Now() - start, read ? read->size() : 0u);

    start = Seconds_Now();
    for (const auto& path : paths) (void)Sort_Key(path, false);
    std::printf("  Sort_Key (LCMapStringW) of each entry, as the list's index is rebuilt: %.3f s\n",
                Seconds_Now() - start);

    List_Box& box = window.File_ListBox;
    start = Seconds_Now();
    box.Clear();
    std::printf("  clearing the list box of %d items: %.3f s\n", window.Pictures().Count(), Seconds_Now() - start);
    start = Seconds_Now();
    {
        size_t characters = 0;
        for (const auto& path : paths) characters += path.size() + 1;
        List_Box::Update update(box);
        box.Reserve(static_cast<int>(paths.size()), characters);
        for (const auto& path : paths) box.Add(path);
    }
    std::printf("  filling the list box (LB_ADDSTRING, redraw off): %.3f s\n", Seconds_Now() - start);
    start = Seconds_Now();
    Process_Messages();
    std::printf("  the repaint after it: %.3f s\n", Seconds_Now() - start);
}

int Run() {
    Scripted_Dialogs dialogs;
    Application application(dialogs, L"Velbrook v1.0f");
    Temp_Folder program_folder(L"program");
    Temp_Folder lists(L"lists");
    TAboutBox about;
    auto window = std::make_unique<TMainForm1>(
        Main_Form_Setup{
            .dialogs = dialogs, .program_path = program_folder.Path() + L"velbrook.exe", .load_picture = Load_Preview},
        about);
    window->Show();
    Process_Messages();

    std::vector<std::wstring> paths = Typical_Paths(Entry_Count);
    double start = Seconds_Now();
    window->Pictures().Add_All(paths);
    std::printf("Add_All of %d entries: %.3f s\n", Entry_Count, Seconds_Now() - start);
    Process_Messages();

    std::wstring file = lists.Path() + L"pictures.txt";
    start = Seconds_Now();
    int saved = Save_Entries_To_File(window->List(), file);
    double save_time = Seconds_Now() - start;
    std::error_code size_error;
    auto size = std::filesystem::file_size(file, size_error);
    std::printf("save of %d entries: %.3f s, file %llu bytes (%.1f MB)\n", Entry_Count, save_time,
                static_cast<unsigned long long>(size), static_cast<double>(size) / 1e6);
    int status = 0;
    if (saved != 0 || size_error) {
        std::fprintf(stderr, "error: the save failed\n");
        status = 1;
    }

    start = Seconds_Now();
    bool loaded = Load_Entries_From_File(window->List(), file);
    double load_time = Seconds_Now() - start;
    std::printf("load of %d entries into a list of %d, list box filled: %.3f s\n", Entry_Count, Entry_Count, load_time);
    start = Seconds_Now();
    Process_Messages();
    std::printf("the repaint after the load: %.3f s\n", Seconds_Now() - start);
    if (!loaded || !Check_Entries(*window, paths)) status = 1;
    if (!dialogs.messages.empty()) {
        std::fprintf(stderr, "error: %zu messages came up\n", dialogs.messages.size());
        status = 1;
    }

    Time_Parts(*window, lists.Path() + L"parts.txt", paths);

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

// Drops, the real save and open dialogs, Reset: the list comes back as it was.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "../../src/app/command_ids.h"
#include "driver.h"

namespace e2e {
namespace {

// The name box of a file dialog: an edit inside the ComboBoxEx32 (id 0x47c),
// or a plain edit (id 0x480) in older dialogs.
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

void Choose_File(const Velbrook& program, const std::wstring& path) {
    HWND dialog = program.Wait_Dialog([](HWND window) { return Name_Box(window) != nullptr; });
    ASSERT_NE(dialog, nullptr) << "the file dialog did not open";
    HWND name = Name_Box(dialog);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(Wait_For([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }));
}

TEST(List_File, Dropped_Files_Saved_Reset_And_Loaded_Come_Back_As_They_Were) {
    Velbrook program;
    std::vector<std::wstring> pictures{Test_Picture(L"red_green.bmp"), Test_Picture(L"blue_yellow.jpg"),
                                       Test_Picture(L"cyan.emf")};
    program.Drop(pictures);
    ASSERT_TRUE(Wait_For([&] { return program.List() == pictures; }));
    program.Drop({Test_Picture(L"grey.ico")});
    HWND refused = program.Wait_Box(L"Error");
    ASSERT_NE(refused, nullptr);
    EXPECT_NE(Velbrook::Box_Text(refused).find(L"All other unsupported files have been rejected."), std::wstring::npos);
    Velbrook::Answer(refused, IDOK);
    EXPECT_EQ(program.List(), pictures);

    std::wstring list = (program.Folder() / L"my list.txt").wstring();
    program.Click(L"Save As");
    Choose_File(program, list);
    ASSERT_TRUE(Wait_For([&] { return program.Status() == L"  File list saved to \"" + list + L"\"."; }))
        << std::string(program.Status().begin(), program.Status().end());

    program.Click(L"Reset");
    HWND confirm = program.Wait_Box(L"Confirm");
    ASSERT_NE(confirm, nullptr);
    Velbrook::Answer(confirm, IDYES);
    ASSERT_TRUE(Wait_For([&] { return program.List().empty(); }));

    program.Click(L"Load");
    // The list was erased: Load asks about the unsaved change first.
    HWND ask = program.Wait_Box(L"Confirm");
    ASSERT_NE(ask, nullptr);
    Velbrook::Answer(ask, IDNO);
    Choose_File(program, list);
    ASSERT_TRUE(Wait_For([&] { return program.List() == pictures; }));
    EXPECT_EQ(program.Selected(), 0);
    EXPECT_EQ(program.Status(), L"  " + pictures[0]);
}

}  // namespace
}  // namespace e2e

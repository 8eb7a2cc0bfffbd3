// Drops, the real save and open dialogs, Reset: the list comes back as it was.

#include <gtest/gtest.h>

#include <windows.h>

#include "../../src/app/command_ids.h"
#include "driver.h"

namespace e2e {
namespace {

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
    ASSERT_TRUE(Dialog_Closed(Choose_File(program, list))) << "the file dialog did not open and close";
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
    ASSERT_TRUE(Dialog_Closed(Choose_File(program, list))) << "the file dialog did not open and close";
    ASSERT_TRUE(Wait_For([&] { return program.List() == pictures; }));
    EXPECT_EQ(program.Selected(), 0);
    EXPECT_EQ(program.Status(), L"  " + pictures[0]);
}

}  // namespace
}  // namespace e2e

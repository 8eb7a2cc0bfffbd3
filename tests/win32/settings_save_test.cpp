// Saving the window's state at the close, and Restore Factory Defaults.

#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "file_utils_scratch.h"
#include "layout_test_form.h"
#include "toolkit/failure.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

using test_files::Held_File;
using test_files::Layout_Test_Form;
using test_files::Scratch_Folder;
using test_files::Write_Bytes;

class Settings_Save : public ::testing::Test {
protected:
    Settings_Save() {
        window.form.Set_Bounds(placed);
        window.form.Show_Window(SW_SHOWNORMAL);
    }
    void Expect_Placement(const Settings& read, const Bounds& bounds) {
        EXPECT_EQ(read.left, bounds.left);
        EXPECT_EQ(read.top, bounds.top);
        EXPECT_EQ(read.width, bounds.width);
        EXPECT_EQ(read.height, bounds.height);
    }
    Scratch_Folder folder;
    const std::wstring ini = folder.File(L"velbrook.ini");
    const Bounds placed{60, 40, 610, 420};
    Layout_Test_Form window;
    Scripted_Dialogs dialogs;
};

TEST_F(Settings_Save, writes_the_window_as_it_stands_with_both_marks_and_the_list_name) {
    Save_Settings(ini, window.form, {.always_on_top = true, .file_list_name = L"C:\\Lists\\a.txt"});
    Settings read = Read_Settings(ini);
    EXPECT_FALSE(read.maximized);
    Expect_Placement(read, placed);
    EXPECT_TRUE(read.always_on_top);
    EXPECT_FALSE(read.auto_run);
    EXPECT_EQ(read.file_list_name, L"C:\\Lists\\a.txt");

    Save_Settings(ini, window.form, {.auto_run = true});
    read = Read_Settings(ini);
    EXPECT_FALSE(read.always_on_top);
    EXPECT_TRUE(read.auto_run);
    EXPECT_EQ(read.file_list_name, L"");
}

TEST_F(Settings_Save, a_maximised_window_is_recorded_and_restored_to_its_normal_placement_first) {
    window.form.Show_Window(SW_MAXIMIZE);
    ASSERT_TRUE(window.form.Maximized());
    ASSERT_NE(window.form.Window_Bounds(), placed);

    Save_Settings(ini, window.form, {});
    EXPECT_FALSE(window.form.Maximized());
    EXPECT_EQ(window.form.Window_Bounds(), placed);
    const Settings read = Read_Settings(ini);
    EXPECT_TRUE(read.maximized);
    Expect_Placement(read, placed);

    // Not maximised any more: the next save says so.
    Save_Settings(ini, window.form, {});
    EXPECT_FALSE(Read_Settings(ini).maximized);
}

TEST_F(Settings_Save, a_minimised_window_gives_its_normal_placement_not_its_icon) {
    window.form.Show_Window(SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(window.form.Handle()));
    Save_Settings(ini, window.form, {});
    const Settings read = Read_Settings(ini);
    EXPECT_FALSE(read.maximized);
    Expect_Placement(read, placed);
}

TEST_F(Settings_Save, a_refused_write_stops_the_save_with_the_file_name) {
    const std::wstring nowhere = folder.File(L"gone\\velbrook.ini");
    try {
        Save_Settings(nowhere, window.form, {});
        ADD_FAILURE() << "the save went through";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Text(), L"Unable to write to " + nowhere);
    }
}

TEST_F(Settings_Save, restore_factory_defaults_asks_a_four_line_warning_first) {
    Write_Bytes(ini, "[velbrook]\r\nwindow_Width=700\r\n");
    int first_shows = 0;
    dialogs.answers = {Answer::No};
    EXPECT_FALSE(Restore_Factory_Defaults(dialogs, ini, window.form, [&] { ++first_shows; }));
    EXPECT_EQ(first_shows, 0);
    EXPECT_EQ(Read_Settings(ini).width, 700);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    const Message_Request& asked = dialogs.Last();
    EXPECT_EQ(asked.kind, Message_Kind::Warning);
    EXPECT_EQ(asked.buttons, Buttons::Yes_No);
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = asked.text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(asked.text.substr(start, end - start));
    lines.push_back(asked.text.substr(start));
    ASSERT_EQ(lines.size(), 5u);
    for (std::size_t i : {0u, 1u, 2u, 4u}) EXPECT_FALSE(lines[i].empty()) << i;
    EXPECT_TRUE(lines[3].empty());
}

TEST_F(Settings_Save, restore_factory_defaults_deletes_restores_and_shows_again) {
    Write_Bytes(ini, "[velbrook]\r\nwindow_Width=700\r\n");
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    window.form.Show_Window(SW_MAXIMIZE);
    Settings seen_by_first_show;
    bool was_maximized = true;
    dialogs.answers = {Answer::Yes};
    EXPECT_TRUE(Restore_Factory_Defaults(dialogs, ini, window.form, [&] {
        was_maximized = window.form.Maximized();
        seen_by_first_show = Read_Settings(ini);
    }));
    EXPECT_FALSE(was_maximized);
    EXPECT_EQ(seen_by_first_show.width, 576);
    EXPECT_EQ(::GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Settings_Save, restore_factory_defaults_keeps_a_held_file_and_its_values) {
    Write_Bytes(ini, "[velbrook]\r\nwindow_Width=700\r\n");
    Held_File holder(ini);
    ASSERT_TRUE(holder.Holding());
    Settings seen_by_first_show;
    dialogs.answers = {Answer::Yes};
    EXPECT_TRUE(Restore_Factory_Defaults(dialogs, ini, window.form, [&] { seen_by_first_show = Read_Settings(ini); }));
    EXPECT_EQ(seen_by_first_show.width, 700);
}

}  // namespace
}  // namespace velbrook

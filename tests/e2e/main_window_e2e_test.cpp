// velbrook.exe started under Wine and driven from outside.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "../../src/app/command_ids.h"
#include "driver.h"

namespace e2e {
namespace {

bool Has_Child(const std::vector<Child>& children, const std::wstring& class_name, const std::wstring& text,
               bool visible = true) {
    return std::any_of(children.begin(), children.end(), [&](const Child& child) {
        return _wcsicmp(child.class_name.c_str(), class_name.c_str()) == 0 && child.text == text &&
               child.visible == visible;
    });
}

TEST(Main_Window, Appears_With_Its_Caption_Client_Size_And_Controls) {
    Velbrook program;
    EXPECT_EQ(Window_Text(program.Main()), L"Velbrook v1.0f");
    RECT client;
    ::GetClientRect(program.Main(), &client);
    RECT outer;
    ::GetWindowRect(program.Main(), &outer);
    EXPECT_EQ(outer.left, 20);
    EXPECT_EQ(outer.top, 20);
    EXPECT_EQ(outer.right - outer.left, 576);
    EXPECT_EQ(outer.bottom - outer.top, 398);
    // Every control is scaled from the 569 x 379 design client area.
    double sx = client.right / 569.0, sy = client.bottom / 379.0;
    auto children = program.Children();
    for (const wchar_t* caption : {L"Load", L"Save", L"Save As", L"Reset", L"Print / PDF", L"Exit", L"Sort List",
                                   L"Move Up", L"Move Down", L"Remove"})
        EXPECT_TRUE(Has_Child(children, L"Button", caption)) << caption;
    EXPECT_TRUE(Has_Child(children, L"Button", L"Abort", false)) << "the abort panel is hidden";
    EXPECT_TRUE(Has_Child(children, L"Static", L"Drag and Drop graphics files using Windows Explorer"));
    EXPECT_TRUE(Has_Child(children, L"Velbrook.Window", L" Image Preview : "));
    EXPECT_TRUE(Has_Child(children, L"Velbrook.Window", L" Abort after current image : ", false));
    EXPECT_NE(program.Find_Child(L"Edit"), nullptr) << "the hidden name of the current file list";
    HWND list = program.Find_Child(L"ListBox");
    ASSERT_NE(list, nullptr);
    auto item = std::find_if(children.begin(), children.end(), [&](const Child& c) { return c.window == list; });
    EXPECT_EQ(item->rect.left, int(4 * sx) + int(8 * sx));
    EXPECT_EQ(item->rect.right - item->rect.left, int(393 * sx));
    EXPECT_EQ(item->rect.bottom - item->rect.top, int(232 * sy));
    EXPECT_EQ(program.Status(), L"");
    EXPECT_TRUE(program.List().empty());
    // The menu bar is there (its items cannot be read from another process under Wine).
    EXPECT_NE(::GetMenu(program.Main()), nullptr);
}

TEST(Main_Window, Move_Up_On_An_Empty_List_Brings_The_Error_Box) {
    Velbrook program;
    program.Click(L"Move Up");
    HWND box = program.Wait_Box(L"Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Velbrook::Box_Text(box), L"There are no files in the list to move.");
    Velbrook::Answer(box, IDOK);
    EXPECT_TRUE(Wait_For([&] { return !::IsWindow(box); }));
    EXPECT_TRUE(program.Running());
}

TEST(Main_Window, File_Exit_Ends_The_Program) {
    Velbrook program;
    program.Menu(velbrook::command::Exit);
    EXPECT_TRUE(program.Wait_Exit());
}

TEST(Main_Window, The_Exit_Button_Asks_About_Unsaved_Changes_And_No_Ends_The_Program) {
    Velbrook program(L"\"" + Test_Picture(L"red_green.bmp") + L"\"");
    ASSERT_TRUE(Wait_For([&] { return program.List().size() == 1; }));
    program.Click(L"Exit");
    HWND box = program.Wait_Box(L"Confirm");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Velbrook::Box_Text(box), L"The file list has not been saved.  Do you want to save it before exiting ?");
    Velbrook::Answer(box, IDNO);
    EXPECT_TRUE(program.Wait_Exit());
}

TEST(Main_Window, Files_Named_On_The_Command_Line_Come_In_As_A_Drop) {
    Velbrook program(L"\"" + Test_Picture(L"red_green.bmp") + L"\" \"" + Test_Picture(L"blue_yellow.jpg") + L"\"");
    ASSERT_TRUE(Wait_For([&] { return program.List().size() == 2; }));
    EXPECT_EQ(program.List()[0], Test_Picture(L"red_green.bmp"));
    EXPECT_EQ(program.List()[1], Test_Picture(L"blue_yellow.jpg"));
}

// The last list's first picture held open by another program: the window
// still comes, with the whole list in it, and the one box says why that
// picture cannot show, as a click on it would.
TEST(Main_Window, Comes_With_Its_List_When_The_First_Picture_Is_Held_Open) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("velbrook-held-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path held = folder / "held.bmp", list = folder / "list.txt";
    std::filesystem::copy_file(Test_Picture(L"red_green.bmp"), held, std::filesystem::copy_options::overwrite_existing);
    const std::wstring second = Test_Picture(L"blue_yellow.jpg");
    std::ofstream(list, std::ios::binary) << held.string() << "\r\n" << std::string(second.begin(), second.end()) << "\r\n";
    const HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    {
        Velbrook program(L"", "[velbrook]\r\nFile_List_Name_Edit=" + list.string() + "\r\n");
        EXPECT_TRUE(::IsWindowVisible(program.Main()));
        ASSERT_TRUE(Wait_For([&] { return program.List().size() == 2; }));
        EXPECT_EQ(program.List()[0], held.wstring());
        const HWND box = program.Wait_Box(L"Velbrook v1.0f");
        ASSERT_NE(box, nullptr);
        EXPECT_NE(Velbrook::Box_Text(box).find(L"in use by another program"), std::wstring::npos)
            << std::string(Velbrook::Box_Text(box).begin(), Velbrook::Box_Text(box).end());
        Velbrook::Answer(box, IDOK);
        EXPECT_TRUE(::IsWindowVisible(program.Main()));
        EXPECT_EQ(program.Wait_Box(L"Velbrook v1.0f", 1s), nullptr) << "a second box";
    }
    ::CloseHandle(holder);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

// Run by scripts/run: a screenshot of the main window.
TEST(Demo, DISABLED_Screenshot) {
    Velbrook program;
    ::Sleep(500);
    std::wstring out = Source_Folder().wstring() + L"\\out\\velbrook.bmp";
    ASSERT_TRUE(program.Screenshot(out));
    printf("velbrook: screenshot written\n");
}

}  // namespace
}  // namespace e2e

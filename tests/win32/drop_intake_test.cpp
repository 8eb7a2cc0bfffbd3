// Drops built as the shell builds them: a DROPFILES block of wide names.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "../support/drop_block.h"
#include "main_form_fixture.h"
#include "picture_list/drop_intake.h"

namespace velbrook::testing {
namespace {

class Drop_Intake : public Main_Form_Test {
protected:
    void Drop(const std::vector<std::wstring>& names) {
        ::SendMessageW(Shown().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(Make_Drop(names)), 0);
    }
};

TEST_F(Drop_Intake, Accepted_Files_Are_Appended_In_The_Order_Of_The_Drop) {
    std::vector<std::wstring> names;
    for (const wchar_t* name : {L"e.wmf", L"a.bmp", L"Photo.JPG", L"d.emf", L"c.jpeg"})
        names.push_back(folder.Write(name));
    Fill({L"C:\\already.jpg"});
    Form().Pictures().Select_Index(0);
    Form().StatusBar1.Set_Panel_Text(L"  kept");
    int extent = Form().File_ListBox.Horizontal_Extent();
    Drop(names);
    std::vector<std::wstring> expected{L"C:\\already.jpg"};
    expected.insert(expected.end(), names.begin(), names.end());
    EXPECT_EQ(Entries(), expected);
    EXPECT_TRUE(Changed());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Form().Pictures().Selected_Index(), 0);
    EXPECT_EQ(Status(), L"  kept");
    EXPECT_EQ(Form().File_ListBox.Horizontal_Extent(), extent);
    EXPECT_EQ(Form().Image1.Picture(), nullptr);
    EXPECT_EQ(application.Cursor(), Cursor_Kind::Default);
}

TEST_F(Drop_Intake, A_Drop_That_Fails_Leaves_No_Hourglass_Behind) {
    List_Window list = Form().List();
    list.page_options = []() -> Page_Options { throw std::runtime_error("the options cannot be read"); };
    EXPECT_THROW(Take_Dropped_Files(list, {folder.Write(L"a.bmp")}, {}), std::runtime_error);
    EXPECT_EQ(application.Cursor(), Cursor_Kind::Default);
}

TEST_F(Drop_Intake, Missing_Files_Folders_Duplicates_And_Cut_Names_Are_Skipped_Silently) {
    std::wstring listed = folder.Write(L"listed.jpg");
    std::wstring folder_named_jpg = folder / L"x.jpg";
    std::filesystem::create_directories(folder_named_jpg);
    // A real file whose name is longer than the program reads: the cut name names nothing.
    std::wstring deep = folder.Path();
    while (deep.size() < 240) deep += L"abcdefghij\\";
    std::wstring long_name = deep + std::wstring(300 - deep.size() - 4, L'n') + L".jpg";
    std::filesystem::create_directories(deep);
    bool have_long = ::CreateFileW((L"\\\\?\\" + long_name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                   nullptr) != INVALID_HANDLE_VALUE;
    Fill({listed});
    Drop({folder / L"missing.jpg", folder_named_jpg, listed, long_name});
    EXPECT_EQ(Entries(), std::vector<std::wstring>{listed});
    EXPECT_FALSE(Changed());
    EXPECT_TRUE(dialogs.messages.empty());
    if (!have_long) GTEST_SKIP() << "no 300-character path on this file system";
}

TEST_F(Drop_Intake, The_Same_Path_In_Other_Letter_Case_Is_Another_Entry) {
    std::wstring path = folder.Write(L"Same.jpg");
    Fill({path});
    std::wstring other_case = path.substr(0, path.size() - 8) + L"SAME.JPG";
    Drop({other_case});
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{path, other_case}));
}

TEST_F(Drop_Intake, The_Same_File_Twice_In_One_Drop_Is_Taken_Once) {
    std::wstring path = folder.Write(L"twice.bmp");
    Drop({path, path});
    EXPECT_EQ(Entries(), std::vector<std::wstring>{path});
}

TEST_F(Drop_Intake, Refused_Extensions_Bring_One_Message_And_Accepted_Ones_Still_Come_In) {
    std::wstring gif = folder.Write(L"a.gif");
    std::wstring jpg = folder.Write(L"b.jpg");
    std::wstring zip = folder.Write(L"archive.jpg.zip");
    std::wstring bare = folder.Write(L"picture");
    std::wstring dotted_folder = folder.Write(L"dir.jpg\\noext");
    Drop({gif, jpg, zip, bare, dotted_folder});
    EXPECT_EQ(Entries(), std::vector<std::wstring>{jpg});
    EXPECT_TRUE(Changed());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Error);
    EXPECT_EQ(dialogs.messages[0].title, L"Error");
    EXPECT_EQ(dialogs.messages[0].text,
              L"This version of the program, can only handle a limited variety of graphics file formats.\r\n\r\n"
              L"That is, the only files allowed are those whose names have a \r\n"
              L"\".BMP\", \".JPG\", \".JPEG\", \".EMF\", or \".WMF\"  extension.\r\n"
              L"e.g. my_picture.bmp\r\n\r\nAll other unsupported files have been rejected.");
}

TEST_F(Drop_Intake, Only_Refused_Files_Leave_The_Flag_As_It_Was) {
    Drop({folder.Write(L"a.gif")});
    EXPECT_FALSE(Changed());
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Drop_Intake, Names_In_Every_Language_Come_In_Whole) {
    std::wstring greek = folder.Write(L"\u03b5\u03b9\u03ba\u03cc\u03bd\u03b1.jpg");
    std::wstring japanese = folder.Write(L"\u5199\u771f.bmp");
    Drop({greek, japanese});
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{greek, japanese}));
}

TEST_F(Drop_Intake, Ansi_Drop_Blocks_Are_Read_As_Well) {
    std::wstring first = folder.Write(L"one.jpg"), second = folder.Write(L"two.emf");
    std::vector<std::string> names{std::string(first.begin(), first.end()), std::string(second.begin(), second.end())};
    ::SendMessageW(Shown().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(Make_Ansi_Drop(names)), 0);
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second}));
}

TEST_F(Drop_Intake, Command_Line_Files_Come_In_As_One_Drop) {
    std::wstring jpg = folder.Write(L"c.jpg");
    Shown().Take_Files({jpg, folder.Write(L"d.txt")});
    EXPECT_EQ(Entries(), std::vector<std::wstring>{jpg});
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Drop_Intake, During_Sort_A_Drop_Goes_To_Its_Sorted_Place_And_Afterwards_To_The_End) {
    std::wstring a = folder.Write(L"a.jpg"), c = folder.Write(L"c.jpg"), b = folder.Write(L"B.jpg");
    std::wstring last = folder.Write(L"0.jpg");
    Fill({c, a});
    Form().Pictures().Set_Sorted(true);
    Drop({b});
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{a, b, c}));
    Form().Pictures().Set_Sorted(false);
    Drop({last});
    EXPECT_EQ(Entries().back(), last);
}

}  // namespace
}  // namespace velbrook::testing

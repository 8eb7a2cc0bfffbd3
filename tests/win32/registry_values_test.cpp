// The registry routines on the test prefix's real registry, inside a scratch
// key: what they store, what they read, and the boxes they show when the key
// is missing or a write does not hold.

#include <gtest/gtest.h>

#include "shell/registry.h"
#include "shell_test_support.h"
#include "toolkit/failure.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

using testing::Raw_Get;
using testing::Raw_Key_Exists;
using testing::Raw_Set;
using testing::Raw_Set_String;
using testing::Scratch_Key;

class Registry_Values : public ::testing::Test {
protected:
    Scratch_Key root{L"Registry Values"};
    Scripted_Dialogs dialogs;
    const std::wstring key = L"\\Settings\\Inner";
    const std::wstring raw_key = L"Settings\\Inner";
    void SetUp() override { root.Create(raw_key); }
};

TEST_F(Registry_Values, Write_Stores_A_Terminated_String_That_Reads_Back_And_Replaces_The_Old_One) {
    EXPECT_TRUE(Write_Registry_Value(dialogs, root.get(), key, L"Path", L"C:\\Tools\\velbrook.exe"));
    auto stored = Raw_Get(root.get(), raw_key, L"Path");
    ASSERT_TRUE(stored.exists);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.bytes_as_text, std::wstring(L"C:\\Tools\\velbrook.exe") + L'\0');
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"Path"), L"C:\\Tools\\velbrook.exe");

    // A value of another type under the name is replaced by the string.
    DWORD number = 7;
    ASSERT_TRUE(Raw_Set(root.get(), raw_key, L"Count", REG_DWORD, &number, sizeof number));
    EXPECT_TRUE(Write_Registry_Value(dialogs, root.get(), key, L"Count", L"seven"));
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"Count"), L"seven");

    EXPECT_TRUE(Write_Registry_Value(dialogs, root.get(), key, L"Path", L"D:\\Other\\Velbrook.EXE"));
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"Path"), L"D:\\Other\\Velbrook.EXE");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Registry_Values, Delete_Removes_The_Value_And_A_Value_That_Never_Was_Counts_As_Removed) {
    ASSERT_TRUE(Raw_Set_String(root.get(), raw_key, L"Gone", L"x"));
    ASSERT_TRUE(Raw_Set_String(root.get(), raw_key, L"Kept", L"y"));
    EXPECT_TRUE(Delete_Registry_Value(dialogs, root.get(), key, L"Gone"));
    EXPECT_FALSE(Raw_Get(root.get(), raw_key, L"Gone").exists);
    EXPECT_TRUE(Raw_Get(root.get(), raw_key, L"Kept").exists);
    EXPECT_TRUE(Delete_Registry_Value(dialogs, root.get(), key, L"Never There"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Registry_Values, Missing_Key_Is_Reported_By_Write_And_Delete_Never_Created_And_Reads_Empty) {
    const std::wstring missing = L"\\Settings\\Absent";
    EXPECT_FALSE(Write_Registry_Value(dialogs, root.get(), missing, L"Item", L"Data"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Error);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(dialogs.messages[0].text,
              L"Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC.  \r\n\r\n"
              L" Error Key   = \\Settings\\Absent\r\n"
              L" Error Item  = Item\r\n"
              L" Error Value = Data\r\n"
              L"\r\n"
              L"Please contact the program's author.");
    EXPECT_FALSE(Raw_Key_Exists(root.get(), L"Settings\\Absent"));

    EXPECT_FALSE(Delete_Registry_Value(dialogs, root.get(), missing, L"Item"));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].kind, Message_Kind::Error);
    EXPECT_EQ(dialogs.messages[1].text,
              L"Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC.  \r\n\r\n"
              L" Error Key   = \\Settings\\Absent\r\n"
              L" Error Item  = Item\r\n"
              L"\r\n"
              L"Please contact the program's author.");
    EXPECT_FALSE(Raw_Key_Exists(root.get(), L"Settings\\Absent"));

    EXPECT_EQ(Read_Registry_Value(root.get(), missing, L"Item"), L"");
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(Registry_Values, Write_That_Does_Not_Read_Back_Whole_Is_Reported) {
    // A string with a zero inside is stored whole but reads back only up to
    // the zero, so what the registry gives back is not what was written.
    const std::wstring data(L"front\0back", 10);
    EXPECT_FALSE(Write_Registry_Value(dialogs, root.get(), key, L"Cut", data));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Message_Kind::Error);
    EXPECT_EQ(dialogs.messages[0].text,
              L"Error: The required settings could not be created \r\nor saved in the Windows Registry.  \r\n\r\n"
              L" Error Key   = \\Settings\\Inner\r\n"
              L" Error Item  = Cut\r\n"
              L" Error Value = " +
                  data + L"\r\n\r\nPlease contact the program's author.");
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"Cut"), L"front");
}

TEST_F(Registry_Values, Read_Gives_The_String_Up_To_Its_First_Zero_And_Empty_For_Nothing_Stored) {
    const wchar_t two_strings[] = L"first\0second";
    ASSERT_TRUE(Raw_Set(root.get(), raw_key, L"Two", REG_SZ, two_strings, sizeof two_strings));
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"Two"), L"first");

    // Stored without its terminating zero: the read stops at the data's end.
    const wchar_t bare[] = {L'a', L'b', L'c'};
    ASSERT_TRUE(Raw_Set(root.get(), raw_key, L"Bare", REG_SZ, bare, sizeof bare));
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"Bare"), L"abc");

    const wchar_t expandable[] = L"%SystemRoot%\\x";
    ASSERT_TRUE(Raw_Set(root.get(), raw_key, L"Expand", REG_EXPAND_SZ, expandable, sizeof expandable));
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"Expand"), L"%SystemRoot%\\x");

    ASSERT_TRUE(Raw_Set(root.get(), raw_key, L"Empty", REG_SZ, nullptr, 0));
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"Empty"), L"");
    EXPECT_EQ(Read_Registry_Value(root.get(), key, L"No Such Value"), L"");
}

TEST_F(Registry_Values, Value_Of_Another_Type_Where_A_String_Is_Read_Is_A_Failure_Naming_It) {
    DWORD number = 42;
    ASSERT_TRUE(Raw_Set(root.get(), raw_key, L"Number", REG_DWORD, &number, sizeof number));
    try {
        Read_Registry_Value(root.get(), key, L"Number");
        ADD_FAILURE() << "a number was read as a string";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.Text().find(L"'Number'"), std::wstring::npos) << failure.what();
    }
}

}  // namespace
}  // namespace velbrook

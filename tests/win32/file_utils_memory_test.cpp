// The free-memory figure of the About window.

#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>

#include "shell/file_utils.h"

namespace velbrook {
namespace {

constexpr std::uint64_t GiB = 1024ull * 1024 * 1024;

TEST(File_Utils_Memory, the_live_figure_is_a_whole_percentage) {
    const std::wstring text = Free_Memory_Percent();
    ASSERT_GE(text.size(), 2u);
    ASSERT_EQ(text.back(), L'%');
    const std::wstring digits = text.substr(0, text.size() - 1);
    for (wchar_t c : digits) EXPECT_TRUE(std::iswdigit(c)) << "in " << text.size();
    const int percent = std::stoi(digits);
    EXPECT_GT(percent, 0);
    EXPECT_LE(percent, 100);
}

TEST(File_Utils_Memory, figures_beyond_4_gb_count_in_full) {
    // 6 of 8 GiB physical and 2 of 8 GiB page file free: half.  Cut at 4 GiB,
    // as the old status call reports them, the same machine would show 75%.
    EXPECT_EQ(Memory_Percent_Text(6 * GiB, 2 * GiB, 8 * GiB, 8 * GiB), L"50%");
    EXPECT_EQ(Memory_Percent_Text(0, 0, 64 * GiB, 64 * GiB), L"0%");
    EXPECT_EQ(Memory_Percent_Text(64 * GiB, 64 * GiB, 64 * GiB, 64 * GiB), L"100%");
}

TEST(File_Utils_Memory, rounds_to_the_nearest_whole_percent) {
    // 1 of 3 and 2 of 3 units free.
    EXPECT_EQ(Memory_Percent_Text(1024 * 1024, 0, 3 * 1024 * 1024, 0), L"33%");
    EXPECT_EQ(Memory_Percent_Text(2 * 1024 * 1024, 0, 3 * 1024 * 1024, 0), L"67%");
    // Physical memory counts in whole kilobytes, the page file exactly.
    EXPECT_EQ(Memory_Percent_Text(1023, 2048, 2048, 2048), L"50%");
    // A machine that reports nothing gives no division by zero.
    EXPECT_EQ(Memory_Percent_Text(0, 0, 0, 0), L"0%");
}

TEST(File_Utils_Program_Folder, is_the_program_path_up_to_its_last_backslash) {
    EXPECT_EQ(Program_Folder(L"C:\\Tools\\velbrook.exe"), L"C:\\Tools\\");
    EXPECT_EQ(Program_Folder(L"C:\\velbrook.exe"), L"C:\\");
    const std::wstring running = Program_Path();
    ASSERT_FALSE(running.empty());
    EXPECT_EQ(running.substr(0, Program_Folder(running).size()), Program_Folder(running));
    EXPECT_EQ(::GetFileAttributesW(Program_Folder(running).c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace
}  // namespace velbrook

// The in-use probe, the attribute setter and the safe deletion built on both.

#include <gtest/gtest.h>

#include "file_utils_scratch.h"
#include "shell/file_utils.h"

namespace velbrook {
namespace {

using test_files::Held_File;
using test_files::Scratch_Folder;
using test_files::Write_Bytes;

// A file name that makes the whole path exactly `length` characters long.
std::wstring Path_Of_Length(const Scratch_Folder& folder, std::size_t length) {
    std::wstring path = folder.Path();
    path += std::wstring(length - path.size() - 4, L'n');
    path += L".txt";
    return path;
}

TEST(File_Utils_Open_State, nothing_to_probe_gives_the_empty_result) {
    Scratch_Folder folder;
    EXPECT_EQ(File_Open_State(L""), L"");
    EXPECT_EQ(File_Open_State(folder.File(L"missing.txt")), L"");
    EXPECT_EQ(File_Open_State(folder.File(L"no such folder\\missing.txt")), L"");
    // A folder is not a file.
    EXPECT_EQ(File_Open_State(folder.Path().substr(0, folder.Path().size() - 1)), L"");
}

TEST(File_Utils_Open_State, tells_a_free_file_from_a_held_or_refused_one) {
    Scratch_Folder folder;
    const std::wstring free_file = folder.File(L"free.txt");
    const std::wstring held_file = folder.File(L"held by another.txt");
    const std::wstring read_only = folder.File(L"read only.txt");
    for (const auto& path : {free_file, held_file, read_only}) Write_Bytes(path, "x");
    ::SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(File_Open_State(free_file), L"CLOSED");
    {
        // Even a holder that shares everything keeps the exclusive open out.
        Held_File holder(held_file);
        ASSERT_TRUE(holder.Holding());
        EXPECT_EQ(File_Open_State(held_file), L"OPEN");
    }
    EXPECT_EQ(File_Open_State(held_file), L"CLOSED");
    EXPECT_EQ(File_Open_State(read_only), L"ERROR");
    // The probe itself leaves nothing open behind it.
    EXPECT_EQ(File_Open_State(free_file), L"CLOSED");
}

TEST(File_Utils_Open_State, paths_of_128_characters_or_more_are_not_probed) {
    Scratch_Folder folder;
    const std::wstring probed = Path_Of_Length(folder, 127);
    const std::wstring unprobed = Path_Of_Length(folder, 128);
    ASSERT_EQ(probed.size(), 127u);
    ASSERT_EQ(unprobed.size(), 128u);
    Write_Bytes(probed, "x");
    Write_Bytes(unprobed, "x");
    Held_File hold_probed(probed);
    Held_File hold_unprobed(unprobed);
    ASSERT_TRUE(hold_probed.Holding() && hold_unprobed.Holding());
    EXPECT_EQ(File_Open_State(probed), L"OPEN");
    EXPECT_EQ(File_Open_State(unprobed), L"CLOSED");
    // Not even the existence test is made.
    EXPECT_EQ(File_Open_State(Path_Of_Length(folder, 200)), L"CLOSED");
}

TEST(File_Utils_Attributes, sets_exactly_the_four_attributes_asked_for) {
    Scratch_Folder folder;
    const std::wstring path = folder.File(L"attributes.txt");
    Write_Bytes(path, "x");
    using enum File_Attributes;
    struct Case {
        File_Attributes asked;
        DWORD expected;
    };
    const Case cases[] = {
        {Read_Only, FILE_ATTRIBUTE_READONLY},
        {Archive, FILE_ATTRIBUTE_ARCHIVE},
        {System | Hidden, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN},
        {Read_Only | Archive | System | Hidden,
         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN},
        // None at all: the file reads back as "normal", which still counts as set.
        {None, 0},
    };
    const DWORD four = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        const bool answered = Set_File_Attributes(path, c.asked);
        const DWORD read_back = ::GetFileAttributesW(path.c_str()) & four;
        // Some file systems keep every file marked for archiving: the answer
        // must say whether the whole request took.
        EXPECT_EQ(answered, read_back == c.expected);
        EXPECT_EQ(read_back & ~FILE_ATTRIBUTE_ARCHIVE, c.expected & ~FILE_ATTRIBUTE_ARCHIVE);
    }
    EXPECT_TRUE(Set_File_Attributes(path, Read_Only | Archive | System | Hidden));
    EXPECT_FALSE(Set_File_Attributes(folder.File(L"missing.txt"), Read_Only));
}

TEST(File_Utils_Delete, deletes_a_free_file_whatever_its_attributes) {
    Scratch_Folder folder;
    const std::wstring plain = folder.File(L"plain.txt");
    const std::wstring read_only = folder.File(L"read only.txt");
    const std::wstring hidden = folder.File(L"hidden system.txt");
    for (const auto& path : {plain, read_only, hidden}) Write_Bytes(path, "x");
    ::SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    for (const auto& path : {plain, read_only, hidden}) {
        SCOPED_TRACE(test_files::Narrow(path));
        EXPECT_TRUE(Delete_File_Safely(path));
        EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST(File_Utils_Delete, leaves_a_held_file_and_says_so) {
    Scratch_Folder folder;
    const std::wstring path = folder.File(L"held.txt");
    Write_Bytes(path, "kept");
    {
        Held_File holder(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(holder.Holding());
        EXPECT_FALSE(Delete_File_Safely(path));
        EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_EQ(test_files::Read_Bytes(path), "kept");
    EXPECT_FALSE(Delete_File_Safely(folder.File(L"missing.txt")));
}

}  // namespace
}  // namespace velbrook

#include <gtest/gtest.h>

#include "picture/file_type.h"
#include "shell/text_utils.h"

namespace velbrook {
namespace {

struct Extension_Case {
    const wchar_t* path;
    const wchar_t* extension;
    bool accepted;
};

TEST(File_Extension, Takes_The_Last_Dot_Of_The_File_Name) {
    const Extension_Case cases[] = {
        {L"C:\\Pictures\\Photo.JPG", L".JPG", true},
        {L"C:\\Pictures\\photo.jpeg", L".jpeg", true},
        {L"a.Bmp", L".Bmp", true},
        {L"c:\\x\\drawing.EMF", L".EMF", true},
        {L"c:\\x\\drawing.wmf", L".wmf", true},
        {L"C:\\Pictures\\picture", L"", false},
        {L"C:\\Pictures\\archive.jpg.zip", L".zip", false},
        {L"C:\\dir.jpg\\picture", L"", false},  // the dot is in a folder's name
        {L"C:/dir.jpg/picture", L"", false},
        {L"dir.jpg:stream", L"", false},  // the drive colon also ends a folder
        {L"C:.jpg", L".jpg", true},
        {L"C:\\Pictures\\photo.", L".", false},
        {L"C:\\Pictures\\.jpg", L".jpg", true},
        {L"C:\\Pictures\\photo.jpe", L".jpe", false},
        {L"C:\\Pictures\\photo.gif", L".gif", false},
        {L"C:\\Pictures\\photo.ico", L".ico", false},
        {L"C:\\Pictures\\photo.jpg ", L".jpg ", false},
        {L"", L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(File_Extension(c.path), c.extension) << c.path;
        EXPECT_EQ(Is_Accepted_Extension(c.path), c.accepted) << c.path;
    }
}

TEST(Lower_Ascii, Maps_Only_A_To_Z) {
    EXPECT_EQ(Lower_Ascii(L"AZaz@[`{09.JPEG"), L"azaz@[`{09.jpeg");
    EXPECT_EQ(Lower_Ascii(L"\x00C4\x00D6\x0130"), L"\x00C4\x00D6\x0130");
    EXPECT_EQ(Lower_Ascii(L""), L"");
}

}  // namespace
}  // namespace velbrook

// Loading by extension: each kind drawn into a memory DC and its colours read
// back at known places; broken files refused as invalid pictures; files that
// cannot be read refused as something else, naming the file.

#include "picture/jpeg_decode.h"
#include "picture/picture.h"
#include "picture_folder.h"
#include "picture_test_support.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

TEST(Picture_Kinds, Jpeg_Is_Drawn_Stretched_With_Its_Halves_In_Place) {
    auto picture = Load_Picture(Sample("blue_yellow.jpg"), {0, 0});
    EXPECT_EQ(picture->Kind(), Picture_Kind::Jpeg);
    EXPECT_EQ(picture->Pixel_Size().cx, 80);
    EXPECT_EQ(picture->Pixel_Size().cy, 60);
    Canvas canvas(30, 120);
    picture->Draw(canvas.Dc(), canvas.Whole());
    EXPECT_TRUE(Near(canvas.At(15, 10), Blue));
    EXPECT_TRUE(Near(canvas.At(2, 50), Blue));
    EXPECT_TRUE(Near(canvas.At(15, 110), Yellow));
    EXPECT_TRUE(Near(canvas.At(28, 70), Yellow));
}

TEST(Picture_Kinds, Jpeg_Is_Decoded_At_The_Smallest_Scale_That_Covers_The_Target) {
    const auto bytes = File_Bytes(Sample("blue_yellow.jpg"));
    const Jpeg_Info info = Read_Jpeg_Info(bytes);
    for (SIZE target : {SIZE{10, 8}, SIZE{11, 8}, SIZE{30, 20}, SIZE{41, 10}, SIZE{80, 60}, SIZE{500, 400}}) {
        SCOPED_TRACE(std::to_string(target.cx) + " x " + std::to_string(target.cy));
        auto picture = Load_Picture(Sample("blue_yellow.jpg"), target);
        const SIZE got = picture->Pixel_Size();
        const int d = Choose_Jpeg_Scale(info.width, info.height, target.cx, target.cy);
        EXPECT_EQ(got.cx, (info.width + d - 1) / d);
        EXPECT_EQ(got.cy, (info.height + d - 1) / d);
        // Never below the target unless the file itself is smaller, never above the file.
        EXPECT_GE(got.cx, std::min<LONG>(target.cx, info.width));
        EXPECT_GE(got.cy, std::min<LONG>(target.cy, info.height));
        EXPECT_LE(got.cx, info.width);
        if (target.cx * 2 <= info.width && target.cy * 2 <= info.height) {
            EXPECT_LT(got.cx, info.width);
        }
        Canvas canvas(40, 40);
        picture->Draw(canvas.Dc(), canvas.Whole());
        EXPECT_TRUE(Near(canvas.At(20, 8), Blue));
        EXPECT_TRUE(Near(canvas.At(20, 32), Yellow));
    }
}

TEST(Picture_Kinds, Metafiles_Are_Played_Into_The_Whole_Rectangle) {
    Picture_Folder folder;
    // The sample WMF is placeable; without its 22-byte header it is a plain one.
    auto wmf_bytes = File_Bytes(Sample("orange.wmf"));
    const std::wstring plain = folder.Write(L"plain.wmf", {wmf_bytes.begin() + 22, wmf_bytes.end()});
    // Many writers get the placeable header's checksum wrong; it is not a
    // reason to refuse the picture.
    auto bad_checksum = wmf_bytes;
    bad_checksum[20] ^= 1;
    const std::wstring checksum = folder.Write(L"checksum.wmf", bad_checksum);
    struct Case {
        std::wstring path;
        Rgb colour;
    };
    for (const Case& c : {Case{Sample("cyan.emf"), Cyan}, Case{Sample("orange.wmf"), Orange}, Case{plain, Orange},
                          Case{checksum, Orange}}) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        auto picture = Load_Picture(c.path, {0, 0});
        EXPECT_EQ(picture->Kind(), Picture_Kind::Metafile);
        Canvas canvas(90, 50);
        EXPECT_TRUE(picture->Render(canvas.Dc(), {5, 5, 85, 45}));
        EXPECT_TRUE(Near(canvas.At(45, 25), c.colour, 2));
        EXPECT_TRUE(Near(canvas.At(8, 8), c.colour, 2));
        EXPECT_TRUE(Near(canvas.At(82, 42), c.colour, 2));
        EXPECT_EQ(canvas.At(2, 25), Backdrop);
        EXPECT_EQ(canvas.At(88, 25), Backdrop);
    }
}

TEST(Picture_Kinds, Icon_Is_Drawn_Stretched) {
    auto picture = Load_Picture(Sample("grey.ico"), {0, 0});
    EXPECT_EQ(picture->Kind(), Picture_Kind::Icon);
    EXPECT_EQ(picture->Pixel_Size().cx, 32);
    Canvas canvas(100, 60);
    EXPECT_TRUE(picture->Render(canvas.Dc(), canvas.Whole()));
    EXPECT_TRUE(Near(canvas.At(50, 30), Grey, 2));
    EXPECT_TRUE(Near(canvas.At(97, 57), Grey, 2));
}

TEST(Picture_Kinds, Empty_Target_Draws_Nothing) {
    auto picture = Load_Picture(Sample("red_green.bmp"), {0, 0});
    Canvas canvas(10, 10);
    EXPECT_TRUE(picture->Render(canvas.Dc(), {5, 5, 5, 9}));
    EXPECT_EQ(canvas.At(5, 6), Backdrop);
}

TEST(Picture_Errors, Broken_Content_Is_An_Invalid_Picture) {
    Picture_Folder folder;
    auto emf = File_Bytes(Sample("cyan.emf"));
    auto wmf = File_Bytes(Sample("orange.wmf"));
    auto ico = File_Bytes(Sample("grey.ico"));
    auto emf_long_record = emf;
    emf_long_record[88 + 4] = 0xF0;  // the first record after the header claims 240 bytes
    auto ico_outside = ico;
    ico_outside[6 + 12] = 0xFF;  // the image offset points past the end
    auto ico_cursor = ico;
    ico_cursor[2] = 2;
    const std::vector<std::pair<std::wstring, std::vector<std::uint8_t>>> files = {
        {L"text.jpg", File_Bytes(Sample("corrupt.jpg"))},
        {L"half.jpg", File_Bytes(Sample("truncated.jpg"))},
        {L"half.emf", {emf.begin(), emf.begin() + static_cast<long>(emf.size() / 2)}},
        {L"long_record.emf", emf_long_record},
        {L"bitmap.emf", File_Bytes(Sample("red_green.bmp"))},
        {L"empty_frame.wmf",
         [&] {
             auto changed = wmf;
             changed[10] = changed[11] = 0;  // the placeable frame's right edge at 0
             return changed;
         }()},
        {L"half.wmf", {wmf.begin(), wmf.begin() + static_cast<long>(wmf.size() - 8)}},
        {L"noise.wmf", File_Bytes(Sample("not_a_bitmap.bmp"))},
        {L"outside.ico", ico_outside},
        {L"cursor.ico", ico_cursor},
        {L"half.ico", {ico.begin(), ico.begin() + 1000}},
        {L"empty.jpeg", {}},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        EXPECT_THROW(Load_Picture(folder.Write(name, bytes), {0, 0}), Invalid_Picture);
    }
    EXPECT_THROW(Load_Picture(Sample("corrupt.jpg"), {0, 0}), Invalid_Picture);
    EXPECT_THROW(Load_Picture(Sample("truncated.jpg"), {100, 100}), Invalid_Picture);
    EXPECT_THROW(Load_Picture(Sample("not_a_bitmap.bmp"), {0, 0}), Invalid_Picture);
}

TEST(Picture_Errors, Names_Without_A_Decoder_Are_Invalid_Even_When_The_File_Is_A_Picture) {
    Picture_Folder folder;
    for (const std::wstring name : {L"picture.gif", L"picture.jpe", L"picture.bmp.txt", L"picture", L"picture."}) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        EXPECT_THROW(Load_Picture(folder.Copy("red_green.bmp", name), {0, 0}), Invalid_Picture);
    }
    EXPECT_THROW(Load_Picture(L"", {0, 0}), Invalid_Picture);
    EXPECT_THROW(Load_Picture(L"C:\\folder.bmp\\picture", {0, 0}), Invalid_Picture);
}

// The failure must be a plain one (the general handler shows it), not an
// invalid picture (which the preview would swallow), and must name the file.
void Expect_Unreadable(const std::wstring& path, const wchar_t* reason) {
    try {
        Load_Picture(path, {0, 0});
        ADD_FAILURE() << "no failure";
    } catch (const Invalid_Picture&) {
        ADD_FAILURE() << "taken for an invalid picture";
    } catch (const Unreadable_File& failure) {
        EXPECT_NE(failure.Text().find(path), std::wstring::npos);
        EXPECT_NE(failure.Text().find(reason), std::wstring::npos) << failure.what();
    }
}

TEST(Picture_Errors, A_File_That_Cannot_Be_Read_Is_A_Failure_Naming_It) {
    Picture_Folder folder;
    const std::wstring locked = folder.Copy("blue_yellow.jpg", L"locked.jpg");
    {
        File_Handle holder(::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        Expect_Unreadable(locked, L"in use by another program");
    }
    EXPECT_NO_THROW(Load_Picture(locked, {0, 0}));  // free again once the holder is gone
    Expect_Unreadable(folder.Path(L"gone.bmp"), L"does not exist");
    Expect_Unreadable(folder.Path(L"no_folder\\gone.emf"), L"does not exist");
}

}  // namespace
}  // namespace velbrook

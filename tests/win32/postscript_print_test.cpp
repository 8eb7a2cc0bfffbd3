// A print run to a printer whose driver takes PostScript through its
// passthrough: which pictures go as their own JPEG bytes and which are drawn
// in bands as on any printer, and a refused escape that leaves the page to
// the bands.

#include <algorithm>
#include <random>

#include "picture_folder.h"
#include "picture_test_support.h"
#include "picture_writers.h"
#include "print_test_support.h"
#include "png_writer.h"
#include "toolkit/form.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

class Postscript_Print_Test : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(app_dialogs.messages.empty()); }

    Picture_Folder folder;
    Scripted_Dialogs app_dialogs;
    Application application{app_dialogs, L"Velbrook tests"};
};

std::string Text_Of(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

TEST_F(Postscript_Print_Test, Baseline_Jpegs_Go_As_Their_Bytes_And_Everything_Else_In_Bands) {
    // Noise, so that the file takes many pieces of the escape.
    std::mt19937 random(3);
    const std::vector<std::uint8_t> noisy = test::Encode_Jpeg(
        {.width = 600, .height = 400, .quality = 98},
        [&](int, int, std::uint8_t* rgb) { rgb[0] = rgb[1] = static_cast<std::uint8_t>(random()), rgb[2] = 200; });
    std::vector<std::uint8_t> trailing = Marked_Jpeg(6);
    const std::size_t picture_bytes = trailing.size();
    trailing.insert(trailing.end(), {'m', 'o', 'r', 'e'});
    const std::vector<std::uint8_t> grey = test::Encode_Jpeg(
        {.width = 40, .height = 30, .components = 1, .input = JCS_GRAYSCALE, .stored = JCS_GRAYSCALE},
        [](int, int, std::uint8_t* s) { s[0] = 90; });
    const std::vector<std::uint8_t> cmyk = test::Encode_Jpeg(
        {.width = 40, .height = 40, .components = 4, .input = JCS_CMYK, .stored = JCS_CMYK},
        [](int, int, std::uint8_t* s) { s[0] = 0, s[1] = s[2] = s[3] = 255; });
    const std::vector<std::uint8_t> progressive = test::Encode_Jpeg(
        {.width = 40, .height = 40, .progressive = true}, [](int, int, std::uint8_t* s) { s[0] = 255, s[1] = s[2] = 0; });
    // Cut in its scan with the end marker put back: it loads, grey where the
    // data ends, but never reaches a printer as it is.
    std::vector<std::uint8_t> cut(noisy.begin(), noisy.begin() + static_cast<std::ptrdiff_t>(noisy.size() / 2));
    cut.insert(cut.end(), {0xFF, 0xD9});

    const struct Entry {
        const wchar_t* name;
        std::vector<std::uint8_t> bytes;
        const char* postscript;  // in the picture's PostScript; null: drawn in bands
        std::size_t sent_bytes;  // of the file, from its start
    } entries[] = {
        {L"noisy.jpg", noisy, "/DeviceRGB setcolorspace", noisy.size()},
        {L"turned with more after its end.jpg", trailing, "/Width 300 /Height 200", picture_bytes},
        {L"grey.jpg", grey, "/DeviceGray setcolorspace", grey.size()},
        {L"cmyk.jpg", cmyk, "/Decode [1 0 1 0 1 0 1 0]", cmyk.size()},
        {L"progressive.jpg", progressive, nullptr, 0},
        {L"cut.jpg", cut, nullptr, 0},
        {L"orange.png", test::Build_Png(30, 20, false, [](int, int, std::uint8_t* s) { s[0] = 255, s[1] = 128; }),
         nullptr, 0},
        {L"red_green.bmp", File_Bytes(Sample("red_green.bmp")), nullptr, 0},
    };
    std::vector<std::wstring> paths;
    for (const Entry& e : entries) paths.push_back(folder.Write(e.name, e.bytes));

    const struct Printer_Case {
        const char* name;
        Page_Options options;
        Sheet_Layout layout;
        bool accept, refuse;
        Postscript_Data data;
    } printers[] = {
        {"placed, binary", {.fit = Fit_Mode::Fit, .camera_orientation = true, .more_types = true}, {}, true, false,
         Postscript_Data::Binary},
        {"the classic page, ASCII85", {.more_types = true}, {}, true, false, Postscript_Data::Ascii85},
        {"cells of a grid", {.fit = Fit_Mode::Fill, .more_types = true}, {.kind = Sheet_Kind::Grid, .columns = 2, .rows = 1},
         true, false, Postscript_Data::Binary},
        {"a printer without the escape", {.more_types = true}, {}, false, false, Postscript_Data::Binary},
        {"a driver that refuses it", {.camera_orientation = true, .more_types = true}, {}, true, true,
         Postscript_Data::Binary},
    };
    for (const Printer_Case& p : printers) {
        SCOPED_TRACE(p.name);
        Print_Bench b;
        b.host.entries = paths;
        b.host.options = p.options;
        b.host.layout = p.layout;
        b.options.accept_postscript = p.accept;
        b.options.refuse_postscript = p.refuse;
        b.options.postscript_data = p.data;
        b.run->Print_BitBtnClick();
        ASSERT_FALSE(b.recording->Open());
        const std::size_t per_sheet = p.layout.kind == Sheet_Kind::Grid ? 2 : 1;
        // Not a page more for a refused escape: the same page gets the bands.
        ASSERT_EQ(b.recording->pages.size(), std::size(entries) / per_sheet);
        EXPECT_EQ(b.recording->postscript_refused, p.refuse ? 1 : 0) << "refused once, never asked again";
        EXPECT_LE(b.recording->largest_postscript_piece, Postscript_Piece_Bytes);
        for (std::size_t sheet = 0; sheet < b.recording->pages.size(); ++sheet) {
            SCOPED_TRACE("sheet " + std::to_string(sheet + 1));
            const Recorded_Page& page = b.Page(sheet);
            // Every picture is on its page, whichever way it went.
            EXPECT_FALSE(b.Blank(sheet));
            std::vector<const Entry*> sent;
            for (std::size_t k = sheet * per_sheet; k < (sheet + 1) * per_sheet; ++k)
                if (entries[k].postscript && p.accept && !p.refuse) sent.push_back(&entries[k]);
            ASSERT_EQ(page.postscript.size(), sent.size());
            for (std::size_t j = 0; j < sent.size(); ++j) {
                const Entry& e = *sent[j];
                const std::string& ps = page.postscript[j];
                EXPECT_NE(ps.find(e.postscript), std::string::npos) << j;
                EXPECT_TRUE(ps.starts_with("\ngsave\n")) << ps.substr(0, 40);
                const std::string file = Text_Of(e.bytes).substr(0, e.sent_bytes);
                if (p.data == Postscript_Data::Binary) {
                    // The file's bytes through its end marker, nothing after.
                    EXPECT_TRUE(ps.ends_with("} exec\n" + file + "\ngrestore\n")) << j;
                } else {
                    EXPECT_EQ(ps.find(file.substr(0, 4)), std::string::npos) << "the file as text only";
                    EXPECT_TRUE(ps.ends_with("~>\ngrestore\n")) << j;
                    EXPECT_GT(ps.size(), e.sent_bytes * 5 / 4) << j;
                }
            }
        }
    }
}

}  // namespace
}  // namespace velbrook

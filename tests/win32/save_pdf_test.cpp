// File > "Save Pictures as PDF File..." with scripted dialogs: every kind of
// picture becomes a page that qpdf and poppler accept, Abort leaves no file,
// a target that cannot be replaced keeps its old content, and Japanese
// names work as file names and as captions.  The PDFs go to a folder under
// /tmp (Wine's Z: drive), where the poppler tools read them.

#include <windows.h>
#include <commdlg.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../support/jpeg_encoder.h"
#include "../support/metafile_writer.h"
#include "../support/pdf_check.h"
#include "../support/picture_writers.h"
#include "pdf/save_pdf_run.h"
#include "pdf/save_pdf_rules.h"
#include "picture_folder.h"
#include "picture_test_support.h"
#include "print_test_support.h"
#include "printing/print_texts.h"
#include "toolkit/application.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

std::string Utf8(const std::wstring& text) {
    int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// One save's world: the host with its scripted dialogs, A4 paper, a fixed
// date, and a folder of its own under /tmp.
class Save_Pdf_Test : public ::testing::Test {
protected:
    Save_Pdf_Test() : application_(app_dialogs_, L"Velbrook tests") {
        static int counter = 0;
        unix_folder_ =
            "/tmp/velbrook-save-pdf-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
        folder_ = pdf::Windows_Path(unix_folder_) + L"\\";
        std::filesystem::create_directories(folder_);
        Save_Pdf_Environment environment;
        environment.paper_size_code = [] { return 9; };
        environment.clock_ms = [] { return std::int64_t{0}; };
        environment.now = [] { return Pdf_Date{2026, 12, 9, 16, 0, 0, 0}; };
        run_ = std::make_unique<Save_Pdf_Run>(host_, std::move(environment));
    }
    ~Save_Pdf_Test() override {
        std::error_code ignored;
        for (auto& entry : std::filesystem::directory_iterator(folder_, ignored))
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(folder_, ignored);
    }

    std::wstring Target(const std::wstring& name) { return folder_ + name; }
    std::string Unix(const std::wstring& name) { return unix_folder_ + "/" + Utf8(name); }
    std::set<std::wstring> Files() const {
        std::set<std::wstring> names;
        for (auto& entry : std::filesystem::directory_iterator(folder_))
            names.insert(entry.path().filename().wstring());
        return names;
    }
    std::wstring Write(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(std::filesystem::path(folder_ + name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return folder_ + name;
    }
    void Save(const std::wstring& target, const Page_Options& options = {}) {
        host_.dialogs.file_answers.push_back(target);
        host_.options = options;
        run_->Save_Pictures_as_PDF_OptionClick();
        EXPECT_TRUE(host_.enabled);
        EXPECT_FALSE(host_.panel_shown);
    }
    std::string Messages() const {
        std::string text;
        for (const auto& m : host_.dialogs.messages) text += Utf8(m.text) + "\n";
        return text;
    }

    Scripted_Dialogs app_dialogs_;
    Application application_;
    Fake_Print_Host host_;
    std::unique_ptr<Save_Pdf_Run> run_;
    std::string unix_folder_;
    std::wstring folder_;
};

TEST_F(Save_Pdf_Test, Every_Kind_Of_Picture_Becomes_A_Page_That_Readers_Accept) {
    // Adobe's CMYK JPEGs hold inverted values: 0 is full ink.  Full cyan.
    const std::wstring cmyk =
        Write(L"cmyk.jpg",
              test::Encode_Jpeg({.width = 40, .height = 40, .components = 4, .input = JCS_CMYK, .stored = JCS_CMYK},
                                [](int, int, std::uint8_t* s) { s[0] = 0, s[1] = s[2] = s[3] = 255; }));
    const std::wstring grey = Write(L"grey.jpg", test::Encode_Jpeg({.width = 30,
                                                                    .height = 20,
                                                                    .components = 1,
                                                                    .input = JCS_GRAYSCALE,
                                                                    .stored = JCS_GRAYSCALE,
                                                                    .progressive = true},
                                                                   [](int, int, std::uint8_t* s) { s[0] = 90; }));
    // Cut in the middle of its scan, with the end marker put back: whole to
    // a marker walk, damaged to a decoder.
    std::vector<std::uint8_t> cut = File_Bytes(Sample("truncated.jpg"));
    cut.insert(cut.end(), {0xFF, 0xD9});
    const std::wstring mended = Write(L"mended.jpg", cut);
    host_.entries = {Sample("red_green.bmp"),
                     Sample("corrupt.jpg"),
                     Sample("blue_yellow.jpg"),
                     Sample("cyan.emf"),
                     Sample("orange.wmf"),
                     Sample("portrait.jpg"),
                     cmyk,
                     grey,
                     Sample("truncated.jpg"),
                     mended};
    const std::wstring target = Target(L"Orvel Pics.pdf");
    Save(target);

    ASSERT_EQ(host_.dialogs.file_dialogs.size(), 1u);
    const File_Dialog_Request& asked = host_.dialogs.file_dialogs[0];
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.file_name, L"Orvel Pics.pdf");
    EXPECT_TRUE(asked.filter.find(L"|*.pdf") != std::wstring::npos);
    EXPECT_TRUE(asked.flags & OFN_OVERWRITEPROMPT);
    EXPECT_EQ(asked.default_extension, L"pdf");
    ASSERT_TRUE(host_.dialogs.messages.empty()) << Messages();
    // JPEGs that libjpeg cannot read whole go as the print run's loader
    // takes them; today it refuses them, and they are skipped like the text
    // file named .jpg.
    bool cut_loads = true;
    for (const std::wstring& damaged : {Sample("truncated.jpg"), mended}) {
        try {
            Load_Picture(damaged, SIZE{100, 100});
        } catch (const Invalid_Picture&) {
            cut_loads = false;
        }
    }
    const int pages = cut_loads ? 9 : 7;
    EXPECT_TRUE(
        host_.status.starts_with(L"  Success: " + std::to_wstring(pages) + L" pages saved to \"" + target + L"\""))
        << Utf8(host_.status);
    EXPECT_EQ(host_.statuses.front(), Saving_Progress_Text(1, 10, 0));
    EXPECT_EQ(Files(), (std::set<std::wstring>{L"Orvel Pics.pdf", L"cmyk.jpg", L"grey.jpg", L"mended.jpg"}));

    const std::string pdf = Unix(L"Orvel Pics.pdf");
    const std::string check = pdf::Run_Unix("qpdf --check '" + pdf + "'");
    EXPECT_NE(check.find("No syntax or stream encoding errors"), std::string::npos) << check;
    const std::string info = pdf::Run_Unix("pdfinfo '" + pdf + "'");
    EXPECT_EQ(pdf::Pdf_Field(info, "Title"), "Orvel Pics") << info;
    EXPECT_EQ(pdf::Pdf_Field(info, "Producer"), "Velbrook v1.0f") << info;
    EXPECT_EQ(pdf::Pdf_Field(info, "Pages"), std::to_string(pages)) << info;
    EXPECT_NE(pdf::Pdf_Field(info, "Page size").find("595.276 x 841.89 pts (A4)"), std::string::npos) << info;

    // JPEGs as they are; the bitmap at its own size; the metafiles at 300
    // dots an inch of the page rectangle (A4 less 5 mm: 2362 x 3389).
    const std::string images =
        pdf::Run_Unix("pdfimages -list '" + pdf + "' | tail -n +3 | awk '{print $1, $4, $5, $6, $9}'");
    std::string expected =
        "1 64 48 rgb image\n2 80 60 rgb jpeg\n3 2362 3389 rgb image\n4 2362 3389 rgb image\n"
        "5 60 120 rgb jpeg\n6 40 40 cmyk jpeg\n7 30 20 gray jpeg\n";
    if (cut_loads) expected += "8 80 60 rgb image\n9 80 60 rgb image\n";
    EXPECT_EQ(images, expected);

    using pdf::Red, pdf::Green, pdf::Blue, pdf::Yellow, pdf::Cyan, pdf::Orange, pdf::Magenta;
    struct Expect {
        int page;
        double x, y;
        pdf::Rgb colour;
    };
    const Expect colours[] = {
        {1, 0.25, 0.5, Red},
        {1, 0.75, 0.5, Green},
        {2, 0.5, 0.25, Blue},
        {2, 0.5, 0.75, Yellow},
        {3, 0.5, 0.5, Cyan},
        {3, 0.03, 0.03, Cyan},
        {4, 0.97, 0.97, Orange},
        {5, 0.5, 0.5, Magenta},
        {6, 0.5, 0.5, {0, 174, 239}},
        {7, 0.5, 0.5, {90, 90, 90}},
        // The 5 mm margin stays white.
        {1, 0.005, 0.5, {255, 255, 255}},
        {5, 0.5, 0.997, {255, 255, 255}},
    };
    for (const Expect& e : colours) {
        const pdf::Page_Pixels page = pdf::Render_Page(pdf, e.page, 50);
        ASSERT_GT(page.width, 0) << "page " << e.page;
        EXPECT_TRUE(pdf::Near(page.At_Fraction(e.x, e.y), e.colour, 24))
            << "page " << e.page << " at " << e.x << ", " << e.y;
    }
}

// With the Options menu's choices: the camera's quarter turn and the fit are
// the matrix's (the JPEG stays as it is), a PNG's alpha is white behind, and
// each page of a TIFF is a page of its own.
TEST_F(Save_Pdf_Test, Options_Place_Pictures_As_The_Print_Run_Does_And_Tiff_Pages_Are_Pages) {
    host_.entries = {Write(L"camera.jpg", Marked_Jpeg(6)),
                     Write(L"half.png", Wic_File(GUID_ContainerFormatPng, 40, 30, {0x80FF0000u})),
                     Write(L"pages.TIFF", Wic_File(GUID_ContainerFormatTiff, 30, 40, {0xFF00FF00u, 0xFF0000FFu}))};
    Save(Target(L"options.pdf"), {.fit = Fit_Mode::Fit, .camera_orientation = true, .more_types = true});
    ASSERT_TRUE(host_.dialogs.messages.empty()) << Messages();
    const std::string pdf = Unix(L"options.pdf");
    EXPECT_EQ(pdf::Pdf_Field(pdf::Run_Unix("pdfinfo '" + pdf + "'"), "Pages"), "4");
    EXPECT_EQ(pdf::Run_Unix("pdfimages -list '" + pdf + "' | tail -n +3 | awk '{print $1, $4, $5, $9}'"),
              "1 300 200 jpeg\n2 40 30 image\n3 30 40 image\n4 30 40 image\n");
    struct Expect {
        int page;
        double x, y;
        pdf::Rgb colour;
    };
    // The 300 x 200 picture turned a quarter clockwise is 200 x 300, fitted
    // to the page's height and centred: its stored top-left (red) mark is
    // at the top right, its top-right (green) mark at the bottom right.
    const Expect colours[] = {
        {1, 0.84, 0.14, pdf::Red},       {1, 0.84, 0.86, pdf::Green},    {1, 0.5, 0.5, pdf::Blue},
        {1, 0.02, 0.5, {255, 255, 255}}, {2, 0.5, 0.5, {255, 127, 127}}, {3, 0.5, 0.5, pdf::Green},
        {4, 0.5, 0.5, pdf::Blue},
    };
    for (const Expect& e : colours) {
        const pdf::Page_Pixels page = pdf::Render_Page(pdf, e.page, 50);
        ASSERT_GT(page.width, 0) << "page " << e.page;
        EXPECT_TRUE(pdf::Near(page.At_Fraction(e.x, e.y), e.colour, 30))
            << "page " << e.page << " at " << e.x << ", " << e.y;
    }
}

TEST_F(Save_Pdf_Test, Abort_After_A_Page_Leaves_No_File_And_Nothing_Is_Written_Without_A_List_Or_A_Name) {
    host_.entries.assign(5, Sample("blue_yellow.jpg"));
    host_.on_select = [&](int index) {
        if (index == 1) host_.abort_requested = true;  // Abort pressed while page 2 is made
    };
    Save(Target(L"aborted.pdf"));
    EXPECT_EQ(host_.status, Aborted_Text);
    EXPECT_EQ(host_.Count(L"select 2"), 0);
    EXPECT_TRUE(host_.dialogs.messages.empty()) << Messages();
    EXPECT_TRUE(Files().empty()) << "neither the PDF nor its temporary file stays";

    // Cancelled at the save dialog: nothing happens.
    host_.on_select = nullptr;
    host_.log.clear();
    host_.dialogs.file_answers.push_back(std::nullopt);
    run_->Save_Pictures_as_PDF_OptionClick();
    EXPECT_EQ(host_.Count(L"busy"), 0);
    EXPECT_TRUE(Files().empty());

    // An empty list gives the print run's box, before any dialog.
    host_.entries.clear();
    host_.dialogs.Clear();
    run_->Save_Pictures_as_PDF_OptionClick();
    ASSERT_EQ(host_.dialogs.messages.size(), 1u);
    EXPECT_EQ(host_.dialogs.messages[0].kind, Message_Kind::Information);
    EXPECT_EQ(host_.dialogs.messages[0].text, Empty_List_Text);
    EXPECT_TRUE(host_.dialogs.file_dialogs.empty());
}

// A target that cannot be replaced keeps its old bytes, no temporary file
// stays, and one box names the path and the reason.
TEST_F(Save_Pdf_Test, A_Target_That_Cannot_Be_Replaced_Keeps_Its_Old_File) {
    host_.entries = {Sample("blue_yellow.jpg"), Sample("portrait.jpg")};
    const std::vector<std::uint8_t> old_bytes{'o', 'l', 'd'};
    struct Case {
        const wchar_t* name;
        const wchar_t* reason;
        std::function<void(const std::wstring&)> arrange;
    };
    File_Handle held;
    const Case cases[] = {
        {L"read-only.pdf", L"read-only",
         [](const std::wstring& path) { ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY); }},
        {L"held open.pdf", L"in use by another program",
         [&](const std::wstring& path) {
             held.reset(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
             ASSERT_TRUE(held);
         }},
    };
    for (const Case& c : cases) {
        const std::wstring target = Write(c.name, old_bytes);
        c.arrange(target);
        host_.dialogs.Clear();
        Save(target);
        held.reset();
        ASSERT_EQ(host_.dialogs.messages.size(), 1u) << Utf8(c.name);
        const Message_Request& box = host_.dialogs.messages[0];
        EXPECT_EQ(box.kind, Message_Kind::Error);
        EXPECT_NE(box.text.find(L"\"" + target + L"\""), std::wstring::npos) << Utf8(box.text);
        EXPECT_NE(box.text.find(c.reason), std::wstring::npos) << Utf8(box.text);
        EXPECT_TRUE(host_.status.starts_with(L"  Saving stopped: ")) << Utf8(host_.status);
        EXPECT_EQ(File_Bytes(target), old_bytes) << Utf8(c.name);
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(target.c_str());
        EXPECT_TRUE(Files().empty()) << Utf8(c.name) << ": no temporary file stays";
    }
}

// A Japanese picture name, a Japanese PDF name, and its caption in an
// embedded subset of the Fonts folder's Japanese font; a Latin caption stays
// in Helvetica.
// One picture's trouble is that picture's: a file too large to hold is
// skipped as one that cannot be read, and a metafile 1 mm wide and nearly
// 10 m tall filling its page is rasterised for the part that shows, so the
// save ends with every other page and no box.
TEST_F(Save_Pdf_Test, A_Picture_Too_Large_Or_Too_Tall_Costs_Only_Its_Own_Page) {
    const std::wstring sliver = Write(
        L"sliver.emf", test::Build_Emf({.frame = {0, 0, 100, 999000}, .records = test::Emf_Filled_Rectangle(0xFF0000, 10, 99900)}));
    const std::wstring huge = Target(L"huge.emf");
    {
        // Sparse: larger than any picture read whole, without the disk space.
        File_Handle file(::CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER end{};
        end.QuadPart = 600ll << 20;
        ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.get()));
    }
    host_.entries = {Sample("blue_yellow.jpg"), huge, sliver, Sample("portrait.jpg")};
    const std::wstring target = Target(L"hostile.pdf");
    Save(target, {.fit = Fit_Mode::Fill});
    EXPECT_TRUE(host_.dialogs.messages.empty()) << Messages();
    const std::string pdf = Unix(L"hostile.pdf");
    EXPECT_NE(pdf::Run_Unix("qpdf --check '" + pdf + "'").find("No syntax or stream encoding errors"), std::string::npos);
    EXPECT_EQ(pdf::Pdf_Field(pdf::Run_Unix("pdfinfo '" + pdf + "'"), "Pages"), "3");
    // page, width and height of each image: the sliver's is its page's size.
    const std::string images = pdf::Run_Unix("pdfimages -list '" + pdf + "' | tail -n +3 | awk '{print $1, $4, $5}'");
    std::istringstream lines(images);
    int page = 0, width = 0, height = 0, seen = 0;
    while (lines >> page >> width >> height) {
        ++seen;
        if (page != 2) continue;
        EXPECT_LE(width, 2480) << images;
        EXPECT_LE(height, 3508) << images;
        EXPECT_GT(height, 3000) << images;
    }
    EXPECT_EQ(seen, 3) << images;
}

TEST_F(Save_Pdf_Test, Japanese_Names_Save_And_Print_As_Captions) {
    const std::wstring picture = Write(L"\u65e5\u672c\u306e\u5199\u771f.jpg", File_Bytes(Sample("blue_yellow.jpg")));
    host_.entries = {picture, Sample("portrait.jpg")};
    const std::wstring name = L"\u5199\u771f \u0391\u0398\u0397\u039d\u0391.pdf";
    Save(Target(name), {.fit = Fit_Mode::Fit, .print_file_names = true});
    ASSERT_TRUE(host_.dialogs.messages.empty()) << Messages();
    ASSERT_TRUE(Files().count(name));

    // The shell is handed the command as Latin-1 text: the folder's only PDF
    // is named by a pattern instead.
    const std::string pdf = unix_folder_ + "/'*.pdf";
    const std::string fonts = pdf::Run_Unix("pdffonts '" + pdf);
    EXPECT_NE(fonts.find("+IPAGothic"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("CID TrueType      Identity-H       yes yes yes"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("Helvetica                            Type 1            WinAnsi"), std::string::npos) << fonts;
    const std::string text = pdf::Run_Unix("pdftotext -enc UTF-8 '" + pdf + " -");
    EXPECT_NE(text.find(Utf8(L"\u65e5\u672c\u306e\u5199\u771f.jpg")), std::string::npos) << text;
    EXPECT_NE(text.find("portrait.jpg"), std::string::npos) << text;
    const std::string images = pdf::Run_Unix("pdfimages -list '" + pdf + " | tail -n +3 | awk '{print $4, $5, $9}'");
    EXPECT_EQ(images, "80 60 jpeg\n60 120 jpeg\n");
}

}  // namespace
}  // namespace velbrook

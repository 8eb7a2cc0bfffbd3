// The print run through the real GDI printer "PDF" (a cups-pdf queue, started
// by cups_pdf_start in scripts/wine-session, which also exports
// VELBROOK_PDF_DIR, the queue's output folder).  The test notes the folder's
// files, prints the sample pictures, waits for the new PDF to be complete
// (ending in %%EOF), and checks it with poppler's pdfinfo and pdftoppm, which
// Wine starts as Unix programs straight from CreateProcess.

#include <chrono>
#include <set>
#include <thread>

#include "../support/pdf_check.h"
#include "picture_folder.h"
#include "picture_test_support.h"
#include "print_test_support.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

TEST(Print_Pdf, Samples_Printed_To_The_Pdf_Queue_Arrive_As_Pages_Of_Their_Colours) {
    const char* unix_folder = std::getenv("VELBROOK_PDF_DIR");
    if (!unix_folder || !*unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    const std::wstring folder = pdf::Windows_Path(unix_folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::set<std::wstring> before = pdf::Pdf_Files(folder);

    Scripted_Dialogs app_dialogs;
    Application application(app_dialogs, L"Velbrook tests");
    Fake_Print_Host host;
    host.dialogs.printer_answers.push_back(Printer_Selection{.device = L"PDF"});
    host.entries = {Sample("red_green.bmp"), Sample("corrupt.jpg"), Sample("blue_yellow.jpg"),
                    Sample("cyan.emf"),      Sample("orange.wmf"),  Sample("portrait.jpg")};
    Print_Run run(host);
    run.Print_BitBtnClick();
    ASSERT_TRUE(host.dialogs.messages.empty())
        << std::string(host.dialogs.messages[0].text.begin(), host.dialogs.messages[0].text.end());
    ASSERT_TRUE(host.status.starts_with(L"  Success: All 6 pictures have been printed !!"));

    const std::wstring new_pdf = pdf::Wait_New_Pdf(folder, before);
    ASSERT_FALSE(new_pdf.empty()) << "no new PDF in " << unix_folder << " in time";
    const std::string unix_pdf = std::string(unix_folder) + "/" + std::string(new_pdf.begin(), new_pdf.end());

    const std::string info = pdf::Run_Unix("pdfinfo '" + unix_pdf + "'");
    EXPECT_EQ(pdf::Pdf_Field(info, "Title"), "Orvel Pics") << info;
    EXPECT_EQ(pdf::Pdf_Field(info, "Pages"), "5") << info;
    EXPECT_NE(pdf::Pdf_Field(info, "Page size").find("(A4)"), std::string::npos) << info;

    using pdf::Red, pdf::Green, pdf::Blue, pdf::Yellow, pdf::Cyan, pdf::Orange, pdf::Magenta;
    struct Expect {
        double x, y;
        pdf::Rgb colour;
    };
    const std::vector<std::vector<Expect>> pages = {
        {{0.25, 0.5, Red}, {0.75, 0.5, Green}, {0.05, 0.05, Red}, {0.95, 0.95, Green}},
        {{0.5, 0.25, Blue}, {0.5, 0.75, Yellow}},
        {{0.5, 0.5, Cyan}, {0.05, 0.05, Cyan}, {0.95, 0.95, Cyan}},
        {{0.5, 0.5, Orange}, {0.05, 0.95, Orange}},
        {{0.5, 0.5, Magenta}, {0.05, 0.05, Magenta}, {0.95, 0.95, Magenta}},
    };
    for (std::size_t k = 0; k < pages.size(); ++k) {
        SCOPED_TRACE("page " + std::to_string(k + 1));
        const pdf::Page_Pixels page = pdf::Render_Page(unix_pdf, static_cast<int>(k + 1), 24);
        ASSERT_GT(page.width, 0);
        EXPECT_LT(page.width, page.height);  // portrait A4
        for (const Expect& e : pages[k])
            EXPECT_TRUE(pdf::Near(page.At_Fraction(e.x, e.y), e.colour, 40)) << e.x << ", " << e.y;
    }
    ::DeleteFileW((folder + L"\\" + new_pdf).c_str());
    EXPECT_TRUE(app_dialogs.messages.empty());
}

}  // namespace
}  // namespace velbrook

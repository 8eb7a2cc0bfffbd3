// The print run through the real GDI printer "PDF" (a cups-pdf queue, started
// by cups_pdf_start in scripts/wine-session, which also exports
// VELBROOK_PDF_DIR, the queue's output folder).  The test notes the folder's
// files, prints the sample pictures, waits for the new PDF to be complete
// (ending in %%EOF), and checks it with poppler's pdfinfo and pdftoppm, which
// Wine starts as Unix programs straight from CreateProcess.

#include <chrono>
#include <set>
#include <thread>

#include "picture_test_support.h"
#include "print_test_support.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

std::wstring Windows_Path(const std::string& unix_path) {
    std::wstring path = L"Z:" + Widen(unix_path);
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

// Runs a Unix shell command and returns its output.  Wine starts a Unix
// child on its own and the process handle it returns is signalled at once,
// so the command leaves a marker file when it is done and the test waits for
// that.
std::string Run_Unix(const std::string& script) {
    static int counter = 0;
    const std::string base = "/tmp/velbrook_print_pdf_" + std::to_string(::GetCurrentProcessId()) + "_" +
                             std::to_string(++counter);
    const std::wstring marker = Windows_Path(base + ".done"), output = Windows_Path(base + ".out");
    const std::string shell = script + " >" + base + ".out 2>&1; echo $? >" + base + ".done";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"/bin/sh -c \"" + Widen(shell) + L"\"";
    if (!::CreateProcessW(L"/bin/sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return {};
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    for (int tries = 0; tries < 600 && ::GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the marker's own write
    const auto bytes = Read_Bytes(output);
    ::DeleteFileW(marker.c_str());
    ::DeleteFileW(output.c_str());
    return {bytes.begin(), bytes.end()};
}

std::set<std::wstring> Pdf_Files(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*.pdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

bool Ends_With_Eof(const std::vector<std::uint8_t>& bytes) {
    std::string tail(bytes.end() - static_cast<long>(std::min<std::size_t>(bytes.size(), 32)), bytes.end());
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.pop_back();
    return tail.ends_with("%%EOF");
}

// A binary PPM (P6) as pdftoppm writes it.
struct Ppm {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    Rgb At_Fraction(double fx, double fy) const {
        const int x = static_cast<int>(fx * (width - 1)), y = static_cast<int>(fy * (height - 1));
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb[at], rgb[at + 1], rgb[at + 2]};
    }
};

Ppm Read_Ppm(const std::wstring& path) {
    const auto bytes = Read_Bytes(path);
    Ppm ppm;
    std::size_t at = 0;
    auto token = [&]() {
        while (at < bytes.size() && std::isspace(bytes[at])) ++at;
        std::string text;
        while (at < bytes.size() && !std::isspace(bytes[at])) text.push_back(static_cast<char>(bytes[at++]));
        return text;
    };
    if (token() != "P6") return ppm;
    ppm.width = std::stoi(token());
    ppm.height = std::stoi(token());
    token();  // the largest sample value
    ++at;     // one white-space byte before the samples
    ppm.rgb.assign(bytes.begin() + static_cast<long>(at), bytes.end());
    if (ppm.rgb.size() < static_cast<std::size_t>(ppm.width) * ppm.height * 3) ppm.width = ppm.height = 0;
    return ppm;
}

std::string Field(const std::string& info, const std::string& name) {
    const std::size_t at = info.find(name + ":");
    if (at == std::string::npos) return {};
    std::size_t from = info.find_first_not_of(' ', at + name.size() + 1);
    return info.substr(from, info.find('\n', from) - from);
}

TEST(Print_Pdf, Samples_Printed_To_The_Pdf_Queue_Arrive_As_Pages_Of_Their_Colours) {
    const char* unix_folder = std::getenv("VELBROOK_PDF_DIR");
    if (!unix_folder || !*unix_folder) GTEST_SKIP() << "no PDF queue: run cups_pdf_start first";
    const std::wstring folder = Windows_Path(unix_folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::set<std::wstring> before = Pdf_Files(folder);

    Scripted_Dialogs app_dialogs;
    Application application(app_dialogs, L"Velbrook tests");
    Fake_Print_Host host;
    host.dialogs.printer_answers.push_back(Printer_Selection{.device = L"PDF"});
    host.entries = {Sample("red_green.bmp"), Sample("corrupt.jpg"), Sample("blue_yellow.jpg"),
                    Sample("cyan.emf"),      Sample("orange.wmf"),  Sample("portrait.jpg")};
    Print_Run run(host);
    run.Print_BitBtnClick();
    ASSERT_TRUE(host.dialogs.messages.empty()) << std::string(host.dialogs.messages[0].text.begin(),
                                                              host.dialogs.messages[0].text.end());
    ASSERT_TRUE(host.status.starts_with(L"  Success: All 6 pictures have been printed !!"));

    std::wstring pdf;
    for (int tries = 0; tries < 600 && pdf.empty(); ++tries) {
        for (const auto& name : Pdf_Files(folder))
            if (!before.contains(name) && Ends_With_Eof(Read_Bytes(folder + L"\\" + name))) pdf = name;
        if (pdf.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(pdf.empty()) << "no new PDF in " << unix_folder << " within a minute";
    const std::string unix_pdf = std::string(unix_folder) + "/" + std::string(pdf.begin(), pdf.end());

    const std::string info = Run_Unix("pdfinfo '" + unix_pdf + "'");
    EXPECT_EQ(Field(info, "Title"), "Orvel Pics") << info;
    EXPECT_EQ(Field(info, "Pages"), "5") << info;
    EXPECT_NE(Field(info, "Page size").find("(A4)"), std::string::npos) << info;

    struct Expect {
        double x, y;
        Rgb colour;
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
        const std::string n = std::to_string(k + 1);
        const std::string root = "/tmp/velbrook_pdf_check_" + std::to_string(::GetCurrentProcessId()) + "_" + n;
        Run_Unix("pdftoppm -f " + n + " -l " + n + " -r 24 -singlefile '" + unix_pdf + "' " + root);
        const Ppm ppm = Read_Ppm(Windows_Path(root + ".ppm"));
        ::DeleteFileW(Windows_Path(root + ".ppm").c_str());
        ASSERT_GT(ppm.width, 0);
        EXPECT_LT(ppm.width, ppm.height);  // portrait A4
        for (const Expect& e : pages[k]) EXPECT_TRUE(Near(ppm.At_Fraction(e.x, e.y), e.colour, 40)) << e.x << ", " << e.y;
    }
    ::DeleteFileW((folder + L"\\" + pdf).c_str());
    EXPECT_TRUE(app_dialogs.messages.empty());
}

}  // namespace
}  // namespace velbrook

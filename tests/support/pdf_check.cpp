#include "pdf_check.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace velbrook::pdf {

namespace {

std::wstring Widen(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> Read_Bytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Ends_With_Eof(const std::vector<std::uint8_t>& bytes) {
    std::string tail(bytes.end() - static_cast<long>(std::min<std::size_t>(bytes.size(), 32)), bytes.end());
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.pop_back();
    return tail.ends_with("%%EOF");
}

}  // namespace

std::wstring Windows_Path(const std::string& unix_path) {
    std::wstring path = L"Z:" + Widen(unix_path);
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

// Wine starts a Unix child on its own and the process handle it returns is
// signalled at once, so the command leaves a marker file when it is done and
// this waits for that.
std::string Run_Unix(const std::string& script) {
    static int counter = 0;
    const std::string base =
        "/tmp/velbrook_e2e_unix_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++counter);
    const std::wstring marker = Windows_Path(base + ".done"), output = Windows_Path(base + ".out");
    const std::string shell = script + " >" + base + ".out 2>&1; echo $? >" + base + ".done";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"/bin/sh -c \"" + Widen(shell) + L"\"";
    if (!::CreateProcessW(L"/bin/sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    for (int tries = 0; tries < 1200 && ::GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // The marker exists once the shell opened it; give its one line time to land.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
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

std::wstring Wait_New_Pdf(const std::wstring& folder, const std::set<std::wstring>& before,
                          std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        for (const auto& name : Pdf_Files(folder))
            if (!before.contains(name) && Ends_With_Eof(Read_Bytes(folder + L"\\" + name))) return name;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < end);
    return {};
}

std::string Pdf_Field(const std::string& info, const std::string& name) {
    std::size_t at = 0;
    // A field starts a line.
    while ((at = info.find(name + ":", at)) != std::string::npos && at != 0 && info[at - 1] != '\n') ++at;
    if (at == std::string::npos) return {};
    const std::size_t from = info.find_first_not_of(' ', at + name.size() + 1);
    if (from == std::string::npos) return {};
    std::string value = info.substr(from, info.find('\n', from) - from);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    return value;
}

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

::testing::AssertionResult Near(const Rgb& actual, const Rgb& wanted, int tolerance) {
    if (std::abs(actual.r - wanted.r) <= tolerance && std::abs(actual.g - wanted.g) <= tolerance &&
        std::abs(actual.b - wanted.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not near " << wanted;
}

Rgb Page_Pixels::At_Fraction(double fx, double fy) const {
    const int x = static_cast<int>(fx * (width - 1)), y = static_cast<int>(fy * (height - 1));
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

Page_Pixels Render_Page(const std::string& unix_pdf, int page, int dpi) {
    static int counter = 0;
    const std::string root =
        "/tmp/velbrook_e2e_page_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++counter);
    const std::string n = std::to_string(page);
    Run_Unix("pdftoppm -f " + n + " -l " + n + " -r " + std::to_string(dpi) + " -singlefile '" + unix_pdf + "' " +
             root);
    const std::wstring ppm_path = Windows_Path(root + ".ppm");
    const auto bytes = Read_Bytes(ppm_path);
    ::DeleteFileW(ppm_path.c_str());

    // A binary PPM (P6): magic, width, height, largest sample, one white-space byte, samples.
    Page_Pixels pixels;
    std::size_t at = 0;
    auto token = [&] {
        while (at < bytes.size() && std::isspace(bytes[at])) ++at;
        std::string text;
        while (at < bytes.size() && !std::isspace(bytes[at])) text.push_back(static_cast<char>(bytes[at++]));
        return text;
    };
    if (token() != "P6") return pixels;
    const std::string width = token(), height = token(), largest = token();
    if (width.empty() || height.empty() || largest != "255" || at >= bytes.size()) return pixels;
    ++at;
    const int w = std::atoi(width.c_str()), h = std::atoi(height.c_str());
    if (w <= 0 || h <= 0 || bytes.size() - at < static_cast<std::size_t>(w) * h * 3) return pixels;
    pixels.width = w;
    pixels.height = h;
    pixels.rgb.assign(bytes.begin() + static_cast<long>(at), bytes.end());
    return pixels;
}

}  // namespace velbrook::pdf

// File > "Print Preview..." on a 3 x 3 grid of 12-megapixel JPEGs, as a
// person meets it: the seconds from the command to the first sheet on
// screen (the sheets counted and the first drawn), then to each next sheet,
// and going back to a sheet already drawn.  The paper is A4 at 300 dpi, the
// window its first size.
//
//   wine bench_print_preview.exe [sheets]     (default 4)

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../../tests/support/scripted_dialogs.h"
#include "../common/synthetic_photo.h"
#include "app/print_preview.h"
#include "toolkit/application.h"
#include "toolkit/handles.h"
#include "toolkit/timer.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace velbrook;

constexpr int Distinct_Photos = 4;
const wchar_t Folder[] = L"Z:\\tmp\\velbrook-bench-preview\\";

std::wstring Photo_Path(int k) { return Folder + std::to_wstring(k % Distinct_Photos) + L".jpg"; }

void Make_Photos() {
    ::CreateDirectoryW(L"Z:\\tmp", nullptr);
    ::CreateDirectoryW(Folder, nullptr);
    for (int k = 0; k < Distinct_Photos; ++k) {
        if (::GetFileAttributesW(Photo_Path(k).c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        const std::vector<std::uint8_t> bytes = bench::Synthetic_Photo(4240 - 16 * k, 2832);
        const File_Handle file(
            ::CreateFileW(Photo_Path(k).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

class Bench_Host final : public Windowless_Print_Host {
public:
    std::vector<std::wstring> entries;
    Scripted_Dialogs dialogs;
    int Entry_Count() const override { return static_cast<int>(entries.size()); }
    std::optional<std::wstring> Entry(int index) const override {
        if (index < 0 || index >= Entry_Count()) return std::nullopt;
        return entries[static_cast<std::size_t>(index)];
    }
    Sheet_Layout Layout() const override { return {.kind = Sheet_Kind::Grid, .columns = 3, .rows = 3}; }
    Dialogs& Dialogs_() override { return dialogs; }
};

}  // namespace

int main(int argc, char** argv) {
    const int sheets = argc > 1 ? std::max(2, std::atoi(argv[1])) : 4;
    Make_Photos();
    Scripted_Dialogs app_dialogs;
    Application application(app_dialogs, L"Velbrook bench");
    Bench_Host host;
    for (int k = 0; k < 9 * sheets; ++k) host.entries.push_back(Photo_Path(k));
    const auto a4 = [] {
        return Sheet_Paper{.paper_width = 2480,
                           .paper_height = 3508,
                           .printable_width = 2480,
                           .printable_height = 3508,
                           .dots_x = 300,
                           .dots_y = 300,
                           .classic_page = {10, 10, 2470, 3498}};
    };
    Print_Preview preview({.host = host,
                           .printer_paper = [&]() -> std::optional<Sheet_Paper> { return a4(); },
                           .pdf_paper = [&](const Sheet_Layout&) { return a4(); }});

    // Each step on the tick after the sheet wanted is on screen.
    std::vector<double> seconds;
    int step = 0;
    auto since = Clock::now();
    const auto start = since;
    Timer ticks(nullptr, L"Ticks", 1);
    ticks.OnTimer = [&] {
        if (!preview.Shown_Sheet()) return;
        seconds.push_back(std::chrono::duration<double>(Clock::now() - since).count());
        since = Clock::now();
        ++step;
        if (step < sheets) {
            preview.Go_To(step + 1);
        } else if (step == sheets) {
            preview.Go_To(1);  // drawn already
        } else {
            preview.Close();
        }
    };
    ticks.Set_Enabled(true);
    preview.Run(nullptr);
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("Print preview, 3 x 3 grid of 12-megapixel JPEGs on A4, %d sheets, %zu-bit build\n", sheets,
                sizeof(void*) * 8);
    for (std::size_t k = 0; k < seconds.size(); ++k) {
        const char* what = k == 0                   ? "the command to sheet 1 (counted and drawn)"
                           : k + 1 < seconds.size() ? "to the next sheet"
                                                    : "back to sheet 1, drawn already";
        std::printf("  %-44s %6.0f ms (goal <= 500 ms)\n", what, 1000 * seconds[k]);
    }
    std::printf("  in all %.2f s, %d sheets of %d x %d pixels on screen\n", total, preview.Sheet_Count(),
                static_cast<int>(preview.Paper_Place().right - preview.Paper_Place().left),
                static_cast<int>(preview.Paper_Place().bottom - preview.Paper_Place().top));
    return 0;
}

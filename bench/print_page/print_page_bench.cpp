// Time per page and peak memory of printing a 50-megapixel JPEG onto an A4
// page at 300 and at 600 dpi, beside a full-resolution decode, the way the
// print run does it: Load_Picture for the page rectangle, then Draw into it.
//
// The target is the recording printer (a memory DC at 1/8 of the page's
// device pixels), so the figures hold the load, the decode and GDI's
// stretch of the whole decoded picture, but not a printer driver's spooling.
// Every case runs in a process of its own, so that each peak is its own.
//
//   wine bench_print_page.exe

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "../common/run_case.h"
#include "../common/synthetic_photo.h"
#include "../../tests/support/wic_encode.h"
#include "picture/jpeg_decode.h"
#include "picture/picture.h"
#include "toolkit/handles.h"
#include "recording_printer.h"

namespace {

using Clock = std::chrono::steady_clock;
using velbrook::Load_Picture;

struct Page_Case {
    const char* name;
    SIZE page;  // printable area in device pixels; the picture goes 10 in from each edge
    bool full;  // decode at the file's own size instead of for the page
};

const Page_Case Cases[] = {
    {"A4 at 300 dpi", {2479, 3508}, false},
    {"A4 at 600 dpi", {4958, 7016}, false},
    {"full resolution", {4958, 7016}, true},
};
// Two JPEG photos, portrait and landscape, and the landscape one again as a
// PNG, which goes through the imaging component with the options that take
// it (fit, turned to suit the page).
const int Shapes[][2] = {{5774, 8660}, {8660, 5774}, {8660, 5774}};
constexpr int Png_Shape = 2;
constexpr int Pages = 3;

std::wstring Photo_Path(int shape) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"velbrook_bench_photo_" + std::to_wstring(Shapes[shape][0]) + L"x" +
           std::to_wstring(Shapes[shape][1]) + (shape == Png_Shape ? L".png" : L".jpg");
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// The photo again as a PNG, written by the imaging component's encoder.
std::vector<std::uint8_t> Png_Of(const std::vector<std::uint8_t>& jpeg) {
    const velbrook::Decoded_Image image = velbrook::Decode_Jpeg(jpeg, 0, 0);
    return velbrook::testing::Wic_Encode(GUID_ContainerFormatPng, GUID_WICPixelFormat24bppBGR, image.width,
                                         image.height, image.stride, {image.pixels.data()});
}

int Run_Case(int shape, int which) {
    const Page_Case& c = Cases[which];
    const std::wstring path = Photo_Path(shape);
    const RECT rect{10, 10, c.page.cx - 10, c.page.cy - 10};
    const SIZE target = c.full ? SIZE{0, 0} : SIZE{rect.right - rect.left, rect.bottom - rect.top};
    auto recording = std::make_shared<velbrook::Print_Recording>();
    velbrook::Recording_Printer printer(recording, {.page = c.page, .scale = 8});
    printer.Begin_Document(L"Orvel Pics");
    const PROCESS_MEMORY_COUNTERS before = Memory();
    double load_ms = 0, draw_ms = 0;
    SIZE decoded{};
    for (int page = 0; page < Pages; ++page) {
        if (page > 0) printer.New_Page();
        const auto t0 = Clock::now();
        const velbrook::Page_Options options{.fit = velbrook::Fit_Mode::Fit, .turn_to_page = true, .more_types = true};
        auto picture = shape == Png_Shape ? velbrook::Load_Picture_For(path, {.target = target, .options = options})
                                          : Load_Picture(path, target);
        const auto t1 = Clock::now();
        if (shape == Png_Shape)
            printer.Draw_Placed(*picture, velbrook::Place_On(*picture, options, rect, 0));
        else
            printer.Draw(*picture, rect);
        const auto t2 = Clock::now();
        decoded = picture->Pixel_Size();
        load_ms += std::chrono::duration<double, std::milli>(t1 - t0).count();
        draw_ms += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    printer.End_Document();
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf(
        "  %-16s decoded %5ld x %-5ld (%6.1f MB)  peak private +%6.1f MB, peak working set +%6.1f MB  "
        "per page: load %6.0f ms + draw %5.0f ms\n",
        c.name, decoded.cx, decoded.cy, decoded.cx * 3.0 * decoded.cy / 1e6,
        (static_cast<double>(after.PeakPagefileUsage) - before.PagefileUsage) / 1e6,
        (static_cast<double>(after.PeakWorkingSetSize) - before.WorkingSetSize) / 1e6, load_ms / Pages,
        draw_ms / Pages);
    std::fflush(stdout);
    return 0;
}

void Spawn(int shape, int which) {
    velbrook::bench::Run_Case(L"--case " + std::to_wstring(shape) + L" " + std::to_wstring(which));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--case") == 0) {
        try {
            return Run_Case(std::atoi(argv[2]), std::atoi(argv[3]));
        } catch (const std::exception& failure) {
            std::printf("  failed: %s\n", failure.what());
            return 1;
        }
    }
    std::printf("%d pages per case, drawn into a memory DC at 1/8 of the page (recording printer)\n", Pages);
    for (int shape = 0; shape < 3; ++shape) {
        const std::wstring path = Photo_Path(shape);
        if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            auto bytes = velbrook::bench::Synthetic_Photo(Shapes[shape][0], Shapes[shape][1]);
            if (shape == Png_Shape) bytes = Png_Of(bytes);
            HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            ::CloseHandle(file);
        }
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
        std::printf("picture %d x %d (%.1f MP), %s of %.1f MB\n", Shapes[shape][0], Shapes[shape][1],
                    Shapes[shape][0] * static_cast<double>(Shapes[shape][1]) / 1e6,
                    shape == Png_Shape ? "PNG (fit, turned)" : "JPEG", data.nFileSizeLow / 1e6);
        std::fflush(stdout);
        for (int which = 0; which < 3; ++which) Spawn(shape, which);
    }
    return 0;
}

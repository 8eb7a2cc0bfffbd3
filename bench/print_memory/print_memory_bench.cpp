// Memory and time of decoding a 50-megapixel picture for an A4 page: the
// print run asks only for the page rectangle, and libjpeg's scaling keeps the
// decoded picture near the page's size instead of the camera's.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "../common/synthetic_photo.h"
#include "picture/jpeg_decode.h"

namespace {

using Clock = std::chrono::steady_clock;

// The resident-set figures of Linux's /proc, in bytes; -1 elsewhere.  A
// Windows build run under Wine would read the host's /proc and report
// nonsense, so only a native Linux build looks.
long long Proc_Status_Bytes(const char* field) {
#if defined(__linux__)
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0) return std::stoll(line.substr(length + 1)) * 1024;
    }
#else
    (void)field;
#endif
    return -1;
}

// Linux lets a process reset its own high-water mark to its present size.
bool Reset_Peak() {
#if defined(__linux__)
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
#else
    return false;
#endif
}

struct Target {
    const char* name;
    int w, h;
};

void Measure(const std::vector<std::uint8_t>& file, const Target& target) {
    const bool peak_known = Reset_Peak();
    const long long before = Proc_Status_Bytes("VmRSS:");
    const auto start = Clock::now();
    const velbrook::Decoded_Image image = velbrook::Decode_Jpeg(file, target.w, target.h);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const long long peak = Proc_Status_Bytes("VmHWM:");
    std::printf("  %-24s %5d x %-5d  image %7.1f MB  ", target.name, image.width, image.height,
                image.pixels.size() / 1e6);
    if (peak_known && before >= 0 && peak >= 0) {
        std::printf("peak RSS +%7.1f MB  ", (peak - before) / 1e6);
    } else {
        std::printf("peak RSS  n/a        ");
    }
    std::printf("%7.1f ms\n", ms);
}

}  // namespace

int main() {
    const Target targets[] = {
        {"A4 at 300 dpi", 2459, 3488},
        {"A4 at 600 dpi", 4939, 6996},
        {"full resolution", 0, 0},
    };
    // The same 50 MP picture upright, as the page, and lying on its side.
    const int shapes[][2] = {{5774, 8660}, {8660, 5774}};
    for (const auto& shape : shapes) {
        const auto file = velbrook::bench::Synthetic_Photo(shape[0], shape[1]);
        std::printf("picture %d x %d (%.1f MP), JPEG of %.1f MB\n", shape[0], shape[1],
                    shape[0] * static_cast<double>(shape[1]) / 1e6, file.size() / 1e6);
        for (const auto& target : targets) Measure(file, target);
    }
    return 0;
}

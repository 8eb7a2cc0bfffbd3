// Parsing and formatting a file list of 100,000 typical picture paths.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "picture_list/list_file.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds_Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<std::string> Typical_Paths(int count) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        paths.push_back("C:\\Documents and Settings\\Owner\\My Documents\\My Pictures\\Holiday " +
                        std::to_string(2000 + i % 25) + "\\IMG_" + std::to_string(100000 + i) +
                        (i % 3 == 0 ? ".JPG" : ".jpeg"));
    }
    return paths;
}

}  // namespace

int main() {
    constexpr int count = 100000;
    constexpr int rounds = 20;
    const std::vector<std::string> paths = Typical_Paths(count);

    double best_format = 1e9, best_parse = 1e9;
    std::size_t bytes = 0, lines = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        const std::string file = velbrook::Format_List_File(paths, false);
        best_format = std::min(best_format, Milliseconds_Since(start));
        bytes = file.size();

        start = Clock::now();
        const auto text = velbrook::Parse_List_File(file);
        best_parse = std::min(best_parse, Milliseconds_Since(start));
        lines = text.lines.size();
    }
    std::printf("file list of %d paths, %zu bytes (best of %d rounds)\n", count, bytes, rounds);
    std::printf("  format: %8.2f ms\n", best_format);
    std::printf("  parse:  %8.2f ms  (%zu lines read back)\n", best_parse, lines);
    return lines == paths.size() ? 0 : 1;
}

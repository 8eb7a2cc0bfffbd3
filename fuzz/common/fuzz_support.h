#pragma once
// What every fuzz target and seed writer shares: the invariant check that
// aborts (which libFuzzer reports with the input), and the folder a seed
// writer fills.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace velbrook::fuzz {

inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Writes seeds as numbered files with a telling name; prints the count at
// the end.
class Seed_Folder {
public:
    Seed_Folder(int argc, char** argv, const char* program) : program_(program) {
        if (argc != 2) {
            std::fprintf(stderr, "usage: %s DIR\n", program);
            std::exit(2);
        }
        folder_ = argv[1];
        std::filesystem::create_directories(folder_);
    }
    ~Seed_Folder() { std::printf("%s: %d files in %s\n", program_, written_, folder_.string().c_str()); }

    void Write(const std::string& name, std::string_view bytes) {
        std::ofstream out(folder_ / (std::to_string(++written_) + "-" + name), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

private:
    const char* program_;
    std::filesystem::path folder_;
    int written_ = 0;
};

}  // namespace velbrook::fuzz

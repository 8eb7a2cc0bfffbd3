// seed_settings_values DIR: writes the settings value fuzzer's seed corpus,
// each value as UTF-16 (little-endian) as the profile functions give it.
#include "../common/fuzz_support.h"

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_settings_values");
    const char* values[] = {"576",
                            " 576 ",
                            "\t-12\t",
                            "+7",
                            "0",
                            "1",
                            "0x1F",
                            "0XfF",
                            "0x",
                            "0x7FFFFFFF",
                            "0x80000000",
                            "2147483647",
                            "2147483648",
                            "-2147483648",
                            "-2147483649",
                            "12abc",
                            "",
                            "   ",
                            "-",
                            "+",
                            "--1",
                            "1 2",
                            "00000000000000000000042",
                            "\xB2\xB3"};
    int k = 0;
    for (const char* value : values) {
        std::string wide;
        for (const char* c = value; *c; ++c) {
            wide.push_back(*c);
            wide.push_back(static_cast<unsigned char>(*c) >= 0x80 ? '\x20' : '\0');
        }
        seeds.Write("value" + std::to_string(++k), wide);
    }
    return 0;
}

// seed_icon_parse DIR: writes the icon fuzzer's seed corpus: sound icons of
// one and of several images, a PNG image, and every icon of the damaged
// picture corpus (cut short, bytes flipped, 65535 images, sizes and offsets
// past the file, palettes past their entry).
#include "../common/fuzz_support.h"
#include "support/damaged_pictures.h"

using namespace velbrook::test;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The icons side by side in one file, their directories first.
Bytes Joined(const std::vector<Bytes>& icons) {
    Bytes out = {0, 0, 1, 0, static_cast<std::uint8_t>(icons.size()), 0};
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * icons.size());
    for (const Bytes& icon : icons) {
        out.insert(out.end(), icon.begin() + 6, icon.begin() + 22);
        Set_Le32(out, out.size() - 4, offset);
        offset += static_cast<std::uint32_t>(icon.size() - 22);
    }
    for (const Bytes& icon : icons) out.insert(out.end(), icon.begin() + 22, icon.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    velbrook::fuzz::Seed_Folder seeds(argc, argv, "seed_icon_parse");
    using damage_detail::Icon_32;
    seeds.Write("16.ico", Icon_32(16));
    seeds.Write("three.ico", Joined({Icon_32(16), Icon_32(48), Icon_32(32)}));
    Bytes png = Icon_32(16);
    const std::uint8_t mark[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::copy(std::begin(mark), std::end(mark), png.begin() + 22);
    seeds.Write("png.ico", png);
    for (const Damaged_Picture& damaged : Damaged_Pictures())
        if (damaged.name.ends_with(L".ico"))
            seeds.Write(std::string(damaged.name.begin(), damaged.name.end()), damaged.bytes);
    return 0;
}

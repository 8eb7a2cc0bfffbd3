// gif_inspect FILE [--dump DIR]: what our decoder makes of a GIF, one item a
// line, so that it can be compared with any other decoder.  --dump also
// writes each frame's indices as a binary PGM and its palette (768 bytes).
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gif/gif_decoder.h"
#include "gif_encoder.h"

namespace {

using namespace velbrook;

std::vector<std::uint8_t> Frame_Indices(const TGIFFrame& frame) {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(frame.Width) * static_cast<std::size_t>(frame.Height));
    for (int y = frame.Height - 1; y >= 0; --y) {
        const std::uint8_t* row = frame.raster.pixels.data() + static_cast<std::size_t>(y) * frame.raster.row_stride;
        out.insert(out.end(), row, row + frame.Width);
    }
    return out;
}

bool Dump(const std::filesystem::path& folder, int number, const TGIFFrame& frame,
          const std::vector<std::uint8_t>& indices) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%03d", number);
    std::ofstream pgm(folder / (std::string(name) + ".pgm"), std::ios::binary);
    pgm << "P5\n" << frame.Width << ' ' << frame.Height << "\n255\n";
    pgm.write(reinterpret_cast<const char*>(indices.data()), static_cast<std::streamsize>(indices.size()));
    std::ofstream pal(folder / (std::string(name) + ".pal"), std::ios::binary);
    pal.write(reinterpret_cast<const char*>(frame.Palette->data()),
              static_cast<std::streamsize>(frame.Palette->size()));
    return pgm.good() && pal.good();
}

}  // namespace

int main(int argc, char** argv) {
    const char* file = nullptr;
    const char* dump = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dump") == 0 && i + 1 < argc) {
            dump = argv[++i];
        } else if (file == nullptr) {
            file = argv[i];
        } else {
            file = nullptr;
            break;
        }
    }
    if (file == nullptr) {
        std::fprintf(stderr, "usage: gif_inspect FILE [--dump DIR]\n");
        return 2;
    }
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Gif_Decoder decoder;
    if (!decoder.ReadImage(bytes)) {
        std::printf("error\n");
        return 1;
    }
    if (dump != nullptr) std::filesystem::create_directories(dump);
    std::printf("version %s\n", decoder.Version() == TGIFVersion::gvGIF89a ? "GIF89a" : "GIF87a");
    std::printf("screen %d %d\n", decoder.LogicalWidth(), decoder.LogicalHeight());
    std::printf("loop %d\n", decoder.LoopCount());
    std::printf("frames %d\n", decoder.FrameCount());
    for (int i = 1; i <= decoder.FrameCount(); ++i) {
        const TGIFFrame& f = decoder.Frame(i);
        const std::vector<std::uint8_t> indices = Frame_Indices(f);
        char transparent[8] = "-";
        if (f.Transparent) std::snprintf(transparent, sizeof transparent, "%d", f.TransparentIndex);
        std::printf(
            "frame %d rect %d %d %d %d interlaced %d disposal %d delay %d transparent %s colorbits %d "
            "indexes %016" PRIx64 "\n",
            i, f.Left, f.Top, f.Width, f.Height, f.Interlaced ? 1 : 0, f.Disposal, f.Delay, transparent, f.ColorBits,
            FNV1a_64(indices.data(), indices.size()));
        if (dump != nullptr && !Dump(dump, i, f, indices)) {
            std::fprintf(stderr, "gif_inspect: cannot write into %s\n", dump);
            return 1;
        }
    }
    return 0;
}

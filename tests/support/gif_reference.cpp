#include "gif_reference.h"

#include <cstring>

#include <gif_lib.h>

namespace {

struct Memory_Source {
    const std::uint8_t* Bytes;
    std::size_t Size;
    std::size_t Position;
};

int Read_Memory(GifFileType* file, GifByteType* target, int count) {
    auto* source = static_cast<Memory_Source*>(file->UserData);
    const std::size_t left = source->Size - source->Position;
    const std::size_t n =
        count < 0 ? 0 : (static_cast<std::size_t>(count) < left ? static_cast<std::size_t>(count) : left);
    std::memcpy(target, source->Bytes + source->Position, n);
    source->Position += n;
    return static_cast<int>(n);
}

}  // namespace

bool Reference_Decode(std::span<const std::uint8_t> bytes, std::vector<TReference_Frame>& frames) {
    frames.clear();
    Memory_Source source{bytes.data(), bytes.size(), 0};
    int error = 0;
    GifFileType* file = DGifOpen(&source, Read_Memory, &error);
    if (file == nullptr) return false;
    const bool ok = DGifSlurp(file) == GIF_OK;
    if (ok) {
        for (int i = 0; i < file->ImageCount; ++i) {
            const SavedImage& image = file->SavedImages[i];
            TReference_Frame frame;
            frame.Left = image.ImageDesc.Left;
            frame.Top = image.ImageDesc.Top;
            frame.Width = image.ImageDesc.Width;
            frame.Height = image.ImageDesc.Height;
            const std::size_t count = static_cast<std::size_t>(frame.Width) * static_cast<std::size_t>(frame.Height);
            // DGifSlurp puts interlaced rows back in picture order itself.
            frame.Indices.assign(image.RasterBits, image.RasterBits + count);
            frames.push_back(std::move(frame));
        }
    }
    DGifCloseFile(file, &error);
    return ok;
}

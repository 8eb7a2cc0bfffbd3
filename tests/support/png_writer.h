#pragma once
// PNG files built byte by byte (the pixels in stored, uncompressed deflate
// blocks), for the damaged-picture corpus: a sound PNG of any size, whose
// header a test can then make lie.  Portable.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velbrook::test {

inline std::uint32_t Png_Crc(const std::uint8_t* bytes, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t k = 0; k < size; ++k) c = table[(c ^ bytes[k]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

inline void Put_Be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void Put_Png_Chunk(std::vector<std::uint8_t>& out, const char (&type)[5],
                          const std::vector<std::uint8_t>& data) {
    Put_Be32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put_Be32(out, Png_Crc(out.data() + start, out.size() - start));
}

// An 8-bit RGB (or, with alpha, RGBA) PNG; pixel(x, y, samples) fills each.
template <class Paint>
std::vector<std::uint8_t> Build_Png(int width, int height, bool alpha, Paint pixel) {
    const std::size_t channels = alpha ? 4 : 3;
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            std::uint8_t samples[4] = {0, 0, 0, 255};
            pixel(x, y, samples);
            raw.insert(raw.end(), samples, samples + channels);
        }
    }
    // zlib: header, stored blocks of at most 65535 bytes, Adler-32.
    std::vector<std::uint8_t> z = {0x78, 0x01};
    for (std::size_t at = 0; at < raw.size() || at == 0;) {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + length == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(length)), z.push_back(static_cast<std::uint8_t>(length >> 8));
        z.push_back(static_cast<std::uint8_t>(~length)), z.push_back(static_cast<std::uint8_t>(~length >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        if (last) break;
    }
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
    Put_Be32(z, b << 16 | a);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Put_Be32(header, static_cast<std::uint32_t>(width));
    Put_Be32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0});
    Put_Png_Chunk(out, "IHDR", header);
    Put_Png_Chunk(out, "IDAT", z);
    Put_Png_Chunk(out, "IEND", {});
    return out;
}

// Rewrites the size in the header and its checksum, so that only the size
// lies.
inline void Set_Png_Size(std::vector<std::uint8_t>& png, std::uint32_t width, std::uint32_t height) {
    for (int k = 0; k < 4; ++k) {
        png[16 + k] = static_cast<std::uint8_t>(width >> (24 - 8 * k));
        png[20 + k] = static_cast<std::uint8_t>(height >> (24 - 8 * k));
    }
    const std::uint32_t crc = Png_Crc(png.data() + 12, 17);
    for (int k = 0; k < 4; ++k) png[29 + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
}

}  // namespace velbrook::test

#pragma once
// A corpus of damaged pictures of every accepted type, made from sound ones
// built by our own writers: cut short at many places, header bytes flipped,
// sizes of zero, negative and past any memory, palettes longer than the
// file, compressed runs past the row end, JPEG Huffman tables that make no
// codes, metafile records whose sizes lie.  Each comes with a name saying
// what was done to it, and the extension of its type.

#include <cstdint>
#include <functional>
#include <tuple>
#include <string>
#include <vector>

#include "bmp_writer.h"
#include "gif_encoder.h"
#include "jpeg_encoder.h"
#include "metafile_writer.h"
#include "png_writer.h"

namespace velbrook::test {

struct Damaged_Picture {
    std::wstring name;  // a file name, with the type's extension
    std::vector<std::uint8_t> bytes;
};

namespace damage_detail {

using Bytes = std::vector<std::uint8_t>;

inline std::wstring Wide(const std::string& text) { return {text.begin(), text.end()}; }

struct Sound {
    std::string name;
    std::wstring extension;
    Bytes bytes;
    std::size_t header;  // bytes at the start whose flips are all tried
};

inline Bytes Icon_32(int side) {
    Bytes out;
    const std::uint32_t rows = static_cast<std::uint32_t>(side) * static_cast<std::uint32_t>(side) * 4;
    const std::uint32_t mask = ((static_cast<std::uint32_t>(side) + 31) / 32 * 4) * static_cast<std::uint32_t>(side);
    const std::uint32_t length = 40 + rows + mask;
    Put_Le16(out, 0);
    Put_Le16(out, 1);
    Put_Le16(out, 1);
    out.insert(out.end(), {static_cast<std::uint8_t>(side), static_cast<std::uint8_t>(side), 0, 0});
    Put_Le16(out, 1);
    Put_Le16(out, 32);
    Put_Le32(out, length);
    Put_Le32(out, 22);
    Put_Le32(out, 40);
    Put_Le32(out, static_cast<std::uint32_t>(side));
    Put_Le32(out, static_cast<std::uint32_t>(side * 2));
    Put_Le16(out, 1);
    Put_Le16(out, 32);
    for (int k = 0; k < 6; ++k) Put_Le32(out, 0);
    for (std::uint32_t k = 0; k < rows; k += 4) out.insert(out.end(), {0x40, 0x80, 0xC0, 0xFF});
    out.resize(out.size() + mask, 0);
    return out;
}

inline std::vector<Sound> Sound_Pictures() {
    const std::vector<std::uint8_t> rle8 = {4, 1, 0, 4, 1, 2, 3, 0, 0, 0, 8, 2, 0, 0, 0, 2, 2, 1, 0, 1};
    const std::vector<std::uint8_t> rle4 = {8, 0x12, 0, 0, 0, 8, 0x12, 0x34, 0x56, 0x78, 0, 0, 0, 1};
    std::vector<Sound> sound = {
        {"24bit", L".bmp", Build_Bmp({.width = 8, .height = 6, .bits = 24, .pixels = Patterned_Rows(8, 6, 24)}), 54},
        {"8bit", L".bmp",
         Build_Bmp(
             {.width = 8, .height = -6, .bits = 8, .palette = Spread_Palette(16), .pixels = Patterned_Rows(8, 6, 8)}),
         54 + 64},
        {"rle8", L".bmp",
         Build_Bmp({.width = 8,
                    .height = 3,
                    .bits = 8,
                    .compression = Bmp_Rle8,
                    .palette = Spread_Palette(4),
                    .pixels = rle8}),
         70},
        {"rle4", L".bmp",
         Build_Bmp({.width = 8,
                    .height = 2,
                    .bits = 4,
                    .compression = Bmp_Rle4,
                    .palette = Spread_Palette(16),
                    .pixels = rle4}),
         54},
        {"os2", L".bmp",
         Build_Bmp({.header_size = 12,
                    .width = 8,
                    .height = 6,
                    .bits = 8,
                    .palette = Spread_Palette(4),
                    .pixels = Patterned_Rows(8, 6, 8)}),
         38},
        {"masks", L".bmp",
         Build_Bmp({.width = 8,
                    .height = 6,
                    .bits = 16,
                    .compression = Bmp_Bitfields,
                    .masks = {0xF800, 0x07E0, 0x001F},
                    .pixels = Patterned_Rows(8, 6, 16)}),
         66},
        {"icon", L".ico", Icon_32(16), 62},
        {"emf", L".emf", Build_Emf({.records = Emf_Filled_Rectangle(0xFFFF00)}), 0},
        {"wmf", L".wmf", Build_Wmf({.records = Wmf_Filled_Rectangle(0x0080FF)}), 0},
    };
    // Metafiles: every byte is header or record size somewhere.
    for (Sound& s : sound)
        if (s.header == 0) s.header = s.bytes.size();
    for (J_COLOR_SPACE stored : {JCS_YCbCr, JCS_CMYK}) {
        const bool cmyk = stored == JCS_CMYK;
        Jpeg_Recipe recipe{.width = 24,
                           .height = 16,
                           .components = cmyk ? 4 : 3,
                           .input = cmyk ? JCS_CMYK : JCS_RGB,
                           .stored = stored,
                           .full_chroma = false};
        Bytes file = Encode_Jpeg(recipe, [&](int x, int y, std::uint8_t* sample) {
            for (int c = 0; c < recipe.components; ++c) sample[c] = static_cast<std::uint8_t>(x * 9 + y * 13 + c * 60);
        });
        std::size_t scan = 0;
        for (std::size_t k = 0; k + 1 < file.size(); ++k)
            if (file[k] == 0xFF && file[k + 1] == 0xDA) {
                scan = k;
                break;
            }
        sound.push_back({cmyk ? "cmyk" : "photo", L".jpg", std::move(file), scan});
    }
    return sound;
}

// The JPEG's first Huffman table segment, changed by `change` (given the
// offset of its 16 code counts).
inline Bytes With_Huffman_Table(Bytes file, const std::function<void(Bytes&, std::size_t)>& change) {
    for (std::size_t k = 0; k + 21 < file.size(); ++k)
        if (file[k] == 0xFF && file[k + 1] == 0xC4) {
            change(file, k + 5);
            break;
        }
    return file;
}

// The JPEG's frame size rewritten.
inline Bytes With_Frame_Size(Bytes file, std::uint16_t width, std::uint16_t height) {
    for (std::size_t k = 0; k + 9 < file.size(); ++k)
        if (file[k] == 0xFF && (file[k + 1] == 0xC0 || file[k + 1] == 0xC2)) {
            file[k + 5] = static_cast<std::uint8_t>(height >> 8), file[k + 6] = static_cast<std::uint8_t>(height);
            file[k + 7] = static_cast<std::uint8_t>(width >> 8), file[k + 8] = static_cast<std::uint8_t>(width);
            break;
        }
    return file;
}

// A TIFF of one page: 8-bit RGB, one uncompressed strip.
inline Bytes Tiff_Rgb(std::uint32_t width, std::uint32_t height) {
    Bytes out = {'I', 'I', 42, 0};
    Put_Le32(out, 8);
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count, value;
    };
    const std::uint32_t strip = width * height * 3;
    const std::uint32_t entries = 10, ifd_size = 2 + entries * 12 + 4;
    const std::uint32_t bits_at = 8 + ifd_size, strip_at = bits_at + 6;
    const Entry ifd[] = {{256, 4, 1, width}, {257, 4, 1, height},   {258, 3, 3, bits_at}, {259, 3, 1, 1},
                         {262, 3, 1, 2},     {273, 4, 1, strip_at}, {277, 3, 1, 3},       {278, 4, 1, height},
                         {279, 4, 1, strip}, {284, 3, 1, 1}};
    Put_Le16(out, entries);
    for (const Entry& e : ifd) {
        Put_Le16(out, e.tag), Put_Le16(out, e.type), Put_Le32(out, e.count), Put_Le32(out, e.value);
    }
    Put_Le32(out, 0);
    for (int k = 0; k < 3; ++k) Put_Le16(out, 8);
    for (std::uint32_t k = 0; k < strip; ++k) out.push_back(static_cast<std::uint8_t>(k * 7));
    return out;
}

inline std::vector<Sound> More_Sound_Pictures() {
    std::vector<std::uint8_t> indices(20 * 12);
    for (std::size_t k = 0; k < indices.size(); ++k) indices[k] = static_cast<std::uint8_t>(k % 7);
    TGIFEncodeImage gif = One_Frame_Picture(20, 12, indices);
    gif.Global_Color_Bits = 3;
    return {
        {"png", L".png",
         Build_Png(24, 16, false,
                   [](int x, int y, std::uint8_t* s) {
                       s[0] = static_cast<std::uint8_t>(x * 9), s[1] = static_cast<std::uint8_t>(y * 13);
                   }),
         0},
        {"png-alpha", L".png",
         Build_Png(9, 7, true,
                   [](int x, int y, std::uint8_t* s) {
                       s[2] = static_cast<std::uint8_t>(x * y), s[3] = static_cast<std::uint8_t>(x * 20);
                   }),
         0},
        {"gif", L".gif", Encode_GIF(gif), 0},
        {"tiff", L".tif", Tiff_Rgb(8, 6), 0},
    };
}

}  // namespace damage_detail

// Every damaged picture.  Some of them still hold a valid picture (a flip in
// a field nothing reads); the point is that none does harm.  With
// `more_types`, PNG, GIF and TIFF files too.
inline std::vector<Damaged_Picture> Damaged_Pictures(bool more_types = false) {
    using namespace damage_detail;
    std::vector<Damaged_Picture> corpus;
    auto add = [&](const std::string& name, const std::wstring& extension, Bytes bytes) {
        corpus.push_back({Wide(std::to_string(corpus.size()) + "-" + name) + extension, std::move(bytes)});
    };
    std::vector<Sound> sound = Sound_Pictures();
    if (more_types) {
        for (Sound& more : More_Sound_Pictures()) {
            more.header = std::min<std::size_t>(more.bytes.size(), 120);
            sound.insert(sound.begin(), std::move(more));
        }
    }
    for (const Sound& s : sound) {
        add(s.name + "-sound", s.extension, s.bytes);
        add(s.name + "-empty", s.extension, {});
        // Cut short: inside every header field that matters, and in the data.
        for (std::size_t cut : {1, 6, 14, 22, 30, 54, 88}) {
            if (cut < s.bytes.size())
                add(s.name + "-cut" + std::to_string(cut), s.extension, Bytes(s.bytes.begin(), s.bytes.begin() + cut));
        }
        for (std::size_t part : {2, 3}) {
            const std::size_t cut = s.bytes.size() - s.bytes.size() / part / 4;
            add(s.name + "-cut" + std::to_string(cut), s.extension, Bytes(s.bytes.begin(), s.bytes.begin() + cut));
        }
        add(s.name + "-cut-last", s.extension, Bytes(s.bytes.begin(), s.bytes.end() - 1));
        // Header bytes flipped, one at a time, every few bytes (both halves
        // of the 16-bit fields, in turn).
        const std::size_t stride = s.header / 24 + 1;
        for (std::size_t at = 0; at < s.header && at < s.bytes.size(); at += stride) {
            Bytes flipped = s.bytes;
            flipped[at] ^= 0xFF;
            add(s.name + "-flip" + std::to_string(at), s.extension, std::move(flipped));
        }
    }

    // Sizes of zero, negative, and huge: 65535 x 65535 and 2^31 rows.
    const Bytes few = Patterned_Rows(8, 8, 24);
    const std::vector<std::pair<std::string, Bmp_Spec>> sizes = {
        {"no-width", {.width = 0, .height = 6, .pixels = few}},
        {"no-height", {.width = 8, .height = 0, .pixels = few}},
        {"negative-width", {.width = -8, .height = 6, .pixels = few}},
        {"65535-square", {.width = 65535, .height = 65535, .pixels = few}},
        {"65535-square-os2", {.header_size = 12, .width = 65535, .height = 65535, .pixels = few}},
        {"65535-square-1bit",
         {.width = 65535, .height = 65535, .bits = 1, .palette = Spread_Palette(2), .pixels = few}},
        {"60000-square", {.width = 60000, .height = 60000, .bits = 32, .pixels = few}},
        {"2^31-rows", {.width = 1, .height = INT32_MIN, .pixels = few}},
        {"2^31-1-rows", {.width = 1, .height = INT32_MAX, .pixels = few}},
        {"16000-square-rle8",
         {.width = 16000,
          .height = 16000,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(2),
          .pixels = {0, 0, 0, 1}}},
        {"65535-square-rle8",
         {.width = 65535,
          .height = 65535,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(2),
          .pixels = {0, 0, 0, 1}}},
        // Palettes longer than the file.
        {"palette-past-end",
         {.width = 8, .height = 6, .bits = 8, .palette = Spread_Palette(4), .pixels = {}, .colours_used = 256}},
        {"palette-longer-than-bits",
         {.width = 8, .height = 6, .bits = 4, .palette = Spread_Palette(16), .pixels = few, .colours_used = 4000}},
        {"os2-palette-past-end",
         {.header_size = 12,
          .width = 8,
          .height = 6,
          .bits = 8,
          .palette = Spread_Palette(4),
          .pixels = {},
          .offset_shift = 3000}},
        // Compressed runs past the row end, and moves past the picture.
        {"rle8-run-past-row",
         {.width = 4,
          .height = 2,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(4),
          .pixels = {255, 1, 0, 0, 255, 2, 0, 1}}},
        {"rle8-literal-past-row",
         {.width = 4,
          .height = 2,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(4),
          .pixels = {0, 9, 1, 2, 3, 1, 2, 3, 1, 2, 3, 0, 0, 1}}},
        {"rle8-literal-past-file",
         {.width = 4,
          .height = 2,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(4),
          .pixels = {0, 200, 1, 2}}},
        {"rle8-move-past-picture",
         {.width = 4,
          .height = 2,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(4),
          .pixels = {0, 2, 255, 255, 4, 1, 0, 1}}},
        {"rle8-rows-past-picture",
         {.width = 4,
          .height = 2,
          .bits = 8,
          .compression = Bmp_Rle8,
          .palette = Spread_Palette(4),
          .pixels = {0, 0, 0, 0, 0, 0, 0, 0, 4, 1}}},
        {"rle4-run-past-row",
         {.width = 3,
          .height = 2,
          .bits = 4,
          .compression = Bmp_Rle4,
          .palette = Spread_Palette(16),
          .pixels = {255, 0x12, 0, 0, 255, 0x34, 0, 1}}},
        {"rle4-literal-past-row",
         {.width = 3,
          .height = 2,
          .bits = 4,
          .compression = Bmp_Rle4,
          .palette = Spread_Palette(16),
          .pixels = {0, 9, 0x12, 0x34, 0x56, 0x78, 0x90, 0, 0, 1}}},
    };
    for (const auto& [name, spec] : sizes) add(name, L".bmp", Build_Bmp(spec));

    const Bytes photo = sound[sound.size() - 2].bytes;
    if (more_types) {
        for (const auto& [name, width, height] :
             {std::tuple{"png-60000-square", 60000u, 60000u}, std::tuple{"png-65535-square", 65535u, 65535u},
              std::tuple{"png-2^31-rows", 1u, 0x7FFFFFFFu}, std::tuple{"png-no-size", 0u, 0u}}) {
            Bytes png = Build_Png(4, 4, false, [](int, int, std::uint8_t*) {});
            Set_Png_Size(png, width, height);
            add(name, L".png", std::move(png));
        }
        Bytes tiff = Tiff_Rgb(8, 6);
        Set_Le32(tiff, 8 + 2 + 8, 65535), Set_Le32(tiff, 8 + 2 + 12 + 8, 65535);
        add("tiff-65535-square", L".tif", std::move(tiff));
        std::vector<std::uint8_t> one(4, 1);
        TGIFEncodeImage gif = One_Frame_Picture(2, 2, one);
        gif.Width = gif.Height = 65535;
        add("gif-65535-screen", L".gif", Encode_GIF(gif));
    }
    add("jpeg-no-size", L".jpg", With_Frame_Size(photo, 0, 0));
    add("jpeg-65535-square", L".jpg", With_Frame_Size(photo, 65535, 65535));
    add("jpeg-65500-square", L".jpg", With_Frame_Size(photo, 65500, 65500));
    add("jpeg-30000-square", L".jpg", With_Frame_Size(photo, 30000, 30000));
    // Bad Huffman tables: more codes than symbols, more codes of a length
    // than the length can hold, a table number that does not exist.
    add("huffman-too-many-codes", L".jpg", With_Huffman_Table(photo, [](Bytes& b, std::size_t counts) {
            std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(counts), 16, 0xFF);
        }));
    add("huffman-overfull-length", L".jpg",
        With_Huffman_Table(photo, [](Bytes& b, std::size_t counts) { b[counts] = 3; }));
    add("huffman-table-number", L".jpg",
        With_Huffman_Table(photo, [](Bytes& b, std::size_t counts) { b[counts - 1] = 0x07; }));
    add("huffman-no-codes", L".jpg", With_Huffman_Table(photo, [](Bytes& b, std::size_t counts) {
            std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(counts), 16, 0);
        }));

    // Pictures large enough to be printed a band at a time from their file,
    // broken off or damaged in the middle of their data, so that the break
    // falls inside a band: a JPEG cut with and without its end marker put
    // back and with a stretch of its scan zeroed, a PNG cut or with a row's
    // bytes changed, a bitmap cut short.
    const auto paint = [](int x, int y, std::uint8_t* s) {
        s[0] = static_cast<std::uint8_t>(x / 7), s[1] = static_cast<std::uint8_t>(y / 5),
        s[2] = static_cast<std::uint8_t>(x + y);
    };
    const Bytes big_jpeg = Encode_Jpeg({.width = 1600, .height = 1200, .quality = 80, .full_chroma = false}, paint);
    const auto half_jpeg = big_jpeg.begin() + static_cast<std::ptrdiff_t>(big_jpeg.size() / 2);
    add("banded-jpeg-sound", L".jpg", big_jpeg);
    add("banded-jpeg-cut", L".jpg", Bytes(big_jpeg.begin(), half_jpeg));
    Bytes mended(big_jpeg.begin(), half_jpeg);
    mended.insert(mended.end(), {0xFF, 0xD9});
    add("banded-jpeg-half-with-end-marker", L".jpg", std::move(mended));
    Bytes zeroed = big_jpeg;
    std::fill_n(zeroed.begin() + static_cast<std::ptrdiff_t>(zeroed.size() / 2), 4096, 0);
    add("banded-jpeg-scan-zeroed", L".jpg", std::move(zeroed));
    if (more_types) {
        const Bytes big_png = Build_Png(1200, 1000, false, paint);
        add("banded-png-cut", L".png",
            Bytes(big_png.begin(), big_png.begin() + static_cast<std::ptrdiff_t>(big_png.size() * 2 / 3)));
        Bytes changed = big_png;
        changed[changed.size() / 2] ^= 0x5A;
        add("banded-png-row-changed", L".png", std::move(changed));
    }
    const Bytes big_bmp = Build_Bmp({.width = 1200, .height = 1000, .pixels = Patterned_Rows(1200, 1000, 24)});
    add("banded-bmp-short", L".bmp",
        Bytes(big_bmp.begin(), big_bmp.begin() + static_cast<std::ptrdiff_t>(big_bmp.size() * 2 / 3)));

    // Icons whose sizes lie.
    Bytes icon = Icon_32(16);
    auto icon_with = [&](const std::string& name, const std::function<void(Bytes&)>& change) {
        Bytes changed = icon;
        change(changed);
        add(name, L".ico", std::move(changed));
    };
    icon_with("icon-65535-images", [](Bytes& b) { Set_Le16(b, 4, 65535); });
    icon_with("icon-image-past-end", [](Bytes& b) { Set_Le32(b, 14, 0x7FFFFFF0); });
    icon_with("icon-offset-past-end", [](Bytes& b) { Set_Le32(b, 18, 0xFFFFFFF0); });
    icon_with("icon-dib-huge", [](Bytes& b) { Set_Le32(b, 26, 65535), Set_Le32(b, 30, 131070); });
    icon_with("icon-dib-negative", [](Bytes& b) { Set_Le32(b, 26, static_cast<std::uint32_t>(-16)); });
    icon_with("icon-dib-odd-height", [](Bytes& b) { Set_Le32(b, 30, 31); });
    icon_with("icon-palette-past-entry", [](Bytes& b) { Set_Le16(b, 36, 8), Set_Le32(b, 54, 256); });

    // Metafiles whose sizes lie.
    const Bytes emf = Build_Emf({.records = Emf_Filled_Rectangle(0xFFFF00)});
    const Bytes wmf = Build_Wmf({.records = Wmf_Filled_Rectangle(0x0080FF)});
    auto metafile_with = [&](const std::string& name, const Bytes& base, const std::wstring& extension,
                             const std::function<void(Bytes&)>& change) {
        Bytes changed = base;
        change(changed);
        add(name, extension, std::move(changed));
    };
    for (std::uint32_t size : {0u, 4u, 6u, 12u, 0x7FFFFFFCu, 0xFFFFFFF8u}) {
        metafile_with("emf-record-of-" + std::to_string(size), emf, L".emf", [&](Bytes& b) { Set_Le32(b, 112, size); });
        metafile_with("wmf-record-of-" + std::to_string(size), wmf, L".wmf", [&](Bytes& b) { Set_Le32(b, 40, size); });
    }
    metafile_with("emf-total-past-end", emf, L".emf", [](Bytes& b) { Set_Le32(b, 48, 0x10000); });
    metafile_with("emf-no-end-record", emf, L".emf", [](Bytes& b) { Set_Le32(b, b.size() - 20, 43); });
    metafile_with("emf-end-record-palette", emf, L".emf", [](Bytes& b) { Set_Le32(b, b.size() - 12, 1000); });
    metafile_with("emf-record-count", emf, L".emf", [](Bytes& b) { Set_Le32(b, 52, 1000); });
    metafile_with("wmf-size-past-end", wmf, L".wmf", [](Bytes& b) { Set_Le32(b, 28, 0x10000); });
    metafile_with("wmf-largest-record", wmf, L".wmf", [](Bytes& b) { Set_Le32(b, 34, 3); });
    metafile_with("wmf-no-end-record", wmf, L".wmf", [](Bytes& b) { Set_Le16(b, b.size() - 2, 0x012D); });
    metafile_with("wmf-placeable-frame", wmf, L".wmf", [](Bytes& b) { Set_Le16(b, 10, 0); });
    return corpus;
}

}  // namespace velbrook::test

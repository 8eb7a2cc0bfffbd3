#include "gif_encoder.h"

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

namespace {

class Bit_Writer {
public:
    void Put(int code, int width) {
        Accumulator_ |= static_cast<std::uint32_t>(code) << Bits_;
        Bits_ += width;
        while (Bits_ >= 8) {
            Bytes_.push_back(static_cast<std::uint8_t>(Accumulator_));
            Accumulator_ >>= 8;
            Bits_ -= 8;
        }
    }
    std::vector<std::uint8_t> Finish() {
        if (Bits_ > 0) Bytes_.push_back(static_cast<std::uint8_t>(Accumulator_));
        Accumulator_ = 0;
        Bits_ = 0;
        return std::move(Bytes_);
    }

private:
    std::vector<std::uint8_t> Bytes_;
    std::uint32_t Accumulator_ = 0;
    int Bits_ = 0;
};

void Put_U16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put_Palette(std::vector<std::uint8_t>& out, int bits, const std::vector<std::uint8_t>& given, int seed) {
    const std::size_t size = std::size_t{3} << bits;
    std::vector<std::uint8_t> palette = given.empty() ? Test_Palette(bits, seed) : given;
    palette.resize(size, 0);
    out.insert(out.end(), palette.begin(), palette.end());
}

}  // namespace

std::uint64_t FNV1a_64(const std::uint8_t* bytes, std::size_t count, std::uint64_t hash) {
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::vector<std::uint8_t> Test_Palette(int bits, int seed) {
    const std::size_t colors = std::size_t{1} << bits;
    std::vector<std::uint8_t> palette(3 * colors);
    for (std::size_t i = 0; i < colors; ++i) {
        const auto v = static_cast<std::uint32_t>(i * 2654435761u + static_cast<std::uint32_t>(seed) * 40503u);
        palette[3 * i] = static_cast<std::uint8_t>(i);
        palette[3 * i + 1] = static_cast<std::uint8_t>(v >> 8);
        palette[3 * i + 2] = static_cast<std::uint8_t>(v >> 16);
    }
    return palette;
}

std::vector<std::uint8_t> Stream_Order(const std::vector<std::uint8_t>& indices, int width, int height,
                                       bool interlaced) {
    if (!interlaced) return indices;
    std::vector<std::uint8_t> out;
    out.reserve(indices.size());
    static constexpr int Starts[4] = {0, 4, 2, 1};
    static constexpr int Steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int row = Starts[pass]; row < height; row += Steps[pass]) {
            const auto begin = indices.begin() + static_cast<std::ptrdiff_t>(row) * width;
            out.insert(out.end(), begin, begin + width);
        }
    }
    return out;
}

std::vector<std::uint8_t> LZW_Encode(const std::vector<std::uint8_t>& pixels, int code_size,
                                     const TLZWOptions& options) {
    const int clear = 1 << code_size;
    const int end = clear + 1;
    // Children of each code by next character; 0 = none (code 0 is never a child).
    std::vector<std::uint16_t> child(std::size_t{4096} * 256, 0);
    Bit_Writer out;

    // The decoder's view, so that each code goes out at the width it reads.
    int width = code_size + 1;
    int limit = 2 * clear;
    int decoder_next = clear + 2;
    bool first_after_clear = true;
    int next = clear + 2;

    auto emit = [&](int code) {
        out.Put(code, width);
        if (code == clear) {
            width = code_size + 1;
            limit = 2 * clear;
            decoder_next = clear + 2;
            first_after_clear = true;
            return;
        }
        if (first_after_clear) {
            first_after_clear = false;
            return;
        }
        if (decoder_next < 4096) {
            ++decoder_next;
            if (decoder_next >= limit && limit < 4096) {
                limit *= 2;
                ++width;
            }
        }
    };
    auto reset = [&] {
        std::fill(child.begin(), child.end(), 0);
        next = clear + 2;
    };

    if (options.Clear_At_Start) emit(clear);
    const std::size_t count = std::min(pixels.size(), options.End_After);
    int current = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const int c = pixels[i] & (clear - 1);
        if (current < 0) {
            current = c;
            continue;
        }
        const std::size_t slot = static_cast<std::size_t>(current) * 256 + static_cast<std::size_t>(c);
        if (child[slot] != 0) {
            current = child[slot];
            continue;
        }
        emit(current);
        if (next < 4096) {
            child[slot] = static_cast<std::uint16_t>(next++);
        } else if (options.Clear_When_Full) {
            emit(clear);
            reset();
        }
        current = c;
    }
    if (current >= 0) emit(current);
    if (options.End_Code) emit(end);
    return out.Finish();
}

std::vector<std::uint8_t> Pack_Codes(const std::vector<std::pair<int, int>>& codes_and_widths) {
    Bit_Writer out;
    for (const auto& [code, width] : codes_and_widths) out.Put(code, width);
    return out.Finish();
}

std::vector<std::uint8_t> Pack_Sub_Blocks(const std::vector<std::uint8_t>& data, const std::vector<int>& sizes) {
    std::vector<std::uint8_t> out;
    std::size_t at = 0;
    std::size_t which = 0;
    while (at < data.size()) {
        const int wanted = sizes.empty() ? 255 : sizes[which++ % sizes.size()];
        const std::size_t size =
            std::min<std::size_t>(static_cast<std::size_t>(std::clamp(wanted, 1, 255)), data.size() - at);
        out.push_back(static_cast<std::uint8_t>(size));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    }
    out.push_back(0);
    return out;
}

TGIFEncodeFrame Whole_Frame(int width, int height, std::vector<std::uint8_t> indices) {
    TGIFEncodeFrame frame;
    frame.Width = width;
    frame.Height = height;
    frame.Indices = std::move(indices);
    return frame;
}

TGIFEncodeImage One_Frame_Picture(int width, int height, std::vector<std::uint8_t> indices) {
    TGIFEncodeImage image;
    image.Width = width;
    image.Height = height;
    image.Frames.push_back(Whole_Frame(width, height, std::move(indices)));
    return image;
}

std::vector<std::uint8_t> Encode_GIF(const TGIFEncodeImage& image) {
    const char* signature = image.GIF89a ? "GIF89a" : "GIF87a";
    std::vector<std::uint8_t> out(signature, signature + 6);
    Put_U16(out, image.Width);
    Put_U16(out, image.Height);
    const int global_bits = image.Global_Color_Bits;
    out.push_back(static_cast<std::uint8_t>(global_bits > 0 ? 0x80 | (global_bits - 1) : 0));
    out.push_back(0);  // background colour
    out.push_back(0);  // aspect ratio
    if (global_bits > 0) Put_Palette(out, global_bits, image.Global_Palette, 0);

    if (image.Loop_Count >= 0) {
        const char* application = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 11});
        out.insert(out.end(), application, application + 11);
        out.insert(out.end(), {3, 1});
        Put_U16(out, image.Loop_Count);
        out.push_back(0);
    }
    for (const std::string& comment : image.Comments) {
        out.insert(out.end(), {0x21, 0xFE});
        const std::vector<std::uint8_t> text(comment.begin(), comment.end());
        const std::vector<std::uint8_t> blocks = Pack_Sub_Blocks(text, {255});
        out.insert(out.end(), blocks.begin(), blocks.end());
    }
    int seed = 1;
    for (const TGIFEncodeFrame& frame : image.Frames) {
        if (frame.Graphic_Control) {
            out.insert(out.end(), {0x21, 0xF9, 4});
            const int transparent = frame.Transparent_Index >= 0 ? 1 : 0;
            out.push_back(static_cast<std::uint8_t>(((frame.Disposal & 7) << 2) | transparent));
            Put_U16(out, frame.Delay);
            out.push_back(static_cast<std::uint8_t>(frame.Transparent_Index >= 0 ? frame.Transparent_Index : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        Put_U16(out, frame.Left);
        Put_U16(out, frame.Top);
        Put_U16(out, frame.Width);
        Put_U16(out, frame.Height);
        const int local_bits = frame.Local_Color_Bits;
        out.push_back(
            static_cast<std::uint8_t>((local_bits > 0 ? 0x80 | (local_bits - 1) : 0) | (frame.Interlaced ? 0x40 : 0)));
        if (local_bits > 0) Put_Palette(out, local_bits, frame.Local_Palette, seed++);
        if (!frame.Raw_Image_Data.empty()) {
            out.insert(out.end(), frame.Raw_Image_Data.begin(), frame.Raw_Image_Data.end());
            continue;
        }
        const int bits = local_bits > 0 ? local_bits : std::max(global_bits, 1);
        const int code_size = frame.Code_Size > 0 ? frame.Code_Size : std::max(2, bits);
        if (frame.Indices.size() != static_cast<std::size_t>(frame.Width) * static_cast<std::size_t>(frame.Height)) {
            throw std::invalid_argument("Encode_GIF: Indices must hold Width * Height entries");
        }
        out.push_back(static_cast<std::uint8_t>(code_size));
        const std::vector<std::uint8_t> codes = LZW_Encode(
            Stream_Order(frame.Indices, frame.Width, frame.Height, frame.Interlaced), code_size, frame.Options);
        const std::vector<std::uint8_t> blocks = Pack_Sub_Blocks(codes, frame.Options.Sub_Block_Sizes);
        out.insert(out.end(), blocks.begin(), blocks.end());
    }
    if (image.Trailer) out.push_back(0x3B);
    return out;
}

// A small GIF encoder, used to make test pictures, the benchmark's pictures
// and the fuzzer's seed corpus.  It can also make the odd streams decoders
// must survive: tables that fill up without a clear code, early end codes,
// no end code, any sub-block sizes, hand-packed code sequences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

struct TLZWOptions {
    bool Clear_At_Start = true;
    bool Clear_When_Full = true;                                      // false: the table fills and codes stay 12 bits
    std::size_t End_After = std::numeric_limits<std::size_t>::max();  // pixels before an early end code
    bool End_Code = true;                                             // false: the data just stops
    std::vector<int> Sub_Block_Sizes{255};                            // cycled; each 1..255
};

struct TGIFEncodeFrame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Local_Color_Bits = 0;                 // 0: no local table
    std::vector<std::uint8_t> Local_Palette;  // 3 << bits bytes; made up when empty
    bool Interlaced = false;
    bool Graphic_Control = false;
    int Disposal = 0;                   // 0..7 as stored
    int Delay = 0;                      // hundredths of a second
    int Transparent_Index = -1;         // -1: none
    int Code_Size = 0;                  // 0: max(2, colour bits)
    std::vector<std::uint8_t> Indices;  // Width * Height, top row first
    TLZWOptions Options;
    std::vector<std::uint8_t> Raw_Image_Data;  // when set: code size byte and sub-blocks as they are
};

struct TGIFEncodeImage {
    bool GIF89a = true;
    int Width = 0;
    int Height = 0;
    int Global_Color_Bits = 8;                 // 0: no global table
    std::vector<std::uint8_t> Global_Palette;  // made up when empty
    int Loop_Count = -1;                       // -1: no looping extension
    std::vector<std::string> Comments;
    std::vector<TGIFEncodeFrame> Frames;
    bool Trailer = true;
};

std::vector<std::uint8_t> Encode_GIF(const TGIFEncodeImage& image);

// A frame at (0, 0) of the given size and palette indices (width * height,
// top row first), everything else as a new frame has it.
TGIFEncodeFrame Whole_Frame(int width, int height, std::vector<std::uint8_t> indices);

// A picture of that size made of that one frame.
TGIFEncodeImage One_Frame_Picture(int width, int height, std::vector<std::uint8_t> indices);

// The frame's rows in stream order (the four interlace passes when interlaced).
std::vector<std::uint8_t> Stream_Order(const std::vector<std::uint8_t>& indices, int width, int height,
                                       bool interlaced);

// LZW codes of the given pixels, packed least-significant bit first, without
// sub-block framing.
std::vector<std::uint8_t> LZW_Encode(const std::vector<std::uint8_t>& pixels, int code_size,
                                     const TLZWOptions& options);

// Codes given with their widths, packed least-significant bit first.
std::vector<std::uint8_t> Pack_Codes(const std::vector<std::pair<int, int>>& codes_and_widths);

// Sub-blocks of the given sizes (cycled), then the empty terminator.
std::vector<std::uint8_t> Pack_Sub_Blocks(const std::vector<std::uint8_t>& data, const std::vector<int>& sizes);

// A palette of 2^bits distinct colours.
std::vector<std::uint8_t> Test_Palette(int bits, int seed = 0);

// FNV-1a, 64 bits.
std::uint64_t FNV1a_64(const std::uint8_t* bytes, std::size_t count, std::uint64_t hash = 0xcbf29ce484222325ull);

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>

#include "gif/gif_lzw.h"
#include "gif_test_support.h"

namespace velbrook {

using namespace gif_test;

namespace {

struct Decoded {
    Raster_Outcome Outcome;
    std::vector<std::uint8_t> Pixels;  // top-down
    std::vector<bool> Mask;            // top-down
    std::size_t End_Position;
    Gif_Raster Raster;
};

Decoded Decode(const std::vector<std::uint8_t>& data, Raster_Format format, const Raster_Progress* progress = nullptr) {
    Gif_Byte_Reader stream(data);
    Decoded d{};
    d.Outcome = DecodeRaster(stream, format, d.Raster, progress);
    if (Raster_Usable(d.Outcome)) {
        d.Pixels = Top_Down(d.Raster, format.width, format.height);
        d.Mask = Mask_Top_Down(d.Raster, format.width, format.height);
    }
    d.End_Position = stream.Position();
    return d;
}

// The classic decoder, written as plainly as possible and independently of
// the fast one: sub-blocks fetched one at a time into a held buffer, codes
// assembled bit by bit, strings through an output stack, one pixel per call.
class Model_Decoder {
public:
    Model_Decoder(const std::vector<std::uint8_t>& bytes, Raster_Format format) : In_(bytes), F_(format) {}

    Decoded Run() {
        Decoded d{};
        const std::size_t count = static_cast<std::size_t>(F_.width) * static_cast<std::size_t>(F_.height);
        d.Pixels.assign(count, 0);
        if (F_.transparent) d.Mask.assign(count, false);
        std::vector<int> rows;
        if (F_.interlaced) {
            for (const auto& [start, step] : std::array<std::pair<int, int>, 4>{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}})
                for (int r = start; r < F_.height; r += step) rows.push_back(r);
        } else {
            for (int r = 0; r < F_.height; ++r) rows.push_back(r);
        }
        std::size_t stored = 0;
        d.Outcome = Raster_Outcome::Data_Ended;
        if (Pos_ < In_.size()) {
            S_ = In_[Pos_++];
            if (S_ > 11) {
                d.Outcome = Raster_Outcome::Refused;
                d.End_Position = Pos_;
                return d;
            }
            Clear_ = 1 << S_;
            for (int i = 0; i < Clear_; ++i) Suffix_[i] = i;
            Reset();
            Eod_ = !Fetch();
            Done_ = Eod_;
            int v = Read_Code();
            while (v == Clear_) v = Read_Code();
            First_ = Old_ = v;
            while (v >= 0 && stored < count) {
                const std::size_t at = static_cast<std::size_t>(rows[stored / F_.width]) * F_.width + stored % F_.width;
                d.Pixels[at] = static_cast<std::uint8_t>(v);
                if (F_.transparent && v == F_.transparent_index) d.Mask[at] = true;
                if (++stored == count) break;
                v = Next_Pixel();
            }
            while (Next_Pixel() >= 0) {}
            if (stored == count) d.Outcome = Raster_Outcome::Complete;
        }
        for (std::size_t i = stored; i < count && F_.transparent; ++i)
            d.Mask[static_cast<std::size_t>(rows[i / F_.width]) * F_.width + i % F_.width] = true;
        d.End_Position = Pos_;
        return d;
    }

private:
    bool Fetch() {
        if (Pos_ >= In_.size()) return false;
        const std::size_t n = In_[Pos_++];
        if (n == 0) return false;
        if (In_.size() - Pos_ < n) {
            Pos_ = In_.size();
            return false;
        }
        Held_.insert(Held_.end(), In_.begin() + static_cast<std::ptrdiff_t>(Pos_),
                     In_.begin() + static_cast<std::ptrdiff_t>(Pos_ + n));
        Pos_ += n;
        return true;
    }
    int Read_Code() {
        if (Finished_) return -1;
        const std::size_t held_bits = Held_.size() * 8;
        if (Cur_ + static_cast<std::size_t>(Width_) >= held_bits && !Done_) {
            do {
                if (!Fetch()) {
                    Done_ = Eod_ = true;
                    break;
                }
            } while (Cur_ + static_cast<std::size_t>(Width_) > Held_.size() * 8);
        }
        if (Cur_ + static_cast<std::size_t>(Width_) > Held_.size() * 8) return -1;
        int code = 0;
        for (int k = 0; k < Width_; ++k, ++Cur_)
            if (Held_[Cur_ / 8] & (1 << (Cur_ % 8))) code |= 1 << k;
        return code;
    }
    void Reset() {
        Width_ = S_ + 1;
        Limit_ = 2 * Clear_;
        Next_ = Clear_ + 2;
    }
    int Next_Pixel() {
        if (!Stack_.empty()) {
            const int v = Stack_.back();
            Stack_.pop_back();
            return v;
        }
        int code = Read_Code();
        if (code < 0) return code;
        if (code == Clear_) {
            Reset();
            Stack_.clear();
            code = Read_Code();
            First_ = Old_ = code;
            return code;
        }
        if (code == Clear_ + 1) {
            if (!Eod_)
                while (Fetch()) {}
            Eod_ = true;
            Finished_ = true;
            return -2;
        }
        const int in = code;
        if (code >= Next_) {
            Stack_.push_back(First_);
            code = Old_;
        }
        while (code >= Clear_) {
            Stack_.push_back(Suffix_[code]);
            if (Stack_.size() > 4095) return -2;
            if (Prefix_[code] == code) return -2;
            code = Prefix_[code];
        }
        First_ = Suffix_[code];
        Stack_.push_back(First_);
        if (Next_ < 4096) {
            Suffix_[Next_] = First_;
            Prefix_[Next_] = Old_;
            ++Next_;
            if (Next_ >= Limit_ && Limit_ < 4096) {
                Limit_ *= 2;
                ++Width_;
            }
        }
        Old_ = in;
        const int v = Stack_.back();
        Stack_.pop_back();
        return v;
    }

    const std::vector<std::uint8_t>& In_;
    Raster_Format F_;
    std::size_t Pos_ = 0;
    std::vector<std::uint8_t> Held_;
    std::size_t Cur_ = 0;
    bool Done_ = false, Eod_ = false, Finished_ = false;
    int S_ = 0, Clear_ = 0, Width_ = 0, Limit_ = 0, Next_ = 0, First_ = 0, Old_ = 0;
    std::array<int, 4096> Prefix_{}, Suffix_{};
    std::vector<int> Stack_;
};

std::vector<std::uint8_t> Sequence(std::size_t count, int colors) {
    std::vector<std::uint8_t> out(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<std::uint8_t>((i * 7 + i / 5) % static_cast<std::size_t>(colors));
    return out;
}

}  // namespace

TEST(GifLzw, InterlacedRowsArriveInPassOrder) {
    struct Case {
        int height;
        std::vector<int> order;
    };
    const std::vector<Case> cases = {
        {1, {0}},
        {2, {0, 1}},
        {3, {0, 2, 1}},
        {4, {0, 2, 1, 3}},
        {5, {0, 4, 2, 1, 3}},
        {9, {0, 8, 4, 2, 6, 1, 3, 5, 7}},
        {10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
    };
    const int width = 3;
    for (const Case& c : cases) {
        // Give the decoder one row fewer each time; the rows it fills are the
        // first ones of the pass order, the rest stay 0.
        for (int supplied = 1; supplied <= c.height; ++supplied) {
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * supplied));
            for (int i = 0; i < width * supplied; ++i)
                pixels[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(1 + i / width);
            const Decoded d = Decode(Encoded_Data(pixels, 4), {width, c.height, true, false, 0});
            for (int k = 0; k < c.height; ++k) {
                const int row = c.order[static_cast<std::size_t>(k)];
                const int expected = k < supplied ? 1 + k : 0;
                EXPECT_EQ(d.Pixels[static_cast<std::size_t>(row * width)], expected)
                    << "height " << c.height << " supplied " << supplied << " row " << row;
            }
        }
    }
}

TEST(GifLzw, RowStridePaddingAndMaskBits) {
    struct Case {
        int width;
        std::size_t row_stride;
        std::size_t mask_stride;
    };
    for (const Case c : std::vector<Case>{{1, 4, 4}, {4, 4, 4}, {5, 8, 4}, {32, 32, 4}, {33, 36, 8}}) {
        const int height = 2;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(c.width * height), 3);
        pixels[0] = 7;                                               // x = 0, top row
        if (c.width >= 5) pixels[4] = 7;                             // x = 4, top row
        pixels[static_cast<std::size_t>(c.width * height - 1)] = 7;  // last pixel
        const Decoded d = Decode(Encoded_Data(pixels, 3), {c.width, height, false, true, 7});
        ASSERT_EQ(d.Outcome, Raster_Outcome::Complete);
        EXPECT_EQ(d.Raster.row_stride, c.row_stride);
        EXPECT_EQ(d.Raster.mask_stride, c.mask_stride);
        ASSERT_EQ(d.Raster.pixels.size(), c.row_stride * height);
        // Bottom-up: the top picture row is the last buffer row.
        const std::uint8_t* top = d.Raster.pixels.data() + c.row_stride;
        const std::uint8_t* top_mask = d.Raster.mask.data() + c.mask_stride;
        EXPECT_EQ(top[0], 7);
        EXPECT_EQ(top_mask[0] & 0x80, 0x80);
        if (c.width >= 5) {
            EXPECT_EQ(top_mask[0] & 0x08, 0x08);
            EXPECT_EQ(top_mask[0] & 0x70, 0);
        }
        for (std::size_t x = static_cast<std::size_t>(c.width); x < c.row_stride; ++x) {
            EXPECT_EQ(d.Raster.pixels[x], 0) << "padding of width " << c.width;
            EXPECT_EQ(top[x], 0);
        }
        // Mask bits past the width stay clear.
        for (int x = c.width; x < static_cast<int>(c.mask_stride * 8); ++x)
            EXPECT_EQ(top_mask[x / 8] & (0x80 >> (x % 8)), 0) << "mask padding of width " << c.width;
    }
}

TEST(GifLzw, EncodedPicturesRoundTrip) {
    struct Case {
        const char* name;
        int width, height, bits;
        TLZWOptions options;
        bool interlaced;
    };
    TLZWOptions no_clear;
    no_clear.Clear_When_Full = false;
    TLZWOptions no_leading_clear;
    no_leading_clear.Clear_At_Start = false;
    TLZWOptions odd_blocks;
    odd_blocks.Sub_Block_Sizes = {1, 2, 3, 254, 7, 255, 1, 1};
    const std::vector<Case> cases = {
        {"1 bit", 61, 17, 1, {}, false},
        {"2 bits", 40, 40, 2, {}, true},
        {"4 bits", 100, 30, 4, odd_blocks, false},
        {"8 bits photo", 300, 200, 8, {}, false},
        {"full table, no clear", 300, 200, 8, no_clear, false},
        {"full table, no clear, 4 bits", 400, 200, 4, no_clear, true},
        {"no leading clear", 50, 50, 8, no_leading_clear, false},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> pixels = Photo_Like(c.width, c.height, c.bits, 5);
        const std::vector<std::uint8_t> data =
            Encoded_Data(Stream_Order(pixels, c.width, c.height, c.interlaced), std::max(2, c.bits), c.options);
        const Decoded d = Decode(data, {c.width, c.height, c.interlaced, false, 0});
        EXPECT_EQ(d.Outcome, Raster_Outcome::Complete) << c.name;
        EXPECT_EQ(d.Pixels, pixels) << c.name;
        EXPECT_EQ(d.End_Position, data.size()) << c.name;
    }
}

TEST(GifLzw, OneByteSubBlocksAtEveryCodeWidth) {
    // Long runs of distinct strings push the code width up to 12 bits; with
    // 1-byte sub-blocks a 10- to 12-bit code straddles three of them.
    for (int code_size = 2; code_size <= 8; ++code_size) {
        const int width = 200, height = 60;
        const std::vector<std::uint8_t> pixels = Photo_Like(width, height, code_size, 11);
        for (const auto& sizes : std::vector<std::vector<int>>{{1}, {1, 2}, {2, 1, 1}, {255, 1}}) {
            TLZWOptions options;
            options.Sub_Block_Sizes = sizes;
            const std::vector<std::uint8_t> data = Encoded_Data(pixels, code_size, options);
            const Decoded d = Decode(data, {width, height, false, false, 0});
            EXPECT_EQ(d.Outcome, Raster_Outcome::Complete) << "code size " << code_size;
            EXPECT_EQ(d.Pixels, pixels) << "code size " << code_size << " blocks " << sizes[0];
            EXPECT_EQ(d.End_Position, data.size());
        }
    }
}

TEST(GifLzw, HandWrittenCodeStreams) {
    struct Case {
        const char* name;
        int code_size;
        std::vector<int> codes;
        int width, height;
        std::vector<std::uint8_t> expected;
        Raster_Outcome outcome;
    };
    // Code size 2: clear 4, end 5, first entry 6.  Code size 8: clear 256.
    const std::vector<Case> cases = {
        {"plain", 2, {4, 1, 2, 6, 5}, 5, 1, {1, 2, 1, 2, 0}, Raster_Outcome::Early_End_Code},
        {"string not yet in the table", 2, {4, 3, 6, 5}, 3, 1, {3, 3, 3}, Raster_Outcome::Complete},
        {"leading clear codes skipped", 2, {4, 4, 4, 2, 1, 5}, 2, 1, {2, 1}, Raster_Outcome::Complete},
        {"two clear codes inside the data", 8, {256, 7, 256, 256, 9, 5}, 4, 1, {7, 0, 9, 5}, Raster_Outcome::Complete},
        {"end code after a clear is a pixel", 2, {4, 1, 4, 5, 2}, 3, 1, {1, 5, 2}, Raster_Outcome::Complete},
        {"early end code", 2, {4, 1, 2, 5, 3, 3}, 4, 1, {1, 2, 0, 0}, Raster_Outcome::Early_End_Code},
        // Without an end code the padding bits of the last byte are codes too.
        {"no end code, padding read", 2, {4, 1, 2}, 4, 1, {1, 2, 0, 0}, Raster_Outcome::Complete},
        {"no end code, data ends",
         2,
         {4, 1, 2, 1, 3, 3, 0, 0},
         9,
         1,
         {1, 2, 1, 3, 3, 0, 0, 0, 0},
         Raster_Outcome::Data_Ended},
        {"end code on the last bit", 2, {4, 1, 2, 6, 5}, 5, 1, {1, 2, 1, 2, 0}, Raster_Outcome::Early_End_Code},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data = Image_Data(c.code_size, c.codes);
        const Decoded d = Decode(data, {c.width, c.height, false, false, 0});
        EXPECT_EQ(d.Outcome, c.outcome) << c.name;
        EXPECT_EQ(d.Pixels, c.expected) << c.name;
        EXPECT_EQ(d.End_Position, data.size()) << c.name;
    }
}

TEST(GifLzw, SelfReferencingEntryStopsThePixels) {
    // Code size 2 (clear 4, end 5).  After "1", code 7 is beyond the next
    // free entry 6, so it repeats the previous string and entry 6 is made;
    // then entry 7 is made pointing to 7 itself (and codes widen to 4 bits),
    // and reading 7 gives up.
    const std::vector<std::pair<int, int>> codes = {{4, 3}, {1, 3}, {7, 3}, {2, 3}, {7, 4}, {1, 4}, {5, 4}};
    std::vector<std::uint8_t> data{2};
    const auto blocks = Pack_Sub_Blocks(Pack_Codes(codes), {255});
    data.insert(data.end(), blocks.begin(), blocks.end());
    const Decoded d = Decode(data, {8, 1, false, true, 0});
    EXPECT_EQ(d.Outcome, Raster_Outcome::Corrupt_Table);
    const Decoded m = Model_Decoder(data, {8, 1, false, true, 0}).Run();
    EXPECT_EQ(d.Pixels, m.Pixels);
    EXPECT_EQ(d.Mask, m.Mask);
    EXPECT_EQ(d.End_Position, m.End_Position);
}

TEST(GifLzw, TransparentFrameCutInHalf) {
    const int width = 10, height = 6;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height), 2);
    // The first half of the pixels, then the data stops; then the same with
    // an early end code.
    for (const bool end_code : {false, true}) {
        TLZWOptions options;
        options.End_After = pixels.size() / 2;
        options.End_Code = end_code;
        const Decoded d = Decode(Encoded_Data(pixels, 2, options), {width, height, false, true, 5});
        const std::size_t half_count = pixels.size() / 2;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            EXPECT_EQ(d.Pixels[i], i < half_count ? 2 : 0) << i;
            EXPECT_EQ(d.Mask[i], i >= half_count) << i;
        }
    }
}

TEST(GifLzw, NothingIsReadAfterTheTerminator) {
    const std::vector<std::uint8_t> pixels(24, 1);
    for (const std::size_t supplied : {std::size_t{3}, std::size_t{24}}) {
        TLZWOptions options;
        options.End_After = supplied;
        options.Sub_Block_Sizes = {1};
        std::vector<std::uint8_t> data = Encoded_Data(pixels, 2, options);
        const std::size_t end = data.size();
        data.insert(data.end(), {0x2C, 0x3B, 0x21});  // what follows belongs to the stream parser
        const Decoded d = Decode(data, {6, 4, false, false, 0});
        EXPECT_EQ(d.End_Position, end) << supplied;
    }
}

TEST(GifLzw, RefusedAndMissingData) {
    struct Case {
        std::vector<std::uint8_t> data;
        Raster_Outcome outcome;
    };
    const std::vector<Case> cases = {
        {{12, 1, 0, 0}, Raster_Outcome::Refused},   {{15, 1, 0, 0}, Raster_Outcome::Refused},
        {{16, 1, 0, 0}, Raster_Outcome::Refused},   {{255}, Raster_Outcome::Refused},
        {{}, Raster_Outcome::Data_Ended},            // not even the code size
        {{8}, Raster_Outcome::Data_Ended},           // no sub-blocks
        {{8, 0}, Raster_Outcome::Data_Ended},        // only the terminator
        {{8, 5, 1, 2}, Raster_Outcome::Data_Ended},  // a sub-block cut short
    };
    for (const Case& c : cases) {
        const Decoded d = Decode(c.data, {3, 2, false, true, 0});
        EXPECT_EQ(d.Outcome, c.outcome) << int(c.data.empty() ? -1 : c.data[0]);
        if (Raster_Usable(c.outcome)) {
            EXPECT_EQ(d.Pixels, std::vector<std::uint8_t>(6, 0));
            EXPECT_EQ(d.Mask, std::vector<bool>(6, true));
            EXPECT_EQ(d.End_Position, c.data.size());
        } else {
            EXPECT_TRUE(d.Raster.pixels.empty());
        }
    }
}

TEST(GifLzw, ProgressEveryRowInterval) {
    struct Case {
        int width, height;
        std::vector<int> rows;  // rows after which progress is called
    };
    const std::vector<Case> cases = {
        {300, 300, {}},                                             // 90,000 pixels: none
        {320, 320, {0, 64, 128, 192, 256}},                         // narrow: every 64th
        {400, 300, {0, 32, 64, 96, 128, 160, 192, 224, 256, 288}},  // wide: every 32nd
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> pixels = Photo_Like(c.width, c.height, 8, 2);
        const std::vector<std::uint8_t> data = Encoded_Data(pixels, 8);
        Gif_Byte_Reader stream(data);
        std::vector<std::size_t> positions;
        const Raster_Progress hook = [&] {
            positions.push_back(stream.Position());
            return true;
        };
        Gif_Raster raster;
        EXPECT_EQ(DecodeRaster(stream, {c.width, c.height, false, false, 0}, raster, &hook), Raster_Outcome::Complete);
        EXPECT_EQ(positions.size(), c.rows.size()) << c.width;
        // The stream advances as sub-blocks are taken in.
        EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
        if (positions.size() > 2) {
            EXPECT_LT(positions.front(), positions.back());
        }
    }
}

TEST(GifLzw, CancelledProgressStopsTheFrame) {
    const std::vector<std::uint8_t> pixels = Photo_Like(400, 300, 8, 3);
    const std::vector<std::uint8_t> data = Encoded_Data(pixels, 8);
    int calls = 0;
    const Raster_Progress hook = [&] { return ++calls < 3; };
    Gif_Byte_Reader stream(data);
    Gif_Raster raster;
    EXPECT_EQ(DecodeRaster(stream, {400, 300, false, false, 0}, raster, &hook), Raster_Outcome::Cancelled);
    EXPECT_EQ(calls, 3);
}

TEST(GifLzw, MatchesTheClassicDecoderOnDamagedData) {
    std::mt19937 random(20240601);
    int compared = 0;
    for (int round = 0; round < 3000; ++round) {
        const int code_size = static_cast<int>(random() % 12);
        Raster_Format format;
        format.width = 1 + static_cast<int>(random() % 40);
        format.height = 1 + static_cast<int>(random() % 40);
        format.interlaced = random() % 2 == 0;
        format.transparent = random() % 2 == 0;
        format.transparent_index = static_cast<std::uint8_t>(random() % 8);
        std::vector<std::uint8_t> data;
        const int kind = static_cast<int>(random() % 3);
        if (kind == 0 && code_size >= 2 && code_size <= 8) {
            // A valid stream with a few bytes spoilt.
            TLZWOptions options;
            options.Sub_Block_Sizes = {1 + static_cast<int>(random() % 255), 1 + static_cast<int>(random() % 9)};
            options.Clear_When_Full = random() % 2 == 0;
            const std::size_t count = static_cast<std::size_t>(format.width * format.height);
            data = Encoded_Data(Sequence(count, 1 << code_size), code_size, options);
            for (int k = static_cast<int>(random() % 4); k > 0; --k)
                data[1 + random() % (data.size() - 1)] ^= static_cast<std::uint8_t>(1 + random() % 255);
        } else {
            // Random codes in random sub-blocks.
            std::vector<std::uint8_t> bytes(1 + random() % 600);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            data.push_back(static_cast<std::uint8_t>(code_size));
            const auto blocks = Pack_Sub_Blocks(bytes, {1 + static_cast<int>(random() % 255), 1});
            data.insert(data.end(), blocks.begin(), blocks.end());
        }
        if (random() % 4 == 0) data.resize(random() % data.size());
        const Decoded fast = Decode(data, format);
        const Decoded model = Model_Decoder(data, format).Run();
        ASSERT_EQ(Raster_Usable(fast.Outcome), Raster_Usable(model.Outcome)) << round;
        if (!Raster_Usable(fast.Outcome)) continue;
        ASSERT_EQ(fast.Pixels, model.Pixels) << "round " << round << " code size " << code_size;
        ASSERT_EQ(fast.Mask, model.Mask) << "round " << round;
        ASSERT_EQ(fast.End_Position, model.End_Position) << "round " << round;
        ++compared;
    }
    EXPECT_GT(compared, 2500);
}

namespace {

// Pictures whose strings end at every place in a row: one colour (every code
// is the entry just being made, and strings grow by one each time), long
// runs of random length (strings longer than any short copy), photo-like,
// and a repeating sequence.
std::vector<std::uint8_t> Content(int kind, int width, int height, int bits, unsigned seed) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const int colors = 1 << bits;
    std::mt19937 random(seed);
    switch (kind) {
        case 0:
            return std::vector<std::uint8_t>(count, static_cast<std::uint8_t>(colors - 1));
        case 1: {
            std::vector<std::uint8_t> out;
            while (out.size() < count) {
                const std::size_t run = 1 + random() % 300;
                out.insert(out.end(), std::min(run, count - out.size()),
                           static_cast<std::uint8_t>(random() % static_cast<unsigned>(colors)));
            }
            return out;
        }
        case 2:
            return Photo_Like(width, height, bits, seed);
        default:
            return Sequence(count, colors);
    }
}

void Expect_Same_As_Model(const std::vector<std::uint8_t>& data, const Raster_Format& format, const std::string& what) {
    const Decoded fast = Decode(data, format);
    const Decoded model = Model_Decoder(data, format).Run();
    ASSERT_EQ(Raster_Usable(fast.Outcome), Raster_Usable(model.Outcome)) << what;
    if (!Raster_Usable(fast.Outcome)) return;
    ASSERT_EQ(fast.Pixels, model.Pixels) << what;
    ASSERT_EQ(fast.Mask, model.Mask) << what;
    ASSERT_EQ(fast.End_Position, model.End_Position) << what;
    if (model.Outcome == Raster_Outcome::Complete) {
        ASSERT_EQ(fast.Outcome, Raster_Outcome::Complete) << what;
    }
    // The row padding stays 0 whatever was copied near the row ends.
    const std::size_t stride = fast.Raster.row_stride;
    for (int y = 0; y < format.height; ++y)
        for (std::size_t x = static_cast<std::size_t>(format.width); x < stride; ++x)
            ASSERT_EQ(fast.Raster.pixels[static_cast<std::size_t>(y) * stride + x], 0) << what << " padding row " << y;
}

}  // namespace

TEST(GifLzw, CopiedStringsAtRowEndsMatchTheClassicDecoder) {
    // Widths around the short-copy size and odd ones; heights that make the
    // interlace passes end at different places; the data whole, cut short
    // after some pixels (with and without an end code), or truncated.
    std::mt19937 random(77);
    int compared = 0;
    for (const int width : {1, 2, 3, 7, 15, 16, 17, 18, 31, 32, 33, 47, 64, 100, 257}) {
        for (const int code_size : {2, 5, 8}) {
            for (int kind = 0; kind < 4; ++kind) {
                const int height = 1 + static_cast<int>(random() % 23);
                const std::size_t count = static_cast<std::size_t>(width * height);
                const std::vector<std::uint8_t> pixels =
                    Content(kind, width, height, code_size, static_cast<unsigned>(width * 31 + kind));
                Raster_Format format{width, height, random() % 2 == 0, random() % 2 == 0,
                                     static_cast<std::uint8_t>(pixels[random() % count])};
                for (int cut = 0; cut < 4; ++cut) {
                    TLZWOptions options;
                    options.Sub_Block_Sizes = {1 + static_cast<int>(random() % 255)};
                    if (cut == 1 || cut == 2) {
                        options.End_After = random() % count;
                        options.End_Code = cut == 1;
                    }
                    std::vector<std::uint8_t> data = Encoded_Data(pixels, code_size, options);
                    if (cut == 3) data.resize(1 + random() % (data.size() - 1));
                    Expect_Same_As_Model(data, format,
                                         "width " + std::to_string(width) + " code size " + std::to_string(code_size) +
                                             " kind " + std::to_string(kind) + " cut " + std::to_string(cut));
                    if (HasFatalFailure()) return;
                    ++compared;
                }
            }
        }
    }
    EXPECT_EQ(compared, 15 * 3 * 4 * 4);
}

TEST(GifLzw, FullTableWithoutClearCodeMatchesTheClassicDecoder) {
    // The table fills at 4096 and stays; codes keep pointing at strings
    // written long before, in other rows and passes.
    TLZWOptions no_clear;
    no_clear.Clear_When_Full = false;
    for (const bool interlaced : {false, true}) {
        for (int kind = 1; kind < 4; ++kind) {
            const int width = 240, height = 170;
            const std::vector<std::uint8_t> pixels = Content(kind, width, height, 8, 5u + static_cast<unsigned>(kind));
            const std::vector<std::uint8_t> data = Encoded_Data(pixels, 8, no_clear);
            Expect_Same_As_Model(data, {width, height, interlaced, true, pixels[77]},
                                 "kind " + std::to_string(kind) + (interlaced ? " interlaced" : ""));
            if (HasFatalFailure()) return;
            if (!interlaced) {
                const Decoded d = Decode(data, {width, height, false, false, 0});
                EXPECT_EQ(d.Pixels, pixels) << kind;
            }
        }
    }
}

TEST(GifLzw, RawValueAboveTheColoursIsNotTransparent) {
    // Code size 8 (clear 256, end 257).  After a clear code the next code is
    // a pixel as it is: 263 is written as 7, but it is not index 7, so its
    // mask bit stays clear while the 7s around it are marked.
    const int width = 20;
    const std::vector<int> codes = {256, 7, 7, 7, 256, 263, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 257};
    const std::vector<std::uint8_t> data = Image_Data(8, codes);
    const Raster_Format format{width, 1, false, true, 7};
    const Decoded d = Decode(data, format);
    ASSERT_TRUE(Raster_Usable(d.Outcome));
    for (int x = 0; x < width; ++x) {
        EXPECT_EQ(d.Pixels[static_cast<std::size_t>(x)], 7) << x;
        EXPECT_EQ(d.Mask[static_cast<std::size_t>(x)], x != 3) << x;
    }
    Expect_Same_As_Model(data, format, "raw value");
}

}  // namespace velbrook

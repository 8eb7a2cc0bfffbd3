// The GIF stream parser: header, screen descriptor, colour tables, extensions
// and image descriptors in, frames out.  Portable: it knows no window system.
// The Windows control wraps one Gif_Decoder and turns each frame's rows into
// its bitmap and mask as the frame is finished.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <vector>

#include "gif/gif_byte_reader.h"
#include "gif/gif_lzw.h"

namespace velbrook {

enum class TGIFVersion { gvGIF87a, gvGIF89a };

// 256 RGB triples (red, green, blue).
using Gif_Palette = std::array<std::uint8_t, 768>;

// One frame, decoded once at load time; composition and painting work from
// it and never decode again.
struct TGIFFrame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int ColorBits = 0;  // bits of the local colour table; 0 without one
    bool HasLocalPalette = false;
    const Gif_Palette* Palette = nullptr;  // local_palette, or the decoder's GlobalPalette
    bool Interlaced = false;
    std::uint8_t Disposal = 0;  // 0..3
    int Delay = 0;              // milliseconds
    bool Transparent = false;
    std::uint8_t TransparentIndex = 0;

    // Number of colour table entries the frame's bitmap carries is
    // 2^bitmap_color_bits: the local table's bits, or the global bits as they
    // stood when the frame was read.
    int bitmap_color_bits = 0;
    Gif_Raster raster;  // bottom-up pixel rows and, when Transparent, mask rows

    std::unique_ptr<Gif_Palette> local_palette;

    // Palette index and transparency at picture coordinates within the frame
    // (row 0 at the top).
    std::uint8_t Index_At(int x, int y) const {
        return raster
            .pixels[static_cast<std::size_t>(Height - 1 - y) * raster.row_stride + static_cast<std::size_t>(x)];
    }
    bool Is_Transparent_At(int x, int y) const {
        if (!Transparent) return false;
        const std::uint8_t byte =
            raster
                .mask[static_cast<std::size_t>(Height - 1 - y) * raster.mask_stride + static_cast<std::size_t>(x) / 8];
        return (byte & (0x80u >> (x % 8))) != 0;
    }
};

// Loading progress: the read position and size of the bytes being parsed, the
// percentage, and a flag the handler clears to cancel the load.
using Load_Progress_Event =
    std::function<void(int BytesProcessed, int BytesToProcess, int PercentageProcessed, bool& KeepOnProcessing)>;

// Called when a frame's rows are done, before the next block is read.  False
// means the frame's bitmaps could not be built: the frame is dropped and
// parsing stops, keeping the frames before it.
using Frame_Built_Event = std::function<bool(const TGIFFrame& frame)>;

class Gif_Decoder {
public:
    static constexpr int Max_Frames = 256;

    Gif_Decoder() = default;
    Gif_Decoder(const Gif_Decoder&) = delete;
    Gif_Decoder& operator=(const Gif_Decoder&) = delete;

    // Settings.
    bool FirstImageOnly = false;
    Load_Progress_Event OnProgress;
    Frame_Built_Event On_Frame_Built;
    // Called when a frame's descriptor is read, its place and size known but
    // not its pixels.  False drops the frame before anything is decoded or
    // allocated for it, and parsing stops, as when it passes the budget.
    Frame_Built_Event On_Frame_Placed;
    // Decoded raster bytes allowed for one load.  A frame that would pass it
    // cannot be built: it is dropped and parsing stops.
    std::size_t raster_budget = std::size_t{512} * 1024 * 1024;

    // Parses bytes.  True when at least one frame was decoded.  On false the
    // decoder holds no picture and no stored data.  Never throws for bad data.
    bool ReadImage(std::span<const std::uint8_t> bytes);

    // Drops the picture (frames, stored data, counters); keeps GlobalPalette
    // and Version, as a fresh load only overwrites what it reads.
    void ClearImage();

    // The stored form of the picture's bytes: a 4-byte little-endian signed
    // length, then the GIF.  ReadData takes a length of 0 or less as nothing
    // to add; it returns false, storing nothing, when fewer bytes follow than
    // the length says.
    bool ReadData(std::istream& source);
    void WriteData(std::ostream& target) const;
    const std::vector<std::uint8_t>& DataStream() const { return data_stream_; }
    void Set_Data_Stream(std::vector<std::uint8_t> bytes) { data_stream_ = std::move(bytes); }

    bool Empty() const { return empty_; }
    TGIFVersion Version() const { return version_; }
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    const TGIFFrame& Frame(int index) const { return *frames_.at(static_cast<std::size_t>(index - 1)); }
    int LogicalWidth() const { return logical_width_; }
    int LogicalHeight() const { return logical_height_; }
    int GlobalColorBits() const { return global_color_bits_; }
    const Gif_Palette& GlobalPalette() const { return global_palette_; }
    int LoopCount() const { return loop_count_; }
    bool MultiFrame() const { return multi_frame_; }
    bool HasTransparency() const { return has_transparency_; }

private:
    enum class Frame_Result { Loaded, Bad_Descriptor, Failed };

    bool Parse(Gif_Byte_Reader& stream);
    void Read_Extension(Gif_Byte_Reader& stream, std::uint8_t label);
    Frame_Result Load_Frame(TGIFFrame& frame, Gif_Byte_Reader& stream, std::size_t& budget);
    bool Progress(const Gif_Byte_Reader& stream);

    std::vector<std::uint8_t> data_stream_;
    std::vector<std::unique_ptr<TGIFFrame>> frames_;
    bool empty_ = true;
    TGIFVersion version_ = TGIFVersion::gvGIF87a;
    int logical_width_ = 0;
    int logical_height_ = 0;
    int global_color_bits_ = 0;
    Gif_Palette global_palette_{};
    int loop_count_ = 1;
    bool multi_frame_ = false;
    bool has_transparency_ = false;
    bool keep_on_processing_ = true;
    std::array<std::uint8_t, 6> graphic_control_{};
};

// Skips sub-blocks (length byte, that many bytes) through the empty one.
void Skip_Sub_Blocks(Gif_Byte_Reader& stream);

}  // namespace velbrook

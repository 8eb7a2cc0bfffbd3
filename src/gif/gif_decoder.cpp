#include "gif/gif_decoder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <istream>
#include <new>
#include <ostream>

namespace velbrook {

namespace {

constexpr std::uint8_t Extension_Introducer = 0x21;  // '!'
constexpr std::uint8_t Image_Separator = 0x2C;       // ','
constexpr std::uint8_t Trailer = 0x3B;               // ';'
constexpr std::uint8_t Plain_Text_Label = 0x01;
constexpr std::uint8_t Graphic_Control_Label = 0xF9;
constexpr std::uint8_t Comment_Label = 0xFE;
constexpr std::uint8_t Application_Label = 0xFF;

int U16(const std::uint8_t* bytes) { return bytes[0] | (bytes[1] << 8); }

int Clamp_To_Int(std::size_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

}  // namespace

void Skip_Sub_Blocks(Gif_Byte_Reader& stream) {
    std::uint8_t length = 0;
    while (stream.Read_Byte(length) && length > 0) {
        if (stream.Skip(length) < length) return;
    }
}

void Gif_Decoder::ClearImage() {
    empty_ = true;
    frames_.clear();
    data_stream_.clear();
    loop_count_ = 1;
    keep_on_processing_ = true;
    global_color_bits_ = 0;
    has_transparency_ = false;
    multi_frame_ = false;
    logical_width_ = 0;
    logical_height_ = 0;
}

bool Gif_Decoder::ReadImage(std::span<const std::uint8_t> bytes) {
    ClearImage();
    graphic_control_ = {};
    try {
        data_stream_.assign(bytes.begin(), bytes.end());
    } catch (const std::bad_alloc&) {
        ClearImage();
        return false;
    }
    bool loaded = false;
    if (!data_stream_.empty()) {
        Gif_Byte_Reader stream(data_stream_);
        try {
            loaded = Parse(stream);
        } catch (const std::bad_alloc&) {
            loaded = false;
        }
    }
    if (!loaded) ClearImage();
    return loaded;
}

bool Gif_Decoder::Progress(const Gif_Byte_Reader& stream) {
    if (!OnProgress) return true;
    const std::size_t position = stream.Position();
    const std::size_t size = stream.Size();
    // In 64 bits: a 32-bit size_t would wrap position * 100 past 42 MB.
    const std::uint64_t percent =
        size == 0 ? 100 : (std::uint64_t{position} * 100 + std::uint64_t{size} / 2) / std::uint64_t{size};
    OnProgress(Clamp_To_Int(position), Clamp_To_Int(size), static_cast<int>(percent), keep_on_processing_);
    return keep_on_processing_;
}

bool Gif_Decoder::Parse(Gif_Byte_Reader& stream) {
    std::uint8_t header[6];
    if (!stream.Read_Exact(header, sizeof header)) return false;
    if (std::memcmp(header, "GIF", 3) != 0) return false;
    version_ = header[4] == '9' ? TGIFVersion::gvGIF89a : TGIFVersion::gvGIF87a;

    std::uint8_t screen[7];
    if (!stream.Read_Exact(screen, sizeof screen)) return false;
    const int screen_width = U16(screen);
    const int screen_height = U16(screen + 2);
    const std::uint8_t screen_flags = screen[4];
    if ((screen_flags & 0x80) != 0) {
        global_color_bits_ = (screen_flags & 7) + 1;
        // Entries past a short table keep what they held.
        if (!stream.Read_Exact(global_palette_.data(), std::size_t{3} << global_color_bits_)) return false;
    } else {
        global_palette_.fill(0);
    }

    std::size_t budget = raster_budget;
    while (!stream.At_End() && keep_on_processing_) {
        if (!Progress(stream)) return false;
        std::uint8_t pair[2] = {0, 0};
        const std::size_t got = stream.Read(pair, 2);
        if (pair[0] == Extension_Introducer) {
            if (got == 2) Read_Extension(stream, pair[1]);
        } else if (pair[0] == Image_Separator) {
            stream.Step_Back(got);
            if (FrameCount() == Max_Frames) break;
            auto frame = std::make_unique<TGIFFrame>();
            const Frame_Result result = Load_Frame(*frame, stream, budget);
            if (result == Frame_Result::Bad_Descriptor) {
                stream.Seek_End();
                Progress(stream);
                return false;
            }
            if (result == Frame_Result::Failed) break;  // the frames before it are the picture
            global_color_bits_ = std::max(global_color_bits_, frame->ColorBits);
            has_transparency_ = has_transparency_ || frame->Transparent;
            frames_.push_back(std::move(frame));
            if (FirstImageOnly) {
                stream.Seek_End();
                break;
            }
            // A frame without a graphic control extension of its own gets zeros.
            graphic_control_ = {};
        } else if (pair[0] == Trailer) {
            break;
        }
    }
    if (!Progress(stream)) return false;
    if (frames_.empty()) return false;

    logical_width_ = screen_width;
    logical_height_ = screen_height;
    for (const auto& frame : frames_) {
        logical_width_ = std::max(logical_width_, frame->Left + frame->Width);
        logical_height_ = std::max(logical_height_, frame->Top + frame->Height);
    }
    multi_frame_ = frames_.size() > 1;
    empty_ = false;
    return true;
}

void Gif_Decoder::Read_Extension(Gif_Byte_Reader& stream, std::uint8_t label) {
    switch (label) {
        case Graphic_Control_Label:
            stream.Read(graphic_control_.data(), graphic_control_.size());
            return;
        case Application_Label: {
            std::uint8_t size = 0;
            if (!stream.Read_Byte(size)) return;
            std::uint8_t identifier[255];
            const std::size_t got = stream.Read(identifier, size);
            std::uint8_t length = 0;
            if (!stream.Read_Byte(length)) return;
            if (got >= 11 && std::memcmp(identifier, "NETSCAPE2.0", 11) == 0) {
                std::uint8_t block[255];
                // The count is bytes 1-2 of the first sub-block; a block too short
                // to hold it leaves the count alone.
                if (stream.Read(block, length) == length && length >= 3) loop_count_ = U16(block + 1);
                if (!stream.Read_Byte(length)) return;
            }
            while (length > 0) {
                if (stream.Skip(length) < length || !stream.Read_Byte(length)) return;
            }
            return;
        }
        case Comment_Label:
            Skip_Sub_Blocks(stream);
            return;
        case Plain_Text_Label: {
            std::uint8_t size = 0;
            if (!stream.Read_Byte(size) || stream.Skip(size) < size) return;
            Skip_Sub_Blocks(stream);
            return;
        }
        default:
            // An extension we do not know: its sub-blocks are skipped, so that a
            // valid GIF carrying one still loads.
            Skip_Sub_Blocks(stream);
            return;
    }
}

Gif_Decoder::Frame_Result Gif_Decoder::Load_Frame(TGIFFrame& frame, Gif_Byte_Reader& stream, std::size_t& budget) {
    std::uint8_t descriptor[10];
    if (!stream.Read_Exact(descriptor, sizeof descriptor)) return Frame_Result::Failed;
    const int width = U16(descriptor + 5);
    const int height = U16(descriptor + 7);
    if (descriptor[0] != Image_Separator || width == 0 || height == 0) return Frame_Result::Bad_Descriptor;
    if (width > Gif_Max_Frame_Side || height > Gif_Max_Frame_Side) return Frame_Result::Failed;

    frame.Left = U16(descriptor + 1);
    frame.Top = U16(descriptor + 3);
    frame.Width = width;
    frame.Height = height;
    const std::uint8_t flags = descriptor[9];
    if ((flags & 0x80) != 0) {
        frame.HasLocalPalette = true;
        frame.ColorBits = (flags & 7) + 1;
        frame.local_palette = std::make_unique<Gif_Palette>();
        frame.local_palette->fill(0);
        stream.Read(frame.local_palette->data(), std::size_t{3} << frame.ColorBits);
        frame.Palette = frame.local_palette.get();
    } else {
        frame.HasLocalPalette = false;
        frame.ColorBits = 0;
        frame.Palette = &global_palette_;
    }
    frame.Interlaced = (flags & 0x40) != 0;

    const std::uint8_t control = graphic_control_[1];
    const std::uint8_t disposal = (control >> 2) & 7;
    frame.Disposal = disposal <= 3 ? disposal : 2;
    frame.Delay = U16(graphic_control_.data() + 2) * 10;
    frame.Transparent = (control & 1) != 0;
    frame.TransparentIndex = graphic_control_[4];
    frame.bitmap_color_bits = frame.HasLocalPalette ? frame.ColorBits : global_color_bits_;

    if (On_Frame_Placed && !On_Frame_Placed(frame)) return Frame_Result::Failed;

    // Sizes are at most 16384 on a side here, so these products fit.
    const auto rows = static_cast<std::size_t>(height);
    std::size_t needed = rows * Gif_Row_Stride(width);
    if (frame.Transparent) needed += rows * Gif_Mask_Stride(width);
    if (needed > budget) return Frame_Result::Failed;
    budget -= needed;

    const Raster_Format format{width, height, frame.Interlaced, frame.Transparent, frame.TransparentIndex};
    const Raster_Progress hook = [this, &stream] { return Progress(stream); };
    const Raster_Outcome outcome = DecodeRaster(stream, format, frame.raster, OnProgress ? &hook : nullptr);
    if (!Raster_Usable(outcome)) return Frame_Result::Failed;
    if (On_Frame_Built && !On_Frame_Built(frame)) return Frame_Result::Failed;
    return Frame_Result::Loaded;
}

bool Gif_Decoder::ReadData(std::istream& source) {
    std::uint8_t length_bytes[4];
    source.read(reinterpret_cast<char*>(length_bytes), sizeof length_bytes);
    if (source.gcount() != static_cast<std::streamsize>(sizeof length_bytes)) return false;
    const auto length = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(length_bytes[0]) | static_cast<std::uint32_t>(length_bytes[1]) << 8 |
        static_cast<std::uint32_t>(length_bytes[2]) << 16 | static_cast<std::uint32_t>(length_bytes[3]) << 24);
    if (length <= 0) return true;
    // Read in pieces, so that a length larger than what follows costs no
    // more memory than the bytes that are really there.
    std::vector<std::uint8_t> bytes;
    const auto wanted = static_cast<std::size_t>(length);
    constexpr std::size_t Piece = 64 * 1024;
    while (bytes.size() < wanted) {
        const std::size_t start = bytes.size();
        const std::size_t count = std::min(Piece, wanted - start);
        bytes.resize(start + count);
        source.read(reinterpret_cast<char*>(bytes.data() + start), static_cast<std::streamsize>(count));
        if (source.gcount() != static_cast<std::streamsize>(count)) return false;
    }
    data_stream_ = std::move(bytes);
    return true;
}

void Gif_Decoder::WriteData(std::ostream& target) const {
    if (data_stream_.empty()) return;
    const auto length = static_cast<std::uint32_t>(data_stream_.size());
    const char length_bytes[4] = {static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
                                  static_cast<char>((length >> 16) & 0xFF), static_cast<char>(length >> 24)};
    target.write(length_bytes, sizeof length_bytes);
    target.write(reinterpret_cast<const char*>(data_stream_.data()), static_cast<std::streamsize>(data_stream_.size()));
}

}  // namespace velbrook

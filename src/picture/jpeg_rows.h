#pragma once
// A JPEG read a band of rows at a time, straight from its file: libjpeg's
// scanline reading at the scale chosen for the picture's place, fed from a
// source of bytes as it asks for them, so that neither the file nor the
// decoded picture is ever held whole.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace velbrook {

// The bytes of a file, read in order.
class Byte_Source {
public:
    virtual ~Byte_Source() = default;
    // Up to `size` next bytes into `into`; 0 at the end, or when the rest
    // cannot be read.
    virtual std::size_t Read(std::uint8_t* into, std::size_t size) noexcept = 0;
};

class Span_Source final : public Byte_Source {
public:
    explicit Span_Source(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) noexcept override;

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// What the file's markers show when followed, segment by segment and
// through every scan, from its start.  For a whole file, `length` (when
// given) receives its bytes from the start through the end-of-image marker:
// what comes after is no part of the picture.
enum class Jpeg_Markers {
    Whole,           // they lead to the end-of-image marker
    Cut_Short,       // the file ends, or another picture begins, first
    Too_Many_Scans,  // more start-of-scan markers than Max_Jpeg_Scans come first
};
Jpeg_Markers Walk_Jpeg_Markers(Byte_Source& source, std::uint64_t* length = nullptr);

// Throws Invalid_Picture unless the walk finds the file whole: a file cut
// short or made of more scans than any encoder writes is known before any
// drawing begins.
void Require_Whole_Jpeg(Byte_Source& source);

class Jpeg_Rows {
public:
    // Reads the header from `source` (which must outlive the rows) and
    // prepares rows at the libjpeg scale Choose_Jpeg_Scale gives for a place
    // of target_w x target_h (0 or less: full size).  Throws Invalid_Picture
    // when the header cannot be read.
    Jpeg_Rows(Byte_Source& source, int target_w, int target_h);
    ~Jpeg_Rows();
    Jpeg_Rows(const Jpeg_Rows&) = delete;
    Jpeg_Rows& operator=(const Jpeg_Rows&) = delete;

    int Stored_Width() const;
    int Stored_Height() const;
    int Width() const;  // the rows as decoded
    int Height() const;
    int Next_Row() const { return next_; }
    // The fewest bytes of data a whole picture of this size needs: Huffman
    // coding spends at least one bit on every 8 x 8 block of every
    // component.  0 for arithmetic coding, which has no such floor.  A file
    // shorter than this claims a size its data cannot hold.
    std::uint64_t Least_Data_Bytes() const;
    // The next `count` rows as BGR, `stride` bytes apart.  Data that ends
    // early or is damaged gives the rest as libjpeg fills it, mid grey; a
    // decoder that gives up entirely leaves the rest mid grey too.  Never
    // throws for the file's content.
    void Read(std::uint8_t* rows, std::size_t stride, int count);
    // The data ended early, was damaged, or could not be read.
    bool Damaged() const;
    // The start-of-scan markers read so far.  A picture whose first scan
    // holds every component is whole after it, and the scans after that are
    // never read; past Max_Jpeg_Scans the reading stops as damaged.
    int Scans_Read() const;

private:
    struct State;
    std::unique_ptr<State> state_;
    int next_ = 0;
};

}  // namespace velbrook

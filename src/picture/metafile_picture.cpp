// Enhanced and Windows metafiles, checked record by record before GDI sees
// them (a record that claims more bytes than the file holds must never reach
// the player), and kept as one enhanced metafile that is played into the
// target rectangle.

#include "picture/byte_reader.h"
#include "picture/picture_kinds.h"

namespace velbrook {
namespace {

class Metafile_Picture final : public Picture {
public:
    explicit Metafile_Picture(Enh_Metafile_Handle metafile) : metafile_(std::move(metafile)) {
        ENHMETAHEADER header{};
        ::GetEnhMetaFileHeader(metafile_.get(), sizeof header, &header);
        // The frame is in 0.01 mm; the screen's size in millimetres and pixels
        // turns it into pixels.
        const Window_Dc screen(nullptr);
        const int mm_w = ::GetDeviceCaps(screen.get(), HORZSIZE), mm_h = ::GetDeviceCaps(screen.get(), VERTSIZE);
        const int px_w = ::GetDeviceCaps(screen.get(), HORZRES), px_h = ::GetDeviceCaps(screen.get(), VERTRES);
        const long long frame_w = header.rclFrame.right - header.rclFrame.left;
        const long long frame_h = header.rclFrame.bottom - header.rclFrame.top;
        size_ = {mm_w > 0 ? static_cast<LONG>(frame_w * px_w / (mm_w * 100LL)) : 0,
                 mm_h > 0 ? static_cast<LONG>(frame_h * px_h / (mm_h * 100LL)) : 0};
    }
    Picture_Kind Kind() const override { return Picture_Kind::Metafile; }
    bool Scalable() const override { return true; }
    SIZE Pixel_Size() const override { return size_; }
    bool Render(HDC dc, const RECT& target) const override {
        if (target.right <= target.left || target.bottom <= target.top) return true;
        Dc_State_Guard state(dc);
        ::SetStretchBltMode(dc, HALFTONE);  // for bitmaps inside the metafile that are reduced
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        return ::PlayEnhMetaFile(dc, metafile_.get(), &target) != FALSE;
    }

private:
    Enh_Metafile_Handle metafile_;
    SIZE size_{};
};

[[noreturn]] void Invalid(const wchar_t* reason) { throw Invalid_Picture(reason); }

constexpr std::uint32_t Emr_Header = 1, Emr_Eof = 14, Enh_Signature = 0x464D4520;
constexpr std::uint32_t Placeable_Key = 0x9AC6CDD7;
constexpr std::size_t Placeable_Size = 22, Meta_Header_Size = 18;

}  // namespace

std::shared_ptr<const Picture> Make_Emf_Picture(std::span<const std::uint8_t> bytes) {
    Byte_Reader in(bytes);
    if (bytes.size() < 88) Invalid(L"the file is too short for an enhanced metafile");
    if (in.U32(0) != Emr_Header || in.U32(40) != Enh_Signature) Invalid(L"the metafile header is missing");
    const std::uint32_t header_size = in.U32(4), total = in.U32(48), records = in.U32(52);
    if (header_size < 88 || header_size % 4 != 0 || header_size > total) Invalid(L"the metafile header has a wrong size");
    if (total > bytes.size() || total % 4 != 0) Invalid(L"the metafile claims more bytes than the file holds");
    std::size_t at = 0;
    std::uint32_t count = 0, last = 0;
    while (at < total) {
        const std::uint32_t size = in.U32(at + 4);
        if (size < 8 || size % 4 != 0 || size > total - at) Invalid(L"a metafile record has a wrong size");
        last = in.U32(at);
        at += size;
        ++count;
    }
    if (last != Emr_Eof) Invalid(L"the metafile has no end record");
    if (count != records) Invalid(L"the metafile's record count is wrong");
    Enh_Metafile_Handle metafile(::SetEnhMetaFileBits(total, bytes.data()));
    if (!metafile) Invalid(L"the system refused the metafile");
    return std::make_shared<Metafile_Picture>(std::move(metafile));
}

std::shared_ptr<const Picture> Make_Wmf_Picture(std::span<const std::uint8_t> bytes) {
    Byte_Reader in(bytes);
    std::size_t start = 0;
    METAFILEPICT picture{};
    bool placeable = bytes.size() >= 4 && in.U32(0) == Placeable_Key;
    if (placeable) {
        in.Need(0, Placeable_Size, L"the placeable header");
        std::uint16_t checksum = 0;
        for (std::size_t k = 0; k < 20; k += 2) checksum ^= in.U16(k);
        if (checksum != in.U16(20)) Invalid(L"the placeable header's checksum is wrong");
        const int left = in.I16(6), top = in.I16(8), right = in.I16(10), bottom = in.I16(12);
        const int per_inch = in.U16(14);
        if (right <= left || bottom <= top || per_inch == 0) Invalid(L"the placeable header has no size");
        // The suggested size in 0.01 mm, as SetWinMetaFileBits wants it.
        picture.mm = MM_ANISOTROPIC;
        picture.xExt = static_cast<LONG>((right - left) * 2540LL / per_inch);
        picture.yExt = static_cast<LONG>((bottom - top) * 2540LL / per_inch);
        start = Placeable_Size;
    }
    in.Need(start, Meta_Header_Size, L"the metafile header");
    const std::uint16_t type = in.U16(start), header_words = in.U16(start + 2), version = in.U16(start + 4);
    const std::uint64_t size_words = in.U32(start + 6);
    if ((type != 1 && type != 2) || header_words != 9 || (version != 0x0100 && version != 0x0300))
        Invalid(L"the metafile header is missing");
    const std::uint64_t total = size_words * 2;
    if (total < Meta_Header_Size || total > bytes.size() - start) Invalid(L"the metafile claims more bytes than the file holds");
    std::size_t at = start + Meta_Header_Size;
    const std::size_t end = start + static_cast<std::size_t>(total);
    bool ended = false;
    while (!ended) {
        if (end - at < 6) Invalid(L"the metafile has no end record");
        const std::uint64_t words = in.U32(at);
        const std::uint16_t function = in.U16(at + 4);
        if (words < 3 || words * 2 > end - at) Invalid(L"a metafile record has a wrong size");
        ended = function == 0;
        at += static_cast<std::size_t>(words * 2);
    }
    Enh_Metafile_Handle metafile(::SetWinMetaFileBits(static_cast<UINT>(total), bytes.data() + start, nullptr,
                                                      placeable ? &picture : nullptr));
    if (!metafile) Invalid(L"the system refused the metafile");
    return std::make_shared<Metafile_Picture>(std::move(metafile));
}

}  // namespace velbrook

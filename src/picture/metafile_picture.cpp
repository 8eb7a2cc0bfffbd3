// Enhanced and Windows metafiles, checked record by record before GDI sees
// them (metafile_check: a record that claims more bytes than the file holds
// must never reach the player), and kept as one enhanced metafile that is
// played into the target rectangle, its escape records left out.

#include "picture/metafile_check.h"
#include "picture/metafile_records.h"
#include "picture/picture_kinds.h"

namespace velbrook {
namespace {

int CALLBACK Play_Record(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int objects, LPARAM) {
    if (Is_Emf_Escape_Record(record->iType)) return TRUE;
    return ::PlayEnhMetaFileRecord(dc, table, record, static_cast<UINT>(objects));
}

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
        // In 64 bits: the system's frame of a converted Windows metafile is
        // not the one the checks bounded.
        const long long frame_w = static_cast<long long>(header.rclFrame.right) - header.rclFrame.left;
        const long long frame_h = static_cast<long long>(header.rclFrame.bottom) - header.rclFrame.top;
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
        // Record by record, as the system's player goes, but escapes stay
        // out: they would reach the printer's driver as they are.
        return ::EnumEnhMetaFile(dc, metafile_.get(), Play_Record, nullptr, &target) != FALSE;
    }

private:
    Enh_Metafile_Handle metafile_;
    SIZE size_{};
};

}  // namespace

std::shared_ptr<const Picture> Make_Emf_Picture(std::span<const std::uint8_t> bytes) {
    const std::span<const std::uint8_t> metafile = Check_Emf(bytes);
    Enh_Metafile_Handle handle(::SetEnhMetaFileBits(static_cast<UINT>(metafile.size()), metafile.data()));
    if (!handle) Invalid(L"the system refused the metafile");
    return std::make_shared<Metafile_Picture>(std::move(handle));
}

std::shared_ptr<const Picture> Make_Wmf_Picture(std::span<const std::uint8_t> bytes) {
    const Checked_Wmf checked = Check_Wmf(bytes);
    METAFILEPICT picture{};
    if (checked.frame) {
        // The suggested size in 0.01 mm, as SetWinMetaFileBits wants it.
        const Wmf_Frame& frame = *checked.frame;
        picture.mm = MM_ANISOTROPIC;
        picture.xExt = static_cast<LONG>((frame.right - frame.left) * 2540LL / frame.units_per_inch);
        picture.yExt = static_cast<LONG>((frame.bottom - frame.top) * 2540LL / frame.units_per_inch);
    }
    Enh_Metafile_Handle handle(::SetWinMetaFileBits(static_cast<UINT>(checked.metafile.size()), checked.metafile.data(),
                                                    nullptr, checked.frame ? &picture : nullptr));
    if (!handle) Invalid(L"the system refused the metafile");
    return std::make_shared<Metafile_Picture>(std::move(handle));
}

}  // namespace velbrook

// Icons (".ico"): the largest image of the file (icon_parse.h), made into
// an icon by the system and drawn stretched with DrawIconEx.

#include "picture/icon_parse.h"
#include "picture/picture_kinds.h"

namespace velbrook {
namespace {

class Icon_Picture final : public Picture {
public:
    Icon_Picture(Icon_Handle icon, SIZE size) : icon_(std::move(icon)), size_(size) {}
    Picture_Kind Kind() const override { return Picture_Kind::Icon; }
    bool Scalable() const override { return true; }
    SIZE Pixel_Size() const override { return size_; }
    bool Render(HDC dc, const RECT& target) const override {
        const int w = target.right - target.left, h = target.bottom - target.top;
        if (w <= 0 || h <= 0) return true;
        return ::DrawIconEx(dc, target.left, target.top, icon_.get(), w, h, 0, nullptr, DI_NORMAL) != FALSE;
    }

private:
    Icon_Handle icon_;
    SIZE size_;
};

}  // namespace

std::shared_ptr<const Picture> Make_Icon_Picture(std::span<const std::uint8_t> bytes) {
    const Icon_Image image = Parse_Icon(bytes);
    Icon_Handle icon(::CreateIconFromResourceEx(const_cast<PBYTE>(bytes.data() + image.offset),
                                                static_cast<DWORD>(image.length), TRUE, 0x00030000, image.width,
                                                image.height, LR_DEFAULTCOLOR));
    if (!icon) throw Invalid_Picture(L"the system refused the icon image");
    return std::make_shared<Icon_Picture>(std::move(icon), SIZE{image.width, image.height});
}

}  // namespace velbrook

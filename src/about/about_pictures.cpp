#include "about/about_pictures.h"

#include <vector>

namespace velbrook {

Bitmap_Drawable::Bitmap_Drawable(Bitmap_Handle bitmap) : bitmap_(std::move(bitmap)) {
    BITMAP info{};
    if (bitmap_ && ::GetObjectW(bitmap_.get(), sizeof info, &info)) size_ = {info.bmWidth, info.bmHeight};
}

void Bitmap_Drawable::Draw(HDC dc, const RECT& target) const {
    if (!bitmap_) return;
    Dc_Handle source(::CreateCompatibleDC(dc));
    Select_Guard select(source.get(), bitmap_.get());
    int old_mode = ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, source.get(), 0,
                 0, size_.cx, size_.cy, SRCCOPY);
    ::SetStretchBltMode(dc, old_mode);
}

void Metafile_Drawable::Draw(HDC dc, const RECT& target) const {
    if (metafile_) ::PlayEnhMetaFile(dc, metafile_.get(), &target);
}

std::shared_ptr<const Metafile_Drawable> Make_Banner(int width, int height) {
    Window_Dc screen(nullptr);
    // The frame is given in hundredths of a millimetre.
    int mm_x = ::GetDeviceCaps(screen.get(), HORZSIZE), px_x = ::GetDeviceCaps(screen.get(), HORZRES);
    int mm_y = ::GetDeviceCaps(screen.get(), VERTSIZE), px_y = ::GetDeviceCaps(screen.get(), VERTRES);
    RECT frame{0, 0, ::MulDiv(width, mm_x * 100, px_x), ::MulDiv(height, mm_y * 100, px_y)};
    HDC recorder = ::CreateEnhMetaFileW(screen.get(), nullptr, &frame, L"Velbrook\0About banner\0");
    if (!recorder) return nullptr;
    // Forty bands from a light sky on the left to deep blue on the right.
    const int bands = 40;
    for (int i = 0; i < bands; ++i) {
        RECT band{width * i / bands, 0, width * (i + 1) / bands, height};
        int light = 255 - i * 150 / bands;
        Brush_Handle brush(::CreateSolidBrush(RGB(light * 3 / 5, light * 4 / 5, 255 - i * 60 / bands)));
        ::FillRect(recorder, &band, brush.get());
    }
    // A row of gold dots along the bottom edge, for a horizon.
    {
        Brush_Handle gold(::CreateSolidBrush(RGB(250, 200, 30)));
        Pen_Handle none(::CreatePen(PS_NULL, 0, 0));
        Select_Guard brush(recorder, gold.get());
        Select_Guard pen(recorder, none.get());
        for (int x = 8; x < width; x += 18) ::Ellipse(recorder, x, height - 12, x + 7, height - 5);
    }
    ::SetBkMode(recorder, TRANSPARENT);
    Font_Handle title(::CreateFontW(-(height * 3 / 5), 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                    ANTIALIASED_QUALITY, 0, L"Times New Roman"));
    Font_Handle motto(::CreateFontW(-(height / 4), 0, 0, 0, FW_NORMAL, TRUE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                    ANTIALIASED_QUALITY, 0, L"Times New Roman"));
    {
        Select_Guard font(recorder, title.get());
        RECT shadow{14, 4, width, height * 3 / 4 + 2};
        ::SetTextColor(recorder, RGB(20, 40, 90));
        ::DrawTextW(recorder, L"Velbrook", -1, &shadow, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        RECT text{12, 2, width, height * 3 / 4};
        ::SetTextColor(recorder, RGB(255, 255, 255));
        ::DrawTextW(recorder, L"Velbrook", -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    {
        Select_Guard font(recorder, motto.get());
        RECT text{0, 0, width - 16, height * 3 / 4};
        ::SetTextColor(recorder, RGB(255, 240, 170));
        ::DrawTextW(recorder, L"your pictures on paper, one to a page", -1, &text,
                    DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    Enh_Metafile_Handle metafile(::CloseEnhMetaFile(recorder));
    if (!metafile) return nullptr;
    return std::make_shared<const Metafile_Drawable>(std::move(metafile));
}

std::shared_ptr<const Bitmap_Drawable> Load_Bitmap_Resource(const wchar_t* name) {
    Bitmap_Handle bitmap(
        static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) return nullptr;
    return std::make_shared<const Bitmap_Drawable>(std::move(bitmap));
}

std::optional<std::pair<Glyph_Pixels, Glyph_Pixels>> Load_Glyph_Resource(const wchar_t* name) {
    auto picture = Load_Bitmap_Resource(name);
    if (!picture || picture->Size().cx != 32 || picture->Size().cy != 16) return std::nullopt;
    BITMAPINFO info = Top_Down_Dib_Info(32, 16);
    std::vector<std::uint32_t> pixels(32 * 16);
    Window_Dc screen(nullptr);
    if (::GetDIBits(screen.get(), picture->Handle(), 0, 16, pixels.data(), &info, DIB_RGB_COLORS) != 16)
        return std::nullopt;
    const std::uint32_t transparent = pixels[15 * 32] & 0xFFFFFF;
    std::pair<Glyph_Pixels, Glyph_Pixels> glyphs;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            for (int half = 0; half < 2; ++half) {
                std::uint32_t colour = pixels[static_cast<std::size_t>(y * 32 + half * 16 + x)] & 0xFFFFFF;
                Glyph_Pixels& glyph = half == 0 ? glyphs.first : glyphs.second;
                glyph[static_cast<std::size_t>(y * 16 + x)] = colour == transparent ? 0 : 0xFF000000 | colour;
            }
        }
    }
    return glyphs;
}

std::span<const std::uint8_t> Resource_Bytes(const wchar_t* name) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded) return {};
    const void* bytes = ::LockResource(loaded);
    if (!bytes) return {};
    return {static_cast<const std::uint8_t*>(bytes), ::SizeofResource(module, found)};
}

}  // namespace velbrook

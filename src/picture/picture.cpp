#include "picture/picture.h"

#include "picture/picture_file.h"
#include "picture/picture_kinds.h"
#include "picture_list/extension.h"

namespace velbrook {

bool Stretch_Dib(HDC dc, const RECT& target, const BITMAPINFO& info, const void* bits, int width, int height) {
    const int target_w = target.right - target.left, target_h = target.bottom - target.top;
    if (target_w <= 0 || target_h <= 0) return true;  // nothing to cover
    Dc_State_Guard state(dc);
    if (target_w < width || target_h < height) {
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        ::SetStretchBltMode(dc, COLORONCOLOR);
    }
    const int lines = ::StretchDIBits(dc, target.left, target.top, target_w, target_h, 0, 0, width, height, bits,
                                      &info, DIB_RGB_COLORS, SRCCOPY);
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

std::shared_ptr<const Picture> Load_Picture(const std::wstring& path, SIZE target) {
    if (path.empty()) throw Invalid_Picture(L"No picture file was named");
    const std::wstring extension = Lower_Ascii(File_Extension(path));
    enum class Kind { Bmp, Jpeg, Emf, Wmf, Ico } kind;
    const wchar_t* noun;
    if (extension == L".bmp") {
        kind = Kind::Bmp, noun = L"bitmap";
    } else if (extension == L".jpg" || extension == L".jpeg") {
        kind = Kind::Jpeg, noun = L"JPEG picture";
    } else if (extension == L".emf") {
        kind = Kind::Emf, noun = L"enhanced metafile";
    } else if (extension == L".wmf") {
        kind = Kind::Wmf, noun = L"Windows metafile";
    } else if (extension == L".ico") {
        kind = Kind::Ico, noun = L"icon";
    } else {
        throw Invalid_Picture(L"\"" + path + L"\" is not a kind of picture the program can show");
    }
    const std::vector<std::uint8_t> bytes = Read_Picture_File(path);
    try {
        switch (kind) {
            case Kind::Bmp: return Make_Bitmap_Picture(bytes);
            case Kind::Jpeg: return Make_Jpeg_Picture(bytes, target);
            case Kind::Emf: return Make_Emf_Picture(bytes);
            case Kind::Wmf: return Make_Wmf_Picture(bytes);
            case Kind::Ico: return Make_Icon_Picture(bytes);
        }
    } catch (const Invalid_Picture& invalid) {
        throw Invalid_Picture(L"\"" + path + L"\" is not a valid " + noun + L": " + invalid.Text());
    }
    throw Invalid_Picture(L"\"" + path + L"\" is not a kind of picture the program can show");
}

}  // namespace velbrook

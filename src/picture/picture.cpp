#include "picture/picture.h"

#include <new>
#include <stdexcept>

#include "picture/gif_picture.h"
#include "picture/picture_file.h"
#include "picture/picture_kinds.h"
#include "picture/file_type.h"

namespace velbrook {

bool Stretch_Dib(HDC dc, const RECT& target, const BITMAPINFO& info, const void* bits, int width, int height,
                 Stretch_Mode mode) {
    const int target_w = target.right - target.left, target_h = target.bottom - target.top;
    if (target_w <= 0 || target_h <= 0) return true;  // nothing to cover
    Dc_State_Guard state(dc);
    if (mode == Stretch_Mode::By_Size)
        mode = target_w < width || target_h < height ? Stretch_Mode::Halftone : Stretch_Mode::Plain;
    if (mode == Stretch_Mode::Halftone) {
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        ::SetStretchBltMode(dc, COLORONCOLOR);
    }
    const int lines = ::StretchDIBits(dc, target.left, target.top, target_w, target_h, 0, 0, width, height, bits, &info,
                                      DIB_RGB_COLORS, SRCCOPY);
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

std::shared_ptr<const Picture> Load_Picture(const std::wstring& path, SIZE target) {
    return Load_Picture_For(path, Picture_Request{.target = target});
}

std::shared_ptr<const Picture> Load_Picture_For(const std::wstring& path, const Picture_Request& request) {
    if (path.empty()) throw Invalid_Picture(L"No picture file was named");
    const Picture_File_Type type = Picture_File_Type_Of(path, request.options.more_types);
    const wchar_t* noun = Picture_File_Noun(type);
    if (!noun) throw Invalid_Picture(L"\"" + path + L"\" is not a kind of picture the program can show");
    try {
        // A picture too large to hold decoded is read from its file when
        // drawn; the imaging component reads PNG and TIFF from the file.
        if (type == Picture_File_Type::Jpeg)
            if (std::shared_ptr<const Picture> banded = Load_Banded_Jpeg(path, request)) return banded;
        if (type == Picture_File_Type::Bmp)
            if (std::shared_ptr<const Picture> banded = Load_Banded_Bmp(path, request)) return banded;
        if (type == Picture_File_Type::Png) return Load_Wic_Picture(path, Picture_Kind::Png, request);
        if (type == Picture_File_Type::Tiff) return Load_Wic_Picture(path, Picture_Kind::Tiff, request);
    } catch (const Invalid_Picture& invalid) {
        throw Invalid_Picture(L"\"" + path + L"\" is not a valid " + noun + L": " + invalid.Text());
    }
    const std::vector<std::uint8_t> bytes = Read_Picture_File(path);
    try {
        switch (type) {
            case Picture_File_Type::Bmp:
                return Make_Bitmap_Picture(bytes);
            case Picture_File_Type::Jpeg:
                return Make_Jpeg_Picture(bytes, request, path);
            case Picture_File_Type::Emf:
                return Make_Emf_Picture(bytes);
            case Picture_File_Type::Wmf:
                return Make_Wmf_Picture(bytes);
            case Picture_File_Type::Ico:
                return Make_Icon_Picture(bytes);
            case Picture_File_Type::Png:
            case Picture_File_Type::Tiff:
                break;  // loaded from the file above
            case Picture_File_Type::Gif:
                return Make_Decoded_Picture(Decode_Gif_First_Frame(bytes), Dib_Facts{.kind = Picture_Kind::Gif});
            case Picture_File_Type::None:
                break;
        }
    } catch (const Invalid_Picture& invalid) {
        throw Invalid_Picture(L"\"" + path + L"\" is not a valid " + noun + L": " + invalid.Text());
    }
    throw Invalid_Picture(L"\"" + path + L"\" is not a kind of picture the program can show");
}

bool Skipping_Unloadable(const std::wstring& path, const std::function<void()>& work, std::wstring* reason) {
    if (reason) reason->clear();
    try {
        work();
        return true;
    } catch (const Invalid_Picture& invalid) {
        if (reason) *reason = invalid.Text();
        return false;
    } catch (const Unreadable_File& unreadable) {
        // A loaded list may name a file that is gone, locked or too large:
        // skipped the same way.
        if (reason) *reason = unreadable.Text();
        return false;
    } catch (const std::bad_alloc&) {
        // Memory that one picture's decode could not have belongs to that
        // picture: the next one may well fit.
        if (reason) *reason = L"There is not enough memory to load \"" + path + L"\"";
        return false;
    } catch (const std::length_error&) {
        if (reason) *reason = L"There is not enough memory to load \"" + path + L"\"";
        return false;
    }
}

}  // namespace velbrook

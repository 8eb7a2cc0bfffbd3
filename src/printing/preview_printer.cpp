#include "printing/preview_printer.h"

#include <algorithm>

#include "toolkit/failure.h"

namespace velbrook {

Preview_Printer::Preview_Printer(const Sheet_Paper& paper) : paper_(paper) {}

void Preview_Printer::Start() {
    dc_.reset(::CreateCompatibleDC(nullptr));
    std::uint32_t* pixels = nullptr;
    bitmap_ = Top_Down_Dib_Section(std::max(1, paper_.paper_width), std::max(1, paper_.paper_height), &pixels);
    if (!dc_ || !bitmap_) throw Failure(L"There is not enough memory to show the sheet");
    old_ = ::SelectObject(dc_.get(), bitmap_.get());
    std::fill_n(pixels, static_cast<std::size_t>(std::max(1, paper_.paper_width)) * std::max(1, paper_.paper_height),
                0x00FFFFFFu);
    // Device pixels start at the printable area, as on the printer.
    ::SetViewportOrgEx(dc_.get(), paper_.offset_x, paper_.offset_y, nullptr);
    ::SetBrushOrgEx(dc_.get(), paper_.offset_x, paper_.offset_y, nullptr);
}

void Preview_Printer::Begin_Document(const std::wstring&) { Start(); }

void Preview_Printer::New_Page() {
    End_Document();
    Start();
}

void Preview_Printer::Draw(const Picture& picture, const RECT& rect) {
    if (!dc_) return;
    const bool drawn = picture.Scalable()
                           ? picture.Render(dc_.get(), rect)
                           : velbrook::Draw_Placed(dc_.get(), picture, Whole_Placement(picture.Pixel_Size(), rect));
    if (!drawn) throw Failure(L"The picture could not be drawn on the sheet");
}

void Preview_Printer::Draw_Placed(const Picture& picture, const Placement& placement) {
    if (!dc_) return;
    if (!velbrook::Draw_Placed(dc_.get(), picture, placement))
        throw Failure(L"The picture could not be drawn on the sheet");
}

void Preview_Printer::Draw_Caption(const std::wstring& text, const Box& strip, int font_height) {
    if (dc_) Draw_Caption_Text(dc_.get(), text, strip, std::max(1, font_height));
}

void Preview_Printer::End_Document() {
    if (!dc_) return;
    ::GdiFlush();
    ::SelectObject(dc_.get(), old_);
    old_ = nullptr;
    dc_.reset();
}

Bitmap_Handle Preview_Printer::Take_Sheet() {
    End_Document();
    return std::move(bitmap_);
}

}  // namespace velbrook

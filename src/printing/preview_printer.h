#pragma once
// A printer whose one page is a bitmap of the whole paper at the screen's
// scale: the print preview draws its sheet through the print run's own
// surface onto it.

#include <windows.h>

#include <cstdint>
#include <string>

#include "printing/printer.h"
#include "toolkit/handles.h"

namespace velbrook {

class Preview_Printer final : public Printer {
public:
    // `paper`: the device to show, already at the screen's scale; device
    // pixels are the printable area's, as a real printer's are.
    explicit Preview_Printer(const Sheet_Paper& paper);

    SIZE Page_Size() const override { return {paper_.printable_width, paper_.printable_height}; }
    void Begin_Document(const std::wstring& title) override;
    // The preview shows one sheet: a second page starts it afresh.
    void New_Page() override;
    int Page_Number() const override { return dc_ ? 1 : 0; }
    void Draw(const Picture& picture, const RECT& rect) override;
    int Pixels_Per_Inch() const override { return paper_.dots_y; }
    Sheet_Paper Paper() const override { return paper_; }
    void Draw_Placed(const Picture& picture, const Placement& placement) override;
    void Draw_Caption(const std::wstring& text, const Box& strip, int font_height) override;
    void End_Document() override;

    // The whole paper as drawn, white where nothing was; the document ends.
    Bitmap_Handle Take_Sheet();

private:
    void Start();

    Sheet_Paper paper_;
    Dc_Handle dc_;
    Bitmap_Handle bitmap_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace velbrook

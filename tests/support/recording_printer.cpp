#include "recording_printer.h"

#include <algorithm>

#include "toolkit/failure.h"

namespace velbrook {

Recording_Printer::Recording_Printer(std::shared_ptr<Print_Recording> recording, Recording_Options options)
    : recording_(std::move(recording)), options_(options) {
    options_.scale = std::max(1, options_.scale);
    if (options_.accept_postscript)
        postscript_.emplace(Postscript_Channel{
            .data = options_.postscript_data, .send = [this](std::span<const std::uint8_t> piece) {
                if (options_.refuse_postscript) {
                    ++recording_->postscript_refused;
                    return false;
                }
                recording_->largest_postscript_piece = std::max(recording_->largest_postscript_piece, piece.size());
                sending_.append(piece.begin(), piece.end());
                return true;
            }});
}

Recording_Printer::~Recording_Printer() {
    if (old_) ::SelectObject(dc_.get(), old_);
}

void Recording_Printer::Begin_Document(const std::wstring& title) {
    if (options_.fail_begin) throw Failure(L"The test printer could not begin the job \"" + title + L"\"");
    recording_->title = title;
    ++recording_->documents_begun;
    open_ = true;
    page_ = 0;
    Start_Page();
}

void Recording_Printer::New_Page() {
    Finish_Page();
    Start_Page();
}

Sheet_Paper Recording_Printer::Paper() const {
    const SIZE page = options_.page;
    const LONG paper_width = options_.paper.cx ? options_.paper.cx : page.cx + 2 * options_.offset.x;
    const LONG paper_height = options_.paper.cy ? options_.paper.cy : page.cy + 2 * options_.offset.y;
    return {.paper_width = paper_width,
            .paper_height = paper_height,
            .offset_x = options_.offset.x,
            .offset_y = options_.offset.y,
            .printable_width = page.cx,
            .printable_height = page.cy,
            .dots_x = options_.pixels_per_inch_across ? options_.pixels_per_inch_across : options_.pixels_per_inch,
            .dots_y = options_.pixels_per_inch,
            .classic_page = Classic_Page(page)};
}

void Recording_Printer::Draw(const Picture& picture, const RECT& rect) {
    if (options_.fail_draw) throw Failure(L"The test printer could not draw on page " + std::to_wstring(page_));
    if (!dc_) throw Failure(L"The test printer has no page open");
    drawn_.push_back(rect);
    Take_Jpeg(picture, Whole_Placement(picture.Pixel_Size(), rect));
    if (!picture.Scalable()) Take_Postscript(picture, Whole_Placement(picture.Pixel_Size(), rect));
    const int s = options_.scale;
    const RECT scaled{rect.left / s, rect.top / s, rect.right / s, rect.bottom / s};
    // As the GDI printer draws it: a picture read in bands is read at the
    // size it was loaded for, whatever the recorded page's scale.
    const bool drawn = picture.Scalable()
                           ? picture.Render(dc_.get(), scaled)
                           : velbrook::Draw_Placed(dc_.get(), picture, Whole_Placement(picture.Pixel_Size(), scaled));
    if (!drawn) throw Failure(L"The test printer could not draw the picture");
    ::GdiFlush();
}

void Recording_Printer::Draw_Placed(const Picture& picture, const Placement& placement) {
    if (options_.fail_draw) throw Failure(L"The test printer could not draw on page " + std::to_wstring(page_));
    if (!dc_) throw Failure(L"The test printer has no page open");
    placed_.push_back(placement);
    Take_Jpeg(picture, placement);
    Take_Postscript(picture, placement);
    // The recorded page is the device page reduced by the scale.
    const int s = options_.scale;
    Placement scaled = placement;
    const Box& d = placement.destination;
    scaled.destination = {d.left / s, d.top / s, d.right / s, d.bottom / s};
    if (!velbrook::Draw_Placed(dc_.get(), picture, scaled))
        throw Failure(L"The test printer could not draw the picture");
    ::GdiFlush();
}

void Recording_Printer::Take_Jpeg(const Picture& picture, const Placement& placement) {
    if (!options_.accept_jpeg) return;
    std::vector<std::uint8_t> jpeg = Jpeg_For_Printer(picture, placement);
    if (!jpeg.empty()) jpegs_.push_back(std::move(jpeg));
}

void Recording_Printer::Take_Postscript(const Picture& picture, const Placement& placement) {
    if (!postscript_) return;
    sending_.clear();
    if (postscript_->Draw(picture, placement)) postscript_sent_.push_back(std::move(sending_));
}

void Recording_Printer::Draw_Caption(const std::wstring& text, const Box& strip, int font_height) {
    if (!dc_) throw Failure(L"The test printer has no page open");
    captions_.push_back(text);
    caption_strips_.push_back(strip);
    const int s = options_.scale;
    Draw_Caption_Text(dc_.get(), text, {strip.left / s, strip.top / s, strip.right / s, strip.bottom / s},
                      std::max(1, font_height / s));
    ::GdiFlush();
}

void Recording_Printer::End_Document() {
    if (!open_) return;
    Finish_Page();
    open_ = false;
    ++recording_->documents_ended;
}

void Recording_Printer::Start_Page() {
    if (options_.fail_at_page == page_ + 1)
        throw Failure(L"The test printer could not begin page " + std::to_wstring(page_ + 1));
    const int w = std::max<LONG>(1, options_.page.cx / options_.scale);
    const int h = std::max<LONG>(1, options_.page.cy / options_.scale);
    dc_.reset(::CreateCompatibleDC(nullptr));
    std::uint32_t* pixels = nullptr;
    surface_ = Top_Down_Dib_Section(w, h, &pixels);
    bits_ = pixels;
    if (!dc_ || !surface_) throw Failure(L"The test printer has not enough memory for a page");
    old_ = ::SelectObject(dc_.get(), surface_.get());
    std::fill_n(static_cast<std::uint32_t*>(bits_), static_cast<std::size_t>(w) * h, 0x00FFFFFFu);
    drawn_.clear();
    placed_.clear();
    captions_.clear();
    caption_strips_.clear();
    jpegs_.clear();
    postscript_sent_.clear();
    ++page_;
}

void Recording_Printer::Finish_Page() {
    if (!dc_) return;
    ::GdiFlush();
    BITMAP shape{};
    ::GetObjectW(surface_.get(), sizeof shape, &shape);
    Recorded_Page page;
    page.width = shape.bmWidth;
    page.height = shape.bmHeight;
    const auto* pixels = static_cast<const std::uint32_t*>(bits_);
    page.pixels.assign(pixels, pixels + static_cast<std::size_t>(page.width) * page.height);
    for (auto& p : page.pixels) p &= 0x00FFFFFFu;
    page.drawn = std::move(drawn_);
    page.placed = std::move(placed_);
    page.captions = std::move(captions_);
    page.caption_strips = std::move(caption_strips_);
    page.jpegs = std::move(jpegs_);
    page.postscript = std::move(postscript_sent_);
    recording_->pages.push_back(std::move(page));
    ::SelectObject(dc_.get(), old_);
    old_ = nullptr;
    surface_.reset();
    dc_.reset();
}

std::uint32_t Recorded_Pixel(const Recorded_Page& page, int scale, int x, int y) {
    const int px = std::clamp(x / std::max(1, scale), 0, page.width - 1);
    const int py = std::clamp(y / std::max(1, scale), 0, page.height - 1);
    return page.pixels[static_cast<std::size_t>(py) * page.width + px];
}

}  // namespace velbrook

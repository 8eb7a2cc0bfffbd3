#include "printing/printer_surface.h"

#include <new>

#include "picture/file_type.h"
#include "printing/print_texts.h"
#include "shell/text_utils.h"

namespace velbrook {

Printer_Surface::Printer_Surface(Printer& printer, Print_Host& host, const Page_Options& options,
                                 std::optional<Printer_Progress> progress)
    : printer_(printer), host_(host), options_(options), progress_(std::move(progress)) {}

std::unique_ptr<Sheet_Item> Printer_Surface::Load(const std::wstring& path, const Picture_Request& request) {
    // Let the preview's last picture go first, so that two page-sized
    // pictures are never held at once.
    if (progress_) host_.Set_Preview(nullptr);
    std::shared_ptr<const Picture> picture;
    Skipping_Unloadable(
        path,
        [&] {
            picture = Load_Picture_For(path, request);
            if (progress_) host_.Set_Preview(picture);
        },
        &skip_reason_);
    if (!picture) return nullptr;
    return std::make_unique<Printed_Item>(std::move(picture));
}

std::unique_ptr<Sheet_Item> Printer_Surface::Probe(const std::wstring& path, const Picture_Request& request) {
    Picture_Request headers_only = request;
    headers_only.whole_decode_bytes = 0;
    std::shared_ptr<const Picture> picture;
    Skipping_Unloadable(path, [&] { picture = Load_Picture_For(path, headers_only); });
    if (!picture) return nullptr;
    return std::make_unique<Printed_Item>(std::move(picture));
}

void Printer_Surface::Begin_Sheet(int sheet, int expected) {
    // The first sheet is the page that beginning the job opened.
    if (sheet > 1) printer_.New_Page();
    if (!progress_) return;
    host_.Set_Status(
        Progress_Text(printer_.Page_Number(), expected, Elapsed_Seconds(progress_->start_ms, progress_->clock_ms())));
    progress_->process_messages();
    progress_->wait_milliseconds(100);
}

void Printer_Surface::Draw(Sheet_Item& item, const std::wstring& path, const Box& target, const Cell_Caption& caption) {
    if (Drawing_For(path, options_.more_types) == Page_Drawing::Nothing) return;
    const Picture& picture = static_cast<Printed_Item&>(item).Get();
    const RECT rect{target.left, target.top, target.right, target.bottom};
    try {
        if (options_ == Page_Options{}) {
            printer_.Draw(picture, rect);
        } else {
            const Placement placement = Place_On(picture, options_, rect, caption.strip_height);
            printer_.Draw_Placed(picture, placement);
            if (options_.print_file_names)
                printer_.Draw_Caption(File_Name_Of(path), placement.caption, caption.font_height);
        }
    } catch (const std::bad_alloc&) {
        // The picture's bands did not fit: the picture is skipped, as one
        // that does not load, and the run goes on with the next.
    }
}

void Printer_Surface::End_Sheet(int) {
    if (!progress_) return;
    progress_->wait_milliseconds(100);
    progress_->process_messages();
}

}  // namespace velbrook

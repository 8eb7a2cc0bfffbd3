#pragma once
// Sheets drawn on a `Printer`: the GDI printer of a print run, or the
// bitmap of the print preview, through the same calls.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "printing/print_run.h"
#include "printing/printer.h"
#include "printing/sheet_run.h"

namespace velbrook {

// One page of a picture file as a printer surface holds it: the picture
// itself.
class Printed_Item final : public Sheet_Item {
public:
    explicit Printed_Item(std::shared_ptr<const Picture> picture) : picture_(std::move(picture)) {}
    int Page_Count() const override { return picture_->Page_Count(); }
    int Orientation_Tag() const override { return picture_->Orientation_Tag(); }
    SIZE Loaded_Size() const override { return picture_->Pixel_Size(); }
    const Picture& Get() const { return *picture_; }

private:
    std::shared_ptr<const Picture> picture_;
};

// What a print run shows while it prints: each sheet's number on the status
// line, and a moment's wait before and after its drawing, so that the
// window stays alive between sheets.  A surface without it (the preview)
// draws and nothing else.
struct Printer_Progress {
    std::function<void()> process_messages;
    std::function<void(unsigned)> wait_milliseconds;
    std::function<std::int64_t()> clock_ms;
    std::int64_t start_ms = 0;
};

class Printer_Surface final : public Sheet_Surface {
public:
    // `progress` empty: the host is not told of the sheets or the pictures.
    Printer_Surface(Printer& printer, Print_Host& host, const Page_Options& options,
                    std::optional<Printer_Progress> progress);

    Sheet_Paper Paper() const override { return printer_.Paper(); }
    std::unique_ptr<Sheet_Item> Load(const std::wstring& path, const Picture_Request& request) override;
    // Loads nothing that must be decoded: a JPEG, bitmap, PNG or TIFF is
    // only opened and its headers checked, as a banded picture is.
    std::unique_ptr<Sheet_Item> Probe(const std::wstring& path, const Picture_Request& request) override;
    void Begin_Sheet(int sheet, int expected) override;
    void Draw(Sheet_Item& item, const std::wstring& path, const Box& target, const Cell_Caption& caption) override;
    void End_Sheet(int sheet) override;
    std::wstring Skip_Reason() const override { return skip_reason_; }

private:
    Printer& printer_;
    Print_Host& host_;
    Page_Options options_;
    std::optional<Printer_Progress> progress_;
    std::wstring skip_reason_;
};

}  // namespace velbrook

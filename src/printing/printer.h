#pragma once
// The surface a print run draws on: the GDI printer of the chosen device, or
// a recording printer in the tests.  Page sizes and rectangles are device
// pixels of the printable area.

#include <windows.h>

#include <memory>
#include <string>

#include "picture/picture.h"
#include "toolkit/dialogs.h"

namespace velbrook {

class Printer {
public:
    virtual ~Printer() = default;
    // The printable width and height (HORZRES, VERTRES); known before the job.
    virtual SIZE Page_Size() const = 0;
    // Opens the job under `title` and begins page 1.
    virtual void Begin_Document(const std::wstring& title) = 0;
    // Ends the current page and begins the next.
    virtual void New_Page() = 0;
    // The page now being drawn, from 1; 0 outside a job.
    virtual int Page_Number() const = 0;
    // Stretches the whole picture over `rect`, aspect ratio not kept.
    virtual void Draw(const Picture& picture, const RECT& rect) = 0;
    // Ends the last page and the job, which then goes to the printer.  Does
    // nothing when no job is open, so that it can always be called once more
    // after a failure.
    virtual void End_Document() = 0;
};

// The device chosen in the printer set-up dialog, with its settings.  Every
// failure (the device cannot be opened, the job or a page cannot begin, a
// picture cannot be drawn) is a Failure whose text names the printer and what
// failed.
std::unique_ptr<Printer> Open_Gdi_Printer(const Printer_Selection& selection);

}  // namespace velbrook

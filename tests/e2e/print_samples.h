#pragma once
// The main job done as a person does it, shared by the print tests and the
// tests of the downloadable packages.

#include <functional>
#include <string>
#include <vector>

#include "driver.h"

namespace e2e {

// Plain ASCII for messages ('?' for the rest).
std::string Narrow(const std::wstring& text);

struct Printed {
    std::string unix_folder;
    std::wstring folder;
    std::wstring name;                                 // of the new PDF in the folder
    std::wstring status;                               // the status line at the end of the run
    int program_seconds = -1;                          // what the status line says the run took
    double seconds_to_status = 0, seconds_to_pdf = 0;  // as seen from here, from the click on OK
    std::vector<std::wstring> progress;                // the progress texts seen on the way
    // When not empty: text that this run's PDF holds (a picture's name, printed
    // under it), which tells it from other runs' PDFs in the shared folder.
    std::string mark;
    std::string Unix_Pdf() const { return unix_folder + "/" + Narrow(name); }
};

// Drops the sample pictures (and a corrupt "JPEG", copied into the program's
// folder), prints them to "PDF" through the real dialog and waits for the
// run's last status text and then for the new, complete PDF in
// `printed.unix_folder`.
void Print_Samples(const Velbrook& program, Printed& printed);
// The same for any pictures: dropped, printed, the PDF waited for.
void Print_Pictures(const Velbrook& program, const std::vector<std::wstring>& pictures, Printed& printed);
// The same for the `entries` already listed, the run begun by `start` (a
// click that brings the printer set-up dialog).
void Print_Listed(const Velbrook& program, std::size_t entries, Printed& printed, const std::function<void()>& start);

}  // namespace e2e

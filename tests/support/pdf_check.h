#pragma once
// Reading what the PDF printer wrote: the queue's folder, the new file once it
// is complete, its fields (pdfinfo) and its pages as pixels (pdftoppm).  The
// poppler tools are Unix programs, which Wine starts straight from
// CreateProcess.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace velbrook::pdf {

// "/home/x/PDF" as "Z:\home\x\PDF".
std::wstring Windows_Path(const std::string& unix_path);

// Runs a command under /bin/sh and returns what it wrote (stdout and stderr).
std::string Run_Unix(const std::string& script);

// The names of the PDF files in a folder (a Windows path).
std::set<std::wstring> Pdf_Files(const std::wstring& folder);

// Waits for a PDF in the folder that is not among `before` and whose bytes end
// in %%EOF (cups-pdf writes it a little after the job ended); its name, or ""
// when none came in time.
std::wstring Wait_New_Pdf(const std::wstring& folder, const std::set<std::wstring>& before,
                          std::chrono::milliseconds limit = std::chrono::seconds(90));

// One field of pdfinfo's output ("Title", "Pages", "Page size"); "" when absent.
std::string Pdf_Field(const std::string& info, const std::string& name);

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);
::testing::AssertionResult Near(const Rgb& actual, const Rgb& wanted, int tolerance);

inline constexpr Rgb Red{255, 0, 0}, Green{0, 255, 0}, Blue{0, 0, 255}, Yellow{255, 255, 0}, Cyan{0, 255, 255},
    Orange{255, 128, 0}, Magenta{255, 0, 255};

// One page rendered by pdftoppm.
struct Page_Pixels {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    Rgb At_Fraction(double fx, double fy) const;
};

// Page `page` (from 1) of a PDF (a Unix path) at `dpi`; width 0 when it failed.
Page_Pixels Render_Page(const std::string& unix_pdf, int page, int dpi);

}  // namespace velbrook::pdf

#pragma once
// The words and small rules of a print run, apart from any window: what the
// status line says, how seconds are counted.  Portable, so that they are tested natively too.

#include <cstdint>
#include <string>
#include <string_view>

namespace velbrook {

inline constexpr wchar_t Print_Job_Title[] = L"Orvel Pics";
inline constexpr int Page_Margin = 10;  // device pixels inside each edge of the printable area

inline constexpr wchar_t Empty_List_Text[] =
    L"There are NO picture / graphic files in the list to print.\r\n\r\n"
    L"Please add some files to the list (by dragging and dropping them from Windows Explorer) and try again.";
inline constexpr wchar_t Aborting_Text[] = L"  Aborting, please wait for the current page to finish ...";
inline constexpr wchar_t Aborted_Text[] = L"  Processing aborted, as requested !";

// The caption under a picture: a font 10 points high at the printer's
// resolution, in a strip half as high again, so that the line has air above
// and below it.
inline int Caption_Font_Height_For(int pixels_per_inch) { return (10 * pixels_per_inch + 36) / 72; }
inline int Caption_Strip_Height(int pixels_per_inch) { return Caption_Font_Height_For(pixels_per_inch) * 3 / 2; }
inline int Caption_Font_Height(int strip_height) { return strip_height * 2 / 3; }

// Whole seconds from `start_ms` to `now_ms`, cut toward zero; a clock that
// went backwards counts as no time.  Wide enough never to wrap.
std::uint64_t Elapsed_Seconds(std::int64_t start_ms, std::int64_t now_ms);

std::wstring Progress_Text(int page, int entries, std::uint64_t seconds);
std::wstring Success_Text(int entries, std::uint64_t seconds);
std::wstring Stopped_Text(const std::wstring& reason);

}  // namespace velbrook

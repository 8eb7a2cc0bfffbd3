#include "printing/print_texts.h"

namespace velbrook {

std::uint64_t Elapsed_Seconds(std::int64_t start_ms, std::int64_t now_ms) {
    if (now_ms <= start_ms) return 0;
    return static_cast<std::uint64_t>(now_ms - start_ms) / 1000;
}

std::wstring Progress_Text(int page, int entries, std::uint64_t seconds) {
    return L"  Now printing page " + std::to_wstring(page) + L" of " + std::to_wstring(entries) + L" ... " + L"    (" +
           std::to_wstring(seconds) + L" secs elapsed so far ...)";
}

std::wstring Success_Text(int entries, std::uint64_t seconds) {
    return L"  Success: All " + std::to_wstring(entries) + L" pictures have been printed !!" +
           L"    (The entire process took " + std::to_wstring(seconds) + L" seconds).";
}

std::wstring Stopped_Text(const std::wstring& reason) { return L"  Printing stopped: " + reason; }

}  // namespace velbrook

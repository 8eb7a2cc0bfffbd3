#pragma once
// The high-resolution clock in seconds, for the Windows benchmarks.

#include <windows.h>

namespace velbrook::bench {

inline double Seconds_Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

}  // namespace velbrook::bench

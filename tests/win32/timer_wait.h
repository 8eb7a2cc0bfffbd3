// Pumps messages until a condition holds, with a generous upper limit, for
// tests of timers: they wait for events, never for a time.
#pragma once

#include <windows.h>

#include <functional>

#include "toolkit/application.h"

inline bool Wait_Until(const std::function<bool()>& condition, DWORD limit_ms = 20000) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > limit_ms) return false;
        velbrook::Process_Messages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

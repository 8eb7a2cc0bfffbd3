#pragma once
// Driving a modal loop from inside: `enter` starts the loop and returns when
// it ends; `step` runs once the loop is up.  A window that has not closed
// after five seconds is closed, and the test fails.

#include <gtest/gtest.h>

#include <functional>

#include "toolkit/form.h"
#include "toolkit/timer.h"

namespace velbrook::testing {

inline void Drive_Modal(Form& modal, const std::function<void()>& enter, const std::function<void()>& step) {
    Timer driver(nullptr, L"Driver", 30);
    Timer guard(nullptr, L"Guard", 5000);
    driver.OnTimer = [&] {
        driver.Set_Enabled(false);
        step();
    };
    guard.OnTimer = [&] {
        guard.Set_Enabled(false);
        ADD_FAILURE() << "the modal window did not close";
        modal.Close();
    };
    driver.Set_Enabled(true);
    guard.Set_Enabled(true);
    enter();
}

}  // namespace velbrook::testing

// The toolkit's hidden message window: what reaches its handler, a handler
// that fails or frees the window's owner, and windows that no control lookup
// may take for one of ours.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/component.h"
#include "toolkit/failure.h"
#include "toolkit/message_window.h"
#include "../support/scripted_dialogs.h"

namespace velbrook {
namespace {

TEST(Message_Window, Hands_Timer_And_Program_Messages_To_Its_Handler_Guarded) {
    Scripted_Dialogs dialogs;
    Application application(dialogs, L"Velbrook v1.0f");
    std::vector<UINT> seen;
    Message_Window window(
        L"Probe",
        [&](UINT message, WPARAM wparam) {
            seen.push_back(message);
            if (wparam == 7) throw Failure(L"The handler failed");
        },
        L"No window");
    EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"Velbrook.Timer", L"Probe"), window.Handle());
    ::SendMessageW(window.Handle(), WM_TIMER, 1, 0);
    ::SendMessageW(window.Handle(), WM_APP + 5, 0, 0);
    ::SendMessageW(window.Handle(), WM_USER + 5, 0, 0);  // not the program's own: DefWindowProc
    ::SendMessageW(window.Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_TIMER, WM_APP + 5}));
    EXPECT_TRUE(dialogs.messages.empty());
    ::SendMessageW(window.Handle(), WM_APP, 7, 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, L"The handler failed.");
    // The window runs on after a failure.
    ::SendMessageW(window.Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(seen.size(), 4u);
}

TEST(Message_Window, A_Handler_Is_Not_Entered_Again_And_May_Free_Its_Window) {
    std::unique_ptr<Message_Window> window;
    HWND handle = nullptr;
    int calls = 0;
    window = std::make_unique<Message_Window>(
        L"Probe",
        [&](UINT, WPARAM wparam) {
            ++calls;
            ::SendMessageW(handle, WM_APP, 0, 0);  // arrives while this one runs: not handed over
            if (wparam == 1) window.reset();
        },
        L"No window");
    handle = window->Handle();
    ::SendMessageW(handle, WM_APP, 0, 0);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(::IsWindow(handle));
    ::SendMessageW(handle, WM_APP, 1, 0);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(window, nullptr);
    EXPECT_FALSE(::IsWindow(handle));  // destroyed once its message was done
}

TEST(Message_Window, Control_Lookup_Trusts_Only_Windows_Of_This_Program) {
    Message_Window hidden(
        L"Probe", [](UINT, WPARAM) {}, L"No window");
    EXPECT_EQ(Windowed_Control::From_Handle(hidden.Handle()), nullptr);
    // Another module's window whose user data holds anything at all.
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandleW(L"user32.dll"), nullptr);
    ASSERT_NE(foreign, nullptr);
    ::SetWindowLongPtrW(foreign, GWLP_USERDATA, 0x1234);
    EXPECT_EQ(Windowed_Control::From_Handle(foreign), nullptr);
    ::DestroyWindow(foreign);
}

}  // namespace
}  // namespace velbrook

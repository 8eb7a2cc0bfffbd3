// Help > About in the running program: the About window comes up modally
// over the main window with its texts and links, and Escape closes it.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "../../src/app/command_ids.h"
#include "driver.h"

namespace e2e {
namespace {

HWND Wait_About(const Velbrook& program) {
    HWND found = nullptr;
    Wait_For([&] {
        for (HWND window : program.Top_Windows())
            if (Window_Text(window) == L"About Velbrook v1.0f ..." && ::IsWindowVisible(window)) {
                found = window;
                return true;
            }
        return false;
    });
    return found;
}

struct Shown {
    std::wstring class_name, text;
    bool visible;
};

std::vector<Shown> Children_Of(HWND window) {
    std::vector<Shown> found;
    struct Visit {
        static BOOL CALLBACK Each(HWND child, LPARAM data) {
            reinterpret_cast<std::vector<Shown>*>(data)->push_back(
                {Class_Of(child), Window_Text(child), ::IsWindowVisible(child) != 0});
            return TRUE;
        }
    };
    ::EnumChildWindows(window, Visit::Each, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND Child_With_Text(HWND window, const std::wstring& text) {
    struct Search {
        std::wstring text;
        HWND found = nullptr;
    } search{text};
    struct Visit {
        static BOOL CALLBACK Each(HWND child, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            if (::IsWindowVisible(child) && Window_Text(child) == s->text) s->found = child;
            return s->found ? FALSE : TRUE;
        }
    };
    ::EnumChildWindows(window, Visit::Each, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(About_Window, Help_About_Shows_It_Modally_And_Escape_Closes_It) {
    Velbrook program;
    program.Menu(velbrook::command::About);
    HWND about = Wait_About(program);
    ASSERT_NE(about, nullptr) << "the About window did not appear";
    EXPECT_TRUE(Wait_For([&] { return !::IsWindowEnabled(program.Main()); })) << "modal over the main window";
    RECT client;
    ::GetClientRect(about, &client);
    EXPECT_EQ(client.right, 622);
    EXPECT_EQ(client.bottom, 411);

    // The activation steps have run: the address buttons are hidden and the
    // labels show the addresses instead; the quote and the figure are in.
    std::vector<Shown> children;
    Wait_For([&] {
        children = Children_Of(about);
        return std::any_of(children.begin(), children.end(),
                           [](const Shown& c) { return c.visible && c.text.ends_with(L"%"); });
    });
    auto has = [&](const std::function<bool(const Shown&)>& test) {
        return std::any_of(children.begin(), children.end(), test);
    };
    EXPECT_TRUE(has([](const Shown& c) { return c.text == L"Velbrook v1.0f" && c.visible; }));
    EXPECT_TRUE(has([](const Shown& c) { return c.text.ends_with(L", September 2007") && c.visible; }));
    EXPECT_TRUE(has([](const Shown& c) { return c.text == L"Australian Made Software" && c.visible; }));
    EXPECT_TRUE(has([](const Shown& c) { return c.text == L"Free System Resources :" && c.visible; }));
    EXPECT_TRUE(has([](const Shown& c) { return c.text.ends_with(L"%") && c.text != L"Free %" && c.visible; }))
        << "the free-memory figure";
    EXPECT_TRUE(has([](const Shown& c) {
        return _wcsicmp(c.class_name.c_str(), L"Static") == 0 && c.visible && c.text.find(L'@') != std::wstring::npos;
    })) << "the e-mail address as a link";
    EXPECT_FALSE(has([](const Shown& c) {
        return _wcsicmp(c.class_name.c_str(), L"Button") == 0 && c.visible && c.text.find(L'@') != std::wstring::npos;
    })) << "the e-mail button is hidden";

    HWND ok = Child_With_Text(about, L"OK");
    ASSERT_NE(ok, nullptr);
    ::PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(Wait_For([&] { return !::IsWindowVisible(about); })) << "Escape closes the window";
    EXPECT_TRUE(Wait_For([&] { return ::IsWindowEnabled(program.Main()) != FALSE; }));
    EXPECT_TRUE(program.Running());

    // It comes again, the same window, and its OK button closes it too.
    program.Menu(velbrook::command::About);
    EXPECT_EQ(Wait_About(program), about);
    ::PostMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(Wait_For([&] { return !::IsWindowVisible(about); }));
    program.Menu(velbrook::command::Exit);
    EXPECT_TRUE(program.Wait_Exit());
}

}  // namespace
}  // namespace e2e

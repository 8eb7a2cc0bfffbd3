// The print preview over a stand-in main window: the sheets it counts and
// draws against what the recording printer prints of the same list, moving
// about, the range it asks to print, and an empty list.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "app/print_preview.h"
#include "app/settings_file.h"
#include "jpeg_encoder.h"
#include "picture_folder.h"
#include "picture_test_support.h"
#include "print_test_support.h"
#include "printing/print_texts.h"
#include "toolkit/application.h"
#include "toolkit/timer.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;

std::vector<std::uint8_t> Solid_Jpeg(Rgb colour) {
    return test::Encode_Jpeg(test::Jpeg_Recipe{.width = 60, .height = 40}, [&](int, int, std::uint8_t* rgb) {
        rgb[0] = static_cast<std::uint8_t>(colour.r);
        rgb[1] = static_cast<std::uint8_t>(colour.g);
        rgb[2] = static_cast<std::uint8_t>(colour.b);
    });
}

Rgb Pixel(HBITMAP bitmap, LONG x, LONG y) {
    const Dc_Handle dc(::CreateCompatibleDC(nullptr));
    const Select_Guard select(dc.get(), bitmap);
    const COLORREF c = ::GetPixel(dc.get(), x, y);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

class Print_Preview_Test : public ::testing::Test {
protected:
    Print_Preview& Preview(Print_Bench& b, std::wstring settings = {}) {
        preview = std::make_unique<Print_Preview>(Print_Preview_Setup{
            .host = b.host,
            .printer_paper = [&b]() -> std::optional<Sheet_Paper> {
                return Recording_Printer(b.recording, b.options).Paper();
            },
            .pdf_paper = [](const Sheet_Layout&) { return Sheet_Paper{}; },
            .settings_file = [settings] { return settings; },
        });
        return *preview;
    }
    // Runs the preview modally; each step runs on a tick once the sheet
    // wanted is drawn, the last one closes it.
    std::optional<Preview_Print> Drive(Print_Preview& p, std::vector<std::function<void()>> steps) {
        Timer ticks(nullptr, L"Ticks", 20);
        std::size_t next = 0;
        int waited = 0;
        ticks.OnTimer = [&] {
            if ((p.Busy() || (!p.Shown_Sheet() && p.Sheet_Count() > 0)) && ++waited < 400) return;
            waited = 0;
            if (next < steps.size()) steps[next++]();
            if (next == steps.size() && !p.Closed()) {
                ADD_FAILURE() << "the preview did not close";
                p.Close();
            }
        };
        ticks.Set_Enabled(true);
        return p.Run(nullptr);
    }
    std::wstring Picture(const std::wstring& name, Rgb colour) { return folder.Write(name, Solid_Jpeg(colour)); }

    Scripted_Dialogs app_dialogs;
    Application application{app_dialogs, L"Velbrook tests"};
    Picture_Folder folder;
    std::unique_ptr<Print_Preview> preview;
};

TEST_F(Print_Preview_Test, Each_Layout_Shows_The_Sheets_The_Printer_Prints_In_Its_Cells_Scaled_Down) {
    const Rgb colours[] = {Red, Green, Blue, Yellow, Magenta};
    struct Case {
        const char* what;
        Sheet_Layout layout;
    } cases[] = {
        {"one picture per page", {}},
        {"a 2 x 2 grid", {.kind = Sheet_Kind::Grid, .columns = 2, .rows = 2}},
        {"10 x 15 cm prints, two copies", {.kind = Sheet_Kind::Print_Size, .copies = 2}},
        {"actual size", {.kind = Sheet_Kind::Actual_Size}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Print_Bench printed;
        printed.host.layout = c.layout;
        printed.host.options = {.fit = Fit_Mode::Fill};
        for (int k = 0; k < 5; ++k)
            printed.host.entries.push_back(Picture(L"p" + std::to_wstring(k) + L".jpg", colours[k]));
        printed.host.entries.insert(printed.host.entries.begin() + 2, Sample("corrupt.jpg"));
        printed.run->Print_BitBtnClick();
        const Sheet_Plan plan = Plan_Sheet(Recording_Printer(printed.recording, printed.options).Paper(), c.layout);

        Print_Bench shown;
        shown.host.layout = c.layout;
        shown.host.options = printed.host.options;
        shown.host.entries = printed.host.entries;
        Print_Preview& p = Preview(shown);
        Drive(p, {[&] {
                  EXPECT_EQ(p.Sheet_Count(), static_cast<int>(printed.recording->pages.size()));
                  EXPECT_EQ(p.Sheet_Label.Text(), L"Sheet 1 of " + std::to_wstring(printed.recording->pages.size()));
                  const RECT paper = p.Paper_Place();
                  const Sheet_Paper real = Recording_Printer(printed.recording, printed.options).Paper();
                  const double scale = double(paper.right - paper.left) / real.paper_width;
                  for (const Box& cell : plan.cells) {
                      const LONG x = (cell.left + cell.right) / 2, y = (cell.top + cell.bottom) / 2;
                      const Rgb on_paper = printed.At(0, x, y);
                      const Rgb on_screen = Pixel(p.Shown_Sheet(), static_cast<LONG>((real.offset_x + x) * scale),
                                                  static_cast<LONG>((real.offset_y + y) * scale));
                      EXPECT_TRUE(Near(on_screen, on_paper, 40)) << x << ", " << y;
                  }
                  EXPECT_TRUE(shown.host.log.empty()) << "the main window's list and status are left alone";
                  p.Close();
              }});
    }
}

TEST_F(Print_Preview_Test, Buttons_Keys_And_The_Wheel_Move_Between_Sheets_And_A_Range_Is_Checked) {
    Print_Bench b;
    b.host.layout = {.kind = Sheet_Kind::Grid, .columns = 2, .rows = 1};
    for (int k = 0; k < 5; ++k) b.host.entries.push_back(Picture(L"m" + std::to_wstring(k) + L".jpg", Blue));
    Print_Preview& p = Preview(b);
    const auto press = [&](WORD code) {
        MSG message{.hwnd = p.Close_Button.Handle(), .message = WM_KEYDOWN, .wParam = code, .lParam = 1};
        Form::Preview_Key(message);
    };
    const auto wheel = [&](int delta) {
        ::SendMessageW(p.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), 0);
    };
    const auto at = [&](int sheet) {
        EXPECT_EQ(p.Sheet(), sheet);
        EXPECT_EQ(p.Sheet_Label.Text(), L"Sheet " + std::to_wstring(sheet) + L" of 3");
        EXPECT_EQ(p.First_Button.Enabled(), sheet > 1);
        EXPECT_EQ(p.Previous_Button.Enabled(), sheet > 1);
        EXPECT_EQ(p.Next_Button.Enabled(), sheet < 3);
        EXPECT_EQ(p.Last_Button.Enabled(), sheet < 3);
    };
    const std::optional<Preview_Print> asked =
        Drive(p, {[&] {
                      at(1);
                      p.Next_Button.Click();
                  },
                  [&] {
                      at(2);
                      press(VK_END);
                  },
                  [&] {
                      at(3);
                      p.Next_Button.Click();  // disabled, and past the end besides
                      press(VK_NEXT);
                  },
                  [&] {
                      at(3);
                      press(VK_HOME);
                  },
                  [&] {
                      at(1);
                      press(VK_NEXT);
                  },
                  [&] {
                      at(2);
                      wheel(-120);
                  },
                  [&] {
                      at(3);
                      wheel(120);
                      p.Previous_Button.Click();
                  },
                  [&] {
                      at(1);
                      for (const auto& range : {std::pair{L"3", L"2"}, std::pair{L"0", L"1"}, std::pair{L"2", L"4"}}) {
                          p.From_Edit.Set_Text(range.first);
                          p.To_Edit.Set_Text(range.second);
                          b.host.dialogs.Clear();
                          p.Print_These_Button.Click();
                          ASSERT_EQ(b.host.dialogs.messages.size(), 1u);
                          EXPECT_EQ(b.host.dialogs.messages[0].text,
                                    L"The sheets to print must lie from 1 to 3, the first no later than the last.");
                          EXPECT_FALSE(p.Closed());
                      }
                      p.From_Edit.Set_Text(L"2");
                      p.To_Edit.Set_Text(L"3");
                      p.Print_These_Button.Click();
                  }});
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->first_sheet, 2);
    EXPECT_EQ(asked->last_sheet, 3);
}

TEST_F(Print_Preview_Test, Its_Place_Is_Kept_Once_The_Window_Was_Moved_Or_Sized_And_Escape_Closes_It) {
    Print_Bench b;
    b.host.entries = {Picture(L"kept.jpg", Green)};
    const std::wstring ini = folder.Path(L"velbrook.ini");
    Print_Preview& p = Preview(b, ini);
    const auto escape = [&] {
        MSG message{.hwnd = p.Close_Button.Handle(), .message = WM_KEYDOWN, .wParam = VK_ESCAPE, .lParam = 1};
        Form::Preview_Key(message);
    };
    EXPECT_FALSE(Drive(p, {escape}));
    EXPECT_FALSE(Read_Preview_Bounds(ini)) << "not moved: nothing written";
    const Bounds moved{50, 60, 700, 650};
    Drive(p, {[&] {
              p.Set_Bounds(moved);
              ::SendMessageW(p.Handle(), WM_EXITSIZEMOVE, 0, 0);
              p.Close();
          }});
    EXPECT_EQ(Read_Preview_Bounds(ini), moved);
    Bounds shown{};
    Drive(p, {[&] {
              shown = p.Window_Bounds();
              p.Close();
          }});
    EXPECT_EQ(shown, moved);
}

TEST_F(Print_Preview_Test, An_Empty_List_Gives_The_Print_Runs_Box_And_No_Window) {
    Print_Bench b;
    Print_Preview& p = Preview(b);
    EXPECT_FALSE(p.Run(nullptr));
    EXPECT_FALSE(::IsWindowVisible(p.Handle()));
    ASSERT_EQ(b.host.dialogs.messages.size(), 1u);
    EXPECT_EQ(b.host.dialogs.messages[0].text, Empty_List_Text);
}

}  // namespace
}  // namespace velbrook

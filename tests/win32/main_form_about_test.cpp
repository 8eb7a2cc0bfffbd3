// The main window and its About window: the first show writes the product
// texts into it, and Help > About shows it modally over the main window.

#include "main_form_fixture.h"

#include "app/command_ids.h"
#include "modal_driver.h"

namespace velbrook::testing {
namespace {

TEST_F(Main_Form_Test, First_Show_Writes_The_Maker_Texts_Into_The_About_Window) {
    about.Set_Hint(L"design hint");
    Shown();
    EXPECT_EQ(about.Caption(), L"About Velbrook v1.0f ...");
    EXPECT_EQ(about.Product_Name_Label.Text(), L"Velbrook v1.0f");
    EXPECT_TRUE(about.Author_and_Date_Label.Text().ends_with(L", September 2007"));
    EXPECT_FALSE(about.Copyright_Label.Text().empty());
    EXPECT_NE(about.Email_Button.Text().find(L'@'), std::wstring::npos);
    EXPECT_FALSE(about.WEB_Button.Text().empty());
    EXPECT_FALSE(about.Donations_WEB_Address_Label.Text().empty());
    EXPECT_EQ(about.Hint(), L"");
    EXPECT_FALSE(::IsWindowVisible(about.Handle())) << "shown only from the Help menu";
}

TEST_F(Main_Form_Test, Help_About_Shows_The_About_Window_Modally_Over_The_Main_Window) {
    TMainForm1& window = Shown();
    bool was_modal = false, was_shown = false;
    // As the menu sends it: the call returns when the About window closes.
    testing::Drive_Modal(
        about, [&] { ::SendMessageW(window.Handle(), WM_COMMAND, command::About, 0); },
        [&] {
            was_shown = ::IsWindowVisible(about.Handle()) != FALSE;
            was_modal = !::IsWindowEnabled(window.Handle()) && ::GetWindow(about.Handle(), GW_OWNER) == window.Handle();
            EXPECT_TRUE(about.Quote_Change_Timer.Enabled());
            ::PostMessageW(about.OKButton.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
        });
    EXPECT_TRUE(was_shown);
    EXPECT_TRUE(was_modal);
    EXPECT_FALSE(::IsWindowVisible(about.Handle()));
    EXPECT_TRUE(::IsWindowEnabled(window.Handle()));
    EXPECT_FALSE(about.Quote_Change_Timer.Enabled());
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace velbrook::testing

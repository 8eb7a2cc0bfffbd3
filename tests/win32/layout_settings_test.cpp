// The page layout in the settings file: its own section after the Options
// one, gone at the defaults, read at first show and written at close.

#include "main_form_fixture.h"

#include "app/settings_file.h"

namespace velbrook::testing {
namespace {

class Layout_Settings : public Main_Form_Test {
protected:
    std::wstring Ini() { return folder / L"velbrook.ini"; }
    std::string Text() { return Read_Bytes(Ini()); }
};

TEST_F(Layout_Settings, Round_Trip_In_Their_Own_Section_And_At_The_Defaults_Leave_The_File_As_It_Was) {
    Write_Settings(Ini(), Settings{});
    Write_Page_Options(Ini(), {.fit = Fit_Mode::Fit});
    const std::string before = Text();
    Write_Sheet_Layout(Ini(), {});
    EXPECT_EQ(Text(), before) << "the default layout writes nothing";

    const Sheet_Layout layouts[] = {
        {.kind = Sheet_Kind::Grid, .columns = 10, .rows = 1, .margin = 0, .spacing = 300, .copies = 99},
        {.kind = Sheet_Kind::Print_Size, .print_width = 350, .print_height = 450, .pdf_paper = L"10 x 15 cm"},
        {.kind = Sheet_Kind::Print_Size, .print_width = 100, .print_height = 10000, .pdf_landscape = true},
        {.kind = Sheet_Kind::Actual_Size, .margin = 500, .pdf_paper = L"Letter"},
        {.copies = 2, .pdf_paper = L"A3", .pdf_landscape = true},
    };
    for (const Sheet_Layout& layout : layouts) {
        Write_Sheet_Layout(Ini(), layout);
        EXPECT_EQ(Read_Sheet_Layout(Ini()), layout) << Text();
        EXPECT_EQ(Read_Page_Options(Ini()), (Page_Options{.fit = Fit_Mode::Fit}));
        EXPECT_LT(Text().find("[Options]"), Text().find("[Layout]")) << Text();
    }
    Write_Sheet_Layout(Ini(), {.kind = Sheet_Kind::Print_Size});
    EXPECT_NE(Text().find("[Layout]\r\nSheet_Layout=2\r\nColumns=2\r\nRows=2\r\nPrint_Width=1000\r\n"
                          "Print_Height=1500\r\nMargin=50\r\nSpacing=30\r\nCopies=1\r\nPdf_Paper=\r\n"
                          "Pdf_Landscape=0\r\n"),
              std::string::npos)
        << Text();
    Write_Sheet_Layout(Ini(), {});
    EXPECT_EQ(Text(), before) << "back at the defaults, the section is gone";
    EXPECT_EQ(Read_Sheet_Layout(Ini()), Sheet_Layout{});
}

TEST_F(Layout_Settings, A_Value_That_Does_Not_Read_Or_Lies_Outside_Its_Range_Gives_That_Keys_Default) {
    struct Case {
        const char* section;
        Sheet_Layout read;
    } cases[] = {
        {"Sheet_Layout=4\r\nColumns=0\r\nRows=11\r\nPrint_Width=99\r\nPrint_Height=10001\r\nMargin=-1\r\n"
         "Spacing=301\r\nCopies=100\r\nPdf_Paper=B5\r\nPdf_Landscape=2\r\n",
         {}},
        {"Sheet_Layout=grid\r\nColumns=3x\r\nRows=\r\nPrint_Width=1e3\r\nMargin=5.5\r\nCopies=0x10\r\n"
         "Pdf_Paper=a4\r\nPdf_Landscape=yes\r\n",
         {.copies = 16}},
        {"Sheet_Layout= 3 \r\nColumns=10\r\nRows=1\r\nPrint_Width=100\r\nPrint_Height=10000\r\nMargin=500\r\n"
         "Spacing=0\r\nCopies=99\r\nPdf_Paper=Legal\r\nPdf_Landscape=1\r\n",
         {.kind = Sheet_Kind::Actual_Size,
          .columns = 10,
          .rows = 1,
          .print_width = 100,
          .print_height = 10000,
          .margin = 500,
          .spacing = 0,
          .copies = 99,
          .pdf_paper = L"Legal",
          .pdf_landscape = true}},
        {"Sheet_Layout=-1\r\nPdf_Paper=10 x 15 cm\r\n", {.pdf_paper = L"10 x 15 cm"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        folder.Write(L"velbrook.ini", std::string("[velbrook]\r\nwindow_Width=600\r\n[Layout]\r\n") + c.section);
        EXPECT_EQ(Read_Sheet_Layout(Ini()), c.read);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Layout_Settings, First_Show_Reads_The_Layout_Closing_Writes_It_And_Factory_Defaults_Reset_It) {
    folder.Write(L"velbrook.ini", "[velbrook]\r\n[Layout]\r\nSheet_Layout=1\r\nColumns=3\r\nRows=5\r\nCopies=2\r\n");
    TMainForm1& window = Shown();
    EXPECT_EQ(window.Chosen_Layout(), (Sheet_Layout{.kind = Sheet_Kind::Grid, .columns = 3, .rows = 5, .copies = 2}));
    const Sheet_Layout chosen{
        .kind = Sheet_Kind::Print_Size, .print_width = 1270, .print_height = 1778, .pdf_paper = L"A5"};
    window.Set_Chosen_Layout(chosen);
    window.Close();
    EXPECT_TRUE(window.Closed());
    EXPECT_EQ(Read_Sheet_Layout(Ini()), chosen);
    form.reset();

    TMainForm1& again = Shown();
    EXPECT_EQ(again.Chosen_Layout(), chosen);
    dialogs.answers = {Answer::Yes};
    again.Restore_Factory_Defaults_Option.Click();
    EXPECT_EQ(again.Chosen_Layout(), Sheet_Layout{});
    again.Close();
    EXPECT_EQ(Text().find("[Layout]"), std::string::npos) << Text();
    ASSERT_EQ(dialogs.messages.size(), 1u) << "the question of Restore Factory Defaults alone";
}

}  // namespace
}  // namespace velbrook::testing

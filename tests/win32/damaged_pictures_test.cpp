// Damaged pictures of every accepted type (with PNG, GIF and TIFF) through
// the real main window's preview and then through a print run with the
// recording printer: nothing crashes, nothing shows a box, and the run goes
// on to its end (a picture that hung would end the suite at its time limit).
// Beside the damaged files the list holds a folder named like a picture, an
// empty file of each type, and a file that vanishes between the drop and
// the print.

#include "../support/damaged_pictures.h"
#include "main_form_fixture.h"
#include "print_test_support.h"

namespace velbrook {
namespace {

using namespace velbrook::testing;
class Damaged_Pictures : public Main_Form_Test {};

TEST_F(Damaged_Pictures, Pass_Through_The_Preview_And_The_Print_Run_Without_Harm) {
    std::vector<std::wstring> entries;
    // With PNG, GIF and TIFF files accepted.
    const Page_Options more_types{.more_types = true};
    for (const test::Damaged_Picture& picture : test::Damaged_Pictures(more_types.more_types))
        entries.push_back(folder.Write(picture.name, std::string(picture.bytes.begin(), picture.bytes.end())));
    for (const wchar_t* name : {L"folder.jpg", L"folder.bmp"}) {
        entries.push_back(folder / name);
        ASSERT_TRUE(::CreateDirectoryW(entries.back().c_str(), nullptr));
    }
    // Sound until the print run reaches it; then it is gone.
    const std::size_t vanishing = entries.size();
    entries.push_back(folder.Copy(L"blue_yellow.jpg", L"vanishing.jpg"));
    ASSERT_GT(entries.size(), 300u);

    // The preview: each entry selected as a click of the user selects it.
    for (const std::wstring& entry : entries) Form().Pictures().Add(entry);
    TMainForm1& window = Shown();
    window.Set_Chosen_Options(more_types);
    ASSERT_EQ(window.File_ListBox.Count(), static_cast<int>(entries.size()));
    std::size_t shown = 0;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        SCOPED_TRACE(std::string(entries[k].begin(), entries[k].end()));
        window.Pictures().Select_Index(static_cast<int>(k));
        ::SendMessageW(window.All_GroupBox.Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(window.File_ListBox.Handle()));
        ::RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Process_Messages();
        ASSERT_TRUE(dialogs.messages.empty()) << std::string(Last_Text().begin(), Last_Text().end());
        shown += window.Image1.Picture() != nullptr;
    }
    // The sound pictures of every type, at least, were shown.
    EXPECT_GE(shown, 15u);

    // The print run, over the same list, with the recording printer.
    Print_Bench bench;
    bench.host.entries = entries;
    bench.host.options = more_types;
    int last = -1;
    bench.host.on_select = [&](int index) {
        if (index == static_cast<int>(vanishing)) ::DeleteFileW(entries[vanishing].c_str());
        last = index;
    };
    bench.run->Print_BitBtnClick();
    EXPECT_TRUE(bench.host.dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(last, static_cast<int>(entries.size()) - 1);
    EXPECT_EQ(bench.recording->documents_begun, 1);
    EXPECT_EQ(bench.recording->documents_ended, 1);
    EXPECT_TRUE(bench.host.enabled);
    EXPECT_EQ(bench.host.status, L"  Success: All " + std::to_wstring(entries.size()) +
                                     L" pictures have been printed !!    (The entire process took 0 seconds).");
    // The print run and the preview load alike: a page for every picture the
    // preview showed, but the one that vanished in between.
    EXPECT_EQ(bench.recording->pages.size(), shown - 1);
}

}  // namespace
}  // namespace velbrook

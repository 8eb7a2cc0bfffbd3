#pragma once
// A main window in a folder of its own, with scripted dialogs, for tests of
// its commands.  The folder plays the program's folder: the settings file
// and the test pictures live there.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "about/about_box.h"
#include "app/main_form.h"
#include "picture/picture.h"
#include "toolkit/application.h"
#include "../support/scripted_dialogs.h"
#include "../support/temp_folder.h"

namespace velbrook::testing {

// A Linux path of the source tree as Wine sees it.
inline std::wstring Source_Path(const char* linux_path) {
    std::wstring path = L"Z:";
    for (const char* c = linux_path; *c; ++c) path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
    return path;
}

inline std::wstring Test_Picture(const wchar_t* name) {
    return Source_Path(VELBROOK_TEST_DATA) + L"\\pictures\\" + name;
}

// A test's own folder, which can also hold copies of the test pictures.
class Temp_Folder : public Scratch_Folder {
public:
    std::wstring Copy(const wchar_t* picture, const std::wstring& name) const {
        std::wstring file = *this / name;
        std::filesystem::copy_file(Test_Picture(picture), file, std::filesystem::copy_options::overwrite_existing);
        return file;
    }
};

inline std::string Read_Bytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Main_Form_Test : public ::testing::Test {
protected:
    Main_Form_Test() : application(dialogs, L"Velbrook v1.0f") {}

    // The window is made on first use, so a test can prepare its folder first.
    TMainForm1& Form() {
        if (!form) {
            form = std::make_unique<TMainForm1>(
                Main_Form_Setup{
                    .dialogs = dialogs, .program_path = folder / L"velbrook.exe", .load_picture = Load_Preview},
                about);
        }
        return *form;
    }
    TMainForm1& Shown() {
        TMainForm1& window = Form();
        window.Show();
        Process_Messages();
        return window;
    }
    void Fill(std::initializer_list<std::wstring> entries) {
        for (const auto& entry : entries) Form().Pictures().Add(entry);
    }
    std::wstring Status() { return Form().StatusBar1.Panel_Text(); }
    bool Changed() { return Form().Has_File_List_Changed_CheckBox.Checked(); }
    std::vector<std::wstring> Entries() {
        std::vector<std::wstring> items;
        for (int i = 0; i < Form().File_ListBox.Count(); ++i) items.push_back(Form().File_ListBox.Item(i));
        return items;
    }
    const std::wstring& Last_Text() { return dialogs.Last().text; }

    ~Main_Form_Test() override {
        if (form) {
            // Closing must not ask anything a test did not script.
            form->Has_File_List_Changed_CheckBox.Set_Checked(false);
        }
    }

    Scripted_Dialogs dialogs;
    Application application;
    Temp_Folder folder;
    TAboutBox about;
    std::unique_ptr<TMainForm1> form;
};

}  // namespace velbrook::testing

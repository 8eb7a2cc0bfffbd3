// Velbrook: prints a list of pictures, one per page, on any printer.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <vector>

#include "about/about_box.h"
#include "app/command_ids.h"
#include "app/command_run.h"
#include "app/main_form.h"
#include "app/settings_file.h"
#include "picture/picture.h"
#include "shell/file_utils.h"
#include "shell/product_name.h"
#include "shell/text_utils.h"
#include "toolkit/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::vector<std::wstring> words = velbrook::Command_Line_Words();
    try {
        // A command that saves or prints runs here, before any window is
        // made, and ends the program; plain file names go on to the window.
        const std::wstring program_path = velbrook::Program_Path();
        std::optional<velbrook::Console_Output> console;
        const velbrook::Command_Environment command{.program_path = program_path,
                                                    .user_settings_folder = velbrook::User_Settings_Folder(),
                                                    .program_name = velbrook::File_Name_Of(program_path),
                                                    .write_line = [&](const std::wstring& line, bool error) {
                                                        if (!console) console.emplace();
                                                        console->Write_Line(line, error);
                                                    }};
        if (const std::optional<int> code = velbrook::Run_Command_Line(words, command)) return *code;

        velbrook::System_Dialogs dialogs;
        velbrook::Application application(dialogs, velbrook::Product_Name);
        velbrook::TAboutBox about;
        velbrook::TMainForm1 main_form(
            {.dialogs = dialogs, .program_path = program_path, .load_picture = velbrook::Load_Preview}, about);
        return application.Run(main_form, [&] {
            if (!words.empty()) main_form.Take_Files(words);
        });
    } catch (...) {
        ::MessageBoxW(nullptr, velbrook::Failure_Text(std::current_exception()).c_str(), velbrook::Product_Name,
                      MB_ICONERROR | MB_OK);
        return 1;
    }
}

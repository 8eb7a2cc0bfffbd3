// Velbrook: prints a list of pictures, one per page, on any printer.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "about/about_box.h"
#include "app/command_ids.h"
#include "app/main_form.h"
#include "picture/picture.h"
#include "shell/file_utils.h"
#include "shell/product_name.h"
#include "toolkit/application.h"

namespace {

std::vector<std::wstring> Command_Line_Files() {
    std::vector<std::wstring> files;
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments) return files;
    for (int i = 1; i < count; ++i) files.emplace_back(arguments[i]);
    ::LocalFree(arguments);
    return files;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    try {
        velbrook::System_Dialogs dialogs;
        velbrook::Application application(dialogs, velbrook::Product_Name);
        velbrook::TAboutBox about;
        velbrook::TMainForm1 main_form(
            {.dialogs = dialogs, .program_path = velbrook::Program_Path(), .load_picture = velbrook::Load_Preview},
            about);
        std::vector<std::wstring> files = Command_Line_Files();
        return application.Run(main_form, [&] {
            if (!files.empty()) main_form.Take_Files(files);
        });
    } catch (...) {
        ::MessageBoxW(nullptr, velbrook::Failure_Text(std::current_exception()).c_str(), velbrook::Product_Name,
                      MB_ICONERROR | MB_OK);
        return 1;
    }
}

#pragma once
// Every message box and common dialog of the program goes through one
// replaceable Dialogs object.  The program uses the real one; tests install a
// scripted one that records every question and answers as told.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velbrook {

enum class Message_Kind {
    Error,         // "Error", error icon
    Warning,       // "Warning", warning icon
    Information,   // "Information", information icon
    Confirmation,  // "Confirm", question icon
    Failure,       // the application's title, error icon (the general failure handler)
};

enum class Buttons { Ok, Yes_No };
enum class Answer { Ok, Yes, No };

struct Message_Request {
    Message_Kind kind = Message_Kind::Information;
    std::wstring title;
    std::wstring text;
    Buttons buttons = Buttons::Ok;
};

struct File_Dialog_Request {
    bool save = false;
    std::wstring initial_dir;
    std::wstring file_name;  // what the name box shows when the dialog opens
    std::wstring filter;     // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*"
    int filter_index = 1;
    DWORD flags = 0;                 // OFN_* options
    std::wstring default_extension;  // added to a name typed without one ("pdf"); empty: none
};

// What the printer set-up dialog chose: the device and its settings.
struct Printer_Selection {
    std::wstring device;
    std::wstring driver;
    std::wstring port;
    std::vector<BYTE> devmode;  // the DEVMODEW the dialog returned, whole
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer Show_Message(const Message_Request& request) = 0;
    // The chosen full path, or nothing when the dialog was cancelled.
    virtual std::optional<std::wstring> Show_File_Dialog(const File_Dialog_Request& request) = 0;
    virtual std::optional<Printer_Selection> Show_Printer_Setup() = 0;
};

// The platform's own boxes and dialogs.
class System_Dialogs final : public Dialogs {
public:
    Answer Show_Message(const Message_Request& request) override;
    std::optional<std::wstring> Show_File_Dialog(const File_Dialog_Request& request) override;
    std::optional<Printer_Selection> Show_Printer_Setup() override;
};

// The four kinds of box the program uses, with their fixed titles and icons.
void Error_Box(Dialogs& dialogs, const std::wstring& text);
void Warning_Box(Dialogs& dialogs, const std::wstring& text);
void Information_Box(Dialogs& dialogs, const std::wstring& text);
// Yes and No; Escape and the close button answer No.
Answer Confirm_Box(Dialogs& dialogs, const std::wstring& text);
Answer Warning_Question(Dialogs& dialogs, const std::wstring& text);

const wchar_t* Title_Of(Message_Kind kind);

}  // namespace velbrook

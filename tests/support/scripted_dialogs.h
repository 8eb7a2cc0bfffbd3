#pragma once
// A Dialogs object for tests: records every question and answers from a
// script.  A question that the script does not expect fails loudly instead of
// blocking on a box nobody will close.

#include <deque>
#include <stdexcept>

#include "toolkit/dialogs.h"

namespace velbrook {

class Scripted_Dialogs final : public Dialogs {
public:
    std::vector<Message_Request> messages;
    std::vector<File_Dialog_Request> file_dialogs;
    int printer_setups = 0;

    std::deque<Answer> answers;                            // for Yes/No boxes
    std::deque<std::optional<std::wstring>> file_answers;  // nullopt = Cancel
    std::deque<std::optional<Printer_Selection>> printer_answers;

    Answer Show_Message(const Message_Request& request) override {
        messages.push_back(request);
        if (request.buttons == Buttons::Ok) return Answer::Ok;
        if (answers.empty()) throw std::logic_error("unexpected question");
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::wstring> Show_File_Dialog(const File_Dialog_Request& request) override {
        file_dialogs.push_back(request);
        if (file_answers.empty()) throw std::logic_error("unexpected file dialog");
        auto answer = file_answers.front();
        file_answers.pop_front();
        return answer;
    }
    std::optional<Printer_Selection> Show_Printer_Setup() override {
        ++printer_setups;
        if (printer_answers.empty()) throw std::logic_error("unexpected printer set-up");
        auto answer = printer_answers.front();
        printer_answers.pop_front();
        return answer;
    }

    const Message_Request& Last() const {
        if (messages.empty()) throw std::logic_error("no message was shown");
        return messages.back();
    }
    void Clear() {
        messages.clear();
        file_dialogs.clear();
        printer_setups = 0;
    }
};

}  // namespace velbrook

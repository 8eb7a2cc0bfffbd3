#include "app/command_line.h"

#include <cmath>
#include <cstdio>

#include "shell/text_utils.h"

namespace velbrook {

namespace {

bool Is_Switch(std::wstring_view word) { return !word.empty() && word.front() == L'/'; }

Command_Line_Error Needs(std::wstring_view word, std::wstring_view what) {
    return {L"\"" + std::wstring(word) + L"\" needs " + std::wstring(what) + L"."};
}

}  // namespace

std::variant<Command_Line, Command_Line_Error> Parse_Command_Line(const std::vector<std::wstring>& words) {
    Command_Line command;
    bool pdf = false, print = false, printer = false, list = false;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::wstring& word = words[k];
        if (!Is_Switch(word)) {
            command.sources.push_back({.list = false, .path = word});
            continue;
        }
        const std::wstring name = Lower_Ascii(word);
        // The word after a switch that takes one; another switch there is none.
        const bool has_value = k + 1 < words.size() && !Is_Switch(words[k + 1]);
        if (name == L"/?") {
            if (words.size() != 1) return Command_Line_Error{L"\"/?\" goes alone."};
            command.kind = Command_Kind::Help;
            return command;
        }
        if (name == L"/pdf") {
            if (pdf) return Command_Line_Error{L"\"/pdf\" is given twice."};
            if (!has_value) return Needs(word, L"the name of the PDF file to write");
            pdf = true;
            command.pdf_target = words[++k];
        } else if (name == L"/print") {
            if (print) return Command_Line_Error{L"\"/print\" is given twice."};
            print = true;
        } else if (name == L"/printer") {
            if (printer) return Command_Line_Error{L"\"/printer\" is given twice."};
            if (!has_value) return Needs(word, L"the name of a printer");
            printer = true;
            command.printer = words[++k];
        } else if (name == L"/list") {
            if (!has_value) return Needs(word, L"the name of a list file");
            list = true;
            command.sources.push_back({.list = true, .path = words[++k]});
        } else {
            return Command_Line_Error{L"\"" + word + L"\" is not a switch of this program."};
        }
    }
    if (pdf && print) return Command_Line_Error{L"\"/pdf\" and \"/print\" do not go together."};
    if (printer && !print) return Command_Line_Error{L"\"/printer\" goes only with \"/print\"."};
    if (list && !pdf && !print) return Command_Line_Error{L"\"/list\" goes only with \"/pdf\" or \"/print\"."};
    command.kind = pdf ? Command_Kind::Pdf : print ? Command_Kind::Print : Command_Kind::Window;
    return command;
}

std::wstring Usage_Line(std::wstring_view program_name) {
    const std::wstring name(program_name);
    return L"Usage: " + name + L" [FILE...] | " + name + L" /pdf OUT.pdf [FILE...] [/list LIST.txt] | " + name +
           L" /print [/printer NAME] [FILE...] [/list LIST.txt]";
}

int Exit_Code_For(bool done, int pictures_in, int skipped) {
    if (!done || pictures_in <= 0) return Exit_Nothing_Done;
    return skipped > 0 ? Exit_Some_Skipped : Exit_All_Pictures;
}

bool Has_Wildcards(std::wstring_view path) {
    const std::size_t last = path.find_last_of(L"\\/:");
    const std::wstring_view name = last == std::wstring_view::npos ? path : path.substr(last + 1);
    return name.find_first_of(L"*?") != std::wstring_view::npos;
}

std::wstring Summary_Line(Command_Kind kind, int pictures_in, int pictures, double seconds) {
    wchar_t time[32];
    std::swprintf(time, 32, L"%.1f", std::isfinite(seconds) && seconds > 0 ? seconds : 0.0);
    return std::to_wstring(pictures_in) + L" of " + std::to_wstring(pictures) +
           (pictures == 1 ? L" picture " : L" pictures ") + (kind == Command_Kind::Print ? L"printed" : L"saved") +
           L" in " + time + L" seconds.";
}

std::wstring Skipped_Line(std::wstring_view reason) {
    std::wstring line = L"Skipped: " + std::wstring(reason);
    // The full stop as the program's boxes add it: after a letter or a digit,
    // not after a quote, a bracket or a stop of its own.
    if (line.back() > L'.') line += L'.';
    return line;
}

}  // namespace velbrook

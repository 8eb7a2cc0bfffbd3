#include "pdf/pdf_file_output.h"

namespace velbrook {

namespace {

// The save's box names the file already: the reason alone follows.
template <class Work>
auto Reasoned(Work work) {
    try {
        return work();
    } catch (const File_Failure& failure) {
        throw Failure(failure.Reason());
    }
}

}  // namespace

Replacing_File_Output::Replacing_File_Output(const std::wstring& target) : file_(Open(target)) {}

Replacing_File Replacing_File_Output::Open(const std::wstring& target) {
    return Reasoned([&] { return Replacing_File(target); });
}

void Replacing_File_Output::Write(std::span<const std::uint8_t> bytes) {
    Reasoned([&] { file_.Write(bytes); });
}

void Replacing_File_Output::Commit() {
    Reasoned([&] { file_.Commit(); });
}

}  // namespace velbrook

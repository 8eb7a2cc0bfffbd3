#pragma once
// A PDF written beside its target under a temporary name and moved into
// place only when it is complete, so that a failed or abandoned save leaves
// an earlier file as it was and no partial file behind.

#include <string>

#include "pdf/pdf_writer.h"
#include "toolkit/whole_file.h"

namespace velbrook {

class Replacing_File_Output final : public Pdf_Output {
public:
    // Checks first that the target can be replaced (not read-only, not held
    // open by another program), then makes the temporary file in the same
    // folder.  Every failure throws Failure with the reason in words.
    explicit Replacing_File_Output(const std::wstring& target);

    void Write(std::span<const std::uint8_t> bytes) override;
    // Flushes, closes and moves the file over the target.
    void Commit();
    const std::wstring& Temporary_Path() const { return file_.Temporary_Path(); }

private:
    static Replacing_File Open(const std::wstring& target);
    Replacing_File file_;
};

}  // namespace velbrook

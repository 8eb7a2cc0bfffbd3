#pragma once
// A PDF written beside its target under a temporary name and moved into
// place only when it is complete, so that a failed or abandoned save leaves
// an earlier file as it was and no partial file behind.

#include <windows.h>

#include <string>

#include "pdf/pdf_writer.h"
#include "toolkit/handles.h"

namespace velbrook {

class Replacing_File_Output final : public Pdf_Output {
public:
    // Checks first that the target can be replaced (not read-only, not held
    // open by another program), then makes the temporary file in the same
    // folder.  Every failure throws Failure with the reason in words.
    explicit Replacing_File_Output(std::wstring target);
    // Removes the temporary file unless Commit put it in place.
    ~Replacing_File_Output() override;
    Replacing_File_Output(const Replacing_File_Output&) = delete;
    Replacing_File_Output& operator=(const Replacing_File_Output&) = delete;

    void Write(std::span<const std::uint8_t> bytes) override;
    // Flushes, closes and moves the file over the target.
    void Commit();
    const std::wstring& Temporary_Path() const { return temporary_; }

private:
    std::wstring target_;
    std::wstring temporary_;
    File_Handle file_;
    bool committed_ = false;
};

// Why a file could not be written, in words for a box.
std::wstring Write_Failure_Reason(DWORD error);

}  // namespace velbrook

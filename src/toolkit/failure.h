#pragma once
// Failures of the program surface as exceptions.  Whatever a command does not
// handle itself reaches the message loop's general failure handler, which
// shows Text() in a box and lets the loop run on.  This header is portable so
// that the core (parsers, decoders, text utilities) can raise them too.

#include <exception>
#include <string>

namespace velbrook {

class Failure : public std::exception {
public:
    explicit Failure(std::wstring text) : text_(std::move(text)), narrow_(Narrow(text_)) {}
    const std::wstring& Text() const noexcept { return text_; }
    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    static std::string Narrow(const std::wstring& text) {
        std::string out;
        out.reserve(text.size());
        for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
    std::wstring text_;
    std::string narrow_;
};

// A text that is not a number where one is needed.
class Conversion_Error : public Failure {
public:
    using Failure::Failure;
};

// A file that is not a valid picture of its kind, or a kind without a decoder.
// The preview and the print run handle it silently; other failures of a load
// (a locked file) are not of this type and reach the general handler.
class Invalid_Picture : public Failure {
public:
    using Failure::Failure;
};

// The readers' way to give up on a picture.
[[noreturn]] inline void Invalid(const wchar_t* reason) { throw Invalid_Picture(reason); }

}  // namespace velbrook

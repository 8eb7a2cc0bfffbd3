#include <algorithm>
#include <optional>
#include <vector>

#include "picture/picture_file.h"
#include "printing/printer.h"

namespace velbrook {
namespace {

std::unique_ptr<Byte_Source> Open_Source(const std::wstring& path) {
    try {
        return std::make_unique<File_Source>(Open_Picture_File(path));
    } catch (const Unreadable_File&) {
        return std::make_unique<File_Source>(File_Handle());  // ends at once: the check fails
    }
}

}  // namespace

bool Postscript_Jpegs::Send(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    for (std::size_t at = 0; at < text.size(); at += Postscript_Piece_Bytes)
        if (!channel_.send({bytes + at, std::min(Postscript_Piece_Bytes, text.size() - at)})) return false;
    return true;
}

bool Postscript_Jpegs::Draw(const Picture& picture, const Placement& placement) {
    if (refused_ || !channel_.send || picture.Kind() != Picture_Kind::Jpeg || placement.destination.Empty() ||
        placement.source.Empty())
        return false;
    const std::wstring path = picture.Jpeg_File();
    if (path.empty()) return false;
    if (path != checked_path_) {
        checked_path_ = path;
        checked_ = Check_Jpeg_As_It_Is([&] { return Open_Source(path); });
    }
    if (!checked_ || checked_->header.progressive) return false;
    const SIZE held = picture.Pixel_Size();
    // The picture as held is the file at a scale no larger than one: a file
    // that is now smaller has changed since it was loaded.
    if (held.cx > checked_->header.width || held.cy > checked_->header.height) return false;
    const Postscript_Jpeg program =
        Postscript_For_Jpeg(checked_->header, placement, held.cx, held.cy, channel_.data);
    if (program.before.empty()) return false;

    // A driver that refuses the first piece has been sent nothing: the
    // picture is drawn the other way, as is every later one.  One that
    // refuses a later piece leaves its job damaged whatever follows, and the
    // picture is drawn the other way too, for what the printer still makes
    // of the page.
    std::optional<File_Source> file;
    try {
        file.emplace(Open_Picture_File(path));
    } catch (const Unreadable_File&) {
        return false;
    }
    if (!Send(program.before)) {
        refused_ = true;
        return false;
    }
    std::vector<std::uint8_t> piece(Postscript_Piece_Bytes);
    std::string text;
    Ascii85_Encoder ascii85;
    // Three quarters of a piece become at most a piece of ASCII85 text, its
    // line ends included.
    const std::size_t step = channel_.data == Postscript_Data::Binary ? piece.size() : piece.size() * 3 / 4;
    bool sent = true;
    for (std::uint64_t left = checked_->length; left > 0 && sent;) {
        const std::size_t got = file->Read(piece.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, step)));
        if (got == 0) {
            sent = false;
            break;
        }
        left -= got;
        if (channel_.data == Postscript_Data::Binary) {
            sent = channel_.send({piece.data(), got});
        } else {
            text.clear();
            ascii85.Add({piece.data(), got}, text);
            if (left == 0) ascii85.Finish(text);
            sent = Send(text);
        }
    }
    if (!sent || !Send(program.after)) {
        refused_ = true;
        return false;
    }
    return true;
}

}  // namespace velbrook

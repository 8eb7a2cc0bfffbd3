#include "printing/printer.h"

#include <winspool.h>

#include <algorithm>
#include <cwchar>
#include <climits>
#include <cstring>
#include <new>

#include "picture/jpeg_decode.h"
#include "printing/print_texts.h"

#include "toolkit/failure.h"
#include "toolkit/handles.h"

namespace velbrook {
namespace {

// The devmode that the set-up dialog returned, when it is whole.
const DEVMODEW* Checked_Devmode(const std::vector<BYTE>& bytes) {
    if (bytes.size() < offsetof(DEVMODEW, dmFields)) return nullptr;
    const auto* devmode = reinterpret_cast<const DEVMODEW*>(bytes.data());
    if (devmode->dmSize < offsetof(DEVMODEW, dmFields) ||
        static_cast<std::size_t>(devmode->dmSize) + devmode->dmDriverExtra > bytes.size())
        return nullptr;
    return devmode;
}

// Whether the driver takes these JPEG bytes itself: it must know the
// CHECKJPEGFORMAT escape and then answer that it accepts them.
bool Device_Takes_Jpeg(HDC dc, const std::vector<std::uint8_t>& jpeg) {
    if (jpeg.empty() || jpeg.size() > INT_MAX) return false;
    const DWORD escape = CHECKJPEGFORMAT;
    if (::ExtEscape(dc, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), 0, nullptr) <= 0)
        return false;
    DWORD answer = 0;
    return ::ExtEscape(dc, CHECKJPEGFORMAT, static_cast<int>(jpeg.size()), reinterpret_cast<LPCSTR>(jpeg.data()),
                       sizeof answer, reinterpret_cast<LPSTR>(&answer)) > 0 &&
           answer == 1;
}

// The JPEG handed to the driver as it is, stretched over the destination.
bool Send_Jpeg(HDC dc, const Box& destination, const std::vector<std::uint8_t>& jpeg) {
    Jpeg_Info size;
    try {
        size = Read_Jpeg_Info(jpeg);
    } catch (const Invalid_Picture&) {
        return false;
    }
    const BITMAPINFO info = Jpeg_Dib_Info(size.width, size.height, jpeg.size());
    const int lines = ::StretchDIBits(dc, destination.left, destination.top, destination.Width(), destination.Height(),
                                      0, 0, size.width, size.height, jpeg.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

bool Driver_Knows(HDC dc, DWORD escape) {
    return ::ExtEscape(dc, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), 0, nullptr) > 0;
}

// Binary data only when the driver says that its channel to the printer
// passes every byte; text otherwise.  A driver that does not say cannot be
// trusted with them: Wine's, for one, hands the job to CUPS, whose PDF
// printer copies it a line at a time as C strings and loses every line's
// rest after a zero byte.
Postscript_Data Channel_Data(HDC dc) {
    if (!Driver_Knows(dc, GET_PS_FEATURESETTING)) return Postscript_Data::Ascii85;
    const INT feature = FEATURESETTING_PROTOCOL;
    INT protocol = -1;
    if (::ExtEscape(dc, GET_PS_FEATURESETTING, sizeof feature, reinterpret_cast<LPCSTR>(&feature), sizeof protocol,
                    reinterpret_cast<LPSTR>(&protocol)) <= 0)
        return Postscript_Data::Ascii85;
    return protocol == PSPROTOCOL_BINARY ? Postscript_Data::Binary : Postscript_Data::Ascii85;
}

// One piece of PostScript through the passthrough, its length first.
bool Pass_Through(HDC dc, std::span<const std::uint8_t> piece, std::vector<std::uint8_t>& buffer) {
    if (piece.size() > Postscript_Piece_Bytes) return false;
    const WORD length = static_cast<WORD>(piece.size());
    buffer.resize(sizeof length + piece.size());
    std::memcpy(buffer.data(), &length, sizeof length);
    std::memcpy(buffer.data() + sizeof length, piece.data(), piece.size());
    return ::ExtEscape(dc, POSTSCRIPT_PASSTHROUGH, static_cast<int>(buffer.size()),
                       reinterpret_cast<LPCSTR>(buffer.data()), 0, nullptr) > 0;
}

class Gdi_Printer final : public Printer {
public:
    explicit Gdi_Printer(const Printer_Selection& selection) : name_(selection.device) {
        if (name_.empty()) throw Failure(L"No printer was chosen");
        dc_.reset(::CreateDCW(L"WINSPOOL", name_.c_str(), nullptr, Checked_Devmode(selection.devmode)));
        if (!dc_) Fail(L"cannot be opened");
        size_ = {::GetDeviceCaps(dc_.get(), HORZRES), ::GetDeviceCaps(dc_.get(), VERTRES)};
        if (Driver_Knows(dc_.get(), POSTSCRIPT_PASSTHROUGH))
            postscript_.emplace(Postscript_Channel{
                .data = Channel_Data(dc_.get()), .send = [this](std::span<const std::uint8_t> piece) {
                    return Pass_Through(dc_.get(), piece, escape_buffer_);
                }});
    }
    ~Gdi_Printer() override {
        if (page_open_) ::EndPage(dc_.get());
        if (document_open_) ::EndDoc(dc_.get());
    }

    SIZE Page_Size() const override { return size_; }

    void Begin_Document(const std::wstring& title) override {
        DOCINFOW info{};
        info.cbSize = sizeof info;
        info.lpszDocName = title.c_str();
        if (::StartDocW(dc_.get(), &info) <= 0) Fail(L"could not begin the job \"" + title + L"\"");
        document_open_ = true;
        page_ = 0;
        Start_Page();
    }

    void New_Page() override {
        End_Page();
        Start_Page();
    }

    int Page_Number() const override { return page_; }

    void Draw(const Picture& picture, const RECT& rect) override {
        if (!page_open_) Fail(L"has no page open to draw on");
        // Metafiles and icons play on the printer itself; every other picture
        // goes as its bands, or as its JPEG file.
        if (!picture.Scalable()) return Draw_Placed(picture, Whole_Placement(picture.Pixel_Size(), rect));
        if (!page_open_) Fail(L"has no page open to draw on");
        ::SetLastError(0);
        if (!picture.Render(dc_.get(), rect)) Fail(L"could not draw the picture on page " + std::to_wstring(page_));
    }

    int Pixels_Per_Inch() const override { return ::GetDeviceCaps(dc_.get(), LOGPIXELSY); }

    Sheet_Paper Paper() const override {
        HDC dc = dc_.get();
        return {.paper_width = ::GetDeviceCaps(dc, PHYSICALWIDTH),
                .paper_height = ::GetDeviceCaps(dc, PHYSICALHEIGHT),
                .offset_x = ::GetDeviceCaps(dc, PHYSICALOFFSETX),
                .offset_y = ::GetDeviceCaps(dc, PHYSICALOFFSETY),
                .printable_width = size_.cx,
                .printable_height = size_.cy,
                .dots_x = ::GetDeviceCaps(dc, LOGPIXELSX),
                .dots_y = ::GetDeviceCaps(dc, LOGPIXELSY),
                .classic_page = Classic_Page(size_)};
    }

    void Draw_Placed(const Picture& picture, const Placement& placement) override {
        if (!page_open_) Fail(L"has no page open to draw on");
        ::SetLastError(0);
        // A driver that takes JPEG gets the file as it is: it prints the
        // original picture, and nothing is decoded here.
        const std::vector<std::uint8_t> jpeg = Jpeg_For_Printer(picture, placement);
        if (!jpeg.empty() && Device_Takes_Jpeg(dc_.get(), jpeg) && Send_Jpeg(dc_.get(), placement.destination, jpeg))
            return;
        // A PostScript printer decodes the JPEG itself, turned and cut by
        // its matrix.
        if (postscript_ && postscript_->Draw(picture, placement)) return;
        ::SetLastError(0);
        if (!velbrook::Draw_Placed(dc_.get(), picture, placement))
            Fail(L"could not draw the picture on page " + std::to_wstring(page_));
    }

    void Draw_Caption(const std::wstring& text, const Box& strip, int font_height) override {
        if (!page_open_) Fail(L"has no page open to draw on");
        Draw_Caption_Text(dc_.get(), text, strip, font_height);
    }

    void End_Document() override {
        if (!document_open_) return;
        bool page_ended = true;
        if (page_open_) {
            page_open_ = false;
            page_ended = ::EndPage(dc_.get()) > 0;
        }
        document_open_ = false;
        const bool ended = ::EndDoc(dc_.get()) > 0;
        if (!page_ended || !ended) Fail(L"could not finish the job");
    }

private:
    void Start_Page() {
        if (::StartPage(dc_.get()) <= 0) Fail(L"could not begin page " + std::to_wstring(page_ + 1));
        page_open_ = true;
        ++page_;
    }
    void End_Page() {
        page_open_ = false;
        if (::EndPage(dc_.get()) <= 0) Fail(L"could not finish page " + std::to_wstring(page_));
    }
    [[noreturn]] void Fail(const std::wstring& what) const {
        const DWORD error = ::GetLastError();
        std::wstring text = L"The printer \"" + name_ + L"\" " + what;
        if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY)
            text += L": there is not enough memory";
        else if (error)
            text += L" (system error " + std::to_wstring(error) + L")";
        throw Failure(text);
    }

    std::wstring name_;
    Dc_Handle dc_;
    SIZE size_{};
    int page_ = 0;
    bool document_open_ = false;
    bool page_open_ = false;
    std::optional<Postscript_Jpegs> postscript_;
    std::vector<std::uint8_t> escape_buffer_;
};

}  // namespace

void Draw_Caption_Text(HDC dc, const std::wstring& text, const Box& strip, int font_height) {
    if (strip.Empty() || text.empty()) return;
    LOGFONTW spec{};
    spec.lfHeight = -std::max(1, font_height);  // the character height, as points measure it
    spec.lfWeight = FW_NORMAL;
    spec.lfCharSet = DEFAULT_CHARSET;
    spec.lfQuality = ANTIALIASED_QUALITY;
    ::lstrcpynW(spec.lfFaceName, L"Arial", LF_FACESIZE);
    const Font_Handle font(::CreateFontIndirectW(&spec));
    const Dc_State_Guard state(dc);
    const Select_Guard select(dc, font.get());
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    RECT box{strip.left, strip.top, strip.right, strip.bottom};
    std::wstring shown = text;  // DT_MODIFYSTRING is not asked for: the text stays as given
    ::DrawTextW(dc, shown.data(), static_cast<int>(shown.size()), &box,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

Sheet_Paper Printer::Paper() const {
    const SIZE size = Page_Size();
    const int dots = Pixels_Per_Inch();
    return {.paper_width = size.cx,
            .paper_height = size.cy,
            .printable_width = size.cx,
            .printable_height = size.cy,
            .dots_x = dots,
            .dots_y = dots,
            .classic_page = Classic_Page(size)};
}

Box Classic_Page(SIZE size) { return {Page_Margin, Page_Margin, size.cx - Page_Margin, size.cy - Page_Margin}; }

std::vector<std::uint8_t> Jpeg_For_Printer(const Picture& picture, const Placement& placement) {
    const SIZE size = picture.Pixel_Size();
    if (picture.Kind() != Picture_Kind::Jpeg || placement.orientation != 1 || placement.destination.Empty() ||
        placement.source != Box{0, 0, size.cx, size.cy})
        return {};
    return picture.Original_Jpeg();
}

std::unique_ptr<Printer> Open_Gdi_Printer(const Printer_Selection& selection) {
    return std::make_unique<Gdi_Printer>(selection);
}

std::optional<Printer_Selection> Default_Printer_Selection() {
    DWORD length = 0;
    ::GetDefaultPrinterW(nullptr, &length);
    if (length == 0) return std::nullopt;
    std::wstring name(length, L'\0');
    if (!::GetDefaultPrinterW(name.data(), &length)) return std::nullopt;
    name.resize(std::wcslen(name.c_str()));
    if (name.empty()) return std::nullopt;
    return Printer_Selection{.device = name};
}

}  // namespace velbrook

#pragma once
// The About window.  It lives from start-up to exit, hidden between
// showings; the main window's first-show steps write the product texts into
// it, and the Help menu shows it modally.

#include <functional>
#include <random>
#include <string>

#include "gif/gif_image.h"
#include "printing/gauge.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/timer.h"

namespace velbrook {

struct About_Setup {
    // The program file; its name goes into the e-mail's subject.  Empty: the
    // running program.
    std::wstring program_path;
    // Hands a link to the shell.  Empty: Shell_Open.
    std::function<void(const std::wstring& target)> open_link;
};

class TAboutBox : public Form {
public:
    explicit TAboutBox(About_Setup setup = {});

    // The product name and the maker texts, unscrambled; the window's hint
    // is cleared.
    void Apply_Product_Texts(const std::wstring& product_name);

    // Handlers.
    void FormCreate();
    void FormActivate();
    void OKButtonClick();
    void FormKeyDown(WORD& key);
    void Quote_Change_TimerTimer();
    void Free_Resources_TimerTimer();
    void Email_ButtonClick();
    void WEB_ButtonClick();
    void Donations_LabelClick();
    void Donations_ImageClick();

    // The links the handlers open.
    std::wstring Mail_Link() const;
    std::wstring Web_Link() const;
    std::wstring Donation_Link() const;

    // The components, by parent, named as in the design.
    Group_Box& GroupBox2;
    Image_Box& Orvel_Logo_Banner_Image;

    Group_Box& GroupBox1;
    Bevel& Bevel1;
    TGIFImage& Orvel_Logo_GIFImage;
    Label& Product_Name_Label;
    Label& Author_and_Date_Label;
    Label& Developed_Using_Label;
    Label& Copyright_Label;
    Label& Software_Status_Label;
    Label& Donations_Label;
    Image_Box& Donations_Image;
    Label& Quote_From_Orvel_Label;
    Label& Email_Address_Label;
    Button& Email_Button;
    Label& Comments_Label;
    Label& WEB_Address_Label;
    Button& WEB_Button;
    Label& WEB_Page_Label;
    Button& OKButton;
    Bevel& Bevel3;
    Image_Box& Australian_Made_Logo;
    Label& Australian_Made_Label;
    Label& Label3;
    Label& Free_Resources_Label;
    TGauge& Gauge1;  // hidden, at 0 percent; nothing shows or changes it
    List_Box& Quotes_From_Orvel_ListBox;
    Label& Donations_WEB_Address_Label;

    Timer& Quote_Change_Timer;
    Timer& Free_Resources_Timer;

private:
    void Wire_Handlers();
    void Fit_Labels();
    void Stop_Timers_And_Animation();
    void Open(const std::wstring& target) const;

    std::wstring program_path_;
    std::function<void(const std::wstring&)> open_link_;
    std::mt19937 random_;
};

}  // namespace velbrook

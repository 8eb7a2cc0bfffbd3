#include "about/about_box.h"

namespace velbrook {

TAboutBox::TAboutBox()
    : Form(L"AboutBox", Options{.caption = L"About",
                                .bounds = {200, 120, 420, 300},
                                .style = WS_POPUP | WS_CAPTION | WS_SYSMENU}),
      Product_Name_Label(Add<Label>(this, L"Product_Name_Label", Bounds{16, 16, 380, 24}, L"", true)) {}

}  // namespace velbrook

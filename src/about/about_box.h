#pragma once
// The About window.  It lives from start-up to exit; the main window's
// first-show steps write the product texts into it.

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace velbrook {

class TAboutBox : public Form {
public:
    TAboutBox();
    Label& Product_Name_Label;
};

}  // namespace velbrook

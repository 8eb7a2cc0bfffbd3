#pragma once
// Progress on the program's taskbar button where the system offers it
// (ITaskbarList3); where it does not (older systems, Wine), every call does
// nothing and nothing is reported.

#include <windows.h>
#include <shobjidl.h>

#include "toolkit/handles.h"

namespace velbrook {

class Taskbar_Progress {
public:
    explicit Taskbar_Progress(HWND window);
    ~Taskbar_Progress();  // clears the progress
    Taskbar_Progress(const Taskbar_Progress&) = delete;
    Taskbar_Progress& operator=(const Taskbar_Progress&) = delete;

    void Set(int done, int total);
    bool Available() const { return static_cast<bool>(list_); }

private:
    Com_Apartment apartment_;
    Com_Ptr<ITaskbarList3> list_;
    HWND window_;
};

}  // namespace velbrook

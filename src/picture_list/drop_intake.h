#pragma once
// Dropped files join the end of the picture list when they exist, are not
// listed yet and have an accepted extension; refused files bring up one
// message per drop.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "picture_list/list_window.h"

namespace velbrook {

extern const wchar_t Rejected_Files_Message[];

// The program reads at most this many characters of a dropped name.
constexpr int Dropped_Name_Limit = 255;

// The names of a WM_DROPFILES drop, in the shell's order, each cut to the
// program's limit.  The drop handle is released.
std::vector<std::wstring> Read_Dropped_Names(HDROP drop);

// Takes the names in as one drop.  `bring_to_front` runs before the
// rejection message, because the drop leaves the file manager active.
void Take_Dropped_Files(List_Window& window, const std::vector<std::wstring>& names,
                        const std::function<void()>& bring_to_front);

}  // namespace velbrook

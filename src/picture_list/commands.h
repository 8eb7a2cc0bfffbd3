#pragma once
// The editing commands of the picture list and its preview.

#include "picture_list/list_window.h"

namespace velbrook {

void Move_Up_BitBtnClick(List_Window& window);
void Move_Down_BitBtnClick(List_Window& window);
void Remove_Item_BitBtnClick(List_Window& window);
void Reset_BitBtnClick(List_Window& window);
void Sort_List_BitBtnClick(List_Window& window);

// Shows the selected entry in the preview and its path on the status line.
void File_ListBoxClick(List_Window& window);

}  // namespace velbrook

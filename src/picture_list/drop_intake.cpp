#include "picture_list/drop_intake.h"

#include <shlobj.h>

#include <algorithm>
#include <optional>

#include "picture/file_type.h"
#include "picture_list/drop_block.h"
#include "shell/code_page.h"
#include "toolkit/application.h"

namespace velbrook {

const wchar_t Rejected_Files_Message[] =
    L"This version of the program, can only handle a limited variety of graphics file formats.\r\n"
    L"\r\n"
    L"That is, the only files allowed are those whose names have a \r\n"
    L"\".BMP\", \".JPG\", \".JPEG\", \".EMF\", or \".WMF\"  extension.\r\n"
    L"e.g. my_picture.bmp\r\n"
    L"\r\n"
    L"All other unsupported files have been rejected.";

namespace {

// The names straight from the drop's DROPFILES block, in one pass: asking
// the shell for name i walks the block from its start every time, which makes
// a drop of ten thousand files take seconds.  Nothing when the block cannot
// be read as one; the caller then asks the shell name by name.
std::optional<std::vector<std::wstring>> Names_From_Block(HDROP drop, UINT count) {
    const auto* start = static_cast<const std::uint8_t*>(::GlobalLock(drop));
    if (!start) return std::nullopt;
    const std::optional<Drop_Block_Names> block =
        Parse_Drop_Block({start, ::GlobalSize(drop)}, count, Dropped_Name_Limit);
    std::vector<std::wstring> names;
    if (block && block->wide) {
        names.reserve(block->wide_names.size());
        for (const std::u16string& name : block->wide_names) names.emplace_back(name.begin(), name.end());
    } else if (block) {
        names.reserve(block->ansi_names.size());
        for (const std::string& name : block->ansi_names) {
            std::wstring wide = Decode_Text(name, CP_ACP);
            wide.resize(std::min<size_t>(wide.size(), Dropped_Name_Limit));
            names.push_back(std::move(wide));
        }
    }
    ::GlobalUnlock(drop);
    if (!block || names.size() != count) return std::nullopt;
    return names;
}

}  // namespace

std::vector<std::wstring> Read_Dropped_Names(HDROP drop) {
    Drop_Handle owner(drop);
    UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (auto names = Names_From_Block(drop, count)) return std::move(*names);
    std::vector<std::wstring> names;
    names.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        wchar_t buffer[Dropped_Name_Limit + 1] = {};
        UINT length = ::DragQueryFileW(drop, i, buffer, Dropped_Name_Limit + 1);
        names.emplace_back(buffer, std::min<UINT>(length, Dropped_Name_Limit));
    }
    return names;
}

void Take_Dropped_Files(List_Window& window, const std::vector<std::wstring>& names,
                        const std::function<void()>& bring_to_front) {
    const Busy_Cursor busy(window.application);
    bool rejected = false;
    const bool more_types = window.page_options().more_types;
    {
        // One repaint for the whole drop, and room for it given up front.
        size_t characters = 0;
        for (const auto& name : names) characters += name.size() + 1;
        List_Box& box = window.list.Box();
        List_Box::Update update(box);
        box.Reserve(window.list.Count() + static_cast<int>(names.size()), characters);
        for (const auto& name : names) {
            std::wstring path = name.substr(0, Dropped_Name_Limit);
            if (!File_Exists(path)) continue;
            if (window.list.Is_Listed(path)) continue;
            if (Is_Accepted_Extension(path, more_types)) {
                window.list.Add(path);
                window.changed.Set_Checked(true);
            } else {
                rejected = true;
            }
        }
    }
    if (rejected) {
        if (bring_to_front) bring_to_front();
        Error_Box(window.dialogs, Rejected_Files_Message);
    }
    Process_Messages();
}

}  // namespace velbrook

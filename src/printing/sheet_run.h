#pragma once
// The one loop behind every run that lays pictures out on sheets: the print
// run and the PDF save.  Entries top to bottom; each picture that loads
// fills `copies` cells of the plan in order; a full sheet is ended and the
// next begins.  What differs between the runs is only the surface the sheets
// are drawn on.

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "picture/physical_size.h"
#include "picture/picture.h"
#include "printing/print_run.h"
#include "printing/sheet_plan.h"

namespace velbrook {

// One page of a picture file, loaded by a surface for its cells.
class Sheet_Item {
public:
    virtual ~Sheet_Item() = default;
    // The pages of the file; this item holds the one it was loaded for.
    virtual int Page_Count() const = 0;
    // The camera's orientation tag; 1 where the file has none.
    virtual int Orientation_Tag() const = 0;
    // The pixels of the picture as loaded, when the file gives no size of
    // its own on paper (see Physical_Size_Of).
    virtual SIZE Loaded_Size() const = 0;
};

// Where a caption goes in a cell: the strip's height and the font's, in
// device pixels; 0 without captions.
struct Cell_Caption {
    int strip_height = 0;
    int font_height = 0;
};

class Sheet_Surface {
public:
    virtual ~Sheet_Surface() = default;
    // The paper every sheet is drawn on.
    virtual Sheet_Paper Paper() const = 0;
    // Page `request.page` of the file, loaded for a cell of
    // `request.target`; null when the file is skipped as unloadable.
    virtual std::unique_ptr<Sheet_Item> Load(const std::wstring& path, const Picture_Request& request) = 0;
    // The same file for a sheet that is counted but not drawn: only as much
    // of it as tells whether it loads and how many pages it has.
    virtual std::unique_ptr<Sheet_Item> Probe(const std::wstring& path, const Picture_Request& request) {
        return Load(path, request);
    }
    // Why the last Load gave nothing, in words that name the file; empty
    // when the surface does not say.
    virtual std::wstring Skip_Reason() const { return {}; }
    // `sheet` counts the sheets drawn by this run, from 1; `expected` is the
    // number it draws as the list stands now.
    virtual void Begin_Sheet(int sheet, int expected) = 0;
    // The item placed by the options in `target`, a cell or the part of it
    // that a picture at its actual size takes, with the file's name under it
    // when captions are printed.
    virtual void Draw(Sheet_Item& item, const std::wstring& path, const Box& target, const Cell_Caption& caption) = 0;
    virtual void End_Sheet(int sheet) = 0;
};

struct Sheet_Loop {
    Print_Host& host;
    Sheet_Surface& surface;
    Sheet_Layout layout;
    Page_Options options;
    std::function<void()> process_messages;
    // Asked at the end of every sheet and before each entry that would begin one.
    std::function<bool()> stopping;
    // After each entry, with its index.
    std::function<void(int index)> entry_done = [](int) {};
    // Only the sheets from `first_sheet` to `last_sheet` of the whole list
    // are drawn; the pictures of those before are probed, not loaded, and
    // the loop ends with the last one.
    int first_sheet = 1;
    int last_sheet = std::numeric_limits<int>::max();
    // Asked after every cell drawn: true leaves the sheet unfinished and
    // ends the loop at once (the preview, when another sheet is wanted).
    std::function<bool()> abandon = [] { return false; };
};

struct Sheets_Run {
    int drawn = 0;  // sheets begun on the surface
    int seen = 0;   // sheets of the list up to the last drawn, or all of them when none is drawn
    bool abandoned = false;
};

// Runs the loop over the plan.
Sheets_Run Run_Sheets(const Sheet_Loop& loop, const Sheet_Plan& plan);

// The sheets the list fills: every picture probed, none drawn.
int Count_Sheets(Sheet_Loop loop, const Sheet_Plan& plan);

// The caption of a cell: 10 points for a cell the size of the classic page,
// smaller with the cell, never below 6 points.
Cell_Caption Caption_For_Cell(const Page_Options& options, const Sheet_Paper& paper, const Box& cell);

// The size the file gives itself on paper, read from its headers; for a
// file whose headers say nothing, its loaded pixels at 96 to the inch.
Physical_Size Physical_Size_Of(const std::wstring& path, const Sheet_Item& item);

// Where a picture of `size` goes in `cell` at its actual size on `paper`:
// centred above the caption strip, turned as the camera and the page
// options turn it, shrunk with its proportions kept when larger.
Box Actual_Size_Target(const Box& cell, const Physical_Size& size, int orientation_tag, const Page_Options& options,
                       const Sheet_Paper& paper, int strip_height);

}  // namespace velbrook

#pragma once
// The picture list: the ordered entries of the main window's list box, each
// the full path of a picture file.  Every change goes through this class, so
// that its index of entries stays in step with the list box.

#include <string>
#include <unordered_map>
#include <vector>

#include "shell/file_utils.h"
#include "toolkit/controls.h"

namespace velbrook {

class Picture_List {
public:
    explicit Picture_List(List_Box& box) : box_(box) {}

    List_Box& Box() { return box_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    // The entry's text; empty when the index lies outside the list.
    std::wstring Entry(int index) const;
    const std::vector<std::wstring>& Entries() const { return entries_; }

    // Index of the entry equal to `path`, or -1.  Normally letter case
    // matters; in sorted mode it is a binary search that ignores case.
    int Find_Entry(const std::wstring& path) const;
    // Find_Entry(path) >= 0, without looking for the place: in the normal
    // mode the key index alone answers, however long the list.
    bool Is_Listed(const std::wstring& path) const;
    int Selected_Index() const { return box_.Selected(); }
    std::wstring Selected_Entry() const { return Entry(Selected_Index()); }
    void Select_Index(int index);
    bool Swap_Entries(int a, int b);

    // Appends (at its sorted place in sorted mode).
    void Add(const std::wstring& path);
    // Appends many at once: the list box gets its storage up front and
    // repaints once.
    void Add_All(const std::vector<std::wstring>& paths);
    void Remove(int index);
    void Clear();
    // Replaces every entry in one update of the list box.
    void Replace_All_Entries(std::vector<std::wstring> entries);

    // Sorted mode: the list keeps its entries in its own (case-blind,
    // locale) order and inserts new ones at their sorted place.
    void Set_Sorted(bool sorted);
    bool Sorted() const { return sorted_; }

    void Set_List_Scroll_Width() { box_.Set_Horizontal_Extent(1500); }

private:
    int Sorted_Insert_Position(const std::wstring& path) const;
    void Index_Add(std::string key);
    void Index_Remove(int index);
    void Rebuild_Index();
    void Fill_Box();

    List_Box& box_;
    std::vector<std::wstring> entries_;
    // Each entry's case-sensitive sort key, beside it: two texts have the
    // same key exactly when the locale comparison calls them equal.
    std::vector<std::string> entry_keys_;
    // How many entries have each key, to answer "not listed" at once.
    std::unordered_map<std::string, int> keys_;
    bool sorted_ = false;
};

// The locale's sort key of a text, letter case significant or not.
std::string Sort_Key(const std::wstring& text, bool ignore_case);
// CompareString under the user's default locale: <0, 0 or >0.
int Compare_Entries(const std::wstring& a, const std::wstring& b, bool ignore_case);

}  // namespace velbrook

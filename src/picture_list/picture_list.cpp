#include "picture_list/picture_list.h"

#include <algorithm>

namespace velbrook {

std::string Sort_Key(const std::wstring& text, bool ignore_case) {
    DWORD flags = LCMAP_SORTKEY | (ignore_case ? NORM_IGNORECASE : 0);
    int size = ::LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::string key(static_cast<size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        ::LCMapStringW(LOCALE_USER_DEFAULT, flags, text.c_str(), static_cast<int>(text.size()),
                       reinterpret_cast<wchar_t*>(key.data()), size);
    return key;
}

int Compare_Entries(const std::wstring& a, const std::wstring& b, bool ignore_case) {
    int result = ::CompareStringW(LOCALE_USER_DEFAULT, ignore_case ? NORM_IGNORECASE : 0, a.c_str(),
                                  static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()));
    return result - CSTR_EQUAL;
}

std::wstring Picture_List::Entry(int index) const {
    if (index < 0 || index >= Count()) return {};
    return entries_[static_cast<size_t>(index)];
}

int Picture_List::Find_Entry(const std::wstring& path) const {
    if (sorted_) {
        int low = 0, high = Count() - 1;
        while (low <= high) {
            int mid = (low + high) / 2;
            int order = Compare_Entries(path, entries_[static_cast<size_t>(mid)], true);
            if (order == 0) return mid;
            if (order < 0) {
                high = mid - 1;
            } else {
                low = mid + 1;
            }
        }
        return -1;
    }
    // The index answers "not listed" at once, which is the common case of a
    // drop; a listed one is found by comparing keys, not texts.
    std::string key = Sort_Key(path, false);
    if (keys_.find(key) == keys_.end()) return -1;
    for (size_t i = 0; i < entry_keys_.size(); ++i)
        if (entry_keys_[i] == key) return static_cast<int>(i);
    return -1;
}

bool Picture_List::Is_Listed(const std::wstring& path) const {
    if (sorted_) return Find_Entry(path) >= 0;
    return keys_.find(Sort_Key(path, false)) != keys_.end();
}

void Picture_List::Select_Index(int index) {
    if (!Empty() && index >= 0 && index < Count()) box_.Select(index);
}

bool Picture_List::Swap_Entries(int a, int b) {
    if (Empty() || a < 0 || b < 0 || a >= Count() || b >= Count()) return false;
    int selected = box_.Selected();
    List_Box::Update update(box_);
    std::swap(entries_[static_cast<size_t>(a)], entries_[static_cast<size_t>(b)]);
    std::swap(entry_keys_[static_cast<size_t>(a)], entry_keys_[static_cast<size_t>(b)]);
    box_.Set_Item(a, entries_[static_cast<size_t>(a)]);
    box_.Set_Item(b, entries_[static_cast<size_t>(b)]);
    if (selected >= 0) box_.Select(selected);
    return true;
}

int Picture_List::Sorted_Insert_Position(const std::wstring& path) const {
    auto place =
        std::upper_bound(entries_.begin(), entries_.end(), path,
                         [](const std::wstring& a, const std::wstring& b) { return Compare_Entries(a, b, true) < 0; });
    return static_cast<int>(place - entries_.begin());
}

void Picture_List::Index_Add(std::string key) { ++keys_[std::move(key)]; }

// Takes entry `index`'s key out of both indexes.
void Picture_List::Index_Remove(int index) {
    auto found = keys_.find(entry_keys_[static_cast<size_t>(index)]);
    if (found != keys_.end() && --found->second <= 0) keys_.erase(found);
    entry_keys_.erase(entry_keys_.begin() + index);
}

void Picture_List::Rebuild_Index() {
    keys_.clear();
    keys_.reserve(entries_.size());
    entry_keys_.clear();
    entry_keys_.reserve(entries_.size());
    for (const auto& entry : entries_) {
        entry_keys_.push_back(Sort_Key(entry, false));
        Index_Add(entry_keys_.back());
    }
}

void Picture_List::Add(const std::wstring& path) {
    std::string key = Sort_Key(path, false);
    if (sorted_) {
        int place = Sorted_Insert_Position(path);
        entries_.insert(entries_.begin() + place, path);
        entry_keys_.insert(entry_keys_.begin() + place, key);
        box_.Insert(place, path);
    } else {
        entries_.push_back(path);
        entry_keys_.push_back(key);
        box_.Add(path);
    }
    Index_Add(std::move(key));
}

void Picture_List::Add_All(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return;
    size_t characters = 0;
    for (const auto& path : paths) characters += path.size() + 1;
    List_Box::Update update(box_);
    box_.Reserve(Count() + static_cast<int>(paths.size()), characters);
    for (const auto& path : paths) Add(path);
}

void Picture_List::Remove(int index) {
    if (index < 0 || index >= Count()) return;
    Index_Remove(index);
    entries_.erase(entries_.begin() + index);
    box_.Remove(index);
}

void Picture_List::Clear() {
    entries_.clear();
    entry_keys_.clear();
    keys_.clear();
    box_.Clear();
}

void Picture_List::Fill_Box() {
    size_t characters = 0;
    for (const auto& entry : entries_) characters += entry.size() + 1;
    List_Box::Update update(box_);
    box_.Clear();
    box_.Reserve(Count(), characters);
    for (const auto& entry : entries_) box_.Add(entry);
}

void Picture_List::Replace_All_Entries(std::vector<std::wstring> entries) {
    entries_ = std::move(entries);
    Rebuild_Index();
    Fill_Box();
}

void Picture_List::Set_Sorted(bool sorted) {
    sorted_ = sorted;
    if (!sorted_) return;
    int selected = box_.Selected();
    // Entries that compare equal keep their relative order.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const std::wstring& a, const std::wstring& b) { return Compare_Entries(a, b, true) < 0; });
    Rebuild_Index();
    Fill_Box();
    if (selected >= 0) box_.Select(selected);
}

}  // namespace velbrook

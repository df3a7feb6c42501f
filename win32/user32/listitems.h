// The items of a list box (a combo box keeps its items in its list box):
// each item's text, its data word, its selection mark and, in a variable
// owner-drawn list, its height; and the searches the LB_FIND* and
// LB_SELECTSTRING messages make over them.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace w32 {

struct ListItem {
    std::u16string text;  // empty in an owner-drawn list without strings
    ULONG_PTR data = 0;   // LB_SETITEMDATA; the item itself without strings
    bool selected = false;  // multiple-selection lists only
    UINT height = 0;        // variable owner-drawn lists only
};

// Orders two texts as the sorted lists do: CompareStringW in the user's
// locale without case; negative, zero or positive.
int CompareItemTexts(std::u16string_view a, std::u16string_view b);
// Whether `text` begins with `prefix`, without case.
bool ItemTextStartsWith(std::u16string_view text, std::u16string_view prefix);

// The first item after `start` that `matches`, going round to the first
// item after the last and ending at `start` itself; -1 or an index out of
// range starts at the first item. Answers the index, or -1 when none does.
int FindListItem(const std::vector<ListItem>& items, int start, const std::function<bool(const ListItem&)>& matches);

}  // namespace w32

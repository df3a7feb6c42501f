// The item store's comparisons and searches (listitems.h). Sorting and the
// string searches compare without case as CompareStringW(NORM_IGNORECASE)
// does, so "apple" and "Apple" sort together and LB_FINDSTRINGEXACT finds
// "PRINTER" for "printer".
#include "user32/listitems.h"

namespace w32 {

int CompareItemTexts(std::u16string_view a, std::u16string_view b) {
    int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), int(a.size()), b.data(), int(b.size()));
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

bool ItemTextStartsWith(std::u16string_view text, std::u16string_view prefix) {
    if (prefix.size() > text.size()) return false;
    return CompareItemTexts(text.substr(0, prefix.size()), prefix) == 0;
}

int FindListItem(const std::vector<ListItem>& items, int start, const std::function<bool(const ListItem&)>& matches) {
    int count = int(items.size());
    if (count == 0) return -1;
    if (start < 0 || start >= count) start = count - 1;  // the search begins at the first item
    for (int step = 1; step <= count; ++step) {
        int index = (start + step) % count;
        if (matches(items[size_t(index)])) return index;
    }
    return -1;
}

}  // namespace w32

// The "ListBox" control, and "ComboLBox", the same list inside a combo box.
//
// Items are added with LB_ADDSTRING (in order under LBS_SORT, compared
// without case; owner-drawn lists without LBS_HASSTRINGS ask their parent
// with WM_COMPAREITEM) and LB_INSERTSTRING (at the index, -1 for the end,
// never sorted). Indexes out of range answer LB_ERR; a list that cannot
// grow answers LB_ERRSPACE.
//
// Notifications go to the parent as WM_COMMAND(MAKEWPARAM(id, code), list)
// only for what a person does: LBN_SELCHANGE and LBN_DBLCLK need
// LBS_NOTIFY, LBN_SETFOCUS and LBN_KILLFOCUS come always. LB_SETCURSEL,
// LB_SETSEL, LB_SELECTSTRING and the other messages a program sends never
// notify. A click on an item of a single-selection list sends LBN_SELCHANGE
// even when that item was selected already (the person chose it again); a
// key that moves the selection sends it only when the selection moved.
//
// Owner-drawn lists: WM_MEASUREITEM once at creation for LBS_OWNERDRAWFIXED
// (itemID 0), for every item as it is added for LBS_OWNERDRAWVARIABLE;
// WM_DRAWITEM for each item painted; WM_DELETEITEM for every item removed
// (also by LB_RESETCONTENT and destruction) from an owner-drawn list, and
// for items of any list whose data word is not 0.
//
// Keys: arrows, Home, End, PageUp and PageDown move the selection (in an
// LBS_MULTIPLESEL list they move the caret and Space toggles its item); a
// character selects the next item whose text begins with it, going round.
// With LBS_WANTKEYBOARDINPUT the parent is asked first with WM_VKEYTOITEM
// (and WM_CHARTOITEM for owner-drawn lists without strings): -2 means it
// handled the key, -1 the list does its own, another value is the item to
// act on. Shift-extended ranges by key are not kept: in an LBS_EXTENDEDSEL
// list a key selects the item it moves to alone.
//
// A list inside a combo box sends no WM_COMMAND; it tells its combo box
// (combobox.h) and sends the owner-draw messages to the combo box's parent
// as ODT_COMBOBOX items of the combo box.
#include <algorithm>
#include <memory>
#include <new>

#include "user32/combobox.h"
#include "user32/listbox.h"
#include "user32/systemclasses.h"

namespace w32 {

namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// Items a list takes at most; LB_INITSTORAGE for more answers LB_ERRSPACE.
constexpr int kMaxItems = 0x7FFFFFF;
// The tallest item LB_SETITEMHEIGHT takes.
constexpr int kMaxItemHeight = 255;
// The default tab stops, every 32 dialog units of 4 per average character.
constexpr int kDefaultTabDialogUnits = 32;

// The window's first extra word holds a heap shared_ptr to its state, so a
// message that outlives its window (the parent destroys the list while it
// handles a notification) still finds its state while it unwinds.
using StateHolder = std::shared_ptr<ListBoxState>;

StateHolder HolderOf(HWND hwnd) {
    auto* holder = reinterpret_cast<StateHolder*>(GetWindowLongPtrW(hwnd, 0));
    return holder ? *holder : nullptr;
}

bool Alive(const ListBoxState& list) { return IsWindow(list.self) != FALSE; }

// The list of a drop-down combo box, which lives on the desktop.
bool IsDropDownPart(const ListBoxState& list) {
    return list.combo && GetAncestor(list.self, GA_PARENT) != list.combo;
}

int Count(const ListBoxState& list) { return int(list.items.size()); }

bool ValidIndex(const ListBoxState& list, int index) { return index >= 0 && index < Count(list); }

void Notify(ListBoxState& list, WORD code) {
    if (list.combo) return;
    if ((code == LBN_SELCHANGE || code == LBN_DBLCLK || code == LBN_SELCANCEL) && !(list.style & LBS_NOTIFY)) return;
    HWND parent = GetParent(list.self);
    if (!parent) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list.self), code), reinterpret_cast<LPARAM>(list.self));
}

int ClientHeight(const ListBoxState& list) {
    RECT client{};
    GetClientRect(list.self, &client);
    return client.bottom - client.top;
}

// Whole items shown from `top` down (at least one).
int ItemsShownFrom(const ListBoxState& list, int top) {
    int height = ClientHeight(list);
    int shown = 0;
    for (int i = std::max(top, 0); i < Count(list); ++i) {
        height -= ItemHeightOf(list, i);
        if (height < 0) break;
        ++shown;
    }
    if (shown == 0) {
        // An empty or too short list still pages by whole fixed-height items.
        int each = std::max(1, list.itemHeight);
        shown = std::max(1, ClientHeight(list) / each);
    }
    return shown;
}

// The largest top index that still fills the client area.
int LastTop(const ListBoxState& list) {
    int height = ClientHeight(list);
    int top = Count(list);
    while (top > 0 && height - ItemHeightOf(list, top - 1) >= 0) {
        height -= ItemHeightOf(list, top - 1);
        --top;
    }
    return std::min(top, std::max(0, Count(list) - 1));
}

void SetTop(ListBoxState& list, int top) {
    top = std::clamp(top, 0, std::max(0, LastTop(list)));
    if (top == list.top) return;
    list.top = top;
    RedrawListBox(list);
}

// Scrolls so that the item is shown whole.
void ShowItem(ListBoxState& list, int index) {
    if (!ValidIndex(list, index)) return;
    if (index < list.top) {
        SetTop(list, index);
        return;
    }
    int shown = ItemsShownFrom(list, list.top);
    if (index >= list.top + shown) {
        int top = index;
        int height = ClientHeight(list) - ItemHeightOf(list, index);
        while (top > 0 && height - ItemHeightOf(list, top - 1) >= 0) {
            height -= ItemHeightOf(list, top - 1);
            --top;
        }
        SetTop(list, top);
    }
}

void SendDeleteItem(ListBoxState& list, int index) {
    const ListItem& item = list.items[size_t(index)];
    if (!IsOwnerDrawn(list) && item.data == 0) return;
    ListOwner owner = OwnerOf(list);
    if (!owner.receiver) return;
    DELETEITEMSTRUCT deleted{};
    deleted.CtlType = owner.type;
    deleted.CtlID = owner.id;
    deleted.itemID = UINT(index);
    deleted.hwndItem = owner.control;
    deleted.itemData = item.data;
    SendMessageW(owner.receiver, WM_DELETEITEM, owner.id, reinterpret_cast<LPARAM>(&deleted));
}

// The height WM_MEASUREITEM gives an item (itemHeight comes preset to the
// font's line).
int MeasureItem(ListBoxState& list, int itemId, ULONG_PTR data) {
    ListOwner owner = OwnerOf(list);
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = owner.type;
    measure.CtlID = owner.id;
    measure.itemID = UINT(itemId);
    measure.itemHeight = UINT(FontLineHeight(list.font));
    measure.itemData = data;
    RECT client{};
    GetClientRect(list.self, &client);
    measure.itemWidth = UINT(client.right - client.left);
    if (owner.receiver) SendMessageW(owner.receiver, WM_MEASUREITEM, owner.id, reinterpret_cast<LPARAM>(&measure));
    return int(std::clamp<UINT>(measure.itemHeight, 1, kMaxItemHeight));
}

// Where LB_ADDSTRING puts an item in a sorted list: after the items that
// sort equal to it.
int SortedPosition(ListBoxState& list, const ListItem& item) {
    if (HasStrings(list)) {
        auto it = std::upper_bound(list.items.begin(), list.items.end(), item, [](const ListItem& a, const ListItem& b) {
            return CompareItemTexts(a.text, b.text) < 0;
        });
        return int(it - list.items.begin());
    }
    ListOwner owner = OwnerOf(list);
    int low = 0, high = Count(list);
    while (low < high) {
        int middle = (low + high) / 2;
        COMPAREITEMSTRUCT compare{};
        compare.CtlType = owner.type;
        compare.CtlID = owner.id;
        compare.hwndItem = owner.control;
        compare.itemID1 = UINT(-1);
        compare.itemData1 = item.data;
        compare.itemID2 = UINT(middle);
        compare.itemData2 = list.items[size_t(middle)].data;
        compare.dwLocaleId = list.locale;
        LRESULT order = owner.receiver
                            ? SendMessageW(owner.receiver, WM_COMPAREITEM, owner.id, reinterpret_cast<LPARAM>(&compare))
                            : 0;
        if (int(order) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

LRESULT InsertItem(ListBoxState& list, int index, LPARAM lParam, bool sorted) {
    if (index != -1 && (index < 0 || index > Count(list))) return LB_ERR;
    if (Count(list) >= kMaxItems) {
        Notify(list, WORD(LBN_ERRSPACE));
        return LB_ERRSPACE;
    }
    try {
        ListItem item;
        if (HasStrings(list)) {
            auto text = reinterpret_cast<LPCWSTR>(lParam);
            if (text) item.text = text;
        } else {
            item.data = ULONG_PTR(lParam);
        }
        if (sorted && (list.style & LBS_SORT))
            index = SortedPosition(list, item);
        else if (index == -1)
            index = Count(list);
        if (!Alive(list)) return LB_ERR;
        index = std::min(index, Count(list));
        list.items.insert(list.items.begin() + index, std::move(item));
    } catch (const std::bad_alloc&) {
        Notify(list, WORD(LBN_ERRSPACE));
        return LB_ERRSPACE;
    }
    if (list.selection >= index) ++list.selection;
    if (list.anchor >= index) ++list.anchor;
    if (list.caret >= index && Count(list) > 1) ++list.caret;
    if (list.style & LBS_OWNERDRAWVARIABLE) {
        ListItem& added = list.items[size_t(index)];
        added.height = UINT(MeasureItem(list, index, HasStrings(list) ? ULONG_PTR(lParam) : added.data));
    }
    RedrawListBox(list);
    return index;
}

LRESULT DeleteItem(ListBoxState& list, int index) {
    if (!ValidIndex(list, index)) return LB_ERR;
    SendDeleteItem(list, index);
    if (!Alive(list) || !ValidIndex(list, index)) return LB_ERR;
    list.items.erase(list.items.begin() + index);
    if (list.selection == index)
        list.selection = -1;
    else if (list.selection > index)
        --list.selection;
    if (list.anchor == index)
        list.anchor = -1;
    else if (list.anchor > index)
        --list.anchor;
    if (list.caret > index || list.caret >= Count(list)) list.caret = std::max(0, list.caret - 1);
    list.top = std::clamp(list.top, 0, std::max(0, LastTop(list)));
    RedrawListBox(list);
    return Count(list);
}

void ResetContent(ListBoxState& list) {
    for (int i = 0; i < Count(list) && Alive(list); ++i) SendDeleteItem(list, i);
    list.items.clear();
    list.selection = -1;
    list.anchor = -1;
    list.caret = 0;
    list.top = 0;
    RedrawListBox(list);
}

// Selects one item of a single-selection list (-1: none).
void Select(ListBoxState& list, int index) {
    list.selection = index;
    if (index >= 0) list.caret = index;
    RedrawListBox(list);
}

// Selects exactly the items from `first` to `last` of a multiple-selection
// list.
void SelectOnly(ListBoxState& list, int first, int last) {
    if (first > last) std::swap(first, last);
    for (int i = 0; i < Count(list); ++i) list.items[size_t(i)].selected = i >= first && i <= last;
    RedrawListBox(list);
}

LRESULT FindString(const ListBoxState& list, int start, LPARAM lParam, bool exact) {
    if (HasStrings(list)) {
        auto text = reinterpret_cast<LPCWSTR>(lParam);
        std::u16string_view wanted = text ? std::u16string_view(text) : std::u16string_view();
        return FindListItem(list.items, start, [&](const ListItem& item) {
            return exact ? CompareItemTexts(item.text, wanted) == 0 : ItemTextStartsWith(item.text, wanted);
        });
    }
    // Without strings both searches compare the data words.
    return FindListItem(list.items, start, [&](const ListItem& item) { return item.data == ULONG_PTR(lParam); });
}

LRESULT GetText(const ListBoxState& list, int index, LPWSTR buffer) {
    if (!ValidIndex(list, index)) return LB_ERR;
    const ListItem& item = list.items[size_t(index)];
    if (!HasStrings(list)) {
        if (buffer) *reinterpret_cast<ULONG_PTR*>(buffer) = item.data;
        return sizeof(ULONG_PTR);
    }
    if (!buffer) return LB_ERR;
    std::copy(item.text.begin(), item.text.end(), buffer);
    buffer[item.text.size()] = 0;
    return LRESULT(item.text.size());
}

int ItemFromY(const ListBoxState& list, int y) {
    if (Count(list) == 0) return -1;
    if (y < 0) return std::max(0, list.top - 1 + (list.top == 0 ? 1 : 0));
    int edge = 0;
    for (int i = list.top; i < Count(list); ++i) {
        edge += ItemHeightOf(list, i);
        if (y < edge) return i;
    }
    return Count(list) - 1;
}

// The item under a point of the client area, or -1 when the point is past
// the last item or outside.
int ItemAt(const ListBoxState& list, POINT point) {
    RECT client{};
    GetClientRect(list.self, &client);
    if (!Contains(client, point)) return -1;
    int index = ItemFromY(list, point.y);
    if (index < 0) return -1;
    RECT rect = ItemRect(list, index);
    return point.y < rect.bottom ? index : -1;
}

// A person's click on an item (WM_LBUTTONDOWN, and moves while the button
// is down).
void ClickItem(ListBoxState& list, int index, WPARAM keys, bool moving) {
    if (list.style & LBS_NOSEL) return;
    if (list.style & LBS_MULTIPLESEL) {
        if (moving) return;
        list.items[size_t(index)].selected = !list.items[size_t(index)].selected;
        list.caret = index;
        list.anchor = index;
        RedrawListBox(list);
        Notify(list, LBN_SELCHANGE);
        return;
    }
    if (list.style & LBS_EXTENDEDSEL) {
        if (moving) {
            if (list.caret == index) return;
            SelectOnly(list, list.anchor < 0 ? index : list.anchor, index);
        } else if (keys & MK_SHIFT) {
            SelectOnly(list, list.anchor < 0 ? index : list.anchor, index);
        } else if (keys & MK_CONTROL) {
            list.items[size_t(index)].selected = !list.items[size_t(index)].selected;
            list.anchor = index;
        } else {
            SelectOnly(list, index, index);
            list.anchor = index;
        }
        list.caret = index;
        RedrawListBox(list);
        Notify(list, LBN_SELCHANGE);
        return;
    }
    if (moving && list.selection == index) return;
    Select(list, index);
    ShowItem(list, index);
    if (list.combo) {
        if (!IsComboListShown(list.combo)) return;
        HWND combo = list.combo;
        if (!moving && (GetWindowLongW(combo, GWL_STYLE) & 3) == CBS_SIMPLE) {
            NotifyComboOfList(combo, ComboListEvent::SelectionMoved);
        }
        return;
    }
    Notify(list, LBN_SELCHANGE);
}

void OnButtonDown(ListBoxState& list, WPARAM keys, POINT point) {
    bool droppedList = IsDropDownPart(list);
    int index = ItemAt(list, point);
    if (droppedList && index < 0) {
        RECT client{};
        GetClientRect(list.self, &client);
        if (!Contains(client, point)) {
            NotifyComboOfList(list.combo, ComboListEvent::Cancelled);
            return;
        }
    }
    if (!droppedList && !list.combo && GetFocus() != list.self) {
        SetFocus(list.self);
        if (!Alive(list)) return;
    }
    if (list.combo && !droppedList && GetFocus() != list.combo && !IsChild(list.combo, GetFocus())) {
        SetFocus(list.combo);
        if (!Alive(list)) return;
    }
    list.tracking = true;
    if (!droppedList) SetCapture(list.self);
    if (index >= 0) ClickItem(list, index, keys, false);
}

void OnButtonUp(ListBoxState& list, POINT point) {
    bool wasTracking = list.tracking;
    list.tracking = false;
    bool droppedList = IsDropDownPart(list);
    if (!droppedList) {
        if (GetCapture() == list.self) ReleaseCapture();
        return;
    }
    // The button came up in a dropped list: the item under it is the choice.
    int index = ItemAt(list, point);
    if (index < 0) return;
    if (list.selection != index) Select(list, index);
    (void)wasTracking;
    NotifyComboOfList(list.combo, ComboListEvent::Chosen);
}

void OnMouseMove(ListBoxState& list, WPARAM keys, POINT point) {
    bool droppedList = IsDropDownPart(list);
    if (!list.tracking && !droppedList) return;
    int index = ItemAt(list, point);
    if (index < 0) {
        if (!list.tracking) return;
        // Dragging above or below the list scrolls it by one item.
        RECT client{};
        GetClientRect(list.self, &client);
        if (point.y < client.top && list.top > 0)
            index = list.top - 1;
        else if (point.y >= client.bottom && Count(list) > 0)
            index = std::min(Count(list) - 1, list.top + ItemsShownFrom(list, list.top));
        else
            return;
    }
    if (droppedList) {
        // A dropped list follows the pointer without telling anyone.
        if (list.selection != index) Select(list, index);
        ShowItem(list, index);
        return;
    }
    ClickItem(list, index, keys, true);
}

void OnDoubleClick(ListBoxState& list, POINT point) {
    int index = ItemAt(list, point);
    if (index < 0) return;
    if (list.combo) {
        NotifyComboOfList(list.combo, ComboListEvent::DoubleClicked);
        return;
    }
    Notify(list, LBN_DBLCLK);
}

// Moves the caret (and the selection, but in an LBS_MULTIPLESEL list) to
// the item; Space toggles in an LBS_MULTIPLESEL list.
void KeyMovesTo(ListBoxState& list, int index) {
    if (Count(list) == 0) return;
    index = std::clamp(index, 0, Count(list) - 1);
    if (list.style & LBS_MULTIPLESEL) {
        list.caret = index;
        ShowItem(list, index);
        RedrawListBox(list);
        return;
    }
    if (list.style & LBS_EXTENDEDSEL) {
        bool changed = list.caret != index || !list.items[size_t(index)].selected;
        for (int i = 0; i < Count(list); ++i) changed |= i != index && list.items[size_t(i)].selected;
        list.caret = index;
        list.anchor = index;
        SelectOnly(list, index, index);
        ShowItem(list, index);
        if (changed) Notify(list, LBN_SELCHANGE);
        return;
    }
    if (list.selection == index) {
        ShowItem(list, index);
        return;
    }
    Select(list, index);
    ShowItem(list, index);
    Notify(list, LBN_SELCHANGE);
}

int CurrentForKeys(const ListBoxState& list) {
    return IsMultipleSelection(list) ? list.caret : list.selection;
}

void OnKeyDown(ListBoxState& list, WPARAM key) {
    int current = CurrentForKeys(list);
    if (list.style & LBS_WANTKEYBOARDINPUT) {
        HWND parent = GetParent(list.self);
        LRESULT answer = SendMessageW(parent, WM_VKEYTOITEM, MAKEWPARAM(WORD(key), WORD(std::max(list.caret, 0))),
                                      reinterpret_cast<LPARAM>(list.self));
        if (!Alive(list) || answer == -2) return;
        if (answer >= 0 && answer < Count(list)) current = int(answer);
    }
    int page = std::max(1, ItemsShownFrom(list, list.top) - 1);
    switch (key) {
        case VK_UP:
        case VK_LEFT:
            KeyMovesTo(list, current < 0 ? 0 : current - 1);
            break;
        case VK_DOWN:
        case VK_RIGHT:
            KeyMovesTo(list, current < 0 ? 0 : current + 1);
            break;
        case VK_HOME:
            KeyMovesTo(list, 0);
            break;
        case VK_END:
            KeyMovesTo(list, Count(list) - 1);
            break;
        case VK_PRIOR:
            KeyMovesTo(list, current < 0 ? 0 : current - page);
            break;
        case VK_NEXT:
            KeyMovesTo(list, current < 0 ? 0 : current + page);
            break;
        case VK_SPACE:
            if ((list.style & LBS_MULTIPLESEL) && ValidIndex(list, list.caret)) {
                list.items[size_t(list.caret)].selected = !list.items[size_t(list.caret)].selected;
                RedrawListBox(list);
                Notify(list, LBN_SELCHANGE);
            }
            break;
        default:
            break;
    }
}

void OnChar(ListBoxState& list, WCHAR ch) {
    if (ch < 0x20) return;
    int start = CurrentForKeys(list);
    if ((list.style & LBS_WANTKEYBOARDINPUT) && !HasStrings(list)) {
        LRESULT answer = SendMessageW(GetParent(list.self), WM_CHARTOITEM, MAKEWPARAM(ch, WORD(std::max(list.caret, 0))),
                                      reinterpret_cast<LPARAM>(list.self));
        if (!Alive(list) || answer == -2) return;
        if (answer >= 0 && answer < Count(list)) KeyMovesTo(list, int(answer));
        return;
    }
    if (!HasStrings(list)) return;
    WCHAR text[2] = {ch, 0};
    int found = FindListItem(list.items, start, [&](const ListItem& item) { return ItemTextStartsWith(item.text, text); });
    if (found >= 0) KeyMovesTo(list, found);
}

void OnVScroll(ListBoxState& list, WORD request, WORD position) {
    int page = std::max(1, ItemsShownFrom(list, list.top));
    switch (request) {
        case SB_LINEUP: SetTop(list, list.top - 1); break;
        case SB_LINEDOWN: SetTop(list, list.top + 1); break;
        case SB_PAGEUP: SetTop(list, list.top - page); break;
        case SB_PAGEDOWN: SetTop(list, list.top + page); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: SetTop(list, position); break;
        case SB_TOP: SetTop(list, 0); break;
        case SB_BOTTOM: SetTop(list, Count(list)); break;
        default: break;
    }
}

// Without LBS_NOINTEGRALHEIGHT a fixed-height list shrinks to whole items.
void FitIntegralHeight(ListBoxState& list) {
    if ((list.style & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE)) || list.adjustingHeight) return;
    if (IsDropDownPart(list)) return;  // the combo box sizes its dropped list
    int height = ClientHeight(list);
    int each = std::max(1, list.itemHeight);
    int extra = height % each;
    if (extra == 0 || height < each) return;
    RECT rect{};
    GetWindowRect(list.self, &rect);
    list.adjustingHeight = true;
    SetWindowPos(list.self, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top - extra,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    list.adjustingHeight = false;
}

LRESULT SetTabStops(ListBoxState& list, WPARAM count, const INT* stops) {
    if (!(list.style & LBS_USETABSTOPS)) return FALSE;
    // Dialog units to pixels: a quarter of the font's average character.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, list.font ? HGDIOBJ(list.font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    int average = std::max<LONG>(1, metrics.tmAveCharWidth);
    list.tabStops.clear();
    if (count == 0) {
        list.tabStops.push_back(kDefaultTabDialogUnits * average / 4);
    } else if (!stops) {
        return FALSE;
    } else {
        for (WPARAM i = 0; i < count; ++i) list.tabStops.push_back(stops[i] * average / 4);
    }
    RedrawListBox(list);
    return TRUE;
}

LRESULT GetItemRectMessage(const ListBoxState& list, int index, RECT* rect) {
    if (!rect) return LB_ERR;
    if (!ValidIndex(list, index) && !(index == 0 && Count(list) == 0)) return LB_ERR;
    *rect = ItemRect(list, index);
    return LB_OKAY;
}

LRESULT Unsupported() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return LB_ERR;
}

LRESULT Dispatch(ListBoxState& list, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    int index = int(INT_PTR(wParam));
    switch (message) {
        case LB_ADDSTRING: return InsertItem(list, -1, lParam, true);
        case LB_INSERTSTRING: return InsertItem(list, index, lParam, false);
        case LB_DELETESTRING: return DeleteItem(list, index);
        case LB_RESETCONTENT: ResetContent(list); return TRUE;
        case LB_GETCOUNT: return Count(list);
        case LB_GETTEXT: return GetText(list, index, reinterpret_cast<LPWSTR>(lParam));
        case LB_GETTEXTLEN:
            if (!ValidIndex(list, index)) return LB_ERR;
            return HasStrings(list) ? LRESULT(list.items[size_t(index)].text.size()) : LRESULT(sizeof(ULONG_PTR));
        case LB_GETITEMDATA:
            if (!ValidIndex(list, index)) return LB_ERR;
            return LRESULT(list.items[size_t(index)].data);
        case LB_SETITEMDATA:
            if (!ValidIndex(list, index)) return LB_ERR;
            list.items[size_t(index)].data = ULONG_PTR(lParam);
            return TRUE;
        case LB_SETCURSEL:
            if (IsMultipleSelection(list)) return LB_ERR;
            if (index == -1) {
                Select(list, -1);
                return LB_ERR;  // Windows answers LB_ERR for -1 though nothing failed
            }
            if (!ValidIndex(list, index)) return LB_ERR;
            Select(list, index);
            ShowItem(list, index);
            return index;
        case LB_GETCURSEL:
            if (IsMultipleSelection(list)) return Count(list) ? list.caret : LB_ERR;
            return list.selection >= 0 ? list.selection : LB_ERR;
        case LB_SETSEL: {
            if (!IsMultipleSelection(list)) return LB_ERR;
            int item = int(lParam);
            if (item == -1) {
                for (auto& each : list.items) each.selected = wParam != 0;
            } else {
                if (!ValidIndex(list, item)) return LB_ERR;
                list.items[size_t(item)].selected = wParam != 0;
                list.caret = item;
                list.anchor = item;
            }
            RedrawListBox(list);
            return LB_OKAY;
        }
        case LB_GETSEL:
            if (!ValidIndex(list, index)) return LB_ERR;
            return IsItemSelected(list, index) ? 1 : 0;
        case LB_GETSELCOUNT:
            if (!IsMultipleSelection(list)) return LB_ERR;
            return std::count_if(list.items.begin(), list.items.end(), [](const ListItem& i) { return i.selected; });
        case LB_GETSELITEMS: {
            if (!IsMultipleSelection(list)) return LB_ERR;
            auto out = reinterpret_cast<INT*>(lParam);
            if (!out && wParam) return LB_ERR;
            int written = 0;
            for (int i = 0; i < Count(list) && WPARAM(written) < wParam; ++i) {
                if (list.items[size_t(i)].selected) out[written++] = i;
            }
            return written;
        }
        case LB_SELITEMRANGE: {
            if (!IsMultipleSelection(list)) return LB_ERR;
            int first = LOWORD(lParam), last = HIWORD(lParam);
            if (first > last) std::swap(first, last);
            for (int i = first; i <= last && i < Count(list); ++i) list.items[size_t(i)].selected = wParam != 0;
            RedrawListBox(list);
            return LB_OKAY;
        }
        case LB_SELITEMRANGEEX: {
            if (!IsMultipleSelection(list)) return LB_ERR;
            int first = int(INT_PTR(wParam)), last = int(lParam);
            bool select = first <= last;
            if (!select) std::swap(first, last);
            for (int i = std::max(first, 0); i <= last && i < Count(list); ++i) list.items[size_t(i)].selected = select;
            RedrawListBox(list);
            return LB_OKAY;
        }
        case LB_SETANCHORINDEX:
            if (!ValidIndex(list, index)) return LB_ERR;
            list.anchor = index;
            return LB_OKAY;
        case LB_GETANCHORINDEX: return list.anchor;
        case LB_SETCARETINDEX:
            if (!ValidIndex(list, index)) return LB_ERR;
            list.caret = index;
            if (!lParam) ShowItem(list, index);  // FALSE: scroll until the item is whole
            RedrawListBox(list);
            return LB_OKAY;
        case LB_GETCARETINDEX:
            if (!IsMultipleSelection(list) && list.selection >= 0) return list.selection;
            return Count(list) ? list.caret : 0;
        case LB_FINDSTRING: return FindString(list, index, lParam, false);
        case LB_FINDSTRINGEXACT: return FindString(list, index, lParam, true);
        case LB_SELECTSTRING: {
            LRESULT found = FindString(list, index, lParam, false);
            if (found < 0) return LB_ERR;
            if (IsMultipleSelection(list)) {
                list.items[size_t(found)].selected = true;
                list.caret = int(found);
            } else {
                Select(list, int(found));
            }
            ShowItem(list, int(found));
            return found;
        }
        case LB_SETTOPINDEX:
            if (!ValidIndex(list, index) && !(index == 0 && Count(list) == 0)) return LB_ERR;
            SetTop(list, index);
            return LB_OKAY;
        case LB_GETTOPINDEX: return list.top;
        case LB_SETITEMHEIGHT: {
            int height = LOWORD(lParam);
            if (height <= 0 || height > kMaxItemHeight) return LB_ERR;
            if (list.style & LBS_OWNERDRAWVARIABLE) {
                if (!ValidIndex(list, index)) return LB_ERR;
                list.items[size_t(index)].height = UINT(height);
            } else {
                list.itemHeight = height;
                FitIntegralHeight(list);
            }
            RedrawListBox(list);
            return LB_OKAY;
        }
        case LB_GETITEMHEIGHT:
            if ((list.style & LBS_OWNERDRAWVARIABLE) && !ValidIndex(list, index)) return LB_ERR;
            return ItemHeightOf(list, index);
        case LB_GETITEMRECT: return GetItemRectMessage(list, index, reinterpret_cast<RECT*>(lParam));
        case LB_ITEMFROMPOINT: {
            POINT point{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))};
            RECT client{};
            GetClientRect(hwnd, &client);
            WORD outside = Contains(client, point) ? 0 : 1;
            int item = ItemFromY(list, point.y);
            if (item < 0) return MAKELRESULT(0, 1);
            if (point.y >= ItemRect(list, item).bottom) outside = 1;  // below the last item
            return MAKELRESULT(WORD(item), outside);
        }
        case LB_SETHORIZONTALEXTENT:
            list.horizontalExtent = int(wParam);
            return 0;
        case LB_GETHORIZONTALEXTENT: return list.horizontalExtent;
        case LB_SETTABSTOPS: return SetTabStops(list, wParam, reinterpret_cast<const INT*>(lParam));
        case LB_SETLOCALE: {
            LCID old = list.locale;
            list.locale = LCID(wParam);
            return old;
        }
        case LB_GETLOCALE: return list.locale;
        case LB_INITSTORAGE:
            if (INT_PTR(wParam) < 0 || INT_PTR(wParam) > kMaxItems - Count(list)) return LB_ERRSPACE;
            try {
                list.items.reserve(list.items.size() + wParam);
            } catch (const std::bad_alloc&) {
                return LB_ERRSPACE;
            }
            return LRESULT(list.items.capacity());
        case LB_SETCOUNT: return LB_ERR;  // only LBS_NODATA lists, which are not made
        case LB_DIR:
        case LB_ADDFILE:
        case LB_SETCOLUMNWIDTH:
        case LB_GETLISTBOXINFO: return Unsupported();

        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFONT:
            list.font = reinterpret_cast<HFONT>(wParam);
            if (!IsOwnerDrawn(list)) {
                list.itemHeight = FontLineHeight(list.font);
                FitIntegralHeight(list);
            }
            if (LOWORD(lParam)) RedrawListBox(list);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(list.font);
        case WM_SETREDRAW:
            list.redraw = wParam != 0;
            if (list.redraw) RedrawListBox(list);
            return 0;
        case WM_ENABLE: RedrawListBox(list); return 0;
        case WM_SIZE: FitIntegralHeight(list); return 0;
        case WM_SETFOCUS:
            list.focused = true;
            RedrawListBox(list);
            Notify(list, LBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            list.focused = false;
            list.tracking = false;
            if (GetCapture() == hwnd && !list.combo) ReleaseCapture();
            RedrawListBox(list);
            Notify(list, LBN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
            OnButtonDown(list, wParam, POINT{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))});
            return 0;
        case WM_LBUTTONUP: OnButtonUp(list, POINT{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))}); return 0;
        case WM_MOUSEMOVE: OnMouseMove(list, wParam, POINT{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))}); return 0;
        case WM_LBUTTONDBLCLK: OnDoubleClick(list, POINT{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))}); return 0;
        case WM_CAPTURECHANGED:
            list.tracking = false;
            return 0;
        case WM_KEYDOWN:
            if (list.combo) return SendMessageW(list.combo, message, wParam, lParam);
            OnKeyDown(list, wParam);
            return 0;
        case WM_CHAR:
            if (list.combo) return SendMessageW(list.combo, message, wParam, lParam);
            OnChar(list, WCHAR(wParam));
            return 0;
        case WM_VSCROLL: OnVScroll(list, LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_MOUSEWHEEL: {
            int lines = -SHORT(HIWORD(wParam)) * 3 / WHEEL_DELTA;
            SetTop(list, list.top + lines);
            return 0;
        }
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

ListBoxState* ListBoxStateOf(HWND hwnd) {
    auto* holder = reinterpret_cast<StateHolder*>(GetWindowLongPtrW(hwnd, 0));
    return holder ? holder->get() : nullptr;
}

bool IsOwnerDrawn(const ListBoxState& list) {
    return (list.style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
}

bool HasStrings(const ListBoxState& list) { return !IsOwnerDrawn(list) || (list.style & LBS_HASSTRINGS); }

bool IsMultipleSelection(const ListBoxState& list) {
    return (list.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

bool IsItemSelected(const ListBoxState& list, int index) {
    if (!ValidIndex(list, index)) return false;
    return IsMultipleSelection(list) ? list.items[size_t(index)].selected : list.selection == index;
}

int ItemHeightOf(const ListBoxState& list, int index) {
    if ((list.style & LBS_OWNERDRAWVARIABLE) && ValidIndex(list, index)) return int(list.items[size_t(index)].height);
    return list.itemHeight;
}

RECT ItemRect(const ListBoxState& list, int index) {
    RECT client{};
    GetClientRect(list.self, &client);
    int y = 0;
    if (index >= list.top) {
        for (int i = list.top; i < index; ++i) y += ItemHeightOf(list, i);
    } else {
        for (int i = index; i < list.top; ++i) y -= ItemHeightOf(list, i);
    }
    int width = std::max<int>(client.right, list.horizontalExtent);
    return RECT{0, y, width, y + ItemHeightOf(list, index)};
}

int FontLineHeight(HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return 16;
    HGDIOBJ old = SelectObject(dc, font ? HGDIOBJ(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    BOOL measured = GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    return measured && metrics.tmHeight > 0 ? int(metrics.tmHeight) : 16;
}

void RedrawListBox(const ListBoxState&) {}

ListOwner OwnerOf(const ListBoxState& list) {
    ListOwner owner;
    if (list.combo) {
        owner.receiver = GetParent(list.combo);
        owner.type = ODT_COMBOBOX;
        owner.id = UINT(GetDlgCtrlID(list.combo));
        owner.control = list.combo;
    } else {
        owner.receiver = GetParent(list.self);
        owner.type = ODT_LISTBOX;
        owner.id = UINT(GetDlgCtrlID(list.self));
        owner.control = list.self;
    }
    return owner;
}

LRESULT CALLBACK ListBoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto state = std::make_shared<ListBoxState>();
        state->self = hwnd;
        state->style = DWORD(cs->style);
        // A combo box passes itself as the creation parameter of its list.
        if (cs->style & LBS_COMBOBOX) state->combo = reinterpret_cast<HWND>(cs->lpCreateParams);
        // A list without strings that is not owner-drawn keeps strings anyway.
        if (!(state->style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) state->style |= LBS_HASSTRINGS;
        if (state->style & LBS_MULTIPLESEL) state->style &= ~DWORD(LBS_EXTENDEDSEL);
        state->locale = GetUserDefaultLCID();
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(new StateHolder(std::move(state))));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        auto* holder = reinterpret_cast<StateHolder*>(GetWindowLongPtrW(hwnd, 0));
        SetWindowLongPtrW(hwnd, 0, 0);
        delete holder;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    StateHolder state = HolderOf(hwnd);
    if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
    ListBoxState& list = *state;
    switch (message) {
        case WM_CREATE: {
            list.itemHeight = FontLineHeight(list.font);
            if (list.style & LBS_OWNERDRAWFIXED) list.itemHeight = MeasureItem(list, 0, 0);
            if (list.style & LBS_USETABSTOPS) SetTabStops(list, 0, nullptr);
            FitIntegralHeight(list);
            return 0;
        }
        case WM_DESTROY:
            ResetContent(list);
            return 0;
        case WM_STYLECHANGED:
            if (wParam == WPARAM(GWL_STYLE)) {
                auto change = reinterpret_cast<const STYLESTRUCT*>(lParam);
                // The kind of list is fixed at creation; the window bits follow.
                list.style = (list.style & 0xFFFF) | (change->styleNew & 0xFFFF0000);
            }
            return 0;
        default: return Dispatch(list, hwnd, message, wParam, lParam);
    }
}

}  // namespace w32

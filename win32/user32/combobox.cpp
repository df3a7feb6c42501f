// The "ComboBox" control: a field over a list.
//
// Parts. The items live in a list box of the class "ComboLBox" made with
// the combo box (LBS_COMBOBOX, the combo box as its creation parameter);
// the CB_ messages about items are its LB_ messages. CBS_SIMPLE shows the
// list as a child below the field all the time; CBS_DROPDOWN and
// CBS_DROPDOWNLIST keep it as a hidden WS_CHILD of the desktop (a tool
// window, topmost) that drops below the field. CBS_SIMPLE and CBS_DROPDOWN
// keep their text in an "Edit" child with the id 1001; a CBS_DROPDOWNLIST
// field shows the selected item's text. The window of a drop-down combo box
// is as tall as its field: the height it is made with (or moved to) is
// field and list together, and the rest is the dropped list's height.
//
// Notifications (WM_COMMAND(MAKEWPARAM(id, code), combo box) to the parent)
// come only from what a person does. CB_SETCURSEL, CB_SELECTSTRING,
// WM_SETTEXT and CB_RESETCONTENT send none, and the edit's EN_UPDATE and
// EN_CHANGE while the combo box sets the edit's text are not passed on as
// CBN_EDITUPDATE and CBN_EDITCHANGE, which mean a person typed.
// CB_SHOWDROPDOWN sends CBN_DROPDOWN and CBN_CLOSEUP, as the list shows and
// hides whoever asked.
//
// The order of a choice in a dropped list is fixed here (Windows leaves
// CBN_SELCHANGE against CBN_CLOSEUP open):
//   a click on an item, or Enter:  CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE
//   (the field shows the choice before CBN_SELCHANGE; a click sends
//   CBN_SELCHANGE even for the item that was selected, Enter only when the
//   selection differs from the one the list dropped with)
//   Esc, a click outside the list, the focus leaving:  CBN_SELENDCANCEL,
//   CBN_CLOSEUP (the selection goes back to the one the list dropped with)
// With the list closed, arrow keys (and typing in a CBS_DROPDOWNLIST) move
// the selection and send CBN_SELCHANGE; in a CBS_SIMPLE combo box every
// CBN_SELCHANGE comes right after a CBN_SELENDOK. The arrows in a dropped
// list move the selection with CBN_SELCHANGE as well. F4, Alt+Down and
// Alt+Up open and close the list (F4 not with the extended interface, where
// Down opens it); closing with them is a choice like Enter.
//
// Focus. The combo box counts as focused while it or its edit has the
// focus: CBN_SETFOCUS when the focus comes to either from elsewhere,
// CBN_KILLFOCUS when it leaves both (after closing a dropped list).
#include <algorithm>
#include <memory>
#include <string>

#include "user32/combobox.h"
#include "user32/listbox.h"
#include "user32/systemclasses.h"

namespace w32 {

namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

constexpr int kEditId = 1001;
constexpr int kListId = 1000;
constexpr int kMaxItemHeight = 255;
// The field is the item's height and a 3-pixel sunken edge above and below.
constexpr int kFieldEdge = 3;

// Edit messages and notifications the combo box uses on its edit.
constexpr UINT kEditGetSelection = 0x00B0;
constexpr UINT kEditSetSelection = 0x00B1;
constexpr UINT kEditLimitText = 0x00C5;
constexpr WORD kEditSetFocus = 0x0100;
constexpr WORD kEditKillFocus = 0x0200;
constexpr WORD kEditChange = 0x0300;
constexpr WORD kEditUpdate = 0x0400;

struct ComboState {
    HWND self = nullptr;
    HWND edit = nullptr;
    HWND list = nullptr;
    DWORD style = 0;
    WNDPROC editProc = nullptr;  // the edit's own procedure, under ours
    HFONT font = nullptr;
    int fieldItemHeight = 0;
    int listHeight = 0;      // the dropped list's height
    int droppedWidth = 0;    // CB_SETDROPPEDWIDTH; the combo box's width when larger
    int selectionAtDrop = -1;
    bool dropped = false;
    bool focused = false;
    bool extendedUI = false;
    bool settingEditText = false;
    bool resizing = false;
};

using StateHolder = std::shared_ptr<ComboState>;

StateHolder HolderOf(HWND hwnd) {
    auto* holder = reinterpret_cast<StateHolder*>(GetWindowLongPtrW(hwnd, 0));
    return holder ? *holder : nullptr;
}

UINT Kind(const ComboState& combo) { return combo.style & 3; }
bool IsSimple(const ComboState& combo) { return Kind(combo) == CBS_SIMPLE; }
bool IsDropDownList(const ComboState& combo) { return Kind(combo) == CBS_DROPDOWNLIST; }
bool Alive(const ComboState& combo) { return IsWindow(combo.self) != FALSE; }

// Sends a notification; false when the combo box died of it.
bool Notify(ComboState& combo, WORD code) {
    HWND parent = GetParent(combo.self);
    if (parent) {
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo.self), code),
                     reinterpret_cast<LPARAM>(combo.self));
    }
    return Alive(combo);
}

LRESULT ToList(const ComboState& combo, UINT message, WPARAM wParam, LPARAM lParam) {
    return combo.list ? SendMessageW(combo.list, message, wParam, lParam) : CB_ERR;
}

int Selection(const ComboState& combo) { return int(ToList(combo, LB_GETCURSEL, 0, 0)); }

std::u16string ItemText(const ComboState& combo, int index) {
    LRESULT length = ToList(combo, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length < 0) return {};
    std::u16string text(size_t(length) + 1, u'\0');
    LRESULT copied = ToList(combo, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(size_t(std::max<LRESULT>(0, std::min(copied, length))));
    return text;
}

bool ListHasStrings(const ComboState& combo) {
    ListBoxState* list = ListBoxStateOf(combo.list);
    return list && HasStrings(*list);
}

void RedrawField(const ComboState&) {}

void SetEditText(ComboState& combo, const std::u16string& text) {
    combo.settingEditText = true;
    SendMessageW(combo.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    combo.settingEditText = false;
}

// The field shows the selection: the edit gets its text, selected whole.
void ShowSelectionInField(ComboState& combo) {
    if (combo.edit) {
        int selection = Selection(combo);
        SetEditText(combo, selection >= 0 && ListHasStrings(combo) ? ItemText(combo, selection) : std::u16string());
        SendMessageW(combo.edit, kEditSetSelection, 0, -1);
    }
    RedrawField(combo);
}

int FieldHeight(const ComboState& combo) { return combo.fieldItemHeight + 2 * kFieldEdge; }

int ButtonWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

RECT ClientRectOf(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return rect;
}

// The field (rcItem) and the arrow (rcButton) in client coordinates.
RECT FieldRect(const ComboState& combo) {
    RECT client = ClientRectOf(combo.self);
    if (IsSimple(combo)) return RECT{0, 0, client.right, FieldHeight(combo)};
    return RECT{kFieldEdge, kFieldEdge, client.right - 2 - ButtonWidth(), FieldHeight(combo) - kFieldEdge};
}

RECT ButtonRect(const ComboState& combo) {
    RECT client = ClientRectOf(combo.self);
    if (IsSimple(combo)) return RECT{0, 0, 0, 0};
    return RECT{client.right - 2 - ButtonWidth(), 2, client.right - 2, FieldHeight(combo) - 2};
}

int DroppedWidth(const ComboState& combo) {
    RECT rect{};
    GetWindowRect(combo.self, &rect);
    return std::max<int>(combo.droppedWidth, rect.right - rect.left);
}

// Places the edit and, in a simple combo box, the list.
void LayOut(ComboState& combo) {
    RECT client = ClientRectOf(combo.self);
    if (combo.edit) {
        RECT field = FieldRect(combo);
        if (IsSimple(combo)) field = RECT{0, 0, client.right, FieldHeight(combo)};
        SetWindowPos(combo.edit, nullptr, field.left, field.top, field.right - field.left, field.bottom - field.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (IsSimple(combo) && combo.list) {
        SetWindowPos(combo.list, nullptr, 0, FieldHeight(combo), client.right,
                     std::max<int>(0, client.bottom - FieldHeight(combo)), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// A drop-down combo box's window is as tall as its field.
void FitToField(ComboState& combo) {
    if (IsSimple(combo) || combo.resizing) return;
    RECT rect{};
    GetWindowRect(combo.self, &rect);
    combo.resizing = true;
    SetWindowPos(combo.self, nullptr, 0, 0, rect.right - rect.left, FieldHeight(combo),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    combo.resizing = false;
    LayOut(combo);
}

RECT DroppedRect(const ComboState& combo) {
    RECT rect{};
    GetWindowRect(combo.self, &rect);
    int width = DroppedWidth(combo);
    return RECT{rect.left, rect.top, rect.left + width, rect.top + FieldHeight(combo) + combo.listHeight};
}

void DropList(ComboState& combo) {
    if (IsSimple(combo) || combo.dropped || !combo.list) return;
    if (!Notify(combo, CBN_DROPDOWN)) return;
    if (combo.dropped) return;  // the parent dropped it meanwhile
    if (combo.edit) {
        // The list opens on the item the edit's text names, if any.
        int length = int(SendMessageW(combo.edit, WM_GETTEXTLENGTH, 0, 0));
        std::u16string text(size_t(std::max(length, 0)) + 1, u'\0');
        SendMessageW(combo.edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        int found = int(ToList(combo, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str())));
        if (found >= 0) ToList(combo, LB_SETCURSEL, WPARAM(found), 0);
    }
    combo.selectionAtDrop = Selection(combo);
    RECT rect{};
    GetWindowRect(combo.self, &rect);
    // Without CBS_NOINTEGRALHEIGHT the list is no taller than its items.
    int height = combo.listHeight;
    ListBoxState* list = ListBoxStateOf(combo.list);
    if (list && !(combo.style & CBS_NOINTEGRALHEIGHT)) {
        int items = 0, total = 2;  // the list's border
        int count = int(list->items.size());
        for (int i = 0; i < count && total + ItemHeightOf(*list, i) <= combo.listHeight; ++i, ++items) {
            total += ItemHeightOf(*list, i);
        }
        if (items == 0) total += ItemHeightOf(*list, 0);
        height = std::max(total, 2 + ItemHeightOf(*list, 0));
    }
    combo.dropped = true;
    SetWindowPos(combo.list, HWND_TOPMOST, rect.left, rect.bottom, DroppedWidth(combo), height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (combo.selectionAtDrop >= 0) ToList(combo, LB_SETCARETINDEX, WPARAM(combo.selectionAtDrop), FALSE);
    SetCapture(combo.list);
    RedrawField(combo);
}

// Hides a dropped list; false when the combo box died of CBN_CLOSEUP.
bool CloseList(ComboState& combo) {
    if (!combo.dropped) return true;
    combo.dropped = false;
    if (GetCapture() == combo.list) ReleaseCapture();
    SetWindowPos(combo.list, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawField(combo);
    return Notify(combo, CBN_CLOSEUP);
}

// A person's choice in the dropped list (click, Enter, F4 closing it).
void ChooseFromList(ComboState& combo, bool always) {
    if (!combo.dropped) return;
    if (!Notify(combo, CBN_SELENDOK)) return;
    if (!CloseList(combo)) return;
    bool changed = Selection(combo) != combo.selectionAtDrop;
    ShowSelectionInField(combo);
    if (always || changed) Notify(combo, CBN_SELCHANGE);
}

void CancelList(ComboState& combo) {
    if (!combo.dropped) return;
    if (!Notify(combo, CBN_SELENDCANCEL)) return;
    if (Selection(combo) != combo.selectionAtDrop) {
        ToList(combo, LB_SETCURSEL, WPARAM(combo.selectionAtDrop), 0);
        if (IsDropDownList(combo)) RedrawField(combo);
    }
    CloseList(combo);
}

// A person moved the selection with a key or a character.
void MoveSelection(ComboState& combo, int index) {
    int count = int(ToList(combo, LB_GETCOUNT, 0, 0));
    if (count <= 0) return;
    index = std::clamp(index, 0, count - 1);
    if (index == Selection(combo)) return;
    ToList(combo, LB_SETCURSEL, WPARAM(index), 0);
    if (combo.dropped) combo.selectionAtDrop = index;
    ShowSelectionInField(combo);
    if (IsSimple(combo) && !Notify(combo, CBN_SELENDOK)) return;
    Notify(combo, CBN_SELCHANGE);
}

void ToggleList(ComboState& combo) {
    if (combo.dropped)
        ChooseFromList(combo, false);
    else
        DropList(combo);
}

// Keys that reach the combo box or its edit. Answers whether it took the key.
bool OnKey(ComboState& combo, UINT message, WPARAM key) {
    if (message == WM_SYSKEYDOWN) {
        if (key != VK_DOWN && key != VK_UP) return false;
        ToggleList(combo);
        return true;
    }
    int selection = Selection(combo);
    int page = 1;
    if (ListBoxState* list = ListBoxStateOf(combo.list)) {
        int each = std::max(1, list->itemHeight);
        page = std::max(1, combo.listHeight / each - 1);
    }
    switch (key) {
        case VK_F4:
            if (combo.extendedUI || IsSimple(combo)) return false;
            ToggleList(combo);
            return true;
        case VK_ESCAPE:
            if (!combo.dropped) return false;
            CancelList(combo);
            return true;
        case VK_RETURN:
            if (!combo.dropped) return false;
            ChooseFromList(combo, false);
            return true;
        case VK_DOWN:
            if (combo.extendedUI && !combo.dropped && !IsSimple(combo)) {
                DropList(combo);
                return true;
            }
            MoveSelection(combo, selection < 0 ? 0 : selection + 1);
            return true;
        case VK_UP: MoveSelection(combo, selection < 0 ? 0 : selection - 1); return true;
        case VK_NEXT: MoveSelection(combo, selection < 0 ? 0 : selection + page); return true;
        case VK_PRIOR: MoveSelection(combo, selection < 0 ? 0 : selection - page); return true;
        case VK_HOME:
            if (combo.edit) return false;  // the edit moves its caret
            MoveSelection(combo, 0);
            return true;
        case VK_END:
            if (combo.edit) return false;
            MoveSelection(combo, int(ToList(combo, LB_GETCOUNT, 0, 0)) - 1);
            return true;
        default: return false;
    }
}

// A character typed in a drop-down list selects the next item starting
// with it.
void OnCharInList(ComboState& combo, WCHAR ch) {
    if (ch < 0x20 || !ListHasStrings(combo)) return;
    ListBoxState* list = ListBoxStateOf(combo.list);
    if (!list) return;
    WCHAR prefix[2] = {ch, 0};
    int found = FindListItem(list->items, Selection(combo),
                             [&](const ListItem& item) { return ItemTextStartsWith(item.text, prefix); });
    if (found >= 0) MoveSelection(combo, found);
}

void GainFocus(ComboState& combo) {
    if (combo.focused) return;
    combo.focused = true;
    RedrawField(combo);
    Notify(combo, CBN_SETFOCUS);
}

void LoseFocus(ComboState& combo) {
    if (!combo.focused) return;
    if (combo.dropped) {
        CancelList(combo);
        if (!Alive(combo)) return;
    }
    combo.focused = false;
    RedrawField(combo);
    Notify(combo, CBN_KILLFOCUS);
}

bool FocusInside(const ComboState& combo, HWND focus) {
    return focus && (focus == combo.self || focus == combo.edit || focus == combo.list);
}

void OnEditCommand(ComboState& combo, WORD code) {
    switch (code) {
        case kEditSetFocus: GainFocus(combo); break;
        case kEditKillFocus:
            if (!FocusInside(combo, GetFocus())) LoseFocus(combo);
            break;
        case kEditUpdate:
            if (!combo.settingEditText) Notify(combo, CBN_EDITUPDATE);
            break;
        case kEditChange:
            if (combo.settingEditText) break;
            if (combo.dropped && ListHasStrings(combo)) {
                // The dropped list follows what the person types.
                int length = int(SendMessageW(combo.edit, WM_GETTEXTLENGTH, 0, 0));
                std::u16string text(size_t(std::max(length, 0)) + 1, u'\0');
                SendMessageW(combo.edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
                int found = int(ToList(combo, LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str())));
                if (found >= 0) ToList(combo, LB_SETCURSEL, WPARAM(found), 0);
            }
            Notify(combo, CBN_EDITCHANGE);
            break;
        default: break;
    }
}

int MeasureField(ComboState& combo) {
    int height = FontLineHeight(combo.font) + 2;
    if (!(combo.style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))) return height;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_COMBOBOX;
    measure.CtlID = UINT(GetDlgCtrlID(combo.self));
    measure.itemID = UINT(-1);
    measure.itemWidth = UINT(ClientRectOf(combo.self).right);
    measure.itemHeight = UINT(FontLineHeight(combo.font));
    HWND parent = GetParent(combo.self);
    if (parent) SendMessageW(parent, WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure));
    return int(std::clamp<UINT>(measure.itemHeight, 1, kMaxItemHeight));
}

LRESULT CALLBACK ComboEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

bool Create(ComboState& combo, const CREATESTRUCTW& cs) {
    combo.fieldItemHeight = MeasureField(combo);
    if (!Alive(combo)) return false;
    combo.listHeight = std::max(0, cs.cy - FieldHeight(combo));
    HINSTANCE instance = cs.hInstance;
    DWORD listStyle = LBS_COMBOBOX | LBS_NOTIFY | WS_BORDER | WS_VSCROLL;
    if (combo.style & CBS_SORT) listStyle |= LBS_SORT;
    if (combo.style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
    if (combo.style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
    if (combo.style & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
    if (combo.style & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
    if (IsSimple(combo)) {
        listStyle |= WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT;
        combo.list = CreateWindowExW(0, u"ComboLBox", nullptr, listStyle, 0, FieldHeight(combo), cs.cx,
                                     std::max(0, cs.cy - FieldHeight(combo)), combo.self,
                                     reinterpret_cast<HMENU>(INT_PTR(kListId)), instance, combo.self);
    } else {
        // The dropped list belongs to the desktop, above every window.
        listStyle |= WS_CHILD | LBS_NOINTEGRALHEIGHT;
        combo.list = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, u"ComboLBox", nullptr, listStyle, 0, 0, cs.cx,
                                     std::max(combo.listHeight, 1), GetDesktopWindow(),
                                     reinterpret_cast<HMENU>(INT_PTR(kListId)), instance, combo.self);
    }
    if (!combo.list || !Alive(combo)) return false;
    if (!IsDropDownList(combo)) {
        DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_LEFT | ES_NOHIDESEL;
        if (combo.style & CBS_AUTOHSCROLL) editStyle |= ES_AUTOHSCROLL;
        if (combo.style & CBS_UPPERCASE) editStyle |= ES_UPPERCASE;
        if (combo.style & CBS_LOWERCASE) editStyle |= ES_LOWERCASE;
        if (!(combo.style & WS_DISABLED)) editStyle &= ~DWORD(WS_DISABLED);
        RECT field = FieldRect(combo);
        LPCWSTR text = cs.lpszName && !IS_INTRESOURCE(cs.lpszName) ? cs.lpszName : u"";
        combo.edit = CreateWindowExW(0, u"Edit", text, editStyle, field.left, field.top, field.right - field.left,
                                     field.bottom - field.top, combo.self, reinterpret_cast<HMENU>(INT_PTR(kEditId)),
                                     instance, nullptr);
        if (!combo.edit || !Alive(combo)) return false;
        combo.editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(combo.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboEditProc)));
    }
    FitToField(combo);
    LayOut(combo);
    return true;
}

LRESULT GetTextMessage(ComboState& combo, UINT message, WPARAM wParam, LPARAM lParam) {
    if (combo.edit) return SendMessageW(combo.edit, message, wParam, lParam);
    int selection = Selection(combo);
    std::u16string text = selection >= 0 && ListHasStrings(combo) ? ItemText(combo, selection) : std::u16string();
    if (message == WM_GETTEXTLENGTH) return LRESULT(text.size());
    auto buffer = reinterpret_cast<LPWSTR>(lParam);
    if (!buffer || wParam == 0) return 0;
    lstrcpynW(buffer, text.c_str(), int(std::min<WPARAM>(wParam, 0x7FFFFFFF)));
    return lstrlenW(buffer);
}

LRESULT SetTextMessage(ComboState& combo, LPARAM lParam) {
    auto text = reinterpret_cast<LPCWSTR>(lParam);
    if (combo.edit) {
        SetEditText(combo, text ? std::u16string(text) : std::u16string());
        return TRUE;
    }
    // A drop-down list shows only its items: the text selects the item that
    // equals it (without case), and text no item has answers CB_ERR.
    int found = int(ToList(combo, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text ? text : u"")));
    if (found < 0) return CB_ERR;
    ToList(combo, LB_SETCURSEL, WPARAM(found), 0);
    RedrawField(combo);
    return TRUE;
}

LRESULT ComboBoxInfo(ComboState& combo, COMBOBOXINFO* info) {
    if (!info || info->cbSize != sizeof(COMBOBOXINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->rcItem = FieldRect(combo);
    info->rcButton = ButtonRect(combo);
    info->stateButton = IsSimple(combo) ? STATE_SYSTEM_INVISIBLE : combo.dropped ? STATE_SYSTEM_PRESSED : 0;
    info->hwndCombo = combo.self;
    info->hwndItem = combo.edit ? combo.edit : combo.self;
    info->hwndList = combo.list;
    return TRUE;
}

LRESULT Unsupported() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return CB_ERR;
}

LRESULT Dispatch(ComboState& combo, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    int index = int(INT_PTR(wParam));
    switch (message) {
        case CB_ADDSTRING: return ToList(combo, LB_ADDSTRING, 0, lParam);
        case CB_INSERTSTRING: return ToList(combo, LB_INSERTSTRING, wParam, lParam);
        case CB_DELETESTRING: {
            bool wasSelected = index >= 0 && index == Selection(combo);
            LRESULT result = ToList(combo, LB_DELETESTRING, wParam, 0);
            if (result >= 0 && wasSelected && IsDropDownList(combo)) RedrawField(combo);
            return result;
        }
        case CB_RESETCONTENT:
            ToList(combo, LB_RESETCONTENT, 0, 0);
            if (!Alive(combo)) return CB_OKAY;
            if (combo.edit) SetEditText(combo, std::u16string());
            RedrawField(combo);
            return CB_OKAY;
        case CB_GETCOUNT: return ToList(combo, LB_GETCOUNT, 0, 0);
        case CB_GETLBTEXT: return ToList(combo, LB_GETTEXT, wParam, lParam);
        case CB_GETLBTEXTLEN: return ToList(combo, LB_GETTEXTLEN, wParam, 0);
        case CB_GETITEMDATA: return ToList(combo, LB_GETITEMDATA, wParam, 0);
        case CB_SETITEMDATA: return ToList(combo, LB_SETITEMDATA, wParam, lParam);
        case CB_FINDSTRING: return ToList(combo, LB_FINDSTRING, wParam, lParam);
        case CB_FINDSTRINGEXACT: return ToList(combo, LB_FINDSTRINGEXACT, wParam, lParam);
        case CB_GETCURSEL: return ToList(combo, LB_GETCURSEL, 0, 0);
        case CB_SETCURSEL: {
            // -1, or an index past the items, clears the selection and the
            // field and answers CB_ERR.
            int count = int(ToList(combo, LB_GETCOUNT, 0, 0));
            bool valid = index >= 0 && index < count;
            ToList(combo, LB_SETCURSEL, valid ? wParam : WPARAM(-1), 0);
            if (combo.dropped) combo.selectionAtDrop = valid ? index : -1;
            ShowSelectionInField(combo);
            return valid ? index : CB_ERR;
        }
        case CB_SELECTSTRING: {
            LRESULT found = ToList(combo, LB_FINDSTRING, wParam, lParam);
            if (found < 0) return CB_ERR;
            ToList(combo, LB_SETCURSEL, WPARAM(found), 0);
            ShowSelectionInField(combo);
            return found;
        }
        case CB_GETTOPINDEX: return ToList(combo, LB_GETTOPINDEX, 0, 0);
        case CB_SETTOPINDEX: return ToList(combo, LB_SETTOPINDEX, wParam, 0);
        case CB_GETHORIZONTALEXTENT: return ToList(combo, LB_GETHORIZONTALEXTENT, 0, 0);
        case CB_SETHORIZONTALEXTENT: ToList(combo, LB_SETHORIZONTALEXTENT, wParam, 0); return 0;
        case CB_SETLOCALE: return ToList(combo, LB_SETLOCALE, wParam, 0);
        case CB_GETLOCALE: return ToList(combo, LB_GETLOCALE, 0, 0);
        case CB_INITSTORAGE: return ToList(combo, LB_INITSTORAGE, wParam, lParam);
        case CB_LIMITTEXT:
            if (combo.edit) SendMessageW(combo.edit, kEditLimitText, wParam, 0);
            return TRUE;
        case CB_SETEDITSEL:
            if (!combo.edit) return CB_ERR;
            // -1 in either half: no selection (start) or the end (end).
            SendMessageW(combo.edit, kEditSetSelection, WPARAM(INT_PTR(SHORT(LOWORD(lParam)))),
                         LPARAM(SHORT(HIWORD(lParam))));
            return TRUE;
        case CB_GETEDITSEL:
            if (!combo.edit) return CB_ERR;
            return SendMessageW(combo.edit, kEditGetSelection, wParam, lParam);
        case CB_SHOWDROPDOWN:
            if (wParam)
                DropList(combo);
            else
                CloseList(combo);
            return TRUE;
        case CB_GETDROPPEDSTATE: return combo.dropped ? TRUE : FALSE;
        case CB_SETDROPPEDWIDTH:
            if (index < 0) return CB_ERR;
            combo.droppedWidth = index;
            return DroppedWidth(combo);
        case CB_GETDROPPEDWIDTH: return DroppedWidth(combo);
        case CB_GETDROPPEDCONTROLRECT: {
            auto rect = reinterpret_cast<RECT*>(lParam);
            if (!rect) return CB_ERR;
            if (IsSimple(combo))
                GetWindowRect(combo.self, rect);
            else
                *rect = DroppedRect(combo);
            return TRUE;
        }
        case CB_SETITEMHEIGHT: {
            int height = int(lParam);
            if (height <= 0 || height > kMaxItemHeight) return CB_ERR;
            if (index == -1) {
                combo.fieldItemHeight = height;
                FitToField(combo);
                LayOut(combo);
                RedrawField(combo);
                return CB_OKAY;
            }
            return ToList(combo, LB_SETITEMHEIGHT, wParam, MAKELPARAM(height, 0));
        }
        case CB_GETITEMHEIGHT:
            if (index == -1) return combo.fieldItemHeight;
            return ToList(combo, LB_GETITEMHEIGHT, wParam, 0);
        case CB_SETEXTENDEDUI:
            if (IsSimple(combo)) return CB_ERR;
            combo.extendedUI = wParam != 0;
            return CB_OKAY;
        case CB_GETEXTENDEDUI: return combo.extendedUI ? TRUE : FALSE;
        case CB_GETCOMBOBOXINFO: return ComboBoxInfo(combo, reinterpret_cast<COMBOBOXINFO*>(lParam));
        case CB_DIR: return Unsupported();

        case WM_SETTEXT: return SetTextMessage(combo, lParam);
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH: return GetTextMessage(combo, message, wParam, lParam);
        case WM_SETFONT:
            combo.font = reinterpret_cast<HFONT>(wParam);
            if (combo.edit) SendMessageW(combo.edit, WM_SETFONT, wParam, lParam);
            if (combo.list) SendMessageW(combo.list, WM_SETFONT, wParam, lParam);
            if (!(combo.style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))) {
                combo.fieldItemHeight = FontLineHeight(combo.font) + 2;
                FitToField(combo);
                LayOut(combo);
            }
            if (LOWORD(lParam)) RedrawField(combo);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(combo.font);
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
            auto msg = reinterpret_cast<const MSG*>(lParam);
            if (combo.dropped && msg && msg->message == WM_KEYDOWN &&
                (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_ENABLE:
            if (combo.edit) EnableWindow(combo.edit, BOOL(wParam));
            if (!wParam && combo.dropped) CancelList(combo);
            RedrawField(combo);
            return 0;
        case WM_SIZE: {
            if (combo.resizing) return 0;
            int height = HIWORD(lParam);
            if (!IsSimple(combo) && height != FieldHeight(combo)) {
                // A new height is field and list together.
                if (height > FieldHeight(combo)) combo.listHeight = height - FieldHeight(combo);
                FitToField(combo);
            }
            LayOut(combo);
            return 0;
        }
        case WM_SETFOCUS:
            if (combo.edit) {
                SetFocus(combo.edit);
                return 0;
            }
            GainFocus(combo);
            return 0;
        case WM_KILLFOCUS: {
            HWND next = reinterpret_cast<HWND>(wParam);
            if (!FocusInside(combo, next)) LoseFocus(combo);
            return 0;
        }
        case WM_COMMAND:
            if (combo.edit && reinterpret_cast<HWND>(lParam) == combo.edit) OnEditCommand(combo, HIWORD(wParam));
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (OnKey(combo, message, wParam)) return 0;
            return message == WM_SYSKEYDOWN ? DefWindowProcW(hwnd, message, wParam, lParam) : 0;
        case WM_CHAR:
            if (combo.edit) return SendMessageW(combo.edit, message, wParam, lParam);
            OnCharInList(combo, WCHAR(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (IsSimple(combo)) return 0;
            if (!FocusInside(combo, GetFocus())) {
                SetFocus(hwnd);
                if (!Alive(combo)) return 0;
            }
            POINT point{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))};
            RECT button = ButtonRect(combo);
            RECT field = FieldRect(combo);
            // A drop-down list opens from its whole field, the others from
            // the arrow (their field is the edit).
            if (Contains(button, point) || (IsDropDownList(combo) && Contains(field, point))) ToggleList(combo);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            int steps = SHORT(HIWORD(wParam)) / WHEEL_DELTA;
            if (steps != 0 && !combo.dropped) {
                int selection = Selection(combo);
                MoveSelection(combo, selection < 0 ? 0 : selection - steps);
            }
            return 0;
        }
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK ComboEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND owner = GetParent(edit);
    StateHolder state = owner ? HolderOf(owner) : nullptr;
    WNDPROC original = state && state->editProc ? state->editProc
                                                : reinterpret_cast<WNDPROC>(GetClassLongPtrW(edit, GCLP_WNDPROC));
    if (state && state->edit == edit) {
        ComboState& combo = *state;
        switch (message) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_F4 || wParam == VK_PRIOR ||
                    wParam == VK_NEXT || wParam == VK_ESCAPE || wParam == VK_RETURN) {
                    if (OnKey(combo, message, wParam)) return 0;
                }
                break;
            case WM_CHAR:
                // Enter and Esc close a dropped list; they type nothing.
                if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
                    if (combo.dropped || (combo.style & 3) != CBS_SIMPLE) return 0;
                }
                break;
            case WM_GETDLGCODE: {
                LRESULT code = CallWindowProcW(original, edit, message, wParam, lParam);
                auto msg = reinterpret_cast<const MSG*>(lParam);
                if (combo.dropped && msg && msg->message == WM_KEYDOWN &&
                    (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
                    code |= DLGC_WANTMESSAGE;
                }
                return code;
            }
            case WM_NCDESTROY:
                SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
                combo.editProc = nullptr;
                break;
            default: break;
        }
    }
    return original ? CallWindowProcW(original, edit, message, wParam, lParam)
                    : DefWindowProcW(edit, message, wParam, lParam);
}

}  // namespace

void NotifyComboOfList(HWND hwnd, ComboListEvent event) {
    StateHolder state = HolderOf(hwnd);
    if (!state) return;
    ComboState& combo = *state;
    switch (event) {
        case ComboListEvent::Chosen: ChooseFromList(combo, true); break;
        case ComboListEvent::Cancelled: CancelList(combo); break;
        case ComboListEvent::SelectionMoved:
            ShowSelectionInField(combo);
            if (Notify(combo, CBN_SELENDOK)) Notify(combo, CBN_SELCHANGE);
            break;
        case ComboListEvent::DoubleClicked:
            if (IsSimple(combo)) Notify(combo, CBN_DBLCLK);
            break;
    }
}

bool IsComboListShown(HWND hwnd) {
    StateHolder state = HolderOf(hwnd);
    return state && (IsSimple(*state) || state->dropped);
}

LRESULT CALLBACK ComboBoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto state = std::make_shared<ComboState>();
        state->self = hwnd;
        state->style = DWORD(cs->style);
        // Owner-drawn combo boxes without strings keep none; the others do.
        if (!(state->style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))) state->style |= CBS_HASSTRINGS;
        if ((state->style & 3) == 0) state->style |= CBS_SIMPLE;
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
    ComboState& combo = *state;
    switch (message) {
        case WM_CREATE:
            return Create(combo, *reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
        case WM_DESTROY:
            if (combo.dropped) {
                combo.dropped = false;
                if (GetCapture() == combo.list) ReleaseCapture();
            }
            // The dropped list is no child of the combo box: it goes with it.
            if (combo.list && !IsSimple(combo)) DestroyWindow(combo.list);
            combo.list = nullptr;
            return 0;
        case WM_STYLECHANGED:
            if (wParam == WPARAM(GWL_STYLE)) {
                auto change = reinterpret_cast<const STYLESTRUCT*>(lParam);
                combo.style = (combo.style & 0xFFFF) | (change->styleNew & 0xFFFF0000);
            }
            return 0;
        case WM_ERASEBKGND: return TRUE;
        default: return Dispatch(combo, hwnd, message, wParam, lParam);
    }
}

}  // namespace w32

BOOL WINAPI GetComboBoxInfo(HWND hwndCombo, PCOMBOBOXINFO pcbi) {
    if (!IsWindow(hwndCombo)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageW(hwndCombo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(pcbi)) ? TRUE : FALSE;
}


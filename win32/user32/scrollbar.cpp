// The system's "ScrollBar" class: a horizontal (SBS_HORZ) or vertical
// (SBS_VERT) bar that keeps a range, a page and a position, and tells its
// parent what a person asks of it. The bar never moves itself: the parent
// answers WM_HSCROLL/WM_VSCROLL by setting the position it wants.
//
//  SBM_SETPOS          answers the previous position; the position is kept
//                      within min .. max - max(page - 1, 0)
//  SBM_SETRANGE(REDRAW) answers the previous position when the new range
//                      moved it, else 0
//  SBM_GETRANGE        fills the two INTs wParam and lParam point to
//  SBM_SETSCROLLINFO   the fields fMask names; answers the position
//  SBM_GETSCROLLINFO   the fields fMask names; FALSE when it names none
//  SBM_ENABLE_ARROWS   ESB_* flags: a disabled arrow ignores the mouse
//
// A press of the left button on an arrow sends SB_LINEUP or SB_LINEDOWN, on
// the track before or after the thumb SB_PAGEUP or SB_PAGEDOWN; dragging the
// thumb sends SB_THUMBTRACK with each new position and SB_THUMBPOSITION
// with the last one when the button comes up. Releasing the button always
// ends with SB_ENDSCROLL. WM_HSCROLL (horizontal bars) or WM_VSCROLL carries
// MAKEWPARAM(request, position) and the bar's handle.
#include <algorithm>

#include "user32/control.h"
#include "user32/scrollbar.h"
#include "user32/systemclasses.h"

namespace w32 {

namespace {

using Part = ScrollBarRecord::Part;

ScrollBarRecord* RecordOf(HWND hwnd) {
    return ControlRecord<ScrollBarRecord>(hwnd);
}

int ClampPos(const ScrollBarRecord& record, int pos) {
    return std::max(record.min, std::min(pos, MaxScrollPos(record)));
}

// After the range changed: the page fits the range, the position the page.
void Normalise(ScrollBarRecord& record) {
    long long span = (long long)record.max - record.min + 1;
    if (span < 0) span = 0;
    if ((long long)record.page > span) record.page = UINT(span);
    record.pos = ClampPos(record, record.pos);
    record.trackPos = record.pos;
}

void Notify(HWND hwnd, WORD request, int pos) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    UINT message = (ControlStyle(hwnd) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageW(parent, message, MAKEWPARAM(request, WORD(pos)), reinterpret_cast<LPARAM>(hwnd));
}

int Along(const ScrollBarLayout& layout, LPARAM point) {
    return layout.vertical ? short(HIWORD(point)) : short(LOWORD(point));
}

Part HitTest(const ScrollBarLayout& layout, int at) {
    if (at < layout.trackStart) return Part::FirstArrow;
    if (at >= layout.trackEnd) return Part::LastArrow;
    if (!layout.hasThumb) return Part::None;
    if (at < layout.thumbStart) return Part::FirstTrack;
    if (at >= layout.thumbStart + layout.thumbLength) return Part::LastTrack;
    return Part::Thumb;
}

// The position that puts the thumb's start at `thumbStart`.
int PosForThumb(const ScrollBarRecord& record, const ScrollBarLayout& layout, int thumbStart) {
    int room = layout.trackEnd - layout.trackStart - layout.thumbLength;
    int positions = MaxScrollPos(record) - record.min;
    if (room <= 0 || positions <= 0) return record.min;
    int offset = std::max(0, std::min(thumbStart - layout.trackStart, room));
    return record.min + int(((long long)offset * positions + room / 2) / room);
}

LRESULT SetScrollInfoMessage(HWND hwnd, const SCROLLINFO* info, BOOL redraw) {
    ScrollBarRecord* record = RecordOf(hwnd);
    if (!record) return 0;
    if (!info) return record->pos;
    if (info->fMask & SIF_RANGE) {
        record->min = info->nMin;
        record->max = info->nMax;
    }
    if (info->fMask & SIF_PAGE) record->page = info->nPage;
    if (info->fMask & SIF_POS) record->pos = info->nPos;
    Normalise(*record);
    if (redraw) RedrawScrollBar(hwnd);
    return record->pos;
}

LRESULT GetScrollInfoMessage(HWND hwnd, SCROLLINFO* info) {
    ScrollBarRecord* record = RecordOf(hwnd);
    if (!record || !info || !(info->fMask & SIF_ALL)) return FALSE;
    if (info->fMask & SIF_RANGE) {
        info->nMin = record->min;
        info->nMax = record->max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = record->page;
    if (info->fMask & SIF_POS) info->nPos = record->pos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = record->trackPos;
    return TRUE;
}

LRESULT SetRange(HWND hwnd, int min, int max, bool redraw) {
    ScrollBarRecord* record = RecordOf(hwnd);
    if (!record) return 0;
    int previous = record->pos;
    record->min = min;
    record->max = max;
    Normalise(*record);
    if (redraw) RedrawScrollBar(hwnd);
    return record->pos != previous ? previous : 0;
}

void ButtonDown(HWND hwnd, LPARAM point) {
    ScrollBarRecord* record = RecordOf(hwnd);
    if (!record || record->held != Part::None) return;
    ScrollBarLayout layout = LayOutScrollBar(hwnd, *record, record->pos);
    int at = Along(layout, point);
    Part part = HitTest(layout, at);
    if (part == Part::None) return;
    if ((part == Part::FirstArrow && (record->disabledArrows & ESB_DISABLE_LEFT)) ||
        (part == Part::LastArrow && (record->disabledArrows & ESB_DISABLE_RIGHT))) {
        return;
    }
    record->held = part;
    record->grab = at - layout.thumbStart;
    record->trackPos = record->pos;
    SetCapture(hwnd);
    RedrawScrollBar(hwnd);
    switch (part) {
        case Part::FirstArrow:
            Notify(hwnd, SB_LINEUP, 0);
            break;
        case Part::LastArrow:
            Notify(hwnd, SB_LINEDOWN, 0);
            break;
        case Part::FirstTrack:
            Notify(hwnd, SB_PAGEUP, 0);
            break;
        case Part::LastTrack:
            Notify(hwnd, SB_PAGEDOWN, 0);
            break;
        default:
            break;
    }
}

void MouseMove(HWND hwnd, LPARAM point) {
    ScrollBarRecord* record = RecordOf(hwnd);
    if (!record || record->held != Part::Thumb) return;
    ScrollBarLayout layout = LayOutScrollBar(hwnd, *record, record->pos);
    int pos = PosForThumb(*record, layout, Along(layout, point) - record->grab);
    if (pos == record->trackPos) return;
    record->trackPos = pos;
    RedrawScrollBar(hwnd);
    Notify(hwnd, SB_THUMBTRACK, pos);
}

void ButtonUp(HWND hwnd) {
    ScrollBarRecord* record = RecordOf(hwnd);
    if (!record || record->held == Part::None) return;
    Part held = record->held;
    int trackPos = record->trackPos;
    record->held = Part::None;
    if (GetCapture() == hwnd) ReleaseCapture();
    RedrawScrollBar(hwnd);
    if (held == Part::Thumb) {
        Notify(hwnd, SB_THUMBPOSITION, trackPos);
        if (!IsWindow(hwnd)) return;
    }
    Notify(hwnd, SB_ENDSCROLL, 0);
    if ((record = RecordOf(hwnd))) record->trackPos = record->pos;
}

}  // namespace

int MaxScrollPos(const ScrollBarRecord& record) {
    long long top = (long long)record.max - std::max<long long>((long long)record.page - 1, 0);
    return int(std::max<long long>(record.min, top));
}

ScrollBarLayout LayOutScrollBar(HWND control, const ScrollBarRecord& record, int shownPos) {
    ScrollBarLayout layout;
    RECT client{};
    GetClientRect(control, &client);
    layout.vertical = (ControlStyle(control) & SBS_VERT) != 0;
    int length = layout.vertical ? client.bottom : client.right;
    int thickness = layout.vertical ? client.right : client.bottom;
    layout.length = length;
    layout.arrow = std::min(thickness, length / 2);
    layout.trackStart = layout.arrow;
    layout.trackEnd = length - layout.arrow;
    int track = layout.trackEnd - layout.trackStart;
    long long span = (long long)record.max - record.min + 1;
    if (record.max <= record.min || track <= 0) return layout;
    // A page shows its share of the track; without a page the thumb is
    // square. A thumb is never shorter than a third of the bar's thickness.
    int thumb = record.page ? int((long long)track * record.page / span) : thickness;
    thumb = std::max(thumb, std::max(thickness / 3, 4));
    if (thumb > track) return layout;
    layout.hasThumb = true;
    layout.thumbLength = thumb;
    int room = track - thumb;
    int positions = MaxScrollPos(record) - record.min;
    int offset = positions > 0 ? int((long long)room * (ClampPos(record, shownPos) - record.min) / positions) : 0;
    layout.thumbStart = layout.trackStart + offset;
    return layout;
}

LRESULT CALLBACK ScrollBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            MakeControlRecord<ScrollBarRecord>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_NCDESTROY:
            FreeControlRecord<ScrollBarRecord>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case SBM_SETPOS: {
            ScrollBarRecord* record = RecordOf(hwnd);
            if (!record) return 0;
            int previous = record->pos;
            record->pos = record->trackPos = ClampPos(*record, int(wParam));
            if (lParam && record->pos != previous) RedrawScrollBar(hwnd);
            return previous;
        }
        case SBM_GETPOS: {
            ScrollBarRecord* record = RecordOf(hwnd);
            return record ? record->pos : 0;
        }
        case SBM_SETRANGE:
            return SetRange(hwnd, int(wParam), int(lParam), false);
        case SBM_SETRANGEREDRAW:
            return SetRange(hwnd, int(wParam), int(lParam), true);
        case SBM_GETRANGE: {
            ScrollBarRecord* record = RecordOf(hwnd);
            if (!record) return 0;
            if (auto min = reinterpret_cast<LPINT>(wParam)) *min = record->min;
            if (auto max = reinterpret_cast<LPINT>(lParam)) *max = record->max;
            return 0;
        }
        case SBM_SETSCROLLINFO:
            return SetScrollInfoMessage(hwnd, reinterpret_cast<const SCROLLINFO*>(lParam), BOOL(wParam));
        case SBM_GETSCROLLINFO:
            return GetScrollInfoMessage(hwnd, reinterpret_cast<SCROLLINFO*>(lParam));
        case SBM_ENABLE_ARROWS: {
            ScrollBarRecord* record = RecordOf(hwnd);
            if (!record) return FALSE;
            record->disabledArrows = UINT(wParam) & ESB_DISABLE_BOTH;
            RedrawScrollBar(hwnd);
            return TRUE;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (IsWindowEnabled(hwnd)) ButtonDown(hwnd, lParam);
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(hwnd, lParam);
            return 0;
        case WM_LBUTTONUP:
            ButtonUp(hwnd);
            return 0;
        case WM_CAPTURECHANGED: {
            ScrollBarRecord* record = RecordOf(hwnd);
            if (record && record->held != Part::None && reinterpret_cast<HWND>(lParam) != hwnd) {
                record->held = Part::None;
                record->trackPos = record->pos;
                RedrawScrollBar(hwnd);
            }
            return 0;
        }
        case WM_ENABLE:
            RedrawScrollBar(hwnd);
            return 0;
        case WM_PRINTCLIENT:
            PaintScrollBar(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace w32

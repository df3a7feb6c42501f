// The "ScrollBar" class and the scroll functions on SB_CTL: range, page and
// position kept as Windows keeps them, and the requests a person's clicks
// send to the parent.
#include "win32/user32/control_fixture.h"

namespace tam::test {
namespace {

constexpr WPARAM kLeftButton = 0x0001;  // MK_LBUTTON

class ScrollBar : public ControlTest {
protected:
    // A 200 x 20 horizontal bar (or 20 x 200 vertical): 20-pixel arrows at
    // both ends and a 160-pixel track between them.
    HWND MakeBar(DWORD style = SBS_HORZ) {
        RECT rect = (style & SBS_VERT) ? RECT{10, 10, 30, 210} : RECT{10, 10, 210, 30};
        return Control(u"ScrollBar", style, 11, u"", rect);
    }
    static SCROLLINFO Info(HWND bar) {
        SCROLLINFO info{sizeof(info), SIF_ALL};
        EXPECT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
        return info;
    }
};

TEST_F(ScrollBar, StartsWithAnEmptyRange) {
    HWND bar = MakeBar();
    SCROLLINFO info = Info(bar);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 0);
    EXPECT_EQ(info.nPage, 0u);
    EXPECT_EQ(info.nPos, 0);
    int min = -1, max = -1;
    EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &min, &max));
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 0);
}

// The position stays within min .. max - (page - 1).
struct ClampCase {
    int min, max;
    UINT page;
    int asked, kept;
};
const ClampCase kClamp[] = {
    {0, 100, 0, 50, 50}, {0, 100, 0, 150, 100}, {0, 100, 0, -5, 0},   {0, 100, 10, 100, 91},
    {0, 100, 10, 91, 91}, {10, 20, 1, 5, 10},   {-50, 50, 0, -60, -50}, {0, 100, 101, 30, 0},
};
void PrintTo(const ClampCase& c, std::ostream* out) {
    *out << c.min << ".." << c.max << " page " << c.page << " asked " << c.asked;
}
class ScrollBarClamp : public ScrollBar, public testing::WithParamInterface<ClampCase> {};

TEST_P(ScrollBarClamp, SetScrollInfoKeepsThePositionInRange) {
    const ClampCase& c = GetParam();
    HWND bar = MakeBar();
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, c.min, c.max, c.page, c.asked};
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &info, TRUE), c.kept);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), c.kept);
    SCROLLINFO got = Info(bar);
    EXPECT_EQ(got.nMin, c.min);
    EXPECT_EQ(got.nMax, c.max);
    EXPECT_EQ(got.nPage, c.page);
    EXPECT_EQ(got.nTrackPos, c.kept);
}

TEST_P(ScrollBarClamp, SetScrollPosAnswersThePreviousPosition) {
    const ClampCase& c = GetParam();
    HWND bar = MakeBar();
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, c.min, c.max, c.page};
    SetScrollInfo(bar, SB_CTL, &info, FALSE);
    int start = GetScrollPos(bar, SB_CTL);
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, c.asked, TRUE), start);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), c.kept);
}
INSTANTIATE_TEST_SUITE_P(All, ScrollBarClamp, testing::ValuesIn(kClamp));

TEST_F(ScrollBar, NarrowingTheRangeMovesThePosition) {
    HWND bar = MakeBar();
    EXPECT_TRUE(SetScrollRange(bar, SB_CTL, 0, 100, FALSE));
    SetScrollPos(bar, SB_CTL, 80, FALSE);
    // SBM_SETRANGE answers the old position when the range moved it.
    EXPECT_EQ(SendMessageW(bar, SBM_SETRANGE, 0, 50), 80);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50);
    EXPECT_EQ(SendMessageW(bar, SBM_SETRANGE, 0, 60), 0);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50);
    // Only the fields asked for are written.
    SCROLLINFO info{sizeof(info), SIF_POS, 111, 222, 333, 0, 444};
    EXPECT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
    EXPECT_EQ(info.nPos, 50);
    EXPECT_EQ(info.nMin, 111);
    EXPECT_EQ(info.nMax, 222);
    EXPECT_EQ(info.nPage, 333u);
    EXPECT_EQ(info.nTrackPos, 444);
}

struct FailureCase {
    const char* name;
    int bar;
    UINT cbSize;
    UINT mask;
    bool badHandle;
    DWORD windowStyle;
    DWORD error;
};
const FailureCase kFailures[] = {
    {"badHandle", SB_CTL, sizeof(SCROLLINFO), SIF_ALL, true, 0, ERROR_INVALID_WINDOW_HANDLE},
    {"badSize", SB_CTL, sizeof(SCROLLINFO) + 4, SIF_ALL, false, 0, ERROR_INVALID_PARAMETER},
    {"badMask", SB_CTL, sizeof(SCROLLINFO), 0x100, false, 0, ERROR_INVALID_PARAMETER},
    {"badBar", 7, sizeof(SCROLLINFO), SIF_ALL, false, 0, ERROR_INVALID_PARAMETER},
    {"noOwnBars", SB_VERT, sizeof(SCROLLINFO), SIF_ALL, false, 0, ERROR_NO_SCROLLBARS},
    {"ownBars", SB_HORZ, sizeof(SCROLLINFO), SIF_ALL, false, WS_HSCROLL, ERROR_CALL_NOT_IMPLEMENTED},
};
class ScrollInfoFailure : public ScrollBar, public testing::WithParamInterface<FailureCase> {};

TEST_P(ScrollInfoFailure, FailsWithTheLastError) {
    const FailureCase& c = GetParam();
    HWND target = c.bar == SB_CTL ? MakeBar() : Make(WS_CHILD | WS_VISIBLE | c.windowStyle, parent, 3);
    if (c.badHandle) {
        DestroyWindow(target);
    }
    SCROLLINFO info{c.cbSize, c.mask, 0, 10, 0, 3};
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetScrollInfo(target, c.bar, &info, FALSE), 0);
    EXPECT_EQ(GetLastError(), c.error);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetScrollInfo(target, c.bar, &info));
    EXPECT_EQ(GetLastError(), c.error);
}
INSTANTIATE_TEST_SUITE_P(All, ScrollInfoFailure, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScrollBar, TooWideARangeIsRefused) {
    HWND bar = MakeBar();
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetScrollRange(bar, SB_CTL, -10, 0x7FFFFFFF, FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_SCROLLBAR_RANGE));
}

// --- A person's clicks ---------------------------------------------------------

// Range 0..100 with a page of 10 at position 50: the thumb sits in the
// middle of the track, so both sides of it can be clicked.
struct ClickCase {
    DWORD style;
    int along;  // the click's distance from the bar's start
    int request;
};
const ClickCase kClicks[] = {
    {SBS_HORZ, 5, SB_LINELEFT},    {SBS_HORZ, 195, SB_LINERIGHT}, {SBS_HORZ, 30, SB_PAGELEFT},
    {SBS_HORZ, 170, SB_PAGERIGHT}, {SBS_VERT, 5, SB_LINEUP},      {SBS_VERT, 195, SB_LINEDOWN},
    {SBS_VERT, 30, SB_PAGEUP},     {SBS_VERT, 170, SB_PAGEDOWN},
};
void PrintTo(const ClickCase& c, std::ostream* out) {
    *out << ((c.style & SBS_VERT) ? "vertical at " : "horizontal at ") << c.along;
}
class ScrollBarClick : public ScrollBar, public testing::WithParamInterface<ClickCase> {};

TEST_P(ScrollBarClick, SendsTheRequestThenEndScroll) {
    const ClickCase& c = GetParam();
    HWND bar = MakeBar(c.style);
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 50};
    SetScrollInfo(bar, SB_CTL, &info, FALSE);
    LPARAM point = (c.style & SBS_VERT) ? MAKELPARAM(10, c.along) : MAKELPARAM(c.along, 10);
    UINT message = (c.style & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    ClearLog();
    SendMessageW(bar, WM_LBUTTONDOWN, kLeftButton, point);
    EXPECT_EQ(GetCapture(), bar);
    SendMessageW(bar, WM_LBUTTONUP, 0, point);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Heard(), (std::vector<Notification>{{message, 0, c.request, bar}, {message, 0, SB_ENDSCROLL, bar}}));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50);  // the parent moves the bar, not the bar itself
}
INSTANTIATE_TEST_SUITE_P(All, ScrollBarClick, testing::ValuesIn(kClicks));

TEST_F(ScrollBar, DisabledArrowIgnoresTheMouse) {
    HWND bar = MakeBar();
    SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
    EXPECT_TRUE(SendMessageW(bar, SBM_ENABLE_ARROWS, ESB_DISABLE_LEFT, 0));
    ClearLog();
    SendMessageW(bar, WM_LBUTTONDOWN, kLeftButton, MAKELPARAM(5, 10));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, 10));
    SendMessageW(bar, WM_LBUTTONDOWN, kLeftButton, MAKELPARAM(195, 10));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(195, 10));
    EXPECT_EQ(Heard(), (std::vector<Notification>{{WM_HSCROLL, 0, SB_LINERIGHT, bar}, {WM_HSCROLL, 0, SB_ENDSCROLL, bar}}));
}

// Dragging the thumb reports each new position; the bar keeps its own
// position until the parent sets it, while the tracking position follows.
TEST_F(ScrollBar, DraggingTheThumbTracksAndEndsWithItsPosition) {
    HWND bar = MakeBar();
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0};
    SetScrollInfo(bar, SB_CTL, &info, FALSE);
    ClearLog();
    SendMessageW(bar, WM_LBUTTONDOWN, kLeftButton, MAKELPARAM(22, 10));  // on the thumb, at the track's start
    SendMessageW(bar, WM_MOUSEMOVE, kLeftButton, MAKELPARAM(300, 10));  // past the end
    EXPECT_EQ(Info(bar).nTrackPos, 91);
    EXPECT_EQ(Info(bar).nPos, 0);
    SendMessageW(bar, WM_MOUSEMOVE, kLeftButton, MAKELPARAM(250, 10));  // still past it: nothing new
    SendMessageW(bar, WM_MOUSEMOVE, kLeftButton, MAKELPARAM(0, 10));
    SendMessageW(bar, WM_MOUSEMOVE, kLeftButton, MAKELPARAM(400, 10));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(400, 10));
    EXPECT_EQ(Heard(), (std::vector<Notification>{{WM_HSCROLL, 91, SB_THUMBTRACK, bar},
                                                  {WM_HSCROLL, 0, SB_THUMBTRACK, bar},
                                                  {WM_HSCROLL, 91, SB_THUMBTRACK, bar},
                                                  {WM_HSCROLL, 91, SB_THUMBPOSITION, bar},
                                                  {WM_HSCROLL, 0, SB_ENDSCROLL, bar}}));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    EXPECT_EQ(Info(bar).nTrackPos, 0);
}

// Half-way along the thumb's room is half-way through the positions.
TEST_F(ScrollBar, ThumbPositionFollowsThePointerProportionally) {
    HWND bar = MakeBar();
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_POS, 0, 1000, 0, 0};
    SetScrollInfo(bar, SB_CTL, &info, FALSE);
    // A square thumb of 20 pixels leaves 140 pixels of room for 1000 positions.
    SendMessageW(bar, WM_LBUTTONDOWN, kLeftButton, MAKELPARAM(20, 10));
    SendMessageW(bar, WM_MOUSEMOVE, kLeftButton, MAKELPARAM(20 + 70, 10));
    EXPECT_EQ(Info(bar).nTrackPos, 500);
    SendMessageW(bar, WM_MOUSEMOVE, kLeftButton, MAKELPARAM(20 + 14, 10));
    EXPECT_EQ(Info(bar).nTrackPos, 100);
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(20 + 14, 10));
}

}  // namespace
}  // namespace tam::test

// Update regions and WM_PAINT: what invalidating, showing and placing
// windows leaves to paint, when the queue gives WM_PAINT, and what
// BeginPaint and UpdateWindow send.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

class Painting : public WindowTest {
protected:
    // A shown top-level window with nothing left to paint.
    HWND MakePainted(DWORD style = WS_POPUP | WS_VISIBLE, RECT rect = RECT{10, 20, 210, 120}) {
        HWND hwnd = Make(style, nullptr, 0, u"", 0, rect);
        EXPECT_TRUE(hwnd);
        UpdateWindow(hwnd);
        ClearLog();
        return hwnd;
    }

    static RECT UpdateRect(HWND hwnd) {
        RECT r{-1, -1, -1, -1};
        GetUpdateRect(hwnd, &r, FALSE);
        return r;
    }

    // Takes every message the queue gives without waiting, dispatching it;
    // the messages taken, as names.
    static std::vector<std::string> Drain(int most = 20) {
        std::vector<std::string> taken;
        MSG m;
        while (most-- > 0 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(MessageName(m.message));
            DispatchMessageW(&m);
        }
        return taken;
    }
};

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST_F(Painting, ShownWindowIsInvalidWholeAndUpdateWindowPaintsItAtOnce) {
    HWND hwnd = Make(WS_POPUP);
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));  // hidden: nothing to paint
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_EQ(Text(UpdateRect(hwnd)), Text(RECT{0, 0, 200, 100}));
    ClearLog();
    EXPECT_TRUE(UpdateWindow(hwnd));
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<std::string>{"WM_NCPAINT", "WM_ERASEBKGND", "WM_PAINT"}));
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
    ClearLog();
    EXPECT_TRUE(UpdateWindow(hwnd));  // nothing left: nothing sent
    EXPECT_TRUE(Logged().empty());
    EXPECT_TRUE(Drain().empty());
}

TEST_F(Painting, PaintComesAfterPostedMessagesAndBeforeTimers) {
    HWND hwnd = MakePainted();
    ASSERT_TRUE(SetTimer(hwnd, 7, USER_TIMER_MINIMUM, nullptr));
    machine().TheClock().Advance(100);
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageW(hwnd, WM_USER, 0, 0);
    std::vector<std::string> taken = Drain(3);
    KillTimer(hwnd, 7);
    EXPECT_EQ(taken, (std::vector<std::string>{"WM_USER", "WM_PAINT", "WM_TIMER"}));
}

TEST_F(Painting, PaintStaysUntilTheWindowIsValidated) {
    HWND hwnd = MakePainted();
    TheHook() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_PAINT) return 0;  // paints nothing, validates nothing
        return std::nullopt;
    };
    InvalidateRect(hwnd, nullptr, FALSE);
    MSG m;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(m.message, UINT(WM_PAINT));
        EXPECT_EQ(m.hwnd, hwnd);
        DispatchMessageW(&m);
    }
    EXPECT_TRUE(ValidateRect(hwnd, nullptr));
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    // A filter the paint does not pass leaves it.
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_TRUE(PeekMessageW(&m, hwnd, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(Painting, BeginPaintErasesAndValidates) {
    HWND hwnd = MakePainted();
    RECT paintRect{}, updateAtErase{};
    BOOL erase = -1;
    TheHook() = [&](HWND w, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_ERASEBKGND) {
            GetUpdateRect(w, &updateAtErase, FALSE);
            return 0;  // leaves the background to WM_PAINT
        }
        if (message != WM_PAINT) return std::nullopt;
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(w, &ps);
        EXPECT_TRUE(hdc);
        EXPECT_EQ(WindowFromDC(hdc), w);
        paintRect = ps.rcPaint;
        erase = ps.fErase;
        EndPaint(w, &ps);
        return 0;
    };
    const RECT a{10, 10, 20, 20}, b{50, 30, 60, 40};
    InvalidateRect(hwnd, &a, TRUE);
    InvalidateRect(hwnd, &b, FALSE);
    EXPECT_EQ(Drain(), (std::vector<std::string>{"WM_PAINT"}));
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<std::string>{"WM_PAINT", "WM_ERASEBKGND"}));
    EXPECT_EQ(Text(paintRect), Text(RECT{10, 10, 60, 40}));
    EXPECT_TRUE(erase);
    EXPECT_EQ(Text(updateAtErase), Text(RECT{0, 0, 0, 0}));  // validated before the erase
    // Without bErase there is no WM_ERASEBKGND and nothing to erase.
    ClearLog();
    InvalidateRect(hwnd, &a, FALSE);
    Drain();
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<std::string>{"WM_PAINT"}));
    EXPECT_FALSE(erase);
    EXPECT_EQ(Text(paintRect), Text(a));
}

TEST_F(Painting, DefaultEraseFillsWithTheClassBrush) {
    HWND hwnd = MakePainted();
    SetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND, LONG_PTR(COLOR_HIGHLIGHT + 1));
    InvalidateRect(hwnd, nullptr, TRUE);
    BOOL erase = -1;
    TheHook() = [&](HWND w, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_PAINT) return std::nullopt;
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        erase = ps.fErase;
        EndPaint(w, &ps);
        return 0;
    };
    Drain();
    EXPECT_FALSE(erase);
    HDC hdc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(hdc, 0, 0), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetPixel(hdc, 199, 99), GetSysColor(COLOR_HIGHLIGHT));
    ReleaseDC(hwnd, hdc);
}

struct ChildCase {
    const char* name;
    DWORD parentStyle;
    UINT flags;  // RedrawWindow flags; 0: InvalidateRect
    bool childInvalid;
    bool parentCoversChild;  // the parent's region reaches under the child
};
void PrintTo(const ChildCase& c, std::ostream* os) { *os << c.name; }

const ChildCase kChildCases[] = {
    {"NoClipChildren", 0, 0, true, true},
    {"ClipChildren", WS_CLIPCHILDREN, 0, false, false},
    {"ClipChildrenAllChildren", WS_CLIPCHILDREN, RDW_INVALIDATE | RDW_ALLCHILDREN, true, false},
    {"NoChildren", 0, RDW_INVALIDATE | RDW_NOCHILDREN, false, true},
};

class ParentInvalidation : public Painting, public testing::WithParamInterface<ChildCase> {};

TEST_P(ParentInvalidation, ReachesTheChildrenAsItsStyleSays) {
    const ChildCase& c = GetParam();
    HWND parent = MakePainted(WS_POPUP | WS_VISIBLE | c.parentStyle);
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, 1, u"", 0, RECT{20, 10, 60, 30});
    HWND away = Make(WS_CHILD | WS_VISIBLE, parent, 2, u"", 0, RECT{150, 60, 190, 90});
    UpdateWindow(parent);
    ASSERT_FALSE(GetUpdateRect(child, nullptr, FALSE));
    const RECT area{0, 0, 100, 50};
    if (c.flags)
        RedrawWindow(parent, &area, nullptr, c.flags);
    else
        InvalidateRect(parent, &area, TRUE);
    EXPECT_EQ(GetUpdateRect(child, nullptr, FALSE) != 0, c.childInvalid);
    if (c.childInvalid) EXPECT_EQ(Text(UpdateRect(child)), Text(RECT{0, 0, 40, 20}));
    EXPECT_FALSE(GetUpdateRect(away, nullptr, FALSE));  // outside the area
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetUpdateRgn(parent, region, FALSE), ERROR);
    EXPECT_TRUE(PtInRegion(region, 5, 5));
    EXPECT_EQ(PtInRegion(region, 30, 15) != 0, c.parentCoversChild);
    DeleteObject(region);
    // The parent is painted before its child.
    if (c.childInvalid) {
        ClearLog();
        Drain();
        std::vector<std::string> paints;
        for (const auto& m : Sequence({{parent, "parent"}, {child, "child"}}))
            if (m.ends_with(":WM_PAINT")) paints.push_back(m);
        EXPECT_EQ(paints, (std::vector<std::string>{"parent:WM_PAINT", "child:WM_PAINT"}));
    }
}

INSTANTIATE_TEST_SUITE_P(All, ParentInvalidation, testing::ValuesIn(kChildCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Painting, HiddenWindowsHaveNothingToPaint) {
    HWND parent = MakePainted();
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, 1, u"", 0, RECT{0, 0, 50, 50});
    InvalidateRect(parent, nullptr, TRUE);
    ShowWindow(parent, SW_HIDE);
    EXPECT_FALSE(GetUpdateRect(parent, nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
    EXPECT_TRUE(InvalidateRect(child, nullptr, TRUE));
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
    EXPECT_TRUE(Drain().empty());
    ShowWindow(parent, SW_SHOWNA);
    EXPECT_EQ(Text(UpdateRect(child)), Text(RECT{0, 0, 50, 50}));
}

TEST_F(Painting, PlacingWindowsInvalidatesWhatChanged) {
    HWND parent = MakePainted();
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, 1, u"", 0, RECT{0, 0, 50, 50});
    UpdateWindow(parent);
    // Growing without CS_HREDRAW/CS_VREDRAW paints what was gained.
    SetWindowPos(parent, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(parent, region, FALSE);
    EXPECT_FALSE(PtInRegion(region, 100, 50));
    EXPECT_TRUE(PtInRegion(region, 250, 50));
    UpdateWindow(parent);
    // SWP_NOREDRAW leaves everything as it was.
    SetWindowPos(parent, nullptr, 0, 0, 400, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    EXPECT_FALSE(GetUpdateRect(parent, nullptr, FALSE));
    // A child moved paints again whole and uncovers its old place in the parent.
    SetWindowPos(child, nullptr, 100, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Text(UpdateRect(child)), Text(RECT{0, 0, 50, 50}));
    GetUpdateRgn(parent, region, FALSE);
    EXPECT_TRUE(PtInRegion(region, 10, 10));
    DeleteObject(region);
}

TEST_F(Painting, DestroyedWindowIsNoLongerPainted) {
    HWND hwnd = MakePainted();
    InvalidateRect(hwnd, nullptr, TRUE);
    DestroyWindow(hwnd);
    EXPECT_TRUE(Drain().empty());
    SetLastError(0);
    EXPECT_FALSE(InvalidateRect(hwnd, nullptr, TRUE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    PAINTSTRUCT ps;
    EXPECT_EQ(BeginPaint(hwnd, &ps), nullptr);
}

TEST_F(Painting, InvalidatingFromAnotherThreadWakesTheOwner) {
    HWND hwnd = MakePainted();
    HANDLE thread = StartThread([&]() -> DWORD { return InvalidateRect(hwnd, nullptr, FALSE); });
    MSG m;
    ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(m.message, UINT(WM_PAINT));
    DispatchMessageW(&m);
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
}

}  // namespace
}  // namespace tam::test

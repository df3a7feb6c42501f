// Timers on the machine's virtual clock: WM_TIMER when due, no backlog,
// replacing and killing, timer procedures, and their place after posted
// messages.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

class Timers : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        hwnd = Make(WS_POPUP);
        ASSERT_NE(hwnd, nullptr);
        ClearLog();
        start = GetTickCount();
    }
    // The next WM_TIMER GetMessageW gives: (timer id, milliseconds since the start).
    std::pair<UINT_PTR, DWORD> NextTimer() {
        MSG m;
        for (;;) {
            if (GetMessageW(&m, nullptr, 0, 0) <= 0) return {0, 0};
            if (m.message == WM_TIMER) return {m.wParam, DWORD(GetTickCount() - start)};
        }
    }
    HWND hwnd = nullptr;
    DWORD start = 0;
};

// Two timers of 300 and 1000 ms give their WM_TIMERs at their times, the
// thread's waits costing no real time.
TEST_F(Timers, FireAtTheirIntervalsOnTheVirtualClock) {
    EXPECT_EQ(SetTimer(hwnd, 1, 1000, nullptr), 1u);
    EXPECT_EQ(SetTimer(hwnd, 2, 300, nullptr), 2u);
    std::vector<std::pair<UINT_PTR, DWORD>> fired;
    for (int i = 0; i < 6; ++i) fired.push_back(NextTimer());
    EXPECT_EQ(fired, (std::vector<std::pair<UINT_PTR, DWORD>>{
                         {2, 300}, {2, 600}, {2, 900}, {1, 1000}, {2, 1200}, {2, 1500}}));
}

// A late thread gets one WM_TIMER per timer, not one per interval missed.
TEST_F(Timers, NoBacklogAfterALongPause) {
    ASSERT_TRUE(SetTimer(hwnd, 5, 100, nullptr));
    machine().TheClock().Advance(1000);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    EXPECT_EQ(m.hwnd, hwnd);
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(NextTimer(), (std::pair<UINT_PTR, DWORD>{5, 1100}));
}

TEST_F(Timers, ResetReplacesAndKillStops) {
    ASSERT_TRUE(SetTimer(hwnd, 1, 1000, nullptr));
    machine().TheClock().Advance(600);
    ASSERT_TRUE(SetTimer(hwnd, 1, 1000, nullptr));  // counts again from now
    EXPECT_EQ(NextTimer(), (std::pair<UINT_PTR, DWORD>{1, 1600}));
    EXPECT_TRUE(KillTimer(hwnd, 1));
    EXPECT_FALSE(KillTimer(hwnd, 1));
    machine().TheClock().Advance(5000);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

// A WM_TIMER waits behind posted messages, and PM_NOREMOVE leaves it due.
TEST_F(Timers, PostedMessagesComeFirst) {
    ASSERT_TRUE(SetTimer(hwnd, 1, 100, nullptr));
    machine().TheClock().Advance(100);
    ASSERT_TRUE(PostMessageW(hwnd, WM_USER, 0, 0));
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER));
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
}

std::vector<std::pair<HWND, UINT_PTR>>* gProcCalls = nullptr;
VOID CALLBACK RecordTimer(HWND hwnd, UINT message, UINT_PTR id, DWORD) {
    if (message == WM_TIMER) gProcCalls->emplace_back(hwnd, id);
}

// A timer with a procedure (and one with no window) is dispatched to the
// procedure, not to a window.
TEST_F(Timers, TimerProcedureIsCalledByDispatch) {
    std::vector<std::pair<HWND, UINT_PTR>> calls;
    gProcCalls = &calls;
    UINT_PTR threadTimer = SetTimer(nullptr, 0, 200, RecordTimer);
    ASSERT_NE(threadTimer, 0u);
    ASSERT_TRUE(SetTimer(hwnd, 9, 300, RecordTimer));
    for (int i = 0; i < 2; ++i) {
        MSG m;
        ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
        ASSERT_EQ(m.message, UINT(WM_TIMER));
        EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(RecordTimer));
        DispatchMessageW(&m);
    }
    EXPECT_EQ(calls, (std::vector<std::pair<HWND, UINT_PTR>>{{nullptr, threadTimer}, {hwnd, 9}}));
    EXPECT_TRUE(MessagesOf(hwnd).empty());
    // A forged WM_TIMER naming a procedure no timer has calls nothing.
    MSG forged{hwnd, WM_TIMER, 9, reinterpret_cast<LPARAM>(&RecordTimer) + 1, 0, {0, 0}, 0};
    DispatchMessageW(&forged);
    EXPECT_EQ(calls.size(), 2u);
    gProcCalls = nullptr;
}

TEST_F(Timers, DestroyingTheWindowKillsItsTimers) {
    ASSERT_TRUE(SetTimer(hwnd, 1, 100, nullptr));
    ASSERT_TRUE(DestroyWindow(hwnd));
    machine().TheClock().Advance(1000);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(KillTimer(hwnd, 1));
}

}  // namespace
}  // namespace tam::test

// Posted messages: their order, GetMessageW's and PeekMessageW's filters,
// WM_QUIT, the queue's limit, TranslateMessage and DispatchMessageW.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

class PostedMessages : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        w1 = Make(WS_POPUP);
        w2 = Make(WS_POPUP);
        ASSERT_TRUE(w1 && w2);
        ClearLog();
    }
    // Posts, in this order: w1 WM_USER+1, w2 WM_USER+2, the thread WM_APP, w1 WM_USER+3.
    void PostFour() {
        ASSERT_TRUE(PostMessageW(w1, WM_USER + 1, 1, 0));
        ASSERT_TRUE(PostMessageW(w2, WM_USER + 2, 2, 0));
        ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 3, 0));
        ASSERT_TRUE(PostMessageW(w1, WM_USER + 3, 4, 0));
    }
    HWND w1 = nullptr, w2 = nullptr;
};

TEST_F(PostedMessages, ComeOutInTheOrderPosted) {
    PostFour();
    std::vector<WPARAM> order;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) order.push_back(m.wParam);
    EXPECT_EQ(order, (std::vector<WPARAM>{1, 2, 3, 4}));
    EXPECT_TRUE(Logged().empty());  // taking a posted message calls no procedure
}

struct FilterCase {
    const char* name;
    int window;  // 0: NULL, 1: w1, 2: w2, -1: thread messages only
    UINT first, last;
    WPARAM taken;  // wParam of the message taken, 0 for none
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

const FilterCase kFilters[] = {
    {"Anything", 0, 0, 0, 1},
    {"SecondWindow", 2, 0, 0, 2},
    {"ThreadOnly", -1, 0, 0, 3},
    {"Range", 0, WM_USER + 2, WM_USER + 3, 2},
    {"WindowAndRange", 1, WM_USER + 2, WM_USER + 3, 4},
    {"AppRange", 0, WM_APP, WM_APP + 0x100, 3},
    {"NothingPasses", 2, WM_USER + 3, WM_USER + 9, 0},
};

class PostedFilter : public PostedMessages, public testing::WithParamInterface<FilterCase> {};

TEST_P(PostedFilter, TakesTheFirstMessageThatPasses) {
    PostFour();
    const FilterCase& c = GetParam();
    HWND filter = c.window == 1 ? w1 : c.window == 2 ? w2 : c.window == -1 ? reinterpret_cast<HWND>(-1) : nullptr;
    MSG m{};
    BOOL got = PeekMessageW(&m, filter, c.first, c.last, PM_REMOVE);
    EXPECT_EQ(got != FALSE, c.taken != 0);
    if (c.taken) EXPECT_EQ(m.wParam, c.taken);
    // The others are still there, in order.
    int left = 0;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        EXPECT_NE(m.wParam, c.taken);
        ++left;
    }
    EXPECT_EQ(left, c.taken ? 3 : 4);
}

INSTANTIATE_TEST_SUITE_P(All, PostedFilter, testing::ValuesIn(kFilters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PostedMessages, PeekWithoutRemovingLeavesTheMessage) {
    PostFour();
    MSG peeked, got;
    ASSERT_TRUE(PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_EQ(GetMessageW(&got, nullptr, 0, 0), TRUE);
    EXPECT_EQ(peeked.message, got.message);
    EXPECT_EQ(got.hwnd, w1);
    EXPECT_EQ(got.time, DWORD(GetTickCount()));
}

// WM_QUIT comes after the posted messages, passes every filter, and makes
// GetMessageW answer 0.
TEST_F(PostedMessages, QuitComesLastAndPassesEveryFilter) {
    PostQuitMessage(7);
    ASSERT_TRUE(PostMessageW(w1, WM_USER + 1, 1, 0));
    MSG m;
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, UINT(WM_USER + 1));
    ASSERT_TRUE(PeekMessageW(&m, w2, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(GetMessageW(&m, w2, WM_USER, WM_USER), FALSE);
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));  // taken once
}

// A message posted from another thread wakes a thread waiting in GetMessageW.
TEST_F(PostedMessages, AnotherThreadsPostWakesGetMessage) {
    HANDLE thread = StartThread([&] {
        Sleep(50);
        return PostMessageW(w1, WM_USER + 5, 5, 0) ? 0 : 1;
    });
    ASSERT_NE(thread, nullptr);
    MSG m;
    ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, UINT(WM_USER + 5));
    EXPECT_EQ(m.hwnd, w1);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(thread);
}

TEST_F(PostedMessages, RefusedPosts) {
    COPYDATASTRUCT data{1, 0, nullptr};
    SetLastError(0);
    EXPECT_FALSE(PostMessageW(w1, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));  // points into the sender
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MESSAGE_SYNC_ONLY));
    SetLastError(0);
    EXPECT_FALSE(PostMessageW(w1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"x")));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MESSAGE_SYNC_ONLY));
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_THREAD_ID));
}

TEST_F(PostedMessages, QueueHoldsTenThousandMessages) {
    for (int i = 0; i < 10000; ++i) ASSERT_TRUE(PostMessageW(w1, WM_USER, i, 0)) << i;
    SetLastError(0);
    EXPECT_FALSE(PostMessageW(w1, WM_USER, 10000, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_QUOTA));
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PostMessageW(w1, WM_USER, 10000, 0));  // room again
}

// Destroying a window drops what was posted to it.
TEST_F(PostedMessages, DestroyedWindowsMessagesAreDropped) {
    PostFour();
    ASSERT_TRUE(DestroyWindow(w1));
    std::vector<WPARAM> order;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) order.push_back(m.wParam);
    EXPECT_EQ(order, (std::vector<WPARAM>{2, 3}));
}

TEST_F(PostedMessages, DispatchCallsTheWindowsProcedure) {
    TheHook() = [](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER + 1) return LRESULT(wParam * 10);
        return std::nullopt;
    };
    PostFour();
    MSG m;
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(DispatchMessageW(&m), 10);
    EXPECT_EQ(MessagesOf(w1), (std::vector<std::string>{"message 1025"}));
    ASSERT_TRUE(GetMessageW(&m, nullptr, WM_APP, WM_APP));
    EXPECT_EQ(DispatchMessageW(&m), 0);  // a thread message has no procedure
}

// TranslateMessage types the key's character, which comes next.
TEST_F(PostedMessages, TranslatedKeyBringsItsCharacterNext) {
    ASSERT_TRUE(PostMessageW(w1, WM_KEYDOWN, 'A', 0x001E0001));
    ASSERT_TRUE(PostMessageW(w1, WM_USER, 0, 0));
    MSG m;
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_TRUE(TranslateMessage(&m));
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_CHAR));
    EXPECT_EQ(m.wParam, WPARAM(u'a'));
    EXPECT_EQ(m.lParam, 0x001E0001);
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_USER));
    EXPECT_FALSE(TranslateMessage(&m));
    MSG shift{w1, WM_KEYDOWN, VK_SHIFT, 0, 0, {0, 0}, 0};
    EXPECT_TRUE(TranslateMessage(&shift));  // a key message, though no character
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
}  // namespace tam::test

namespace tam::test {
namespace {

// The program's window belongs to the main thread from the start: a worker
// can post to it before the main thread has asked for any message.
using ProgramWindowMessages = MachineTest;

TEST_F(ProgramWindowMessages, PostsFromAWorkerReachTheMainThread) {
    HWND program = nullptr;
    HANDLE thread = StartThread([&] {
        program = GetForegroundWindow();
        return PostMessageW(program, WM_USER + 9, 9, 0) ? 0 : GetLastError();
    });
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, 0u);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, program);
    EXPECT_EQ(m.hwnd, GetActiveWindow());
    EXPECT_EQ(m.message, UINT(WM_USER + 9));
}

}  // namespace
}  // namespace tam::test

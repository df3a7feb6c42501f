// SendMessageW: on the window's own thread directly and re-entrantly, across
// threads through the owner's message processing, WM_COPYDATA's copy, and
// registered messages.
#include <atomic>
#include <cstring>

#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

using SendMessages = WindowTest;

// Each level sends the next to the same window; the results add up on the way back.
TEST_F(SendMessages, ReentrantSendsNest) {
    HWND hwnd = Make(WS_POPUP);
    int deepest = 0;
    TheHook() = [&](HWND h, UINT message, WPARAM level, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER) return std::nullopt;
        deepest = std::max(deepest, int(level));
        if (level == 200) return 1;
        return 1 + SendMessageW(h, WM_USER, level + 1, 0);
    };
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 1, 0), 200);
    EXPECT_EQ(deepest, 200);
}

// A nested send destroys the window; the outer levels still return their
// results and later sends fail.
TEST_F(SendMessages, WindowDestroyedDeepInsideNestedSends) {
    HWND hwnd = Make(WS_POPUP);
    TheHook() = [&](HWND h, UINT message, WPARAM level, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER) return std::nullopt;
        if (level == 3) {
            DestroyWindow(h);
            return 100;
        }
        LRESULT inner = SendMessageW(h, WM_USER, level + 1, 0);
        EXPECT_FALSE(IsWindow(h));
        return inner + 1;
    };
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 1, 0), 102);
    EXPECT_FALSE(IsWindow(hwnd));
}

// A worker thread owns a window and runs a message loop; the main thread's
// sends run on the worker, and the worker's sends back to the main thread's
// window run while the main thread waits for its own reply.
class CrossThread : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        worker = StartThread(
            [this] {
                workerId = GetCurrentThreadId();
                remote = Make(WS_POPUP);
                SetEvent(ready);
                MSG m;
                while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
                return DWORD(m.wParam);
            },
            0, nullptr);
        ASSERT_NE(worker, nullptr);
        ASSERT_EQ(WaitForSingleObject(ready, INFINITE), WAIT_OBJECT_0);
        ASSERT_NE(remote, nullptr);
    }
    void TearDown() override {
        if (worker) {
            PostThreadMessageW(workerId, WM_QUIT, 0, 0);
            PostMessageW(remote, WM_CLOSE, 0, 0);
            WaitForSingleObject(worker, INFINITE);
            CloseHandle(worker);
        }
        if (ready) CloseHandle(ready);
        WindowTest::TearDown();
    }
    HANDLE ready = nullptr;
    HANDLE worker = nullptr;
    std::atomic<DWORD> workerId{0};
    HWND remote = nullptr;
};

TEST_F(CrossThread, SendRunsOnTheOwnersThread) {
    DWORD ranOn = 0;
    BOOL inSend = FALSE;
    TheHook() = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER) return std::nullopt;
        ranOn = GetCurrentThreadId();
        inSend = InSendMessage();
        return LRESULT(wParam * 2);
    };
    EXPECT_EQ(SendMessageW(remote, WM_USER, 21, 0), 42);
    EXPECT_EQ(ranOn, workerId.load());
    EXPECT_TRUE(inSend);
    EXPECT_FALSE(InSendMessage());
}

TEST_F(CrossThread, SendsBackToTheWaitingSenderDoNotLockUp) {
    HWND local = Make(WS_POPUP);
    TheHook() = [&](HWND h, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER) return std::nullopt;
        if (h == remote) return 1 + SendMessageW(local, WM_USER, wParam, 0);  // back to the main thread
        EXPECT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(local, nullptr));
        return LRESULT(wParam);
    };
    EXPECT_EQ(SendMessageW(remote, WM_USER, 40, 0), 41);
}

TEST_F(CrossThread, CopyDataArrivesAsACopy) {
    char payload[] = "settings";
    COPYDATASTRUCT data{0x55, sizeof(payload), payload};
    const void* seenData = nullptr;
    std::string seenText;
    ULONG_PTR seenTag = 0;
    TheHook() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_COPYDATA) return std::nullopt;
        auto copy = reinterpret_cast<COPYDATASTRUCT*>(lParam);
        seenData = copy->lpData;
        seenTag = copy->dwData;
        seenText.assign(static_cast<const char*>(copy->lpData), copy->cbData - 1);
        std::memset(copy->lpData, 'x', copy->cbData);  // scribbles only on the copy
        return TRUE;
    };
    EXPECT_EQ(SendMessageW(remote, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
    EXPECT_EQ(seenText, "settings");
    EXPECT_EQ(seenTag, 0x55u);
    EXPECT_NE(seenData, static_cast<const void*>(payload));
    EXPECT_STREQ(payload, "settings");
}

// A posted WM_CLOSE is dispatched on the worker: DefWindowProcW destroys the
// window there, and sends to it fail from then on.
TEST_F(CrossThread, PostedCloseDestroysOnTheOwnersThread) {
    DWORD destroyedOn = 0;
    TheHook() = [&](HWND h, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY && h == remote) {
            destroyedOn = GetCurrentThreadId();
            PostQuitMessage(3);
        }
        return std::nullopt;
    };
    ASSERT_TRUE(PostMessageW(remote, WM_CLOSE, 0, 0));
    ASSERT_EQ(WaitForSingleObject(worker, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(worker, &code);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(destroyedOn, workerId.load());
    SetLastError(0);
    EXPECT_EQ(SendMessageW(remote, WM_USER, 1, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

// GetWindowTextW on another thread's window reads the text it keeps.
TEST_F(CrossThread, TextOfAnotherThreadsWindowIsReadWithoutAMessage) {
    ASSERT_TRUE(SetWindowTextW(remote, u"Remote"));  // WM_SETTEXT runs on the worker
    ClearLog();
    WCHAR text[16];
    EXPECT_EQ(GetWindowTextW(remote, text, 16), 6);
    EXPECT_EQ(std::u16string(text), u"Remote");
    EXPECT_EQ(GetWindowTextLengthW(remote), 6);
    EXPECT_TRUE(Logged().empty());
}

TEST_F(SendMessages, RegisteredMessagesShareOneNumberPerName) {
    UINT first = RegisterWindowMessageW(u"KorvanRefresh");
    EXPECT_GE(first, 0xC000u);
    EXPECT_LE(first, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessageW(u"korvanrefresh"), first);
    EXPECT_NE(RegisterWindowMessageW(u"KorvanOther"), first);
    SetLastError(0);
    EXPECT_EQ(RegisterWindowMessageW(u""), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace tam::test

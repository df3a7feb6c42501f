// The thread's caret: made hidden, shown and hidden by count, owned by one
// window of the thread.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

class Caret : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        a = Make(WS_POPUP | WS_VISIBLE);
        b = Make(WS_POPUP | WS_VISIBLE);
        ASSERT_TRUE(a && b);
    }
    HWND a = nullptr, b = nullptr;
};

TEST_F(Caret, PositionBelongsToTheCaretOfTheThread) {
    POINT point{};
    SetLastError(0);
    EXPECT_FALSE(SetCaretPos(1, 2));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(CreateCaret(a, nullptr, 2, 14));
    EXPECT_TRUE(SetCaretPos(7, 9));
    ASSERT_TRUE(GetCaretPos(&point));
    EXPECT_EQ(point.x, 7);
    EXPECT_EQ(point.y, 9);
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(DestroyCaret());
    EXPECT_FALSE(GetCaretPos(&point));
}

TEST_F(Caret, ShowAndHideNameTheOwnerOrNull) {
    ASSERT_TRUE(CreateCaret(a, nullptr, 1, 10));
    EXPECT_TRUE(ShowCaret(a));
    EXPECT_TRUE(HideCaret(nullptr));
    SetLastError(0);
    EXPECT_FALSE(ShowCaret(b));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    // A second caret replaces the first.
    ASSERT_TRUE(CreateCaret(b, nullptr, 1, 10));
    EXPECT_FALSE(ShowCaret(a));
    EXPECT_TRUE(ShowCaret(b));
}

TEST_F(Caret, GoesWithItsWindow) {
    ASSERT_TRUE(CreateCaret(a, nullptr, 1, 10));
    DestroyWindow(a);
    POINT point{};
    EXPECT_FALSE(GetCaretPos(&point));
    EXPECT_FALSE(DestroyCaret());
}

TEST_F(Caret, RefusesAWindowOfAnotherThreadAndABadHandle) {
    DWORD error = 0;
    BOOL made = TRUE;
    HANDLE thread = StartThread([&] {
        made = CreateCaret(a, nullptr, 1, 10);
        error = GetLastError();
        return DWORD(0);
    });
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_FALSE(made);
    EXPECT_EQ(error, DWORD(ERROR_ACCESS_DENIED));
    SetLastError(0);
    EXPECT_FALSE(CreateCaret(reinterpret_cast<HWND>(0x4321), nullptr, 1, 10));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
}  // namespace tam::test

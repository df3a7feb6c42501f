// The "Static" class: hit-testing and notifications with and without
// SS_NOTIFY, images, owner drawing, as Windows' statics behave.
#include "win32/user32/control_fixture.h"

namespace tam::test {
namespace {

class Static : public ControlTest {
protected:
    HWND MakeStatic(DWORD style, RECT rect = RECT{10, 10, 110, 40}) {
        return Control(u"Static", style, 9, u"Text", rect);
    }
    static SIZE ClientSize(HWND hwnd) {
        RECT client{};
        GetClientRect(hwnd, &client);
        return SIZE{client.right, client.bottom};
    }
};

// Without SS_NOTIFY a static is transparent to the mouse and tells nothing;
// with it, it takes clicks and reports them and its enabling.
class StaticNotify : public Static, public testing::WithParamInterface<bool> {};

TEST_P(StaticNotify, HitTestAndNotifications) {
    bool notify = GetParam();
    HWND control = MakeStatic(SS_LEFT | (notify ? SS_NOTIFY : 0));
    ASSERT_TRUE(control);
    EXPECT_EQ(SendMessageW(control, WM_NCHITTEST, 0, MAKELPARAM(20, 20)), notify ? HTCLIENT : HTTRANSPARENT);
    ClearLog();
    SendMessageW(control, WM_LBUTTONDOWN, 0x0001, MAKELPARAM(3, 3));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    SendMessageW(control, WM_LBUTTONDBLCLK, 0x0001, MAKELPARAM(3, 3));
    EnableWindow(control, FALSE);
    EnableWindow(control, TRUE);
    std::vector<Notification> expected;
    if (notify) {
        expected = {Command(9, STN_CLICKED, control), Command(9, STN_DBLCLK, control),
                    Command(9, STN_DISABLE, control), Command(9, STN_ENABLE, control)};
    }
    EXPECT_EQ(Heard(), expected);
}
INSTANTIATE_TEST_SUITE_P(All, StaticNotify, testing::Bool());

TEST_F(Static, AnswersStaticDialogCode) {
    EXPECT_EQ(SendMessageW(MakeStatic(SS_LEFT), WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_EQ(SendMessageW(MakeStatic(SS_ICON), WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

// STM_SETIMAGE answers the image it replaces and never deletes what it was
// given; a bitmap static takes its image's size unless told to keep its own.
TEST_F(Static, SetImageAnswersThePreviousImage) {
    HWND control = MakeStatic(SS_BITMAP);
    HBITMAP first = CreateBitmap(24, 16, 1, 32, nullptr), second = CreateBitmap(40, 30, 1, 32, nullptr);
    EXPECT_EQ(SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
    EXPECT_EQ(ClientSize(control).cx, 24);
    EXPECT_EQ(ClientSize(control).cy, 16);
    EXPECT_EQ(SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
              reinterpret_cast<LRESULT>(first));
    EXPECT_EQ(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(second));
    EXPECT_EQ(SendMessageW(control, STM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_EQ(ClientSize(control).cx, 40);
    EXPECT_EQ(ClientSize(control).cy, 30);
    // An icon is not a bitmap static's image.
    EXPECT_EQ(SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(first)), 0);
    EXPECT_EQ(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(second));
    DestroyWindow(control);
    BITMAP info{};
    EXPECT_EQ(GetObjectW(first, sizeof(info), &info), int(sizeof(info)));
    EXPECT_EQ(GetObjectW(second, sizeof(info), &info), int(sizeof(info)));
    DeleteObject(first);
    DeleteObject(second);
}

class StaticKeepsItsSize : public Static, public testing::WithParamInterface<DWORD> {};
TEST_P(StaticKeepsItsSize, WithRealSizeOrCentredImage) {
    HWND control = MakeStatic(SS_BITMAP | GetParam(), RECT{0, 0, 100, 50});
    HBITMAP bitmap = CreateBitmap(24, 16, 1, 32, nullptr);
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    EXPECT_EQ(ClientSize(control).cx, 100);
    EXPECT_EQ(ClientSize(control).cy, 50);
    DestroyWindow(control);
    DeleteObject(bitmap);
}
INSTANTIATE_TEST_SUITE_P(All, StaticKeepsItsSize, testing::Values(DWORD(SS_REALSIZEIMAGE), DWORD(SS_CENTERIMAGE)));

TEST_F(Static, IconMessagesWorkOnIconStatics) {
    HWND control = MakeStatic(SS_ICON | SS_REALSIZEIMAGE);
    // Any handle will do: the static keeps it without looking inside.
    auto icon = reinterpret_cast<HICON>(CreateBitmap(4, 4, 1, 32, nullptr));
    auto other = reinterpret_cast<HICON>(CreateBitmap(4, 4, 1, 32, nullptr));
    EXPECT_EQ(SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0), 0);
    EXPECT_EQ(SendMessageW(control, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(other)),
              reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(SendMessageW(control, STM_GETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(other));
    EXPECT_EQ(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    DestroyWindow(control);
    DeleteObject(reinterpret_cast<HGDIOBJ>(icon));
    DeleteObject(reinterpret_cast<HGDIOBJ>(other));
}

TEST_F(Static, OwnerDrawnStaticIsDrawnByItsParent) {
    HWND control = MakeStatic(SS_OWNERDRAW, RECT{0, 0, 60, 20});
    EnableWindow(control, FALSE);
    std::optional<DRAWITEMSTRUCT> drawn;
    TheHook() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (hwnd != parent || message != WM_DRAWITEM) return std::nullopt;
        EXPECT_EQ(wParam, 9u);
        drawn = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return TRUE;
    };
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->CtlType, UINT(ODT_STATIC));
    EXPECT_EQ(drawn->CtlID, 9u);
    EXPECT_EQ(drawn->itemAction, UINT(ODA_DRAWENTIRE));
    EXPECT_EQ(drawn->itemState, UINT(ODS_DISABLED));
    EXPECT_EQ(drawn->hwndItem, control);
    EXPECT_EQ(drawn->hDC, dc);
    EXPECT_EQ(drawn->rcItem.right, 60);
    EXPECT_EQ(drawn->rcItem.bottom, 20);
    DeleteDC(dc);
}

}  // namespace
}  // namespace tam::test

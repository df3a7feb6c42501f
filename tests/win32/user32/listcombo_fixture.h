// A recording parent window for list and combo boxes: the notifications a
// control sends it (WM_COMMAND codes, in order) and the owner-draw records
// it gets, and clicks and keys as a person's input reaches a control.
#pragma once
#include "win32/user32/window_fixture.h"

namespace tam::test {

// A wide text as ASCII, for test case names.
inline std::string MessageText(const char16_t* text) {
    std::string out;
    for (; text && *text; ++text) out += *text < 0x80 ? char(*text) : '?';
    return out;
}

class ControlTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, u"parent", 0, RECT{100, 100, 500, 400});
        ASSERT_NE(parent, nullptr);
    }

    HWND MakeControl(LPCWSTR className, DWORD style, RECT rect = RECT{10, 10, 160, 110}, int id = 100,
                     LPCWSTR text = u"") {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    }

    // The notification codes the control sent its parent, in order.
    std::vector<int> Codes(HWND control) const {
        std::vector<int> codes;
        for (const auto& m : Logged()) {
            if (m.hwnd == parent && m.message == WM_COMMAND && m.lParam == reinterpret_cast<LPARAM>(control)) {
                codes.push_back(HIWORD(m.wParam));
            }
        }
        return codes;
    }

    static void AddStrings(HWND control, UINT message, std::initializer_list<const char16_t*> texts) {
        for (auto text : texts) ASSERT_GE(SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(text)), 0);
    }

    static std::u16string ItemText(HWND control, UINT lengthMessage, UINT textMessage, int index) {
        LRESULT length = SendMessageW(control, lengthMessage, index, 0);
        if (length < 0) return u"<error>";
        std::u16string text(size_t(length) + 1, u'\0');
        LRESULT copied = SendMessageW(control, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(size_t(std::max<LRESULT>(copied, 0)));
        return text;
    }

    static std::u16string WindowText(HWND hwnd) {
        WCHAR buffer[256] = {};
        GetWindowTextW(hwnd, buffer, 256);
        return buffer;
    }

    static LPARAM At(POINT point) { return MAKELPARAM(point.x, point.y); }

    static void Click(HWND hwnd, POINT point, WPARAM keys = 0) {
        SendMessageW(hwnd, WM_LBUTTONDOWN, keys | MK_LBUTTON, At(point));
        SendMessageW(hwnd, WM_LBUTTONUP, keys, At(point));
    }

    static void Key(HWND hwnd, WPARAM key) {
        SendMessageW(hwnd, WM_KEYDOWN, key, 1);
        SendMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
    }

    // The middle of a list box's item, in the list's client coordinates.
    static POINT ItemCenter(HWND list, int index) {
        RECT rect{};
        EXPECT_EQ(SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)), LB_OKAY);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    HWND parent = nullptr;
};

}  // namespace tam::test

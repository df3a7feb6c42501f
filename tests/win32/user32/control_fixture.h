// A visible popup of the recording class as the parent of the system's
// controls, and what the parent heard from them: the notifications in
// WM_COMMAND and the scroll requests in WM_HSCROLL/WM_VSCROLL.
#pragma once
#include "win32/user32/window_fixture.h"

namespace tam::test {

struct Notification {
    UINT message;  // WM_COMMAND, WM_HSCROLL or WM_VSCROLL
    int id;        // the control's id (WM_COMMAND), the position (scrolling)
    int code;      // the notification or scroll request
    HWND control;
    bool operator==(const Notification&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Notification& n) {
    return out << MessageName(n.message) << "(" << n.id << ", " << n.code << ", " << n.control << ")";
}

class ControlTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, u"", 0, RECT{0, 0, 400, 300});
        ASSERT_TRUE(parent);
        ClearLog();
    }

    HWND Control(LPCWSTR className, DWORD style, int id, LPCWSTR text = u"",
                 RECT rect = RECT{10, 10, 110, 40}) {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    }

    // What the parent was told, in order.
    std::vector<Notification> Heard() const {
        std::vector<Notification> out;
        for (const auto& m : Logged()) {
            if (m.hwnd != parent) continue;
            auto control = reinterpret_cast<HWND>(m.lParam);
            if (m.message == WM_COMMAND) {
                out.push_back({m.message, LOWORD(m.wParam), HIWORD(m.wParam), control});
            } else if (m.message == WM_HSCROLL || m.message == WM_VSCROLL) {
                out.push_back({m.message, short(HIWORD(m.wParam)), LOWORD(m.wParam), control});
            }
        }
        return out;
    }

    static Notification Command(int id, int code, HWND control) { return {WM_COMMAND, id, code, control}; }

    HWND parent = nullptr;
};

}  // namespace tam::test

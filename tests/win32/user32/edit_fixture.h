// Edit controls as children of a recording window: the parent writes down
// the notifications (WM_COMMAND) its edits send, in order.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "win32/user32/window_fixture.h"

namespace tam::test {

class EditTest : public WindowTest {
protected:
    static constexpr int kEditId = 100;

    void SetUp() override {
        WindowTest::SetUp();
        parent_ = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, u"Parent", 0, RECT{0, 0, 400, 300});
        ASSERT_NE(parent_, nullptr);
    }

    HWND MakeEdit(DWORD style, LPCWSTR text = u"", RECT rect = RECT{10, 10, 210, 34}, int id = kEditId) {
        HWND edit = CreateWindowExW(0, u"Edit", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, parent_,
                                    reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(edit, nullptr);
        ids_[edit] = id;
        return edit;
    }

    // The notification codes the parent got from `edit`, in order; each
    // WM_COMMAND is checked to carry the edit's id and handle.
    std::vector<std::string> Notifications(HWND edit) {
        std::vector<std::string> out;
        for (const auto& m : Logged()) {
            if (m.hwnd != parent_ || m.message != WM_COMMAND || reinterpret_cast<HWND>(m.lParam) != edit) continue;
            EXPECT_EQ(LOWORD(m.wParam), ids_[edit]);
            out.push_back(CodeName(HIWORD(m.wParam)));
        }
        return out;
    }

    static std::string CodeName(WORD code) {
        switch (code) {
            case EN_SETFOCUS: return "EN_SETFOCUS";
            case EN_KILLFOCUS: return "EN_KILLFOCUS";
            case EN_CHANGE: return "EN_CHANGE";
            case EN_UPDATE: return "EN_UPDATE";
            case EN_MAXTEXT: return "EN_MAXTEXT";
            case EN_HSCROLL: return "EN_HSCROLL";
            case EN_VSCROLL: return "EN_VSCROLL";
            default: return "code " + std::to_string(code);
        }
    }

    static std::u16string Text(HWND hwnd) {
        int length = GetWindowTextLengthW(hwnd);
        std::u16string text(size_t(length) + 1, u'\0');
        int copied = GetWindowTextW(hwnd, text.data(), length + 1);
        EXPECT_EQ(copied, length);
        text.resize(size_t(copied));
        return text;
    }

    // The selection as EM_GETSEL gives it through its pointers; the packed
    // answer is checked to agree.
    static std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD start = 0xdead, end = 0xbeef;
        LRESULT packed = SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(packed, MAKELRESULT(start, end));
        return {start, end};
    }

    static void Type(HWND edit, std::u16string_view text) {
        for (char16_t ch : text) SendMessageW(edit, WM_CHAR, ch, 1);
    }

    HWND parent_ = nullptr;
    std::map<HWND, int> ids_;
};

}  // namespace tam::test

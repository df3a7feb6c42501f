// A machine with small controls of the tests' own that answer WM_GETDLGCODE
// as the standard ones do, and a dialog procedure that writes down what it
// gets; both write into WindowTest's log.
//
//  "ProbeButton"  by its type: push buttons DLGC_BUTTON with
//                 DLGC_DEFPUSHBUTTON or DLGC_UNDEFPUSHBUTTON, radio buttons
//                 DLGC_BUTTON | DLGC_RADIOBUTTON; BM_SETSTYLE changes the
//                 type, BM_SETCHECK/BM_GETCHECK keep a state, BM_CLICK
//                 checks an automatic radio button and sends BN_CLICKED.
//  "ProbeEdit"    DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS
//  "ProbeStatic"  DLGC_STATIC
//  "ProbeGreedy"  DLGC_WANTMESSAGE (every key)
#pragma once
#include <cstring>

#include "win32/user32/window_fixture.h"

#include "win32/user32/dialogs_res.h"

namespace tam::test {

#ifndef BM_GETCHECK
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#endif
#ifndef BN_CLICKED
#define BN_CLICKED 0
#endif
#ifndef EM_SETSEL
#define EM_SETSEL 0x00B1
#endif
#ifndef VK_LEFT
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#endif

class DialogTest : public WindowTest {
protected:
    using DialogHook = std::function<std::optional<INT_PTR>(HWND, UINT, WPARAM, LPARAM)>;

    void SetUp() override {
        WindowTest::SetUp();
        TheDialogHook() = nullptr;
        for (const char16_t* name : {u"ProbeButton", u"ProbeEdit", u"ProbeStatic", u"ProbeGreedy"}) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ProbeProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = name;
            if (!RegisterClassW(&wc)) {
                ASSERT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
            }
        }
    }

    void TearDown() override {
        TheDialogHook() = nullptr;
        WindowTest::TearDown();
    }

    static DialogHook& TheDialogHook() {
        static DialogHook hook;
        return hook;
    }

    static INT_PTR CALLBACK LoggingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        {
            std::lock_guard lock(LogLock());
            Log().push_back({hwnd, message, wParam, lParam});
        }
        if (TheDialogHook()) {
            if (auto result = TheDialogHook()(hwnd, message, wParam, lParam)) return *result;
        }
        return message == WM_INITDIALOG ? TRUE : FALSE;
    }

    static std::u16string ClassOf(HWND hwnd) {
        WCHAR name[64] = {};
        GetClassNameW(hwnd, name, 64);
        return name;
    }

    static LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        {
            std::lock_guard lock(LogLock());
            Log().push_back({hwnd, message, wParam, lParam});
        }
        std::u16string kind = ClassOf(hwnd);
        DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
        DWORD type = style & BS_TYPEMASK;
        switch (message) {
            case WM_CREATE: {
                // What the template gave the control: an ordinal title, and its creation bytes
                // (a count word, then the data).
                auto cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
                if (cs->lpszName && cs->lpszName[0] == 0xFFFF) {
                    SetPropW(hwnd, u"TitleOrdinal", reinterpret_cast<HANDLE>(ULONG_PTR(cs->lpszName[1])));
                }
                if (auto data = static_cast<const BYTE*>(cs->lpCreateParams)) {
                    WORD count, first;
                    std::memcpy(&count, data, sizeof(count));
                    std::memcpy(&first, data + sizeof(count), sizeof(first));
                    SetPropW(hwnd, u"CreationCount", reinterpret_cast<HANDLE>(ULONG_PTR(count)));
                    SetPropW(hwnd, u"CreationFirst", reinterpret_cast<HANDLE>(ULONG_PTR(first)));
                }
                return 0;
            }
            case WM_GETDLGCODE:
                if (kind == u"ProbeEdit") return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
                if (kind == u"ProbeStatic") return DLGC_STATIC;
                if (kind == u"ProbeGreedy") return DLGC_WANTMESSAGE;
                if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
                if (type == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
                if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) return DLGC_BUTTON | DLGC_RADIOBUTTON;
                return DLGC_BUTTON;
            case BM_SETSTYLE:
                SetWindowLongW(hwnd, GWL_STYLE, LONG((style & 0xFFFF0000) | (wParam & 0xFFFF)));
                return 0;
            case BM_SETCHECK:
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(wParam));
                return 0;
            case BM_GETCHECK:
                return GetWindowLongPtrW(hwnd, GWLP_USERDATA);
            case BM_CLICK:
                if (type == BS_AUTORADIOBUTTON) SetWindowLongPtrW(hwnd, GWLP_USERDATA, BST_CHECKED);
                SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
                return 0;
            default:
                return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

    static HWND MakeDialog(int id, HWND owner = nullptr, LPARAM param = 0) {
        return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, LoggingDialogProc, param);
    }

    static HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

    // The messages of a kind the window got, in order, as logged.
    static std::vector<LoggedMessage> All(HWND hwnd, UINT message) {
        std::vector<LoggedMessage> out;
        for (const auto& m : Logged()) {
            if (m.hwnd == hwnd && m.message == message) out.push_back(m);
        }
        return out;
    }

    // The WM_COMMAND ids the dialog got, in order.
    static std::vector<int> Commands(HWND dialog) {
        std::vector<int> ids;
        for (const auto& m : All(dialog, WM_COMMAND)) ids.push_back(LOWORD(m.wParam));
        return ids;
    }

    // Posts a key press (down, and the character it makes) to the focus
    // window and runs the dialog's messages through IsDialogMessageW.
    static void PressKey(HWND dialog, WPARAM key, UINT down = WM_KEYDOWN) {
        HWND target = GetFocus() ? GetFocus() : dialog;
        PostMessageW(target, down, key, 1);
        PumpDialog(dialog);
    }

    static void PumpDialog(HWND dialog) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
};

}  // namespace tam::test

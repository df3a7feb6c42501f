// A machine with a window class whose procedure writes down every message
// it gets (window, message, wParam, lParam) before passing it on to an
// optional hook and then to DefWindowProcW. Tests compare what was written
// with the order Windows sends messages in.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/machine_fixture.h"
#include "win32/kernel32/thread_helpers.h"

namespace tam::test {

struct LoggedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The name of a message, for readable failures.
inline std::string MessageName(UINT message) {
    static const std::map<UINT, const char*> names = {
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_GETTEXT, "WM_GETTEXT"},
        {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_CANCELMODE, "WM_CANCELMODE"},
        {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
        {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
        {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {WM_COPYDATA, "WM_COPYDATA"},
        {WM_STYLECHANGING, "WM_STYLECHANGING"},
        {WM_STYLECHANGED, "WM_STYLECHANGED"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
        {WM_NCACTIVATE, "WM_NCACTIVATE"},
        {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
        {WM_CHAR, "WM_CHAR"},
        {WM_PAINT, "WM_PAINT"},
        {WM_NCPAINT, "WM_NCPAINT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_PRINT, "WM_PRINT"},
        {WM_PRINTCLIENT, "WM_PRINTCLIENT"},
        {WM_USER, "WM_USER"},
    };
    auto it = names.find(message);
    return it != names.end() ? it->second : "message " + std::to_string(message);
}

class WindowTest : public MachineTest {
protected:
    static constexpr const char16_t* kClass = u"Recorder";
    using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    void SetUp() override {
        MachineTest::SetUp();
        {
            std::lock_guard lock(LogLock());
            Log().clear();
        }
        TheHook() = nullptr;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = RecordingProc;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        // CTest runs each test in a process of its own; a run of the whole
        // program in one process finds the class already there.
        if (!RegisterClassExW(&wc)) {
            ASSERT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
        }
    }

    void TearDown() override {
        TheHook() = nullptr;
        MachineTest::TearDown();
    }

    static std::mutex& LogLock() {
        static std::mutex lock;
        return lock;
    }
    static std::vector<LoggedMessage>& Log() {
        static std::vector<LoggedMessage> log;
        return log;
    }
    static Hook& TheHook() {
        static Hook hook;
        return hook;
    }

    static LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        {
            std::lock_guard lock(LogLock());
            Log().push_back({hwnd, message, wParam, lParam});
        }
        if (TheHook()) {
            if (auto result = TheHook()(hwnd, message, wParam, lParam)) return *result;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static HWND Make(DWORD style, HWND parent = nullptr, int id = 0, LPCWSTR title = u"", DWORD exStyle = 0,
                     RECT rect = RECT{10, 20, 210, 120}) {
        return CreateWindowExW(exStyle, kClass, title, style, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(INT_PTR(id)),
                               GetModuleHandleW(nullptr), nullptr);
    }

    static void ClearLog() {
        std::lock_guard lock(LogLock());
        Log().clear();
    }

    static std::vector<LoggedMessage> Logged() {
        std::lock_guard lock(LogLock());
        return Log();
    }

    // The messages written down for the windows named, in order, as
    // "name:MESSAGE" (windows not named are left out).
    static std::vector<std::string> Sequence(const std::map<HWND, std::string>& names) {
        std::vector<std::string> out;
        for (const auto& m : Logged()) {
            auto it = names.find(m.hwnd);
            if (it != names.end()) out.push_back(it->second + ":" + MessageName(m.message));
        }
        return out;
    }

    // The messages one window got, in order.
    static std::vector<std::string> MessagesOf(HWND hwnd) {
        std::vector<std::string> out;
        for (const auto& m : Logged()) {
            if (m.hwnd == hwnd) out.push_back(MessageName(m.message));
        }
        return out;
    }

    // The first message of this kind the window got (fails when none).
    static LoggedMessage First(HWND hwnd, UINT message) {
        for (const auto& m : Logged()) {
            if (m.hwnd == hwnd && m.message == message) return m;
        }
        ADD_FAILURE() << "no " << MessageName(message);
        return LoggedMessage{};
    }
};

}  // namespace tam::test

// Modal dialogs: DialogBoxParamW, DialogBoxIndirectParamW and EndDialog.
//
// The dialog is made hidden; its owner (the top-level window of the window
// given) is disabled, the dialog shown, and the dialog's own loop runs each
// message through IsDialogMessageW (the rest is translated and dispatched)
// until EndDialog. When the queue is empty the owner gets WM_ENTERIDLE
// (MSGF_DIALOGBOX, the dialog), unless the template says DS_NOIDLEMSG.
// EndDialog, from the dialog procedure or anywhere on the thread, enables
// the owner again and hides the dialog, so the activation goes back to the
// owner before the loop destroys the dialog; the loop answers EndDialog's
// value. A WM_QUIT ends the loop too (with 0), and is posted again for the
// loop outside. EndDialog on a modeless dialog only hides it.
#include <string>

#include "user32/dialog.h"
#include "user32/dlgtemplate.h"
#include "user32/scripteduser.h"

namespace w32 {

namespace {

void LogUnanswered(HWND dialog) {
    WCHAR title[128] = {};
    GetWindowTextW(dialog, title, 128);
    std::string line = "modal dialog \"";
    for (const WCHAR* p = title; *p; ++p) line.push_back(*p < 0x80 ? char(*p) : '?');
    line += "\" had no answer and ended with -1\n";
    OutputDebugStringA(line.c_str());
}

INT_PTR RunModal(HWND dialog, HWND owner) {
    auto info = FindDialogInfo(dialog);
    if (!info) return -1;
    const bool idleMessages = !(GetWindowLongW(dialog, GWL_STYLE) & DS_NOIDLEMSG);
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        info->disabledOwner = owner;
    }
    if (!info->ended && IsWindow(dialog)) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        if (IsWindow(dialog) && !info->ended) ModalDialogStarted(dialog);
    }
    INT_PTR quitResult = 0;
    bool quit = false;
    DWORD lastError = 0;
    while (!info->ended && IsWindow(dialog)) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (idleMessages && owner && IsWindow(owner)) {
                SendMessageW(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
            }
            if (info->ended || !IsWindow(dialog)) break;
            if (!ModalLoopIdle(dialog)) {
                LogUnanswered(dialog);
                info->result = -1;
                lastError = ERROR_CANCELLED;
                break;
            }
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
                quit = msg.message == WM_QUIT;
                quitResult = INT_PTR(msg.wParam);
                break;
            }
        } else if (msg.message == WM_QUIT) {
            quit = true;
            quitResult = INT_PTR(msg.wParam);
            break;
        }
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (quit) PostQuitMessage(int(quitResult));
    INT_PTR result = info->ended ? info->result : (lastError ? -1 : 0);
    if (info->disabledOwner) {
        if (IsWindow(info->disabledOwner)) EnableWindow(info->disabledOwner, TRUE);
        info->disabledOwner = nullptr;
    }
    if (IsWindow(dialog)) DestroyWindow(dialog);
    if (lastError) SetLastError(lastError);
    return result;
}

HWND TopLevelOwner(HWND owner) {
    if (!owner) return nullptr;
    HWND root = GetAncestor(owner, GA_ROOT);
    return root ? root : owner;
}

INT_PTR DialogBoxFrom(HINSTANCE instance, const void* data, size_t size, HWND owner, DLGPROC proc, LPARAM param) {
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    owner = TopLevelOwner(owner);
    HWND dialog = MakeDialog(instance, data, size, owner, proc, param, true);
    if (!dialog) return -1;
    return RunModal(dialog, GetWindow(dialog, GW_OWNER));
}

}  // namespace

}  // namespace w32

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc,
                                       LPARAM param) {
    size_t size = w32::TemplateBytesAvailable(dialogTemplate, w32::kUnknownTemplateBytes);
    return w32::DialogBoxFrom(instance, dialogTemplate, size, owner, proc, param);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    size_t size = 0;
    const void* data = w32::FindDialogTemplate(instance, name, size);
    if (!data) return -1;
    return w32::DialogBoxFrom(instance, data, size, owner, proc, param);
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    using namespace w32;
    if (!IsWindow(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    auto info = FindDialogInfo(dialog);
    if (!info) {
        SetLastError(ERROR_WINDOW_NOT_DIALOG);
        return FALSE;
    }
    info->ended = true;
    info->result = result;
    if (HWND owner = info->disabledOwner) {
        info->disabledOwner = nullptr;
        if (IsWindow(owner)) EnableWindow(owner, TRUE);
    }
    const bool wasActive = GetActiveWindow() == dialog;
    ShowWindow(dialog, SW_HIDE);
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (wasActive && owner && IsWindowVisible(owner) && IsWindowEnabled(owner)) SetActiveWindow(owner);
    // Wakes a loop waiting for a message.
    if (info->modal) PostMessageW(dialog, WM_NULL, 0, 0);
    return TRUE;
}

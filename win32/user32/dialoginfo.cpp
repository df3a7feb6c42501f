// The dialog manager's records of dialogs (dialog.h), kept by handle.
#include <mutex>
#include <unordered_map>

#include "user32/dialog.h"
#include "user32/window.h"

namespace w32 {

namespace {

std::mutex gDialogsLock;
std::unordered_map<HWND, std::shared_ptr<DialogInfo>> gDialogs;

// Whether the window's procedure is the dialog class's default one (a
// window of such a class is a dialog even when no template made it).
bool RunsDefDlgProc(HWND hwnd) {
    auto window = GetWindowRecord(hwnd);
    if (!window) return false;
    std::lock_guard lock(ManagerLock());
    return window->windowClass && window->windowClass->proc == DefDlgProcW;
}

}  // namespace

std::shared_ptr<DialogInfo> FindDialogInfo(HWND dialog, bool make) {
    if (!IsWindow(dialog)) return nullptr;
    {
        std::lock_guard lock(gDialogsLock);
        auto it = gDialogs.find(dialog);
        if (it != gDialogs.end()) return it->second;
    }
    if (!make && !RunsDefDlgProc(dialog)) return nullptr;
    auto info = std::make_shared<DialogInfo>();
    LONG units = GetDialogBaseUnits();
    info->baseX = LOWORD(units);
    info->baseY = HIWORD(units);
    std::lock_guard lock(gDialogsLock);
    // Handles are never given twice, so records of windows gone are dropped here.
    for (auto it = gDialogs.begin(); it != gDialogs.end();) {
        it = IsWindow(it->first) ? std::next(it) : gDialogs.erase(it);
    }
    return gDialogs.emplace(dialog, info).first->second;
}

void ForgetDialogInfo(HWND dialog) {
    std::shared_ptr<DialogInfo> info;
    {
        std::lock_guard lock(gDialogsLock);
        auto it = gDialogs.find(dialog);
        if (it == gDialogs.end()) return;
        info = it->second;
        gDialogs.erase(it);
    }
    if (info->ownsFont && info->font) DeleteObject(info->font);
    info->font = nullptr;
}

bool IsWithin(HWND ancestor, HWND window) { return window && (window == ancestor || IsChild(ancestor, window)); }

}  // namespace w32

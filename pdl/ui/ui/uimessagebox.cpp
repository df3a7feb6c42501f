// The user interface's message box, recorded until the window layer shows it.
#include "ui/ui/uimessagebox.h"

#include <mutex>

#include "ui/ui/resdll.h"

namespace {

std::mutex gLock;
std::vector<UiMessageBoxRecord> gRecords;
int gReply = IDOK;

int RecordMessageBox(HWND window, LPCWSTR text, LPCWSTR caption, UINT style) {
    std::lock_guard<std::mutex> hold(gLock);
    gRecords.push_back({window, text ? text : u"", caption ? caption : u"", style});
    return gReply;
}

}  // namespace

int UiMessageBox(HWND window, LPCWSTR text, LPCWSTR caption, UINT style) {
    if (IsRightToLeftLanguage()) style |= MB_RIGHT | MB_RTLREADING;
    return RecordMessageBox(window, text, caption, style);
}

std::vector<UiMessageBoxRecord> TakeUiMessageBoxRecords() {
    std::lock_guard<std::mutex> hold(gLock);
    std::vector<UiMessageBoxRecord> records;
    records.swap(gRecords);
    return records;
}

void SetUiMessageBoxReply(int reply) {
    std::lock_guard<std::mutex> hold(gLock);
    gReply = reply;
}

// DevQueryPrintEx: whether a job's settings can print on this printer, and
// the refusal's text when they cannot.
#include <windows.h>
#include <winddiui.h>
#include <strsafe.h>

#include <cstdarg>

#include "ui/res/uires.h"
#include "ui/ui/devmode.h"
#include "ui/ui/devmodemerge.h"
#include "ui/ui/devquery.h"
#include "ui/ui/resdll.h"

namespace {

// Appends text to a bounded buffer while counting every character the whole
// text needs.
class MessageWriter {
public:
    MessageWriter(LPWSTR buffer, int bufferChars) : buffer_(buffer), capacity_(buffer ? bufferChars : 0) {}

    void Put(WCHAR c) {
        if (total_ + 1 < capacity_) buffer_[written_++] = c;
        ++total_;
    }
    void Put(LPCWSTR text) {
        if (!text) return;
        for (; *text; ++text) Put(*text);
    }
    int Finish(int* needed) {
        if (capacity_ > 0) buffer_[written_] = 0;
        if (needed) *needed = total_ + 1;
        return written_;
    }

private:
    LPWSTR buffer_;
    int capacity_;
    int written_ = 0;
    int total_ = 0;
};

}  // namespace

int FormatQueryMessage(HMODULE languageDll, LPWSTR buffer, int bufferChars, int* needed, LPCWSTR format, ...) {
    MessageWriter out(buffer, bufferChars);
    va_list args;
    va_start(args, format);
    for (LPCWSTR p = format; p && *p; ++p) {
        if (*p != u'%') {
            out.Put(*p);
            continue;
        }
        if (!p[1]) {  // a percent sign that ends the format stays
            out.Put(u'%');
            break;
        }
        WCHAR text[256];
        switch (*++p) {
            case u'!':
                LoadUiString(languageDll, va_arg(args, UINT), text, ARRAYSIZE(text));
                out.Put(text);
                break;
            case u's':
                out.Put(va_arg(args, LPCWSTR));
                break;
            case u'c':
                out.Put(WCHAR(va_arg(args, int)));
                break;
            case u'd':
            case u'u':
            case u'x':
            case u'X': {
                const WCHAR conversion[3] = {u'%', *p, 0};
                StringCchPrintfW(text, ARRAYSIZE(text), conversion, va_arg(args, int));
                out.Put(text);
                break;
            }
            default:
                out.Put(*p);
                break;
        }
    }
    va_end(args);
    return out.Finish(needed);
}

extern "C" BOOL WINAPI DevQueryPrintEx(PDEVQUERYPRINT_INFO info) {
    if (!info || info->Level == 0) return FALSE;
    if (!info->pDevMode) return TRUE;
    UiDevmode* defaults = static_cast<UiDevmode*>(LocalAlloc(LPTR, sizeof(UiDevmode)));
    if (!defaults) return TRUE;
    // The device name may fill its field without a terminator.
    WCHAR deviceName[CCHDEVICENAME + 1] = {};
    CopyMemory(deviceName, info->pDevMode->dmDeviceName, sizeof(info->pDevMode->dmDeviceName));
    BOOL accepted = SetDevmodeDefaults(defaults, deviceName, nullptr) && AcceptIncomingDevmode(defaults, info->pDevMode);
    LocalFree(defaults);
    if (accepted) return TRUE;

    HMODULE languageDll = nullptr;
    LoadLanguageDll(deviceName, &languageDll);
    int needed = 0;
    const int capacity = info->cchErrorStr > 0x7FFFFFFF ? 0x7FFFFFFF : int(info->cchErrorStr);
    FormatQueryMessage(languageDll, info->pszErrorStr, capacity, &needed, u"%!", UINT(IDS_QUERY_REFUSED));
    info->cchNeeded = DWORD(needed);
    if (languageDll) FreeLibrary(languageDll);
    return FALSE;
}

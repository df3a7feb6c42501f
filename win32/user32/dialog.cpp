// Making a dialog from a template: CreateDialogParamW and
// CreateDialogIndirectParamW (DialogBoxParamW makes its dialog here too).
//
// The dialog's client area is the template's rectangle in dialog units of
// its font (DS_SETFONT) or of the system font; its origin lies in the
// owner's client area (the parent's, for a child dialog), on the screen with
// DS_ABSALIGN, and DS_CENTER and DS_CENTERMOUSE centre the window on the
// screen. The dialog procedure gets WM_SETFONT when the template names a
// font; the controls follow in template order (each below the one before,
// each sent WM_SETFONT), and a control that cannot be made fails the dialog
// unless DS_NOFAILCREATE. WM_INITDIALOG comes last: wParam is the first tab
// stop, which gets the focus when the procedure answers TRUE. A dialog whose
// template says WS_VISIBLE is then shown.
#include <string>

#include "user32/dialog.h"
#include "user32/dlgtemplate.h"
#include "user32/window.h"

namespace w32 {

namespace {

// Point size that asks for the message box font.
constexpr WORD kMessageBoxFontSize = 0x7FFF;
// The screen's logical pixels per inch.
constexpr int kScreenDpi = 96;

void LogTemplateFault(const std::string& reason) {
    std::string line = "dialog template refused: " + reason + "\n";
    OutputDebugStringA(line.c_str());
}

// The template's font, or null for the system font.
HFONT MakeTemplateFont(const DialogTemplate& t, bool& owns) {
    owns = false;
    if (!t.hasFont) return nullptr;
    if (t.pointSize == kMessageBoxFontSize) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(t.pointSize, kScreenDpi, 72);
    lf.lfWeight = t.weight;
    lf.lfItalic = t.italic ? TRUE : FALSE;
    lf.lfCharSet = t.charSet;
    lstrcpynW(lf.lfFaceName, t.face.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    owns = font != nullptr;
    return font;
}

// A title field as CreateWindowExW takes it: a string, or 0xFFFF and an id.
LPCWSTR TitleOf(const TemplateName& title, WCHAR (&ordinal)[3]) {
    if (title.IsOrdinal()) {
        ordinal[0] = 0xFFFF;
        ordinal[1] = title.ordinal;
        ordinal[2] = 0;
        return ordinal;
    }
    return title.text.c_str();
}

bool MakeControls(HWND dialog, HINSTANCE instance, const DialogTemplate& t, DialogInfo& info) {
    for (const DialogItemTemplate& item : t.items) {
        LPCWSTR className =
            item.className.IsOrdinal() ? PredefinedControlClass(item.className.ordinal) : item.className.text.c_str();
        WCHAR ordinal[3];
        LPCWSTR title = TitleOf(item.title, ordinal);
        HWND control = CreateWindowExW(item.exStyle | WS_EX_NOPARENTNOTIFY, className, title,
                                       (item.style | WS_CHILD) & ~WS_POPUP, MulDiv(item.x, info.baseX, 4),
                                       MulDiv(item.y, info.baseY, 8), MulDiv(item.cx, info.baseX, 4),
                                       MulDiv(item.cy, info.baseY, 8), dialog,
                                       reinterpret_cast<HMENU>(item.id), instance,
                                       const_cast<BYTE*>(item.creationData));
        if (!IsWindow(dialog)) return false;
        if (!control) {
            if (t.style & DS_NOFAILCREATE) continue;
            std::string line = "dialog control " + std::to_string(LONG(item.id)) + " could not be made\n";
            OutputDebugStringA(line.c_str());
            return false;
        }
        if (info.font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(info.font), 0);
        if (!info.hasDefaultId && IsWindow(control) &&
            (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
            info.defaultId = WORD(item.id);
            info.hasDefaultId = true;
        }
    }
    return true;
}

}  // namespace

const void* FindDialogTemplate(HINSTANCE instance, LPCWSTR name, size_t& size) {
    HRSRC resource = FindResourceW(instance, name, RT_DIALOG);
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    size = data ? SizeofResource(instance, resource) : 0;
    return data;
}

HWND MakeDialog(HINSTANCE instance, const void* data, size_t size, HWND owner, DLGPROC proc, LPARAM param,
                bool modal) {
    EnsureWindowManager();
    DialogTemplate t;
    std::string reason;
    if (!ParseDialogTemplate(data, size, t, reason)) {
        LogTemplateFault(reason);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (t.menu.present) {
        LogTemplateFault("the layer has no menus for a dialog's menu bar");
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }

    bool ownsFont = false;
    HFONT font = MakeTemplateFont(t, ownsFont);
    SIZE units = FontBaseUnits(font);

    DWORD style = t.style;
    DWORD exStyle = t.exStyle;
    if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTROL) {
        style &= ~(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    const bool visible = (style & WS_VISIBLE) != 0;
    style &= ~WS_VISIBLE;

    RECT rect{MulDiv(t.x, units.cx, 4), MulDiv(t.y, units.cy, 8), 0, 0};
    rect.right = rect.left + MulDiv(t.cx, units.cx, 4);
    rect.bottom = rect.top + MulDiv(t.cy, units.cy, 8);
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    POINT origin{rect.left, rect.top};
    if (!(style & WS_CHILD)) {
        if (style & (DS_CENTER | DS_CENTERMOUSE)) {
            origin.x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
            origin.y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        } else if (!(style & DS_ABSALIGN) && owner) {
            ClientToScreen(owner, &origin);
        }
    }

    LPCWSTR className = u"#32770";
    if (t.className.IsOrdinal())
        className = MAKEINTATOM(t.className.ordinal);
    else if (t.className.present)
        className = t.className.text.c_str();
    if (!instance) instance = GetModuleHandleW(nullptr);

    HWND dialog = CreateWindowExW(exStyle, className, t.title.text.c_str(), style, origin.x, origin.y, width,
                                  height, owner, nullptr, instance, reinterpret_cast<LPVOID>(param));
    if (!dialog) {
        DWORD error = GetLastError();
        if (ownsFont) DeleteObject(font);
        SetLastError(error);
        return nullptr;
    }
    auto info = FindDialogInfo(dialog, true);
    if (!info) return nullptr;
    info->font = font;
    info->ownsFont = ownsFont;
    info->baseX = units.cx;
    info->baseY = units.cy;
    info->modal = modal;
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));

    if (font) SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    if (!IsWindow(dialog)) return nullptr;
    if (!MakeControls(dialog, instance, t, *info)) {
        DWORD error = GetLastError();
        if (IsWindow(dialog)) DestroyWindow(dialog);
        SetLastError(error);
        return nullptr;
    }

    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    LRESULT wantsFocus = SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dialog)) return nullptr;
    if (wantsFocus) {
        // The procedure may have changed the controls: the first tab stop is looked up again.
        first = GetNextDlgTabItem(dialog, nullptr, FALSE);
        if (first) SetDialogFocus(dialog, first);
        if (!IsWindow(dialog)) return nullptr;
    }
    if (visible && !modal && !info->ended) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        if (!IsWindow(dialog)) return nullptr;
        if (style & DS_SETFOREGROUND) SetForegroundWindow(dialog);
    }
    return dialog;
}

}  // namespace w32

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc,
                                       LPARAM param) {
    size_t size = w32::TemplateBytesAvailable(dialogTemplate, w32::kUnknownTemplateBytes);
    return w32::MakeDialog(instance, dialogTemplate, size, owner, proc, param, false);
}

HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    size_t size = 0;
    const void* data = w32::FindDialogTemplate(instance, name, size);
    if (!data) return nullptr;
    return w32::MakeDialog(instance, data, size, owner, proc, param, false);
}

// Messages by string id.
#include "ui/ui/uimessage.h"

#include <vector>

#include "ui/ui/processlanguage.h"
#include "ui/ui/resdll.h"
#include "ui/ui/uicontext.h"
#include "ui/ui/uimessagebox.h"

namespace {

// Characters of a loaded text: a string of the language DLL holds at most
// 4095 (a missing one reads as its placeholder).
constexpr int kTextChars = 4096;

// The window word in which a page or dialog keeps its sheet's context.
constexpr int kContextWindowWord = 8;

}  // namespace

int UiMessage::Show(HMODULE languageDll, UINT captionId, UINT style) const {
    std::vector<WCHAR> text(kTextChars);
    WCHAR caption[256];
    LoadUiString(languageDll, textId_, text.data(), kTextChars);
    LoadUiString(languageDll, captionId, caption, 256);
    return UiMessageBox(window_, text.data(), caption, style);
}

int UiMessage::ShowWarning() const {
    return Show(GetProcessLanguageDll(), UI_MESSAGE_WARNING_CAPTION, MB_ICONEXCLAMATION);
}

int UiMessage::ShowWarningFromDialog() const {
    HMODULE languageDll = GetProcessLanguageDll();
    if (window_) {
        auto* context = reinterpret_cast<UiContext*>(GetWindowLongPtrW(window_, kContextWindowWord));
        if (context && context->languageDll) languageDll = context->languageDll;
    }
    return Show(languageDll, UI_MESSAGE_WARNING_CAPTION, MB_ICONEXCLAMATION);
}

int UiMessage::ShowError() const { return Show(GetProcessLanguageDll(), UI_MESSAGE_ERROR_CAPTION, MB_ICONHAND); }

int UiMessage::AskYesNo() const {
    return Show(GetProcessLanguageDll(), UI_MESSAGE_WARNING_CAPTION, MB_YESNO | MB_ICONEXCLAMATION);
}

// The hooks through which the scripted user answers modal dialogs.
//
// A modal loop (DialogBoxParamW, MessageBoxW) calls ModalDialogStarted on
// the dialog's thread once the dialog has had WM_INITDIALOG and is shown,
// just before its loop runs, and ModalLoopIdle each time its queue is empty,
// before it waits. ModalLoopIdle answers false when the scripted user is
// active, has no answer registered for the dialog, the thread has no timer
// pending and nothing has arrived for a time-out on the machine clock: the
// loop then ends the dialog with -1 and the last error ERROR_CANCELLED,
// writing a line naming the dialog to the debug log, so that nothing waits
// for an answer that cannot come.
#pragma once
#include <windows.h>

namespace w32 {

void ModalDialogStarted(HWND dialog);
bool ModalLoopIdle(HWND dialog);

}  // namespace w32

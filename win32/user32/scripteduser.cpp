// The scripted user's hooks into modal loops (scripteduser.h), as they
// answer while no scripted user is active: nothing is done when a dialog
// starts, and an idle loop waits for its messages as on Windows.
//
// The input module owns these hooks: its scripted user replaces this file's
// bodies with ones that answer dialogs and end those nobody answers.
#include "user32/scripteduser.h"

namespace w32 {

void ModalDialogStarted(HWND) {}

bool ModalLoopIdle(HWND) { return true; }

}  // namespace w32

// With no input module, no key is ever down. Weak, so that the input
// module's GetKeyState, which follows the keys its scripted user presses,
// takes its place.
__attribute__((weak)) SHORT WINAPI GetKeyState(int) { return 0; }

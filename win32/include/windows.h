// The Windows API of the stand-in layer, pulled in as windows.h does.
#pragma once
#ifdef RC_INVOKED
// A resource script sees only the constants it can use.
#include "winresrc.h"
#else
#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winnls.h"
#include "wingdi.h"
#include "fileapi.h"
#include "processthreadsapi.h"
#include "synchapi.h"
#include "libloaderapi.h"
#include "sysinfoapi.h"
#include "winreg.h"
#include "winspool.h"
#include "winuser.h"
#include "wincrt.h"
#endif  // RC_INVOKED

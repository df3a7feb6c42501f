// The Windows API of the stand-in layer, pulled in as windows.h does.
#pragma once
#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winnls.h"
#include "fileapi.h"
#include "processthreadsapi.h"
#include "synchapi.h"
#include "libloaderapi.h"
#include "sysinfoapi.h"
#include "winreg.h"
#include "winuser.h"
#include "wincrt.h"

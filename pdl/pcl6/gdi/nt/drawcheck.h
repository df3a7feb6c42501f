// The checks the drawing callbacks make before they draw.
#pragma once
#include <windows.h>

#include "pcl6/gdi/pdev.h"

enum class DrawCheck { Draw, Skip, Fail };

// A sound PDEV with its job (call number `callType` for the PDEV check), a
// page open and output going, else Fail with the last error set
// (ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER). Then the object kind
// (GX_OBJECT_*) for the black conversion, and Skip, to succeed without
// drawing, when the settings' output mask clears `outputBit` or the object
// range leaves the call out.
DrawCheck Ddi_CheckDrawing(PDEV* pdev, int callType, int objectKind, INT32 outputBit);

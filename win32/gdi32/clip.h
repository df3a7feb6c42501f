// The DC's clip region (DcState::clip, device pixels), as the clipping
// calls and SelectClipPath change it.
#pragma once
#include <windows.h>

#include "gdi32/dc.h"
#include "win32k/region.h"

namespace w32::gdi {

// Combines the clip with a region in device pixels by an RGN_* mode. A DC
// without a clip combines as if clipped to its whole surface. A null region
// is taken only with RGN_COPY, which removes the clip. Answers the
// complexity of what drawing can now reach (NULLREGION, SIMPLEREGION,
// COMPLEXREGION), or ERROR with ERROR_INVALID_PARAMETER for a bad mode.
int CombineClip(DeviceContext& dc, const Region* region, int mode);

}  // namespace w32::gdi

// What the region functions share.
#pragma once
#include <windows.h>

#include <memory>

#include "gdi32/objects.h"
#include "win32k/geometry.h"

namespace w32::gdi {

// A new region object holding `region`; its handle.
HRGN InsertRegion(Region region);
// The region object of a handle; null with ERROR_INVALID_HANDLE.
std::shared_ptr<GdiRegion> RegionOf(HRGN handle);
// The pixels a closed path fills (ALTERNATE or WINDING), as a region.
Region RegionFromPath(const DevicePath& path, int fillMode);

}  // namespace w32::gdi

#include <windows.h>

#include "pcl6/gdi/module.h"

namespace {
HMODULE gModule = nullptr;
}  // namespace

void Tamrend_SetModule(HMODULE module) { gModule = module; }

HMODULE Tamrend_Module() { return gModule; }

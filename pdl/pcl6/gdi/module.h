// The rendering DLL's own module handle, kept at process attach for the
// lookups of files beside the module.
#pragma once
#include <windows.h>

void Tamrend_SetModule(HMODULE module);
// Null until the module is attached.
HMODULE Tamrend_Module();

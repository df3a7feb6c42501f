// The conversion of the user interface's document settings into the
// rendering DLL's own layout.
#pragma once
#include <windows.h>

#include "pcl6/intrface/renddevmode.h"

// Converts a DEVMODE of the user interface (220 public and 4864 private
// bytes) into `target`, which the caller has zero-filled and which is never
// read. 1 after converting; 0, with nothing written, for a missing DEVMODE
// or any other layout.
BOOL Devmode_ConvertFromUi(const DEVMODEW* source, RendDevmode* target);

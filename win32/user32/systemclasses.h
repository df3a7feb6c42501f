// The window procedures of the system's own classes (systemclasses.cpp
// registers them): the dialog class "#32770" and the standard controls.
#pragma once
#include <windows.h>

namespace w32 {

}  // namespace w32

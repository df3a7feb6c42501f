// GetSysColor and GetSysColorBrush: the colours of Windows 10's default
// scheme (gdi32/syscolors.h keeps them, so that FillRect takes COLOR_xxx + 1).
#include <windows.h>

#include "gdi32/syscolors.h"

// 0 for an index outside the table.
DWORD WINAPI GetSysColor(int index) { return w32::gdi::SystemColor(index); }

// A stock brush, which DeleteObject does not delete; null for an index
// that names no colour.
HBRUSH WINAPI GetSysColorBrush(int index) { return w32::gdi::SystemColorBrush(index); }

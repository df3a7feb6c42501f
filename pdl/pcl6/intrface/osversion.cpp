// The operating-system version class the user interface adapts to.
#include <windows.h>

#include "pcl6/intrface/util.h"

int GetWindowsVersionClass() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(&version)) return 0;
    if (version.dwMajorVersion != 6) return 0;
    return version.dwMinorVersion == 0 ? 1 : 2;
}

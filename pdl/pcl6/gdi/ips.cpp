#include <windows.h>
#include <strsafe.h>

#include <mutex>

#include "pcl6/gdi/ips.h"
#include "pcl6/gdi/module.h"
#include "pcl6/intrface/rendutil.h"

namespace {

IpsBinding gIps = {};
// PDEVs of several threads may start their sessions at once.
std::mutex gIpsLock;

template <class F>
F Bind(HMODULE library, LPCSTR name) {
    return reinterpret_cast<F>(GetProcAddress(library, name));
}

}  // namespace

BOOL Ips_Load() {
    std::lock_guard lock(gIpsLock);
    if (!gIps.Library) {
        WCHAR folder[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(Tamrend_Module(), folder, MAX_PATH);
        if (!length || length >= MAX_PATH) return FALSE;
        Util_CutFileName(folder, FALSE);  // keeps the last "\"
        WCHAR path[MAX_PATH];
        if (FAILED(StringCchPrintfW(path, MAX_PATH, u"%s%s", folder, IPS_LIBRARY_NAME))) return FALSE;
        HMODULE library = LoadLibraryW(path);
        if (!library) return FALSE;
        gIps.Library = library;
    }
    gIps.ColorAdjustmentN = Bind<PFN_ColorAdjustmentN>(gIps.Library, "ColorAdjustmentN");
    gIps.GrayAdjustmentN = Bind<PFN_GrayAdjustmentN>(gIps.Library, "GrayAdjustmentN");
    gIps.GrayAdjustmentTRC = Bind<PFN_GrayAdjustmentTRC>(gIps.Library, "GrayAdjustmentTRC");
    gIps.StartRGBProfile = Bind<PFN_StartRGBProfile>(gIps.Library, "StartRGBProfile");
    gIps.ApplyRGBProfile = Bind<PFN_ApplyRGBProfile>(gIps.Library, "ApplyRGBProfile");
    gIps.EndRGBProfile = Bind<PFN_EndRGBProfile>(gIps.Library, "EndRGBProfile");
    return TRUE;
}

const IpsBinding& Ips_Binding() { return gIps; }

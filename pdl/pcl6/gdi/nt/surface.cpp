// The device surface: the engine draws on it through the hooked callbacks.
// The PDEV is the surface's own handle.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/nt/devcaps.h"
#include "pcl6/gdi/pdev.h"

namespace {

// The drawing calls the driver takes over.
constexpr FLONG kHooks = HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_TEXTOUT | HOOK_STROKEPATH | HOOK_FILLPATH |
                         HOOK_STROKEANDFILLPATH | HOOK_COPYBITS | HOOK_TRANSPARENTBLT | HOOK_GRADIENTFILL;
static_assert(kHooks == 0x284EB);

}  // namespace

HSURF APIENTRY DrvEnableSurface(DHPDEV dhpdev) {
    PDEV* pdev = AsPdev(dhpdev);
    if (!Job_CheckPdev(pdev, FALSE, PDEVCALL_ENABLESURFACE)) return nullptr;
    HSURF surface = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(pdev), Enable_PrintableSize(pdev), BMF_24BPP);
    if (!surface) return nullptr;
    pdev->Surface = surface;
    EngAssociateSurface(surface, pdev->Hdev, kHooks);
    return surface;
}

VOID APIENTRY DrvDisableSurface(DHPDEV dhpdev) {
    PDEV* pdev = AsPdev(dhpdev);
    if (!Job_CheckPdev(pdev, FALSE, PDEVCALL_DISABLESURFACE) || !pdev->Surface) return;
    EngDeleteSurface(pdev->Surface);
    pdev->Surface = nullptr;
}

// The drawing callbacks' common checks (nt/drawcheck.h).
#include "pcl6/gdi/nt/drawcheck.h"

#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"

DrawCheck Ddi_CheckDrawing(PDEV* pdev, int callType, int objectKind, INT32 outputBit) {
    if (!Job_CheckPdev(pdev, TRUE, callType)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return DrawCheck::Fail;
    }
    if (!(pdev->Job.JobFlags & JOBF_PAGE_OPEN) || Job_IsOutputError(pdev)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return DrawCheck::Fail;
    }
    pdev->Job.Gstate.ObjectKind = objectKind;
    if (!(Job_Settings(pdev).priv.OutputMask & outputBit)) return DrawCheck::Skip;
    if (Gx_SkipByRange(pdev)) return DrawCheck::Skip;
    return DrawCheck::Draw;
}

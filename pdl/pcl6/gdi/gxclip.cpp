// The clip of a drawing call from the engine's clip object. Every drawing
// callback clips through here: paths, text and blits.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/path.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"

BOOL Gx_SetClipObj(PDEV* pdev, CLIPOBJ* clip, const RECTL*) {
    if (!pdev) return FALSE;
    if (!clip || clip->iDComplexity == DC_TRIVIAL) return Gx_SetClipRect(pdev, nullptr);
    if (clip->iDComplexity != DC_COMPLEX) return Gx_SetClipRect(pdev, &clip->rclBounds);

    GraphicsStateCache& gs = pdev->Job.Gstate;
    // An iUniq of 0 names no clip in particular: it is always sent.
    if (clip->iUniq && gs.ComplexClip == clip->iUniq) return TRUE;
    PATHOBJ* outline = CLIPOBJ_ppoGetPath(clip);
    if (!outline) {
        // Without its outline the clip is at least its bounds.
        Dbg_Assert(pdev, "gx", __LINE__);
        return Gx_SetClipRect(pdev, &clip->rclBounds);
    }
    // The clip in force is no longer a rectangle: the next one is written.
    gs.ClipBoxValid = FALSE;
    gs.ComplexClip = 0;
    ++gs.ClipChanges;
    BOOL result = TRUE;
    if (!gs.NoClip) {
        Gx_SetClipMode(pdev, TRUE);
        Pxl_NewPath(pdev);
        if (Path_Write(pdev, outline, nullptr)) {
            Pxl_WriteAttr(pdev, PXL_CLIP_REGION_INTERIOR, PXL_ATTR_CLIP_REGION, PXL_TYPE_UBYTE);
            result = Pxl_WriteOperator(pdev, PXL_OP_SET_CLIP_REPLACE);
            if (result) gs.ComplexClip = clip->iUniq;
        } else {
            Dbg_Assert(pdev, "gx", __LINE__);
            result = !(pdev->Job.JobFlags & JOBF_OUTPUT_ERROR);
        }
    }
    EngDeletePath(outline);
    return result;
}

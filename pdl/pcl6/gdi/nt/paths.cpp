// Paths: lines, curves and filled shapes on the device surface, as PCL XL
// paths painted with the pen and brush of the call.
//
// Each callback first checks that a page is open and the PDEV is sound,
// then sets the raster operation of the mix, the pen and brush, the clip
// around the path, and writes NewPath, the path and PaintPath. A geometric
// (wide) line is refused: the engine widens it and fills the outline
// through DrvFillPath.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/nt/drawcheck.h"
#include "pcl6/gdi/path.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"

namespace {

// The settings' output-mask bit of paths.
constexpr INT32 kOutputPaths = 0x4;
// The raster operations a stroke treats apart: leave the destination, and
// invert it (printed as DPo, the destination ORed with the pen).
constexpr BYTE kRopLeave = 0xAA;
constexpr BYTE kRopInvert = 0x55;
constexpr BYTE kRopInvertPrinted = 0x7F;

// The checks every path callback makes (nt/drawcheck.h); nothing is
// drawn when the settings switch paths off.
DrawCheck CheckCall(PDEV* pdev, int callType) {
    return Ddi_CheckDrawing(pdev, callType, GX_OBJECT_VECTOR, kOutputPaths);
}


// The path's bounds in whole pixels; `extra` is added to the right and
// bottom edges before they are shifted.
RECTL PathBounds(PATHOBJ* path, LONG extra) {
    RECTFX fx{};
    PATHOBJ_vGetBounds(path, &fx);
    return RECTL{fx.xLeft >> 4, fx.yTop >> 4, (fx.xRight + extra) >> 4, (fx.yBottom + extra) >> 4};
}

// NewPath, the path, and PaintPath when the path has a segment (a path of
// bare start points paints nothing); the debug outline of a rectangle clip.
enum class Painted { Yes, Empty, Failed };
Painted WriteAndPaint(PDEV* pdev, PATHOBJ* path, CLIPOBJ* clip, const RECTL& bounds, bool alwaysPaint) {
    BOOL segments = FALSE;
    Pxl_NewPath(pdev);
    if (!Path_Write(pdev, path, &segments)) return Painted::Failed;
    if (!segments && !alwaysPaint) return Painted::Empty;
    Pxl_WriteOperator(pdev, PXL_OP_PAINT_PATH);
    if (clip && clip->iDComplexity == DC_RECT) Gx_DrawDebugOutline(pdev, GX_OUTLINE_GREEN, &bounds);
    return Painted::Yes;
}

// The result of a drawing call that wrote: FALSE once the job's output failed.
BOOL Written(PDEV* pdev) {
    if (!Job_IsOutputError(pdev)) return TRUE;
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
}

}  // namespace

BOOL APIENTRY DrvStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ*, BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                            LINEATTRS* plineattrs, MIX mix) {
    PDEV* pdev = SurfacePdev(pso);
    const DrawCheck prelude = CheckCall(pdev, PDEVCALL_STROKEPATH);
    if (prelude != DrawCheck::Draw) return prelude == DrawCheck::Skip;
    if (!ppo || !plineattrs) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    BYTE rop = Path_MixToRop3(mix);
    if (rop == kRopLeave) return TRUE;
    // Inverting prints the pen over the page; a pen that is not black is
    // replaced by a black one.
    bool blackPen = false;
    if (rop == kRopInvert) {
        rop = kRopInvertPrinted;
        blackPen = !pbo || pbo->iSolidColor != 0;
    }
    if (!Pen_SetLineAttributes(pdev, plineattrs)) return FALSE;
    const int transfer = Path_MixTransfer(mix);
    Gx_SetRopAndModes(pdev, rop, transfer, transfer, GX_TREATMENT_FILL);
    if (blackPen)
        Gx_SetPenColor(pdev, RGB(0, 0, 0));
    else if (!Brush_Select(pdev, pbo, pptlBrushOrg, FALSE))
        return FALSE;
    Gx_SetNullBrush(pdev);

    const RECTL bounds = PathBounds(ppo, 16);
    Gx_SetClipObj(pdev, pco, &bounds);
    if (WriteAndPaint(pdev, ppo, pco, bounds, false) == Painted::Failed) return FALSE;
    return Written(pdev);
}

BOOL APIENTRY DrvFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix,
                          FLONG flOptions) {
    PDEV* pdev = SurfacePdev(pso);
    const DrawCheck prelude = CheckCall(pdev, PDEVCALL_FILLPATH);
    if (prelude != DrawCheck::Draw) return prelude == DrawCheck::Skip;
    if (!ppo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    const RECTL bounds = PathBounds(ppo, 1 << 4);
    Gx_SetClipObj(pdev, pco, &bounds);
    const int transfer = Path_MixTransfer(mix);
    Gx_SetRopAndModes(pdev, Path_MixToRop3(mix), transfer, transfer, GX_TREATMENT_FILL);
    Gx_SetFillMode(pdev, flOptions != FP_WINDINGMODE);
    Gx_SetNullPen(pdev);
    if (!Brush_Select(pdev, pbo, pptlBrushOrg, TRUE)) return FALSE;

    if (WriteAndPaint(pdev, ppo, pco, bounds, true) == Painted::Failed) {
        Dbg_Assert(pdev, "paths", __LINE__);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Written(pdev);
}

BOOL APIENTRY DrvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ*, BRUSHOBJ* pboStroke,
                                   LINEATTRS* plineattrs, BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                   FLONG flOptions) {
    PDEV* pdev = SurfacePdev(pso);
    const DrawCheck prelude = CheckCall(pdev, PDEVCALL_STROKEANDFILLPATH);
    if (prelude != DrawCheck::Draw) return prelude == DrawCheck::Skip;
    if (!ppo || !plineattrs) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    if (!Pen_SetLineAttributes(pdev, plineattrs)) return FALSE;
    const int transfer = Path_MixTransfer(mixFill);
    Gx_SetRopAndModes(pdev, Path_MixToRop3(mixFill), transfer, transfer, GX_TREATMENT_FILL);
    Gx_SetFillMode(pdev, flOptions != FP_WINDINGMODE);
    if (!Brush_Select(pdev, pboStroke, pptlBrushOrg, FALSE)) return FALSE;
    if (!Brush_Select(pdev, pboFill, pptlBrushOrg, TRUE)) return FALSE;

    const RECTL bounds = PathBounds(ppo, 1 << 4);
    Gx_SetClipObj(pdev, pco, &bounds);
    if (WriteAndPaint(pdev, ppo, pco, bounds, true) == Painted::Failed) {
        Dbg_Assert(pdev, "paths", __LINE__);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Written(pdev);
}

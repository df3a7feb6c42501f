// Text: strings on the device surface and the engine's font queries.
//
// DrvTextOut prints a string's glyphs as PCL XL Text operators in a font
// the printer holds: a downloaded TrueType outline font, a downloaded
// bitmap font or a printer-resident font (Txt_SelectFont), each batch of
// glyphs from the cursor at its first glyph with the advances between the
// glyphs the engine placed. The engine is told of no device fonts, so it
// has no device font to query.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/nt/textfont.h"
#include "pcl6/gdi/path.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/text.h"

namespace {

// The settings' output-mask bit of text.
constexpr INT32 kOutputText = 0x2;
// Raster operations of the parts of a string: the
// opaque box (the brush copied), the glyphs (painted over the page) and the
// underline and strike-out bars.
constexpr int kRopOpaque = 240;
constexpr int kRopGlyphs = 252;


// The string's characters for a batch of glyphs: the characters it was made
// from, or the glyph handles of a string of glyph indexes.
const WCHAR* BatchCodes(STROBJ* string, ULONG first, ULONG count, const GLYPHPOS* glyphs, WCHAR* scratch) {
    if (string->pwszOrg && !(string->flAccel & SO_GLYPHINDEX_TEXTOUT)) return string->pwszOrg + first;
    for (ULONG i = 0; i < count; ++i) scratch[i] = WCHAR(glyphs[i].hg);
    return scratch;
}

// SetCursor at the batch's first glyph and its Text operators. A glyph the
// font cache lost is printed again from this batch on in a bitmap font.
BOOL WriteBatch(PDEV* pdev, STROBJ* string, FONTOBJ* font, ULONG first, ULONG count, GLYPHPOS* glyphs) {
    WCHAR scratch[TEXT_CHUNK_GLYPHS];
    GraphicsStateCache& gs = pdev->Job.Gstate;
    if (gs.TextLog) Dbg_TextLogNewLine(pdev, gs.DebugFile, glyphs[0].ptl.x, glyphs[0].ptl.y);
    // A batch is at most what STROBJ_bEnum gives at once; a longer whole
    // string is taken in pieces of the scratch's size.
    for (ULONG done = 0; done < count;) {
        const ULONG n = count - done < TEXT_CHUNK_GLYPHS ? count - done : TEXT_CHUNK_GLYPHS;
        const WCHAR* codes = BatchCodes(string, first + done, n, glyphs + done, scratch);
        Pxl_SetCursor(pdev, glyphs[done].ptl.x, glyphs[done].ptl.y);
        BOOL written = Pxl_WriteText(pdev, font, n, glyphs + done, codes, string, string->ulCharInc);
        if (written == TXT_MISSING) {
            Dbg_Assert(pdev, "textout", __LINE__);
            if (!Txt_SelectFont(pdev, font, string, TRUE)) return FALSE;
            Pxl_SetCursor(pdev, glyphs[done].ptl.x, glyphs[done].ptl.y);
            written = Pxl_WriteText(pdev, font, n, glyphs + done, codes, string, string->ulCharInc);
        }
        if (written != TRUE) return FALSE;
        done += n;
    }
    return TRUE;
}

}  // namespace

BOOL APIENTRY DrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                         BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    if (!pso || !pstro || !pfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PDEV* pdev = SurfacePdev(pso);
    if (!Job_CheckPdev(pdev, TRUE, PDEVCALL_TEXTOUT)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!(pdev->Job.JobFlags & JOBF_PAGE_OPEN) || Job_IsOutputError(pdev)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(Job_Settings(pdev).priv.OutputMask & kOutputText)) return TRUE;
    if (Gx_SkipByRange(pdev)) return TRUE;
    if (pstro->cGlyphs == 0 && !prclOpaque) return TRUE;

    pdev->Job.Gstate.ObjectKind = GX_OBJECT_TEXT;
    TextState& text = pdev->Job.Text;
    text.TextFlags = 0;
    if (pfo->flFontType & FO_DBCS_FONT) text.TextFlags |= TEXTF_DOUBLE_BYTE;
    if (pstro->cGlyphs) text.TextFlags |= TEXTF_UTF16;
    text.CodePage = STROBJ_dwGetCodePage(pstro);
    if (!text.CodePage) {
        USHORT oem = 0, ansi = 0;
        EngGetCurrentCodePage(&oem, &ansi);
        text.CodePage = ansi;
    }

    if (pstro->cGlyphs && !Txt_SelectFont(pdev, pfo, pstro, FALSE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    RECTL bounds = pstro->rclBkGround;
    if (prclOpaque) {
        bounds.left = bounds.left < prclOpaque->left ? bounds.left : prclOpaque->left;
        bounds.top = bounds.top < prclOpaque->top ? bounds.top : prclOpaque->top;
        bounds.right = bounds.right > prclOpaque->right ? bounds.right : prclOpaque->right;
        bounds.bottom = bounds.bottom > prclOpaque->bottom ? bounds.bottom : prclOpaque->bottom;
    }
    Txt_SetClip(pdev, pco, &bounds);

    if (prclOpaque && pboOpaque) {
        Gx_SetNullPen(pdev);
        Gx_SetRopAndModes(pdev, kRopOpaque, GX_TX_OPAQUE, GX_TX_OPAQUE, GX_TREATMENT_FILL);
        if (!Brush_Select(pdev, pboOpaque, pptlOrg, TRUE)) return FALSE;
        Gx_FillRect(pdev, prclOpaque);
    }

    if (pstro->cGlyphs) {
        Gx_SetRopAndModes(pdev, kRopGlyphs, GX_TX_OPAQUE, GX_TX_OPAQUE, GX_TREATMENT_GLYPHS);
        if (!Brush_Select(pdev, pboFore, pptlOrg, TRUE)) return FALSE;
        if (pstro->pgp) {
            if (!WriteBatch(pdev, pstro, pfo, 0, pstro->cGlyphs, pstro->pgp)) return FALSE;
        } else {
            STROBJ_vEnumStart(pstro);
            ULONG first = 0;
            BOOL more = TRUE;
            while (more) {
                ULONG count = 0;
                GLYPHPOS* glyphs = nullptr;
                more = STROBJ_bEnum(pstro, &count, &glyphs);
                if (count && glyphs && !WriteBatch(pdev, pstro, pfo, first, count, glyphs)) return FALSE;
                first += count;
            }
        }
    }

    if (prclExtra) {
        BOOL selected = FALSE;
        for (const RECTL* bar = prclExtra; bar->left || bar->top || bar->right || bar->bottom; ++bar) {
            if (!selected) {
                Gx_SetNullPen(pdev);
                const int transfer = Path_MixTransfer(mix);
                Gx_SetRopAndModes(pdev, Path_MixToRop3(mix), transfer, transfer, GX_TREATMENT_FILL);
                if (!Brush_Select(pdev, pboFore, pptlOrg, TRUE)) return FALSE;
                selected = TRUE;
            }
            Gx_FillRect(pdev, bar);
        }
    }

    if (pco && pco->iDComplexity == DC_RECT) Gx_DrawDebugOutline(pdev, GX_OUTLINE_BLUE, &pco->rclBounds);
    if (Job_IsOutputError(pdev)) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return TRUE;
}

PIFIMETRICS APIENTRY DrvQueryFont(DHPDEV dhpdev, ULONG_PTR, ULONG iFace, ULONG_PTR* pid) {
    if (pid) *pid = 0;
    PDEV* pdev = AsPdev(dhpdev);
    if (!Job_CheckPdev(pdev, FALSE, PDEVCALL_QUERYFONT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ++pdev->Job.Text.FontQueries;
    const ULONG fonts = pdev->DeviceFonts.Resident + pdev->DeviceFonts.Downloadable;
    // Face 0 asks how many faces there are.
    if (iFace == 0) return reinterpret_cast<PIFIMETRICS>(ULONG_PTR(fonts));
    // The engine is told of no device fonts: no face has metrics here.
    Dbg_Assert(pdev, "textout", __LINE__);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

// Glyphs are asked for by handle, for every font; no PDEV is needed.
ULONG APIENTRY DrvGetGlyphMode(DHPDEV, FONTOBJ*) { return 1; }

BOOL APIENTRY DrvQueryAdvanceWidths(DHPDEV dhpdev, FONTOBJ* pfo, ULONG iMode, HGLYPH* phg, PVOID pvWidths,
                                    ULONG cGlyphs) {
    PDEV* pdev = AsPdev(dhpdev);
    if (iMode != QAW_GETWIDTHS && iMode != QAW_GETEASYWIDTHS) {
        char report[32];
        wsprintfA(report, "Invalid iMode: %d\n", int(iMode));
        OutputDebugStringA(report);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (cGlyphs == 0) return TRUE;
    XFORMOBJ* xform = pfo ? FONTOBJ_pxoGetXform(pfo) : nullptr;
    POINTL unit = {4096, 0}, device{};
    if (!xform || !XFORMOBJ_bApplyXform(xform, XF_LTOL, 1, &unit, &device)) {
        Dbg_Assert(pdev, "textout", __LINE__);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The widths of a device font's glyphs: the engine is told of no device
    // fonts, so there is no table to read them from.
    (void)phg;
    (void)pvWidths;
    Dbg_Assert(pdev, "textout", __LINE__);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

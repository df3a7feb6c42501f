// The graphics state and the diagnostic aids of the drawing code.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/ntcolor.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/rendutil.h"

namespace {

// The vendor-unique command that hands colour treatment to the printer.
constexpr DWORD kColorTreatmentCommand = 0x68702002;

// The raster operations of the user interface's watermark, alternated over
// the fills of all PDEVs when the alternate pattern is on.
constexpr int kRopSource = 240;
constexpr int kRopAlternateEven = 160;
constexpr int kRopAlternateOdd = 250;
int gAlternateCounter = 0;

constexpr double kUnsetCharValue = 1.2345;

GraphicsStateCache& State(PDEV* pdev) { return pdev->Job.Gstate; }

// Whether the settings' level triples ask to adjust the colour: the
// all-objects triple in all-objects mode, else the text or vector triple.
// A brush colour too dark to show a change, or pure white, stays as it is.
bool AdjustmentApplies(const PDEV* pdev, BYTE r, BYTE g, BYTE b, bool brush) {
    bool levels = false;
    if (Settings_ColorAllObjectsMode(pdev) == 1) {
        for (int k = 0; k < 3; ++k) levels |= Settings_ColorLevel(pdev, SETTINGS_ALL_OBJECTS_TRIPLE, k) != 0;
    } else {
        for (int t = 0; t < 2; ++t)
            for (int k = 0; k < 3; ++k) levels |= Settings_ColorLevel(pdev, t, k) != 0;
    }
    if (!levels) return false;
    if (brush) {
        const int luminance = 74 * r + 155 * g + 27 * b;
        if (luminance < 256 || luminance == 255 * 256) return false;
    }
    return true;
}

BOOL SetSourceColor(PDEV* pdev, COLORREF color, bool brush) {
    GraphicsStateCache& gs = State(pdev);
    bool forced = Gx_SetColorSpace(pdev, GX_SPACE_JOB) != FALSE;
    if (brush && gs.BrushKind == GX_BRUSH_NULL) forced = true;

    BYTE r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    if (AdjustmentApplies(pdev, r, g, b, brush)) Color_AdjustRgb(pdev, &r, &g, &b);

    INT32& slot = brush ? gs.BrushColor : gs.PenColor;
    const BYTE source = brush ? PXL_OP_SET_BRUSH_SOURCE : PXL_OP_SET_PEN_SOURCE;
    const UINT32 flags = pdev->Job.JobFlags;
    INT32 sent;
    BOOL result;
    switch (Settings_ColorSpace(pdev)) {
        case GX_SPACE_GREY: {
            BYTE level = r;
            Color_AdjustGray(pdev, &level);
            // Black conversion: text or vector greys print black, except in
            // the user interface's watermark and recorded page parts.
            const int kind = gs.ObjectKind;
            if (kind != GX_OBJECT_IMAGE && !(flags & (JOBF_UI_DRAWING | JOBF_RECORDING_PART)) && level != 0 &&
                level != 255) {
                const int conversion = Settings_BlackConversion(pdev);
                if (conversion == kind + 1 || conversion == 3) level = 0;
            }
            if (!forced && slot == level) return TRUE;
            Pxl_WriteAttr(pdev, level, PXL_ATTR_GRAY_LEVEL, PXL_TYPE_UBYTE);
            result = Pxl_WriteOperator(pdev, source);
            sent = level;
            break;
        }
        case GX_SPACE_RGB: {
            const COLORREF adjusted = RGB(r, g, b);
            if (!forced && !(brush && (flags & JOBF_RECORDING_PART)) && slot == INT32(adjusted)) return TRUE;
            Pxl_WriteRgbColor(pdev, adjusted);
            result = Pxl_WriteOperator(pdev, source);
            sent = INT32(adjusted);
            break;
        }
        default: Dbg_Assert(pdev, "gx", __LINE__); return FALSE;
    }
    slot = sent;
    ++gs.ColorChanges;
    if (brush)
        gs.BrushKind = GX_BRUSH_COLOR;
    else
        gs.PenKind = 0;
    return result;
}

// The written transfer mode of a caller's mode.
BOOL SetTransferMode(PDEV* pdev, BYTE& slot, int mode, BYTE op) {
    if (slot == mode) return TRUE;
    if (mode != GX_TX_OPAQUE && mode != GX_TX_TRANSPARENT) Dbg_Assert(pdev, "gx", __LINE__);
    Pxl_WriteAttr(pdev, mode == GX_TX_OPAQUE ? 0 : 1, PXL_ATTR_TX_MODE, PXL_TYPE_UBYTE);
    slot = BYTE(mode);
    return Pxl_WriteOperator(pdev, op);
}

BOOL SetModeSlot(PDEV* pdev, BYTE& slot, BOOL evenOdd, BYTE attribute, BYTE op) {
    const BYTE mode = evenOdd ? 1 : 0;
    if (slot == mode) return TRUE;
    slot = mode;
    Pxl_WriteAttr(pdev, mode, attribute, PXL_TYPE_UBYTE);
    return Pxl_WriteOperator(pdev, op);
}

// The watermark's raster operation when the alternate pattern is on: the
// fills alternate between two operations, the odd ones also transparent.
int AlternateRop(int& sourceMode, int& paintMode) {
    const int counter = gAlternateCounter;
    gAlternateCounter = counter == 3 ? 0 : counter + 1;
    if (counter % 2 == 0) return kRopAlternateEven;
    sourceMode = paintMode = GX_TX_TRANSPARENT;
    return kRopAlternateOdd;
}

}  // namespace

void Gx_ResetCache(PDEV* pdev) {
    if (!pdev) return;
    GraphicsStateCache& gs = State(pdev);
    gs.BrushKind = 0xFFFF;
    gs.PenKind = -1;
    gs.BrushColor = -1;
    gs.PenColor = -1;
    gs.ColorSpace = 0;
    gs.PenWidth = 1;
    gs.Rop3 = 0;
    gs.SourceTransfer = gs.PaintTransfer = 255;
    gs.FillMode = gs.ClipMode = 255;
    gs.ClipBox = {1, 1, 0, 0};
    gs.ClipBoxValid = TRUE;
    gs.CharAngle = -1;
    // A new page starts with the printer's default scale of (1, 1).
    gs.CharScale = 1.0;
    gs.CharScaleInteger = FALSE;
    gs.CharShearX = gs.CharShearY = kUnsetCharValue;
    gs.CharBoldValue = kUnsetCharValue;
    // A dash pattern may not have survived the reset: the next line sends
    // its dash style again. Patterns and complex clips are sent again too.
    if (gs.DashStyle != 0) gs.DashStyle = -1;
    gs.BrushPattern = gs.PenPattern = 0;
    gs.ComplexClip = 0;
    // No font is selected on a new page: the next string selects its own.
    pdev->Job.Text.FontNumber = 0;
    pdev->Job.Text.CharSize = 0;
}

BOOL Gx_SetNullBrush(PDEV* pdev) {
    if (!pdev) return FALSE;
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_NULL_BRUSH, PXL_TYPE_UBYTE);
    State(pdev).BrushColor = -1;
    State(pdev).BrushKind = GX_BRUSH_NULL;
    return Pxl_WriteOperator(pdev, PXL_OP_SET_BRUSH_SOURCE);
}

BOOL Gx_SetNullPen(PDEV* pdev) {
    if (!pdev) return FALSE;
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_NULL_PEN, PXL_TYPE_UBYTE);
    State(pdev).PenColor = -1;
    State(pdev).PenKind = GX_PEN_NULL;
    return Pxl_WriteOperator(pdev, PXL_OP_SET_PEN_SOURCE);
}

BOOL Gx_SetColorSpace(PDEV* pdev, int space) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    const bool explicitSpace = space != GX_SPACE_JOB;
    if (!explicitSpace) space = Settings_ColorSpace(pdev);
    switch (space) {
        case GX_SPACE_GREY:
        case GX_SPACE_RGB:
            if (!explicitSpace && gs.ColorSpace == space) return FALSE;
            Pxl_WriteAttr(pdev, space, PXL_ATTR_COLOR_SPACE, PXL_TYPE_UBYTE);
            break;
        case GX_SPACE_PALETTE:
        case GX_SPACE_PALETTE_256:
        case GX_SPACE_PALETTE_16:
        case GX_SPACE_PALETTE_2: {
            const BYTE paletteData[2] = {PXL_TAG_ATTR_UBYTE, PXL_ATTR_PALETTE_DATA};
            Spool_Write(pdev, paletteData, sizeof(paletteData));
            break;
        }
        default: Dbg_Assert(pdev, "gx", __LINE__); return FALSE;
    }
    gs.ColorSpace = space;
    // Patterns are selected within a colour space: a new one selects them again.
    gs.BrushPattern = gs.PenPattern = 0;
    Pxl_WriteOperator(pdev, PXL_OP_SET_COLOR_SPACE);
    return TRUE;
}

BOOL Gx_SetPenColor(PDEV* pdev, COLORREF color) { return pdev ? SetSourceColor(pdev, color, false) : FALSE; }

BOOL Gx_SetBrushColor(PDEV* pdev, COLORREF color) { return pdev ? SetSourceColor(pdev, color, true) : FALSE; }

BOOL Gx_SetLineDash(PDEV* pdev, int style) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    if (style == gs.DashStyle) return FALSE;
    const int unit = Settings_UnitsPerInch(pdev);
    const BYTE a = BYTE(unit / 10), b = BYTE(unit / 20), c = BYTE(unit / 40);
    BYTE dashes[6];
    DWORD count = 0;
    switch (style) {
        case 0:
            Pxl_WriteAttr(pdev, 0, PXL_ATTR_SOLID_LINE, PXL_TYPE_UBYTE);
            Pxl_WriteOperator(pdev, PXL_OP_SET_LINE_DASH);
            gs.DashStyle = style;
            return TRUE;
        case 1: dashes[0] = a, dashes[1] = b, count = 2; break;
        case 2: dashes[0] = c, dashes[1] = b, count = 2; break;
        case 3: dashes[0] = c, dashes[1] = b, dashes[2] = a, dashes[3] = b, count = 4; break;
        case 4:
            dashes[0] = a, dashes[1] = b, dashes[2] = c, dashes[3] = b, dashes[4] = c, dashes[5] = b, count = 6;
            break;
        case 6:
        case 7: return FALSE;  // styles the printer draws no dashes for
        default: Dbg_Assert(pdev, "gx", __LINE__); return FALSE;
    }
    Pxl_WriteArrayHeader(pdev, PXL_TAG_UBYTE_ARRAY, count);
    Spool_Write(pdev, dashes, count);
    const BYTE attribute[2] = {PXL_TAG_ATTR_UBYTE, PXL_ATTR_LINE_DASH_STYLE};
    Spool_Write(pdev, attribute, sizeof(attribute));
    Pxl_WriteOperator(pdev, PXL_OP_SET_LINE_DASH);
    gs.DashStyle = style;
    return TRUE;
}

BOOL Gx_SetPenWidth(PDEV* pdev, int width) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    const bool dashWritten = Gx_SetLineDash(pdev, 0) != FALSE;
    if (!dashWritten && gs.PenWidth == width) return TRUE;
    gs.PenWidth = width;
    Pxl_WriteAttr(pdev, width, PXL_ATTR_PEN_WIDTH, PXL_TYPE_UINT16);
    return Pxl_WriteOperator(pdev, PXL_OP_SET_PEN_WIDTH);
}

BOOL Gx_SetRopAndModes(PDEV* pdev, int rop3, int sourceMode, int paintMode, int treatment) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    const UINT32 flags = pdev->Job.JobFlags;
    if ((flags & JOBF_UI_DRAWING) && (treatment == 1 || treatment == 3)) {
        rop3 = gs.AlternatePattern ? AlternateRop(sourceMode, paintMode) : kRopSource;
    }
    if ((flags & JOBF_RECORDING_PART) && treatment == 3) rop3 = kRopSource;
    BOOL result = TRUE;
    if (gs.Rop3 != BYTE(rop3)) {
        gs.Rop3 = BYTE(rop3);
        Pxl_WriteAttr(pdev, rop3, PXL_ATTR_ROP3, PXL_TYPE_UBYTE);
        result = Pxl_WriteOperator(pdev, PXL_OP_SET_ROP);
    }
    if (!SetTransferMode(pdev, gs.SourceTransfer, sourceMode, PXL_OP_SET_SOURCE_TX_MODE)) result = FALSE;
    if (!SetTransferMode(pdev, gs.PaintTransfer, paintMode, PXL_OP_SET_PAINT_TX_MODE)) result = FALSE;
    if (!Gx_SetColorTreatment(pdev, treatment)) result = FALSE;
    return result;
}

BOOL Gx_SetFillMode(PDEV* pdev, BOOL evenOdd) {
    return pdev ? SetModeSlot(pdev, State(pdev).FillMode, evenOdd, PXL_ATTR_FILL_MODE, PXL_OP_SET_FILL_MODE) : FALSE;
}

BOOL Gx_SetClipMode(PDEV* pdev, BOOL evenOdd) {
    return pdev ? SetModeSlot(pdev, State(pdev).ClipMode, evenOdd, PXL_ATTR_CLIP_MODE, PXL_OP_SET_CLIP_MODE) : FALSE;
}

BOOL Gx_SetClipRect(PDEV* pdev, const RECTL* rect) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    const PageGeometry& page = pdev->Geometry;
    const RECTL printable = {0, 0, LONG(page.Width) - page.Left - page.Right,
                             LONG(page.Height) - page.Top - page.Bottom};
    RECTL box = printable;
    if (rect) {
        RECTL wanted = *rect;
        if (wanted.left == 2734) wanted.left = 2733;
        Util_IntersectRect(&box, &wanted, &printable);
    }
    if (gs.ClipBoxValid && std::memcmp(&gs.ClipBox, &box, sizeof(box)) == 0) return TRUE;
    BOOL result = TRUE;
    if (!gs.NoClip) result = Pxl_SetClipRect(pdev, &box);
    ++gs.ClipChanges;
    gs.ClipBox = box;
    gs.ClipBoxValid = TRUE;
    gs.ComplexClip = 0;
    return result;
}

BOOL Gx_FillRect(PDEV* pdev, const RECTL* rect) {
    if (!pdev || !rect) return FALSE;
    Pxl_SetCursor(pdev, rect->left, rect->top);
    Pxl_NewPath(pdev);
    Pxl_WriteBoundingBox(pdev, rect);
    Pxl_WriteOperator(pdev, PXL_OP_RECTANGLE_PATH);
    return Pxl_WriteOperator(pdev, PXL_OP_PAINT_PATH);
}

BOOL Gx_SetColorTreatment(PDEV* pdev, int treatment) {
    if (!pdev) return FALSE;
    if (!Settings_IsColorJob(pdev)) return TRUE;
    GraphicsStateCache& gs = State(pdev);
    if (treatment != 0 && treatment == gs.ColorTreatment) return TRUE;
    if (treatment == 0) {
        gs.ColorTreatment = 0;
        Pxl_WriteAttr(pdev, LONG(kColorTreatmentCommand), PXL_ATTR_VENDOR_COMMAND, PXL_TYPE_UINT32);
        Pxl_WriteAttr(pdev, 0, PXL_ATTR_VENDOR_ARGUMENT, PXL_TYPE_UBYTE);
        return Pxl_WriteOperator(pdev, PXL_OP_VENDOR_UNIQUE);
    }
    if (treatment >= 1 && treatment <= 3) {
        gs.ColorTreatment = BYTE(treatment);
        return TRUE;
    }
    Dbg_Assert(pdev, "gx", __LINE__);
    return FALSE;
}

BOOL Gx_SetCharAngle(PDEV* pdev, int angle) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    if (gs.CharAngle == angle) return TRUE;
    gs.CharAngle = angle;
    Pxl_WriteAttr(pdev, angle, PXL_ATTR_CHAR_ANGLE, PXL_TYPE_UINT16);
    return Pxl_WriteOperator(pdev, PXL_OP_SET_CHAR_ANGLE);
}

BOOL Gx_SetCharScale(PDEV* pdev, double scale, BOOL integerForm) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    if (integerForm) {
        if (gs.CharScaleInteger) return TRUE;
        gs.CharScale = 1.0;
        gs.CharScaleInteger = TRUE;
        Pxl_WriteAttrXY(pdev, 1, 1, PXL_ATTR_CHAR_SCALE, PXL_TYPE_UINT16_XY);
    } else {
        if (scale == gs.CharScale && !gs.CharScaleInteger) return TRUE;
        gs.CharScale = scale;
        gs.CharScaleInteger = FALSE;
        Pxl_WriteRealXYAttr(pdev, float(std::fabs(scale)), 1.0f, PXL_ATTR_CHAR_SCALE);
    }
    return Pxl_WriteOperator(pdev, PXL_OP_SET_CHAR_SCALE);
}

BOOL Gx_SetCharShear(PDEV* pdev, double sx, double sy) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    if (gs.CharShearX == sx && gs.CharShearY == sy) return TRUE;
    gs.CharShearX = sx;
    gs.CharShearY = sy;
    Pxl_WriteRealXYAttr(pdev, float(sx), float(sy), PXL_ATTR_CHAR_SHEAR);
    return Pxl_WriteOperator(pdev, PXL_OP_SET_CHAR_SHEAR);
}

BOOL Gx_SetCharBoldValue(PDEV* pdev, double value) {
    if (!pdev) return FALSE;
    GraphicsStateCache& gs = State(pdev);
    if (gs.CharBoldValue == value) return TRUE;
    gs.CharBoldValue = value;
    Pxl_WriteRealAttr(pdev, float(value), PXL_ATTR_CHAR_BOLD_VALUE);
    return Pxl_WriteOperator(pdev, PXL_OP_SET_CHAR_BOLD_VALUE);
}

void Gx_DrawDebugOutline(PDEV* pdev, int objectType, const RECTL* rect) {
    if (!pdev || !rect || objectType < 0 || objectType > 31) return;
    if (!(Job_Settings(pdev).priv.OutputMask & (1 << objectType))) return;
    COLORREF color;
    switch (objectType) {
        case GX_OUTLINE_BLUE: color = RGB(0, 0, 255); break;
        case GX_OUTLINE_RED: color = RGB(255, 0, 0); break;
        case GX_OUTLINE_GREEN: color = RGB(0, 255, 0); break;
        default: Dbg_Assert(pdev, "gx", __LINE__); color = RGB(128, 128, 128); break;
    }
    Gx_SetRopAndModes(pdev, 252, GX_TX_OPAQUE, GX_TX_OPAQUE, 3);
    Gx_SetNullBrush(pdev);
    Gx_SetLineDash(pdev, 0);
    Gx_SetPenColor(pdev, color);
    Gx_SetPenWidth(pdev, 2);
    Gx_FillRect(pdev, rect);
}

BOOL Gx_SkipByRange(PDEV* pdev) {
    if (!pdev) return FALSE;
    const RendPrivate& settings = Job_Settings(pdev).priv;
    const int first = settings.ObjectRangeFirst, last = settings.ObjectRangeLast;
    if (!first || !last) return FALSE;
    const INT32 object = ++State(pdev).ObjectCounter;
    return object < first || object > last;
}

void Gx_SwapRedBlue(PDEV* pdev, BYTE* out, const BYTE* in, DWORD byteCount) {
    if (!out || !in) return;
    if (byteCount % 3) Dbg_Assert(pdev, "gx", __LINE__);
    for (DWORD i = 0; i + 3 <= byteCount; i += 3) {
        const BYTE red = in[i], green = in[i + 1], blue = in[i + 2];
        out[i] = blue;
        out[i + 1] = green;
        out[i + 2] = red;
    }
}

void Gx_FlipBitmap(BYTE* bits, LONG width, LONG height) {
    if (!bits || width <= 0 || height <= 1) return;
    const size_t row = size_t((width + 31) / 32) * 4;
    for (LONG i = 0; i < height / 2; ++i) {
        BYTE* top = bits + row * size_t(i);
        BYTE* bottom = bits + row * size_t(height - 1 - i);
        for (size_t k = 0; k < row; ++k) std::swap(top[k], bottom[k]);
    }
}

BOOL Dbg_WriteFile(PDEV*, HANDLE file, const void* bytes, DWORD count) {
    if (!file || file == INVALID_HANDLE_VALUE || !bytes) return FALSE;
    DWORD written = 0;
    return WriteFile(file, bytes, count, &written, nullptr);
}

void Dbg_CloseFile(PDEV* pdev, HANDLE file) {
    if (!file || file == INVALID_HANDLE_VALUE) return;
    CloseHandle(file);
    if (pdev && State(pdev).DebugFile == file) State(pdev).DebugFile = nullptr;
}

void Dbg_TextLogNewLine(PDEV* pdev, HANDLE file, LONG x, LONG y) {
    if (!pdev) return;
    GraphicsStateCache& gs = State(pdev);
    if (gs.BaselineKnown) {
        const double size = pdev->Job.Text.CharSize;
        const double rise = double(gs.BaselineY) - y;
        if (rise > 0.8 * size || -rise > 0.2 * size) Dbg_WriteFile(pdev, file, "\r\n", 2);
    }
    gs.BaselineKnown = TRUE;
    gs.BaselineX = x;
    gs.BaselineY = y;
}

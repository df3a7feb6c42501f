// Paths: the path writer, the pen of the line attributes and the raster
// operations of mixes (path.h has the model).
#include <windows.h>
#include <winddi.h>

#include <cstring>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/path.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/util.h"

namespace {

// ROP3 by the low 4 bits of a ROP2 (R2_BLACK 1 .. R2_WHITE 16, which wraps
// to 0).
constexpr BYTE kMixToRop3[16] = {0xFF, 0x00, 0x05, 0x0A, 0x0F, 0x50, 0x55, 0x5A,
                                 0x5F, 0xA0, 0xA5, 0xAA, 0xAF, 0xF0, 0xF5, 0xFA};

constexpr LONG kCoordinateLimit = 32767;
// A chunk whose fixed-point coordinates reach past these is written
// absolute: its pixels lie outside -32766..32767.
constexpr LONG kFarFixHigh = 0x80000;
constexpr LONG kFarFixLow = -0x7FFE0;

LONG Clamp(LONG value) {
    return value < -kCoordinateLimit ? -kCoordinateLimit : value > kCoordinateLimit ? kCoordinateLimit : value;
}
bool FitsByte(LONG value) { return value >= -128 && value <= 127; }
bool FitsWord(LONG value) { return value >= -kCoordinateLimit && value <= kCoordinateLimit; }
// Whole pixels of a fixed-point coordinate, rounding toward minus infinity.
LONG Pixel(FIX value) { return value >> 4; }

// The runs of one fragment under construction: at most one of the two is
// pending at any time, so the points reach the stream in their order.
class RunWriter {
public:
    explicit RunWriter(PDEV* pdev)
        : pdev_(pdev), bytes_(pdev->Job.Encoder.PathByteRun), words_(pdev->Job.Encoder.PathWordRun) {}

    void StartFragment(bool bezier) { bezier_ = bezier; }
    void MoveTo(LONG x, LONG y) {
        x_ = Clamp(x);
        y_ = Clamp(y);
        if (!Pxl_SetCursor(pdev_, x_, y_)) ok_ = false;
    }

    // A line to (x, y), in the mode and packing that hold it.
    void LineTo(LONG x, LONG y) {
        const LONG dx = x - x_, dy = y - y_;
        const bool fits = FitsWord(dx) && FitsWord(dy);
        SetMode(!fits);
        if (!absolute_ && FitsByte(dx) && FitsByte(dy))
            AddBytes(dx, dy);
        else if (absolute_)
            AddWords(Clamp(x), Clamp(y));
        else
            AddWords(dx, dy);
        x_ = absolute_ ? Clamp(x) : x;
        y_ = absolute_ ? Clamp(y) : y;
    }
    // A line to (x, y) as an absolute pair, clamped.
    void AbsoluteLineTo(LONG x, LONG y) {
        SetMode(true);
        x_ = Clamp(x);
        y_ = Clamp(y);
        AddWords(x_, y_);
    }
    // A curve through three points: relative to the curve's start when all
    // six steps fit 16 bits, else absolute.
    void CurveTo(const LONG (&x)[3], const LONG (&y)[3]) {
        LONG dx[3], dy[3];
        bool fitWords = true, fitBytes = true;
        for (int k = 0; k < 3; ++k) {
            dx[k] = x[k] - x_;
            dy[k] = y[k] - y_;
            fitWords = fitWords && FitsWord(dx[k]) && FitsWord(dy[k]);
            fitBytes = fitBytes && FitsByte(dx[k]) && FitsByte(dy[k]);
        }
        SetMode(!fitWords);
        for (int k = 0; k < 3; ++k) {
            if (!absolute_ && fitBytes)
                AddBytes(dx[k], dy[k]);
            else if (absolute_)
                AddWords(Clamp(x[k]), Clamp(y[k]));
            else
                AddWords(dx[k], dy[k]);
        }
        x_ = absolute_ ? Clamp(x[2]) : x[2];
        y_ = absolute_ ? Clamp(y[2]) : y[2];
    }
    // The end of a chunk: the pending runs go out.
    void Flush() {
        FlushBytes();
        FlushWords();
    }
    bool ok() const { return ok_ && !(pdev_->Job.JobFlags & JOBF_OUTPUT_ERROR); }

private:
    BYTE Operator() const {
        if (bezier_) return absolute_ ? PXL_OP_BEZIER_PATH : PXL_OP_BEZIER_REL_PATH;
        return absolute_ ? PXL_OP_LINE_PATH : PXL_OP_LINE_REL_PATH;
    }
    // Leaving a mode writes the pending runs with its operator.
    void SetMode(bool absolute) {
        if (absolute == absolute_) return;
        Flush();
        absolute_ = absolute;
    }
    void AddBytes(LONG dx, LONG dy) {
        FlushWords();
        bytes_[2 * byteCount_] = BYTE(dx);
        bytes_[2 * byteCount_ + 1] = BYTE(dy);
        ++byteCount_;
    }
    void AddWords(LONG a, LONG b) {
        FlushBytes();
        BYTE* at = words_ + 4 * wordCount_;
        at[0] = BYTE(a);
        at[1] = BYTE(a >> 8);
        at[2] = BYTE(b);
        at[3] = BYTE(b >> 8);
        ++wordCount_;
    }
    void FlushBytes() {
        if (byteCount_) WriteRun(bytes_, byteCount_, PXL_POINT_TYPE_SBYTE, 2);
        byteCount_ = 0;
    }
    void FlushWords() {
        if (wordCount_) WriteRun(words_, wordCount_, PXL_POINT_TYPE_SINT16, 4);
        wordCount_ = 0;
    }
    void WriteRun(const BYTE* data, DWORD points, int pointType, DWORD pointBytes) {
        Pxl_WriteAttr(pdev_, LONG(points), PXL_ATTR_NUMBER_OF_POINTS, PXL_TYPE_UINT16);
        Pxl_WriteAttr(pdev_, pointType, PXL_ATTR_POINT_TYPE, PXL_TYPE_UBYTE);
        Pxl_WriteOperator(pdev_, Operator());
        Pxl_WriteDataLength(pdev_, points * pointBytes);
        if (!Spool_Write(pdev_, data, points * pointBytes)) ok_ = false;
    }

    PDEV* pdev_;
    BYTE* bytes_;
    BYTE* words_;
    DWORD byteCount_ = 0;
    DWORD wordCount_ = 0;
    bool absolute_ = false;
    bool bezier_ = false;
    bool ok_ = true;
    LONG x_ = 0, y_ = 0;  // the printer's current point
};

// Whether any point of a line chunk lies too far out for relative steps.
bool ChunkIsFar(const POINTFIX* points, ULONG count) {
    for (ULONG i = 0; i < count; ++i) {
        const POINTFIX& p = points[i];
        if (p.x >= kFarFixHigh || p.x < kFarFixLow || p.y >= kFarFixHigh || p.y < kFarFixLow) return true;
    }
    return false;
}

void WriteLines(RunWriter& runs, const POINTFIX* points, ULONG count) {
    if (ChunkIsFar(points, count)) {
        for (ULONG i = 0; i < count; ++i) runs.AbsoluteLineTo(Pixel(points[i].x), Pixel(points[i].y));
        return;
    }
    for (ULONG i = 0; i < count; ++i) runs.LineTo(Pixel(points[i].x), Pixel(points[i].y));
}

void WriteCurves(RunWriter& runs, const POINTFIX* points, ULONG count) {
    for (ULONG i = 0; i + 3 <= count; i += 3) {
        const LONG x[3] = {Pixel(points[i].x), Pixel(points[i + 1].x), Pixel(points[i + 2].x)};
        const LONG y[3] = {Pixel(points[i].y), Pixel(points[i + 1].y), Pixel(points[i + 2].y)};
        runs.CurveTo(x, y);
    }
}

BOOL EnumPathObj(void* context, PATHDATA* fragment) {
    return PATHOBJ_bEnum(static_cast<PATHOBJ*>(context), fragment);
}

}  // namespace

BYTE Path_MixToRop3(MIX mix) { return kMixToRop3[mix & 0xF]; }

int Path_MixTransfer(MIX mix) { return ((mix >> 8) & 0xFF) == R2_NOP ? GX_TX_TRANSPARENT : GX_TX_OPAQUE; }

BOOL Path_Write(PDEV* pdev, PATHOBJ* path, BOOL* segments) {
    if (segments) *segments = FALSE;
    if (!pdev || !path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PATHOBJ_vEnumStart(path);
    return Path_WriteFragments(pdev, &EnumPathObj, path, segments);
}

BOOL Path_WriteFragments(PDEV* pdev, PathEnumProc next, void* context, BOOL* segments) {
    if (segments) *segments = FALSE;
    if (!pdev || !next) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RunWriter runs(pdev);
    BOOL more;
    do {
        PATHDATA fragment{};
        more = next(context, &fragment);
        if (fragment.count == 0) continue;
        if (!fragment.pptfx) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        const POINTFIX* points = fragment.pptfx;
        ULONG remaining = fragment.count;
        if (fragment.flags & PD_BEGINSUBPATH) {
            runs.MoveTo(Pixel(points[0].x), Pixel(points[0].y));
            ++points;
            --remaining;
        }
        const bool bezier = (fragment.flags & PD_BEZIERS) != 0;
        if (bezier && remaining % 3 != 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (remaining && segments) *segments = TRUE;
        runs.StartFragment(bezier);
        while (remaining) {
            const ULONG chunk = remaining < PXL_PATH_CHUNK_POINTS ? remaining : PXL_PATH_CHUNK_POINTS;
            if (bezier)
                WriteCurves(runs, points, chunk);
            else
                WriteLines(runs, points, chunk);
            runs.Flush();
            points += chunk;
            remaining -= chunk;
        }
        if ((fragment.flags & PD_ENDSUBPATH) && (fragment.flags & PD_CLOSEFIGURE))
            Pxl_WriteOperator(pdev, PXL_OP_CLOSE_SUB_PATH);
        if (!runs.ok()) return FALSE;
    } while (more);
    return runs.ok() ? TRUE : FALSE;
}

BOOL Pen_SetLineAttributes(PDEV* pdev, const LINEATTRS* attributes) {
    if (!pdev || !attributes) return FALSE;
    if (attributes->fl & LA_GEOMETRIC) return FALSE;
    GraphicsStateCache& gs = pdev->Job.Gstate;
    int width = attributes->elWidth.l & 0xFF;
    if (width == 0) width = 1;

    gs.AlternateLine = (attributes->fl & LA_ALTERNATE) ? 1 : 0;
    if (gs.AlternateLine || !attributes->cstyle || !attributes->pstyle) {
        // A solid line (the alternate style prints solid in a lighter pen).
        return Gx_SetPenWidth(pdev, width);
    }

    // The width of a dashed line: the dash stays as it is.
    if (gs.PenWidth != width) {
        gs.PenWidth = width;
        Pxl_WriteAttr(pdev, width, PXL_ATTR_PEN_WIDTH, PXL_TYPE_UINT16);
        Pxl_WriteOperator(pdev, PXL_OP_SET_PEN_WIDTH);
    }

    // The user pattern: each style entry is a number of 1/50 inch.
    const LONG unit = LONG(Settings_UnitsPerInch(pdev) / 50);
    const ULONG count = attributes->cstyle;
    const INT32 offset = INT32(attributes->elStyleState.l * unit);
    bool same = gs.DashStyle == GX_DASH_USER && gs.DashArray && gs.DashCount == count && gs.DashOffset == offset;
    for (ULONG i = 0; same && i < count; ++i)
        same = gs.DashArray[i] == UINT16((attributes->pstyle[i].l & 0xFFFF) * unit);
    if (same) return TRUE;

    Pen_FreeDash(pdev);
    auto* dashes = static_cast<UINT16*>(Util_GlobalAlloc(nullptr, count * sizeof(UINT16)));
    if (!dashes) {
        Dbg_Assert(pdev, "pclxlnt", __LINE__);
        gs.DashStyle = -1;
        return FALSE;
    }
    bool bytes = true;
    for (ULONG i = 0; i < count; ++i) {
        dashes[i] = UINT16((attributes->pstyle[i].l & 0xFFFF) * unit);
        bytes = bytes && dashes[i] < 256;
    }
    gs.DashArray = dashes;
    gs.DashCount = count;
    gs.DashOffset = offset;

    Pxl_WriteArrayHeader(pdev, bytes ? PXL_TAG_UBYTE_ARRAY : PXL_TAG_UINT16_ARRAY, count);
    for (ULONG i = 0; i < count; ++i) {
        const BYTE value[2] = {BYTE(dashes[i]), BYTE(dashes[i] >> 8)};
        Spool_Write(pdev, value, bytes ? 1 : 2);
    }
    const BYTE attribute[2] = {PXL_TAG_ATTR_UBYTE, PXL_ATTR_LINE_DASH_STYLE};
    Spool_Write(pdev, attribute, sizeof(attribute));
    if (offset) Pxl_WriteAttr(pdev, offset, PXL_ATTR_DASH_OFFSET, PXL_TYPE_SINT16);
    gs.DashStyle = GX_DASH_USER;
    return Pxl_WriteOperator(pdev, PXL_OP_SET_LINE_DASH);
}

void Pen_FreeDash(PDEV* pdev) {
    if (!pdev) return;
    GraphicsStateCache& gs = pdev->Job.Gstate;
    if (gs.DashArray) Util_GlobalFree(nullptr, gs.DashArray);
    gs.DashArray = nullptr;
    gs.DashCount = 0;
    gs.DashOffset = 0;
}

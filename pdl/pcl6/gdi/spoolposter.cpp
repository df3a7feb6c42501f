// Poster: each stored page sent once per tile, its origin moved so that
// the tile's part of the enlarged page falls on the sheet, with the cut
// marks drawn over it when they are on.
#include <windows.h>

#include <algorithm>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/spoolshared.h"

using namespace spool;

namespace {

// Operators and attributes of the poster marks that the encoder has no
// other use for.
constexpr BYTE kOpSetClipToPage = 0x69;
constexpr BYTE kOpSetLineCap = 0x71;
constexpr BYTE kOpSetLineJoin = 0x72;
constexpr BYTE kAttrLineCapStyle = 0x47;
constexpr BYTE kAttrLineJoinStyle = 0x48;
constexpr BYTE kRoundCapOrJoin = 1;
constexpr BYTE kRopSourceCopy = 240;

}  // namespace

BOOL Spool_DrawPosterMarks(PDEV* pdev, int entry) {
    if (!pdev) return FALSE;
    const SpoolState& spool = State(pdev);
    if (!spool.PageTable || entry < 0 || entry >= spool.PageTableCount) return FALSE;
    const SpoolPageEntry& stored = spool.PageTable[entry];
    const RendDevmode& job = Job_Settings(pdev);
    const int r = Layout_ResFactor(job) + 1;
    const int W = INT16(stored.PageSize & 0xFFFF);
    const int H = INT16(UINT32(stored.PageSize) >> 16);

    Spool_Flush(pdev);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_DEFAULT_CTM);
    Pxl_WriteAttrXY(pdev, 96 * r, 96 * r, PXL_ATTR_PAGE_ORIGIN, PXL_TYPE_SINT16_XY);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_ORIGIN);
    Pxl_WriteRealXYAttr(pdev, 1.0f, 1.0f, PXL_ATTR_PAGE_SCALE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_SCALE);
    Pxl_WriteOperator(pdev, kOpSetClipToPage);
    Pxl_WriteAttr(pdev, 1, PXL_ATTR_PEN_WIDTH, PXL_TYPE_UINT16);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PEN_WIDTH);
    Pxl_WriteAttr(pdev, kRoundCapOrJoin, kAttrLineJoinStyle, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, kOpSetLineJoin);
    Pxl_WriteAttr(pdev, kRoundCapOrJoin, kAttrLineCapStyle, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, kOpSetLineCap);
    // A dash of 40 units drawn, 10 left out.
    const BYTE dash[4] = {40, 0, 10, 0};
    Pxl_WriteArrayHeader(pdev, PXL_TAG_SINT16_ARRAY, 2);
    Spool_Write(pdev, dash, sizeof(dash));
    const BYTE dashId[2] = {PXL_TAG_ATTR_UBYTE, PXL_ATTR_LINE_DASH_STYLE};
    Spool_Write(pdev, dashId, sizeof(dashId));
    Pxl_WriteOperator(pdev, PXL_OP_SET_LINE_DASH);
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_NULL_BRUSH, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_BRUSH_SOURCE);
    Pxl_WriteAttr(pdev, kRopSourceCopy, PXL_ATTR_ROP3, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_ROP);
    if (job.pub.dmColor == DMCOLOR_COLOR)
        Pxl_WriteRgbColor(pdev, RGB(0, 0, 0));
    else
        Pxl_WriteAttr(pdev, 0, PXL_ATTR_GRAY_LEVEL, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PEN_SOURCE);

    // Three strokes on each side, in the middle of it: two ticks 240 units
    // long across the edge band, 120 units either side of the side's
    // middle, and the stroke between them along the edge. Coordinates are
    // from the printable area's corner; the far bands lie as far inside the
    // far edges as the near ones inside the near edges.
    const int nearIn = 5 * r + 5, nearOut = 240 + 5 * r + 5;
    const int farXIn = W - 197 * r, farXOut = W - 197 * r - 240;
    const int farYIn = H - 197 * r, farYOut = H - 197 * r - 240;
    const int midX = W / 2, midY = H / 2;
    struct Stroke {
        int x0, y0, x1, y1;
    };
    const Stroke strokes[12] = {
        // left side
        {nearIn, midY - 120, nearOut, midY - 120}, {nearIn, midY + 120, nearOut, midY + 120},
        {nearIn, midY - 120, nearIn, midY + 120},
        // right side
        {farXIn, midY - 120, farXOut, midY - 120}, {farXIn, midY + 120, farXOut, midY + 120},
        {farXIn, midY - 120, farXIn, midY + 120},
        // top side
        {midX - 120, nearIn, midX - 120, nearOut}, {midX + 120, nearIn, midX + 120, nearOut},
        {midX - 120, nearIn, midX + 120, nearIn},
        // bottom side
        {midX - 120, farYIn, midX - 120, farYOut}, {midX + 120, farYIn, midX + 120, farYOut},
        {midX - 120, farYIn, midX + 120, farYIn},
    };
    for (const Stroke& stroke : strokes) {
        Pxl_NewPath(pdev);
        Pxl_SetCursor(pdev, stroke.x0, stroke.y0);
        const POINTS end = {SHORT(stroke.x1), SHORT(stroke.y1)};
        Pxl_WriteAbsPolyline(pdev, &end, 1, PXL_OP_LINE_PATH);
        Pxl_WriteOperator(pdev, PXL_OP_PAINT_PATH);
    }
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_DEFAULT_CTM);
    Pxl_WriteAttrXY(pdev, 0, 0, PXL_ATTR_PAGE_ORIGIN, PXL_TYPE_SINT16_XY);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_ORIGIN);
    Pxl_WriteRealXYAttr(pdev, 1.0f, 1.0f, PXL_ATTR_PAGE_SCALE);
    Pxl_WriteOperator(pdev, PXL_OP_SET_PAGE_SCALE);
    Spool_Flush(pdev);
    return !Job_IsOutputError(pdev);
}

namespace {

// Sends SetPageOrigin (x, y). An origin beyond the operator's 16 bits (the
// far tiles of a large poster at 1200 dpi lie more than 32767 dots back)
// goes as several steps that add up, each moving the origin on from the
// last, instead of wrapping round to the other side of the page.
bool SendOrigin(Replay& replay, long long x, long long y) {
    const long long largest = std::max(x < 0 ? -x : x, y < 0 ? -y : y);
    const long long steps = largest <= 32767 ? 1 : (largest + 32766) / 32767;
    long long sentX = 0, sentY = 0;
    for (long long step = 1; step <= steps; ++step) {
        const long long nextX = x * step / steps, nextY = y * step / steps;
        BYTE origin[kOriginBytes];
        WriteOrigin(origin, int(nextX - sentX), int(nextY - sentY));
        if (!replay.Send(origin, sizeof(origin))) return false;
        sentX = nextX;
        sentY = nextY;
    }
    return true;
}

// Whether stored page `entry` was turned by 180 degrees: the rotation rule
// for the orientation the entry recorded, inverted on the
// front sides of duplex mode 4. A poster has one page a sheet, which the
// printer turns through its BeginPage orientation: the stored page angle
// is 0 whatever the rule says, so it cannot tell.
bool PageTurned(PDEV* pdev, int entry) {
    const RendDevmode& job = Job_Settings(pdev);
    const SpoolState& spool = State(pdev);
    const bool answer = Layout_RotationApplies(job, spool.PageTable[entry].Orientation) != FALSE;
    const bool invert = job.priv.DuplexBinding == 4 && Spool_IsFrontSide(spool.PageTable, entry - 1, spool.PageTable[entry].PaperSize);
    return answer != invert;
}

}  // namespace

BOOL Spool_ReplayPoster(PDEV* pdev, HANDLE file, int entry, BOOL mergeForm) {
    if (!pdev || !file) return FALSE;
    const SpoolState& spool = State(pdev);
    if (!spool.PageTable || entry < 1 || entry >= spool.PageTableCount) return FALSE;
    Replay replay{pdev, file};
    PageMarks marks;
    if (!replay.FindMarks(entry, &marks)) return FALSE;
    (void)mergeForm;  // no job of this build records or merges an overlay form

    const RendDevmode& job = Job_Settings(pdev);
    const SpoolPageEntry& stored = spool.PageTable[entry];
    const int size = Layout_PosterSize(job);
    const int n = Layout_PosterTiles(job);
    const int percent = size >= 0 && size <= 2 ? job.priv.ScalePercent : 100;
    const bool shrunk = job.priv.ScaleOn == 1 && percent < 100;
    const bool marksOn = job.priv.PosterCutMarks != 0;
    const int I = 96 * (Layout_ResFactor(job) + 1);
    const int W = INT16(stored.PageSize & 0xFFFF);
    const int H = INT16(UINT32(stored.PageSize) >> 16);
    const int X = INT16(stored.PrintableTopLeft & 0xFFFF);
    const int Y = INT16(UINT32(stored.PrintableTopLeft) >> 16);
    double sx = 1.0, sy = 1.0;
    Layout_PageScale(pdev, &sx, &sy);
    // Each tile shows one printable extent of the enlarged page.
    const int stepX = W - 2 * I, stepY = H - 2 * I;

    const DWORD start = replay.Start(entry);
    const DWORD behindOrigin = marks.transform + kOriginBytes;
    const DWORD bodyEnd = replay.End(entry) - (marksOn ? kPageEnd : 0);
    // Tiles run row by row. An upright page's are counted from its near
    // (top left) edges; a page turned by 180 degrees has its tiles counted
    // from 1 at its far edges: its tile (row, column) takes its origin back
    // from the far edges by the tiles between, which puts on it the part of
    // the enlarged page that the upright tile (n - row, n - column), counted
    // from 0, shows. So the turned tiles cover the same areas of the page as
    // the upright ones, the far corner's first; and a page shrunk below its
    // sheet, which lies on the near corner's tile alone, leaves every tile
    // but the last blank.
    const bool turned = PageTurned(pdev, entry);
    for (int row = 1; row <= n; ++row) {
        for (int column = 1; column <= n; ++column) {
            // The tile's place from the page's near edges, from 0.
            const int across = turned ? n - column : column - 1;
            const int down = turned ? n - row : row - 1;
            if (shrunk && (across != 0 || down != 0)) {
                static const BYTE kGreySpace[5] = {PXL_TAG_UBYTE, 1, PXL_TAG_ATTR_UBYTE, PXL_ATTR_COLOR_SPACE,
                                                   PXL_OP_SET_COLOR_SPACE};
                if (!replay.Copy(start, marks.transform - start) || !replay.Send(kGreySpace, sizeof(kGreySpace)))
                    return FALSE;
                if (marksOn && !Spool_DrawPosterMarks(pdev, entry)) return FALSE;
                if (!replay.CopyPageEnd(entry)) return FALSE;
                continue;
            }
            const int x = layout::Trunc(I + (X - I) * sx - double(stepX) * across);
            const int y = layout::Trunc(I + (Y - I) * sy - double(stepY) * down);
            if (!replay.Copy(start, marks.transform - start) || !SendOrigin(replay, x, y) ||
                !replay.Copy(behindOrigin, bodyEnd - behindOrigin))
                return FALSE;
            if (marksOn && (!Spool_DrawPosterMarks(pdev, entry) || !replay.CopyPageEnd(entry))) return FALSE;
        }
    }
    return TRUE;
}

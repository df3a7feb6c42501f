// Print position: the user's fine adjustment of where a page lands, and the
// corner of its N-up cell a page moves to.
#include <windows.h>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/pdev.h"

using namespace layout;

void Layout_PrintPositionOffsets(const PDEV* pdev, INT32* dx, INT32* dy) {
    if (!pdev || !dx || !dy) return;
    const LayoutState& st = State(pdev);
    const JobState& js = pdev->Job.State;
    const RendDevmode& job = JobSettings(pdev);
    const RendPrivate& priv = job.priv;
    const int orientation = PageOrientation(pdev);
    const int mode = priv.DuplexBinding;
    INT32 x = priv.AdjustX;
    INT32 y = -priv.AdjustY;

    const int currentPagesPerSheet = PagesPerSheet(CurrentSettings(pdev));
    if (currentPagesPerSheet <= 1) {
        if (Layout_RotationApplies(job, orientation)) {
            x = -x;
            y = -y;
        }
        // A back side (even page) is seen from the other side of the paper:
        // the axis across the binding is mirrored.
        const int page = js.PageCounter;
        if (page > 0 && page % 2 == 0 && mode != 0) {
            bool mirrorX = (mode == 1 || mode == 3) ? orientation == DMORIENT_PORTRAIT
                                                    : orientation != DMORIENT_PORTRAIT;
            if (orientation == st.FirstPageOrientation) mirrorX = !mirrorX;
            if (mirrorX)
                x = -x;
            else
                y = -y;
        }
        if (orientation != st.FirstPageOrientation) {
            const INT32 keepX = x;
            if (orientation == DMORIENT_PORTRAIT) {
                x = y;
                y = -keepX;
            } else {
                x = -y;
                y = keepX;
            }
        }
    } else {
        const int sheet = SheetIndex(pdev, currentPagesPerSheet) + 1;
        if (sheet % 2 == 0 && mode != 0) {
            const bool shortEdge = mode == 1 || mode == 3;
            const bool portraitSheet = st.SheetOrientation == DMORIENT_PORTRAIT;
            const bool landscapeSheet = st.SheetOrientation == DMORIENT_LANDSCAPE;
            if (shortEdge ? portraitSheet : landscapeSheet) y = priv.AdjustY;
            if (shortEdge ? landscapeSheet : portraitSheet) x = -x;
        }
        const int rule = priv.Rotate180Mode;
        const int first = st.FirstPageOrientation;
        const bool ruleTurnsFirst = rule == 3 || (rule == 1 && first == DMORIENT_LANDSCAPE) ||
                                    (rule == 2 && first == DMORIENT_PORTRAIT);
        if ((js.PageTurn && !js.BackSideFlip) || (js.BackSideFlip && sheet % 2 == 1 && ruleTurnsFirst)) {
            x = -x;
            y = -y;
        }
    }
    *dx = x;
    *dy = y;
}

void Layout_NupPrintPosition(const PDEV* pdev, INT32* dx, INT32* dy) {
    if (!dx || !dy) return;
    *dx = 0;
    *dy = 0;
    if (!pdev) return;
    const LayoutState& st = State(pdev);
    const JobState& js = pdev->Job.State;
    const RendDevmode& job = JobSettings(pdev);
    const RendDevmode& current = CurrentSettings(pdev);
    const int currentPagesPerSheet = PagesPerSheet(current);
    const int mode = job.priv.DuplexBinding;
    const bool odd = SheetIsOdd(pdev, currentPagesPerSheet);

    // A turned page takes the opposite corner.
    int p = job.priv.PrintPosition;
    const bool mirror = (js.PageTurnBase && (mode != 2 || !odd)) || (!js.PageTurnBase && (mode == 2 || mode == 4) && odd);
    if (mirror && p <= 3) p = 3 - p;
    if (p == 0 || p > 4 || PagesPerSheet(job) > 1 || currentPagesPerSheet <= 1) return;

    // The room the scaled page leaves in its cell, in the cell's axes.
    const int margins = 2 * Layout_MarginUnit(job);
    const int C = st.NupColumns > 0 ? st.NupColumns : 1;
    const int R = st.NupRows > 0 ? st.NupRows : 1;
    const int cellWidth = (st.SheetGeometry.Width - margins) / C;
    const int cellHeight = (st.SheetGeometry.Height - margins) / R;
    int pw = pdev->Geometry.Width - margins;
    int ph = pdev->Geometry.Height - margins;
    if (PageOrientation(pdev) != st.FirstPageOrientation) Swap(pw, ph);
    if (current.priv.PageBorderMode & 0x4) {
        const int larger = C > R ? C : R;
        const int borders = (Layout_ResFactor(job) + 1) * (larger + 4) * 12;
        pw += borders;
        ph += borders;
    }
    if (st.NupSheetTurned) Swap(pw, ph);
    double sx = 1.0, sy = 1.0;
    Layout_ShiftFitScale(pdev, &sx, &sy);
    const double scale = st.ShiftScale * Smaller(sx, sy);
    int ex = cellWidth - Trunc(pw * scale);
    int ey = cellHeight - Trunc(ph * scale);
    if (ex < 0) ex = 0;
    if (ey < 0) ey = 0;
    switch (p) {
    case 1: *dx = ex; break;
    case 2: *dy = ey; break;
    case 3: *dx = ex, *dy = ey; break;
    default: *dx = ex / 2, *dy = ey / 2; break;  // 4: centred
    }
}

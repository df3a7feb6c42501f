// Image shift: a side's content moves by its shift amount toward one of
// eight directions to make room for binding, and may shrink so that the
// shifted page still fits.
#include <windows.h>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/xmodel.h"

using namespace layout;

namespace {

// The direction seen from the other side of the sheet.
int MirrorDirection(int direction) {
    static const int kMirror[9] = {0, 4, 3, 2, 1, 8, 7, 6, 5};
    return direction >= 1 && direction <= 8 ? kMirror[direction] : direction;
}

// Directions whose horizontal offset moves the page left.
bool MovesLeft(int direction) { return direction == 1 || direction == 3 || direction == 7 || direction == 8; }
// Directions whose vertical offset moves the page up.
bool MovesUp(int direction) { return direction == 2 || direction == 4 || direction == 7 || direction == 8; }

}  // namespace

int Layout_ShiftDirection(const PDEV* pdev) {
    if (!pdev) return 0;
    const RendDevmode& job = JobSettings(pdev);
    int direction = job.priv.ImageShiftDirection;
    if (direction < 1 || direction > 8) return direction;
    if (pdev->Job.State.PageTurn) direction = MirrorDirection(direction);
    // Back sides: even pages with one page per sheet, odd sheets with N-up.
    const int pagesPerSheet = PagesPerSheet(job);
    bool backSide = false;
    if (job.priv.DuplexBinding > 0) {
        const int page = pdev->Job.State.PageCounter;
        backSide = pagesPerSheet <= 1 ? page > 0 && page % 2 == 0 : SheetIsOdd(pdev, pagesPerSheet);
    }
    if (backSide) direction = MirrorDirection(direction);
    return direction;
}

void Layout_ShiftOffsets(const PDEV* pdev, INT32* dx, INT32* dy) {
    if (!pdev || !dx || !dy) return;
    const LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const RendPrivate& priv = job.priv;
    const int fit = priv.PaperOverride ? Trunc(Layout_FitRatio(pdev) * 100) : priv.ScalePercent;

    const int margin = Layout_MarginUnit(job);
    const int amount = (Layout_ResFactor(job) + 1) * SideShiftAmount(pdev);
    if (amount == 0 || amount <= margin) {
        *dx = 0;
        *dy = 0;
        return;
    }
    const int s = amount - margin;
    const int direction = Layout_ShiftDirection(pdev);
    if (direction < 1 || direction > 8) return;

    const int pagesPerSheet = PagesPerSheet(job);
    const bool nup = pagesPerSheet >= 2;
    const bool cancel = priv.ShiftFit && ((priv.ScalePercent == 100 && fit == 100) || priv.ScaleOn != 1 || nup);
    // The offsets toward the top and left: +s with N-up, where the cell's
    // own routine turns it; -s with one page per sheet unless the shift fit
    // cancels it.
    auto towardOrigin = [&](INT32* out) {
        if (nup)
            *out = s;
        else if (!cancel)
            *out = -s;
    };
    const bool portraitSheet = st.SheetOrientation == DMORIENT_PORTRAIT;
    switch (direction) {
    case 1:
    case 3:
        if (portraitSheet)
            *dy = s;
        else
            towardOrigin(dx);
        break;
    case 2:
        if (portraitSheet)
            towardOrigin(dy);
        else if (!(!nup && (priv.DuplexBinding == 1 || priv.DuplexBinding == 2) && SheetIsOdd(pdev, pagesPerSheet)))
            *dx = s;
        break;
    case 4:
        if (portraitSheet)
            towardOrigin(dy);
        else
            *dx = s;
        break;
    case 5:
    case 6:
        if (portraitSheet)
            *dx = s;
        else
            *dy = s;
        break;
    default:  // 7, 8
        if (portraitSheet)
            towardOrigin(dx);
        else
            towardOrigin(dy);
        break;
    }
}

void Layout_ShiftFitScale(const PDEV* pdev, double* sx, double* sy) {
    if (!sx || !sy) return;
    *sx = 1.0;
    *sy = 1.0;
    if (!pdev) return;
    const LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const RendPrivate& priv = job.priv;
    if (PagesPerSheet(job) != 1 || priv.ImageShiftDirection == 0 || !priv.ShiftFit || priv.ScaleOn == 1 ||
        priv.ScalePercent != 100)
        return;
    const int amount = (Layout_ResFactor(job) + 1) * SideShiftAmount(pdev);
    if (amount <= 0) return;
    const int margin = Layout_MarginUnit(job);
    int s = amount - margin;
    if (s < 0) s = 0;
    const int direction = priv.ImageShiftDirection;
    if (direction > 8) return;

    const int W = st.SheetGeometry.Width - 2 * margin;
    const int H = st.SheetGeometry.Height - 2 * margin;
    PageGeometry page = pdev->Geometry;
    Xmodel_Lookup(&page, &job, job.pub.dmPaperSize, FALSE);
    int w = page.Width - 2 * margin;
    int h = page.Height - 2 * margin;
    if (st.SheetOrientation != job.pub.dmOrientation) Swap(w, h);
    // A sheet or page without printable extent, or a shift that eats the
    // whole sheet, leaves the page unscaled.
    if (W <= 0 || H <= 0 || w <= 0 || h <= 0) return;

    const bool landscapeSheet = st.SheetOrientation == DMORIENT_LANDSCAPE;
    const bool reduceHeight = direction <= 4 ? !landscapeSheet : landscapeSheet;
    if (!reduceHeight) {
        if (W - s > 0 && Trunc(double(W - s) / H * 10000) < Trunc(double(w) / h * 10000)) *sx = double(W - s) / W;
    } else {
        if (H - s > 0 && Trunc(double(H - s) / W * 10000) < Trunc(double(h) / w * 10000)) *sy = double(H - s) / H;
    }
}

void Layout_NupShiftMove(const PDEV* pdev, int cellIndex, INT32* moveX, INT32* moveY) {
    if (!moveX || !moveY) return;
    *moveX = 0;
    *moveY = 0;
    if (!pdev) return;
    const LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const int direction = Layout_ShiftDirection(pdev);
    INT32 dx = 0, dy = 0;
    Layout_ShiftOffsets(pdev, &dx, &dy);
    if (dx == 0 && dy == 0) return;

    int C = st.NupColumns > 0 ? st.NupColumns : 1;
    int R = st.NupRows > 0 ? st.NupRows : 1;
    int c = 0, k = 0;
    Layout_CellPosition(job.priv.NupOrder, st.SheetOrientation, cellIndex, C, R, &c, &k);
    // The shift is shared over the cells as they lie on the printer's page:
    // a turned sheet's columns run down it and its rows across.
    NupCellBox box{};
    Layout_NupCellOnPage(pdev, c, k, st.PageRotation, &box);
    if (box.turned && box.width > 0 && box.height > 0) {
        const int columns = R, rows = C;
        c = int(box.x / box.width);
        k = int(box.y / box.height);
        C = columns;
        R = rows;
    }
    const bool fit = job.priv.ShiftFit != 0;
    const bool flip = pdev->Job.State.BackSideFlip != 0;
    if (dx != 0) {
        const bool left = MovesLeft(direction);
        if (!fit)
            *moveX = left ? -dx : dx;
        else if (left)
            *moveX = flip ? (c - C + 1) * dx / C : -(dx * c / C);
        else
            *moveX = flip ? (c + 1) * dx / C : dx * (C - c) / C;
    }
    if (dy != 0) {
        const bool up = MovesUp(direction);
        if (!fit)
            *moveY = up ? -dy : dy;
        else if (!up)
            *moveY = flip ? (k + 1) * dy / R : dy * (R - k) / R;
        else
            *moveY = flip ? (k - R + 1) * dy / R : -(k * dy / R);
    }
}

void Layout_NupShiftRoom(const PDEV* pdev, int column, int row, INT32* across, INT32* down) {
    if (!across || !down) return;
    *across = 0;
    *down = 0;
    if (!pdev) return;
    const LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const int margins = 2 * Layout_MarginUnit(job);
    const int width = st.SheetGeometry.Width - margins;
    const int height = st.SheetGeometry.Height - margins;
    int s = width, q = height;
    const BOOL backSide = job.priv.DuplexBinding > 0 && SheetIsOdd(pdev, PagesPerSheet(CurrentSettings(pdev)));
    Layout_ReduceForGutter(pdev, st.FirstPageOrientation, &s, &q, backSide);
    const int C = st.NupColumns > 0 ? st.NupColumns : 1;
    const int R = st.NupRows > 0 ? st.NupRows : 1;
    // The room is taken off the sheet as the cell scale sees it; a turned
    // sheet's width lies down the printer's page and its height across.
    NupCellBox box{};
    Layout_NupCellOnPage(pdev, column, row, st.PageRotation, &box);
    const INT32 offWidth = (width - s) / C;
    const INT32 offHeight = (height - q) / R;
    *across = box.turned ? offHeight : offWidth;
    *down = box.turned ? offWidth : offHeight;
}

void Layout_NupShiftUpright(const PDEV* pdev, INT16* x, INT16* y) {
    if (!pdev || !x || !y) return;
    INT32 moveX = 0, moveY = 0;
    Layout_NupShiftMove(pdev, int(pdev->Job.State.SheetPageCount) - 1, &moveX, &moveY);
    *x = INT16(*x + moveX);
    *y = INT16(*y + moveY);
}

void Layout_NupShiftTurned(const PDEV* pdev, int x, int y, int rotation, INT32* newX, INT32* newY) {
    if (!newX || !newY) return;
    *newX = 0;
    *newY = 0;
    if (!pdev) return;
    // The page origin lies in sheet coordinates whatever the cell's turn,
    // so moving it by the upright cell's offset moves the turned page
    // toward the same side of the sheet, shared over the cells the same way.
    (void)rotation;
    INT16 movedX = INT16(x), movedY = INT16(y);
    Layout_NupShiftUpright(pdev, &movedX, &movedY);
    if (movedX != INT16(x)) *newX = movedX;
    if (movedY != INT16(y)) *newY = movedY;
}

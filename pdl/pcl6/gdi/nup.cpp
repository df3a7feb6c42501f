// N-up: the grid of cells on a sheet, the order in which pages fill it, and
// the scale that fits a page into a cell.
#include <windows.h>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/pdev.h"

using namespace layout;

namespace {

// The two cell counts of a sheet by pages per sheet, the first the larger.
void GridCounts(int pagesPerSheet, int* first, int* second) {
    switch (pagesPerSheet) {
    case 2: *first = 2, *second = 1; break;
    case 4: *first = 2, *second = 2; break;
    case 8: *first = 4, *second = 2; break;
    case 16: *first = 4, *second = 4; break;
    case 32: *first = 8, *second = 4; break;
    default: *first = 1, *second = 1; break;
    }
}

// Turns the sheet geometry to `orientation`: a landscape sheet is wider
// than high, a portrait one higher than wide. Doing it by shape keeps a
// second call from turning the sheet back.
void TurnSheet(LayoutState& st, int orientation) {
    PageGeometry& sheet = st.SheetGeometry;
    const bool landscape = orientation == DMORIENT_LANDSCAPE;
    if (landscape ? sheet.Width < sheet.Height : sheet.Width > sheet.Height) Swap(sheet.Width, sheet.Height);
    st.SheetOrientation = INT16(orientation);
}

// The current page's printable extent for the cell fit: its paper size
// less 2D, turned to the job's orientation, with the room that page
// borders take when they are on.
void PageExtent(const PDEV* pdev, int largerCount, int* pw, int* ph) {
    const RendDevmode& job = JobSettings(pdev);
    const int margins = 2 * Layout_MarginUnit(job);
    int width = pdev->Geometry.Width;
    int height = pdev->Geometry.Height;
    if (PageOrientation(pdev) != job.pub.dmOrientation) Swap(width, height);
    *pw = width - margins;
    *ph = height - margins;
    if (job.priv.PageBorderMode & 0x4) {
        const int borders = (Layout_ResFactor(job) + 1) * (largerCount + 4) * 12;
        *pw += borders;
        *ph += borders;
    }
}

// The cell scale of one side: the smaller of the sheet's printable width
// over the width of `columns` pages and its height over the height of
// `rows` pages, after the image shift took its room along the side it
// moves the pages on (which the first page's orientation gives, for a
// sheet turned against the printer's page as well).
double CellScale(const PDEV* pdev, BOOL backSide, int pw, int ph, int columns, int rows) {
    const LayoutState& st = State(pdev);
    const int margins = 2 * Layout_MarginUnit(JobSettings(pdev));
    int s = st.SheetGeometry.Width - margins;
    int q = st.SheetGeometry.Height - margins;
    Layout_ReduceForGutter(pdev, st.FirstPageOrientation, &s, &q, backSide);
    return Smaller(Ratio(s, double(pw) * columns), Ratio(q, double(ph) * rows));
}

// The front and back cell scales. The back side has a scale of its own
// only when a duplex job shifts its two sides by different amounts. Every
// grid leaves the shift its room (a turned sheet's cells, left without it,
// were pushed past the paper's edge by the shift).
void ComputeCellScales(PDEV* pdev, int pw, int ph, int columns, int rows) {
    LayoutState& st = State(pdev);
    const RendPrivate& job = JobSettings(pdev).priv;
    const double front = CellScale(pdev, FALSE, pw, ph, columns, rows);
    double back = 1.0;
    if (job.DuplexBinding > 0 && job.ImageShiftDirection != 0 && job.FrontShift != job.BackShift)
        back = CellScale(pdev, TRUE, pw, ph, columns, rows);
    st.ShiftScale = front;
    st.ShiftScaleFront = front;
    st.ShiftScaleBack = back;
}

void ResetCellScales(LayoutState& st) {
    st.ShiftScale = 1.0;
    st.ShiftScaleFront = 1.0;
    st.ShiftScaleBack = 1.0;
}

}  // namespace

void Layout_CellPosition(int order, int orientation, int index, int columns, int rows, int* column, int* row) {
    int c = 0, k = 0;
    if (columns > 0 && rows > 0 && index >= 0) {
        const int C = columns, R = rows;
        if (C * R == 2 && order == 1) order = orientation == DMORIENT_LANDSCAPE ? 2 : 4;
        switch (order) {
        case 0: c = index % C, k = index / C; break;
        case 1: c = index / R, k = index % R; break;
        case 2: c = C - 1 - index % C, k = index / C; break;
        case 3: c = C - 1 - index / R, k = index % R; break;
        case 4: c = index % C, k = R - 1 - index / C; break;
        case 5: c = index / R, k = R - 1 - index % R; break;
        case 6: c = C - 1 - index / R, k = R - 1 - index % R; break;
        case 7: c = C - 1 - index % C, k = R - 1 - index / C; break;
        default: break;
        }
    }
    if (column) *column = c;
    if (row) *row = k;
}

void Layout_ReduceForGutter(const PDEV* pdev, int orientation, int* width, int* height, BOOL backSide) {
    if (!pdev || !width || !height) return;
    const RendDevmode& job = JobSettings(pdev);
    const RendPrivate& priv = job.priv;
    const int direction = priv.ImageShiftDirection;
    if (direction < 1 || direction > 8) return;
    const bool applies = (priv.ScaleOn == 1 && PagesPerSheet(job) > 1) || priv.ScalePercent == 100;
    if (!applies) return;
    const int amount = backSide && priv.DuplexBinding > 0 ? priv.BackShift : priv.FrontShift;
    const int shift = (Layout_ResFactor(job) + 1) * amount - Layout_MarginUnit(job);
    if (shift <= 0) return;
    const bool alongHeight = (direction <= 4) != (orientation == DMORIENT_LANDSCAPE);
    if (alongHeight)
        *height -= shift;
    else
        *width -= shift;
}

void Layout_ComputeNup(PDEV* pdev) {
    if (!pdev) return;
    LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    int larger = 1, smaller = 1;
    GridCounts(PagesPerSheet(job), &larger, &smaller);
    st.NupSheetTurned = 0;
    st.NupColumns = smaller;
    st.NupRows = larger;
    if (larger * smaller == 1) {
        ResetCellScales(st);
        return;
    }
    int pw = 0, ph = 0;
    PageExtent(pdev, larger, &pw, &ph);

    if (larger != smaller) {
        // A grid of 2 x 1, 4 x 2 or 8 x 4 fits a page best on the sheet
        // turned against it. The sheet-orientation setting can keep the
        // page's own orientation instead, for pages of the orientation it
        // names: 1 keeps portrait pages on a portrait sheet, 2 landscape
        // pages on a landscape one (a page of the other orientation has a
        // turned sheet of that orientation anyway). Either way the larger
        // count runs along the sheet's long side, so that the cells keep
        // the shape they have on the turned sheet.
        const int orientation = PageOrientation(pdev);
        const int sheet = job.priv.NupSheetOrientation == orientation ? orientation : 3 - orientation;
        if (sheet == DMORIENT_LANDSCAPE) {
            st.NupColumns = larger;
            st.NupRows = smaller;
        }
        TurnSheet(st, sheet);
        st.NupSheetTurned = sheet != orientation ? 1 : 0;
    }
    ComputeCellScales(pdev, pw, ph, st.NupColumns, st.NupRows);
}

void Layout_RecomputeNup(PDEV* pdev) {
    if (!pdev) return;
    LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const int pagesPerSheet = PagesPerSheet(job);
    if (pagesPerSheet <= 1) {
        ResetCellScales(st);
        return;
    }
    int larger = 1, smaller = 1;
    GridCounts(pagesPerSheet, &larger, &smaller);
    int pw = 0, ph = 0;
    PageExtent(pdev, larger, &pw, &ph);

    // A page of another size goes into the cells the first page laid out:
    // the same grid on the same sheet, which, when it was turned, still
    // lies across the printer's page (every sheet of the job is given to
    // the printer in the first page's orientation). So the scales are taken
    // along the grid's own axes for both sides, and the sheet stays turned.
    // Counts taken along the other axes (the larger one across a portrait
    // sheet, or down a landscape one) would shrink the page to about half
    // of its cell, and an upright grid on a turned sheet would run past the
    // printer's page.
    ComputeCellScales(pdev, pw, ph, st.NupColumns, st.NupRows);
    // The page being started takes its side's scale: the back one on the
    // odd sheets of a duplex job whose sides shift by different amounts.
    const RendPrivate& priv = job.priv;
    if (priv.DuplexBinding != 0 && priv.ImageShiftDirection != 0 && priv.FrontShift != priv.BackShift &&
        SheetIsOdd(pdev, pagesPerSheet))
        st.ShiftScale = st.ShiftScaleBack;
}

void Layout_NupCellOnPage(const PDEV* pdev, int column, int row, int rotation, NupCellBox* box) {
    if (!box) return;
    *box = NupCellBox{0, 0, 0, 0, FALSE};
    if (!pdev) return;
    const LayoutState& st = State(pdev);
    const int margins = 2 * Layout_MarginUnit(JobSettings(pdev));
    const int C = st.NupColumns > 0 ? st.NupColumns : 1;
    const int R = st.NupRows > 0 ? st.NupRows : 1;
    const LONG across = (st.SheetGeometry.Width - margins) / C;
    const LONG down = (st.SheetGeometry.Height - margins) / R;
    // The printer's page of an N-up job keeps the first page's orientation
    // (Pxl_BeginPageMedia), so a turned sheet lies across it the way round
    // that the pages of the first page's orientation are turned (`rotation`
    // for such a page). A page of the other orientation lies in its cell
    // upright or turned over on the printer's page; the sheet lies as it
    // does for the first page's kind.
    int across90 = 0;
    if (st.NupSheetTurned) {
        if (PageOrientation(pdev) == st.FirstPageOrientation)
            across90 = rotation == 90 || rotation == 270 ? rotation : 0;
        else
            across90 = Layout_NupSheetRotation(pdev);
    }
    if (!across90) {
        *box = NupCellBox{across * column, down * row, across, down, FALSE};
    } else if (across90 == 270) {
        *box = NupCellBox{down * (R - 1 - row), across * column, down, across, TRUE};
    } else {
        *box = NupCellBox{down * row, across * (C - 1 - column), down, across, TRUE};
    }
}

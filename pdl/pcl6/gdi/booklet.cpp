// Booklet: two pages side by side on each side of a sheet folded in the
// middle. The replay of the spool file places every stored page on its half
// with the transform computed here.
#include <windows.h>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/pdev.h"

using namespace layout;

namespace {

// The page-table entry placed last, per process: a booklet scale is
// computed again only when a page's size differs from it.
struct PlacedEntry {
    bool placed = false;
    int width = 0;
    int height = 0;
    int orientation = 0;
};
PlacedEntry g_LastPlaced;

// The gutter a booklet sheet leaves in its fold: twice the gutter width
// whenever the gutter is on (the first flag). The pages shrink to leave it,
// so that moving the halves apart never pushes a page off the sheet.
int FoldGutter(const RendPrivate& priv) { return priv.FirstGutterFlag ? 2 * priv.GutterWidth : 0; }

// A stored page's geometry: its size and the margins of its printable area.
PageGeometry EntryGeometry(const SpoolPageEntry& entry) {
    PageGeometry g;
    g.Width = INT16(entry.PageSize & 0xFFFF);
    g.Height = INT16(UINT32(entry.PageSize) >> 16);
    g.Left = INT16(entry.PrintableTopLeft & 0xFFFF);
    g.Top = INT16(UINT32(entry.PrintableTopLeft) >> 16);
    g.Right = INT16(entry.PrintableBottomRight & 0xFFFF);
    g.Bottom = INT16(UINT32(entry.PrintableBottomRight) >> 16);
    return g;
}

}  // namespace

void Layout_ResetProcessState() {
    Layout_ResetFormOffsets();
    g_LastPlaced = PlacedEntry{};
}

void Layout_ComputeBookletScale(PDEV* pdev, BOOL swap, const PageGeometry* geometry) {
    if (!pdev) return;
    LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const RendPrivate& priv = job.priv;
    if (!priv.BookletOn) {
        st.BookletScale = 1.0;
        return;
    }
    const bool landscapeJob = job.pub.dmOrientation == DMORIENT_LANDSCAPE;
    if (swap) {
        // The booklet sheet lies across the job's pages: a portrait job is
        // printed on a landscape sheet and the other way round.
        const int sheetOrientation = landscapeJob ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
        PageGeometry& sheet = st.SheetGeometry;
        const bool wide = sheet.Width > sheet.Height;
        if (landscapeJob ? wide : sheet.Width < sheet.Height) Swap(sheet.Width, sheet.Height);
        st.SheetOrientation = INT16(sheetOrientation);
    }
    st.BookletColumns = landscapeJob ? 1 : 2;
    st.BookletRows = landscapeJob ? 2 : 1;

    const PageGeometry& page = geometry ? *geometry : pdev->Geometry;
    const int margins = 2 * Layout_MarginUnit(job);
    const int gutter = FoldGutter(priv);
    const int sheetWidth = st.SheetGeometry.Width - margins;
    const int sheetHeight = st.SheetGeometry.Height - margins;
    const int pageWidth = page.Width - margins;
    const int pageHeight = page.Height - margins;
    double scale, fit;
    if (!landscapeJob) {
        scale = Smaller(Ratio(pageWidth, sheetWidth), Ratio(page.Height - gutter, 2.0 * sheetHeight));
        // The halves lie side by side, the gutter between them.
        fit = Smaller(Ratio((sheetWidth - gutter) / 2.0, pageWidth), Ratio(sheetHeight, pageHeight));
    } else {
        scale = Smaller(Ratio(page.Height, sheetHeight), Ratio(pageWidth - gutter, 2.0 * sheetWidth));
        // The halves lie one above the other.
        fit = Smaller(Ratio(sheetWidth, pageWidth), Ratio((sheetHeight - gutter) / 2.0, pageHeight));
    }
    // The reduction above equals the page's fit to its half when page and
    // sheet are one paper in portrait; elsewhere (Letter, landscape jobs,
    // pages of other sizes) it can leave the page larger than its half, so
    // it is held to that fit.
    st.BookletScale = Smaller(scale, fit);
}

void Layout_BookletPlacePosition(int order, int orientation, int index, int columns, int rows, int* column,
                                 int* row) {
    int c = 0, k = 0;
    const int M = columns > rows ? columns : rows;
    if (M > 0 && index >= 0) {
        if (columns * rows == 2) {
            if (order == 0) {
                c = index % M;
                k = index / M;
            } else if (order == 1) {
                c = M - index % M - 1;
                k = index / M;
            }
            if (orientation == DMORIENT_PORTRAIT) Swap(c, k);
        } else if (order == 0) {
            c = index % M;
            k = index / M;
        } else if (order == 1) {
            switch (index) {
            case 0: c = 1, k = 0; break;
            case 2: c = 1, k = 1; break;
            case 3: c = 0, k = 1; break;
            default: break;
            }
        }
    }
    if (column) *column = c;
    if (row) *row = k;
}

void Layout_BookletGutter(const PDEV* pdev, INT32* across, INT32* down) {
    if (!pdev || !across || !down) return;
    const LayoutState& st = State(pdev);
    const RendPrivate& priv = JobSettings(pdev).priv;
    const int g = priv.FirstGutterFlag ? priv.GutterWidth : 0;
    if (g == 0) {
        *across = 0;
        *down = 0;
        return;
    }
    if (st.BookletRows == 1) *across = g;
    if (st.BookletColumns == 1) *down = g;
}

void Layout_BookletPrintPosition(const PDEV* pdev, int columns, int rows, BOOL front, int entryWidth,
                                 int entryHeight, int entryIndex, INT32* dx, INT32* dy) {
    if (!dx || !dy) return;
    *dx = 0;
    *dy = 0;
    if (!pdev || columns <= 0 || rows <= 0) return;
    const LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const RendPrivate& priv = job.priv;

    // The position as seen on this half: mirrored across by the booklet
    // order and the page's side of the fold, and turned on back sides.
    int p = priv.PrintPosition;
    const int order = priv.BookletOrder & 0xFF;
    const bool evenIndex = entryIndex % 2 == 0;
    const bool printerDuplex = priv.DuplexBinding < 3;
    auto mirrorAcross = [&p]() {
        static const int kAcross[4] = {1, 0, 3, 2};
        if (p >= 0 && p <= 3) p = kAcross[p];
    };
    if (order == 1) {
        if (((front && evenIndex) || (!front && !evenIndex)) && printerDuplex) mirrorAcross();
        if (!front) {
            static const int kBack[4] = {2, 3, 0, 1};
            if (p >= 0 && p <= 3) p = kBack[p];
        }
    } else if (order == 0) {
        if (((front && !evenIndex) || (!front && evenIndex)) && printerDuplex) mirrorAcross();
        if (!front) {
            if (p == 2) return;
            static const int kBack[4] = {2, 3, 2, 1};
            if (p >= 0 && p <= 3) p = kBack[p];
        }
    }
    // The half's room around the scaled page.
    if (p == 0) return;
    const int D = Layout_MarginUnit(job);
    const int Ws = st.SheetGeometry.Width;
    const int Hs = st.SheetGeometry.Height;
    int t = entryHeight, u = entryWidth;
    const bool landscapeSheet = Hs < Ws;
    if ((landscapeSheet && entryWidth < entryHeight) || (!landscapeSheet && entryWidth > entryHeight)) Swap(t, u);
    const int G = FoldGutter(priv);
    const bool portraitSheet = st.SheetOrientation == DMORIENT_PORTRAIT;
    const int across = (portraitSheet ? Ws : Ws - G) - 2 * D;
    const int down = (portraitSheet ? Hs - G : Hs) - 2 * D;
    // The room left across and down, a page's share of it by the position.
    const int roomAcross = Trunc(across - double(t - 2 * D) * columns * st.BookletScale);
    const int roomDown = Trunc(down - st.BookletScale * (u - 2 * D) * rows);
    const int ex = roomAcross / columns;
    const int ey = roomDown / rows;
    switch (p) {
    case 1: *dx = ex; break;
    case 2: *dy = ey; break;
    case 3: *dx = ex, *dy = ey; break;
    case 4: *dx = roomAcross / (2 * columns), *dy = roomDown / (2 * rows); break;
    default: break;
    }
}

INT16 Layout_BookletCellTransform(PDEV* pdev, INT16* outX, INT16* outY, int place, int entry, BOOL front) {
    if (!pdev || !outX || !outY) return 0;
    LayoutState& st = State(pdev);
    JobState& js = pdev->Job.State;
    const RendDevmode& job = JobSettings(pdev);
    const RendDevmode& current = CurrentSettings(pdev);
    const RendPrivate& priv = job.priv;
    const int D = Layout_MarginUnit(job);
    const SpoolState& spool = js.Spool;
    if (!spool.PageTable || entry < 0 || entry >= spool.PageTableCount) {
        *outX = INT16(D);
        *outY = INT16(D);
        return 0;
    }
    const SpoolPageEntry& stored = spool.PageTable[entry];

    // The page, turned to the first page's orientation.
    PageGeometry g = EntryGeometry(stored);
    const int EO = stored.Orientation;
    const int FO = st.FirstPageOrientation;
    int pw = g.Width - g.Left - g.Right;
    int ph = g.Height - g.Top - g.Bottom;
    if (EO != FO) {
        Swap(g.Width, g.Height);
        Swap(pw, ph);
        Swap(g.Left, g.Top);
    }
    // The 180-degree decision of the page's side.
    const bool applies = Layout_RotationApplies(job, EO) != 0;
    if (priv.DuplexBinding == 3 || priv.DuplexBinding == 4)
        js.PageTurn = applies ? 1 : 0;
    else
        js.PageTurn = (applies && front) || (!applies && !front) ? 1 : 0;
    // The user's scaling enlarges nothing in the turns; any other scale is
    // part of the page extent.
    double sx = 1.0, sy = 1.0;
    if (priv.ScaleOn == 1) {
        sx = st.ScaleX > 1.0 ? 1.0 : st.ScaleX;
        sy = st.ScaleY > 1.0 ? 1.0 : st.ScaleY;
    } else {
        pw = Trunc(pw * st.ScaleX);
        ph = Trunc(ph * st.ScaleY);
    }
    // A page of another size gets a booklet scale of its own.
    if (js.PageSizeChanged) {
        int width = g.Width, height = g.Height;
        if (g_LastPlaced.placed && EO != g_LastPlaced.orientation) Swap(width, height);
        if (!g_LastPlaced.placed || width != g_LastPlaced.width || height != g_LastPlaced.height)
            Layout_ComputeBookletScale(pdev, FALSE, &g);
        g_LastPlaced = {true, g.Width, g.Height, EO};
    }
    // What the margins exceed the unprintable unit by, scaled.
    const double BS = st.BookletScale;
    const int l = Trunc((g.Left - D) * st.ScaleX * BS);
    const int t = Trunc((g.Top - D) * st.ScaleY * BS);
    const int r = Trunc((g.Right - D) * st.ScaleX * BS);
    int X = D + l;
    int Y = D + t;
    // The half of the sheet.
    int rotation = 0;
    int c = 0, k = 0;
    if (place > 0 && current.priv.BookletOn) {
        const int BC = st.BookletColumns > 0 ? st.BookletColumns : 1;
        const int BR = st.BookletRows > 0 ? st.BookletRows : 1;
        Layout_BookletPlacePosition(priv.BookletOrder & 0xFF, st.SheetOrientation, place - 1, BC, BR, &c, &k);
        X += (st.SheetGeometry.Width - 2 * D) / BC * c;
        Y += (st.SheetGeometry.Height - 2 * D) / BR * k;
        const int S = st.SheetOrientation;
        const bool sheetKnown = S == DMORIENT_PORTRAIT || S == DMORIENT_LANDSCAPE;
        if (js.PageTurn && EO == FO) {
            if (EO == DMORIENT_PORTRAIT || EO == DMORIENT_LANDSCAPE) {
                rotation = 180;
                X += Trunc(pw * sx * BS);
                Y += Trunc(ph * sy * BS);
            }
        } else if (EO != FO && sheetKnown && (js.PageTurn || BC * BR > 1)) {
            if (EO == DMORIENT_PORTRAIT) {
                rotation = 90;
                Y += Trunc(ph * sy * BS);
                if (js.PageTurn && S == DMORIENT_PORTRAIT) Y += -t + r;
            } else {
                rotation = 270;
                X += Trunc(pw * sx * BS);
            }
        }
        st.PageRotation = INT16(rotation);
    }
    // The print position on the half.
    INT32 dx = 0, dy = 0;
    const bool landscapeFirst = FO == DMORIENT_LANDSCAPE;
    Layout_BookletPrintPosition(pdev, landscapeFirst ? 1 : 2, landscapeFirst ? 2 : 1, front, g.Width, g.Height, entry,
                                &dx, &dy);
    int x = X + dx;
    int y = Y + dy;
    // The gutter: the halves move apart from the fold. The pages were
    // shrunk to leave twice the gutter width, so the first half already ends
    // a gutter width before the fold; only the second half moves, by the
    // gutter width. (Moving the first half outwards as well would push it past the
    // sheet's printable edge by the gutter width.)
    if (current.priv.FirstGutterFlag && current.priv.GutterWidth) {
        INT32 gutterAcross = 0, gutterDown = 0;
        Layout_BookletGutter(pdev, &gutterAcross, &gutterDown);
        if (c == 1 || k == 1) {
            x += gutterAcross;
            y += gutterDown;
        }
    }
    *outX = INT16(x);
    *outY = INT16(y);
    return INT16(rotation);
}

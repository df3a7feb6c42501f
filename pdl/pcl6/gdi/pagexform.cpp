// The page transform: where the page prologue puts the page's origin and
// how it turns the page, from the margins, the N-up cell, the cell's turn,
// the print position and the image shift.
#include <windows.h>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/pdev.h"

using namespace layout;

namespace {

// The print-position adjustment of the last page transform, negated; the
// overlay form recorder reads it. Per process, as the form files are.
INT32 g_FormWidth = 0;
INT32 g_FormHeight = 0;

// The origin and rotation being built, with the page extents and margin
// excesses the cell turns add.
struct Transform {
    int X = 0, Y = 0;
    int rotation = 0;
    int pw = 0, ph = 0;
    int l = 0, t = 0, r = 0, b = 0;
    double sx = 1.0, sy = 1.0;
    double cellScale = 1.0;

    int Across(double factor) const { return Trunc(pw * cellScale * factor); }
    int Down(double factor) const { return Trunc(ph * cellScale * factor); }

    void Turn90() {
        rotation = 90;
        Y += Down(sy) - t + b;
    }
    void Turn270() {
        rotation = 270;
        X += Across(sx) - l + r;
    }
    // As Turn270, with the bottom excess in place of the right one.
    void Turn270B() {
        rotation = 270;
        X += Across(sx) - l + b;
    }
    // The turn of a cell on a turned sheet.
    void Turn270T() {
        rotation = 270;
        X += Across(sy) - r + l;
    }
    void Turn180() {
        rotation = 180;
        X += Across(sx) - l + r;
        Y += Down(sy) - t + b;
    }
};

// Whether a page of `orientation` needs no turn of its own beyond the
// sheet's (the 180-degree rule's answer for it equals the sheet's turn).
bool SameTurn(const PDEV* pdev, int orientation) {
    return (Layout_RotationApplies(JobSettings(pdev), orientation) != 0) == (pdev->Job.State.PageTurn != 0);
}

// The turn of a page of the first page's orientation on a turned sheet:
// 270 or 90 degrees.
int TurnedSheetRotation(const PDEV* pdev) {
    const LayoutState& st = State(pdev);
    const int first = st.FirstPageOrientation;
    const bool sameTurn = SameTurn(pdev, first);
    const int currentPagesPerSheet = PagesPerSheet(CurrentSettings(pdev));
    const bool E = JobSettings(pdev).priv.DuplexBinding == 4 && !SheetIsOdd(pdev, currentPagesPerSheet);
    if (first == DMORIENT_LANDSCAPE) return !sameTurn && !E ? 270 : 90;
    return sameTurn || E ? 270 : 90;
}

// The N-up cell's turn for the current page (the rules are taken in order;
// their offsets add up and the last rotation set stands).
void TurnCell(const PDEV* pdev, Transform& tf) {
    const LayoutState& st = State(pdev);
    const JobState& js = pdev->Job.State;
    const RendDevmode& job = JobSettings(pdev);
    const int O = PageOrientation(pdev);
    const int first = st.FirstPageOrientation;
    const int S = st.SheetOrientation;
    const bool answer = Layout_RotationApplies(job, O) != 0;
    const bool sameTurn = SameTurn(pdev, O);
    const bool flip = js.BackSideFlip != 0;
    const bool uprightKind = O == DMORIENT_PORTRAIT || O == DMORIENT_LANDSCAPE;
    const bool oddSheet = SheetIsOdd(pdev, PagesPerSheet(job));

    if (!st.NupSheetTurned && O != first && (S == DMORIENT_PORTRAIT || S == DMORIENT_LANDSCAPE)) {
        // A page turned against the first page lies across its cell.
        if (O == DMORIENT_PORTRAIT) {
            if (sameTurn != flip)
                tf.Turn270();
            else
                tf.Turn90();
        } else if (O == DMORIENT_LANDSCAPE) {
            if (sameTurn != flip)
                tf.Turn90();
            else if (!flip && S == DMORIENT_PORTRAIT)
                tf.Turn270B();
            else
                tf.Turn270();
        }
    }
    if (st.NupSheetTurned) {
        const int currentPagesPerSheet = PagesPerSheet(CurrentSettings(pdev));
        const bool E = job.priv.DuplexBinding == 4 && !SheetIsOdd(pdev, currentPagesPerSheet);
        if (O == first) {
            if (uprightKind) {
                if (TurnedSheetRotation(pdev) == 270)
                    tf.Turn270T();
                else
                    tf.Turn90();
            }
        } else if (uprightKind && (!sameTurn) != E) {
            tf.Turn180();
        }
    } else if (uprightKind && !sameTurn) {
        const bool currentManualFlip = CurrentSettings(pdev).priv.DuplexBinding == 4;
        if (answer && oddSheet && currentManualFlip) tf.Turn180();
        if (!answer && O == first && js.PageTurn && oddSheet) tf.Turn180();
    }
}

}  // namespace

int Layout_NupSheetRotation(const PDEV* pdev) { return pdev ? TurnedSheetRotation(pdev) : 270; }

INT32 Layout_FormWidth() { return g_FormWidth; }
INT32 Layout_FormHeight() { return g_FormHeight; }

void Layout_ResetFormOffsets() {
    g_FormWidth = 0;
    g_FormHeight = 0;
}

INT16 Layout_PageTransform(PDEV* pdev, INT16* outX, INT16* outY, int sheetPageCount) {
    if (!pdev || !outX || !outY) return 0;
    LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const RendPrivate& priv = job.priv;
    const int D = Layout_MarginUnit(job);
    const int orientation = PageOrientation(pdev);
    const bool nup = PagesPerSheet(job) > 1;

    // The page and its printable extent, turned to the first page's
    // orientation when pages share a sheet.
    PageGeometry g = pdev->Geometry;
    Transform tf;
    tf.pw = g.Width - g.Left - g.Right;
    tf.ph = g.Height - g.Top - g.Bottom;
    if (orientation != st.FirstPageOrientation && (nup || priv.BookletOn)) {
        Swap(g.Width, g.Height);
        Swap(tf.pw, tf.ph);
        Swap(g.Left, g.Top);
        Swap(g.Right, g.Bottom);
    }
    // The user's scaling enlarges nothing in the cell turns; any other
    // scale is part of the page extent.
    if (priv.ScaleOn == 1) {
        tf.sx = st.ScaleX > 1.0 ? 1.0 : st.ScaleX;
        tf.sy = st.ScaleY > 1.0 ? 1.0 : st.ScaleY;
    } else {
        tf.pw = Trunc(tf.pw * st.ScaleX);
        tf.ph = Trunc(tf.ph * st.ScaleY);
    }
    // What the margins exceed the unprintable unit by, scaled.
    tf.cellScale = st.ShiftScale;
    tf.l = Trunc((g.Left - D) * st.ScaleX * st.ShiftScale);
    tf.t = Trunc((g.Top - D) * st.ScaleY * st.ShiftScale);
    tf.r = Trunc((g.Right - D) * st.ScaleX * st.ShiftScale);
    tf.b = Trunc((g.Bottom - D) * st.ScaleY * st.ShiftScale);
    if (st.NupSheetTurned) {
        Swap(tf.l, tf.t);
        Swap(tf.r, tf.b);
        Swap(tf.pw, tf.ph);
    }
    // The printable area's corner.
    tf.X = D + tf.l;
    tf.Y = D + tf.t;
    g_FormWidth = 0;
    g_FormHeight = 0;

    if (sheetPageCount != 0) {
        if (nup) {
            // The cell, and where the page sits in it: page borders inset
            // it, and two pages or eight portrait pages are centred along
            // the sheet's long side. These are measured on the sheet as the
            // reader holds it ("across" and "down").
            const int Ws = st.SheetGeometry.Width;
            const int Hs = st.SheetGeometry.Height;
            const int C = st.NupColumns > 0 ? st.NupColumns : 1;
            const int R = st.NupRows > 0 ? st.NupRows : 1;
            int c = 0, k = 0;
            Layout_CellPosition(priv.NupOrder, st.SheetOrientation, sheetPageCount - 1, C, R, &c, &k);
            int across = 0, down = 0;
            if (priv.PageBorderMode & 0x4) {
                across += 6 * (Layout_ResFactor(job) + 1);
                down += 6 * (Layout_ResFactor(job) + 1);
            }
            // A fitted image shift places the page in its cell itself: the
            // cells were shrunk for it, and centring as well would push the
            // shifted pages past the sheet's edge.
            INT32 shiftX = 0, shiftY = 0;
            Layout_ShiftOffsets(pdev, &shiftX, &shiftY);
            const bool shiftPlaces = priv.ShiftFit && (shiftX != 0 || shiftY != 0);
            // What the page leaves of its cell along the sheet's axes: its
            // extent there is the page's own as it reads on the sheet (the
            // extents were exchanged above for a turned sheet).
            const int margins = 2 * D;
            const int sheetPw = st.NupSheetTurned ? tf.ph : tf.pw;
            const int sheetPh = st.NupSheetTurned ? tf.pw : tf.ph;
            const int freeAcross = (Ws - margins) / C - Trunc(sheetPw * tf.cellScale * tf.sx);
            const int freeDown = (Hs - margins) / R - Trunc(sheetPh * tf.cellScale * tf.sy);
            // A centring move that would take the page past its cell (a
            // page of another size than the one the estimate is made for)
            // goes only as far as the cell's edge.
            auto centre = [](int& offset, int move, int free) {
                if (move > free - offset) move = free - offset;
                if (move > 0) offset += move;
            };
            if (C != R && !st.NupSheetTurned) {
                // A 2 x 1, 4 x 2 or 8 x 4 grid on a sheet kept in the first
                // page's orientation: the page fills its cell one way only
                // and is centred the other way (not along an axis that a
                // fitted shift moves it on).
                if (!(shiftPlaces && shiftX != 0) && freeAcross / 2 > across) across = freeAcross / 2;
                if (!(shiftPlaces && shiftY != 0) && freeDown / 2 > down) down = freeDown / 2;
            } else if (!shiftPlaces && PagesPerSheet(job) == 2 && Ws > 0 && Hs > 0) {
                if (Ws < Hs) {
                    const INT16 v = INT16(Ws * Ws / Hs);
                    if (v < Hs / 2) centre(down, (Hs / 2 - v) / 2, freeDown);
                } else {
                    const INT16 v = INT16(Hs * Hs / Ws);
                    if (v < Ws / 2) centre(across, (Ws / 2 - v) / 2, freeAcross);
                }
            } else if (!shiftPlaces && PagesPerSheet(job) == 8 && orientation == DMORIENT_PORTRAIT) {
                // Where the estimate comes out negative (Letter) the page
                // already fills its cell; moving it back would push it out
                // of the printable area.
                centre(across, Trunc((Ws * 0.25 - Hs * st.ShiftScale) * 0.5), freeAcross);
            }
            // The cell's turn, then its corner on the printer's page: a
            // turned sheet's cells lie across that page.
            TurnCell(pdev, tf);
            NupCellBox box{};
            Layout_NupCellOnPage(pdev, c, k, tf.rotation, &box);
            tf.X += box.x + (box.turned ? down : across);
            tf.Y += box.y + (box.turned ? across : down);
        }
        st.PageRotation = INT16(tf.rotation);
    }

    // The origin is written as 16-bit values.
    INT16 x = INT16(tf.X);
    INT16 y = INT16(tf.Y);

    // A page moved into its cell's corner when N-up began mid-job.
    if (PagesPerSheet(CurrentSettings(pdev)) > 1) {
        INT32 dx = 0, dy = 0;
        Layout_NupPrintPosition(pdev, &dx, &dy);
        tf.X += dx;
        tf.Y += dy;
        x = INT16(x + dx);
        y = INT16(y + dy);
    }
    // The user's print-position adjustment.
    if (priv.PrintPositionAdjust && (priv.AdjustX != 0 || priv.AdjustY != 0)) {
        INT32 dx = 0, dy = 0;
        Layout_PrintPositionOffsets(pdev, &dx, &dy);
        x = INT16(x + dx);
        y = INT16(y + dy);
        g_FormWidth -= dx;
        g_FormHeight -= dy;
    }
    // The image shift. A turned cell's shift and a single page's shift are
    // taken from the corner before the adjustment and replace the origin on
    // the axis they move; an upright cell's shift moves the origin as it is.
    if (priv.ImageShiftDirection != 0) {
        if (nup && tf.rotation != 0) {
            INT32 nx = 0, ny = 0;
            Layout_NupShiftTurned(pdev, tf.X, tf.Y, tf.rotation, &nx, &ny);
            if (INT16(nx) != 0) x = INT16(nx);
            if (INT16(ny) != 0) y = INT16(ny);
        } else if (nup) {
            Layout_NupShiftUpright(pdev, &x, &y);
        } else {
            INT32 sx = 0, sy = 0;
            Layout_ShiftOffsets(pdev, &sx, &sy);
            if (INT16(sx) != 0) x = INT16(tf.X + sx);
            if (INT16(sy) != 0) y = INT16(tf.Y + sy);
        }
    }
    *outX = x;
    *outY = y;
    return INT16(tf.rotation);
}

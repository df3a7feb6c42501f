// Page layout: the settings it reads, the sheet a job prints on, and the
// page scale (user scaling, fit to another paper, poster enlargement).
#include <windows.h>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/util.h"
#include "pcl6/intrface/xmodel.h"

using namespace layout;

namespace {

// The geometry of paper `code` for the job's settings, turned to
// `orientation`; FALSE when the model does not know the paper.
BOOL LookupPaper(const RendDevmode& job, int code, int orientation, PageGeometry* out) {
    if (code == 0) return FALSE;
    // The lookup turns the paper and its margins by the settings'
    // orientation; a copy carries the orientation asked for.
    RendDevmode turned = job;
    turned.pub.dmOrientation = SHORT(orientation);
    return Xmodel_Lookup(out, &turned, code, FALSE);
}

}  // namespace

int Layout_ResFactor(const RendDevmode& settings) { return settings.priv.ColorAdjust.ResolutionStep ? 1 : 0; }

int Layout_MarginUnit(const RendDevmode& settings) { return XMODEL_MIN_MARGIN * (Layout_ResFactor(settings) + 1); }

BOOL Layout_PosterOn(const RendDevmode& settings) { return settings.priv.PosterOn ? TRUE : FALSE; }

int Layout_PosterSize(const RendDevmode& settings) { return settings.priv.PosterSize; }

int Layout_PosterTiles(const RendDevmode& settings) {
    switch (Layout_PosterSize(settings)) {
    case 1: return 3;
    case 2: return 4;
    default: return 2;
    }
}

BOOL Layout_RotationApplies(const RendDevmode& settings, int orientation) {
    switch (settings.priv.Rotate180Mode) {
    case 1: return orientation == DMORIENT_LANDSCAPE;
    case 2: return orientation == DMORIENT_PORTRAIT;
    case 3: return TRUE;
    default: return FALSE;
    }
}

BYTE Layout_GetBorderMode(const PDEV* pdev) { return pdev ? BYTE(pdev->Devmode.priv.PageBorderMode & 0xFF) : 0; }

void Layout_TakeSheetGeometry(PDEV* pdev) {
    if (!pdev) return;
    LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const int orientation = PageOrientation(pdev);
    st.FirstPageGeometry = pdev->Geometry;
    st.FirstPageOrientation = INT16(orientation);
    st.SheetOrientation = INT16(orientation);

    // A paper the model does not know was replaced by the country's paper
    // when the job started; the page is fitted to it.
    int paper = job.pub.dmPaperSize;
    st.SubstitutedPaper = 0;
    if (!Xmodel_IsModelPaper(paper)) {
        paper = IsA4Country() ? DMPAPER_A4 : DMPAPER_LETTER;
        st.SubstitutedPaper = INT16(paper);
    }
    PageGeometry sheet{};
    if (LookupPaper(job, job.priv.PaperOverride, orientation, &sheet) ||
        LookupPaper(job, paper, orientation, &sheet))
        st.SheetGeometry = sheet;
    else
        st.SheetGeometry = pdev->Geometry;
}

void Layout_StartJob(PDEV* pdev) {
    if (!pdev) return;
    Layout_TakeSheetGeometry(pdev);
    Layout_ComputeScale(pdev);
    Layout_ComputeNup(pdev);
    Layout_ComputeBookletScale(pdev, TRUE, &pdev->Geometry);
}

double Layout_FitRatio(const PDEV* pdev) {
    if (!pdev) return 1.0;
    const LayoutState& st = State(pdev);
    const int margins = 2 * Layout_MarginUnit(JobSettings(pdev));
    int pageWidth = pdev->Geometry.Width;
    int pageHeight = pdev->Geometry.Height;
    if (PageOrientation(pdev) != st.SheetOrientation) Swap(pageWidth, pageHeight);
    return Smaller(Ratio(st.SheetGeometry.Width - margins, pageWidth - margins),
                   Ratio(st.SheetGeometry.Height - margins, pageHeight - margins));
}

void Layout_ComputeScale(PDEV* pdev) {
    if (!pdev) return;
    LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const RendPrivate& priv = job.priv;
    double scale = 1.0;
    if (PagesPerSheet(job) <= 1 && !priv.BookletOn) {
        const bool userScale = priv.ScaleOn == 1;
        if (userScale) scale = priv.ScalePercent * 0.01;
        const bool otherPaper = priv.PaperOverride != 0 && priv.PaperOverride != job.pub.dmPaperSize && !userScale;
        if (otherPaper || st.SubstitutedPaper) scale = Layout_FitRatio(pdev);
        // A poster enlarges the page over its tiles unless the user scales it.
        if (Layout_PosterOn(job) && !userScale) scale *= Layout_PosterTiles(job);
    }
    st.ScaleX = scale;
    st.ScaleY = scale;
}

void Layout_PageScale(const PDEV* pdev, double* x, double* y) {
    if (!pdev || !x || !y) return;
    const LayoutState& st = State(pdev);
    double sx = 1.0, sy = 1.0;
    Layout_ShiftFitScale(pdev, &sx, &sy);
    const double fit = Smaller(sx, sy);
    *x = st.ScaleX * st.BookletScale * fit * st.ShiftScale;
    *y = st.ScaleY * st.BookletScale * fit * st.ShiftScale;
}

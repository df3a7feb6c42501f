// Small helpers shared by the page-layout sources.
#pragma once
#include <windows.h>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/pdev.h"

namespace layout {

inline const RendDevmode& JobSettings(const PDEV* pdev) { return pdev->Job.JobDevmode; }
inline const RendDevmode& CurrentSettings(const PDEV* pdev) { return pdev->Devmode; }
inline LayoutState& State(PDEV* pdev) { return pdev->Job.State.Layout; }
inline const LayoutState& State(const PDEV* pdev) { return pdev->Job.State.Layout; }

// Pages per sheet, 0 read as 1.
inline int PagesPerSheet(const RendDevmode& settings) {
    return settings.priv.PagesPerSheet ? settings.priv.PagesPerSheet : 1;
}

// The sheet of the current page, counted from 0, with `pagesPerSheet`.
inline int SheetIndex(const PDEV* pdev, int pagesPerSheet) {
    int page = int(pdev->Job.State.PageCounter) - 1;
    if (page < 0) page = 0;
    return page / (pagesPerSheet > 0 ? pagesPerSheet : 1);
}
inline bool SheetIsOdd(const PDEV* pdev, int pagesPerSheet) { return SheetIndex(pdev, pagesPerSheet) % 2 == 1; }

// The orientation of the current page: 1 portrait, 2 landscape.
inline int PageOrientation(const PDEV* pdev) { return pdev->Orientation; }

// Truncation toward zero into 32 bits; values beyond the range (and NaN)
// are held at its ends rather than left undefined.
inline int Trunc(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return int(value);
}

// A scale ratio: a degenerate extent (zero or negative) on either side
// gives 1, so that a paper with no printable area keeps the page unscaled
// instead of dividing by zero or mirroring it.
inline double Ratio(double numerator, double denominator) {
    if (!(numerator > 0) || !(denominator > 0)) return 1.0;
    return numerator / denominator;
}

inline double Smaller(double a, double b) { return a < b ? a : b; }

template <typename T>
inline void Swap(T& a, T& b) {
    T keep = a;
    a = b;
    b = keep;
}

// The side's image-shift amount: the back amount when the duplex mode is
// above 0 and the sheet, counted with the current settings' pages per
// sheet, is odd; else the front amount.
inline int SideShiftAmount(const PDEV* pdev) {
    const RendPrivate& job = JobSettings(pdev).priv;
    const bool back = job.DuplexBinding > 0 && SheetIsOdd(pdev, PagesPerSheet(CurrentSettings(pdev)));
    return back ? job.BackShift : job.FrontShift;
}

}  // namespace layout

// Clears the per-process form offsets of the page transform.
void Layout_ResetFormOffsets();

// The carry-over of a running job when the engine resets a PDEV
// (DrvResetPDEV): an application changes its settings in mid-document, the
// engine enables a new PDEV with them, hands the job over and then disables
// the old PDEV.
//
// The job state moves: the new PDEV takes over every allocation, file and
// handle the job owns, and the old PDEV is left with an empty job state, so
// that disabling it frees nothing the new PDEV still uses.
#include <windows.h>

#include <cstring>

#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/pdev.h"

using layout::PagesPerSheet;

namespace {

// Ranges of the private settings (first and last offset) whose change
// matters to a running job: N-up, scale and paper override, the requested
// paper with its orientation and media, the overlay form, the watermark.
struct PrivateRange {
    size_t first;
    size_t last;
};
constexpr PrivateRange kJobRanges[] = {
    {100, 107}, {540, 547}, {548, 559}, {1890, 2915}, {3484, 6719},
};

bool RangeDiffers(const RendPrivate& a, const RendPrivate& b, const PrivateRange& range) {
    const BYTE* pa = reinterpret_cast<const BYTE*>(&a) + range.first;
    const BYTE* pb = reinterpret_cast<const BYTE*>(&b) + range.first;
    return std::memcmp(pa, pb, range.last - range.first + 1) != 0;
}

// Whether the new settings change what the running job prints.
bool SignificantChange(const PDEV& newPdev, const PDEV& oldPdev) {
    const RendDevmode& now = newPdev.Devmode;
    const RendDevmode& before = oldPdev.Devmode;
    for (const PrivateRange& range : kJobRanges)
        if (RangeDiffers(now.priv, before.priv, range)) return true;
    if (now.pub.dmCopies != before.pub.dmCopies) return true;
    // Collation matters only when every page has a sheet of its own.
    return now.priv.PagesPerSheet < 2 && now.pub.dmCollate != before.pub.dmCollate;
}

}  // namespace

BOOL Job_ResetPdev(PDEV* newPdev, PDEV* oldPdev) {
    if (!newPdev || !oldPdev || newPdev == oldPdev) return FALSE;
    if (oldPdev->Orientation != DMORIENT_PORTRAIT && oldPdev->Orientation != DMORIENT_LANDSCAPE) return FALSE;

    const bool running = (oldPdev->Job.JobFlags & JOBF_JOB_OPEN) && !(newPdev->Job.JobFlags & JOBF_JOB_OPEN);
    if (running && SignificantChange(*newPdev, *oldPdev)) oldPdev->Job.JobFlags |= JOBF_SETTINGS_CHANGED;

    // A new number of pages per sheet lays the job out anew from its next
    // page. The sheet the old layout began is ended first, by the PDEV that
    // placed its pages. Before the first page there is nothing to lay out:
    // the first page takes the settings as they are then.
    const JobState& runningJob = oldPdev->Job.State;
    const bool newGrid = running && runningJob.PageCounter > 0 &&
                         PagesPerSheet(newPdev->Devmode) != PagesPerSheet(oldPdev->Job.JobDevmode);
    if (newGrid && runningJob.SheetPageCount > 0 && !(oldPdev->Job.JobFlags & JOBF_PAGE_STARTED))
        Job_CompleteSheet(oldPdev);

    // The new PDEV may hold job state of its own only if the engine reset
    // into a PDEV that already ran a job; what it owned goes first.
    Job_FreeJobState(newPdev);
    std::memcpy(&newPdev->Job, &oldPdev->Job, sizeof(PdevJob));
    newPdev->Job.FontCache.PendingFont = nullptr;

    // The old PDEV gives up the job: it keeps only what makes it a PDEV.
    const UINT32 signature = oldPdev->Job.Signature;
    const UINT32 lastWord = oldPdev->Job.LastWord;
    std::memset(&oldPdev->Job, 0, sizeof(PdevJob));
    oldPdev->Job.Signature = signature;
    oldPdev->Job.LastWord = lastWord;

    if (!(newPdev->Job.JobFlags & JOBF_JOB_OPEN)) return TRUE;
    const RendPrivate& now = newPdev->Devmode.priv;
    RendDevmode& job = newPdev->Job.JobDevmode;
    if (newGrid) {
        // The job takes the new sheet layout (the N-up settings at 100..107
        // go together); what else changed with it is judged as any change.
        job.priv.PageBorderMode = now.PageBorderMode;
        job.priv.PagesPerSheet = now.PagesPerSheet;
        job.priv.NupOrder = now.NupOrder;
        job.priv.AllCellBorders = now.AllCellBorders;
        job.priv.NupSheetOrientation = now.NupSheetOrientation;
        Job_RestartLayout(newPdev);
        return TRUE;
    }
    // Other changes that matter to the job are left out of it: it goes on
    // as it started.
    if (newPdev->Job.JobFlags & JOBF_SETTINGS_CHANGED) return TRUE;

    const bool laidOut = newPdev->Job.State.PageCounter > 0;
    // A booklet stays a booklet (its pages go to the folded sheets), and a
    // job that is none does not become one. When a booklet's setting
    // changed, its sheet is taken again from the current page and the
    // booklet scale computed again for it.
    if (job.priv.BookletOn && now.BookletOn != job.priv.BookletOn && laidOut) {
        Layout_TakeSheetGeometry(newPdev);
        Layout_ComputeBookletScale(newPdev, TRUE, &newPdev->Geometry);
    }
    // An N-up or booklet job keeps its copy of the settings; any other job
    // takes the new settings as its own.
    if (PagesPerSheet(newPdev->Devmode) <= 1 && !now.BookletOn) Job_TakeSettings(newPdev);
    if (laidOut) Layout_ComputeScale(newPdev);
    return TRUE;
}

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
#include "pcl6/gdi/pdev.h"

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

    if ((oldPdev->Job.JobFlags & JOBF_JOB_OPEN) && !(newPdev->Job.JobFlags & JOBF_JOB_OPEN) &&
        SignificantChange(*newPdev, *oldPdev))
        oldPdev->Job.JobFlags |= JOBF_SETTINGS_CHANGED;

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

    if (!(newPdev->Job.JobFlags & JOBF_JOB_OPEN) || (newPdev->Job.JobFlags & JOBF_SETTINGS_CHANGED)) return TRUE;

    // A running job goes on with the new settings. With N-up or booklet the
    // sheet takes the current page's geometry when the sheet layout changed;
    // otherwise the job's copy of the settings is taken again.
    const RendPrivate& now = newPdev->Devmode.priv;
    const RendPrivate& job = newPdev->Job.JobDevmode.priv;
    if (now.PagesPerSheet > 1 || now.BookletOn) {
        LayoutState& layout = newPdev->Job.State.Layout;
        if (now.PagesPerSheet != job.PagesPerSheet || now.BookletOn != job.BookletOn) {
            layout.SheetGeometry = newPdev->Geometry;
            layout.SheetOrientation = newPdev->Orientation;
        }
    } else {
        Job_TakeSettings(newPdev);
    }
    return TRUE;
}

// The temporary spool file of jobs whose pages are reordered, paired or
// repeated at the end of the job.
//
// Only the close of the job header's range stands so far: the page table
// that records it as entry 0 comes with the replay of stored pages.
#include <windows.h>

#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/spoolfile.h"

void Spool_AddHeaderEntry(PDEV* pdev) {
    if (!pdev) return;
    if (pdev->Job.State.Spool.OutputFlags & (OUTF_TO_SPOOL_FILE | OUTF_FORM_MERGE | OUTF_COLLATE_REPLAY))
        Spool_Flush(pdev);
}

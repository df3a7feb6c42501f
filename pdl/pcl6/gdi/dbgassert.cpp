#include <windows.h>
#include <strsafe.h>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/rendutil.h"

namespace {

LPCSTR BaseName(LPCSTR file) {
    if (!file) return "";
    LPCSTR name = file;
    for (LPCSTR p = file; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    return name;
}

}  // namespace

void Dbg_Assert(PDEV* pdev, LPCSTR file, int line) {
    char text[64];
    if (!pdev) {
        StringCchPrintfA(text, sizeof(text), "File:%s Line:%d\n", BaseName(file), line);
        Dbg_Print("Doc:''\nError in %s\n", text);
        return;
    }
    // While a job is open only the first check of each sheet is reported.
    UINT32& flags = pdev->Job.JobFlags;
    if ((flags & JOBF_JOB_OPEN) && (flags & JOBF_CHECK_REPORTED)) return;
    flags |= JOBF_CHECK_REPORTED;
    StringCchPrintfA(pdev->Job.Gstate.CheckText, sizeof(pdev->Job.Gstate.CheckText), "File:%s Line:%d\n",
                     BaseName(file), line);
    char document[256];
    Util_WideToAnsi(document, pdev->Job.State.DocumentName, sizeof(document));
    Dbg_Print("Doc:'%s'\nError in %s\n", document, pdev->Job.Gstate.CheckText);
}

// The PJL job header, the session and the end of job.
#include <windows.h>
#include <winspool.h>

#include <cstring>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/ips.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pagemedia.h"
#include "pcl6/gdi/papername.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/pjl.h"
#include "pcl6/gdi/spoolfile.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

namespace {

constexpr char kStreamHeaderStart[] = ") HP-PCL XL;3;0;Comment ";
// The maker's comment of the stream header.
constexpr char kStreamComment[] = "Tamrend PCL XL driver 5.00 for Korvan printers";
static_assert(sizeof(kStreamHeaderStart) - 1 == 24);
static_assert(sizeof(kStreamComment) - 1 == 46);

// The print processor whose printers always got the session start as a
// write of its own.
constexpr char kPellixProcessor[] = "Pellixpps";
// GetComputerNameW is given room for this many characters.
constexpr DWORD kOwnerChars = 200;

LPCSTR DuplexValue(const PDEV* pdev) {
    const int mode = Job_Settings(pdev).priv.DuplexBinding;
    const int dmDuplex = Job_Settings(pdev).pub.dmDuplex;
    return mode == 1 || mode == 2 || (mode == 0 && dmDuplex > 1) ? "ON" : "OFF";
}

LPCSTR BindingValue(const PDEV* pdev) {
    const int mode = Job_Settings(pdev).priv.DuplexBinding;
    const int dmDuplex = Job_Settings(pdev).pub.dmDuplex;
    return mode == 1 || mode == 3 || ((mode == 0 || mode == 2) && dmDuplex == 2) ? "SHORTEDGE" : "LONGEDGE";
}

// The paper type: the name BeginPage gives it as MediaType.
LPCSTR PaperTypeValue(const PDEV* pdev) { return Pxl_MediaType(Job_Settings(pdev).priv.MediaIndex).Name; }

LPCSTR DensityValue(const PDEV* pdev) {
    switch (Job_Settings(pdev).priv.DensityLevel) {
        case 0: return "LEVEL0";
        case 2: return "LEVEL4";
        default: return "LEVEL2";
    }
}

// The paper the printer is told of: the paper its sheets ask for, so that
// the job header and every BeginPage name the same paper (the output paper
// override included).
void PaperValue(const PDEV* pdev, LPSTR name, int capacity) {
    PaperName_OfJob(Job_Settings(pdev), Pxl_MediaPaperCode(pdev), name, capacity);
}

// The job's owner: the computer name as its UTF-16LE bytes; empty when the
// name cannot be read.
void WriteOwner(PDEV* pdev) {
    WCHAR name[kOwnerChars] = {};
    DWORD length = kOwnerChars;
    if (!GetComputerNameW(name, &length) || length >= kOwnerChars) length = 0;
    BYTE bytes[2 * kOwnerChars];
    for (DWORD i = 0; i < length; ++i) {
        bytes[2 * i] = BYTE(name[i]);
        bytes[2 * i + 1] = BYTE(name[i] >> 8);
    }
    Spool_Printf(pdev, "@PJL SET JOBOWNER=\"");
    Spool_Write(pdev, bytes, 2 * length);
    Spool_Printf(pdev, "\"\r\n");
}

// The printer's print processor as 8-bit text; empty when it cannot be read.
void ReadPrintProcessor(const PDEV* pdev, LPSTR name, int capacity) {
    name[0] = 0;
    LPBYTE block = Registry_GetHL(pdev->SpoolerPrinter, 2);
    if (!block) return;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(block);
    if (info->pPrintProcessor) Util_WideToAnsi(name, info->pPrintProcessor, capacity);
    Util_GlobalFree(nullptr, block);
}

}  // namespace

BOOL Pxl_BeginSession(PDEV* pdev) {
    if (!pdev) return FALSE;
    if (pdev->Job.JobFlags & JOBF_SESSION_BEGUN) return TRUE;
    Pjl_WriteJobHeader(pdev);
    const BOOL result = Pxl_WriteBeginSession(pdev, Settings_UnitsPerInch(pdev));
    Pxl_OpenDataSource(pdev);
    Gx_SetColorTreatment(pdev, 0);
    if (!Settings_IsManualDuplex(Job_Settings(pdev))) {
        Spool_AddHeaderEntry(pdev);
        pdev->Job.JobFlags |= JOBF_SESSION_BEGUN;
    }
    return result;
}

void Pjl_WriteJobHeader(PDEV* pdev) {
    if (!pdev) return;
    const RendDevmode& settings = Job_Settings(pdev);
    Spool_Write(pdev, PJL_UEL, PJL_UEL_LENGTH);
    Spool_Printf(pdev, "@PJL COMMENT Version 3.0 For Windows 2000\r\n");
    const int jobHandling = Settings_JobHandling(pdev);
    if (jobHandling >= 1 && jobHandling <= 3) {
        Dbg_Print("JobHandling disabled, please check UI setting!\n");
        Dbg_Assert(pdev, "pjl", __LINE__);
    }
    const int copies = settings.pub.dmCollate == DMCOLLATE_TRUE ? 1 : settings.pub.dmCopies;
    Spool_Printf(pdev, "@PJL SET COPIES=%d\r\n", copies);
    Spool_Printf(pdev, "@PJL SET DUPLEX=%s\r\n", DuplexValue(pdev));
    Spool_Printf(pdev, "@PJL SET BINDING=%s\r\n", BindingValue(pdev));
    Spool_Printf(pdev, "@PJL SET PAPERTYPE=%s\r\n", PaperTypeValue(pdev));
    WriteOwner(pdev);
    char paper[32];
    PaperValue(pdev, paper, sizeof(paper));
    Spool_Printf(pdev, "@PJL SET PAPER=%s\r\n", paper);
    Spool_Printf(pdev, "@PJL SET DENSITY=%s\r\n", DensityValue(pdev));
    if (Settings_RenderModel(pdev)) Spool_Printf(pdev, "@PJL SET RENDERMODEL=G2\r\n");
    // The printer takes the job at 600 dpi also when it is rendered at 1200.
    Spool_Printf(pdev, "@PJL SET RESOLUTION=600\r\n");
    Spool_Printf(pdev, "@PJL SET FINE=%s\r\n", Settings_FineMode(pdev) ? "ON" : "OFF");
    Spool_Printf(pdev, "@PJL ENTER LANGUAGE=PCLXL\r\n");

    BYTE header[PXL_STREAM_HEADER_LENGTH];
    std::memcpy(header, kStreamHeaderStart, 24);
    std::memcpy(header + 24, kStreamComment, 46);
    header[70] = 0;
    header[71] = '\n';
    Spool_Write(pdev, header, sizeof(header));
}

BOOL Pxl_WriteBeginSession(PDEV* pdev, int unitsPerMeasure) {
    if (!pdev) return FALSE;
    if (!Ips_Binding().Library) Ips_Load();
    char processor[256];
    ReadPrintProcessor(pdev, processor, sizeof(processor));

    const BYTE units0 = BYTE(unitsPerMeasure), units1 = BYTE(unitsPerMeasure >> 8);
    const BYTE block[16] = {PXL_TAG_UBYTE,  0,      PXL_TAG_ATTR_UBYTE, PXL_ATTR_MEASURE,
                            PXL_TAG_UINT16_XY, units0, units1,          units0,
                            units1,         PXL_TAG_ATTR_UBYTE, PXL_ATTR_UNITS_PER_MEASURE, PXL_TAG_UBYTE,
                            3,              PXL_TAG_ATTR_UBYTE, PXL_ATTR_ERROR_REPORT, PXL_OP_BEGIN_SESSION};
    if (std::strcmp(processor, kPellixProcessor) != 0) return Spool_Write(pdev, block, sizeof(block));
    // Through the same path as every other byte, so that it follows the
    // header in the stream wherever the stream goes, as a write of its own.
    Spool_Flush(pdev);
    Spool_Write(pdev, block, sizeof(block));
    Spool_Flush(pdev);
    return !(pdev->Job.JobFlags & JOBF_OUTPUT_ERROR);
}

BOOL Pxl_OpenDataSource(PDEV* pdev) {
    Pxl_WriteAttr(pdev, 0, PXL_ATTR_SOURCE_TYPE, PXL_TYPE_UBYTE);
    Pxl_WriteAttr(pdev, 1, PXL_ATTR_DATA_ORG, PXL_TYPE_UBYTE);
    return Pxl_WriteOperator(pdev, PXL_OP_OPEN_DATA_SOURCE);
}

BOOL Pxl_CloseDataSource(PDEV* pdev) { return Pxl_WriteOperator(pdev, PXL_OP_CLOSE_DATA_SOURCE); }

BOOL Pjl_WriteEndOfJob(PDEV* pdev) {
    Pxl_WriteOperator(pdev, PXL_OP_END_SESSION);
    Spool_Write(pdev, PJL_UEL, PJL_UEL_LENGTH);
    Spool_Printf(pdev, "@PJL EOJ\r\n");
    return Spool_Write(pdev, PJL_UEL, PJL_UEL_LENGTH);
}

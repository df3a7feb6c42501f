// The page-level commands of the job stream: BeginPage with the sheet's
// media, the page transform operators, EndPage with the copy count, and the
// heads of images and raster patterns whose data the image and brush code
// supply. Every byte goes through the encoder and the output sink, so the
// writers return what Spool_Write returns (FALSE once the job's output has
// failed).
#pragma once
#include <windows.h>

struct PDEV;

// MediaSource by the settings' paper source: 0 automatic selection,
// 1 manual feed, 2 multi-purpose tray; any other source the default.
#define PXL_MEDIA_SOURCE_DEFAULT 0
#define PXL_MEDIA_SOURCE_AUTO 1
#define PXL_MEDIA_SOURCE_MANUAL 2
#define PXL_MEDIA_SOURCE_MULTIPURPOSE 3
BYTE Pxl_MediaSource(int paperSource);

// The MediaType name of a paper type (0..6: "PLAIN", "TOUGH", "ENVELOPE",
// "CARDSTOCK", "LABELS", "TRANSPARENCY", "TISSUE"), and whether BeginPage
// sends it. The PJL PAPERTYPE value is the same name.
struct MediaTypeRow {
    LPCSTR Name;
    BOOL Send;
};
#define PXL_MEDIA_TYPE_COUNT 7
extern const MediaTypeRow MediaTypeTable[PXL_MEDIA_TYPE_COUNT];
// The row of the settings' paper type (MediaIndex). The settings check keeps
// the type within the table; a type outside it is read as plain paper, so
// that no value of the settings reaches past the table.
const MediaTypeRow& Pxl_MediaType(int paperType);

// The paper code of the sheets the printer is asked for: the job's paper
// (the A4 or Letter that replaced it when the model does not know it), the
// page paper override when set, and the output paper override when set; the
// last one set wins. BeginPage's MediaSize and the PJL PAPER value both name
// this paper.
int Pxl_MediaPaperCode(const PDEV* pdev);

// A length in 600-dpi dots in tenths of a millimetre, rounded.
int Pxl_DotsToTenthsMm(LONG dots);

// The sheet's media and BeginPage, then PushGS:
//   Orientation (1 landscape, 0 portrait; +2 when the page is turned by
//   180 degrees), [DuplexPageMode and DuplexPageSide front, on the sheets
//   job control marks], MediaSource, MediaType, MediaSize (a name of
//   PaperNameTable) or CustomMediaSize with its units (custom codes 288
//   and up), BeginPage, PushGS.
// The length of the BeginPage sequence goes into the page entry being
// written (the header a replay keeps in front of a page). On the job's
// first page the paper code is recorded as the job's first paper.
BOOL Pxl_BeginPageMedia(PDEV* pdev);
// PageCopies (uint16) and EndPage: the six bytes that end every page.
BOOL Pxl_EndPage(PDEV* pdev, int copies);
// PageOrigin (sint16_xy) and SetPageOrigin.
BOOL Pxl_SetPageOrigin(PDEV* pdev, int x, int y);
// PageAngle (sint16) and SetPageRotation.
BOOL Pxl_SetPageRotation(PDEV* pdev, int angle);
// PageScale (real32_xy) and SetPageScale, 12 bytes: (1, 1) unscaled, else
// the page layout's scale pair.
BOOL Pxl_SetPageScale(PDEV* pdev, BOOL scaled);

// SetCursor (x, y), ColorMapping, ColorDepth, SourceWidth, SourceHeight,
// DestinationSize and BeginImage.
BOOL Pxl_BeginImage(PDEV* pdev, int colorMapping, int colorDepth, int x, int y, int destWidth, int destHeight,
                    int sourceWidth, int sourceHeight);
// The 20-byte head of one block of image rows: StartLine, BlockHeight,
// CompressMode, ReadImage and the data length (uint32). The caller writes
// the data.
BOOL Pxl_ReadImage(PDEV* pdev, int startLine, int blockHeight, int compressMode, DWORD byteCount);
// ColorMapping, ColorDepth, SourceWidth, SourceHeight, DestinationSize,
// PatternDefineID (sint16), PatternPersistence and BeginRastPattern.
BOOL Pxl_BeginRastPattern(PDEV* pdev, int colorMapping, int colorDepth, int sourceWidth, int sourceHeight,
                          int destWidth, int destHeight, int patternId, int persistence);
// StartLine 0, BlockHeight, CompressMode 0 (none) and ReadRastPattern; the
// caller writes the data header and the rows.
BOOL Pxl_ReadRastPattern(PDEV* pdev, int blockHeight);

// Whether the job's 180-degree rule turns a page of the PDEV's orientation:
// rule 1 landscape pages, 2 portrait pages, 3 every page, 0 none.
BOOL Job_RotationApplies(const PDEV* pdev);

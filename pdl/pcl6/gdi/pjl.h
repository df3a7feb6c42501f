// The job's frame: the PJL job header, the PCL XL stream header, the session
// with its data source, and the PJL end of job.
//
// A job's stream closes what it opened: at the end of the document job
// control writes Pxl_CloseDataSource, then Pjl_WriteEndOfJob (EndSession and
// the PJL end of job).
#pragma once
#include <windows.h>

struct PDEV;

// The universal exit language sequence, ESC "%-12345X".
#define PJL_UEL "\x1B%-12345X"
#define PJL_UEL_LENGTH 9
// The PCL XL stream header: the class 3.0 line with a 46-byte comment, a NUL
// and a line feed (72 bytes).
#define PXL_STREAM_HEADER_LENGTH 72

// The whole job prologue, once per job: the PJL header and stream header,
// BeginSession, OpenDataSource and the colour treatment. With manual duplex
// (duplex mode 3 or 4) the session is not marked as begun, and every call
// writes a new prologue. The result is BeginSession's.
BOOL Pxl_BeginSession(PDEV* pdev);
// The PJL lines of the job's settings and the stream header.
void Pjl_WriteJobHeader(PDEV* pdev);
// Measure inch, UnitsPerMeasure (units, units), ErrorReport and
// BeginSession, in the stream's order whatever the routing.
BOOL Pxl_WriteBeginSession(PDEV* pdev, int unitsPerMeasure);
// SourceType default, DataOrg binary low byte first, OpenDataSource.
BOOL Pxl_OpenDataSource(PDEV* pdev);
BOOL Pxl_CloseDataSource(PDEV* pdev);
// EndSession, the universal exit, "@PJL EOJ" and the universal exit again;
// the result of the last write.
BOOL Pjl_WriteEndOfJob(PDEV* pdev);

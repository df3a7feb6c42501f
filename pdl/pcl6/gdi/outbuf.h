// The job's output sink: the bytes of a job wait in a buffer of the PDEV
// and drain to the spooler, the temporary spool file and the overlay form
// file being recorded.
#pragma once
#include <windows.h>

#define OUTBUF_SIZE 4096
// The buffer keeps a few bytes of room beyond its capacity.
#define OUTBUF_RESERVED 4100

// The sink's state in the PDEV (part of the job state that a reset carries
// over). The printer handle it writes to is the job's (JobState).
struct OutputBufferState {
    BYTE OutBuffer[OUTBUF_RESERVED];  // pending bytes; also the read buffer of file copies
    UINT16 OutBufferSize;             // capacity, OUTBUF_SIZE once a job has started
    UINT16 OutBufferFill;             // pending bytes
    INT32 BytesToPrinter;             // bytes WritePrinter accepted during the job
    INT32 PageBytes;                  // bytes written since the last page entry
};

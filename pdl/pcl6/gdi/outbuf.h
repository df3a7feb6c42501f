// The job's output sink: the bytes of a job wait in a buffer of the PDEV
// and drain to the spooler, the temporary spool file and the overlay form
// file being recorded, as the routing word of the job (OutputFlags) says.
// A short write to the spooler marks the job's output as failed; from then
// on every byte of the job is dropped.
#pragma once
#include <windows.h>

#define OUTBUF_SIZE 4096
// The buffer keeps a few bytes of room beyond its capacity.
#define OUTBUF_RESERVED 4100
// The largest block one WritePrinter call is given.
#define OUTBUF_MAX_BLOCK 61440
// What is left of a long write is buffered when it is shorter than this;
// anything longer goes out straight from the caller's memory.
#define OUTBUF_DIRECT_MIN 2730
// Spool_Printf formats into a buffer of this many bytes.
#define OUTBUF_PRINTF_SIZE 1024

// The sink's state in the PDEV (part of the job state that a reset carries
// over). The printer handle it writes to is the job's (JobState).
struct OutputBufferState {
    BYTE OutBuffer[OUTBUF_RESERVED];  // pending bytes; also the read buffer of file copies
    UINT16 OutBufferSize;             // capacity, OUTBUF_SIZE once a job has started
    UINT16 OutBufferFill;             // pending bytes
    INT32 BytesToPrinter;             // bytes WritePrinter accepted during the job
    INT32 PageBytes;                  // bytes written since the last page entry
};

struct PDEV;

// Appends bytes to the job. The entry of every writer of the job stream.
// Writes the page prologue first when a page has started without it. FALSE,
// writing nothing, once the job's output has failed; TRUE otherwise.
BOOL Spool_Write(PDEV* pdev, const void* bytes, DWORD length);
// Formats 8-bit text (wvsprintfA, at most OUTBUF_PRINTF_SIZE - 1 bytes) and
// appends it without its terminating NUL.
BOOL Spool_Printf(PDEV* pdev, LPCSTR format, ...);
// Writes the pending bytes as one block and empties the buffer, whatever the
// block's result. FALSE when nothing was pending; else the block's result.
BOOL Spool_Flush(PDEV* pdev);
// Empties the buffer without writing (a page is abandoned).
void Spool_DiscardBuffer(PDEV* pdev);
// One sint16_xy attribute as a single 7-byte write: 0xD3, x, y, 0xF8, the id.
BOOL Spool_WriteXYAttr(PDEV* pdev, const POINTS* xy, BYTE attributeId);
// Sends one block to every destination of the routing word in turn: the
// printer, the spool file, the form file. FALSE at the first that fails
// (the later ones do not get the block); TRUE, with the page's byte count
// advanced, when all took it. A block the spool file or the form file
// being recorded does not take fails the job (Spool_FailJob): its stored
// pages could not be replayed whole, or the form would be kept broken.
BOOL Spool_WriteBlock(PDEV* pdev, const void* bytes, DWORD length);
// One WritePrinter call. A count written that differs from `length` sets the
// job's output error. TRUE for an empty block.
BOOL Spool_WritePrinter(PDEV* pdev, const void* bytes, DWORD length);
// Copies `length` bytes of `file` from `offset` to the printer, or into the
// form file while a form is being recorded, through the output buffer (which
// must be empty). FALSE without a file, when the printer write fails, when
// the form file does not take a fragment (the job fails, Spool_FailJob), or
// when the file cannot be read or ends before the range (ERROR_HANDLE_EOF).
BOOL Spool_CopyFromFile(PDEV* pdev, HANDLE file, DWORD offset, DWORD length);
// Finds the first occurrence of `pattern` (1..OUTBUF_SIZE bytes) in `file`
// at or after `start`, reading through the output buffer (which must be
// empty). TRUE with its file position in `position`; FALSE with 0 there when
// the file holds none.
BOOL Spool_FindPattern(PDEV* pdev, HANDLE file, DWORD start, const BYTE* pattern, DWORD patternLength,
                       DWORD* position);

// The job's output sink. Small writes collect in the PDEV's 4096-byte buffer
// so that the spooler sees blocks of up to 4096 bytes; image and font data
// of OUTBUF_DIRECT_MIN bytes and more go out straight from the caller's
// memory in blocks of at most OUTBUF_MAX_BLOCK bytes. The buffer doubles as
// the read buffer of the file copy and the pattern search, which therefore
// run only with nothing pending.
#include <windows.h>

#include <cstdarg>
#include <cstring>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/forms.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/spool.h"

namespace {

// The line under which the job tools know the check for a page whose
// drawing began before its prologue.
constexpr int kLazyPrologueCheckLine = 3824;

OutputBufferState& Sink(PDEV* pdev) { return pdev->Job.State.Output; }

// The buffer's capacity; never more than the buffer holds.
DWORD Capacity(const OutputBufferState& sink) {
    return sink.OutBufferSize > OUTBUF_SIZE ? OUTBUF_SIZE : sink.OutBufferSize;
}

BOOL WriteWholeFile(HANDLE file, const void* bytes, DWORD length) {
    if (!file || file == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD written = 0;
    return WriteFile(file, bytes, length, &written, nullptr) && written == length;
}

BOOL SeekTo(HANDLE file, DWORD offset) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN);
}

// The buffer is the read buffer of the file routines: bytes still pending
// go out first, in their place in the stream.
void EmptyBufferForReading(PDEV* pdev) {
    if (Sink(pdev).OutBufferFill == 0) return;
    Dbg_Assert(pdev, "spool", __LINE__);
    Spool_Flush(pdev);
}

}  // namespace

BOOL Spool_Write(PDEV* pdev, const void* bytes, DWORD length) {
    if (!pdev) return FALSE;
    if (Job_IsOutputError(pdev)) return FALSE;
    const UINT32 flags = pdev->Job.JobFlags;
    if ((flags & JOBF_SESSION_BEGUN) && (flags & JOBF_PAGE_STARTED) && !(flags & JOBF_PROLOGUE_WRITTEN)) {
        // Drawing reached the job before its page's prologue: write it now.
        Dbg_Assert(pdev, "spool", kLazyPrologueCheckLine);
        Job_BeginPage(pdev);
    }
    if (length == 0) return TRUE;
    if (!bytes) return FALSE;

    OutputBufferState& sink = Sink(pdev);
    const BYTE* next = static_cast<const BYTE*>(bytes);
    DWORD remaining = length;
    if (DWORD(sink.OutBufferFill) + remaining > Capacity(sink)) {
        Spool_Flush(pdev);
        // Long data goes out straight from the caller's memory; a failed
        // block sets the output error, which stops the blocks after it.
        while (remaining >= OUTBUF_DIRECT_MIN) {
            const DWORD block = remaining < OUTBUF_MAX_BLOCK ? remaining : OUTBUF_MAX_BLOCK;
            Spool_WriteBlock(pdev, next, block);
            next += block;
            remaining -= block;
        }
    }
    if (remaining) {
        std::memcpy(sink.OutBuffer + sink.OutBufferFill, next, remaining);
        sink.OutBufferFill = UINT16(sink.OutBufferFill + remaining);
    }
    return TRUE;
}

BOOL Spool_Printf(PDEV* pdev, LPCSTR format, ...) {
    if (!format) return FALSE;
    char text[OUTBUF_PRINTF_SIZE];
    va_list args;
    va_start(args, format);
    const int length = wvsprintfA(text, format, args);
    va_end(args);
    if (length < 0) return FALSE;
    return Spool_Write(pdev, text, DWORD(length));
}

BOOL Spool_Flush(PDEV* pdev) {
    if (!pdev) return FALSE;
    OutputBufferState& sink = Sink(pdev);
    const DWORD pending = sink.OutBufferFill;
    sink.OutBufferFill = 0;
    if (pending == 0) return FALSE;
    return Spool_WriteBlock(pdev, sink.OutBuffer, pending);
}

void Spool_DiscardBuffer(PDEV* pdev) {
    if (pdev) Sink(pdev).OutBufferFill = 0;
}

BOOL Spool_WriteXYAttr(PDEV* pdev, const POINTS* xy, BYTE attributeId) {
    if (!xy) return FALSE;
    const BYTE attribute[7] = {0xD3,
                               BYTE(xy->x),
                               BYTE(UINT16(xy->x) >> 8),
                               BYTE(xy->y),
                               BYTE(UINT16(xy->y) >> 8),
                               0xF8,
                               attributeId};
    return Spool_Write(pdev, attribute, sizeof(attribute));
}

BOOL Spool_WriteBlock(PDEV* pdev, const void* bytes, DWORD length) {
    if (!pdev) return FALSE;
    const UINT32 routing = pdev->Job.State.Spool.OutputFlags;
    if ((routing & OUTF_TO_PRINTER) && !Spool_WritePrinter(pdev, bytes, length)) return FALSE;
    if ((routing & OUTF_TO_SPOOL_FILE) && !WriteWholeFile(pdev->Job.State.Spool.SpoolFileHandle, bytes, length)) {
        // The stored job now lacks this block: it cannot be replayed whole.
        Spool_FailJob(pdev, SPOOL_FAIL_FILE_WRITE, GetLastError());
        return FALSE;
    }
    if ((routing & OUTF_TO_FORM_FILE) && !WriteWholeFile(pdev->Job.State.Forms.FormWriteHandle, bytes, length)) {
        // The form being recorded lacks this block: it would be kept broken.
        Spool_FailJob(pdev, SPOOL_FAIL_FORM_WRITE, GetLastError());
        return FALSE;
    }
    Sink(pdev).PageBytes += INT32(length);
    return TRUE;
}

BOOL Spool_WritePrinter(PDEV* pdev, const void* bytes, DWORD length) {
    if (!pdev) return FALSE;
    if (length == 0) return TRUE;
    if (Job_IsOutputError(pdev)) return FALSE;
    DWORD written = 0;
    // Only the count tells: a write that took every byte succeeded.
    WritePrinter(pdev->Job.State.PrinterHandle, const_cast<void*>(bytes), length, &written);
    if (written != length) {
        pdev->Job.JobFlags |= JOBF_OUTPUT_ERROR;
        return FALSE;
    }
    Sink(pdev).BytesToPrinter += INT32(length);
    return TRUE;
}

BOOL Spool_CopyFromFile(PDEV* pdev, HANDLE file, DWORD offset, DWORD length) {
    if (!pdev || !file || file == INVALID_HANDLE_VALUE) return FALSE;
    EmptyBufferForReading(pdev);
    if (!SeekTo(file, offset)) return FALSE;
    OutputBufferState& sink = Sink(pdev);
    DWORD remaining = length;
    while (remaining) {
        const DWORD wanted = remaining < OUTBUF_SIZE ? remaining : OUTBUF_SIZE;
        DWORD got = 0;
        if (!ReadFile(file, sink.OutBuffer, wanted, &got, nullptr)) return FALSE;
        // A disk file reads short only at its end: the range is not there whole.
        if (got < wanted) {
            SetLastError(ERROR_HANDLE_EOF);
            return FALSE;
        }
        if (pdev->Job.State.Spool.OutputFlags & OUTF_FORM_RECORD) {
            // Recording a form: the bytes go into the form file, whose
            // folders must exist; without them the copy stops.
            if (!Form_CheckPath(pdev->Job.State.Forms.FormPath, FORM_PATH_MAKE_FOLDERS)) break;
            if (!WriteWholeFile(pdev->Job.State.Forms.FormWriteHandle, sink.OutBuffer, got)) {
                // A form recorded without this fragment is broken: the job fails
                // as it does for a spool-file write.
                Spool_FailJob(pdev, SPOOL_FAIL_FORM_WRITE, GetLastError());
                return FALSE;
            }
        } else if (!Spool_WritePrinter(pdev, sink.OutBuffer, got)) {
            return FALSE;
        }
        remaining -= got;
    }
    return TRUE;
}

BOOL Spool_FindPattern(PDEV* pdev, HANDLE file, DWORD start, const BYTE* pattern, DWORD patternLength,
                       DWORD* position) {
    if (position) *position = 0;
    if (!pdev || !file || file == INVALID_HANDLE_VALUE || !pattern || !position || patternLength == 0 ||
        patternLength > OUTBUF_SIZE)
        return FALSE;
    EmptyBufferForReading(pdev);
    const BYTE* chunk = Sink(pdev).OutBuffer;
    DWORD chunkStart = start;
    for (;;) {
        DWORD got = 0;
        if (!SeekTo(file, chunkStart) || !ReadFile(file, Sink(pdev).OutBuffer, OUTBUF_SIZE, &got, nullptr) || !got)
            return FALSE;
        const bool lastChunk = got < OUTBUF_SIZE;
        DWORD next = chunkStart + got;
        for (DWORD i = 0; i < got; ++i) {
            if (chunk[i] != pattern[0]) continue;
            if (i + patternLength > got) {
                // The candidate runs past the chunk: at the end of the file it
                // is no match; otherwise the next chunk starts at it.
                if (lastChunk) return FALSE;
                next = chunkStart + i;
                break;
            }
            if (std::memcmp(chunk + i + 1, pattern + 1, patternLength - 1) == 0) {
                *position = chunkStart + i;
                return TRUE;
            }
        }
        if (lastChunk) return FALSE;
        chunkStart = next;
    }
}

// The two row encoders of ReadImage. See rowcompress.h for the formats.
#include "pcl6/gdi/rowcompress.h"

#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/pdev.h"

namespace {

// Longest packet of either kind.
constexpr DWORD kMaxPacket = 128;

BYTE* EmitLiteral(BYTE* out, const BYTE* bytes, DWORD count) {
    *out++ = BYTE(count - 1);
    for (DWORD i = 0; i < count; ++i) *out++ = bytes[i];
    return out;
}

BYTE* EmitRepeat(BYTE* out, BYTE value, DWORD count) {
    *out++ = BYTE(1 - int(count));
    *out++ = value;
    return out;
}

}  // namespace

DWORD Rle_Compress(PDEV* pdev, BYTE* out, const BYTE* src, DWORD n) {
    if (pdev && pdev->Job.Gstate.RowDump) {
        const DWORD length = n;
        Dbg_WriteFile(pdev, pdev->Job.Gstate.DebugFile, &length, sizeof(length));
        Dbg_WriteFile(pdev, pdev->Job.Gstate.DebugFile, src, n);
    }
    BYTE* const start = out;
    DWORD p = 0;
    while (p < n) {
        if (p + 1 == n) {
            out = EmitLiteral(out, src + p, 1);
            break;
        }
        if (src[p] == src[p + 1]) {
            DWORD count = 2;
            while (p + count < n && count < kMaxPacket && src[p + count] == src[p]) ++count;
            out = EmitRepeat(out, src[p], count);
            p += count;
            continue;
        }
        // A literal: it takes bytes up to the first of three equal ones (which
        // start a repeat), the row's end or 128 bytes. Two equal bytes stay
        // inside it, as a repeat of two would cost as much and split it.
        // src[p] differs from src[p + 1], so no run of three starts at p.
        DWORD end = p + 1;
        while (end < n && end - p < kMaxPacket) {
            if (end + 2 < n && src[end] == src[end + 1] && src[end + 1] == src[end + 2]) break;
            ++end;
        }
        out = EmitLiteral(out, src + p, end - p);
        p = end;
    }
    return DWORD(out - start);
}

BYTE* DeltaRow_EmitCommand(BYTE* out, DWORD count, const BYTE* data, DWORD offset) {
    *out++ = BYTE(((count - 1) << 5) | (offset < 31 ? offset : 31));
    if (offset >= 31) {
        DWORD rest = offset - 31;
        for (; rest >= 255; rest -= 255) *out++ = 0xFF;
        *out++ = BYTE(rest);
    }
    for (DWORD i = 0; i < count; ++i) *out++ = data[i];
    return out;
}

DWORD DeltaRow_Compress(BYTE* out, const BYTE* src, DWORD n, BYTE* seed) {
    BYTE* p = out + 2;
    DWORD run = 0, runStart = 0, skip = 0;
    for (DWORD i = 0; i < n; ++i) {
        if (src[i] == seed[i]) {
            if (run) {
                p = DeltaRow_EmitCommand(p, run, src + runStart, skip);
                skip = 0;
                run = 0;
            }
            ++skip;
            continue;
        }
        seed[i] = src[i];
        if (!run) {
            runStart = i;
            run = 1;
        } else if (run == 7) {
            p = DeltaRow_EmitCommand(p, 8, src + runStart, skip);
            run = 0;
            skip = 0;
        } else {
            ++run;
        }
    }
    if (run) p = DeltaRow_EmitCommand(p, run, src + runStart, skip);
    const DWORD total = DWORD(p - out);
    const DWORD commands = total - 2;
    out[0] = BYTE(commands);
    out[1] = BYTE(commands >> 8);
    return total;
}

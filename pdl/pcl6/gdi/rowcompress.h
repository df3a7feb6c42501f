// Compression of image rows for ReadImage: the run-length scheme
// (CompressMode 1, PackBits) and the delta-row scheme (CompressMode 3), and
// the compression marker, a diagnostic box drawn over a reduced image.
//
// Both encoders work on whole rows as the caller pads them; the caller sizes
// the output for the worst case of RLE_WORST_CASE or DELTAROW_WORST_CASE.
#pragma once
#include <windows.h>

struct PDEV;

// Most bytes Rle_Compress writes for a row of n bytes: a control byte for
// every 128 literal bytes.
#define RLE_WORST_CASE(n) (DWORD(n) + (DWORD(n) + 127) / 128 + 1)
// Most bytes DeltaRow_Compress writes for a row of n bytes: the count, and a
// command byte for every 8 replaced bytes (long offsets only come from
// unchanged bytes, which cost less than they skip).
#define DELTAROW_WORST_CASE(n) (2 + DWORD(n) + (DWORD(n) + 7) / 8 + 2)
// Rows whose delta-row commands could pass the 16-bit count are longer than this.
#define DELTAROW_MAX_ROW 58000

// Run-length packets of PackBits: a control byte c read as signed, 0..127
// for c + 1 literal bytes, -1..-127 for the next byte repeated 1 - c times;
// 0x80 is never written. Three or more equal bytes make a repeat (two at the
// start of a packet do too); shorter runs stay inside literals. Returns the
// bytes written. With the PDEV's row dump on, the row goes first to the debug
// file: its length as 4 bytes, then its bytes.
DWORD Rle_Compress(PDEV* pdev, BYTE* out, const BYTE* src, DWORD n);

// One delta row: a 16-bit little-endian count of the command bytes, then the
// commands that turn `seed` into `src`. `seed` holds `src` afterwards.
// Returns the bytes written, the count included.
DWORD DeltaRow_Compress(BYTE* out, const BYTE* src, DWORD n, BYTE* seed);
// One command: ((count - 1) << 5) | min(offset, 31); from 31 on, offset - 31
// follows as an 0xFF for every full 255 and a last byte with the rest; then
// the `count` (1..8) replacement bytes. Returns the end of what it wrote.
BYTE* DeltaRow_EmitCommand(BYTE* out, DWORD count, const BYTE* data, DWORD offset);

// Marker flags: the first and second diagonal red instead of blue, and
// whether the diagonals are drawn at all.
#define MARKER_FIRST_RED 0x1
#define MARKER_SECOND_RED 0x2
#define MARKER_DIAGONALS 0x4
// Frames the box (x, y, width, height) in black; boxes of 20 pixels and more
// get, with MARKER_DIAGONALS, both diagonals (pen width 5, red or blue by
// the flags) and the label "percent%" in Courier across the box, centred,
// in the first diagonal's colour. FALSE when writing failed.
BOOL Pxl_DrawCompressionMarker(PDEV* pdev, LONG x, LONG y, LONG width, LONG height, int flags, LONG percent);

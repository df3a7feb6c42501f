// The pieces of image output: the band buffer, the translation kind and
// palette of a source, the row transforms (shift, conversion, mirror,
// resampling) and the compression trial. Img_Output (image.h) runs them.
#pragma once
#include <windows.h>
#include <winddi.h>

struct PDEV;

// The band buffer holds at most this many bytes of collected rows.
#define IMG_BAND_BYTES 12000

// Translation kinds: bit 0x2 means the rows go through Img_ConvertRow.
#define IMG_KIND_IN_PLACE 0   // indexed rows, sent as they are
#define IMG_KIND_TRANSLATE 2  // every pixel through the translation (24-bit: bytes red, green, blue)
#define IMG_KIND_BGR 6        // 3- or 4-byte pixels of blue, green, red
#define IMG_KIND_RGB 10       // 3- or 4-byte pixels of red, green, blue

// Bits a pixel of a bitmap format (BMF_1BPP to BMF_32BPP); 0 for any other.
DWORD Img_SourceBits(ULONG format);

// Bytes of an output row of `width` pixels of `bits` each, padded to 4;
// 0 when it would not fit in 32 bits.
DWORD Img_RowStride(DWORD bits, LONG width);

// A zero-filled buffer for the rows: stride x (rows + 2) bytes, but never
// more than IMG_BAND_BYTES of rows (then `rows` becomes the rows that fit, at
// least 1) besides the two work rows at its end. When memory is short the
// rows are quartered until it can be had; null once they reach 0. `size`
// receives the bytes; free with Util_GlobalFree(nullptr, ...).
BYTE* Img_AllocBand(PDEV* pdev, DWORD stride, LONG* rows, DWORD* size);

// The translation kind of a source format (IMG_KIND_*): found by
// translating the four byte masks for 24- and 32-bit sources. Direct
// formats always convert; without a translation their pixels are device
// colours (IMG_KIND_RGB for 24 and 32 bits).
int Img_TranslationKind(XLATEOBJ* xlate, ULONG format);

// The colour space of an image: the job's own for direct formats; for an
// indexed one the translation's table as a palette (grey bytes in a
// monochrome job, RGB triples in a colour job), or nothing without a table.
// Entries the table lacks are black.
void Img_SetIndexedPalette(PDEV* pdev, ULONG format, XLATEOBJ* xlate);

// `width` pixels of a direct source row into grey bytes (monochrome job) or
// RGB triples (colour job), through the colour adjustment.
void Img_ConvertRow(PDEV* pdev, const BYTE* source, BYTE* target, XLATEOBJ* xlate, int kind, DWORD sourceBits,
                    LONG width);

// `bitCount` bits of a row that start `shift` bits (1..7) into `source`,
// moved so that they start at the first byte's most significant bit. Reads
// no source byte beyond the last one holding those bits.
void Img_ShiftRow(const BYTE* source, BYTE* target, DWORD bitCount, DWORD shift);

// The compression trial: five rows (0, H/5, 2H/5, 3H/5, 4H/5 in reading
// order) converted like the image's rows and run-length compressed; the
// result is their compressed size in percent of their raw size. The work
// row is the band's last slot; the compressed rows go to its start.
DWORD Img_CompressionTrial(PDEV* pdev, BYTE* band, const BYTE* firstRow, DWORD stride, XLATEOBJ* xlate, LONG width,
                           LONG height, LONG bandRows, LONG rowStep, DWORD bitCount, DWORD sourceBits,
                           DWORD bitOffset, int kind);

// Pixel j of `target` = pixel width - 1 - j of `source`. Pixels of
// `outputBits` (1, 4, 8 or 24); 1- and 4-bit rows packed most significant
// pixel first.
void Img_MirrorRow(PDEV* pdev, const BYTE* source, BYTE* target, LONG width, DWORD outputBits);

// Resamples a row of `width` pixels to `outputWidth`: output pixel j takes
// source pixel trunc(j x width / outputWidth), the last one the last source
// pixel. The pixel size is the output size of the surface's format.
void Img_ScaleRow(PDEV* pdev, const BYTE* source, BYTE* target, SURFOBJ* surface, LONG width, LONG outputWidth);

// Whether a run-length row of `length` bytes is sent uncompressed instead:
// rows of more than 10 bytes that it makes a tenth longer or more.
BOOL Img_RowGoesRaw(DWORD stride, DWORD length);

// The output bits of a pixel of a source format in this job: 1, 4 or 8 for
// indexed formats; 8 (monochrome) or 24 (colour) for direct ones; 0 for a
// format images do not take.
DWORD Img_OutputBits(PDEV* pdev, ULONG format);

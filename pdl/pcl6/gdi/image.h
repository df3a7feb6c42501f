// Bitmaps on the page: every bitmap the blit callbacks hand over is written
// as one image of the job stream (colour space or palette, BeginImage, the
// rows in ReadImage blocks, EndImage).
#pragma once
#include <windows.h>
#include <winddi.h>

struct PDEV;

// Writes `width` x `height` pixels of `source`, from the source pixel
// `origin`, as an image filling `dest` (left below right, top below bottom).
// The rows are converted to the printer's formats through `xlate`, read
// bottom to top when `flipVertical` and mirrored when `flipHorizontal`,
// reduced to no more rows and columns than the page needs, and compressed
// row by row. FALSE when the source format is not supported or the row
// buffers cannot be had; nothing is written then.
BOOL Img_Output(PDEV* pdev, SURFOBJ* source, LONG width, LONG height, POINTL origin, const RECTL* dest,
                XLATEOBJ* xlate, BOOL flipVertical, BOOL flipHorizontal);

// The graphics-state cache: the PCL XL state last sent to the printer, so
// that an operator is written only when a value changes.
#pragma once
#include <windows.h>

// The PDEV's graphics-state cache (part of the job state).
struct GraphicsStateCache {
    UINT16 BrushKind;         // 1 null brush, 0 colour
    INT32 PenKind;            // 5 null pen
    INT32 BrushColor;         // colour or grey level last sent
    INT32 PenColor;
    INT32 ColorSpace;         // 1 grey, 2 RGB, or a palette code
    INT32 DashStyle;
    INT16 PenWidth;
    BYTE Rop3;
    BYTE SourceTransfer;      // 10 opaque, 20 transparent
    BYTE PaintTransfer;
    BYTE FillMode;
    BYTE ClipMode;
    BYTE ObjectKind;          // 0 text, 1 vector graphics, 2 images
    RECTL ClipBox;
    BOOL ClipBoxValid;
    CHAR CheckText[64];       // the last internal-check report, "File:%s Line:%d\n"
};

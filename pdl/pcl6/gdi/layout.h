// Page layout: the transform that places each page on its sheet (scaling,
// N-up cells, poster, booklet, print position and image shift).
#pragma once
#include <windows.h>

#include "pcl6/intrface/xmodel.h"

// A page's geometry in device pixels: paper width and height, then the
// left, top, right and bottom unprintable margins; the layout of the model
// description's paper geometry.
typedef PaperGeometry PageGeometry;

// The PDEV's layout state (part of the job state).
struct LayoutState {
    PageGeometry FirstPageGeometry;   // the job's first page
    INT16 FirstPageOrientation;       // 1 portrait, 2 landscape
    PageGeometry SheetGeometry;       // the sheet the pages are placed on
    INT16 SheetOrientation;
    double ScaleX;
    double ScaleY;
    double ShiftScale;                // N-up cell scale of the current side
    double ShiftScaleFront;
    double ShiftScaleBack;
    double BookletScale;              // 1 when booklet is off
    INT32 NupColumns;
    INT32 NupRows;
    INT32 BookletColumns;
    INT32 BookletRows;
    INT32 NupSheetTurned;             // the sheet is turned against the first page
    INT16 PageRotation;               // degrees chosen by the last page transform
    INT32 PageExtent;                 // the page extent and side words read by the escapes
    INT32 PageSide;
};

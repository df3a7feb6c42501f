// Page layout: the transform that places each page on its sheet (scaling,
// N-up cells, poster, booklet, print position and image shift).
//
// Units are device pixels: 600 dpi times (resolution factor + 1), the factor
// being 0 at 600 dpi and 1 when the job asks for 1200 dpi. The unprintable
// margin unit D is 96 x (factor + 1) pixels; 2D is taken off a paper's width
// or height to get its printable extent. Integer divisions truncate toward
// zero, and so does every conversion of a double to an integer.
//
// The layout reads the job's copy of the settings (JobDevmode) unless a
// comment names the current settings (the PDEV's Devmode).
#pragma once
#include <windows.h>

#include "pcl6/intrface/xmodel.h"

struct PDEV;
struct RendDevmode;

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
    INT16 SubstitutedPaper;           // A4 (9) or Letter (1) when it replaced the job's paper, else 0
};

// ---- Settings the layout reads ----

// The resolution factor of the settings: 0 at 600 dpi, 1 at 1200 dpi.
int Layout_ResFactor(const RendDevmode& settings);
// The unprintable margin unit D = 96 x (factor + 1).
int Layout_MarginUnit(const RendDevmode& settings);
// Poster printing. The poster settings ride in the layout pair of the
// private settings (offsets 108..115, which the check takes whole when the
// word at 108 is below 3): the word at 108 is the poster size (0: 2 x 2
// tiles, 1: 3 x 3, 2: 4 x 4) and the byte at 110 switches poster printing on.
BOOL Layout_PosterOn(const RendDevmode& settings);
int Layout_PosterSize(const RendDevmode& settings);
// Tiles per side of a poster: 2, 3 or 4 for poster size 0, 1 or 2; 2 for
// any other size.
int Layout_PosterTiles(const RendDevmode& settings);
// Whether the 180-degree rotation rule of the settings turns a page of this
// orientation: rule 1 landscape pages, 2 portrait pages, 3 every page.
BOOL Layout_RotationApplies(const RendDevmode& settings, int orientation);
// The low byte of the current settings' page-border mode (0x4 page borders,
// 0x8 cell grid).
BYTE Layout_GetBorderMode(const PDEV* pdev);

// ---- Sheet, scale and fit ----

// At the job's first page: records the page's geometry and orientation as
// the first page's, and takes the sheet: the paper override when one is set
// and known, A4 or Letter (by the user's country) when the job's paper is
// not a paper of the model, else the job's paper, in the first page's
// orientation.
void Layout_TakeSheetGeometry(PDEV* pdev);
// Everything the first page computes: the sheet, the scale, the N-up layout
// and the booklet scale.
void Layout_StartJob(PDEV* pdev);
// ScaleX and ScaleY: 1 with N-up or booklet; else the user's scaling, or the
// fit to another paper (override or substitute); times 2, 3 or 4 for a
// poster (unless the user's scaling is on).
void Layout_ComputeScale(PDEV* pdev);
// The sheet's printable extent over the current page's (both less 2D, the
// page turned when the orientations differ): the smaller of the two ratios.
// A degenerate extent gives 1.
double Layout_FitRatio(const PDEV* pdev);
// The page scale pair that SetPageScale writes: ScaleX (ScaleY) x
// BookletScale x the smaller of the shift fit factors x ShiftScale.
void Layout_PageScale(const PDEV* pdev, double* x, double* y);

// ---- N-up ----

// The column and row of the index-th page (from 0) of a sheet of
// `columns` x `rows` cells in page order `order` (0..7). A two-cell sheet
// with order 1 uses order 2 (landscape sheet) or 4. An unknown order or an
// empty grid gives (0, 0).
void Layout_CellPosition(int order, int orientation, int index, int columns, int rows, int* column, int* row);
// Where cell (column, row) of the N-up sheet lies on the page the printer
// is given: its corner as an offset from the printable area's corner, and
// its size. Columns and rows are those of the sheet as the reader holds
// it. A turned sheet (2 x 1, 4 x 2 and 8 x 4 grids) is printed on a page of
// the first page's orientation with each cell turned by `rotation`: at 270
// degrees the sheet's top lies along the page's right edge, at 90 along its
// left edge, so the sheet's columns run down the page and its rows across.
struct NupCellBox {
    LONG x, y, width, height;
    BOOL turned;  // the cell's sheet axes are the page's other axes
};
void Layout_NupCellOnPage(const PDEV* pdev, int column, int row, int rotation, NupCellBox* box);
// The turn a page of the first page's orientation takes on the current
// turned N-up sheet (270 or 90 degrees): the way round the sheet lies on
// the printer's page.
int Layout_NupSheetRotation(const PDEV* pdev);
// The N-up grid and cell scale at the first page: columns and rows by
// pages per sheet (2: 2 x 1, 4: 2 x 2, 8: 4 x 2, 16: 4 x 4, 32: 8 x 4, else
// 1 x 1); a non-square grid turns the sheet against the first page unless
// the sheet-orientation setting keeps that page's orientation, and its
// larger count runs along the sheet's long side.
void Layout_ComputeNup(PDEV* pdev);
// The cell scales again for a page whose size differs from the first
// page's (pages per sheet above 1): the page is fitted to the grid the
// first page laid out, which keeps its sheet and turn; ShiftScale becomes
// the current side's scale.
void Layout_RecomputeNup(PDEV* pdev);
// Takes the image shift of a side off a printable width or height: with a
// shift direction set and a shift amount above D, directions 1..4 reduce
// the height (the width for orientation 2), 5..8 the width (the height for
// orientation 2).
void Layout_ReduceForGutter(const PDEV* pdev, int orientation, int* width, int* height, BOOL backSide);

// ---- Image shift and print position ----

// The image shift direction (1..8) of the current page, mirrored for a page
// turned by 180 degrees and again on back sides of a duplex job; 0 and
// values above 8 come back as they are.
int Layout_ShiftDirection(const PDEV* pdev);
// The origin offsets of the image shift; only the output that the
// direction names is written, and both become 0 when the side's shift is
// at most D.
void Layout_ShiftOffsets(const PDEV* pdev, INT32* dx, INT32* dy);
// The image-shift fit scale of one page per sheet: (1, 1) unless the page
// must shrink to make room for the shift.
void Layout_ShiftFitScale(const PDEV* pdev, double* sx, double* sy);
// The image shift of an upright N-up cell, applied to x and y in place.
void Layout_NupShiftUpright(const PDEV* pdev, INT16* x, INT16* y);
// How far the image shift moves the page of cell `cellIndex` (counted from
// 0 in page order) on the printer's page: the side's whole shift, or with
// the shift fit its share by the cell's place.
void Layout_NupShiftMove(const PDEV* pdev, int cellIndex, INT32* moveX, INT32* moveY);
// The room each cell of the N-up sheet gave up to the side's image shift
// when the cell scale was taken (Layout_ReduceForGutter's reduction shared
// over the cells), across and down the printer's page, for the cell at
// (column, row) of the sheet.
void Layout_NupShiftRoom(const PDEV* pdev, int column, int row, INT32* across, INT32* down);
// The image shift of a turned N-up cell (rotation 90, 180 or 270) at origin
// (x, y): new absolute coordinates, 0 on an axis that the shift leaves
// alone. The page moves toward the side of the sheet that the direction
// names, as an upright cell does.
void Layout_NupShiftTurned(const PDEV* pdev, int x, int y, int rotation, INT32* newX, INT32* newY);
// The print-position adjustment of the current page: (horizontal,
// -vertical), turned and mirrored for back sides and turned pages.
void Layout_PrintPositionOffsets(const PDEV* pdev, INT32* dx, INT32* dy);
// The move of a page inside its N-up cell toward the print position's
// corner (1 top right, 2 bottom left, 3 bottom right, 4 centre); (0, 0)
// unless the job's copy has one page per sheet and the current settings
// more.
void Layout_NupPrintPosition(const PDEV* pdev, INT32* dx, INT32* dy);

// ---- Page transform ----

// The page transform of the current page: writes the origin to x and y and
// returns the rotation in degrees (0, 90, 180, 270). A sheet page count of
// 0 places no cell, turns nothing and leaves PageRotation as it was.
INT16 Layout_PageTransform(PDEV* pdev, INT16* x, INT16* y, int sheetPageCount);
// The print-position adjustment the last page transform applied, negated:
// the overlay form recorder writes these into a form's header. Kept per
// process.
INT32 Layout_FormWidth();
INT32 Layout_FormHeight();

// ---- Booklet ----

// BookletScale: the reduction that puts one page on half a booklet sheet
// (1 when booklet is off), and the booklet grid (2 x 1 for a portrait job,
// 1 x 2 for a landscape one). With `swap` the sheet is turned first: its
// orientation becomes 3 - the job's and its width and height are exchanged
// (a sheet already turned stays as it is). `geometry` is the page's. The
// scale never lets the page's printable extent outgrow its half of the
// sheet's printable area (less the gutter of both gutter flags).
void Layout_ComputeBookletScale(PDEV* pdev, BOOL swap, const PageGeometry* geometry);
// The place (column, row) of the index-th page of a booklet side.
void Layout_BookletPlacePosition(int order, int orientation, int index, int columns, int rows, int* column,
                                 int* row);
// The booklet gutter across and down; an output that is not set keeps the
// caller's value.
void Layout_BookletGutter(const PDEV* pdev, INT32* across, INT32* down);
// The print position placed on a booklet half for a page of the page table
// (its size and index).
void Layout_BookletPrintPosition(const PDEV* pdev, int columns, int rows, BOOL front, int entryWidth,
                                 int entryHeight, int entryIndex, INT32* dx, INT32* dy);
// The origin and rotation of page-table entry `entry` on place 1 or 2 (0:
// no place) of a booklet side. An entry outside the page table gives the
// margin origin (D, D) and rotation 0.
INT16 Layout_BookletCellTransform(PDEV* pdev, INT16* x, INT16* y, int place, int entry, BOOL front);

// ---- Borders ----

// Writes the N-up borders, with the origin at the printable area's corner.
// Mode 2: the frame of cell `cell` (counted from 1) as its page is placed:
// moved as the side's image shift moves the page, less the cell's share of
// the room the shift took off the sheet, and inset by 16 units (and 2 x
// factor + 2 more with N-up), pen width 3. Mode 3: the grid of all cells of the sheet, pen width 2.
// Another mode is an internal check and writes nothing (FALSE).
BOOL Layout_DrawCellFrame(PDEV* pdev, int mode, int cell);
// Outlines `columns` x `rows` cells over `rect` with the pen width given,
// no brush and the pen colour the flags pick (bit 0x1 with 0x2, 0x4 or 0x8:
// 0xC8C8FF, 0x96FAC8 or 0xC8C8C8, white with none of them; black without
// bit 0x1), clipped to the rectangle grown by half the pen. FALSE when the
// grid is empty or writing failed.
BOOL Layout_DrawGrid(PDEV* pdev, const RECTL* rect, int columns, int rows, int penWidth, int flags);

// Forgets the per-process values: the form offsets of the last page
// transform and the last booklet entry placed.
void Layout_ResetProcessState();

// N-up borders: the frame around a page's cell and the grid of all cells
// of a sheet. Job control draws them at the end of a page or sheet, with
// the page origin at the printable area's corner and no rotation or scale.
#include <windows.h>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/layoututil.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"

using namespace layout;

namespace {

// The pen colour of a grid by its flags: bit 0x1 picks a light colour by
// bits 0x2, 0x4 and 0x8 (white when none is set); without it the default
// black pen.
COLORREF GridPenColor(int flags) {
    if (!(flags & 0x1)) return 0x000000;
    if (flags & 0x2) return 0xC8C8FF;
    if (flags & 0x4) return 0x96FAC8;
    if (flags & 0x8) return 0xC8C8C8;
    return 0xFFFFFF;
}

}  // namespace

BOOL Layout_DrawGrid(PDEV* pdev, const RECTL* rect, int columns, int rows, int penWidth, int flags) {
    if (!pdev || !rect || columns <= 0 || rows <= 0) return FALSE;
    const int factor = Layout_ResFactor(JobSettings(pdev)) + 1;
    if (!Gx_SetPenWidth(pdev, penWidth) || !Gx_SetNullBrush(pdev) || !Gx_SetPenColor(pdev, GridPenColor(flags)))
        return FALSE;
    // The clip leaves room for the half of the pen that lies outside, a
    // little beyond the printable area, so it is written as it is and the
    // cached clip is marked stale.
    const LONG grow = LONG(penWidth / 2 * factor);
    RECTL clip = {rect->left - grow, rect->top - grow, rect->right + grow, rect->bottom + grow};
    GraphicsStateCache& gs = pdev->Job.Gstate;
    gs.ClipBoxValid = FALSE;
    if (!gs.NoClip && !Pxl_SetClipRect(pdev, &clip)) return FALSE;
    const LONG width = rect->right - rect->left;
    const LONG height = rect->bottom - rect->top;
    for (int k = 0; k < rows; ++k) {
        for (int c = 0; c < columns; ++c) {
            RECTL cell = {rect->left + width * c / columns, rect->top + height * k / rows,
                          rect->left + width * (c + 1) / columns, rect->top + height * (k + 1) / rows};
            if (!Gx_FillRect(pdev, &cell)) return FALSE;
        }
    }
    return TRUE;
}

BOOL Layout_DrawCellFrame(PDEV* pdev, int mode, int cell) {
    if (!pdev) return FALSE;
    const LayoutState& st = State(pdev);
    const RendDevmode& job = JobSettings(pdev);
    const int factor = Layout_ResFactor(job) + 1;
    const int margins = 2 * Layout_MarginUnit(job);
    const int C = st.NupColumns > 0 ? st.NupColumns : 1;
    const int R = st.NupRows > 0 ? st.NupRows : 1;

    if (mode == 3) {
        // The whole printable area of the printer's page; a turned sheet
        // lies across it, its columns down the page.
        NupCellBox first{};
        Layout_NupCellOnPage(pdev, 0, 0, st.PageRotation, &first);
        const LONG width = (first.turned ? st.SheetGeometry.Height : st.SheetGeometry.Width) - margins;
        const LONG height = (first.turned ? st.SheetGeometry.Width : st.SheetGeometry.Height) - margins;
        RECTL sheet = {1, 1, width - 1, height - 1};
        return first.turned ? Layout_DrawGrid(pdev, &sheet, R, C, 2, 0) : Layout_DrawGrid(pdev, &sheet, C, R, 2, 0);
    }
    if (mode != 2) {
        Dbg_Assert(pdev, "jobctrl", 7040);
        return FALSE;
    }
    // Cells are counted from 1 on the sheet.
    int c = 0, k = 0;
    Layout_CellPosition(job.priv.NupOrder, st.SheetOrientation, cell - 1, C, R, &c, &k);
    NupCellBox box{};
    Layout_NupCellOnPage(pdev, c, k, st.PageRotation, &box);
    RECTL frame = {box.x, box.y, box.x + box.width, box.y + box.height};

    // The cell as its page is placed: the side's image shift moves it as
    // it moves the page, and where the cells were shrunk to leave the shift
    // its room, the cell gives up its share of that room.
    INT32 moveX = 0, moveY = 0;
    Layout_NupShiftMove(pdev, cell - 1, &moveX, &moveY);
    INT32 roomAcross = 0, roomDown = 0;
    Layout_NupShiftRoom(pdev, c, k, &roomAcross, &roomDown);
    frame.left += moveX;
    frame.right += moveX - roomAcross;
    frame.top += moveY;
    frame.bottom += moveY - roomDown;

    LONG inset = 16;
    if (PagesPerSheet(job) > 1) inset += 2 * (factor - 1) + 2;
    frame.left += inset;
    frame.top += inset;
    frame.right -= inset;
    frame.bottom -= inset;
    return Layout_DrawGrid(pdev, &frame, 1, 1, 3, 0);
}

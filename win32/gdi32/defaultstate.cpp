// The state a new DC starts with, the same for printer and memory DCs:
// the black pen, the white brush, the system font, the default palette,
// and for a memory DC the stock 1x1 monochrome bitmap; the default modes,
// colours and mapping are DcState's own.
#include "gdi32/dc.h"
#include "gdi32/objects.h"
#include "gdi32/selection.h"
#include "gdi32/stockobjects.h"

namespace w32::gdi {

void InitDcState(DeviceContext& dc) {
    dc.state = DcState{};
    dc.state.pen = StockObject(BLACK_PEN);
    dc.state.brush = StockObject(WHITE_BRUSH);
    dc.state.font = StockObject(SYSTEM_FONT);
    dc.state.palette = StockObject(DEFAULT_PALETTE);
    if (dc.memory) {
        dc.state.bitmap = StockBitmap();
        // The stock bitmap may sit in any number of memory DCs.
    }
    RetainState(dc.state);
}

}  // namespace w32::gdi

// The stock objects every process shares: made once, on first use, and
// never deleted (DeleteObject answers TRUE and leaves them alone).
#pragma once
#include <windows.h>

#include <span>

namespace w32::gdi {

// The object GetStockObject(index) gives; null for an index with none.
HGDIOBJ StockObject(int index);
// The brush of a system colour (gdi32/syscolors.h), one of the stock objects.
HBRUSH StockSystemColorBrush(int index);
// The 1x1 monochrome bitmap a new memory DC holds.
HBITMAP StockBitmap();
// The 20 colours of DEFAULT_PALETTE: ten at each end of a 256-entry system palette.
std::span<const PALETTEENTRY> SystemPaletteEntries();

}  // namespace w32::gdi

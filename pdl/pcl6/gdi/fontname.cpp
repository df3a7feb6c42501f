// The printer's names of fonts: a printer-resident font by its own name, a
// downloaded font by its number and kind ("3TTArial" is the fourth font of
// the job, a TrueType outline font), so that two sizes or kinds of one face
// never share a name in the printer.
#include <windows.h>

#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/outbuf.h"

namespace {

// The longest face name kept, and the room for the prefix before it.
constexpr int kMaxFaceLength = 31;
constexpr int kMaxNameLength = kMaxFaceLength + 16;

}  // namespace

DWORD Pxl_WriteFontName(PDEV* pdev, LPCSTR name, int number, DWORD flags) {
    if (!pdev || !name) return 0;
    BYTE token[5 + kMaxNameLength + 2];
    DWORD length = 0;
    if (flags & FONTNAME_PREFIX) {
        char prefix[16];
        const int written = wsprintfA(prefix, "%d%s", number - 100, (flags & FONTNAME_BITMAP) ? "BM" : "TT");
        for (int i = 0; i < written; ++i) token[4 + length++] = BYTE(prefix[i]);
    }
    for (int i = 0; i < kMaxFaceLength && name[i]; ++i) token[4 + length++] = BYTE(name[i]);
    token[0] = PXL_TAG_UBYTE_ARRAY;
    token[1] = PXL_TAG_UINT16;
    token[2] = BYTE(length);
    token[3] = BYTE(length >> 8);
    token[4 + length] = PXL_TAG_ATTR_UBYTE;
    token[5 + length] = PXL_ATTR_FONT_NAME;
    return Spool_Write(pdev, token, length + 6) ? length : 0;
}

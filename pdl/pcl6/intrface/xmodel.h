// The model description of the rendering DLL: the papers the printer knows
// with their sizes and margins, the papers it prints, the geometry of a
// page for the settings' orientation and resolution, the default settings
// every device context starts from, and the overlay forms folder.
#pragma once
#include <windows.h>

#include "pcl6/intrface/renddevmode.h"

#define XMODEL_PAPER_COUNT 42
#define XMODEL_PRINTABLE_COUNT 36
// Custom paper codes: 288 and the codes after it, one per custom size entry.
#define XMODEL_CUSTOM_FIRST 288
#define XMODEL_CUSTOM_LAST 307
// The smallest unprintable margin, in 600-dpi dots.
#define XMODEL_MIN_MARGIN 96

// A paper of the model: its code, an identifier, and its portrait size in
// 600-dpi dots (every margin is 96 dots; landscape swaps width and height).
struct XmodelPaper {
    INT16 code;
    INT32 id;
    INT16 width;
    INT16 height;
};

// A page's geometry in device dots: paper width and height, then the left,
// top, right and bottom unprintable margins (six 16-bit values, the same
// layout as the PDEV's page geometry).
#pragma pack(push, 1)
struct PaperGeometry {
    INT16 Width;
    INT16 Height;
    INT16 Left;
    INT16 Top;
    INT16 Right;
    INT16 Bottom;
};
#pragma pack(pop)
static_assert(sizeof(PaperGeometry) == 12);

// The 42 papers of the model in the order they are searched.
extern const XmodelPaper g_XmodelPapers[XMODEL_PAPER_COUNT];
// The 36 paper codes the model prints, in order.
extern const INT16 g_XmodelPrintablePapers[XMODEL_PRINTABLE_COUNT];

// The model's record of a paper code below 288, or null.
const XmodelPaper* Xmodel_FindPaper(int code);
// 1 for a custom code (288..307) or a paper of the model list.
BOOL Xmodel_IsModelPaper(int code);
// 1 for a custom code (288..307) or a paper of the printable list.
BOOL Xmodel_IsPrintablePaper(int code);
// The position of a code below 288 in `list` (-1 when absent); a code of
// 288 or more gives count + code - 288.
int Xmodel_PrintableIndex(const INT16* list, int count, int code);

// Fills `out` with the geometry of paper `code` for the settings'
// orientation and resolution. With the settings' margins flag, margins come
// from their margin table; when `keepOtherMargins` is set and the code is
// not the settings' dmPaperSize, `out` keeps the margins it holds. FALSE,
// with `out` unchanged, for an unknown code or an orientation other than 1
// and 2 (custom sizes take any orientation but 2 as portrait).
BOOL Xmodel_Lookup(PaperGeometry* out, const RendDevmode* settings, int code, BOOL keepOtherMargins);

// The default settings: zeroes the 14900 bytes and writes every default, the
// paper by the user's country, `deviceName` (at most 31 characters) when
// given. 0 without a buffer, else 1.
BOOL Ui_DefaultSettings(RendDevmode* settings, LPCWSTR deviceName);

// Writes the overlay forms folder ("%PUBLIC%\Brevant\Form\", or
// "%ALLUSERSPROFILE%\Documents\Brevant\Form\" when the version class is 0)
// into both forms-folder fields of the settings. Each field holds at most
// 255 characters and its NUL: a longer path is cut. FALSE, with both fields
// empty, when the base folder cannot be read.
BOOL Util_GetFormsFolder(RendDevmode* settings);

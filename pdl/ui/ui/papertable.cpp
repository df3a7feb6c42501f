// The paper table and the measures of papers and custom sizes.
#include <windows.h>
#include <strsafe.h>

#include "ui/res/uires.h"
#include "ui/ui/papertable.h"

namespace {

// One paper: its portrait size, the landscape size exchanged, every margin 95.
constexpr PaperTableEntry Paper(INT16 code, INT16 width, INT16 height, UINT nameId) {
    return PaperTableEntry{code,
                           {width, height, PAPER_MARGIN, PAPER_MARGIN, PAPER_MARGIN, PAPER_MARGIN},
                           {height, width, PAPER_MARGIN, PAPER_MARGIN, PAPER_MARGIN, PAPER_MARGIN},
                           nameId};
}

}  // namespace

constinit const PaperTableEntry g_PaperTable[PAPER_TABLE_COUNT] = {
    Paper(1, 5100, 6600, IDS_PAPER_LETTER),
    Paper(9, 4960, 7015, IDS_PAPER_A4),
    Paper(5, 5100, 8400, IDS_PAPER_LEGAL),
    Paper(13, 4299, 6071, IDS_PAPER_B5),
    Paper(37, 2325, 4500, IDS_PAPER_MONARCH),
    Paper(27, 2598, 5197, IDS_PAPER_DL),
    Paper(28, 3827, 5409, IDS_PAPER_C5),
    Paper(20, 2475, 5700, IDS_PAPER_COM10),
    Paper(11, 3496, 4960, IDS_PAPER_A5),
    Paper(43, 2362, 3496, IDS_PAPER_POSTCARD),
    Paper(250, 4606, 6378, IDS_PAPER_BIG16K),
    Paper(245, 4370, 6141, IDS_PAPER_16K),
    Paper(252, 3189, 4606, IDS_PAPER_BIG32K),
    Paper(246, 3071, 4370, IDS_PAPER_32K),
    Paper(70, 2480, 3496, IDS_PAPER_A6),
    Paper(34, 4157, 5906, IDS_PAPER_B5_ENVELOPE),
    Paper(7, 4350, 6300, IDS_PAPER_EXECUTIVE),
    Paper(14, 5100, 7800, IDS_PAPER_FOLIO),
    Paper(243, 5102, 8102, IDS_PAPER_OFICIO),
    Paper(6, 3300, 5100, IDS_PAPER_STATEMENT),
    Paper(31, 2693, 3827, IDS_PAPER_C6),
    Paper(242, 2834, 5433, IDS_PAPER_ZL),
    Paper(241, 2953, 4157, IDS_PAPER_B6_ENVELOPE),
    Paper(276, 2480, 5551, IDS_PAPER_YOUGATA4),
    Paper(277, 3496, 4724, IDS_PAPER_DOUBLE_POSTCARD),
    Paper(278, 2834, 5551, IDS_PAPER_YOUNAGA3),
    Paper(279, 2834, 5551, IDS_PAPER_NAGAGATA3),
    Paper(280, 2692, 3826, IDS_PAPER_YOUGATA2),
};

BOOL IsKnownPaperSize(INT code, INT* index) {
    if (code >= CUSTOM_PAPER_FIRST && code <= CUSTOM_PAPER_LAST) {
        if (index) *index = -1;
        return TRUE;
    }
    for (INT i = 0; i < PAPER_TABLE_COUNT; ++i) {
        if (g_PaperTable[i].code == code) {
            if (index) *index = i;
            return TRUE;
        }
    }
    return FALSE;
}

const CustomPaperRecord* FindCustomPaperRecord(const PrivateDevmode* priv, INT code) {
    if (!priv) return nullptr;
    for (const CustomPaperRecord& record : priv->CustomPaperSize)
        if (record.paperCode == code) return &record;
    return nullptr;
}

BOOL GetPaperMetrics(const PrivateDevmode* priv, INT code, INT orientation, PaperMetrics* out) {
    if (!out || (orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE)) return FALSE;
    BOOL portrait = orientation == DMORIENT_PORTRAIT;
    if (code < CUSTOM_PAPER_FIRST) {
        INT index = -1;
        if (!IsKnownPaperSize(code, &index)) return FALSE;
        *out = portrait ? g_PaperTable[index].portrait : g_PaperTable[index].landscape;
        return TRUE;
    }
    INT16 width = CUSTOM_PAPER_DEFAULT_WIDTH;
    INT16 height = CUSTOM_PAPER_DEFAULT_HEIGHT;
    if (const CustomPaperRecord* record = FindCustomPaperRecord(priv, code)) {
        width = record->width;
        height = record->height;
    }
    out->width = portrait ? width : height;
    out->height = portrait ? height : width;
    out->left = out->top = out->right = out->bottom = PAPER_MARGIN;
    return TRUE;
}

LONG Dots600ToTenthMm(LONG dots) {
    // Half up: add half the divisor, then divide rounding down.
    LONGLONG shifted = LONGLONG(dots) * 254 + 300;
    return LONG(shifted >= 0 ? shifted / 600 : -((-shifted + 599) / 600));
}

LONG TenthMmToWholeMm(LONG tenths) { return tenths / 10; }

void FormatCustomPaperName(LPWSTR field, LPCWSTR name, const CustomPaperRecord& record, INT position) {
    if (!field) return;
    const int width = int(TenthMmToWholeMm(Dots600ToTenthMm(record.width)));
    const int height = int(TenthMmToWholeMm(Dots600ToTenthMm(record.height)));
    ZeroMemory(field, CCHPAPERNAME * sizeof(WCHAR));
    // A text cut to the field would reach its 64 characters.
    if (FAILED(StringCchPrintfW(field, CCHPAPERNAME, u"%s (%d x %dmm)", name ? name : u"", width, height))) {
        ZeroMemory(field, CCHPAPERNAME * sizeof(WCHAR));
        StringCchPrintfW(field, CCHPAPERNAME, u"Custom %d (%d x %dmm)", int(position), width, height);
    }
}

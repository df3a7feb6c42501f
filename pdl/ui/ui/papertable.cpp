// The paper table and the measures of papers and custom sizes.
#include <windows.h>

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
    Paper(1, 5100, 6600, 108),     // Letter
    Paper(9, 4960, 7015, 116),     // A4
    Paper(5, 5100, 8400, 110),     // Legal
    Paper(13, 4299, 6071, 118),    // B5 (JIS)
    Paper(37, 2325, 4500, 123),    // Monarch envelope
    Paper(27, 2598, 5197, 120),    // DL envelope
    Paper(28, 3827, 5409, 121),    // C5 envelope
    Paper(20, 2475, 5700, 122),    // No. 10 envelope
    Paper(11, 3496, 4960, 119),    // A5
    Paper(43, 2362, 3496, 4063),   // Japanese postcard
    Paper(250, 4606, 6378, 4064),  // 16K 195 x 270
    Paper(245, 4370, 6141, 4065),  // 16K 185 x 260
    Paper(252, 3189, 4606, 4067),  // 32K 135 x 195
    Paper(246, 3071, 4370, 4068),  // 32K 130 x 185
    Paper(70, 2480, 3496, 340),    // A6
    Paper(34, 4157, 5906, 4069),   // B5 envelope
    Paper(7, 4350, 6300, 111),     // Executive
    Paper(14, 5100, 7800, 109),    // Folio
    Paper(243, 5102, 8102, 4070),  // Oficio
    Paper(6, 3300, 5100, 411),     // Statement
    Paper(31, 2693, 3827, 4072),   // C6 envelope
    Paper(242, 2834, 5433, 4073),  // 120 x 230 envelope
    Paper(241, 2953, 4157, 4074),  // 125 x 176 envelope
    Paper(276, 2480, 5551, 6001),
    Paper(277, 3496, 4724, 6002),
    Paper(278, 2834, 5551, 6003),
    Paper(279, 2834, 5551, 6004),
    Paper(280, 2692, 3826, 6005),
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

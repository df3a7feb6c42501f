// The driver's paper sizes: the 28 papers it knows, with their sizes and
// margins in 600-dpi units and the language DLL's string of each name, the
// user's custom sizes (paper codes 288 to 319), and the conversions of
// 600-dpi lengths into the tenths of a millimetre that callers are given.
#pragma once
#include <windows.h>

#include "pcl6/intrface/privdevmode.h"

#define PAPER_TABLE_COUNT 28
#define CUSTOM_PAPER_FIRST 288
#define CUSTOM_PAPER_LAST 319
// The size of a custom code without a record of its own (A4), 600-dpi units.
#define CUSTOM_PAPER_DEFAULT_WIDTH 4960
#define CUSTOM_PAPER_DEFAULT_HEIGHT 7015
#define PAPER_MARGIN 95

// A paper's size and four margins in one orientation, 600-dpi units.
struct PaperMetrics {
    INT16 width;
    INT16 height;
    INT16 left;
    INT16 top;
    INT16 right;
    INT16 bottom;
};

struct PaperTableEntry {
    INT16 code;  // the DEVMODE paper code
    PaperMetrics portrait;
    PaperMetrics landscape;
    UINT nameId;  // the paper's name in the language DLL
};

// In the order the driver lists them (Letter first, code 280 last).
extern const PaperTableEntry g_PaperTable[PAPER_TABLE_COUNT];

// TRUE for a code of the paper table or a custom code (288..319). The index,
// when asked for, is the paper's position in the table, or -1 for a custom
// code: a custom size is found by its code (FindCustomPaperRecord), never by
// a position.
BOOL IsKnownPaperSize(INT code, INT* index = nullptr);

// The record among the private part's custom sizes whose paper code is
// `code`; null without a private part or when none has it.
const CustomPaperRecord* FindCustomPaperRecord(const PrivateDevmode* priv, INT code);

// The size and margins of a paper in an orientation (1 portrait, 2
// landscape). A code below 288 measures as its table entry; 288 and up as the
// private part's custom record with that code (width first in portrait,
// height first in landscape), or 4960 x 7015 without one; custom margins are
// 95. FALSE, with `out` untouched, for another orientation or a code below
// 288 that the table lacks.
BOOL GetPaperMetrics(const PrivateDevmode* priv, INT code, INT orientation, PaperMetrics* out);

// A saved custom size as the list of paper names shows it, in a field of
// CCHPAPERNAME (64) characters: "<name> (W x Hmm)" with its size in whole
// millimetres, or "Custom <position> (W x Hmm)" (position counted from 0)
// when the first form would reach 64 characters.
void FormatCustomPaperName(LPWSTR field, LPCWSTR name, const CustomPaperRecord& record, INT position);

// A 600-dpi length in tenths of a millimetre (x * 254 / 600, rounded half up).
LONG Dots600ToTenthMm(LONG dots);
// Tenths of a millimetre in whole millimetres, truncated.
LONG TenthMmToWholeMm(LONG tenths);

// The papers of the model and the geometry of a page.
#include <windows.h>

#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/xmodel.h"

const XmodelPaper g_XmodelPapers[XMODEL_PAPER_COUNT] = {
    {142, 1962, 14031, 19866}, {66, 1963, 9921, 14031}, {8, 1964, 7015, 9921},
    {79, 1965, 6071, 8598},    {9, 1907, 4960, 7008},   {13, 2019, 4299, 6070},
    {11, 1913, 3496, 4960},    {70, 2772, 2480, 3507},  {28, 2024, 3826, 5409},
    {37, 2261, 2325, 4500},    {20, 2260, 2475, 5700},  {27, 2023, 2598, 5196},
    {1, 1904, 5100, 6600},     {5, 1905, 5100, 8400},   {14, 2259, 5100, 7800},
    {7, 1906, 4350, 6300},     {45, 1911, 6000, 6600},  {143, 1966, 6600, 9000},
    {245, 0, 4370, 6142},      {250, 0, 4606, 6378},    {246, 0, 3071, 4370},
    {252, 0, 3189, 4606},      {243, 0, 5102, 8000},    {241, 0, 2953, 4157},
    {242, 0, 2835, 5433},      {34, 0, 4157, 5905},     {276, 0, 2480, 5550},
    {277, 0, 3496, 4724},      {278, 0, 2834, 5550},    {279, 0, 2834, 5550},
    {280, 0, 2692, 3826},      {6, 2839, 3300, 5100},   {43, 2840, 2362, 3496},
    {82, 2841, 3496, 4729},    {31, 2842, 2693, 3827},  {144, 2843, 2315, 3496},
    {145, 2844, 2480, 5551},   {146, 2845, 2315, 4488}, {147, 2846, 2835, 5551},
    {150, 2860, 2835, 5551},   {148, 2847, 2126, 4843}, {149, 2848, 5102, 6543},
};

const INT16 g_XmodelPrintablePapers[XMODEL_PRINTABLE_COUNT] = {
    9,   13,  11,  28,  37,  20,  27,  1,   5,   14,  7,   245, 250, 246, 252, 243, 241, 242,
    34,  70,  276, 277, 278, 279, 280, 6,   43,  82,  31,  144, 145, 146, 147, 150, 148, 149,
};

namespace {

bool IsCustomCode(int code) { return code >= XMODEL_CUSTOM_FIRST && code <= XMODEL_CUSTOM_LAST; }

int ModelPosition(int code) {
    for (int i = 0; i < XMODEL_PAPER_COUNT; ++i)
        if (g_XmodelPapers[i].code == code) return i;
    return -1;
}

// The margins of a margin-table entry, turned for the orientation: portrait
// takes them in their order, any other orientation starts with the last.
void TurnedMargins(const RendMargins& entry, int orientation, INT16 margins[4]) {
    for (int i = 0; i < 4; ++i) margins[i] = orientation == DMORIENT_PORTRAIT ? entry.Margin[i] : entry.Margin[(i + 3) % 4];
}

}  // namespace

const XmodelPaper* Xmodel_FindPaper(int code) {
    int position = ModelPosition(code);
    return position < 0 ? nullptr : &g_XmodelPapers[position];
}

BOOL Xmodel_IsModelPaper(int code) { return IsCustomCode(code) || ModelPosition(code) >= 0; }

BOOL Xmodel_IsPrintablePaper(int code) {
    if (IsCustomCode(code)) return TRUE;
    return code < XMODEL_CUSTOM_FIRST && Xmodel_PrintableIndex(g_XmodelPrintablePapers, XMODEL_PRINTABLE_COUNT, code) >= 0;
}

int Xmodel_PrintableIndex(const INT16* list, int count, int code) {
    if (code >= XMODEL_CUSTOM_FIRST) return count + code - XMODEL_CUSTOM_FIRST;
    if (!list) return -1;
    for (int i = 0; i < count; ++i)
        if (list[i] == code) return i;
    return -1;
}

BOOL Xmodel_Lookup(PaperGeometry* out, const RendDevmode* settings, int code, BOOL keepOtherMargins) {
    if (!out || !settings) return FALSE;
    const RendPrivate& priv = settings->priv;
    const int orientation = settings->pub.dmOrientation;
    const int factor = priv.ColorAdjust.ResolutionStep + 1;
    const bool marginsFlag = priv.MarginsFlag != 0;

    int width = 0, height = 0;
    INT16 margins[4] = {XMODEL_MIN_MARGIN, XMODEL_MIN_MARGIN, XMODEL_MIN_MARGIN, XMODEL_MIN_MARGIN};
    bool keepMargins = false;
    if (IsCustomCode(code)) {
        const int k = code - XMODEL_CUSTOM_FIRST;
        // The sizes are read as their low 16 bits.
        width = INT16(priv.CustomSizes[k].CustomPaperWidth600);
        height = INT16(priv.CustomSizes[k].CustomPaperLength600);
        // The margin table has room for the first seven custom sizes only;
        // the others take the smallest margins.
        const int entry = XMODEL_PAPER_COUNT + k;
        if (marginsFlag && entry < REND_MARGIN_ENTRIES) TurnedMargins(priv.MarginTable[entry], orientation, margins);
        if (orientation == DMORIENT_LANDSCAPE) {
            int swap = width;
            width = height;
            height = swap;
        }
    } else {
        const int position = code >= 0 && code < XMODEL_CUSTOM_FIRST ? ModelPosition(code) : -1;
        if (position < 0) {
            Dbg_Print("Xmodel_Lookup: unknown paper %d\n", code);
            return FALSE;
        }
        if (orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE) {
            Dbg_Print("Xmodel_Lookup: orientation %d\n", orientation);
            return FALSE;
        }
        const XmodelPaper& paper = g_XmodelPapers[position];
        width = orientation == DMORIENT_PORTRAIT ? paper.width : paper.height;
        height = orientation == DMORIENT_PORTRAIT ? paper.height : paper.width;
        if (marginsFlag) {
            if (keepOtherMargins && code != settings->pub.dmPaperSize)
                keepMargins = true;
            else
                TurnedMargins(priv.MarginTable[position], orientation, margins);
        }
    }

    // Margins are at least 96 dots at 600 dpi; everything scales with the
    // resolution. Margins kept from `out` are already in device dots.
    out->Width = INT16(width * factor);
    out->Height = INT16(height * factor);
    if (keepMargins) return TRUE;
    INT16* fields[4] = {&out->Left, &out->Top, &out->Right, &out->Bottom};
    for (int i = 0; i < 4; ++i) {
        int margin = margins[i] < XMODEL_MIN_MARGIN ? XMODEL_MIN_MARGIN : margins[i];
        *fields[i] = INT16(margin * factor);
    }
    return TRUE;
}

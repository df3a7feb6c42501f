// Manual duplex: the sheet plan that pairs the stored pages into sheets by
// their paper, and the two passes that send the backs, then the fronts.
#include <windows.h>

#include "pcl6/gdi/spoolshared.h"

namespace spool {

int PlanSheets(const SpoolPageEntry* table, int pages, INT32* plan) {
    int sides = 0;
    int run = 0;
    INT16 paper = 0;
    // The sides in order; written once the number of sheets is known.
    auto place = [&](int page, int sheets) {
        if (plan) {
            const int sheet = sides / 2;
            plan[sides % 2 ? sheets + sheet : sheet] = page;
        }
        ++sides;
    };
    const int sheets = plan ? PlanSheets(table, pages, nullptr) : 0;
    if (plan)
        for (int i = 0; i < 2 * sheets; ++i) plan[i] = -1;
    for (int page = 1; page <= pages; ++page) {
        const INT16 code = table[page].PaperSize;
        if (page > 1 && code != paper) {
            if (run % 2) place(-1, sheets);
            run = 0;
        }
        paper = code;
        place(page, sheets);
        ++run;
    }
    return (sides + 1) / 2;
}

bool SendManualDuplex(Replay& replay, const INT32* plan, int sheets, int copies, bool firstOnly) {
    auto side = [&](int page, int front) {
        if (page > 0) return replay.Page(page);
        return replay.BlankPage(front > 0 ? front : 1);
    };
    for (int copy = 0; copy < copies; ++copy)
        for (int k = sheets - 1; k >= 0; --k) {
            if (!side(plan[sheets + k], plan[k])) return false;
            if (firstOnly) break;
        }
    for (int copy = 0; copy < copies; ++copy)
        for (int k = 0; k < sheets; ++k) {
            if (!side(plan[k], plan[k])) return false;
            if (firstOnly) break;
        }
    return true;
}

}  // namespace spool

BOOL Spool_IsFrontSide(const SpoolPageEntry* table, int stored, int paper) {
    int count = 0;
    for (int i = 1; i <= stored; ++i) {
        if (i > 1 && table[i].PaperSize != table[i - 1].PaperSize && count % 2 == 1) count = 0;
        ++count;
    }
    if (stored > 0 && paper != table[stored].PaperSize && count % 2 == 1) count = 0;
    return count % 2 == 0 ? TRUE : FALSE;
}

// Booklet: the imposition of each group of stored pages, two pages to a
// side, and the sides sent for printer duplex or in two manual passes.
#include <windows.h>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/spoolshared.h"

using namespace spool;

namespace {

// The booklet's grouping: 0 the whole document, 1 groups of the given
// number of sheets (4 pages a sheet), 2 groups of up to 200 pages; any
// other value is taken as 0.
int BookletGroupMode(const RendDevmode& settings) {
    const int mode = settings.priv.BookletGrouping;
    return mode >= 0 && mode <= 2 ? mode : 0;
}
int BookletSheetsPerGroup(const RendDevmode& settings) {
    return settings.priv.BookletGroupSheets ? settings.priv.BookletGroupSheets : 1;
}

// One side of a booklet sheet: the pages (numbers within the group, 0 for
// an empty place) on its two places.
struct BookletSide {
    int place[2];
};
struct BookletSheet {
    BookletSide front;
    BookletSide back;
};

// The imposition of a group of M pages (numbers 1 to M within the group):
// s = 2 puts pages 1 and 2 on a sheet of their own (page 1 on the front,
// page 2 on the back, each in the second place), e = 1 puts page M alone in
// the first place of a further sheet, and the b = M - s - e pages left are
// folded into sheets of four places.
struct Imposition {
    int M, s, e, b, h, f, slots, z, w;

    explicit Imposition(int pages) : M(pages) {
        s = M >= 4 && M % 4 != 0 ? 2 : 0;
        e = s == 2 && M % 4 == 3 ? 1 : 0;
        b = M - s - e;
        h = 2 * (b / 4);
        if (b % 4 != 0 || b < 4) h = 2 * (b / 4) + b % 4 - 1;
        f = b - h;
        slots = (b + 1) / 2;
        if (slots % 2) ++slots;
        if (slots < 2) slots = 2;
        z = b % 4 == 0 ? 1 : 0;
        w = b != 1 ? 1 : 0;
    }

    int Sheets() const { return s / 2 + e + slots / 2; }

    // Sheet k of the group, in the order they are sent.
    BookletSheet Sheet(int k) const {
        if (s == 2 && k == 0) return BookletSheet{{{0, 1}}, {{0, 2}}};
        k -= s / 2;
        if (e == 1 && k == 0) return BookletSheet{{{M, 0}}, {{0, 0}}};
        k -= e;
        const int j = 2 * k;
        BookletSheet sheet{{{0, 0}}, {{0, 0}}};
        if (h != 0) {
            sheet.back.place[1] = j + s + 2;
            if (h > 1) sheet.back.place[0] = M - j - e - z;
        }
        if (f != 0) {
            sheet.front.place[1] = j + s + 1;
            if (z == 1)
                sheet.front.place[0] = M - e - j;
            else
                sheet.front.place[0] = j == 0 ? 0 : M - w - e - j + 2;
        }
        return sheet;
    }
};

// A booklet group: its first entry (less 1) and its number of pages.
struct BookletGroup {
    int base;
    int pages;
};

bool SendBookletSide(Replay& replay, const BookletGroup& group, const BookletSide& side, BOOL front) {
    PDEV* pdev = replay.pdev;
    bool opened = false;  // a page of this side is sent (its BeginPage with it)
    for (int place = 1; place <= 2; ++place) {
        const int number = side.place[place - 1];
        if (number <= 0 || number > group.pages) continue;
        const int entry = group.base + number;
        PageMarks marks;
        if (!replay.FindMarks(entry, &marks)) return false;
        // A page joining the side leaves its BeginPage off; the first place
        // leaves its end off so that the second page joins the same side.
        DWORD from = replay.Start(entry);
        if (opened) {
            DWORD header = 0;
            if (!replay.HeaderLength(entry, &header)) return false;
            from += header;
        }
        INT16 x = 0, y = 0;
        const INT16 angle = Layout_BookletCellTransform(pdev, &x, &y, place, entry, front);
        BYTE transform[kTransformBytes];
        WriteTransform(transform, x, y, angle);
        const bool joined = place == 1 && side.place[1] > 0 && side.place[1] <= group.pages;
        const DWORD rest = marks.transform + kTransformBytes;
        const DWORD end = replay.End(entry) - (joined ? kPageEnd : 0);
        if (marks.transform < from || !replay.Copy(from, marks.transform - from) ||
            !replay.Send(transform, sizeof(transform)) || !replay.Copy(rest, end - rest))
            return false;
        opened = true;
    }
    // A side without any page is an empty page on the first page's media.
    return opened || replay.BlankPage(1);
}

}  // namespace

BOOL Spool_ReplayPages(PDEV* pdev, HANDLE file, int copies) {
    if (!pdev || !file) return FALSE;
    const SpoolState& spool = State(pdev);
    const int pages = spool.PageTableCount - 2;
    if (!spool.PageTable || pages < 1) return FALSE;
    const RendDevmode& job = Job_Settings(pdev);
    int G = pages;
    switch (BookletGroupMode(job)) {
    case 1: G = 4 * BookletSheetsPerGroup(job); break;
    case 2: G = pages < 200 ? pages : 200; break;
    default: break;
    }
    const int groups = (pages + G - 1) / G;
    auto group = [&](int index) {
        const int base = index * G;
        return BookletGroup{base, pages - base < G ? pages - base : G};
    };
    Replay replay{pdev, file};
    if (job.priv.DuplexBinding < 3) {
        // Printer duplex: each sheet's front, then its back.
        for (int copy = 0; copy < copies; ++copy)
            for (int g = 0; g < groups; ++g) {
                const BookletGroup current = group(g);
                const Imposition imposition(current.pages);
                for (int k = 0; k < imposition.Sheets(); ++k) {
                    const BookletSheet sheet = imposition.Sheet(k);
                    if (!SendBookletSide(replay, current, sheet.front, TRUE) ||
                        !SendBookletSide(replay, current, sheet.back, FALSE))
                        return FALSE;
                }
            }
        return TRUE;
    }
    // Manual duplex: the backs from the last sheet to the first, then, with
    // the stack turned over, the fronts from the first to the last; each
    // pass once per copy.
    for (int copy = 0; copy < copies; ++copy)
        for (int g = groups - 1; g >= 0; --g) {
            const BookletGroup current = group(g);
            const Imposition imposition(current.pages);
            for (int k = imposition.Sheets() - 1; k >= 0; --k)
                if (!SendBookletSide(replay, current, imposition.Sheet(k).back, FALSE)) return FALSE;
        }
    for (int copy = 0; copy < copies; ++copy)
        for (int g = 0; g < groups; ++g) {
            const BookletGroup current = group(g);
            const Imposition imposition(current.pages);
            for (int k = 0; k < imposition.Sheets(); ++k)
                if (!SendBookletSide(replay, current, imposition.Sheet(k).front, TRUE)) return FALSE;
        }
    return TRUE;
}

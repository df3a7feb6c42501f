// Hatch patterns in jobs whose sheets are replayed: printed in reverse
// order, as collated copies, as a booklet and with manual duplex, each
// sheet defines every pattern it selects before selecting it, so that the
// stream that reaches the printer selects only patterns defined earlier in
// it (the job decoder checks every selection over the whole job).
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <functional>
#include <string>
#include <vector>

#include "pcl6/gdi/brush.h"
#include "spool_fixture.h"
#include "win32k/ddiobj.h"

namespace tam::test {
namespace {

struct ReplayCase {
    const char* name;
    std::function<void(RendDevmode&)> edit;
    int pages;
};

void PrintTo(const ReplayCase& c, std::ostream* os) { *os << c.name; }

// A hatch realised by hand, [white background, black lines].
struct HatchBrush {
    explicit HatchBrush(ULONG hatch) : bytes(sizeof(RealizedBrush) + 2, 0) {
        auto* header = reinterpret_cast<RealizedBrush*>(bytes.data());
        *header = {8, 8, BMF_1BPP, 2, sizeof(RealizedBrush), hatch, 0};
        bytes[sizeof(RealizedBrush)] = 255;
        object = {0xFFFFFFFF, bytes.data(), 0};
    }
    std::vector<BYTE> bytes;
    BRUSHOBJ object;
};

class PatternReplay : public SpoolTest, public testing::WithParamInterface<ReplayCase> {};

TEST_P(PatternReplay, EverySelectedPatternIsDefinedBeforeInTheStream) {
    const ReplayCase& c = GetParam();
    PDEV* pdev = EnableWith(c.edit);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    w32::DevicePath square;
    square.MoveTo(w32::PointFix(100, 100));
    square.LineTo(w32::PointFix(300, 100));
    square.LineTo(w32::PointFix(300, 300));
    square.CloseFigure();
    w32::EnginePathObj path(square);
    // Every page fills with the cross hatch; each page also with a hatch of
    // its own, and every other page with the first page's.
    HatchBrush shared(HS_CROSS);
    for (int page = 1; page <= c.pages; ++page) {
        ASSERT_TRUE(DrvStartPage(surface()));
        HatchBrush own(ULONG(page % 5));
        HatchBrush firstPages(HS_HORIZONTAL);
        for (BRUSHOBJ* brush : {&shared.object, &own.object, &firstPages.object})
            ASSERT_TRUE(DrvFillPath(surface(), &path, nullptr, brush, nullptr, MIX_FROM_ROP2(R2_COPYPEN),
                                    FP_ALTERNATEMODE));
        ASSERT_TRUE(DrvSendPage(surface()));
    }
    const EndResult end = EndJob();
    ASSERT_TRUE(end.ended) << end.error;
    const job::DecodedJob decoded = Decoded();
    EXPECT_GE(decoded.Count("BeginRastPattern"), size_t(2));
    EXPECT_GE(decoded.Count("PaintPath"), size_t(3 * c.pages));
}

const ReplayCase kReplays[] = {
    {"ReverseOrder", [](RendDevmode& s) { s.priv.OppositeOrder = 1; }, 4},
    {"CollatedCopies",
     [](RendDevmode& s) {
         s.pub.dmCopies = 2;
         s.pub.dmCollate = DMCOLLATE_TRUE;
     },
     3},
    {"Booklet", [](RendDevmode& s) { s.priv.BookletOn = 1; }, 6},
    {"ManualDuplex", [](RendDevmode& s) { s.priv.DuplexBinding = 3; }, 5},
    {"FourUpReversed",
     [](RendDevmode& s) {
         s.priv.PagesPerSheet = 4;
         s.priv.OppositeOrder = 1;
     },
     9},
};

INSTANTIATE_TEST_SUITE_P(All, PatternReplay, testing::ValuesIn(kReplays),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tam::test

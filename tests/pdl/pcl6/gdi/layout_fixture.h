// Page-layout tests: a PDEV in the middle of a job, built without the
// engine: its settings (current and job copy alike), the geometry of the
// settings' paper from the model, the page counters.
//
// Papers at 600 dpi, portrait: A4 4960 x 7008, Letter 5100 x 6600, Legal
// 5100 x 8400, every margin 96 (D); at 1200 dpi all values double.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/xmodel.h"

namespace tam::test {

struct LayoutPaper {
    const char* name;
    int paper;        // DMPAPER_*
    int orientation;  // 1 portrait, 2 landscape
    int factor;       // resolution factor: 0 at 600 dpi, 1 at 1200 dpi
};

class LayoutPdev {
public:
    explicit LayoutPdev(const LayoutPaper& paper) : pdev_(std::make_unique<PDEV>()) {
        Layout_ResetProcessState();
        RendDevmode& s = pdev_->Devmode;
        s.pub.dmSize = 220;
        s.pub.dmDriverExtra = REND_PRIVATE_SIZE;
        s.pub.dmPaperSize = SHORT(paper.paper);
        s.pub.dmOrientation = SHORT(paper.orientation);
        s.priv.ColorAdjust.ResolutionStep = BYTE(paper.factor);
        s.priv.PagesPerSheet = 1;
        s.priv.ScalePercent = 100;
        EXPECT_TRUE(Xmodel_Lookup(&pdev_->Geometry, &s, paper.paper, FALSE)) << paper.name;
        pdev_->Orientation = INT16(paper.orientation);
        pdev_->Job.JobDevmode = s;
        pdev_->Job.State.PageCounter = 1;
        pdev_->Job.State.SheetPageCount = 1;
    }

    PDEV* get() const { return pdev_.get(); }
    PDEV* operator->() const { return pdev_.get(); }
    LayoutState& layout() const { return pdev_->Job.State.Layout; }
    JobState& job() const { return pdev_->Job.State; }

    // Changes the private settings of the current settings and the job's copy.
    template <typename Change>
    void Settings(Change change) {
        change(pdev_->Devmode.priv);
        change(pdev_->Job.JobDevmode.priv);
    }

    // The page now being printed: another paper or orientation than the
    // settings' (the first page keeps the layout it set).
    void TurnPage(int paper, int orientation) {
        RendDevmode s = pdev_->Devmode;
        s.pub.dmOrientation = SHORT(orientation);
        EXPECT_TRUE(Xmodel_Lookup(&pdev_->Geometry, &s, paper, FALSE));
        pdev_->Orientation = INT16(orientation);
    }

    // Job control's page counters for page `page` of the job, placed as
    // cell `cell` of its sheet.
    void AtPage(int page, int cell) {
        pdev_->Job.State.PageCounter = UINT16(page);
        pdev_->Job.State.SheetPageCount = UINT16(cell);
    }

    struct Placed {
        INT16 x = 0, y = 0, rotation = 0;
    };
    Placed Transform(int sheetPageCount) {
        Placed placed;
        placed.rotation = Layout_PageTransform(get(), &placed.x, &placed.y, sheetPageCount);
        return placed;
    }

private:
    std::unique_ptr<PDEV> pdev_;
};

inline constexpr LayoutPaper kA4Portrait{"A4 portrait", DMPAPER_A4, 1, 0};
inline constexpr LayoutPaper kA4Landscape{"A4 landscape", DMPAPER_A4, 2, 0};
inline constexpr LayoutPaper kLetterPortrait{"Letter portrait", DMPAPER_LETTER, 1, 0};
inline constexpr LayoutPaper kLetterLandscape{"Letter landscape", DMPAPER_LETTER, 2, 0};
inline constexpr LayoutPaper kA4Portrait1200{"A4 portrait 1200 dpi", DMPAPER_A4, 1, 1};
inline constexpr LayoutPaper kA4Landscape1200{"A4 landscape 1200 dpi", DMPAPER_A4, 2, 1};

}  // namespace tam::test

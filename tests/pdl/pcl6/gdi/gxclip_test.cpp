// The clip of a drawing call from the engine's clip object: the printable
// area for no clip or a trivial one, the rectangle of a rectangular clip,
// and for a complex clip an even-odd clip path of its outline, sent once
// while the same clip (by iUniq) stays in force.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <string>

#include "job_fixture.h"
#include "pcl6/gdi/gx.h"
#include "win32k/ddiobj.h"

namespace tam::test {
namespace {

class ClipObj : public JobTest {
protected:
    PDEV* Page() {
        PDEV* pdev = StartJob();
        if (pdev) TakeOutput(pdev);
        return pdev;
    }
};

// The A4 printable area at 600 dpi: 4768 x 6816.
constexpr const char* kPrintableArea = "85 E3 00 00 00 00 A0 12 A0 1A F8 42 A1 C0 00 F8 53 62";

TEST_F(ClipObj, TrivialAndRectangularClips) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    const RECTL bounds{10, 10, 20, 20};
    EXPECT_TRUE(Gx_SetClipObj(pdev, nullptr, &bounds));
    EXPECT_EQ(Out(pdev), HexText(Hex(kPrintableArea)));
    w32::EngineClip trivial(w32::Region(RECTL{0, 0, 100, 100}), bounds);
    ASSERT_EQ(trivial.iDComplexity, DC_TRIVIAL);
    EXPECT_TRUE(Gx_SetClipObj(pdev, &trivial, &bounds));
    EXPECT_EQ(Out(pdev), "");  // the printable area is in force already
    w32::EngineClip rect(w32::Region(RECTL{15, 12, 300, 400}), bounds);
    ASSERT_EQ(rect.iDComplexity, DC_RECT);
    EXPECT_TRUE(Gx_SetClipObj(pdev, &rect, &bounds));
    EXPECT_EQ(Out(pdev), HexText(Hex("85 E3 0F 00 0C 00 14 00 14 00 F8 42 A1 C0 00 F8 53 62")));
}

TEST_F(ClipObj, ComplexClipIsAnEvenOddPathSentOnce) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    // Two rectangles: an L shape over the bounds.
    const RECTL parts[2] = {{0, 0, 20, 10}, {0, 10, 10, 20}};
    const RECTL bounds{0, 0, 20, 20};
    w32::EngineClip clip(w32::Region::FromRects(parts), bounds);
    ASSERT_EQ(clip.iDComplexity, DC_COMPLEX);
    const std::string path =
        "C0 01 F8 54 7F 85 "
        "D3 00 00 00 00 F8 4C 6B C1 03 00 F8 4D C0 01 F8 50 9D FB 06 14 00 00 0A EC 00 84 "
        "D3 00 00 0A 00 F8 4C 6B C1 03 00 F8 4D C0 01 F8 50 9D FB 06 0A 00 00 0A F6 00 84 "
        "C0 00 F8 53 62";
    EXPECT_TRUE(Gx_SetClipObj(pdev, &clip, &bounds));
    EXPECT_EQ(Out(pdev), HexText(Hex(path)));
    EXPECT_TRUE(Gx_SetClipObj(pdev, &clip, &bounds));
    EXPECT_EQ(Out(pdev), "");
    // A clip of no name is sent each time (the clip mode is in force).
    clip.iUniq = 0;
    EXPECT_TRUE(Gx_SetClipObj(pdev, &clip, &bounds));
    EXPECT_EQ(Out(pdev), HexText(Hex(path.substr(std::string("C0 01 F8 54 7F ").size()))));
    // A rectangle clip after it is written, though it equals the last one.
    EXPECT_TRUE(Gx_SetClipObj(pdev, nullptr, &bounds));
    EXPECT_EQ(Out(pdev), HexText(Hex(kPrintableArea)));
}

}  // namespace
}  // namespace tam::test

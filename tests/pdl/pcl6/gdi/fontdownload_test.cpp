// Font downloads: the bitmap font header and the bitmaps of a string's
// glyphs, by their bytes and through the job decoder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "job_fixture.h"
#include "pcl6/gdi/fontcache.h"

namespace tam::test {
namespace {

using BitmapFontDownload = JobTest;

TEST_F(BitmapFontDownload, HeaderBytes) {
    struct Case {
        int step;
        const char* resolution;
    };
    const Case cases[] = {{1, "02 58 02 58"}, {2, "04 B0 04 B0"}};
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        ASSERT_TRUE(Pxl_DownloadBitmapFontHeader(pdev, "Arial", 103, c.step));
        EXPECT_EQ(HexText(TakeOutput(pdev)),
                  HexText(Hex(std::string("C8 C1 08 00 \"3BMArial\" F8 A8 C0 00 F8 A9 4F "
                                          "C1 12 00 F8 A7 50 FB 12 00 00 00 02 FE 00 03 E8 42 52 00 00 00 04 ") +
                              c.resolution + " C1 06 00 F8 A7 50 FB 06 FF FF 00 00 00 00 51")));
    }
}

}  // namespace
}  // namespace tam::test

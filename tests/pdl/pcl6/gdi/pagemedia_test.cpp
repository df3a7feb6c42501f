// The page-level commands: BeginPage with its media attributes, the page
// transform operators, EndPage, and the image and raster-pattern heads,
// byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "job_fixture.h"
#include "pcl6/gdi/pagemedia.h"
#include "pcl6/gdi/pjl.h"

namespace tam::test {
namespace {

class PageMedia : public JobTest {
protected:
    // A job of the default settings (A4 portrait, simplex, automatic source,
    // plain paper) on its first page, with `change` applied to the job's
    // copy of the settings and the PDEV.
    PDEV* Job(const std::function<void(PDEV*)>& change = {}) {
        PDEV* pdev = EnableDefault();
        if (!pdev) return nullptr;
        OpenJob(pdev);
        pdev->Job.State.PageCounter = 1;
        if (change) change(pdev);
        return pdev;
    }

    // The bytes of BeginPage with its media for `change`.
    Bytes Media(const std::function<void(PDEV*)>& change = {}) {
        PDEV* pdev = Job(change);
        if (!pdev) return {};
        EXPECT_TRUE(Pxl_BeginPageMedia(pdev));
        lastHeaderLength_ = pdev->Job.State.Spool.HeaderLength;
        lastFirstPaper_ = pdev->Job.State.FirstPaper;
        return TakeOutput(pdev);
    }

    int lastHeaderLength_ = 0;
    int lastFirstPaper_ = 0;
};

constexpr char kPlain[] = "C0 00 F8 28 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27 ";

TEST_F(PageMedia, A4PortraitOnPlainPaper) {
    EXPECT_EQ(HexText(Media()), HexText(Hex(std::string(kPlain) + "C8 C1 02 00 \"A4\" F8 25 43 61")));
    // Everything up to BeginPage, without PushGS.
    EXPECT_EQ(lastHeaderLength_, 28);
    EXPECT_EQ(lastFirstPaper_, DMPAPER_A4);
}

// A4 as a custom size of 4961 x 7016 dots is 2100.0 x 2970.0 tenths of a
// millimetre; the header length counts PushGS here.
TEST_F(PageMedia, CustomSizeInTenthsOfAMillimetre) {
    const Bytes bytes = Media([](PDEV* pdev) {
        RendDevmode& job = pdev->Job.JobDevmode;
        job.pub.dmPaperSize = 290;
        job.priv.CustomSizes[2].CustomPaperWidth600 = 4961;
        job.priv.CustomSizes[2].CustomPaperLength600 = 7016;
    });
    EXPECT_EQ(HexText(bytes), HexText(Hex(std::string(kPlain) + "D5 00 40 03 45 00 A0 39 45 F8 2F C0 02 F8 30 43 61")));
    EXPECT_EQ(lastHeaderLength_, 36);
    EXPECT_EQ(lastFirstPaper_, 290);
    EXPECT_EQ(Pxl_DotsToTenthsMm(4961), 2100);
    EXPECT_EQ(Pxl_DotsToTenthsMm(7016), 2970);
}

struct MediaCase {
    const char* name;
    std::function<void(PDEV*)> change;
    const char* head;     // the bytes before the MediaSize
    const char* size;     // MediaSize through PushGS
    int headerLength;
};

TEST_F(PageMedia, AttributesFollowTheSettings) {
    const MediaCase cases[] = {
        {"landscape turned by 180 degrees",
         [](PDEV* p) {
             p->Orientation = DMORIENT_LANDSCAPE;
             p->Job.State.PageTurn = 1;
         },
         "C0 03 F8 28 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 02 00 \"A4\" F8 25 43 61", 28},
        {"portrait turned by 180 degrees", [](PDEV* p) { p->Job.State.PageTurn = 1; },
         "C0 02 F8 28 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 02 00 \"A4\" F8 25 43 61", 28},
        {"long-edge duplex, portrait",
         [](PDEV* p) {
             p->Job.JobDevmode.priv.DuplexBinding = 2;
             p->Job.JobDevmode.pub.dmDuplex = DMDUP_VERTICAL;
             p->Job.State.DuplexAttributes = 1;
         },
         "C0 00 F8 28 C0 01 F8 35 C0 00 F8 36 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27",
         "C8 C1 02 00 \"A4\" F8 25 43 61", 36},
        {"long-edge duplex, landscape",
         [](PDEV* p) {
             p->Orientation = DMORIENT_LANDSCAPE;
             p->Job.JobDevmode.priv.DuplexBinding = 2;
             p->Job.JobDevmode.pub.dmDuplex = DMDUP_VERTICAL;
             p->Job.State.DuplexAttributes = 1;
         },
         "C0 01 F8 28 C0 00 F8 35 C0 00 F8 36 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27",
         "C8 C1 02 00 \"A4\" F8 25 43 61", 36},
        {"short-edge duplex by the public setting, portrait",
         [](PDEV* p) {
             p->Job.JobDevmode.pub.dmDuplex = DMDUP_HORIZONTAL;
             p->Job.State.DuplexAttributes = 1;
         },
         "C0 00 F8 28 C0 00 F8 35 C0 00 F8 36 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27",
         "C8 C1 02 00 \"A4\" F8 25 43 61", 36},
        {"duplex on a sheet not marked for the binding",
         [](PDEV* p) { p->Job.JobDevmode.priv.DuplexBinding = 1; },
         "C0 00 F8 28 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 02 00 \"A4\" F8 25 43 61", 28},
        {"manual duplex names no binding",
         [](PDEV* p) {
             p->Job.JobDevmode.priv.DuplexBinding = 3;
             p->Job.State.DuplexAttributes = 1;
         },
         "C0 00 F8 28 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 02 00 \"A4\" F8 25 43 61", 28},
        {"manual feed, labels", [](PDEV* p) {
             p->Job.JobDevmode.priv.FeedSource = 1;
             p->Job.JobDevmode.priv.MediaIndex = 4;
         },
         "C0 00 F8 28 C0 02 F8 26 C8 C1 06 00 \"LABELS\" F8 27", "C8 C1 02 00 \"A4\" F8 25 43 61", 29},
        {"multi-purpose tray", [](PDEV* p) { p->Job.JobDevmode.priv.FeedSource = 2; },
         "C0 00 F8 28 C0 03 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 02 00 \"A4\" F8 25 43 61", 28},
        {"a source of no table row", [](PDEV* p) { p->Job.JobDevmode.priv.FeedSource = 7; },
         "C0 00 F8 28 C0 00 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 02 00 \"A4\" F8 25 43 61", 28},
        {"the page paper override", [](PDEV* p) { p->Job.JobDevmode.priv.PaperOverride = DMPAPER_LETTER; },
         "C0 00 F8 28 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 06 00 \"LETTER\" F8 25 43 61", 32},
        {"A5 fed long edge first",
         [](PDEV* p) {
             p->Job.JobDevmode.pub.dmPaperSize = DMPAPER_A5;
             p->Job.JobDevmode.priv.A5FeedFlags[0] = 1;
             p->Job.JobDevmode.priv.A5FeedFlags[1] = 1;
         },
         "C0 00 F8 28 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 03 00 \"A5L\" F8 25 43 61", 29},
        {"A5 with one long-edge flag",
         [](PDEV* p) {
             p->Job.JobDevmode.pub.dmPaperSize = DMPAPER_A5;
             p->Job.JobDevmode.priv.A5FeedFlags[0] = 1;
         },
         "C0 00 F8 28 C0 01 F8 26 C8 C1 05 00 \"PLAIN\" F8 27", "C8 C1 02 00 \"A5\" F8 25 43 61", 28},
    };
    for (const MediaCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = Media(c.change);
        EXPECT_EQ(HexText(bytes), HexText(Hex(std::string(c.head) + " " + c.size)));
        EXPECT_EQ(lastHeaderLength_, c.headerLength);
    }
}

// The paper the sheets ask for: the job's paper, replaced by the page
// paper override and then by the output paper override, the last one set
// winning. The PJL header names the same paper as every BeginPage, and the
// job's first paper is the one its first sheet asked for.
struct PaperCase {
    const char* name;
    short paper;
    short pageOverride;
    short outputOverride;
    bool a5LongEdge;
    const char* pjlPaper;
    const char* mediaSize;  // null: a custom size
    int firstPaper;
};
const PaperCase kPapers[] = {
    {"the job's paper", DMPAPER_A4, 0, 0, false, "A4", "A4", DMPAPER_A4},
    {"the page override", DMPAPER_A4, DMPAPER_LETTER, 0, false, "LETTER", "LETTER", DMPAPER_LETTER},
    {"the output override", DMPAPER_A4, 0, DMPAPER_LEGAL, false, "LEGAL", "LEGAL", DMPAPER_LEGAL},
    {"the output override after the page override", DMPAPER_A4, DMPAPER_LETTER, DMPAPER_LEGAL, false, "LEGAL",
     "LEGAL", DMPAPER_LEGAL},
    {"the output override of a paper the model lacks", 500, 0, DMPAPER_A4, false, "A4", "A4", DMPAPER_A4},
    {"A5 output fed long edge first", DMPAPER_A4, 0, DMPAPER_A5, true, "A5L", "A5L", DMPAPER_A5},
    {"A5 output fed short edge first", DMPAPER_A4, 0, DMPAPER_A5, false, "A5", "A5", DMPAPER_A5},
    {"A5 long edge first overridden by A4", DMPAPER_A5, 0, DMPAPER_A4, true, "A4", "A4", DMPAPER_A4},
    {"a custom output paper", DMPAPER_A4, DMPAPER_LETTER, 290, false, "CUSTOM", nullptr, 290},
};

class PaperOfTheSheets : public PageMedia, public testing::WithParamInterface<PaperCase> {};

TEST_P(PaperOfTheSheets, HeaderAndBeginPageNameOnePaper) {
    const PaperCase& c = GetParam();
    PDEV* pdev = Job([&](PDEV* p) {
        RendDevmode& job = p->Job.JobDevmode;
        job.pub.dmPaperSize = c.paper;
        job.priv.PaperOverride = c.pageOverride;
        job.priv.OutputPaperOverride = c.outputOverride;
        job.priv.A5FeedFlags[0] = job.priv.A5FeedFlags[1] = c.a5LongEdge ? 1 : 0;
        job.priv.CustomSizes[2].CustomPaperWidth600 = 4724;
        job.priv.CustomSizes[2].CustomPaperLength600 = 5905;
        // The country's paper took the place of a paper the model lacks.
        if (c.paper == 500) p->Job.State.Layout.SubstitutedPaper = DMPAPER_LETTER;
    });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(Pxl_BeginSession(pdev));
    ASSERT_TRUE(Pxl_BeginPageMedia(pdev));
    ASSERT_TRUE(Pxl_EndPage(pdev, 1));
    ASSERT_TRUE(Pxl_CloseDataSource(pdev));
    ASSERT_TRUE(Pjl_WriteEndOfJob(pdev));
    const Bytes bytes = TakeOutput(pdev);
    const job::DecodedJob decoded = job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(decoded.PjlValue("PAPER"), c.pjlPaper);
    const job::Operator* begin = decoded.First("BeginPage");
    ASSERT_NE(begin, nullptr);
    if (c.mediaSize) {
        EXPECT_EQ(begin->Text("MediaSize"), c.mediaSize);
        EXPECT_FALSE(begin->Has("CustomMediaSize"));
    } else {
        EXPECT_FALSE(begin->Has("MediaSize"));
        EXPECT_EQ(begin->Number("CustomMediaSize", 0), 2000.0);
        EXPECT_EQ(begin->Number("CustomMediaSize", 1), 2500.0);
    }
    EXPECT_EQ(pdev->Job.State.FirstPaper, c.firstPaper);
}

INSTANTIATE_TEST_SUITE_P(All, PaperOfTheSheets, testing::ValuesIn(kPapers),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

// The settings check keeps the paper type within the seven types the job
// can name; a type beyond them that reaches the job anyway (7 to 11 are
// media the user interface knows but the printer's language does not) is
// sent as plain paper, in the PJL header and in BeginPage alike.
TEST_F(PageMedia, PaperTypesBeyondTheTableAreSentAsPlain) {
    const int types[] = {7, 11, -1, 0x7FFF};
    for (int type : types) {
        SCOPED_TRACE("paper type " + std::to_string(type));
        PDEV* pdev = Job([&](PDEV* p) { p->Job.JobDevmode.priv.MediaIndex = INT16(type); });
        ASSERT_NE(pdev, nullptr);
        ASSERT_TRUE(Pxl_BeginSession(pdev));
        ASSERT_TRUE(Pxl_BeginPageMedia(pdev));
        ASSERT_TRUE(Pxl_EndPage(pdev, 1));
        const Bytes bytes = TakeOutput(pdev);
        const job::DecodedJob decoded = job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
        EXPECT_EQ(decoded.PjlValue("PAPERTYPE"), "PLAIN");
        const job::Operator* begin = decoded.First("BeginPage");
        ASSERT_NE(begin, nullptr);
        EXPECT_EQ(begin->Text("MediaType"), "PLAIN");
        CloseJob();
    }
}

TEST_F(PageMedia, FirstPaperIsRecordedOnPageOneOnly) {
    Media([](PDEV* p) {
        p->Job.State.PageCounter = 2;
        p->Job.State.FirstPaper = DMPAPER_LETTER;
    });
    EXPECT_EQ(lastFirstPaper_, DMPAPER_LETTER);
}

TEST_F(PageMedia, TransformEndPageAndImageHeads) {
    PDEV* pdev = Job();
    ASSERT_NE(pdev, nullptr);
    struct Case {
        const char* name;
        std::function<BOOL(PDEV*)> write;
        const char* bytes;
    };
    const Case cases[] = {
        {"origin", [](PDEV* p) { return Pxl_SetPageOrigin(p, 96, -5); }, "D3 60 00 FB FF F8 2A 75"},
        {"rotation", [](PDEV* p) { return Pxl_SetPageRotation(p, 270); }, "C3 0E 01 F8 29 76"},
        {"unscaled", [](PDEV* p) { return Pxl_SetPageScale(p, FALSE); },
         "D5 00 00 80 3F 00 00 80 3F F8 2B 77"},
        {"end page", [](PDEV* p) { return Pxl_EndPage(p, 3); }, "C1 03 00 F8 31 44"},
        {"image", [](PDEV* p) { return Pxl_BeginImage(p, 1, 2, 10, 20, 300, 200, 150, 100); },
         "D3 0A 00 14 00 F8 4C 6B C0 01 F8 64 C0 02 F8 62 C1 96 00 F8 6C C1 64 00 F8 6B D1 2C 01 C8 00 F8 67 B0"},
        {"image rows", [](PDEV* p) { return Pxl_ReadImage(p, 16, 8, 3, 0x12345); },
         "C1 10 00 F8 6D C1 08 00 F8 63 C0 03 F8 65 B1 FA 45 23 01 00"},
        {"raster pattern", [](PDEV* p) { return Pxl_BeginRastPattern(p, 0, 0, 8, 8, 16, 16, 9, 1); },
         "C0 00 F8 64 C0 00 F8 62 C1 08 00 F8 6C C1 08 00 F8 6B D1 10 00 10 00 F8 67 C3 09 00 F8 69 C0 01 F8 68 B3"},
        {"raster pattern rows", [](PDEV* p) { return Pxl_ReadRastPattern(p, 8); },
         "C1 00 00 F8 6D C1 08 00 F8 63 C0 00 F8 65 B4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.write(pdev));
        EXPECT_EQ(HexText(TakeOutput(pdev)), HexText(Hex(c.bytes)));
    }
    // The image row head is exactly 20 bytes: the caller's data follows.
    EXPECT_EQ(Hex("C1 10 00 F8 6D C1 08 00 F8 63 C0 03 F8 65 B1 FA 45 23 01 00").size(), 20u);
}

// The scaled form takes the page layout's pair: here four pages per sheet
// at half size.
TEST_F(PageMedia, ScaledPageTakesTheLayoutScale) {
    PDEV* pdev = Job([](PDEV* p) {
        LayoutState& layout = p->Job.State.Layout;
        layout.ScaleX = layout.ScaleY = 1.0;
        layout.BookletScale = 1.0;
        layout.ShiftScale = 0.5;
    });
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(Pxl_SetPageScale(pdev, TRUE));
    EXPECT_EQ(HexText(TakeOutput(pdev)), "D5 00 00 00 3F 00 00 00 3F F8 2B 77");
}

TEST_F(PageMedia, WritersFailOnceTheOutputFailed) {
    PDEV* pdev = Job([](PDEV* p) { p->Job.JobFlags |= JOBF_OUTPUT_ERROR; });
    ASSERT_NE(pdev, nullptr);
    EXPECT_FALSE(Pxl_BeginPageMedia(pdev));
    EXPECT_FALSE(Pxl_EndPage(pdev, 1));
    EXPECT_FALSE(Pxl_SetPageOrigin(pdev, 0, 0));
    EXPECT_TRUE(TakeOutput(pdev).empty());
}

TEST(PageMediaTables, SourcesAndRotationRule) {
    EXPECT_EQ(Pxl_MediaSource(0), PXL_MEDIA_SOURCE_AUTO);
    EXPECT_EQ(Pxl_MediaSource(1), PXL_MEDIA_SOURCE_MANUAL);
    EXPECT_EQ(Pxl_MediaSource(2), PXL_MEDIA_SOURCE_MULTIPURPOSE);
    EXPECT_EQ(Pxl_MediaSource(3), PXL_MEDIA_SOURCE_DEFAULT);
    EXPECT_EQ(Pxl_MediaSource(-1), PXL_MEDIA_SOURCE_DEFAULT);

    // rule x orientation: 0 never, 1 landscape pages, 2 portrait pages, 3 always.
    const BOOL expected[4][2] = {{FALSE, FALSE}, {FALSE, TRUE}, {TRUE, FALSE}, {TRUE, TRUE}};
    static PDEV pdev;  // zero-filled; only the orientation and the rule are read
    for (int rule = 0; rule < 4; ++rule)
        for (int orientation = 1; orientation <= 2; ++orientation) {
            pdev.Orientation = INT16(orientation);
            pdev.Job.JobDevmode.priv.Rotate180Mode = BYTE(rule);
            EXPECT_EQ(Job_RotationApplies(&pdev), expected[rule][orientation - 1])
                << "rule " << rule << " orientation " << orientation;
        }
    EXPECT_FALSE(Job_RotationApplies(nullptr));
}

}  // namespace
}  // namespace tam::test

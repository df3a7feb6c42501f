// Job and page control driven through the document callbacks as the engine
// calls them, on a PDEV of DrvEnablePDEV with a spooler document open on its
// printer handle.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "job_fixture.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/spool.h"

namespace tam::test {
namespace {

class JobControl : public JobTest {
protected:
    // A PDEV of the default settings changed by `change` (its current
    // settings, which job start takes).
    PDEV* Enabled(const std::function<void(RendDevmode&)>& change = {}) {
        PDEV* pdev = EnableDefault();
        if (pdev && change) change(pdev->Devmode);
        surface_.dhpdev = pdev ? AsDhpdev(pdev) : nullptr;
        return pdev;
    }

    // A spooler document on the printer, then DrvStartDoc.
    BOOL StartDoc(LPCWSTR name) {
        std::u16string document = u"job control test", datatype = u"RAW";
        DOC_INFO_1W info{document.data(), nullptr, datatype.data()};
        spoolerJob_ = StartDocPrinterW(printer(), 1, reinterpret_cast<LPBYTE>(&info));
        EXPECT_NE(spoolerJob_, 0u) << GetLastError();
        return DrvStartDoc(&surface_, const_cast<LPWSTR>(name), spoolerJob_);
    }

    BOOL Page() { return DrvStartPage(&surface_) && DrvSendPage(&surface_); }

    // DrvEndDoc, then the spooler's end of the document; the job decoded.
    job::DecodedJob EndDoc(FLONG flags = 0) {
        EXPECT_TRUE(DrvEndDoc(&surface_, flags)) << GetLastError();
        EXPECT_TRUE(EndDocPrinter(printer()));
        auto bytes = w32::ReadJobBytes(spoolerJob_);
        return job::DecodeJob(bytes ? *bytes : std::vector<BYTE>());
    }

    SURFOBJ surface_{};
    DWORD spoolerJob_ = 0;
};

TEST_F(JobControl, StartDocOpensTheJobAndMarksPdfDocuments) {
    struct Case {
        const char16_t* name;
        bool pdf;
    };
    const Case cases[] = {{u"report.PDF", true}, {u"report.pdf", false}, {u".PDF", false}, {u"report.txt", false}};
    for (const Case& c : cases) {
        PDEV* pdev = Enabled();
        ASSERT_NE(pdev, nullptr);
        ASSERT_TRUE(StartDoc(c.name));
        EXPECT_EQ(std::u16string(pdev->Job.State.DocumentName), c.name);
        EXPECT_EQ((pdev->Job.JobFlags & JOBF_PDF_DOCUMENT) != 0, c.pdf) << job::Utf16ToUtf8(c.name);
        EXPECT_TRUE(pdev->Job.JobFlags & JOBF_JOB_OPEN);
        EXPECT_EQ(pdev->Job.State.PrinterHandle, printer());
        EXPECT_EQ(pdev->Job.State.JobId, spoolerJob_);
        EXPECT_EQ(pdev->Job.State.Output.OutBufferSize, OUTBUF_SIZE);
        // Nothing is written before the first page.
        const job::DecodedJob decoded = EndDoc();
        EXPECT_EQ(decoded.size, 0u);
        EXPECT_EQ(pdev->Job.JobFlags, 0u);
        EXPECT_EQ(pdev->Job.State.PrinterHandle, nullptr);
    }
}

TEST_F(JobControl, RefusesWhatIsNoJob) {
    SURFOBJ stranger{};
    stranger.dhpdev = reinterpret_cast<DHPDEV>(&stranger);
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(DrvStartDoc(&stranger, nullptr, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(DrvStartDoc(nullptr, nullptr, 1));

    PDEV* pdev = Enabled();
    ASSERT_NE(pdev, nullptr);
    // No job open.
    EXPECT_FALSE(DrvStartPage(&surface_));
    EXPECT_FALSE(DrvSendPage(&surface_));
    EXPECT_FALSE(DrvEndDoc(&surface_, 0));

    ASSERT_TRUE(StartDoc(u"doc"));
    // Flags other than ED_ABORTDOC are refused and the job goes on.
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(DrvEndDoc(&surface_, 2));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(pdev->Job.JobFlags & JOBF_JOB_OPEN);
    EXPECT_TRUE(Page());
    EXPECT_EQ(EndDoc().PageCount(), 1u);
}

TEST_F(JobControl, SecondStartPageStartsNothing) {
    PDEV* pdev = Enabled();
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartDoc(u"doc"));
    ASSERT_TRUE(DrvStartPage(&surface_));
    EXPECT_TRUE(DrvStartPage(&surface_));
    EXPECT_EQ(pdev->Job.State.PageCounter, 1);
    EXPECT_EQ(pdev->Job.State.SheetCounter, 1);
    EXPECT_TRUE(DrvSendPage(&surface_));
    const job::DecodedJob decoded = EndDoc();
    EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(decoded.PageCount(), 1u);
    EXPECT_EQ(decoded.Count("SetPageDefaultCTM"), 1u);
}

// The engine starts the document again for a further collated copy. A job
// that replays its own copies makes that copy itself, so what the engine
// plays writes nothing; a job that does not goes on with the engine's pages.
TEST_F(JobControl, DocumentStartedAgain) {
    struct Case {
        const char* name;
        short collate;
        size_t sheets;
    };
    const Case cases[] = {{"the job collates", DMCOLLATE_TRUE, 4}, {"the engine collates", DMCOLLATE_FALSE, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PDEV* pdev = Enabled([&](RendDevmode& s) {
            s.pub.dmCopies = 2;
            s.pub.dmCollate = c.collate;
        });
        ASSERT_NE(pdev, nullptr);
        ASSERT_TRUE(StartDoc(u"doc"));
        EXPECT_EQ((pdev->Job.State.Spool.OutputFlags & OUTF_COLLATE_REPLAY) != 0, c.collate == DMCOLLATE_TRUE);
        ASSERT_TRUE(Page());
        ASSERT_TRUE(Page());
        EXPECT_TRUE(DrvStartDoc(&surface_, const_cast<LPWSTR>(u"doc"), spoolerJob_));
        EXPECT_EQ(pdev->Job.State.PageCounter, 2);  // the job goes on
        EXPECT_EQ((pdev->Job.JobFlags & JOBF_ENGINE_COPY) != 0, c.collate == DMCOLLATE_TRUE);
        EXPECT_TRUE(Page());
        EXPECT_TRUE(Page());
        const job::DecodedJob decoded = EndDoc();
        EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
        // Two pages twice: replayed by the job, or played by the engine.
        EXPECT_EQ(decoded.PageCount(), c.sheets);
        const auto copies = decoded.First("EndPage")->Int("PageCopies");
        EXPECT_EQ(copies, c.collate == DMCOLLATE_TRUE ? 1 : 2);
        Disable(pdev);
    }
}

// The 180-degree decision of each page: the rule's answer for the page's
// orientation, turned on the front sides of duplex mode 4.
TEST_F(JobControl, PageTurnDecision) {
    struct Case {
        const char* name;
        BYTE rule;
        BYTE duplex;
        short orientation;
        std::vector<int> turned;   // PageTurn of pages 1, 2, ...
        std::vector<int> flipped;  // BackSideFlip
    };
    const Case cases[] = {
        {"no rule", 0, 0, DMORIENT_PORTRAIT, {0, 0}, {0, 0}},
        {"portrait pages, portrait", 2, 0, DMORIENT_PORTRAIT, {1, 1}, {0, 0}},
        {"landscape pages, portrait", 1, 0, DMORIENT_PORTRAIT, {0, 0}, {0, 0}},
        {"landscape pages, landscape", 1, 0, DMORIENT_LANDSCAPE, {1, 1}, {0, 0}},
        {"every page", 3, 0, DMORIENT_PORTRAIT, {1, 1}, {0, 0}},
        {"mode 4, no rule", 0, 4, DMORIENT_PORTRAIT, {1, 0, 1}, {1, 0, 1}},
        {"mode 4, portrait pages", 2, 4, DMORIENT_PORTRAIT, {0, 1, 0}, {1, 0, 1}},
        {"mode 3, portrait pages", 2, 3, DMORIENT_PORTRAIT, {1, 1, 1}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PDEV* pdev = Enabled([&](RendDevmode& s) {
            s.priv.Rotate180Mode = c.rule;
            s.priv.DuplexBinding = c.duplex;
        });
        ASSERT_NE(pdev, nullptr);
        pdev->Orientation = c.orientation;
        ASSERT_TRUE(StartDoc(u"doc"));
        for (size_t page = 0; page < c.turned.size(); ++page) {
            ASSERT_TRUE(DrvStartPage(&surface_));
            EXPECT_EQ(pdev->Job.State.PageTurn, c.turned[page]) << "page " << page + 1;
            EXPECT_EQ(pdev->Job.State.BackSideFlip, c.flipped[page]) << "page " << page + 1;
            ASSERT_TRUE(DrvSendPage(&surface_));
        }
        EndDoc();
        Disable(pdev);
    }
}

// Manual duplex with papers A4, A4, A4, Letter: the Letter page starts a
// sheet of its own (the third sheet's back stays blank), so it is a front.
TEST_F(JobControl, ManualDuplexSidesFollowThePaper) {
    PDEV* pdev = Enabled([](RendDevmode& s) { s.priv.DuplexBinding = 4; });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartDoc(u"doc"));
    const short papers[] = {DMPAPER_A4, DMPAPER_A4, DMPAPER_A4, DMPAPER_LETTER};
    const int flipped[] = {1, 0, 1, 1};
    for (int page = 0; page < 4; ++page) {
        pdev->Job.JobDevmode.pub.dmPaperSize = papers[page];
        pdev->Devmode.pub.dmPaperSize = papers[page];
        ASSERT_TRUE(DrvStartPage(&surface_));
        EXPECT_EQ(pdev->Job.State.BackSideFlip, flipped[page]) << "page " << page + 1;
        ASSERT_TRUE(DrvSendPage(&surface_));
    }
    EndDoc();
}

// Disabling a PDEV with a job still open releases the job's temporary
// spool file.
TEST_F(JobControl, DisablingAnOpenJobReleasesItsFiles) {
    PDEV* pdev = Enabled([](RendDevmode& s) {
        s.pub.dmCopies = 2;
        s.pub.dmCollate = DMCOLLATE_TRUE;
    });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartDoc(u"doc"));
    ASSERT_TRUE(Page());
    const std::u16string spoolFile = pdev->Job.State.Spool.SpoolFileName;
    ASSERT_FALSE(spoolFile.empty());
    EXPECT_TRUE(std::filesystem::exists(HostPath(spoolFile)));
    Disable(pdev);
    EXPECT_FALSE(std::filesystem::exists(HostPath(spoolFile)));
    EXPECT_TRUE(EndDocPrinter(printer()));
}

// An aborted job writes nothing more (no end of job) and deletes its spool
// file; the PDEV is ready for the next job.
TEST_F(JobControl, AbortWritesNoEndOfJob) {
    PDEV* pdev = Enabled();
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartDoc(u"doc"));
    ASSERT_TRUE(DrvStartPage(&surface_));
    const job::DecodedJob aborted = EndDoc(ED_ABORTDOC);
    EXPECT_EQ(aborted.size, 0u);
    EXPECT_EQ(pdev->Job.JobFlags, 0u);

    ASSERT_TRUE(StartDoc(u"next"));
    ASSERT_TRUE(Page());
    const job::DecodedJob next = EndDoc();
    EXPECT_TRUE(next.Ok()) << Problems(next);
    EXPECT_EQ(next.PageCount(), 1u);
    ASSERT_EQ(next.trailer.size(), 3u);
    EXPECT_EQ(next.trailer[1].command, "EOJ");
}

// The boxes of the frames a job drew (each frame is a RectanglePath that
// is painted, not one that sets the clip), in the order they were drawn.
std::vector<std::array<int64_t, 4>> FrameBoxes(const job::DecodedJob& decoded) {
    std::vector<std::array<int64_t, 4>> boxes;
    for (size_t i = 0; i + 1 < decoded.ops.size(); ++i) {
        const job::Operator& op = decoded.ops[i];
        if (op.name == "RectanglePath" && decoded.ops[i + 1].name == "PaintPath")
            boxes.push_back({op.Int("BoundingBox", 0).value_or(-1), op.Int("BoundingBox", 1).value_or(-1),
                             op.Int("BoundingBox", 2).value_or(-1), op.Int("BoundingBox", 3).value_or(-1)});
    }
    return boxes;
}

// N-up page borders: each page end frames the page's cell; with the
// every-cell setting it frames every cell placed on the sheet so far, so
// that page k of a sheet ends with the frames of cells 1 to k. A sheet left
// partial is framed as far as it was filled.
TEST_F(JobControl, PageBordersOfOneOrEveryCell) {
    struct Case {
        BYTE perSheet;
        int pages;
    };
    const Case cases[] = {{4, 4}, {2, 3}, {8, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pages) + " pages at " + std::to_string(c.perSheet) + " a sheet");
        std::vector<std::array<int64_t, 4>> framed[2];
        for (BYTE every = 0; every < 2; ++every) {
            PDEV* pdev = Enabled([&](RendDevmode& s) {
                s.priv.PagesPerSheet = c.perSheet;
                s.priv.PageBorderMode = 0x4;
                s.priv.AllCellBorders = every;
            });
            ASSERT_NE(pdev, nullptr);
            ASSERT_TRUE(StartDoc(u"doc"));
            for (int page = 0; page < c.pages; ++page) ASSERT_TRUE(Page());
            const job::DecodedJob decoded = EndDoc();
            ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
            framed[every] = FrameBoxes(decoded);
            Disable(pdev);
        }
        // One frame a page, each cell of a sheet its own.
        const auto& own = framed[0];
        ASSERT_EQ(own.size(), size_t(c.pages));
        for (int page = 0; page < c.pages; ++page)
            for (int other = page - page % c.perSheet; other < page; ++other)
                EXPECT_NE(own[size_t(page)], own[size_t(other)]) << "page " << page + 1;
        std::vector<std::array<int64_t, 4>> expected;
        for (int page = 0; page < c.pages; ++page)
            for (int cell = page - page % c.perSheet; cell <= page; ++cell) expected.push_back(own[size_t(cell)]);
        EXPECT_EQ(framed[1], expected);
    }
}

// The font identifiers start again at 100 on every sheet when the sheets
// are kept (here by the settings' own mark: bit 0x1 of the flag byte, or a
// nonzero further value), since each kept sheet must carry its own fonts.
TEST_F(JobControl, SheetsKeptByTheSettingsStartTheirFontsAgain) {
    struct Case {
        BYTE flags;
        BYTE value;
        UINT16 nextId;  // after the sheet
    };
    const Case cases[] = {{0, 0, 130}, {0x1, 0, 100}, {0xFF, 0, 100}, {0xFE, 0, 130}, {0, 1, 100}, {0, 0x80, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE("flags " + std::to_string(c.flags) + ", value " + std::to_string(c.value));
        PDEV* pdev = Enabled([&](RendDevmode& s) {
            s.priv.SheetKeepFlags = c.flags;
            s.priv.SheetKeepValue = c.value;
        });
        ASSERT_NE(pdev, nullptr);
        ASSERT_TRUE(StartDoc(u"doc"));
        for (int sheet = 0; sheet < 2; ++sheet) {
            ASSERT_TRUE(DrvStartPage(&surface_));
            // Fonts downloaded on this sheet.
            pdev->Job.FontCache.NextId = 130;
            ASSERT_TRUE(DrvSendPage(&surface_));
            EXPECT_EQ(pdev->Job.FontCache.NextId, c.nextId) << "sheet " << sheet + 1;
        }
        const job::DecodedJob decoded = EndDoc();
        EXPECT_EQ(decoded.PageCount(), 2u);
        Disable(pdev);
    }
}

// The fonts a job downloads leave the printer: at the end of each kept
// sheet (whose replay must find the printer without them, as the next sheet
// downloads its own under the same names), else at the end of the job,
// before its session ends.
TEST_F(JobControl, DownloadedFontsAreRemovedWithTheirSheetOrJob) {
    for (const bool kept : {false, true}) {
        SCOPED_TRACE(kept ? "kept sheets" : "sheets printed at once");
        PDEV* pdev = Enabled([&](RendDevmode& s) { s.priv.SheetKeepFlags = kept ? 0x1 : 0; });
        ASSERT_NE(pdev, nullptr);
        ASSERT_TRUE(StartDoc(u"doc"));
        for (int sheet = 0; sheet < 2; ++sheet) {
            ASSERT_TRUE(DrvStartPage(&surface_));
            UINT16 id = 0;
            ASSERT_TRUE(FontCach_SetCharDown(pdev, "Face", 0, 0, 7, &id, nullptr, 0));
            ASSERT_TRUE(Pxl_DownloadBitmapFontHeader(pdev, "Face", id, 1));
            ASSERT_TRUE(DrvSendPage(&surface_));
        }
        const job::DecodedJob decoded = EndDoc();
        EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
        const auto pages = decoded.Pages();
        ASSERT_EQ(pages.size(), 2u);
        ASSERT_EQ(decoded.fonts.size(), 2u);
        const size_t endSession = decoded.First("EndSession") - decoded.ops.data();
        for (size_t n = 0; n < 2; ++n) {
            const job::Font& font = decoded.fonts[n];
            EXPECT_EQ(font.name, kept || n == 0 ? "0BMFace" : "1BMFace");
            ASSERT_NE(font.removeOp, SIZE_MAX) << font.name;
            if (kept) {
                EXPECT_GT(font.removeOp, pages[n].first);
                EXPECT_LT(font.removeOp, pages[n].second);
            } else {
                EXPECT_GT(font.removeOp, pages[1].second);
                EXPECT_LT(font.removeOp, endSession);
            }
        }
        EXPECT_EQ(pdev->Job.FontCache.Fonts, nullptr);
        Disable(pdev);
    }
}

// The output paper override holds for the whole job: the PJL header and
// every sheet ask for it, over the job's paper and its page override.
TEST_F(JobControl, OutputPaperOverrideOnEverySheet) {
    PDEV* pdev = Enabled([](RendDevmode& s) {
        s.priv.PaperOverride = DMPAPER_LETTER;
        s.priv.OutputPaperOverride = DMPAPER_LEGAL;
    });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartDoc(u"doc"));
    for (int page = 0; page < 3; ++page) ASSERT_TRUE(Page());
    const job::DecodedJob decoded = EndDoc();
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(decoded.PjlValue("PAPER"), "LEGAL");
    ASSERT_EQ(decoded.PageCount(), 3u);
    for (const auto& [first, last] : decoded.Pages()) EXPECT_EQ(decoded.ops[first].Text("MediaSize"), "LEGAL");
}

// The end of a document closes the job whatever it held: with no page
// stored (nothing started, a page abandoned by an abort, a collated job
// whose spool file stayed empty) the job flags and the printer handles are
// cleared, so that the next document on the PDEV is a job of its own and
// not taken for a further copy of the last one.
TEST_F(JobControl, EndDocClosesAJobWithoutPages) {
    struct Case {
        const char* name;
        short copies;
        bool startPage;
        FLONG end;
        size_t nextSheets;
    };
    const Case cases[] = {
        {"no page", 1, false, 0, 1},
        {"no page, aborted", 1, false, ED_ABORTDOC, 1},
        {"a page started, aborted", 1, true, ED_ABORTDOC, 1},
        {"collated, no page", 2, false, 0, 2},
        {"collated, a page started, aborted", 2, true, ED_ABORTDOC, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PDEV* pdev = Enabled([&](RendDevmode& s) {
            s.pub.dmCopies = c.copies;
            s.pub.dmCollate = DMCOLLATE_TRUE;
        });
        ASSERT_NE(pdev, nullptr);
        ASSERT_TRUE(StartDoc(u"doc"));
        if (c.startPage) {
            ASSERT_TRUE(DrvStartPage(&surface_));
        }
        EXPECT_EQ(EndDoc(c.end).size, 0u);
        EXPECT_EQ(pdev->Job.JobFlags, 0u);
        EXPECT_EQ(pdev->Job.State.PrinterHandle, nullptr);
        EXPECT_EQ(pdev->Job.State.PrinterHandleCopy, nullptr);

        ASSERT_TRUE(StartDoc(u"next"));
        EXPECT_EQ(pdev->Job.JobFlags & JOBF_ENGINE_COPY, 0u);
        ASSERT_TRUE(Page());
        const job::DecodedJob next = EndDoc();
        EXPECT_TRUE(next.Ok()) << Problems(next);
        EXPECT_EQ(next.PageCount(), c.nextSheets);
        ASSERT_EQ(next.trailer.size(), 3u);
        EXPECT_EQ(next.trailer[1].command, "EOJ");
        Disable(pdev);
    }
}

}  // namespace
}  // namespace tam::test

// The temporary spool file and its page table: where the file lives and
// when it goes, what a page entry records, and the failures that end a job
// (a spool-file write that fails, a short read during the replay, a sheet
// plan that cannot be allocated) instead of leaving it with pages
// silently missing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "spool_fixture.h"

namespace tam::test {
namespace {

class SpoolFile : public SpoolTest {
protected:
    static void Reverse(RendDevmode& settings) { settings.priv.OppositeOrder = 1; }

    // A job that failed: its end says so with the failure's error, the
    // debugger output names the failure, and no spool file is left.
    void ExpectFailedCleanly(PDEV* pdev, const EndResult& end, SpoolFailure reason, DWORD error, const char* text) {
        EXPECT_FALSE(end.ended);
        EXPECT_EQ(end.error, error);
        EXPECT_EQ(pdev->Job.State.Spool.FailureReason, DWORD(reason));
        const std::string log = w32::DebugLogText();
        EXPECT_NE(log.find(std::string("Tamrend: job 'replay test' ended: ") + text), std::string::npos) << log;
        EXPECT_TRUE(SpoolFiles().empty());
        EXPECT_EQ(pdev->Job.State.Spool.PageTable, nullptr);
        EXPECT_FALSE(pdev->Job.JobFlags & JOBF_JOB_OPEN);
    }
};

TEST_F(SpoolFile, LivesInTheTemporaryFolderWhileTheJobRuns) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    const SpoolState& spool = pdev->Job.State.Spool;
    EXPECT_EQ(spool.OutputFlags, UINT32(OUTF_REVERSE | OUTF_TO_SPOOL_FILE));
    WCHAR folder[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
    const std::u16string name = spool.SpoolFileName;
    EXPECT_EQ(name.rfind(folder, 0), 0u) << w32::ToUtf8(name);
    EXPECT_EQ(SpoolFiles().size(), 1u);
    ASSERT_TRUE(PrintPage(pdev, 1));
    EXPECT_TRUE(EndJob().ended);
    EXPECT_TRUE(SpoolFiles().empty());
    EXPECT_EQ(GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SpoolFile, IsDeletedWhenThePdevIsDisabledWithAJobOpen) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    ASSERT_EQ(SpoolFiles().size(), 1u);
    Disable(pdev);
    EXPECT_TRUE(SpoolFiles().empty());
}

TEST_F(SpoolFile, AnAbortedJobReplaysNothingAndDeletesTheFile) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    ASSERT_TRUE(PrintPage(pdev, 2));
    EXPECT_TRUE(DrvEndDoc(surface(), ED_ABORTDOC));
    EXPECT_TRUE(SpoolFiles().empty());
    EXPECT_TRUE(JobBytes().empty());
}

TEST_F(SpoolFile, JobsThatKeepNoPagesGoStraightToThePrinter) {
    PDEV* pdev = EnableWith(nullptr);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    EXPECT_EQ(pdev->Job.State.Spool.OutputFlags, UINT32(OUTF_TO_PRINTER));
    EXPECT_EQ(pdev->Job.State.Spool.SpoolFileHandle, nullptr);
    EXPECT_TRUE(SpoolFiles().empty());
    ASSERT_TRUE(PrintPage(pdev, 1));
    ASSERT_TRUE(PrintPage(pdev, 2));
    EXPECT_TRUE(EndJob().ended);
    EXPECT_EQ(Order(), "1 2");
}

TEST_F(SpoolFile, ThePageTableRecordsEachStoredRange) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    for (int page = 1; page <= 3; ++page) ASSERT_TRUE(PrintPage(pdev, page));

    const SpoolState& spool = pdev->Job.State.Spool;
    // The job header and three sheets; the table doubled as it filled: room
    // for 2, 4, then 8 entries.
    ASSERT_EQ(spool.PageTableCount, 4);
    EXPECT_EQ(spool.PageTableCapacity, 8);
    EXPECT_EQ(Util_GlobalSize(spool.PageTable), 8u * 36u);
    const PageGeometry& sheet = pdev->Job.State.Layout.SheetGeometry;
    LONG stored = 0;
    for (int i = 0; i < spool.PageTableCount; ++i) {
        const SpoolPageEntry& entry = spool.PageTable[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(entry.Offset, stored);  // each range right behind the one before
        EXPECT_GT(entry.Length, 0);
        stored += entry.Length;
        if (i == 0) continue;
        // BeginPage with orientation, source, "PLAIN" and "A4": 9 + 11 + 8 bytes.
        EXPECT_EQ(entry.BeginPageLength, 28);
        EXPECT_EQ(entry.PageSize, INT32(UINT16(sheet.Width) | UINT32(UINT16(sheet.Height)) << 16));
        EXPECT_EQ(entry.PrintableTopLeft, INT32(UINT16(sheet.Left) | UINT32(UINT16(sheet.Top)) << 16));
        EXPECT_EQ(entry.PrintableBottomRight, INT32(UINT16(sheet.Right) | UINT32(UINT16(sheet.Bottom)) << 16));
        EXPECT_EQ(entry.Orientation, DMORIENT_PORTRAIT);
        EXPECT_EQ(entry.PaperSize, DMPAPER_A4);
    }
    // Every range is in the file, and nothing more.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(spool.SpoolFileName, GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, DWORD(stored));
    EXPECT_TRUE(EndJob().ended);
}

// A stored sheet records the paper it asks the printer for: the job's
// paper, the page's override over it, the output override over both (a
// manual-duplex plan pairs sides of one paper by it).
TEST_F(SpoolFile, AnEntryRecordsThePaperTheSheetAsksFor) {
    struct Case { INT16 pageOverride, outputOverride, expected; };
    const Case cases[] = {
        {0, 0, DMPAPER_A4},
        {DMPAPER_LETTER, 0, DMPAPER_LETTER},
        {0, DMPAPER_LEGAL, DMPAPER_LEGAL},
        {DMPAPER_LETTER, DMPAPER_LEGAL, DMPAPER_LEGAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pageOverride << "/" << c.outputOverride);
        PDEV* pdev = EnableWith([&](RendDevmode& settings) {
            Reverse(settings);
            settings.priv.PaperOverride = c.pageOverride;
            settings.priv.OutputPaperOverride = c.outputOverride;
        });
        ASSERT_NE(pdev, nullptr);
        ASSERT_TRUE(StartJob(pdev));
        ASSERT_TRUE(PrintPage(pdev, 1));
        const SpoolState& spool = pdev->Job.State.Spool;
        ASSERT_EQ(spool.PageTableCount, 2);
        EXPECT_EQ(spool.PageTable[1].PaperSize, c.expected);
        EXPECT_TRUE(EndJob().ended);
        Disable(pdev);
    }
}

// The table grows geometrically, so that a long job does not copy it over
// and over (growing by two entries at a time copied about 0.9 GB for
// 10,000 pages): every capacity it takes is twice the one before.
TEST_F(SpoolFile, ThePageTableDoublesAsItFills) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    const SpoolState& spool = pdev->Job.State.Spool;
    std::vector<INT32> capacities;
    for (int page = 1; page <= 100; ++page) {
        ASSERT_TRUE(PrintPage(pdev, page));
        if (capacities.empty() || capacities.back() != spool.PageTableCapacity)
            capacities.push_back(spool.PageTableCapacity);
        ASSERT_LT(spool.PageTableCount, spool.PageTableCapacity);
    }
    EXPECT_EQ(capacities, (std::vector<INT32>{4, 8, 16, 32, 64, 128}));  // from 2 at the header
    EXPECT_EQ(spool.PageTableCount, 101);
    EXPECT_EQ(Util_GlobalSize(spool.PageTable), 128u * 36u);
    EXPECT_TRUE(EndJob().ended);
    EXPECT_EQ(Order().substr(0, 11), "100 99 98 9");
}

// Without its file a job that wanted its pages reordered prints them as
// drawn, once, as a complete job: its header and session at the first page.
// Manual duplex then prints one-sided.
struct NoFileCase {
    const char* name;
    void (*settings)(RendDevmode&);
};
const NoFileCase kNoFile[] = {
    {"Reverse", [](RendDevmode& s) { s.priv.OppositeOrder = 1; }},
    {"CollatedCopies",
     [](RendDevmode& s) {
         s.pub.dmCopies = 2;
         s.pub.dmCollate = DMCOLLATE_TRUE;
     }},
    {"ManualDuplex", [](RendDevmode& s) { s.priv.DuplexBinding = 3; }},
    {"ManualDuplexFlipped", [](RendDevmode& s) { s.priv.DuplexBinding = 4; }},
    {"Poster", [](RendDevmode& s) { s.priv.PosterOn = 1; }},
    {"Booklet", [](RendDevmode& s) { s.priv.BookletOn = 1; }},
};

// Why the file cannot be made: the temporary folder does not exist, or its
// name is that of a file.
struct NoFileWay {
    const char* name;
    bool folderIsAFile;
};
const NoFileWay kNoFileWays[] = {{"MissingFolder", false}, {"FolderIsAFile", true}};

// A job that prints nothing while its end reports success would be a fault
// no one sees: the job prints its pages as drawn, once,
// and its end succeeds.
class SpoolFileMissing : public SpoolFile,
                         public testing::WithParamInterface<std::tuple<NoFileCase, NoFileWay>> {};

TEST_P(SpoolFileMissing, PrintsThePagesAsDrawn) {
    const auto& [settings, way] = GetParam();
    const std::u16string folder = u"C:\\Missing\\Temp";
    if (way.folderIsAFile) {
        ASSERT_TRUE(CreateDirectoryW(u"C:\\Missing", nullptr));
        HANDLE file = CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
        CloseHandle(file);
    }
    machine().SetEnvironment(u"TMP", &folder);
    PDEV* pdev = EnableWith(settings.settings);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    EXPECT_EQ(pdev->Job.State.Spool.OutputFlags, UINT32(OUTF_TO_PRINTER));
    for (int page = 1; page <= 3; ++page) ASSERT_TRUE(PrintPage(pdev, page));
    EXPECT_TRUE(EndJob().ended);
    EXPECT_EQ(Order(), "1 2 3");
    const job::DecodedJob decoded = Decoded();  // a whole job: header, session, pages, end of job
    EXPECT_EQ(decoded.PjlValue("DUPLEX"), "OFF");
    ASSERT_EQ(decoded.Count("BeginSession"), 1u);
    EXPECT_LT(decoded.First("BeginSession")->offset, decoded.First("BeginPage")->offset);
    EXPECT_TRUE(SpoolFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(Settings, SpoolFileMissing,
                         testing::Combine(testing::ValuesIn(kNoFile), testing::ValuesIn(kNoFileWays)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

// A job that records an overlay form sends its pages once, so collated
// copies are not made by a replay of it (which would swallow the engine's
// copies and print one).
TEST_F(SpoolFile, RecordingAFormLeavesCollatedCopiesToTheEngine) {
    PDEV* pdev = EnableWith([](RendDevmode& s) {
        s.pub.dmCopies = 3;
        s.pub.dmCollate = DMCOLLATE_TRUE;
        s.priv.OverlayMode = 2;
    });
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(StartJob(pdev));
    EXPECT_FALSE(pdev->Job.State.Spool.OutputFlags & OUTF_COLLATE_REPLAY);
    EXPECT_TRUE(EndJob().ended);
}

// ---- Failures ----

// The job header goes into the spool file at the first page, the first
// sheet at its end: that second write fails with a full disk.
void FailSecondSpoolFileWrite() {
    w32::FileFaults faults;
    faults.namePattern = u"var*.tmp";
    faults.failNthWrite = 2;
    faults.writeError = ERROR_DISK_FULL;
    w32::SetFileFaults(faults);
}

TEST_F(SpoolFile, AFailedWriteToTheFileEndsTheJob) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    w32::DebugLogClear();
    FailSecondSpoolFileWrite();
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    // The job's output has failed: the next page is refused at once.
    SetLastError(0);
    EXPECT_FALSE(DrvStartPage(surface()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    const EndResult end = EndJob();
    ExpectFailedCleanly(pdev, end, SPOOL_FAIL_FILE_WRITE, ERROR_DISK_FULL, "a write to the spool file failed");
    // Nothing of the stored job reached the printer.
    EXPECT_TRUE(JobBytes().empty());
}

// The failure lines name the document: a name of 1000 characters (the
// engine passes up to 1023) is cut to the first 255 bytes, and the line is
// formatted within its buffer (run under ASan by the sanitizer build).
std::u16string LongDocumentName() {
    std::u16string name;
    for (int i = 0; i < 1000; ++i) name += char16_t(u'a' + i % 26);
    return name;
}

TEST_F(SpoolFile, TheFailureLineOfALongDocumentNameFitsItsBuffer) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    w32::DebugLogClear();
    FailSecondSpoolFileWrite();
    const std::u16string name = LongDocumentName();
    ASSERT_TRUE(StartJob(pdev, name));
    ASSERT_TRUE(PrintPage(pdev, 1));
    EXPECT_FALSE(EndJob().ended);
    const std::string shown = w32::ToUtf8(name.substr(0, 255));
    const std::string log = w32::DebugLogText();
    EXPECT_NE(log.find("Tamrend: job '" + shown + "' ended: a write to the spool file failed (error 112)\n"),
              std::string::npos)
        << log;
}

TEST_F(SpoolFile, TheOutputFailureLineOfALongDocumentNameFitsItsBuffer) {
    PDEV* pdev = EnableWith(nullptr);
    ASSERT_NE(pdev, nullptr);
    w32::DebugLogClear();
    w32::PrinterWriteBehaviour shortWrites;
    shortWrites.shortWriteEvery = 1;
    w32::SetPrinterWriteBehaviour(kKorvanLaser, shortWrites);
    const std::u16string name = LongDocumentName();
    ASSERT_TRUE(StartJob(pdev, name));
    PrintPage(pdev, 1);
    EXPECT_FALSE(EndJob().ended);
    w32::ClearPrinterWriteBehaviours();
    const std::string shown = w32::ToUtf8(name.substr(0, 255));
    const std::string log = w32::DebugLogText();
    EXPECT_NE(log.find("Tamrend: job " + std::to_string(jobId()) + " \"" + shown +
                       "\": the printer took only part of the output; the rest of the job is dropped\n"),
              std::string::npos)
        << log;
}

TEST_F(SpoolFile, AShortReadDuringTheReplayEndsTheJob) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    w32::DebugLogClear();
    ASSERT_TRUE(StartJob(pdev));
    for (int page = 1; page <= 3; ++page) ASSERT_TRUE(PrintPage(pdev, page));
    // The replay reads the job header, then page 3: that read comes back
    // short, as if the file ended inside the page.
    w32::FileFaults faults;
    faults.namePattern = u"var*.tmp";
    faults.shortNthRead = 2;
    w32::SetFileFaults(faults);
    const EndResult end = EndJob();
    ExpectFailedCleanly(pdev, end, SPOOL_FAIL_FILE_READ, ERROR_HANDLE_EOF,
                        "a stored page could not be read back whole");
    // The printer has the job header and not one page: no page is sent in
    // part, and none after the failure.
    const job::DecodedJob decoded = job::DecodeJob(JobBytes());
    EXPECT_EQ(decoded.Count("BeginSession"), 1u);
    EXPECT_EQ(decoded.PageCount(), 0u);
}

// Page ranges are 32-bit offsets: a spool file that would pass 4 GiB ends
// the job instead of replaying the wrong ranges.
TEST_F(SpoolFile, ASpoolFilePastFourGibibytesEndsTheJob) {
    PDEV* pdev = EnableWith(Reverse);
    ASSERT_NE(pdev, nullptr);
    w32::DebugLogClear();
    ASSERT_TRUE(StartJob(pdev));
    ASSERT_TRUE(PrintPage(pdev, 1));
    // As if the file already held nearly 4 GiB: the next page's range
    // would end past it.
    SpoolState& spool = pdev->Job.State.Spool;
    spool.PageTable[spool.PageTableCount].Offset = INT32(0xFFFFFFF0u);
    PrintPage(pdev, 2);
    const EndResult end = EndJob();
    ExpectFailedCleanly(pdev, end, SPOOL_FAIL_FILE_SIZE, ERROR_FILE_TOO_LARGE, "the spool file grew past 4 GiB");
    EXPECT_TRUE(JobBytes().empty());
}

TEST_F(SpoolFile, ASheetPlanThatCannotBeAllocatedEndsTheJob) {
    PDEV* pdev = EnableWith([](RendDevmode& settings) { settings.priv.DuplexBinding = 3; });
    ASSERT_NE(pdev, nullptr);
    w32::DebugLogClear();
    ASSERT_TRUE(StartJob(pdev));
    for (int page = 1; page <= 4; ++page) ASSERT_TRUE(PrintPage(pdev, page));
    // The end of the job allocates the sheet plan first, unless the job
    // tail's entry makes the page table grow before it.
    const SpoolState& spool = pdev->Job.State.Spool;
    Util_FailGlobalAlloc(spool.PageTableCount + 1 >= spool.PageTableCapacity ? 2 : 1);
    const EndResult end = EndJob();
    ExpectFailedCleanly(pdev, end, SPOOL_FAIL_SHEET_PLAN, ERROR_NOT_ENOUGH_MEMORY,
                        "the sheet plan could not be allocated");
    // Nothing was sent: the plan comes before the first side.
    EXPECT_TRUE(JobBytes().empty());
}

}  // namespace
}  // namespace tam::test

// Documents on printer DCs: StartDocW, StartPage, EndPage, EndDoc and
// AbortDoc with the spooler's job on the DC's printer handle and the
// driver's document callbacks, the order rules, and ResetDCW and DeleteDC
// in the middle of a document. The test driver writes "D" at DrvStartDoc,
// "P" and "S" around each page, "E" or "A" at DrvEndDoc, and the text of
// each PASSTHROUGH escape.
#include <winspool.h>

#include "gdi32/dc.h"
#include "win32/win32k/engine_fixture.h"
#include "winspool/jobs.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;
using Calls = std::vector<std::string>;

namespace {

class PrinterDocument : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        InstallFakePrinter();
    }

    HDC CreateAt(short quality = 600) {
        std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 1, quality);
        HDC dc = CreateDCW(nullptr, kFakePrinter, nullptr, AsDevMode(settings));
        EXPECT_NE(dc, nullptr) << GetLastError();
        return dc;
    }

    static int Start(HDC dc, const char16_t* name = u"Report") {
        DOCINFOW info{sizeof(DOCINFOW), name, nullptr, nullptr, 0};
        return StartDocW(dc, &info);
    }

    // A page carrying `text`, sent with PASSTHROUGH.
    static void Page(HDC dc, const std::string& text) {
        ASSERT_EQ(StartPage(dc), 1) << GetLastError();
        std::vector<char> input(2 + text.size());
        const USHORT count = USHORT(text.size());
        std::memcpy(input.data(), &count, 2);
        std::memcpy(input.data() + 2, text.data(), text.size());
        EXPECT_EQ(ExtEscape(dc, PASSTHROUGH, int(input.size()), input.data(), 0, nullptr), int(text.size()));
        ASSERT_EQ(EndPage(dc), 1) << GetLastError();
    }

    static std::string JobText(DWORD job) {
        auto bytes = w32::ReadJobBytes(job);
        return bytes ? std::string(bytes->begin(), bytes->end()) : "(no job file)";
    }

    static w32::JobInfo Job(DWORD job) {
        auto record = w32::FindJob(job);
        EXPECT_TRUE(record) << job;
        return record ? *record : w32::JobInfo{};
    }

    // What the driver logged at the document and page callbacks and resets.
    static Calls DocumentLog() {
        Calls lines;
        for (const std::string& line : DriverLog())
            for (const char* function : {"DrvStartDoc ", "DrvStartPage ", "DrvSendPage ", "DrvEndDoc ", "DrvResetPDEV "})
                if (line.rfind(function, 0) == 0) lines.push_back(line);
        return lines;
    }
};

TEST_F(PrinterDocument, TwoPagesReachTheDriverInWindowsOrderAndThePrintedJob) {
    HDC dc = CreateAt();
    w32::DebugLogClear();
    const int job = Start(dc);
    ASSERT_GT(job, 0) << GetLastError();
    EXPECT_EQ(Job(job).state, w32::JobState::Spooling);
    Page(dc, "1");
    Page(dc, "2");
    EXPECT_EQ(EndDoc(dc), 1);

    const std::string id = std::to_string(job);
    EXPECT_EQ(DocumentLog(),
              (Calls{"DrvStartDoc pdev=1 name=Report job=" + id + " again=0", "DrvStartPage pdev=1 dpi=600",
                     "DrvSendPage pdev=1", "DrvStartPage pdev=1 dpi=600", "DrvSendPage pdev=1",
                     "DrvEndDoc pdev=1 flags=0"}));
    const w32::JobInfo record = Job(job);
    EXPECT_EQ(record.state, w32::JobState::Printed);
    EXPECT_EQ(record.document, u"Report");
    EXPECT_EQ(record.datatype, u"RAW");
    EXPECT_EQ(record.pages, 2u);
    EXPECT_EQ(record.size, 8u);
    EXPECT_EQ(JobText(job), "DP1SP2SE");

    // The DC takes the next document as a new job.
    w32::DebugLogClear();
    const int next = Start(dc, nullptr);
    ASSERT_GT(next, job);
    EXPECT_EQ(DocumentLog(), Calls{"DrvStartDoc pdev=1 name=(null) job=" + std::to_string(next) + " again=0"});
    EXPECT_EQ(Job(next).document, u"No Document Name");
    EXPECT_EQ(EndDoc(dc), 1);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PrinterDocument, EndDocSendsAPageLeftOpen) {
    HDC dc = CreateAt();
    const int job = Start(dc);
    ASSERT_GT(job, 0);
    ASSERT_EQ(StartPage(dc), 1);
    w32::DebugLogClear();
    EXPECT_EQ(EndDoc(dc), 1);
    EXPECT_EQ(DocumentLog(), (Calls{"DrvSendPage pdev=1", "DrvEndDoc pdev=1 flags=0"}));
    EXPECT_EQ(Job(job).state, w32::JobState::Printed);
    EXPECT_EQ(Job(job).pages, 1u);
    EXPECT_EQ(JobText(job), "DPSE");
    EXPECT_TRUE(DeleteDC(dc));
}

// AbortDoc, and DeleteDC with the document open, end the driver's document
// with ED_ABORTDOC and abort the spooler job; the open page is not sent.
TEST_F(PrinterDocument, AnAbortedDocumentEndsWithEdAbortdocAndADeletedJob) {
    for (bool byDeleteDC : {false, true}) {
        SCOPED_TRACE(byDeleteDC ? "DeleteDC" : "AbortDoc");
        HDC dc = CreateAt();
        const int job = Start(dc);
        ASSERT_GT(job, 0);
        Page(dc, "1");
        ASSERT_EQ(StartPage(dc), 1);
        w32::DebugLogClear();
        if (byDeleteDC) {
            EXPECT_TRUE(DeleteDC(dc));
        } else {
            EXPECT_EQ(AbortDoc(dc), 1);
        }
        ASSERT_FALSE(DocumentLog().empty());
        EXPECT_EQ(DocumentLog(), Calls{"DrvEndDoc pdev=1 flags=1"});
        EXPECT_EQ(Job(job).state, w32::JobState::Deleted);
        EXPECT_FALSE(w32::ReadJobBytes(job));
        if (!byDeleteDC) {
            SetLastError(0);
            EXPECT_EQ(EndDoc(dc), SP_ERROR);
            EXPECT_EQ(GetLastError(), DWORD(ERROR_SPL_NO_STARTDOC));
            EXPECT_TRUE(DeleteDC(dc));
        }
    }
}

enum class Step { StartDoc, StartPage, EndPage, EndDoc, AbortDoc };

int RunStep(HDC dc, Step step) {
    switch (step) {
        case Step::StartDoc: {
            DOCINFOW info{sizeof(DOCINFOW), u"Order", nullptr, nullptr, 0};
            return StartDocW(dc, &info);
        }
        case Step::StartPage: return StartPage(dc);
        case Step::EndPage: return EndPage(dc);
        case Step::EndDoc: return EndDoc(dc);
        case Step::AbortDoc: return AbortDoc(dc);
    }
    return 0;
}

struct OrderCase {
    const char* name;
    std::vector<Step> before;  // done first, each succeeding
    Step call;
    DWORD error;
};

const OrderCase kOrder[] = {
    {"StartPageWithoutDocument", {}, Step::StartPage, ERROR_SPL_NO_STARTDOC},
    {"EndPageWithoutDocument", {}, Step::EndPage, ERROR_SPL_NO_STARTDOC},
    {"EndDocWithoutDocument", {}, Step::EndDoc, ERROR_SPL_NO_STARTDOC},
    {"AbortDocWithoutDocument", {}, Step::AbortDoc, ERROR_SPL_NO_STARTDOC},
    {"StartPageAfterEndDoc", {Step::StartDoc, Step::EndDoc}, Step::StartPage, ERROR_SPL_NO_STARTDOC},
    {"SecondStartDoc", {Step::StartDoc}, Step::StartDoc, ERROR_INVALID_PRINTER_STATE},
    {"SecondStartPage", {Step::StartDoc, Step::StartPage}, Step::StartPage, ERROR_INVALID_PRINTER_STATE},
    {"EndPageWithoutPage", {Step::StartDoc}, Step::EndPage, ERROR_INVALID_PRINTER_STATE},
    {"EndPageTwice", {Step::StartDoc, Step::StartPage, Step::EndPage}, Step::EndPage, ERROR_INVALID_PRINTER_STATE},
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

class PrinterDocumentOrder : public PrinterDocument, public testing::WithParamInterface<OrderCase> {};

TEST_P(PrinterDocumentOrder, CallsOutOfOrderFailWithoutReachingDriverOrSpooler) {
    const OrderCase& c = GetParam();
    HDC dc = CreateAt();
    for (Step step : c.before) ASSERT_GT(RunStep(dc, step), 0) << GetLastError();
    const std::vector<w32::JobInfo> jobs = w32::ListJobs();
    w32::DebugLogClear();
    SetLastError(0);
    EXPECT_EQ(RunStep(dc, c.call), SP_ERROR);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_TRUE(DriverLog().empty());
    const std::vector<w32::JobInfo> after = w32::ListJobs();
    ASSERT_EQ(after.size(), jobs.size());
    for (size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_EQ(after[i].state, jobs[i].state);
        EXPECT_EQ(after[i].pages, jobs[i].pages);
    }
    EXPECT_TRUE(DeleteDC(dc));
}

INSTANTIATE_TEST_SUITE_P(All, PrinterDocumentOrder, testing::ValuesIn(kOrder),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrinterDocument, RefusesWhatCannotCarryADocument) {
    HDC dc = CreateAt();
    HDC ic = CreateICW(nullptr, kFakePrinter, nullptr, nullptr);
    ASSERT_NE(ic, nullptr) << GetLastError();
    const HDC noDC = reinterpret_cast<HDC>(0x4321);
    w32::DebugLogClear();
    for (HDC handle : {noDC, ic}) {
        for (Step step : {Step::StartDoc, Step::StartPage, Step::EndPage, Step::EndDoc, Step::AbortDoc}) {
            SetLastError(0);
            EXPECT_EQ(RunStep(handle, step), SP_ERROR) << int(step);
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE)) << int(step);
        }
    }
    SetLastError(0);
    EXPECT_EQ(StartDocW(dc, nullptr), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DOCINFOW tooShort{int(offsetof(DOCINFOW, lpszOutput)), u"Short", nullptr, nullptr, 0};
    SetLastError(0);
    EXPECT_EQ(StartDocW(dc, &tooShort), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(DriverLog().empty());
    EXPECT_TRUE(w32::ListJobs().empty());

    // The older, shorter record is taken; its datatype and type are not read.
    DOCINFOW older{int(offsetof(DOCINFOW, lpszDatatype)), u"Older", nullptr,
                   reinterpret_cast<LPCWSTR>(0x1), 0xFFFF};
    const int job = StartDocW(dc, &older);
    ASSERT_GT(job, 0) << GetLastError();
    EXPECT_EQ(Job(job).datatype, u"RAW");
    EXPECT_EQ(EndDoc(dc), 1);
    EXPECT_TRUE(DeleteDC(ic));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PrinterDocument, PrintsToTheFileTheProgramNames) {
    HDC dc = CreateAt();
    DOCINFOW info{sizeof(DOCINFOW), u"To file", u"C:\\out\\report.prn", u"NT EMF 1.008", 0};
    ASSERT_TRUE(CreateDirectoryW(u"C:\\out", nullptr));
    const int job = StartDocW(dc, &info);
    ASSERT_GT(job, 0) << GetLastError();
    Page(dc, "x");
    EXPECT_EQ(EndDoc(dc), 1);
    const w32::JobInfo record = Job(job);
    EXPECT_TRUE(record.toOutputFile);
    EXPECT_EQ(record.datatype, u"RAW");  // the program's wish is not what the driver writes
    EXPECT_EQ(JobText(job), "DPxSE");
    EXPECT_TRUE(std::filesystem::exists(HostPath(u"C:\\out\\report.prn")));
    EXPECT_TRUE(DeleteDC(dc));
}

struct RefusalCase {
    const char* name;
    const char16_t* wishes;
    Step failing;
    DWORD error;
    w32::JobState state;  // of the job in the end
    const char* job;      // its bytes; null: no file is left
};

const RefusalCase kRefusals[] = {
    // The job is taken back when the driver refuses the document.
    {"DrvStartDoc", u"startdoc-fails", Step::StartDoc, ERROR_INVALID_DATA, w32::JobState::Deleted, nullptr},
    // A driver that refuses without saying why.
    {"DrvStartPage", u"startpage-fails", Step::StartPage, ERROR_GEN_FAILURE, w32::JobState::Printed, "DE"},
    // The page is over all the same.
    {"DrvSendPage", u"sendpage-fails", Step::EndPage, ERROR_NOT_READY, w32::JobState::Printed, "DPE"},
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class PrinterDocumentRefusal : public PrinterDocument, public testing::WithParamInterface<RefusalCase> {};

TEST_P(PrinterDocumentRefusal, FailsTheCallWithTheDriversReason) {
    const RefusalCase& c = GetParam();
    HDC dc = CreateAt();
    SetDriverWishes(c.wishes);
    for (Step step : {Step::StartDoc, Step::StartPage, Step::EndPage}) {
        SetLastError(0);
        const int result = RunStep(dc, step);
        if (step != c.failing) {
            EXPECT_GT(result, 0) << int(step) << " " << GetLastError();
            continue;
        }
        EXPECT_EQ(result, SP_ERROR);
        EXPECT_EQ(GetLastError(), c.error);
        break;
    }
    if (c.failing != Step::StartDoc) {
        EXPECT_EQ(EndDoc(dc), 1) << GetLastError();
    }
    const std::vector<w32::JobInfo> jobs = w32::ListJobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].state, c.state);
    if (c.job) {
        EXPECT_EQ(JobText(jobs[0].id), c.job);
    } else {
        EXPECT_FALSE(w32::ReadJobBytes(jobs[0].id));
    }
    EXPECT_TRUE(DeleteDC(dc));
}

INSTANTIATE_TEST_SUITE_P(All, PrinterDocumentRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrinterDocument, ACancelledJobStopsTheDocument) {
    HDC dc = CreateAt();
    const int job = Start(dc);
    ASSERT_GT(job, 0);
    Page(dc, "1");
    ASSERT_TRUE(SetJobW(w32::EngineDeviceOfDC(dc)->printer, DWORD(job), 0, nullptr, JOB_CONTROL_CANCEL))
        << GetLastError();
    w32::DebugLogClear();
    SetLastError(0);
    EXPECT_EQ(StartPage(dc), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_CANCELLED));
    EXPECT_TRUE(DocumentLog().empty());  // the driver is not asked for a page of a cancelled job
    // The driver's last output cannot go to the job any more.
    SetLastError(0);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_CANCELLED));
    EXPECT_EQ(DocumentLog(), Calls{"DrvEndDoc pdev=1 flags=0"});
    EXPECT_EQ(Job(job).state, w32::JobState::Deleted);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PrinterDocument, ResetDCBetweenPagesKeepsTheDocumentGoingOnTheNewPdev) {
    HDC dc = CreateAt(600);
    w32::DebugLogClear();
    const int job = Start(dc);
    ASSERT_GT(job, 0);
    Page(dc, "1");
    std::vector<BYTE> at300 = MakeDevMode(DMPAPER_A4, 1, 300);
    ASSERT_EQ(ResetDCW(dc, AsDevMode(at300)), dc) << GetLastError();
    Page(dc, "2");

    // Not inside a page.
    ASSERT_EQ(StartPage(dc), 1);
    SetLastError(0);
    EXPECT_EQ(ResetDCW(dc, AsDevMode(at300)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_STATE));
    EXPECT_EQ(EndPage(dc), 1);
    EXPECT_EQ(EndDoc(dc), 1);

    EXPECT_EQ(DocumentLog(),
              (Calls{"DrvStartDoc pdev=1 name=Report job=" + std::to_string(job) + " again=0",
                     "DrvStartPage pdev=1 dpi=600", "DrvSendPage pdev=1", "DrvResetPDEV old=1 new=2",
                     "DrvStartPage pdev=2 dpi=300", "DrvSendPage pdev=2", "DrvStartPage pdev=2 dpi=300",
                     "DrvSendPage pdev=2", "DrvEndDoc pdev=2 flags=0"}));
    EXPECT_EQ(JobText(job), "DP1SP2SPSE");
    EXPECT_EQ(Job(job).pages, 3u);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PrinterDocument, CollatedCopiesReachTheDriverAsOneJobPlayedPerCopy) {
    std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 3, 600);
    auto* dm = reinterpret_cast<DEVMODEW*>(settings.data());
    dm->dmFields |= DM_COLLATE;
    dm->dmCollate = DMCOLLATE_TRUE;
    HDC dc = CreateDCW(nullptr, kFakePrinter, nullptr, dm);
    ASSERT_NE(dc, nullptr) << GetLastError();
    const int job = Start(dc, u"Copies");
    ASSERT_GT(job, 0);
    Page(dc, "1");
    Page(dc, "2");
    EXPECT_EQ(EndDoc(dc), 1);
    EXPECT_EQ(JobText(job), "DP1SP2SDP1SP2SDP1SP2SE");
    // The job counts the pages the program printed, not the copies played again.
    EXPECT_EQ(Job(job).pages, 2u);
    EXPECT_EQ(Job(job).state, w32::JobState::Printed);
    EXPECT_TRUE(DeleteDC(dc));
}

}  // namespace

#include <filesystem>
#include <functional>

#include "job_fixture.h"
#include "winspool/spooler.h"

using tam::test::JobTest;
using w32::JobState;

namespace {

using Ids = std::vector<DWORD>;

Ids JobIds(const std::vector<w32::JobInfo>& jobs) {
    Ids ids;
    for (const auto& job : jobs) ids.push_back(job.id);
    return ids;
}

SYSTEMTIME SystemTimeOf(const FILETIME& time) {
    SYSTEMTIME out{};
    EXPECT_TRUE(FileTimeToSystemTime(&time, &out));
    return out;
}

bool SameTime(const SYSTEMTIME& a, const SYSTEMTIME& b) { return std::memcmp(&a, &b, sizeof(a)) == 0; }

TEST_F(JobTest, JobsGetGrowingIdsAndFilesOfTheirOwnInTheSpoolFolder) {
    Ids ids;
    for (unsigned i = 1; i <= 3; ++i) {
        DWORD id = StartDoc(printer_);
        ASSERT_NE(id, 0u) << GetLastError();
        WriteAll(printer_, Pattern(100 * i, i));
        ASSERT_TRUE(EndDocPrinter(printer_));
        ids.push_back(id);
    }
    EXPECT_GT(ids[0], 0u);
    EXPECT_LT(ids[0], ids[1]);
    EXPECT_LT(ids[1], ids[2]);
    for (unsigned i = 1; i <= 3; ++i) {
        DWORD id = ids[i - 1];
        char name[16];
        std::snprintf(name, sizeof(name), "%05u.SPL", unsigned(id));
        const std::u16string file = u"C:\\Windows\\System32\\spool\\PRINTERS\\" + w32::FromUtf8(name);
        EXPECT_EQ(Job(id).file, file);
        EXPECT_EQ(w32::JobHostPath(id), HostPath(file));
        EXPECT_EQ(JobBytes(id), Pattern(100 * i, i)) << "job " << id;
    }
    EXPECT_EQ(JobIds(w32::ListJobs(u"korvan laser")), ids);
}

TEST_F(JobTest, ListKeepsDocumentSizePagesAndState) {
    const ULONGLONG submitted = machine().TheClock().NowFileTime();
    DWORD id = StartDoc(printer_, u"Quarterly figures");
    ASSERT_NE(id, 0u) << GetLastError();
    w32::JobInfo job = Job(id);
    EXPECT_EQ(job.state, JobState::Spooling);
    EXPECT_EQ(job.printer, u"Korvan Laser");
    EXPECT_EQ(job.document, u"Quarterly figures");
    EXPECT_EQ(job.user, machine().Settings().userName);
    EXPECT_EQ(job.datatype, u"RAW");
    EXPECT_EQ(job.driver, u"Korvan Test Driver");
    EXPECT_EQ(job.printProcessor, u"winprint");
    EXPECT_EQ((ULONGLONG(job.submitted.dwHighDateTime) << 32) | job.submitted.dwLowDateTime, submitted);

    for (int page = 0; page < 3; ++page) {
        ASSERT_TRUE(StartPagePrinter(printer_)) << GetLastError();
        WriteAll(printer_, Pattern(1000, page));
        ASSERT_TRUE(EndPagePrinter(printer_)) << GetLastError();
    }
    job = Job(id);
    EXPECT_EQ(job.state, JobState::Spooling);
    EXPECT_EQ(job.size, 3000u);
    EXPECT_EQ(job.pages, 3u);

    ASSERT_TRUE(EndDocPrinter(printer_)) << GetLastError();
    job = Job(id);
    EXPECT_EQ(job.state, JobState::Printed);
    EXPECT_EQ(job.size, 3000u);
    EXPECT_EQ(job.pages, 3u);
    EXPECT_EQ(std::filesystem::file_size(w32::JobHostPath(id)), 3000u);

    // A document without a name.
    DWORD unnamed = StartDoc(printer_, nullptr);
    ASSERT_NE(unnamed, 0u);
    EXPECT_EQ(Job(unnamed).document, u"No Document Name");
    ASSERT_TRUE(EndDocPrinter(printer_));
    EXPECT_EQ(Job(unnamed).size, 0u);
    EXPECT_EQ(Job(unnamed).state, JobState::Printed);
}

TEST_F(JobTest, EnumJobsAndGetJobKeepTheBufferProtocol) {
    std::vector<BYTE> devMode = MakeDevMode(u"Korvan Laser", DMPAPER_A4, 2, 16);
    PRINTER_DEFAULTSW defaults{nullptr, const_cast<LPDEVMODEW>(AsDevMode(devMode)), PRINTER_ACCESS_USE};
    HANDLE withSettings = nullptr;
    ASSERT_TRUE(OpenPrinterW(u"Korvan Laser", &withSettings, &defaults));
    Track(withSettings);

    DWORD first = StartDoc(printer_, u"First");
    ASSERT_TRUE(StartPagePrinter(printer_));
    WriteAll(printer_, Pattern(700));
    ASSERT_TRUE(EndDocPrinter(printer_));
    DWORD second = StartDoc(withSettings, u"Second");
    WriteAll(withSettings, Pattern(5));
    ASSERT_NE(second, 0u);

    DWORD count = 0;
    std::vector<BYTE> level1 = EnumJobBytes(printer_, 1, count);
    ASSERT_EQ(count, 2u);
    auto* jobs1 = reinterpret_cast<JOB_INFO_1W*>(level1.data());
    EXPECT_EQ(jobs1[0].JobId, first);
    EXPECT_EQ(Str(jobs1[0].pPrinterName), u"Korvan Laser");
    EXPECT_EQ(Str(jobs1[0].pMachineName), u"\\\\" + machine().Settings().computerName);
    EXPECT_EQ(Str(jobs1[0].pUserName), machine().Settings().userName);
    EXPECT_EQ(Str(jobs1[0].pDocument), u"First");
    EXPECT_EQ(Str(jobs1[0].pDatatype), u"RAW");
    EXPECT_EQ(jobs1[0].pStatus, nullptr);
    EXPECT_EQ(jobs1[0].Status, DWORD(JOB_STATUS_PRINTED));
    EXPECT_EQ(jobs1[0].Position, 1u);
    EXPECT_EQ(jobs1[0].TotalPages, 1u);
    EXPECT_EQ(jobs1[0].PagesPrinted, 1u);
    EXPECT_TRUE(SameTime(jobs1[0].Submitted, SystemTimeOf(Job(first).submitted)));
    EXPECT_EQ(jobs1[1].JobId, second);
    EXPECT_EQ(jobs1[1].Status, DWORD(JOB_STATUS_SPOOLING));
    EXPECT_EQ(jobs1[1].Position, 2u);
    EXPECT_EQ(jobs1[1].TotalPages, 0u);

    std::vector<BYTE> level2 = EnumJobBytes(printer_, 2, count, 1, 5);
    ASSERT_EQ(count, 1u);
    auto* job2 = reinterpret_cast<JOB_INFO_2W*>(level2.data());
    EXPECT_EQ(job2->JobId, second);
    EXPECT_EQ(Str(job2->pDocument), u"Second");
    EXPECT_EQ(Str(job2->pNotifyName), machine().Settings().userName);
    EXPECT_EQ(Str(job2->pDriverName), u"Korvan Test Driver");
    EXPECT_EQ(Str(job2->pPrintProcessor), u"winprint");
    EXPECT_EQ(job2->Size, 5u);
    EXPECT_EQ(job2->Position, 2u);
    EXPECT_EQ(DevModeBytes(job2->pDevMode), devMode);  // the handle's settings

    // A window past the end is empty, and a short buffer gets nothing but the size.
    DWORD needed = 1, returned = 7;
    EXPECT_TRUE(EnumJobsW(printer_, 2, 5, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(returned, 0u);
    std::vector<BYTE> small(sizeof(JOB_INFO_1W));
    SetLastError(0);
    EXPECT_FALSE(EnumJobsW(printer_, 0, 5, 1, small.data(), DWORD(small.size()), &needed, &returned));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, DWORD(level1.size()));
    EXPECT_EQ(returned, 0u);

    std::vector<BYTE> one = GetJobBytes(printer_, first, 2);
    auto* got = reinterpret_cast<JOB_INFO_2W*>(one.data());
    EXPECT_EQ(got->JobId, first);
    EXPECT_EQ(got->Size, 700u);
    EXPECT_EQ(got->pDevMode, nullptr);  // the printer has no settings of its own
    std::vector<BYTE> oneAt1 = GetJobBytes(printer_, second, 1);
    EXPECT_EQ(reinterpret_cast<JOB_INFO_1W*>(oneAt1.data())->JobId, second);

    struct Refusal {
        const char* what;
        std::function<BOOL()> call;
        DWORD error;
    };
    const Refusal refusals[] = {
        {"GetJobW of an unknown id", [&] { return GetJobW(printer_, second + 10, 1, nullptr, 0, &needed); },
         ERROR_INVALID_PARAMETER},
        {"GetJobW at level 3", [&] { return GetJobW(printer_, first, 3, nullptr, 0, &needed); }, ERROR_NOT_SUPPORTED},
        {"GetJobW at level 9", [&] { return GetJobW(printer_, first, 9, nullptr, 0, &needed); }, ERROR_INVALID_LEVEL},
        {"GetJobW without a size", [&] { return GetJobW(printer_, first, 1, nullptr, 0, nullptr); },
         RPC_X_NULL_REF_POINTER},
        {"EnumJobsW at level 0", [&] { return EnumJobsW(printer_, 0, 5, 0, nullptr, 0, &needed, &returned); },
         ERROR_INVALID_LEVEL},
        {"EnumJobsW without a count", [&] { return EnumJobsW(printer_, 0, 5, 1, nullptr, 0, &needed, nullptr); },
         RPC_X_NULL_REF_POINTER},
        {"EnumJobsW with a size but no buffer",
         [&] { return EnumJobsW(printer_, 0, 5, 1, nullptr, 100, &needed, &returned); }, ERROR_INVALID_USER_BUFFER},
        {"EnumJobsW on a closed handle",
         [&] { return EnumJobsW(reinterpret_cast<HANDLE>(0x1234), 0, 5, 1, nullptr, 0, &needed, &returned); },
         ERROR_INVALID_HANDLE},
    };
    for (const auto& refusal : refusals) {
        SetLastError(0);
        EXPECT_FALSE(refusal.call()) << refusal.what;
        EXPECT_EQ(GetLastError(), refusal.error) << refusal.what;
    }
}

TEST_F(JobTest, StartDocRefusesWhatItCannotStart) {
    ASSERT_EQ(tam::test::AddTestPrinter(u"Other", u"Korvan Test Driver"), DWORD(ERROR_SUCCESS));
    HANDLE other = Open(u"Other");
    HANDLE adminOnly = Open(u"Korvan Laser", PRINTER_ACCESS_ADMINISTER);
    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));
    Track(server);
    ASSERT_TRUE(other && adminOnly);
    ASSERT_NE(StartDoc(printer_), 0u);  // one document per handle at a time
    ASSERT_TRUE(DeletePrinter(other));

    DOC_INFO_1W info{const_cast<LPWSTR>(u"Doc"), nullptr, nullptr};
    auto* docInfo = reinterpret_cast<LPBYTE>(&info);
    struct Refusal {
        const char* what;
        std::function<DWORD()> call;
        DWORD error;
    };
    const Refusal refusals[] = {
        {"a second document", [&] { return StartDoc(printer_); }, ERROR_INVALID_PRINTER_STATE},
        {"no right to print", [&] { return StartDoc(adminOnly); }, ERROR_ACCESS_DENIED},
        {"a deleted printer", [&] { return StartDoc(other); }, ERROR_PRINTER_DELETED},
        {"the server's handle", [&] { return StartDoc(server); }, ERROR_INVALID_HANDLE},
        {"no handle", [&] { return StartDoc(nullptr); }, ERROR_INVALID_HANDLE},
    };
    for (const auto& refusal : refusals) {
        SetLastError(0);
        EXPECT_EQ(refusal.call(), 0u) << refusal.what;
        EXPECT_EQ(GetLastError(), refusal.error) << refusal.what;
    }

    HANDLE fresh = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(fresh, nullptr);
    const std::pair<DWORD, DWORD> levels[] = {{0, ERROR_INVALID_LEVEL}, {2, ERROR_INVALID_LEVEL},
                                              {3, ERROR_INVALID_LEVEL}};
    for (auto [level, error] : levels) {
        SetLastError(0);
        EXPECT_EQ(StartDocPrinterW(fresh, level, docInfo), 0u) << level;
        EXPECT_EQ(GetLastError(), error) << level;
    }
    SetLastError(0);
    EXPECT_EQ(StartDocPrinterW(fresh, 1, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    for (const char16_t* datatype : {u"NT EMF 1.008", u"TEXT", u"PCL"}) {
        SetLastError(0);
        EXPECT_EQ(StartDoc(fresh, u"Doc", nullptr, datatype), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATATYPE)) << w32::ToUtf8(datatype);
    }
    // Nothing refused made a job; the one open job is the first handle's.
    ASSERT_EQ(w32::ListJobs().size(), 1u);
    DWORD id = StartDoc(fresh, u"Doc", nullptr, u"raw");
    ASSERT_NE(id, 0u) << GetLastError();
    EXPECT_EQ(Job(id).datatype, u"raw");
}

// Each call that needs an open document, and what it answers without one.
struct DocumentCall {
    const char* name;
    std::function<BOOL(HANDLE, DWORD*)> call;
};
const DocumentCall kDocumentCalls[] = {
    {"WritePrinter",
     [](HANDLE h, DWORD* written) {
         BYTE data[4] = {1, 2, 3, 4};
         *written = 99;
         return WritePrinter(h, data, sizeof(data), written);
     }},
    {"StartPagePrinter", [](HANDLE h, DWORD*) { return StartPagePrinter(h); }},
    {"EndPagePrinter", [](HANDLE h, DWORD*) { return EndPagePrinter(h); }},
    {"EndDocPrinter", [](HANDLE h, DWORD*) { return EndDocPrinter(h); }},
    {"AbortPrinter", [](HANDLE h, DWORD*) { return AbortPrinter(h); }},
};

TEST_F(JobTest, CallsOutsideADocumentAreRefused) {
    auto expectRefused = [&](const char* when) {
        for (const auto& c : kDocumentCalls) {
            DWORD written = 0;
            SetLastError(0);
            EXPECT_FALSE(c.call(printer_, &written)) << c.name << " " << when;
            EXPECT_EQ(GetLastError(), DWORD(ERROR_SPL_NO_STARTDOC)) << c.name << " " << when;
            EXPECT_EQ(written, 0u) << c.name << " " << when;
        }
    };
    expectRefused("before StartDocPrinterW");
    DWORD printed = StartDoc(printer_);
    ASSERT_NE(printed, 0u);
    ASSERT_TRUE(EndDocPrinter(printer_));
    expectRefused("after EndDocPrinter");
    ASSERT_NE(StartDoc(printer_), 0u);
    ASSERT_TRUE(AbortPrinter(printer_));
    expectRefused("after AbortPrinter");
    EXPECT_EQ(Job(printed).state, JobState::Printed);

    // Bad arguments inside a document.
    ASSERT_NE(StartDoc(printer_), 0u);
    SetLastError(0);
    EXPECT_FALSE(WritePrinter(printer_, nullptr, 10, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DWORD written = 5;
    SetLastError(0);
    EXPECT_FALSE(WritePrinter(printer_, nullptr, 10, &written));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_USER_BUFFER));
    EXPECT_EQ(written, 0u);
    written = 5;
    EXPECT_TRUE(WritePrinter(printer_, nullptr, 0, &written));
    EXPECT_EQ(written, 0u);
}

TEST_F(JobTest, AbortPrinterRemovesTheJobFileAndKeepsTheJobAsDeleted) {
    DWORD id = StartDoc(printer_, u"Aborted");
    ASSERT_NE(id, 0u);
    WriteAll(printer_, Pattern(4096));
    const std::filesystem::path file = w32::JobHostPath(id);
    ASSERT_TRUE(std::filesystem::exists(file));
    ASSERT_TRUE(AbortPrinter(printer_)) << GetLastError();
    EXPECT_FALSE(std::filesystem::exists(file));
    w32::JobInfo job = Job(id);
    EXPECT_EQ(job.state, JobState::Deleted);
    EXPECT_EQ(job.size, 4096u);
    EXPECT_EQ(w32::ReadJobBytes(id), std::nullopt);
    std::vector<BYTE> info = GetJobBytes(printer_, id, 1);
    EXPECT_EQ(reinterpret_cast<JOB_INFO_1W*>(info.data())->Status, DWORD(JOB_STATUS_DELETED));

    // The handle prints again.
    DWORD next = StartDoc(printer_);
    ASSERT_GT(next, id);
    WriteAll(printer_, Pattern(10));
    ASSERT_TRUE(EndDocPrinter(printer_));
    EXPECT_EQ(JobBytes(next), Pattern(10));
}

TEST_F(JobTest, SetJobDeletesJobsAndCancelsOneBeingSpooled) {
    DWORD printed = StartDoc(printer_, u"Done");
    WriteAll(printer_, Pattern(10));
    ASSERT_TRUE(EndDocPrinter(printer_));
    HANDLE writer = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    DWORD spooling = StartDoc(writer, u"Busy");
    ASSERT_TRUE(printed && spooling);
    WriteAll(writer, Pattern(10));
    const std::filesystem::path printedFile = w32::JobHostPath(printed), spoolingFile = w32::JobHostPath(spooling);

    struct Case {
        DWORD id, level, command, error;
    };
    const Case refused[] = {
        {spooling + 5, 0, JOB_CONTROL_DELETE, ERROR_INVALID_PARAMETER},
        {printed, 0, JOB_CONTROL_PAUSE, ERROR_NOT_SUPPORTED},
        {printed, 1, 0, ERROR_NOT_SUPPORTED},
        {printed, 7, 0, ERROR_INVALID_LEVEL},
        {printed, 0, 99, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : refused) {
        SetLastError(0);
        EXPECT_FALSE(SetJobW(printer_, c.id, c.level, nullptr, c.command)) << c.id << "/" << c.command;
        EXPECT_EQ(GetLastError(), c.error) << c.id << "/" << c.command;
    }
    EXPECT_EQ(Job(printed).state, JobState::Printed);

    ASSERT_TRUE(SetJobW(printer_, printed, 0, nullptr, JOB_CONTROL_DELETE)) << GetLastError();
    ASSERT_TRUE(SetJobW(printer_, spooling, 0, nullptr, JOB_CONTROL_CANCEL)) << GetLastError();
    EXPECT_EQ(Job(printed).state, JobState::Deleted);
    EXPECT_EQ(Job(spooling).state, JobState::Deleted);
    EXPECT_FALSE(std::filesystem::exists(printedFile));
    EXPECT_FALSE(std::filesystem::exists(spoolingFile));

    // The writer learns that its job is gone; ending the document is still allowed.
    BYTE data[8] = {};
    DWORD written = 99;
    SetLastError(0);
    EXPECT_FALSE(WritePrinter(writer, data, sizeof(data), &written));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_CANCELLED));
    EXPECT_EQ(written, 0u);
    SetLastError(0);
    EXPECT_FALSE(StartPagePrinter(writer));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_CANCELLED));
    EXPECT_TRUE(EndDocPrinter(writer)) << GetLastError();
    EXPECT_EQ(Job(spooling).state, JobState::Deleted);
    EXPECT_FALSE(std::filesystem::exists(spoolingFile));
}

TEST_F(JobTest, ClosingTheHandleEndsTheDocumentAndPurgeDeletesThePrintersJobs) {
    HANDLE closing = nullptr;
    ASSERT_TRUE(OpenPrinterW(u"Korvan Laser", &closing, nullptr));
    DWORD id = StartDoc(closing);
    ASSERT_NE(id, 0u);
    WriteAll(closing, Pattern(300));
    ASSERT_TRUE(ClosePrinter(closing));
    EXPECT_EQ(Job(id).state, JobState::Printed);
    EXPECT_EQ(JobBytes(id), Pattern(300));

    DWORD open = StartDoc(printer_);
    ASSERT_NE(open, 0u);
    std::vector<BYTE> info = GetPrinterBytes(printer_, 2);
    EXPECT_EQ(reinterpret_cast<PRINTER_INFO_2W*>(info.data())->cJobs, 2u);
    ASSERT_TRUE(SetPrinterW(printer_, 0, nullptr, PRINTER_CONTROL_PURGE)) << GetLastError();
    EXPECT_EQ(Job(id).state, JobState::Deleted);
    EXPECT_EQ(Job(open).state, JobState::Deleted);
    BYTE data[1] = {};
    DWORD written = 0;
    SetLastError(0);
    EXPECT_FALSE(WritePrinter(printer_, data, 1, &written));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_CANCELLED));
}

TEST_F(JobTest, JobsFollowARenamedPrinterAndOutliveADeletedOne) {
    DWORD id = StartDoc(printer_);
    ASSERT_NE(id, 0u);
    WriteAll(printer_, Pattern(10, 1));

    std::vector<BYTE> info = GetPrinterBytes(printer_, 2);
    auto* printer = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
    std::u16string newName = u"Korvan Laser (Floor 2)";
    printer->pPrinterName = newName.data();
    ASSERT_TRUE(SetPrinterW(printer_, 2, info.data(), 0)) << GetLastError();
    EXPECT_EQ(Job(id).printer, newName);
    DWORD count = 0;
    std::vector<BYTE> jobs = EnumJobBytes(printer_, 1, count);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(Str(reinterpret_cast<JOB_INFO_1W*>(jobs.data())->pPrinterName), newName);

    // Deleted with the document open: the handle finishes it, but starts no other.
    ASSERT_TRUE(DeletePrinter(printer_)) << GetLastError();
    WriteAll(printer_, Pattern(10, 2));
    ASSERT_TRUE(StartPagePrinter(printer_)) << GetLastError();
    ASSERT_TRUE(EndDocPrinter(printer_)) << GetLastError();
    std::vector<BYTE> expected = Pattern(10, 1), second = Pattern(10, 2);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(JobBytes(id), expected);
    EXPECT_EQ(Job(id).state, JobState::Printed);
    EXPECT_EQ(Job(id).pages, 1u);
    SetLastError(0);
    EXPECT_EQ(StartDoc(printer_), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_DELETED));
    EXPECT_EQ(JobIds(w32::ListJobs(newName)), Ids{id});
}

TEST_F(JobTest, TheListSurvivesReopeningTheMachine) {
    DWORD printed = StartDoc(printer_, u"Kept");
    ASSERT_TRUE(StartPagePrinter(printer_));
    WriteAll(printer_, Pattern(5000));
    ASSERT_TRUE(EndDocPrinter(printer_));
    DWORD aborted = StartDoc(printer_, u"Aborted");
    ASSERT_TRUE(AbortPrinter(printer_));
    HANDLE other = Open(u"Korvan Laser");
    DWORD unfinished = StartDoc(other, u"Unfinished");
    WriteAll(other, Pattern(77));
    ASSERT_TRUE(printed && aborted && unfinished);
    const std::vector<w32::JobInfo> before = w32::ListJobs();

    Reopen();
    std::vector<w32::JobInfo> after = w32::ListJobs();
    ASSERT_EQ(JobIds(after), (Ids{printed, aborted, unfinished}));
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].document, before[i].document);
        EXPECT_EQ(after[i].printer, before[i].printer);
        EXPECT_EQ(after[i].user, before[i].user);
        EXPECT_EQ(after[i].file, before[i].file);
        EXPECT_EQ(after[i].size, before[i].size);
        EXPECT_EQ(after[i].pages, before[i].pages);
        EXPECT_EQ(after[i].submitted.dwLowDateTime, before[i].submitted.dwLowDateTime);
        EXPECT_EQ(after[i].submitted.dwHighDateTime, before[i].submitted.dwHighDateTime);
    }
    EXPECT_EQ(after[0].state, JobState::Printed);
    EXPECT_EQ(after[1].state, JobState::Deleted);
    // The machine closed under the open document: kept with what it got.
    EXPECT_EQ(after[2].state, JobState::Error);
    EXPECT_EQ(after[2].size, 77u);
    EXPECT_EQ(JobBytes(printed), Pattern(5000));
    EXPECT_EQ(JobBytes(unfinished), Pattern(77));

    // A program of the second run sees them, and its jobs come after them.
    HANDLE again = Open(u"Korvan Laser");
    ASSERT_NE(again, nullptr);
    DWORD count = 0;
    std::vector<BYTE> listed = EnumJobBytes(again, 1, count);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(reinterpret_cast<JOB_INFO_1W*>(listed.data())[2].Status, DWORD(JOB_STATUS_ERROR));
    DWORD next = StartDoc(again);
    EXPECT_GT(next, unfinished);
    ASSERT_TRUE(EndDocPrinter(again));

    // Clearing the list removes the files; ids go on growing after another reopen.
    const std::filesystem::path printedFile = w32::JobHostPath(printed);
    w32::ClearJobs();
    EXPECT_TRUE(w32::ListJobs().empty());
    EXPECT_FALSE(std::filesystem::exists(printedFile));
    Reopen();
    EXPECT_TRUE(w32::ListJobs().empty());
    HANDLE third = Open(u"Korvan Laser");
    EXPECT_GT(StartDoc(third), next);
}

TEST_F(JobTest, StoppedSpoolerRefusesJobCallsAndEndsOpenDocuments) {
    DWORD id = StartDoc(printer_);
    ASSERT_NE(id, 0u);
    WriteAll(printer_, Pattern(64));
    w32::SetSpoolerRunning(false);
    EXPECT_EQ(Job(id).state, JobState::Error);
    EXPECT_EQ(Job(id).size, 64u);

    SetLastError(0);
    EXPECT_EQ(StartDoc(printer_), 0u);
    EXPECT_EQ(GetLastError(), DWORD(RPC_S_SERVER_UNAVAILABLE));
    for (const auto& c : kDocumentCalls) {
        DWORD written = 0;
        SetLastError(0);
        EXPECT_FALSE(c.call(printer_, &written)) << c.name;
        EXPECT_EQ(GetLastError(), DWORD(RPC_S_SERVER_UNAVAILABLE)) << c.name;
        EXPECT_EQ(written, 0u) << c.name;
    }
    DWORD needed = 0, returned = 0;
    SetLastError(0);
    EXPECT_FALSE(EnumJobsW(printer_, 0, 1, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(GetLastError(), DWORD(RPC_S_SERVER_UNAVAILABLE));
    SetLastError(0);
    EXPECT_FALSE(SetJobW(printer_, id, 0, nullptr, JOB_CONTROL_DELETE));
    EXPECT_EQ(GetLastError(), DWORD(RPC_S_SERVER_UNAVAILABLE));

    // Started again: the handle belonged to the earlier run; the job stays as it was.
    w32::SetSpoolerRunning(true);
    SetLastError(0);
    EXPECT_FALSE(EndDocPrinter(printer_));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Job(id).state, JobState::Error);
    EXPECT_EQ(JobBytes(id), Pattern(64));
}

}  // namespace

// Whole documents printed through GDI on "Korvan Laser": CreateDCW with
// settings made by the user interface's own code and edited as its pages
// would, StartDocW, StartPage and EndPage for each page, EndDoc; the job's
// bytes are read back from the spooler's job list and decoded by the job
// decoder.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dc_fixture.h"
#include "jobdecode.h"
#include "winspool/jobs.h"

namespace tam::test {

// One placement of a page on a sheet: the page transform its prologue wrote.
struct Placement {
    int64_t originX = 0;
    int64_t originY = 0;
    int64_t angle = 0;
    double scaleX = 0;
    double scaleY = 0;
};

// One sheet of the job: BeginPage with its media, the pages placed on it,
// and EndPage.
struct Sheet {
    const job::Operator* begin = nullptr;
    std::vector<Placement> placements;
    std::optional<int64_t> copies;  // PageCopies of EndPage
};

// What a document printed on the DC ended with.
struct Printed {
    DWORD jobId = 0;
    int endDoc = 0;        // EndDoc's answer
    DWORD endDocError = 0; // the last error after it
};

class PrintTest : public TamrendDcTest {
protected:
    void TearDown() override {
        w32::ClearPrinterWriteBehaviours();
        TamrendDcTest::TearDown();
    }

    // Starts a document named `name` on `dc`; the job id, 0 on failure.
    static DWORD StartDocument(HDC dc, LPCWSTR name = u"Quarterly report") {
        DOCINFOW info{};
        info.cbSize = sizeof(info);
        info.lpszDocName = name;
        const int job = StartDocW(dc, &info);
        return job > 0 ? DWORD(job) : 0;
    }

    // Prints `pages` empty pages as a document of `dc`, failing the test
    // when a call fails.
    static Printed PrintPages(HDC dc, int pages, LPCWSTR name = u"Quarterly report") {
        Printed printed;
        printed.jobId = StartDocument(dc, name);
        EXPECT_NE(printed.jobId, 0u) << GetLastError();
        for (int page = 0; page < pages; ++page) {
            EXPECT_GT(StartPage(dc), 0) << "page " << page + 1 << ": " << GetLastError();
            EXPECT_GT(EndPage(dc), 0) << "page " << page + 1 << ": " << GetLastError();
        }
        SetLastError(ERROR_SUCCESS);
        printed.endDoc = EndDoc(dc);
        printed.endDocError = GetLastError();
        return printed;
    }

    // Prints a document of one page for each orientation given, each page
    // in its own orientation through ResetDCW before it (the job goes on on
    // the new PDEV), so that the sheets of the job can be told apart.
    static Printed PrintMixed(HDC dc, const UiDevmode& settings, const std::vector<short>& orientations) {
        Printed printed;
        printed.jobId = StartDocument(dc);
        EXPECT_NE(printed.jobId, 0u) << GetLastError();
        UiDevmode page = settings;
        for (short orientation : orientations) {
            page.pub.dmOrientation = orientation;
            EXPECT_NE(ResetDCW(dc, &page.pub), nullptr) << GetLastError();
            EXPECT_GT(StartPage(dc), 0) << GetLastError();
            EXPECT_GT(EndPage(dc), 0) << GetLastError();
        }
        printed.endDoc = EndDoc(dc);
        printed.endDocError = GetLastError();
        return printed;
    }

    // A document of `pages` pages on a new DC of `settings`.
    Printed Print(const UiDevmode& settings, int pages) {
        HDC dc = Create(settings);
        EXPECT_NE(dc, nullptr) << GetLastError();
        if (!dc) return {};
        return PrintPages(dc, pages);
    }

    static std::vector<BYTE> JobBytes(DWORD jobId) {
        auto bytes = w32::ReadJobBytes(jobId);
        return bytes ? *bytes : std::vector<BYTE>();
    }

    static std::string Problems(const job::DecodedJob& decoded) {
        std::string text;
        for (const auto& problem : decoded.problems) text += job::FormatProblem(problem) + "\n";
        return text;
    }

    // The job decoded; it must decode without a problem.
    static job::DecodedJob Decode(DWORD jobId) {
        const std::vector<BYTE> bytes = JobBytes(jobId);
        job::DecodedJob decoded = job::DecodeJob(bytes);
        EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
        EXPECT_EQ(decoded.size, bytes.size());
        return decoded;
    }

    // The sheets of a decoded job, in order.
    static std::vector<Sheet> Sheets(const job::DecodedJob& decoded) {
        std::vector<Sheet> sheets;
        for (const auto& [first, last] : decoded.Pages()) {
            Sheet sheet;
            sheet.begin = &decoded.ops[first];
            Placement* open = nullptr;
            for (size_t i = first; i <= last; ++i) {
                const job::Operator& op = decoded.ops[i];
                if (op.name == "SetPageDefaultCTM") {
                    sheet.placements.emplace_back();
                    open = &sheet.placements.back();
                } else if (open && op.name == "SetPageOrigin") {
                    open->originX = op.Int("PageOrigin", 0).value_or(-1);
                    open->originY = op.Int("PageOrigin", 1).value_or(-1);
                } else if (open && op.name == "SetPageRotation") {
                    open->angle = op.Int("PageAngle").value_or(-1);
                } else if (open && op.name == "SetPageScale") {
                    open->scaleX = op.Number("PageScale", 0).value_or(-1);
                    open->scaleY = op.Number("PageScale", 1).value_or(-1);
                } else if (op.name == "EndPage") {
                    sheet.copies = op.Int("PageCopies");
                }
            }
            sheets.push_back(std::move(sheet));
        }
        return sheets;
    }

    // The frame every job has: the PJL header with the stream header, one
    // session with its data source around the sheets, CloseDataSource before
    // EndSession, the PJL end of job, and nothing after it.
    static void ExpectJobFrame(const job::DecodedJob& decoded) {
        ASSERT_EQ(decoded.streams.size(), 1u);
        EXPECT_TRUE(decoded.streams[0].present);
        ASSERT_FALSE(decoded.header.empty());
        EXPECT_TRUE(decoded.header.front().uel);
        EXPECT_EQ(decoded.header.back().command, "ENTER");
        EXPECT_EQ(decoded.header.back().value, "PCLXL");

        std::vector<std::string_view> frame;
        for (const job::Operator& op : decoded.ops)
            if (op.name == "BeginSession" || op.name == "OpenDataSource" || op.name == "CloseDataSource" ||
                op.name == "EndSession")
                frame.push_back(op.name);
        EXPECT_EQ(frame, (std::vector<std::string_view>{"BeginSession", "OpenDataSource", "CloseDataSource",
                                                         "EndSession"}));
        ASSERT_GE(decoded.ops.size(), 2u);
        EXPECT_EQ(decoded.ops[decoded.ops.size() - 2].name, "CloseDataSource");
        EXPECT_EQ(decoded.ops.back().name, "EndSession");

        // Every operator between the session's start and its end lies on a
        // sheet: nothing is written between an EndPage and the next BeginPage.
        size_t onSheets = 0;
        for (const auto& [first, last] : decoded.Pages()) onSheets += last - first + 1;
        size_t between = 0;
        bool open = false;
        for (const job::Operator& op : decoded.ops) {
            if (op.name == "OpenDataSource") open = true;
            else if (op.name == "CloseDataSource") open = false;
            else if (open) ++between;
        }
        EXPECT_EQ(between, onSheets);

        ASSERT_EQ(decoded.trailer.size(), 3u);
        EXPECT_TRUE(decoded.trailer[0].uel);
        EXPECT_EQ(decoded.trailer[1].command, "EOJ");
        EXPECT_EQ(decoded.trailer[1].lineEnd, "\r\n");
        EXPECT_TRUE(decoded.trailer[2].uel);
        EXPECT_EQ(decoded.trailer[2].offset + 9, decoded.size);
    }

    // The names of the files in the machine's temporary folder.
    std::vector<std::string> TempFiles() const {
        WCHAR temp[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        std::vector<std::string> names;
        if (!length) return names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(HostPath(temp), error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The DrvStartDoc calls the engine made so far.
    static int StartDocCalls() {
        int count = 0;
        for (const std::string& name : EngineCalls()) count += name == "DrvStartDoc";
        return count;
    }
};

}  // namespace tam::test

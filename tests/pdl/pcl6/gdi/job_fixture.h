// Unit tests of the job stream's writers: a PDEV enabled through
// DrvEnablePDEV with the settings a test chooses, and a spooler document
// open on its printer so that the writers can be called directly and what
// they write read back from the spooler's job file.
//
// OpenJob starts a spooler document on the PDEV's printer handle and a job
// on the PDEV through job start (Job_StartDoc: the WritePrinter handle, the
// buffer, "job open", the job's copy of the settings), then routes the
// job's output as the test asks.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "jobdecode.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pdev.h"
#include "pdev_fixture.h"
#include "winspool/jobs.h"

namespace tam::test {

using Bytes = std::vector<BYTE>;

inline Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// A byte sequence written as hexadecimal pairs ("C3 34 12"), with "text"
// in double quotation marks for its 8-bit characters.
inline Bytes Hex(std::string_view text) {
    Bytes out;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == ' ') {
            ++i;
        } else if (c == '"') {
            const size_t end = text.find('"', i + 1);
            if (end == std::string_view::npos) throw std::invalid_argument("unterminated text");
            for (size_t k = i + 1; k < end; ++k) out.push_back(BYTE(text[k]));
            i = end + 1;
        } else {
            out.push_back(BYTE(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
            i += 2;
        }
    }
    return out;
}

inline std::string HexText(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (BYTE b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

class JobTest : public PdevTest {
protected:
    void TearDown() override {
        CloseJob();
        w32::ClearPrinterWriteBehaviours();
        PdevTest::TearDown();
    }

    // A PDEV of the user interface's default settings (A4, mono, 600 dpi).
    PDEV* EnableDefault() {
        ByteImage settings = UiSettings();
        PDEV* pdev = Enable(settings);
        EXPECT_NE(pdev, nullptr);
        return pdev;
    }

    // Starts a spooler document and opens a job on `pdev`, its output routed
    // by `routing`. The job's copy of the settings is the PDEV's current one;
    // tests change it afterwards for settings the user interface cannot make.
    void OpenJob(PDEV* pdev, UINT32 routing = OUTF_TO_PRINTER) {
        ASSERT_NE(pdev, nullptr);
        CloseJob();
        std::u16string document = u"job stream test", datatype = u"RAW";
        DOC_INFO_1W info{document.data(), nullptr, datatype.data()};
        jobId_ = StartDocPrinterW(printer(), 1, reinterpret_cast<LPBYTE>(&info));
        ASSERT_NE(jobId_, 0u) << GetLastError();
        taken_ = 0;
        ASSERT_EQ(Job_StartDoc(pdev, document.c_str(), printer(), JOB_START_SET_HANDLES), printer());
        pdev->Job.State.JobId = jobId_;
        pdev->Job.State.Spool.OutputFlags = routing;
    }

    // A PDEV of the default settings (colour ones when `color`) with a job
    // open and its graphics state reset, as at the start of a page.
    PDEV* StartJob(bool color = false) {
        PDEV* pdev = EnableDefault();
        if (!pdev) return nullptr;
        OpenJob(pdev);
        if (color) pdev->Job.JobDevmode.pub.dmColor = DMCOLOR_COLOR;
        Gx_ResetCache(pdev);
        return pdev;
    }

    // The bytes written since the last call, as hex text.
    std::string Out(PDEV* pdev) { return HexText(TakeOutput(pdev)); }

    // Ends the spooler document (the job's bytes stay readable).
    void CloseJob() {
        if (!jobOpen()) return;
        EXPECT_TRUE(EndDocPrinter(printer())) << GetLastError();
        closedJobId_ = jobId_;
        jobId_ = 0;
    }

    bool jobOpen() const { return jobId_ != 0; }
    DWORD jobId() const { return jobId_ ? jobId_ : closedJobId_; }

    // Every byte the spooler has taken for the job.
    Bytes JobBytes() const {
        auto bytes = w32::ReadJobBytes(jobId());
        return bytes ? *bytes : Bytes();
    }

    // Flushes the PDEV's buffer and gives the bytes the job received since
    // the last call.
    Bytes TakeOutput(PDEV* pdev) {
        Spool_Flush(pdev);
        Bytes all = JobBytes();
        Bytes fresh(all.begin() + std::min(taken_, all.size()), all.end());
        taken_ = all.size();
        return fresh;
    }

    // The sizes of the WritePrinter calls that `scenario` makes on a fresh
    // job of `pdev` (closed by a flush), found by failing each call in turn:
    // the job then holds exactly the calls before it.
    template <class Scenario>
    std::vector<DWORD> WriteSizes(PDEV* pdev, Scenario scenario) {
        std::vector<DWORD> sizes;
        size_t before = 0;
        for (DWORD n = 1; n < 1000; ++n) {
            w32::PrinterWriteBehaviour failing;
            failing.failNthWrite = n;
            w32::SetPrinterWriteBehaviour(kKorvanLaser, failing);
            OpenJob(pdev);
            scenario(pdev);
            Spool_Flush(pdev);
            const bool failed = pdev->Job.JobFlags & JOBF_OUTPUT_ERROR;
            CloseJob();
            const size_t held = JobBytes().size();
            if (n > 1) sizes.push_back(DWORD(held - before));
            before = held;
            if (!failed) break;
        }
        w32::ClearPrinterWriteBehaviours();
        return sizes;
    }

    // The job decoded by the job decoder, whose problems a test reports.
    static std::string Problems(const job::DecodedJob& decoded) {
        std::string text;
        for (const auto& problem : decoded.problems) text += job::FormatProblem(problem) + "\n";
        return text;
    }

private:
    DWORD jobId_ = 0;
    DWORD closedJobId_ = 0;
    size_t taken_ = 0;
};

}  // namespace tam::test

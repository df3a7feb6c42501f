// A machine with the printer "Korvan Laser" and helpers that print through it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "spooler_fixture.h"
#include "winspool/jobs.h"

namespace tam::test {

class JobTest : public LaserPrinterTest {
protected:
    void TearDown() override {
        w32::ClearPrinterWriteBehaviours();
        LaserPrinterTest::TearDown();
    }

    // StartDocPrinterW at level 1; the job id, or 0 with the last error set.
    static DWORD StartDoc(HANDLE printer, const char16_t* document = u"Report", const char16_t* outputFile = nullptr,
                          const char16_t* datatype = nullptr) {
        DOC_INFO_1W info{const_cast<LPWSTR>(document), const_cast<LPWSTR>(outputFile), const_cast<LPWSTR>(datatype)};
        return StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    }

    // Bytes that differ from one offset to the next and from one seed to another.
    static std::vector<BYTE> Pattern(size_t size, unsigned seed = 1) {
        std::vector<BYTE> bytes(size);
        unsigned state = seed * 2654435761u + 12345u;
        for (auto& b : bytes) {
            state = state * 1103515245u + 12345u;
            b = BYTE(state >> 16);
        }
        return bytes;
    }

    // Writes all of `bytes` in calls of at most `chunk` bytes; each call must take all it is given.
    static void WriteAll(HANDLE printer, const std::vector<BYTE>& bytes, size_t chunk = 61440) {
        for (size_t at = 0; at < bytes.size(); at += chunk) {
            DWORD size = DWORD(std::min(chunk, bytes.size() - at));
            DWORD written = 0;
            ASSERT_TRUE(WritePrinter(printer, const_cast<BYTE*>(bytes.data() + at), size, &written))
                << "at " << at << ": error " << GetLastError();
            ASSERT_EQ(written, size) << "at " << at;
        }
    }

    static std::vector<BYTE> JobBytes(DWORD id) {
        auto bytes = w32::ReadJobBytes(id);
        return bytes ? *bytes : std::vector<BYTE>{};
    }

    static w32::JobInfo Job(DWORD id) {
        auto job = w32::FindJob(id);
        EXPECT_TRUE(job.has_value()) << "job " << id;
        return job ? *job : w32::JobInfo{};
    }

    static std::vector<BYTE> EnumJobBytes(HANDLE printer, DWORD level, DWORD& count, DWORD first = 0,
                                          DWORD most = 100) {
        return Fetch([&](LPBYTE b, DWORD n, LPDWORD need,
                         LPDWORD ret) { return EnumJobsW(printer, first, most, level, b, n, need, ret); },
                     &count);
    }

    static std::vector<BYTE> GetJobBytes(HANDLE printer, DWORD id, DWORD level) {
        return Fetch([&](LPBYTE b, DWORD n, LPDWORD need, LPDWORD) { return GetJobW(printer, id, level, b, n, need); });
    }
};

}  // namespace tam::test

#include <chrono>
#include <filesystem>
#include <thread>

#include "job_fixture.h"

using tam::test::JobTest;
using w32::JobState;

namespace {

constexpr size_t kChunk = 61440;

TEST_F(JobTest, ALargeJobReachesItsFileInOrder) {
    DWORD id = StartDoc(printer_, u"Large");
    ASSERT_NE(id, 0u) << GetLastError();
    const std::vector<BYTE> bytes = Pattern(5 * 1024 * 1024 + 1234, 7);
    WriteAll(printer_, bytes, kChunk);
    EXPECT_EQ(Job(id).size, bytes.size());
    // Every byte taken is in the file while the job is still spooling.
    EXPECT_EQ(std::filesystem::file_size(w32::JobHostPath(id)), bytes.size());
    ASSERT_TRUE(EndDocPrinter(printer_));
    EXPECT_EQ(JobBytes(id), bytes);
}

TEST_F(JobTest, TwoHandlesPrintTwoJobsAtOnce) {
    HANDLE second = Open(u"Korvan Laser");
    DWORD a = StartDoc(printer_, u"A"), b = StartDoc(second, u"B");
    ASSERT_TRUE(a && b);
    const std::vector<BYTE> bytesA = Pattern(40 * kChunk + 17, 1), bytesB = Pattern(40 * kChunk + 5, 2);
    for (size_t at = 0; at < bytesA.size() || at < bytesB.size(); at += kChunk) {
        for (auto [handle, bytes] : {std::pair{printer_, &bytesA}, std::pair{second, &bytesB}}) {
            if (at >= bytes->size()) continue;
            DWORD size = DWORD(std::min(kChunk, bytes->size() - at)), written = 0;
            ASSERT_TRUE(WritePrinter(handle, const_cast<BYTE*>(bytes->data() + at), size, &written));
            ASSERT_EQ(written, size);
        }
    }
    ASSERT_TRUE(EndDocPrinter(second));
    ASSERT_TRUE(EndDocPrinter(printer_));
    EXPECT_EQ(JobBytes(a), bytesA);
    EXPECT_EQ(JobBytes(b), bytesB);

    // And from two threads, each with its own handle.
    HANDLE handles[2] = {Open(u"Korvan Laser"), Open(u"Korvan Laser")};
    const std::vector<BYTE> payloads[2] = {Pattern(3 * 1024 * 1024, 3), Pattern(3 * 1024 * 1024 + 99, 4)};
    DWORD ids[2] = {StartDoc(handles[0]), StartDoc(handles[1])};
    ASSERT_TRUE(ids[0] && ids[1]);
    bool ok[2] = {false, false};
    auto print = [&](int i) {
        const std::vector<BYTE>& bytes = payloads[i];
        for (size_t at = 0; at < bytes.size(); at += kChunk) {
            DWORD size = DWORD(std::min(kChunk, bytes.size() - at)), written = 0;
            if (!WritePrinter(handles[i], const_cast<BYTE*>(bytes.data() + at), size, &written) || written != size)
                return;
        }
        ok[i] = EndDocPrinter(handles[i]);
    };
    std::thread first(print, 0), other(print, 1);
    first.join();
    other.join();
    EXPECT_TRUE(ok[0] && ok[1]);
    EXPECT_EQ(JobBytes(ids[0]), payloads[0]);
    EXPECT_EQ(JobBytes(ids[1]), payloads[1]);
}

TEST_F(JobTest, OutputFileTakesTheBytesInsteadOfTheSpoolFile) {
    const std::u16string temp = machine().TempDirectory();
    const std::u16string output = temp + u"\\report.prn";
    DWORD id = StartDoc(printer_, u"To file", output.c_str());
    ASSERT_NE(id, 0u) << GetLastError();
    WriteAll(printer_, Pattern(9000));
    ASSERT_TRUE(EndDocPrinter(printer_));
    w32::JobInfo job = Job(id);
    EXPECT_TRUE(job.toOutputFile);
    EXPECT_EQ(job.file, output);
    EXPECT_EQ(job.state, JobState::Printed);
    EXPECT_EQ(w32::JobHostPath(id), HostPath(output));
    EXPECT_EQ(JobBytes(id), Pattern(9000));
    char name[16];
    std::snprintf(name, sizeof(name), "%05u.SPL", unsigned(id));
    EXPECT_FALSE(std::filesystem::exists(HostPath(u"C:\\Windows\\System32\\spool\\PRINTERS\\" + w32::FromUtf8(name))));
    // Deleting the finished job leaves the caller's file alone.
    ASSERT_TRUE(SetJobW(printer_, id, 0, nullptr, JOB_CONTROL_DELETE));
    EXPECT_TRUE(std::filesystem::exists(HostPath(output)));

    // A relative name lies in the current folder; an aborted job takes its partial file with it.
    ASSERT_TRUE(SetCurrentDirectoryW(temp.c_str()));
    DWORD relative = StartDoc(printer_, u"Relative", u"partial.prn");
    ASSERT_NE(relative, 0u) << GetLastError();
    EXPECT_EQ(Job(relative).file, temp + u"\\partial.prn");
    WriteAll(printer_, Pattern(10));
    EXPECT_TRUE(std::filesystem::exists(HostPath(temp + u"\\partial.prn")));
    ASSERT_TRUE(AbortPrinter(printer_));
    EXPECT_FALSE(std::filesystem::exists(HostPath(temp + u"\\partial.prn")));

    // A file that cannot be made makes no job.
    const size_t jobs = w32::ListJobs().size();
    SetLastError(0);
    EXPECT_EQ(StartDoc(printer_, u"Nowhere", u"C:\\No Such Folder\\out.prn"), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(w32::ListJobs().size(), jobs);
    DWORD written = 0;
    BYTE data[1] = {};
    SetLastError(0);
    EXPECT_FALSE(WritePrinter(printer_, data, 1, &written));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SPL_NO_STARTDOC));
}

// --- Write behaviours ---------------------------------------------------------------------

struct WriteStep {
    DWORD size;
    BOOL ok;
    DWORD taken;
    DWORD error = ERROR_SUCCESS;
};

struct BehaviourCase {
    const char* name;
    const char16_t* printer;  // whose behaviour is set
    w32::PrinterWriteBehaviour behaviour;
    std::vector<WriteStep> steps;
};

void PrintTo(const BehaviourCase& c, std::ostream* os) { *os << c.name; }

w32::PrinterWriteBehaviour Behaviour(void (*set)(w32::PrinterWriteBehaviour&)) {
    w32::PrinterWriteBehaviour b;
    set(b);
    return b;
}

const BehaviourCase kBehaviours[] = {
    {"MaxBytesPerCall", u"KORVAN laser", Behaviour([](auto& b) { b.maxBytesPerCall = 1000; }),
     {{4096, TRUE, 1000}, {500, TRUE, 500}, {1000, TRUE, 1000}}},
    {"EverySecondWriteShort", u"Korvan Laser", Behaviour([](auto& b) { b.shortWriteEvery = 2; }),
     {{100, TRUE, 100}, {100, TRUE, 50}, {101, TRUE, 101}, {101, TRUE, 51}, {1, TRUE, 1}, {1, TRUE, 1}}},
    {"ThirdWriteFails", u"Korvan Laser",
     Behaviour([](auto& b) {
         b.failNthWrite = 3;
         b.failError = ERROR_CANCELLED;
     }),
     {{10, TRUE, 10}, {0, TRUE, 0}, {10, TRUE, 10}, {10, FALSE, 0, ERROR_CANCELLED}, {10, TRUE, 10}}},
    {"FailAfterBytes", u"Korvan Laser", Behaviour([](auto& b) { b.failAfterBytes = 250; }),
     {{100, TRUE, 100}, {100, TRUE, 100}, {100, FALSE, 50, ERROR_WRITE_FAULT}, {100, FALSE, 0, ERROR_WRITE_FAULT}}},
    {"AcceptTotal", u"Korvan Laser", Behaviour([](auto& b) { b.acceptTotal = 250; }),
     {{100, TRUE, 100},
      {100, TRUE, 100},
      {100, FALSE, 0, ERROR_DISK_FULL},
      {50, TRUE, 50},
      {1, FALSE, 0, ERROR_DISK_FULL}}},
    {"ShortWritesCountAgainstTheTotal", u"Korvan Laser",
     Behaviour([](auto& b) {
         b.maxBytesPerCall = 60;
         b.acceptTotal = 100;
     }),
     {{100, TRUE, 60}, {100, FALSE, 0, ERROR_DISK_FULL}, {40, TRUE, 40}}},
    {"EveryPrinter", u"", Behaviour([](auto& b) { b.maxBytesPerCall = 10; }), {{100, TRUE, 10}}},
    {"AnotherPrinterOnly", u"Someone Else", Behaviour([](auto& b) { b.maxBytesPerCall = 1; }), {{100, TRUE, 100}}},
};

class WriteBehaviour : public JobTest, public testing::WithParamInterface<BehaviourCase> {};

TEST_P(WriteBehaviour, WritesTakeWhatTheBehaviourAllows) {
    const BehaviourCase& c = GetParam();
    w32::SetPrinterWriteBehaviour(c.printer, c.behaviour);
    DWORD id = StartDoc(printer_);
    ASSERT_NE(id, 0u) << GetLastError();
    std::vector<BYTE> expected;
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const WriteStep& step = c.steps[i];
        std::vector<BYTE> data = Pattern(std::max<DWORD>(step.size, 1), unsigned(i));
        DWORD written = 0xdeadbeef;
        SetLastError(0xdeadbeef);
        BOOL ok = WritePrinter(printer_, data.data(), step.size, &written);
        EXPECT_EQ(ok, step.ok) << "write " << i + 1;
        EXPECT_EQ(written, step.taken) << "write " << i + 1;
        if (!step.ok) {
            EXPECT_EQ(GetLastError(), step.error) << "write " << i + 1;
        }
        expected.insert(expected.end(), data.begin(), data.begin() + written);
    }
    EXPECT_EQ(Job(id).size, expected.size());
    ASSERT_TRUE(EndDocPrinter(printer_)) << GetLastError();
    EXPECT_EQ(JobBytes(id), expected);
}

INSTANTIATE_TEST_SUITE_P(All, WriteBehaviour, testing::ValuesIn(kBehaviours),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobTest, WriteBehaviourCountsWritesPerJobAndCanBeCleared) {
    w32::PrinterWriteBehaviour failFirst;
    failFirst.failNthWrite = 1;
    w32::SetPrinterWriteBehaviour(u"Korvan Laser", failFirst);
    BYTE data[4] = {1, 2, 3, 4};
    DWORD written = 0;
    for (int job = 0; job < 2; ++job) {
        ASSERT_NE(StartDoc(printer_), 0u);
        SetLastError(0);
        EXPECT_FALSE(WritePrinter(printer_, data, 4, &written)) << "job " << job;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_WRITE_FAULT));
        EXPECT_TRUE(WritePrinter(printer_, data, 4, &written)) << "job " << job;
        ASSERT_TRUE(EndDocPrinter(printer_));
    }
    w32::ClearPrinterWriteBehaviours();
    DWORD id = StartDoc(printer_);
    EXPECT_TRUE(WritePrinter(printer_, data, 4, &written));
    EXPECT_EQ(written, 4u);
    ASSERT_TRUE(EndDocPrinter(printer_));
    EXPECT_EQ(Job(id).size, 4u);
}

// The print path writes whole jobs through here: 64 MB in the chunks a
// driver uses must take well under a second on any machine that runs the tests.
TEST_F(JobTest, SixtyFourMegabytesInDriverSizedWritesAreQuick) {
    const std::vector<BYTE> chunk = Pattern(kChunk, 9);
    constexpr ULONGLONG kTotal = 64ull * 1024 * 1024;
    DWORD id = StartDoc(printer_, u"Throughput");
    ASSERT_NE(id, 0u);
    const auto start = std::chrono::steady_clock::now();
    for (ULONGLONG done = 0; done < kTotal;) {
        DWORD size = DWORD(std::min<ULONGLONG>(kChunk, kTotal - done)), written = 0;
        ASSERT_TRUE(WritePrinter(printer_, const_cast<BYTE*>(chunk.data()), size, &written));
        ASSERT_EQ(written, size);
        done += written;
    }
    ASSERT_TRUE(EndDocPrinter(printer_));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(Job(id).size, kTotal);
    EXPECT_EQ(std::filesystem::file_size(w32::JobHostPath(id)), kTotal);
}

}  // namespace

// The job's output sink: how writes are cut into WritePrinter calls, what a
// short write does to the rest of the job, the routing to the spool and form
// files, and the file copy and pattern search that read through the buffer.
#include <gtest/gtest.h>
#include <windows.h>

#include <numeric>
#include <string>
#include <vector>

#include "job_fixture.h"
#include "kernel32/filefaults.h"
#include "pcl6/gdi/forms.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/spool.h"

namespace tam::test {
namespace {

using OutputSink = JobTest;

// Bytes that show where each one came from: value i of a pattern is
// (seed + i * 7) mod 251.
Bytes Pattern(size_t count, int seed) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = BYTE((seed + i * 7) % 251);
    return bytes;
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct Segmentation {
    const char* name;
    size_t pending;             // bytes written first
    size_t length;              // then one write of this many
    std::vector<DWORD> writes;  // the WritePrinter calls, the final flush's included
    size_t leftInBuffer;        // pending after the second write
};

TEST_F(OutputSink, CutsWritesIntoBlocksOfTheSpoolerCalls) {
    const Segmentation cases[] = {
        {"a full buffer and one byte", 4096, 1, {4096, 1}, 1},
        {"200000 bytes after 10", 10, 200000, {10, 61440, 61440, 61440, 15680}, 0},
        {"60000 bytes after 10", 10, 60000, {10, 60000}, 0},
        {"2729 bytes into a nearly full buffer", 4000, 2729, {4000, 2729}, 2729},
        {"2730 bytes into a nearly full buffer", 4000, 2730, {4000, 2730}, 0},
        {"a write that fits is buffered whole", 100, 3996, {4096}, 4096},
        {"61441 bytes into an empty buffer", 0, 61441, {61440, 1}, 1},
    };
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    for (const Segmentation& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes first = Pattern(c.pending, 1), second = Pattern(c.length, 2);
        size_t left = 0;
        auto scenario = [&](PDEV* p) {
            ASSERT_TRUE(Spool_Write(p, first.data(), DWORD(first.size())));
            ASSERT_TRUE(Spool_Write(p, second.data(), DWORD(second.size())));
            left = p->Job.State.Output.OutBufferFill;
        };
        EXPECT_EQ(WriteSizes(pdev, scenario), c.writes);
        EXPECT_EQ(left, c.leftInBuffer);
        // Nothing lost or reordered.
        EXPECT_EQ(JobBytes(), Joined({first, second}));
        EXPECT_EQ(pdev->Job.State.Output.BytesToPrinter, INT32(c.pending + c.length));
    }
}

TEST_F(OutputSink, LongOutputReachesThePrinterInOrderInBlocksOfAtMost61440) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    // A spooler that refuses any longer call would set the output error.
    w32::PrinterWriteBehaviour limit;
    limit.maxBytesPerCall = OUTBUF_MAX_BLOCK;
    w32::SetPrinterWriteBehaviour(kKorvanLaser, limit);
    OpenJob(pdev);
    Bytes expected;
    const size_t lengths[] = {3, 700000, 17, 4095, 2731, 123457, 1};
    int seed = 0;
    for (size_t length : lengths) {
        const Bytes part = Pattern(length, ++seed);
        ASSERT_TRUE(Spool_Write(pdev, part.data(), DWORD(part.size())));
        expected.insert(expected.end(), part.begin(), part.end());
    }
    Spool_Flush(pdev);
    EXPECT_FALSE(Job_IsOutputError(pdev));
    EXPECT_EQ(JobBytes(), expected);
}

TEST_F(OutputSink, ShortWriteDropsTheRestOfTheJob) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    w32::PrinterWriteBehaviour shortWrites;
    shortWrites.shortWriteEvery = 2;  // the second call takes half its bytes
    w32::SetPrinterWriteBehaviour(kKorvanLaser, shortWrites);
    OpenJob(pdev);

    const Bytes first = Pattern(4000, 1), second = Pattern(200, 2);
    ASSERT_TRUE(Spool_Write(pdev, first.data(), DWORD(first.size())));
    ASSERT_TRUE(Spool_Write(pdev, second.data(), DWORD(second.size())));  // flushes the first 4000
    EXPECT_FALSE(Job_IsOutputError(pdev));
    EXPECT_FALSE(Spool_Flush(pdev));  // the second call comes back short
    EXPECT_TRUE(Job_IsOutputError(pdev));
    const size_t taken = JobBytes().size();
    EXPECT_EQ(taken, 4000u + 100u);

    // From now on every write of the job fails and nothing more is sent.
    w32::ClearPrinterWriteBehaviours();
    EXPECT_FALSE(Spool_Write(pdev, first.data(), 10));
    EXPECT_FALSE(Spool_Printf(pdev, "@PJL EOJ\r\n"));
    EXPECT_FALSE(Spool_WritePrinter(pdev, first.data(), 10));
    EXPECT_FALSE(Spool_WriteBlock(pdev, first.data(), 10));
    EXPECT_FALSE(Spool_Flush(pdev));
    const Bytes big = Pattern(100000, 3);
    EXPECT_FALSE(Spool_Write(pdev, big.data(), DWORD(big.size())));
    EXPECT_EQ(pdev->Job.State.Output.OutBufferFill, 0u);
    EXPECT_EQ(JobBytes().size(), taken);

    // The job still ends cleanly.
    CloseJob();
    auto job = w32::FindJob(jobId());
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(job->state, w32::JobState::Printed);
    EXPECT_EQ(job->size, taken);
}

TEST_F(OutputSink, FailedWriteCountsAsShort) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    w32::PrinterWriteBehaviour failing;
    failing.failNthWrite = 1;
    w32::SetPrinterWriteBehaviour(kKorvanLaser, failing);
    OpenJob(pdev);
    const Bytes data = Pattern(5000, 1);
    // A direct block fails; the write itself still reports the buffering.
    EXPECT_TRUE(Spool_Write(pdev, data.data(), DWORD(data.size())));
    EXPECT_TRUE(Job_IsOutputError(pdev));
    EXPECT_EQ(pdev->Job.State.Output.BytesToPrinter, 0);
    EXPECT_EQ(pdev->Job.State.Output.PageBytes, 0);
    EXPECT_TRUE(JobBytes().empty());
}

TEST_F(OutputSink, FlushOfAnEmptyBufferWritesNothing) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    EXPECT_FALSE(Spool_Flush(pdev));
    EXPECT_TRUE(JobBytes().empty());
    EXPECT_FALSE(Job_IsOutputError(pdev));

    ASSERT_TRUE(Spool_Printf(pdev, "@PJL SET COPIES=%d\r\n", 12));
    EXPECT_EQ(pdev->Job.State.Output.OutBufferFill, 20u);  // no NUL
    Spool_DiscardBuffer(pdev);
    EXPECT_FALSE(Spool_Flush(pdev));
    EXPECT_TRUE(JobBytes().empty());
}

TEST_F(OutputSink, XYAttributeIsOneSevenByteWrite) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    const POINTS xy = {-2, 600};
    ASSERT_TRUE(Spool_WriteXYAttr(pdev, &xy, 0x2A));
    EXPECT_EQ(TakeOutput(pdev), Hex("D3 FE FF 58 02 F8 2A"));
}

// The page prologue is written before drawing bytes of a page that started
// without it, and the internal check names the sink.
TEST_F(OutputSink, DrawingBeforeThePrologueAsksForIt) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    pdev->Job.JobFlags |= JOBF_SESSION_BEGUN | JOBF_PAGE_STARTED;
    const BYTE op = 0x85;
    ASSERT_TRUE(Spool_Write(pdev, &op, 1));
    EXPECT_TRUE(pdev->Job.JobFlags & JOBF_PROLOGUE_WRITTEN);
    EXPECT_TRUE(pdev->Job.JobFlags & JOBF_CHECK_REPORTED);
    EXPECT_STREQ(pdev->Job.Gstate.CheckText, "File:spool Line:3824\n");

    // Without a begun session there is no prologue to write.
    OpenJob(pdev);
    pdev->Job.JobFlags |= JOBF_PAGE_STARTED;
    ASSERT_TRUE(Spool_Write(pdev, &op, 1));
    EXPECT_FALSE(pdev->Job.JobFlags & JOBF_PROLOGUE_WRITTEN);
    EXPECT_FALSE(pdev->Job.JobFlags & JOBF_CHECK_REPORTED);
}

// Files on the machine that the sink writes to or reads from.
class SinkFiles : public OutputSink {
protected:
    HANDLE OpenFile(const std::u16string& path) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
        files_.push_back(file);
        return file;
    }

    static Bytes FileBytes(HANDLE file) {
        LARGE_INTEGER zero{};
        SetFilePointerEx(file, zero, nullptr, FILE_BEGIN);
        Bytes bytes(GetFileSize(file, nullptr));
        DWORD read = 0;
        if (!bytes.empty()) {
            EXPECT_TRUE(ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr));
        }
        bytes.resize(read);
        return bytes;
    }

    static void Put(HANDLE file, const Bytes& bytes) {
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
        ASSERT_EQ(written, bytes.size());
    }

    void TearDown() override {
        w32::ClearFileFaults();
        for (HANDLE file : files_) CloseHandle(file);
        OutputSink::TearDown();
    }

private:
    std::vector<HANDLE> files_;
};

TEST_F(SinkFiles, RoutingSendsEachBlockToItsDestinations) {
    struct Route {
        UINT32 routing;
        bool printer, spool, form;
    };
    const Route routes[] = {
        {OUTF_TO_PRINTER, true, false, false},
        {OUTF_TO_SPOOL_FILE, false, true, false},
        {OUTF_TO_FORM_FILE, false, false, true},
        {OUTF_TO_PRINTER | OUTF_TO_SPOOL_FILE, true, true, false},
        {OUTF_TO_SPOOL_FILE | OUTF_TO_FORM_FILE, false, true, true},
        {0, false, false, false},
    };
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    const Bytes small = Pattern(300, 1), large = Pattern(70000, 2);
    const Bytes all = Joined({small, large});
    for (const Route& r : routes) {
        SCOPED_TRACE(r.routing);
        OpenJob(pdev, r.routing);
        const std::u16string suffix = std::u16string(1, char16_t(u'a' + (&r - routes)));
        HANDLE spool = OpenFile(u"C:\\spool" + suffix + u".tmp");
        HANDLE form = OpenFile(u"C:\\form" + suffix + u".dfd");
        pdev->Job.State.Spool.SpoolFileHandle = spool;
        pdev->Job.State.Forms.FormWriteHandle = form;
        ASSERT_TRUE(Spool_Write(pdev, small.data(), DWORD(small.size())));
        ASSERT_TRUE(Spool_Write(pdev, large.data(), DWORD(large.size())));
        Spool_Flush(pdev);
        EXPECT_EQ(JobBytes(), r.printer ? all : Bytes());
        EXPECT_EQ(FileBytes(spool), r.spool ? all : Bytes());
        EXPECT_EQ(FileBytes(form), r.form ? all : Bytes());
        EXPECT_EQ(pdev->Job.State.Output.PageBytes, INT32(all.size()));
        EXPECT_EQ(pdev->Job.State.Output.BytesToPrinter, r.printer ? INT32(all.size()) : 0);
        CloseJob();
    }
}

TEST_F(SinkFiles, FailedSpoolFileWriteStopsTheBlockAndEndsTheJob) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev, OUTF_TO_SPOOL_FILE | OUTF_TO_FORM_FILE);
    HANDLE form = OpenFile(u"C:\\form.dfd");
    pdev->Job.State.Spool.SpoolFileHandle = INVALID_HANDLE_VALUE;
    pdev->Job.State.Forms.FormWriteHandle = form;
    const Bytes block = Pattern(10, 1);
    EXPECT_FALSE(Spool_WriteBlock(pdev, block.data(), DWORD(block.size())));
    EXPECT_TRUE(FileBytes(form).empty());
    EXPECT_EQ(pdev->Job.State.Output.PageBytes, 0);
    // The stored job lacks the block: nothing more of the job is written.
    EXPECT_TRUE(Job_IsOutputError(pdev));
    EXPECT_EQ(pdev->Job.State.Spool.FailureReason, DWORD(SPOOL_FAIL_FILE_WRITE));
    EXPECT_EQ(pdev->Job.State.Spool.FailureError, DWORD(ERROR_INVALID_HANDLE));
}

// A form recorded without one of its blocks would be kept broken: the
// failed write ends the job as a failed spool-file write does.
TEST_F(SinkFiles, FailedFormFileWriteStopsTheBlockAndEndsTheJob) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev, OUTF_TO_FORM_FILE);
    pdev->Job.State.Forms.FormWriteHandle = INVALID_HANDLE_VALUE;
    const Bytes block = Pattern(10, 1);
    EXPECT_FALSE(Spool_WriteBlock(pdev, block.data(), DWORD(block.size())));
    EXPECT_EQ(pdev->Job.State.Output.PageBytes, 0);
    EXPECT_TRUE(Job_IsOutputError(pdev));
    EXPECT_EQ(pdev->Job.State.Spool.FailureReason, DWORD(SPOOL_FAIL_FORM_WRITE));
    EXPECT_EQ(pdev->Job.State.Spool.FailureError, DWORD(ERROR_INVALID_HANDLE));
}

// The same through the file layer's write faults: the recording's second
// block fails on the disk; the job's output failure is latched, so nothing
// more is written anywhere, and the form keeps only what it took.
TEST_F(SinkFiles, FormFileWriteFaultWhileRecordingEndsTheJob) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev, OUTF_TO_PRINTER | OUTF_TO_FORM_FILE);
    HANDLE form = OpenFile(u"C:\\letterhead.dfd");
    pdev->Job.State.Forms.FormWriteHandle = form;
    w32::FileFaults faults;
    faults.namePattern = u"*.dfd";
    faults.failNthWrite = 2;
    faults.writeError = ERROR_DISK_FULL;
    w32::SetFileFaults(faults);
    const Bytes first = Pattern(100, 1), second = Pattern(100, 2), third = Pattern(100, 3);
    ASSERT_TRUE(Spool_Write(pdev, first.data(), DWORD(first.size())));
    EXPECT_TRUE(Spool_Flush(pdev));
    ASSERT_TRUE(Spool_Write(pdev, second.data(), DWORD(second.size())));
    EXPECT_FALSE(Spool_Flush(pdev));
    w32::ClearFileFaults();
    EXPECT_TRUE(Job_IsOutputError(pdev));
    EXPECT_EQ(pdev->Job.State.Spool.FailureReason, DWORD(SPOOL_FAIL_FORM_WRITE));
    EXPECT_EQ(pdev->Job.State.Spool.FailureError, DWORD(ERROR_DISK_FULL));
    // Nothing after the failure is taken.
    EXPECT_FALSE(Spool_Write(pdev, third.data(), DWORD(third.size())));
    Spool_Flush(pdev);
    EXPECT_EQ(FileBytes(form), first);
    EXPECT_EQ(JobBytes(), Joined({first, second}));
}

// A stored range copied into the form being recorded: a fragment the form file
// refuses fails the copy and the job, instead of the copy answering TRUE.
TEST_F(SinkFiles, FormFileWriteFaultDuringACopyFailsTheCopyAndTheJob) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    HANDLE source = OpenFile(u"C:\\source.tmp");
    const Bytes content = Pattern(10000, 5);
    Put(source, content);
    OpenJob(pdev, OUTF_TO_PRINTER | OUTF_FORM_RECORD);
    lstrcpynW(pdev->Job.State.Forms.FormPath, u"C:\\Forms\\Korvan\\letterhead", MAX_PATH);
    HANDLE form = OpenFile(u"C:\\recorded.dfd");
    pdev->Job.State.Forms.FormWriteHandle = form;
    w32::FileFaults faults;
    faults.namePattern = u"recorded.dfd";
    faults.failNthWrite = 2;  // the second 4096-byte fragment
    w32::SetFileFaults(faults);
    SetLastError(0);
    EXPECT_FALSE(Spool_CopyFromFile(pdev, source, 0, 10000));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_WRITE_FAULT));
    w32::ClearFileFaults();
    EXPECT_TRUE(Job_IsOutputError(pdev));
    EXPECT_EQ(pdev->Job.State.Spool.FailureReason, DWORD(SPOOL_FAIL_FORM_WRITE));
    EXPECT_EQ(FileBytes(form), Bytes(content.begin(), content.begin() + 4096));
    EXPECT_TRUE(JobBytes().empty());
}

TEST_F(SinkFiles, CopiesFileRangesToThePrinterOrTheFormBeingRecorded) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    HANDLE source = OpenFile(u"C:\\source.tmp");
    const Bytes content = Pattern(10000, 5);
    Put(source, content);

    OpenJob(pdev);
    EXPECT_TRUE(Spool_CopyFromFile(pdev, source, 1000, 8500));
    EXPECT_EQ(JobBytes(), Bytes(content.begin() + 1000, content.begin() + 9500));
    // A range that runs past the end is not there whole: it fails, sending
    // nothing of its last short fragment.
    SetLastError(0);
    EXPECT_FALSE(Spool_CopyFromFile(pdev, source, 9990, 100));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_HANDLE_EOF));
    EXPECT_EQ(JobBytes().size(), 8500u);
    EXPECT_TRUE(Spool_CopyFromFile(pdev, source, 5, 0));
    EXPECT_FALSE(Spool_CopyFromFile(pdev, nullptr, 0, 10));

    // Recording a form: the bytes go into the form file, whose folders are made.
    OpenJob(pdev, OUTF_TO_PRINTER | OUTF_FORM_RECORD);
    const std::u16string formPath = u"C:\\Forms\\Korvan\\letterhead";
    lstrcpynW(pdev->Job.State.Forms.FormPath, formPath.c_str(), MAX_PATH);
    HANDLE form = OpenFile(u"C:\\recorded.dfd");
    pdev->Job.State.Forms.FormWriteHandle = form;
    EXPECT_TRUE(Spool_CopyFromFile(pdev, source, 0, 5000));
    EXPECT_EQ(FileBytes(form), Bytes(content.begin(), content.begin() + 5000));
    EXPECT_TRUE(JobBytes().empty());
    const DWORD folder = GetFileAttributesW(u"C:\\Forms\\Korvan");
    EXPECT_TRUE(folder != INVALID_FILE_ATTRIBUTES && (folder & FILE_ATTRIBUTE_DIRECTORY));

    // A failed printer write stops the copy.
    OpenJob(pdev);
    pdev->Job.JobFlags |= JOBF_OUTPUT_ERROR;
    EXPECT_FALSE(Spool_CopyFromFile(pdev, source, 0, 100));
}

TEST_F(SinkFiles, FindsPatternsAcrossChunksAndStopsAtTheEnd) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    HANDLE file = OpenFile(u"C:\\pages.tmp");
    Bytes content(10000, 0x11);
    const Bytes mark = Hex("F8 31 44");
    // One mark straddling the first chunk border (4096), one further on, and
    // a last candidate cut off by the end of the file.
    std::copy(mark.begin(), mark.end(), content.begin() + 4095);
    std::copy(mark.begin(), mark.end(), content.begin() + 7000);
    content[9998] = 0xF8;
    content[9999] = 0x31;
    Put(file, content);

    struct Search {
        DWORD start;
        BOOL found;
        DWORD position;
    };
    const Search searches[] = {
        {0, TRUE, 4095}, {4095, TRUE, 4095}, {4096, TRUE, 7000}, {7001, FALSE, 0}, {20000, FALSE, 0},
    };
    for (const Search& s : searches) {
        SCOPED_TRACE(s.start);
        DWORD position = 12345;
        EXPECT_EQ(Spool_FindPattern(pdev, file, s.start, mark.data(), DWORD(mark.size()), &position), s.found);
        EXPECT_EQ(position, s.position);
    }
    // A one-byte pattern at the very start.
    DWORD position = 1;
    const BYTE first = 0x11;
    EXPECT_TRUE(Spool_FindPattern(pdev, file, 0, &first, 1, &position));
    EXPECT_EQ(position, 0u);
    EXPECT_TRUE(JobBytes().empty());
}

TEST_F(SinkFiles, FormPathChecks) {
    EXPECT_FALSE(Form_CheckPath(u"C:\\Forms\\memo", FORM_PATH_EXISTS));
    EXPECT_TRUE(Form_CheckPath(u"C:\\Forms\\A\\B\\memo", FORM_PATH_MAKE_FOLDERS));
    const DWORD made = GetFileAttributesW(u"C:\\Forms\\A\\B");
    EXPECT_TRUE(made != INVALID_FILE_ATTRIBUTES && (made & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(Form_CheckPath(u"C:\\Forms\\A\\B\\memo", FORM_PATH_EXISTS));
    OpenFile(u"C:\\Forms\\A\\B\\memo.dfd");
    EXPECT_TRUE(Form_CheckPath(u"C:\\Forms\\A\\B\\memo", FORM_PATH_EXISTS));
    // A drive that does not exist cannot take folders.
    EXPECT_FALSE(Form_CheckPath(u"Q:\\Forms\\memo", FORM_PATH_MAKE_FOLDERS));
    EXPECT_FALSE(Form_CheckPath(u"", FORM_PATH_EXISTS));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace tam::test

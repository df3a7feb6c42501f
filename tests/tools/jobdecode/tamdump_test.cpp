// The tamdump tool as a process: its output and exit codes.
#include "sample_job.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tam::job::test {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class Tamdump : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) / ("tamdump-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        tool_ = fs::read_symlink("/proc/self/exe").parent_path() / "tamdump";
        ASSERT_TRUE(fs::exists(tool_)) << tool_;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string WriteJob(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path.string();
    }

    RunResult Run(const std::vector<std::string>& args) {
        std::string command = Quote(tool_.string());
        for (const std::string& a : args) command += " " + Quote(a);
        const fs::path errPath = dir_ / "stderr.txt";
        command += " 2>" + Quote(errPath.string());
        RunResult r;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return r;
        char buffer[4096];
        size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, got);
        const int status = pclose(pipe);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream err(errPath);
        std::stringstream text;
        text << err.rdbuf();
        r.err = text.str();
        return r;
    }

    fs::path dir_;
    fs::path tool_;
};

TEST_F(Tamdump, PrintsAWellFormedJobAndExitsZero) {
    JobBuilder b;
    BuildSampleJob(b);
    const RunResult r = Run({WriteJob("good.job", b.bytes)});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, FormatJob(Decode(b)));
    EXPECT_NE(r.out.find(" BeginSession Measure=eInch UnitsPerMeasure=(600,600) ErrorReport=eBackChAndErrPage\n"),
              std::string::npos);
    EXPECT_NE(r.out.find(" @PJL SET JOBOWNER=\"丢上海-PC\"\n"), std::string::npos);
}

TEST_F(Tamdump, ListsProblemsWithOffsetsAndExitsOne) {
    JobBuilder b;
    b.JobStart();
    const size_t at = b.Size();
    b.Raw({0xC6}).JobEnd();
    const RunResult r = Run({WriteJob("bad.job", b.bytes)});
    EXPECT_EQ(r.code, 1);
    char line[80];
    std::snprintf(line, sizeof line, "1 problem(s):\noffset %zu (0x%08zX): unknown tag 0xC6\n", at, at);
    EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("1 problem(s), the first at offset " + std::to_string(at)), std::string::npos) << r.err;
}

TEST_F(Tamdump, UsageAndFileErrorsExitTwo) {
    const RunResult none = Run({});
    EXPECT_EQ(none.code, 2);
    EXPECT_NE(none.err.find("usage: tamdump JOBFILE"), std::string::npos);
    EXPECT_EQ(none.out, "");

    const RunResult two = Run({"a", "b"});
    EXPECT_EQ(two.code, 2);

    const std::string missing = (dir_ / "missing.job").string();
    const RunResult absent = Run({missing});
    EXPECT_EQ(absent.code, 2);
    EXPECT_NE(absent.err.find("cannot read " + missing + ": No such file or directory"), std::string::npos)
        << absent.err;

    const RunResult folder = Run({dir_.string()});
    EXPECT_EQ(folder.code, 2);
    EXPECT_NE(folder.err.find("cannot read"), std::string::npos);
}

}  // namespace
}  // namespace tam::job::test

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "machine/debuglog.h"
#include "machine/machine.h"

extern char** environ;

namespace {

class DebugOutput : public testing::Test {
protected:
    void SetUp() override {
        w32::DebugLogClear();
        w32::Machine::Current().MutableSettings().ansiCodePage = 1252;
    }
    void TearDown() override { w32::Machine::Current().MutableSettings() = saved_; }

    w32::MachineSettings saved_ = w32::Machine::Current().Settings();
};

TEST_F(DebugOutput, WideTextReachesTheLogAsUtf8) {
    OutputDebugStringW(u"Tamrend: DrvEnablePDEV\n");
    OutputDebugStringW(u"\u6253\u5370 \xD83D\xDDA8");
    EXPECT_EQ(w32::DebugLogText(), "Tamrend: DrvEnablePDEV\n\xE6\x89\x93\xE5\x8D\xB0 \xF0\x9F\x96\xA8");
    w32::DebugLogClear();
    EXPECT_EQ(w32::DebugLogText(), "");
}

TEST_F(DebugOutput, NarrowTextIsReadInTheAnsiCodePage) {
    OutputDebugStringA("caf\xE9 ");  // 1252: é
    w32::Machine::Current().MutableSettings().ansiCodePage = 936;
    OutputDebugStringA("\xB4\xF2\xD3\xA1");  // 936: 打印
    EXPECT_EQ(w32::DebugLogText(), "caf\xC3\xA9 \xE6\x89\x93\xE5\x8D\xB0");
}

TEST_F(DebugOutput, KeepsTheLastErrorAndIgnoresNull) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    OutputDebugStringA("x");
    OutputDebugStringW(u"y");
    OutputDebugStringA(nullptr);
    OutputDebugStringW(nullptr);
    OutputDebugStringA("");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(w32::DebugLogText(), "xy");
}

// The copy to standard error is decided once per process, so the test runs
// itself again as a child with the variable set and reads the child's stderr.
constexpr char kChildMarker[] = "TAM_DEBUG_OUTPUT_TEST_CHILD";

std::string RunChild(const char* stderrSetting) {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string filter = std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        if (entry.rfind("TAM_DEBUG_STDERR=", 0) != 0) env.push_back(entry);
    }
    env.push_back(std::string(kChildMarker) + "=1");
    if (stderrSetting) env.push_back(std::string("TAM_DEBUG_STDERR=") + stderrSetting);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe";
    std::vector<char*> argv = {self.data(), filter.data(), nullptr};

    int fds[2];
    if (pipe(fds) != 0) return "<pipe failed>";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string captured;
    if (rc == 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof(buffer))) > 0) captured.append(buffer, size_t(n));
    }
    close(fds[0]);
    if (rc != 0) return "<spawn failed>";
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child failed: " << captured;
    return captured;
}

TEST_F(DebugOutput, CopiedToStandardErrorWhenTheEnvironmentAsks) {
    if (std::getenv(kChildMarker)) {
        OutputDebugStringW(u"Tamsheet: wide line\n");
        OutputDebugStringA("Tamsheet: caf\xE9\n");
        EXPECT_EQ(w32::DebugLogText(), "Tamsheet: wide line\nTamsheet: caf\xC3\xA9\n");  // the log keeps it as well
        return;
    }
    std::string on = RunChild("1");
    EXPECT_NE(on.find("Tamsheet: wide line\nTamsheet: caf\xC3\xA9\n"), std::string::npos) << on;
    for (const char* setting : {static_cast<const char*>(nullptr), "0"}) {
        std::string off = RunChild(setting);
        EXPECT_EQ(off.find("Tamsheet:"), std::string::npos) << (setting ? setting : "(unset)") << ": " << off;
    }
}

}  // namespace

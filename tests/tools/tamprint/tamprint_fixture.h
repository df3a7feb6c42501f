// The print tool run as a process, as a user runs it: each test gets a
// temporary folder that is the tool's working folder and holds its machine
// (--machine) and its job file (-o). $TAM_MACHINE points into that folder
// too, so that a run without --machine never touches a real default machine.
#pragma once
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "jobdecode.h"

namespace tam::test {

struct RunResult {
    int code = -1;
    std::string out;
    std::string err;
};

class TamprintTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "tamprint-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        tool_ = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tamprint";
        ASSERT_TRUE(std::filesystem::exists(tool_)) << tool_;
    }

    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    const std::filesystem::path& Dir() const { return dir_; }
    std::filesystem::path MachineFolder() const { return dir_ / "machine"; }
    std::filesystem::path JobPath() const { return dir_ / "out.job"; }
    std::filesystem::path DefaultMachineFolder() const { return dir_ / "default-machine"; }

    // Runs the tool with `args` in the test's folder; `input` is its
    // standard input, or the file or folder `inputFrom` when one is given.
    RunResult Run(const std::vector<std::string>& args, const std::string& input = {},
                  const std::filesystem::path& inputFrom = {}) {
        return RunAtOnce({args}, input, inputFrom).front();
    }

    // Runs the tool once for each argument list, all at the same time, and
    // waits for every run.
    std::vector<RunResult> RunAtOnce(const std::vector<std::vector<std::string>>& runs, const std::string& input = {},
                                     const std::filesystem::path& inputFrom = {}) {
        return RunCommands(runs, input, inputFrom, {});
    }

    // Prints on the test's machine as Print does, with the tool's standard
    // error on a terminal of the test's own (a pseudo-terminal in raw mode,
    // so that its bytes arrive as written); `err` holds what reached it.
    RunResult PrintOnTerminal(std::vector<std::string> args) {
        args.insert(args.end(), {"--machine", MachineFolder().string(), "-o", JobPath().string()});
        RunResult result;
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
            if (master >= 0) close(master);
            ADD_FAILURE() << "no pseudo-terminal";
            return result;
        }
        const std::string terminal = ptsname(master);
        const int slave = open(terminal.c_str(), O_RDWR | O_NOCTTY);  // held open for the whole run
        if (slave < 0) {
            close(master);
            ADD_FAILURE() << "cannot open " << terminal;
            return result;
        }
        termios mode{};
        EXPECT_EQ(tcgetattr(slave, &mode), 0);
        cfmakeraw(&mode);
        EXPECT_EQ(tcsetattr(slave, TCSANOW, &mode), 0);
        // Read while the tool runs, so that it never waits on a full terminal.
        std::atomic<bool> done = false;
        std::string seen;
        std::thread reader([&] {
            char block[4096];
            pollfd wait{master, POLLIN, 0};
            for (;;) {
                ssize_t got = 0;
                if (poll(&wait, 1, 50) == 1 && (got = read(master, block, sizeof block)) > 0) {
                    seen.append(block, size_t(got));
                    continue;
                }
                if (done) return;  // the run has ended and nothing more is waiting
            }
        });
        result = RunCommands({args}, {}, {}, terminal).front();
        done = true;
        reader.join();
        close(slave);
        close(master);
        result.err = seen;
        return result;
    }

    // Prints on the test's machine into the test's job file.
    RunResult Print(std::vector<std::string> args) {
        args.insert(args.end(), {"--machine", MachineFolder().string(), "-o", JobPath().string()});
        return Run(args);
    }

    std::filesystem::path WriteFile(const std::string& name, const std::string& text) const {
        const std::filesystem::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string ReadText(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    static job::DecodedJob Decode(const std::filesystem::path& path) { return job::DecodeJob(ReadText(path)); }

    // The files in the test's folder other than its own, by name.
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            if (name != ".stdin" && name.rfind(".stdout", 0) != 0 && name.rfind(".stderr", 0) != 0)
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    // The runs of RunAtOnce; with `errorTo`, every run's standard error goes
    // there and `err` stays empty.
    std::vector<RunResult> RunCommands(const std::vector<std::vector<std::string>>& runs, const std::string& input,
                                       const std::filesystem::path& inputFrom, const std::string& errorTo) {
        const std::filesystem::path in = dir_ / ".stdin";
        std::ofstream(in, std::ios::binary) << input;
        std::string command = "cd " + Quote(dir_.string()) + " && export TAM_MACHINE=" +
                              Quote(DefaultMachineFolder().string()) + " && {";
        for (size_t i = 0; i < runs.size(); ++i) {
            command += " (" + Quote(tool_.string());
            for (const std::string& arg : runs[i]) command += " " + Quote(arg);
            command += " <" + Quote((inputFrom.empty() ? in : inputFrom).string()) + " >" + Quote(Own(".stdout", i)) +
                       " 2>" + Quote(errorTo.empty() ? Own(".stderr", i) : errorTo) + "; echo $? >" +
                       Quote(Own(".code", i)) + ") &";
        }
        command += " wait; }";
        std::vector<RunResult> results(runs.size());
        if (std::system(command.c_str()) == -1) return results;
        for (size_t i = 0; i < runs.size(); ++i) {
            const std::string code = ReadText(Own(".code", i));
            results[i].code = code.empty() ? -1 : std::atoi(code.c_str());
            results[i].out = ReadText(Own(".stdout", i));
            if (errorTo.empty()) results[i].err = ReadText(Own(".stderr", i));
            std::filesystem::remove(Own(".code", i));
        }
        return results;
    }

    // The test's own file of run `index` (".stdout", ".stdout1", ...).
    std::string Own(const char* name, size_t index) const {
        return (dir_ / (name + (index ? std::to_string(index) : std::string()))).string();
    }

    static std::string Quote(const std::string& text) {
        std::string quoted = "'";
        for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }

    std::filesystem::path dir_;
    std::filesystem::path tool_;
};

}  // namespace tam::test

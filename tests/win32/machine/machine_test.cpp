#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>

#include "machine/machine.h"
#include "support/machine_fixture.h"

namespace {

class MachineFolder : public tam::test::MachineTest {
protected:
    w32::MachineSettings MakeSettings() const override {
        w32::MachineSettings s = MachineTest::MakeSettings();
        s.computerName = u"\x6253\x5370-PC";  // Chinese characters survive the settings file
        s.userName = u"Ana";
        s.country = 49;
        s.ansiCodePage = 936;
        s.administrator = false;
        return s;
    }
};

TEST_F(MachineFolder, StandardFoldersExist) {
    const char16_t* folders[] = {
        u"C:\\Windows\\System32\\spool\\drivers\\x64\\3",
        u"C:\\Windows\\System32\\spool\\prtprocs\\x64",
        u"C:\\Windows\\INF",
        u"C:\\Program Files",
        u"C:\\Program Files (x86)",
        u"C:\\Users\\Ana\\AppData\\Roaming",
        u"C:\\Users\\Ana\\AppData\\Local\\Temp",
        u"C:\\Users\\Public",
        u"C:\\ProgramData",
        u"C:\\Program Files\\Korvan",  // the program's own folder
    };
    for (auto* folder : folders) EXPECT_TRUE(std::filesystem::is_directory(HostPath(folder))) << w32::ToUtf8(folder);
}

TEST_F(MachineFolder, EnvironmentPointsAtTheStandardFolders) {
    struct Case {
        const char16_t* name;
        const char16_t* value;
    };
    const Case cases[] = {
        {u"TEMP", u"C:\\Users\\Ana\\AppData\\Local\\Temp"}, {u"tmp", u"C:\\Users\\Ana\\AppData\\Local\\Temp"},
        {u"PUBLIC", u"C:\\Users\\Public"},                  {u"ALLUSERSPROFILE", u"C:\\ProgramData"},
        {u"APPDATA", u"C:\\Users\\Ana\\AppData\\Roaming"},   {u"SystemRoot", u"C:\\Windows"},
        {u"ProgramFiles", u"C:\\Program Files"},
    };
    for (const auto& c : cases) {
        std::u16string value;
        EXPECT_TRUE(machine().GetEnvironment(c.name, value)) << w32::ToUtf8(c.name);
        EXPECT_EQ(value, c.value) << w32::ToUtf8(c.name);
    }
}

TEST_F(MachineFolder, SettingsSurviveReopening) {
    machine().MutableSettings().osBuild = 22631;
    machine().SaveSettings();
    w32::Machine& again = Reopen();
    EXPECT_EQ(again.Settings().computerName, u"\x6253\x5370-PC");
    EXPECT_EQ(again.Settings().userName, u"Ana");
    EXPECT_EQ(again.Settings().country, 49u);
    EXPECT_EQ(again.Settings().ansiCodePage, 936u);
    EXPECT_FALSE(again.Settings().administrator);
    EXPECT_EQ(again.Settings().osBuild, 22631u);
    EXPECT_TRUE(again.Settings().virtualClock);
}

TEST_F(MachineFolder, DamagedSettingsAreReportedAndKept) {
    w32::Machine::CloseCurrent();
    auto file = machineFolder() / "machine.ini";
    {
        std::ofstream out(file, std::ios::app);
        out << "country=forty-nine\n";
    }
    auto before = std::filesystem::file_size(file);
    try {
        w32::Machine::Open(machineFolder());
        FAIL() << "a damaged settings file must not open";
    } catch (const w32::MachineError& e) {
        EXPECT_NE(std::string(e.what()).find("country"), std::string::npos) << e.what();
    }
    EXPECT_EQ(std::filesystem::file_size(file), before);
    w32::Machine::Create(machineFolder().parent_path() / "other");  // leave a machine for TearDown
}

// A machine is used by one process at a time: while another holds the
// folder (here a lock of the test's own, as another process would take),
// neither opening nor making a machine there goes ahead; once it lets go,
// the machine opens, and closing it lets the folder go again.
TEST_F(MachineFolder, AFolderInUseElsewhereIsRefusedUntilReleased) {
    w32::Machine::CloseCurrent();
    const int other = open(machineFolder().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_THROW(w32::Machine::Open(machineFolder()), w32::MachineBusy);
    EXPECT_THROW(w32::Machine::Create(machineFolder()), w32::MachineBusy);
    EXPECT_TRUE(std::filesystem::exists(machineFolder() / "machine.ini"));  // nothing touched
    ASSERT_EQ(flock(other, LOCK_UN), 0);

    w32::Machine& reopened = w32::Machine::Open(machineFolder());
    EXPECT_EQ(reopened.Settings().userName, u"Ana");
    EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);  // held while open
    w32::Machine::CloseCurrent();
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);  // and let go when closed
    close(other);
    w32::Machine::Open(machineFolder());  // leave a machine for TearDown
}

TEST(MachineOpen, MissingFolderIsReported) {
    auto folder = tam::test::MakeTempFolder();
    EXPECT_THROW(w32::Machine::Open(folder / "none"), w32::MachineError);
    std::filesystem::remove_all(folder);
}

TEST(MachineDefault, MemoryOnlyMachineHasNoDrive) {
    w32::Machine& m = w32::Machine::Current();
    EXPECT_FALSE(m.HasDrive());
    EXPECT_EQ(m.Settings().ansiCodePage, 1252u);
}

TEST_F(MachineFolder, VirtualClockMovesOnlyWhenAdvanced) {
    auto& clock = machine().TheClock();
    ULONGLONG start = clock.TickCount();
    ULONGLONG startTime = clock.NowFileTime();
    clock.Advance(90000);
    EXPECT_EQ(clock.TickCount(), start + 90000);
    EXPECT_EQ(clock.NowFileTime(), startTime + 90000ull * 10000);
}

}  // namespace

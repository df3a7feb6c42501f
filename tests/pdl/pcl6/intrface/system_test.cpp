// The version class, the default paper by country and the calling program.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>

#include "machine/unicode.h"
#include "pcl6/intrface/util.h"
#include "pdl/pcl6/intrface/util_cases.h"
#include "support/machine_fixture.h"

namespace tam::test {
namespace {

struct VersionCase {
    DWORD major;
    DWORD minor;
    int versionClass;
};
void PrintTo(const VersionCase& c, std::ostream* os) { *os << "Windows " << c.major << "." << c.minor; }

const VersionCase kVersions[] = {
    {6, 0, 1}, {6, 1, 2}, {6, 2, 2}, {6, 3, 2}, {5, 1, 0}, {5, 0, 0}, {10, 0, 0},
};

class VersionClass : public MachineTest, public testing::WithParamInterface<VersionCase> {};

TEST_P(VersionClass, FromTheReportedVersion) {
    auto& settings = machine().MutableSettings();
    settings.osMajor = GetParam().major;
    settings.osMinor = GetParam().minor;
    settings.programManifestsVersion = true;
    EXPECT_EQ(GetWindowsVersionClass(), GetParam().versionClass);
}

INSTANTIATE_TEST_SUITE_P(All, VersionClass, testing::ValuesIn(kVersions));

using SystemQueries = MachineTest;

TEST_F(SystemQueries, VersionClassOfAProgramWithoutManifestOnWindows10) {
    // Such a program is told 6.2.
    EXPECT_EQ(GetWindowsVersionClass(), 2);
}

class A4Country : public MachineTest, public testing::WithParamInterface<CountryCase> {};

TEST_P(A4Country, ByTheUsersCountryCode) {
    machine().MutableSettings().country = GetParam().country;
    EXPECT_EQ(IsA4Country(), GetParam().a4) << GetParam().country;
}

INSTANTIATE_TEST_SUITE_P(All, A4Country, testing::ValuesIn(kCountries));

struct ProgramCase {
    const char16_t* programPath;
    const char16_t* name;
    BOOL calling;
};
void PrintTo(const ProgramCase& c, std::ostream* os) {
    *os << w32::ToUtf8(c.programPath) << " as " << w32::ToUtf8(c.name);
}

const ProgramCase kPrograms[] = {
    {u"C:\\Program Files\\Microsoft Office\\root\\Office16\\MSPUB.EXE", u"MSPUB.EXE", TRUE},
    {u"C:\\Program Files\\Microsoft Office\\root\\Office16\\MSPUB.EXE", u"mspub.exe", TRUE},
    {u"C:\\Program Files\\Microsoft Office\\root\\Office16\\MSPUB.EXE", u"MSPUB", FALSE},
    {u"C:\\Apps\\notmspub.exe", u"mspub.exe", FALSE},
    {u"C:/Apps/mspub.exe", u"MSPUB.EXE", TRUE},
    {u"D:mspub.exe", u"mspub.exe", TRUE},
    // Only the file-name part is compared.
    {u"C:\\Apps\\mspub.exe", u"C:\\Apps\\mspub.exe", FALSE},
};

class CallingProgram : public MachineTest, public testing::WithParamInterface<ProgramCase> {};

TEST_P(CallingProgram, ByTheActiveWindowsModule) {
    machine().MutableSettings().programPath = GetParam().programPath;
    EXPECT_EQ(IsCallingApplication(GetParam().name, nullptr), GetParam().calling);
}

INSTANTIATE_TEST_SUITE_P(All, CallingProgram, testing::ValuesIn(kPrograms));

TEST_F(SystemQueries, CallingProgramNameIsReadUpTo255Characters) {
    std::u16string folder = u"C:\\" + std::u16string(248, u'f');
    machine().MutableSettings().programPath = folder + u"\\mspub.exe";
    // The name is cut at 255 characters: "msp".
    EXPECT_FALSE(IsCallingApplication(u"mspub.exe", nullptr));
    EXPECT_TRUE(IsCallingApplication(u"msp", nullptr));
}

// The user interface compares wide text: a name outside the ANSI code page
// matches only itself.
TEST_F(SystemQueries, CallingProgramComparesWideText) {
    machine().MutableSettings().programPath = u"C:\\Apps\\\u0394raw.exe";
    EXPECT_TRUE(IsCallingApplication(u"\u03b4RAW.EXE", nullptr));
    EXPECT_FALSE(IsCallingApplication(u"?raw.exe", nullptr));
}

TEST_F(SystemQueries, CallingProgramByWindowTitle) {
    machine().MutableSettings().programWindowTitle = u"Report.pub - Publisher";
    HWND window = GetActiveWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsCallingApplication(u"report.PUB - publisher", window));
    EXPECT_FALSE(IsCallingApplication(u"tamprint.exe", window));
    EXPECT_FALSE(IsCallingApplication(nullptr, nullptr));
}

}  // namespace
}  // namespace tam::test

// The rendering DLL's build of the shared routines: the same answers, with
// the country read through the system's multibyte conversion and the calling
// program compared as 8-bit text.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>

#include "machine/unicode.h"
#include "pcl6/intrface/util.h"
#include "pdl/pcl6/intrface/util_cases.h"
#include "support/machine_fixture.h"

namespace tam::test {
namespace {

class RenderA4Country : public MachineTest, public testing::WithParamInterface<CountryCase> {};

TEST_P(RenderA4Country, ByTheUsersCountryCode) {
    machine().MutableSettings().country = GetParam().country;
    EXPECT_EQ(IsA4Country(), GetParam().a4) << GetParam().country;
}

INSTANTIATE_TEST_SUITE_P(All, RenderA4Country, testing::ValuesIn(kCountries));

class RenderCountedBlock : public testing::TestWithParam<CounterCase> {};

TEST_P(RenderCountedBlock, CounterFollowsTheBlock) {
    LONG counter = 0;
    void* block = Util_GlobalAlloc(&counter, GetParam().size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(counter, GetParam().added);
    Util_GlobalFree(&counter, block);
    EXPECT_EQ(counter, 0);
}

INSTANTIATE_TEST_SUITE_P(All, RenderCountedBlock, testing::ValuesIn(kCounterSizes));

struct ProgramCase {
    const char16_t* programPath;
    const char* name;
    BOOL calling;
};
void PrintTo(const ProgramCase& c, std::ostream* os) { *os << w32::ToUtf8(c.programPath) << " as " << c.name; }

const ProgramCase kPrograms[] = {
    {u"C:\\Program Files\\Microsoft Office\\root\\Office16\\POWERPNT.EXE", "POWERPNT.EXE", TRUE},
    {u"C:\\Program Files\\Microsoft Office\\root\\Office16\\POWERPNT.EXE", "powerpnt.exe", TRUE},
    {u"C:\\Tools\\printdrvstress.exe", "ntsd printdrvstress.exe", FALSE},
    {u"C:\\Tools\\DevModeCorruptW.exe", "devmodecorruptw.EXE", TRUE},
    {u"C:/Tools/printdrvstress.exe", "PRINTDRVSTRESS.EXE", TRUE},
    // 8-bit text: a character outside the ANSI code page becomes "?".
    {u"C:\\Apps\\\u0394raw.exe", "?raw.exe", TRUE},
    {u"C:\\Apps\\Caf\u00e9.exe", "CAF\xc9.EXE", TRUE},
};

class RenderCallingProgram : public MachineTest, public testing::WithParamInterface<ProgramCase> {};

TEST_P(RenderCallingProgram, ByTheActiveWindowsModule) {
    machine().MutableSettings().programPath = GetParam().programPath;
    EXPECT_EQ(IsCallingApplication(GetParam().name, nullptr), GetParam().calling);
}

INSTANTIATE_TEST_SUITE_P(All, RenderCallingProgram, testing::ValuesIn(kPrograms));

using RenderSystemQueries = MachineTest;

TEST_F(RenderSystemQueries, CallingProgramByWindowTitle) {
    machine().MutableSettings().programWindowTitle = u"Slides.pptx - PowerPoint";
    HWND window = GetActiveWindow();
    EXPECT_TRUE(IsCallingApplication("slides.PPTX - powerpoint", window));
    EXPECT_FALSE(IsCallingApplication("tamprint.exe", window));
    EXPECT_FALSE(IsCallingApplication(nullptr, nullptr));
}

}  // namespace
}  // namespace tam::test

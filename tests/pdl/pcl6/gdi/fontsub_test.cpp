// The reader of the user's font-substitution list, and the list a PDEV
// keeps from enabling to disabling.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "fontdata.h"
#include "pcl6/gdi/fontsub.h"
#include "pdev_fixture.h"

namespace tam::test {
namespace {

using FontSubstitution = PdevTest;

std::u16string Face(const FontSubstitutionEntry& entry) { return std::u16string(entry.Units); }

TEST_F(FontSubstitution, MissingFileGivesNoList) {
    FontSubstitutionList list{7, nullptr};
    EXPECT_FALSE(Job_LoadFontData(nullptr, &list));
    EXPECT_EQ(list.Count, 7u) << "the caller's list is not touched";
    EXPECT_EQ(list.Entries, nullptr);
}

struct FileCase {
    const char* name;
    std::vector<BYTE> file;
    std::vector<std::u16string> faces;  // read, in order
};

TEST_F(FontSubstitution, ReadsTheEntriesTheFileHolds) {
    const auto arial = FontEntry(u"Arial", 3);
    const auto times = FontEntry(u"Times New Roman", 93);
    std::vector<BYTE> partial = FontFile(2, {arial});
    partial.resize(partial.size() + 500, 0x41);
    const FileCase cases[] = {
        {"count 0", FontFile(0, {}), {}},
        {"two entries", FontFile(2, {arial, times}), {u"Arial", u"Times New Roman"}},
        {"count beyond the entries", FontFile(5, {arial}), {u"Arial"}},
        {"huge count", FontFile(0xFFFFFFFF, {arial, times}), {u"Arial", u"Times New Roman"}},
        {"half an entry", partial, {u"Arial"}},
        {"no whole count", {1, 0}, {}},
        {"empty file", {}, {}},
    };
    for (const FileCase& c : cases) {
        WriteFontData(c.file);
        FontSubstitutionList list{};
        EXPECT_TRUE(Job_LoadFontData(nullptr, &list)) << c.name;
        ASSERT_EQ(list.Count, c.faces.size()) << c.name;
        if (c.faces.empty()) {
            EXPECT_EQ(list.Entries, nullptr) << c.name;
        }
        for (size_t i = 0; i < c.faces.size(); ++i) EXPECT_EQ(Face(list.Entries[i]), c.faces[i]) << c.name;
        Job_FreeFontData(&list);
        EXPECT_EQ(list.Count, 0u);
        EXPECT_EQ(list.Entries, nullptr);
    }
}

TEST_F(FontSubstitution, EntriesKeepTheirIndexAndEndInsideTheFace) {
    const std::u16string longFace(300, u'W');
    WriteFontData(FontFile(2, {FontEntry(u"Arial", 3), FontEntry(longFace, 42)}));
    FontSubstitutionList list{};
    ASSERT_TRUE(Job_LoadFontData(nullptr, &list));
    ASSERT_EQ(list.Count, 2u);
    EXPECT_EQ(list.Entries[0].Units[FONTSUB_RESIDENT_INDEX], 3);
    EXPECT_EQ(list.Entries[1].Units[FONTSUB_RESIDENT_INDEX], 42);
    EXPECT_EQ(Face(list.Entries[1]), longFace.substr(0, 255));
    Job_FreeFontData(&list);
}

TEST_F(FontSubstitution, EnablingReadsTheListAndDisablingFreesIt) {
    WriteFontData(FontFile(2, {FontEntry(u"Arial", 3), FontEntry(u"Courier New", 7)}));
    ByteImage settings = UiSettings();
    PDEV* pdev = Enable(settings);
    ASSERT_NE(pdev, nullptr);
    ASSERT_EQ(pdev->FontSubstitution.Count, 2u);
    EXPECT_EQ(Face(pdev->FontSubstitution.Entries[1]), u"Courier New");
    // The leak checker of the sanitizer build sees whether this frees the list.
    Disable(pdev);
}

}  // namespace
}  // namespace tam::test

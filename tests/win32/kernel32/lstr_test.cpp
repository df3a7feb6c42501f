#include <gtest/gtest.h>
#include <windows.h>

#include <string>

TEST(Lstr, LengthCountsUnitsAndTreatsNullAsEmpty) {
    EXPECT_EQ(lstrlenW(u"printer"), 7);
    EXPECT_EQ(lstrlenW(u"\xD83D\xDDA8"), 2);  // a surrogate pair is two units
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrlenA("abc"), 3);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST(Lstr, CopynAlwaysTerminatesInsideTheLimit) {
    struct Case {
        int limit;
        std::u16string expected;
    };
    const Case cases[] = {{1, u""}, {2, u"K"}, {6, u"Korva"}, {7, u"Korvan"}, {20, u"Korvan"}};
    for (const auto& c : cases) {
        WCHAR buffer[32];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(lstrcpynW(buffer, u"Korvan", c.limit), buffer);
        EXPECT_EQ(std::u16string(buffer), c.expected) << "limit " << c.limit;
        EXPECT_EQ(buffer[c.expected.size() + 1], u'#') << "wrote past the terminator, limit " << c.limit;
    }
    WCHAR untouched[2] = {u'#', u'#'};
    lstrcpynW(untouched, u"x", 0);
    EXPECT_EQ(untouched[0], u'#');
}

TEST(Lstr, CopyAndConcatenate) {
    WCHAR buffer[32];
    EXPECT_EQ(lstrcpyW(buffer, u"Korvan"), buffer);
    EXPECT_EQ(lstrcatW(buffer, u" Laser"), buffer);
    EXPECT_EQ(std::u16string(buffer), u"Korvan Laser");
    char narrow[16];
    lstrcpyA(narrow, "PJL");
    lstrcatA(narrow, " EOJ");
    EXPECT_STREQ(narrow, "PJL EOJ");
}

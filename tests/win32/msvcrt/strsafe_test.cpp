#include <gtest/gtest.h>
#include <strsafe.h>

#include <algorithm>
#include <string>

namespace {

template <size_t N>
void Poison(WCHAR (&buffer)[N]) {
    std::fill(std::begin(buffer), std::end(buffer), u'#');
}

}  // namespace

TEST(StrSafe, PrintfCutsToTheBufferAndTerminates) {
    struct Case {
        size_t cchDest;
        HRESULT result;
        std::u16string text;
    };
    const Case cases[] = {
        {16, S_OK, u"Korvan 42"},
        {10, S_OK, u"Korvan 42"},  // exactly fits with its terminator
        {9, STRSAFE_E_INSUFFICIENT_BUFFER, u"Korvan 4"},
        {4, STRSAFE_E_INSUFFICIENT_BUFFER, u"Kor"},
        {1, STRSAFE_E_INSUFFICIENT_BUFFER, u""},
    };
    for (const auto& c : cases) {
        WCHAR buffer[20];
        Poison(buffer);
        EXPECT_EQ(StringCchPrintfW(buffer, c.cchDest, u"%s %d", u"Korvan", 42), c.result) << c.cchDest;
        EXPECT_EQ(std::u16string(buffer), c.text) << c.cchDest;
        EXPECT_EQ(buffer[c.cchDest], u'#') << "wrote past cchDest " << c.cchDest;
    }
    EXPECT_EQ(STRSAFE_E_INSUFFICIENT_BUFFER, HRESULT(0x8007007A));
}

TEST(StrSafe, PrintfRejectsAnEmptyDestinationWithoutWriting) {
    WCHAR buffer[4];
    Poison(buffer);
    EXPECT_EQ(StringCchPrintfW(buffer, 0, u"x"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCbPrintfW(buffer, 1, u"x"), STRSAFE_E_INVALID_PARAMETER);  // less than one WCHAR
    EXPECT_EQ(buffer[0], u'#');
    char narrow[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(StringCchPrintfA(narrow, 0, "x"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(narrow[0], '#');
}

TEST(StrSafe, ByteCountAndNarrowForms) {
    WCHAR wide[8];
    Poison(wide);
    EXPECT_EQ(StringCbPrintfW(wide, 4 * sizeof(WCHAR), u"%05d", 7), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(wide), u"000");
    EXPECT_EQ(StringCbPrintfW(wide, sizeof(wide), u"%S", "ansi"), S_OK);
    EXPECT_EQ(std::u16string(wide), u"ansi");

    char narrow[6];
    EXPECT_EQ(StringCchPrintfA(narrow, sizeof(narrow), "%ls=%d", u"ab", 12), S_OK);
    EXPECT_EQ(std::string(narrow), "ab=12");
    EXPECT_EQ(StringCbPrintfA(narrow, sizeof(narrow), "%s", "toolong"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::string(narrow), "toolo");
}

TEST(StrSafe, CopyTruncatesAndReports) {
    struct Case {
        size_t cchDest;
        size_t cchToCopy;
        HRESULT result;
        std::u16string text;
    };
    const Case cases[] = {
        {8, STRSAFE_MAX_CCH, S_OK, u"driver"},
        {7, STRSAFE_MAX_CCH, S_OK, u"driver"},
        {6, STRSAFE_MAX_CCH, STRSAFE_E_INSUFFICIENT_BUFFER, u"drive"},
        {8, 3, S_OK, u"dri"},  // the count limits the source, not an error
        {3, 3, STRSAFE_E_INSUFFICIENT_BUFFER, u"dr"},
    };
    for (const auto& c : cases) {
        WCHAR buffer[10];
        Poison(buffer);
        HRESULT hr = c.cchToCopy == STRSAFE_MAX_CCH ? StringCchCopyW(buffer, c.cchDest, u"driver")
                                                     : StringCchCopyNW(buffer, c.cchDest, u"driver", c.cchToCopy);
        EXPECT_EQ(hr, c.result) << c.cchDest << "/" << c.cchToCopy;
        EXPECT_EQ(std::u16string(buffer), c.text) << c.cchDest << "/" << c.cchToCopy;
    }
    WCHAR buffer[4];
    Poison(buffer);
    EXPECT_EQ(StringCchCopyW(buffer, 0, u"x"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_EQ(StringCbCopyW(buffer, sizeof(buffer), u"abcd"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"abc");
}

TEST(StrSafe, CatAppendsWithinTheBuffer) {
    WCHAR buffer[8] = u"ab";
    EXPECT_EQ(StringCchCatW(buffer, 8, u"cd"), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"abcd");
    EXPECT_EQ(StringCchCatW(buffer, 8, u"efgh"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"abcdefg");
    EXPECT_EQ(StringCchCatW(buffer, 8, u""), S_OK);
    EXPECT_EQ(StringCchCatW(buffer, 8, u"x"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"abcdefg");

    WCHAR unterminated[4] = {u'a', u'b', u'c', u'd'};
    EXPECT_EQ(StringCchCatW(unterminated, 4, u"x"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(unterminated[3], u'd');

    WCHAR limited[8] = u"ab";
    EXPECT_EQ(StringCchCatNW(limited, 8, u"cdef", 2), S_OK);
    EXPECT_EQ(std::u16string(limited), u"abcd");
}

TEST(StrSafe, LengthStopsAtTheLimit) {
    size_t length = 99;
    EXPECT_EQ(StringCchLengthW(u"spool", 6, &length), S_OK);
    EXPECT_EQ(length, 5u);
    length = 99;
    EXPECT_EQ(StringCchLengthW(u"spool", 5, &length), STRSAFE_E_INVALID_PARAMETER);  // no terminator within 5
    EXPECT_EQ(length, 0u);
    length = 99;
    EXPECT_EQ(StringCchLengthW(nullptr, 5, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(StringCchLengthA("abc", STRSAFE_MAX_CCH, &length), S_OK);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(StringCbLengthW(u"spool", 12, &length), S_OK);
    EXPECT_EQ(length, 10u);  // bytes
}

// The checks and clean-up of names users type.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/ui/namecheck.h"

namespace {

struct NameCase {
    const char16_t* name;
    bool valid;
    const char16_t* cleaned;
};

const NameCase kNames[] = {
    {u"A<b>c.d", false, u"Abcd"},
    {u"a/b", false, u"ab"},
    {u"a.b", false, u"ab"},
    {u"x*", false, u"x"},
    {u"Office 2 copies", true, u"Office 2 copies"},
    {u"", true, u""},
    {u"<>(),;?:|\\/'.\"*", false, u""},  // all 15, nothing left
    {u"**a**", false, u"a"},
    {u"a\"b'c", false, u"abc"},
    {u"Tab\there", true, u"Tab\there"},
    {u"Caf\u00e9 (draft)", false, u"Caf\u00e9 draft"},
};

class NameCheck : public testing::TestWithParam<NameCase> {};

TEST_P(NameCheck, ValidityAndCleanUp) {
    const NameCase& c = GetParam();
    EXPECT_EQ(IsValidSettingName(c.name), c.valid ? TRUE : FALSE);
    std::u16string buffer(c.name);
    buffer.push_back(u'\0');
    EXPECT_EQ(RemoveForbiddenChars(buffer.data()), buffer.data());
    EXPECT_EQ(std::u16string(buffer.c_str()), c.cleaned);
    EXPECT_TRUE(IsValidSettingName(buffer.c_str()));
}

INSTANTIATE_TEST_SUITE_P(Names, NameCheck, testing::ValuesIn(kNames));

TEST(NameCheck, NoNameIsInvalidAndCleansToNone) {
    EXPECT_FALSE(IsValidSettingName(nullptr));
    EXPECT_EQ(RemoveForbiddenChars(nullptr), nullptr);
    EXPECT_EQ(TrimChar(nullptr, u'*'), nullptr);
}

struct TrimCase {
    const char16_t* text;
    char16_t character;
    const char16_t* trimmed;
};

const TrimCase kTrims[] = {
    {u"**a*b**", u'*', u"a*b"}, {u"****", u'*', u""},   {u"", u'*', u""},       {u"abc", u'*', u"abc"},
    {u"  two words ", u' ', u"two words"}, {u"*a", u'*', u"a"}, {u"a*", u'*', u"a"},
};

class TrimChars : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimChars, LeadingAndTrailingOnly) {
    const TrimCase& c = GetParam();
    std::u16string buffer(c.text);
    buffer += std::u16string(u"\0ZZZZ", 5);  // what follows the terminator is not the text's
    buffer.push_back(u'\0');
    EXPECT_EQ(TrimChar(buffer.data(), c.character), buffer.data());
    EXPECT_EQ(std::u16string(buffer.c_str()), c.trimmed);
}

INSTANTIATE_TEST_SUITE_P(Texts, TrimChars, testing::ValuesIn(kTrims));

}  // namespace

// The pages' access to public DEVMODE fields by DM_ flag, including the reads
// that repair the field they find out of range.
#include <gtest/gtest.h>
#include <windows.h>

#include "devmode_test_support.h"
#include "ui/ui/devmode.h"

using namespace devmode_test;

namespace {

// Offsets in the 5084-byte devmode (public part first).
struct GetCase {
    DWORD selector;
    size_t offset;
    int width;
    long long stored;
    SHORT read;
    long long storedAfter;
};

void PrintTo(const GetCase& c, std::ostream* os) {
    *os << "selector 0x" << std::hex << c.selector << std::dec << " holding " << c.stored;
}
const GetCase kGets[] = {
    {DM_ORIENTATION, 76, 2, -1, 1, 1},     {DM_ORIENTATION, 76, 2, 3, 1, 1},
    {DM_ORIENTATION, 76, 2, 0, 0, 0},      {DM_ORIENTATION, 76, 2, 2, 2, 2},
    {DM_PAPERSIZE, 78, 2, 295, 295, 295},  {DM_PAPERLENGTH, 80, 2, 2970, 2970, 2970},
    {DM_PAPERWIDTH, 82, 2, -5, -5, -5},    {DM_SCALE, 84, 2, 55, 100, 55},
    {DM_COPIES, 86, 2, 0, 1, 1},           {DM_COPIES, 86, 2, 1000, 1, 1},
    {DM_COPIES, 86, 2, 999, 999, 999},     {DM_COPIES, 86, 2, 1, 1, 1},
    {DM_DEFAULTSOURCE, 88, 2, 4, 4, 4},    {DM_PRINTQUALITY, 90, 2, 1200, 1200, 1200},
    {DM_COLOR, 92, 2, 2, 2, 2},            {DM_DUPLEX, 94, 2, 0, 1, 1},
    {DM_DUPLEX, 94, 2, 4, 1, 1},           {DM_DUPLEX, 94, 2, 3, 3, 3},
    {DM_DUPLEX, 94, 2, 5, 1, 1},           {DM_YRESOLUTION, 96, 2, 1200, 1200, 1200},
    {DM_COLLATE, 100, 2, -1, 0, 0},        {DM_COLLATE, 100, 2, 5, 5, 5},
    {0x404000, 220 + 10, 2, -2, 0, 0},     {0x404000, 220 + 10, 2, 3, 3, 3},
    {DM_MEDIATYPE, 196, 4, 0, 1, 1},       {DM_MEDIATYPE, 196, 4, 265, 1, 1},
    {DM_MEDIATYPE, 196, 4, 264, 264, 264}, {DM_MEDIATYPE, 196, 4, 0x80000000, 1, 1},
};

class DevmodePublicGet : public testing::TestWithParam<GetCase> {};

TEST_P(DevmodePublicGet, ReadsAndRepairsInPlace) {
    const GetCase& c = GetParam();
    auto context = MakeContext();
    UiDevmode& dm = context->devmode;
    memset(&dm, 0x33, sizeof(dm));
    WriteInt(&dm, c.offset, c.width, c.stored);
    UiDevmode expected = dm;
    WriteInt(&expected, c.offset, c.width, c.storedAfter);
    SHORT value = 0x7777;
    ASSERT_EQ(DevmodeGetPublicField(context.get(), c.selector, &value), S_OK);
    EXPECT_EQ(value, c.read);
    EXPECT_TRUE(DifferingOffsets(&dm, &expected, sizeof(dm)).empty());
}

INSTANTIATE_TEST_SUITE_P(Fields, DevmodePublicGet, testing::ValuesIn(kGets));

struct SetCase {
    DWORD selector;
    SHORT value;
    std::vector<std::pair<size_t, int>> fields;  // (offset, width) that take the value
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << "selector 0x" << std::hex << c.selector << std::dec << " to " << c.value;
}
const SetCase kSets[] = {
    {DM_ORIENTATION, 2, {{76, 2}}},     {DM_PAPERSIZE, 9, {{78, 2}}},     {DM_PAPERLENGTH, 2970, {{80, 2}}},
    {DM_PAPERWIDTH, 2100, {{82, 2}}},   {DM_SCALE, 75, {{84, 2}, {220 + 1960, 2}}},
    {DM_COPIES, 12, {{86, 2}}},         {DM_DEFAULTSOURCE, 4, {{88, 2}}}, {DM_PRINTQUALITY, 1200, {{90, 2}}},
    {DM_COLOR, 2, {{92, 2}}},           {DM_DUPLEX, 3, {{94, 2}}},        {DM_YRESOLUTION, 600, {{96, 2}}},
    {DM_COLLATE, 1, {{100, 2}}},        {0x404000, 1, {{220 + 10, 2}}},  {DM_MEDIATYPE, 258, {{196, 4}}},
};

class DevmodePublicSet : public testing::TestWithParam<SetCase> {};

TEST_P(DevmodePublicSet, WritesTheSelectedFieldsOnly) {
    const SetCase& c = GetParam();
    auto context = MakeContext();
    UiDevmode& dm = context->devmode;
    memset(&dm, 0x33, sizeof(dm));
    UiDevmode expected = dm;
    for (auto [offset, width] : c.fields) WriteInt(&expected, offset, width, c.value);
    ASSERT_EQ(DevmodeSetPublicField(context.get(), c.selector, c.value), S_OK);
    EXPECT_TRUE(DifferingOffsets(&dm, &expected, sizeof(dm)).empty());
}

INSTANTIATE_TEST_SUITE_P(Fields, DevmodePublicSet, testing::ValuesIn(kSets));

TEST(DevmodePublicField, PaperFieldsSelectorMarksLengthWidthAndFormName) {
    auto context = MakeContext();
    context->devmode.pub.dmFields = DM_ORIENTATION | DM_COPIES;
    UiDevmode expected = context->devmode;
    expected.pub.dmFields = DM_ORIENTATION | DM_COPIES | 0x1000C;
    ASSERT_EQ(DevmodeSetPublicField(context.get(), 0x7FFF, 0), S_OK);
    EXPECT_TRUE(DifferingOffsets(&context->devmode, &expected, sizeof(expected)).empty());
}

TEST(DevmodePublicField, FormNameIsCutToLeaveRoomForItsTerminator) {
    auto context = MakeContext();
    memset(&context->devmode, 0x33, sizeof(context->devmode));
    const std::u16string name(40, u'F');
    ASSERT_EQ(DevmodeSetPublicField(context.get(), DM_FORMNAME, 0, name.c_str()), S_OK);
    EXPECT_EQ(ReadText(&context->devmode, 102, 32), std::u16string(31, u'F'));
    EXPECT_EQ(ReadInt(&context->devmode, 166, 2, false), 0x3333);  // dmLogPixels untouched
    ASSERT_EQ(DevmodeSetPublicField(context.get(), DM_FORMNAME, 0, u"A5"), S_OK);
    EXPECT_EQ(ReadText(&context->devmode, 102, 32), u"A5");
    EXPECT_EQ(DevmodeSetPublicField(context.get(), DM_FORMNAME, 0, nullptr), E_INVALIDARG);
    EXPECT_EQ(ReadText(&context->devmode, 102, 32), u"A5");
}

TEST(DevmodePublicField, UnknownSelectorsAreReadAsNothingAndRefusedForWriting) {
    auto context = MakeContext();
    memset(&context->devmode, 0x33, sizeof(context->devmode));
    const UiDevmode before = context->devmode;
    for (DWORD selector : {DWORD{DM_TTOPTION}, DWORD{DM_FORMNAME}, DWORD{0x7FFF}, DWORD{DM_DITHERTYPE}, DWORD{0}}) {
        SCOPED_TRACE(selector);
        SHORT value = 0x7777;
        EXPECT_EQ(DevmodeGetPublicField(context.get(), selector, &value), S_OK);
        EXPECT_EQ(value, 0x7777);
    }
    for (DWORD selector : {DWORD{DM_TTOPTION}, DWORD{DM_DITHERTYPE}, DWORD{DM_POSITION}, DWORD{0}})
        EXPECT_EQ(DevmodeSetPublicField(context.get(), selector, 1), E_FAIL) << selector;
    EXPECT_TRUE(DifferingOffsets(&context->devmode, &before, sizeof(before)).empty());
}

TEST(DevmodePublicField, MissingContextOrPartsAreReported) {
    SHORT value = 0x7777;
    EXPECT_EQ(DevmodeGetPublicField(nullptr, DM_COPIES, &value), E_PENDING);
    EXPECT_EQ(DevmodeSetPublicField(nullptr, DM_COPIES, 2), E_PENDING);
    auto context = MakeContext();
    EXPECT_EQ(DevmodeGetPublicField(context.get(), DM_COPIES, nullptr), E_INVALIDARG);
    context->priv = nullptr;
    EXPECT_EQ(DevmodeGetPublicField(context.get(), 0x404000, &value), E_FAIL);
    EXPECT_EQ(DevmodeSetPublicField(context.get(), DM_SCALE, 50), E_FAIL);
    EXPECT_EQ(context->devmode.pub.dmScale, 0);  // nothing half-written
    context->pub = nullptr;
    EXPECT_EQ(DevmodeGetPublicField(context.get(), DM_COPIES, &value), E_FAIL);
    EXPECT_EQ(DevmodeSetPublicField(context.get(), DM_COPIES, 2), E_FAIL);
    EXPECT_EQ(value, 0x7777);
}

}  // namespace

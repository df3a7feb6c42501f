// Default document settings, checked byte for byte against an image built
// here from the documented default values.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>

#include "devmode_test_support.h"
#include "support/machine_fixture.h"
#include "ui_fixture.h"
#include "ui/ui/devmode.h"

using namespace devmode_test;

namespace {

constexpr size_t kPriv = 220;  // the private part follows the public one

// The expected 5084 bytes: public part, then private part.
std::array<BYTE, 5084> ExpectedDefaults(bool a4, std::u16string_view deviceName) {
    std::array<BYTE, 5084> image{};
    BYTE* d = image.data();
    WriteText(d, 0, deviceName);
    WriteInt(d, 64, 2, 0x401);   // dmSpecVersion
    WriteInt(d, 66, 2, 0x600);   // dmDriverVersion
    WriteInt(d, 68, 2, 220);     // dmSize
    WriteInt(d, 70, 2, 4864);    // dmDriverExtra
    WriteInt(d, 72, 4, 0xBF1F);  // dmFields
    WriteInt(d, 76, 2, 1);       // dmOrientation
    WriteInt(d, 78, 2, a4 ? 9 : 1);
    WriteInt(d, 80, 2, a4 ? 2970 : 2794);  // dmPaperLength
    WriteInt(d, 82, 2, a4 ? 2100 : 2159);  // dmPaperWidth
    WriteInt(d, 84, 2, 100);               // dmScale
    WriteInt(d, 86, 2, 1);                 // dmCopies
    WriteInt(d, 88, 2, 7);                 // dmDefaultSource
    WriteInt(d, 90, 2, 600);               // dmPrintQuality
    WriteInt(d, 92, 2, 1);                 // dmColor
    WriteInt(d, 94, 2, 1);                 // dmDuplex
    WriteInt(d, 96, 2, 600);               // dmYResolution
    WriteInt(d, 98, 2, 1);                 // dmTTOption
    WriteText(d, 102, a4 ? u"A4" : u"Letter");
    WriteInt(d, 196, 4, 1);  // dmMediaType

    BYTE* p = d + kPriv;
    p[0] = 'P', p[1] = 'R', p[2] = 'I', p[3] = 'V';
    const struct { size_t offset; int width; int value; } values[] = {
        {4, 2, 1},     {6, 2, 1},     {280, 4, 100}, {284, 2, 1},    {304, 2, 1}, {326, 2, 1},
        {852, 2, 26},  {918, 2, 1},   {920, 2, 3},   {1956, 2, 1},   {1960, 2, 100},
        {3370, 2, 9},  {3372, 2, 1},  {4848, 4, 1},
    };
    for (const auto& v : values) WriteInt(p, v.offset, v.width, v.value);
    // The "[No Watermark]" record.
    BYTE* mark = p + 1964;
    WriteText(mark, 4, u"[No Watermark]");
    WriteText(mark, 200, u"Arial");
    WriteInt(mark, 784, 2, 54);
    WriteInt(mark, 796, 2, 100);
    WriteInt(mark, 798, 2, 5);
    WriteInt(mark, 810, 2, 50);
    WriteInt(mark, 812, 2, 50);
    WriteInt(mark, 814, 2, 1);
    WriteText(p, 3306, u"Times New Roman");
    for (int i = 0; i < 20; ++i) {
        BYTE* paper = p + 3408 + 72 * i;
        WriteInt(paper, 0, 2, 4960);
        WriteInt(paper, 2, 2, 7015);
        std::string name = "Custom " + std::to_string(i + 1);
        WriteText(paper, 4, std::u16string(name.begin(), name.end()));
    }
    return image;
}

void ExpectSameBytes(const void* actual, const void* expected, size_t size) {
    auto differing = DifferingOffsets(actual, expected, size);
    std::string list;
    for (size_t i = 0; i < differing.size() && i < 16; ++i) list += std::to_string(differing[i]) + " ";
    EXPECT_TRUE(differing.empty()) << differing.size() << " bytes differ, first at offsets " << list;
}

struct CountryCase {
    DWORD country;
    bool a4;
};
void PrintTo(const CountryCase& c, std::ostream* os) { *os << "country " << c.country; }
const CountryCase kCountries[] = {{1, false}, {44, true}, {52, false}, {49, true}, {2, false}, {505, false}};

class DevmodeDefaults : public tam::test::MachineTest, public testing::WithParamInterface<CountryCase> {};

TEST_P(DevmodeDefaults, WholeDevmodeMatchesTheDocumentedImage) {
    machine().MutableSettings().country = GetParam().country;
    UiDevmode devmode;
    memset(&devmode, 0xA5, sizeof(devmode));
    EXPECT_TRUE(SetDevmodeDefaults(&devmode, u"Korvan Test Printer", nullptr));
    auto expected = ExpectedDefaults(GetParam().a4, u"Korvan Test Printer");
    ExpectSameBytes(&devmode, expected.data(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(Countries, DevmodeDefaults, testing::ValuesIn(kCountries),
                         [](const auto& info) { return "Country" + std::to_string(info.param.country); });

class DevmodeDefaultParts : public tam::test::MachineTest {};

TEST_F(DevmodeDefaultParts, EachPartAloneWritesOnlyItsOwnBytes) {
    auto expected = ExpectedDefaults(false, u"");
    UiDevmode devmode;
    memset(&devmode, 0x5A, sizeof(devmode));
    EXPECT_EQ(SetPublicDevmodeDefaults(&devmode.pub, nullptr), S_OK);
    ExpectSameBytes(&devmode.pub, expected.data(), 220);
    for (size_t i = 220; i < sizeof(devmode); ++i) ASSERT_EQ(Bytes(&devmode)[i], 0x5A) << i;

    memset(&devmode, 0x5A, sizeof(devmode));
    EXPECT_EQ(SetPrivateDevmodeDefaults(&devmode.priv, nullptr), S_OK);
    ExpectSameBytes(&devmode.priv, expected.data() + 220, 4864);
    for (size_t i = 0; i < 220; ++i) ASSERT_EQ(Bytes(&devmode)[i], 0x5A) << i;
}

TEST_F(DevmodeDefaultParts, DeviceNameIsCutToLeaveRoomForItsTerminator) {
    const std::u16string longName(40, u'N');
    UiDevmode devmode{};
    ASSERT_EQ(SetPublicDevmodeDefaults(&devmode.pub, longName.c_str()), S_OK);
    EXPECT_EQ(ReadText(&devmode, 0, 32), std::u16string(31, u'N'));
    EXPECT_EQ(devmode.pub.dmDeviceName[31], 0);
    EXPECT_EQ(devmode.pub.dmSpecVersion, 0x401);  // nothing spilled past the name
}

TEST_F(DevmodeDefaultParts, MissingBuffersAreRefused) {
    EXPECT_EQ(SetPublicDevmodeDefaults(nullptr, u"x"), E_FAIL);
    EXPECT_EQ(SetPrivateDevmodeDefaults(nullptr, nullptr), E_PENDING);
    EXPECT_FALSE(SetDevmodeDefaults(nullptr, u"x", nullptr));
}

// A printer whose language DLL cannot be found keeps the built-in names:
// the favourite's name stays empty and the watermark keeps its own name.
TEST_F(DevmodeDefaultParts, PrinterWithoutLanguageDllKeepsBuiltInNames) {
    UiDevmode devmode{};
    ASSERT_EQ(SetPrivateDevmodeDefaults(&devmode.priv, u"Korvan Missing Driver"), S_OK);
    auto expected = ExpectedDefaults(false, u"");
    ExpectSameBytes(&devmode.priv, expected.data() + 220, 4864);
}

// With the printer's language DLL the two names come from its strings 202 and
// 146; everything else is the built-in default, and the DLL is freed again.
class DevmodeDefaultNames : public tam::test::UiModuleTest {
protected:
    // The private defaults for the test driver, compared with the built-in
    // image in which the two names are replaced.
    void ExpectDefaultsWithNames(std::u16string_view favorite, std::u16string_view watermark) {
        UiDevmode devmode{};
        ASSERT_EQ(SetPrivateDevmodeDefaults(&devmode.priv, tam::test::kDriverName), S_OK);
        auto expected = ExpectedDefaults(false, u"");
        WriteText(expected.data() + kPriv, 340, favorite);
        memset(expected.data() + kPriv + 1964 + 4, 0, 66);
        WriteText(expected.data() + kPriv + 1964, 4, watermark);
        ExpectSameBytes(&devmode.priv, expected.data() + kPriv, 4864);
    }
};

TEST_F(DevmodeDefaultNames, NamesComeFromTheLanguageDll) {
    ExpectDefaultsWithNames(u"Default Settings", u"None");
    EXPECT_EQ(GetModuleHandleW(InDriverFolder(u"Tamsheetenus.dll").c_str()), nullptr);
}

TEST_F(DevmodeDefaultNames, MissingWatermarkStringKeepsTheBuiltInName) {
    tam::test::InstallIntoDriverFolder(machine(), "Tamsheeten.res", u"Tamsheeten.dll");
    SetSuffixKey(u"en");
    ExpectDefaultsWithNames(u"Default Settings (en)", u"[No Watermark]");
}

TEST_F(DevmodeDefaultNames, LongStringsAreCutToLeaveRoomForTheirTerminators) {
    tam::test::InstallIntoDriverFolder(machine(), "Tamsheetlong.res", u"Tamsheetlong.dll");
    SetSuffixKey(u"long");
    std::u16string favorite, watermark;
    for (int i = 0; i < 255; ++i) favorite.push_back(u'a' + i % 26);
    for (int i = 0; i < 32; ++i) watermark.push_back(u'A' + i % 26);
    ExpectDefaultsWithNames(favorite, watermark);
}

// The seeded records, written out from their documented values.
TEST(SeededWatermarks, RecordsHoldTheirDocumentedValues) {
    struct Seed {
        int index, type;
        std::u16string_view name, text, face;
        int size, fade, angle, scale, position, faceChosen, x, y, grey;
    };
    const Seed seeds[] = {
        {0, 0, u"[No Watermark]", u"", u"Arial", 54, 0, 0, 100, 5, 0, 50, 50, 1},
        {1, 1, u"Confidential", u"Confidential", u"Arial", 114, 1, 45, 0, 5, 1, 50, 50, 1},
        {2, 1, u"Watermark", u"Watermark", u"Arial", 114, 1, 45, 0, 5, 1, 50, 50, 1},
        {3, 1, u"<New>", u"<New>", u"Arial", 72, 1, 0, 0, 5, 1, 50, 50, 1},
        {3, 2, u"<New>", u"", u"", 72, 1, 0, 100, 5, 1, 0, 0, 1},
    };
    ASSERT_EQ(std::size(seeds), static_cast<size_t>(SEEDED_WATERMARK_COUNT));
    for (size_t i = 0; i < std::size(seeds); ++i) {
        SCOPED_TRACE(i);
        const Seed& s = seeds[i];
        std::array<BYTE, 816> expected{};
        BYTE* e = expected.data();
        WriteInt(e, 0, 2, s.index);
        WriteInt(e, 2, 2, s.type);
        WriteText(e, 4, s.name);
        WriteText(e, 70, s.text);
        WriteText(e, 200, s.face);
        WriteInt(e, 784, 2, s.size);
        WriteInt(e, 790, 2, s.fade);
        WriteInt(e, 794, 2, s.angle);
        WriteInt(e, 796, 2, s.scale);
        WriteInt(e, 798, 2, s.position);
        WriteInt(e, 802, 2, s.faceChosen);
        WriteInt(e, 810, 2, s.x);
        WriteInt(e, 812, 2, s.y);
        WriteInt(e, 814, 2, s.grey);
        ExpectSameBytes(&g_SeededWatermarks[i], e, 816);
    }
}

}  // namespace

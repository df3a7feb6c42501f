// Devmodes entering the user interface: the version check, the negotiated
// copy between devmodes of different sizes, the merge into a caller's
// buffer, and the takeover of an incoming devmode's public fields and
// private part. Buffers are allocated at their exact sizes, so that a read
// or write past a devmode's own bytes shows under the address sanitizer.
#include "ui/ui/devmodemerge.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "devmode_test_support.h"
#include "support/machine_fixture.h"
#include "ui/ui/devmode.h"

using namespace devmode_test;

namespace {

// Public offsets of DEVMODEW.
constexpr size_t kSpecVersion = 64, kDriverVersion = 66, kSize = 68, kDriverExtra = 70, kFields = 72;
constexpr size_t kOrientation = 76, kPaperSize = 78, kPaperLength = 80, kPaperWidth = 82, kScale = 84,
                 kCopies = 86, kDefaultSource = 88, kPrintQuality = 90, kColor = 92, kDuplex = 94,
                 kYResolution = 96, kCollate = 100, kMediaType = 196;
// Private offsets.
constexpr size_t kPrivDuplex = 6, kPrivMultipleUp = 284, kPrivScaleRadio = 280, kPrivCustomPapers = 3408;

// A devmode of `size` public and `extra` private bytes in a buffer of
// exactly that many bytes (or `capacity` when larger), filled with `fill`.
struct DevmodeBuffer {
    std::vector<BYTE> bytes;
    DevmodeBuffer(WORD specVersion, WORD driverVersion, WORD size, WORD extra, BYTE fill = 0x11, size_t capacity = 0)
        : bytes(capacity ? capacity : size_t(size) + extra, fill) {
        WriteText(bytes.data(), 0, u"Application Printer");
        WriteInt(bytes.data(), kSpecVersion, 2, specVersion);
        WriteInt(bytes.data(), kDriverVersion, 2, driverVersion);
        WriteInt(bytes.data(), kSize, 2, size);
        WriteInt(bytes.data(), kDriverExtra, 2, extra);
    }
    DEVMODEW* dm() { return reinterpret_cast<DEVMODEW*>(bytes.data()); }
    BYTE* data() { return bytes.data(); }
    DWORD capacity() const { return DWORD(bytes.size()); }
};

class DevmodeMergeTest : public tam::test::MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        SetDevmodeDefaults(&current_, u"Korvan Tam 5000", nullptr);
        SetDevmodeDefaults(&incoming_, u"Application Printer", nullptr);
    }
    void SetCountry(DWORD country) { machine().MutableSettings().country = country; }

    UiDevmode current_{};
    UiDevmode incoming_{};
};

// --- The version check ----------------------------------------------------------------

struct VersionCase {
    WORD size;
    WORD specVersion;
    WORD expected;
};
const VersionCase kVersions[] = {
    {192, 0x401, 0x320}, {216, 0x401, 0x400}, {224, 0x300, 0x401}, {224, 0x401, 0x401},
    {220, 0x400, 0x400}, {220, 0x401, 0x401}, {220, 0, 0},         {100, 0x123, 0x123},
};

TEST(CheckDevmodeVersion, SizeDecidesForTheKnownSizesOtherwiseTheDevmodeSays) {
    EXPECT_EQ(CheckDevmodeVersion(nullptr), 0);
    for (const auto& c : kVersions) {
        DEVMODEW dm{};
        dm.dmSize = c.size;
        dm.dmSpecVersion = c.specVersion;
        EXPECT_EQ(CheckDevmodeVersion(&dm), c.expected) << "dmSize " << c.size << " dmSpecVersion " << c.specVersion;
    }
}

// --- The negotiated copy ----------------------------------------------------------------

TEST(CopyDevmodeNegotiated, SameShapeCopiesEverything) {
    DevmodeBuffer source(0x401, 0x600, 220, 4864, 0x22), destination(0x401, 0x600, 220, 4864, 0x33);
    EXPECT_EQ(CopyDevmodeNegotiated(destination.dm(), destination.capacity(), source.dm()), 5084u);
    EXPECT_EQ(destination.bytes, source.bytes);
}

// A 220-byte devmode into the NT 3.51 form: 192 public bytes, the
// destination's own shape, and its 112 private bytes zeroed because the two
// private parts differ in size. The buffer beyond the form stays as it was.
TEST(CopyDevmodeNegotiated, IntoTheOlderFormKeepsTheDestinationsShape) {
    DevmodeBuffer source(0x401, 0x600, 220, 4864, 0x22);
    DevmodeBuffer destination(0x320, 0x350, 192, 112, 0x33, 400);
    EXPECT_EQ(CopyDevmodeNegotiated(destination.dm(), destination.capacity(), source.dm()), 192u);
    EXPECT_EQ(ReadInt(destination.data(), kSpecVersion, 2), 0x320);
    EXPECT_EQ(ReadInt(destination.data(), kDriverVersion, 2), 0x350);
    EXPECT_EQ(ReadInt(destination.data(), kSize, 2), 192);
    EXPECT_EQ(ReadInt(destination.data(), kDriverExtra, 2), 112);
    EXPECT_EQ(ReadText(destination.data(), 0, 32), u"Application Printer");
    for (size_t i = kFields; i < 192; ++i) ASSERT_EQ(destination.bytes[i], 0x22) << i;
    for (size_t i = 192; i < 304; ++i) ASSERT_EQ(destination.bytes[i], 0) << i;
    for (size_t i = 304; i < 400; ++i) ASSERT_EQ(destination.bytes[i], 0x33) << i;
}

// An older, smaller devmode into ours: the public bytes it has, ours past
// them untouched, our private part zeroed. Nothing is read past the
// source's own 304 bytes.
TEST(CopyDevmodeNegotiated, FromTheOlderFormCopiesOnlyWhatItHas) {
    DevmodeBuffer source(0x320, 0x350, 192, 112, 0x22), destination(0x401, 0x600, 220, 4864, 0x33);
    EXPECT_EQ(CopyDevmodeNegotiated(destination.dm(), destination.capacity(), source.dm()), 192u);
    EXPECT_EQ(ReadInt(destination.data(), kSpecVersion, 2), 0x401);
    EXPECT_EQ(ReadInt(destination.data(), kSize, 2), 220);
    EXPECT_EQ(ReadInt(destination.data(), kDriverExtra, 2), 4864);
    for (size_t i = kFields; i < 192; ++i) ASSERT_EQ(destination.bytes[i], 0x22) << i;
    for (size_t i = 192; i < 220; ++i) ASSERT_EQ(destination.bytes[i], 0x33) << i;
    for (size_t i = 220; i < 5084; ++i) ASSERT_EQ(destination.bytes[i], 0) << i;
}

// A destination without a driver version takes the source's shape: it
// must fit the destination's buffer, or nothing is written at all.
TEST(CopyDevmodeNegotiated, AdoptedShapeMustFitTheDestination) {
    DevmodeBuffer source(0x401, 0x600, 220, 4864, 0x22);
    DevmodeBuffer small(0x320, 0, 192, 112, 0x33);
    const auto before = small.bytes;
    EXPECT_EQ(CopyDevmodeNegotiated(small.dm(), small.capacity(), source.dm()), 0u);
    EXPECT_EQ(small.bytes, before);

    DevmodeBuffer roomy(0x320, 0, 192, 112, 0x33, 5084);
    EXPECT_EQ(CopyDevmodeNegotiated(roomy.dm(), roomy.capacity(), source.dm()), 5084u);
    EXPECT_EQ(roomy.bytes, source.bytes);
}

TEST(CopyDevmodeNegotiated, EitherSideFailingTheVersionCheckCopiesNothing) {
    DevmodeBuffer good(0x401, 0x600, 220, 4864, 0x22), noVersion(0, 0x600, 220, 4864, 0x33);
    const auto before = noVersion.bytes;
    EXPECT_EQ(CopyDevmodeNegotiated(noVersion.dm(), noVersion.capacity(), good.dm()), 0u);
    EXPECT_EQ(noVersion.bytes, before);
    const auto goodBefore = good.bytes;
    EXPECT_EQ(CopyDevmodeNegotiated(good.dm(), good.capacity(), noVersion.dm()), 0u);
    EXPECT_EQ(good.bytes, goodBefore);
    EXPECT_EQ(CopyDevmodeNegotiated(good.dm(), good.capacity(), nullptr), 0u);
}

// --- The merge into a caller's buffer -----------------------------------------------------

TEST_F(DevmodeMergeTest, MergeWithoutIncomingCopiesTheCurrentDevmodeWhole) {
    DevmodeBuffer out(0, 0, 0, 0, 0x44, 5084);
    EXPECT_TRUE(MergeDevmodes(&current_.pub, nullptr, out.dm(), out.capacity()));
    EXPECT_EQ(std::memcmp(out.data(), &current_, 5084), 0);

    DevmodeBuffer shortOut(0, 0, 0, 0, 0x44, 5083);
    const auto before = shortOut.bytes;
    EXPECT_FALSE(MergeDevmodes(&current_.pub, nullptr, shortOut.dm(), shortOut.capacity()));
    EXPECT_EQ(shortOut.bytes, before);
    EXPECT_FALSE(MergeDevmodes(&current_.pub, nullptr, nullptr, 5084));
}

// The out devmode takes the smaller public size and the smaller private
// part of the two, and the current devmode's contents in that shape.
struct MergeShapeCase {
    const char* label;
    WORD specVersion, driverVersion, size, extra;  // the incoming devmode
    WORD outSpecVersion, outDriverVersion, outSize, outExtra;
};
void PrintTo(const MergeShapeCase& c, std::ostream* os) { *os << c.label; }
const MergeShapeCase kMergeShapes[] = {
    {"SameShape", 0x401, 0x600, 220, 4864, 0x401, 0x600, 220, 4864},
    {"OlderForm", 0x320, 0x350, 192, 112, 0x320, 0x350, 192, 112},
    {"LargerPrivatePart", 0x401, 0x500, 220, 14680, 0x401, 0x600, 220, 4864},
    {"SmallerPublicOnly", 0x400, 0x600, 216, 6000, 0x400, 0x600, 216, 4864},
    {"NoPrivatePart", 0x401, 0x700, 220, 0, 0x401, 0x700, 220, 0},
};
class MergeShapes : public DevmodeMergeTest, public testing::WithParamInterface<MergeShapeCase> {};

TEST_P(MergeShapes, OutTakesTheSmallerOfEach) {
    const auto& c = GetParam();
    DevmodeBuffer incoming(c.specVersion, c.driverVersion, c.size, c.extra, 0x55);
    const DWORD outBytes = DWORD(c.outSize) + c.outExtra;
    DevmodeBuffer out(0, 0, 0, 0, 0x44, outBytes);
    ASSERT_TRUE(MergeDevmodes(&current_.pub, incoming.dm(), out.dm(), out.capacity()));
    EXPECT_EQ(ReadInt(out.data(), kSpecVersion, 2), c.outSpecVersion);
    EXPECT_EQ(ReadInt(out.data(), kDriverVersion, 2), c.outDriverVersion);
    EXPECT_EQ(ReadInt(out.data(), kSize, 2), c.outSize);
    EXPECT_EQ(ReadInt(out.data(), kDriverExtra, 2), c.outExtra);
    EXPECT_EQ(std::memcmp(out.data() + kFields, Bytes(&current_) + kFields, c.outSize - kFields), 0);
    // Our private part goes along only when the shapes agree on its size.
    std::vector<BYTE> expectedPrivate(c.outExtra, 0);
    if (c.outExtra == 4864) std::memcpy(expectedPrivate.data(), &current_.priv, 4864);
    EXPECT_EQ(std::vector<BYTE>(out.bytes.begin() + c.outSize, out.bytes.end()), expectedPrivate);
}
INSTANTIATE_TEST_SUITE_P(All, MergeShapes, testing::ValuesIn(kMergeShapes),
                         [](const auto& info) { return std::string(info.param.label); });

// The caller's buffer is only as large as it says: an incoming devmode that
// claims our whole size does not make the merge write 5084 bytes into it.
TEST_F(DevmodeMergeTest, MergeIntoACallersSmallBufferFailsWithoutWriting) {
    DevmodeBuffer incoming(0x401, 0x600, 220, 4864, 0x55);
    DevmodeBuffer out(0, 0, 0, 0, 0x44, 304);
    const auto before = out.bytes;
    EXPECT_FALSE(MergeDevmodes(&current_.pub, incoming.dm(), out.dm(), out.capacity()));
    EXPECT_EQ(out.bytes, before);
}

// --- Public fields ----------------------------------------------------------------------

// One public field: the current and incoming values and what the current
// devmode holds after the merge when the field's DM_ bit is set in both.
struct FieldCase {
    const char* label;
    DWORD bit;
    size_t offset;
    int width;
    long long current, incoming, taken;
};
void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.label; }
const FieldCase kFields_[] = {
    {"Copies1000Kept", DM_COPIES, kCopies, 2, 5, 1000, 5},
    {"Copies999Taken", DM_COPIES, kCopies, 2, 5, 999, 999},
    {"Copies0Kept", DM_COPIES, kCopies, 2, 5, 0, 5},
    {"Colour2BecomesMonochrome", DM_COLOR, kColor, 2, 2, 2, 1},
    {"YResolution1200Kept", DM_YRESOLUTION, kYResolution, 2, 300, 1200, 300},
    {"YResolution600Taken", DM_YRESOLUTION, kYResolution, 2, 300, 600, 600},
    {"LandscapeTaken", DM_ORIENTATION, kOrientation, 2, 1, 2, 2},
    {"Orientation3Kept", DM_ORIENTATION, kOrientation, 2, 1, 3, 1},
    {"Duplex3Taken", DM_DUPLEX, kDuplex, 2, 1, 3, 3},
    {"Duplex4Kept", DM_DUPLEX, kDuplex, 2, 1, 4, 1},
    {"Collate1Taken", DM_COLLATE, kCollate, 2, 0, 1, 1},
    {"Collate2Kept", DM_COLLATE, kCollate, 2, 0, 2, 0},
    {"Source4Taken", DM_DEFAULTSOURCE, kDefaultSource, 2, 7, 4, 4},
    {"Source0Kept", DM_DEFAULTSOURCE, kDefaultSource, 2, 7, 0, 7},
    {"QualityTakenAsItIs", DM_PRINTQUALITY, kPrintQuality, 2, 600, -3, -3},
    {"ScaleTakenAsItIs", DM_SCALE, kScale, 2, 100, 250, 250},
};

// Which devmodes have the field's bit in dmFields.
enum class BitIn { Both, CurrentOnly, IncomingOnly };
const char* BitInName(BitIn bitIn) {
    switch (bitIn) {
        case BitIn::Both: return "BothBits";
        case BitIn::CurrentOnly: return "CurrentBitOnly";
        default: return "IncomingBitOnly";
    }
}
class PublicFields : public DevmodeMergeTest, public testing::WithParamInterface<std::tuple<FieldCase, BitIn>> {};

TEST_P(PublicFields, TakenOnlyWithTheBitInBothAndWhenValid) {
    const auto& [c, bitIn] = GetParam();
    WriteInt(&current_, c.offset, c.width, c.current);
    WriteInt(&incoming_, c.offset, c.width, c.incoming);
    if (bitIn == BitIn::CurrentOnly) incoming_.pub.dmFields &= ~c.bit;
    if (bitIn == BitIn::IncomingOnly) current_.pub.dmFields &= ~c.bit;
    const UiDevmode before = current_;
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(ReadInt(&current_, c.offset, c.width), bitIn == BitIn::Both ? c.taken : c.current);
    // Nothing else changed: the incoming devmode has the same values but its
    // name, and its private part is the default one.
    UiDevmode expected = before;
    WriteInt(&expected, c.offset, c.width, ReadInt(&current_, c.offset, c.width));
    EXPECT_EQ(DifferingOffsets(&current_, &expected, sizeof(expected)), std::vector<size_t>{});
}
INSTANTIATE_TEST_SUITE_P(All, PublicFields,
                         testing::Combine(testing::ValuesIn(kFields_),
                                          testing::Values(BitIn::Both, BitIn::CurrentOnly, BitIn::IncomingOnly)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + "_" +
                                    BitInName(std::get<1>(info.param));
                         });

TEST_F(DevmodeMergeTest, MediaTypeIsTakenWhateverTheFieldsSay) {
    current_.pub.dmMediaType = 2;
    incoming_.pub.dmFields = DM_ORIENTATION;
    incoming_.pub.dmMediaType = 0;
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmMediaType, 2u);
    incoming_.pub.dmMediaType = 260;
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmMediaType, 260u);
}

// Duplex 5 is the driver's own mode: it comes with the incoming private
// Duplex field.
TEST_F(DevmodeMergeTest, DuplexFiveComesWithThePrivateDuplexField) {
    incoming_.pub.dmDuplex = 5;
    incoming_.pub.dmDriverVersion = 0x500;  // its private part is not taken as a whole
    WriteInt(&incoming_.priv, kPrivDuplex, 2, 4);
    WriteInt(&incoming_.priv, kPrivMultipleUp, 2, 9);
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmDuplex, 5);
    EXPECT_EQ(ReadInt(&current_.priv, kPrivDuplex, 2), 4);
    EXPECT_EQ(ReadInt(&current_.priv, kPrivMultipleUp, 2), 1);
}

// A shorter public part ends before the later fields: they are not read.
TEST_F(DevmodeMergeTest, ShortIncomingPublicPartIsReadOnlyAsFarAsItGoes) {
    DevmodeBuffer incoming(0x320, 0x350, 192, 0, 0);
    WriteText(incoming.data(), 0, u"Application Printer");
    WriteInt(incoming.data(), kFields, 4, DM_ORIENTATION | DM_COPIES);
    WriteInt(incoming.data(), kOrientation, 2, 2);
    WriteInt(incoming.data(), kCopies, 2, 3);
    current_.pub.dmMediaType = 2;
    ASSERT_TRUE(MergePublicFields(&current_, incoming.dm()));
    EXPECT_EQ(current_.pub.dmOrientation, 2);
    EXPECT_EQ(current_.pub.dmCopies, 3);
    EXPECT_EQ(current_.pub.dmMediaType, 2u);
}

TEST_F(DevmodeMergeTest, IncomingWithoutDeviceNameGivesNothing) {
    incoming_.pub.dmDeviceName[0] = 0;
    incoming_.pub.dmCopies = 7;
    const UiDevmode before = current_;
    EXPECT_FALSE(MergePublicFields(&current_, &incoming_.pub));
    EXPECT_EQ(std::memcmp(&current_, &before, sizeof(before)), 0);
}

// --- Paper -------------------------------------------------------------------------------

struct PaperCase {
    const char* label;
    short code;
    DWORD country;
    short expectedCode, width, length;  // tenths of a millimetre
};
void PrintTo(const PaperCase& c, std::ostream* os) { *os << c.label; }
const PaperCase kPapers[] = {
    {"A6", 70, 1, 70, 1050, 1480},           // 2480 x 3496 dots
    {"B5", 13, 1, 13, 1820, 2570},           // 4299 x 6071 dots
    {"Letter", 1, 44, 1, 2159, 2794},        // 5100 x 6600 dots
    {"Unknown500InUs", 500, 1, 1, 2159, 2794},
    {"Unknown500InUk", 500, 44, 9, 2100, 2970},
    {"Unknown500InMexico", 500, 52, 1, 2159, 2794},
    {"Unknown500InGermany", 500, 49, 9, 2100, 2970},
    {"UserSize256", 256, 1, 1, 2159, 2794},
};
class PaperMerge : public DevmodeMergeTest, public testing::WithParamInterface<PaperCase> {};

TEST_P(PaperMerge, CodeAndSizeFromThePaperOrTheCountry) {
    const auto& c = GetParam();
    SetCountry(c.country);
    current_.pub.dmPaperSize = 5;
    incoming_.pub.dmPaperSize = c.code;
    incoming_.pub.dmPaperWidth = 1234;
    incoming_.pub.dmPaperLength = 2345;
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmPaperSize, c.expectedCode);
    EXPECT_EQ(current_.pub.dmPaperWidth, c.width);
    EXPECT_EQ(current_.pub.dmPaperLength, c.length);
}
INSTANTIATE_TEST_SUITE_P(All, PaperMerge, testing::ValuesIn(kPapers),
                         [](const auto& info) { return std::string(info.param.label); });

// Any one of the three paper bits in both devmodes is enough; none leaves
// the paper alone.
TEST_F(DevmodeMergeTest, PaperStepRunsOnAnyPaperBit) {
    const DWORD bits[] = {DM_PAPERSIZE, DM_PAPERLENGTH, DM_PAPERWIDTH};
    for (DWORD bit : bits) {
        SetDevmodeDefaults(&current_, u"Korvan Tam 5000", nullptr);
        current_.pub.dmFields = (current_.pub.dmFields & ~(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH)) | bit;
        incoming_.pub.dmPaperSize = 70;
        ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
        EXPECT_EQ(current_.pub.dmPaperSize, 70) << bit;
    }
    SetDevmodeDefaults(&current_, u"Korvan Tam 5000", nullptr);
    incoming_.pub.dmFields &= ~(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH);
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmPaperSize, DMPAPER_LETTER);
}

// Writes a custom size with paper code `code` into slot `slot` of a private
// part, in 600-dpi units.
void SetCustomPaper(PrivateDevmode* priv, int slot, int code, int width, int height) {
    BYTE* record = Bytes(priv) + kPrivCustomPapers + 72 * size_t(slot);
    WriteInt(record, 0, 2, width);
    WriteInt(record, 2, 2, height);
    WriteInt(record, 56, 4, code);
}

// A custom code is measured by the record with that code: the incoming
// devmode's own when it carries our private part, else the current one's.
TEST_F(DevmodeMergeTest, CustomPaperSizeComesFromTheIncomingPrivatePart) {
    SetCustomPaper(&incoming_.priv, 7, 300, 3000, 4000);  // 1270 x 1693.33 tenths
    SetCustomPaper(&current_.priv, 2, 300, 2400, 3600);
    incoming_.pub.dmPaperSize = 300;
    incoming_.pub.dmDriverVersion = 0x500;  // the private part itself is not taken
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmPaperSize, 300);
    EXPECT_EQ(current_.pub.dmPaperWidth, 1270);
    EXPECT_EQ(current_.pub.dmPaperLength, 1693);
}

TEST_F(DevmodeMergeTest, CustomPaperSizeFromTheCurrentDevmodeWhenTheIncomingHasNoneOfOurs) {
    SetCustomPaper(&current_.priv, 2, 300, 2400, 3600);  // 1016 x 1524 tenths
    DevmodeBuffer incoming(0x401, 0x600, 220, 0);
    std::memcpy(incoming.data() + kFields, Bytes(&incoming_) + kFields, 220 - kFields);
    WriteInt(incoming.data(), kPaperSize, 2, 300);
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, incoming.dm()));
    EXPECT_EQ(current_.pub.dmPaperSize, 300);
    EXPECT_EQ(current_.pub.dmPaperWidth, 1016);
    EXPECT_EQ(current_.pub.dmPaperLength, 1524);
}

// --- Accepting an incoming devmode ---------------------------------------------------------

struct RefusalCase {
    const char* label;
    void (*spoil)(UiDevmode& current, UiDevmode& incoming);
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.label; }
const RefusalCase kRefusals[] = {
    {"NoDeviceName", [](UiDevmode&, UiDevmode& in) { in.pub.dmDeviceName[0] = 0; }},
    {"Size216", [](UiDevmode&, UiDevmode& in) { in.pub.dmSize = 216; }},
    {"Size224", [](UiDevmode&, UiDevmode& in) { in.pub.dmSize = 224; }},
    {"NoSpecVersion", [](UiDevmode&, UiDevmode& in) { in.pub.dmSpecVersion = 0; }},
    {"NoFields", [](UiDevmode&, UiDevmode& in) { in.pub.dmFields = 0; }},
    {"CurrentWithoutVersion", [](UiDevmode& cur, UiDevmode&) { cur.pub.dmSpecVersion = 0; }},
    // A current devmode without a driver version would take a shape that
    // claims more than the 5084 bytes it has.
    {"AdoptedShapeTooLarge",
     [](UiDevmode& cur, UiDevmode& in) {
         cur.pub.dmDriverVersion = 0;
         in.pub.dmDriverExtra = 14680;
     }},
};
class Refusals : public DevmodeMergeTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, LeaveTheCurrentDevmodeUnchanged) {
    GetParam().spoil(current_, incoming_);
    incoming_.pub.dmCopies = 9;
    incoming_.priv.MultipleUp = 4;
    const UiDevmode before = current_;
    EXPECT_FALSE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(DifferingOffsets(&current_, &before, sizeof(before)), std::vector<size_t>{});
}
INSTANTIATE_TEST_SUITE_P(All, Refusals, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(DevmodeMergeTest, NoIncomingDevmodeIsAcceptedAndChangesNothing) {
    const UiDevmode before = current_;
    EXPECT_TRUE(AcceptIncomingDevmode(&current_, nullptr));
    EXPECT_EQ(std::memcmp(&current_, &before, sizeof(before)), 0);
}

// Our own devmode brings its private part, repaired field by field.
TEST_F(DevmodeMergeTest, PrivatePartOfOurVersionIsTakenAndRepaired) {
    incoming_.priv.MultipleUp = 4;
    WriteInt(&incoming_.priv, kPrivScaleRadio, 4, 24);  // out of range: repaired to 100
    incoming_.priv.FavoriteIndex = 3;
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.priv.MultipleUp, 4);
    EXPECT_EQ(current_.priv.FavoriteIndex, 3);
    EXPECT_EQ(current_.priv.ScaleRadio, 100);
    EXPECT_EQ(ReadText(&current_, 0, 32), u"Korvan Tam 5000");  // the public name stays ours
}

// Private parts that are not exactly ours are ignored, not repaired.
struct ForeignPrivateCase {
    const char* label;
    void (*make)(UiDevmode& incoming);
};
void PrintTo(const ForeignPrivateCase& c, std::ostream* os) { *os << c.label; }
const ForeignPrivateCase kForeign[] = {
    {"DriverVersion0x500", [](UiDevmode& in) { in.pub.dmDriverVersion = 0x500; }},
    {"SpecVersion0x400", [](UiDevmode& in) { in.pub.dmSpecVersion = 0x400; }},
    {"WrongSignature", [](UiDevmode& in) { std::memcpy(in.priv.signature, "PRIW", 4); }},
    {"OtherPrivateSize", [](UiDevmode& in) { in.pub.dmDriverExtra = 4000; }},
};
class ForeignPrivate : public DevmodeMergeTest, public testing::WithParamInterface<ForeignPrivateCase> {};

TEST_P(ForeignPrivate, PublicFieldsMergedPrivatePartIgnored) {
    incoming_.pub.dmCopies = 12;
    incoming_.priv.MultipleUp = 4;
    GetParam().make(incoming_);
    const PrivateDevmode before = current_.priv;
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmCopies, 12);
    EXPECT_EQ(std::memcmp(&current_.priv, &before, sizeof(before)), 0);
}
INSTANTIATE_TEST_SUITE_P(All, ForeignPrivate, testing::ValuesIn(kForeign),
                         [](const auto& info) { return std::string(info.param.label); });

// The current devmode keeps its own shape whatever the incoming one says.
TEST_F(DevmodeMergeTest, CurrentShapeIsKept) {
    incoming_.pub.dmDriverVersion = 0x500;
    incoming_.pub.dmSpecVersion = 0x400;
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmSpecVersion, 0x401);
    EXPECT_EQ(current_.pub.dmDriverVersion, 0x600);
    EXPECT_EQ(current_.pub.dmSize, 220);
    EXPECT_EQ(current_.pub.dmDriverExtra, 4864);
}

// A current devmode without a driver version takes the incoming one's,
// with our public size, and then its private part.
TEST_F(DevmodeMergeTest, CurrentWithoutDriverVersionTakesTheIncomingShape) {
    current_.pub.dmDriverVersion = 0;
    current_.pub.dmDriverExtra = 0;
    current_.pub.dmSize = 224;
    incoming_.priv.MultipleUp = 6;
    ASSERT_TRUE(AcceptIncomingDevmode(&current_, &incoming_.pub));
    EXPECT_EQ(current_.pub.dmSpecVersion, 0x401);
    EXPECT_EQ(current_.pub.dmDriverVersion, 0x600);
    EXPECT_EQ(current_.pub.dmSize, 220);
    EXPECT_EQ(current_.pub.dmDriverExtra, 4864);
    EXPECT_EQ(current_.priv.MultipleUp, 6);
}

}  // namespace

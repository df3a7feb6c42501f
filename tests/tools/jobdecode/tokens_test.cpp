// Data types, attribute identifiers, operators and embedded data of the
// binary little-endian stream.
#include "job_builder.h"

#include <gtest/gtest.h>

#include <functional>

namespace tam::job::test {
namespace {

struct TypeCase {
    const char* name;
    std::function<void(JobBuilder&)> write;  // writes one value
    DataType type;
    std::vector<double> numbers;
    uint8_t lengthTag;
};

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> list) { return list; }

const TypeCase kTypes[] = {
    {"ubyte", [](JobBuilder& b) { b.Raw({0xC0, 0xFE}); }, DataType::UByte, {254}, 0},
    {"uint16", [](JobBuilder& b) { b.Raw({0xC1, 0x34, 0x12}); }, DataType::UInt16, {0x1234}, 0},
    {"uint32", [](JobBuilder& b) { b.Raw({0xC2, 0x02, 0x20, 0x70, 0x68}); }, DataType::UInt32, {0x68702002}, 0},
    {"sint16", [](JobBuilder& b) { b.Raw({0xC3, 0xFE, 0xFF}); }, DataType::SInt16, {-2}, 0},
    {"sint32", [](JobBuilder& b) { b.Raw({0xC4, 0x00, 0x00, 0x00, 0x80}); }, DataType::SInt32, {-2147483648.0}, 0},
    {"real32", [](JobBuilder& b) { b.Raw({0xC5, 0x00, 0x00, 0x20, 0x40}); }, DataType::Real32, {2.5}, 0},
    {"ubyte_array short count", [](JobBuilder& b) { b.Raw({0xC8, 0xC0, 0x02, 'A', '4'}); },
     DataType::UByteArray, {'A', '4'}, 0xC0},
    {"ubyte_array long count", [](JobBuilder& b) { b.Raw({0xC8, 0xC1, 0x03, 0x00, 1, 2, 3}); },
     DataType::UByteArray, {1, 2, 3}, 0xC1},
    {"uint16_array", [](JobBuilder& b) { b.Raw({0xC9, 0xC0, 0x02, 0xE9, 0x00, 0x00, 0x4E}); },
     DataType::UInt16Array, {0xE9, 0x4E00}, 0xC0},
    {"uint32_array", [](JobBuilder& b) { b.Raw({0xCA, 0xC0, 0x01, 0x01, 0x00, 0x00, 0x01}); },
     DataType::UInt32Array, {16777217}, 0xC0},
    {"sint16_array", [](JobBuilder& b) { b.Raw({0xCB, 0xC0, 0x02, 0x0A, 0x00, 0xF6, 0xFF}); },
     DataType::SInt16Array, {10, -10}, 0xC0},
    {"sint32_array", [](JobBuilder& b) { b.Raw({0xCC, 0xC0, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}); },
     DataType::SInt32Array, {-1}, 0xC0},
    {"real32_array", [](JobBuilder& b) { b.Array(DataType::Real32Array, {0.5, -1.25}); },
     DataType::Real32Array, {0.5, -1.25}, 0xC0},
    {"empty array", [](JobBuilder& b) { b.Raw({0xC8, 0xC0, 0x00}); }, DataType::UByteArray, {}, 0xC0},
    {"ubyte_xy", [](JobBuilder& b) { b.Raw({0xD0, 7, 9}); }, DataType::UByteXY, {7, 9}, 0},
    {"uint16_xy", [](JobBuilder& b) { b.Raw({0xD1, 0x58, 0x02, 0x58, 0x02}); }, DataType::UInt16XY, {600, 600}, 0},
    {"uint32_xy", [](JobBuilder& b) { b.Pair(DataType::UInt32XY, 70000, 3); }, DataType::UInt32XY, {70000, 3}, 0},
    {"sint16_xy", [](JobBuilder& b) { b.Pair(DataType::SInt16XY, -5, 300); }, DataType::SInt16XY, {-5, 300}, 0},
    {"sint32_xy", [](JobBuilder& b) { b.Pair(DataType::SInt32XY, -70000, 1); }, DataType::SInt32XY, {-70000, 1}, 0},
    {"real32_xy", [](JobBuilder& b) { b.Pair(DataType::Real32XY, 2100, 2970); }, DataType::Real32XY, {2100, 2970}, 0},
    {"ubyte_box", [](JobBuilder& b) { b.Box(DataType::UByteBox, 1, 2, 3, 4); }, DataType::UByteBox, {1, 2, 3, 4}, 0},
    {"uint16_box", [](JobBuilder& b) { b.Box(DataType::UInt16Box, 1, 2, 300, 400); },
     DataType::UInt16Box, {1, 2, 300, 400}, 0},
    {"uint32_box", [](JobBuilder& b) { b.Box(DataType::UInt32Box, 0, 0, 1 << 20, 5); },
     DataType::UInt32Box, {0, 0, 1 << 20, 5}, 0},
    {"sint16_box", [](JobBuilder& b) { b.Raw({0xE3, 0x0A, 0x00, 0xEC, 0xFF, 0x2C, 0x01, 0x90, 0x01}); },
     DataType::SInt16Box, {10, -20, 300, 400}, 0},
    {"sint32_box", [](JobBuilder& b) { b.Box(DataType::SInt32Box, -1, -2, 3, 4); },
     DataType::SInt32Box, {-1, -2, 3, 4}, 0},
    {"real32_box", [](JobBuilder& b) { b.Box(DataType::Real32Box, 0.5, 1, 1.5, 2); },
     DataType::Real32Box, {0.5, 1, 1.5, 2}, 0},
};

void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.name; }

class DataTypes : public testing::TestWithParam<TypeCase> {};

TEST_P(DataTypes, ValueIsDecodedWithItsTypeAndNumbers) {
    const TypeCase& c = GetParam();
    JobBuilder b;
    b.JobStart();
    const size_t valueAt = b.Size();
    c.write(b);
    b.Attr(0x29).Op(0x76);  // PageAngle, SetPageRotation: any attribute will do
    b.JobEnd();

    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    const Operator* op = job.First("SetPageRotation");
    ASSERT_NE(op, nullptr);
    ASSERT_EQ(op->attributes.size(), 1u);
    const Attribute& a = op->attributes[0];
    EXPECT_EQ(a.offset, valueAt);
    EXPECT_EQ(a.id, 0x29);
    EXPECT_EQ(a.name, "PageAngle");
    EXPECT_EQ(a.value.type, c.type);
    EXPECT_EQ(a.value.lengthTag, c.lengthTag);
    ASSERT_EQ(a.value.Count(), c.numbers.size());
    for (size_t i = 0; i < c.numbers.size(); ++i) EXPECT_EQ(a.value.Number(i), c.numbers[i]) << i;
    EXPECT_EQ(Reencode(job), b.bytes);
}

INSTANTIATE_TEST_SUITE_P(All, DataTypes, testing::ValuesIn(kTypes), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name) {
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
});

TEST(Tokens, DriverPrologueDecodesWithNamesAndEnumerations) {
    JobBuilder b;
    b.JobStart();
    b.U8(0).Attr(0x28).U8(1).Attr(0x26).String("PLAIN").Attr(0x27).String("A4").Attr(0x25).Op(0x43).Op(0x61);
    b.PageEnd().JobEnd();

    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    const Operator* session = job.First("BeginSession");
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->Int("Measure"), 0);
    EXPECT_EQ(session->Number("UnitsPerMeasure", 1), 600.0);
    EXPECT_EQ(FormatOperator(job, *session).substr(9),
              "BeginSession Measure=eInch UnitsPerMeasure=(600,600) ErrorReport=eBackChAndErrPage");
    const Operator* page = job.First("BeginPage");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Text("MediaType"), "PLAIN");
    EXPECT_EQ(page->Text("MediaSize"), "A4");
    EXPECT_EQ(FormatOperator(job, *page).substr(9),
              "BeginPage Orientation=ePortraitOrientation MediaSource=eAutoSelect MediaType=\"PLAIN\" "
              "MediaSize=\"A4\"");
    EXPECT_EQ(job.PageCount(), 1u);
    const auto pages = job.Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(job.ops[pages[0].first].name, "BeginPage");
    EXPECT_EQ(job.ops[pages[0].second].name, "EndPage");
    EXPECT_EQ(job.ops[pages[0].second].Int("PageCopies"), 1);
}

TEST(Tokens, TwoByteAttributeIdentifierIsKeptWithItsForm) {
    JobBuilder b;
    b.JobStart();
    b.U16(2).Attr16(0x4B).Op(0x7A);  // PenWidth through the uint16 identifier form
    b.JobEnd();
    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    const Operator* op = job.First("SetPenWidth");
    ASSERT_NE(op, nullptr);
    ASSERT_EQ(op->attributes.size(), 1u);
    EXPECT_EQ(op->attributes[0].idTag, 0xF9);
    EXPECT_EQ(op->attributes[0].name, "PenWidth");
    EXPECT_EQ(Reencode(job), b.bytes);
}

struct DataForm {
    size_t length;
    uint8_t form;
    size_t headerBytes;
};

void PrintTo(const DataForm& f, std::ostream* os) { *os << f.length << " bytes, form " << int(f.form); }

class EmbeddedData : public testing::TestWithParam<DataForm> {};

TEST_P(EmbeddedData, FollowsItsOperatorInEitherLengthForm) {
    const DataForm f = GetParam();
    std::vector<uint8_t> data(f.length);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    JobBuilder b;
    b.JobStart();
    b.U32(0x68702002).Attr(0x91).U8(0).Attr(0x93).Op(0x46);
    const size_t formAt = b.Size();
    b.Data(data, f.form);
    b.JobEnd();

    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    const Operator* op = job.First("VendorUnique");
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->dataTag, f.form);
    EXPECT_EQ(op->dataOffset, formAt + f.headerBytes);
    EXPECT_EQ(op->data, data);
    EXPECT_EQ(Reencode(job), b.bytes);
}

INSTANTIATE_TEST_SUITE_P(Forms, EmbeddedData,
                         testing::Values(DataForm{0, 0xFB, 2}, DataForm{255, 0xFB, 2}, DataForm{256, 0xFA, 5},
                                         DataForm{3, 0xFA, 5}, DataForm{70000, 0xFA, 5}),
                         [](const auto& info) {
                             return std::to_string(info.param.length) + (info.param.form == 0xFA ? "_FA" : "_FB");
                         });

TEST(Tokens, PathPointsAreDecodedByPointType) {
    JobBuilder b;
    b.JobStart().PageStart();
    b.Pair(DataType::SInt16XY, 100, 200).Attr(id::Point).Op(tag::SetCursor).Op(tag::NewPath);
    b.U16(3).Attr(id::NumberOfPoints).U8(1).Attr(id::PointType).Op(tag::LineRelPath);
    b.Data(Bytes({10, 10, 0x80, 0x7F, 0xFF, 0x00}));
    b.U16(1).Attr(id::NumberOfPoints).U8(3).Attr(id::PointType).Op(tag::LinePath);
    b.Data(Bytes({0x40, 0x9C, 0x18, 0xFC}));
    b.Op(tag::PaintPath).PageEnd().JobEnd();

    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    const Operator* rel = job.First("LineRelPath");
    const Operator* abs = job.First("LinePath");
    ASSERT_TRUE(rel && abs);
    EXPECT_EQ(rel->points, (std::vector<Point>{{10, 10}, {-128, 127}, {-1, 0}}));
    EXPECT_EQ(abs->points, (std::vector<Point>{{-25536, -1000}}));
}

TEST(Tokens, NamesOfOperatorsAndAttributesAreTheStandardOnes) {
    EXPECT_EQ(OperatorName(0x41), "BeginSession");
    EXPECT_EQ(OperatorName(0xB1), "ReadImage");
    EXPECT_EQ(OperatorName(0x45), "");
    EXPECT_EQ(AttributeName(0xA7), "FontHeaderLength");
    EXPECT_EQ(AttributeName(0x300), "");
    EXPECT_EQ(OperatorTag("SetClipToPage"), 0x69);
    EXPECT_EQ(AttributeId("LineJoinStyle"), 0x48);
    EXPECT_EQ(EnumName(0x65, 3), "eDeltaRowCompression");
    EXPECT_EQ(EnumName(0x65, 9), "");
}

TEST(Tokens, Utf16TextBecomesUtf8) {
    EXPECT_EQ(Utf16ToUtf8(u"A\u00E9\u4E0A"), "A\xC3\xA9\xE4\xB8\x8A");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx");  // unpaired surrogate
}

}  // namespace
}  // namespace tam::job::test

// Damaged jobs: each is reported at the offset of the first byte that does
// not decode, with its reason, and nothing is reported before it.
#include "sample_job.h"

#include <gtest/gtest.h>

#include <functional>

namespace tam::job::test {
namespace {

struct DamageCase {
    const char* name;
    std::function<size_t(JobBuilder&)> build;  // writes the job, returns the offset of the damage
    const char* reason;                        // part of the expected reason
};

std::vector<uint8_t> Zeros(size_t n) { return std::vector<uint8_t>(n); }

// A one-page job up to an open 8 x 2 image of 8-bit grey (rows of 8 bytes).
JobBuilder& OpenImage(JobBuilder& b) {
    b.JobStart().PageStart();
    WriteImageHead(b, 0, 2, 8, 2);
    return b;
}

JobBuilder& OpenBitmapFont(JobBuilder& b) {
    b.JobStart().PageStart();
    b.String("0BMF").Attr(id::FontName).U8(0).Attr(id::FontFormat).Op(tag::BeginFontHeader);
    b.U16(18).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(BitmapFontDescriptor());
    b.U16(6).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(NullSegment()).Op(tag::EndFontHeader);
    return b;
}

const DamageCase kCases[] = {
    {"TruncatedEmbeddedData",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 2, 0);
         const size_t at = b.Size();
         b.Raw({0xFA}).Le(16, 4).Raw(Zeros(10));
         return at;
     },
     "embedded data of 16 bytes runs past the end of the job (10 bytes remain)"},
    {"EmbeddedDataLengthCutOff",
     [](JobBuilder& b) {
         b.JobStart().Op(tag::VendorUnique);
         const size_t at = b.Size();
         b.Raw({0xFA, 0x01, 0x00});
         return at;
     },
     "embedded data length cut off"},
    {"UnknownTag",
     [](JobBuilder& b) {
         b.JobStart();
         const size_t at = b.Size();
         b.Raw({0xC6}).JobEnd();
         return at;
     },
     "unknown tag 0xC6"},
    {"ArrayLengthPastTheEnd",
     [](JobBuilder& b) {
         b.JobStart();
         const size_t at = b.Size();
         b.Raw({0xC8, 0xC1, 0xE8, 0x03, 'A', '4'});
         return at;
     },
     "ubyte_array value needs 1000 bytes, only 2 remain"},
    {"ArrayCountWithWrongTag",
     [](JobBuilder& b) {
         b.JobStart();
         const size_t at = b.Size() + 1;
         b.Raw({0xC8, 0xC3, 0x02, 0x00, 'A', '4'}).Attr(id::MediaSize).JobEnd();
         return at;
     },
     "element count of a ubyte_array must be a ubyte or uint16, found tag 0xC3"},
    {"TruncatedAttributeValue",
     [](JobBuilder& b) {
         b.JobStart();
         const size_t at = b.Size();
         b.Raw({0xC1, 0x05});
         return at;
     },
     "uint16 value needs 2 bytes, only 1 remain"},
    {"AttributeIdentifierCutOff",
     [](JobBuilder& b) {
         b.JobStart().U16(5);
         const size_t at = b.Size();
         b.Raw({0xF9, 0x4B});
         return at;
     },
     "attribute identifier cut off"},
    {"AttributeWithoutValue",
     [](JobBuilder& b) {
         b.JobStart();
         const size_t at = b.Size();
         b.Attr(0x28).Op(tag::PushGS).JobEnd();
         return at;
     },
     "attribute identifier 0x28 (Orientation) without a value"},
    {"ValueWithoutAttribute",
     [](JobBuilder& b) {
         b.JobStart();
         const size_t at = b.Size();
         b.U8(1).Op(0x6E).JobEnd();
         return at;
     },
     "value not followed by an attribute identifier"},
    {"UnknownAttribute",
     [](JobBuilder& b) {
         b.JobStart().U8(1);
         const size_t at = b.Size();
         b.Attr(0x01).Op(0x6E).JobEnd();
         return at;
     },
     "unknown attribute identifier 0x01"},
    {"GarbageAfterTheLastEndOfJob",
     [](JobBuilder& b) {
         BuildSampleJob(b);
         const size_t at = b.Size();
         b.Raw("trailing junk\r\n");
         return at;
     },
     "15 bytes that are neither PJL lines nor a universal exit sequence"},
    {"MissingStreamHeader",
     [](JobBuilder& b) {
         b.Uel().Pjl("ENTER LANGUAGE=PCLXL");
         const size_t at = b.Size();
         b.U8(0).Attr(id::Measure).Op(tag::BeginSession).Op(tag::EndSession).Uel().Pjl("EOJ").Uel();
         return at;
     },
     "missing PCL XL stream header"},
    {"StreamHeaderOfAnotherLanguage",
     [](JobBuilder& b) {
         b.Uel().Pjl("ENTER LANGUAGE=PCLXL");
         const size_t at = b.Size() + 1;
         b.Raw(") HP-PCL 5;3;0;x\n").Op(tag::BeginSession).Op(tag::EndSession).Uel();
         return at;
     },
     "does not name HP-PCL XL"},
    {"BigEndianBinding",
     [](JobBuilder& b) {
         b.Uel().Pjl("ENTER LANGUAGE=PCLXL");
         const size_t at = b.Size();
         b.Raw("( HP-PCL XL;3;0;x\n").Op(tag::BeginSession).Op(tag::EndSession).Uel();
         return at;
     },
     "big-endian binary binding"},
    {"JobWithoutLeadingExit",
     [](JobBuilder& b) {
         b.Pjl("SET COPIES=1").Uel();
         return size_t(0);
     },
     "does not begin with the universal exit sequence"},
    {"StreamWithoutExit",
     [](JobBuilder& b) {
         b.JobStart().Op(tag::EndSession);
         return b.Size();
     },
     "ends inside the PCL XL stream"},
    {"BrokenExitInPjl",
     [](JobBuilder& b) {
         b.Uel().Pjl("SET COPIES=1");
         const size_t at = b.Size();
         b.Raw("\x1B%-1234X").Uel();
         return at;
     },
     "an escape not followed by %-12345X"},
    {"JobEndsWithPjlLine",
     [](JobBuilder& b) {
         b.Uel().Pjl("EOJ");
         return b.Size();
     },
     "ends with a PJL line"},
    {"ControlByteInPjlLine",
     [](JobBuilder& b) {
         b.Uel().Raw("@PJL SET COPIES=");
         const size_t at = b.Size();
         b.Raw("\x01\r\n").Uel();
         return at;
     },
     "control byte 0x01 in a PJL line"},
    {"OwnerWithoutClosingQuote",
     [](JobBuilder& b) {
         b.Uel().Raw("@PJL SET JOBOWNER=");
         const size_t at = b.Size();
         b.Raw(std::string_view("\"a\0b\0\r\n", 7)).Uel();
         return at;
     },
     "JOBOWNER value has no closing quotation mark followed by CR LF"},
    {"OtherLanguage",
     [](JobBuilder& b) {
         b.Uel();
         const size_t at = b.Size();
         b.Pjl("ENTER LANGUAGE=PCL").Uel();
         return at;
     },
     "ENTER \"LANGUAGE\"=\"PCL\" does not select PCL XL"},
    {"DataAfterOperatorWithoutData",
     [](JobBuilder& b) {
         b.JobStart().Op(tag::NewPath);
         const size_t at = b.Size();
         b.Data(Zeros(2)).JobEnd();
         return at;
     },
     "NewPath takes no embedded data"},
    {"DataAfterAttributes",
     [](JobBuilder& b) {
         b.JobStart().U8(0).Attr(id::Orientation);
         const size_t at = b.Size();
         b.Data(Zeros(2)).JobEnd();
         return at;
     },
     "embedded data of 2 bytes that does not follow an operator"},
    {"ReadImageWithoutData",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 2, 0);
         const size_t at = b.Size();
         b.Op(tag::EndImage).PageEnd().JobEnd();
         return at;
     },
     "ReadImage is not followed by its embedded data"},
    {"UncompressedBlockOfWrongSize",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 2, 0);
         const size_t at = b.Size() + 2;
         b.Data(Zeros(15)).Op(tag::EndImage).PageEnd().JobEnd();
         return at;
     },
     "uncompressed block holds 15 bytes, expected 16 (2 rows of 8 bytes)"},
    {"RunLengthPacketCrossesRow",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 2, 1);
         const size_t at = b.Size() + 2 + 2;
         b.Data(std::vector<uint8_t>{0xFA, 0x11, 0x02, 1, 2, 3, 0xF9, 0}).Op(tag::EndImage).PageEnd().JobEnd();
         return at;
     },
     "run-length packet of 3 bytes crosses the end of row 0"},
    {"RunLengthDataTooShort",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 2, 1);
         const size_t at = b.Size() + 2 + 2;
         b.Data(std::vector<uint8_t>{0xF9, 0x11}).Op(tag::EndImage).PageEnd().JobEnd();
         return at;
     },
     "run-length data ends in row 1 of the block (0 of 8 bytes)"},
    {"DeltaRowWritesPastTheRow",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 2, 3);
         const size_t at = b.Size() + 2 + 6;  // the second row's command
         b.Data(std::vector<uint8_t>{0x02, 0x00, 0x01, 0x55, 0x03, 0x00, 0x28, 0x66, 0x67}).Op(tag::EndImage);
         b.PageEnd().JobEnd();
         return at;
     },
     "delta-row command writes past the end of the row (offset 8, row of 8 bytes)"},
    {"DeltaRowCountPastTheBlock",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 2, 3);
         const size_t at = b.Size() + 2;
         b.Data(std::vector<uint8_t>{0x09, 0x00, 0x01, 0x55}).Op(tag::EndImage).PageEnd().JobEnd();
         return at;
     },
     "delta-row byte count 9 runs past the end of the block"},
    {"StartLineOutOfOrder",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 1, 0);
         b.Data(Zeros(8));
         WriteReadImageHead(b, 5, 1, 0);
         const size_t at = b.Size() - 1;
         b.Data(Zeros(8)).Op(tag::EndImage).PageEnd().JobEnd();
         return at;
     },
     "ReadImage StartLine 5 does not continue the 1 rows read so far"},
    {"ImageEndedEarly",
     [](JobBuilder& b) {
         OpenImage(b);
         WriteReadImageHead(b, 0, 1, 0);
         b.Data(Zeros(8));
         const size_t at = b.Size();
         b.Op(tag::EndImage).PageEnd().JobEnd();
         return at;
     },
     "EndImage after 1 of the 2 rows"},
    {"OperatorInsideImage",
     [](JobBuilder& b) {
         OpenImage(b);
         const size_t at = b.Size();
         b.Op(tag::PushGS).PageEnd().JobEnd();
         return at;
     },
     "PushGS inside an image that is not ended"},
    {"ReadImageOutsideImage",
     [](JobBuilder& b) {
         b.JobStart().PageStart();
         WriteReadImageHead(b, 0, 1, 0);
         const size_t at = b.Size() - 1;
         b.Data(Zeros(8)).PageEnd().JobEnd();
         return at;
     },
     "ReadImage outside an image"},
    {"ImageWithoutSourceWidth",
     [](JobBuilder& b) {
         b.JobStart().PageStart();
         b.U8(0).Attr(id::ColorMapping).U8(2).Attr(id::ColorDepth).U16(2).Attr(id::SourceHeight);
         const size_t at = b.Size();
         b.Op(tag::BeginImage).Op(tag::EndImage).PageEnd().JobEnd();
         return at;
     },
     "BeginImage lacks its SourceWidth attribute"},
    {"PatternSelectedButNotDefined",
     [](JobBuilder& b) {
         b.JobStart().PageStart();
         b.S16(9).Attr(id::PatternSelectID);
         const size_t at = b.Size();
         b.Op(tag::SetBrushSource).PageEnd().JobEnd();
         return at;
     },
     "pattern 9 is selected but not defined"},
    {"EndPageWithoutBeginPage",
     [](JobBuilder& b) {
         b.JobStart().U16(1).Attr(id::PageCopies);
         const size_t at = b.Size();
         b.Op(tag::EndPage).JobEnd();
         return at;
     },
     "EndPage without BeginPage"},
    {"PopWithoutPush",
     [](JobBuilder& b) {
         b.JobStart();
         const size_t at = b.Size();
         b.Op(tag::PopGS).JobEnd();
         return at;
     },
     "PopGS without a matching PushGS"},
    {"AttributeGivenTwice",
     [](JobBuilder& b) {
         b.JobStart().U8(0).Attr(id::Orientation);
         const size_t at = b.Size();
         b.U8(1).Attr(id::Orientation).Op(tag::BeginPage).PageEnd().JobEnd();
         return at;
     },
     "attribute 0x28 given twice to BeginPage"},
    {"CharacterForFontNotDownloaded",
     [](JobBuilder& b) {
         b.JobStart().PageStart().String("0BMZ").Attr(id::FontName);
         const size_t at = b.Size();
         b.Op(tag::BeginChar).Op(tag::EndChar).PageEnd().JobEnd();
         return at;
     },
     "BeginChar for font \"0BMZ\", which is not downloaded"},
    {"CharDataSizeMismatch",
     [](JobBuilder& b) {
         OpenBitmapFont(b).String("0BMF").Attr(id::FontName).Op(tag::BeginChar);
         b.U16(0x41).Attr(id::CharCode).U16(30).Attr(id::CharDataSize);
         const size_t at = b.Size();
         b.Op(tag::ReadChar).Data(BitmapGlyph()).Op(tag::EndChar).PageEnd().JobEnd();
         return at;
     },
     "CharDataSize 30 does not match the 34 bytes of data"},
    {"BitmapCharacterCutShort",
     [](JobBuilder& b) {
         OpenBitmapFont(b).String("0BMF").Attr(id::FontName).Op(tag::BeginChar);
         std::vector<uint8_t> glyph = BitmapGlyph();
         glyph.resize(30);
         b.U16(0x41).Attr(id::CharCode).U16(30).Attr(id::CharDataSize).Op(tag::ReadChar);
         const size_t at = b.Size() + 2;
         b.Data(glyph).Op(tag::EndChar).PageEnd().JobEnd();
         return at;
     },
     "bitmap character of 9 x 12 needs 34 bytes, has 30"},
    {"FontHeaderLengthMismatch",
     [](JobBuilder& b) {
         b.JobStart().PageStart();
         b.String("0BMF").Attr(id::FontName).U8(0).Attr(id::FontFormat).Op(tag::BeginFontHeader);
         b.U16(20).Attr(id::FontHeaderLength);
         const size_t at = b.Size();
         b.Op(tag::ReadFontHeader).Data(BitmapFontDescriptor());
         b.U16(6).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(NullSegment()).Op(tag::EndFontHeader);
         b.PageEnd().JobEnd();
         return at;
     },
     "FontHeaderLength 20 does not match the 18 bytes of data"},
    {"FontHeaderWithoutNullSegment",
     [](JobBuilder& b) {
         b.JobStart().PageStart();
         b.String("0BMF").Attr(id::FontName).U8(0).Attr(id::FontFormat).Op(tag::BeginFontHeader);
         b.U16(18).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader);
         const size_t at = b.Size() + 2 + 18;
         b.Data(BitmapFontDescriptor()).Op(tag::EndFontHeader).PageEnd().JobEnd();
         return at;
     },
     "font \"0BMF\": font header does not end with the null segment"},
    {"FontSegmentPastTheHeader",
     [](JobBuilder& b) {
         b.JobStart().PageStart();
         b.String("0BMF").Attr(id::FontName).U8(0).Attr(id::FontFormat).Op(tag::BeginFontHeader);
         std::vector<uint8_t> header = BitmapFontDescriptor();
         header[13] = 0x40;  // BR claims 64 bytes
         b.U16(18).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader);
         const size_t at = b.Size() + 2 + 8;
         b.Data(header).Op(tag::EndFontHeader).PageEnd().JobEnd();
         return at;
     },
     "font segment BR of 64 bytes runs past the end of the header"},
    {"TextSpacingCountMismatch",
     [](JobBuilder& b) {
         b.JobStart().PageStart().Array(DataType::UInt16Array, {65, 66, 67}).Attr(id::TextData);
         const size_t at = b.Size();
         b.Array(DataType::UByteArray, {10, 10}).Attr(id::XSpacingData).Op(tag::Text).PageEnd().JobEnd();
         return at;
     },
     "XSpacingData holds 2 values for the 3 characters of TextData"},
    {"PathPointsOfWrongLength",
     [](JobBuilder& b) {
         b.JobStart().PageStart().Op(tag::NewPath);
         b.U16(3).Attr(id::NumberOfPoints).U8(1).Attr(id::PointType).Op(tag::LineRelPath);
         const size_t at = b.Size() + 2;
         b.Data(Zeros(4)).PageEnd().JobEnd();
         return at;
     },
     "NumberOfPoints 3 of PointType 1 needs 6 bytes of points, the data holds 4"},
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class DamagedJob : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedJob, IsReportedAtTheFirstByteThatDoesNotDecode) {
    const DamageCase& c = GetParam();
    JobBuilder b;
    const size_t at = c.build(b);
    const DecodedJob job = Decode(b);
    ASSERT_FALSE(job.Ok());
    const bool found = std::any_of(job.problems.begin(), job.problems.end(), [&](const Problem& p) {
        return p.offset == at && p.reason.find(c.reason) != std::string::npos;
    });
    EXPECT_TRUE(found) << "expected at offset " << at << ": " << c.reason << "\n" << FormatJob(job);
    for (const Problem& p : job.problems) {
        EXPECT_GE(p.offset, at) << FormatProblem(p);
        EXPECT_LE(p.offset, b.Size()) << FormatProblem(p);
    }
}

INSTANTIATE_TEST_SUITE_P(All, DamagedJob, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedJobs, EmptyJobIsAProblemNotACrash) {
    const DecodedJob job = DecodeJob(std::string_view());
    ASSERT_EQ(job.problems.size(), 1u);
    EXPECT_EQ(job.problems[0].offset, 0u);
    EXPECT_EQ(job.problems[0].reason, "the job is empty");
}

TEST(DamagedJobs, DecodingStopsAfterTheProblemLimit) {
    JobBuilder b;
    b.JobStart();
    for (int i = 0; i < 50; ++i) b.Raw({0xC6, 0x20});
    b.JobEnd();
    DecodeOptions options;
    options.maxProblems = 10;
    const DecodedJob job = DecodeJob(std::span<const uint8_t>(b.bytes), options);
    ASSERT_EQ(job.problems.size(), 11u);
    EXPECT_EQ(job.problems.back().reason, "too many problems; decoding stopped");
}

}  // namespace
}  // namespace tam::job::test

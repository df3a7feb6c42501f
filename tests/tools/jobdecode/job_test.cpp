// Whole jobs: PJL header and end of job, the stream header, and a
// well-formed job decoded completely and written back byte for byte.
#include "sample_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tam::job::test {
namespace {

TEST(Job, SampleJobDecodesCompletely) {
    JobBuilder b;
    BuildSampleJob(b);
    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    EXPECT_EQ(job.size, b.Size());
    EXPECT_EQ(job.whitespace, 0u);
    EXPECT_EQ(Reencode(job), b.bytes);

    // Header, stream, trailer.
    ASSERT_EQ(job.header.size(), 12u);
    EXPECT_TRUE(job.header.front().uel);
    EXPECT_EQ(job.header[1].command, "COMMENT");
    EXPECT_EQ(job.header[1].value, "Version 3.0 For Windows 2000");
    EXPECT_EQ(job.PjlValue("copies"), "1");
    EXPECT_EQ(job.PjlValue("PAPER"), "JIS B5");
    EXPECT_EQ(job.PjlValue("JOBOWNER"), "丢上海-PC");
    EXPECT_EQ(job.PjlValue("ORIENTATION"), std::nullopt);
    const PjlLine& enter = job.header.back();
    EXPECT_EQ(enter.command, "ENTER");
    EXPECT_EQ(enter.key, "LANGUAGE");
    EXPECT_EQ(enter.value, "PCLXL");
    EXPECT_EQ(enter.lineEnd, "\r\n");
    ASSERT_EQ(job.streams.size(), 1u);
    const StreamHeader& stream = job.streams[0];
    EXPECT_TRUE(stream.present);
    EXPECT_EQ(stream.binding, ')');
    EXPECT_EQ(stream.protocolClass, "3");
    EXPECT_EQ(stream.revision, "0");
    EXPECT_EQ(stream.comment, "Comment " + std::string(46, 'k') + std::string(1, '\0'));
    EXPECT_EQ(stream.raw.size(), 72u);
    ASSERT_EQ(job.trailer.size(), 3u);
    EXPECT_TRUE(job.trailer[0].uel);
    EXPECT_EQ(job.trailer[1].command, "EOJ");
    EXPECT_TRUE(job.trailer[2].uel);
    EXPECT_EQ(job.trailer[2].offset + 9, job.size);

    // Content.
    EXPECT_EQ(job.PageCount(), 2u);
    EXPECT_EQ(job.Count("SetCursor"), 3u);
    ASSERT_EQ(job.rasters.size(), 2u);
    const Raster& image = job.rasters[0];
    EXPECT_FALSE(image.pattern);
    EXPECT_EQ(image.width, 6u);
    EXPECT_EQ(image.height, 3u);
    EXPECT_EQ(image.rowBytes, 6u);
    EXPECT_EQ(image.compressModes, std::vector<int>{1});
    ASSERT_EQ(image.RowsHeld(), 3u);
    for (uint32_t y = 0; y < 3; ++y) {
        const std::vector<uint8_t> row(image.Row(y).begin(), image.Row(y).end());
        EXPECT_EQ(row, (std::vector<uint8_t>{uint8_t(y), uint8_t(y), uint8_t(y), 0x80, 0x40, 0x20})) << y;
    }
    const Raster& pattern = job.rasters[1];
    EXPECT_TRUE(pattern.pattern);
    EXPECT_EQ(pattern.patternId, 8);
    EXPECT_EQ(pattern.Row(5)[0], 0xF8);
    EXPECT_EQ(pattern.Pixel(0, 5), 1u);
    EXPECT_EQ(pattern.Pixel(5, 5), 0u);

    ASSERT_EQ(job.fonts.size(), 1u);
    const Font& font = job.fonts[0];
    EXPECT_EQ(font.name, "0BMArial");
    EXPECT_NE(font.removeOp, SIZE_MAX);
    ASSERT_EQ(font.glyphs.size(), 1u);
    const Operator* setFont = job.First("SetFont");
    ASSERT_NE(setFont, nullptr);
    EXPECT_EQ(setFont->font, 0);
    EXPECT_EQ(job.First("LineRelPath")->points, (std::vector<Point>{{10, 10}, {-10, 0}}));
}

// Operator by operator: each whole operator is told in job order, with its
// data; without keeping them the job holds none at the end, and finds the
// same problems.
TEST(Job, OperatorsAreToldInOrderAndNeedNotBeKept) {
    JobBuilder b;
    BuildSampleJob(b);
    b.Raw({0xFF});  // a stray byte for a problem
    const DecodedJob whole = DecodeJob(std::span<const uint8_t>(b.bytes));
    ASSERT_FALSE(whole.ops.empty());
    for (const bool keep : {true, false}) {
        std::vector<std::string> told;
        size_t dataBytes = 0;
        DecodeOptions options;
        options.keepOperators = keep;
        options.onOperator = [&](const Operator& op) {
            told.push_back(op.name.empty() ? "?" : std::string(op.name));
            dataBytes += op.data.size();
        };
        const DecodedJob job = DecodeJob(std::span<const uint8_t>(b.bytes), options);
        std::vector<std::string> expected;
        size_t expectedData = 0;
        for (const Operator& op : whole.ops) {
            expected.push_back(op.name.empty() ? "?" : std::string(op.name));
            expectedData += op.data.size();
        }
        EXPECT_EQ(told, expected) << "keep " << keep;
        EXPECT_EQ(dataBytes, expectedData);
        EXPECT_EQ(job.ops.size(), keep ? whole.ops.size() : 0u);
        ASSERT_EQ(job.problems.size(), whole.problems.size());
        EXPECT_EQ(job.problems.front().offset, whole.problems.front().offset);
    }
}

TEST(Job, DumpHasOneLinePerItemInByteOrder) {
    JobBuilder b;
    BuildSampleJob(b);
    const DecodedJob job = Decode(b);
    const std::string text = FormatJob(job);
    const size_t lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_EQ(lines, job.pjl.size() + job.streams.size() + job.ops.size() + 1);  // and a summary line
    EXPECT_NE(text.find("@PJL SET JOBOWNER=\"丢上海-PC\"\n"), std::string::npos);
    EXPECT_NE(text.find(" ReadImage StartLine=0 BlockHeight=3 CompressMode=eRLECompression data="), std::string::npos);
    EXPECT_NE(text.find(" EndImage image 6x3 8bpp direct rows=3/3\n"), std::string::npos);
    EXPECT_NE(text.find(" EndFontHeader font=\"0BMArial\" bitmap chars=1000 mapping=2 segments=BR(4),null(0) "
                        "resolution=600x600\n"),
              std::string::npos);
    EXPECT_NE(text.find(" ReadChar CharCode=233 CharDataSize=34 data=34B char=233 bitmap=9x12 at=(1,-12)\n"),
              std::string::npos);
    EXPECT_EQ(text.find("problem"), std::string::npos);
    // Offsets ascend through the dump.
    size_t previous = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (at >= text.size()) break;  // the summary line
        const size_t offset = std::stoul(line.substr(0, 8), nullptr, 16);
        EXPECT_GE(offset, previous) << line;
        previous = offset;
    }
}

TEST(Job, OwnerRunsToTheQuoteAtAnEvenDistanceBeforeCrLf) {
    // U+2211 U+0A0D is written 11 22 0D 0A: a quotation mark and CR LF at an
    // odd distance from the opening quote, inside the name. An unreadable
    // computer name is sent as an empty owner.
    for (const std::u16string& owner : {std::u16string(u"\u2211\u0A0DZ"), std::u16string(), std::u16string(kOwner)}) {
        JobBuilder b;
        b.Uel().JobOwner(owner).Pjl("SET COPIES=2").Uel();
        const DecodedJob job = Decode(b);
        ASSERT_TRUE(job.Ok()) << FormatJob(job);
        ASSERT_EQ(job.pjl.size(), 4u);
        EXPECT_TRUE(job.pjl[1].hasOwner);
        EXPECT_EQ(job.pjl[1].owner, owner);
        EXPECT_EQ(job.pjl[1].value, Utf16ToUtf8(owner));
        EXPECT_EQ(job.pjl[2].key, "COPIES");
        EXPECT_EQ(Reencode(job), b.bytes);
    }
}

TEST(Job, LineFeedAloneEndsAPjlLine) {
    JobBuilder b;
    b.Uel().Raw("@PJL SET COPIES=3\n").Uel();
    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    EXPECT_EQ(job.pjl[1].lineEnd, "\n");
    EXPECT_EQ(job.pjl[1].value, "3");
    EXPECT_NE(FormatJob(job).find("@PJL SET COPIES=3 (LF only)"), std::string::npos);
}

TEST(Job, EveryPrologueStartsAStreamOfItsOwn) {
    // Manual duplex writes a fresh prologue for each pass; a font downloaded in
    // the first stream is gone in the second.
    JobBuilder b;
    b.JobStart().PageStart();
    b.String("0BMX").Attr(id::FontName).U8(0).Attr(id::FontFormat).Op(tag::BeginFontHeader);
    b.U16(18).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(BitmapFontDescriptor());
    b.U16(6).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(NullSegment()).Op(tag::EndFontHeader);
    b.PageEnd();
    b.JobStart().PageStart();
    b.String("0BMX").Attr(id::FontName);
    const size_t removeAt = b.Size();
    b.Op(tag::RemoveFont).PageEnd().JobEnd();

    const DecodedJob job = Decode(b);
    ASSERT_EQ(job.streams.size(), 2u);
    EXPECT_EQ(job.header.size(), 4u);   // UEL, COMMENT, COPIES, ENTER
    EXPECT_EQ(job.trailer.size(), 3u);  // UEL, EOJ, UEL
    EXPECT_EQ(job.pjl.size(), 11u);
    EXPECT_EQ(job.ops.back().stream, 1u);
    EXPECT_EQ(job.ops.front().stream, 0u);
    EXPECT_EQ(job.PageCount(), 2u);
    ASSERT_EQ(job.problems.size(), 1u) << FormatJob(job);
    EXPECT_EQ(job.problems[0].offset, removeAt);
    EXPECT_NE(job.problems[0].reason.find("RemoveFont of font \"0BMX\", which is not downloaded"), std::string::npos);
}

TEST(Job, WhiteSpaceBetweenTokensIsReportedUnlessAllowed) {
    JobBuilder b;
    b.JobStart();
    b.U8(1);
    const size_t first = b.Size();
    b.Raw({' ', 0x00}).Attr(0x46);
    const size_t second = b.Size();
    b.Raw({'\n'}).Op(0x6E);  // FillMode, SetFillMode
    b.JobEnd();

    const DecodedJob strict = Decode(b);
    ASSERT_EQ(strict.problems.size(), 2u) << FormatJob(strict);
    EXPECT_EQ(strict.problems[0].offset, first);
    EXPECT_EQ(strict.problems[0].reason, "2 white-space byte(s) between PCL XL tokens");
    EXPECT_EQ(strict.problems[1].offset, second);

    DecodeOptions options;
    options.allowWhitespace = true;
    const DecodedJob job = DecodeJob(std::span<const uint8_t>(b.bytes), options);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    EXPECT_EQ(job.whitespace, 3u);
    EXPECT_EQ(job.First("SetFillMode")->Int("FillMode"), 1);
}

}  // namespace
}  // namespace tam::job::test

// A well-formed two-page job with the driver's kinds of content: PJL header
// with a Chinese job owner, session, page media, a run-length image, a hatch
// pattern, a downloaded bitmap font with text, a path and the end of job.
#pragma once

#include "job_builder.h"

namespace tam::job::test {

inline constexpr char16_t kOwner[] = u"丢上海-PC";  // UTF-16LE bytes hold 0x22 and 0x0A

// The 18 + 6 header bytes of a bitmap font at 600 dpi.
inline std::vector<uint8_t> BitmapFontDescriptor() {
    return {0x00, 0x00, 0x00, 0x02, 0xFE, 0x00, 0x03, 0xE8, 'B', 'R', 0x00, 0x00, 0x00, 0x04, 0x02, 0x58, 0x02, 0x58};
}
inline std::vector<uint8_t> NullSegment() { return {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00}; }

// A 9 x 12 bitmap character: 10-byte header, 12 rows of 2 bytes (a frame).
inline std::vector<uint8_t> BitmapGlyph() {
    std::vector<uint8_t> g = {0x00, 0x00, 0x00, 0x01, 0xFF, 0xF4, 0x00, 0x09, 0x00, 0x0C};
    for (int row = 0; row < 12; ++row) {
        const bool edge = row == 0 || row == 11;
        g.push_back(edge ? 0xFF : 0x80);
        g.push_back(edge ? 0x80 : 0x80);
    }
    return g;
}

inline void WriteImageHead(JobBuilder& b, int mapping, int depth, int width, int height) {
    b.U8(static_cast<uint8_t>(mapping)).Attr(id::ColorMapping).U8(static_cast<uint8_t>(depth)).Attr(id::ColorDepth);
    b.U16(static_cast<uint16_t>(width)).Attr(id::SourceWidth).U16(static_cast<uint16_t>(height)).Attr(id::SourceHeight);
    b.Pair(DataType::UInt16XY, width * 2, height * 2).Attr(id::DestinationSize).Op(tag::BeginImage);
}

inline void WriteReadImageHead(JobBuilder& b, int start, int rows, int mode) {
    b.U16(static_cast<uint16_t>(start)).Attr(id::StartLine).U16(static_cast<uint16_t>(rows)).Attr(id::BlockHeight);
    b.U8(static_cast<uint8_t>(mode)).Attr(id::CompressMode).Op(tag::ReadImage);
}

inline void BuildSampleJob(JobBuilder& b) {
    b.Uel().Pjl("COMMENT Version 3.0 For Windows 2000").Pjl("SET COPIES=1").Pjl("SET DUPLEX=OFF");
    b.Pjl("SET BINDING=LONGEDGE").Pjl("SET PAPERTYPE=PLAIN").JobOwner(kOwner).Pjl("SET PAPER=JIS B5");
    b.Pjl("SET DENSITY=LEVEL2").Pjl("SET RESOLUTION=600").Pjl("SET FINE=OFF").Pjl("ENTER LANGUAGE=PCLXL");
    b.Raw(") HP-PCL XL;3;0;Comment ").Raw(std::string(46, 'k')).Raw(std::string_view("\0\n", 2));
    b.U8(0).Attr(id::Measure).Pair(DataType::UInt16XY, 600, 600).Attr(id::UnitsPerMeasure);
    b.U8(3).Attr(id::ErrorReport).Op(tag::BeginSession);
    b.U8(0).Attr(id::SourceType).U8(1).Attr(id::DataOrg).Op(tag::OpenDataSource);

    // Page 1: a grey image, run-length rows, and a hatch pattern used as brush.
    b.PageStart();
    b.U8(1).Attr(id::ColorSpace).Op(tag::SetColorSpace);
    b.Pair(DataType::SInt16XY, 100, 100).Attr(id::Point).Op(tag::SetCursor);
    WriteImageHead(b, 0, 2, 6, 3);
    WriteReadImageHead(b, 0, 3, 1);
    std::vector<uint8_t> rle;
    for (int row = 0; row < 3; ++row) {
        const std::vector<uint8_t> pixels = {uint8_t(row), uint8_t(row), uint8_t(row), 0x80, 0x40, 0x20, 0, 0};
        const std::vector<uint8_t> packed = PackBits(pixels);
        rle.insert(rle.end(), packed.begin(), packed.end());
    }
    b.Raw({0xFA}).Le(rle.size(), 4).Raw(rle);
    b.Op(tag::EndImage);
    b.U8(1).Attr(id::ColorMapping).U8(0).Attr(id::ColorDepth).U16(8).Attr(id::SourceWidth);
    b.U16(8).Attr(id::SourceHeight).Pair(DataType::UInt16XY, 32, 32).Attr(id::DestinationSize);
    b.S16(8).Attr(id::PatternDefineID).U8(2).Attr(id::PatternPersistence).Op(tag::BeginRastPattern);
    b.U16(0).Attr(id::StartLine).U16(8).Attr(id::BlockHeight).U8(0).Attr(id::CompressMode).Op(tag::ReadRastPattern);
    std::vector<uint8_t> hatch;
    for (uint8_t row : {0x27, 0x8F, 0x8F, 0x27, 0x72, 0xF8, 0xF8, 0x72}) hatch.insert(hatch.end(), {row, 0, 0, 0});
    b.Data(hatch).Op(tag::EndRastPattern);
    b.S16(8).Attr(id::PatternSelectID).Op(tag::SetBrushSource);
    b.Op(tag::NewPath).Box(DataType::SInt16Box, 10, 10, 90, 50).Attr(id::BoundingBox).Op(tag::RectanglePath);
    b.Op(tag::PaintPath).PageEnd();

    // Page 2: a downloaded bitmap font, one character and text; a relative path.
    b.PageStart();
    b.String("0BMArial").Attr(id::FontName).U8(0).Attr(id::FontFormat).Op(tag::BeginFontHeader);
    b.U16(18).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(BitmapFontDescriptor());
    b.U16(6).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(NullSegment()).Op(tag::EndFontHeader);
    b.String("0BMArial").Attr(id::FontName).Op(tag::BeginChar);
    b.U16(0xE9).Attr(id::CharCode).U16(34).Attr(id::CharDataSize).Op(tag::ReadChar).Data(BitmapGlyph());
    b.Op(tag::EndChar);
    b.String("0BMArial").Attr(id::FontName).Real(50).Attr(id::CharSize).U16(2).Attr(id::SymbolSet).Op(tag::SetFont);
    b.Pair(DataType::SInt16XY, 300, 400).Attr(id::Point).Op(tag::SetCursor);
    b.Array(DataType::UInt16Array, {0xE9, 0xE9}).Attr(id::TextData);
    b.Array(DataType::UByteArray, {12, 12}).Attr(id::XSpacingData).Op(tag::Text);
    b.Pair(DataType::SInt16XY, 0, 0).Attr(id::Point).Op(tag::SetCursor).Op(tag::NewPath);
    b.U16(2).Attr(id::NumberOfPoints).U8(1).Attr(id::PointType).Op(tag::LineRelPath).Data(std::vector<uint8_t>{10, 10, 0xF6, 0});
    b.Op(tag::PaintPath).PageEnd();
    b.String("0BMArial").Attr(id::FontName).Op(tag::RemoveFont);
    b.JobEnd();
}

}  // namespace tam::job::test

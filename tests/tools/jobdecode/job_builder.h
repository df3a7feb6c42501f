// A small encoder for hand-made jobs: PJL lines and PCL XL tokens in the
// little-endian binary binding, appended byte by byte so that a test knows the
// offset of everything it writes. Also reference encoders for image rows and
// a re-encoder that turns a decoded job back into bytes.
#pragma once

#include "jobdecode.h"

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tam::job::test {

namespace tag {
inline constexpr uint8_t BeginSession = 0x41, EndSession = 0x42, BeginPage = 0x43, EndPage = 0x44;
inline constexpr uint8_t VendorUnique = 0x46, OpenDataSource = 0x48, CloseDataSource = 0x49;
inline constexpr uint8_t BeginFontHeader = 0x4F, ReadFontHeader = 0x50, EndFontHeader = 0x51;
inline constexpr uint8_t BeginChar = 0x52, ReadChar = 0x53, EndChar = 0x54, RemoveFont = 0x55;
inline constexpr uint8_t PopGS = 0x60, PushGS = 0x61, SetBrushSource = 0x63, SetColorSpace = 0x6A;
inline constexpr uint8_t SetCursor = 0x6B, SetFont = 0x6F, SetPenWidth = 0x7A, NewPath = 0x85;
inline constexpr uint8_t PaintPath = 0x86, BezierRelPath = 0x95, LinePath = 0x9B, LineRelPath = 0x9D;
inline constexpr uint8_t RectanglePath = 0xA1, Text = 0xA8;
inline constexpr uint8_t BeginImage = 0xB0, ReadImage = 0xB1, EndImage = 0xB2;
inline constexpr uint8_t BeginRastPattern = 0xB3, ReadRastPattern = 0xB4, EndRastPattern = 0xB5;
}  // namespace tag

namespace id {
inline constexpr uint8_t ColorSpace = 0x03, PaletteDepth = 0x02, PaletteData = 0x06, PatternSelectID = 0x08;
inline constexpr uint8_t GrayLevel = 0x09, MediaSize = 0x25, Orientation = 0x28, PageCopies = 0x31;
inline constexpr uint8_t BoundingBox = 0x42, PenWidth = 0x4B, Point = 0x4C, NumberOfPoints = 0x4D;
inline constexpr uint8_t PointType = 0x50, ColorDepth = 0x62, BlockHeight = 0x63, ColorMapping = 0x64;
inline constexpr uint8_t CompressMode = 0x65, DestinationSize = 0x67, PatternPersistence = 0x68;
inline constexpr uint8_t PatternDefineID = 0x69, SourceHeight = 0x6B, SourceWidth = 0x6C, StartLine = 0x6D;
inline constexpr uint8_t DataOrg = 0x82, Measure = 0x86, SourceType = 0x88, UnitsPerMeasure = 0x89;
inline constexpr uint8_t ErrorReport = 0x8F, CharCode = 0xA2, CharDataSize = 0xA3, CharSize = 0xA6;
inline constexpr uint8_t FontHeaderLength = 0xA7, FontName = 0xA8, FontFormat = 0xA9, SymbolSet = 0xAA;
inline constexpr uint8_t TextData = 0xAB, XSpacingData = 0xAF;
}  // namespace id

class JobBuilder {
public:
    std::vector<uint8_t> bytes;

    size_t Size() const { return bytes.size(); }
    std::string_view View() const { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

    JobBuilder& Raw(std::string_view s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    JobBuilder& Raw(std::initializer_list<uint8_t> list) {
        bytes.insert(bytes.end(), list.begin(), list.end());
        return *this;
    }
    JobBuilder& Raw(std::span<const uint8_t> data) {
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    JobBuilder& Le(uint64_t v, size_t size) {
        for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }

    // PJL
    JobBuilder& Uel() { return Raw("\x1B%-12345X"); }
    JobBuilder& Pjl(std::string_view rest) { return Raw("@PJL ").Raw(rest).Raw("\r\n"); }
    JobBuilder& JobOwner(std::u16string_view owner) {
        Raw("@PJL SET JOBOWNER=\"");
        for (char16_t c : owner) Le(c, 2);
        return Raw("\"\r\n");
    }
    JobBuilder& StreamHeader(std::string_view comment = "Comment hand-made job") {
        return Raw(") HP-PCL XL;3;0;").Raw(comment).Raw("\n");
    }

    // Values (tag and payload); an attribute identifier must follow.
    JobBuilder& Scalar(DataType type, double v) {
        bytes.push_back(static_cast<uint8_t>(type));
        return Element(static_cast<uint8_t>(type) & 7, v);
    }
    JobBuilder& U8(uint8_t v) { return Scalar(DataType::UByte, v); }
    JobBuilder& U16(uint16_t v) { return Scalar(DataType::UInt16, v); }
    JobBuilder& U32(uint32_t v) { return Scalar(DataType::UInt32, v); }
    JobBuilder& S16(int16_t v) { return Scalar(DataType::SInt16, v); }
    JobBuilder& Real(float v) { return Scalar(DataType::Real32, v); }
    JobBuilder& Pair(DataType type, double x, double y) {
        bytes.push_back(static_cast<uint8_t>(type));
        return Element(static_cast<uint8_t>(type) & 7, x).Element(static_cast<uint8_t>(type) & 7, y);
    }
    JobBuilder& Box(DataType type, double l, double t, double r, double b) {
        bytes.push_back(static_cast<uint8_t>(type));
        for (double v : {l, t, r, b}) Element(static_cast<uint8_t>(type) & 7, v);
        return *this;
    }
    // An array; lengthTag 0 picks ubyte for counts up to 255, else uint16.
    JobBuilder& Array(DataType type, const std::vector<double>& values, uint8_t lengthTag = 0) {
        if (lengthTag == 0) lengthTag = values.size() <= 255 ? 0xC0 : 0xC1;
        bytes.push_back(static_cast<uint8_t>(type));
        bytes.push_back(lengthTag);
        Le(values.size(), lengthTag == 0xC0 ? 1 : 2);
        for (double v : values) Element(static_cast<uint8_t>(type) & 7, v);
        return *this;
    }
    JobBuilder& String(std::string_view text, uint8_t lengthTag = 0xC1) {
        std::vector<double> values(text.begin(), text.end());
        for (double& v : values) v = static_cast<uint8_t>(v);
        return Array(DataType::UByteArray, values, lengthTag);
    }

    JobBuilder& Attr(uint8_t attributeId) { return Raw({0xF8, attributeId}); }
    JobBuilder& Attr16(uint16_t attributeId) { return Raw({0xF9}).Le(attributeId, 2); }
    JobBuilder& Op(uint8_t operatorTag) { return Raw({operatorTag}); }
    // Embedded data; form 0 picks 0xFB below 256 bytes, else 0xFA.
    JobBuilder& Data(std::span<const uint8_t> data, uint8_t form = 0) {
        if (form == 0) form = data.size() < 256 ? 0xFB : 0xFA;
        bytes.push_back(form);
        Le(data.size(), form == 0xFB ? 1 : 4);
        return Raw(data);
    }

    // The job prologue and end as the driver writes them.
    JobBuilder& JobStart() {
        Uel().Pjl("COMMENT Version 3.0 For Windows 2000").Pjl("SET COPIES=1").Pjl("ENTER LANGUAGE=PCLXL");
        StreamHeader();
        U8(0).Attr(id::Measure).Pair(DataType::UInt16XY, 600, 600).Attr(id::UnitsPerMeasure);
        U8(3).Attr(id::ErrorReport).Op(tag::BeginSession);
        return U8(0).Attr(id::SourceType).U8(1).Attr(id::DataOrg).Op(tag::OpenDataSource);
    }
    JobBuilder& JobEnd() {
        Op(tag::CloseDataSource).Op(tag::EndSession);
        return Uel().Pjl("EOJ").Uel();
    }
    JobBuilder& PageStart() {
        U8(0).Attr(id::Orientation).String("A4").Attr(id::MediaSize).Op(tag::BeginPage);
        return Op(tag::PushGS);
    }
    JobBuilder& PageEnd() { return U16(1).Attr(id::PageCopies).Op(tag::EndPage); }

private:
    JobBuilder& Element(uint8_t base, double v) {
        switch (base) {
        case 0: return Le(static_cast<uint8_t>(v), 1);
        case 1: return Le(static_cast<uint16_t>(v), 2);
        case 2: return Le(static_cast<uint32_t>(v), 4);
        case 3: return Le(static_cast<uint16_t>(static_cast<int16_t>(v)), 2);
        case 4: return Le(static_cast<uint32_t>(static_cast<int32_t>(v)), 4);
        default: return Le(std::bit_cast<uint32_t>(static_cast<float>(v)), 4);
        }
    }
};

// Reference PackBits encoder: literal runs and repeats of up to 128 bytes.
inline std::vector<uint8_t> PackBits(std::span<const uint8_t> row) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < row.size()) {
        size_t run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(1 - static_cast<int>(run)));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        size_t start = i;
        while (i < row.size() && i - start < 128 && !(i + 1 < row.size() && row[i] == row[i + 1])) ++i;
        out.push_back(static_cast<uint8_t>(i - start - 1));
        out.insert(out.end(), row.begin() + start, row.begin() + i);
    }
    return out;
}

// Reference delta-row encoder of one row against the seed (updated in place):
// little-endian command count, then commands of up to 8 replaced bytes.
inline std::vector<uint8_t> DeltaRow(std::span<const uint8_t> row, std::vector<uint8_t>& seed) {
    std::vector<uint8_t> out(2);
    size_t cursor = 0, i = 0;
    while (i < row.size()) {
        if (row[i] == seed[i]) {
            ++i;
            continue;
        }
        size_t count = 0;
        while (i + count < row.size() && count < 8 && row[i + count] != seed[i + count]) ++count;
        size_t offset = i - cursor;
        out.push_back(static_cast<uint8_t>(((count - 1) << 5) | (offset < 31 ? offset : 31)));
        if (offset >= 31) {
            offset -= 31;
            while (offset >= 255) {
                out.push_back(255);
                offset -= 255;
            }
            out.push_back(static_cast<uint8_t>(offset));
        }
        for (size_t k = 0; k < count; ++k) out.push_back(seed[i + k] = row[i + k]);
        i += count;
        cursor = i;
    }
    const size_t commands = out.size() - 2;
    out[0] = static_cast<uint8_t>(commands);
    out[1] = static_cast<uint8_t>(commands >> 8);
    return out;
}

// The bytes of a decoded job, written back from what the decoder recorded
// (little-endian binding). Equal to the input exactly when the decoder
// accounted for every byte.
inline std::vector<uint8_t> Reencode(const DecodedJob& job) {
    JobBuilder out;
    size_t nextOp = 0;
    auto writeStream = [&](size_t stream) {
        if (stream < job.streams.size()) out.Raw(job.streams[stream].raw);
        for (; nextOp < job.ops.size() && job.ops[nextOp].stream == stream; ++nextOp) {
            const Operator& op = job.ops[nextOp];
            for (const Attribute& a : op.attributes) {
                const Value& v = a.value;
                const uint8_t type = static_cast<uint8_t>(v.type);
                out.bytes.push_back(type);
                if (v.IsArray()) {
                    out.bytes.push_back(v.lengthTag);
                    out.Le(v.Count(), v.lengthTag == 0xC0 ? 1 : 2);
                }
                static constexpr size_t kSize[6] = {1, 2, 4, 2, 4, 4};
                for (size_t i = 0; i < v.Count(); ++i) {
                    if (v.IsReal()) {
                        out.Le(std::bit_cast<uint32_t>(v.reals[i]), 4);
                    } else {
                        out.Le(static_cast<uint64_t>(v.ints[i]), kSize[type & 7]);
                    }
                }
                if (a.idTag == 0xF8) {
                    out.Attr(static_cast<uint8_t>(a.id));
                } else {
                    out.Attr16(a.id);
                }
            }
            out.Op(op.tag);
            if (op.dataTag) out.Data(op.data, op.dataTag);
        }
    };
    size_t section = 0;
    for (const PjlLine& line : job.pjl) {
        while (section < line.section) writeStream(section++);
        out.Raw(line.text).Raw(line.lineEnd);
    }
    while (section < job.streams.size()) writeStream(section++);
    return out.bytes;
}

inline DecodedJob Decode(const JobBuilder& b) { return DecodeJob(std::span<const uint8_t>(b.bytes)); }

}  // namespace tam::job::test

// The standard PCL XL operator and attribute numbers the decoder works with.
#pragma once

#include <cstdint>
#include <string_view>

namespace tam::job {

// What an operator does with embedded data that follows it.
enum class DataUse : uint8_t {
    None,      // takes none
    Optional,  // may carry some
    Required,  // always followed by data
    Points,    // path operators: data holds the points when NumberOfPoints is given
};

struct OperatorInfo {
    std::string_view name;
    DataUse data = DataUse::None;
};

const OperatorInfo* FindOperatorInfo(uint8_t tag);  // nullptr: not a standard operator

namespace op {
inline constexpr uint8_t BeginSession = 0x41, EndSession = 0x42, BeginPage = 0x43, EndPage = 0x44;
inline constexpr uint8_t OpenDataSource = 0x48;
inline constexpr uint8_t BeginFontHeader = 0x4F, ReadFontHeader = 0x50, EndFontHeader = 0x51;
inline constexpr uint8_t BeginChar = 0x52, ReadChar = 0x53, EndChar = 0x54, RemoveFont = 0x55;
inline constexpr uint8_t BeginStream = 0x5B, ReadStream = 0x5C, EndStream = 0x5D;
inline constexpr uint8_t PopGS = 0x60, PushGS = 0x61, SetBrushSource = 0x63, SetColorSpace = 0x6A;
inline constexpr uint8_t SetFont = 0x6F, SetPenSource = 0x79;
inline constexpr uint8_t BezierPath = 0x93, BezierRelPath = 0x95, LinePath = 0x9B, LineRelPath = 0x9D;
inline constexpr uint8_t Text = 0xA8, TextPath = 0xA9;
inline constexpr uint8_t BeginImage = 0xB0, ReadImage = 0xB1, EndImage = 0xB2;
inline constexpr uint8_t BeginRastPattern = 0xB3, ReadRastPattern = 0xB4, EndRastPattern = 0xB5;
inline constexpr uint8_t BeginScan = 0xB6, EndScan = 0xB8, ScanLineRel = 0xB9;
}  // namespace op

namespace attr {
inline constexpr uint16_t ColorSpace = 0x03, PaletteData = 0x06, PatternSelectID = 0x08;
inline constexpr uint16_t NumberOfPoints = 0x4D, PointType = 0x50;
inline constexpr uint16_t ColorDepth = 0x62, BlockHeight = 0x63, ColorMapping = 0x64, CompressMode = 0x65;
inline constexpr uint16_t DestinationSize = 0x67, PatternPersistence = 0x68, PatternDefineID = 0x69;
inline constexpr uint16_t SourceHeight = 0x6B, SourceWidth = 0x6C, StartLine = 0x6D, PadBytesMultiple = 0x6E;
inline constexpr uint16_t DataOrg = 0x82;
inline constexpr uint16_t CharCode = 0xA2, CharDataSize = 0xA3, FontHeaderLength = 0xA7, FontName = 0xA8;
inline constexpr uint16_t FontFormat = 0xA9, TextData = 0xAB, XSpacingData = 0xAF, YSpacingData = 0xB0;
}  // namespace attr

}  // namespace tam::job

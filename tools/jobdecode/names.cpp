// Names of the standard PCL XL operators, attributes and enumerations.
#include "jobdecode.h"
#include "tables.h"

#include <array>

namespace tam::job {
namespace {

struct OperatorRow {
    uint8_t tag;
    OperatorInfo info;
};

constexpr OperatorRow kOperators[] = {
    {0x41, {"BeginSession"}}, {0x42, {"EndSession"}}, {0x43, {"BeginPage"}}, {0x44, {"EndPage"}},
    {0x46, {"VendorUnique", DataUse::Optional}}, {0x47, {"Comment"}},
    {0x48, {"OpenDataSource"}}, {0x49, {"CloseDataSource"}}, {0x4A, {"EchoComment"}},
    {0x4B, {"Query"}}, {0x4C, {"Diagnostic3"}},
    {0x4F, {"BeginFontHeader"}}, {0x50, {"ReadFontHeader", DataUse::Required}}, {0x51, {"EndFontHeader"}},
    {0x52, {"BeginChar"}}, {0x53, {"ReadChar", DataUse::Required}}, {0x54, {"EndChar"}},
    {0x55, {"RemoveFont"}}, {0x56, {"SetCharAttributes"}}, {0x57, {"SetDefaultGS"}},
    {0x58, {"SetColorTreatment"}},
    {0x5B, {"BeginStream"}}, {0x5C, {"ReadStream", DataUse::Required}}, {0x5D, {"EndStream"}},
    {0x5E, {"ExecStream"}}, {0x5F, {"RemoveStream"}},
    {0x60, {"PopGS"}}, {0x61, {"PushGS"}}, {0x62, {"SetClipReplace"}}, {0x63, {"SetBrushSource"}},
    {0x64, {"SetCharAngle"}}, {0x65, {"SetCharScale"}}, {0x66, {"SetCharShear"}},
    {0x67, {"SetClipIntersect"}}, {0x68, {"SetClipRectangle"}}, {0x69, {"SetClipToPage"}},
    {0x6A, {"SetColorSpace"}}, {0x6B, {"SetCursor"}}, {0x6C, {"SetCursorRel"}},
    {0x6D, {"SetHalftoneMethod"}}, {0x6E, {"SetFillMode"}}, {0x6F, {"SetFont"}},
    {0x70, {"SetLineDash"}}, {0x71, {"SetLineCap"}}, {0x72, {"SetLineJoin"}}, {0x73, {"SetMiterLimit"}},
    {0x74, {"SetPageDefaultCTM"}}, {0x75, {"SetPageOrigin"}}, {0x76, {"SetPageRotation"}},
    {0x77, {"SetPageScale"}}, {0x78, {"SetPaintTxMode"}}, {0x79, {"SetPenSource"}},
    {0x7A, {"SetPenWidth"}}, {0x7B, {"SetROP"}}, {0x7C, {"SetSourceTxMode"}},
    {0x7D, {"SetCharBoldValue"}}, {0x7E, {"SetNeutralAxis"}}, {0x7F, {"SetClipMode"}},
    {0x80, {"SetPathToClip"}}, {0x81, {"SetCharSubMode"}},
    {0x82, {"BeginUserDefinedLineCap"}}, {0x83, {"EndUserDefinedLineCap"}},
    {0x84, {"CloseSubPath"}}, {0x85, {"NewPath"}}, {0x86, {"PaintPath"}},
    {0x91, {"ArcPath"}}, {0x92, {"SetColorTrapping"}}, {0x93, {"BezierPath", DataUse::Points}},
    {0x94, {"SetAdaptiveHalftoning"}}, {0x95, {"BezierRelPath", DataUse::Points}},
    {0x96, {"Chord"}}, {0x97, {"ChordPath"}}, {0x98, {"Ellipse"}}, {0x99, {"EllipsePath"}},
    {0x9B, {"LinePath", DataUse::Points}}, {0x9D, {"LineRelPath", DataUse::Points}},
    {0x9E, {"Pie"}}, {0x9F, {"PiePath"}}, {0xA0, {"Rectangle"}}, {0xA1, {"RectanglePath"}},
    {0xA2, {"RoundRectangle"}}, {0xA3, {"RoundRectanglePath"}},
    {0xA8, {"Text"}}, {0xA9, {"TextPath"}},
    {0xB0, {"BeginImage"}}, {0xB1, {"ReadImage", DataUse::Required}}, {0xB2, {"EndImage"}},
    {0xB3, {"BeginRastPattern"}}, {0xB4, {"ReadRastPattern", DataUse::Required}},
    {0xB5, {"EndRastPattern"}}, {0xB6, {"BeginScan"}}, {0xB8, {"EndScan"}},
    {0xB9, {"ScanLineRel", DataUse::Required}}, {0xBF, {"PassThrough", DataUse::Required}},
};

struct AttributeRow {
    uint16_t id;
    std::string_view name;
};

constexpr AttributeRow kAttributes[] = {
    {0x02, "PaletteDepth"}, {0x03, "ColorSpace"}, {0x04, "NullBrush"}, {0x05, "NullPen"},
    {0x06, "PaletteData"}, {0x07, "PaletteIndex"}, {0x08, "PatternSelectID"}, {0x09, "GrayLevel"},
    {0x0B, "RGBColor"}, {0x0C, "PatternOrigin"}, {0x0D, "NewDestinationSize"},
    {0x0E, "PrimaryArray"}, {0x0F, "PrimaryDepth"},
    {0x1D, "AllObjectTypes"}, {0x1E, "TextObjects"}, {0x1F, "VectorObjects"}, {0x20, "RasterObjects"},
    {0x21, "DeviceMatrix"}, {0x22, "DitherMatrixDataType"}, {0x23, "DitherOrigin"},
    {0x24, "MediaDestination"}, {0x25, "MediaSize"}, {0x26, "MediaSource"}, {0x27, "MediaType"},
    {0x28, "Orientation"}, {0x29, "PageAngle"}, {0x2A, "PageOrigin"}, {0x2B, "PageScale"},
    {0x2C, "ROP3"}, {0x2D, "TxMode"}, {0x2F, "CustomMediaSize"}, {0x30, "CustomMediaSizeUnits"},
    {0x31, "PageCopies"}, {0x32, "DitherMatrixSize"}, {0x33, "DitherMatrixDepth"},
    {0x34, "SimplexPageMode"}, {0x35, "DuplexPageMode"}, {0x36, "DuplexPageSide"},
    {0x41, "ArcDirection"}, {0x42, "BoundingBox"}, {0x43, "DashOffset"}, {0x44, "EllipseDimension"},
    {0x45, "EndPoint"}, {0x46, "FillMode"}, {0x47, "LineCapStyle"}, {0x48, "LineJoinStyle"},
    {0x49, "MiterLength"}, {0x4A, "LineDashStyle"}, {0x4B, "PenWidth"}, {0x4C, "Point"},
    {0x4D, "NumberOfPoints"}, {0x4E, "SolidLine"}, {0x4F, "StartPoint"}, {0x50, "PointType"},
    {0x51, "ControlPoint1"}, {0x52, "ControlPoint2"}, {0x53, "ClipRegion"}, {0x54, "ClipMode"},
    {0x62, "ColorDepth"}, {0x63, "BlockHeight"}, {0x64, "ColorMapping"}, {0x65, "CompressMode"},
    {0x66, "DestinationBox"}, {0x67, "DestinationSize"}, {0x68, "PatternPersistence"},
    {0x69, "PatternDefineID"}, {0x6B, "SourceHeight"}, {0x6C, "SourceWidth"}, {0x6D, "StartLine"},
    {0x6E, "PadBytesMultiple"}, {0x6F, "BlockByteLength"}, {0x73, "NumberOfScanLines"},
    {0x78, "ColorTreatment"},
    {0x81, "CommentData"}, {0x82, "DataOrg"}, {0x86, "Measure"}, {0x88, "SourceType"},
    {0x89, "UnitsPerMeasure"}, {0x8A, "QueryKey"}, {0x8B, "StreamName"}, {0x8C, "StreamDataLength"},
    {0x8F, "ErrorReport"}, {0x90, "IOReadTimeOut"},
    {0x91, "VUExtension"}, {0x92, "VUDataLength"}, {0x93, "VUAttr1"}, {0x94, "VUAttr2"},
    {0x95, "VUAttr3"}, {0x96, "VUAttr4"}, {0x97, "VUAttr5"}, {0x98, "VUAttr6"}, {0x99, "VUAttr7"},
    {0x9A, "VUAttr8"}, {0x9B, "VUAttr9"}, {0x9C, "VUAttr10"}, {0x9D, "VUAttr11"}, {0x9E, "VUAttr12"},
    {0x9F, "PassThroughCommand"}, {0xA0, "PassThroughArray"},
    {0xA1, "CharAngle"}, {0xA2, "CharCode"}, {0xA3, "CharDataSize"}, {0xA4, "CharScale"},
    {0xA5, "CharShear"}, {0xA6, "CharSize"}, {0xA7, "FontHeaderLength"}, {0xA8, "FontName"},
    {0xA9, "FontFormat"}, {0xAA, "SymbolSet"}, {0xAB, "TextData"}, {0xAC, "CharSubModeArray"},
    {0xAD, "WritingMode"}, {0xAE, "BitmapCharScale"}, {0xAF, "XSpacingData"}, {0xB0, "YSpacingData"},
    {0xB1, "CharBoldValue"},
};

struct EnumRow {
    uint16_t attribute;
    int64_t value;
    std::string_view name;
};

constexpr EnumRow kEnums[] = {
    {0x02, 0, "e1Bit"}, {0x02, 1, "e4Bit"}, {0x02, 2, "e8Bit"},
    {0x03, 1, "eGray"}, {0x03, 2, "eRGB"}, {0x03, 6, "eSRGB"},
    {0x28, 0, "ePortraitOrientation"}, {0x28, 1, "eLandscapeOrientation"},
    {0x28, 2, "eReversePortrait"}, {0x28, 3, "eReverseLandscape"}, {0x28, 4, "eDefaultOrientation"},
    {0x26, 0, "eDefaultSource"}, {0x26, 1, "eAutoSelect"}, {0x26, 2, "eManualFeed"},
    {0x26, 3, "eMultiPurposeTray"}, {0x26, 4, "eUpperCassette"}, {0x26, 5, "eLowerCassette"},
    {0x26, 6, "eEnvelopeTray"}, {0x26, 7, "eThirdCassette"},
    {0x2D, 0, "eOpaque"}, {0x2D, 1, "eTransparent"},
    {0x30, 0, "eInch"}, {0x30, 1, "eMillimeter"}, {0x30, 2, "eTenthsOfAMillimeter"},
    {0x34, 0, "eSimplexFrontSide"},
    {0x35, 0, "eDuplexHorizontalBinding"}, {0x35, 1, "eDuplexVerticalBinding"},
    {0x36, 0, "eFrontMediaSide"}, {0x36, 1, "eBackMediaSide"},
    {0x41, 0, "eClockWise"}, {0x41, 1, "eCounterClockWise"},
    {0x46, 0, "eNonZeroWinding"}, {0x46, 1, "eEvenOdd"},
    {0x47, 0, "eButtCap"}, {0x47, 1, "eRoundCap"}, {0x47, 2, "eSquareCap"}, {0x47, 3, "eTriangleCap"},
    {0x48, 0, "eMiterJoin"}, {0x48, 1, "eRoundJoin"}, {0x48, 2, "eBevelJoin"}, {0x48, 3, "eNoJoin"},
    {0x50, 0, "eUByte"}, {0x50, 1, "eSByte"}, {0x50, 2, "eUInt16"}, {0x50, 3, "eSInt16"},
    {0x53, 0, "eInterior"}, {0x53, 1, "eExterior"},
    {0x54, 0, "eNonZeroWinding"}, {0x54, 1, "eEvenOdd"},
    {0x62, 0, "e1Bit"}, {0x62, 1, "e4Bit"}, {0x62, 2, "e8Bit"},
    {0x64, 0, "eDirectPixel"}, {0x64, 1, "eIndexedPixel"},
    {0x65, 0, "eNoCompression"}, {0x65, 1, "eRLECompression"}, {0x65, 2, "eJPEGCompression"},
    {0x65, 3, "eDeltaRowCompression"},
    {0x68, 0, "eTempPattern"}, {0x68, 1, "ePagePattern"}, {0x68, 2, "eSessionPattern"},
    {0x82, 0, "eBinaryHighByteFirst"}, {0x82, 1, "eBinaryLowByteFirst"},
    {0x86, 0, "eInch"}, {0x86, 1, "eMillimeter"}, {0x86, 2, "eTenthsOfAMillimeter"},
    {0x88, 0, "eDefaultDataSource"},
    {0x8F, 0, "eNoReporting"}, {0x8F, 1, "eBackChannel"}, {0x8F, 2, "eErrorPage"},
    {0x8F, 3, "eBackChAndErrPage"}, {0x8F, 4, "eNWBackChannel"}, {0x8F, 5, "eNWErrorPage"},
    {0x8F, 6, "eNWBackChAndErrPage"},
    {0xAD, 0, "eHorizontal"}, {0xAD, 1, "eVertical"},
};

struct Tables {
    std::array<const OperatorInfo*, 256> operators{};
    std::array<std::string_view, 256> attributes{};
};

const Tables& GetTables() {
    static const Tables tables = [] {
        Tables t;
        for (const OperatorRow& row : kOperators) t.operators[row.tag] = &row.info;
        for (const AttributeRow& row : kAttributes) t.attributes[row.id] = row.name;
        return t;
    }();
    return tables;
}

}  // namespace

const OperatorInfo* FindOperatorInfo(uint8_t tag) { return GetTables().operators[tag]; }

std::string_view OperatorName(uint8_t tag) {
    const OperatorInfo* info = FindOperatorInfo(tag);
    return info ? info->name : std::string_view();
}

std::string_view AttributeName(uint16_t id) {
    return id < 256 ? GetTables().attributes[id] : std::string_view();
}

std::string_view EnumName(uint16_t attributeId, int64_t value) {
    for (const EnumRow& row : kEnums) {
        if (row.attribute == attributeId && row.value == value) return row.name;
    }
    return {};
}

std::optional<uint8_t> OperatorTag(std::string_view name) {
    for (const OperatorRow& row : kOperators) {
        if (row.info.name == name) return row.tag;
    }
    return std::nullopt;
}

std::optional<uint16_t> AttributeId(std::string_view name) {
    for (const AttributeRow& row : kAttributes) {
        if (row.name == name) return row.id;
    }
    return std::nullopt;
}

std::string_view DataTypeName(DataType type) {
    switch (type) {
    case DataType::UByte: return "ubyte";
    case DataType::UInt16: return "uint16";
    case DataType::UInt32: return "uint32";
    case DataType::SInt16: return "sint16";
    case DataType::SInt32: return "sint32";
    case DataType::Real32: return "real32";
    case DataType::UByteArray: return "ubyte_array";
    case DataType::UInt16Array: return "uint16_array";
    case DataType::UInt32Array: return "uint32_array";
    case DataType::SInt16Array: return "sint16_array";
    case DataType::SInt32Array: return "sint32_array";
    case DataType::Real32Array: return "real32_array";
    case DataType::UByteXY: return "ubyte_xy";
    case DataType::UInt16XY: return "uint16_xy";
    case DataType::UInt32XY: return "uint32_xy";
    case DataType::SInt16XY: return "sint16_xy";
    case DataType::SInt32XY: return "sint32_xy";
    case DataType::Real32XY: return "real32_xy";
    case DataType::UByteBox: return "ubyte_box";
    case DataType::UInt16Box: return "uint16_box";
    case DataType::UInt32Box: return "uint32_box";
    case DataType::SInt16Box: return "sint16_box";
    case DataType::SInt32Box: return "sint32_box";
    case DataType::Real32Box: return "real32_box";
    }
    return {};
}

}  // namespace tam::job

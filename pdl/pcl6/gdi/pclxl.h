// The PCL XL encoder: the small writers that form every token of the job
// stream (values with their data type tags, attributes, operators, embedded
// data headers, paths) and append it to the job with Spool_Write. The stream
// is the binary little-endian binding: every multi-byte number goes low
// byte first.
//
// Every writer takes the PDEV first and returns what Spool_Write returns:
// TRUE, or FALSE once the job's output has failed.
#pragma once
#include <windows.h>

// Data type tags.
enum PxlTag : BYTE {
    PXL_TAG_UBYTE = 0xC0,
    PXL_TAG_UINT16 = 0xC1,
    PXL_TAG_UINT32 = 0xC2,
    PXL_TAG_SINT16 = 0xC3,
    PXL_TAG_SINT32 = 0xC4,
    PXL_TAG_REAL32 = 0xC5,
    PXL_TAG_UBYTE_ARRAY = 0xC8,
    PXL_TAG_UINT16_ARRAY = 0xC9,
    PXL_TAG_SINT16_ARRAY = 0xCB,
    PXL_TAG_UBYTE_XY = 0xD0,
    PXL_TAG_UINT16_XY = 0xD1,
    PXL_TAG_UINT32_XY = 0xD2,
    PXL_TAG_SINT16_XY = 0xD3,
    PXL_TAG_SINT32_XY = 0xD4,
    PXL_TAG_REAL32_XY = 0xD5,
    PXL_TAG_SINT16_BOX = 0xE3,
    PXL_TAG_ATTR_UBYTE = 0xF8,
    PXL_TAG_DATA = 0xFA,       // uint32 length, then the data
    PXL_TAG_DATA_BYTE = 0xFB,  // ubyte length, then the data
};

// The value type codes callers pass with a number.
enum PxlType : int {
    PXL_TYPE_UBYTE = 1,
    PXL_TYPE_UINT16 = 2,
    PXL_TYPE_UINT32 = 3,
    PXL_TYPE_SINT16 = 4,
    PXL_TYPE_SINT32 = 5,
    PXL_TYPE_UBYTE_XY = 10,
    PXL_TYPE_UINT16_XY = 11,
    PXL_TYPE_UINT32_XY = 12,
    PXL_TYPE_SINT16_XY = 13,
    PXL_TYPE_SINT32_XY = 14,
};

// Operators.
enum PxlOperator : BYTE {
    PXL_OP_BEGIN_SESSION = 0x41,
    PXL_OP_END_SESSION = 0x42,
    PXL_OP_BEGIN_PAGE = 0x43,
    PXL_OP_END_PAGE = 0x44,
    PXL_OP_VENDOR_UNIQUE = 0x46,
    PXL_OP_OPEN_DATA_SOURCE = 0x48,
    PXL_OP_CLOSE_DATA_SOURCE = 0x49,
    PXL_OP_BEGIN_FONT_HEADER = 0x4F,
    PXL_OP_READ_FONT_HEADER = 0x50,
    PXL_OP_END_FONT_HEADER = 0x51,
    PXL_OP_BEGIN_CHAR = 0x52,
    PXL_OP_READ_CHAR = 0x53,
    PXL_OP_END_CHAR = 0x54,
    PXL_OP_REMOVE_FONT = 0x55,
    PXL_OP_PUSH_GS = 0x61,
    PXL_OP_SET_CLIP_REPLACE = 0x62,
    PXL_OP_SET_BRUSH_SOURCE = 0x63,
    PXL_OP_SET_CHAR_ANGLE = 0x64,
    PXL_OP_SET_CHAR_SCALE = 0x65,
    PXL_OP_SET_CHAR_SHEAR = 0x66,
    PXL_OP_SET_COLOR_SPACE = 0x6A,
    PXL_OP_SET_CURSOR = 0x6B,
    PXL_OP_SET_FILL_MODE = 0x6E,
    PXL_OP_SET_FONT = 0x6F,
    PXL_OP_SET_LINE_DASH = 0x70,
    PXL_OP_SET_PAGE_DEFAULT_CTM = 0x74,
    PXL_OP_SET_PAGE_ORIGIN = 0x75,
    PXL_OP_SET_PAGE_ROTATION = 0x76,
    PXL_OP_SET_PAGE_SCALE = 0x77,
    PXL_OP_SET_PAINT_TX_MODE = 0x78,
    PXL_OP_SET_PEN_SOURCE = 0x79,
    PXL_OP_SET_PEN_WIDTH = 0x7A,
    PXL_OP_SET_ROP = 0x7B,
    PXL_OP_SET_SOURCE_TX_MODE = 0x7C,
    PXL_OP_SET_CHAR_BOLD_VALUE = 0x7D,
    PXL_OP_SET_CLIP_MODE = 0x7F,
    PXL_OP_CLOSE_SUB_PATH = 0x84,
    PXL_OP_NEW_PATH = 0x85,
    PXL_OP_PAINT_PATH = 0x86,
    PXL_OP_BEZIER_PATH = 0x93,
    PXL_OP_BEZIER_REL_PATH = 0x95,
    PXL_OP_LINE_PATH = 0x9B,
    PXL_OP_LINE_REL_PATH = 0x9D,
    PXL_OP_RECTANGLE_PATH = 0xA1,
    PXL_OP_TEXT = 0xA8,
    PXL_OP_BEGIN_IMAGE = 0xB0,
    PXL_OP_READ_IMAGE = 0xB1,
    PXL_OP_END_IMAGE = 0xB2,
    PXL_OP_BEGIN_RAST_PATTERN = 0xB3,
    PXL_OP_READ_RAST_PATTERN = 0xB4,
    PXL_OP_END_RAST_PATTERN = 0xB5,
};

// Attribute identifiers.
enum PxlAttribute : BYTE {
    PXL_ATTR_PALETTE_DEPTH = 0x02,
    PXL_ATTR_COLOR_SPACE = 0x03,
    PXL_ATTR_NULL_BRUSH = 0x04,
    PXL_ATTR_NULL_PEN = 0x05,
    PXL_ATTR_PALETTE_DATA = 0x06,
    PXL_ATTR_PATTERN_SELECT_ID = 0x08,
    PXL_ATTR_GRAY_LEVEL = 0x09,
    PXL_ATTR_RGB_COLOR = 0x0B,
    PXL_ATTR_PATTERN_ORIGIN = 0x0C,
    PXL_ATTR_MEDIA_SIZE = 0x25,
    PXL_ATTR_MEDIA_SOURCE = 0x26,
    PXL_ATTR_MEDIA_TYPE = 0x27,
    PXL_ATTR_ORIENTATION = 0x28,
    PXL_ATTR_PAGE_ANGLE = 0x29,
    PXL_ATTR_PAGE_ORIGIN = 0x2A,
    PXL_ATTR_PAGE_SCALE = 0x2B,
    PXL_ATTR_ROP3 = 0x2C,
    PXL_ATTR_TX_MODE = 0x2D,
    PXL_ATTR_CUSTOM_MEDIA_SIZE = 0x2F,
    PXL_ATTR_CUSTOM_MEDIA_SIZE_UNITS = 0x30,
    PXL_ATTR_PAGE_COPIES = 0x31,
    PXL_ATTR_DUPLEX_PAGE_MODE = 0x35,
    PXL_ATTR_DUPLEX_PAGE_SIDE = 0x36,
    PXL_ATTR_BOUNDING_BOX = 0x42,
    PXL_ATTR_DASH_OFFSET = 0x43,
    PXL_ATTR_FILL_MODE = 0x46,
    PXL_ATTR_LINE_DASH_STYLE = 0x4A,
    PXL_ATTR_PEN_WIDTH = 0x4B,
    PXL_ATTR_POINT = 0x4C,
    PXL_ATTR_NUMBER_OF_POINTS = 0x4D,
    PXL_ATTR_SOLID_LINE = 0x4E,
    PXL_ATTR_POINT_TYPE = 0x50,
    PXL_ATTR_CLIP_REGION = 0x53,
    PXL_ATTR_CLIP_MODE = 0x54,
    PXL_ATTR_COLOR_DEPTH = 0x62,
    PXL_ATTR_BLOCK_HEIGHT = 0x63,
    PXL_ATTR_COLOR_MAPPING = 0x64,
    PXL_ATTR_COMPRESS_MODE = 0x65,
    PXL_ATTR_DESTINATION_SIZE = 0x67,
    PXL_ATTR_PATTERN_PERSISTENCE = 0x68,
    PXL_ATTR_PATTERN_DEFINE_ID = 0x69,
    PXL_ATTR_SOURCE_HEIGHT = 0x6B,
    PXL_ATTR_SOURCE_WIDTH = 0x6C,
    PXL_ATTR_START_LINE = 0x6D,
    PXL_ATTR_DATA_ORG = 0x82,
    PXL_ATTR_MEASURE = 0x86,
    PXL_ATTR_SOURCE_TYPE = 0x88,
    PXL_ATTR_UNITS_PER_MEASURE = 0x89,
    PXL_ATTR_ERROR_REPORT = 0x8F,
    PXL_ATTR_VENDOR_COMMAND = 0x91,    // vendor-unique: the command word
    PXL_ATTR_VENDOR_ARGUMENT = 0x93,   // vendor-unique: its argument
    PXL_ATTR_CHAR_ANGLE = 0xA1,
    PXL_ATTR_CHAR_CODE = 0xA2,
    PXL_ATTR_CHAR_DATA_SIZE = 0xA3,
    PXL_ATTR_CHAR_SCALE = 0xA4,
    PXL_ATTR_CHAR_SHEAR = 0xA5,
    PXL_ATTR_CHAR_SIZE = 0xA6,
    PXL_ATTR_FONT_HEADER_LENGTH = 0xA7,
    PXL_ATTR_FONT_NAME = 0xA8,
    PXL_ATTR_FONT_FORMAT = 0xA9,
    PXL_ATTR_SYMBOL_SET = 0xAA,
    PXL_ATTR_TEXT_DATA = 0xAB,
    PXL_ATTR_X_SPACING_DATA = 0xAF,
    PXL_ATTR_Y_SPACING_DATA = 0xB0,
    PXL_ATTR_CHAR_BOLD_VALUE = 0xB1,
};

// Enumeration values the driver writes.
#define PXL_POINT_TYPE_SBYTE 1
#define PXL_POINT_TYPE_SINT16 3
#define PXL_CLIP_REGION_INTERIOR 0

// Pxl_WriteCharCode flags.
#define PXL_CHAR_TAG 0x1        // a type tag first: 0xC1 with PXL_CHAR_TWO_BYTES, else 0xC0
#define PXL_CHAR_TWO_BYTES 0x2  // two bytes, the high byte first; else the low byte
#define PXL_CHAR_IN_ARRAY 0x4   // an element of a text array: no CharCode attribute follows

// Polylines of up to this many further points are built in the PDEV.
#define PXL_POLYLINE_SCRATCH_POINTS 1500

// Paths are written in chunks of up to this many points.
#define PXL_PATH_CHUNK_POINTS 1500

// The encoder's state in the PDEV (part of the job state): the scratch area
// of relative polylines, and the two point runs of the path writer (signed
// byte pairs and 16-bit pairs).
struct EncoderState {
    BYTE PolylineScratch[PXL_POLYLINE_SCRATCH_POINTS * 4];
    BYTE PathByteRun[PXL_PATH_CHUNK_POINTS * 2];
    BYTE PathWordRun[PXL_PATH_CHUNK_POINTS * 4];
};

struct PDEV;

// A scalar attribute: the value (cut to the type's width) with its tag,
// 0xF8 and the attribute id, in one write. An unknown type code is an
// internal check and is written as sint16.
BOOL Pxl_WriteAttr(PDEV* pdev, LONG value, BYTE attributeId, int typeCode);
// A pair attribute (type codes 10..14); an unknown one is written as sint16_xy.
BOOL Pxl_WriteAttrXY(PDEV* pdev, LONG x, LONG y, BYTE attributeId, int typeCode);
// real32 and real32_xy attributes (IEEE single precision).
BOOL Pxl_WriteRealAttr(PDEV* pdev, float value, BYTE attributeId);
BOOL Pxl_WriteRealXYAttr(PDEV* pdev, float x, float y, BYTE attributeId);
BOOL Pxl_WriteOperator(PDEV* pdev, BYTE operatorId);
// A sint16_xy attribute from a point of two 16-bit coordinates.
BOOL Pxl_WritePointAttr(PDEV* pdev, const POINTS* point, BYTE attributeId);
// The header of embedded data: 0xFB and a length byte below 256, else 0xFA
// and a uint32 length. The caller writes the data.
BOOL Pxl_WriteDataLength(PDEV* pdev, DWORD length);
// An array tag and its element count (0xC0 n up to 255, else 0xC1 n16). The
// caller writes the elements.
BOOL Pxl_WriteArrayHeader(PDEV* pdev, BYTE arrayTag, DWORD count);
// One character code (PXL_CHAR_* flags). Inside a text array the code also
// goes to the debug text log when the PDEV keeps one.
BOOL Pxl_WriteCharCode(PDEV* pdev, UINT16 code, DWORD flags);
// The byte the debug text log shows for a single-byte code.
BYTE Pxl_LogChar(BYTE code);
// Point (sint16_xy) and SetCursor.
BOOL Pxl_SetCursor(PDEV* pdev, LONG x, LONG y);
BOOL Pxl_NewPath(PDEV* pdev);
// BoundingBox as sint16_box (left, top, right, bottom): 11 bytes.
BOOL Pxl_WriteBoundingBox(PDEV* pdev, const RECTL* box);
// NewPath, BoundingBox, RectanglePath, ClipRegion interior, SetClipReplace.
BOOL Pxl_SetClipRect(PDEV* pdev, const RECTL* box);
// RGBColor as a ubyte array of 3 with a uint16 length: 9 bytes.
BOOL Pxl_WriteRgbColor(PDEV* pdev, COLORREF color);
// NumberOfPoints, PointType sint16, the operator, then the points as
// embedded sint16 pairs.
BOOL Pxl_WriteAbsPolyline(PDEV* pdev, const POINTS* points, DWORD count, BYTE operatorId);
// A polyline from points[0] through `count` points: SetCursor at the first,
// then the leading run of short steps as one LineRelPath of signed-byte
// pairs and the rest as LinePath.
BOOL Pxl_WritePolyline(PDEV* pdev, DWORD count, const POINTS* points);

// The PCL XL encoder primitives. Each token goes to the job in one
// Spool_Write, so that the page prologue the sink may write first never
// lands inside a token.
#include <windows.h>

#include <bit>
#include <cstring>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/util.h"

// Point arrays go into the stream as they lie in memory.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(POINTS) == 4);

namespace {

// A small token under construction.
class Token {
public:
    Token& Byte(unsigned value) {
        if (length_ < sizeof(bytes_)) bytes_[length_++] = BYTE(value);
        return *this;
    }
    Token& U16(unsigned value) { return Byte(value).Byte(value >> 8); }
    Token& U32(DWORD value) { return U16(value & 0xFFFF).U16(value >> 16); }
    Token& Real(float value) { return U32(std::bit_cast<DWORD>(value)); }
    Token& Attribute(BYTE id) { return Byte(PXL_TAG_ATTR_UBYTE).Byte(id); }
    BOOL WriteTo(PDEV* pdev) const { return Spool_Write(pdev, bytes_, length_); }

private:
    BYTE bytes_[32];
    DWORD length_ = 0;
};

// The tag of a scalar type code; 0 for an unknown code.
BYTE ScalarTag(int typeCode) {
    switch (typeCode) {
        case PXL_TYPE_UBYTE: return PXL_TAG_UBYTE;
        case PXL_TYPE_UINT16: return PXL_TAG_UINT16;
        case PXL_TYPE_UINT32: return PXL_TAG_UINT32;
        case PXL_TYPE_SINT16: return PXL_TAG_SINT16;
        case PXL_TYPE_SINT32: return PXL_TAG_SINT32;
        default: return 0;
    }
}

BYTE PairTag(int typeCode) {
    switch (typeCode) {
        case PXL_TYPE_UBYTE_XY: return PXL_TAG_UBYTE_XY;
        case PXL_TYPE_UINT16_XY: return PXL_TAG_UINT16_XY;
        case PXL_TYPE_UINT32_XY: return PXL_TAG_UINT32_XY;
        case PXL_TYPE_SINT16_XY: return PXL_TAG_SINT16_XY;
        case PXL_TYPE_SINT32_XY: return PXL_TAG_SINT32_XY;
        default: return 0;
    }
}

// A number in the width of its tag's type.
void Number(Token& token, BYTE tag, LONG value) {
    switch (tag) {
        case PXL_TAG_UBYTE:
        case PXL_TAG_UBYTE_XY: token.Byte(DWORD(value)); break;
        case PXL_TAG_UINT32:
        case PXL_TAG_SINT32:
        case PXL_TAG_UINT32_XY:
        case PXL_TAG_SINT32_XY: token.U32(DWORD(value)); break;
        default: token.U16(DWORD(value)); break;
    }
}

bool FitsSignedByte(LONG value) { return value >= -128 && value <= 127; }

// The debug text log shows the characters of text arrays.
void LogCharacter(PDEV* pdev, UINT16 code, DWORD flags) {
    GraphicsStateCache& gs = pdev->Job.Gstate;
    if (!gs.TextLog) return;
    BYTE text[2];
    DWORD length = 0;
    const BYTE high = BYTE(code >> 8), low = BYTE(code);
    if (!(flags & PXL_CHAR_TWO_BYTES)) {
        text[length++] = Pxl_LogChar(low);
    } else if (high) {
        text[length++] = high;
        text[length++] = low;
    } else {
        text[length++] = low;
    }
    Dbg_WriteFile(pdev, gs.DebugFile, text, length);
}

}  // namespace

BOOL Pxl_WriteAttr(PDEV* pdev, LONG value, BYTE attributeId, int typeCode) {
    BYTE tag = ScalarTag(typeCode);
    if (!tag) {
        Dbg_Assert(pdev, "pclxl", __LINE__);
        tag = PXL_TAG_SINT16;
    }
    Token token;
    token.Byte(tag);
    Number(token, tag, value);
    return token.Attribute(attributeId).WriteTo(pdev);
}

BOOL Pxl_WriteAttrXY(PDEV* pdev, LONG x, LONG y, BYTE attributeId, int typeCode) {
    BYTE tag = PairTag(typeCode);
    if (!tag) {
        Dbg_Assert(pdev, "pclxl", __LINE__);
        tag = PXL_TAG_SINT16_XY;
    }
    Token token;
    token.Byte(tag);
    Number(token, tag, x);
    Number(token, tag, y);
    return token.Attribute(attributeId).WriteTo(pdev);
}

BOOL Pxl_WriteRealAttr(PDEV* pdev, float value, BYTE attributeId) {
    return Token().Byte(PXL_TAG_REAL32).Real(value).Attribute(attributeId).WriteTo(pdev);
}

BOOL Pxl_WriteRealXYAttr(PDEV* pdev, float x, float y, BYTE attributeId) {
    return Token().Byte(PXL_TAG_REAL32_XY).Real(x).Real(y).Attribute(attributeId).WriteTo(pdev);
}

BOOL Pxl_WriteOperator(PDEV* pdev, BYTE operatorId) { return Spool_Write(pdev, &operatorId, 1); }

BOOL Pxl_WritePointAttr(PDEV* pdev, const POINTS* point, BYTE attributeId) {
    return Spool_WriteXYAttr(pdev, point, attributeId);
}

BOOL Pxl_WriteDataLength(PDEV* pdev, DWORD length) {
    Token token;
    if (length < 256)
        token.Byte(PXL_TAG_DATA_BYTE).Byte(length);
    else
        token.Byte(PXL_TAG_DATA).U32(length);
    return token.WriteTo(pdev);
}

BOOL Pxl_WriteArrayHeader(PDEV* pdev, BYTE arrayTag, DWORD count) {
    Token token;
    token.Byte(arrayTag);
    if (count <= 255)
        token.Byte(PXL_TAG_UBYTE).Byte(count);
    else
        token.Byte(PXL_TAG_UINT16).U16(count);
    return token.WriteTo(pdev);
}

BOOL Pxl_WriteCharCode(PDEV* pdev, UINT16 code, DWORD flags) {
    Token token;
    const bool twoBytes = (flags & PXL_CHAR_TWO_BYTES) != 0;
    if (flags & PXL_CHAR_TAG) token.Byte(twoBytes ? PXL_TAG_UINT16 : PXL_TAG_UBYTE);
    if (twoBytes) token.Byte(code >> 8);
    token.Byte(code & 0xFF);
    if (flags & PXL_CHAR_IN_ARRAY) {
        if (pdev) LogCharacter(pdev, code, flags);
    } else {
        token.Attribute(PXL_ATTR_CHAR_CODE);
    }
    return token.WriteTo(pdev);
}

BYTE Pxl_LogChar(BYTE code) {
    if (code < 0x80) return code;
    switch (code) {
        case 0x91: return '\'';
        case 0x93:
        case 0x94: return '"';
        case 0x96: return '-';
        default: return 'X';
    }
}

BOOL Pxl_SetCursor(PDEV* pdev, LONG x, LONG y) {
    const POINTS point = {SHORT(x), SHORT(y)};
    Spool_WriteXYAttr(pdev, &point, PXL_ATTR_POINT);
    return Pxl_WriteOperator(pdev, PXL_OP_SET_CURSOR);
}

BOOL Pxl_NewPath(PDEV* pdev) { return Pxl_WriteOperator(pdev, PXL_OP_NEW_PATH); }

BOOL Pxl_WriteBoundingBox(PDEV* pdev, const RECTL* box) {
    if (!box) return FALSE;
    return Token()
        .Byte(PXL_TAG_SINT16_BOX)
        .U16(DWORD(box->left))
        .U16(DWORD(box->top))
        .U16(DWORD(box->right))
        .U16(DWORD(box->bottom))
        .Attribute(PXL_ATTR_BOUNDING_BOX)
        .WriteTo(pdev);
}

BOOL Pxl_SetClipRect(PDEV* pdev, const RECTL* box) {
    if (!box) return FALSE;
    Pxl_NewPath(pdev);
    Pxl_WriteBoundingBox(pdev, box);
    Pxl_WriteOperator(pdev, PXL_OP_RECTANGLE_PATH);
    Pxl_WriteAttr(pdev, PXL_CLIP_REGION_INTERIOR, PXL_ATTR_CLIP_REGION, PXL_TYPE_UBYTE);
    return Pxl_WriteOperator(pdev, PXL_OP_SET_CLIP_REPLACE);
}

BOOL Pxl_WriteRgbColor(PDEV* pdev, COLORREF color) {
    return Token()
        .Byte(PXL_TAG_UBYTE_ARRAY)
        .Byte(PXL_TAG_UINT16)
        .U16(3)
        .Byte(GetRValue(color))
        .Byte(GetGValue(color))
        .Byte(GetBValue(color))
        .Attribute(PXL_ATTR_RGB_COLOR)
        .WriteTo(pdev);
}

BOOL Pxl_WriteAbsPolyline(PDEV* pdev, const POINTS* points, DWORD count, BYTE operatorId) {
    if (!points || count == 0) return FALSE;
    Pxl_WriteAttr(pdev, LONG(count), PXL_ATTR_NUMBER_OF_POINTS, PXL_TYPE_UINT16);
    Pxl_WriteAttr(pdev, PXL_POINT_TYPE_SINT16, PXL_ATTR_POINT_TYPE, PXL_TYPE_UBYTE);
    Pxl_WriteOperator(pdev, operatorId);
    Pxl_WriteDataLength(pdev, count * 4);
    return Spool_Write(pdev, points, count * 4);
}

BOOL Pxl_WritePolyline(PDEV* pdev, DWORD count, const POINTS* points) {
    if (!pdev || !points || count == 0) return FALSE;
    BOOL result = Pxl_SetCursor(pdev, points[0].x, points[0].y);
    const DWORD further = count - 1;

    // The relative steps, two signed bytes each.
    BYTE* pairs = pdev->Job.Encoder.PolylineScratch;
    BYTE* allocated = nullptr;
    if (further > PXL_POLYLINE_SCRATCH_POINTS) {
        allocated = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, further * 4));
        if (!allocated) {
            Dbg_Assert(pdev, "pclxl", __LINE__);
            return result;
        }
        pairs = allocated;
    }

    // Walk the points while each step fits a signed byte; a point equal to
    // the one before adds no step.
    DWORD walked = 0, pairCount = 0, i = 1;
    for (; i < count; ++i) {
        const LONG dx = LONG(points[i].x) - points[i - 1].x;
        const LONG dy = LONG(points[i].y) - points[i - 1].y;
        if (!FitsSignedByte(dx) || !FitsSignedByte(dy)) break;
        ++walked;
        if (dx || dy) {
            pairs[2 * pairCount] = BYTE(dx);
            pairs[2 * pairCount + 1] = BYTE(dy);
            ++pairCount;
        }
    }

    const bool reachedEnd = i == count;
    if (reachedEnd || walked > 4) {
        if (pairCount == 0) {
            pairs[0] = pairs[1] = 0;
            pairCount = 1;
        }
        Pxl_WriteAttr(pdev, LONG(pairCount), PXL_ATTR_NUMBER_OF_POINTS, PXL_TYPE_UINT16);
        Pxl_WriteAttr(pdev, PXL_POINT_TYPE_SBYTE, PXL_ATTR_POINT_TYPE, PXL_TYPE_UBYTE);
        Pxl_WriteOperator(pdev, PXL_OP_LINE_REL_PATH);
        Pxl_WriteDataLength(pdev, pairCount * 2);
        result = Spool_Write(pdev, pairs, pairCount * 2);
        if (!reachedEnd) result = Pxl_WriteAbsPolyline(pdev, points + i, count - i, PXL_OP_LINE_PATH);
    } else {
        // Too few short steps to be worth a relative segment.
        result = Pxl_WriteAbsPolyline(pdev, points + 1, further, PXL_OP_LINE_PATH);
    }
    if (allocated) Util_GlobalFree(nullptr, allocated);
    return result;
}

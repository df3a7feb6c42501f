// Page media and image operators: BeginPage with its media attributes, the
// page transform, EndPage, and the image and raster-pattern heads.
#include <windows.h>

#include <bit>
#include <cstring>

#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pagemedia.h"
#include "pcl6/gdi/papername.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/xmodel.h"

namespace {

// Bytes of the BeginPage sequence before the optional parts: Orientation
// (4), MediaSource (4) and BeginPage (1).
constexpr int kBaseHeaderLength = 9;
// DuplexPageMode and DuplexPageSide.
constexpr int kDuplexHeaderLength = 8;
// CustomMediaSize (11), CustomMediaSizeUnits (4) and PushGS (1).
constexpr int kCustomSizeHeaderLength = 16;

constexpr BYTE kDuplexHorizontalBinding = 0;
constexpr BYTE kDuplexVerticalBinding = 1;
constexpr BYTE kFrontMediaSide = 0;
constexpr BYTE kTenthsOfAMillimeter = 2;

// A sequence of tokens written as one block.
class Block {
public:
    Block& Byte(unsigned value) {
        if (length_ < sizeof(bytes_)) bytes_[length_++] = BYTE(value);
        return *this;
    }
    Block& U16(unsigned value) { return Byte(value).Byte(value >> 8); }
    Block& U32(DWORD value) { return U16(value & 0xFFFF).U16(value >> 16); }
    Block& Real(float value) { return U32(std::bit_cast<DWORD>(value)); }
    Block& Attribute(BYTE id) { return Byte(PXL_TAG_ATTR_UBYTE).Byte(id); }
    Block& UByteAttr(unsigned value, BYTE id) { return Byte(PXL_TAG_UBYTE).Byte(value).Attribute(id); }
    Block& UInt16Attr(unsigned value, BYTE id) { return Byte(PXL_TAG_UINT16).U16(value).Attribute(id); }
    // A ubyte array with a uint16 element count.
    Block& Text(LPCSTR text, BYTE id) {
        const DWORD length = DWORD(std::strlen(text));
        Byte(PXL_TAG_UBYTE_ARRAY).Byte(PXL_TAG_UINT16).U16(length);
        for (DWORD i = 0; i < length; ++i) Byte(BYTE(text[i]));
        return Attribute(id);
    }
    DWORD Length() const { return length_; }
    BOOL WriteTo(PDEV* pdev) const { return Spool_Write(pdev, bytes_, length_); }

private:
    BYTE bytes_[64];
    DWORD length_ = 0;
};

bool IsShortEdge(const RendDevmode& job) {
    const int mode = job.priv.DuplexBinding;
    return mode == 1 || mode == 3 || (job.pub.dmDuplex == DMDUP_HORIZONTAL && mode < 3);
}

// The attributes an image and a raster pattern begin with: colour
// mapping and depth, the source's size and the size it is drawn at.
Block& RasterHead(Block& block, int colorMapping, int colorDepth, int sourceWidth, int sourceHeight, int destWidth,
                  int destHeight) {
    return block.UByteAttr(unsigned(colorMapping), PXL_ATTR_COLOR_MAPPING)
        .UByteAttr(unsigned(colorDepth), PXL_ATTR_COLOR_DEPTH)
        .UInt16Attr(unsigned(sourceWidth), PXL_ATTR_SOURCE_WIDTH)
        .UInt16Attr(unsigned(sourceHeight), PXL_ATTR_SOURCE_HEIGHT)
        .Byte(PXL_TAG_UINT16_XY)
        .U16(unsigned(destWidth))
        .U16(unsigned(destHeight))
        .Attribute(PXL_ATTR_DESTINATION_SIZE);
}

}  // namespace

const MediaTypeRow MediaTypeTable[PXL_MEDIA_TYPE_COUNT] = {
    {"PLAIN", TRUE},  {"TOUGH", TRUE},        {"ENVELOPE", TRUE}, {"CARDSTOCK", TRUE},
    {"LABELS", TRUE}, {"TRANSPARENCY", TRUE}, {"TISSUE", TRUE},
};

const MediaTypeRow& Pxl_MediaType(int paperType) {
    return paperType >= 0 && paperType < PXL_MEDIA_TYPE_COUNT ? MediaTypeTable[paperType] : MediaTypeTable[0];
}

BYTE Pxl_MediaSource(int paperSource) {
    switch (paperSource) {
        case 0: return PXL_MEDIA_SOURCE_AUTO;
        case 1: return PXL_MEDIA_SOURCE_MANUAL;
        case 2: return PXL_MEDIA_SOURCE_MULTIPURPOSE;
        default: return PXL_MEDIA_SOURCE_DEFAULT;
    }
}

int Pxl_MediaPaperCode(const PDEV* pdev) {
    if (!pdev) return 0;
    const RendDevmode& job = Job_Settings(pdev);
    int code = job.pub.dmPaperSize;
    const int substitute = pdev->Job.State.Layout.SubstitutedPaper;
    if (substitute && !Xmodel_IsModelPaper(code)) code = substitute;
    if (job.priv.PaperOverride) code = job.priv.PaperOverride;
    if (job.priv.OutputPaperOverride) code = job.priv.OutputPaperOverride;
    return code;
}

int Pxl_DotsToTenthsMm(LONG dots) { return int(double(dots) * 0.42333333333333334 + 0.5); }

BOOL Pxl_BeginPageMedia(PDEV* pdev) {
    if (!pdev) return FALSE;
    const RendDevmode& job = Job_Settings(pdev);
    JobState& state = pdev->Job.State;
    int headerLength = kBaseHeaderLength;

    // Orientation, reversed when the page is turned by 180 degrees. A
    // booklet puts two pages side by side on a sheet turned against them:
    // the printer's page is that sheet, and the booklet cells are laid out
    // on it. Every sheet of an N-up job keeps the first page's orientation,
    // whatever the orientation of the page that begins it: the cells are
    // laid out for it, and pages of the other orientation are turned into
    // them.
    int sheetOrientation = pdev->Orientation;
    const LayoutState& layout = state.Layout;
    const auto known = [](int orientation) {
        return orientation == DMORIENT_PORTRAIT || orientation == DMORIENT_LANDSCAPE;
    };
    if (job.priv.BookletOn && known(layout.SheetOrientation))
        sheetOrientation = layout.SheetOrientation;
    else if (job.priv.PagesPerSheet > 1 && known(layout.FirstPageOrientation))
        sheetOrientation = layout.FirstPageOrientation;
    int orientation = sheetOrientation == DMORIENT_LANDSCAPE ? 1 : 0;
    if (state.PageTurn) orientation += 2;
    Block head;
    head.UByteAttr(unsigned(orientation), PXL_ATTR_ORIENTATION);

    if (Settings_IsPrinterDuplex(job) && state.DuplexAttributes == 1) {
        const bool shortEdge = IsShortEdge(job);
        const bool landscape = sheetOrientation == DMORIENT_LANDSCAPE;
        const BYTE binding = shortEdge != landscape ? kDuplexHorizontalBinding : kDuplexVerticalBinding;
        head.UByteAttr(binding, PXL_ATTR_DUPLEX_PAGE_MODE).UByteAttr(kFrontMediaSide, PXL_ATTR_DUPLEX_PAGE_SIDE);
        headerLength += kDuplexHeaderLength;
    }
    head.UByteAttr(Pxl_MediaSource(job.priv.FeedSource), PXL_ATTR_MEDIA_SOURCE);

    const MediaTypeRow& type = Pxl_MediaType(job.priv.MediaIndex);
    if (type.Send) {
        head.Text(type.Name, PXL_ATTR_MEDIA_TYPE);
        headerLength += int(std::strlen(type.Name)) + 6;
    }
    head.WriteTo(pdev);

    // The media size, BeginPage and PushGS in one write.
    const int code = Pxl_MediaPaperCode(pdev);
    if (state.PageCounter == 1) state.FirstPaper = INT16(code);
    Block size;
    const int customIndex = code - XMODEL_CUSTOM_FIRST;
    if (customIndex >= 0 && customIndex < REND_CUSTOM_SIZE_ENTRIES) {
        const RendCustomSize& custom = job.priv.CustomSizes[customIndex];
        size.Byte(PXL_TAG_REAL32_XY)
            .Real(float(Pxl_DotsToTenthsMm(custom.CustomPaperWidth600)))
            .Real(float(Pxl_DotsToTenthsMm(custom.CustomPaperLength600)))
            .Attribute(PXL_ATTR_CUSTOM_MEDIA_SIZE)
            .UByteAttr(kTenthsOfAMillimeter, PXL_ATTR_CUSTOM_MEDIA_SIZE_UNITS);
        headerLength += kCustomSizeHeaderLength;
    } else {
        char name[32];
        PaperName_OfJob(job, code, name, sizeof(name));
        size.Text(name, PXL_ATTR_MEDIA_SIZE);
        headerLength += int(std::strlen(name)) + 6;
    }
    size.Byte(PXL_OP_BEGIN_PAGE).Byte(PXL_OP_PUSH_GS);
    state.Spool.HeaderLength = headerLength;
    return size.WriteTo(pdev);
}

BOOL Pxl_EndPage(PDEV* pdev, int copies) {
    return Block().UInt16Attr(unsigned(copies), PXL_ATTR_PAGE_COPIES).Byte(PXL_OP_END_PAGE).WriteTo(pdev);
}

BOOL Pxl_SetPageOrigin(PDEV* pdev, int x, int y) {
    return Block()
        .Byte(PXL_TAG_SINT16_XY)
        .U16(unsigned(x))
        .U16(unsigned(y))
        .Attribute(PXL_ATTR_PAGE_ORIGIN)
        .Byte(PXL_OP_SET_PAGE_ORIGIN)
        .WriteTo(pdev);
}

BOOL Pxl_SetPageRotation(PDEV* pdev, int angle) {
    return Block()
        .Byte(PXL_TAG_SINT16)
        .U16(unsigned(angle))
        .Attribute(PXL_ATTR_PAGE_ANGLE)
        .Byte(PXL_OP_SET_PAGE_ROTATION)
        .WriteTo(pdev);
}

BOOL Pxl_SetPageScale(PDEV* pdev, BOOL scaled) {
    double x = 1.0, y = 1.0;
    if (scaled && pdev) Layout_PageScale(pdev, &x, &y);
    return Block()
        .Byte(PXL_TAG_REAL32_XY)
        .Real(float(x))
        .Real(float(y))
        .Attribute(PXL_ATTR_PAGE_SCALE)
        .Byte(PXL_OP_SET_PAGE_SCALE)
        .WriteTo(pdev);
}

BOOL Pxl_BeginImage(PDEV* pdev, int colorMapping, int colorDepth, int x, int y, int destWidth, int destHeight,
                    int sourceWidth, int sourceHeight) {
    Pxl_SetCursor(pdev, x, y);
    Block image;
    RasterHead(image, colorMapping, colorDepth, sourceWidth, sourceHeight, destWidth, destHeight)
        .Byte(PXL_OP_BEGIN_IMAGE);
    return image.WriteTo(pdev);
}

BOOL Pxl_ReadImage(PDEV* pdev, int startLine, int blockHeight, int compressMode, DWORD byteCount) {
    Block head;
    head.UInt16Attr(unsigned(startLine), PXL_ATTR_START_LINE)
        .UInt16Attr(unsigned(blockHeight), PXL_ATTR_BLOCK_HEIGHT)
        .UByteAttr(unsigned(compressMode), PXL_ATTR_COMPRESS_MODE)
        .Byte(PXL_OP_READ_IMAGE)
        .Byte(PXL_TAG_DATA)
        .U32(byteCount);
    return head.WriteTo(pdev);
}

BOOL Pxl_BeginRastPattern(PDEV* pdev, int colorMapping, int colorDepth, int sourceWidth, int sourceHeight,
                          int destWidth, int destHeight, int patternId, int persistence) {
    Block pattern;
    RasterHead(pattern, colorMapping, colorDepth, sourceWidth, sourceHeight, destWidth, destHeight)
        .Byte(PXL_TAG_SINT16)
        .U16(unsigned(patternId))
        .Attribute(PXL_ATTR_PATTERN_DEFINE_ID)
        .UByteAttr(unsigned(persistence), PXL_ATTR_PATTERN_PERSISTENCE)
        .Byte(PXL_OP_BEGIN_RAST_PATTERN);
    return pattern.WriteTo(pdev);
}

BOOL Pxl_ReadRastPattern(PDEV* pdev, int blockHeight) {
    return Block()
        .UInt16Attr(0, PXL_ATTR_START_LINE)
        .UInt16Attr(unsigned(blockHeight), PXL_ATTR_BLOCK_HEIGHT)
        .UByteAttr(0, PXL_ATTR_COMPRESS_MODE)
        .Byte(PXL_OP_READ_RAST_PATTERN)
        .WriteTo(pdev);
}

BOOL Job_RotationApplies(const PDEV* pdev) {
    return pdev ? Layout_RotationApplies(Job_Settings(pdev), pdev->Orientation) : FALSE;
}

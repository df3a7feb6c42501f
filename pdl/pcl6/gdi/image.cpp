// Image output: one bitmap of a blit as one image of the job stream.
//
// The rows are read from the source surface (bottom to top for a vertical
// flip), shifted to a byte boundary or converted to the printer's pixels,
// mirrored and resampled as the page needs, compressed and collected in the
// band buffer, and written in as few ReadImage blocks as the band allows.
//
// The band buffer: collected rows from its start up to the band limit, then
// two work rows of one stride (the converted row and a scratch row for
// mirroring and resampling). Each row is compressed into a row buffer of its
// own, sized for the encoders' worst case, and only then collected, so that
// compressed bytes never land on a row still to be read.
#include "pcl6/gdi/image.h"

#include "pcl6/gdi/imagerows.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pagemedia.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/rowcompress.h"
#include "pcl6/intrface/util.h"

// RenderOptions bits.
#define IMG_OPT_REDUCE_TO_DEST 0x08
#define IMG_OPT_REDUCE_PERCENT 0x10
#define IMG_OPT_REDUCE_POOR 0x20
#define IMG_OPT_MARKER 0x40

namespace {

struct PixelFormat {
    DWORD sourceBits;
    int colorMapping;  // 1 indexed, 0 direct
    int colorDepth;    // 0 = 1 bit, 1 = 4 bits, 2 = 8 bits a component
};

bool FormatOf(ULONG format, PixelFormat& out) {
    switch (format) {
        case BMF_1BPP: out = {1, 1, 0}; return true;
        case BMF_4BPP: out = {4, 1, 1}; return true;
        case BMF_8BPP: out = {8, 1, 2}; return true;
        case BMF_16BPP: out = {16, 0, 2}; return true;
        case BMF_24BPP: out = {24, 0, 2}; return true;
        case BMF_32BPP: out = {32, 0, 2}; return true;
        default: return false;
    }
}

LONG Round(double value) { return LONG(value + 0.5); }

// Image sizes and rows are 16-bit numbers in the stream.
constexpr LONG kMaxImageSize = 0xFFFF;

// Collects compressed rows and writes them as ReadImage blocks.
class RowWriter {
public:
    RowWriter(PDEV* pdev, BYTE* band, DWORD limit, int mode) : pdev_(pdev), band_(band), limit_(limit), mode_(mode) {}

    // A compressed row: collected, and the collection written once it
    // reaches the band limit (this row included, from its own buffer).
    void Add(const BYTE* row, DWORD length) {
        if (used_ + length < limit_) {
            for (DWORD i = 0; i < length; ++i) band_[used_ + i] = row[i];
            used_ += length;
            ++rows_;
            return;
        }
        Pxl_ReadImage(pdev_, start_, rows_ + 1, mode_, used_ + length);
        Spool_Write(pdev_, band_, used_);
        Spool_Write(pdev_, row, length);
        start_ += rows_ + 1;
        used_ = 0;
        rows_ = 0;
    }

    // A row sent alone, uncompressed, after the rows collected before it.
    void AddRaw(const BYTE* row, DWORD stride) {
        Flush();
        Pxl_ReadImage(pdev_, start_, 1, 0, stride);
        Spool_Write(pdev_, row, stride);
        ++start_;
    }

    // Whether a compressed row of `length` bytes would end within the limit.
    bool EndsWithinLimit(DWORD length) const { return used_ + length <= limit_; }

    void Flush() {
        if (!rows_) return;
        Pxl_ReadImage(pdev_, start_, rows_, mode_, used_);
        Spool_Write(pdev_, band_, used_);
        start_ += rows_;
        used_ = 0;
        rows_ = 0;
    }

private:
    PDEV* pdev_;
    BYTE* band_;
    DWORD limit_;
    int mode_;
    int start_ = 0;
    int rows_ = 0;
    DWORD used_ = 0;
};

// Frees the buffers of one image on every path.
struct Buffers {
    BYTE* band = nullptr;
    BYTE* packed = nullptr;
    BYTE* seed = nullptr;
    BYTE* decimated = nullptr;
    ~Buffers() {
        BYTE* const blocks[] = {band, packed, seed, decimated};
        for (BYTE* block : blocks)
            if (block) Util_GlobalFree(nullptr, block);
    }
};

}  // namespace

BOOL Img_Output(PDEV* pdev, SURFOBJ* source, LONG width, LONG height, POINTL origin, const RECTL* dest,
                XLATEOBJ* xlate, BOOL flipVertical, BOOL flipHorizontal) {
    if (!pdev || !source || !dest || !source->pvScan0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PixelFormat format;
    if (!FormatOf(source->iBitmapFormat, format)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const LONGLONG destWide = LONGLONG(dest->right) - dest->left, destHigh = LONGLONG(dest->bottom) - dest->top;
    // The rows read must lie on the surface.
    if (width < 1 || height < 1 || destWide < 1 || destHigh < 1 || destWide > kMaxImageSize || destHigh > kMaxImageSize ||
        origin.x < 0 || origin.y < 0 ||
        origin.x > source->sizlBitmap.cx - width || origin.y > source->sizlBitmap.cy - height) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const LONG destWidth = LONG(destWide), destHeight = LONG(destHigh);
    const RendDevmode& job = Job_Settings(pdev);
    const RendDevmode& current = pdev->Devmode;
    const LayoutState& layout = pdev->Job.State.Layout;
    const LONG options = job.priv.RenderOptions;
    const LONG paperWidth = pdev->Geometry.Width, paperHeight = pdev->Geometry.Height;
    const bool pdf = (pdev->Job.JobFlags & JOBF_PDF_DOCUMENT) != 0;
    const bool currentColor = current.pub.dmColor == DMCOLOR_COLOR;

    const DWORD sourceBits = format.sourceBits;
    const DWORD outputBits = Img_OutputBits(pdev, source->iBitmapFormat);
    DWORD stride = Img_RowStride(outputBits, width);
    if (!stride) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    // The source rows in reading order.
    const LONG delta = source->lDelta;
    const DWORD sourceRowBytes = DWORD((ULONGLONG(source->sizlBitmap.cx) * sourceBits + 7) / 8);
    const DWORD firstByte = DWORD(ULONGLONG(origin.x) * sourceBits / 8);
    const DWORD bitOffset = DWORD(ULONGLONG(origin.x) * sourceBits % 8);
    const LONG firstRowIndex = flipVertical ? origin.y + height - 1 : origin.y;
    const BYTE* firstRow = static_cast<const BYTE*>(source->pvScan0) + LONG_PTR(firstRowIndex) * delta + firstByte;
    LONG_PTR rowStep = flipVertical ? -LONG_PTR(delta) : LONG_PTR(delta);
    // Bytes of a source row from the first pixel on.
    DWORD rowBytesLeft = sourceRowBytes - firstByte;
    const int kind = Img_TranslationKind(xlate, source->iBitmapFormat);

    Buffers buffers;
    LONG bandRows = height;
    DWORD bandSize = 0;
    DWORD bandStride = stride;
    buffers.band = Img_AllocBand(pdev, bandStride, &bandRows, &bandSize);
    if (!buffers.band) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }

    // The compression trial and the wide landscape PDF.
    DWORD trial = 999;
    if (pdf || ((options & IMG_OPT_REDUCE_POOR) && width == destWidth && height == destHeight &&
                (width >= paperWidth / 10 || height >= paperHeight / 10))) {
        trial = Img_CompressionTrial(pdev, buffers.band, firstRow, stride, xlate, width, height, bandRows,
                                     LONG(rowStep), outputBits * DWORD(width), sourceBits, bitOffset, kind);
    }
    LONG threshold = job.priv.ImageTrialThreshold;
    bool fitted = false;
    if (pdf && pdev->Orientation == DMORIENT_LANDSCAPE && width >= 2 * paperWidth / 3 && trial >= 70) {
        fitted = true;
        threshold = LONG(trial) - 1;
    }
    const bool poor = LONG(trial) >= threshold;

    Img_SetIndexedPalette(pdev, source->iBitmapFormat, xlate);

    // How many rows and columns are sent.
    LONG outWidth = width, outHeight = height;
    bool rowReduced = false, columnReduced = false;
    const auto reduce = [&](LONG size, LONG destSize, LONG paperSize, LONG percent, LONG& out) {
        const bool considered = fitted || size > destSize ||
                                ((options & IMG_OPT_REDUCE_POOR) && size >= paperSize / 10 && poor && size == destSize) ||
                                (options & IMG_OPT_REDUCE_PERCENT);
        if (!considered) return false;
        LONG reduced;
        if (fitted)
            reduced = destSize;
        else if (options & IMG_OPT_REDUCE_TO_DEST) {
            if (size == destSize) return false;
            reduced = destSize;
        } else if (options & IMG_OPT_REDUCE_PERCENT)
            reduced = LONG(LONGLONG(size < destSize ? size : destSize) * percent / 100);
        else if ((options & IMG_OPT_REDUCE_POOR) && poor)
            reduced = LONG(LONGLONG(destSize) * percent / 100);
        else
            return false;
        out = reduced < 1 ? 1 : reduced;
        return true;
    };
    rowReduced = reduce(height, destHeight, paperHeight, job.priv.ImageHeightPercent, outHeight);
    columnReduced = reduce(width, destWidth, paperWidth, job.priv.ImageWidthPercent, outWidth);

    // N-up: no more than the cell shows.
    const int pagesPerSheet = current.priv.PagesPerSheet;
    if (!columnReduced && pagesPerSheet >= 2) {
        const LONG cellWidth = Round(destWidth * layout.ShiftScale), cellHeight = Round(destHeight * layout.ShiftScale);
        if (width >= cellWidth) {
            outWidth = cellWidth < 1 ? 1 : cellWidth;
            columnReduced = true;
        }
        if (outHeight >= cellHeight) {
            outHeight = cellHeight < 1 ? 1 : cellHeight;
            rowReduced = true;
        }
    }

    // A page-size image is sent at the page scale, or at 70 % when drawn 1:1.
    if (!columnReduced && pagesPerSheet <= 1) {
        const LONG halfWidth = LONG((layout.SheetGeometry.Width + 1) * 0.5);
        const LONG halfHeight = LONG((layout.SheetGeometry.Height + 1) * 0.5);
        const auto larger = [&] {
            // This program's images count only when larger than their destination.
            if (IsCallingApplication("POWERPNT.EXE", nullptr)) return outWidth > destWidth && outHeight > destHeight;
            return outWidth >= destWidth && outHeight >= destHeight;
        };
        if (outWidth >= halfWidth && outHeight >= halfHeight && larger()) {
            const auto pageSize = [](LONG size, LONG destSize, double scale) {
                LONG result = size;
                if (scale < 1)
                    result = Round(destSize * scale);
                else if (size > destSize)
                    result = destSize;
                else if (size == destSize)
                    result = Round(destSize * 0.7);
                return result < 1 ? 1 : result;
            };
            outWidth = pageSize(outWidth, destWidth, layout.ScaleX);
            outHeight = pageSize(outHeight, destHeight, layout.ScaleY);
            rowReduced = columnReduced = true;
        }
    }

    if (outWidth > kMaxImageSize) outWidth = kMaxImageSize, columnReduced = true;
    if (outHeight > kMaxImageSize) outHeight = kMaxImageSize, rowReduced = true;

    // Colour images too wide for the band go at a third of their size.
    LONG sourceWidth = width, sourceHeight = height;
    const bool nupFlag = false;  // the watermark block carries no N-up flag the conversion fills
    if (currentColor && source->iBitmapFormat == BMF_24BPP &&
        (bandSize > 90000 || (nupFlag && (pdev->Job.JobFlags & JOBF_UI_DRAWING)) ||
         (layout.NupColumns > 1 && width > 1000 && height > 1000)) &&
        !flipHorizontal && !rowReduced && !columnReduced) {
        const LONG thirdWidth = (width + 2) / 3, thirdHeight = (height + 2) / 3;
        const DWORD thirdStride = DWORD((3 * thirdWidth + 3) / 4 * 4);
        const ULONGLONG bytes = ULONGLONG(thirdStride) * ULONGLONG(thirdHeight);
        if (bytes <= 0x7FFFFFFF)
            buffers.decimated = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, DWORD(bytes)));
        if (buffers.decimated) {
            for (LONG k = 0; k < thirdHeight; ++k) {
                const BYTE* row = firstRow + LONG_PTR(3 * k) * rowStep;
                BYTE* to = buffers.decimated + DWORD(k) * thirdStride;
                for (LONG j = 0; j < thirdWidth; ++j)
                    for (int b = 0; b < 3; ++b) to[3 * j + b] = row[9 * j + b];
            }
            sourceWidth = outWidth = thirdWidth;
            sourceHeight = outHeight = thirdHeight;
            firstRow = buffers.decimated;
            rowStep = thirdStride;
            rowBytesLeft = thirdStride;
        }
    }

    // The work rows take the widest row of the image.
    stride = Img_RowStride(outputBits, outWidth);
    const DWORD convertedStride = Img_RowStride(outputBits, sourceWidth);
    const DWORD workStride = stride > convertedStride ? stride : convertedStride;
    if (workStride > bandStride) {
        Util_GlobalFree(nullptr, buffers.band);
        bandStride = workStride;
        bandRows = outHeight;
        buffers.band = Img_AllocBand(pdev, bandStride, &bandRows, &bandSize);
        if (!buffers.band) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return FALSE;
        }
    }
    const DWORD limit = bandSize - 2 * bandStride;
    BYTE* const work = buffers.band + limit;
    BYTE* const scratch = work + bandStride;

    // Delta rows for colour images of direct colours; run-length else.
    const bool deltaRows = currentColor && format.colorMapping == 0 && job.priv.OverlayMode != 2 &&
                           stride <= DELTAROW_MAX_ROW;
    if (deltaRows) buffers.seed = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, stride));
    const bool deltaImage = deltaRows && buffers.seed;
    const DWORD worstCase = deltaImage ? DELTAROW_WORST_CASE(stride) : RLE_WORST_CASE(stride);
    buffers.packed = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, worstCase));
    if (!buffers.packed) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }

    Pxl_BeginImage(pdev, format.colorMapping, format.colorDepth, dest->left, dest->top, destWidth, destHeight,
                   outWidth, outHeight);
    RowWriter writer(pdev, buffers.band, limit, deltaImage ? 3 : 1);
    const DWORD convertedBits = outputBits * DWORD(sourceWidth);
    const DWORD convertedBytes = (convertedBits + 7) / 8;
    const DWORD outputBytes = DWORD((ULONGLONG(outputBits) * DWORD(outWidth) + 7) / 8);
    const BYTE* row = firstRow;
    LONG sourceRow = 0;
    LONGLONG rowSum = 0;
    for (LONG i = 0; i < outHeight; ++i) {
        // The row in the printer's pixels, sourceWidth of them.
        const BYTE* pixels;
        if (bitOffset) {
            Img_ShiftRow(row, work, convertedBits, bitOffset);
            pixels = work;
        } else if (kind & IMG_KIND_TRANSLATE) {
            Img_ConvertRow(pdev, row, work, xlate, kind, sourceBits, sourceWidth);
            pixels = work;
        } else if (convertedStride <= rowBytesLeft) {
            pixels = row;
        } else {
            // The stride passes the row's end: only the row's pixels are read.
            for (DWORD b = 0; b < convertedStride; ++b) work[b] = b < convertedBytes ? row[b] : 0;
            pixels = work;
        }
        if (pixels == work)
            for (DWORD b = convertedBytes; b < convertedStride; ++b) work[b] = 0;
        if (flipHorizontal) {
            BYTE* to = pixels == scratch ? work : scratch;
            Img_MirrorRow(pdev, pixels, to, sourceWidth, outputBits);
            for (DWORD b = convertedBytes; b < convertedStride; ++b) to[b] = 0;
            pixels = to;
        }
        if (outWidth != sourceWidth) {
            BYTE* to = pixels == scratch ? work : scratch;
            Img_ScaleRow(pdev, pixels, to, source, sourceWidth, outWidth);
            for (DWORD b = outputBytes; b < stride; ++b) to[b] = 0;
            pixels = to;
        }

        if (deltaImage) {
            writer.Add(buffers.packed, DeltaRow_Compress(buffers.packed, pixels, stride, buffers.seed));
        } else {
            const DWORD length = Rle_Compress(pdev, buffers.packed, pixels, stride);
            if (!deltaRows && Img_RowGoesRaw(stride, length) && writer.EndsWithinLimit(length))
                writer.AddRaw(pixels, stride);
            else
                writer.Add(buffers.packed, length);
        }

        // The next source row: trunc((i + 1) x H / N_H), counted exactly
        // (a running sum of H, so that no rounding drifts past a row); the
        // last output row is the last source row.
        rowSum += sourceHeight;
        const LONG next = i + 2 == outHeight ? sourceHeight - 1 : LONG(rowSum / outHeight);
        row += LONG_PTR(next - sourceRow) * rowStep;
        sourceRow = next;
    }
    writer.Flush();
    Pxl_WriteOperator(pdev, PXL_OP_END_IMAGE);

    // Reduced images show the trial's result when the options ask for it.
    if ((rowReduced || columnReduced) && (options & IMG_OPT_MARKER) &&
        (options & (IMG_OPT_REDUCE_PERCENT | IMG_OPT_REDUCE_POOR)))
        Pxl_DrawCompressionMarker(pdev, dest->left, dest->top, destWidth, destHeight, MARKER_DIAGONALS, LONG(trial));

    return TRUE;
}

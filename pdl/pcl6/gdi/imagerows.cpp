// The row transforms and helpers of image output (imagerows.h).
#include "pcl6/gdi/imagerows.h"

#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/ntcolor.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/rowcompress.h"
#include "pcl6/intrface/util.h"

namespace {

// Grey of a colour by the luminance weights of the device (sum 256).
BYTE GreyOf(BYTE red, BYTE green, BYTE blue) { return Brush_GreyOf(RGB(red, green, blue)); }

// Pixel `index` of a row of 1-, 4- or 8-bit pixels, most significant first.
BYTE PackedPixel(const BYTE* row, DWORD index, DWORD bits) {
    if (bits == 8) return row[index];
    const DWORD bit = index * bits;
    return BYTE((row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1));
}

// Sets pixel `index` of a packed row whose byte was zeroed before its first pixel.
void SetPackedPixel(BYTE* row, DWORD index, DWORD bits, BYTE value) {
    if (bits == 8) {
        row[index] = value;
        return;
    }
    const DWORD bit = index * bits;
    if (bit % 8 == 0) row[bit / 8] = 0;
    row[bit / 8] |= BYTE(value << (8 - bits - bit % 8));
}

// Copies pixel `from` of `source` to pixel `to` of `target`.
void CopyPixel(const BYTE* source, DWORD from, BYTE* target, DWORD to, DWORD bits) {
    if (bits >= 8) {
        const DWORD bytes = bits / 8;
        for (DWORD b = 0; b < bytes; ++b) target[to * bytes + b] = source[from * bytes + b];
    } else {
        SetPackedPixel(target, to, bits, PackedPixel(source, from, bits));
    }
}

}  // namespace

DWORD Img_SourceBits(ULONG format) {
    switch (format) {
        case BMF_1BPP: return 1;
        case BMF_4BPP: return 4;
        case BMF_8BPP: return 8;
        case BMF_16BPP: return 16;
        case BMF_24BPP: return 24;
        case BMF_32BPP: return 32;
        default: return 0;
    }
}

DWORD Img_RowStride(DWORD bits, LONG width) {
    if (width < 0) return 0;
    const ULONGLONG stride = ((ULONGLONG(bits) * ULONGLONG(width) + 7) / 8 + 3) / 4 * 4;
    return stride > 0x3FFFFFFF ? 0 : DWORD(stride);
}

BOOL Img_RowGoesRaw(DWORD stride, DWORD length) { return stride > 10 && length >= stride * 11 / 10; }

DWORD Img_OutputBits(PDEV* pdev, ULONG format) {
    const DWORD bits = Img_SourceBits(format);
    if (bits <= 8) return bits;
    return Settings_IsColorJob(pdev) ? 24 : 8;
}

BYTE* Img_AllocBand(PDEV*, DWORD stride, LONG* rows, DWORD* size) {
    if (!stride || !rows || *rows < 1 || stride > 0x3FFFFFFF / 3) return nullptr;
    ULONGLONG bytes = ULONGLONG(stride) * (ULONGLONG(*rows) + 2);
    if (bytes >= IMG_BAND_BYTES) {
        if (stride < IMG_BAND_BYTES) {
            *rows = LONG(IMG_BAND_BYTES / stride);
            bytes = 2ull * stride + IMG_BAND_BYTES;
        } else {
            *rows = 1;
            bytes = 3ull * stride;
        }
    }
    for (;;) {
        if (auto* band = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, DWORD(bytes)))) {
            if (size) *size = DWORD(bytes);
            return band;
        }
        *rows /= 4;
        if (*rows <= 0) return nullptr;
        bytes = ULONGLONG(stride) * (ULONGLONG(*rows) + 2);
    }
}

int Img_TranslationKind(XLATEOBJ* xlate, ULONG format) {
    switch (format) {
        case BMF_16BPP: return IMG_KIND_TRANSLATE;
        case BMF_24BPP:
        case BMF_32BPP: break;
        default: return IMG_KIND_IN_PLACE;
    }
    if (!xlate) return IMG_KIND_RGB;
    const ULONG red = XLATEOBJ_iXlate(xlate, 0xFF), green = XLATEOBJ_iXlate(xlate, 0xFF00),
                blue = XLATEOBJ_iXlate(xlate, 0xFF0000), alpha = XLATEOBJ_iXlate(xlate, 0xFF000000);
    if (green != 0xFF00 || alpha != 0) return IMG_KIND_TRANSLATE;
    if (red == 0xFF && blue == 0xFF0000) return IMG_KIND_RGB;
    if (red == 0xFF0000 && blue == 0xFF) return IMG_KIND_BGR;
    return IMG_KIND_TRANSLATE;
}

void Img_SetIndexedPalette(PDEV* pdev, ULONG format, XLATEOBJ* xlate) {
    int kind, entries;
    switch (format) {
        case BMF_1BPP: kind = COLOR_PALETTE_2, entries = 2; break;
        case BMF_4BPP: kind = COLOR_PALETTE_16, entries = 16; break;
        case BMF_8BPP: kind = COLOR_PALETTE_256, entries = 256; break;
        default: Gx_SetColorSpace(pdev, GX_SPACE_JOB); return;
    }
    const ULONG count = xlate && (xlate->flXlate & XO_TABLE) && xlate->pulXlate ? xlate->cEntries : 0;
    if (!count) return;
    const bool color = Settings_IsColorJob(pdev);
    BYTE palette[256 * 3] = {};
    for (int i = 0; i < entries && ULONG(i) < count; ++i) {
        const ULONG entry = xlate->pulXlate[i];
        BYTE red = BYTE(entry), green = BYTE(entry >> 8), blue = BYTE(entry >> 16);
        if (color) {
            Color_AdjustRgb(pdev, &red, &green, &blue);
            palette[3 * i] = red, palette[3 * i + 1] = green, palette[3 * i + 2] = blue;
        } else {
            BYTE grey = GreyOf(red, green, blue);
            BYTE r = grey, g = grey, b = grey;
            Color_AdjustRgb(pdev, &r, &g, &b);
            grey = b;
            Color_AdjustGray(pdev, &grey);
            palette[i] = grey;
        }
    }
    Color_SetPalette(pdev, palette, kind);
}

void Img_ConvertRow(PDEV* pdev, const BYTE* source, BYTE* target, XLATEOBJ* xlate, int kind, DWORD sourceBits,
                    LONG width) {
    const bool color = Settings_IsColorJob(pdev);
    const DWORD pixelBytes = sourceBits / 8;
    for (LONG x = 0; x < width; ++x) {
        const BYTE* pixel = source + DWORD(x) * pixelBytes;
        BYTE red, green, blue;
        if (sourceBits == 16 || (sourceBits == 32 && kind == IMG_KIND_TRANSLATE)) {
            const ULONG value = sourceBits == 16 ? ULONG(pixel[0] | pixel[1] << 8)
                                                 : ULONG(pixel[0] | pixel[1] << 8 | pixel[2] << 16 | ULONG(pixel[3]) << 24);
            const ULONG device = XLATEOBJ_iXlate(xlate, value);
            red = BYTE(device), green = BYTE(device >> 8), blue = BYTE(device >> 16);
        } else if (kind == IMG_KIND_BGR) {
            red = pixel[2], green = pixel[1], blue = pixel[0];
        } else {
            red = pixel[0], green = pixel[1], blue = pixel[2];
        }
        Color_AdjustRgb(pdev, &red, &green, &blue);
        if (color) {
            *target++ = red;
            *target++ = green;
            *target++ = blue;
        } else {
            BYTE grey = GreyOf(red, green, blue);
            Color_AdjustGray(pdev, &grey);
            *target++ = grey;
        }
    }
}

void Img_ShiftRow(const BYTE* source, BYTE* target, DWORD bitCount, DWORD shift) {
    const DWORD targetBytes = (bitCount + 7) / 8;
    const DWORD sourceBytes = (bitCount + shift + 7) / 8;
    for (DWORD k = 0; k < targetBytes; ++k) {
        BYTE value = BYTE(source[k] << shift);
        if (k + 1 < sourceBytes) value |= BYTE(source[k + 1] >> (8 - shift));
        target[k] = value;
    }
}

DWORD Img_CompressionTrial(PDEV* pdev, BYTE* band, const BYTE* firstRow, DWORD stride, XLATEOBJ* xlate, LONG width,
                           LONG height, LONG bandRows, LONG rowStep, DWORD bitCount, DWORD sourceBits,
                           DWORD bitOffset, int kind) {
    BYTE* work = band + (DWORD(bandRows) + 1) * stride;
    const BYTE* row = firstRow;
    DWORD sum = 0;
    double position = 0;
    for (int sample = 0; sample < 5; ++sample) {
        const BYTE* input = row;
        if (bitOffset) {
            Img_ShiftRow(row, work, bitCount, bitOffset);
            input = work;
        } else if (kind & IMG_KIND_TRANSLATE) {
            Img_ConvertRow(pdev, row, work, xlate, kind, sourceBits, width);
            input = work;
        } else {
            // Rows used in place are read only as far as their pixels go.
            const DWORD bytes = (bitCount + 7) / 8;
            for (DWORD i = 0; i < stride; ++i) work[i] = i < bytes ? row[i] : 0;
            input = work;
        }
        sum += Rle_Compress(pdev, band, input, stride);
        if (sample == 4) break;
        const double next = position + height * 0.2;
        row += LONG_PTR(LONG(next) - LONG(position)) * rowStep;
        position = next;
    }
    return DWORD(ULONGLONG(sum) * 100 / (ULONGLONG(stride) * 5));
}

void Img_MirrorRow(PDEV*, const BYTE* source, BYTE* target, LONG width, DWORD outputBits) {
    for (LONG j = 0; j < width; ++j) CopyPixel(source, DWORD(width - 1 - j), target, DWORD(j), outputBits);
}

void Img_ScaleRow(PDEV* pdev, const BYTE* source, BYTE* target, SURFOBJ* surface, LONG width, LONG outputWidth) {
    const DWORD bits = Img_OutputBits(pdev, surface->iBitmapFormat);
    if (!bits || width < 1 || outputWidth < 1) return;
    LONGLONG a = outputWidth, b = width;
    DWORD position = 0;
    for (LONG j = 0; j < outputWidth; ++j) {
        CopyPixel(source, j == outputWidth - 1 ? DWORD(width - 1) : position, target, DWORD(j), bits);
        while (a <= b) {
            ++position;
            a += outputWidth;
        }
        b += width;
    }
}

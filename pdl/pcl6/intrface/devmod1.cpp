// The rendering DLL never renders from the user interface's settings as
// they are: when a device context is enabled they are converted into a
// `RendDevmode` (the public DEVMODE and a private part of 14680 bytes),
// which is then checked and merged into the defaults.
#include <windows.h>

#include <cstring>

#include "pcl6/intrface/devmod1.h"
#include "pcl6/intrface/privdevmode.h"

namespace {

// The papers the printer takes as the application names them; any other
// code prints on A4.
const INT16 kKeptPapers[] = {1,  5,  6,  7,   9,   11,  13,  14,  20,  27,  28,  31,  34,  37,
                             43, 70, 241, 242, 243, 245, 246, 250, 252, 276, 277, 278, 279, 280};
// The papers that may be printed on both sides.
const INT16 kDuplexPapers[] = {1, 5, 9, 14, 243, 245};

// The user interface numbers its custom sizes from 288 on, up to 351. They
// all print as the one custom size 288, whose size travels in the public
// paper width and length.
constexpr int kCustomFirst = 288;
constexpr int kCustomLast = 351;
// The custom sizes the user interface lets a person define, in 600-dpi dots.
constexpr int kCustomMinWidth = 1800, kCustomMaxWidth = 5100;
constexpr int kCustomMinLength = 3000, kCustomMaxLength = 8400;

template <size_t N>
bool Contains(const INT16 (&list)[N], int code) {
    for (INT16 entry : list)
        if (entry == code) return true;
    return false;
}

// 0.1 mm to 600-dpi dots, truncated toward zero.
int TenthsToDots(int tenths) { return int(double(tenths) / 254.0 * 600.0); }

// Copies a text from a field of `sourceCapacity` characters into one of
// `targetCapacity`, both NUL-terminated: a text that does not end inside
// its field is cut.
void CopyText(WCHAR* target, int targetCapacity, const WCHAR* source, int sourceCapacity) {
    int limit = (targetCapacity < sourceCapacity ? targetCapacity : sourceCapacity) - 1;
    int length = 0;
    while (length < limit && source[length]) ++length;
    std::memcpy(target, source, size_t(length) * sizeof(WCHAR));
    target[length] = 0;
}

template <size_t T, size_t S>
void CopyText(WCHAR (&target)[T], const WCHAR (&source)[S]) {
    CopyText(target, int(T), source, int(S));
}

INT16 MediaIndexOf(int mediaType) {
    switch (mediaType) {
        case 2: return 5;
        case 257: return 1;
        case 258: return 2;
        case 259: return 3;
        case 263: return 4;
        case 264: return 6;
        default: return 0;
    }
}

// The watermark prints in one of five greys chosen by its level; the
// record's colour is not used.
UINT32 GreyOf(int level) {
    switch (level) {
        case 0: return 0xC6C6C6;
        case 1: return 0xA1A1A1;
        case 3: return 0x575757;
        case 4: return 0x323232;
        default: return 0x7C7C7C;
    }
}

void ConvertWatermark(const PrivateDevmode& ui, RendPrivate& priv) {
    const WatermarkRecord& record = ui.WatermarkData;
    RendWatermarkBlock& block = priv.Watermark;
    if (record.type == 1) {
        block.WatermarkOn = 1;
        CopyText(block.Text, record.text);
        CopyText(block.TextCopy, record.text);
        block.Angle = record.angle;
        if (record.position == 5) {
            block.PositionMode = 5;
        } else {
            block.PositionMode = 10;
            block.X = record.x;
            block.Y = record.y;
        }
        block.FontSize = record.fontSize;
        CopyText(block.FaceName, record.faceName);
        if (record.bold == 1) block.Bold = 1;
        if (record.italic == 1) block.Italic = 1;
        block.Color = GreyOf(record.grey);
        block.Color2 = block.Color;
        priv.WatermarkFirstPageOnly = ui.FirstPageOnly != 0 ? 1 : 0;
        block.Outline = 1;
    } else if (record.type == 2) {
        block.WatermarkOn = 1;
        CopyText(block.Text, record.bitmapPath);
        block.IsBitmap = 1;
        block.FontSize = 100;
        block.PositionMode = 5;
        priv.WatermarkFirstPageOnly = ui.FirstPageOnly != 0 ? 1 : 0;
        if (record.fade != 0) block.Outline = 1;
    }
}

}  // namespace

BOOL Devmode_ConvertFromUi(const DEVMODEW* source, RendDevmode* target) {
    if (!source || !target) return FALSE;
    if (source->dmSize != sizeof(DEVMODEW) || source->dmDriverExtra != PRIVATE_DEVMODE_SIZE) return FALSE;
    const auto& ui = *reinterpret_cast<const PrivateDevmode*>(reinterpret_cast<const BYTE*>(source) + sizeof(DEVMODEW));
    DEVMODEW& pub = target->pub;
    RendPrivate& priv = target->priv;

    // 1. The public part as it stands, announcing the rendering layout.
    std::memcpy(&pub, source, sizeof(DEVMODEW));
    pub.dmDriverVersion = REND_DRIVER_VERSION;
    pub.dmSpecVersion = REND_SPEC_VERSION;
    pub.dmDriverExtra = REND_PRIVATE_SIZE;
    priv.Signature = REND_SIGNATURE;

    // 2. Paper.
    const int paper = source->dmPaperSize;
    pub.dmPaperSize = Contains(kKeptPapers, paper) ? SHORT(paper) : SHORT(DMPAPER_A4);
    if (paper >= kCustomFirst && paper <= kCustomLast) {
        const int width600 = TenthsToDots(source->dmPaperWidth);
        const int length600 = TenthsToDots(source->dmPaperLength);
        // A size the user interface could not have made (none at all, or
        // one the printer cannot take) prints on A4.
        if (width600 >= kCustomMinWidth && width600 <= kCustomMaxWidth && length600 >= kCustomMinLength &&
            length600 <= kCustomMaxLength) {
            pub.dmPaperSize = SHORT(kCustomFirst);
            priv.CustomPaperOn = 1;
            priv.CustomPaperCode = paper;
            priv.CustomPaperLength = source->dmPaperLength;
            priv.CustomPaperWidth = source->dmPaperWidth;
            priv.CustomSizes[0].CustomPaperWidth600 = width600;
            priv.CustomSizes[0].CustomPaperLength600 = length600;
        }
    }

    // 3. Media and the paper as asked for.
    priv.MediaIndex = MediaIndexOf(source->dmMediaType);
    priv.PaperOrientation = BYTE(source->dmOrientation);
    priv.RequestedPaperSize = SHORT(paper);

    // 4. Paper source; A5 fed long edge first.
    priv.FeedSource = source->dmDefaultSource == 1 ? 2 : (source->dmDefaultSource == 4 ? 1 : 0);
    const BYTE a5LongEdge = paper == DMPAPER_A5 && ui.FeedOrient == 2 ? 1 : 0;
    priv.A5FeedFlags[0] = a5LongEdge;
    priv.A5FeedFlags[1] = a5LongEdge;

    // 5. Duplex: the binding moves into the private part; only the papers
    // the duplex unit takes keep it.
    switch (source->dmDuplex) {
        case DMDUP_VERTICAL:
            pub.dmDuplex = DMDUP_SIMPLEX;
            priv.DuplexBinding = 2;
            break;
        case DMDUP_HORIZONTAL:
            pub.dmDuplex = DMDUP_VERTICAL;
            priv.DuplexBinding = 1;
            break;
        default: priv.DuplexBinding = 0; break;
    }
    if (!Contains(kDuplexPapers, paper)) {
        pub.dmDuplex = 0;
        priv.DuplexBinding = 0;
    }

    // 6. Page order; 1200 dpi is rendered at 600 dpi and remembered.
    priv.OppositeOrder = ui.OppositeSide;
    if (source->dmPrintQuality == 1200) {
        priv.HighResolutionRequested = 1;
        pub.dmPrintQuality = 600;
        pub.dmYResolution = 600;
    }

    // 7. N-up.
    priv.Word14678 = ui.BasicSwitch;
    priv.PagesPerSheet = BYTE(ui.MultipleUp);
    if (ui.PageBorder != 0) priv.PageBorderMode = 4;
    switch (ui.PageOrder) {
        case 1:
        case 3: priv.NupOrder = 1; break;
        case 4: priv.NupOrder = 2; break;
        case 5: priv.NupOrder = 3; break;
        default: priv.NupOrder = 0; break;
    }

    // 8. Scale; the 22-up layout prints unscaled.
    if (ui.ScaleCopy >= 25 && ui.ScaleCopy <= 400) {
        priv.ScaleOn = 1;
        priv.ScalePercent = ui.ScaleCopy;
    }
    if (ui.MultipleUp == 22) {
        priv.LayoutFlag = 1;
        priv.PosterSize = 0;
        priv.ScaleOn = 0;
    }

    // 9. Turned pages and toner density.
    pub.dmOrientation = source->dmOrientation;
    if (ui.Rotate180 == 1)
        priv.Rotate180Mode = source->dmOrientation == DMORIENT_PORTRAIT ? 2 : 1;
    else
        priv.Rotate180Mode = 0;
    priv.DensityLevel = ui.Thickness == 0 ? 0 : (ui.Thickness == 2 ? 2 : 1);
    if (ui.TonerSavingMode == 1) priv.DensityLevel = 0;

    // 10. Watermark.
    ConvertWatermark(ui, priv);

    // 11. Soft fonts and the default font.
    priv.UseSoftFont = ui.UseSoftFont;
    priv.SoftFontBitmap = ui.SoftFontBitmap;
    priv.DefaultFontFace = BYTE(ui.SoftFontFace);
    priv.DefaultFontSize = ui.SoftFontSize >= 50 && ui.SoftFontSize <= 240 ? ui.SoftFontSize : 95;
    return TRUE;
}

// Repair of a private part: every checked field outside its range gets its
// repair value, strings are cut to end inside their fields, and nothing is
// rejected as a whole. Each repair stands alone; the order follows the
// layout's groups.
#include <windows.h>

#include "ui/ui/devmode.h"

namespace {

template <typename T>
T InRange(T value, long long low, long long high, T repair) {
    return (value < low || value > high) ? repair : value;
}

// Ends a string field at its last character position, so that a stored
// string that fills the field comes out one character shorter.
#define CUT_STRING(field) ((field)[ARRAYSIZE(field) - 1] = 0)

void ValidateWatermark(WatermarkRecord& mark) {
    mark.angle = InRange<INT16>(mark.angle, -90, 90, 0);
    mark.bold = InRange<INT16>(mark.bold, 0, 1, 0);
    mark.frame = InRange<INT16>(mark.frame, 0, 2, 0);
    mark.type = InRange<INT16>(mark.type, 0, 2, 0);
    mark.fontSize = InRange<INT16>(mark.fontSize, 6, 600, 72);
    mark.italic = InRange<INT16>(mark.italic, 0, 1, 0);
    mark.index = InRange<INT16>(mark.index, 0, 32, 0);
    mark.position = InRange<INT16>(mark.position, 0, 10, 0);
    mark.tile = InRange<INT16>(mark.tile, 0, 1, 0);
    mark.scale = InRange<INT16>(mark.scale, 0, 1000, 0);
    mark.fade = InRange<INT16>(mark.fade, 0, 1, 0);
    mark.faceChosen = InRange<INT16>(mark.faceChosen, 0, 33, 0);
    mark.color = InRange<UINT32>(mark.color, 0, 0xFFFFFF, 13311);
    mark.value = InRange<INT16>(mark.value, 0, 7, 0);
    CUT_STRING(mark.name);
    CUT_STRING(mark.text);
    CUT_STRING(mark.faceName);
    CUT_STRING(mark.bitmapPath);
}

void ValidateCustomPaper(CustomPaperRecord& paper) {
    // 600-dpi units; the repair is A4.
    paper.height = InRange<INT16>(paper.height, 3000, 8400, 7015);
    paper.width = InRange<INT16>(paper.width, 1800, 5100, 4960);
    CUT_STRING(paper.name);
}

}  // namespace

HRESULT ValidatePrivateDevmode(PrivateDevmode* priv) {
    if (!priv) return E_PENDING;
    PrivateDevmode& p = *priv;

    // Scaling and layout.
    p.OutputSize = InRange<INT32>(p.OutputSize, 0, 0x7FFFFFFF, 0);
    p.ScaleFlag = InRange<INT32>(p.ScaleFlag, 0, 2, 0);
    p.ScaleRadio = InRange<INT32>(p.ScaleRadio, 25, 400, 100);
    p.SourceTray = InRange<INT16>(p.SourceTray, 0, 2, 0);
    p.FeedOrient = InRange<INT16>(p.FeedOrient, 1, 2, 1);
    p.ManualDuplex = InRange<INT16>(p.ManualDuplex, 0, 1, 0);
    p.Rotate = InRange<INT16>(p.Rotate, 0, 3, 0);
    p.PosterPrint = InRange<INT16>(p.PosterPrint, 0, 1, 0);
    p.PosterType = InRange<INT16>(p.PosterType, 0, 2, 0);
    p.CropMarks = InRange<INT16>(p.CropMarks, 0, 1, 0);
    p.MultipleUp = InRange<INT16>(p.MultipleUp, 1, 23, 1);
    p.PageOrder = InRange<INT16>(p.PageOrder, 0, 5, 0);
    p.PageBorder = InRange<INT16>(p.PageBorder, 0, 1, 0);
    p.MixedOrient = InRange<INT16>(p.MixedOrient, 0, 2, 0);
    p.ImageShift = InRange<INT16>(p.ImageShift, 0, 8, 0);
    p.MarginsAutoFit = InRange<INT16>(p.MarginsAutoFit, 0, 1, 1);
    p.Side = InRange<INT16>(p.Side, 0, 1181, 0);
    p.Side2 = InRange<INT16>(p.Side2, 0, 1181, 0);
    p.PrintPosition = InRange<INT16>(p.PrintPosition, 0, 4, 0);
    p.AdjustPrintPosition = InRange<INT16>(p.AdjustPrintPosition, 0, 1, 0);
    p.LeftRight = InRange<INT16>(p.LeftRight, -1181, 1181, 0);
    p.UpDown = InRange<INT16>(p.UpDown, -1181, 1181, 0);
    p.FavoriteIndex = InRange<INT16>(p.FavoriteIndex, 0, 29, 26);

    // Image adjustment.
    p.ImageAdjustMode = InRange<INT16>(p.ImageAdjustMode, 0, 2, 0);
    p.ImageType[0] = InRange<INT16>(p.ImageType[0], 0, 2, 0);
    p.ImageType[1] = InRange<INT16>(p.ImageType[1], 0, 3, 0);
    p.ScreenType = InRange<INT16>(p.ScreenType, 0, 3, 0);
    p.TonerSavingMode = InRange<INT16>(p.TonerSavingMode, 0, 3, 0);
    p.Negative = InRange<INT16>(p.Negative, 0, 1, 0);
    p.Rotate180 = InRange<INT16>(p.Rotate180, 0, 1, 0);
    p.Mirror = InRange<INT16>(p.Mirror, 0, 1, 0);
    p.Thickness = InRange<INT16>(p.Thickness, 0, 2, 1);
    p.ApplyElements = InRange<INT16>(p.ApplyElements, 0, 1, 0);
    p.DocumentElement = InRange<INT16>(p.DocumentElement, 0, 2, 0);
    for (int i = 0; i < 4; ++i) {
        p.Brightness[i] = InRange<INT16>(p.Brightness[i], -100, 100, 0);
        p.Constrast[i] = InRange<INT16>(p.Constrast[i], -100, 100, 0);
        p.Saturation[i] = InRange<INT16>(p.Saturation[i], -100, 100, 0);
    }
    p.AdjustBalance = InRange<INT16>(p.AdjustBalance, 0, 1, 0);
    p.TargetColor = InRange<INT16>(p.TargetColor, 0, 3, 0);
    for (int i = 0; i < 4; ++i) {
        p.Highlights[i] = InRange<INT16>(p.Highlights[i], -3, 3, 0);
        p.Midtones[i] = InRange<INT16>(p.Midtones[i], -3, 3, 0);
        p.Shadows[i] = InRange<INT16>(p.Shadows[i], -3, 3, 0);
    }
    p.Profile = InRange<INT16>(p.Profile, 0, 2, 0);
    p.ColorTemperature = InRange<INT16>(p.ColorTemperature, 0, 2, 1);
    p.GammaCorrection = InRange<INT16>(p.GammaCorrection, 0, 4, 3);
    CUT_STRING(p.Monitor);
    CUT_STRING(p.InputImage);
    p.ImageInputIndex = InRange<INT16>(p.ImageInputIndex, 0, 2, 0);
    p.FirstPageOnly = InRange<INT16>(p.FirstPageOnly, 0, 1, 0);

    ValidateWatermark(p.WatermarkData);

    // Header and footer line.
    p.HeaderFontSize = InRange<INT16>(p.HeaderFontSize, 5, 24, 9);
    p.HeaderBold = InRange<INT16>(p.HeaderBold, 0, 1, 1);
    p.HeaderItalic = InRange<INT16>(p.HeaderItalic, 0, 1, 0);
    p.HeaderColor = InRange<UINT32>(p.HeaderColor, 0, 0xFFFFFF, 0);
    p.HeaderColorIndex = InRange<INT16>(p.HeaderColorIndex, 0, 6, 0);
    CUT_STRING(p.HeaderFontName);
    for (HeaderPrintItem& item : p.PrintItems) {
        item.enabled = InRange<INT16>(item.enabled, 0, 1, 0);
        item.item = InRange<INT16>(item.item, 0, 5, 0);
    }

    for (CustomPaperRecord& paper : p.CustomPaperSize) ValidateCustomPaper(paper);

    p.ColorMode = InRange<INT16>(p.ColorMode, 1, 1, 1);
    p.Duplex = InRange<INT16>(p.Duplex, 1, 5, 1);
    p.DuplexIndex = InRange<INT16>(p.DuplexIndex, 0, 2, 0);
    CopyMemory(p.signature, "PRIV", sizeof(p.signature));
    p.UseSoftFont = InRange<INT32>(p.UseSoftFont, 0, 1, 1);
    p.SoftFontBitmap = InRange<INT32>(p.SoftFontBitmap, 0, 1, 0);
    return S_OK;
}

// The driver's private part of the DEVMODE: 4864 bytes that follow the
// 220-byte public DEVMODEW. The user-interface DLL writes and stores it; the
// rendering DLL converts it into its own layout. It travels in print jobs and
// in printer data, so every offset, width and reserved byte is a format.
// Members named like the key table's keys are read and written by those keys.
#pragma once
#include <windows.h>

#include <cstddef>

#include "pcl6/intrface/custompaper.h"
#include "pcl6/intrface/watermark.h"

#define PRIVATE_DEVMODE_SIZE 4864
#define UI_DEVMODE_SIZE (220 + PRIVATE_DEVMODE_SIZE)
// The signature "PRIV" read as a little-endian 32-bit value.
#define PRIVATE_DEVMODE_SIGNATURE 0x56495250u
#define CUSTOM_PAPER_RECORD_COUNT 20

#pragma pack(push, 1)

// One item of the header and footer line.
struct HeaderPrintItem {
    INT16 enabled;  // 0 or 1
    INT16 item;     // 0..5
};

struct PrivateDevmode {
    BYTE signature[4];  // "PRIV"
    INT16 ColorMode;
    INT16 Duplex;
    INT16 DuplexIndex;
    INT16 OppositeSide;  // the basic page's reverse-order box
    BYTE reserved12[256];
    INT16 BasicSwitch;  // switched by check box 1422 of the basic page
    BYTE reserved270[2];
    INT32 OutputSize;
    INT32 ScaleFlag;
    INT32 ScaleRadio;  // percent
    INT16 MultipleUp;
    INT16 PageOrder;
    INT16 PageBorder;
    INT16 MixedOrient;
    INT16 WatermarkLock;  // non-zero: the watermark page locks its list
    INT16 PosterPrint;
    INT16 PosterType;
    INT16 CropMarks;
    INT16 SourceTray;
    INT16 Rotate;
    INT16 FeedOrient;
    INT16 ManualDuplex;
    INT16 Mismatch;
    INT16 BookletPrint;
    INT16 BookletBinding;
    INT16 BookletSubsets;
    INT16 BookletSheets;
    INT16 BookletGutter;
    INT16 BookletAutoFit;
    INT16 BoookletMargins;  // the stored key keeps this spelling
    INT16 ImageShift;
    INT16 MarginsAutoFit;
    INT16 Side;
    INT16 Side2;
    INT16 PrintPosition;
    INT16 AdjustPrintPosition;
    INT16 LeftRight;
    INT16 UpDown;
    WCHAR FavoriteName[256];
    INT16 FavoriteIndex;
    INT16 ImageAdjustMode;
    INT16 ImageType[2];
    INT16 ApplyElements;
    INT16 DocumentElement;
    INT16 Brightness[4];
    INT16 Constrast[4];  // the stored key keeps this spelling
    INT16 Saturation[4];
    INT16 AdjustBalance;
    INT16 TargetColor;
    INT16 Highlights[4];
    INT16 Midtones[4];
    INT16 Shadows[4];
    INT16 Profile;
    INT16 ColorTemperature;
    INT16 GammaCorrection;
    INT16 ImageInputIndex;
    WCHAR Monitor[256];
    WCHAR InputImage[256];
    INT16 ScreenType;
    INT16 TonerSavingMode;
    INT16 Rotate180;
    INT16 Mirror;
    INT16 Thickness;
    INT16 Negative;
    INT16 ScaleCopy;  // the scale the rendering DLL prints with (public dmScale's copy)
    INT16 FirstPageOnly;
    WatermarkRecord WatermarkData;
    BYTE reserved2780[4];  // the watermark editor keeps a companion value here
    INT16 OverlayFlag;
    WCHAR OverlayFileName[260];
    WCHAR HeaderFontName[32];
    INT16 HeaderFontSize;  // points
    INT16 HeaderBold;
    INT16 HeaderItalic;
    UINT32 HeaderColor;  // 0x00BBGGRR
    INT16 HeaderColorIndex;
    HeaderPrintItem PrintItems[6];
    BYTE reserved3406[2];
    CustomPaperRecord CustomPaperSize[CUSTOM_PAPER_RECORD_COUNT];
    INT32 UseSoftFont;     // 0 or 1
    INT32 SoftFontBitmap;  // 0 or 1
    INT16 SoftFontFace;    // one of two soft-font faces; read by the rendering DLL
    INT16 SoftFontSize;    // tenths of a point; read by the rendering DLL
    BYTE reserved4860[4];
};

#pragma pack(pop)

static_assert(sizeof(HeaderPrintItem) == 4);
static_assert(sizeof(PrivateDevmode) == PRIVATE_DEVMODE_SIZE);
static_assert(offsetof(PrivateDevmode, signature) == 0);
static_assert(offsetof(PrivateDevmode, ColorMode) == 4);
static_assert(offsetof(PrivateDevmode, Duplex) == 6);
static_assert(offsetof(PrivateDevmode, DuplexIndex) == 8);
static_assert(offsetof(PrivateDevmode, OppositeSide) == 10);
static_assert(offsetof(PrivateDevmode, reserved12) == 12);
static_assert(offsetof(PrivateDevmode, BasicSwitch) == 268);
static_assert(offsetof(PrivateDevmode, reserved270) == 270);
static_assert(offsetof(PrivateDevmode, OutputSize) == 272);
static_assert(offsetof(PrivateDevmode, ScaleFlag) == 276);
static_assert(offsetof(PrivateDevmode, ScaleRadio) == 280);
static_assert(offsetof(PrivateDevmode, MultipleUp) == 284);
static_assert(offsetof(PrivateDevmode, PageOrder) == 286);
static_assert(offsetof(PrivateDevmode, PageBorder) == 288);
static_assert(offsetof(PrivateDevmode, MixedOrient) == 290);
static_assert(offsetof(PrivateDevmode, WatermarkLock) == 292);
static_assert(offsetof(PrivateDevmode, PosterPrint) == 294);
static_assert(offsetof(PrivateDevmode, PosterType) == 296);
static_assert(offsetof(PrivateDevmode, CropMarks) == 298);
static_assert(offsetof(PrivateDevmode, SourceTray) == 300);
static_assert(offsetof(PrivateDevmode, Rotate) == 302);
static_assert(offsetof(PrivateDevmode, FeedOrient) == 304);
static_assert(offsetof(PrivateDevmode, ManualDuplex) == 306);
static_assert(offsetof(PrivateDevmode, Mismatch) == 308);
static_assert(offsetof(PrivateDevmode, BookletPrint) == 310);
static_assert(offsetof(PrivateDevmode, BookletBinding) == 312);
static_assert(offsetof(PrivateDevmode, BookletSubsets) == 314);
static_assert(offsetof(PrivateDevmode, BookletSheets) == 316);
static_assert(offsetof(PrivateDevmode, BookletGutter) == 318);
static_assert(offsetof(PrivateDevmode, BookletAutoFit) == 320);
static_assert(offsetof(PrivateDevmode, BoookletMargins) == 322);
static_assert(offsetof(PrivateDevmode, ImageShift) == 324);
static_assert(offsetof(PrivateDevmode, MarginsAutoFit) == 326);
static_assert(offsetof(PrivateDevmode, Side) == 328);
static_assert(offsetof(PrivateDevmode, Side2) == 330);
static_assert(offsetof(PrivateDevmode, PrintPosition) == 332);
static_assert(offsetof(PrivateDevmode, AdjustPrintPosition) == 334);
static_assert(offsetof(PrivateDevmode, LeftRight) == 336);
static_assert(offsetof(PrivateDevmode, UpDown) == 338);
static_assert(offsetof(PrivateDevmode, FavoriteName) == 340);
static_assert(offsetof(PrivateDevmode, FavoriteIndex) == 852);
static_assert(offsetof(PrivateDevmode, ImageAdjustMode) == 854);
static_assert(offsetof(PrivateDevmode, ImageType) == 856);
static_assert(offsetof(PrivateDevmode, ApplyElements) == 860);
static_assert(offsetof(PrivateDevmode, DocumentElement) == 862);
static_assert(offsetof(PrivateDevmode, Brightness) == 864);
static_assert(offsetof(PrivateDevmode, Constrast) == 872);
static_assert(offsetof(PrivateDevmode, Saturation) == 880);
static_assert(offsetof(PrivateDevmode, AdjustBalance) == 888);
static_assert(offsetof(PrivateDevmode, TargetColor) == 890);
static_assert(offsetof(PrivateDevmode, Highlights) == 892);
static_assert(offsetof(PrivateDevmode, Midtones) == 900);
static_assert(offsetof(PrivateDevmode, Shadows) == 908);
static_assert(offsetof(PrivateDevmode, Profile) == 916);
static_assert(offsetof(PrivateDevmode, ColorTemperature) == 918);
static_assert(offsetof(PrivateDevmode, GammaCorrection) == 920);
static_assert(offsetof(PrivateDevmode, ImageInputIndex) == 922);
static_assert(offsetof(PrivateDevmode, Monitor) == 924);
static_assert(offsetof(PrivateDevmode, InputImage) == 1436);
static_assert(offsetof(PrivateDevmode, ScreenType) == 1948);
static_assert(offsetof(PrivateDevmode, TonerSavingMode) == 1950);
static_assert(offsetof(PrivateDevmode, Rotate180) == 1952);
static_assert(offsetof(PrivateDevmode, Mirror) == 1954);
static_assert(offsetof(PrivateDevmode, Thickness) == 1956);
static_assert(offsetof(PrivateDevmode, Negative) == 1958);
static_assert(offsetof(PrivateDevmode, ScaleCopy) == 1960);
static_assert(offsetof(PrivateDevmode, FirstPageOnly) == 1962);
static_assert(offsetof(PrivateDevmode, WatermarkData) == 1964);
static_assert(offsetof(PrivateDevmode, reserved2780) == 2780);
static_assert(offsetof(PrivateDevmode, OverlayFlag) == 2784);
static_assert(offsetof(PrivateDevmode, OverlayFileName) == 2786);
static_assert(offsetof(PrivateDevmode, HeaderFontName) == 3306);
static_assert(offsetof(PrivateDevmode, HeaderFontSize) == 3370);
static_assert(offsetof(PrivateDevmode, HeaderBold) == 3372);
static_assert(offsetof(PrivateDevmode, HeaderItalic) == 3374);
static_assert(offsetof(PrivateDevmode, HeaderColor) == 3376);
static_assert(offsetof(PrivateDevmode, HeaderColorIndex) == 3380);
static_assert(offsetof(PrivateDevmode, PrintItems) == 3382);
static_assert(offsetof(PrivateDevmode, reserved3406) == 3406);
static_assert(offsetof(PrivateDevmode, CustomPaperSize) == 3408);
static_assert(offsetof(PrivateDevmode, UseSoftFont) == 4848);
static_assert(offsetof(PrivateDevmode, SoftFontBitmap) == 4852);
static_assert(offsetof(PrivateDevmode, SoftFontFace) == 4856);
static_assert(offsetof(PrivateDevmode, SoftFontSize) == 4858);
static_assert(offsetof(PrivateDevmode, reserved4860) == 4860);

// The whole document settings as the user interface keeps and hands them on:
// the public DEVMODEW directly followed by the private part, 5084 bytes with
// no padding between or after them.
struct UiDevmode {
    DEVMODEW pub;
    PrivateDevmode priv;
};
static_assert(sizeof(UiDevmode) == UI_DEVMODE_SIZE);
static_assert(offsetof(UiDevmode, priv) == 220);

// One slot of the table through which the property pages reach private
// fields by name: the key (8-bit, at most 19 characters and a NUL), the
// field's size and its offset in PrivateDevmode. An empty slot has an empty
// name and size 0.
#pragma pack(push, 1)
struct DevmodeKeyEntry {
    char name[20];
    INT32 size;
    INT32 offset;
};
#pragma pack(pop)
static_assert(sizeof(DevmodeKeyEntry) == 28);
static_assert(offsetof(DevmodeKeyEntry, size) == 20);
static_assert(offsetof(DevmodeKeyEntry, offset) == 24);

// The rendering DLL's own document settings, `RendDevmode`: the 220-byte
// public DEVMODEW followed by a private part of 14680 bytes (14900 bytes in
// all). The user interface's settings are converted into this layout when a
// device context is enabled; the rest of the rendering DLL reads
// its settings here. The record travels in a DEVMODE (dmDriverExtra 14680)
// and three of its blocks are copied out by private escapes, so every
// offset, width and reserved byte below is a format.
//
// Fields whose role is settled only by the code that reads them keep a name
// after their offset; their comments give the values the check accepts.
#pragma once
#include <windows.h>

#include <cstddef>

#define REND_PRIVATE_SIZE 14680
#define REND_DEVMODE_SIZE (220 + REND_PRIVATE_SIZE)
#define REND_SPEC_VERSION 0x0401
#define REND_DRIVER_VERSION 0x0500
// "PRIV" read as a little-endian 32-bit value, at private offset 16.
#define REND_SIGNATURE 0x56495250u

#define REND_MARGIN_ENTRIES 49       // the 42 model papers, then custom sizes
#define REND_CUSTOM_SIZE_ENTRIES 20  // custom paper codes 288..307
#define REND_SIZE_LIST_ENTRIES 16

#pragma pack(push, 1)

// The page's watermark as the rendering DLL prints it and as escape 0x5001
// hands it to the user interface (3236 bytes).
struct RendWatermarkBlock {
    INT16 WatermarkOn;          // 1 when a text or bitmap watermark is set
    WCHAR TextCopy[261];        // the text again (text watermarks)
    WCHAR Text[262];            // the text, or the bitmap's file path
    UINT32 Color;               // grey as 0x00BBGGRR
    UINT32 Color2;              // the same grey
    BYTE Value1056;             // below 8
    BYTE reserved1057;
    WCHAR FaceName[32];         // font face of a text watermark
    INT16 FontSize;             // points; a bitmap's scale percent (100)
    INT32 Value1124;            // not negative
    INT16 Value1128;            // not negative
    INT16 Value1130;            // not negative
    INT16 PositionMode;         // 5 centred, 10 at X and Y; 0..10
    INT16 Angle;                // degrees, -90..90
    BYTE IsBitmap;              // 1 for a bitmap watermark
    BYTE Value1137;             // 0 or 1
    BYTE reserved1138[2];
    BYTE Italic;
    BYTE Bold;
    BYTE Outline;               // text drawn outlined; a bitmap drawn faded
    BYTE Frame;                 // 0 none, 1 circle, 2 square
    INT32 Tile;                 // repeat across the page
    INT32 X;                    // percent of the page width (position mode 10)
    INT32 Y;                    // percent of the page height (position mode 10)
    BYTE reserved1156[2080];
};

// Colour adjustment and the resolution step (568 bytes).
struct RendColorAdjust {
    BYTE ResolutionStep;        // 0 renders at 600 dpi, 1 at 1200 dpi
    BYTE reserved1[3];
    INT32 Value4;               // not negative
    BYTE GreyLevels[3];         // three grey adjustment levels (unsigned); 0 by default
    BYTE Value11;               // at most 7
    BYTE Value12;               // default 1
    BYTE reserved13;
    INT8 Levels[4][3];          // brightness, contrast, saturation per group: -100..100
    BYTE reserved26[2];
    INT32 Value28;              // not negative
    BYTE Value32;               // at most 3
    INT8 Tones[4][3];           // highlights, midtones, shadows per group: -3..3
    BYTE reserved45;
    BYTE Value46;               // at most 2; default 1
    BYTE Value47;               // at most 4; default 3
    CHAR Profile1[256];         // 8-bit text ending inside the field
    BYTE reserved304;
    CHAR Profile2[256];         // 8-bit text ending inside the field
    BYTE Value561[4];           // default 0
    BYTE reserved565[3];
};

// One entry of the six-entry list of the header block.
struct RendHeaderItem {
    INT32 Value;                // not negative
    BYTE Kind;                  // below 6
    BYTE reserved[3];
};

// Header and footer settings (1096 bytes; copied out by escape 0x5005).
struct RendHeaderBlock {
    WCHAR FontName[256];        // "Times New Roman" by default
    BYTE reserved512[512];
    INT32 FontSize;             // 9 by default
    INT32 Value1028;
    INT32 Value1032;            // 1 by default
    INT32 Value1036;
    RendHeaderItem Items[6];
    BYTE reserved1088[8];
};

// The block copied out by escape 0x500B (1330 bytes).
struct RendInfoBlock {
    INT16 Value0;               // 1 by default
    BYTE reserved2[1110];
    WCHAR UserName[32];         // the user's logon name, at most 31 characters
    BYTE reserved1176[154];
};

// One entry of the list in RendListBlock (128 bytes). The text at 80 is
// checked to end within 256 bytes, so it may run on into the next entries.
struct RendListEntry {
    CHAR Name[25];              // ends inside the field
    BYTE reserved25[55];
    CHAR Text[48];
};

// A block of address and list settings (4408 bytes).
struct RendListBlock {
    INT32 Values[3];            // not negative
    CHAR Address[25];           // "255.255.255.255" by default; ends inside the field
    BYTE reserved37[259];
    INT32 EntryCount;           // 0..16
    RendListEntry Entries[REND_SIZE_LIST_ENTRIES];
    BYTE reserved2348[2060];
};

// One custom paper size (64 bytes): its size in 600-dpi dots. The first
// entry holds the size of the converted custom paper (code 288).
struct RendCustomSize {
    INT32 CustomPaperWidth600;
    INT32 CustomPaperLength600;
    BYTE reserved8[56];
};

// Four unprintable margins of a paper in 600-dpi dots, in the order of the
// model description's records.
struct RendMargins {
    INT16 Margin[4];
};

struct RendPrivate {
    INT16 Value0;               // 1 or 2; 1 by default
    BYTE DuplexBinding;         // 0 one-sided, 1 short edge, 2 long edge; 3, 4 manual duplex
    BYTE BookletOn;             // below 3
    INT16 FeedSource;           // 0..2: 2 upper tray, 1 manual feed
    BYTE WatermarkFirstPageOnly;
    BYTE reserved7;
    INT16 Value8;               // 0..31; 25 by default
    BYTE reserved10[2];
    INT32 Value12;              // copied as it stands
    UINT32 Signature;           // REND_SIGNATURE
    WCHAR SettingsName[40];     // "Standard" by default
    // N-up pair (100..107), taken together.
    INT32 PageBorderMode;       // bit 0x4 page borders, bit 0x8 cell grid
    BYTE PagesPerSheet;         // 1, 2, 4, 8 or 16
    BYTE NupOrder;              // below 4
    BYTE AllCellBorders;        // nonzero: each page end frames every cell placed so far
    BYTE NupSheetOrientation;   // 0 the layout turns the sheet; 1 portrait, 2 landscape
                                // sheets for the 2-, 8- and 32-up grids, each for a first
                                // page of that orientation (its pages stay upright); other
                                // values as 0
    // Poster (108..115), taken together.
    UINT16 PosterSize;          // 0, 1, 2: tiles of 2, 3 or 4 per side
    BYTE PosterOn;              // nonzero: print each page as poster tiles
    BYTE PosterCutMarks;        // nonzero: cut marks on the tiles
    BYTE reserved112[4];
    // Shift, print position and margins (116..539), taken together.
    UINT16 ImageShiftDirection; // 0 none, 1..8
    BYTE ShiftFit;              // 1 by default
    BYTE reserved119;
    UINT16 FrontShift;          // 0..1181 dots
    UINT16 BackShift;           // 0..1181 dots
    UINT16 PrintPosition;       // below 5
    BYTE PrintPositionAdjust;
    BYTE reserved127;
    INT32 AdjustX;              // -1181..1181
    INT32 AdjustY;              // -1181..1181
    BYTE MarginsFlag;           // margins come from MarginTable
    BYTE reserved137;
    UINT16 Values138[4];        // each at most 1181
    RendMargins MarginTable[REND_MARGIN_ENTRIES];  // each margin 0..1181
    BYTE reserved538[2];
    // Scale (540..547), taken together.
    BYTE ScaleOn;
    BYTE reserved541;
    INT16 ScalePercent;         // 25..400
    INT16 PaperOverride;        // a paper code, 0 for none; 0..300
    INT16 OutputPaperOverride;  // a paper code the output is forced to, 0 for none
    INT16 RequestedPaperSize;   // the application's paper code before mapping
    BYTE PaperOrientation;      // low byte of dmOrientation
    BYTE reserved551;
    INT16 MediaIndex;           // index of the PJL paper type, 0..6
    BYTE SheetKeepFlags;        // bit 0x1: sheets are kept, so fonts go with each sheet
    BYTE SheetKeepValue;        // nonzero: likewise
    BYTE reserved556[4];
    // Custom paper (560..1855), taken together.
    INT16 CustomPaperOn;
    BYTE reserved562[2];
    INT32 CustomPaperCode;      // the application's custom code
    INT32 CustomPaperLength;    // 0.1 mm
    INT32 CustomPaperWidth;     // 0.1 mm
    RendCustomSize CustomSizes[REND_CUSTOM_SIZE_ENTRIES];
    // Booklet and gutter (1856..1879), taken together.
    INT32 BookletOrder;         // not negative; its low byte is used
    BYTE BookletGrouping;       // 0 the whole document, 1 groups of BookletGroupSheets
                                // sheets, 2 groups of up to 200 pages
    BYTE BookletGroupSheets;    // 1..50; 5 by default
    BYTE reserved1862[2];
    INT32 FirstGutterFlag;      // not negative
    INT32 SecondGutterFlag;     // not negative; 1 by default
    INT32 GutterWidth;          // 0..1181
    BYTE InchUnits;             // 1 by default outside A4 countries
    BYTE reserved1877[3];
    // Layout flags (1880..1882), taken together.
    BYTE LayoutFlag;            // 1 for the 22-up layout; below 2
    BYTE Rotate180Mode;         // 0 none, 1 landscape pages, 2 portrait pages, 3 all
    BYTE Value1882;             // below 3
    BYTE reserved1883;
    // Feed flags (1884..1889), taken together.
    BYTE Value1884;             // 0 or 1
    BYTE reserved1885;
    INT16 Value1886;            // 0 or 1
    BYTE A5FeedFlags[2];        // both 1: A5 fed long edge first
    // Overlay forms (1890..2915), taken together.
    BYTE OverlayMode;           // 0 none, 1 use a form, 2 record a form
    BYTE reserved1891;
    WCHAR FormsFolder[256];     // the forms folder, trailing backslash, NUL inside
    WCHAR FormsFolderCopy[256];
    RendColorAdjust ColorAdjust;            // 2916
    RendWatermarkBlock Watermark;           // 3484: `RendWatermarkBlock`
    RendHeaderBlock Header;                 // 6720
    RendInfoBlock Info;                     // 7816
    BYTE reserved9146[2];
    RendListBlock List;                     // 9148
    INT32 Value13556;
    INT32 Value13560;
    BYTE Value13564;            // always 0
    BYTE reserved13565;
    INT16 Value13566;           // always 0
    BYTE reserved13568[20];
    // Font area (13588..13611), taken together.
    BYTE Value13588;            // 0 or 1; 1 by default
    BYTE reserved13589[3];
    INT32 UseSoftFont;
    INT32 SoftFontBitmap;
    BYTE DefaultFontFace;       // 0 Arial, 1 Courier
    BYTE reserved13601;
    INT16 DefaultFontSize;      // tenths of a point, 50..240; 95 by default
    INT16 Value13604;           // 0..8; 2 by default
    BYTE Value13606;            // at most 3
    BYTE Value13607;            // 0 or 1
    BYTE Value13608;            // 0 or 1
    BYTE reserved13609[3];
    INT32 OppositeOrder;
    INT16 DensityLevel;         // 0, 1 or 2
    BYTE reserved13618[2];
    INT32 HighResolutionRequested;  // the application asked for 1200 dpi
    INT32 OutputMask;           // 526: text, paths and images on
    INT16 Value13628;           // always 60
    INT16 ObjectRangeFirst;     // always 0
    INT16 ObjectRangeLast;      // always 0
    WCHAR DebugFile1[256];      // "c:\ui.txt"
    WCHAR DebugFile2[256];      // "c:\text.txt"
    BYTE reserved14658[2];
    INT32 RenderOptions;        // low byte ORed with 0x8C
    INT32 ImageWidthPercent;    // 100
    INT32 ImageHeightPercent;   // 100
    INT32 ImageTrialThreshold;  // 100
    BYTE ResolutionByte;        // 0 or 1: a second copy of the resolution step
    BYTE reserved14677;
    INT16 Word14678;            // copied from the user interface's short at 268
};

struct RendDevmode {
    DEVMODEW pub;
    RendPrivate priv;
};

#pragma pack(pop)

static_assert(sizeof(RendWatermarkBlock) == 3236);
static_assert(offsetof(RendWatermarkBlock, TextCopy) == 2);
static_assert(offsetof(RendWatermarkBlock, Text) == 524);
static_assert(offsetof(RendWatermarkBlock, Color) == 1048);
static_assert(offsetof(RendWatermarkBlock, Color2) == 1052);
static_assert(offsetof(RendWatermarkBlock, Value1056) == 1056);
static_assert(offsetof(RendWatermarkBlock, FaceName) == 1058);
static_assert(offsetof(RendWatermarkBlock, FontSize) == 1122);
static_assert(offsetof(RendWatermarkBlock, Value1124) == 1124);
static_assert(offsetof(RendWatermarkBlock, Value1128) == 1128);
static_assert(offsetof(RendWatermarkBlock, Value1130) == 1130);
static_assert(offsetof(RendWatermarkBlock, PositionMode) == 1132);
static_assert(offsetof(RendWatermarkBlock, Angle) == 1134);
static_assert(offsetof(RendWatermarkBlock, IsBitmap) == 1136);
static_assert(offsetof(RendWatermarkBlock, Value1137) == 1137);
static_assert(offsetof(RendWatermarkBlock, Italic) == 1140);
static_assert(offsetof(RendWatermarkBlock, Bold) == 1141);
static_assert(offsetof(RendWatermarkBlock, Outline) == 1142);
static_assert(offsetof(RendWatermarkBlock, Frame) == 1143);
static_assert(offsetof(RendWatermarkBlock, Tile) == 1144);
static_assert(offsetof(RendWatermarkBlock, X) == 1148);
static_assert(offsetof(RendWatermarkBlock, Y) == 1152);

static_assert(sizeof(RendColorAdjust) == 568);
static_assert(offsetof(RendColorAdjust, Value4) == 4);
static_assert(offsetof(RendColorAdjust, GreyLevels) == 8);
static_assert(offsetof(RendColorAdjust, Value11) == 11);
static_assert(offsetof(RendColorAdjust, Value12) == 12);
static_assert(offsetof(RendColorAdjust, Levels) == 14);
static_assert(offsetof(RendColorAdjust, Value28) == 28);
static_assert(offsetof(RendColorAdjust, Value32) == 32);
static_assert(offsetof(RendColorAdjust, Tones) == 33);
static_assert(offsetof(RendColorAdjust, Value46) == 46);
static_assert(offsetof(RendColorAdjust, Value47) == 47);
static_assert(offsetof(RendColorAdjust, Profile1) == 48);
static_assert(offsetof(RendColorAdjust, Profile2) == 305);
static_assert(offsetof(RendColorAdjust, Value561) == 561);

static_assert(sizeof(RendHeaderItem) == 8);
static_assert(sizeof(RendHeaderBlock) == 1096);
static_assert(offsetof(RendHeaderBlock, FontSize) == 1024);
static_assert(offsetof(RendHeaderBlock, Value1032) == 1032);
static_assert(offsetof(RendHeaderBlock, Items) == 1040);

static_assert(sizeof(RendInfoBlock) == 1330);
static_assert(offsetof(RendInfoBlock, UserName) == 1112);

static_assert(sizeof(RendListEntry) == 128);
static_assert(offsetof(RendListEntry, Text) == 80);
static_assert(sizeof(RendListBlock) == 4408);
static_assert(offsetof(RendListBlock, Address) == 12);
static_assert(offsetof(RendListBlock, EntryCount) == 296);
static_assert(offsetof(RendListBlock, Entries) == 300);

static_assert(sizeof(RendCustomSize) == 64);
static_assert(sizeof(RendMargins) == 8);

static_assert(sizeof(RendPrivate) == REND_PRIVATE_SIZE);
static_assert(offsetof(RendPrivate, Value0) == 0);
static_assert(offsetof(RendPrivate, DuplexBinding) == 2);
static_assert(offsetof(RendPrivate, BookletOn) == 3);
static_assert(offsetof(RendPrivate, FeedSource) == 4);
static_assert(offsetof(RendPrivate, WatermarkFirstPageOnly) == 6);
static_assert(offsetof(RendPrivate, Value8) == 8);
static_assert(offsetof(RendPrivate, Value12) == 12);
static_assert(offsetof(RendPrivate, Signature) == 16);
static_assert(offsetof(RendPrivate, SettingsName) == 20);
static_assert(offsetof(RendPrivate, PageBorderMode) == 100);
static_assert(offsetof(RendPrivate, PagesPerSheet) == 104);
static_assert(offsetof(RendPrivate, NupOrder) == 105);
static_assert(offsetof(RendPrivate, AllCellBorders) == 106);
static_assert(offsetof(RendPrivate, NupSheetOrientation) == 107);
static_assert(offsetof(RendPrivate, PosterSize) == 108);
static_assert(offsetof(RendPrivate, PosterOn) == 110);
static_assert(offsetof(RendPrivate, PosterCutMarks) == 111);
static_assert(offsetof(RendPrivate, ImageShiftDirection) == 116);
static_assert(offsetof(RendPrivate, ShiftFit) == 118);
static_assert(offsetof(RendPrivate, FrontShift) == 120);
static_assert(offsetof(RendPrivate, BackShift) == 122);
static_assert(offsetof(RendPrivate, PrintPosition) == 124);
static_assert(offsetof(RendPrivate, PrintPositionAdjust) == 126);
static_assert(offsetof(RendPrivate, AdjustX) == 128);
static_assert(offsetof(RendPrivate, AdjustY) == 132);
static_assert(offsetof(RendPrivate, MarginsFlag) == 136);
static_assert(offsetof(RendPrivate, Values138) == 138);
static_assert(offsetof(RendPrivate, MarginTable) == 146);
static_assert(offsetof(RendPrivate, ScaleOn) == 540);
static_assert(offsetof(RendPrivate, ScalePercent) == 542);
static_assert(offsetof(RendPrivate, PaperOverride) == 544);
static_assert(offsetof(RendPrivate, OutputPaperOverride) == 546);
static_assert(offsetof(RendPrivate, RequestedPaperSize) == 548);
static_assert(offsetof(RendPrivate, PaperOrientation) == 550);
static_assert(offsetof(RendPrivate, MediaIndex) == 552);
static_assert(offsetof(RendPrivate, SheetKeepFlags) == 554);
static_assert(offsetof(RendPrivate, SheetKeepValue) == 555);
static_assert(offsetof(RendPrivate, CustomPaperOn) == 560);
static_assert(offsetof(RendPrivate, CustomPaperCode) == 564);
static_assert(offsetof(RendPrivate, CustomPaperLength) == 568);
static_assert(offsetof(RendPrivate, CustomPaperWidth) == 572);
static_assert(offsetof(RendPrivate, CustomSizes) == 576);
static_assert(offsetof(RendPrivate, CustomSizes) + offsetof(RendCustomSize, CustomPaperLength600) == 580);
static_assert(offsetof(RendPrivate, BookletOrder) == 1856);
static_assert(offsetof(RendPrivate, BookletGrouping) == 1860);
static_assert(offsetof(RendPrivate, BookletGroupSheets) == 1861);
static_assert(offsetof(RendPrivate, FirstGutterFlag) == 1864);
static_assert(offsetof(RendPrivate, SecondGutterFlag) == 1868);
static_assert(offsetof(RendPrivate, GutterWidth) == 1872);
static_assert(offsetof(RendPrivate, InchUnits) == 1876);
static_assert(offsetof(RendPrivate, LayoutFlag) == 1880);
static_assert(offsetof(RendPrivate, Rotate180Mode) == 1881);
static_assert(offsetof(RendPrivate, Value1882) == 1882);
static_assert(offsetof(RendPrivate, Value1884) == 1884);
static_assert(offsetof(RendPrivate, Value1886) == 1886);
static_assert(offsetof(RendPrivate, A5FeedFlags) == 1888);
static_assert(offsetof(RendPrivate, OverlayMode) == 1890);
static_assert(offsetof(RendPrivate, FormsFolder) == 1892);
static_assert(offsetof(RendPrivate, FormsFolderCopy) == 2404);
static_assert(offsetof(RendPrivate, ColorAdjust) == 2916);
static_assert(offsetof(RendPrivate, Watermark) == 3484);
static_assert(offsetof(RendPrivate, Header) == 6720);
static_assert(offsetof(RendPrivate, Info) == 7816);
static_assert(offsetof(RendPrivate, Info) + offsetof(RendInfoBlock, UserName) == 8928);
static_assert(offsetof(RendPrivate, List) == 9148);
static_assert(offsetof(RendPrivate, List) + offsetof(RendListBlock, Address) == 9160);
static_assert(offsetof(RendPrivate, Value13556) == 13556);
static_assert(offsetof(RendPrivate, Value13560) == 13560);
static_assert(offsetof(RendPrivate, Value13564) == 13564);
static_assert(offsetof(RendPrivate, Value13566) == 13566);
static_assert(offsetof(RendPrivate, Value13588) == 13588);
static_assert(offsetof(RendPrivate, UseSoftFont) == 13592);
static_assert(offsetof(RendPrivate, SoftFontBitmap) == 13596);
static_assert(offsetof(RendPrivate, DefaultFontFace) == 13600);
static_assert(offsetof(RendPrivate, DefaultFontSize) == 13602);
static_assert(offsetof(RendPrivate, Value13604) == 13604);
static_assert(offsetof(RendPrivate, Value13606) == 13606);
static_assert(offsetof(RendPrivate, Value13607) == 13607);
static_assert(offsetof(RendPrivate, Value13608) == 13608);
static_assert(offsetof(RendPrivate, OppositeOrder) == 13612);
static_assert(offsetof(RendPrivate, DensityLevel) == 13616);
static_assert(offsetof(RendPrivate, HighResolutionRequested) == 13620);
static_assert(offsetof(RendPrivate, OutputMask) == 13624);
static_assert(offsetof(RendPrivate, Value13628) == 13628);
static_assert(offsetof(RendPrivate, ObjectRangeFirst) == 13630);
static_assert(offsetof(RendPrivate, ObjectRangeLast) == 13632);
static_assert(offsetof(RendPrivate, DebugFile1) == 13634);
static_assert(offsetof(RendPrivate, DebugFile2) == 14146);
static_assert(offsetof(RendPrivate, RenderOptions) == 14660);
static_assert(offsetof(RendPrivate, ImageWidthPercent) == 14664);
static_assert(offsetof(RendPrivate, ImageHeightPercent) == 14668);
static_assert(offsetof(RendPrivate, ImageTrialThreshold) == 14672);
static_assert(offsetof(RendPrivate, ResolutionByte) == 14676);
static_assert(offsetof(RendPrivate, Word14678) == 14678);

static_assert(sizeof(RendDevmode) == REND_DEVMODE_SIZE);
static_assert(offsetof(RendDevmode, priv) == 220);

// The device driver interface between the graphics engine and a printer's
// graphics driver: the driver's entry points and callback table, the records
// the engine and the driver exchange, and the engine services (Eng*) a
// driver calls.
//
// Members keep the order Windows gives them. Records that carry pointers or
// handles are 64-bit here, so their sizes are not fixed; a driver copies at
// most sizeof of the record it is handed.
//
// Where Windows declares a source string as PWSTR or PCHAR that the function
// only reads, it is const here, so that a literal can be passed; every call
// written for Windows still compiles.
#pragma once
#include "windef.h"
#include "wingdi.h"

#ifndef ENGAPI
#define ENGAPI extern "C" __attribute__((visibility("default")))
#endif

// --- Basic types -----------------------------------------------------------------------

typedef ULONG FLONG;
typedef LONG FIX;
typedef LONG LDECI4;
typedef ULONG MIX;
typedef ULONG ROP4;
typedef ULONG HGLYPH;
typedef LONG_PTR(APIENTRY* PFN)();

// Handles the engine gives out (HSURF, HDEV, HDRVOBJ) and handles the
// driver gives the engine for its own records (DHPDEV, DHSURF).
DECLARE_HANDLE(HSURF);
DECLARE_HANDLE(HDEV);
DECLARE_HANDLE(HDRVOBJ);
DECLARE_HANDLE(DHPDEV);
DECLARE_HANDLE(DHSURF);

typedef struct _POINTFIX {
    FIX x;
    FIX y;
} POINTFIX, *PPOINTFIX;

typedef struct _RECTFX {
    FIX xLeft;
    FIX yTop;
    FIX xRight;
    FIX yBottom;
} RECTFX, *PRECTFX;

// Engine objects handed to the drawing callbacks. Their members come with
// the callbacks that use them.
typedef struct _BRUSHOBJ BRUSHOBJ;
typedef struct _CLIPOBJ CLIPOBJ;
typedef struct _PATHOBJ PATHOBJ;
typedef struct _STROBJ STROBJ;
typedef struct _FONTOBJ FONTOBJ;
typedef struct _XLATEOBJ XLATEOBJ;
typedef struct _XFORMOBJ XFORMOBJ;
typedef struct _PALOBJ PALOBJ;
typedef struct _LINEATTRS LINEATTRS, *PLINEATTRS;
typedef struct _IFIMETRICS IFIMETRICS, *PIFIMETRICS;

// --- Enabling the driver ---------------------------------------------------------------

// Versions of the interface: the engine passes its own to DrvEnableDriver and
// the driver answers the one it was written for.
#define DDI_DRIVER_VERSION_NT4 0x00020000
#define DDI_DRIVER_VERSION_SP3 0x00020003
#define DDI_DRIVER_VERSION_NT5 0x00030000
#define DDI_DRIVER_VERSION_NT5_01 0x00030100
#define DDI_DRIVER_VERSION_NT5_01_SP1 0x00030101

// GDIINFO.ulVersion.
#define GDI_DRIVER_VERSION 0x4000

typedef struct _DRVFN {
    ULONG iFunc;  // INDEX_Drv*
    PFN pfn;
} DRVFN, *PDRVFN;

typedef struct tagDRVENABLEDATA {
    ULONG iDriverVersion;
    ULONG c;  // entries of pdrvfn
    DRVFN* pdrvfn;
} DRVENABLEDATA, *PDRVENABLEDATA;

// DrvQueryDriverInfo modes.
#define DRVQUERY_USERMODE 1

// Callback indices of the DRVFN table.
#define INDEX_DrvEnablePDEV 0L
#define INDEX_DrvCompletePDEV 1L
#define INDEX_DrvDisablePDEV 2L
#define INDEX_DrvEnableSurface 3L
#define INDEX_DrvDisableSurface 4L
#define INDEX_DrvAssertMode 5L
#define INDEX_DrvOffset 6L
#define INDEX_DrvResetPDEV 7L
#define INDEX_DrvDisableDriver 8L
#define INDEX_DrvCreateDeviceBitmap 10L
#define INDEX_DrvDeleteDeviceBitmap 11L
#define INDEX_DrvRealizeBrush 12L
#define INDEX_DrvDitherColor 13L
#define INDEX_DrvStrokePath 14L
#define INDEX_DrvFillPath 15L
#define INDEX_DrvStrokeAndFillPath 16L
#define INDEX_DrvPaint 17L
#define INDEX_DrvBitBlt 18L
#define INDEX_DrvCopyBits 19L
#define INDEX_DrvStretchBlt 20L
#define INDEX_DrvSetPalette 22L
#define INDEX_DrvTextOut 23L
#define INDEX_DrvEscape 24L
#define INDEX_DrvDrawEscape 25L
#define INDEX_DrvQueryFont 26L
#define INDEX_DrvQueryFontTree 27L
#define INDEX_DrvQueryFontData 28L
#define INDEX_DrvSetPointerShape 29L
#define INDEX_DrvMovePointer 30L
#define INDEX_DrvLineTo 31L
#define INDEX_DrvSendPage 32L
#define INDEX_DrvStartPage 33L
#define INDEX_DrvEndDoc 34L
#define INDEX_DrvStartDoc 35L
#define INDEX_DrvGetGlyphMode 37L
#define INDEX_DrvSynchronize 38L
#define INDEX_DrvSaveScreenBits 40L
#define INDEX_DrvGetModes 41L
#define INDEX_DrvFree 42L
#define INDEX_DrvDestroyFont 43L
#define INDEX_DrvQueryFontCaps 44L
#define INDEX_DrvLoadFontFile 45L
#define INDEX_DrvUnloadFontFile 46L
#define INDEX_DrvFontManagement 47L
#define INDEX_DrvQueryTrueTypeTable 48L
#define INDEX_DrvQueryTrueTypeOutline 49L
#define INDEX_DrvGetTrueTypeFile 50L
#define INDEX_DrvQueryFontFile 51L
#define INDEX_DrvMovePanning 52L
#define INDEX_DrvQueryAdvanceWidths 53L
#define INDEX_DrvSetPixelFormat 54L
#define INDEX_DrvDescribePixelFormat 55L
#define INDEX_DrvSwapBuffers 56L
#define INDEX_DrvStartBanding 57L
#define INDEX_DrvNextBand 58L
#define INDEX_DrvGetDirectDrawInfo 59L
#define INDEX_DrvEnableDirectDraw 60L
#define INDEX_DrvDisableDirectDraw 61L
#define INDEX_DrvQuerySpoolType 62L
#define INDEX_DrvIcmCreateColorTransform 64L
#define INDEX_DrvIcmDeleteColorTransform 65L
#define INDEX_DrvIcmCheckBitmapBits 66L
#define INDEX_DrvIcmSetDeviceGammaRamp 67L
#define INDEX_DrvGradientFill 68L
#define INDEX_DrvStretchBltROP 69L
#define INDEX_DrvPlgBlt 70L
#define INDEX_DrvAlphaBlend 71L
#define INDEX_DrvSynthesizeFont 72L
#define INDEX_DrvGetSynthesizedFontFiles 73L
#define INDEX_DrvTransparentBlt 74L
#define INDEX_DrvQueryPerBandInfo 75L
#define INDEX_DrvQueryDeviceSupport 76L
// One past the highest index the engine knows; a driver's entries at or
// above it are ignored.
#define INDEX_LAST 93L

// --- What a PDEV tells the engine ------------------------------------------------------

typedef struct _CIECHROMA {
    LDECI4 x;
    LDECI4 y;
    LDECI4 Y;
} CIECHROMA;

// Chromaticities and dyes, in units of 1/10000.
typedef struct _COLORINFO {
    CIECHROMA Red;
    CIECHROMA Green;
    CIECHROMA Blue;
    CIECHROMA Cyan;
    CIECHROMA Magenta;
    CIECHROMA Yellow;
    CIECHROMA AlignmentWhite;
    LDECI4 RedGamma;
    LDECI4 GreenGamma;
    LDECI4 BlueGamma;
    LDECI4 MagentaInCyanDye;
    LDECI4 YellowInCyanDye;
    LDECI4 CyanInMagentaDye;
    LDECI4 YellowInMagentaDye;
    LDECI4 CyanInYellowDye;
    LDECI4 MagentaInYellowDye;
} COLORINFO, *PCOLORINFO;

// The device's capabilities, from which GetDeviceCaps answers.
typedef struct _GDIINFO {
    ULONG ulVersion;
    ULONG ulTechnology;  // DT_*
    ULONG ulHorzSize;    // millimetres; a negative value means micrometres
    ULONG ulVertSize;
    ULONG ulHorzRes;  // pixels
    ULONG ulVertRes;
    ULONG cBitsPixel;
    ULONG cPlanes;
    ULONG ulNumColors;
    ULONG flRaster;
    ULONG ulLogPixelsX;
    ULONG ulLogPixelsY;
    ULONG flTextCaps;  // TC_*
    ULONG ulDACRed;
    ULONG ulDACGreen;
    ULONG ulDACBlue;
    ULONG ulAspectX;
    ULONG ulAspectY;
    ULONG ulAspectXY;
    LONG xStyleStep;
    LONG yStyleStep;
    LONG denStyleStep;
    POINTL ptlPhysOffset;  // the printable area's origin on the paper, pixels
    SIZEL szlPhysSize;     // the paper, pixels
    ULONG ulNumPalReg;
    COLORINFO ciDevice;
    ULONG ulDevicePelsDPI;
    ULONG ulPrimaryOrder;    // PRIMARY_ORDER_*
    ULONG ulHTPatternSize;   // HT_PATSIZE_*
    ULONG ulHTOutputFormat;  // HT_FORMAT_*
    ULONG flHTFlags;         // HT_FLAG_*
    ULONG ulVRefresh;
    ULONG ulBltAlignment;
    ULONG ulPanningHorzRes;
    ULONG ulPanningVertRes;
    ULONG xPanningAlignment;
    ULONG yPanningAlignment;
    ULONG cxHTPat;
    ULONG cyHTPat;
    LPBYTE pHTPatA;
    LPBYTE pHTPatB;
    LPBYTE pHTPatC;
    ULONG flShadeBlend;  // SB_*
    ULONG ulPhysicalPixelCharacteristics;
    ULONG ulPhysicalPixelGamma;
} GDIINFO, *PGDIINFO;

// ulPrimaryOrder.
#define PRIMARY_ORDER_ABC 0
#define PRIMARY_ORDER_ACB 1
#define PRIMARY_ORDER_BAC 2
#define PRIMARY_ORDER_BCA 3
#define PRIMARY_ORDER_CBA 4
#define PRIMARY_ORDER_CAB 5

// ulHTPatternSize.
#define HT_PATSIZE_2x2 0
#define HT_PATSIZE_2x2_M 1
#define HT_PATSIZE_4x4 2
#define HT_PATSIZE_4x4_M 3
#define HT_PATSIZE_6x6 4
#define HT_PATSIZE_6x6_M 5
#define HT_PATSIZE_8x8 6
#define HT_PATSIZE_8x8_M 7
#define HT_PATSIZE_10x10 8
#define HT_PATSIZE_10x10_M 9
#define HT_PATSIZE_12x12 10
#define HT_PATSIZE_12x12_M 11
#define HT_PATSIZE_14x14 12
#define HT_PATSIZE_14x14_M 13
#define HT_PATSIZE_16x16 14
#define HT_PATSIZE_16x16_M 15
#define HT_PATSIZE_SUPERCELL 16
#define HT_PATSIZE_SUPERCELL_M 17
#define HT_PATSIZE_USER 18
#define HT_PATSIZE_MAX_INDEX HT_PATSIZE_USER
#define HT_PATSIZE_DEFAULT HT_PATSIZE_SUPERCELL_M

// ulHTOutputFormat.
#define HT_FORMAT_1BPP 0
#define HT_FORMAT_4BPP 2
#define HT_FORMAT_4BPP_IRGB 3
#define HT_FORMAT_8BPP 4
#define HT_FORMAT_16BPP 5
#define HT_FORMAT_24BPP 6
#define HT_FORMAT_32BPP 7

// flHTFlags.
#define HT_FLAG_SQUARE_DEVICE_PEL 0x00000001
#define HT_FLAG_HAS_BLACK_DYE 0x00000002
#define HT_FLAG_ADDITIVE_PRIMS 0x00000004
#define HT_FLAG_USE_8BPP_BITMASK 0x00000008
#define HT_FLAG_INK_HIGH_ABSORPTION 0x00000010
#define HT_FLAG_INK_ABSORPTION_INDICES 0x00000060
#define HT_FLAG_DO_DEVCLR_XFORM 0x00000080
#define HT_FLAG_OUTPUT_CMY 0x00000100
#define HT_FLAG_PRINT_DRAFT_MODE 0x00000200
#define HT_FLAG_INVERT_8BPP_BITMASK_IDX 0x00000400
#define HT_FLAG_8BPP_CMY332_MASK 0xFF000000

// The device's drawing abilities and default fonts and palette.
typedef struct tagDEVINFO {
    FLONG flGraphicsCaps;  // GCAPS_*
    LOGFONTW lfDefaultFont;
    LOGFONTW lfAnsiVarFont;
    LOGFONTW lfAnsiFixFont;
    ULONG cFonts;         // device fonts
    ULONG iDitherFormat;  // BMF_*
    USHORT cxDither;
    USHORT cyDither;
    HPALETTE hpalDefault;
    FLONG flGraphicsCaps2;  // GCAPS2_*
} DEVINFO, *PDEVINFO;

// flGraphicsCaps.
#define GCAPS_BEZIERS 0x00000001
#define GCAPS_GEOMETRICWIDE 0x00000002
#define GCAPS_ALTERNATEFILL 0x00000004
#define GCAPS_WINDINGFILL 0x00000008
#define GCAPS_HALFTONE 0x00000010
#define GCAPS_COLOR_DITHER 0x00000020
#define GCAPS_HORIZSTRIKE 0x00000040
#define GCAPS_VERTSTRIKE 0x00000080
#define GCAPS_OPAQUERECT 0x00000100
#define GCAPS_VECTORFONT 0x00000200
#define GCAPS_MONO_DITHER 0x00000400
#define GCAPS_ASYNCCHANGE 0x00000800
#define GCAPS_ASYNCMOVE 0x00001000
#define GCAPS_DONTJOURNAL 0x00002000
#define GCAPS_DIRECTDRAW 0x00004000
#define GCAPS_ARBRUSHOPAQUE 0x00008000
#define GCAPS_PANNING 0x00010000
#define GCAPS_HIGHRESTEXT 0x00040000
#define GCAPS_PALMANAGED 0x00080000
#define GCAPS_DITHERONREALIZE 0x00200000
#define GCAPS_NO64BITMEMACCESS 0x00400000
#define GCAPS_FORCEDITHER 0x00800000
#define GCAPS_GRAY16 0x01000000
#define GCAPS_ICM 0x02000000
#define GCAPS_CMYKCOLOR 0x04000000
#define GCAPS_LAYERED 0x08000000
#define GCAPS_ARBRUSHTEXT 0x10000000
#define GCAPS_SCREENPRECISION 0x20000000
#define GCAPS_FONT_RASTERIZER 0x40000000
#define GCAPS_NUAGE 0x80000000

// flGraphicsCaps2.
#define GCAPS2_JPEGSRC 0x00000001
#define GCAPS2_SYNCFLUSH 0x00000002
#define GCAPS2_PNGSRC 0x00000008
#define GCAPS2_CHANGEGAMMARAMP 0x00000010
#define GCAPS2_ALPHACURSOR 0x00000020
#define GCAPS2_SYNCTIMER 0x00000040
#define GCAPS2_ICD_MULTIMON 0x00000100
#define GCAPS2_MOUSETRAILS 0x00000200

// The standard hatch patterns the engine offers a driver to replace.
#define HS_DDI_MAX 6

// --- Surfaces and palettes ---------------------------------------------------------------

typedef struct _SURFOBJ {
    DHSURF dhsurf;  // the driver's handle of a device surface
    HSURF hsurf;
    DHPDEV dhpdev;  // the PDEV the surface is associated with
    HDEV hdev;
    SIZEL sizlBitmap;
    ULONG cjBits;    // bytes of the bitmap memory
    PVOID pvBits;    // start of the bitmap memory
    PVOID pvScan0;   // the top scan line
    LONG lDelta;     // bytes from one scan line to the next below; negative for a bottom-up bitmap
    ULONG iUniq;
    ULONG iBitmapFormat;  // BMF_*
    USHORT iType;         // STYPE_*
    USHORT fjBitmap;      // BMF_TOPDOWN, ...
} SURFOBJ, *PSURFOBJ;

// SURFOBJ.iType.
#define STYPE_BITMAP 0L
#define STYPE_DEVICE 1L
#define STYPE_DEVBITMAP 3L

// Bitmap formats.
#define BMF_1BPP 1L
#define BMF_4BPP 2L
#define BMF_8BPP 3L
#define BMF_16BPP 4L
#define BMF_24BPP 5L
#define BMF_32BPP 6L
#define BMF_4RLE 7L
#define BMF_8RLE 8L
#define BMF_JPEG 9L
#define BMF_PNG 10L

// EngCreateBitmap flags and SURFOBJ.fjBitmap.
#define BMF_TOPDOWN 0x0001
#define BMF_NOZEROINIT 0x0002
#define BMF_DONTCACHE 0x0004
#define BMF_USERMEM 0x0008
#define BMF_KMSECTION 0x0010
#define BMF_NOTSYSMEM 0x0020
#define BMF_WINDOW_BLT 0x0040
#define BMF_UMPDMEM 0x0080

// The drawing calls a driver takes over on its surface (EngAssociateSurface).
#define HOOK_BITBLT 0x00000001
#define HOOK_STRETCHBLT 0x00000002
#define HOOK_PLGBLT 0x00000004
#define HOOK_TEXTOUT 0x00000008
#define HOOK_PAINT 0x00000010
#define HOOK_STROKEPATH 0x00000020
#define HOOK_FILLPATH 0x00000040
#define HOOK_STROKEANDFILLPATH 0x00000080
#define HOOK_LINETO 0x00000100
#define HOOK_COPYBITS 0x00000400
#define HOOK_MOVEPANNING 0x00000800
#define HOOK_SYNCHRONIZE 0x00001000
#define HOOK_STRETCHBLTROP 0x00002000
#define HOOK_SYNCHRONIZEACCESS 0x00004000
#define HOOK_TRANSPARENTBLT 0x00008000
#define HOOK_ALPHABLEND 0x00010000
#define HOOK_GRADIENTFILL 0x00020000
#define HOOK_FLAGS 0x0003b5ff

// EngCreatePalette modes.
#define PAL_INDEXED 0x00000001
#define PAL_BITFIELDS 0x00000002
#define PAL_RGB 0x00000004
#define PAL_BGR 0x00000008
#define PAL_CMYK 0x00000010

// DrvEndDoc.
#define ED_ABORTDOC 0x00000001

// --- Drawing objects ---------------------------------------------------------------------

// Floating point as the interface passes it: a FLOATL is a 32-bit float; a
// FLOATOBJ is the engine's float on this platform (64-bit builds use a plain
// float).
typedef FLOAT FLOATL;
typedef FLOAT FLOATOBJ, *PFLOATOBJ;

typedef union _FLOAT_LONG {
    FLOATL e;
    LONG l;
} FLOAT_LONG, *PFLOAT_LONG;

// A brush: iSolidColor is the device pixel of a solid brush, 0xFFFFFFFF for
// any other (the driver then asks for its realisation, pvRbrush).
struct _BRUSHOBJ {
    ULONG iSolidColor;
    PVOID pvRbrush;
    FLONG flColorType;
};

// BRUSHOBJ.flColorType.
#define BR_DEVICE_ICM 0x00000001
#define BR_HOST_ICM 0x00000002
#define BR_CMYKCOLOR 0x00000004
#define BR_ORIGCOLOR 0x00000008

// DrvRealizeBrush: the engine asks for a dithered solid colour with this bit
// in iHatch.
#define RB_DITHERCOLOR 0x80000000L

// DrvDitherColor answers and modes.
#define DCR_SOLID 0
#define DCR_DRIVER 1
#define DCR_HALFTONE 2
#define DM_DEFAULT 0x00000001
#define DM_MONOCHROME 0x00000002

// A clip: where a drawing call may write.
struct _CLIPOBJ {
    ULONG iUniq;  // the same for the same clip; 0: do not cache
    RECTL rclBounds;
    BYTE iDComplexity;  // DC_*
    BYTE iFComplexity;  // FC_*
    BYTE iMode;         // TC_*
    BYTE fjOptions;     // OC_*
};

// CLIPOBJ.iDComplexity: no clipping needed within the drawing's bounds, one
// rectangle (rclBounds), or rectangles to enumerate.
#define DC_TRIVIAL 0
#define DC_RECT 1
#define DC_COMPLEX 3
// CLIPOBJ.iFComplexity.
#define FC_RECT 1
#define FC_RECT4 2
#define FC_COMPLEX 3
// CLIPOBJ.iMode.
#define TC_RECTANGLES 0
#define TC_PATHOBJ 2
// CLIPOBJ.fjOptions.
#define OC_BANK_CLIP 1

// CLIPOBJ_cEnumStart: what is enumerated and in which order.
#define CT_RECTANGLES 0L
#define CD_RIGHTDOWN 0x00000000L
#define CD_LEFTDOWN 0x00000001L
#define CD_LEFTWARDS 0x00000001L
#define CD_RIGHTUP 0x00000002L
#define CD_UPWARDS 0x00000002L
#define CD_LEFTUP 0x00000003L
#define CD_ANY 0x00000004L

// What CLIPOBJ_bEnum writes: a count and that many rectangles.
typedef struct _ENUMRECTS {
    ULONG c;
    RECTL arcl[1];
} ENUMRECTS;

// A path in device space, read with PATHOBJ_vEnumStart and PATHOBJ_bEnum.
struct _PATHOBJ {
    FLONG fl;       // PO_*
    ULONG cCurves;  // lines and Bézier curves
};

// PATHOBJ.fl.
#define PO_BEZIERS 0x00000001
#define PO_ELLIPSE 0x00000002
#define PO_ALL_INTEGERS 0x00000004
#define PO_ENUM_AS_INTEGERS 0x00000008
#define PO_WIDENED 0x00000010

// One fragment of a sub-path: without PD_BEGINSUBPATH its first curve starts
// at the last point of the fragment before.
typedef struct _PATHDATA {
    FLONG flags;  // PD_*
    ULONG count;
    POINTFIX* pptfx;
} PATHDATA, *PPATHDATA;

#define PD_BEGINSUBPATH 0x00000001
#define PD_ENDSUBPATH 0x00000002
#define PD_RESETSTYLE 0x00000004
#define PD_CLOSEFIGURE 0x00000008
#define PD_BEZIERS 0x00000010
#define PD_ALL (PD_BEGINSUBPATH | PD_ENDSUBPATH | PD_RESETSTYLE | PD_CLOSEFIGURE | PD_BEZIERS)

// A colour translation from the pixels of a source to those of a destination.
struct _XLATEOBJ {
    ULONG iUniq;
    FLONG flXlate;     // XO_*
    USHORT iSrcType;   // PAL_* (of no further use since NT 4, kept filled)
    USHORT iDstType;
    ULONG cEntries;    // XO_TABLE: entries of pulXlate, one per source index
    ULONG* pulXlate;
};

// XLATEOBJ.flXlate.
#define XO_TRIVIAL 0x00000001
#define XO_TABLE 0x00000002
#define XO_TO_MONO 0x00000004
#define XO_FROM_CMYK 0x00000008
#define XO_DEVICE_ICM 0x00000010
#define XO_HOST_ICM 0x00000020

// XLATEOBJ_cGetPalette: which palette.
#define XO_SRCPALETTE 1
#define XO_DESTPALETTE 2
#define XO_DESTDCPALETTE 3
#define XO_SRCBITFIELDS 4
#define XO_DESTBITFIELDS 5

// A transform from world to device space.
struct _XFORMOBJ {
    ULONG ulReserved;
};

typedef struct _XFORML {
    FLOATL eM11;
    FLOATL eM12;
    FLOATL eM21;
    FLOATL eM22;
    FLOATL eDx;
    FLOATL eDy;
} XFORML, *PXFORML;

// XFORMOBJ_iGetXform answers.
#define DDI_ERROR 0xFFFFFFFF
#define GX_IDENTITY 0L
#define GX_OFFSET 1L
#define GX_SCALE 2L
#define GX_GENERAL 3L
// XFORMOBJ_bApplyXform modes: POINTL to POINTL, inverse, POINTL to POINTFIX, POINTFIX to POINTL.
#define XF_LTOL 0L
#define XF_INV_LTOL 1L
#define XF_LTOFX 2L
#define XF_INV_FXTOL 3L

// How a path is stroked.
struct _LINEATTRS {
    FLONG fl;        // LA_*
    ULONG iJoin;     // JOIN_*
    ULONG iEndCap;   // ENDCAP_*
    FLOAT_LONG elWidth;  // cosmetic: l (pixels); geometric: e (world units)
    FLOATL eMiterLimit;
    ULONG cstyle;        // entries of pstyle
    PFLOAT_LONG pstyle;  // dash, gap, dash, ...: cosmetic in style units (l), geometric in world units (e)
    FLOAT_LONG elStyleState;
};

#define LA_GEOMETRIC 0x00000001
#define LA_ALTERNATE 0x00000002
#define LA_STARTGAP 0x00000004
#define LA_STYLED 0x00000008

#define JOIN_ROUND 0L
#define JOIN_BEVEL 1L
#define JOIN_MITER 2L

#define ENDCAP_ROUND 0L
#define ENDCAP_SQUARE 1L
#define ENDCAP_BUTT 2L

// An alpha blend.
typedef struct _BLENDOBJ {
    BLENDFUNCTION BlendFunction;
} BLENDOBJ, *PBLENDOBJ;

// A MIX holds the foreground ROP2 in its low byte and the background ROP2
// (for the gaps of hatched brushes and styled lines) in the next; GDI gives
// the DC's ROP2 in both. A ROP4 holds the foreground ROP3 (where the mask is
// 1) in its low byte and the background ROP3 in the next; without a mask
// both are the ROP3.
#define MIX_FROM_ROP2(rop2) ((MIX)(((rop2)&0xFF) | (((rop2)&0xFF) << 8)))
#define ROP4_FROM_ROP3(rop3) ((ROP4)(((rop3)&0xFF) | (((rop3)&0xFF) << 8)))
#define ROP4_FOREGROUND(rop4) ((BYTE)((rop4)&0xFF))
#define ROP4_BACKGROUND(rop4) ((BYTE)(((rop4) >> 8) & 0xFF))

// EngFillPath and DrvFillPath options.
#define FP_ALTERNATEMODE 1L
#define FP_WINDINGMODE 2L

// --- Text: fonts, glyphs and strings ------------------------------------------------------

typedef LONG_PTR PTRDIFF;
typedef SHORT FWORD;

// A font the engine realised for a string: its face (iFace of file iFile,
// whose IFIMETRICS FONTOBJ_pifi gives), its kind and simulations, and a
// number that stays the same while the realisation does (iUniq) or while
// the TrueType file does (iTTUniq).
struct _FONTOBJ {
    ULONG iUniq;
    ULONG iFace;
    ULONG cxMax;        // the widest glyph, device pixels
    FLONG flFontType;   // FO_*
    ULONG_PTR iTTUniq;
    ULONG_PTR iFile;
    SIZE sizLogResPpi;  // the device's resolution
    ULONG ulStyleSize;
    PVOID pvConsumer;   // the driver's own, per font
    PVOID pvProducer;   // the engine's own
};

// FONTOBJ.flFontType.
#define FO_TYPE_RASTER 0x00000001
#define FO_TYPE_DEVICE 0x00000002
#define FO_TYPE_TRUETYPE 0x00000004
#define FO_TYPE_OPENTYPE 0x00000008
#define FO_SIM_BOLD 0x00002000
#define FO_SIM_ITALIC 0x00004000
#define FO_EM_HEIGHT 0x00008000
#define FO_GRAY16 0x00010000
#define FO_NOGRAY16 0x00020000
#define FO_NOHINTS 0x00040000
#define FO_NO_CHOICE 0x00080000
#define FO_CFF 0x00100000
#define FO_POSTSCRIPT 0x00200000
#define FO_MULTIPLEMASTER 0x00400000
#define FO_VERT_FACE 0x00800000
#define FO_DBCS_FONT 0x01000000
#define FO_NOCLEARTYPE 0x02000000
#define FO_CLEARTYPE_X 0x10000000
#define FO_CLEARTYPE_Y 0x20000000

// FONTOBJ_cGetGlyphs and DrvGetGlyphMode: what a glyph is given as.
#define FO_HGLYPHS 0L
#define FO_GLYPHBITS 1L
#define FO_PATHOBJ 2L

// A glyph's bitmap: one bit a pixel, rows from the top, each a whole number
// of bytes; ptlOrigin is the top-left pixel's place from the glyph's
// reference point on the baseline.
typedef struct _GLYPHBITS {
    POINTL ptlOrigin;
    SIZEL sizlBitmap;
    BYTE aj[1];
} GLYPHBITS;

typedef union _GLYPHDEF {
    GLYPHBITS* pgb;
    PATHOBJ* ppo;
} GLYPHDEF;

// One glyph of a string: its handle, its bitmap or outline, and where its
// reference point lies on the device.
typedef struct _GLYPHPOS {
    HGLYPH hg;
    GLYPHDEF* pgdf;
    POINTL ptl;
} GLYPHPOS, *PGLYPHPOS;

typedef struct _POINTQF {
    LARGE_INTEGER x;
    LARGE_INTEGER y;
} POINTQF, *PPOINTQF;

// A glyph's metrics in 28.4 fixed point along the baseline, with its
// bitmap or outline.
typedef struct _GLYPHDATA {
    GLYPHDEF gdf;
    HGLYPH hg;
    FIX fxD;          // advance
    FIX fxA;          // left bearing
    FIX fxAB;         // left bearing and black box
    FIX fxInkTop;
    FIX fxInkBottom;
    RECTL rclInk;     // the black box on the device, from the reference point
    POINTQF ptqD;     // the advance as a vector, 32.32
} GLYPHDATA;

// FONTOBJ_vGetInfo.
typedef struct _FONTINFO {
    ULONG cjThis;
    FLONG flCaps;  // FO_DEVICE_FONT, FO_OUTLINE_CAPABLE
    ULONG cGlyphsSupported;
    ULONG cjMaxGlyph1;  // the largest GLYPHBITS at 1, 4, 8 and 32 bits a pixel
    ULONG cjMaxGlyph4;
    ULONG cjMaxGlyph8;
    ULONG cjMaxGlyph32;
} FONTINFO, *PFONTINFO;

#define FO_DEVICE_FONT 1L
#define FO_OUTLINE_CAPABLE 2L

// A string to draw: its glyphs and their places (pgp, or in batches
// through STROBJ_bEnum when pgp is null), the characters it was made from,
// and how the glyphs follow each other (flAccel; ulCharInc when they
// advance by one fixed amount).
struct _STROBJ {
    ULONG cGlyphs;
    FLONG flAccel;  // SO_*
    ULONG ulCharInc;
    RECTL rclBkGround;
    GLYPHPOS* pgp;
    LPWSTR pwszOrg;
};

// STROBJ.flAccel.
#define SO_FLAG_DEFAULT_PLACEMENT 0x00000001
#define SO_HORIZONTAL 0x00000002
#define SO_VERTICAL 0x00000004
#define SO_REVERSED 0x00000008
#define SO_ZERO_BEARINGS 0x00000010
#define SO_CHAR_INC_EQUAL_BM_BASE 0x00000020
#define SO_MAXEXT_EQUAL_BM_SIDE 0x00000040
#define SO_DO_NOT_SUBSTITUTE_DEVICE_FONT 0x00000080
#define SO_GLYPHINDEX_TEXTOUT 0x00000100
#define SO_ESC_NOT_ORIENT 0x00000200
#define SO_DXDY 0x00000400
#define SO_CHARACTER_EXTRA 0x00000800
#define SO_BREAK_EXTRA 0x00001000

// A font's description for drivers and for GDI's metrics: every name is a
// string after the record, found at its byte offset (dpwsz*) from the
// record's start.
typedef struct _IFIMETRICS {
    ULONG cjThis;       // the record and its strings
    ULONG cjIfiExtra;
    PTRDIFF dpwszFamilyName;
    PTRDIFF dpwszStyleName;
    PTRDIFF dpwszFaceName;
    PTRDIFF dpwszUniqueName;
    PTRDIFF dpFontSim;
    LONG lEmbedId;
    LONG lItalicAngle;
    LONG lCharBias;
    PTRDIFF dpCharSets;
    BYTE jWinCharSet;
    BYTE jWinPitchAndFamily;
    USHORT usWinWeight;
    ULONG flInfo;          // FM_INFO_*
    USHORT fsSelection;    // FM_SEL_*
    USHORT fsType;         // FM_TYPE_LICENSED, FM_READONLY_EMBED, ...
    FWORD fwdUnitsPerEm;
    FWORD fwdLowestPPEm;
    FWORD fwdWinAscender;
    FWORD fwdWinDescender;
    FWORD fwdMacAscender;
    FWORD fwdMacDescender;
    FWORD fwdMacLineGap;
    FWORD fwdTypoAscender;
    FWORD fwdTypoDescender;
    FWORD fwdTypoLineGap;
    FWORD fwdAveCharWidth;
    FWORD fwdMaxCharInc;
    FWORD fwdCapHeight;
    FWORD fwdXHeight;
    FWORD fwdSubscriptXSize;
    FWORD fwdSubscriptYSize;
    FWORD fwdSubscriptXOffset;
    FWORD fwdSubscriptYOffset;
    FWORD fwdSuperscriptXSize;
    FWORD fwdSuperscriptYSize;
    FWORD fwdSuperscriptXOffset;
    FWORD fwdSuperscriptYOffset;
    FWORD fwdUnderscoreSize;
    FWORD fwdUnderscorePosition;
    FWORD fwdStrikeoutSize;
    FWORD fwdStrikeoutPosition;
    BYTE chFirstChar;
    BYTE chLastChar;
    BYTE chDefaultChar;
    BYTE chBreakChar;
    WCHAR wcFirstChar;
    WCHAR wcLastChar;
    WCHAR wcDefaultChar;
    WCHAR wcBreakChar;
    POINTL ptlBaseline;
    POINTL ptlAspect;
    POINTL ptlCaret;
    RECTL rclFontBox;
    BYTE achVendId[4];
    ULONG cKerningPairs;
    ULONG ulPanoseCulture;
    PANOSE panose;
    PVOID Align;  // keeps the strings after the record 8-byte aligned
} IFIMETRICS, *PIFIMETRICS;

// IFIMETRICS.fsSelection.
#define FM_SEL_ITALIC 0x0001
#define FM_SEL_UNDERSCORE 0x0002
#define FM_SEL_NEGATIVE 0x0004
#define FM_SEL_OUTLINED 0x0008
#define FM_SEL_STRIKEOUT 0x0010
#define FM_SEL_BOLD 0x0020
#define FM_SEL_REGULAR 0x0040

// IFIMETRICS.flInfo.
#define FM_INFO_TECH_BITMAP 0x00000001
#define FM_INFO_TECH_STROKE 0x00000002
#define FM_INFO_TECH_TRUETYPE 0x00000004
#define FM_INFO_ARB_XFORMS 0x00000010
#define FM_INFO_1BPP 0x00000020
#define FM_INFO_4BPP 0x00000040
#define FM_INFO_8BPP 0x00000080
#define FM_INFO_INTEGER_WIDTH 0x00000800
#define FM_INFO_CONSTANT_WIDTH 0x00001000
#define FM_INFO_NOT_CONTIGUOUS 0x00002000
#define FM_INFO_TECH_MM 0x00004000
#define FM_INFO_RETURNS_OUTLINES 0x00008000
#define FM_INFO_RETURNS_STROKES 0x00010000
#define FM_INFO_RETURNS_BITMAPS 0x00020000
#define FM_INFO_DSIG 0x00040000
#define FM_INFO_RIGHT_HANDED 0x00080000
#define FM_INFO_INTEGRAL_SCALING 0x00100000
#define FM_INFO_90DEGREE_ROTATIONS 0x00200000
#define FM_INFO_OPTICALLY_FIXED_PITCH 0x00400000
#define FM_INFO_DO_NOT_ENUMERATE 0x00800000
#define FM_INFO_ISOTROPIC_SCALING_ONLY 0x01000000
#define FM_INFO_ANISOTROPIC_SCALING_ONLY 0x02000000
#define FM_INFO_TECH_CFF 0x04000000
#define FM_INFO_FAMILY_EQUIV 0x08000000
#define FM_INFO_DBCS_FIXED_PITCH 0x10000000
#define FM_INFO_NONNEGATIVE_AC 0x20000000
#define FM_INFO_IGNORE_TC_RA_ABLE 0x40000000
#define FM_INFO_TECH_TYPE1 0x80000000

// IFIMETRICS.fsType.
#define FM_TYPE_LICENSED 0x0002
#define FM_READONLY_EMBED 0x0004
#define FM_EDITABLE_EMBED 0x0008
#define FM_NO_EMBEDDING FM_TYPE_LICENSED

// DrvQueryAdvanceWidths: widths as 12.4 fixed point (USHORT) for every
// glyph, or only where they come easily.
#define QAW_GETWIDTHS 0
#define QAW_GETEASYWIDTHS 1

// DrvQueryFont with iFace 0 answers the number of faces; with pid the
// driver may give a value the engine passes back to DrvFree.

// DrvQueryFontTree: what the driver is asked for.
#define QFT_LIGATURES 1
#define QFT_KERNPAIRS 2
#define QFT_GLYPHSET 3

// A run of consecutive characters and their glyph handles (phg null: the
// handles are the characters themselves).
typedef struct _WCRUN {
    WCHAR wcLow;
    USHORT cGlyphs;
    HGLYPH* phg;
} WCRUN, *PWCRUN;

// FD_GLYPHSET.flAccel.
#define GS_UNICODE_HANDLES 0x00000001
#define GS_8BIT_HANDLES 0x00000002
#define GS_16BIT_HANDLES 0x00000004

// The characters a font holds and their glyph handles: cRuns runs of
// consecutive characters follow the record.
typedef struct _FD_GLYPHSET {
    ULONG cjThis;
    FLONG flAccel;
    ULONG cGlyphsSupported;
    ULONG cRuns;
    WCRUN awcrun[1];
} FD_GLYPHSET, *PFD_GLYPHSET;

// --- The driver's entry points and callbacks ----------------------------------------------

typedef BOOL(APIENTRY* PFN_DrvEnableDriver)(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded);
typedef VOID(APIENTRY* PFN_DrvDisableDriver)(VOID);
typedef BOOL(APIENTRY* PFN_DrvQueryDriverInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbBuf, PDWORD pcbNeeded);

typedef DHPDEV(APIENTRY* PFN_DrvEnablePDEV)(DEVMODEW* pdm, LPWSTR pwszLogAddress, ULONG cPat, HSURF* phsurfPatterns,
                                            ULONG cjCaps, ULONG* pdevcaps, ULONG cjDevInfo, DEVINFO* pdi, HDEV hdev,
                                            LPWSTR pwszDeviceName, HANDLE hDriver);
typedef VOID(APIENTRY* PFN_DrvCompletePDEV)(DHPDEV dhpdev, HDEV hdev);
typedef VOID(APIENTRY* PFN_DrvDisablePDEV)(DHPDEV dhpdev);
typedef HSURF(APIENTRY* PFN_DrvEnableSurface)(DHPDEV dhpdev);
typedef VOID(APIENTRY* PFN_DrvDisableSurface)(DHPDEV dhpdev);
typedef BOOL(APIENTRY* PFN_DrvResetPDEV)(DHPDEV dhpdevOld, DHPDEV dhpdevNew);

typedef BOOL(APIENTRY* PFN_DrvRealizeBrush)(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern,
                                            SURFOBJ* psoMask, XLATEOBJ* pxlo, ULONG iHatch);
typedef BOOL(APIENTRY* PFN_DrvStrokePath)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                                          POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix);
typedef BOOL(APIENTRY* PFN_DrvFillPath)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                                        POINTL* pptlBrushOrg, MIX mix, FLONG flOptions);
typedef BOOL(APIENTRY* PFN_DrvStrokeAndFillPath)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                                 BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                                                 POINTL* pptlBrushOrg, MIX mixFill, FLONG flOptions);
typedef BOOL(APIENTRY* PFN_DrvBitBlt)(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                                      XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                                      BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4);
typedef BOOL(APIENTRY* PFN_DrvCopyBits)(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                        RECTL* prclDest, POINTL* pptlSrc);
typedef BOOL(APIENTRY* PFN_DrvStretchBlt)(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                                          XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                                          RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode);
typedef BOOL(APIENTRY* PFN_DrvTextOut)(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                                       RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                                       MIX mix);
typedef ULONG(APIENTRY* PFN_DrvEscape)(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut);
typedef ULONG(APIENTRY* PFN_DrvDrawEscape)(SURFOBJ* pso, ULONG iEsc, CLIPOBJ* pco, RECTL* prcl, ULONG cjIn,
                                           PVOID pvIn);
typedef PIFIMETRICS(APIENTRY* PFN_DrvQueryFont)(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace, ULONG_PTR* pid);
typedef PVOID(APIENTRY* PFN_DrvQueryFontTree)(DHPDEV dhpdev, ULONG_PTR iFile, ULONG iFace, ULONG iMode,
                                             ULONG_PTR* pid);
typedef VOID(APIENTRY* PFN_DrvFree)(PVOID pv, ULONG_PTR id);
typedef BOOL(APIENTRY* PFN_DrvSendPage)(SURFOBJ* pso);
typedef BOOL(APIENTRY* PFN_DrvStartPage)(SURFOBJ* pso);
typedef BOOL(APIENTRY* PFN_DrvEndDoc)(SURFOBJ* pso, FLONG fl);
typedef BOOL(APIENTRY* PFN_DrvStartDoc)(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
typedef ULONG(APIENTRY* PFN_DrvGetGlyphMode)(DHPDEV dhpdev, FONTOBJ* pfo);
typedef BOOL(APIENTRY* PFN_DrvQueryAdvanceWidths)(DHPDEV dhpdev, FONTOBJ* pfo, ULONG iMode, HGLYPH* phg,
                                                  PVOID pvWidths, ULONG cGlyphs);
typedef BOOL(APIENTRY* PFN_DrvGradientFill)(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex,
                                            ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                                            POINTL* pptlDitherOrg, ULONG ulMode);
typedef BOOL(APIENTRY* PFN_DrvTransparentBlt)(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                              RECTL* prclDst, RECTL* prclSrc, ULONG iTransColor, ULONG ulReserved);
typedef BOOL(APIENTRY* PFN_DrvQueryDeviceSupport)(SURFOBJ* pso, XLATEOBJ* pxlo, XFORMOBJ* pxo, ULONG iType,
                                                  ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut);

typedef BOOL(APIENTRY* PFN_DrvStretchBltROP)(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                                             XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                                             RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode,
                                             BRUSHOBJ* pbo, DWORD rop4);
typedef BOOL(APIENTRY* PFN_DrvAlphaBlend)(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                          RECTL* prclDest, RECTL* prclSrc, BLENDOBJ* pBlendObj);
typedef BOOL(APIENTRY* PFN_DrvPaint)(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix);
typedef ULONG(APIENTRY* PFN_DrvDitherColor)(DHPDEV dhpdev, ULONG iMode, ULONG rgb, ULONG* pul);

// The drawing callbacks as a driver defines them (it hands them to the
// engine in its DRVFN table, by INDEX_Drv*).
extern "C" {
BOOL APIENTRY DrvRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern, SURFOBJ* psoMask,
                              XLATEOBJ* pxlo, ULONG iHatch);
ULONG APIENTRY DrvDitherColor(DHPDEV dhpdev, ULONG iMode, ULONG rgb, ULONG* pul);
BOOL APIENTRY DrvStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                            POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix);
BOOL APIENTRY DrvFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix,
                          FLONG flOptions);
BOOL APIENTRY DrvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pboStroke,
                                   LINEATTRS* plineattrs, BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                   FLONG flOptions);
BOOL APIENTRY DrvPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix);
BOOL APIENTRY DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                        ROP4 rop4);
BOOL APIENTRY DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                          POINTL* pptlSrc);
BOOL APIENTRY DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                            POINTL* pptlMask, ULONG iMode);
BOOL APIENTRY DrvStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                               COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                               POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo, DWORD rop4);
BOOL APIENTRY DrvTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDst,
                                RECTL* prclSrc, ULONG iTransColor, ULONG ulReserved);
BOOL APIENTRY DrvAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                            RECTL* prclSrc, BLENDOBJ* pBlendObj);
BOOL APIENTRY DrvGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex, ULONG nVertex,
                              PVOID pMesh, ULONG nMesh, RECTL* prclExtents, POINTL* pptlDitherOrg, ULONG ulMode);
}

// --- Engine services ---------------------------------------------------------------------

// A palette: PAL_INDEXED takes cColors entries (0x00BBGGRR) from pulColors,
// PAL_BITFIELDS the three masks, PAL_RGB and PAL_BGR nothing.
ENGAPI HPALETTE APIENTRY EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed, FLONG flGreen,
                                          FLONG flBlue);
ENGAPI BOOL APIENTRY EngDeletePalette(HPALETTE hpal);

// A surface the driver manages itself (no bitmap memory); it becomes a
// PDEV's surface through EngAssociateSurface.
ENGAPI HSURF APIENTRY EngCreateDeviceSurface(DHSURF dhsurf, SIZEL sizl, ULONG iFormatCompat);
ENGAPI BOOL APIENTRY EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks);
ENGAPI BOOL APIENTRY EngDeleteSurface(HSURF hsurf);
// A bitmap the engine keeps: lWidth is the bytes of one scan line (0: the
// engine's own, rounded up to 4 bytes); with pvBits null the engine
// allocates the memory.
ENGAPI HBITMAP APIENTRY EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits);
ENGAPI SURFOBJ* APIENTRY EngLockSurface(HSURF hsurf);
ENGAPI VOID APIENTRY EngUnlockSurface(SURFOBJ* pso);

// Conversions with the machine's ANSI code page; every count is in bytes,
// the outputs are not terminated and stop where the buffer is full.
ENGAPI VOID APIENTRY EngUnicodeToMultiByteN(LPSTR MultiByteString, ULONG MaxBytesInMultiByteString,
                                            PULONG BytesInMultiByteString, LPCWSTR UnicodeString,
                                            ULONG BytesInUnicodeString);
ENGAPI VOID APIENTRY EngMultiByteToUnicodeN(LPWSTR UnicodeString, ULONG MaxBytesInUnicodeString,
                                            PULONG BytesInUnicodeString, LPCSTR MultiByteString,
                                            ULONG BytesInMultiByteString);
ENGAPI VOID APIENTRY EngGetCurrentCodePage(PUSHORT OemCodePage, PUSHORT AnsiCodePage);
// Converts to the code page given (CP_ACP and friends); answers the bytes
// written, or -1 when the code page is unknown. cbWideCharString in bytes.
ENGAPI INT APIENTRY EngWideCharToMultiByte(UINT CodePage, LPCWSTR WideCharString, INT BytesInWideCharString,
                                           LPSTR MultiByteString, INT BytesInMultiByteString);
ENGAPI VOID APIENTRY EngSetLastError(ULONG iError);

// --- Engine services: the drawing objects -------------------------------------------------

// A driver's realisation of a brush: BRUSHOBJ_pvAllocRbrush (during
// DrvRealizeBrush) gives the memory, which lives as long as the brush;
// BRUSHOBJ_pvGetRbrush gives it, calling DrvRealizeBrush the first time.
ENGAPI PVOID APIENTRY BRUSHOBJ_pvAllocRbrush(BRUSHOBJ* pbo, ULONG cj);
ENGAPI PVOID APIENTRY BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo);
// The brush's colour as the application gave it (0x00BBGGRR); 0xFFFFFFFF
// for a brush that is not solid.
ENGAPI ULONG APIENTRY BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo);

// Starts an enumeration of the clip's rectangles (CT_RECTANGLES) in the
// order CD_*; answers their number, or 0xFFFFFFFF when there are more than
// cLimit (0: no limit) or the engine will not say.
ENGAPI ULONG APIENTRY CLIPOBJ_cEnumStart(CLIPOBJ* pco, BOOL bAll, ULONG iType, ULONG iDirection, ULONG cLimit);
// Fills the ENUMRECTS of cj bytes with the next rectangles; TRUE while more remain.
ENGAPI BOOL APIENTRY CLIPOBJ_bEnum(CLIPOBJ* pco, ULONG cj, ULONG* pul);
// The clip's outline as a path, to be freed with EngDeletePath.
ENGAPI PATHOBJ* APIENTRY CLIPOBJ_ppoGetPath(CLIPOBJ* pco);

ENGAPI VOID APIENTRY PATHOBJ_vEnumStart(PATHOBJ* ppo);
// The next fragment of the path; TRUE while more remain.
ENGAPI BOOL APIENTRY PATHOBJ_bEnum(PATHOBJ* ppo, PATHDATA* ppd);
ENGAPI VOID APIENTRY PATHOBJ_vGetBounds(PATHOBJ* ppo, PRECTFX prectfx);
ENGAPI VOID APIENTRY EngDeletePath(PATHOBJ* ppo);

// The destination pixel for a source pixel.
ENGAPI ULONG APIENTRY XLATEOBJ_iXlate(XLATEOBJ* pxlo, ULONG iColor);
// The entries of the source or destination palette (XO_SRCPALETTE,
// XO_DESTPALETTE) or its masks (XO_SRCBITFIELDS, XO_DESTBITFIELDS); with
// pPal null, their number.
ENGAPI ULONG APIENTRY XLATEOBJ_cGetPalette(XLATEOBJ* pxlo, ULONG iPal, ULONG cPal, ULONG* pPal);

ENGAPI ULONG APIENTRY XFORMOBJ_iGetXform(XFORMOBJ* pxo, XFORML* pxform);
ENGAPI BOOL APIENTRY XFORMOBJ_bApplyXform(XFORMOBJ* pxo, ULONG iMode, ULONG cPoints, PVOID pvIn, PVOID pvOut);

// Text: the font of a string and its glyphs.
// The font's IFIMETRICS (engine memory, valid while the font is).
ENGAPI PIFIMETRICS APIENTRY FONTOBJ_pifi(FONTOBJ* pfo);
// The font's transform from notional (em) space to the device.
ENGAPI XFORMOBJ* APIENTRY FONTOBJ_pxoGetXform(FONTOBJ* pfo);
// The glyph data of cGlyph glyphs (the engine gives one at a time), as a
// bitmap (FO_GLYPHBITS) or an outline (FO_PATHOBJ); *ppvGlyph points into
// the engine's cache until the next call. Answers the number given.
ENGAPI ULONG APIENTRY FONTOBJ_cGetGlyphs(FONTOBJ* pfo, ULONG iMode, ULONG cGlyph, HGLYPH* phg, PVOID* ppvGlyph);
// The TrueType file of the font, mapped, and its size in bytes; null for
// other fonts.
ENGAPI PVOID APIENTRY FONTOBJ_pvTrueTypeFontFile(FONTOBJ* pfo, ULONG* pcjFile);
// Every glyph handle of the font; with phg null, their number.
ENGAPI ULONG APIENTRY FONTOBJ_cGetAllGlyphHandles(FONTOBJ* pfo, HGLYPH* phg);
ENGAPI VOID APIENTRY FONTOBJ_vGetInfo(FONTOBJ* pfo, ULONG cjSize, FONTINFO* pfi);
// Starts the glyph enumeration of a string whose pgp is null.
ENGAPI VOID APIENTRY STROBJ_vEnumStart(STROBJ* pstro);
// The next batch of the string's glyphs, with their places; TRUE while more remain.
ENGAPI BOOL APIENTRY STROBJ_bEnum(STROBJ* pstro, ULONG* pc, PGLYPHPOS* ppgpos);
// The code page of the string's characters (the ANSI code page for Unicode text).
ENGAPI DWORD APIENTRY STROBJ_dwGetCodePage(STROBJ* pstro);

// --- Engine services: drawing on engine bitmaps --------------------------------------------

// The engine's own drawing, for bitmaps it keeps (STYPE_BITMAP); a driver
// calls them for what it does not draw itself. On a device surface they
// fail with ERROR_NOT_SUPPORTED: the engine cannot reach its pixels.
ENGAPI BOOL APIENTRY EngBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                               RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                               ROP4 rop4);
ENGAPI BOOL APIENTRY EngCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                                 POINTL* pptlSrc);
ENGAPI BOOL APIENTRY EngStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                                   XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest,
                                   RECTL* prclSrc, POINTL* pptlMask, ULONG iMode);
ENGAPI BOOL APIENTRY EngStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                                      XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest,
                                      RECTL* prclSrc, POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo, DWORD rop4);
ENGAPI BOOL APIENTRY EngTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                       RECTL* prclDst, RECTL* prclSrc, ULONG TransColor, ULONG bCalledFromBitBlt);
ENGAPI BOOL APIENTRY EngGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex,
                                     ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                                     POINTL* pptlDitherOrg, ULONG ulMode);
ENGAPI BOOL APIENTRY EngAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                                   RECTL* prclSrc, BLENDOBJ* pBlendObj);
// Fills the rectangle with the pixel value iColor.
ENGAPI BOOL APIENTRY EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor);
ENGAPI BOOL APIENTRY EngStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                                   POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix);
ENGAPI BOOL APIENTRY EngFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                                 MIX mix, FLONG flOptions);
ENGAPI BOOL APIENTRY EngStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                          BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                                          POINTL* pptlBrushOrg, MIX mixFill, FLONG flOptions);
ENGAPI BOOL APIENTRY EngPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix);
// Draws a string's glyphs in the foreground brush, its opaque rectangle in
// the opaque brush, and the extra rectangles (underlines, strike-outs).
ENGAPI BOOL APIENTRY EngTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                                RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                                MIX mix);

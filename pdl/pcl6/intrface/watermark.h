// One watermark as the driver stores it: in the private DEVMODE (the current
// document's watermark) and, by name, in the user's watermark list. The
// layout is a stored format; every offset below is part of it.
#pragma once
#include <windows.h>

#include <cstddef>

#pragma pack(push, 1)
struct WatermarkRecord {
    INT16 index;            // place in the user's list, 0..32
    INT16 type;             // 0 none, 1 text, 2 bitmap
    WCHAR name[33];         // NUL-terminated inside the field
    WCHAR text[65];         // the text of a text watermark
    WCHAR faceName[32];     // font face of a text watermark
    WCHAR bitmapPath[260];  // file of a bitmap watermark
    INT16 fontSize;         // points, 6..600
    INT16 bold;             // 0 or 1
    INT16 italic;           // 0 or 1
    INT16 fade;             // a bitmap is drawn lightened and transparently
    INT16 frame;            // 0 none, 1 circle, 2 rectangle
    INT16 angle;            // degrees counter-clockwise, -90..90
    INT16 scale;            // bitmap scale in percent, 0..1000
    INT16 position;         // 1..9 a 3 x 3 grid in reading order (5 centred), 10 at x and y
    INT16 tile;             // repeat across the page
    INT16 faceChosen;       // 1 once the user has picked a face
    UINT32 color;           // 0x00BBGGRR
    INT16 value;            // 0..7; 0 in every seeded record
    INT16 x;                // percent of the page width (50 = centre)
    INT16 y;                // percent of the page height
    INT16 grey;             // grey level 0..4 the rendering DLL prints with
};
#pragma pack(pop)

static_assert(sizeof(WatermarkRecord) == 816);
static_assert(offsetof(WatermarkRecord, index) == 0);
static_assert(offsetof(WatermarkRecord, type) == 2);
static_assert(offsetof(WatermarkRecord, name) == 4);
static_assert(offsetof(WatermarkRecord, text) == 70);
static_assert(offsetof(WatermarkRecord, faceName) == 200);
static_assert(offsetof(WatermarkRecord, bitmapPath) == 264);
static_assert(offsetof(WatermarkRecord, fontSize) == 784);
static_assert(offsetof(WatermarkRecord, bold) == 786);
static_assert(offsetof(WatermarkRecord, italic) == 788);
static_assert(offsetof(WatermarkRecord, fade) == 790);
static_assert(offsetof(WatermarkRecord, frame) == 792);
static_assert(offsetof(WatermarkRecord, angle) == 794);
static_assert(offsetof(WatermarkRecord, scale) == 796);
static_assert(offsetof(WatermarkRecord, position) == 798);
static_assert(offsetof(WatermarkRecord, tile) == 800);
static_assert(offsetof(WatermarkRecord, faceChosen) == 802);
static_assert(offsetof(WatermarkRecord, color) == 804);
static_assert(offsetof(WatermarkRecord, value) == 808);
static_assert(offsetof(WatermarkRecord, x) == 810);
static_assert(offsetof(WatermarkRecord, y) == 812);
static_assert(offsetof(WatermarkRecord, grey) == 814);

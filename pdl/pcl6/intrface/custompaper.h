// One user-defined paper size: twenty of them sit in the private DEVMODE and
// the custom-size store keeps one per saved size. A stored format.
#pragma once
#include <windows.h>

#include <cstddef>

#pragma pack(push, 1)
struct CustomPaperRecord {
    INT16 width;          // 600-dpi units
    INT16 height;         // 600-dpi units
    WCHAR name[25];       // NUL-terminated inside the field
    BYTE reserved54[2];
    INT32 paperCode;      // the DEVMODE paper code, 288 and up
    INT32 unit;           // 1 millimetres, 2 inches
    FLOAT exactWidth;     // width again, 600-dpi units
    FLOAT exactHeight;    // height again, 600-dpi units
};
#pragma pack(pop)

static_assert(sizeof(CustomPaperRecord) == 72);
static_assert(offsetof(CustomPaperRecord, width) == 0);
static_assert(offsetof(CustomPaperRecord, height) == 2);
static_assert(offsetof(CustomPaperRecord, name) == 4);
static_assert(offsetof(CustomPaperRecord, reserved54) == 54);
static_assert(offsetof(CustomPaperRecord, paperCode) == 56);
static_assert(offsetof(CustomPaperRecord, unit) == 60);
static_assert(offsetof(CustomPaperRecord, exactWidth) == 64);
static_assert(offsetof(CustomPaperRecord, exactHeight) == 68);

// The "Static" class's record, images and drawing, shared by its procedure
// (static.cpp), its images (staticimage.cpp) and its painting
// (staticpaint.cpp).
#pragma once
#include <windows.h>

namespace w32 {

struct StaticRecord {
    HFONT font = nullptr;          // WM_SETFONT; null for the system's font
    HANDLE image = nullptr;        // STM_SETIMAGE
    UINT imageType = IMAGE_BITMAP;
    HANDLE ownedImage = nullptr;   // loaded by the static from its title
    UINT ownedType = IMAGE_BITMAP;
};

// The image named by an SS_ICON or SS_BITMAP static's title, from the
// module it was made with; null when there is none.
HANDLE LoadStaticImage(HINSTANCE instance, LPCWSTR name, UINT type);
void DeleteStaticImage(HANDLE image, UINT type);
// The image's size in pixels; false when it names no image of the kind.
bool StaticImageSize(HANDLE image, UINT type, SIZE& size);

// Repaints the static after a change.
void RedrawStatic(HWND control);
// Draws the whole static into the DC (WM_PAINT and WM_PRINTCLIENT).
void PaintStatic(HWND control, HDC dc);

}  // namespace w32

// The system's "Static" class: text, images, rectangles, frames, etched
// lines and owner-drawn statics, chosen by the low five bits of the style
// (SS_TYPEMASK).
//
//  WM_NCHITTEST        HTTRANSPARENT without SS_NOTIFY, so a click falls
//                      through to the window below (the parent); HTCLIENT
//                      with it
//  WM_LBUTTONDOWN      STN_CLICKED, WM_LBUTTONDBLCLK STN_DBLCLK, WM_ENABLE
//                      STN_ENABLE or STN_DISABLE: only with SS_NOTIFY
//  STM_SETIMAGE        IMAGE_BITMAP for SS_BITMAP, IMAGE_ICON or
//                      IMAGE_CURSOR for SS_ICON (another kind is refused
//                      with 0); answers the previous image, which the
//                      static never deletes (one it loaded from its title
//                      is the caller's once answered). Without SS_REALSIZEIMAGE or
//                      SS_CENTERIMAGE the static takes the image's size.
//  STM_GETIMAGE        the image when it is of the kind asked, else 0
//  STM_SETICON/GETICON STM_SETIMAGE/STM_GETIMAGE with IMAGE_ICON
//  WM_GETDLGCODE       DLGC_STATIC
//
// An SS_ICON or SS_BITMAP static made with a title names its image as a
// resource of the instance it was made with: a string, "#id", or the
// ordinal form 0xFFFF, id that dialog templates use.
#include "user32/static.h"

#include "user32/control.h"
#include "user32/systemclasses.h"

namespace w32 {

namespace {

StaticRecord* RecordOf(HWND hwnd) {
    return ControlRecord<StaticRecord>(hwnd);
}

bool ImageFitsStyle(DWORD style, WPARAM type) {
    switch (style & SS_TYPEMASK) {
        case SS_BITMAP:
            return type == IMAGE_BITMAP;
        case SS_ICON:
            return type == IMAGE_ICON || type == IMAGE_CURSOR;
        case SS_ENHMETAFILE:
            return type == IMAGE_ENHMETAFILE;
        default:
            return false;
    }
}

// Gives the static's client area the image's size.
void FitToImage(HWND hwnd, HANDLE image, UINT type) {
    DWORD style = ControlStyle(hwnd);
    if (!image || (style & (SS_REALSIZEIMAGE | SS_CENTERIMAGE))) return;
    SIZE size{};
    if (!StaticImageSize(image, type, size)) return;
    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    int frameX = (window.right - window.left) - client.right;
    int frameY = (window.bottom - window.top) - client.bottom;
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx + frameX, size.cy + frameY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SetImage(HWND hwnd, WPARAM type, LPARAM image) {
    StaticRecord* record = RecordOf(hwnd);
    if (!record || !ImageFitsStyle(ControlStyle(hwnd), type)) return 0;
    HANDLE previous = record->image;
    record->image = reinterpret_cast<HANDLE>(image);
    record->imageType = UINT(type);
    // An image the static loaded itself is the caller's once handed back.
    if (record->ownedImage && record->ownedImage != record->image) record->ownedImage = nullptr;
    FitToImage(hwnd, record->image, UINT(type));
    RedrawStatic(hwnd);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT GetImage(HWND hwnd, WPARAM type) {
    StaticRecord* record = RecordOf(hwnd);
    if (!record || !record->image) return 0;
    bool iconLike = (type == IMAGE_ICON || type == IMAGE_CURSOR) &&
                    (record->imageType == IMAGE_ICON || record->imageType == IMAGE_CURSOR);
    if (type != record->imageType && !iconLike) return 0;
    return reinterpret_cast<LRESULT>(record->image);
}

// The image an SS_ICON or SS_BITMAP static names in its title.
void LoadTitleImage(HWND hwnd, const CREATESTRUCTW* cs) {
    if (!cs || !cs->lpszName) return;
    DWORD type = DWORD(cs->style) & SS_TYPEMASK;
    if (type != SS_ICON && type != SS_BITMAP) return;
    LPCWSTR name = cs->lpszName;
    if (!IS_INTRESOURCE(name) && name[0] == 0xFFFF) name = MAKEINTRESOURCEW(name[1]);
    if (!IS_INTRESOURCE(name) && name[0] == 0) return;
    UINT imageType = type == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP;
    HANDLE image = LoadStaticImage(cs->hInstance, name, imageType);
    if (!image) return;
    SetImage(hwnd, imageType, reinterpret_cast<LPARAM>(image));
    if (StaticRecord* record = RecordOf(hwnd)) {
        record->ownedImage = image;
        record->ownedType = imageType;
    }
}

}  // namespace

LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            MakeControlRecord<StaticRecord>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_CREATE:
            LoadTitleImage(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam));
            return 0;
        case WM_NCDESTROY:
            if (StaticRecord* record = RecordOf(hwnd)) {
                if (record->ownedImage) DeleteStaticImage(record->ownedImage, record->ownedType);
            }
            FreeControlRecord<StaticRecord>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_NCHITTEST:
            return (ControlStyle(hwnd) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
        case WM_LBUTTONDOWN:
            if (ControlStyle(hwnd) & SS_NOTIFY) NotifyParent(hwnd, STN_CLICKED);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (ControlStyle(hwnd) & SS_NOTIFY) NotifyParent(hwnd, STN_DBLCLK);
            return 0;
        case WM_ENABLE:
            RedrawStatic(hwnd);
            if (ControlStyle(hwnd) & SS_NOTIFY) NotifyParent(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
            return 0;
        case STM_SETIMAGE:
            return SetImage(hwnd, wParam, lParam);
        case STM_GETIMAGE:
            return GetImage(hwnd, wParam);
        case STM_SETICON:
            return SetImage(hwnd, IMAGE_ICON, LPARAM(wParam));
        case STM_GETICON:
            return GetImage(hwnd, IMAGE_ICON);
        case WM_SETTEXT: {
            LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            RedrawStatic(hwnd);
            return result;
        }
        case WM_SETFONT: {
            StaticRecord* record = RecordOf(hwnd);
            if (record) record->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) RedrawStatic(hwnd);
            return 0;
        }
        case WM_GETFONT: {
            StaticRecord* record = RecordOf(hwnd);
            return record ? reinterpret_cast<LRESULT>(record->font) : 0;
        }
        case WM_PRINTCLIENT:
            PaintStatic(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace w32

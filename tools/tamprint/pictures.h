// The pictures of a document's page: images read from PNG and BMP files,
// and rectangles filled with a gradient, in points from the top-left corner
// of the page like the shapes.
//
//   {"image": "photo.png", "at": [72, 72], "size": [200, 150]}
//   {"gradient": [[72, 300], [540, 360]], "from": "#000080", "to": "#ffffff",
//    "direction": "horizontal"}
//
// An "image" is a PNG or BMP file (a path relative to the document's
// folder, or an absolute path); "at" is its top-left corner and "size" the
// width and height it is scaled to, in points (more than 0). A PNG's
// transparency is laid over white. A BMP is uncompressed, of 1, 4, 8, 24 or
// 32 bits a pixel. A "gradient" fills the box of two opposite corners with
// colours running from "from" to "to" ("#rrggbb"), left to right
// ("horizontal", the default) or top to bottom ("vertical").
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tamprint {

struct DeviceFrame;

// An image as a device-independent bitmap: its BITMAPINFO (the header and
// its colour table) and its rows.
struct Picture {
    std::vector<uint8_t> info;  // a BITMAPINFO, 4-byte aligned
    std::vector<uint8_t> bits;

    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
    LONG Width() const { return Info()->bmiHeader.biWidth; }
    LONG Height() const { return Info()->bmiHeader.biHeight < 0 ? -Info()->bmiHeader.biHeight : Info()->bmiHeader.biHeight; }
};

// Reads a PNG or BMP file (told apart by their first bytes). False with a
// message saying why when it cannot be read or is no image of those kinds.
bool ReadPictureFile(const std::string& path, Picture& picture, std::string& error);

// A picture of `width` x `height` pixels and `bitCount` bits a pixel (1, 8
// or 24), bottom-up, with `palette` entries as its colour table; its rows
// are zero until the caller fills them.
Picture MakePicture(LONG width, LONG height, WORD bitCount, const std::vector<RGBQUAD>& palette = {});
// Bytes of one row of a picture, padded to 4 bytes as DIB rows are.
size_t PictureStride(LONG width, WORD bitCount);

struct ImageSpec {
    std::shared_ptr<const Picture> picture;
    double x = 0, y = 0;            // points: the top-left corner
    double width = 0, height = 0;   // points
};

struct GradientSpec {
    double left = 0, top = 0, right = 0, bottom = 0;  // points
    COLORREF from = RGB(0, 0, 0), to = RGB(255, 255, 255);
    bool vertical = false;
};

// Draws an image with StretchDIBits (SRCCOPY), and a gradient with
// GradientFill. False when the GDI call fails.
bool DrawImageItem(HDC dc, const DeviceFrame& frame, const ImageSpec& image);
bool DrawGradientItem(HDC dc, const DeviceFrame& frame, const GradientSpec& gradient);

}  // namespace tamprint

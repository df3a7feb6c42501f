// The images of SS_ICON and SS_BITMAP statics.
#include <cstdlib>

#include "user32/static.h"

namespace w32 {

HANDLE LoadStaticImage(HINSTANCE, LPCWSTR, UINT) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return nullptr;
}

void DeleteStaticImage(HANDLE image, UINT type) {
    if (type == IMAGE_BITMAP) DeleteObject(image);
}

bool StaticImageSize(HANDLE image, UINT type, SIZE& size) {
    if (type != IMAGE_BITMAP) return false;
    BITMAP bitmap{};
    if (!GetObjectW(image, sizeof(bitmap), &bitmap)) return false;
    size.cx = bitmap.bmWidth;
    size.cy = std::abs(bitmap.bmHeight);
    return true;
}

}  // namespace w32

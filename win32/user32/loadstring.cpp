// String tables. The strings with ids 16*(n-1) to 16*n-1 form the RT_STRING
// resource n, in the language FindResourceExW picks for the module (see
// libloaderapi.h). The block is 16 counted strings, each a WORD length
// followed by that many characters, without terminators.
//
// As Windows does: a missing block fails with FindResourceExW's error
// (ERROR_RESOURCE_NAME_NOT_FOUND, or ERROR_RESOURCE_TYPE_NOT_FOUND when the
// module has no string table, ERROR_RESOURCE_DATA_NOT_FOUND when it has no
// resources) and an empty slot in a present block returns 0 without setting
// the last error; either way a buffer gets an empty string.
#include <windows.h>

#include <string>

namespace {

// The counted string for an id: its characters and length. False when the
// block is missing or damaged (the last error is set).
bool FindString(HINSTANCE instance, UINT id, const WCHAR*& text, int& length) {
    HRSRC info = FindResourceExW(instance, RT_STRING, MAKEINTRESOURCEW((id >> 4) + 1),
                                 MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (!info) return false;
    auto* block = static_cast<const WCHAR*>(LockResource(LoadResource(instance, info)));
    DWORD units = SizeofResource(instance, info) / sizeof(WCHAR);
    if (!block) return false;
    DWORD at = 0;
    for (UINT slot = 0; slot < (id & 15); ++slot) {
        if (at >= units) break;
        at += 1 + block[at];
    }
    if (at >= units || at + 1 + block[at] > units) {
        // A short block: the remaining strings are empty.
        text = block + (at < units ? at : units);
        length = 0;
        return true;
    }
    length = block[at];
    text = block + at + 1;
    return true;
}

}  // namespace

int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const WCHAR* text = nullptr;
    int length = 0;
    bool found = FindString(hInstance, uID, text, length);
    if (cchBufferMax == 0) {
        // The caller gets a read-only pointer to the string in the resource.
        *reinterpret_cast<const WCHAR**>(lpBuffer) = found ? text : nullptr;
        return found ? length : 0;
    }
    if (!found) length = 0;
    if (length > cchBufferMax - 1) length = cchBufferMax - 1;
    for (int i = 0; i < length; ++i) lpBuffer[i] = text[i];
    lpBuffer[length] = 0;
    return length;
}

// The string in the machine's ANSI code page, cut to the buffer (on a
// character boundary) and terminated. Returns the bytes copied, without the
// terminator.
int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const WCHAR* text = nullptr;
    int length = 0;
    if (!FindString(hInstance, uID, text, length)) length = 0;
    // Each character takes at least one byte: start from what could fit.
    int chars = length < cchBufferMax - 1 ? length : cchBufferMax - 1;
    while (chars > 0 && WideCharToMultiByte(CP_ACP, 0, text, chars, nullptr, 0, nullptr, nullptr) > cchBufferMax - 1)
        --chars;
    int bytes = chars > 0 ? WideCharToMultiByte(CP_ACP, 0, text, chars, lpBuffer, cchBufferMax - 1, nullptr, nullptr) : 0;
    lpBuffer[bytes] = 0;
    return bytes;
}

// Small routines of the rendering DLL.
#include <windows.h>
#include <strsafe.h>

#include <cstring>

#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

namespace {

// The logon name is read whole before it is cut to the field.
constexpr DWORD kUserNameRead = 257;
constexpr int kUserNameField = 32;

bool IsHighSurrogate(WCHAR c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

int Util_LoadString(HINSTANCE module, UINT id, LPWSTR buffer, int capacity) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = 0;
    if (module) {
        int length = LoadStringW(module, id, buffer, capacity);
        if (length > 0) return length;
    }
    WCHAR text[32];
    wsprintfW(text, u"id:%d missing!", int(id));
    int length = lstrlenW(text);
    if (length >= capacity) {
        buffer[0] = 0;
        return 0;
    }
    std::memcpy(buffer, text, size_t(length + 1) * sizeof(WCHAR));
    return length;
}

UINT Util_GetTempFileName(LPCWSTR prefix, LPWSTR name) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    name[0] = 0;
    WCHAR folder[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) {
        if (length >= MAX_PATH) SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }
    return GetTempFileNameW(folder, prefix ? prefix : u"", 0, name);
}

BOOL Util_GetUserName(LPWSTR name) {
    if (!name) return FALSE;
    std::memset(name, 0, kUserNameField * sizeof(WCHAR));
    WCHAR whole[kUserNameRead];
    DWORD size = kUserNameRead;
    if (!GetUserNameW(whole, &size)) return FALSE;
    whole[kUserNameRead - 1] = 0;
    int length = lstrlenW(whole);
    if (length > kUserNameField - 1) length = kUserNameField - 1;
    if (length > 0 && whole[length] && IsHighSurrogate(whole[length - 1])) --length;
    std::memcpy(name, whole, size_t(length) * sizeof(WCHAR));
    return TRUE;
}

int Util_CutFileName(LPWSTR path, BOOL dropSeparator) {
    if (!path) return 0;
    int separator = -1;
    int length = 0;
    for (; path[length]; ++length)
        if (path[length] == u'\\' || path[length] == u'/') separator = length;
    if (separator < 0) return length;
    int keep = dropSeparator ? separator : separator + 1;
    path[keep] = 0;
    return keep;
}

LPCWSTR Util_FilePart(LPCWSTR path) {
    if (!path) return nullptr;
    LPCWSTR part = path;
    for (LPCWSTR p = path; *p; ++p)
        if (*p == u'\\' || *p == u'/' || *p == u':') part = p + 1;
    return part;
}

namespace {

template <class Rect>
BOOL Intersect(Rect* out, const Rect* a, const Rect* b) {
    if (!out) return FALSE;
    if (!a || !b || a->right < a->left || a->bottom < a->top || b->right < b->left || b->bottom < b->top) {
        *out = Rect{};
        return FALSE;
    }
    Rect result{};
    result.left = a->left > b->left ? a->left : b->left;
    result.top = a->top > b->top ? a->top : b->top;
    result.right = a->right < b->right ? a->right : b->right;
    result.bottom = a->bottom < b->bottom ? a->bottom : b->bottom;
    if (result.right < result.left || result.bottom < result.top) {
        *out = Rect{};
        return FALSE;
    }
    *out = result;
    return TRUE;
}

}  // namespace

BOOL Util_IntersectRect(RECTL* out, const RECTL* a, const RECTL* b) { return Intersect(out, a, b); }

BOOL Util_IntersectRect16(Rect16* out, const Rect16* a, const Rect16* b) { return Intersect(out, a, b); }

int Util_WideToAnsi(LPSTR out, LPCWSTR wide, int capacity) {
    // The caller names the room it has: an unbounded write is never made.
    if (!out || capacity <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    out[0] = 0;
    if (!wide || !*wide) return 0;
    int length = lstrlenW(wide);
    // Take as many whole characters as fit before the NUL.
    int count = length;
    while (count > 0) {
        if (count < length && IsHighSurrogate(wide[count - 1])) {
            --count;
            continue;
        }
        int bytes = WideCharToMultiByte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, nullptr);
        if (bytes > 0 && bytes <= capacity - 1) break;
        --count;
    }
    int written = count > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, count, out, capacity - 1, nullptr, nullptr) : 0;
    if (written < 0) written = 0;
    out[written] = 0;
    return written;
}

LPVOID Util_ReAlloc(LONG* byteCounter, LPVOID block, DWORD size) {
    DWORD oldSize = 0;
    if (block) {
        oldSize = Util_GlobalSize(block);
        if (oldSize == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    }
    LPVOID grown = Util_GlobalAlloc(byteCounter, size);
    if (!grown) return nullptr;
    if (block) {
        std::memcpy(grown, block, oldSize < size ? oldSize : size);
        Util_GlobalFree(byteCounter, block);
    }
    return grown;
}

// Each chained block begins with a link to the block allocated before it;
// the link is pointer-sized, and the caller's bytes follow it.
LPVOID Util_AllocChainBlock(LPVOID* chain, DWORD size) {
    if (!chain) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (size > DWORD(0x7FFFFFFF) - sizeof(LPVOID)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* block = static_cast<BYTE*>(GlobalAlloc(GPTR, SIZE_T(size) + sizeof(LPVOID)));
    if (!block) return nullptr;
    std::memcpy(block, chain, sizeof(LPVOID));
    *chain = block;
    return block + sizeof(LPVOID);
}

void Util_FreeBlockChain(LPVOID* chain) {
    if (!chain) return;
    LPVOID block = *chain;
    while (block) {
        LPVOID previous;
        std::memcpy(&previous, block, sizeof(LPVOID));
        GlobalFree(block);
        block = previous;
    }
    *chain = nullptr;
}

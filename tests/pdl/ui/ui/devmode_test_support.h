// Small helpers shared by the document-settings tests: a context whose
// devmode pointers aim into itself, and little-endian reads and writes at
// byte offsets of a settings image.
#pragma once
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ui/ui/devmode.h"
#include "ui/ui/uicontext.h"

namespace devmode_test {

inline std::unique_ptr<UiContext> MakeContext() {
    auto context = std::make_unique<UiContext>();
    context->priv = &context->devmode.priv;
    context->pub = &context->devmode.pub;
    BuildDevmodeKeyTable(context.get());
    return context;
}

inline BYTE* Bytes(void* record) { return static_cast<BYTE*>(record); }
inline const BYTE* Bytes(const void* record) { return static_cast<const BYTE*>(record); }

inline long long ReadInt(const void* base, size_t offset, int width, bool isSigned = true) {
    const BYTE* p = static_cast<const BYTE*>(base) + offset;
    unsigned long long value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | p[i];
    if (isSigned && (value >> (8 * width - 1)) & 1) value -= 1ull << (8 * width);
    return static_cast<long long>(value);
}

inline void WriteInt(void* base, size_t offset, int width, long long value) {
    BYTE* p = static_cast<BYTE*>(base) + offset;
    for (int i = 0; i < width; ++i) p[i] = static_cast<BYTE>(static_cast<unsigned long long>(value) >> (8 * i));
}

// A UTF-16 string with its terminator, little-endian.
inline void WriteText(void* base, size_t offset, std::u16string_view text) {
    BYTE* p = static_cast<BYTE*>(base) + offset;
    for (size_t i = 0; i <= text.size(); ++i) {
        char16_t c = i < text.size() ? text[i] : u'\0';
        p[2 * i] = static_cast<BYTE>(c & 0xFF);
        p[2 * i + 1] = static_cast<BYTE>(c >> 8);
    }
}

inline std::u16string ReadText(const void* base, size_t offset, size_t maxChars) {
    std::u16string text;
    for (size_t i = 0; i < maxChars; ++i) {
        char16_t c = static_cast<char16_t>(ReadInt(base, offset + 2 * i, 2, false));
        if (!c) break;
        text.push_back(c);
    }
    return text;
}

// The offsets at which two images of `size` bytes differ.
inline std::vector<size_t> DifferingOffsets(const void* a, const void* b, size_t size) {
    std::vector<size_t> offsets;
    const BYTE* x = static_cast<const BYTE*>(a);
    const BYTE* y = static_cast<const BYTE*>(b);
    for (size_t i = 0; i < size; ++i)
        if (x[i] != y[i]) offsets.push_back(i);
    return offsets;
}

}  // namespace devmode_test

// Text of the machine's ANSI code page as the wide functions take it: the
// ANSI forms of the layer's functions convert their string arguments with
// this and hand them to the wide forms.
#pragma once
#include <windows.h>

#include <string>

namespace w32 {

// A NUL-terminated ANSI string as WCHAR text, without the terminator. False
// (and `wide` empty) when it does not convert.
inline bool AnsiToWide(LPCSTR text, std::u16string& wide) {
    wide.clear();
    int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (count <= 0) return false;
    wide.assign(size_t(count), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), count);
    wide.pop_back();
    return true;
}

}  // namespace w32

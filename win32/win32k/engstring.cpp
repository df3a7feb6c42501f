// The engine's string services: conversions with the machine's ANSI code
// page, its code pages, and the thread's last error.
//
// The conversions count bytes on both sides and write no terminator; a
// conversion stops where the output buffer is full, without splitting a
// character: a double-byte character or a surrogate pair that does not fit
// is left out whole.
#include <windows.h>
#include <winddi.h>

#include <algorithm>
#include <string>

VOID APIENTRY EngUnicodeToMultiByteN(LPSTR MultiByteString, ULONG MaxBytesInMultiByteString,
                                     PULONG BytesInMultiByteString, LPCWSTR UnicodeString,
                                     ULONG BytesInUnicodeString) {
    const ULONG units = BytesInUnicodeString / sizeof(WCHAR);
    ULONG written = 0;
    if (units && MaxBytesInMultiByteString) {
        if (!MultiByteString || !UnicodeString) {
            SetLastError(ERROR_INVALID_PARAMETER);
        } else {
            // One character at a time, so that each one goes in whole or not at all.
            for (ULONG i = 0; i < units;) {
                int length = 1;
                if (UnicodeString[i] >= 0xD800 && UnicodeString[i] <= 0xDBFF && i + 1 < units &&
                    UnicodeString[i + 1] >= 0xDC00 && UnicodeString[i + 1] <= 0xDFFF)
                    length = 2;
                char bytes[8];
                int converted =
                    WideCharToMultiByte(CP_ACP, 0, UnicodeString + i, length, bytes, sizeof(bytes), nullptr, nullptr);
                if (converted <= 0 || written + ULONG(converted) > MaxBytesInMultiByteString) break;
                std::copy(bytes, bytes + converted, MultiByteString + written);
                written += ULONG(converted);
                i += ULONG(length);
            }
        }
    }
    if (BytesInMultiByteString) *BytesInMultiByteString = written;
}

VOID APIENTRY EngMultiByteToUnicodeN(LPWSTR UnicodeString, ULONG MaxBytesInUnicodeString,
                                     PULONG BytesInUnicodeString, LPCSTR MultiByteString,
                                     ULONG BytesInMultiByteString) {
    const ULONG capacity = MaxBytesInUnicodeString / sizeof(WCHAR);
    ULONG units = 0;
    if (BytesInMultiByteString && capacity) {
        if (!UnicodeString || !MultiByteString || BytesInMultiByteString > 0x7FFFFFFF) {
            SetLastError(ERROR_INVALID_PARAMETER);
        } else {
            const int length = int(BytesInMultiByteString);
            int needed = MultiByteToWideChar(CP_ACP, 0, MultiByteString, length, nullptr, 0);
            std::u16string converted(size_t(std::max(needed, 0)), u'\0');
            if (needed > 0) MultiByteToWideChar(CP_ACP, 0, MultiByteString, length, converted.data(), needed);
            units = std::min<ULONG>(ULONG(converted.size()), capacity);
            // Half a surrogate pair stays out.
            if (units < converted.size() && units && converted[units - 1] >= 0xD800 && converted[units - 1] <= 0xDBFF)
                --units;
            std::copy(converted.begin(), converted.begin() + units, UnicodeString);
        }
    }
    if (BytesInUnicodeString) *BytesInUnicodeString = units * sizeof(WCHAR);
}

// Any code page the machine converts (CP_ACP, CP_OEMCP and CP_THREAD_ACP
// name its own); -1 for another, 0 with ERROR_INVALID_PARAMETER for
// negative sizes or a missing string.
INT APIENTRY EngWideCharToMultiByte(UINT CodePage, LPCWSTR WideCharString, INT BytesInWideCharString,
                                    LPSTR MultiByteString, INT BytesInMultiByteString) {
    UINT page = CodePage;
    if (page == CP_ACP || page == CP_THREAD_ACP) page = GetACP();
    else if (page == CP_OEMCP) page = GetOEMCP();
    // UTF-7 is a code page the machine knows but does not convert.
    if (!IsValidCodePage(page) || page == CP_UTF7) return -1;
    if (BytesInWideCharString < 0 || BytesInMultiByteString < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const INT units = BytesInWideCharString / INT(sizeof(WCHAR));
    if (!units || !BytesInMultiByteString) return 0;
    if (!WideCharString || !MultiByteString) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // One character at a time, so that each one goes in whole or not at all.
    INT written = 0;
    for (INT i = 0; i < units;) {
        const WCHAR ch = WideCharString[i];
        const INT length =
            ch >= 0xD800 && ch <= 0xDBFF && i + 1 < units && WideCharString[i + 1] >= 0xDC00 &&
                    WideCharString[i + 1] <= 0xDFFF
                ? 2
                : 1;
        char bytes[8];
        const int converted =
            WideCharToMultiByte(page, 0, WideCharString + i, length, bytes, sizeof(bytes), nullptr, nullptr);
        if (converted <= 0 || written + converted > BytesInMultiByteString) break;
        std::copy(bytes, bytes + converted, MultiByteString + written);
        written += converted;
        i += length;
    }
    return written;
}

VOID APIENTRY EngGetCurrentCodePage(PUSHORT OemCodePage, PUSHORT AnsiCodePage) {
    if (OemCodePage) *OemCodePage = USHORT(GetOEMCP());
    if (AnsiCodePage) *AnsiCodePage = USHORT(GetACP());
}

VOID APIENTRY EngSetLastError(ULONG iError) { SetLastError(iError); }

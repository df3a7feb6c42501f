// The default paper by country: Letter in the countries of the North
// American numbering plan (1), in Russia's old code (2) and in Central and
// South America (50-59, 500-599); A4 everywhere else.
#include <windows.h>

#include <memory>
#include <new>

#include "pcl6/intrface/util.h"

namespace {

// The leading decimal digits of an 8-bit text; false when it has none.
bool ReadDecimal(const char* text, long& value) {
    value = 0;
    int digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text, ++digits) {
        if (value > 100000) return false;  // no country code is that long
        value = value * 10 + (*text - '0');
    }
    return digits > 0;
}

bool IsLetterCountry(long country) {
    return country == 1 || country == 2 || (country >= 50 && country <= 59) || (country >= 500 && country <= 599);
}

#ifdef TAM_RENDERING_BUILD

// The rendering DLL converts the code with the system's conversion and takes
// its buffers from the counted allocator.
bool ReadCountry(long& country) {
    int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, nullptr, 0);
    if (length <= 0) return false;
    auto* wide = static_cast<LPWSTR>(Util_GlobalAlloc(nullptr, DWORD(length) * sizeof(WCHAR)));
    auto* narrow = static_cast<LPSTR>(Util_GlobalAlloc(nullptr, DWORD(length)));
    bool read = false;
    if (wide && narrow && GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, wide, length) > 0 &&
        WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, length, nullptr, nullptr) > 0) {
        narrow[length - 1] = 0;
        read = ReadDecimal(narrow, country);
    }
    Util_GlobalFree(nullptr, narrow);
    Util_GlobalFree(nullptr, wide);
    return read;
}

#else

bool ReadCountry(long& country) {
    int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, nullptr, 0);
    if (length <= 0) return false;
    std::unique_ptr<WCHAR[]> wide(new (std::nothrow) WCHAR[size_t(length)]);
    std::unique_ptr<char[]> narrow(new (std::nothrow) char[size_t(length)]);
    if (!wide || !narrow) return false;
    int read = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, wide.get(), length);
    if (read <= 0) return false;
    // The code is made of ASCII digits: anything else ends the number.
    for (int i = 0; i < length; ++i) narrow[i] = wide[i] < 0x80 ? char(wide[i]) : '?';
    narrow[length - 1] = 0;
    return ReadDecimal(narrow.get(), country);
}

#endif

}  // namespace

BOOL IsA4Country() {
    long country = 0;
    if (!ReadCountry(country)) return FALSE;
    return IsLetterCountry(country) ? FALSE : TRUE;
}

// Code pages: the machine's ANSI and OEM pages, UTF-8, and the single- and
// double-byte Windows pages, with glibc's iconv tables underneath.
//
// MultiByteToWideChar and WideCharToMultiByte check their arguments
// (ERROR_INVALID_PARAMETER), then the flags against the page
// (ERROR_INVALID_FLAGS: some pages take no flag, UTF-8 only the one for
// invalid input), then the page itself. Their size protocol: a size of 0
// asks for the count needed; a buffer too small gets what fits and
// ERROR_INSUFFICIENT_BUFFER with a result of 0.
//
// Single-byte pages use a 256-entry table built once; a byte that iconv does
// not define maps to the character of the same value, as Windows does for the
// holes of 1252. Double-byte pages go through iconv with per-thread
// descriptors; a sequence it cannot convert becomes the page's default
// character.
#include <iconv.h>
#include <windows.h>

#include <array>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "machine/unicode.h"

namespace {

struct PageInfo {
    UINT id;
    const char* iconvName;
    bool doubleByte;
    WCHAR unicodeDefault;  // what an unconvertible byte sequence becomes
};

const PageInfo kPages[] = {
    {437, "CP437", false, u'?'},     {850, "CP850", false, u'?'},     {852, "CP852", false, u'?'},
    {866, "CP866", false, u'?'},     {874, "CP874", false, u'?'},     {1250, "CP1250", false, u'?'},
    {1251, "CP1251", false, u'?'},   {1252, "CP1252", false, u'?'},   {1253, "CP1253", false, u'?'},
    {1254, "CP1254", false, u'?'},   {1255, "CP1255", false, u'?'},   {1256, "CP1256", false, u'?'},
    {1257, "CP1257", false, u'?'},   {1258, "CP1258", false, u'?'},   {20127, "ASCII", false, u'?'},
    {28591, "ISO-8859-1", false, u'?'}, {932, "CP932", true, u'\x30FB'}, {936, "CP936", true, u'?'},
    {949, "CP949", true, u'?'},      {950, "CP950", true, u'?'},
};

UINT ResolvePage(UINT codePage) {
    const auto& settings = w32::Machine::Current().Settings();
    switch (codePage) {
        case CP_ACP:
        case CP_THREAD_ACP:
            return settings.ansiCodePage;
        case CP_OEMCP:
            return settings.oemCodePage;
        default:
            return codePage;
    }
}

const PageInfo* FindPage(UINT resolved) {
    for (const auto& page : kPages)
        if (page.id == resolved) return &page;
    return nullptr;
}

bool IsLeadByte(UINT page, BYTE b) {
    switch (page) {
        case 932:
            return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        case 936:
        case 949:
        case 950:
            return b >= 0x81 && b <= 0xFE;
        default:
            return false;
    }
}

// Table of a single-byte page, both directions.
struct SingleByteTable {
    std::array<WCHAR, 256> toWide{};
    std::vector<short> fromWide = std::vector<short>(65536, -1);
};

const SingleByteTable& TableFor(const PageInfo& page) {
    static std::mutex lock;
    static std::map<UINT, std::unique_ptr<SingleByteTable>> tables;
    std::lock_guard guard(lock);
    auto& slot = tables[page.id];
    if (slot) return *slot;
    slot = std::make_unique<SingleByteTable>();
    iconv_t cd = iconv_open("UTF-16LE", page.iconvName);
    for (int b = 0; b < 256; ++b) {
        WCHAR wc = WCHAR(b);
        if (cd != (iconv_t)-1) {
            char in = char(b);
            char16_t out = 0;
            char* inPtr = &in;
            size_t inLeft = 1;
            char* outPtr = reinterpret_cast<char*>(&out);
            size_t outLeft = sizeof(out);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != (size_t)-1 && outLeft == 0) wc = out;
        }
        slot->toWide[b] = wc;
    }
    if (cd != (iconv_t)-1) iconv_close(cd);
    // Later bytes must not override an earlier exact mapping: keep the first.
    for (int b = 255; b >= 0; --b) slot->fromWide[slot->toWide[b]] = short(b);
    return *slot;
}

// One iconv descriptor per thread, page and direction, closed when the
// thread ends.
struct DescriptorCache {
    std::map<std::pair<UINT, bool>, iconv_t> open;
    ~DescriptorCache() {
        for (auto& entry : open)
            if (entry.second != (iconv_t)-1) iconv_close(entry.second);
    }
};

iconv_t Descriptor(const PageInfo& page, bool toWide) {
    thread_local DescriptorCache cache;
    auto key = std::make_pair(page.id, toWide);
    auto it = cache.open.find(key);
    if (it != cache.open.end()) {
        if (it->second != (iconv_t)-1) iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }
    iconv_t cd = toWide ? iconv_open("UTF-16LE", page.iconvName) : iconv_open(page.iconvName, "UTF-16LE");
    cache.open[key] = cd;
    return cd;
}

// Converts bytes of a double-byte page; returns false on an invalid sequence
// when strict.
bool DoubleByteToWide(const PageInfo& page, const char* src, size_t len, std::u16string& out, bool strict) {
    iconv_t cd = Descriptor(page, true);
    if (cd == (iconv_t)-1) return false;
    out.clear();
    out.reserve(len);
    size_t i = 0;
    while (i < len) {
        BYTE b = BYTE(src[i]);
        size_t unit = (IsLeadByte(page.id, b) && i + 1 < len) ? 2 : 1;
        if (b < 0x80) {
            out += WCHAR(b);
            i += 1;
            continue;
        }
        char16_t buffer[2];
        char* inPtr = const_cast<char*>(src + i);
        size_t inLeft = unit;
        char* outPtr = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof(buffer);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        size_t produced = (sizeof(buffer) - outLeft) / sizeof(char16_t);
        if (r == (size_t)-1 || inLeft != 0 || produced == 0) {
            if (strict) return false;
            out += page.unicodeDefault;
            i += 1;
            continue;
        }
        out.append(buffer, produced);
        i += unit;
    }
    return true;
}

// Converts UTF-16 to a double-byte page, a unit (or surrogate pair) at a time.
void WideToDoubleByte(const PageInfo& page, const WCHAR* src, size_t len, std::string& out, std::string_view defaultChar,
                      bool& usedDefault) {
    iconv_t cd = Descriptor(page, false);
    out.clear();
    out.reserve(len * 2);
    for (size_t i = 0; i < len;) {
        WCHAR c = src[i];
        if (c < 0x80) {
            out += char(c);
            ++i;
            continue;
        }
        size_t units = (c >= 0xD800 && c <= 0xDBFF && i + 1 < len && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF) ? 2 : 1;
        char buffer[8];
        char* inPtr = reinterpret_cast<char*>(const_cast<WCHAR*>(src + i));
        size_t inLeft = units * sizeof(WCHAR);
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        bool ok = false;
        if (cd != (iconv_t)-1) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != (size_t)-1 && inLeft == 0 && outLeft < sizeof(buffer);
        }
        if (ok) {
            out.append(buffer, sizeof(buffer) - outLeft);
        } else {
            out += defaultChar;
            usedDefault = true;
        }
        i += units;
    }
}

// Pages whose conversions take no flag at all: Symbol, the ISO-2022 pages,
// HZ, ISCII and UTF-7. UTF-8 and GB18030 take only the flag that makes an
// invalid sequence fail the call. Any other flag for these pages is
// ERROR_INVALID_FLAGS, whether or not the layer converts the page.
bool TakesNoFlags(UINT page) {
    return page == CP_SYMBOL || (page >= 50220 && page <= 50222) || page == 50225 || page == 50227 ||
           page == 50229 || page == 52936 || (page >= 57002 && page <= 57011) || page == CP_UTF7;
}

bool TakesOnlyTheStrictFlag(UINT page) { return page == CP_UTF8 || page == 54936; }

// ERROR_INVALID_FLAGS when a conversion of `page` may not take `flags`; 0
// otherwise. `strict` is the function's flag for failing on invalid input,
// `known` the flags it takes for the other pages.
DWORD CheckFlags(UINT page, DWORD flags, DWORD strict, DWORD known) {
    if (TakesNoFlags(page)) return flags ? ERROR_INVALID_FLAGS : ERROR_SUCCESS;
    if (TakesOnlyTheStrictFlag(page)) return (flags & ~strict) ? ERROR_INVALID_FLAGS : ERROR_SUCCESS;
    return (flags & ~known) ? ERROR_INVALID_FLAGS : ERROR_SUCCESS;
}

template <class T>
int Deliver(const T& converted, typename T::value_type* dst, int capacity) {
    if (capacity == 0) return int(converted.size());
    if (converted.size() > size_t(capacity)) {
        std::copy(converted.begin(), converted.begin() + capacity, dst);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(converted.begin(), converted.end(), dst);
    return int(converted.size());
}

}  // namespace

UINT WINAPI GetACP(void) { return w32::Machine::Current().Settings().ansiCodePage; }

UINT WINAPI GetOEMCP(void) { return w32::Machine::Current().Settings().oemCodePage; }

BOOL WINAPI IsValidCodePage(UINT codePage) {
    return codePage == CP_UTF8 || codePage == CP_UTF7 || FindPage(codePage) != nullptr;
}

BOOL WINAPI GetCPInfo(UINT codePage, LPCPINFO info) {
    UINT page = ResolvePage(codePage);
    if (!info || (page != CP_UTF8 && page != CP_UTF7 && !FindPage(page))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *info = CPINFO{};
    info->DefaultChar[0] = '?';
    if (page == CP_UTF8) {
        info->MaxCharSize = 4;
    } else if (page == CP_UTF7) {
        info->MaxCharSize = 5;
    } else if (FindPage(page)->doubleByte) {
        info->MaxCharSize = 2;
        if (page == 932) {
            const BYTE ranges[] = {0x81, 0x9F, 0xE0, 0xFC};
            std::copy(std::begin(ranges), std::end(ranges), info->LeadByte);
        } else {
            info->LeadByte[0] = 0x81;
            info->LeadByte[1] = 0xFE;
        }
    } else {
        info->MaxCharSize = 1;
    }
    return TRUE;
}

BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE testChar) {
    UINT page = ResolvePage(codePage);
    if (page != CP_UTF8 && page != CP_UTF7 && !FindPage(page)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return IsLeadByte(page, testChar);
}

BOOL WINAPI IsDBCSLeadByte(BYTE testChar) { return IsLeadByte(GetACP(), testChar); }

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int cbSrc, LPWSTR dst, int cchDst) {
    if (!src || cbSrc == 0 || cbSrc < -1 || cchDst < 0 || (cchDst > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    UINT page = ResolvePage(codePage);
    constexpr DWORD kKnownFlags = MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
    DWORD flagError = CheckFlags(page, flags, MB_ERR_INVALID_CHARS, kKnownFlags);
    // Precomposed and composite output exclude each other.
    if (!flagError && (flags & MB_PRECOMPOSED) && (flags & MB_COMPOSITE)) flagError = ERROR_INVALID_FLAGS;
    if (flagError) {
        SetLastError(flagError);
        return 0;
    }
    if (page == CP_UTF7) {
        // UTF-7 is a valid page that this layer does not convert.
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    if (flags & (MB_COMPOSITE | MB_USEGLYPHCHARS)) {
        // Decomposed output and the glyphs of the control bytes are not provided.
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    bool strict = flags & MB_ERR_INVALID_CHARS;
    size_t len = cbSrc == -1 ? std::strlen(src) + 1 : size_t(cbSrc);
    std::u16string converted;
    if (page == CP_UTF8) {
        bool invalid = false;
        converted = w32::FromUtf8(std::string_view(src, len), &invalid);
        if (invalid && strict) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
    } else {
        const PageInfo* info = FindPage(page);
        if (!info) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (info->doubleByte) {
            if (!DoubleByteToWide(*info, src, len, converted, strict)) {
                SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                return 0;
            }
        } else {
            const auto& table = TableFor(*info);
            converted.resize(len);
            for (size_t i = 0; i < len; ++i) converted[i] = table.toWide[BYTE(src[i])];
        }
    }
    return Deliver(converted, dst, cchDst);
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int cchSrc, LPSTR dst, int cbDst,
                               LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    if (!src || cchSrc == 0 || cchSrc < -1 || cbDst < 0 || (cbDst > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    UINT page = ResolvePage(codePage);
    // The composite-check flags act on base-plus-mark sequences, which this
    // layer passes through as they are; every conversion maps exactly, as with
    // WC_NO_BEST_FIT_CHARS. WC_ERR_INVALID_CHARS is for UTF-8 and GB18030 only.
    constexpr DWORD kKnownFlags = WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS;
    if (DWORD error = CheckFlags(page, flags, WC_ERR_INVALID_CHARS, kKnownFlags)) {
        SetLastError(error);
        return 0;
    }
    // UTF-8 and UTF-7 have no default character: every character has bytes.
    if ((page == CP_UTF8 || page == CP_UTF7) && (defaultChar || usedDefaultChar)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (page == CP_UTF7) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    size_t len = cchSrc == -1 ? w32::WideLength(src) + 1 : size_t(cchSrc);
    std::string converted;
    if (page == CP_UTF8) {
        bool invalid = false;
        converted = w32::ToUtf8(std::u16string_view(src, len), &invalid);
        if (invalid && (flags & WC_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        return Deliver(converted, dst, cbDst);
    }
    const PageInfo* info = FindPage(page);
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string_view fallback = "?";
    if (defaultChar && *defaultChar) fallback = std::string_view(defaultChar, defaultChar[1] ? 2 : 1);
    bool used = false;
    if (info->doubleByte) {
        WideToDoubleByte(*info, src, len, converted, fallback, used);
    } else {
        const auto& table = TableFor(*info);
        converted.reserve(len);
        for (size_t i = 0; i < len; ++i) {
            short b = table.fromWide[src[i]];
            if (b < 0) {
                converted += fallback[0];
                used = true;
                // A surrogate pair is one character.
                if (src[i] >= 0xD800 && src[i] <= 0xDBFF && i + 1 < len && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF) ++i;
            } else {
                converted += char(b);
            }
        }
    }
    if (usedDefaultChar) *usedDefaultChar = used;
    return Deliver(converted, dst, cbDst);
}

// Languages and locale values. The user's and system's languages, country
// and code pages come from the machine's settings; other locales from a small
// table of the languages this package is used in.
#include <windows.h>

#include <string>

#include "machine/machine.h"

namespace {

struct LocaleRow {
    LANGID id;
    const char16_t* language;  // ISO 639
    const char16_t* country;   // ISO 3166
    DWORD countryCode;         // LOCALE_ICOUNTRY: the international dialling code
    UINT ansiCodePage;
    UINT oemCodePage;
    const char16_t* englishLanguage;
    const char16_t* englishCountry;
    const char16_t* decimal;
    const char16_t* thousand;
};

const LocaleRow kLocales[] = {
    {0x0409, u"en", u"US", 1, 1252, 437, u"English", u"United States", u".", u","},
    {0x0809, u"en", u"GB", 44, 1252, 850, u"English", u"United Kingdom", u".", u","},
    {0x0C09, u"en", u"AU", 61, 1252, 850, u"English", u"Australia", u".", u","},
    {0x1009, u"en", u"CA", 2, 1252, 850, u"English", u"Canada", u".", u","},
    {0x0804, u"zh", u"CN", 86, 936, 936, u"Chinese", u"China", u".", u","},
    {0x0404, u"zh", u"TW", 886, 950, 950, u"Chinese", u"Taiwan", u".", u","},
    {0x0C04, u"zh", u"HK", 852, 950, 950, u"Chinese", u"Hong Kong SAR", u".", u","},
    {0x1004, u"zh", u"SG", 65, 936, 936, u"Chinese", u"Singapore", u".", u","},
    {0x0411, u"ja", u"JP", 81, 932, 932, u"Japanese", u"Japan", u".", u","},
    {0x0412, u"ko", u"KR", 82, 949, 949, u"Korean", u"Korea", u".", u","},
    {0x0407, u"de", u"DE", 49, 1252, 850, u"German", u"Germany", u",", u"."},
    {0x040C, u"fr", u"FR", 33, 1252, 850, u"French", u"France", u",", u"\x00A0"},
    {0x0C0C, u"fr", u"CA", 2, 1252, 850, u"French", u"Canada", u",", u"\x00A0"},
    {0x0410, u"it", u"IT", 39, 1252, 850, u"Italian", u"Italy", u",", u"."},
    {0x0C0A, u"es", u"ES", 34, 1252, 850, u"Spanish", u"Spain", u",", u"."},
    {0x080A, u"es", u"MX", 52, 1252, 850, u"Spanish", u"Mexico", u".", u","},
    {0x0416, u"pt", u"BR", 55, 1252, 850, u"Portuguese", u"Brazil", u",", u"."},
    {0x0816, u"pt", u"PT", 351, 1252, 850, u"Portuguese", u"Portugal", u",", u"\x00A0"},
    {0x0413, u"nl", u"NL", 31, 1252, 850, u"Dutch", u"Netherlands", u",", u"."},
    {0x0415, u"pl", u"PL", 48, 1250, 852, u"Polish", u"Poland", u",", u"\x00A0"},
    {0x0405, u"cs", u"CZ", 420, 1250, 852, u"Czech", u"Czech Republic", u",", u"\x00A0"},
    {0x0419, u"ru", u"RU", 7, 1251, 866, u"Russian", u"Russia", u",", u"\x00A0"},
    {0x041F, u"tr", u"TR", 90, 1254, 857, u"Turkish", u"Turkey", u",", u"."},
    {0x0408, u"el", u"GR", 30, 1253, 737, u"Greek", u"Greece", u",", u"."},
    {0x0401, u"ar", u"SA", 966, 1256, 720, u"Arabic", u"Saudi Arabia", u".", u","},
    {0x040D, u"he", u"IL", 972, 1255, 862, u"Hebrew", u"Israel", u".", u","},
    {0x041E, u"th", u"TH", 66, 874, 874, u"Thai", u"Thailand", u".", u","},
    {0x042A, u"vi", u"VN", 84, 1258, 1258, u"Vietnamese", u"Vietnam", u",", u"."},
};

const w32::MachineSettings& Settings() { return w32::Machine::Current().Settings(); }

// Replaces the neutral and default ids with the machine's.
LCID ResolveLocale(LCID locale) {
    LANGID lang = LANGIDFROMLCID(locale);
    if (locale == LOCALE_USER_DEFAULT || lang == LANG_USER_DEFAULT || lang == 0) return Settings().userLanguage;
    if (locale == LOCALE_SYSTEM_DEFAULT || lang == LANG_SYSTEM_DEFAULT) return Settings().systemLanguage;
    return lang;
}

const LocaleRow* FindLocale(LANGID id) {
    for (const auto& row : kLocales)
        if (row.id == id) return &row;
    return nullptr;
}

int Deliver(const std::u16string& value, LPWSTR out, int cch) {
    int needed = int(value.size() + 1);
    if (cch == 0) return needed;
    if (!out || cch < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    lstrcpynW(out, value.c_str(), needed);
    return needed;
}

std::u16string Number(DWORD n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

std::u16string Hex4(DWORD n) {
    static const char16_t digits[] = u"0123456789abcdef";
    std::u16string s(4, u'0');
    for (int i = 3; i >= 0; --i, n >>= 4) s[i] = digits[n & 15];
    return s;
}

}  // namespace

LANGID WINAPI GetUserDefaultLangID(void) { return Settings().userLanguage; }
LANGID WINAPI GetSystemDefaultLangID(void) { return Settings().systemLanguage; }
LANGID WINAPI GetUserDefaultUILanguage(void) { return Settings().uiLanguage; }
LANGID WINAPI GetSystemDefaultUILanguage(void) { return Settings().uiLanguage; }
LCID WINAPI GetUserDefaultLCID(void) { return Settings().userLanguage; }
LCID WINAPI GetSystemDefaultLCID(void) { return Settings().systemLanguage; }
LCID WINAPI GetThreadLocale(void) { return Settings().userLanguage; }
LANGID WINAPI GetThreadUILanguage(void) { return Settings().uiLanguage; }

BOOL WINAPI IsValidLocale(LCID locale, DWORD) { return FindLocale(LANGIDFROMLCID(ResolveLocale(locale))) != nullptr; }

int WINAPI GetLocaleInfoW(LCID locale, UINT type, LPWSTR data, int cch) {
    if (cch < 0 || (cch > 0 && !data)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    LANGID lang = LANGIDFROMLCID(ResolveLocale(locale));
    const LocaleRow* row = FindLocale(lang);
    if (!row) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto& s = Settings();
    bool isUser = lang == s.userLanguage;
    bool asNumber = type & LOCALE_RETURN_NUMBER;
    UINT field = type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_RETURN_NUMBER);
    // The user's own country and code pages are the machine's settings.
    DWORD country = isUser ? s.country : row->countryCode;
    UINT ansi = isUser ? s.ansiCodePage : row->ansiCodePage;
    UINT oem = isUser ? s.oemCodePage : row->oemCodePage;

    DWORD number = 0;
    bool numeric = true;
    std::u16string text;
    switch (field) {
        case LOCALE_ILANGUAGE:
            number = lang;
            text = Hex4(lang);
            break;
        case LOCALE_ICOUNTRY:
        case LOCALE_IDEFAULTCOUNTRY:
            number = country;
            break;
        case LOCALE_IDEFAULTANSICODEPAGE:
            number = ansi;
            break;
        case LOCALE_IDEFAULTCODEPAGE:
            number = oem;
            break;
        case LOCALE_IMEASURE:
            // 1 = U.S. system, 0 = metric.
            number = (country == 1) ? 1 : 0;
            break;
        case LOCALE_IPAPERSIZE:
            // 1 = Letter, 9 = A4.
            number = (country == 1 || country == 2 || (country >= 50 && country <= 59)) ? 1 : 9;
            break;
        default:
            numeric = false;
            break;
    }
    if (numeric && asNumber) {
        if (cch == 0) return sizeof(DWORD) / sizeof(WCHAR);
        if (cch < int(sizeof(DWORD) / sizeof(WCHAR))) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        memcpy(data, &number, sizeof(DWORD));
        return sizeof(DWORD) / sizeof(WCHAR);
    }
    if (asNumber) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (numeric && text.empty()) text = Number(number);
    if (!numeric) {
        switch (field) {
            case LOCALE_SISO639LANGNAME:
                text = row->language;
                break;
            case LOCALE_SISO3166CTRYNAME:
                text = row->country;
                break;
            case LOCALE_SNAME:
                text = std::u16string(row->language) + u"-" + row->country;
                break;
            case LOCALE_SENGLISHLANGUAGENAME:
            case LOCALE_SLANGUAGE:
            case LOCALE_SNATIVELANGNAME:
                text = row->englishLanguage;
                break;
            case LOCALE_SENGLISHCOUNTRYNAME:
            case LOCALE_SCOUNTRY:
                text = row->englishCountry;
                break;
            case LOCALE_SDECIMAL:
                text = row->decimal;
                break;
            case LOCALE_STHOUSAND:
                text = row->thousand;
                break;
            case LOCALE_SLIST:
                text = std::u16string(row->decimal) == u"," ? u";" : u",";
                break;
            default:
                SetLastError(ERROR_INVALID_FLAGS);
                return 0;
        }
    }
    return Deliver(text, data, cch);
}

int WINAPI GetLocaleInfoA(LCID locale, UINT type, LPSTR data, int cch) {
    WCHAR wide[128];
    int n = GetLocaleInfoW(locale, type, wide, 128);
    if (!n) return 0;
    if (type & LOCALE_RETURN_NUMBER) {
        if (cch == 0) return sizeof(DWORD);
        if (cch < int(sizeof(DWORD))) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        memcpy(data, wide, sizeof(DWORD));
        return sizeof(DWORD);
    }
    return WideCharToMultiByte(CP_ACP, 0, wide, n, data, cch, nullptr, nullptr);
}

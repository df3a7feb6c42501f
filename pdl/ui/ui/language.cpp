// The language of the user interface: the suffix that names the language
// DLL (from the registry, else from the user's default language), the
// process-wide flags it sets, and the language and bitmap DLLs beside this
// module with their fallbacks.
#include <windows.h>
#include <strsafe.h>

#include <atomic>

#include "ui/ui/language.h"
#include "ui/ui/resdll.h"

namespace {

std::atomic<bool> gDecimalComma{false};
std::atomic<bool> gRightToLeft{false};

// Language tags by primary language (0x00 to 0x2F), each row by
// sublanguage from 1 on: the language's two letters and the region's two.
// Sublanguage 0 and the ones a row does not list give the two letters alone;
// a language without a two-letter code gives no tag.
struct LanguageRow {
    const char16_t* language;
    const char16_t* const* regions;  // the tags of sublanguages 1, 2, ...
    int regionCount;
};

#define TAGS(name, ...) const char16_t* const name[] = {__VA_ARGS__}
TAGS(kArabic, u"arSA", u"arIQ", u"arEG", u"arLY", u"arDZ", u"arMA", u"arTN", u"arOM", u"arYE", u"arSY", u"arJO", u"arLB",
     u"arKW", u"arAE", u"arBH", u"arQA");
TAGS(kBulgarian, u"bgBG");
TAGS(kCatalan, u"caES");
TAGS(kChinese, u"zhTW", u"zhCN", u"zhHK", u"zhSG", u"zhMO");
TAGS(kCzech, u"csCZ");
TAGS(kDanish, u"daDK");
TAGS(kGerman, u"deDE", u"deCH", u"deAT", u"deLU", u"deLI");
TAGS(kGreek, u"elGR");
TAGS(kEnglish, u"enUS", u"enGB", u"enAU", u"enCA", u"enNZ", u"enIE", u"enZA", u"enJM", u"enCB", u"enBZ", u"enTT", u"enZW",
     u"enPH", nullptr, nullptr, u"enIN", u"enMY", u"enSG");
TAGS(kSpanish, u"esES", u"esMX", u"esES", u"esGT", u"esCR", u"esPA", u"esDO", u"esVE", u"esCO", u"esPE", u"esAR", u"esEC",
     u"esCL", u"esUY", u"esPY", u"esBO", u"esSV", u"esHN", u"esNI", u"esPR", u"esUS");
TAGS(kFinnish, u"fiFI");
TAGS(kFrench, u"frFR", u"frBE", u"frCA", u"frCH", u"frLU", u"frMC");
TAGS(kHebrew, u"heIL");
TAGS(kHungarian, u"huHU");
TAGS(kIcelandic, u"isIS");
TAGS(kItalian, u"itIT", u"itCH");
TAGS(kJapanese, u"jaJP");
TAGS(kKorean, u"koKR");
TAGS(kDutch, u"nlNL", u"nlBE");
TAGS(kNorwegian, u"noNO", u"noNO");
TAGS(kPolish, u"plPL");
TAGS(kPortuguese, u"ptBR", u"ptPT");
TAGS(kRomansh, u"rmCH");
TAGS(kRomanian, u"roRO");
TAGS(kRussian, u"ruRU");
TAGS(kCroatian, u"hrHR", u"srCS", u"srCS", u"hrBA", u"bsBA", u"srBA", u"srBA", u"bsBA");
TAGS(kSlovak, u"skSK");
TAGS(kAlbanian, u"sqAL");
TAGS(kSwedish, u"svSE", u"svFI");
TAGS(kThai, u"thTH");
TAGS(kTurkish, u"trTR");
TAGS(kUrdu, u"urPK", u"urIN");
TAGS(kIndonesian, u"idID");
TAGS(kUkrainian, u"ukUA");
TAGS(kBelarusian, u"beBY");
TAGS(kSlovenian, u"slSI");
TAGS(kEstonian, u"etEE");
TAGS(kLatvian, u"lvLV");
TAGS(kLithuanian, u"ltLT");
TAGS(kTajik, u"tgTJ");
TAGS(kFarsi, u"faIR");
TAGS(kVietnamese, u"viVN");
TAGS(kArmenian, u"hyAM");
TAGS(kAzeri, u"azAZ", u"azAZ");
TAGS(kBasque, u"euES");
TAGS(kMacedonian, u"mkMK");
#undef TAGS

#define ROW(language, tags) {language, tags, int(sizeof(tags) / sizeof(tags[0]))}
const LanguageRow kLanguages[0x30] = {
    {u"NEUT", nullptr, 0},  // the neutral language
    ROW(u"ar", kArabic),
    ROW(u"bg", kBulgarian),
    ROW(u"ca", kCatalan),
    ROW(u"zh", kChinese),
    ROW(u"cs", kCzech),
    ROW(u"da", kDanish),
    ROW(u"de", kGerman),
    ROW(u"el", kGreek),
    ROW(u"en", kEnglish),
    ROW(u"es", kSpanish),
    ROW(u"fi", kFinnish),
    ROW(u"fr", kFrench),
    ROW(u"he", kHebrew),
    ROW(u"hu", kHungarian),
    ROW(u"is", kIcelandic),
    ROW(u"it", kItalian),
    ROW(u"ja", kJapanese),
    ROW(u"ko", kKorean),
    ROW(u"nl", kDutch),
    ROW(u"no", kNorwegian),
    ROW(u"pl", kPolish),
    ROW(u"pt", kPortuguese),
    ROW(u"rm", kRomansh),
    ROW(u"ro", kRomanian),
    ROW(u"ru", kRussian),
    ROW(u"hr", kCroatian),
    ROW(u"sk", kSlovak),
    ROW(u"sq", kAlbanian),
    ROW(u"sv", kSwedish),
    ROW(u"th", kThai),
    ROW(u"tr", kTurkish),
    ROW(u"ur", kUrdu),
    ROW(u"id", kIndonesian),
    ROW(u"uk", kUkrainian),
    ROW(u"be", kBelarusian),
    ROW(u"sl", kSlovenian),
    ROW(u"et", kEstonian),
    ROW(u"lv", kLatvian),
    ROW(u"lt", kLithuanian),
    ROW(u"tg", kTajik),
    ROW(u"fa", kFarsi),
    ROW(u"vi", kVietnamese),
    ROW(u"hy", kArmenian),
    ROW(u"az", kAzeri),
    ROW(u"eu", kBasque),
    {nullptr, nullptr, 0},  // Sorbian: no two-letter code
    ROW(u"mk", kMacedonian),
};
#undef ROW

// The whole suffix, without regard to case: "RU" names the same DLL as "ru".
bool SuffixIsOneOf(LPCWSTR suffix, const char16_t* const* list, int count) {
    for (int i = 0; i < count; ++i)
        if (lstrcmpiW(suffix, list[i]) == 0) return true;
    return false;
}

void SetLanguageFlags(LPCWSTR suffix) {
    static const char16_t* const kDecimalComma[] = {u"ru", u"fr", u"it", u"no", u"sv", u"de", u"tr"};
    static const char16_t* const kRightToLeft[] = {u"ar", u"he"};
    if (SuffixIsOneOf(suffix, kDecimalComma, 7)) gDecimalComma.store(true);
    if (SuffixIsOneOf(suffix, kRightToLeft, 2)) gRightToLeft.store(true);
}

// A file (not a folder) of that path exists.
bool FileExists(LPCWSTR path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void TraceMissing(LPCWSTR what, LPCWSTR path) {
    WCHAR text[UI_PATH_CHARS + 64];
    StringCchPrintfW(text, sizeof(text) / sizeof(text[0]), u"%s not loaded: %s\n", what, path);
    OutputDebugStringW(text);
}

}  // namespace

void LanguageTagFor(LANGID language, LPWSTR buffer) {
    buffer[0] = 0;
    unsigned primary = PRIMARYLANGID(language);
    unsigned sub = SUBLANGID(language);
    if (primary >= sizeof(kLanguages) / sizeof(kLanguages[0])) return;
    const LanguageRow& row = kLanguages[primary];
    if (!row.language) return;
    if (primary == LANG_NEUTRAL || sub == 0 || int(sub) > row.regionCount || !row.regions[sub - 1]) {
        lstrcpynW(buffer, row.language, 5);
        return;
    }
    lstrcpynW(buffer, row.regions[sub - 1], 5);
}

BOOL ReadLanguageSuffix(LPCWSTR driverName, LPWSTR buffer) {
    if (buffer) buffer[0] = 0;
    if (!driverName || !*driverName || !buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WCHAR keyName[UI_PATH_CHARS + 16];
    if (FAILED(StringCchPrintfW(keyName, sizeof(keyName) / sizeof(keyName[0]), u"Software\\%s", driverName))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS) {
        SetLastError(DWORD(status));
        return FALSE;
    }
    // Read the whole value, then keep at most 128 characters of it.
    DWORD type = 0, size = 0;
    status = RegQueryValueExW(key, u"Suffix", nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && size >= sizeof(WCHAR)) {
        DWORD chars = size / sizeof(WCHAR);
        WCHAR* value = new WCHAR[chars + 1];
        status = RegQueryValueExW(key, u"Suffix", nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
        if (status == ERROR_SUCCESS) {
            value[size / sizeof(WCHAR) <= chars ? size / sizeof(WCHAR) : chars] = 0;
            lstrcpynW(buffer, value, UI_SUFFIX_CHARS);
        }
        delete[] value;
    }
    RegCloseKey(key);
    return TRUE;
}

void GetLanguageSuffix(LPCWSTR driverName, LPWSTR buffer) {
    if (!ReadLanguageSuffix(driverName, buffer)) LanguageTagFor(GetUserDefaultLangID(), buffer);
}

int LanguageFileCandidates(LPCWSTR prefix, LPCWSTR suffix, LPCWSTR extension, WCHAR (*names)[UI_PATH_CHARS]) {
    int count = 0;
    auto add = [&](LPCWSTR language) {
        WCHAR name[UI_PATH_CHARS];
        if (FAILED(StringCchPrintfW(name, UI_PATH_CHARS, u"%s%s%s", prefix, language, extension))) return;
        lstrcpynW(names[count++], name, UI_PATH_CHARS);
    };
    add(suffix);
    // A language-and-region tag falls back to the language alone.
    if (lstrlenW(suffix) > 2) {
        WCHAR language[3] = {suffix[0], suffix[1], 0};
        add(language);
    }
    add(u"enus");
    return count;
}

namespace {

// The prefix and suffix of the language DLL's name; sets the language flags.
BOOL LanguageNameParts(LPCWSTR driverName, WCHAR (&prefix)[UI_PATH_CHARS], WCHAR (&suffix)[UI_SUFFIX_CHARS]) {
    suffix[0] = 0;
    if (!GetDriverBaseName(prefix)) return FALSE;
    GetLanguageSuffix(driverName, suffix);
    SetLanguageFlags(suffix);
    return TRUE;
}

}  // namespace

BOOL BuildLanguageDllName(LPCWSTR driverName, LPWSTR buffer) {
    if (!buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    buffer[0] = 0;
    WCHAR prefix[UI_PATH_CHARS];
    WCHAR suffix[UI_SUFFIX_CHARS];
    if (!LanguageNameParts(driverName, prefix, suffix)) return FALSE;
    StringCchPrintfW(buffer, UI_PATH_CHARS, u"%s%s.dll", prefix, suffix);
    return TRUE;
}

BOOL LoadLanguageDll(LPCWSTR driverName, HMODULE* handle) {
    if (!handle) return TRUE;
    *handle = nullptr;
    WCHAR folder[UI_PATH_CHARS];
    WCHAR prefix[UI_PATH_CHARS];
    WCHAR suffix[UI_SUFFIX_CHARS];
    if (!LanguageNameParts(driverName, prefix, suffix) || !GetUiModuleFolder(folder)) return TRUE;
    WCHAR names[kLanguageCandidates][UI_PATH_CHARS];
    int count = LanguageFileCandidates(prefix, suffix, u".dll", names);
    for (int i = 0; i < count; ++i) {
        WCHAR path[UI_PATH_CHARS];
        if (FAILED(StringCchPrintfW(path, UI_PATH_CHARS, u"%s\\%s", folder, names[i]))) continue;
        if (FileExists(path)) {
            if (HMODULE module = LoadLibraryW(path)) {
                *handle = module;
                return TRUE;
            }
        }
        TraceMissing(u"Language DLL", path);
    }
    return TRUE;
}

BOOL IsDecimalCommaLanguage() { return gDecimalComma.load() ? TRUE : FALSE; }
BOOL IsRightToLeftLanguage() { return gRightToLeft.load() ? TRUE : FALSE; }

HMODULE LoadBitmapDll() {
    WCHAR folder[UI_PATH_CHARS];
    WCHAR prefix[UI_PATH_CHARS];
    if (!GetUiModuleFolder(folder) || !GetDriverBaseName(prefix)) return nullptr;
    WCHAR path[UI_PATH_CHARS];
    if (FAILED(StringCchPrintfW(path, UI_PATH_CHARS, u"%s\\%sResBmp.dll", folder, prefix))) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    HMODULE module = LoadLibraryW(path);
    if (!module) {
        DWORD error = GetLastError();
        TraceMissing(u"Bitmap DLL", path);
        SetLastError(error);
    }
    return module;
}

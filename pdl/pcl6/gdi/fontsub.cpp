// The reader of the user's font-substitution list: "Tamkitfont.dat" in
// "Korvan\Tamkit" below the user's application-data folder. Text output
// consults the list to replace a face name by a printer-resident font.
#include <windows.h>
#include <shlobj.h>
#include <strsafe.h>

#include <cstdlib>

#include "pcl6/gdi/fontsub.h"

namespace {

typedef HRESULT(WINAPI* PFN_SHGetFolderPathW)(HWND, int, HANDLE, DWORD, LPWSTR);

constexpr WCHAR kFolder[] = u"\\Korvan\\Tamkit";
constexpr WCHAR kFileName[] = u"Tamkitfont.dat";

// The list's path into `path` (MAX_PATH characters); FALSE when the
// application-data folder cannot be had.
BOOL FontDataPath(LPWSTR path) {
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell) return FALSE;
    auto getFolderPath = reinterpret_cast<PFN_SHGetFolderPathW>(GetProcAddress(shell, "SHGetFolderPathW"));
    if (!getFolderPath) {
        FreeLibrary(shell);
        return FALSE;
    }
    WCHAR folder[MAX_PATH] = {};
    const HRESULT found = getFolderPath(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder);
    FreeLibrary(shell);
    if (FAILED(found) || FAILED(StringCchCatW(folder, MAX_PATH, kFolder))) return FALSE;
    return SUCCEEDED(StringCchPrintfW(path, MAX_PATH, u"%s\\%s", folder, kFileName));
}

// Reads up to `bytes` bytes; the number read.
DWORD ReadUpTo(HANDLE file, void* buffer, DWORD bytes) {
    DWORD read = 0;
    if (!ReadFile(file, buffer, bytes, &read, nullptr)) return 0;
    return read;
}

}  // namespace

BOOL Job_LoadFontData(PDEV*, FontSubstitutionList* list) {
    WCHAR path[MAX_PATH];
    if (!FontDataPath(path)) return FALSE;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    if (list) {
        list->Count = 0;
        list->Entries = nullptr;
        UINT32 count = 0;
        if (ReadUpTo(file, &count, sizeof(count)) != sizeof(count)) count = 0;
        // A count beyond the entries that follow it is cut to those entries.
        DWORD sizeHigh = 0;
        const DWORD size = GetFileSize(file, &sizeHigh);
        const DWORD available = (size == INVALID_FILE_SIZE || sizeHigh || size < sizeof(count))
                                    ? 0
                                    : (size - DWORD(sizeof(count))) / DWORD(sizeof(FontSubstitutionEntry));
        if (count > available) count = available;
        if (count) {
            auto* entries = static_cast<FontSubstitutionEntry*>(std::malloc(count * sizeof(FontSubstitutionEntry)));
            if (entries) {
                const DWORD read = ReadUpTo(file, entries, DWORD(count * sizeof(FontSubstitutionEntry)));
                count = read / DWORD(sizeof(FontSubstitutionEntry));
                // Text output compares the face names as strings.
                for (UINT32 i = 0; i < count; ++i) entries[i].Units[FONTSUB_FACE_CHARS - 1] = 0;
                if (count) {
                    list->Count = count;
                    list->Entries = entries;
                } else {
                    std::free(entries);
                }
            }
        }
    }
    CloseHandle(file);
    return TRUE;
}

void Job_FreeFontData(FontSubstitutionList* list) {
    if (!list) return;
    std::free(list->Entries);
    list->Entries = nullptr;
    list->Count = 0;
}

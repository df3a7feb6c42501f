// The temporary folder and temporary file names.
#include <windows.h>

#include <atomic>
#include <string>

#include "kernel32/filepath.h"
#include "machine/machine.h"
#include "machine/paths.h"

using w32::files::CopyOut;

namespace {

std::u16string Hex(UINT value) {
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    do {
        text.insert(text.begin(), kDigits[value & 15]);
        value >>= 4;
    } while (value);
    return text;
}

// Where the search for a free number starts; it moves on after each use so
// that a series of calls does not test the same names again.
std::atomic<UINT> gNextUnique{0};

}  // namespace

DWORD WINAPI GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
    w32::Machine& machine = w32::Machine::Current();
    std::u16string folder;
    if (!machine.GetEnvironment(u"TMP", folder) && !machine.GetEnvironment(u"TEMP", folder) &&
        !machine.GetEnvironment(u"USERPROFILE", folder))
        folder = machine.WindowsDirectory();
    std::u16string full = w32::NormalizeWindowsPath(folder, machine.WorkingDirectory());
    if (full.empty() || full.back() != u'\\') full += u'\\';
    return CopyOut(full, lpBuffer, nBufferLength);
}

UINT WINAPI GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique, LPWSTR lpTempFileName) {
    if (!lpPathName || !lpTempFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string base(lpPathName);
    if (base.size() > MAX_PATH - 14) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }
    if (base.empty() || (base.back() != u'\\' && base.back() != u'/')) base += u'\\';
    if (lpPrefixString) base += std::u16string_view(lpPrefixString).substr(0, 3);
    auto nameFor = [&](UINT number) { return base + Hex(number) + u".tmp"; };
    auto output = [&](const std::u16string& name) {
        name.copy(lpTempFileName, name.size());
        lpTempFileName[name.size()] = 0;
    };

    uUnique &= 0xFFFF;
    if (uUnique) {
        output(nameFor(uUnique));
        return uUnique;
    }
    UINT start = gNextUnique.load();
    if (start == 0) start = UINT(w32::Machine::Current().TheClock().TickCount());
    for (UINT i = 0; i < 0x10000; ++i) {
        UINT number = (start + i) & 0xFFFF;
        if (number == 0) continue;
        std::u16string name = nameFor(number);
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            gNextUnique.store(number + 1);
            output(name);
            SetLastError(ERROR_SUCCESS);
            return number;
        }
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS) continue;
        // A folder of that name takes the number too.
        if (error == ERROR_ACCESS_DENIED && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        SetLastError(error == ERROR_PATH_NOT_FOUND ? DWORD(ERROR_DIRECTORY) : error);
        return 0;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

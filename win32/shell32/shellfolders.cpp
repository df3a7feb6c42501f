// The shell's special folders: where each CSIDL lies on the machine.
#include <shlobj.h>

#include <string>

#include "machine/machine.h"

namespace {

// The folder of a CSIDL for the machine's user, or false for one not known.
// The product runs as a 64-bit process on a 64-bit machine: its program and
// system folders are the 64-bit ones, and the x86 CSIDLs name the 32-bit
// folders (the same folders on a 32-bit machine).
bool FolderOf(int csidl, std::u16string& path) {
    const w32::Machine& machine = w32::Machine::Current();
    const bool is64Bit = machine.Settings().is64Bit;
    const std::u16string windows = machine.WindowsDirectory();
    const std::u16string profile = machine.UserProfile();
    switch (csidl) {
        case CSIDL_PROGRAMS:
            path = profile + u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
            return true;
        case CSIDL_PERSONAL:
            path = profile + u"\\Documents";
            return true;
        case CSIDL_DESKTOPDIRECTORY:
            path = profile + u"\\Desktop";
            return true;
        case CSIDL_FONTS:
            path = windows + u"\\Fonts";
            return true;
        case CSIDL_COMMON_PROGRAMS:
            path = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
            return true;
        case CSIDL_COMMON_DESKTOPDIRECTORY:
            path = u"C:\\Users\\Public\\Desktop";
            return true;
        case CSIDL_APPDATA:
            path = profile + u"\\AppData\\Roaming";
            return true;
        case CSIDL_LOCAL_APPDATA:
            path = profile + u"\\AppData\\Local";
            return true;
        case CSIDL_COMMON_APPDATA:
            path = u"C:\\ProgramData";
            return true;
        case CSIDL_WINDOWS:
            path = windows;
            return true;
        case CSIDL_SYSTEM:
            path = machine.SystemDirectory();
            return true;
        case CSIDL_SYSTEMX86:
            path = is64Bit ? windows + u"\\SysWOW64" : machine.SystemDirectory();
            return true;
        case CSIDL_PROGRAM_FILES:
            path = u"C:\\Program Files";
            return true;
        case CSIDL_PROGRAM_FILESX86:
            path = is64Bit ? u"C:\\Program Files (x86)" : u"C:\\Program Files";
            return true;
        default:
            return false;
    }
}

}  // namespace

HRESULT WINAPI SHGetFolderPathW(HWND, int csidl, HANDLE, DWORD, LPWSTR pszPath) {
    if (!pszPath) return E_INVALIDARG;
    pszPath[0] = 0;
    std::u16string path;
    if (!FolderOf(csidl & ~CSIDL_FLAG_MASK, path)) return E_INVALIDARG;
    if (csidl & CSIDL_FLAG_CREATE) {
        int error = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
        if (error != ERROR_SUCCESS && error != ERROR_ALREADY_EXISTS) return HRESULT_FROM_WIN32(DWORD(error));
    } else if (!(csidl & CSIDL_FLAG_DONT_VERIFY)) {
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    if (path.size() >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    path.copy(pszPath, path.size());
    pszPath[path.size()] = 0;
    return S_OK;
}

BOOL WINAPI SHGetSpecialFolderPathW(HWND hwndOwner, LPWSTR lpszPath, int csidl, BOOL fCreate) {
    int flags = fCreate ? CSIDL_FLAG_CREATE : 0;
    return SHGetFolderPathW(hwndOwner, csidl | flags, nullptr, SHGFP_TYPE_CURRENT, lpszPath) == S_OK ? TRUE : FALSE;
}

// The shell's special folders and folder creation.
#pragma once
#include "windows.h"

#define SHSTDAPI extern "C" __attribute__((visibility("default"))) HRESULT
#define SHSTDAPI_(type) extern "C" __attribute__((visibility("default"))) type

// Folders SHGetFolderPathW knows.
#define CSIDL_PROGRAMS 0x0002                 // the user's Start menu programs
#define CSIDL_PERSONAL 0x0005                 // the user's Documents
#define CSIDL_MYDOCUMENTS CSIDL_PERSONAL
#define CSIDL_DESKTOPDIRECTORY 0x0010         // the user's desktop folder
#define CSIDL_FONTS 0x0014
#define CSIDL_COMMON_PROGRAMS 0x0017          // the Start menu programs of all users
#define CSIDL_COMMON_DESKTOPDIRECTORY 0x0019  // the public desktop
#define CSIDL_APPDATA 0x001A                  // AppData\Roaming
#define CSIDL_LOCAL_APPDATA 0x001C            // AppData\Local
#define CSIDL_COMMON_APPDATA 0x0023           // ProgramData
#define CSIDL_WINDOWS 0x0024
#define CSIDL_SYSTEM 0x0025
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_SYSTEMX86 0x0029                // the 32-bit system folder
#define CSIDL_PROGRAM_FILESX86 0x002A         // the 32-bit program folder

// Flags added to a CSIDL.
#define CSIDL_FLAG_CREATE 0x8000       // create the folder when it is missing
#define CSIDL_FLAG_DONT_VERIFY 0x4000  // give the path without checking that it exists
#define CSIDL_FLAG_DONT_UNEXPAND 0x2000
#define CSIDL_FLAG_NO_ALIAS 0x1000
#define CSIDL_FLAG_PER_USER_INIT 0x0800
#define CSIDL_FLAG_MASK 0xFF00

#define SHGFP_TYPE_CURRENT 0
#define SHGFP_TYPE_DEFAULT 1

// Writes the folder's path into pszPath (MAX_PATH characters). Returns S_OK;
// E_INVALIDARG for a CSIDL it does not know; HRESULT_FROM_WIN32(
// ERROR_FILE_NOT_FOUND) with an empty path when the folder is missing and
// neither CSIDL_FLAG_CREATE nor CSIDL_FLAG_DONT_VERIFY is given; the error of
// the creation, as an HRESULT, when creating fails.
SHSTDAPI SHGetFolderPathW(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPWSTR pszPath);
SHSTDAPI_(BOOL) SHGetSpecialFolderPathW(HWND hwndOwner, LPWSTR lpszPath, int csidl, BOOL fCreate);

// Creates a folder and any missing folders above it. Returns ERROR_SUCCESS,
// ERROR_ALREADY_EXISTS when the folder is there already (ERROR_FILE_EXISTS
// when a file has its name), ERROR_BAD_PATHNAME for a relative path, or the
// error of the creation that failed; the last error is set to the same.
SHSTDAPI_(int) SHCreateDirectoryExW(HWND hwnd, LPCWSTR pszPath, const SECURITY_ATTRIBUTES* psa);
SHSTDAPI_(int) SHCreateDirectory(HWND hwnd, LPCWSTR pszPath);

#define SHGetFolderPath SHGetFolderPathW
#define SHGetSpecialFolderPath SHGetSpecialFolderPathW
#define SHCreateDirectoryEx SHCreateDirectoryExW

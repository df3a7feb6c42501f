// The user interface's resource DLLs: the driver prefix taken from this
// module's file name, the language suffix, the language and bitmap DLLs with
// their fallbacks, the string loader with its placeholder, and the help file.
#pragma once
#include <windows.h>

// Characters of the buffers these routines fill (paths, names, the prefix).
#define UI_PATH_CHARS 260
// Characters of a language suffix buffer: 128 and the terminator.
#define UI_SUFFIX_CHARS 129

// Records this module (when the DLL is attached; tests may set it).
void SetUiModule(HMODULE module);

// The folder of this module, without a trailing separator, in a buffer of
// 260 characters. FALSE (buffer empty) when the module is not known or its
// path does not fit.
BOOL GetUiModuleFolder(LPWSTR buffer);
// The driver prefix (the module's file name up to the first "ui", compared
// case-sensitively; without a "ui", the file name without its extension), in
// a buffer of 260 characters. The module path and the prefix also go to the
// debugger output.
BOOL GetDriverBaseName(LPWSTR buffer);
// TRUE when HKLM\Software\<driver name> exists; the buffer (129 characters)
// then holds its "Suffix" value (cut to 128 characters), or stays empty.
BOOL ReadLanguageSuffix(LPCWSTR driverName, LPWSTR buffer);
// "<prefix><suffix>.dll" in a buffer of 260 characters; sets the language
// flags. FALSE (buffer empty) when the prefix cannot be found.
BOOL BuildLanguageDllName(LPCWSTR driverName, LPWSTR buffer);
// Loads the first language DLL that exists beside this module; the handle is
// null when none does. Always TRUE.
BOOL LoadLanguageDll(LPCWSTR driverName, HMODULE* handle);
// The process-wide flags set when a language DLL name is built.
BOOL IsDecimalCommaLanguage();
BOOL IsRightToLeftLanguage();
// The bitmap DLL ("<prefix>ResBmp.dll" beside this module), or null.
HMODULE LoadBitmapDll();

// The help file for the driver, in a buffer of 260 characters: the first of
// the candidates that exists, else the last candidate.
void GetHelpFilePath(LPCWSTR driverName, LPWSTR buffer);
// Opens the help file: topic 0 shows the file, any other opens that context id.
void ShowHelpTopic(HWND window, DWORD topic, LPCWSTR driverName);

// The string `id` of the language DLL; the placeholder "id:%d missing!" when
// it is missing and the buffer holds twice its length plus 2; else empty and 0.
int LoadUiString(HMODULE languageDll, UINT id, LPWSTR buffer, int size);

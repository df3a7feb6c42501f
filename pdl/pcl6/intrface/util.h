// Utility routines that both driver DLLs build from one source: counted
// global memory, the operating-system version class, the default paper by
// country, the calling program; and the user-interface DLL's helpers for
// debugger output, printer information, paths and text conversion.
#pragma once
#include <windows.h>

// A zero-filled block of `size` bytes that records its size before and after
// the caller's bytes; the counter, when given, grows by size + 8.
LPVOID Util_GlobalAlloc(LONG* byteCounter, DWORD size);
// Frees a block of Util_GlobalAlloc (and lowers the counter) only when its two
// recorded sizes agree; anything else is left alone.
void Util_GlobalFree(LONG* byteCounter, LPVOID block);
// The caller's size of a live block of Util_GlobalAlloc; 0 for anything else.
DWORD Util_GlobalSize(LPCVOID block);
#ifdef TAM_RENDERING_BUILD
// For tests of the rendering code's handling of exhausted memory: the
// `nth` Util_GlobalAlloc call from now (1: the next one) fails with
// ERROR_NOT_ENOUGH_MEMORY, once; 0 cancels. Each module's build has its own.
void Util_FailGlobalAlloc(DWORD nth);
#endif

// 1 for Windows 6.0, 2 for 6.1 and later 6.x, 0 otherwise.
int GetWindowsVersionClass();
// FALSE in the Letter countries (1, 2, 50-59, 500-599) or when the country
// cannot be read.
BOOL IsA4Country();
// Whether the calling program's executable (or, with a window, the title of
// that window's top-level window) has this name, without regard to case.
// The rendering DLL compares 8-bit text.
#ifdef TAM_RENDERING_BUILD
BOOL IsCallingApplication(LPCSTR name, HWND window);
#else
BOOL IsCallingApplication(LPCWSTR name, HWND window);
#endif

// printf-style 8-bit trace to the debugger output; FALSE without a format or
// when the text had to be cut.
BOOL DebugMessage(LPCSTR format, ...);

// The printer's GetPrinterW information at `level` in a new block that the
// caller frees with Util_GlobalFree(nullptr, block); null on failure.
LPBYTE Registry_GetHL(HANDLE printer, DWORD level);
// The printer's GetPrinterDriverW information at `level` (default
// environment), freed the same way; null on failure.
LPBYTE GetPrinterDriverInfo(HANDLE printer, DWORD level);

// Cuts a path after its last "\" or "/" (and that separator too when asked);
// returns the remaining length. A name without a separator has no folder
// part and becomes empty.
int TrimToFolder(LPWSTR path, BOOL dropSeparator);
// Converts to the OEM code page into a buffer of `bufferSize` bytes, always
// NUL-terminated (cut between characters when it does not fit).
void WideToOem(LPSTR buffer, int bufferSize, LPCWSTR text);

// The process's pending temporary file: a file to delete when a thread
// detaches or a property-sheet call ends. Recording refuses a path that does
// not fit the record (ERROR_FILENAME_EXCED_RANGE) rather than cut it.
BOOL SetPendingTempFile(LPCWSTR path);
// Deletes the pending temporary file, when one is recorded, and clears the record.
void DeletePendingTempFile();
// Clears the pending temporary-file record (a new thread attaches).
void ClearPendingTempFile();

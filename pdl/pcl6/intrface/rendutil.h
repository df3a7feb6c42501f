// Small routines of the rendering DLL: string resources, temporary file
// names, the user's name, parts of paths, rectangle intersection, text
// conversion, resized and chained memory blocks, and debug texts.
#pragma once
#include <windows.h>

// The rendering DLL's debug print. The release build writes nothing; a build
// with TAM_RENDER_DEBUG_PRINT sends the text to the debugger output.
void Dbg_Print(LPCSTR format, ...);
// "File:%s\nLine:%d\n" to the debug print.
void Dbg_FileLine(LPCSTR file, int line);

// One name of a flag or value table for the debug texts; a table ends with
// an entry whose name is null.
struct DbgName {
    DWORD value;
    LPCSTR name;
};
// "0x%X_" and the names of the flags set in `value`, joined by " | ", with
// " ..." when bits without a name remain; cut to `capacity` bytes with its
// NUL. Returns the length written.
int Dbg_FlagNames(DWORD value, const DbgName* table, LPSTR out, int capacity);
// "%s_%X" with the value's name, or "0x%X(%ld):?????" when it has none.
int Dbg_ValueName(DWORD value, const DbgName* table, LPSTR out, int capacity);

// String `id` of `module` into `buffer` (`capacity` characters with the
// NUL). A missing module or an empty string gives "id:<id> missing!" when
// that fits, else an empty buffer. Returns the length of the text.
int Util_LoadString(HINSTANCE module, UINT id, LPWSTR buffer, int capacity);
// A new temporary file in the temporary folder, named from `prefix`, into
// `name` (MAX_PATH characters). The unique number used, or 0.
UINT Util_GetTempFileName(LPCWSTR prefix, LPWSTR name);
// The user's logon name, at most 31 characters, into `name` (32 characters);
// an empty name, and FALSE, when it cannot be read.
BOOL Util_GetUserName(LPWSTR name);
// Removes everything after the last "\" or "/" of `path` (the separator too
// with `dropSeparator`); a path without a separator stays. Returns the length.
int Util_CutFileName(LPWSTR path, BOOL dropSeparator);
// The part of `path` after its last "/", ":" or "\".
LPCWSTR Util_FilePart(LPCWSTR path);

// A rectangle of four 16-bit values.
#pragma pack(push, 1)
struct Rect16 {
    INT16 left;
    INT16 top;
    INT16 right;
    INT16 bottom;
};
#pragma pack(pop)
static_assert(sizeof(Rect16) == 8);

// The intersection of `a` and `b` into `out`: TRUE when it is not empty,
// else `out` is all zero. A rectangle whose right is left of its left (or
// bottom above its top) is empty; one of zero width or height is not.
BOOL Util_IntersectRect(RECTL* out, const RECTL* a, const RECTL* b);
BOOL Util_IntersectRect16(Rect16* out, const Rect16* a, const Rect16* b);

// Converts `wide` to the ANSI code page into `out` of `capacity` bytes, cut
// between characters and always NUL-terminated. Returns the bytes written
// before the NUL; 0 with ERROR_INVALID_PARAMETER when there is no room.
int Util_WideToAnsi(LPSTR out, LPCWSTR wide, int capacity);

// A counted block of `size` bytes holding the first bytes of `block` (as
// many as both have); `block`, a counted block or null, is freed. Null, with
// `block` kept, when the new block cannot be had or `block` is not a counted
// block.
LPVOID Util_ReAlloc(LONG* byteCounter, LPVOID block, DWORD size);

// Blocks chained for freeing all at once: `*chain` holds the newest block,
// each block links to the one before. Returns the caller's `size` zeroed
// bytes, or null.
LPVOID Util_AllocChainBlock(LPVOID* chain, DWORD size);
// Frees every block of the chain and empties it.
void Util_FreeBlockChain(LPVOID* chain);

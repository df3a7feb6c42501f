// The settings file: a tree of named objects kept in one file of text
// headers with raw binary payloads. An object is written as
//   <object:NAME,type:TYPE,len:N,childobjs:C>   (a line feed follows when N < 1)
// then its N data bytes, then its C children, then "<endobj>" and a
// line feed. The file holds one object, the root "cfgobj" of type "null".
//
// The reader refuses a damaged file as a whole (a header over 255 bytes or
// one that does not parse, a negative count, data that runs past the end of
// the file, nesting deeper than any settings file holds, a second root, a file
// that ends inside an object); it never hands out part of a tree. Child counts
// are taken from the children actually present, on reading and on writing.
// A save writes a temporary file beside the settings file and renames it over
// the old one, so a failed save leaves the old file as it was.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

// Bytes of a name or type with its terminator.
#define CFG_TEXT_BYTES 128
// Characters of a name converted back to wide text, with its terminator.
#define CFG_NAME_CHARS 129
// Longest header the format holds, "<" and ">" included.
#define CFG_MAX_HEADER 255
// Deepest nesting the reader accepts; the settings file uses three levels.
#define CFG_MAX_DEPTH 32

struct CfgObject {
    char name[CFG_TEXT_BYTES] = {};  // UTF-8
    char type[CFG_TEXT_BYTES] = {};  // "null", "string" or "binary"
    INT32 childobjs = 0;             // equals children.size()
    INT32 len = 0;                   // bytes of data; 0 for none
    // len + 32 bytes, zero beyond the data, so text data is always followed
    // by zeros; empty when len is 0.
    std::vector<BYTE> data;
    CfgObject* parent = nullptr;
    std::vector<std::unique_ptr<CfgObject>> children;  // in insertion order, which the file keeps
};

struct CfgFile {
    WCHAR path[MAX_PATH] = {};
    std::unique_ptr<CfgObject> root;
};

// Reads the file at `path`; a missing file is first created with the default
// content. None for an empty path, a file that cannot be created or opened,
// or memory exhaustion; for a damaged file none with the last error
// ERROR_INVALID_DATA.
CfgFile* CfgFile_Load(LPCWSTR path);
// Rewrites the whole file from the tree, atomically. FALSE (the old file kept)
// when the temporary file cannot be written or renamed, or when a header
// would exceed 255 bytes.
BOOL CfgFile_Save(const CfgFile* file);
// Writes a new file holding the root and its "version" object ("1.001").
BOOL CfgFile_CreateDefault(LPCWSTR path);
void CfgFile_Free(CfgFile* file);

// Appends a child named `name` (converted to UTF-8) of type `type` (cut to
// 127 bytes) holding a copy of the `len` bytes of `data`. None when the name
// does not fit 128 bytes in UTF-8 or the length is negative.
CfgObject* CfgObject_AddChild(CfgObject* parent, LPCWSTR name, LPCSTR type, const void* data, INT32 len);
// With `direct`, the first direct child of that name; without it, the first
// object of that name in a depth-first, pre-order walk that starts with
// `object` itself. Names compare byte for byte.
CfgObject* CfgObject_FindChild(CfgObject* object, LPCWSTR name, BOOL direct);
// Finds the object among the direct children (`direct`) or anywhere below
// `object`, detaches it from its parent and frees it with its subtree.
BOOL CfgObject_RemoveChild(CfgObject* object, LPCWSTR name, BOOL direct);
// The names of the first `count` children, in order, as wide text. The number
// of names written.
INT32 CfgObject_ListChildNames(const CfgObject* object, WCHAR (*names)[CFG_NAME_CHARS], INT32 count);

// The font cache: the fonts and glyphs downloaded into the printer during a
// job, with their identifiers and printer character codes; the reader of the
// engine's TrueType font files; and the downloads of font headers and glyphs.
//
// Fonts are numbered from a first identifier (100 in every job) upward; the
// next identifier grows by one per registered font and shrinks by one only
// when the highest font is removed, so a removed font in the middle leaves a
// gap. A font's printer name is its face name prefixed with "<id-100>TT" (a
// downloaded TrueType font) or "<id-100>BM" (a bitmap font).
//
// Glyphs are kept in blocks of 512 entries. A TrueType font owns one list
// block: its glyphs get the printer codes 1 to 511 in the order they are
// added. A bitmap font owns hash blocks: a glyph's key is its character code,
// which is also its printer code.
#pragma once
#include <windows.h>
#include <winddi.h>

struct PDEV;

// One bit per font identifier above the first.
#define FONTCACHE_ID_BITS_BYTES 560
#define FONTCACHE_MAX_IDS (FONTCACHE_ID_BITS_BYTES * 8)
// The cache holds at most this many fonts less one: registering the 300th
// removes the oldest from the cache and the printer.
#define FONTCACHE_MAX_FONTS 300
#define FONTCACHE_NAME_BYTES 32       // a font's name: 31 characters and NUL
#define FONTCACHE_USER_BYTES 100      // the caller's data kept with a font
#define FONTCACHE_BLOCK_ENTRIES 512
#define FONTCACHE_LIST_CAPACITY 511   // glyphs of one TrueType font (codes 1..511)

// GlyphTableBlock.Kind, taken from TextState.TrueTypeText when a font takes the block.
#define GLYPHBLOCK_HASH 0   // bitmap fonts
#define GLYPHBLOCK_LIST 1   // downloaded TrueType fonts

// One downloaded font.
struct FontCacheEntry {
    char Name[FONTCACHE_NAME_BYTES];
    BYTE UserData[FONTCACHE_USER_BYTES];
    UINT32 Key1;
    UINT32 Key2;
    UINT32 Key3;
    UINT16 Id;
    BYTE Kind;                 // GLYPHBLOCK_* of the font, from the TrueType-text flag at registration
    UINT32 GlyphCount;
    UINT32 Bytes;              // glyph bytes downloaded into the font
    UINT32 Hits;               // glyph lookups that found the glyph held
    FontCacheEntry* Next;
};

// A block of glyph entries of one font (Owner 0: free).
struct GlyphTableBlock {
    UINT16 Entries[FONTCACHE_BLOCK_ENTRIES][2];  // list: code, key; hash: key, 1 when taken
    UINT16 Owner;
    UINT16 Count;
    BYTE Kind;                 // GLYPHBLOCK_*
    GlyphTableBlock* Next;
};

// The PDEV's font cache (part of the job state). The font records and glyph
// blocks belong to the job.
struct FontCacheState {
    UINT16 FirstId;                 // 100 at the start of every job
    UINT16 NextId;
    BYTE IdInUse[FONTCACHE_ID_BITS_BYTES];
    FontCacheEntry* Fonts;          // in registration order
    FontCacheEntry* LastFound;
    GlyphTableBlock* GlyphBlocks;
    LPVOID PendingFont;             // a font whose download waits for the next string
    INT32 MemoryInUse;              // bytes of records and blocks (counted allocator)
    INT32 MemoryPeak;
    INT32 GlyphHits;
    INT32 GlyphsAdded;
    INT32 FontsRemoved;
    INT32 BytesDownloaded;          // glyph bytes of the fonts in the cache
    INT32 BytesRemoved;             // glyph bytes of the fonts removed
    UINT16 CollectionIndex;         // the font of a TrueType collection (1-based; 0: by CollectionFlags)
    BYTE CollectionFlags;           // bit 0: index 0 selects the first font, else the last
};

// --- The cache ---------------------------------------------------------------------------

// Frees every font record and glyph block and clears the identifiers in use
// (the identifiers themselves are left to FontCach_SetFirstId).
void FontCach_Reset(PDEV* pdev);
// First and next identifier = id.
void FontCach_SetFirstId(PDEV* pdev, UINT16 id);
// The identifier the next registered font gets.
UINT16 FontCach_NextId(PDEV* pdev);
// Registers a font under `name` (cut to 31 characters) and its three keys
// with `userLength` (at most 100) bytes of the caller's data, and gives its
// identifier. When the cache then holds 300 fonts, the oldest is removed and
// its RemoveFont written. FALSE (an internal check) when the user data is
// too long, memory is short or no identifier is left.
BOOL FontCach_SetCharDown(PDEV* pdev, LPCSTR name, UINT32 key1, UINT32 key2, UINT32 key3, UINT16* outId,
                          const void* userData, DWORD userLength);
// Finds a font by its three keys: its identifier, its glyph count and up to
// `userLength` (cut to 100) bytes of its data. FALSE when none.
BOOL FontCach_FindFont(PDEV* pdev, UINT32 key1, UINT32 key2, UINT32 key3, UINT16* outId, void* userData,
                       DWORD userLength, DWORD* outGlyphCount);
// Whether the font holds the glyph of `key` (a hit is counted).
BOOL FontCach_IsCharDown(PDEV* pdev, UINT16 id, UINT16 key);
// Records a glyph of `byteCount` bytes downloaded into font `id`. The result
// carries byteCount in its high 32 bits; the low 32 bits hold the printer
// code (1..511) in a TrueType font, and the cache's running byte total in a
// bitmap font. 0 when the font is unknown, memory is short or a TrueType
// font already holds 511 glyphs.
ULONGLONG FontCach_AddChar(PDEV* pdev, UINT16 id, UINT16 key, DWORD byteCount);
// The printer code of a glyph of a TrueType font; FALSE when not held.
BOOL FontCach_GetCharCode(PDEV* pdev, UINT16 id, UINT16 key, UINT16* outCode);
// The glyph count of a font; 0 for an unknown identifier.
DWORD FontCach_GetCharCount(PDEV* pdev, UINT16 id);
// Removes a font from the cache (its blocks become free): gives its third key
// and its bytes. FALSE for an unknown identifier. Writes nothing.
BOOL FontCach_RemoveFont(PDEV* pdev, UINT16 id, UINT32* outKey3, DWORD* outBytes);
// The font to remove: the oldest; with `scan`, the first later font that
// downloaded more bytes than the oldest. Its identifier and name (32 bytes).
BOOL FontCach_PickVictim(PDEV* pdev, UINT16* outId, LPSTR outName, BOOL scan);
// Removes every font from the cache and writes its RemoveFont.
void FontCach_RemoveAll(PDEV* pdev);

// Pxl_WriteFontName flags.
#define FONTNAME_BITMAP 0x1   // with FONTNAME_PREFIX: "%dBM", else "%dTT"
#define FONTNAME_PREFIX 0x2   // prefix the name with the font's number less 100

// FontName as a ubyte array with a uint16 length (C8 C1 length, the bytes,
// F8 A8). With FONTNAME_PREFIX the name is that of a downloaded font: its
// number less the first identifier (100) and "BM" or "TT" come first. The
// name is cut to 31 bytes. Returns the length of the name written, 0 when
// writing failed or the name is missing.
DWORD Pxl_WriteFontName(PDEV* pdev, LPCSTR name, int number, DWORD flags);
// FontName and RemoveFont (0x55).
BOOL Pxl_RemoveFont(PDEV* pdev, LPCSTR name, int number, DWORD flags);

// --- TrueType font files ------------------------------------------------------------------

// A table tag as the big-endian number of its four characters.
#define TT_TAG(a, b, c, d) ((DWORD(BYTE(a)) << 24) | (DWORD(BYTE(b)) << 16) | (DWORD(BYTE(c)) << 8) | DWORD(BYTE(d)))

// Reads from table `tag` of the font file of `fileSize` bytes: with `out`,
// up to `length` bytes from `offset` inside the table, and answers the bytes
// copied; without `out`, answers the table's length. Tag 0 is the font's
// 12-byte offset table. In a collection ("ttcf") the font is chosen by
// `fontIndex` (1-based; 100 or more stands for index - 100; 0 selects the
// first font when bit 0 of `collectionFlags` is set, else the last). 0 for a
// missing file, font or table, a tag outside the tables the driver reads,
// and anything that lies outside the file.
DWORD TrueType_ReadTable(const BYTE* file, DWORD fileSize, DWORD tag, DWORD offset, void* out, DWORD length,
                         BYTE collectionFlags, UINT16 fontIndex);
// Sets the PDEV's collection index for the font object's file: the 1-based
// position of the collection font whose names begin with the face name, or 0.
void TrueType_FindCollectionIndex(PDEV* pdev, FONTOBJ* fontobj);
// The glyph index of `character` through the font's segment character map
// (format 4 of platform 3, or of platform 0); 0 when it maps to nothing or the
// map cannot be read. `faceName` picks the symbol fonts, whose characters
// take the map's own high byte.
UINT16 TrueType_GlyphIndex(const BYTE* file, DWORD fileSize, BYTE collectionFlags, UINT16 fontIndex,
                           LPCSTR faceName, WCHAR character);

// --- Downloads ----------------------------------------------------------------------------

// The header of a bitmap font "<number-100>BM<name>" at 600 dpi times
// `resolutionStep` (1 or 2).
BOOL Pxl_DownloadBitmapFontHeader(PDEV* pdev, LPCSTR name, UINT16 number, int resolutionStep);

// The header of a downloaded TrueType font "<number-100>TT<name>", with the
// PDEV's collection index (set TrueType_FindCollectionIndex first). Every
// table it sends is read before anything is written; FALSE, with nothing
// written, when the font file cannot give them (the caller prints the string
// as bitmaps). Gives the font's index-to-location format and glyph count,
// which the caller keeps as the font's user data for TrueType_DownloadString.
BOOL Pxl_DownloadTrueTypeHeader(PDEV* pdev, FONTOBJ* fontobj, UINT16* outLocFormat, UINT16* outGlyphCount,
                                LPCSTR name, UINT16 number);

// TrueType_DownloadString results.
enum TrueTypeDownload {
    TTDL_DONE = 0,        // every glyph of the string is in the font
    TTDL_FONT_FULL = 1,   // the font, which already held glyphs, has no room for the
                          // string's new ones: nothing was sent; remove the font and
                          // download the string into a fresh one
    TTDL_FAILED = 2,      // the glyphs cannot be sent as outlines (a damaged or
                          // unreadable font file, or more distinct glyphs than a
                          // fresh font holds): print the string as bitmaps
};
// Downloads the glyphs of the string that TrueType font `id` (named `name`,
// with the `locFormat` and `glyphCount` of its header download) lacks: each
// gets its printer code from the cache, which Pxl_WriteTextData finds under
// the same key (the character; for a string of glyph indexes the index plus
// 0x8000, the index taken from the glyph handle when the string comes
// without characters; an index of 0x8000 or more has no key). A
// string is only ever downloaded whole: when its new glyphs do not fit into
// the font, nothing is sent, and a font that held no glyphs before the call
// is never reported full (TTDL_FAILED instead), so the caller's retry in a
// fresh font always ends. `outDownloaded` (may be null) receives the number
// of glyphs sent.
int TrueType_DownloadString(PDEV* pdev, FONTOBJ* fontobj, STROBJ* strobj, UINT16 id, LPCSTR name, UINT16 locFormat,
                            UINT16 glyphCount, DWORD* outDownloaded);
// One glyph (and the components of a composite glyph, with code 0xFFFF) as
// a ReadChar with printer code `code`; TRUE when it was sent whole. The
// glyph was checked against the file before anything is written. `outEmpty`
// (may be null) tells whether the glyph had no outline.
BOOL TrueType_DownloadGlyph(PDEV* pdev, const BYTE* file, DWORD fileSize, UINT16 code, UINT16 glyphIndex,
                            UINT16 locFormat, UINT16 glyphCount, BOOL* outEmpty);

// Downloads the bitmaps of the string's glyphs that bitmap font `id` lacks,
// each under the Tx_CharCode of its character (of its glyph handle for a
// string of glyph indexes that comes without characters), which is also the
// code TextData carries. A glyph the engine cannot draw is recorded with no
// bytes and not sent. Always TRUE; `outCount` (may be null) receives the
// glyphs recorded in this call (the caller selects the font again when it
// is not 0).
BOOL Pxl_DownloadBitmapGlyphs(PDEV* pdev, LPCSTR name, UINT16 id, FONTOBJ* fontobj, STROBJ* strobj, DWORD* outCount);

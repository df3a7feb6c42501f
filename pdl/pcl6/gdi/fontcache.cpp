// The font cache: the fonts the printer holds, by identifier, and the glyphs
// of each (fontcache.h has the model), with the FontName and RemoveFont
// writers that name them in the job.
#include <windows.h>

#include <cstring>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

namespace {

// The hash probe: a bitmap glyph of key k lies in one of these slots after
// k mod 512, each step added to the one before.
constexpr UINT16 kProbeSteps[4] = {79, 37, 17, 7};

FontCacheState& Cache(PDEV* pdev) { return pdev->Job.FontCache; }

LONG* MemoryCounter(FontCacheState& cache) { return reinterpret_cast<LONG*>(&cache.MemoryInUse); }

void NotePeak(FontCacheState& cache) {
    if (cache.MemoryInUse > cache.MemoryPeak) cache.MemoryPeak = cache.MemoryInUse;
}

// The bit of an identifier; false (no bit) outside the range.
bool IdBit(const FontCacheState& cache, UINT16 id, int* byte, BYTE* mask) {
    if (id < cache.FirstId) return false;
    const int index = id - cache.FirstId;
    if (index >= FONTCACHE_MAX_IDS) return false;
    *byte = index / 8;
    *mask = BYTE(1u << (index % 8));
    return true;
}

bool IdInUse(const FontCacheState& cache, UINT16 id) {
    int byte = 0;
    BYTE mask = 0;
    return IdBit(cache, id, &byte, &mask) && (cache.IdInUse[byte] & mask);
}

void SetIdBit(FontCacheState& cache, UINT16 id, bool inUse) {
    int byte = 0;
    BYTE mask = 0;
    if (!IdBit(cache, id, &byte, &mask)) return;
    if (inUse)
        cache.IdInUse[byte] |= mask;
    else
        cache.IdInUse[byte] &= BYTE(~mask);
}

FontCacheEntry* FindById(FontCacheState& cache, UINT16 id) {
    if (cache.LastFound && cache.LastFound->Id == id) return cache.LastFound;
    for (FontCacheEntry* font = cache.Fonts; font; font = font->Next) {
        if (font->Id == id) return font;
    }
    return nullptr;
}

// The font of a checked identifier: an identifier out of range or not in
// use is an internal check.
FontCacheEntry* CheckedFont(PDEV* pdev, UINT16 id, int line) {
    FontCacheState& cache = Cache(pdev);
    FontCacheEntry* font = IdInUse(cache, id) ? FindById(cache, id) : nullptr;
    if (!font) Dbg_Assert(pdev, "fontcache", line);
    return font;
}

// An identifier for a new font: the next one, or, once the identifiers of
// the bit set are used up, the lowest one left free by a removed font.
bool TakeId(FontCacheState& cache, UINT16* id) {
    const int next = cache.NextId - cache.FirstId;
    if (cache.NextId >= cache.FirstId && next < FONTCACHE_MAX_IDS && cache.NextId < 0xFFFF) {
        *id = cache.NextId++;
        return true;
    }
    for (int index = 0; index < FONTCACHE_MAX_IDS && cache.FirstId + index < 0xFFFF; ++index) {
        if (!(cache.IdInUse[index / 8] & (1u << (index % 8)))) {
            *id = UINT16(cache.FirstId + index);
            return true;
        }
    }
    return false;
}

int ProbeSlot(UINT16 key, int probe) {
    int slot = key % FONTCACHE_BLOCK_ENTRIES;
    for (int i = 0; i <= probe; ++i) slot = (slot + kProbeSteps[i]) % FONTCACHE_BLOCK_ENTRIES;
    return slot;
}

bool BlockHolds(const GlyphTableBlock& block, UINT16 key) {
    if (block.Kind == GLYPHBLOCK_LIST) {
        for (int i = 0; i < block.Count; ++i) {
            if (block.Entries[i][1] == key) return true;
        }
        return false;
    }
    for (int probe = 0; probe < 4; ++probe) {
        const UINT16* slot = block.Entries[ProbeSlot(key, probe)];
        if (slot[1] && slot[0] == key) return true;
    }
    return false;
}

// A free block for font `id`, or a new one at the end of the list.
GlyphTableBlock* TakeBlock(PDEV* pdev, const FontCacheEntry& font) {
    const UINT16 id = font.Id;
    FontCacheState& cache = Cache(pdev);
    GlyphTableBlock** link = &cache.GlyphBlocks;
    GlyphTableBlock* block = cache.GlyphBlocks;
    for (; block; link = &block->Next, block = block->Next) {
        if (block->Owner == 0) break;
    }
    if (!block) {
        block = static_cast<GlyphTableBlock*>(Util_GlobalAlloc(MemoryCounter(cache), sizeof(GlyphTableBlock)));
        if (!block) {
            Dbg_Print("Out of memory in FontCach!");
            Dbg_Assert(pdev, "fontcache", __LINE__);
            return nullptr;
        }
        NotePeak(cache);
        *link = block;
    }
    block->Owner = id;
    block->Count = 0;
    block->Kind = font.Kind;
    return block;
}

void EmptyBlocksOf(FontCacheState& cache, UINT16 id) {
    for (GlyphTableBlock* block = cache.GlyphBlocks; block; block = block->Next) {
        if (block->Owner != id) continue;
        std::memset(block->Entries, 0, sizeof(block->Entries));
        block->Count = 0;
        block->Owner = 0;
    }
}

void CopyName(LPSTR out, LPCSTR name) {
    size_t length = 0;
    if (name) {
        while (length < FONTCACHE_NAME_BYTES - 1 && name[length]) ++length;
        std::memcpy(out, name, length);
    }
    out[length] = 0;
}

DWORD RemoveFlags(const FontCacheEntry& font) {
    return font.Kind == GLYPHBLOCK_LIST ? FONTNAME_PREFIX : FONTNAME_PREFIX | FONTNAME_BITMAP;
}

}  // namespace

void FontCach_Reset(PDEV* pdev) {
    if (!pdev) return;
    FontCacheState& cache = Cache(pdev);
    for (FontCacheEntry* font = cache.Fonts; font;) {
        FontCacheEntry* next = font->Next;
        Util_GlobalFree(MemoryCounter(cache), font);
        font = next;
    }
    for (GlyphTableBlock* block = cache.GlyphBlocks; block;) {
        GlyphTableBlock* next = block->Next;
        Util_GlobalFree(MemoryCounter(cache), block);
        block = next;
    }
    cache.Fonts = nullptr;
    cache.LastFound = nullptr;
    cache.GlyphBlocks = nullptr;
    std::memset(cache.IdInUse, 0, sizeof(cache.IdInUse));
}

void FontCach_SetFirstId(PDEV* pdev, UINT16 id) {
    if (!pdev) return;
    Cache(pdev).FirstId = id;
    Cache(pdev).NextId = id;
}

UINT16 FontCach_NextId(PDEV* pdev) { return pdev ? Cache(pdev).NextId : 0; }

BOOL FontCach_SetCharDown(PDEV* pdev, LPCSTR name, UINT32 key1, UINT32 key2, UINT32 key3, UINT16* outId,
                          const void* userData, DWORD userLength) {
    if (!pdev) return FALSE;
    FontCacheState& cache = Cache(pdev);
    if (userLength > FONTCACHE_USER_BYTES) {
        Dbg_Print("User data too much:%d!", int(userLength));
        Dbg_Assert(pdev, "fontcache", __LINE__);
        return FALSE;
    }
    UINT16 id = 0;
    if (!TakeId(cache, &id)) {
        Dbg_Assert(pdev, "fontcache", __LINE__);
        return FALSE;
    }
    auto* font = static_cast<FontCacheEntry*>(Util_GlobalAlloc(MemoryCounter(cache), sizeof(FontCacheEntry)));
    if (!font) {
        if (id + 1 == cache.NextId) --cache.NextId;
        Dbg_Print("Memory not enouth in FontCach_SetCharDown\n");
        Dbg_Assert(pdev, "fontcache", __LINE__);
        return FALSE;
    }
    NotePeak(cache);
    font->Id = id;
    font->Key1 = key1;
    font->Key2 = key2;
    font->Key3 = key3;
    font->Kind = pdev->Job.Text.TrueTypeText ? GLYPHBLOCK_LIST : GLYPHBLOCK_HASH;
    CopyName(font->Name, name);
    if (userData && userLength) std::memcpy(font->UserData, userData, userLength);

    int count = 1;
    FontCacheEntry** link = &cache.Fonts;
    for (; *link; link = &(*link)->Next) ++count;
    *link = font;
    cache.LastFound = font;
    SetIdBit(cache, id, true);
    if (outId) *outId = id;

    if (count >= FONTCACHE_MAX_FONTS) {
        UINT16 victim = 0;
        char victimName[FONTCACHE_NAME_BYTES];
        if (FontCach_PickVictim(pdev, &victim, victimName, FALSE)) {
            const DWORD flags = RemoveFlags(*FindById(cache, victim));
            if (FontCach_RemoveFont(pdev, victim, nullptr, nullptr)) Pxl_RemoveFont(pdev, victimName, victim, flags);
        }
    }
    return TRUE;
}

BOOL FontCach_FindFont(PDEV* pdev, UINT32 key1, UINT32 key2, UINT32 key3, UINT16* outId, void* userData,
                       DWORD userLength, DWORD* outGlyphCount) {
    if (!pdev) return FALSE;
    FontCacheState& cache = Cache(pdev);
    auto matches = [&](const FontCacheEntry* font) {
        return font && font->Key1 == key1 && font->Key2 == key2 && font->Key3 == key3;
    };
    FontCacheEntry* found = matches(cache.LastFound) ? cache.LastFound : nullptr;
    for (FontCacheEntry* font = cache.Fonts; !found && font; font = font->Next) {
        if (matches(font)) found = font;
    }
    if (!found) return FALSE;
    cache.LastFound = found;
    if (outId) *outId = found->Id;
    if (outGlyphCount) *outGlyphCount = IdInUse(cache, found->Id) ? found->GlyphCount : 0;
    if (userData && userLength) {
        if (userLength > FONTCACHE_USER_BYTES) {
            Dbg_Assert(pdev, "fontcache", __LINE__);
            userLength = FONTCACHE_USER_BYTES;
        }
        std::memcpy(userData, found->UserData, userLength);
    }
    return TRUE;
}

BOOL FontCach_IsCharDown(PDEV* pdev, UINT16 id, UINT16 key) {
    if (!pdev) return FALSE;
    FontCacheEntry* font = CheckedFont(pdev, id, __LINE__);
    if (!font) return FALSE;
    for (const GlyphTableBlock* block = Cache(pdev).GlyphBlocks; block; block = block->Next) {
        if (block->Owner == id && BlockHolds(*block, key)) {
            ++Cache(pdev).GlyphHits;
            ++font->Hits;
            return TRUE;
        }
    }
    return FALSE;
}

ULONGLONG FontCach_AddChar(PDEV* pdev, UINT16 id, UINT16 key, DWORD byteCount) {
    if (!pdev) return 0;
    FontCacheState& cache = Cache(pdev);
    FontCacheEntry* font = CheckedFont(pdev, id, __LINE__);
    if (!font) return 0;

    // The font's own blocks first: a TrueType font's codes run through its
    // one list block; a bitmap glyph goes to the first of the font's hash
    // blocks with a free slot on its probe.
    GlyphTableBlock* placedIn = nullptr;
    for (GlyphTableBlock* block = cache.GlyphBlocks; block && !placedIn; block = block->Next) {
        if (block->Owner != id) continue;
        if (block->Kind == GLYPHBLOCK_LIST) {
            if (block->Count >= FONTCACHE_LIST_CAPACITY) return 0;
            block->Entries[block->Count][0] = UINT16(block->Count + 1);
            block->Entries[block->Count][1] = key;
            ++block->Count;
            placedIn = block;
            break;
        }
        for (int probe = 0; probe < 4; ++probe) {
            UINT16* slot = block->Entries[ProbeSlot(key, probe)];
            if (slot[1]) continue;
            slot[0] = key;
            slot[1] = 1;
            ++block->Count;
            placedIn = block;
            break;
        }
    }
    if (!placedIn) {
        GlyphTableBlock* block = TakeBlock(pdev, *font);
        if (!block) return 0;
        if (block->Kind == GLYPHBLOCK_LIST) {
            block->Entries[0][0] = 1;
            block->Entries[0][1] = key;
        } else {
            UINT16* slot = block->Entries[ProbeSlot(key, 0)];
            slot[0] = key;
            slot[1] = 1;
        }
        block->Count = 1;
        placedIn = block;
    }

    ++font->GlyphCount;
    font->Bytes += byteCount;
    ++cache.GlyphsAdded;
    cache.BytesDownloaded += INT32(byteCount);
    const DWORD low = placedIn->Kind == GLYPHBLOCK_LIST ? DWORD(placedIn->Count) : DWORD(cache.BytesDownloaded);
    return (ULONGLONG(byteCount) << 32) | low;
}

BOOL FontCach_GetCharCode(PDEV* pdev, UINT16 id, UINT16 key, UINT16* outCode) {
    if (!pdev) return FALSE;
    for (const GlyphTableBlock* block = Cache(pdev).GlyphBlocks; block; block = block->Next) {
        if (block->Owner != id || block->Kind != GLYPHBLOCK_LIST) continue;
        for (int i = 0; i < block->Count; ++i) {
            if (block->Entries[i][1] == key) {
                if (outCode) *outCode = block->Entries[i][0];
                return TRUE;
            }
        }
    }
    return FALSE;
}

DWORD FontCach_GetCharCount(PDEV* pdev, UINT16 id) {
    if (!pdev) return 0;
    const FontCacheEntry* font = CheckedFont(pdev, id, __LINE__);
    return font ? font->GlyphCount : 0;
}

BOOL FontCach_RemoveFont(PDEV* pdev, UINT16 id, UINT32* outKey3, DWORD* outBytes) {
    if (!pdev) return FALSE;
    FontCacheState& cache = Cache(pdev);
    FontCacheEntry* font = CheckedFont(pdev, id, __LINE__);
    if (!font) return FALSE;
    for (FontCacheEntry** link = &cache.Fonts; *link; link = &(*link)->Next) {
        if (*link == font) {
            *link = font->Next;
            break;
        }
    }
    if (cache.LastFound == font) cache.LastFound = nullptr;
    EmptyBlocksOf(cache, id);
    SetIdBit(cache, id, false);
    if (id + 1 == cache.NextId) --cache.NextId;
    if (outKey3) *outKey3 = font->Key3;
    if (outBytes) *outBytes = font->Bytes;
    cache.BytesDownloaded -= INT32(font->Bytes);
    cache.BytesRemoved += INT32(font->Bytes);
    ++cache.FontsRemoved;
    Util_GlobalFree(MemoryCounter(cache), font);
    return TRUE;
}

BOOL FontCach_PickVictim(PDEV* pdev, UINT16* outId, LPSTR outName, BOOL scan) {
    if (!pdev) return FALSE;
    const FontCacheEntry* victim = Cache(pdev).Fonts;
    if (!victim) return FALSE;
    if (scan) {
        for (const FontCacheEntry* font = victim->Next; font; font = font->Next) {
            if (font->Bytes > victim->Bytes) {
                victim = font;
                break;
            }
        }
    }
    if (outId) *outId = victim->Id;
    if (outName) CopyName(outName, victim->Name);
    return TRUE;
}

void FontCach_RemoveAll(PDEV* pdev) {
    if (!pdev) return;
    UINT16 id = 0;
    char name[FONTCACHE_NAME_BYTES];
    while (FontCach_PickVictim(pdev, &id, name, TRUE)) {
        const FontCacheEntry* font = FindById(Cache(pdev), id);
        const DWORD flags = font ? RemoveFlags(*font) : FONTNAME_PREFIX;
        if (!FontCach_RemoveFont(pdev, id, nullptr, nullptr)) break;
        Pxl_RemoveFont(pdev, name, id, flags);
    }
}

BOOL Pxl_RemoveFont(PDEV* pdev, LPCSTR name, int number, DWORD flags) {
    Pxl_WriteFontName(pdev, name, number, flags);
    return Pxl_WriteOperator(pdev, PXL_OP_REMOVE_FONT);
}

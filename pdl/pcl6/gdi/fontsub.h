// The user's font-substitution list, read from "Tamkitfont.dat" when a
// device context is enabled: a 32-bit entry count and that many 1026-byte
// entries.
#pragma once
#include <windows.h>

#define FONTSUB_ENTRY_CHARS 513
#define FONTSUB_FACE_CHARS 256
// Unit 256 of an entry: the printer-resident font (1..93) that replaces the face; 0 for none.
#define FONTSUB_RESIDENT_INDEX FONTSUB_FACE_CHARS

// One entry as the file holds it: the face name in units 0..255, the
// resident font's index in unit 256, then reserved units.
#pragma pack(push, 1)
struct FontSubstitutionEntry {
    WCHAR Units[FONTSUB_ENTRY_CHARS];
};
#pragma pack(pop)
static_assert(sizeof(FontSubstitutionEntry) == 1026);

// The list in the PDEV; empty (no block) when the file is missing or holds
// no entry. The entries are one block from the C heap.
struct FontSubstitutionList {
    UINT32 Count;
    FontSubstitutionEntry* Entries;
};

struct PDEV;

// Reads the user's list into `list` (which the caller has emptied). FALSE
// when the file cannot be found or opened; the list then stays empty. A
// count larger than the entries the file holds is cut to those entries, and
// every face name ends inside its 256 units.
BOOL Job_LoadFontData(PDEV* pdev, FontSubstitutionList* list);
// Frees the entries and empties the list.
void Job_FreeFontData(FontSubstitutionList* list);

// Choosing the printer font of a string.
//
// A TrueType, OpenType or raster face is sent to the printer as a TrueType
// outline font: the font header once, then the glyphs each string needs
// that the font lacks. A turned string or a vertical face is sent as a
// bitmap font instead (the engine renders its glyphs turned), and so is any
// string whose outlines cannot be sent, or every string when the settings
// ask for text as bitmaps. The font cache remembers the fonts and glyphs
// the printer holds.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/nt/textfont.h"

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/fontquery.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/text.h"

namespace {

// Symbol set of downloaded fonts.
constexpr UINT16 kDownloadedSymbolSet = 2;
// Glyphs a cached font may hold before it is sent anew: a TrueType font's
// codes end at 511, and a bitmap font is started afresh after 1000.
constexpr DWORD kTrueTypeFontFull = 512;
constexpr DWORD kBitmapFontFull = 1000;
constexpr UINT32 kKeyBits = 1u << 30;

struct TrueTypeUserData {
    UINT16 LocFormat;
    UINT16 GlyphCount;
};
static_assert(sizeof(TrueTypeUserData) == 4);

// What selection decided: the font and whether SetFont must be written.
struct Choice {
    UINT16 number = 0;
    DWORD nameFlags = 0;
    UINT16 symbolSet = kDownloadedSymbolSet;
    bool reselect = false;
};


// The string's first character code: its first character, or its first
// glyph handle for glyph indexes.
UINT32 FirstCode(STROBJ* string) {
    if (string->pwszOrg && !(string->flAccel & SO_GLYPHINDEX_TEXTOUT)) return string->pwszOrg[0];
    if (string->pgp) return UINT32(string->pgp[0].hg);
    return 0xFFFF;
}

void RemoveCachedFont(PDEV* pdev, LPCSTR face, UINT16 id, DWORD nameFlags) {
    UINT32 key3 = 0;
    DWORD bytes = 0;
    FontCach_RemoveFont(pdev, id, &key3, &bytes);
    Pxl_RemoveFont(pdev, face, id, nameFlags);
}

// The string in a downloaded TrueType font: false when it must go as
// bitmaps instead.
bool SelectTrueType(PDEV* pdev, FONTOBJ* font, STROBJ* string, LPCSTR face, Choice& choice) {
    TextState& text = pdev->Job.Text;
    const UINT32 key3 = ((Util_NameValue(face) + 10u * font->iUniq) % kKeyBits) | kKeyBits;
    // Strings of glyph indexes keep their glyphs in a font of their own: in
    // the cache a glyph index is keyed as the index plus 0x8000, which is
    // also the key of a character from U+8000 on, so one font holding both
    // kinds would print one for the other.
    const UINT32 key2 = (string->flAccel & SO_GLYPHINDEX_TEXTOUT) ? 1 : 0;
    TrueType_FindCollectionIndex(pdev, font);
    // A string fills at most one fresh font: a found font that has no room
    // is replaced once, and a fresh font that has none sends the string as
    // bitmaps.
    for (int attempt = 0; attempt < 2; ++attempt) {
        UINT16 id = 0;
        TrueTypeUserData user{};
        DWORD glyphs = 0;
        bool found = FontCach_FindFont(pdev, 0, key2, key3, &id, &user, sizeof(user), &glyphs);
        if (found && glyphs >= kTrueTypeFontFull) {
            RemoveCachedFont(pdev, face, id, FONTNAME_PREFIX);
            choice.reselect = true;
            found = false;
        }
        if (!found) {
            const UINT16 next = FontCach_NextId(pdev);
            if (!Pxl_DownloadTrueTypeHeader(pdev, font, &user.LocFormat, &user.GlyphCount, face, next)) return false;
            text.TrueTypeText = 1;
            if (!FontCach_SetCharDown(pdev, face, 0, key2, key3, &id, &user, sizeof(user))) {
                // The printer holds a font the cache does not know: take it
                // out again.
                Pxl_RemoveFont(pdev, face, next, FONTNAME_PREFIX);
                return false;
            }
            choice.reselect = true;
        }
        text.TrueTypeText = 1;
        text.TrueTypeFontId = id;
        DWORD sent = 0;
        const int result = TrueType_DownloadString(pdev, font, string, id, face, user.LocFormat, user.GlyphCount, &sent);
        if (result == TTDL_DONE) {
            choice.number = id;
            choice.nameFlags = FONTNAME_PREFIX;
            if (sent) choice.reselect = true;
            return true;
        }
        if (result != TTDL_FONT_FULL || !found) break;
        RemoveCachedFont(pdev, face, id, FONTNAME_PREFIX);
        choice.reselect = true;
    }
    text.TrueTypeText = 0;
    return false;
}

// The string in a downloaded bitmap font of its size and escapement.
bool SelectBitmap(PDEV* pdev, FONTOBJ* font, STROBJ* string, LPCSTR face, LONG height, Choice& choice) {
    TextState& text = pdev->Job.Text;
    text.TrueTypeText = 0;
    const UINT32 key3 = ((font->iUniq + 10u * Util_NameValue(face)) % kKeyBits) | 0x80000000u;
    UINT16 id = 0;
    DWORD glyphs = 0;
    bool found = FontCach_FindFont(pdev, UINT32(height), UINT32(text.Escapement), key3, &id, nullptr, 0, &glyphs);
    if (found && glyphs > kBitmapFontFull) {
        RemoveCachedFont(pdev, face, id, FONTNAME_PREFIX | FONTNAME_BITMAP);
        choice.reselect = true;
        found = false;
    }
    if (!found) {
        if (!FontCach_SetCharDown(pdev, face, UINT32(height), UINT32(text.Escapement), key3, &id, nullptr, 0))
            return false;
        Pxl_DownloadBitmapFontHeader(pdev, face, id, Settings_ResolutionStep(pdev) + 1);
        Tx_SetFont(pdev, face, id, height, kDownloadedSymbolSet, FONTNAME_PREFIX | FONTNAME_BITMAP);
    }
    DWORD recorded = 0;
    Pxl_DownloadBitmapGlyphs(pdev, face, id, font, string, &recorded);
    choice.number = id;
    choice.nameFlags = FONTNAME_PREFIX | FONTNAME_BITMAP;
    if (recorded) choice.reselect = true;
    return true;
}

}  // namespace

BOOL Txt_SelectFont(PDEV* pdev, FONTOBJ* font, STROBJ* string, BOOL forceBitmap) {
    if (!pdev || !font || !string) return FALSE;
    TextState& text = pdev->Job.Text;
    if (font->flFontType & FO_TYPE_DEVICE) {
        // The engine is told of no device fonts: none can come here.
        Dbg_Assert(pdev, "textout", __LINE__);
        return FALSE;
    }
    if (!(font->flFontType & (FO_TYPE_RASTER | FO_TYPE_TRUETYPE | FO_TYPE_OPENTYPE))) return FALSE;

    char face[32];
    Font_GetName(face, font);
    LONG width = 0, height = 0;
    Font_GetCharSize(pdev, font, &width, &height);
    if (height <= 0) return FALSE;
    const int angle = Font_GetCharAngle(pdev, font);
    text.Escapement = angle < 0 ? 360 : angle;

    Choice choice;
    char residentName[17];
    UINT16 symbolSet = 0;
    const int resident = FirstCode(string) < 255 ? Txt_SubstituteFont(pdev, font, residentName, &symbolSet) : 0;
    bool bitmap = false;
    if (resident) {
        text.TrueTypeText = 0;
        text.TextFlags |= TEXTF_RESIDENT;
        choice.number = UINT16(resident + 10000);
        choice.symbolSet = symbolSet;
    } else {
        const bool turned = text.Escapement != 0 && text.Escapement != 360;
        bitmap = forceBitmap || Job_Settings(pdev).priv.SoftFontBitmap || turned || face[0] == '@' ||
                 !SelectTrueType(pdev, font, string, face, choice);
        if (bitmap && !SelectBitmap(pdev, font, string, face, height, choice)) return FALSE;
        text.TextFlags |= bitmap ? TEXTF_BITMAP_FONT : TEXTF_TRUETYPE;
    }

    Font_SetSimulation(pdev, font, bitmap);
    Gx_SetCharScale(pdev, double(width) / double(height), bitmap);
    Gx_SetCharAngle(pdev, bitmap ? 0 : text.Escapement);
    if (choice.reselect || choice.number != text.FontNumber || height != text.CharSize) {
        if (!Tx_SetFont(pdev, resident ? residentName : face, choice.number, height, choice.symbolSet,
                        choice.nameFlags))
            return FALSE;
    }
    return !Job_IsOutputError(pdev);
}

BOOL Txt_SetClip(PDEV* pdev, CLIPOBJ* clip, const RECTL* bounds) { return Gx_SetClipObj(pdev, clip, bounds); }

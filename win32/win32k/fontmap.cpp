// Mapping a logical font onto an installed face, weighing the request as GDI
// does: the charset before the name, the name before pitch and family, and
// within a family italic before weight.
//
// The name is lfFaceName up to its first NUL, never past the field. A
// leading '@' asks for vertical writing of the face named after it.
//
// A name finds the installed family of that name, compared without regard
// to case; else a FontSubstitutes entry of the machine: "Name,charset" for
// the charset asked for, then "Name". A substitute may carry a charset
// ("Arial CYR,204" = "Liberation Sans,204"), which is then the one asked
// for. A substitute whose family is not installed counts as no name.
//
// The charset outweighs the name: a named family that does not cover the
// charset asked for gives way to a family that does (Arial asked with
// SHIFTJIS_CHARSET draws with the CJK collection). DEFAULT_CHARSET asks for
// none, and the named family stands.
//
// Without a usable name, the kind of face the request describes is chosen:
// FIXED_PITCH or FF_MODERN a fixed-pitch face, FF_ROMAN a serif one, anything
// else (FF_SWISS, FF_DONTCARE, and FF_SCRIPT and FF_DECORATIVE, for which no
// face is installed) a sans serif one; when the request leaves pitch and
// family open, a named family that gave way lends its own kind (Courier New
// asked in a CJK charset falls back to a fixed-pitch CJK face). The standard
// families of that kind are tried first, Liberation (whose metrics match the
// faces programs lay text out for), then DejaVu, then the CJK collection;
// then any installed family that covers the charset and fits pitch and kind
// best. For DEFAULT_CHARSET the charset of the machine's ANSI code page is
// preferred, so that a CJK machine gets a CJK face. When no family covers the
// charset, the named family, or else the first of the kind, draws the text in
// its own charset.
//
// Symbol fonts (a (3,0) cmap) cover SYMBOL_CHARSET and nothing else: a
// SYMBOL_CHARSET request goes to an installed symbol font, and a symbol font
// is never chosen for other text unless named. The standard fonts hold no
// symbol font, so a SYMBOL_CHARSET request without one installed draws with
// the named or fallback face in its own charset, as Windows does when its
// symbol fonts are missing.
#include "win32k/fontmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <tuple>
#include <vector>

#include "machine/fonts.h"
#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/registry.h"
#include "win32k/fonttable.h"

namespace w32 {

namespace {

// One FontSubstitutes entry; a charset of -1 is none given.
struct Substitute {
    std::u16string name;
    int charset = -1;
    std::u16string family;
    int familyCharset = -1;
};

// "Name,charset" split into name and charset; a text whose tail after the last
// comma is no number from 0 to 255 is a name alone.
void SplitCharset(std::u16string_view text, std::u16string& name, int& charset) {
    name.assign(text);
    charset = -1;
    const size_t comma = text.rfind(u',');
    if (comma == std::u16string_view::npos || comma + 1 == text.size() || text.size() - comma > 4) return;
    int value = 0;
    for (size_t i = comma + 1; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return;
        value = value * 10 + (text[i] - u'0');
    }
    if (value > 255) return;
    name.assign(text.substr(0, comma));
    charset = value;
}

std::mutex gSubstitutesLock;
uint64_t gSubstitutesGeneration = 0;   // under gSubstitutesLock
std::vector<Substitute> gSubstitutes;  // under gSubstitutesLock

// Reads the FontSubstitutes entries of the current machine. Call with
// gSubstitutesLock held.
void ReadSubstitutes() {
    gSubstitutes.clear();
    std::shared_ptr<Registry> registry = Registry::Current();
    if (!registry || !registry->IsLoaded()) return;
    std::lock_guard registryLock(registry->Mutex());
    RegistryKeyPtr key = registry->Find(registry->LocalMachine(), kFontSubstitutesKey);
    for (size_t i = 0; key && i < key->ValueCount(); ++i) {
        const RegistryValue* value = key->ValueAt(i);
        if (!value || value->type != REG_SZ) continue;
        std::u16string target(value->data.size() / 2, u'\0');
        if (!target.empty()) std::memcpy(target.data(), value->data.data(), target.size() * 2);
        target.resize(std::min(target.size(), target.find(u'\0')));
        Substitute entry;
        SplitCharset(value->name, entry.name, entry.charset);
        SplitCharset(target, entry.family, entry.familyCharset);
        if (!entry.name.empty() && !entry.family.empty()) gSubstitutes.push_back(std::move(entry));
    }
}

// The substitute for a name asked in a charset: "Name,charset" first, then
// "Name". The entries are read again once the current machine has changed.
std::optional<Substitute> FindSubstitute(std::u16string_view name, BYTE charset) {
    const uint64_t generation = FontMachineGeneration();
    std::lock_guard lock(gSubstitutesLock);
    if (gSubstitutesGeneration != generation) {
        gSubstitutesGeneration = generation;
        ReadSubstitutes();
    }
    for (int wanted : {int(charset), -1}) {
        for (const Substitute& entry : gSubstitutes)
            if (entry.charset == wanted && NamesEqual(entry.name, name)) return entry;
    }
    return std::nullopt;
}

// The charset of the machine's ANSI code page.
BYTE SystemCharset() {
    struct CodePageCharset {
        UINT codePage;
        BYTE charset;
    };
    static constexpr CodePageCharset kCharsets[] = {
        {1250, EASTEUROPE_CHARSET}, {1251, RUSSIAN_CHARSET}, {1253, GREEK_CHARSET},     {1254, TURKISH_CHARSET},
        {1255, HEBREW_CHARSET},     {1256, ARABIC_CHARSET},  {1257, BALTIC_CHARSET},    {1258, VIETNAMESE_CHARSET},
        {874, THAI_CHARSET},        {932, SHIFTJIS_CHARSET}, {936, GB2312_CHARSET},     {949, HANGUL_CHARSET},
        {950, CHINESEBIG5_CHARSET}, {1361, JOHAB_CHARSET},
    };
    const UINT codePage = Machine::Current().Settings().ansiCodePage;
    for (const auto& entry : kCharsets)
        if (entry.codePage == codePage) return entry.charset;
    return ANSI_CHARSET;
}

bool Covers(const FontFaceInfo& info, BYTE charset) {
    if (charset == DEFAULT_CHARSET) return true;
    if (info.symbol) return charset == SYMBOL_CHARSET;
    switch (charset) {
        case SYMBOL_CHARSET: return false;
        case OEM_CHARSET: return (info.codePageRange[1] & (1u << 31)) != 0;  // code page 437
        case MAC_CHARSET: return (info.codePageRange[0] & (1u << 29)) != 0;  // Macintosh Roman
        default: return info.CoversCharset(charset);
    }
}

bool IsSymbolFamily(const InstalledFamily& family) {
    return std::all_of(family.faces.begin(), family.faces.end(),
                       [](const InstalledFace& face) { return face.Info().symbol; });
}

// Whether a fallback may use the family for text in this charset: a
// family covering it, and for DEFAULT_CHARSET any family but a symbol one.
bool Serves(const InstalledFamily& family, BYTE charset) {
    if (charset == DEFAULT_CHARSET) return !IsSymbolFamily(family);
    return std::any_of(family.faces.begin(), family.faces.end(),
                       [&](const InstalledFace& face) { return Covers(face.Info(), charset); });
}

enum class Kind { Sans, Serif, Fixed };

bool IsFixed(const FontFaceInfo& info) { return info.fixedPitch || info.familyClass == FF_MODERN; }

Kind KindOf(BYTE pitchAndFamily, const InstalledFamily* named) {
    const BYTE pitch = pitchAndFamily & 0x03, family = pitchAndFamily & 0xF0;
    if (pitch == FIXED_PITCH || family == FF_MODERN) return Kind::Fixed;
    if (family == FF_ROMAN) return Kind::Serif;
    if (family != FF_DONTCARE || pitch == VARIABLE_PITCH || !named) return Kind::Sans;
    const FontFaceInfo& info = named->faces.front().Info();
    if (IsFixed(info)) return Kind::Fixed;
    return info.familyClass == FF_ROMAN ? Kind::Serif : Kind::Sans;
}

std::span<const char16_t* const> PreferredFamilies(Kind kind) {
    static constexpr const char16_t* kSans[] = {u"Liberation Sans", u"DejaVu Sans", u"WenQuanYi Micro Hei"};
    static constexpr const char16_t* kSerif[] = {u"Liberation Serif", u"DejaVu Serif", u"WenQuanYi Micro Hei"};
    static constexpr const char16_t* kFixed[] = {u"Liberation Mono", u"DejaVu Sans Mono",
                                                 u"WenQuanYi Micro Hei Mono"};
    switch (kind) {
        case Kind::Serif: return kSerif;
        case Kind::Fixed: return kFixed;
        default: return kSans;
    }
}

const InstalledFamily* FindIn(const std::vector<InstalledFamily>& families, std::u16string_view name) {
    for (const InstalledFamily& family : families)
        if (NamesEqual(family.name, name)) return &family;
    return nullptr;
}

// A family of this kind for text in this charset; null when none covers it.
const InstalledFamily* Fallback(const std::vector<InstalledFamily>& families, Kind kind, BYTE charset) {
    for (const char16_t* name : PreferredFamilies(kind)) {
        const InstalledFamily* family = FindIn(families, name);
        if (family && Serves(*family, charset)) return family;
    }
    // Any other: a mismatch of pitch weighs more than one of serifs.
    const InstalledFamily* best = nullptr;
    int bestMisfit = 0;
    for (const InstalledFamily& family : families) {
        if (!Serves(family, charset)) continue;
        const FontFaceInfo& info = family.faces.front().Info();
        int misfit = IsFixed(info) != (kind == Kind::Fixed) ? 2 : 0;
        if (kind != Kind::Fixed && (info.familyClass == FF_ROMAN) != (kind == Kind::Serif)) misfit += 1;
        if (!best || misfit < bestMisfit) best = &family, bestMisfit = misfit;
    }
    return best;
}

// The last resort when no family covers the charset: the first of the kind,
// else the one that fits the kind best and is no symbol font, else any.
const InstalledFamily* AnyFamily(const std::vector<InstalledFamily>& families, Kind kind) {
    if (const InstalledFamily* family = Fallback(families, kind, DEFAULT_CHARSET)) return family;
    return families.empty() ? nullptr : &families.front();
}

// The face of the family nearest the request: among the faces covering the
// charset (all, when none does), italic or upright as asked, then the
// nearest weight; of two equally near, the lighter for a request below
// FW_SEMIBOLD and the heavier from there on.
const InstalledFace& NearestFace(const InstalledFamily& family, bool italic, LONG weight, BYTE charset) {
    const bool anyCovers = std::any_of(family.faces.begin(), family.faces.end(),
                                       [&](const InstalledFace& face) { return Covers(face.Info(), charset); });
    const InstalledFace* best = nullptr;
    auto rank = [&](const InstalledFace& face) {
        const FontFaceInfo& info = face.Info();
        const LONG distance = std::abs(LONG(info.weight) - weight);
        const bool tieLoses = weight < FW_SEMIBOLD ? LONG(info.weight) > weight : LONG(info.weight) < weight;
        return std::make_tuple(anyCovers && !Covers(info, charset), info.italic != italic, distance, tieLoses);
    };
    for (const InstalledFace& face : family.faces)
        if (!best || rank(face) < rank(*best)) best = &face;
    return *best;
}

// The charset a face reports when the one asked for is not one of its own (or
// none was asked for): the machine's, when the face covers it, else its first.
BYTE OwnCharset(const FontFaceInfo& info, BYTE system) {
    if (info.symbol) return SYMBOL_CHARSET;
    if (Covers(info, system)) return system;
    const std::vector<BYTE> charsets = info.Charsets();
    return charsets.empty() ? BYTE(ANSI_CHARSET) : charsets.front();
}

}  // namespace

ChosenFace MapFont(const LOGFONTW& logFont) {
    ChosenFace chosen;
    size_t length = 0;
    while (length < LF_FACESIZE && logFont.lfFaceName[length]) ++length;
    std::u16string_view name(logFont.lfFaceName, length);
    if (!name.empty() && name.front() == u'@') {
        chosen.vertical = true;
        name.remove_prefix(1);
    }
    BYTE charset = logFont.lfCharSet;
    const BYTE system = SystemCharset();

    // The family the name finds, and the name GetTextFaceW answers for it:
    // the family's own spelling, or, for a substitute, the name the program
    // asked for (a program that asked for Arial reads Arial back).
    std::optional<InstalledFamily> named;
    std::u16string namedFace;
    if (!name.empty()) {
        named = FindInstalledFamily(name);
        if (named) {
            namedFace = named->name;
        } else if (std::optional<Substitute> substitute = FindSubstitute(name, charset)) {
            named = FindInstalledFamily(substitute->family);
            if (named) {
                namedFace.assign(name);
                if (substitute->familyCharset >= 0) charset = BYTE(substitute->familyCharset);
            }
        }
    }

    std::vector<InstalledFamily> families;
    const InstalledFamily* family = nullptr;
    if (named && (charset == DEFAULT_CHARSET || Serves(*named, charset))) {
        family = &*named;
    } else {
        families = EnumerateInstalledFamilies();
        const Kind kind = KindOf(logFont.lfPitchAndFamily, named ? &*named : nullptr);
        if (charset == DEFAULT_CHARSET) family = Fallback(families, kind, system);
        if (!family) family = Fallback(families, kind, charset);
        if (!family && named) family = &*named;
        if (!family) family = AnyFamily(families, kind);
    }
    if (!family || family->faces.empty()) return chosen;

    LONG weight = logFont.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(logFont.lfWeight, 1000);
    const bool italic = logFont.lfItalic != 0;
    const InstalledFace& face = NearestFace(*family, italic, weight, charset);
    const FontFaceInfo& info = face.Info();
    chosen.file = face.file;
    chosen.face = face.face;
    // GDI emboldens a face lighter than semibold when the weight asked for is
    // semibold or more and two weight classes (200) or more above the face's:
    // FW_BOLD on a regular face, not FW_SEMIBOLD on a medium one.
    chosen.simulateBold = weight >= FW_SEMIBOLD && info.weight < FW_SEMIBOLD && weight - LONG(info.weight) >= 200;
    chosen.simulateItalic = italic && !info.italic;
    chosen.charset = charset != DEFAULT_CHARSET && Covers(info, charset) ? charset : OwnCharset(info, system);
    chosen.faceName = named && family == &*named ? namedFace : family->name;
    if (chosen.vertical) chosen.faceName.insert(0, 1, u'@');
    return chosen;
}

}  // namespace w32

// IFIMETRICS from a face's tables, read from the file's bytes with every
// offset checked against the table's size.
#include "win32k/ifimetrics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <string>

#include "win32k/fonttables.h"

namespace w32 {

namespace {

// The pairs of the kern table's horizontal format 0 subtables.
ULONG KerningPairCount(const SfntTable& kern) {
    if (!kern.Holds(0, 4) || kern.U16(0) != 0) return 0;
    ULONG pairs = 0;
    size_t at = 4;
    for (uint16_t table = 0, tables = kern.U16(2); table < tables && kern.Holds(0, at + 6); ++table) {
        const uint16_t length = kern.U16(at + 2), coverage = kern.U16(at + 4);
        const bool horizontal = (coverage & 1) != 0, minimum = (coverage & 2) != 0, crossStream = (coverage & 4) != 0;
        if ((coverage >> 8) == 0 && horizontal && !minimum && !crossStream && kern.Holds(0, at + 14)) {
            const size_t room = (kern.Bytes().size() - at - 14) / 6;
            pairs += ULONG(std::min<size_t>(kern.U16(at + 6), room));
        }
        if (length < 6) break;
        at += length;
    }
    return pairs;
}

FWORD Word(int v) { return FWORD(std::clamp(v, -32768, 32767)); }

// A symbol face's codes sit at 0xF000 in its cmap; the interface counts them from 0.
WCHAR Character(ULONG code, bool symbol) {
    if (symbol && code >= 0xF000 && code <= 0xF0FF) return WCHAR(code - 0xF000);
    return WCHAR(std::min<ULONG>(code, 0xFFFF));
}

BYTE AsByte(WCHAR ch) { return ch > 0xFF ? 0xFF : BYTE(ch); }

}  // namespace

IfiMetrics::IfiMetrics(const ChosenFace& chosen) {
    IFIMETRICS ifi{};
    if (!chosen.file || chosen.face >= chosen.file->Faces().size()) {
        ifi.cjThis = sizeof(IFIMETRICS);
        words_.resize(sizeof(IFIMETRICS) / 8);
        std::memcpy(words_.data(), &ifi, sizeof(ifi));
        return;
    }
    const FontFile& file = *chosen.file;
    const FontFaceInfo& info = chosen.Info();
    const SfntTable head(file.Table(chosen.face, FontTag("head")));
    const SfntTable hhea(file.Table(chosen.face, FontTag("hhea")));
    const SfntTable os2(file.Table(chosen.face, FontTag("OS/2")));
    const SfntTable post(file.Table(chosen.face, FontTag("post")));
    const uint16_t os2Version = os2.Holds(0, 78) ? os2.U16(0) : 0xFFFF;
    const bool hasOs2 = os2Version != 0xFFFF;

    // The strings after the record.
    const std::u16string prefix = chosen.vertical ? u"@" : u"";
    std::u16string unique = FaceNameString(file, chosen.face, 3);
    if (unique.empty()) unique = info.fullName;
    const std::u16string strings[] = {prefix + info.family, info.style,
                                      prefix + (info.fullName.empty() ? info.family : info.fullName), unique};
    size_t size = sizeof(IFIMETRICS);
    PTRDIFF offsets[4];
    for (int i = 0; i < 4; ++i) {
        offsets[i] = PTRDIFF(size);
        size += (strings[i].size() + 1) * sizeof(WCHAR);
    }
    constexpr size_t kCharsetBytes = 16;
    const PTRDIFF charsetOffset = PTRDIFF(size);
    size += kCharsetBytes;
    size = (size + 7) / 8 * 8;

    ifi.cjThis = ULONG(size);
    ifi.dpwszFamilyName = offsets[0];
    ifi.dpwszStyleName = offsets[1];
    ifi.dpwszFaceName = offsets[2];
    ifi.dpwszUniqueName = offsets[3];
    ifi.dpCharSets = charsetOffset;
    ifi.lItalicAngle = post.Holds(0, 8) ? LONG(std::lround(int32_t(post.U32(4)) / 65536.0 * 10)) : 0;

    const std::vector<BYTE> charsets = info.Charsets();
    ifi.jWinCharSet = charsets.empty() ? (info.symbol ? SYMBOL_CHARSET : ANSI_CHARSET) : charsets.front();
    ifi.jWinPitchAndFamily = BYTE(info.familyClass | (info.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH));
    ifi.usWinWeight = info.weight;

    ifi.flInfo = (info.trueTypeOutlines ? FM_INFO_TECH_TRUETYPE : FM_INFO_TECH_CFF) | FM_INFO_ARB_XFORMS |
                 FM_INFO_RETURNS_OUTLINES | FM_INFO_RETURNS_BITMAPS | FM_INFO_1BPP | FM_INFO_4BPP |
                 FM_INFO_RIGHT_HANDED | FM_INFO_INTEGER_WIDTH;
    if (info.fixedPitch) ifi.flInfo |= FM_INFO_CONSTANT_WIDTH | FM_INFO_OPTICALLY_FIXED_PITCH;
    if (!file.Table(chosen.face, FontTag("DSIG")).empty()) ifi.flInfo |= FM_INFO_DSIG;

    constexpr USHORT kSelectionBits = FM_SEL_ITALIC | FM_SEL_UNDERSCORE | FM_SEL_NEGATIVE | FM_SEL_OUTLINED |
                                      FM_SEL_STRIKEOUT | FM_SEL_BOLD | FM_SEL_REGULAR;
    ifi.fsSelection = USHORT(info.fsSelection & kSelectionBits);
    if (!(ifi.fsSelection & (FM_SEL_ITALIC | FM_SEL_BOLD | FM_SEL_REGULAR))) {
        if (info.italic) ifi.fsSelection |= FM_SEL_ITALIC;
        if (info.bold) ifi.fsSelection |= FM_SEL_BOLD;
        if (!info.italic && !info.bold) ifi.fsSelection |= FM_SEL_REGULAR;
    }
    if (hasOs2) ifi.fsType = USHORT(os2.U16(8) & (FM_TYPE_LICENSED | FM_READONLY_EMBED | FM_EDITABLE_EMBED));

    ifi.fwdUnitsPerEm = Word(head.U16(18));
    ifi.fwdLowestPPEm = Word(head.U16(46));
    ifi.fwdMacAscender = hhea.S16(4);
    ifi.fwdMacDescender = hhea.S16(6);
    ifi.fwdMacLineGap = hhea.S16(8);
    ifi.fwdMaxCharInc = Word(hhea.U16(10));
    if (hasOs2) {
        ifi.fwdAveCharWidth = os2.S16(2);
        ifi.fwdSubscriptXSize = os2.S16(10);
        ifi.fwdSubscriptYSize = os2.S16(12);
        ifi.fwdSubscriptXOffset = os2.S16(14);
        ifi.fwdSubscriptYOffset = os2.S16(16);
        ifi.fwdSuperscriptXSize = os2.S16(18);
        ifi.fwdSuperscriptYSize = os2.S16(20);
        ifi.fwdSuperscriptXOffset = os2.S16(22);
        ifi.fwdSuperscriptYOffset = os2.S16(24);
        ifi.fwdStrikeoutSize = os2.S16(26);
        ifi.fwdStrikeoutPosition = os2.S16(28);
        ifi.fwdTypoAscender = os2.S16(68);
        ifi.fwdTypoDescender = os2.S16(70);
        ifi.fwdTypoLineGap = os2.S16(72);
        ifi.fwdWinAscender = Word(os2.U16(74));
        ifi.fwdWinDescender = Word(os2.U16(76));
        if (os2Version >= 2 && os2.Holds(0, 90)) {
            ifi.fwdXHeight = os2.S16(86);
            ifi.fwdCapHeight = os2.S16(88);
        }
        std::memcpy(ifi.achVendId, os2.Bytes().data() + 58, 4);
    }
    ifi.fwdUnderscoreSize = post.S16(10);
    ifi.fwdUnderscorePosition = post.S16(8);

    // The characters, as the realised font's text metrics give them.
    if (hasOs2) {
        ifi.wcFirstChar = Character(os2.U16(64), info.symbol);
        ifi.wcLastChar = Character(os2.U16(66), info.symbol);
    } else {
        ifi.wcFirstChar = 0x20, ifi.wcLastChar = 0xFFFF;
    }
    const bool version2 = hasOs2 && os2Version >= 2 && os2.Holds(0, 94);
    ifi.wcDefaultChar = version2 ? WCHAR(os2.U16(90)) : 0;
    ifi.wcBreakChar = version2 ? WCHAR(os2.U16(92)) : 0x20;
    ifi.chFirstChar = AsByte(ifi.wcFirstChar);
    ifi.chLastChar = AsByte(ifi.wcLastChar);
    ifi.chDefaultChar = AsByte(ifi.wcDefaultChar);
    ifi.chBreakChar = AsByte(ifi.wcBreakChar);

    ifi.ptlBaseline = {1, 0};
    ifi.ptlAspect = {1, 1};
    const LONG rise = hhea.S16(18), run = hhea.S16(20);
    ifi.ptlCaret = rise || run ? POINTL{run, rise} : POINTL{0, 1};
    ifi.rclFontBox = {head.S16(36), head.S16(42), head.S16(40), head.S16(38)};
    ifi.cKerningPairs = KerningPairCount(SfntTable(file.Table(chosen.face, FontTag("kern"))));
    ifi.ulPanoseCulture = 0;  // Latin
    std::memcpy(&ifi.panose, info.panose, sizeof(ifi.panose));

    words_.assign(size / 8, 0);
    BYTE* block = reinterpret_cast<BYTE*>(words_.data());
    std::memcpy(block, &ifi, sizeof(ifi));
    for (int i = 0; i < 4; ++i)
        std::memcpy(block + offsets[i], strings[i].c_str(), (strings[i].size() + 1) * sizeof(WCHAR));
    BYTE* sets = block + charsetOffset;
    std::fill(sets, sets + kCharsetBytes, BYTE(DEFAULT_CHARSET));
    std::copy_n(charsets.begin(), std::min(charsets.size(), kCharsetBytes - 1), sets);
}

}  // namespace w32

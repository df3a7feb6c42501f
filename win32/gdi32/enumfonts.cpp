// EnumFontFamiliesExW and EnumFontFamiliesW: the installed font families
// (win32k/fonttable.h) as GDI lists them to a callback.
//
// EnumFontFamiliesExW with an empty lfFaceName reports each family once
// for every charset it covers when lfCharSet is DEFAULT_CHARSET, else once
// if it covers lfCharSet, with the family's regular face (the upright face
// nearest normal weight). With a face name it reports each face (style) of
// that family, likewise once per charset. EnumFontFamiliesW reports each
// family once, or with a name each face of the family once, in the face's
// own first charset. Families come in the order they were installed, faces
// in their family's order, charsets in GDI's order (ANSI first). Faces
// added with FR_NOT_ENUM are never reported. Names compare without regard
// to case, up to the first NUL within the field.
//
// A family whose faces cover a Chinese, Japanese or Korean charset is also
// reported as its vertical-writing family "@Name", right after itself;
// asking for "@Name" reports that family's faces with '@' names. Font
// substitutes (FontSubstitutes) are not families of their own and are not
// reported.
//
// On a printer DC the printer's own fonts (win32k/devicefont.h) come first,
// each once in its own charset, as DEVICE_FONTTYPE (with RASTER_FONTTYPE
// for a bitmap font), at the same reported size, with the IFIMETRICS'
// style, em, cell and average width, and OUT_DEVICE_PRECIS.
//
// Each other report is a TrueType font (TRUETYPE_FONTTYPE) at the size GDI
// reports outline fonts at: a cell 16 pixels high, the face's proportions
// kept; lfHeight and lfWidth are that cell's height and average width,
// with OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS and DRAFT_QUALITY. The
// NEWTEXTMETRICEXW has the metrics of that size (tmDigitizedAspect the
// device's resolution), NTM_REGULAR, NTM_BOLD and NTM_ITALIC from the
// face's own style, NTM_DSIG for a signed face, NTM_TT_OPENTYPE for a signed
// face of TrueType outlines, NTM_PS_OPENTYPE for one of PostScript outlines;
// the em, cell height and average width in font units; the face's Unicode
// ranges and code pages as its signature. elfScript names the charset as
// GDI does ("Western", "Central European", "CHINESE_GB2312", ...).
//
// A callback's 0 ends the enumeration; the call answers the last callback's
// value, or 1 when nothing was reported. 0 with ERROR_INVALID_HANDLE for a
// handle that is no DC, with ERROR_INVALID_PARAMETER without a LOGFONTW or
// a callback.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gdi32/fontquery.h"
#include "machine/paths.h"
#include "win32k/devicefont.h"
#include "win32k/fonttables.h"
#include "win32k/fonttable.h"

namespace {

using namespace w32::gdi;
using namespace w32;

// The cell height, in pixels, outline fonts are reported at.
constexpr LONG kReportedCellHeight = 16;
// The face's own first charset (EnumFontFamiliesW), rather than one asked for.
constexpr int kOwnCharset = -1;

struct ScriptName {
    BYTE charset;
    const char16_t* name;
};
constexpr ScriptName kScripts[] = {
    {ANSI_CHARSET, u"Western"},
    {EASTEUROPE_CHARSET, u"Central European"},
    {RUSSIAN_CHARSET, u"Cyrillic"},
    {GREEK_CHARSET, u"Greek"},
    {TURKISH_CHARSET, u"Turkish"},
    {HEBREW_CHARSET, u"Hebrew"},
    {ARABIC_CHARSET, u"Arabic"},
    {BALTIC_CHARSET, u"Baltic"},
    {VIETNAMESE_CHARSET, u"Vietnamese"},
    {THAI_CHARSET, u"Thai"},
    {SHIFTJIS_CHARSET, u"Japanese"},
    {GB2312_CHARSET, u"CHINESE_GB2312"},
    {HANGUL_CHARSET, u"Hangul"},
    {CHINESEBIG5_CHARSET, u"CHINESE_BIG5"},
    {JOHAB_CHARSET, u"Hangul(Johab)"},
    {SYMBOL_CHARSET, u"Symbol"},
    {OEM_CHARSET, u"OEM/DOS"},
    {MAC_CHARSET, u"Mac"},
};

const char16_t* ScriptOf(BYTE charset) {
    for (const ScriptName& script : kScripts)
        if (script.charset == charset) return script.name;
    return u"";
}

bool CoversEastAsian(const w32::FontFaceInfo& info) {
    for (const BYTE charset : {SHIFTJIS_CHARSET, GB2312_CHARSET, HANGUL_CHARSET, CHINESEBIG5_CHARSET, JOHAB_CHARSET})
        if (info.CoversCharset(charset)) return true;
    return false;
}

template <size_t N>
void CopyName(WCHAR (&to)[N], std::u16string_view from) {
    const size_t length = std::min(from.size(), N - 1);
    std::copy(from.begin(), from.begin() + ptrdiff_t(length), to);
    std::fill(to + length, to + N, WCHAR(0));
}

// The charsets a face is reported in.
std::vector<BYTE> CharsetsToReport(const w32::FontFaceInfo& info, int asked) {
    std::vector<BYTE> own = info.Charsets();
    if (own.empty()) own.push_back(ANSI_CHARSET);
    if (asked == kOwnCharset) return {own.front()};
    if (asked == DEFAULT_CHARSET) return own;
    if (std::find(own.begin(), own.end(), BYTE(asked)) != own.end()) return {BYTE(asked)};
    return {};
}

// The face a family is listed with: upright before italic, then the weight nearest normal.
const w32::InstalledFace& RegularFace(const w32::InstalledFamily& family) {
    return *std::min_element(family.faces.begin(), family.faces.end(), [](const auto& a, const auto& b) {
        const w32::FontFaceInfo &x = a.Info(), &y = b.Info();
        if (x.italic != y.italic) return !x.italic;
        return std::abs(int(x.weight) - FW_NORMAL) < std::abs(int(y.weight) - FW_NORMAL);
    });
}

// What a report carries of the realised font's metrics, for any face.
void DescribeMetrics(const std::shared_ptr<const w32::RealizedFont>& font, LONG aspectX, LONG aspectY,
                     ENUMLOGFONTEXW& elf, NEWTEXTMETRICEXW& ntm) {
    const TEXTMETRICW tm = LogicalTextMetrics(DcFont{font, LOGFONTW{}, 1, 1}, aspectX, aspectY);

    NEWTEXTMETRICW& n = ntm.ntmTm;
    n.tmHeight = tm.tmHeight;
    n.tmAscent = tm.tmAscent;
    n.tmDescent = tm.tmDescent;
    n.tmInternalLeading = tm.tmInternalLeading;
    n.tmExternalLeading = tm.tmExternalLeading;
    n.tmAveCharWidth = tm.tmAveCharWidth;
    n.tmMaxCharWidth = tm.tmMaxCharWidth;
    n.tmWeight = tm.tmWeight;
    n.tmOverhang = tm.tmOverhang;
    n.tmDigitizedAspectX = tm.tmDigitizedAspectX;
    n.tmDigitizedAspectY = tm.tmDigitizedAspectY;
    n.tmFirstChar = tm.tmFirstChar;
    n.tmLastChar = tm.tmLastChar;
    n.tmDefaultChar = tm.tmDefaultChar;
    n.tmBreakChar = tm.tmBreakChar;
    n.tmItalic = tm.tmItalic;
    n.tmPitchAndFamily = tm.tmPitchAndFamily;
    n.tmCharSet = tm.tmCharSet;

    LOGFONTW& lf = elf.elfLogFont;
    lf.lfHeight = tm.tmHeight;
    lf.lfWidth = tm.tmAveCharWidth;
    lf.lfWeight = tm.tmWeight;
    lf.lfItalic = tm.tmItalic;
    lf.lfCharSet = tm.tmCharSet;
    lf.lfOutPrecision = OUT_STROKE_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = DRAFT_QUALITY;
    CopyName(lf.lfFaceName, font->Face().faceName);
}

// What a report carries for one installed face, but its charset.
void Describe(const std::shared_ptr<const w32::RealizedFont>& font, LONG aspectX, LONG aspectY, ENUMLOGFONTEXW& elf,
              NEWTEXTMETRICEXW& ntm) {
    const w32::ChosenFace& chosen = font->Face();
    const w32::FontFaceInfo& info = chosen.Info();
    const w32::FontFile& file = *chosen.file;
    const w32::FontMetrics& m = font->Metrics();
    DescribeMetrics(font, aspectX, aspectY, elf, ntm);
    NEWTEXTMETRICW& n = ntm.ntmTm;

    const bool signed_ = !file.Table(chosen.face, FontTag("DSIG")).empty();
    n.ntmFlags = (info.italic ? NTM_ITALIC : 0) | (info.bold ? NTM_BOLD : 0) |
                 (!info.italic && !info.bold ? NTM_REGULAR : 0) | (signed_ ? NTM_DSIG : 0);
    if (!info.trueTypeOutlines) n.ntmFlags |= NTM_PS_OPENTYPE;
    else if (signed_) n.ntmFlags |= NTM_TT_OPENTYPE;
    n.ntmSizeEM = info.unitsPerEm;
    n.ntmCellHeight = UINT(CellHeightUnits(file, chosen.face));
    const SfntTable os2Table(file, chosen.face, FontTag("OS/2"));
    const LONG average = os2Table.S16(os2::kAvgCharWidth);
    n.ntmAvgWidth = average > 0 ? UINT(average) : UINT(std::lround(m.aveCharWidth / m.xScale));
    for (int i = 0; i < 4; ++i) ntm.ntmFontSig.fsUsb[i] = os2Table.U32(os2::kUnicodeRange + 4 * size_t(i));
    ntm.ntmFontSig.fsCsb[0] = info.codePageRange[0];
    ntm.ntmFontSig.fsCsb[1] = info.codePageRange[1];

    elf.elfLogFont.lfPitchAndFamily = BYTE((info.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH) | info.familyClass);
    const std::u16string prefix = chosen.vertical ? u"@" : u"";
    CopyName(elf.elfFullName, prefix + info.fullName);
    CopyName(elf.elfStyle, info.style);
}

// What a report carries for a printer's own font, from the driver's IFIMETRICS.
void DescribeDevice(const std::shared_ptr<const w32::RealizedFont>& font, LONG aspectX, LONG aspectY,
                    ENUMLOGFONTEXW& elf, NEWTEXTMETRICEXW& ntm) {
    const w32::DeviceFontFace& face = *font->Device();
    const IFIMETRICS& ifi = face.Ifi();
    DescribeMetrics(font, aspectX, aspectY, elf, ntm);
    NEWTEXTMETRICW& n = ntm.ntmTm;
    const bool italic = ifi.fsSelection & FM_SEL_ITALIC, bold = ifi.fsSelection & FM_SEL_BOLD;
    n.ntmFlags = (italic ? NTM_ITALIC : 0) | (bold ? NTM_BOLD : 0) | (!italic && !bold ? NTM_REGULAR : 0);
    n.ntmSizeEM = UINT(std::max<FWORD>(0, ifi.fwdUnitsPerEm));
    n.ntmCellHeight = UINT(std::max(0, ifi.fwdWinAscender + ifi.fwdWinDescender));
    n.ntmAvgWidth = UINT(std::max<FWORD>(0, ifi.fwdAveCharWidth));
    elf.elfLogFont.lfOutPrecision = OUT_DEVICE_PRECIS;
    elf.elfLogFont.lfPitchAndFamily = ifi.jWinPitchAndFamily;
    std::u16string style;
    PTRDIFF at = ifi.dpwszStyleName;
    if (at > 0 && size_t(at) < ifi.cjThis && at % 2 == 0) {
        const auto* text = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(&ifi) + at);
        for (size_t i = 0; i < (ifi.cjThis - size_t(at)) / 2 && text[i]; ++i) style.push_back(text[i]);
    }
    CopyName(elf.elfFullName, face.faceName);
    CopyName(elf.elfStyle, style);
}

class Enumeration {
public:
    Enumeration(HDC hdc, FONTENUMPROCW proc, LPARAM lParam) : proc_(proc), lParam_(lParam) {
        DeviceResolution(hdc, aspectX_, aspectY_);
        if (const auto dc = LookupDC(hdc)) deviceFonts_ = w32::DeviceFonts(dc->device);
    }

    // The printer's own fonts (on its DC), before the installed ones: each
    // in its charset, the ones named `name` when one is given.
    bool DeviceFaces(std::u16string_view name, int asked) {
        for (const auto& face : deviceFonts_) {
            const IFIMETRICS& ifi = face->Ifi();
            const BYTE charset = ifi.jWinCharSet;
            if (ifi.flInfo & FM_INFO_DO_NOT_ENUMERATE) continue;
            if (!name.empty() && !w32::NamesEqual(name, face->familyName)) continue;
            if (asked != kOwnCharset && asked != DEFAULT_CHARSET && asked != charset) continue;
            w32::ChosenFace chosen;
            chosen.device = face;
            chosen.charset = charset;
            chosen.faceName = face->familyName;
            w32::FontRealizationRequest request;
            request.height = kReportedCellHeight;
            const auto font = w32::RealizeFont(chosen, request);
            if (!font) continue;
            ENUMLOGFONTEXW elf{};
            NEWTEXTMETRICEXW ntm{};
            DescribeDevice(font, aspectX_, aspectY_, elf, ntm);
            CopyName(elf.elfScript, ScriptOf(charset));
            const DWORD type = DEVICE_FONTTYPE | ((ifi.flInfo & FM_INFO_TECH_BITMAP) ? RASTER_FONTTYPE : 0);
            result_ = proc_(&elf.elfLogFont, reinterpret_cast<const TEXTMETRICW*>(&ntm), type, lParam_);
            if (result_ == 0) return false;
        }
        return true;
    }

    // Reports a face in the charsets asked; false once a callback said stop.
    bool Report(const w32::InstalledFace& face, const std::u16string& familyName, bool vertical, int asked) {
        const std::vector<BYTE> charsets = CharsetsToReport(face.Info(), asked);
        if (charsets.empty()) return true;
        w32::ChosenFace chosen;
        chosen.file = face.file;
        chosen.face = face.face;
        chosen.vertical = vertical;
        chosen.charset = charsets.front();
        chosen.faceName = (vertical ? u"@" : u"") + familyName;
        w32::FontRealizationRequest request;
        request.height = kReportedCellHeight;
        const auto font = w32::RealizeFont(chosen, request);
        if (!font) return true;  // a face the engine cannot realise is left out

        ENUMLOGFONTEXW elf{};
        NEWTEXTMETRICEXW ntm{};
        Describe(font, aspectX_, aspectY_, elf, ntm);
        for (const BYTE charset : charsets) {
            elf.elfLogFont.lfCharSet = charset;
            ntm.ntmTm.tmCharSet = charset;
            CopyName(elf.elfScript, ScriptOf(charset));
            result_ = proc_(&elf.elfLogFont, reinterpret_cast<const TEXTMETRICW*>(&ntm), TRUETYPE_FONTTYPE, lParam_);
            if (result_ == 0) return false;
        }
        return true;
    }

    // Every family once with its regular face, each East Asian one also as
    // its vertical family.
    void Families(int asked) {
        if (!DeviceFaces(u"", asked)) return;
        for (const w32::InstalledFamily& family : w32::EnumerateInstalledFamilies()) {
            if (family.faces.empty()) continue;
            const w32::InstalledFace& face = RegularFace(family);
            if (!Report(face, family.name, false, asked)) return;
            if (CoversEastAsian(face.Info()) && !Report(face, family.name, true, asked)) return;
        }
    }

    // Every enumerable face of the named family ("@Name": its vertical family).
    void Faces(std::u16string_view name, int asked) {
        if (!DeviceFaces(name, asked)) return;
        const bool vertical = !name.empty() && name.front() == u'@';
        if (vertical) name.remove_prefix(1);
        const std::optional<w32::InstalledFamily> family = w32::FindInstalledFamily(name);
        if (!family) return;
        for (const w32::InstalledFace& face : family->faces) {
            if (!face.enumerable || (vertical && !CoversEastAsian(face.Info()))) continue;
            if (!Report(face, family->name, vertical, asked)) return;
        }
    }

    int Result() const { return result_; }

private:
    FONTENUMPROCW proc_;
    LPARAM lParam_;
    LONG aspectX_ = 0, aspectY_ = 0;
    int result_ = 1;
    w32::DeviceFontList deviceFonts_;
};

bool CheckArguments(HDC hdc, bool valid) {
    if (!LookupDCOrSetError(hdc)) return false;
    if (!valid) SetLastError(ERROR_INVALID_PARAMETER);
    return valid;
}

}  // namespace

int WINAPI EnumFontFamiliesExW(HDC hdc, LPLOGFONTW lpLogfont, FONTENUMPROCW lpProc, LPARAM lParam, DWORD) {
    if (!CheckArguments(hdc, lpLogfont && lpProc)) return 0;
    size_t length = 0;
    while (length < LF_FACESIZE && lpLogfont->lfFaceName[length]) ++length;
    const std::u16string_view name(lpLogfont->lfFaceName, length);
    Enumeration enumeration(hdc, lpProc, lParam);
    if (name.empty()) enumeration.Families(lpLogfont->lfCharSet);
    else enumeration.Faces(name, lpLogfont->lfCharSet);
    return enumeration.Result();
}

int WINAPI EnumFontFamiliesW(HDC hdc, LPCWSTR lpLogfont, FONTENUMPROCW lpProc, LPARAM lParam) {
    if (!CheckArguments(hdc, lpProc != nullptr)) return 0;
    Enumeration enumeration(hdc, lpProc, lParam);
    if (!lpLogfont || !*lpLogfont) enumeration.Families(kOwnCharset);
    else enumeration.Faces(lpLogfont, kOwnCharset);
    return enumeration.Result();
}

// GetOutlineTextMetricsW: the DC's font as its outline tables describe it,
// in the DC's logical units, followed by its names.
//
// The record holds TEXTMETRICW (as GetTextMetricsW gives it) and the face's
// own values scaled to the realised font: the typographic ascent, descent
// and line gap, cap and x heights, sub- and superscript boxes and strike-out
// from OS/2; the Macintosh ascent, descent and line gap and the caret slope
// from hhea; the font box and smallest readable size from head; the italic
// angle (tenths of a degree) and underline from post. otmfsSelection is the
// face's fsSelection with italic and bold as realised (emboldening and
// slanting count) and underscore and strike-out from the logical font.
//
// Four strings follow the record, each terminated: the family name, the
// face name (the face's full name, "Liberation Sans Bold"), the style
// ("Bold") and the full name GDI calls unique (the name table's unique
// identifier, else the full name). A vertical face's family and face names
// begin with '@'. The record's otmp* members hold the strings' byte offsets
// from the start of the record.
//
// Without a buffer, or with a size of 0, the call answers the size needed.
// A buffer shorter than that gets the first cjCopy bytes, with the offset
// of every string that does not fit wholly set to 0, and the call answers
// cjCopy; otmSize always says the size needed. A handle that is no DC
// fails with ERROR_INVALID_HANDLE (0).
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "gdi32/fontquery.h"
#include "win32k/fonttables.h"

namespace {

using namespace w32::gdi;
using namespace w32;

// OS/2 fsSelection bits that GDI reports from the realised font.
constexpr UINT kItalic = 0x01, kUnderscore = 0x02, kStrikeout = 0x10, kBold = 0x20, kRegular = 0x40;

struct Scaler {
    double x, y;  // logical units per font unit
    int X(double units) const { return int(std::lround(units * x)); }
    int Y(double units) const { return int(std::lround(units * y)); }
};

OUTLINETEXTMETRICW MetricsRecord(const DcFont& font, LONG aspectX, LONG aspectY) {
    const w32::RealizedFont& realized = *font.font;
    const w32::ChosenFace& chosen = realized.Face();
    const w32::FontFaceInfo& info = chosen.Info();
    const w32::FontFile& file = *chosen.file;
    const w32::FontMetrics& m = realized.Metrics();
    const Scaler s{m.xScale / font.scaleX, m.yScale / font.scaleY};
    const SfntTable os2Table(file, chosen.face, FontTag("OS/2"));
    const SfntTable hheaTable(file, chosen.face, FontTag("hhea"));
    const SfntTable headTable(file, chosen.face, FontTag("head"));
    const SfntTable postTable(file, chosen.face, FontTag("post"));

    OUTLINETEXTMETRICW otm{};
    otm.otmTextMetrics = LogicalTextMetrics(font, aspectX, aspectY);
    std::copy(info.panose, info.panose + 10, reinterpret_cast<BYTE*>(&otm.otmPanoseNumber));
    UINT selection = info.fsSelection & ~(kItalic | kUnderscore | kStrikeout | kBold);
    if (m.italic) selection |= kItalic;
    if (m.weight >= FW_BOLD) selection |= kBold;
    if (font.logFont.lfUnderline) selection |= kUnderscore;
    if (font.logFont.lfStrikeOut) selection |= kStrikeout;
    if (selection & (kItalic | kBold)) selection &= ~kRegular;
    otm.otmfsSelection = selection;
    otm.otmfsType = os2Table.U16(w32::os2::kFsType);
    // The caret slope is a ratio: it keeps the face's own values.
    otm.otmsCharSlopeRise = hheaTable.S16(hhea::kCaretSlopeRise);
    otm.otmsCharSlopeRun = hheaTable.S16(hhea::kCaretSlopeRun);
    otm.otmItalicAngle = int(std::lround(postTable.S32(post::kItalicAngle) / 65536.0 * 10));
    otm.otmEMSquare = m.unitsPerEm;
    otm.otmAscent = s.Y(os2Table.S16(os2::kTypoAscender));
    otm.otmDescent = s.Y(os2Table.S16(os2::kTypoDescender));
    otm.otmLineGap = UINT(std::max(0, s.Y(os2Table.S16(os2::kTypoLineGap))));
    otm.otmsCapEmHeight = UINT(std::max(0, s.Y(os2Table.S16(os2::kCapHeight))));
    otm.otmsXHeight = UINT(std::max(0, s.Y(os2Table.S16(os2::kXHeight))));
    otm.otmrcFontBox = RECT{s.X(headTable.S16(head::kXMin)), s.Y(headTable.S16(head::kYMax)),
                            s.X(headTable.S16(head::kXMax)), s.Y(headTable.S16(head::kYMin))};
    otm.otmMacAscent = s.Y(hheaTable.S16(hhea::kAscender));
    otm.otmMacDescent = s.Y(hheaTable.S16(hhea::kDescender));
    otm.otmMacLineGap = UINT(std::max(0, s.Y(hheaTable.S16(hhea::kLineGap))));
    otm.otmusMinimumPPEM = headTable.U16(head::kLowestRecPpem);
    otm.otmptSubscriptSize = POINT{s.X(os2Table.S16(os2::kSubscriptXSize)), s.Y(os2Table.S16(os2::kSubscriptYSize))};
    otm.otmptSubscriptOffset =
        POINT{s.X(os2Table.S16(os2::kSubscriptXOffset)), s.Y(os2Table.S16(os2::kSubscriptYOffset))};
    otm.otmptSuperscriptSize =
        POINT{s.X(os2Table.S16(os2::kSuperscriptXSize)), s.Y(os2Table.S16(os2::kSuperscriptYSize))};
    otm.otmptSuperscriptOffset =
        POINT{s.X(os2Table.S16(os2::kSuperscriptXOffset)), s.Y(os2Table.S16(os2::kSuperscriptYOffset))};
    otm.otmsStrikeoutSize = UINT(std::max(0, s.Y(os2Table.S16(os2::kStrikeoutSize))));
    otm.otmsStrikeoutPosition = s.Y(os2Table.S16(os2::kStrikeoutPosition));
    otm.otmsUnderscoreSize = s.Y(postTable.S16(post::kUnderlineThickness));
    otm.otmsUnderscorePosition = s.Y(postTable.S16(post::kUnderlinePosition));
    return otm;
}

// The record followed by its four strings, the offsets filled in, and
// where each string ends.
struct MetricsBytes {
    std::vector<BYTE> bytes;
    size_t ends[4] = {};
};

MetricsBytes MetricsWithNames(const DcFont& font, LONG aspectX, LONG aspectY) {
    const w32::ChosenFace& chosen = font.font->Face();
    const w32::FontFaceInfo& info = chosen.Info();
    const std::u16string prefix = chosen.vertical ? u"@" : u"";
    std::u16string unique = FaceNameString(*chosen.file, chosen.face, kNameUnique);
    if (unique.empty()) unique = info.fullName;
    const std::u16string names[4] = {prefix + info.family, prefix + info.fullName, info.style, unique};

    OUTLINETEXTMETRICW otm = MetricsRecord(font, aspectX, aspectY);
    PSTR* offsets[4] = {&otm.otmpFamilyName, &otm.otmpFaceName, &otm.otmpStyleName, &otm.otmpFullName};
    MetricsBytes out;
    size_t size = sizeof(otm);
    for (int i = 0; i < 4; ++i) {
        *offsets[i] = reinterpret_cast<PSTR>(size);
        size += (names[i].size() + 1) * sizeof(WCHAR);
        out.ends[i] = size;
    }
    otm.otmSize = UINT(size);
    out.bytes.assign(size, 0);
    std::memcpy(out.bytes.data(), &otm, sizeof(otm));
    for (int i = 0; i < 4; ++i)
        std::memcpy(out.bytes.data() + reinterpret_cast<size_t>(*offsets[i]), names[i].data(),
                    names[i].size() * sizeof(WCHAR));
    return out;
}

}  // namespace

UINT WINAPI GetOutlineTextMetricsW(HDC hdc, UINT cjCopy, LPOUTLINETEXTMETRICW potm) {
    FontQuery query;
    if (!QueryDcFont(hdc, true, query)) return 0;
    if (query.font.font->Device()) {  // a printer's own font has no outline tables
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    LONG aspectX = 0, aspectY = 0;
    DeviceResolution(hdc, aspectX, aspectY);
    MetricsBytes metrics = MetricsWithNames(query.font, aspectX, aspectY);
    std::vector<BYTE>& bytes = metrics.bytes;
    if (!potm || cjCopy == 0) return UINT(bytes.size());
    if (cjCopy < bytes.size()) {
        // The strings cut off lose their offsets, so that no reader follows one past the buffer.
        auto* record = reinterpret_cast<OUTLINETEXTMETRICW*>(bytes.data());
        PSTR* offsets[4] = {&record->otmpFamilyName, &record->otmpFaceName, &record->otmpStyleName,
                            &record->otmpFullName};
        for (int i = 0; i < 4; ++i)
            if (metrics.ends[i] > cjCopy) *offsets[i] = nullptr;
    }
    const size_t copied = std::min<size_t>(cjCopy, bytes.size());
    std::memcpy(potm, bytes.data(), copied);
    return UINT(copied);
}

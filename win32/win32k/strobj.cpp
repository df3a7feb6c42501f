// STROBJ: one string as a driver gets it with DrvTextOut, and the engine
// services that hand out its glyphs: STROBJ_vEnumStart and STROBJ_bEnum
// (in batches; the last batch comes with FALSE, and a string whose pgp is
// not null comes as that one batch), and STROBJ_dwGetCodePage (the
// machine's ANSI code page: the characters are Unicode).
#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "win32k/dispatch.h"
#include "win32k/fontobj.h"

namespace w32 {

namespace {

// A box of device points, grown point by point, as the pixels it covers.
struct Bounds {
    double left = std::numeric_limits<double>::infinity(), top = left;
    double right = -left, bottom = -left;

    void Add(double x, double y) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
    RECTL Pixels() const {
        if (!(left <= right)) return RECTL{};
        auto clamp = [](double v) { return LONG(std::clamp(v, -2147483648.0, 2147483647.0)); };
        return RECTL{clamp(std::floor(left)), clamp(std::floor(top)), clamp(std::ceil(right)),
                     clamp(std::ceil(bottom))};
    }
};

// Whether the places follow an axis-aligned baseline: the other coordinate
// fixed (else `leaves` is set) and the one along it never going back.
bool FollowsAxis(std::span<const POINTL> places, bool alongX, bool reversed, bool& leaves) {
    bool ordered = true;
    for (size_t i = 1; i < places.size(); ++i) {
        const LONG across = alongX ? places[i].y - places[0].y : places[i].x - places[0].x;
        const LONG along = alongX ? places[i].x - places[i - 1].x : places[i].y - places[i - 1].y;
        if (across) leaves = true;
        if (reversed ? along > 0 : along < 0) ordered = false;
    }
    return ordered && !leaves;
}

}  // namespace

bool TextLayout::Make(const TextRun& run) {
    if (!run.font || run.glyphs.size() != run.positions.size()) return Failed(ERROR_INVALID_PARAMETER);
    font = run.font;
    const RealizedFont& f = *font;
    const FontMetrics& metrics = f.Metrics();
    const size_t count = run.glyphs.size();
    positions = run.positions;
    characters = run.glyphIndices ? std::u16string() : run.characters;
    glyphs.resize(count);
    double bx, by;
    f.BaselineVector(&bx, &by);
    const double downX = -by, downY = bx;  // across the baseline, from the ascent to the descent

    Bounds cells, blackBoxes;
    bool zeroBearings = !f.GlyphsTransformed() && count > 0;
    for (size_t i = 0; i < count; ++i) {
        const HGLYPH glyph = ValidGlyph(f, run.glyphs[i]);
        glyphs[i] = glyph;
        const std::optional<GlyphMetrics> m = f.Glyph(glyph);
        if (!m) continue;
        const double x = positions[i].x, y = positions[i].y;
        for (const double along : {0.0, double(m->advance)})
            for (const double across : {-double(metrics.ascent), double(metrics.descent)})
                cells.Add(x + along * bx + across * downX, y + along * by + across * downY);
        blackBoxes.Add(x + m->blackBox.left, y + m->blackBox.top);
        blackBoxes.Add(x + m->blackBox.right, y + m->blackBox.bottom);
        if (m->abcA || m->abcC) zeroBearings = false;
    }
    background = cells.Pixels();
    ink = blackBoxes.Pixels();

    accel = 0;
    if (run.defaultPlacement) accel |= SO_FLAG_DEFAULT_PLACEMENT;
    if (run.glyphIndices) accel |= SO_GLYPHINDEX_TEXTOUT;
    const FontRealizationRequest& request = f.Request();
    if (request.advanced && request.escapement != request.orientation) accel |= SO_ESC_NOT_ORIENT;
    bool leaves = false;
    if (by == 0 && (bx == 1 || bx == -1)) {
        if (FollowsAxis(positions, true, bx < 0, leaves)) accel |= SO_HORIZONTAL | (bx < 0 ? SO_REVERSED : 0);
    } else if (bx == 0 && (by == 1 || by == -1)) {
        if (FollowsAxis(positions, false, by < 0, leaves)) accel |= SO_VERTICAL | (by < 0 ? SO_REVERSED : 0);
    } else {
        // A turned baseline: places rounded to pixels stay within one of it.
        for (size_t i = 1; i < count && !leaves; ++i)
            leaves = std::fabs((positions[i].x - positions[0].x) * by - (positions[i].y - positions[0].y) * bx) > 1;
    }
    if (leaves) accel |= SO_DXDY;
    if (zeroBearings) {
        accel |= SO_ZERO_BEARINGS;
        if ((accel & (SO_HORIZONTAL | SO_REVERSED)) == SO_HORIZONTAL && run.defaultPlacement)
            accel |= SO_CHAR_INC_EQUAL_BM_BASE;
    }

    charInc = 0;
    if (f.FixedPitch() && (accel & (SO_HORIZONTAL | SO_REVERSED)) == SO_HORIZONTAL && count) {
        if (count == 1) {
            const auto m = f.Glyph(glyphs[0]);
            charInc = m ? ULONG(std::max<LONG>(0, m->advance)) : 0;
        } else {
            const LONG step = positions[1].x - positions[0].x;
            bool even = step > 0;
            for (size_t i = 2; i < count && even; ++i) even = positions[i].x - positions[i - 1].x == step;
            if (even) charInc = ULONG(step);
        }
    }
    return true;
}

EngineStrObj::EngineStrObj(const TextLayout& text, EngineFont& fontObject, ULONG mode, POINTL offset)
    : STROBJ{}, layout(text), font(fontObject), glyphMode(mode), shift(offset) {
    cGlyphs = ULONG(layout.glyphs.size());
    flAccel = layout.accel;
    ulCharInc = layout.charInc;
    rclBkGround = cGlyphs ? Shifted(layout.background, shift) : RECTL{};
    pwszOrg = layout.characters.empty() ? nullptr : const_cast<LPWSTR>(layout.characters.c_str());
    if (!cGlyphs) return;
    Batch(0);
    if (batchEnd == layout.glyphs.size()) pgp = positions.data();
}

void EngineStrObj::Batch(size_t first) {
    if (batchMade && batchFirst == first) return;
    positions.clear();
    definitions.clear();
    bits.clear();
    batchMade = true;
    batchFirst = batchEnd = first;
    const bool withBits = glyphMode == FO_GLYPHBITS;
    // Each distinct glyph's bitmap once: its GLYPHDEF, and the offset of its GLYPHBITS in `bits`.
    std::unordered_map<HGLYPH, size_t> seen;
    std::vector<size_t> offsets, definitionOf;
    const size_t count = layout.glyphs.size();
    while (batchEnd < count && batchEnd - first < kGlyphBatch) {
        const HGLYPH glyph = layout.glyphs[batchEnd];
        if (withBits) {
            auto [at, added] = seen.emplace(glyph, offsets.size());
            if (added) {
                const size_t before = bits.size();
                size_t offset = 0;
                AppendGlyphBits(*layout.font, glyph, bits, offset);
                if (bits.size() * sizeof(uint64_t) > kGlyphBatchBytes && batchEnd > first) {
                    bits.resize(before);
                    break;
                }
                offsets.push_back(offset);
            }
            definitionOf.push_back(at->second);
        }
        const POINTL& place = layout.positions[batchEnd];
        positions.push_back(GLYPHPOS{glyph, nullptr, POINTL{place.x + shift.x, place.y + shift.y}});
        ++batchEnd;
    }
    if (!withBits) return;
    definitions.resize(offsets.size());
    BYTE* base = reinterpret_cast<BYTE*>(bits.data());
    for (size_t i = 0; i < offsets.size(); ++i) definitions[i].pgb = reinterpret_cast<GLYPHBITS*>(base + offsets[i]);
    for (size_t i = 0; i < positions.size(); ++i) positions[i].pgdf = &definitions[definitionOf[i]];
}

EngineStrObj* KnownString(const STROBJ* string) {
    return IsDrawingObject(string) ? const_cast<EngineStrObj*>(static_cast<const EngineStrObj*>(string)) : nullptr;
}

}  // namespace w32

VOID APIENTRY STROBJ_vEnumStart(STROBJ* pstro) {
    if (w32::EngineStrObj* string = w32::KnownString(pstro)) string->next = 0;
}

BOOL APIENTRY STROBJ_bEnum(STROBJ* pstro, ULONG* pc, PGLYPHPOS* ppgpos) {
    w32::EngineStrObj* string = w32::KnownString(pstro);
    if (pc) *pc = 0;
    if (ppgpos) *ppgpos = nullptr;
    if (!string || !pc || !ppgpos) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard lock(w32::EngineLock());
    const size_t count = string->layout.glyphs.size();
    if (string->next >= count) return FALSE;
    string->Batch(string->next);
    *pc = ULONG(string->batchEnd - string->batchFirst);
    *ppgpos = string->positions.data();
    string->next = string->batchEnd;
    return string->next < count;
}

DWORD APIENTRY STROBJ_dwGetCodePage(STROBJ* pstro) {
    if (!pstro) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return GetACP();
}

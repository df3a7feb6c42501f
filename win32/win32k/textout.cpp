// Text on a DC's surface (ExtTextOutW, TextOutW, DrawTextW).
//
// On a surface that hooked text, DrvTextOut(pso, pstro, pfo, pco,
// prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg, mix) gets:
//   pstro       the string's STROBJ (win32k/fontobj.h)
//   pfo         the font's FONTOBJ on this PDEV; before the first string in
//               it the driver's DrvGetGlyphMode is asked, once, how it wants
//               the glyphs (FO_GLYPHBITS when it has no DrvGetGlyphMode)
//   pco         the DC's clip, its complexity told against all the text
//               touches (cells, ink, opaque and extra rectangles)
//   prclExtra   the underline and strike-out bars, ended by a rectangle of
//               all zeros; null without any
//   prclOpaque  the rectangle to fill first; null without one
//   pboFore     the text colour, solid; pboOpaque the background colour, solid
//   pptlOrg     the DC's brush origin, for both brushes
//   mix         R2_COPYPEN in both bytes (0x0D0D): text ignores the DC's ROP2
// Not hooked, or refused, the engine draws it with EngTextOut, on a
// device-managed surface through a temporary bitmap between two
// DrvCopyBits. A run without glyphs only fills its rectangles, as painting.
// A device font (win32k/devicefont.h) reaches DrvTextOut with glyph handles
// alone (pgdf null, whatever the glyph mode); only the driver can draw it,
// so when it does not the text fails with ERROR_NOT_SUPPORTED.
#include "win32k/textout.h"

#include "win32k/dispatch.h"
#include "win32k/driver.h"
#include "win32k/fontobj.h"

namespace w32 {

namespace {

RECTL Union(const RECTL& a, const RECTL& b) {
    if (EmptyRect(a)) return b;
    if (EmptyRect(b)) return a;
    return RECTL{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom)};
}

// The driver's glyph mode for a font, asked the first time the font comes.
ULONG GlyphMode(const DrawCall& call, EngineFont& font) {
    if (font.glyphModeAsked) return font.glyphMode;
    font.glyphModeAsked = true;
    PrinterDevice* device = call.Device();
    auto ask = device->driver->Callback<PFN_DrvGetGlyphMode>(INDEX_DrvGetGlyphMode);
    if (!ask) return font.glyphMode;
    ULONG mode;
    {
        DriverCall scope(*device);
        mode = ask(device->pdev->dhpdev, &font);
    }
    font.givenToDriver = true;
    RecordDdiCall("DrvGetGlyphMode", device->pdev.get(), nullptr, mode);
    if (mode == FO_HGLYPHS || mode == FO_PATHOBJ) font.glyphMode = mode;
    return font.glyphMode;
}

// The rectangles of a run without glyphs, painted as FillRect paints.
bool FillRectangles(const DrawContext& dc, const std::optional<RECTL>& opaque, const std::vector<RECTL>& extras) {
    EngineBrush background, text;
    background.color = dc.bkColor;
    text.color = dc.textColor;
    const MIX copy = MIX_FROM_ROP2(R2_COPYPEN);
    if (opaque && !DrawPaint(dc, Region(*opaque), background, copy)) return false;
    return extras.empty() || DrawPaint(dc, Region::FromRects(extras), text, copy);
}

}  // namespace

bool DrawTextOut(const DrawContext& dc, const TextRun& run) {
    std::lock_guard lock(EngineLock());
    DrawCall call(dc);
    if (!call.Ready()) return false;
    TextLayout layout;
    if (!layout.Make(run)) return false;
    std::optional<RECTL> opaque;
    if (run.opaque && !EmptyRect(Ordered(*run.opaque))) opaque = Ordered(*run.opaque);
    std::vector<RECTL> extras;
    for (const RECTL& r : run.extras)
        if (!EmptyRect(Ordered(r))) extras.push_back(Ordered(r));
    if (layout.glyphs.empty()) return FillRectangles(dc, opaque, extras);

    RECTL bounds = Union(layout.background, layout.ink);
    if (opaque) bounds = Union(bounds, *opaque);
    for (const RECTL& r : extras) bounds = Union(bounds, r);
    EngineFont& font = FontObjectFor(dc.target.device, layout.font);
    EngineBrush foreground, background;
    foreground.color = dc.textColor;
    background.color = dc.bkColor;
    const MIX mix = MIX_FROM_ROP2(R2_COPYPEN);

    if (auto textOut = call.Hooked<PFN_DrvTextOut>(HOOK_TEXTOUT, INDEX_DrvTextOut)) {
        EngineClip clip(call.Clip(), bounds);
        if (!clip.visible) return true;
        ULONG mode = GlyphMode(call, font);
        if (layout.font->Device()) mode = FO_HGLYPHS;  // only the printer has a device font's glyphs
        font.givenToDriver = true;
        EngineStrObj string(layout, font, mode, POINTL{0, 0});
        EngineBrushObj fore(foreground, dc, call.Colors()), back(background, dc, call.Colors());
        std::vector<RECTL> extraArray = extras;
        extraArray.push_back(RECTL{0, 0, 0, 0});
        RECTL opaqueRect = opaque.value_or(RECTL{});
        POINTL origin = dc.brushOrigin;
        if (call.CallDriver("DrvTextOut", mix, [&] {
                return textOut(call.Surface(), &string, &font, &clip, extras.empty() ? nullptr : extraArray.data(),
                               opaque ? &opaqueRect : nullptr, &fore, &back, &origin, mix);
            }))
            return true;
    }
    if (layout.font->Device()) {  // the engine has no glyphs of a printer's own font to draw
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    return call.DrawWithEngine(bounds, [&](const EngineTarget& target) {
        EngineStrObj string(layout, font, FO_HGLYPHS, target.shift);
        EngineClip clip(target.clip, Shifted(bounds, target.shift));
        EngineBrushObj fore(foreground, dc, target.colors), back(background, dc, target.colors);
        std::vector<RECTL> extraArray;
        for (const RECTL& r : extras) extraArray.push_back(Shifted(r, target.shift));
        extraArray.push_back(RECTL{0, 0, 0, 0});
        RECTL opaqueRect = opaque ? Shifted(*opaque, target.shift) : RECTL{};
        POINTL origin{dc.brushOrigin.x + target.shift.x, dc.brushOrigin.y + target.shift.y};
        return EngTextOut(target.surface, &string, &font, &clip, extraArray.data(), opaque ? &opaqueRect : nullptr,
                          &fore, &back, &origin, mix) != FALSE;
    });
}

}  // namespace w32

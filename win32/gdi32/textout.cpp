// Text output: ExtTextOutW and TextOutW.
//
// The string is drawn in the DC's selected font, realised at the DC's
// scale, in its text colour, each glyph where gdi32/textlayout.h places it;
// with TA_UPDATECP the run starts at the current position and moves it to
// the run's end (TA_LEFT), its start (TA_RIGHT, so that calls continue
// leftwards), or leaves it (TA_CENTER). Then, as GDI does:
// - ETO_OPAQUE fills the rectangle with the background colour, also for an
//   empty string; ETO_CLIPPED keeps the text (and the fills) inside it, on
//   top of the DC's clip. Without either option the rectangle is ignored,
//   and either option without a rectangle is ignored. The rectangle's
//   corners may come in either order.
// - In the OPAQUE background mode the text's box (its advance along the
//   baseline, from the ascent above it to the descent below) is filled with
//   the background colour first, as far as it reaches outside an ETO_OPAQUE
//   rectangle (with ETO_CLIPPED it never does).
// - An underlined or struck-out logical font adds its bars along the run in
//   the text colour, where the font's metrics put them.
// - The fills and glyphs go to the engine as one run (DrawTextOut: the
//   driver's DrvTextOut on a printer). What does not fit the run's
//   rectangles, because the text or the DC's mapping is turned, is painted
//   as regions before (background) or after (bars) it.
// - Inside BeginPath .. EndPath the glyphs' outlines (and the box in the
//   OPAQUE background mode, and the bars) are recorded in the path instead;
//   nothing is painted.
//
// Errors: ERROR_INVALID_HANDLE for a handle that is no DC (or a DC whose
// font is gone); ERROR_INVALID_PARAMETER for a string of one character or
// more that is null, more than kMostTextCharacters characters, a point
// outside device space, or a printer DC outside a page (as every drawing
// call); ERROR_NOT_ENOUGH_MEMORY for a path that would grow beyond the
// points a path holds; ERROR_FILE_NOT_FOUND when no font is installed.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "gdi32/brushes.h"
#include "gdi32/dcfont.h"
#include "gdi32/drawcall.h"
#include "gdi32/textlayout.h"
#include "win32k/textout.h"

namespace w32::gdi {

namespace {

// An upright box of the run's frame: u along the baseline, v down across it.
struct FrameBox {
    double u0, v0, u1, v1;
};

POINTFIX FixOf(double x, double y) {
    return POINTFIX{FIX(std::floor(x * 16 + 0.5)), FIX(std::floor(y * 16 + 0.5))};
}

// The box's corners on the device, as a closed figure.
DevicePath BoxFigure(const TextLayout& layout, const FrameBox& box) {
    DevicePath figure;
    figure.MoveTo(FixOf(layout.DeviceX(box.u0, box.v0), layout.DeviceY(box.u0, box.v0)));
    figure.LineTo(FixOf(layout.DeviceX(box.u1, box.v0), layout.DeviceY(box.u1, box.v0)));
    figure.LineTo(FixOf(layout.DeviceX(box.u1, box.v1), layout.DeviceY(box.u1, box.v1)));
    figure.LineTo(FixOf(layout.DeviceX(box.u0, box.v1), layout.DeviceY(box.u0, box.v1)));
    figure.CloseFigure();
    return figure;
}

// The box as device pixels, when the baseline runs along a device axis.
RECTL BoxRect(const TextLayout& layout, const FrameBox& box) {
    const double x0 = layout.DeviceX(box.u0, box.v0), y0 = layout.DeviceY(box.u0, box.v0);
    const double x1 = layout.DeviceX(box.u1, box.v1), y1 = layout.DeviceY(box.u1, box.v1);
    auto round = [](double value) { return LONG(std::floor(value + 0.5)); };
    return RECTL{round(std::min(x0, x1)), round(std::min(y0, y1)), round(std::max(x0, x1)), round(std::max(y0, y1))};
}

bool Inside(const RECTL& inner, const RECTL& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The run's background box and its underline and strike-out bars.
FrameBox TextBox(const TextLayout& layout, const FontMetrics& metrics) {
    return FrameBox{std::min(0.0, layout.endU), -double(metrics.ascent), std::max(0.0, layout.endU),
                    double(metrics.descent)};
}
std::vector<FrameBox> Bars(const TextLayout& layout, const DcFont& font) {
    const FontMetrics& m = font.font->Metrics();
    const double u0 = std::min(0.0, layout.endU), u1 = std::max(0.0, layout.endU);
    std::vector<FrameBox> bars;
    if (u0 == u1) return bars;
    if (font.logFont.lfUnderline)
        bars.push_back(FrameBox{u0, double(m.underlinePosition), u1, double(m.underlinePosition + m.underlineThickness)});
    if (font.logFont.lfStrikeOut)
        bars.push_back(
            FrameBox{u0, -double(m.strikeoutPosition), u1, -double(m.strikeoutPosition - m.strikeoutThickness)});
    return bars;
}

// Records the glyphs' outlines (26.6 from each glyph's reference point)
// in the DC's open path, Béziers for the quadratic curves.
bool RecordText(DeviceContext& dc, const DcFont& font, const TextLayout& layout) {
    DevicePath figures;
    if (dc.state.bkMode == OPAQUE && layout.endU != 0) {
        const DevicePath box = BoxFigure(layout, TextBox(layout, font.font->Metrics()));
        figures.points = box.points;
        figures.types = box.types;
    }
    for (size_t i = 0; i < layout.glyphs.size(); ++i) {
        const auto outline = font.font->Outline(layout.glyphs[i]);
        if (!outline) continue;  // a glyph without an outline adds nothing
        if (dc.path.points.size() + figures.points.size() + outline->pathPoints.size() > kMostPoints) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        const double baseX = layout.positions[i].x * 16.0, baseY = layout.positions[i].y * 16.0;
        auto at = [&](const POINT& p) { return std::pair{baseX + p.x / 4.0, baseY + p.y / 4.0}; };
        auto fix = [](std::pair<double, double> p) { return FixOf(p.first / 16, p.second / 16); };
        size_t k = 0;
        std::pair<double, double> current{baseX, baseY};
        for (const GlyphOutline::Verb verb : outline->verbs) {
            switch (verb) {
                case GlyphOutline::Verb::Move:
                    current = at(outline->pathPoints[k++]);
                    figures.MoveTo(fix(current));
                    break;
                case GlyphOutline::Verb::Line:
                    current = at(outline->pathPoints[k++]);
                    figures.LineTo(fix(current));
                    break;
                case GlyphOutline::Verb::Quadratic: {
                    // The same curve as a cubic: controls two thirds of the
                    // way from each end to the quadratic's control point.
                    const auto c = at(outline->pathPoints[k++]);
                    const auto end = at(outline->pathPoints[k++]);
                    const std::pair c1{current.first + 2 * (c.first - current.first) / 3,
                                       current.second + 2 * (c.second - current.second) / 3};
                    const std::pair c2{end.first + 2 * (c.first - end.first) / 3,
                                       end.second + 2 * (c.second - end.second) / 3};
                    figures.BezierTo(fix(c1), fix(c2), fix(end));
                    current = end;
                    break;
                }
                case GlyphOutline::Verb::Cubic: {
                    const auto c1 = at(outline->pathPoints[k++]);
                    const auto c2 = at(outline->pathPoints[k++]);
                    current = at(outline->pathPoints[k++]);
                    figures.BezierTo(fix(c1), fix(c2), fix(current));
                    break;
                }
                case GlyphOutline::Verb::Close: figures.CloseFigure(); break;
            }
        }
    }
    for (const FrameBox& bar : Bars(layout, font)) {
        const DevicePath figure = BoxFigure(layout, bar);
        figures.points.insert(figures.points.end(), figure.points.begin(), figure.points.end());
        figures.types.insert(figures.types.end(), figure.types.begin(), figure.types.end());
    }
    AppendToPath(dc, figures);
    return true;
}

// Paints device pixels in a solid colour, whatever the DC's ROP2.
bool PaintSolid(const DrawContext& context, const Region& region, COLORREF color) {
    if (region.Empty()) return true;
    return DrawPaint(context, region, *MakeEngineBrush(BS_SOLID, color), MixOf(R2_COPYPEN));
}

// Moves the current position past the run: to its end for TA_LEFT, to its
// start for TA_RIGHT; TA_CENTER leaves it.
void MoveCurrentPosition(DeviceContext& dc, const TextLayout& layout) {
    const UINT horizontal = dc.state.textAlign & TA_CENTER;
    if (horizontal == TA_CENTER) return;
    const double sign = horizontal == TA_RIGHT ? -1 : 1;
    const double x = layout.referenceX + sign * (layout.endU * layout.alongX + layout.endV * layout.downX);
    const double y = layout.referenceY + sign * (layout.endU * layout.alongY + layout.endV * layout.downY);
    dc.state.currentPosition = DeviceFixToLogical(dc, FixOf(x, y));
}

BOOL TextOutCall(HDC hdc, int x, int y, UINT options, const RECT* rect, const WCHAR* string, UINT count,
                 const INT* dx) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    if ((count > 0 && !string) || count > kMostTextCharacters) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool inPath = dc->pathState == PathState::Open;
    DrawContext context;
    if (!inPath && !PrepareDraw(*dc, context)) return FALSE;

    // The rectangle of ETO_OPAQUE and ETO_CLIPPED, on the device.
    std::optional<Region> rectRegion;
    if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED)) && !inPath) {
        const RECTL ordered{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom),
                            std::max(rect->left, rect->right), std::max(rect->top, rect->bottom)};
        rectRegion = LogicalRegionToDevice(*dc, Region(ordered));
        if (!rectRegion) return FALSE;
        if (options & ETO_CLIPPED) {
            const SIZEL size = DrawingSurfaceSize(*dc);
            context.clip = (context.clip ? *context.clip : Region(RECTL{0, 0, size.cx, size.cy})).Intersect(*rectRegion);
        }
    }
    const bool opaqueRect = rectRegion && (options & ETO_OPAQUE);

    if (count == 0) return opaqueRect ? PaintSolid(context, *rectRegion, context.bkColor) : TRUE;

    DcFont font;
    if (!RealizeDcFont(*dc, font)) return FALSE;
    TextLayoutInput input;
    input.string = string;
    input.count = count;
    input.options = options;
    input.dx = dx;
    input.reference = (dc->state.textAlign & TA_UPDATECP) ? dc->state.currentPosition : POINT{x, y};
    TextLayout layout;
    if (!LayOutText(*dc, font, input, layout)) return FALSE;

    if (inPath) {
        if (!RecordText(*dc, font, layout)) return FALSE;
    } else if (!(context.clip && context.clip->Empty())) {
        TextRun run;
        run.font = font.font;
        // Background fills: in the run when they are device rectangles, else painted first.
        std::vector<Region> paintFirst;
        if (opaqueRect) {
            if (!AxisAligned(*dc)) paintFirst.push_back(*rectRegion);
            else if (!rectRegion->Empty()) run.opaque = rectRegion->Bounds();
        }
        // The box is needed unless the text is clipped to the filled rectangle.
        const FrameBox box = TextBox(layout, font.font->Metrics());
        const bool boxShows = !(opaqueRect && (options & ETO_CLIPPED));
        if (context.bkMode == OPAQUE && box.u0 != box.u1 && boxShows) {
            if (!layout.AxisAligned()) {
                paintFirst.push_back(RegionOfPath(BoxFigure(layout, box), WINDING));
            } else {
                const RECTL boxRect = BoxRect(layout, box);
                if (!run.opaque) {
                    run.opaque = boxRect;
                } else if (!Inside(boxRect, *run.opaque)) {
                    paintFirst.push_back(Region(*run.opaque));
                    run.opaque = boxRect;
                }
            }
        }
        std::vector<Region> paintAfter;
        for (const FrameBox& bar : Bars(layout, font)) {
            if (layout.AxisAligned()) run.extras.push_back(BoxRect(layout, bar));
            else paintAfter.push_back(RegionOfPath(BoxFigure(layout, bar), WINDING));
        }
        for (const Region& region : paintFirst)
            if (!PaintSolid(context, region, context.bkColor)) return FALSE;
        run.glyphs = std::move(layout.glyphs);
        run.positions = std::move(layout.positions);
        run.glyphIndices = options & ETO_GLYPH_INDEX;
        if (!run.glyphIndices) run.characters.assign(string, count);
        run.defaultPlacement = layout.defaultPlacement;
        if (!DrawTextOut(context, run)) return FALSE;
        for (const Region& region : paintAfter)
            if (!PaintSolid(context, region, context.textColor)) return FALSE;
    }
    if (dc->state.textAlign & TA_UPDATECP) MoveCurrentPosition(*dc, layout);
    return TRUE;
}

}  // namespace

}  // namespace w32::gdi

BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c,
                        const INT* lpDx) {
    return w32::gdi::TextOutCall(hdc, x, y, options, lprect, lpString, c, lpDx);
}

// A negative count is refused (ERROR_INVALID_PARAMETER).
BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
    if (c < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return w32::gdi::TextOutCall(hdc, x, y, 0, nullptr, lpString, UINT(c), nullptr);
}

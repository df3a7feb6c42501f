// LINEATTRS: how a pen strokes a path, as the driver reads it.
//
// A cosmetic pen is one pixel wide (fl without LA_GEOMETRIC, elWidth.l 1);
// its styles are in style units, the steps of GDIINFO's xStyleStep,
// yStyleStep and denStyleStep: a dash of six units and a gap of two, a dot
// of one and a gap of one, and their combinations; PS_ALTERNATE is
// LA_ALTERNATE (every other pixel) with no style array. A geometric pen has
// LA_GEOMETRIC, its width as a float in elWidth.e, its joins and end caps,
// the DC's miter limit, and styles in device units that scale with the width.
// Styled lines have LA_STYLED; a user style starting with a gap would need
// LA_STARTGAP, which GDI never asks for, as user styles start with a dash.
#include "win32k/ddiobj.h"

namespace w32 {

namespace {

std::vector<ULONG> StandardStyle(int style, bool geometric) {
    switch (style) {
        case PS_DASH: return geometric ? std::vector<ULONG>{3, 1} : std::vector<ULONG>{6, 2};
        case PS_DOT: return {1, 1};
        case PS_DASHDOT: return geometric ? std::vector<ULONG>{3, 1, 1, 1} : std::vector<ULONG>{3, 2, 1, 2};
        case PS_DASHDOTDOT: return {3, 1, 1, 1, 1, 1};
        default: return {};
    }
}

ULONG JoinOf(ULONG join) {
    switch (join) {
        case PS_JOIN_BEVEL: return JOIN_BEVEL;
        case PS_JOIN_MITER: return JOIN_MITER;
        default: return JOIN_ROUND;
    }
}

ULONG EndCapOf(ULONG cap) {
    switch (cap) {
        case PS_ENDCAP_SQUARE: return ENDCAP_SQUARE;
        case PS_ENDCAP_FLAT: return ENDCAP_BUTT;
        default: return ENDCAP_ROUND;
    }
}

}  // namespace

EngineLineAttrs::EngineLineAttrs(const EnginePen& source, FLOAT limit)
    : LINEATTRS{}, pen(source), miterLimit(limit) {
    eMiterLimit = limit;
    if (pen.geometric) {
        fl |= LA_GEOMETRIC;
        elWidth.e = FLOAT(pen.width);
        iJoin = JoinOf(pen.join);
        iEndCap = EndCapOf(pen.endCap);
    } else {
        elWidth.l = 1;
        iJoin = JOIN_ROUND;
        iEndCap = ENDCAP_ROUND;
    }
    if (pen.style == PS_ALTERNATE && !pen.geometric) {
        fl |= LA_ALTERNATE;
    } else if (pen.style == PS_USERSTYLE) {
        for (ULONG entry : pen.userStyle) {
            FLOAT_LONG step{};
            if (pen.geometric)
                step.e = FLOAT(entry);
            else
                step.l = LONG(entry);
            styles.push_back(step);
        }
    } else {
        for (ULONG entry : StandardStyle(pen.style, pen.geometric)) {
            FLOAT_LONG step{};
            if (pen.geometric)
                step.e = FLOAT(entry) * FLOAT(std::max<ULONG>(pen.width, 1));
            else
                step.l = LONG(entry);
            styles.push_back(step);
        }
    }
    if (!styles.empty()) {
        fl |= LA_STYLED;
        cstyle = ULONG(styles.size());
        pstyle = styles.data();
    }
}

const EngineLineAttrs* KnownLineAttrs(const LINEATTRS* attrs) {
    return IsDrawingObject(attrs) ? static_cast<const EngineLineAttrs*>(attrs) : nullptr;
}

CosmeticPen CosmeticPenOf(const LINEATTRS* attrs) {
    CosmeticPen pen;
    if (const EngineLineAttrs* known = KnownLineAttrs(attrs)) {
        pen.style = known->pen.style;
        pen.userStyle = known->pen.userStyle;
    } else if (attrs && (attrs->fl & LA_ALTERNATE)) {
        pen.style = PS_ALTERNATE;
    } else if (attrs && attrs->cstyle && attrs->pstyle) {
        pen.style = PS_USERSTYLE;
        for (ULONG i = 0; i < attrs->cstyle; ++i) pen.userStyle.push_back(ULONG(std::max<LONG>(attrs->pstyle[i].l, 1)));
    }
    return pen;
}

GeometricPen GeometricPenOf(const LINEATTRS* attrs) {
    GeometricPen pen;
    if (const EngineLineAttrs* known = KnownLineAttrs(attrs)) {
        pen.width = std::max<ULONG>(known->pen.width, 1);
        pen.endCap = known->pen.endCap;
        pen.join = known->pen.join;
        pen.miterLimit = known->miterLimit;
        pen.style = known->pen.style;
        pen.userStyle = known->pen.userStyle;
        return pen;
    }
    if (!attrs) return pen;
    pen.width = ULONG(std::max(1.0f, attrs->elWidth.e) + 0.5f);
    pen.endCap = attrs->iEndCap == ENDCAP_SQUARE ? PS_ENDCAP_SQUARE
                 : attrs->iEndCap == ENDCAP_BUTT ? PS_ENDCAP_FLAT
                                                 : PS_ENDCAP_ROUND;
    pen.join = attrs->iJoin == JOIN_BEVEL ? PS_JOIN_BEVEL : attrs->iJoin == JOIN_MITER ? PS_JOIN_MITER : PS_JOIN_ROUND;
    pen.miterLimit = attrs->eMiterLimit;
    return pen;
}

}  // namespace w32

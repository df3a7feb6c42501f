// CLIPOBJ: where a drawing call may write, told against what it draws.
//
//   DC_TRIVIAL  everything the call draws is inside the clip
//   DC_RECT     the visible part is one rectangle, rclBounds
//   DC_COMPLEX  rectangles to enumerate; rclBounds holds the visible part
//
// CLIPOBJ_cEnumStart picks the rectangles (only those within rclBounds,
// cut to it, unless bAll asks for the whole clip) and their order;
// CLIPOBJ_bEnum hands them out as many as the caller's ENUMRECTS holds.
// iUniq names the clip: a call with the same clip as the one before gets
// the same number, so a driver may keep what it derived from it.
#include <algorithm>

#include "win32k/ddiobj.h"

namespace w32 {

namespace {

// The last clip given a number; one is kept, so memory stays flat.
struct ClipNames {
    std::optional<Region> last;
    ULONG lastId = 0;
    ULONG next = 1;
};

ULONG NameOf(const Region& clip) {
    static ClipNames names;
    std::lock_guard lock(EngineLock());
    if (names.last && *names.last == clip) return names.lastId;
    names.last = clip;
    names.lastId = names.next++;
    if (!names.next) names.next = 1;  // 0 means "do not cache"
    return names.lastId;
}

// Orders banded rectangles (top to bottom, left to right in a band) for a CD_* direction.
void Arrange(std::vector<RECTL>& rects, ULONG direction) {
    const bool leftwards = direction & CD_LEFTWARDS, upwards = direction & CD_UPWARDS;
    if (direction == CD_ANY || (!leftwards && !upwards)) return;
    std::stable_sort(rects.begin(), rects.end(), [&](const RECTL& a, const RECTL& b) {
        if (a.top != b.top) return upwards ? a.top > b.top : a.top < b.top;
        return leftwards ? a.left > b.left : a.left < b.left;
    });
}

bool Fail(DWORD error) {
    SetLastError(error);
    return false;
}

}  // namespace

EngineClip::EngineClip(const Region& clip, const RECTL& bounds) : CLIPOBJ{}, region(clip) {
    const Region visiblePart = clip.Intersect(Region(bounds));
    iUniq = NameOf(clip);
    iMode = TC_RECTANGLES;
    const size_t count = clip.RectCount();
    iFComplexity = count <= 1 ? FC_RECT : count <= 4 ? FC_RECT4 : FC_COMPLEX;
    visible = !visiblePart.Empty();
    if (visiblePart == Region(bounds)) {
        iDComplexity = DC_TRIVIAL;
        rclBounds = bounds;
    } else if (visiblePart.RectCount() == 1) {
        iDComplexity = DC_RECT;
        rclBounds = visiblePart.Bounds();
    } else {
        iDComplexity = DC_COMPLEX;
        rclBounds = visiblePart.Bounds();
    }
    // Enumerating before CLIPOBJ_cEnumStart gives what it would with its defaults.
    order = region.ClipRect(rclBounds);
}

const EngineClip* KnownClip(const CLIPOBJ* clip) {
    return IsDrawingObject(clip) ? static_cast<const EngineClip*>(clip) : nullptr;
}

Region ClipRegion(const CLIPOBJ* clip, const RECTL& bounds) {
    Region all(bounds);
    if (!clip || clip->iDComplexity == DC_TRIVIAL) return all;
    if (clip->iDComplexity == DC_RECT) return all.Intersect(Region(clip->rclBounds));
    if (const EngineClip* known = KnownClip(clip)) return known->region.Intersect(all);
    // A complex clip the engine did not make: its bounds are all it says.
    return all.Intersect(Region(clip->rclBounds));
}

}  // namespace w32

using w32::EngineClip;

ULONG APIENTRY CLIPOBJ_cEnumStart(CLIPOBJ* pco, BOOL bAll, ULONG iType, ULONG iDirection, ULONG cLimit) {
    auto* clip = const_cast<EngineClip*>(w32::KnownClip(pco));
    if (!clip || iType != CT_RECTANGLES || iDirection > CD_ANY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0xFFFFFFFF;
    }
    clip->order = bAll ? clip->region.Rects() : clip->region.ClipRect(clip->rclBounds);
    w32::Arrange(clip->order, iDirection);
    clip->next = 0;
    const ULONG count = ULONG(clip->order.size());
    return cLimit && count > cLimit ? 0xFFFFFFFF : count;
}

BOOL APIENTRY CLIPOBJ_bEnum(CLIPOBJ* pco, ULONG cj, ULONG* pul) {
    auto* clip = const_cast<EngineClip*>(w32::KnownClip(pco));
    if (!clip || !pul) return w32::Fail(ERROR_INVALID_PARAMETER);
    // Room for the count and at least one rectangle, or the enumeration
    // would never move on.
    if (cj < sizeof(ULONG) + sizeof(RECTL)) {
        if (cj >= sizeof(ULONG)) *pul = 0;
        return w32::Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    const size_t room = (cj - sizeof(ULONG)) / sizeof(RECTL);
    const size_t n = std::min(room, clip->order.size() - clip->next);
    auto* out = reinterpret_cast<ENUMRECTS*>(pul);
    out->c = ULONG(n);
    RECTL* rects = out->arcl;
    for (size_t i = 0; i < n; ++i) rects[i] = clip->order[clip->next + i];
    clip->next += n;
    return clip->next < clip->order.size();
}

PATHOBJ* APIENTRY CLIPOBJ_ppoGetPath(CLIPOBJ* pco) {
    if (!pco) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<RECTL> rects;
    if (const EngineClip* clip = w32::KnownClip(pco); clip && pco->iDComplexity == DC_COMPLEX)
        rects = clip->region.ClipRect(pco->rclBounds);
    else
        rects.push_back(pco->rclBounds);
    // Each rectangle a closed figure, clockwise on the screen from its top left.
    w32::DevicePath path;
    for (const RECTL& r : rects) {
        path.points.insert(path.points.end(), {w32::PointFix(r.left, r.top), w32::PointFix(r.right, r.top),
                                               w32::PointFix(r.right, r.bottom), w32::PointFix(r.left, r.bottom)});
        path.types.insert(path.types.end(), {PT_MOVETO, PT_LINETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE});
    }
    return w32::NewPathObj(path);
}

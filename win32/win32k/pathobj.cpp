// PATHOBJ: a path in device space (28.4), handed out fragment by fragment.
//
// Each PATHOBJ_bEnum gives one PATHDATA: a run of lines or of Béziers of
// one figure. The first fragment of a figure has PD_BEGINSUBPATH (and
// PD_RESETSTYLE: styles start again at every figure) and starts with the
// figure's first point; a fragment without it continues from the last point of
// the fragment before. The last fragment of a figure has PD_ENDSUBPATH, with
// PD_CLOSEFIGURE when the figure is closed. A Bézier fragment (PD_BEZIERS)
// holds whole curves, three points each after the start point, and is
// never split inside a curve. Long runs come in fragments of at most
// kFragmentPoints points.
//
// fl says PO_BEZIERS when the path has a curve and PO_ALL_INTEGERS when
// every point is a whole pixel. cCurves counts lines and curves, the line
// that closes a figure included.
#include <unordered_map>

#include "win32k/ddiobj.h"

namespace w32 {

namespace {

constexpr size_t kFragmentPoints = 64;

BYTE Kind(BYTE type) { return type & ~PT_CLOSEFIGURE; }

// Every figure starts with PT_MOVETO: a path that starts with a line moves
// to its first point, and a point after a closed figure starts the next
// figure at the closed figure's start, where the current position is. A
// Bézier without its three points becomes lines.
DevicePath Normalized(const DevicePath& in) {
    DevicePath out;
    const size_t n = std::min(in.points.size(), in.types.size());
    out.points.reserve(n);
    out.types.reserve(n);
    POINTFIX figureStart{};
    bool afterClose = false;
    for (size_t i = 0; i < n; ++i) {
        BYTE kind = Kind(in.types[i]);
        const BYTE close = in.types[i] & PT_CLOSEFIGURE;
        if (kind != PT_MOVETO && (out.points.empty() || afterClose)) {
            if (out.points.empty()) {
                kind = PT_MOVETO;
            } else {
                out.points.push_back(figureStart);
                out.types.push_back(PT_MOVETO);
            }
        }
        if (kind == PT_BEZIERTO) {
            const bool whole = i + 2 < n && Kind(in.types[i + 1]) == PT_BEZIERTO &&
                               Kind(in.types[i + 2]) == PT_BEZIERTO && !(in.types[i] & PT_CLOSEFIGURE) &&
                               !(in.types[i + 1] & PT_CLOSEFIGURE);
            if (whole) {
                out.points.insert(out.points.end(), {in.points[i], in.points[i + 1], in.points[i + 2]});
                out.types.insert(out.types.end(),
                                 {PT_BEZIERTO, PT_BEZIERTO, BYTE(PT_BEZIERTO | (in.types[i + 2] & PT_CLOSEFIGURE))});
                afterClose = in.types[i + 2] & PT_CLOSEFIGURE;
                i += 2;
                continue;
            }
            kind = PT_LINETO;
        }
        if (kind == PT_MOVETO) figureStart = in.points[i];
        out.points.push_back(in.points[i]);
        out.types.push_back(BYTE(kind | (kind == PT_MOVETO ? 0 : close)));
        afterClose = close && kind != PT_MOVETO;
    }
    return out;
}

// The paths handed out to be freed, with the device each belongs to.
std::unordered_map<PATHOBJ*, uint64_t>& HeapPaths() {
    static std::unordered_map<PATHOBJ*, uint64_t> paths;
    return paths;
}

}  // namespace

EnginePathObj::EnginePathObj(const DevicePath& source) : PATHOBJ{}, path(Normalized(source)) {
    bool integers = true;
    ULONG bezierPoints = 0;  // whole curves only, after normalising
    for (size_t i = 0; i < path.points.size(); ++i) {
        const POINTFIX& p = path.points[i];
        if ((p.x & 15) || (p.y & 15)) integers = false;
        if (Kind(path.types[i]) == PT_LINETO) ++cCurves;
        if (Kind(path.types[i]) == PT_BEZIERTO) ++bezierPoints;
        if (path.types[i] & PT_CLOSEFIGURE) ++cCurves;
    }
    cCurves += bezierPoints / 3;
    if (bezierPoints) fl |= PO_BEZIERS;
    if (integers) fl |= PO_ALL_INTEGERS;
}

const EnginePathObj* KnownPath(const PATHOBJ* path) {
    return IsDrawingObject(path) ? static_cast<const EnginePathObj*>(path) : nullptr;
}

PATHOBJ* NewPathObj(const DevicePath& path) {
    auto* made = new EnginePathObj(path);
    std::lock_guard lock(EngineLock());
    HeapPaths().emplace(made, CurrentEngineOwner());
    return made;
}

size_t FreePathsOwnedBy(uint64_t owner) {
    if (!owner) return 0;
    std::lock_guard lock(EngineLock());
    size_t freed = 0;
    std::erase_if(HeapPaths(), [&](const auto& entry) {
        if (entry.second != owner) return false;
        delete static_cast<EnginePathObj*>(entry.first);
        ++freed;
        return true;
    });
    return freed;
}

}  // namespace w32

using w32::EnginePathObj;

VOID APIENTRY PATHOBJ_vEnumStart(PATHOBJ* ppo) {
    if (auto* path = const_cast<EnginePathObj*>(w32::KnownPath(ppo))) path->next = 0;
}

BOOL APIENTRY PATHOBJ_bEnum(PATHOBJ* ppo, PATHDATA* ppd) {
    auto* path = const_cast<EnginePathObj*>(w32::KnownPath(ppo));
    if (!path || !ppd) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto& types = path->path.types;
    const size_t n = types.size();
    *ppd = PATHDATA{};
    if (path->next >= n) return FALSE;
    const size_t start = path->next;
    size_t i = start;
    if (w32::Kind(types[i]) == PT_MOVETO) {
        ppd->flags |= PD_BEGINSUBPATH | PD_RESETSTYLE;
        ++i;
    }
    if (i < n && w32::Kind(types[i]) == PT_BEZIERTO) {
        ppd->flags |= PD_BEZIERS;
        while (i + 2 < n && w32::Kind(types[i]) == PT_BEZIERTO && i + 3 - start <= w32::kFragmentPoints) i += 3;
    } else {
        while (i < n && w32::Kind(types[i]) == PT_LINETO && i - start < w32::kFragmentPoints) ++i;
    }
    if (i == n || w32::Kind(types[i]) == PT_MOVETO) {
        ppd->flags |= PD_ENDSUBPATH;
        if (types[i - 1] & PT_CLOSEFIGURE) ppd->flags |= PD_CLOSEFIGURE;
    }
    ppd->count = ULONG(i - start);
    ppd->pptfx = path->path.points.data() + start;
    path->next = i;
    return i < n;
}

VOID APIENTRY PATHOBJ_vGetBounds(PATHOBJ* ppo, PRECTFX prectfx) {
    if (!prectfx) return;
    *prectfx = RECTFX{};
    const EnginePathObj* path = w32::KnownPath(ppo);
    if (!path || path->path.points.empty()) return;
    RECTFX bounds{path->path.points[0].x, path->path.points[0].y, path->path.points[0].x, path->path.points[0].y};
    for (const POINTFIX& p : path->path.points) {
        bounds.xLeft = std::min(bounds.xLeft, p.x);
        bounds.yTop = std::min(bounds.yTop, p.y);
        bounds.xRight = std::max(bounds.xRight, p.x);
        bounds.yBottom = std::max(bounds.yBottom, p.y);
    }
    *prectfx = bounds;
}

VOID APIENTRY EngDeletePath(PATHOBJ* ppo) {
    std::lock_guard lock(w32::EngineLock());
    // Only the paths the engine handed out to be freed; the ones it passes
    // into a callback are its own.
    if (!w32::HeapPaths().erase(ppo)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return;
    }
    delete static_cast<EnginePathObj*>(ppo);
}

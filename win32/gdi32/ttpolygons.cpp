// Glyph outlines as TTPOLYGONHEADER records (gdi32/ttpolygons.h).
#include "gdi32/ttpolygons.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace w32::gdi {

namespace {

// A point in 16.16 fixed point, 64-bit so that sums never overflow.
struct Fixed2 {
    long long x = 0, y = 0;
};

Fixed2 FromOutline(const POINT& p) { return {(long long)p.x * 1024, (long long)p.y * 1024}; }

Fixed2 Middle(const Fixed2& a, const Fixed2& b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// Two thirds of the way from `from` to `to`, rounded.
Fixed2 TwoThirds(const Fixed2& from, const Fixed2& to) {
    return {from.x + std::llround((to.x - from.x) * 2 / 3.0), from.y + std::llround((to.y - from.y) * 2 / 3.0)};
}

FIXED ToFixed(long long v) {
    const long long clamped = std::clamp<long long>(v, INT_MIN, INT_MAX);
    const auto bits = static_cast<uint32_t>(static_cast<int32_t>(clamped));
    FIXED f;
    f.fract = WORD(bits & 0xFFFF);
    f.value = short(int16_t(uint16_t(bits >> 16)));
    return f;
}

POINTFX ToPointFx(const Fixed2& p) { return {ToFixed(p.x), ToFixed(p.y)}; }

// The segments of one contour, in order from its start.
struct Segment {
    enum Kind { Line, Conic, Cubic } kind;
    Fixed2 control1, control2, end;
    bool impliedEnd = false;  // a conic's end is the middle of two control points
    bool closing = false;     // the segment ends on the contour's start
};

struct Contour {
    Fixed2 start;
    std::vector<Segment> segments;
};

Contour ReadContour(const GlyphOutline& outline, size_t first, size_t last) {
    const size_t n = last - first + 1;
    auto point = [&](size_t i) { return FromOutline(outline.points[first + i % n]); };
    auto tag = [&](size_t i) { return outline.tags[first + i % n] & 3; };
    Contour contour;
    size_t begin = 0;
    while (begin < n && tag(begin) != 1) ++begin;
    size_t steps = n;  // the points after the start, up to and including the start again
    if (begin == n) {
        // No point on the curve: start between the last and the first.
        contour.start = Middle(point(n - 1), point(0));
        begin = n - 1;  // the walk starts with point 0, and ends back on the middle
        steps = n + 1;
    } else {
        contour.start = point(begin);
    }
    std::vector<Fixed2> controls;  // the points off the curve since the last one on it
    bool quadratic = false;        // they are a quadratic control (else cubic ones)
    for (size_t k = 1; k <= steps; ++k) {
        const bool closing = k == steps;
        const Fixed2 p = closing ? contour.start : point(begin + k);
        const int kind = closing ? 1 : tag(begin + k);
        if (kind == 0) {
            // Two quadratic controls in a row: the curve passes between them.
            if (!controls.empty() && quadratic)
                contour.segments.push_back({Segment::Conic, controls.back(), {}, Middle(controls.back(), p), true});
            controls.assign(1, p);
            quadratic = true;
        } else if (kind == 2) {
            if (quadratic) controls.clear();
            controls.push_back(p);
            quadratic = false;
        } else {
            if (controls.empty()) {
                contour.segments.push_back({Segment::Line, {}, {}, p, false, closing});
            } else if (quadratic) {
                contour.segments.push_back({Segment::Conic, controls.front(), {}, p, false, closing});
            } else {
                // Cubic controls come in pairs; a stray one is taken as both.
                const Fixed2 c1 = controls.front(), c2 = controls.size() > 1 ? controls[1] : controls.front();
                contour.segments.push_back({Segment::Cubic, c1, c2, p, false, closing});
            }
            controls.clear();
        }
    }
    return contour;
}

// Writes the records of a contour: a record of one type collects points
// until the type changes or a quadratic record reaches its on-curve end.
class PolygonWriter {
public:
    explicit PolygonWriter(std::vector<BYTE>& out) : out_(out) {}

    void Begin(const Fixed2& start) {
        header_ = out_.size();
        TTPOLYGONHEADER header{};
        header.dwType = TT_POLYGON_TYPE;
        header.pfxStart = ToPointFx(start);
        Append(&header, sizeof(header));
        record_ = SIZE_MAX;
    }
    void Add(WORD type, const Fixed2& p) {
        if (record_ == SIZE_MAX || type != type_) {
            record_ = out_.size();
            type_ = type;
            const WORD head[2] = {type, 0};
            Append(head, sizeof(head));
        }
        const POINTFX fx = ToPointFx(p);
        Append(&fx, sizeof(fx));
        WORD count = 0;
        std::memcpy(&count, out_.data() + record_ + sizeof(WORD), sizeof(count));
        ++count;
        std::memcpy(out_.data() + record_ + sizeof(WORD), &count, sizeof(count));
    }
    // The next point starts a new record.
    void EndRecord() { record_ = SIZE_MAX; }
    void End() {
        const DWORD cb = DWORD(out_.size() - header_);
        std::memcpy(out_.data() + header_, &cb, sizeof(cb));
    }

private:
    void Append(const void* data, size_t size) {
        const auto* bytes = static_cast<const BYTE*>(data);
        out_.insert(out_.end(), bytes, bytes + size);
    }
    std::vector<BYTE>& out_;
    size_t header_ = 0;
    size_t record_ = SIZE_MAX;
    WORD type_ = 0;
};

template <class WriteSegment>
std::vector<BYTE> Polygons(const GlyphOutline& outline, WriteSegment write) {
    std::vector<BYTE> out;
    PolygonWriter writer(out);
    size_t first = 0;
    for (const USHORT lastIndex : outline.contourEnds) {
        const size_t last = lastIndex;
        if (last < first || last >= outline.points.size() || last >= outline.tags.size()) break;
        const Contour contour = ReadContour(outline, first, last);
        writer.Begin(contour.start);
        Fixed2 from = contour.start;
        for (const Segment& segment : contour.segments) {
            // The straight line back to the start is left to the polygon's closing.
            if (!(segment.kind == Segment::Line && segment.closing)) write(writer, from, segment);
            from = segment.end;
        }
        writer.End();
        first = last + 1;
    }
    return out;
}

}  // namespace

std::vector<BYTE> NativePolygons(const GlyphOutline& outline) {
    return Polygons(outline, [](PolygonWriter& writer, const Fixed2&, const Segment& segment) {
        switch (segment.kind) {
            case Segment::Line: writer.Add(TT_PRIM_LINE, segment.end); break;
            case Segment::Conic:
                writer.Add(TT_PRIM_QSPLINE, segment.control1);
                if (!segment.impliedEnd) {
                    writer.Add(TT_PRIM_QSPLINE, segment.end);
                    writer.EndRecord();
                }
                break;
            case Segment::Cubic:
                writer.Add(TT_PRIM_CSPLINE, segment.control1);
                writer.Add(TT_PRIM_CSPLINE, segment.control2);
                writer.Add(TT_PRIM_CSPLINE, segment.end);
                break;
        }
    });
}

std::vector<BYTE> BezierPolygons(const GlyphOutline& outline) {
    return Polygons(outline, [](PolygonWriter& writer, const Fixed2& from, const Segment& segment) {
        switch (segment.kind) {
            case Segment::Line: writer.Add(TT_PRIM_LINE, segment.end); break;
            case Segment::Conic:
                writer.Add(TT_PRIM_CSPLINE, TwoThirds(from, segment.control1));
                writer.Add(TT_PRIM_CSPLINE, TwoThirds(segment.end, segment.control1));
                writer.Add(TT_PRIM_CSPLINE, segment.end);
                break;
            case Segment::Cubic:
                writer.Add(TT_PRIM_CSPLINE, segment.control1);
                writer.Add(TT_PRIM_CSPLINE, segment.control2);
                writer.Add(TT_PRIM_CSPLINE, segment.end);
                break;
        }
    });
}

}  // namespace w32::gdi

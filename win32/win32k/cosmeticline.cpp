// Cosmetic lines: one pixel wide, stepped along the major axis from the
// first point of each segment up to, not including, its last, so the
// segments of a polyline meet without drawing their shared pixel twice.
//
// Endpoints in 28.4 go to the nearest pixel, a half rounding toward minus
// infinity (8/16 to 0, 9/16 to 1). Along a segment of A steps on its major
// axis, the pixel at step i takes the minor coordinate of the exact line
// there, rounded the same way, so a segment covers the same pixels drawn
// either way, apart from the end left out.
//
// The style counts one unit per pixel stepped, runs on across the
// segments of a figure and starts again with each figure.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "win32k/exactstep.h"
#include "win32k/geometry.h"

namespace w32 {

namespace {

int64_t PixelOf(FIX v) { return (int64_t(v) + 7) >> 4; }

// Dash and gap lengths in pixels, alternately drawn and skipped from a
// drawn one; empty for a solid line. A list of odd length runs through
// twice, its drawn and skipped entries swapped the second time.
std::vector<uint64_t> StylePattern(const CosmeticPen& pen) {
    std::vector<uint64_t> pattern;
    switch (pen.style) {
    case PS_DASH: pattern = {18, 6}; break;
    case PS_DOT: pattern = {3, 3}; break;
    case PS_DASHDOT: pattern = {9, 6, 3, 6}; break;
    case PS_DASHDOTDOT: pattern = {9, 3, 3, 3, 3, 3}; break;
    case PS_ALTERNATE: pattern = {1, 1}; break;
    case PS_USERSTYLE: pattern.assign(pen.userStyle.begin(), pen.userStyle.end()); break;
    default: break;
    }
    if (pattern.size() % 2) pattern.insert(pattern.end(), pattern.begin(), pattern.end());
    uint64_t period = 0;
    for (uint64_t length : pattern) period += length;
    if (period == 0) pattern.clear();  // nothing but zero lengths: a solid line
    return pattern;
}

// Where the line is in its style: the entry and the pixels it has left.
class StyleCursor {
public:
    explicit StyleCursor(std::vector<uint64_t> pattern) : pattern_(std::move(pattern)) {
        for (uint64_t length : pattern_) period_ += length;
        Restart();
    }

    void Restart() {
        if (pattern_.empty()) return;
        index_ = 0;
        left_ = pattern_[0];
        SkipEmptyEntries();
    }

    bool Drawn() const { return pattern_.empty() || index_ % 2 == 0; }
    bool Solid() const { return pattern_.empty(); }

    void Next() { Skip(1); }

    void Skip(uint64_t pixels) {
        if (pattern_.empty()) return;
        pixels %= period_;
        while (pixels >= left_) {
            pixels -= left_;
            index_ = (index_ + 1) % pattern_.size();
            left_ = pattern_[index_];
        }
        left_ -= pixels;
        SkipEmptyEntries();
    }

private:
    void SkipEmptyEntries() {
        while (left_ == 0) {
            index_ = (index_ + 1) % pattern_.size();
            left_ = pattern_[index_];
        }
    }

    std::vector<uint64_t> pattern_;
    uint64_t period_ = 0;
    size_t index_ = 0;
    uint64_t left_ = 0;
};

// Where a line's runs go: appended to a list of spans, in drawing order.
class SpanList {
public:
    explicit SpanList(std::vector<Span>* spans) : spans_(spans) {}
    bool Wanted() const { return spans_ != nullptr; }
    void Row(const Span& run) { spans_->push_back(run); }
    // `count` pixels of column x from row y on, a row `step` apart.
    void Column(int64_t x, int64_t y, int64_t step, int64_t count) {
        spans_->reserve(spans_->size() + size_t(count));
        for (int64_t i = 0; i < count; ++i, y += step) spans_->push_back({LONG(y), LONG(x), LONG(x + 1)});
    }

private:
    std::vector<Span>* spans_;
};

// Where a solid line's runs go: to the caller's sink as they are found.
class SinkRuns {
public:
    explicit SinkRuns(LinePixelSink& sink) : sink_(sink) {}
    bool Wanted() const { return true; }
    void Row(const Span& run) { sink_.Row(run.y, run.left, run.right); }
    void Column(int64_t x, int64_t y, int64_t step, int64_t count) {
        const int64_t top = step > 0 ? y : y - (count - 1);
        sink_.Column(LONG(x), LONG(top), LONG(top + count));
    }

private:
    LinePixelSink& sink_;
};

// Gathers a segment's pixels into runs along a row, in drawing order, and
// hands them to `Out` (a SpanList or a SinkRuns).
template <class Out>
class RunWriter {
public:
    explicit RunWriter(Out out) : out_(out) {}

    void Add(int64_t x, int64_t y) {
        if (!out_.Wanted()) return;
        if (open_ && run_.y == y && (x == run_.right || x == run_.left - 1)) {
            if (x == run_.right) ++run_.right;
            else --run_.left;
            return;
        }
        Flush();
        run_ = {LONG(y), LONG(x), LONG(x + 1)};
        open_ = true;
    }

    // The pixels left to right of row y, from `left` up to `right`, drawn
    // leftwards when `backwards`.
    void AddRun(int64_t left, int64_t right, int64_t y, bool backwards) {
        if (!out_.Wanted() || left >= right) return;
        Add(backwards ? right - 1 : left, y);
        if (backwards) run_.left = LONG(left);
        else run_.right = LONG(right);
    }

    // `count` pixels of column x from row y on, a row `step` apart.
    void AddColumn(int64_t x, int64_t y, int64_t step, int64_t count) {
        if (!out_.Wanted() || count <= 0) return;
        Flush();
        out_.Column(x, y, step, count);
    }

    void Flush() {
        if (open_) out_.Row(run_);
        open_ = false;
    }

private:
    Out out_;
    Span run_;
    bool open_ = false;
};

bool Inside(int64_t v, LONG low, LONG high) { return v >= low && v < high; }

template <class Drawn, class Gaps>
void DrawSegment(POINTFIX from, POINTFIX to, StyleCursor& style, const RECTL& limit, Drawn& drawn, Gaps& gaps) {
    const int64_t x0 = PixelOf(from.x), y0 = PixelOf(from.y), x1 = PixelOf(to.x), y1 = PixelOf(to.y);
    const int64_t dx = x1 - x0, dy = y1 - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy);
    const int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const int64_t majorDelta = xMajor ? dx : dy, minorDelta = xMajor ? dy : dx;
    const int64_t steps = majorDelta < 0 ? -majorDelta : majorDelta;
    if (steps == 0) return;
    const int64_t majorStep = majorDelta < 0 ? -1 : 1;

    // The steps whose major coordinate lies inside the limit.
    const int64_t low = xMajor ? limit.left : limit.top, high = xMajor ? limit.right : limit.bottom;
    int64_t first = majorStep > 0 ? low - major0 : major0 - (high - 1);
    int64_t end = majorStep > 0 ? high - major0 : major0 - low + 1;
    first = std::max<int64_t>(first, 0);
    end = std::min(end, steps);
    if (first >= end) {
        style.Skip(uint64_t(steps));
        return;
    }
    if (minorDelta == 0 && style.Solid()) {
        // A solid horizontal or vertical line: its pixels in one go.
        const int64_t a = major0 + majorStep * first, b = major0 + majorStep * (end - 1);
        const int64_t lo = std::min(a, b), hi = std::max(a, b);
        if (xMajor) {
            if (Inside(minor0, limit.top, limit.bottom)) drawn.AddRun(lo, hi + 1, minor0, majorStep < 0);
        } else if (Inside(minor0, limit.left, limit.right)) {
            drawn.AddColumn(minor0, major0 + majorStep * first, majorStep, end - first);
        }
        drawn.Flush();
        return;
    }
    // minor(i) = ceil(minor0 + i * minorDelta / steps - 1/2): the exact
    // minor coordinate with halves rounding down.
    CeilStepper minor(__int128(2 * minor0 - 1) * steps + __int128(2 * minorDelta) * first, 2 * steps,
                      2 * minorDelta);
    style.Skip(uint64_t(first));
    for (int64_t i = first; i < end; ++i) {
        const int64_t major = major0 + majorStep * i, m = minor.Value();
        const int64_t x = xMajor ? major : m, y = xMajor ? m : major;
        if (Inside(x, limit.left, limit.right) && Inside(y, limit.top, limit.bottom)) {
            if (style.Drawn()) drawn.Add(x, y);
            else gaps.Add(x, y);
        }
        style.Next();
        minor.Advance();
    }
    style.Skip(uint64_t(steps - end));
    drawn.Flush();
    gaps.Flush();
}

// Lines only, each figure begun by a PT_MOVETO that does not close it: a
// path the engine's PATHOBJ and FlattenPath both keep as it is.
bool PlainLines(const DevicePath& path) {
    if (path.points.size() != path.types.size()) return false;
    bool open = false;
    for (BYTE type : path.types) {
        if (type == PT_MOVETO) open = true;
        else if ((type & ~PT_CLOSEFIGURE) != PT_LINETO || !open) return false;
        if (type & PT_CLOSEFIGURE) open = false;
    }
    return true;
}

}  // namespace

std::vector<Span> CosmeticLineSpans(const DevicePath& path, const CosmeticPen& pen, const RECTL& limit,
                                    std::vector<Span>* gaps) {
    std::vector<Span> spans;
    if (gaps) gaps->clear();
    if (pen.style == PS_NULL || limit.left >= limit.right || limit.top >= limit.bottom) return spans;
    RunWriter<SpanList> drawn{SpanList(&spans)}, skipped{SpanList(gaps)};
    StyleCursor style(StylePattern(pen));
    const DevicePath flat = FlattenPath(path);
    for (const PathFigure& figure : LineFigures(flat)) {
        style.Restart();
        for (size_t i = 0; i + 1 < figure.count; ++i)
            DrawSegment(figure.points[i], figure.points[i + 1], style, limit, drawn, skipped);
        if (figure.closed && figure.count > 1)
            DrawSegment(figure.points[figure.count - 1], figure.points[0], style, limit, drawn, skipped);
    }
    return spans;
}

bool SolidCosmeticLine(const DevicePath& path, const RECTL& limit, LinePixelSink& sink) {
    if (!PlainLines(path)) return false;
    if (limit.left >= limit.right || limit.top >= limit.bottom) return true;
    RunWriter<SinkRuns> drawn{SinkRuns(sink)};
    RunWriter<SpanList> none{SpanList(nullptr)};
    StyleCursor solid({});
    for (const PathFigure& figure : LineFigures(path)) {
        for (size_t i = 0; i + 1 < figure.count; ++i)
            DrawSegment(figure.points[i], figure.points[i + 1], solid, limit, drawn, none);
        if (figure.closed && figure.count > 1)
            DrawSegment(figure.points[figure.count - 1], figure.points[0], solid, limit, drawn, none);
    }
    return true;
}

std::vector<Span> CosmeticLineSpans(const DevicePath& path, const CosmeticPen& pen, std::vector<Span>* gaps) {
    return CosmeticLineSpans(path, pen, RECTL{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, gaps);
}

}  // namespace w32

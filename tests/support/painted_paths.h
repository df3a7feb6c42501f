// The paths a job paints, read back from the decoded job alone: for each
// PaintPath, the points of its path (SetCursor and the runs after it,
// relative runs added up, a curve's points taken from its start), the pen,
// brush and dashes in force, and the page transform that places it on its
// sheet. The tests of drawing compare them with where the shapes were
// drawn.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jobdecode.h"

namespace tam::test {

// The page transform a page's prologue wrote (SetPageOrigin,
// SetPageRotation, SetPageScale after SetPageDefaultCTM).
struct PageTransform {
    int64_t originX = 0;
    int64_t originY = 0;
    int64_t angle = 0;
    double scaleX = 1.0;
    double scaleY = 1.0;
};

// One PaintPath of the job, with its path in page coordinates and the
// state it was painted with.
struct Paint {
    std::vector<job::Point> points;  // start points, line ends and curve points, absolute
    std::string pen = "?";           // "grey N", "rgb", "null", "pattern N"
    std::string brush = "?";
    std::vector<int64_t> dashes;     // empty: solid
    PageTransform place;             // the page transform in force
    int sheet = 0;
    int page = 0;                    // the page on its sheet, from 1
};

inline std::string SourceOf(const job::Operator& op, const char* nullName) {
    if (op.Has(nullName)) return "null";
    if (auto id = op.Int("PatternSelectID")) return "pattern " + std::to_string(*id);
    if (auto grey = op.Int("GrayLevel")) return "grey " + std::to_string(*grey);
    if (op.Has("RGBColor")) return "rgb";
    return "?";
}

// Every painted path of the job, in order.
inline std::vector<Paint> Paints(const job::DecodedJob& decoded) {
    std::vector<Paint> paints;
    int sheet = 0;
    for (const auto& [first, last] : decoded.Pages()) {
        ++sheet;
        Paint state;
        state.sheet = sheet;
        job::Point cursor;
        for (size_t i = first; i <= last; ++i) {
            const job::Operator& op = decoded.ops[i];
            const std::string_view name = op.name;
            if (name == "SetPageDefaultCTM") {
                state.place = PageTransform{};
                ++state.page;
            } else if (name == "SetPageOrigin") {
                state.place.originX += op.Int("PageOrigin", 0).value_or(0);
                state.place.originY += op.Int("PageOrigin", 1).value_or(0);
            } else if (name == "SetPageRotation") {
                state.place.angle = op.Int("PageAngle").value_or(0);
            } else if (name == "SetPageScale") {
                state.place.scaleX = op.Number("PageScale", 0).value_or(1.0);
                state.place.scaleY = op.Number("PageScale", 1).value_or(1.0);
            } else if (name == "SetPenSource") {
                state.pen = SourceOf(op, "NullPen");
            } else if (name == "SetBrushSource") {
                state.brush = SourceOf(op, "NullBrush");
            } else if (name == "SetLineDash") {
                state.dashes.clear();
                if (const job::Attribute* dash = op.Find("LineDashStyle")) state.dashes = dash->value.ints;
            } else if (name == "NewPath") {
                state.points.clear();
            } else if (name == "SetCursor") {
                cursor = {int32_t(op.Int("Point", 0).value_or(0)), int32_t(op.Int("Point", 1).value_or(0))};
                state.points.push_back(cursor);
            } else if (name == "LinePath" || name == "LineRelPath") {
                for (const job::Point& p : op.points) {
                    cursor = name == "LinePath" ? p : job::Point{cursor.x + p.x, cursor.y + p.y};
                    state.points.push_back(cursor);
                }
            } else if (name == "BezierPath" || name == "BezierRelPath") {
                for (size_t k = 0; k + 3 <= op.points.size(); k += 3) {
                    const job::Point start = cursor;
                    for (size_t j = 0; j < 3; ++j) {
                        const job::Point& p = op.points[k + j];
                        cursor = name == "BezierPath" ? p : job::Point{start.x + p.x, start.y + p.y};
                        state.points.push_back(cursor);
                    }
                }
            } else if (name == "PaintPath") {
                paints.push_back(state);
            }
        }
    }
    return paints;
}

}  // namespace tam::test

// The marks a job's pages carry that are not free paths: every rectangle
// painted (a RectanglePath followed by PaintPath) and every image
// (BeginImage to EndImage), read back from the decoded job alone with the
// raster operation, transfer modes, pen and brush in force when it was
// drawn. The tests of blits compare them with what was asked for.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "jobdecode.h"
#include "support/painted_paths.h"

namespace tam::test {

struct Mark {
    enum class Kind { Rectangle, Image };
    Kind kind = Kind::Rectangle;
    int64_t rop = -1;          // ROP3 in force; -1: none set on the page
    int64_t sourceTx = -1;     // TxMode of SetSourceTxMode: 0 opaque, 1 transparent
    int64_t paintTx = -1;      // TxMode of SetPaintTxMode
    std::string pen = "?";     // as painted_paths.h names sources
    std::string brush = "?";
    // Rectangle: its bounding box; image: the cursor and the destination
    // size (left, top, left + width, top + height).
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    const job::Raster* raster = nullptr;  // images
    int sheet = 0;
};

// Every rectangle and image of the job, in order.
inline std::vector<Mark> Marks(const job::DecodedJob& decoded) {
    std::vector<Mark> marks;
    int sheet = 0;
    for (const auto& [first, last] : decoded.Pages()) {
        ++sheet;
        Mark state;
        state.sheet = sheet;
        int64_t cursorX = 0, cursorY = 0;
        bool rectangle = false;
        for (size_t i = first; i <= last; ++i) {
            const job::Operator& op = decoded.ops[i];
            const std::string_view name = op.name;
            if (name == "SetROP") {
                state.rop = op.Int("ROP3").value_or(-1);
            } else if (name == "SetSourceTxMode") {
                state.sourceTx = op.Int("TxMode").value_or(-1);
            } else if (name == "SetPaintTxMode") {
                state.paintTx = op.Int("TxMode").value_or(-1);
            } else if (name == "SetPenSource") {
                state.pen = SourceOf(op, "NullPen");
            } else if (name == "SetBrushSource") {
                state.brush = SourceOf(op, "NullBrush");
            } else if (name == "SetCursor") {
                cursorX = op.Int("Point", 0).value_or(0);
                cursorY = op.Int("Point", 1).value_or(0);
            } else if (name == "NewPath") {
                rectangle = false;
            } else if (name == "RectanglePath") {
                rectangle = true;
                state.left = op.Int("BoundingBox", 0).value_or(0);
                state.top = op.Int("BoundingBox", 1).value_or(0);
                state.right = op.Int("BoundingBox", 2).value_or(0);
                state.bottom = op.Int("BoundingBox", 3).value_or(0);
            } else if (name == "PaintPath" && rectangle) {
                Mark mark = state;
                mark.kind = Mark::Kind::Rectangle;
                marks.push_back(mark);
                rectangle = false;
            } else if (name == "BeginImage") {
                Mark mark = state;
                mark.kind = Mark::Kind::Image;
                mark.left = cursorX;
                mark.top = cursorY;
                mark.right = cursorX + op.Int("DestinationSize", 0).value_or(0);
                mark.bottom = cursorY + op.Int("DestinationSize", 1).value_or(0);
                for (const job::Raster& raster : decoded.rasters)
                    if (!raster.pattern && raster.beginOp == i) mark.raster = &raster;
                marks.push_back(mark);
            }
        }
    }
    return marks;
}

}  // namespace tam::test

// Image and raster pattern blocks: the raster each begins, its rows read
// block by block and decompressed, and the patterns defined for later use.
#include "decoder.h"

namespace tam::job::detail {
namespace {

// Rows longer than this are not decoded: no PCL XL source width gets near it.
constexpr size_t kMaxRowBytes = size_t(1) << 20;

}  // namespace

void Decoder::StartRaster(size_t index, bool pattern) {
    Operator& op = job_.ops[index];
    Raster r;
    r.pattern = pattern;
    r.beginOp = index;
    int64_t mapping = 0, depth = 0, width = 0, height = 0;
    bool ok = Need(op, attr::ColorMapping, mapping);
    ok = Need(op, attr::ColorDepth, depth) && ok;
    ok = Need(op, attr::SourceWidth, width) && ok;
    ok = Need(op, attr::SourceHeight, height) && ok;
    if (const Value* dest = Get(op, attr::DestinationSize)) {
        r.destWidth = static_cast<uint32_t>(dest->Int(0));
        r.destHeight = static_cast<uint32_t>(dest->Int(1));
    }
    if (pattern) {
        int64_t id = 0, persistence = 0;
        ok = Need(op, attr::PatternDefineID, id) && ok;
        ok = Need(op, attr::PatternPersistence, persistence) && ok;
        r.patternId = id;
        r.persistence = static_cast<int>(persistence);
    }
    r.colorSpace = gs_.colorSpace;
    r.palette = gs_.palette;
    if (ok) {
        r.colorMapping = static_cast<int>(mapping);
        r.colorDepth = static_cast<int>(depth);
        if (depth < 0 || depth > 2) {
            Report(op.offset, "ColorDepth " + std::to_string(depth) + " is not 0, 1 or 2");
            ok = false;
        }
        if (mapping != 0 && mapping != 1) {
            Report(op.offset, "ColorMapping " + std::to_string(mapping) + " is neither 0 nor 1");
            ok = false;
        }
        if (width <= 0 || height <= 0 || width > UINT32_MAX || height > UINT32_MAX) {
            Report(op.offset, "source size " + std::to_string(width) + " x " + std::to_string(height) +
                                  " is not a raster");
            ok = false;
        }
    }
    if (ok) {
        const uint32_t bits = depth == 0 ? 1 : depth == 1 ? 4 : 8;
        const uint32_t components = mapping == 1 ? 1 : (r.colorSpace == 2 || r.colorSpace == 6) ? 3 : 1;
        r.width = static_cast<uint32_t>(width);
        r.height = static_cast<uint32_t>(height);
        r.bitsPerPixel = bits * components;
        r.rowBytes = (uint64_t(r.width) * r.bitsPerPixel + 7) / 8;
        if (r.rowBytes > kMaxRowBytes) {
            Report(op.offset, "rows of " + std::to_string(r.rowBytes) + " bytes are too long to decode");
            ok = false;
        }
    }
    r.valid = ok;
    r.rowsKept = ok;
    job_.rasters.push_back(std::move(r));
    raster_ = static_cast<int>(job_.rasters.size() - 1);
    op.raster = raster_;
    seed_.clear();
}

void Decoder::ReadRaster(size_t index) {
    Operator& op = job_.ops[index];
    Raster& r = job_.rasters[raster_];
    op.raster = raster_;
    int64_t start = 0, rows = 0, mode = 0;
    bool ok = Need(op, attr::StartLine, start);
    ok = Need(op, attr::BlockHeight, rows) && ok;
    ok = Need(op, attr::CompressMode, mode) && ok;
    if (!ok || !r.valid || !op.dataTag) {
        DropRows(r);
        return;
    }
    if (start != r.rowsRead) {
        Report(op.offset, std::string(op.name) + " StartLine " + std::to_string(start) +
                              " does not continue the " + std::to_string(r.rowsRead) + " rows read so far");
    }
    if (rows < 0 || rows > int64_t(r.height) - int64_t(r.rowsRead)) {
        Report(op.offset, std::string(op.name) + " block of " + std::to_string(rows) + " rows passes the " +
                              std::to_string(r.height) + " rows of the raster (" + std::to_string(r.rowsRead) +
                              " read)");
        DropRows(r);
        return;
    }
    size_t pad = 4;
    if (const Value* multiple = Get(op, attr::PadBytesMultiple)) {
        if (multiple->Int() < 1 || multiple->Int() > 255) {
            Report(op.offset, "PadBytesMultiple " + std::to_string(multiple->Int()) + " is not 1 to 255");
        } else {
            pad = static_cast<size_t>(multiple->Int());
        }
    }
    const size_t rowLength = (r.rowBytes + pad - 1) / pad * pad;
    op.firstRow = r.rowsRead;
    op.rowCount = static_cast<uint32_t>(rows);
    if (r.compressModes.empty() || r.compressModes.back() != mode) r.compressModes.push_back(static_cast<int>(mode));

    const auto sink = [&](std::span<const uint8_t> row) { KeepRow(r, row.first(r.rowBytes)); };
    const std::span<const uint8_t> data(op.data);
    Failure failure;
    bool good = true;
    switch (mode) {
    case 0: good = detail::DecodeUncompressed(data, rowLength, op.rowCount, sink, failure); break;
    case 1: good = detail::DecodeRunLength(data, rowLength, op.rowCount, sink, failure); break;
    case 3:
        if (seed_.size() != rowLength) seed_.resize(rowLength, 0);
        good = detail::DecodeDeltaRow(data, seed_, op.rowCount, dataLittleEndian_, sink, failure);
        break;
    case 2: DropRows(r); break;  // JPEG blocks are kept as data, not decoded
    default:
        Report(op.offset, "CompressMode " + std::to_string(mode) + " unknown");
        DropRows(r);
        break;
    }
    if (!good) {
        Report(op.dataOffset + failure.at, std::move(failure.reason));
        DropRows(r);
    }
    r.rowsRead += op.rowCount;
}

void Decoder::EndRaster(size_t index) {
    Operator& op = job_.ops[index];
    Raster& r = job_.rasters[raster_];
    op.raster = raster_;
    r.endOp = index;
    if (r.valid && r.rowsRead != r.height) {
        Report(op.offset, std::string(op.name) + " after " + std::to_string(r.rowsRead) + " of the " +
                              std::to_string(r.height) + " rows");
    }
    if (r.pattern && r.valid) patterns_[r.patternId] = {raster_, r.persistence};
}

void Decoder::KeepRow(Raster& r, std::span<const uint8_t> row) {
    if (!r.rowsKept) return;
    if (keptBytes_ + row.size() > options_.rowBudget) {
        DropRows(r);
        return;
    }
    r.pixels.insert(r.pixels.end(), row.begin(), row.end());
    keptBytes_ += row.size();
}

void Decoder::DropRows(Raster& r) {
    keptBytes_ -= r.pixels.size();
    r.pixels.clear();
    r.pixels.shrink_to_fit();
    r.rowsKept = false;
}

}  // namespace tam::job::detail

// Decompression of image and raster-pattern rows: uncompressed rows,
// run-length (PackBits) rows and delta rows.
#include "detail.h"

#include <cstring>

namespace tam::job::detail {
namespace {

bool Fail(Failure& failure, size_t at, std::string reason) {
    failure.at = at;
    failure.reason = std::move(reason);
    return false;
}

}  // namespace

bool DecodeUncompressed(std::span<const uint8_t> data, size_t rowLength, uint32_t rows,
                        const RowSink& sink, Failure& failure) {
    const uint64_t expected = uint64_t(rowLength) * rows;
    if (data.size() != expected) {
        return Fail(failure, 0, "uncompressed block holds " + std::to_string(data.size()) + " bytes, expected " +
                                    std::to_string(expected) + " (" + std::to_string(rows) + " rows of " +
                                    std::to_string(rowLength) + " bytes)");
    }
    for (uint32_t r = 0; r < rows; ++r) sink(data.subspan(r * rowLength, rowLength));
    return true;
}

// Control byte c read as signed: 0..127 copies c + 1 literal bytes, -1..-127
// repeats the next byte 1 - c times, -128 does nothing. A row is complete
// when it holds rowLength bytes; a packet may not cross into the next row.
bool DecodeRunLength(std::span<const uint8_t> data, size_t rowLength, uint32_t rows,
                     const RowSink& sink, Failure& failure) {
    std::vector<uint8_t> row(rowLength);
    size_t p = 0;
    for (uint32_t r = 0; r < rows; ++r) {
        size_t filled = 0;
        while (filled < rowLength) {
            if (p >= data.size()) {
                return Fail(failure, p, "run-length data ends in row " + std::to_string(r) + " of the block (" +
                                            std::to_string(filled) + " of " + std::to_string(rowLength) +
                                            " bytes)");
            }
            const size_t packet = p;
            const int control = static_cast<int8_t>(data[p++]);
            if (control == -128) continue;
            const size_t count = control >= 0 ? size_t(control) + 1 : size_t(1 - control);
            if (filled + count > rowLength) {
                return Fail(failure, packet, "run-length packet of " + std::to_string(count) +
                                                 " bytes crosses the end of row " + std::to_string(r) +
                                                 " of the block");
            }
            if (control >= 0) {
                if (count > data.size() - p) {
                    return Fail(failure, packet, "literal of " + std::to_string(count) +
                                                     " bytes runs past the end of the block");
                }
                std::memcpy(row.data() + filled, data.data() + p, count);
                p += count;
            } else {
                if (p >= data.size()) return Fail(failure, packet, "repeat packet lacks its byte");
                std::memset(row.data() + filled, data[p++], count);
            }
            filled += count;
        }
        sink(row);
    }
    if (p != data.size()) {
        return Fail(failure, p, std::to_string(data.size() - p) + " bytes follow the last row of the block");
    }
    return true;
}

// Each row: a 16-bit count of the command bytes, then commands. A command
// byte holds the replacement count - 1 in bits 7-5 and an offset in bits 4-0;
// offset 31 continues in the following bytes (each 255 adds and continues).
// The offset counts unchanged bytes after the previous replacement.
bool DecodeDeltaRow(std::span<const uint8_t> data, std::vector<uint8_t>& seed, uint32_t rows,
                    bool littleEndian, const RowSink& sink, Failure& failure) {
    size_t p = 0;
    for (uint32_t r = 0; r < rows; ++r) {
        if (data.size() - p < 2) {
            return Fail(failure, p, "delta-row data ends before the byte count of row " + std::to_string(r));
        }
        const size_t count = littleEndian ? data[p] | (data[p + 1] << 8) : (data[p] << 8) | data[p + 1];
        const size_t countAt = p;
        p += 2;
        if (count > data.size() - p) {
            return Fail(failure, countAt, "delta-row byte count " + std::to_string(count) +
                                              " runs past the end of the block");
        }
        const size_t end = p + count;
        size_t cursor = 0;
        while (p < end) {
            const size_t command = p;
            const uint8_t c = data[p++];
            const size_t replace = (c >> 5) + 1;
            size_t offset = c & 0x1F;
            if (offset == 31) {
                for (;;) {
                    if (p >= end) return Fail(failure, command, "delta-row offset runs past the row's commands");
                    const uint8_t more = data[p++];
                    offset += more;
                    if (more != 255) break;
                }
            }
            if (replace > end - p) {
                return Fail(failure, command, "delta-row replacement bytes run past the row's commands");
            }
            if (cursor + offset > seed.size() || replace > seed.size() - (cursor + offset)) {
                return Fail(failure, command, "delta-row command writes past the end of the row (offset " +
                                                  std::to_string(cursor + offset) + ", row of " +
                                                  std::to_string(seed.size()) + " bytes)");
            }
            cursor += offset;
            std::memcpy(seed.data() + cursor, data.data() + p, replace);
            cursor += replace;
            p += replace;
        }
        sink(seed);
    }
    if (p != data.size()) {
        return Fail(failure, p, std::to_string(data.size() - p) + " bytes follow the last row of the block");
    }
    return true;
}

}  // namespace tam::job::detail

// Readable text of a decoded job: one PJL line, stream header or operator a line.
#include "detail.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tam::job {

namespace detail {

std::string Hex(uint64_t value, int digits) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return buffer;
}

std::string Printable(std::string_view bytes) {
    std::string out = "\"";
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b >= 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", b);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace detail

namespace {

using detail::Hex;
using detail::Printable;

std::string Offset(size_t offset) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%08zx", offset);
    return buffer;
}

std::string Real(float v) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

std::string Element(const Value& value, size_t i) {
    return value.IsReal() ? Real(value.reals[i]) : std::to_string(value.ints[i]);
}

// The elements joined by commas, at most `limit` of them.
std::string List(const Value& value, size_t limit) {
    std::string out;
    const size_t count = value.Count();
    for (size_t i = 0; i < count && i < limit; ++i) {
        if (i) out += ',';
        out += Element(value, i);
    }
    if (count > limit) out += ",...+" + std::to_string(count - limit);
    return out;
}

std::string GlyphSummary(const Glyph& g) {
    std::string out = " char=" + std::to_string(g.code);
    if (g.format == 0) {
        out += " bitmap=" + std::to_string(g.width) + "x" + std::to_string(g.height) + " at=(" +
               std::to_string(g.left) + "," + std::to_string(g.top) + ")";
    } else if (g.format == 1) {
        out += " truetype class=" + std::to_string(g.charClass) + " glyph=" + std::to_string(g.glyphId) +
               " advance=" + std::to_string(g.advanceWidth) + " lsb=" + std::to_string(g.leftSideBearing) +
               " outline=" + std::to_string(g.body.size()) + "B";
    }
    return out;
}

std::string FontSummary(const Font& font) {
    const FontHeader& h = font.header;
    std::string out = " font=" + Printable(font.name);
    if (!h.parsed) return out + " header not decoded";
    out += h.scaling == 1 ? " truetype" : h.scaling == 254 ? " bitmap" : " scaling=" + std::to_string(h.scaling);
    out += " chars=" + std::to_string(h.numberOfChars) + " mapping=" + std::to_string(h.mapping) + " segments=";
    for (size_t i = 0; i < h.segments.size(); ++i) {
        if (i) out += ',';
        out += h.segments[i].Name() + "(" + std::to_string(h.segments[i].data.size()) + ")";
    }
    if (h.resolutionX) out += " resolution=" + std::to_string(h.resolutionX) + "x" + std::to_string(h.resolutionY);
    if (!h.tables.empty()) {
        out += " tables=";
        for (size_t i = 0; i < h.tables.size(); ++i) {
            if (i) out += ',';
            out += Printable(h.tables[i].tag) + ":" + std::to_string(h.tables[i].length);
        }
    }
    return out;
}

std::string RasterSummary(const Raster& r) {
    std::string out = r.pattern ? " pattern=" + std::to_string(r.patternId) : std::string(" image");
    if (!r.valid) return out + " not decodable";
    out += " " + std::to_string(r.width) + "x" + std::to_string(r.height) + " " +
           std::to_string(r.bitsPerPixel) + "bpp " + (r.colorMapping ? "indexed" : "direct") +
           " rows=" + std::to_string(r.rowsRead) + "/" + std::to_string(r.height);
    if (!r.rowsKept) out += " (rows not kept)";
    return out;
}

}  // namespace

std::string FormatValue(const Value& value, uint16_t attributeId) {
    if (value.IsArray()) {
        if (value.type == DataType::UByteArray && value.Count() > 0 &&
            std::all_of(value.ints.begin(), value.ints.end(), [](int64_t v) { return v >= 0x20 && v < 0x7F; })) {
            return Printable(value.Text());
        }
        return "[" + List(value, 32) + "]";
    }
    if (value.IsXY() || value.IsBox()) return "(" + List(value, 4) + ")";
    if (value.Count() == 0) return "?";
    if (!value.IsReal()) {
        const std::string_view name = EnumName(attributeId, value.ints[0]);
        if (!name.empty()) return std::string(name);
    }
    return Element(value, 0);
}

std::string FormatOperator(const DecodedJob& job, const Operator& op) {
    std::string line = Offset(op.offset) + " " + std::string(op.name);
    for (const Attribute& a : op.attributes) {
        line += " " + (a.name.empty() ? "Attr" + Hex(a.id) : std::string(a.name)) + "=" + FormatValue(a.value, a.id);
    }
    if (op.dataTag) line += " data=" + std::to_string(op.data.size()) + "B";
    if (!op.points.empty()) {
        line += " points=";
        for (size_t i = 0; i < op.points.size() && i < 8; ++i) {
            line += "(" + std::to_string(op.points[i].x) + "," + std::to_string(op.points[i].y) + ")";
        }
        if (op.points.size() > 8) line += "...+" + std::to_string(op.points.size() - 8);
    }
    if (op.raster >= 0 && size_t(op.raster) < job.rasters.size()) {
        const Raster& r = job.rasters[op.raster];
        if (op.rowCount) {
            line += " rows=" + std::to_string(op.firstRow) + ".." + std::to_string(op.firstRow + op.rowCount - 1);
        } else if (&op == &job.ops[r.beginOp] || (r.endOp != SIZE_MAX && &op == &job.ops[r.endOp])) {
            line += RasterSummary(r);
        }
    }
    if (op.font >= 0 && size_t(op.font) < job.fonts.size()) {
        const Font& font = job.fonts[op.font];
        if (op.glyph >= 0 && size_t(op.glyph) < font.glyphs.size()) {
            line += GlyphSummary(font.glyphs[op.glyph]);
        } else if (font.endOp != SIZE_MAX && &op == &job.ops[font.endOp]) {
            line += FontSummary(font);
        }
    }
    return line;
}

std::string FormatPjlLine(const PjlLine& line) {
    std::string out = Offset(line.offset) + " ";
    if (line.uel) return out + "UEL";
    if (line.hasOwner) {
        // The owner as UTF-8, with control characters and quotation marks escaped.
        out += "@PJL SET JOBOWNER=\"";
        for (char c : line.value) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x20 || b == 0x7F || c == '"' || c == '\\') {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02X", b);
                out += buffer;
            } else {
                out += c;
            }
        }
        out += "\"";
    } else {
        const std::string quoted = Printable(line.text);
        out += quoted.substr(1, quoted.size() - 2);
    }
    if (line.lineEnd == "\n") out += " (LF only)";
    if (line.lineEnd.empty()) out += " (no line end)";
    return out;
}

std::string FormatProblem(const Problem& problem) {
    return "offset " + std::to_string(problem.offset) + " (" + Hex(problem.offset, 8) + "): " + problem.reason;
}

std::string FormatJob(const DecodedJob& job) {
    std::vector<std::pair<size_t, std::string>> lines;
    lines.reserve(job.pjl.size() + job.streams.size() + job.ops.size());
    for (const PjlLine& line : job.pjl) lines.emplace_back(line.offset, FormatPjlLine(line));
    for (const StreamHeader& s : job.streams) {
        std::string text = Offset(s.offset) + " ";
        if (!s.present) {
            text += "PCL XL stream without its header";
        } else {
            text += "PCL XL stream binding='" + std::string(1, s.binding) + "' class=" + s.protocolClass +
                    " revision=" + s.revision + " comment=" + Printable(s.comment);
        }
        lines.emplace_back(s.offset, std::move(text));
    }
    for (const Operator& op : job.ops) lines.emplace_back(op.offset, FormatOperator(job, op));
    std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    std::string out;
    for (const auto& line : lines) out += line.second + "\n";
    out += std::to_string(job.size) + " bytes: " + std::to_string(job.pjl.size()) + " PJL items, " +
           std::to_string(job.streams.size()) + " PCL XL stream(s), " + std::to_string(job.ops.size()) +
           " operators, " + std::to_string(job.PageCount()) + " page(s), " + std::to_string(job.rasters.size()) +
           " raster(s), " + std::to_string(job.fonts.size()) + " font(s)";
    if (job.whitespace) out += ", " + std::to_string(job.whitespace) + " white-space bytes skipped";
    out += "\n";
    if (!job.problems.empty()) {
        out += std::to_string(job.problems.size()) + " problem(s):\n";
        for (const Problem& p : job.problems) out += FormatProblem(p) + "\n";
    }
    return out;
}

}  // namespace tam::job

// Font header and character data of downloaded fonts. Both are big-endian,
// whatever the binding of the stream.
#include "detail.h"

namespace tam::job::detail {
namespace {

uint16_t Be16(std::span<const uint8_t> d, size_t at) { return uint16_t((d[at] << 8) | d[at + 1]); }
uint32_t Be32(std::span<const uint8_t> d, size_t at) {
    return (uint32_t(d[at]) << 24) | (uint32_t(d[at + 1]) << 16) | (uint32_t(d[at + 2]) << 8) | d[at + 3];
}

constexpr uint16_t Id(char a, char b) { return uint16_t((uint8_t(a) << 8) | uint8_t(b)); }

// The "GT" segment of a TrueType font: an sfnt table directory (version,
// table count, three search fields, 16-byte entries) and the tables it points
// to, with offsets counted from the start of the segment data.
void ParseGlobalTrueType(const FontSegment& gt, FontHeader& header, std::vector<Failure>& failures) {
    std::span<const uint8_t> d(gt.data);
    if (d.size() < 12) {
        failures.push_back({gt.offset, "GT segment of " + std::to_string(d.size()) +
                                           " bytes is too short for its table directory"});
        return;
    }
    const uint16_t count = Be16(d, 4);
    if (12 + size_t(count) * 16 > d.size()) {
        failures.push_back({gt.offset + 4, "GT directory of " + std::to_string(count) +
                                               " tables runs past the segment"});
        return;
    }
    for (uint16_t i = 0; i < count; ++i) {
        const size_t at = 12 + size_t(i) * 16;
        FontTable t;
        for (size_t k = 0; k < 4; ++k) t.tag.push_back(static_cast<char>(d[at + k]));
        t.checksum = Be32(d, at + 4);
        t.offset = Be32(d, at + 8);
        t.length = Be32(d, at + 12);
        if ((t.offset != 0 || t.length != 0) && uint64_t(t.offset) + t.length > d.size()) {
            failures.push_back({gt.offset + at, "GT table '" + t.tag + "' (offset " + std::to_string(t.offset) +
                                                    ", " + std::to_string(t.length) +
                                                    " bytes) lies outside the segment"});
        }
        header.tables.push_back(std::move(t));
    }
}

}  // namespace

void ParseFontHeader(std::span<const uint8_t> bytes, FontHeader& header, std::vector<Failure>& failures) {
    if (bytes.size() < 8) {
        failures.push_back({0, "font header of " + std::to_string(bytes.size()) +
                                   " bytes is shorter than its 8-byte descriptor"});
        return;
    }
    header.format = bytes[0];
    if (header.format != 0) {
        failures.push_back({0, "font header format " + std::to_string(header.format) + " is not 0"});
        return;
    }
    header.orientation = bytes[1];
    header.mapping = Be16(bytes, 2);
    header.scaling = bytes[4];
    header.variety = bytes[5];
    header.numberOfChars = Be16(bytes, 6);
    header.parsed = true;

    bool sawNull = false;
    bool walked = true;  // false when a damaged segment ended the walk
    size_t p = 8;
    while (p < bytes.size()) {
        if (bytes.size() - p < 6) {
            failures.push_back({p, "font segment header cut off (" + std::to_string(bytes.size() - p) +
                                       " bytes left in the header)"});
            walked = false;
            break;
        }
        FontSegment s;
        s.id = Be16(bytes, p);
        const uint32_t length = Be32(bytes, p + 2);
        s.offset = p + 6;
        if (length > bytes.size() - s.offset) {
            failures.push_back({p, "font segment " + s.Name() + " of " + std::to_string(length) +
                                       " bytes runs past the end of the header"});
            walked = false;
            break;
        }
        s.data.assign(bytes.begin() + s.offset, bytes.begin() + s.offset + length);
        p = s.offset + length;
        header.segments.push_back(std::move(s));
        if (header.segments.back().id == 0xFFFF) {
            sawNull = true;
            if (length != 0) {
                failures.push_back({p - length - 6, "null segment carries " + std::to_string(length) + " bytes"});
            }
            if (p != bytes.size()) {
                failures.push_back({p, std::to_string(bytes.size() - p) + " bytes follow the null segment"});
            }
            break;
        }
    }
    if (!walked) return;
    if (!sawNull) failures.push_back({bytes.size(), "font header does not end with the null segment"});

    if (header.scaling == 254) {
        const FontSegment* br = nullptr;
        for (const FontSegment& s : header.segments) {
            if (s.id == Id('B', 'R')) br = &s;
        }
        if (!br) {
            failures.push_back({4, "bitmap font header lacks its BR segment"});
        } else if (br->data.size() < 4) {
            failures.push_back({br->offset, "BR segment too short for the resolution"});
        } else {
            header.resolutionX = Be16(br->data, 0);
            header.resolutionY = Be16(br->data, 2);
        }
    } else if (header.scaling == 1) {
        const FontSegment* gt = nullptr;
        for (const FontSegment& s : header.segments) {
            if (s.id == Id('G', 'T')) gt = &s;
        }
        if (!gt) {
            failures.push_back({4, "TrueType font header lacks its GT segment"});
        } else {
            ParseGlobalTrueType(*gt, header, failures);
        }
    }
}

// Format 0 (bitmap, class 0): left and top offsets, width and height, then the
// rows. Format 1 (TrueType): a size field counting the bytes after it, then by
// class: 0 glyph id; 1 left side bearing, advance width, glyph id; 2 also the
// top side bearing before the glyph id; then the outline.
void ParseGlyph(std::span<const uint8_t> data, Glyph& glyph, std::vector<Failure>& failures) {
    if (data.size() < 2) {
        failures.push_back({0, "character data of " + std::to_string(data.size()) +
                                   " bytes lacks its format and class"});
        return;
    }
    glyph.format = data[0];
    glyph.charClass = data[1];
    if (glyph.format == 0) {
        if (glyph.charClass != 0) {
            failures.push_back({1, "bitmap character class " + std::to_string(glyph.charClass) + " is not 0"});
        }
        if (data.size() < 10) {
            failures.push_back({0, "bitmap character data of " + std::to_string(data.size()) +
                                       " bytes is shorter than its 10-byte header"});
            return;
        }
        glyph.left = static_cast<int16_t>(Be16(data, 2));
        glyph.top = static_cast<int16_t>(Be16(data, 4));
        glyph.width = Be16(data, 6);
        glyph.height = Be16(data, 8);
        const size_t expected = 10 + (size_t(glyph.width) + 7) / 8 * glyph.height;
        if (data.size() != expected) {
            failures.push_back({0, "bitmap character of " + std::to_string(glyph.width) + " x " +
                                       std::to_string(glyph.height) + " needs " + std::to_string(expected) +
                                       " bytes, has " + std::to_string(data.size())});
        }
        glyph.body.assign(data.begin() + 10, data.end());
        return;
    }
    if (glyph.format == 1) {
        size_t headerSize = 0;
        switch (glyph.charClass) {
        case 0: headerSize = 6; break;
        case 1: headerSize = 10; break;
        case 2: headerSize = 12; break;
        default:
            failures.push_back({1, "TrueType character class " + std::to_string(glyph.charClass) + " unknown"});
            return;
        }
        if (data.size() < headerSize) {
            failures.push_back({0, "TrueType character data of " + std::to_string(data.size()) +
                                       " bytes is shorter than its " + std::to_string(headerSize) +
                                       "-byte header"});
            return;
        }
        glyph.sizeField = Be16(data, 2);
        if (glyph.sizeField != data.size() - 2) {
            failures.push_back({2, "TrueType character size field " + std::to_string(glyph.sizeField) +
                                       " does not match the " + std::to_string(data.size() - 2) +
                                       " bytes that follow it"});
        }
        if (glyph.charClass == 0) {
            glyph.glyphId = Be16(data, 4);
        } else {
            glyph.leftSideBearing = static_cast<int16_t>(Be16(data, 4));
            glyph.advanceWidth = Be16(data, 6);
            if (glyph.charClass == 2) glyph.topSideBearing = static_cast<int16_t>(Be16(data, 8));
            glyph.glyphId = Be16(data, headerSize - 2);
        }
        glyph.body.assign(data.begin() + headerSize, data.end());
        return;
    }
    failures.push_back({0, "character format " + std::to_string(glyph.format) + " unknown"});
}

}  // namespace tam::job::detail
